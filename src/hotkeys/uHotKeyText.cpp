#include "uHotKeyText.h"
#include <commctrl.h>
#include <vector>

namespace {

// Shortcut word: the key code in the low byte, one bit per modifier.
constexpr WORD SC_SHIFT = 0x2000;
constexpr WORD SC_CTRL = 0x4000;
constexpr WORD SC_ALT = 0x8000;

// Key texts of the common keys, then the three modifier prefixes.
const char* const KeyCaptions[18] = {"BkSp", "Tab", "Esc",  "Enter",  "Space", "PgUp",
                                     "PgDn", "End", "Home", "Left",   "Up",    "Right",
                                     "Down", "Ins", "Del",  "Shift+", "Ctrl+", "Alt+"};
constexpr int CAPTION_SHIFT = 15;
constexpr int CAPTION_CTRL = 16;
constexpr int CAPTION_ALT = 17;

// Keys that the system names like other keys, so that their texts would read
// back as those: the keypad's (Num / as the main /, under Wine Num * as Print
// Screen's "KP_Multiply" and Num = as the main =), Num Lock (as Pause), and
// the left and right modifiers (as Shift, Ctrl and Alt). The keypad's digits
// are "Num 0" to "Num 9".
struct TOwnKeyText {
    BYTE Code;
    const char* Text;
};
const TOwnKeyText OwnKeyTexts[] = {
    {VK_MULTIPLY, "Num *"},     {VK_ADD, "Num +"},           {VK_SEPARATOR, "Num ,"},
    {VK_SUBTRACT, "Num -"},     {VK_DECIMAL, "Num ."},       {VK_DIVIDE, "Num /"},
    {VK_NUMLOCK, "Num Lock"},   {VK_OEM_NEC_EQUAL, "Num ="}, {VK_LSHIFT, "Left Shift"},
    {VK_RSHIFT, "Right Shift"}, {VK_LCONTROL, "Left Ctrl"},  {VK_RCONTROL, "Right Ctrl"},
    {VK_LMENU, "Left Alt"},     {VK_RMENU, "Right Alt"},
};

// A key without a text that reads back as itself is written by its code.
const char* const CodePrefix = "Key ";

// Keys are matched against a text in this order, codes 8 to 255 and then 0
// to 7, as in earlier versions: of two keys with one text the first wins.
BYTE Candidate(int rank) {
    return static_cast<BYTE>(rank + 8);
}

// System key names asked for while a load is open, so that each key's name is
// asked of the system at most once per load. Empty when no load is open.
int KeyTextLoadDepth = 0;
std::vector<std::string> KeyTextCache;
std::vector<bool> KeyTextKnown;

bool TextsEqual(const char* a, int lengthA, const char* b, int lengthB) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, lengthA, b, lengthB) ==
           CSTR_EQUAL;
}

bool TextsEqual(const std::string& a, const std::string& b) {
    return TextsEqual(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()));
}

// The text Kestrow itself gives a key code, without modifiers; empty for the
// keys that go by the system's name.
std::string OwnKeyText(BYTE code) {
    switch (code) {
    case VK_BACK: return KeyCaptions[0];
    case VK_TAB: return KeyCaptions[1];
    case VK_ESCAPE: return KeyCaptions[2];
    case VK_RETURN: return KeyCaptions[3];
    case VK_INSERT: return KeyCaptions[13];
    case VK_DELETE: return KeyCaptions[14];
    }
    if (code >= VK_SPACE && code <= VK_DOWN) return KeyCaptions[4 + code - VK_SPACE];
    if (code >= '0' && code <= '9') return std::string(1, static_cast<char>(code));
    if (code >= 'A' && code <= 'Z') return std::string(1, static_cast<char>(code));
    if (code >= VK_NUMPAD0 && code <= VK_NUMPAD9)
        return "Num " + std::string(1, static_cast<char>('0' + code - VK_NUMPAD0));
    if (code >= VK_F1 && code <= VK_F24) return "F" + std::to_string(code - VK_F1 + 1);
    for (const TOwnKeyText& own : OwnKeyTexts)
        if (own.Code == code) return own.Text;
    return std::string();
}

// The system's name of a key code, from the load's table when a load is open.
std::string SystemKeyText(BYTE code) {
    if (KeyTextLoadDepth == 0) return GetKeyName(code);
    if (!KeyTextKnown[code]) {
        KeyTextCache[code] = GetKeyName(code);
        KeyTextKnown[code] = true;
    }
    return KeyTextCache[code];
}

// "Key 175" gives 175; 0 for anything else.
BYTE CodeFromText(std::string text) {
    if (!CutPrefix(text, CodePrefix) || text.empty() || text.size() > 3 || text[0] == '0') return 0;
    int code = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        code = code * 10 + (c - '0');
    }
    return code <= 255 ? static_cast<BYTE>(code) : 0;
}

// The key code of a key text without modifiers, 0 for none. Kestrow's own
// texts come first, then the system's names of the keys without one; last the
// names by which earlier versions wrote the keys of OwnKeyTexts.
BYTE KeyFromText(const std::string& text) {
    if (BYTE code = CodeFromText(text)) return code;
    for (int rank = 0; rank < 256; ++rank)
        if (TextsEqual(text, OwnKeyText(Candidate(rank)))) return Candidate(rank);
    for (int rank = 0; rank < 256; ++rank) {
        BYTE code = Candidate(rank);
        if (OwnKeyText(code).empty() && TextsEqual(text, SystemKeyText(code))) return code;
    }
    for (const TOwnKeyText& own : OwnKeyTexts)
        if (TextsEqual(text, SystemKeyText(own.Code))) return own.Code;
    return 0;
}

} // namespace

WORD HotKeyToShortCut(WORD hotKey) {
    WORD shortCut = hotKey & 0xFF;
    BYTE flags = HIBYTE(hotKey);
    if (flags & HOTKEYF_SHIFT) shortCut |= SC_SHIFT;
    if (flags & HOTKEYF_CONTROL) shortCut |= SC_CTRL;
    if (flags & HOTKEYF_ALT) shortCut |= SC_ALT;
    return shortCut;
}

WORD ShortCutToHotKey(WORD shortCut) {
    BYTE flags = 0;
    if (shortCut & SC_SHIFT) flags |= HOTKEYF_SHIFT;
    if (shortCut & SC_CTRL) flags |= HOTKEYF_CONTROL;
    if (shortCut & SC_ALT) flags |= HOTKEYF_ALT;
    return MAKEWORD(LOBYTE(shortCut), flags);
}

std::string GetKeyName(WORD shortCut) {
    UINT scanCode = MapVirtualKeyA(LOBYTE(shortCut), 0);
    if (scanCode == 0) return std::string();
    char name[256] = {};
    GetKeyNameTextA(static_cast<LONG>(scanCode << 16), name, sizeof name);
    return name;
}

// A text reads back as its word (without the extended flag) or is not used:
// the system may name a key like another key, like a modifier prefix or not
// at all, and then the key is written by its code.
std::string HotKeyToText(WORD hotKey) {
    WORD shortCut = HotKeyToShortCut(hotKey);
    BYTE code = LOBYTE(shortCut);
    if (code == 0) return std::string(); // modifiers are never written alone
    std::string modifiers;
    if (shortCut & SC_SHIFT) modifiers += KeyCaptions[CAPTION_SHIFT];
    if (shortCut & SC_CTRL) modifiers += KeyCaptions[CAPTION_CTRL];
    if (shortCut & SC_ALT) modifiers += KeyCaptions[CAPTION_ALT];
    BeginHotKeyLoad();
    std::string key = OwnKeyText(code);
    if (key.empty()) key = SystemKeyText(code);
    if (key.empty() || TextToHotKey(modifiers + key) != ShortCutToHotKey(shortCut))
        key = CodePrefix + std::to_string(code);
    EndHotKeyLoad();
    return modifiers + key;
}

WORD TextToHotKey(const std::string& text) {
    std::string rest = text;
    WORD flags = 0;
    for (;;) {
        if (CutPrefix(rest, KeyCaptions[CAPTION_SHIFT]))
            flags |= SC_SHIFT;
        else if (CutPrefix(rest, "^") || CutPrefix(rest, KeyCaptions[CAPTION_CTRL]))
            flags |= SC_CTRL;
        else if (CutPrefix(rest, KeyCaptions[CAPTION_ALT]))
            flags |= SC_ALT;
        else
            break;
    }
    if (rest.empty()) return 0;
    BYTE code = KeyFromText(rest);
    return code ? ShortCutToHotKey(static_cast<WORD>(flags | code)) : 0;
}

bool CutPrefix(std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    int length = static_cast<int>(prefix.size());
    if (!TextsEqual(text.c_str(), length, prefix.c_str(), length)) return false;
    text.erase(0, prefix.size());
    return true;
}

void BeginHotKeyLoad() {
    if (KeyTextLoadDepth++ > 0) return;
    KeyTextCache.assign(256, std::string());
    KeyTextKnown.assign(256, false);
}

void EndHotKeyLoad() {
    if (KeyTextLoadDepth == 0 || --KeyTextLoadDepth > 0) return;
    std::vector<std::string>().swap(KeyTextCache);
    std::vector<bool>().swap(KeyTextKnown);
}

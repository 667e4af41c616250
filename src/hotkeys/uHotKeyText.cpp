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

// Candidates of the text search; only their low byte is a key code.
constexpr int FIRST_CANDIDATE = 8;
constexpr int LAST_CANDIDATE = 0x255;

// Key texts asked for while a load is open, so that each key's name is
// asked of the system at most once per load. Empty when no load is open.
int KeyTextLoadDepth = 0;
std::vector<std::string> KeyTextCache;
std::vector<bool> KeyTextKnown;

bool TextsEqual(const char* a, int lengthA, const char* b, int lengthB) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, lengthA, b, lengthB) ==
           CSTR_EQUAL;
}

// The key text of a key code, without modifiers.
std::string KeyText(BYTE code, WORD shortCut) {
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
        return std::string(1, static_cast<char>('0' + code - VK_NUMPAD0));
    if (code >= VK_F1 && code <= VK_F24) return "F" + std::to_string(code - VK_F1 + 1);
    return GetKeyName(shortCut);
}

// The text of a candidate without modifiers, from the load's table when a
// load is open.
std::string CandidateText(BYTE code) {
    if (KeyTextLoadDepth == 0) return KeyText(code, code);
    if (!KeyTextKnown[code]) {
        KeyTextCache[code] = KeyText(code, code);
        KeyTextKnown[code] = true;
    }
    return KeyTextCache[code];
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

std::string HotKeyToText(WORD hotKey) {
    WORD shortCut = HotKeyToShortCut(hotKey);
    std::string key = KeyText(LOBYTE(shortCut), shortCut);
    if (key.empty()) return key; // modifiers are never written alone
    std::string text;
    if (shortCut & SC_SHIFT) text += KeyCaptions[CAPTION_SHIFT];
    if (shortCut & SC_CTRL) text += KeyCaptions[CAPTION_CTRL];
    if (shortCut & SC_ALT) text += KeyCaptions[CAPTION_ALT];
    return text + key;
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
    for (int candidate = FIRST_CANDIDATE; candidate <= LAST_CANDIDATE; ++candidate) {
        std::string key = CandidateText(static_cast<BYTE>(candidate));
        if (TextsEqual(rest.c_str(), static_cast<int>(rest.size()), key.c_str(),
                       static_cast<int>(key.size())))
            return ShortCutToHotKey(static_cast<WORD>(flags | (candidate & 0xFF)));
    }
    return 0;
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

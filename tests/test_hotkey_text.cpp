// Hotkey words and their stored text, with the system's real key names.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "../src/hotkeys/uHotKeyText.h"

namespace {

constexpr BYTE SHIFT = HOTKEYF_SHIFT;
constexpr BYTE CTRL = HOTKEYF_CONTROL;
constexpr BYTE ALT = HOTKEYF_ALT;
constexpr BYTE EXT = HOTKEYF_EXT;

WORD Word(BYTE key, BYTE flags) {
    return MAKEWORD(key, flags);
}

bool SameText(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool StartsWithPrefixText(const std::string& key) {
    for (const char* prefix : {"Shift+", "^", "Ctrl+", "Alt+"}) {
        std::string rest = key;
        if (CutPrefix(rest, prefix)) return true;
    }
    return false;
}

} // namespace

TEST(HotKeyText, WordsGiveTheirStoredText) {
    struct {
        WORD HotKey;
        const char* Text;
    } const cases[] = {
        {Word('O', CTRL | ALT), "Ctrl+Alt+O"},
        {Word(VK_F12, SHIFT), "Shift+F12"},
        {Word(VK_SPACE, ALT), "Alt+Space"},
        {Word(VK_NUMPAD5, CTRL), "Ctrl+5"},
        {Word('X', ALT | SHIFT), "Shift+Alt+X"},
        {Word('X', ALT | CTRL | SHIFT), "Shift+Ctrl+Alt+X"},
        {Word('O', CTRL | ALT | EXT), "Ctrl+Alt+O"},
        {Word('7', 0xF0 | SHIFT), "Shift+7"},
        {Word(VK_F1, 0), "F1"},
        {Word(VK_F24, 0), "F24"},
        {Word(VK_BACK, 0), "BkSp"},
        {Word(VK_TAB, 0), "Tab"},
        {Word(VK_RETURN, 0), "Enter"},
        {Word(VK_ESCAPE, 0), "Esc"},
        {Word(VK_PRIOR, 0), "PgUp"},
        {Word(VK_NEXT, 0), "PgDn"},
        {Word(VK_END, 0), "End"},
        {Word(VK_HOME, 0), "Home"},
        {Word(VK_LEFT, 0), "Left"},
        {Word(VK_UP, 0), "Up"},
        {Word(VK_RIGHT, 0), "Right"},
        {Word(VK_DOWN, 0), "Down"},
        {Word(VK_INSERT, 0), "Ins"},
        {Word(VK_DELETE, 0), "Del"},
        {Word(VK_NUMPAD0, 0), "0"},
        {Word(VK_NUMPAD9, 0), "9"},
        {Word('0', 0), "0"},
        {Word('Z', 0), "Z"},
        {0, ""},
        // A key without a name: the modifiers are never written alone.
        {Word(0, CTRL | ALT), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(c.Text, HotKeyToText(c.HotKey));
    }
}

TEST(HotKeyText, TextsGiveTheirWord) {
    struct {
        const char* Text;
        WORD HotKey;
    } const cases[] = {
        {"Ctrl+Alt+O", Word('O', CTRL | ALT)},
        {"ctrl+alt+o", Word('O', CTRL | ALT)},
        {"Alt+Ctrl+O", Word('O', CTRL | ALT)},
        {"^Alt+O", Word('O', CTRL | ALT)},
        {"Ctrl+Ctrl+O", Word('O', CTRL)},
        {"Shift+F12", Word(VK_F12, SHIFT)},
        {"alt+SPACE", Word(VK_SPACE, ALT)},
        {"Shift+Alt+X", Word('X', SHIFT | ALT)},
        // The digit keys come first, never the keypad.
        {"Ctrl+5", Word('5', CTRL)},
        {"0", Word('0', 0)},
        {"F24", Word(VK_F24, 0)},
        {"Del", Word(VK_DELETE, 0)},
        {"", 0},
        {"Ctrl+", 0},
        {"Shift+Ctrl+Alt+", 0},
        {"^", 0},
        {"Ctrl+Alt+NoSuchKey", 0},
        {"Ctrl+Alt+O+", 0},
        {"Ctrl+ O", 0},
        {"Ctrl-O", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(c.HotKey, TextToHotKey(c.Text));
    }
}

TEST(HotKeyText, ShortcutConversionsKeepOnlyTheThreeModifiers) {
    struct {
        WORD HotKey;
        WORD ShortCut;
    } const cases[] = {
        {Word('A', SHIFT), 0x2041}, {Word('A', CTRL), 0x4041},
        {Word('A', ALT), 0x8041},   {Word('A', SHIFT | CTRL | ALT), 0xE041},
        {Word('A', EXT), 0x0041},   {Word(VK_F1, 0xF0 | CTRL), 0x4070},
        {Word(0xFF, 0), 0x00FF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.HotKey);
        EXPECT_EQ(c.ShortCut, HotKeyToShortCut(c.HotKey));
        EXPECT_EQ(c.HotKey & 0x07FF, ShortCutToHotKey(c.ShortCut));
    }
    // Bits between the key and the modifiers are dropped on the way back.
    EXPECT_EQ(Word('A', CTRL), ShortCutToHotKey(0x5F41));
}

TEST(HotKeyText, CutPrefixIgnoresCaseAndLeavesShortTextsAlone) {
    struct {
        const char* Text;
        const char* Prefix;
        bool Cut;
        const char* Rest;
    } const cases[] = {
        {"Ctrl+X", "Ctrl+", true, "X"},     {"CTRL+x", "Ctrl+", true, "x"},
        {"Ctrl+", "Ctrl+", true, ""},       {"Ctrl", "Ctrl+", false, "Ctrl"},
        {"Alt+X", "Ctrl+", false, "Alt+X"}, {"", "^", false, ""},
        {"^^O", "^", true, "^O"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Text) + " / " + c.Prefix);
        std::string text = c.Text;
        EXPECT_EQ(c.Cut, CutPrefix(text, c.Prefix));
        EXPECT_EQ(c.Rest, text);
    }
}

TEST(HotKeyText, SystemKeyNamesAreUsedForOtherKeys) {
    // Keys outside the fixed table are named by the system; a code without a
    // scan code has no name.
    EXPECT_FALSE(GetKeyName(VK_OEM_COMMA).empty());
    EXPECT_EQ(GetKeyName(VK_OEM_COMMA), HotKeyToText(VK_OEM_COMMA));
    EXPECT_EQ("Ctrl+" + GetKeyName(VK_OEM_COMMA), HotKeyToText(Word(VK_OEM_COMMA, CTRL)));
    EXPECT_EQ("", GetKeyName(0));
    // Only the low byte of a shortcut names the key.
    EXPECT_EQ(GetKeyName(VK_OEM_COMMA), GetKeyName(0xE000 | VK_OEM_COMMA));
}

// Every key code with every modifier set: reading the text back gives the word
// without the extended flag. Keys whose text another code also has come back
// as the first of those codes (the keypad digits as the digits), and keys
// whose name starts like a modifier prefix cannot be read back whole.
TEST(HotKeyText, RoundTripOverEveryKeyAndModifierSet) {
    std::vector<std::string> keyText(256);
    for (int code = 0; code < 256; ++code)
        keyText[code] = HotKeyToText(static_cast<WORD>(code));

    int exact = 0, shared = 0, prefixed = 0;
    for (int code = 0; code < 256; ++code) {
        if (keyText[code].empty()) continue;
        bool isPrefixed = StartsWithPrefixText(keyText[code]);
        // The text search tries the codes 8 to 255 first, then 0 to 7.
        auto searchRank = [](int c) { return c >= 8 ? c - 8 : 248 + c; };
        int firstSame = code;
        for (int other = 0; other < 256; ++other)
            if (SameText(keyText[other], keyText[code]) &&
                searchRank(other) < searchRank(firstSame))
                firstSame = other;
        for (int flags = 0; flags < 16; ++flags) {
            SCOPED_TRACE("code " + std::to_string(code) + " flags " + std::to_string(flags) +
                         " text '" + keyText[code] + "'");
            WORD hotKey = Word(static_cast<BYTE>(code), static_cast<BYTE>(flags));
            std::string text = HotKeyToText(hotKey);
            WORD back = TextToHotKey(text);
            if (isPrefixed) {
                ++prefixed;
                continue;
            }
            if (firstSame == code) {
                ++exact;
                EXPECT_EQ(Word(static_cast<BYTE>(code), flags & 7), back);
            } else {
                ++shared;
                EXPECT_EQ(Word(static_cast<BYTE>(firstSame), flags & 7), back);
                EXPECT_EQ(text, HotKeyToText(back));
            }
        }
    }
    // The fixed table alone gives 15 + 10 + 26 + 24 distinct key texts, and
    // the ten keypad digits share theirs.
    EXPECT_GE(exact, 75 * 16);
    EXPECT_GE(shared, 10 * 16);
    RecordProperty("exact", exact);
    RecordProperty("shared", shared);
    RecordProperty("prefixed", prefixed);
}

TEST(HotKeyText, ALoadGivesTheSameWordsAsSingleReads) {
    std::vector<std::string> texts;
    for (int code = 0; code < 256; ++code)
        for (BYTE flags : {BYTE(0), BYTE(CTRL | ALT), BYTE(SHIFT)})
            texts.push_back(HotKeyToText(Word(static_cast<BYTE>(code), flags)));
    texts.push_back("Ctrl+Alt+NoSuchKey");
    texts.push_back("");

    std::vector<WORD> single;
    for (const std::string& text : texts)
        single.push_back(TextToHotKey(text));

    BeginHotKeyLoad();
    BeginHotKeyLoad(); // nested loads share one table
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i]);
        EXPECT_EQ(single[i], TextToHotKey(texts[i]));
    }
    EndHotKeyLoad();
    EXPECT_EQ(single[0], TextToHotKey(texts[0]));
    EndHotKeyLoad();
    EndHotKeyLoad(); // an unmatched end does nothing
    for (size_t i = 0; i < texts.size(); i += 7) {
        SCOPED_TRACE(texts[i]);
        EXPECT_EQ(single[i], TextToHotKey(texts[i]));
    }
}

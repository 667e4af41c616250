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

} // namespace

TEST(HotKeyText, WordsGiveTheirStoredText) {
    struct {
        WORD HotKey;
        const char* Text;
    } const cases[] = {
        {Word('O', CTRL | ALT), "Ctrl+Alt+O"},
        {Word(VK_F12, SHIFT), "Shift+F12"},
        {Word(VK_SPACE, ALT), "Alt+Space"},
        {Word(VK_NUMPAD5, CTRL), "Ctrl+Num 5"},
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
        {Word(VK_NUMPAD0, 0), "Num 0"},
        {Word(VK_NUMPAD9, 0), "Num 9"},
        {Word(VK_DIVIDE, CTRL | ALT), "Ctrl+Alt+Num /"},
        {Word(VK_MULTIPLY, 0), "Num *"},
        {Word(VK_DECIMAL, 0), "Num ."},
        {Word(VK_NUMLOCK, 0), "Num Lock"},
        {Word(VK_LSHIFT, 0), "Left Shift"},
        {Word(VK_RCONTROL, ALT), "Alt+Right Ctrl"},
        {Word(VK_RMENU, SHIFT), "Shift+Right Alt"},
        // A key the system does not name is written by its code.
        {Word(VK_VOLUME_UP, CTRL), "Ctrl+Key 175"},
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
        {"Ctrl+Num 5", Word(VK_NUMPAD5, CTRL)},
        {"num /", Word(VK_DIVIDE, 0)},
        {"Right Shift", Word(VK_RSHIFT, 0)},
        {"Ctrl+Key 1", Word(1, CTRL)},
        {"key 255", Word(255, 0)},
        {"Key 0", 0},
        {"Key 256", 0},
        {"Key 012", 0},
        {"Key 1a", 0},
        {"Key ", 0},
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

// Every key code with every set of modifiers comes back as itself; none is
// left out, since a key the system names like another key, like a modifier
// or not at all is written by its code. Only a word without a key has no text.
TEST(HotKeyText, EveryWordComesBackFromItsText) {
    int byCode = 0;
    for (int code = 0; code < 255; ++code)
        for (BYTE flags = 0; flags < 8; ++flags) {
            const WORD word = Word(static_cast<BYTE>(code), flags);
            const std::string text = HotKeyToText(word);
            SCOPED_TRACE("code " + std::to_string(code) + " flags " + std::to_string(flags) +
                         " text '" + text + "'");
            EXPECT_EQ(code == 0, text.empty());
            EXPECT_EQ(code == 0 ? 0 : word, TextToHotKey(text));
            byCode += text.find("Key ") != std::string::npos;
        }
    RecordProperty("writtenByCode", byCode / 8);
}

// Texts that earlier versions wrote still give the word they were read as
// (the names are Wine's, for the test display's US layout). A text that two
// keys shared stays with the main key: the keypad, Num Lock and the left and
// right modifiers now have texts of their own.
TEST(HotKeyText, TextsOfEarlierVersionsStillRead) {
    struct {
        const char* Text;
        WORD HotKey;
    } const cases[] = {
        // Also written for the keypad's digits.
        {"0", Word('0', 0)},
        {"Ctrl+5", Word('5', CTRL)},
        {"Shift+Ctrl+Alt+9", Word('9', SHIFT | CTRL | ALT)},
        // Also written for Num Lock, the left and right modifiers and Help.
        {"Pause", Word(VK_PAUSE, 0)},
        {"Ctrl+Shift", Word(VK_SHIFT, CTRL)},
        {"Control", Word(VK_CONTROL, 0)},
        {"Alt", Word(VK_MENU, 0)},
        // Also written for Num *.
        {"Alt+KP_Multiply", Word(VK_SNAPSHOT, ALT)},
        // Keypad keys that now have texts of their own.
        {"KP_Add", Word(VK_ADD, 0)},
        {"Ctrl+KP_Subtract", Word(VK_SUBTRACT, CTRL)},
        {"KP_Delete", Word(VK_DECIMAL, 0)},
        {"KP_Begin", Word(VK_CLEAR, 0)},
        {"Scroll_Lock", Word(VK_SCROLL, 0)},
        {"Ctrl+Alt+,", Word(VK_OEM_COMMA, CTRL | ALT)},
        // The two that change: they were read as Num / and, under Wine, as the
        // NEC keypad's =, also where the main key had been set.
        {"Ctrl+Alt+/", Word(VK_OEM_2, CTRL | ALT)},
        {"=", Word(VK_OEM_PLUS, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(c.HotKey, TextToHotKey(c.Text));
    }
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

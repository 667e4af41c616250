// The English language file that ships beside the program: every text the
// program asks for is there, format texts carry the placeholders that their
// callers fill, and menu accelerators do not collide.
#include <gtest/gtest.h>
#include <windows.h>
#include <set>
#include "support/TestSupport.h"
#include "../src/language/uLanguage.h"

namespace {

// Every text number that the program reads from a language file.
const int UsedNumbers[] = {
    201,  202,  203,  204,  205,  206,  207,  208,  209,  // tray menu
    410,  412,  413,  414,  417,  418,  419,  420,        // options page Main
    450,  454,  455,  456,  457,  459,                    // options page Hotkeys
    470,  471,  472,  474,                                // options page Other
    500,                                                  // language submenu
    600,  601,  602,  603,  604,                          // autoclose window
    2001, 2002, 2003, 2004, 2020, 2021, 2023, 2030, 2031, // messages and descriptions
};

// Controls whose content the program sets itself (edit field, spin, hotkey
// and list controls, the icon and the banner): a text would overwrite it.
const int NoTextNumbers[] = {415, 416, 451, 452, 453, 458, 473, 475, 605, 606, 607};

// The format texts with their callers' arguments, by kind: c a character,
// n an integer, s a text.
struct TFormatUse {
    int Number;
    const char* Kinds;
};
const TFormatUse FormatUses[] = {
    {2020, "c"},
    {2021, "cn"},
    {2030, "ssnn"},
    {2031, "sns"},
};

// The kinds of the placeholders in a text, in order; '?' for one of no kind.
std::string PlaceholderKinds(const std::string& text) {
    std::string kinds;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t j = text.find_first_not_of("-#0123456789.", i + 1);
        if (j != std::string::npos && (text[j] == 'l' || text[j] == 'h')) ++j;
        char type = j < text.size() ? text[j] : '\0';
        switch (type) {
        case 'c': kinds += 'c'; break;
        case 'd':
        case 'i':
        case 'u': kinds += 'n'; break;
        case 's': kinds += 's'; break;
        default: kinds += '?'; break;
        }
    }
    return kinds;
}

// The accelerator letter of a menu text (upper case), or 0 without one.
char Accelerator(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(toupper(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

class EnglishFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Path = ExeFolder() + "English.lng";
        ASSERT_TRUE(PathExists(Path));
        LanguageFileName = Path;
    }
    void TearDown() override { LanguageFileName.clear(); }
    std::string Path;
};

} // namespace

TEST_F(EnglishFileTest, HoldsEveryTextTheProgramUses) {
    for (int number : UsedNumbers) {
        SCOPED_TRACE(number);
        EXPECT_NE("", GetLangText(number));
    }
    for (int number : NoTextNumbers) {
        SCOPED_TRACE(number);
        EXPECT_EQ("", GetLangText(number));
    }
}

TEST_F(EnglishFileTest, FormatTextsCarryExactlyTheirCallersPlaceholders) {
    std::set<int> formats;
    for (const TFormatUse& use : FormatUses) {
        SCOPED_TRACE(use.Number);
        formats.insert(use.Number);
        EXPECT_EQ(use.Kinds, PlaceholderKinds(GetLangText(use.Number)));
    }
    // Other texts are shown as they are: a % there would be a slip.
    for (int number : UsedNumbers) {
        SCOPED_TRACE(number);
        if (!formats.count(number)) {
            EXPECT_EQ(std::string::npos, GetLangText(number).find('%'));
        }
    }
    // Filled with real arguments, nothing of a placeholder is left.
    const std::string filled[] = {
        FormatText(GetLangText(2020), {'D'}),
        FormatText(GetLangText(2021), {'D', 7}),
        FormatText(GetLangText(2030), {"[D:] - DATA", "CDFS", 650LL, 0x1234ABCDu}),
        FormatText(GetLangText(2031), {"[E:] - Audio CD", 12, "A50B3E0C"}),
    };
    for (const std::string& text : filled) {
        SCOPED_TRACE(text);
        EXPECT_EQ(std::string::npos, text.find('%'));
    }
}

TEST_F(EnglishFileTest, MenuAcceleratorsAreUniqueWithinEachMenu) {
    // The tray menu holds 201-209, the language submenu 500 and the
    // current-drive item 2002; the autoclose window has buttons 601-603.
    const std::vector<std::vector<int>> menus = {
        {201, 202, 203, 204, 205, 206, 207, 208, 209, 500, 2002},
        {601, 602, 603},
    };
    for (const std::vector<int>& menu : menus) {
        std::set<char> seen;
        for (int number : menu) {
            SCOPED_TRACE(number);
            char letter = Accelerator(GetLangText(number));
            if (letter) {
                EXPECT_TRUE(seen.insert(letter).second) << "repeated &" << letter;
            }
        }
    }
    // 205 is also the options window's caption, where an & would show.
    EXPECT_EQ(std::string::npos, GetLangText(205).find('&'));
}

TEST_F(EnglishFileTest, IsPlainAsciiWithCrLfLineEnds) {
    std::string bytes = ReadTextFile(Path);
    ASSERT_FALSE(bytes.empty());
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        bool fine = c < 0x80 && (c >= 0x20 || c == '\r' || c == '\n');
        if (c == '\n') fine = i > 0 && bytes[i - 1] == '\r';
        if (c == '\r') fine = i + 1 < bytes.size() && bytes[i + 1] == '\n';
        ASSERT_TRUE(fine) << "byte " << i << " (code " << int(c) << ")";
    }
}

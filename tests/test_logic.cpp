// Logic that needs no drive: the guarded formatter, hotkey texts, numbers,
// paths, command identifiers and parameters. With KESTROW_FUZZ_SECONDS set,
// LogicFuzz runs the parsers on random inputs for that long, after replaying
// the inputs kept in the folder KESTROW_FUZZ_INPUTS names.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "../src/app/uCMD.h"
#include "../src/common/uUtils.h"
#include "../src/drives/uCDTools.h"
#include "../src/hotkeys/uHotKeyText.h"
#include "../src/language/uLanguage.h"
#include "../src/menus/uMenus.h"
#include "../src/settings/RegIni.h"
#include "../src/settings/uSettings.h"
#include "../src/tray/uImages.h"
#include "../res/resource.h"

namespace {

using TLines = std::vector<std::string>;

unsigned Seed() {
    const char* fixed = getenv("KESTROW_SEED");
    const unsigned seed = fixed ? strtoul(fixed, nullptr, 10) : GetTickCount();
    printf("seed %u (KESTROW_SEED=%u repeats it)\n", seed, seed);
    return seed;
}

// An argument kept as a line: its kind (s text, c character, l 64-bit
// number, anything else a number), then its value.
TFormatArg ArgOf(const std::string& line) {
    const char* value = line.c_str() + 1;
    if (line[0] == 's') return TFormatArg(value);
    if (line[0] == 'c') return TFormatArg(*value);
    if (line[0] == 'l') return TFormatArg(strtoll(value, nullptr, 10));
    return TFormatArg(static_cast<int>(strtoll(value, nullptr, 10)));
}

// The system formatter's text, cut at FormatText's limit; the buffer has room
// for Wine's overrun of its 1,024 bytes by one wide placeholder.
std::string SystemFormat(const std::string& fmt, const std::vector<TFormatArg>& args) {
    std::vector<DWORD_PTR> values;
    for (const TFormatArg& a : args)
        values.push_back(a.Kind == TFormatArg::faString ? reinterpret_cast<DWORD_PTR>(a.Text)
                                                        : static_cast<DWORD>(a.Number));
    values.push_back(0);
    std::vector<char> buffer(2048, 0);
    wvsprintfA(buffer.data(), fmt.c_str(), reinterpret_cast<va_list>(values.data()));
    buffer[FormatTextLimit] = '\0';
    return buffer.data();
}

size_t RandomField(std::mt19937& rng) {
    const unsigned kind = rng() % 4;
    return kind == 0 ? 0 : kind == 1 ? rng() % 30 : kind == 2 ? rng() % 400 : 900 + rng() % 400;
}

// A placeholder from every part of the syntax with a fitting argument (as a
// line); Bound is the most the system formatter prints for it. decimalPrefix
// puts '#' on decimal numbers too, which Wine takes for a "0x" it never prints.
struct TPlaceholderCase {
    std::string Placeholder, Arg;
    size_t Bound;
};
TPlaceholderCase RandomPlaceholder(std::mt19937& rng, bool decimalPrefix) {
    const char type = "cCdiuxXpsS"[rng() % 10];
    const bool text = type == 's' || type == 'S';
    std::string p = "%";
    if (rng() % 3 == 0) p += '-';
    if (rng() % 3 == 0 && (strchr("xXp", type) || decimalPrefix)) p += '#';
    if (rng() % 3 == 0) p += '0';
    const size_t width = RandomField(rng);
    const bool hasPrecision = rng() % 3 == 0;
    const size_t precision = hasPrecision ? RandomField(rng) : 0;
    if (width > 0) p += std::to_string(width);
    if (hasPrecision) p += "." + std::to_string(precision);
    if (type == 'S' || (type == 's' && rng() % 4 == 0))
        p += 'h';
    else if (!text && rng() % 4 == 0)
        p += "lh"[rng() % 2];
    p += type;
    if (text) {
        std::string s(rng() % 8 == 0 ? rng() % 1500 : rng() % 20, ' ');
        for (char& c : s)
            c = static_cast<char>('!' + rng() % 94);
        const size_t shown = precision > 0 ? std::min(s.size(), precision) : s.size();
        return {p, "s" + s, std::max(width, shown)};
    }
    if (type == 'c' || type == 'C') // never a NUL, which would end the text
        return {p,
                rng() % 2 ? "c" + std::string(1, 'A' + rng() % 26)
                          : "i" + std::to_string(1 + rng() % 255),
                std::max<size_t>(width, 1)};
    const std::string numbers[] = {
        "i" + std::to_string(static_cast<int>(rng())), "i" + std::to_string(rng() % 100), "i-1",
        "l" + std::to_string((static_cast<long long>(rng()) << 32) | rng())};
    return {p, numbers[rng() % 4], std::max({width, precision, size_t(16)}) + 3};
}

} // namespace

TEST(FormatText, SoundTextsGiveWhatTheSystemGivesAndUnfitPlaceholdersStayAsWritten) {
    const std::string longText(1500, 'L');
    const char* none = nullptr;
    const struct {
        std::string Fmt;
        std::initializer_list<TFormatArg> Args;
        const char* Expected; // null: what the system formatter gives
    } cases[] = {
        {"%c: %d|100%% done", {'D', 7}, "D: 7|100% done"},
        {"%-10s|%10s|%.2s|%hs|%hS", {"ab", "cd", "efgh", "d", "e"}, nullptr},
        {"%5d|%-5d|%05d|%i|%u|%ld %lu %hd %hu", {42, -42, 42, -1, -1, 70000, 70000, 7, 7}, nullptr},
        {"%x %X %#x %#X %08X|%lc%hc%C", {255, 255, 255, 255, 48879, 'a', 'b', 'c'}, nullptr},
        {"%s, %s, %d, %u|%d|%u",
         {"[D:] - X", "CDFS", 650LL, 0x1234ABCDu, 0x100000005LL, -1LL},
         nullptr}, // 64-bit numbers give their low 32 bits
        {"%2000d|%-3000s|%s", {5, "x", longText}, nullptr},
        {std::string(1200, 'f') + "%d", {123456}, nullptr},
        {"%s|%s|%c|%d|%s%s", {"a", 42, "t", "t"}, "a|%s|%c|%d|%s%s"},
        {"value %|100% sure|%q and %d|%*d|%I64d|%lld",
         {3, 5, 6LL, 7},
         "value %|100% sure|%q and 3|%*d|%I64d|%lld"},
        {"%ls|%ws|%S|%d %s %d", {"a", "b", "c", 1, 2, 3}, "%ls|%ws|%S|1 %s 3"},
        {"[%s][%s][%5s]", {"", none, ""}, "[][][     ]"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << ": " << cases[i].Fmt.substr(0, 40));
        EXPECT_EQ(cases[i].Expected ? cases[i].Expected : SystemFormat(cases[i].Fmt, cases[i].Args),
                  FormatText(cases[i].Fmt, cases[i].Args));
    }
}

// Wine's formatter writes past its 1,024 bytes where a "%#X" fills the rest of
// them, and runs on without end after two such fields.
TEST(FormatText, HostileWideFieldsStopAtExactlyTheLimit) {
    const std::string text =
        FormatText("%s%s%#1100X%#1100X", {"[D:] - BACKUP_2024", "CDFS", 4482LL, 0xFFFFFFFFu});
    EXPECT_EQ(FormatTextLimit, text.size());
    EXPECT_EQ("[D:] - BACKUP_2024CDFS" + std::string(900, ' '), text.substr(0, 922));
    const std::string longText(1500, 't');
    for (const char* placeholder : {"%#1100X", "%-#1100X", "%#.1100x", "%1100s"})
        for (size_t before : {0, 120, 1000, 1022}) {
            SCOPED_TRACE(testing::Message() << before << " characters, then " << placeholder);
            const std::string plain(before, 'p'), fmt = plain + placeholder + placeholder;
            const std::string out = strchr(placeholder, 's') ? FormatText(fmt, {longText, longText})
                                                             : FormatText(fmt, {0xFFFFFFFFu, 5});
            EXPECT_EQ(FormatTextLimit, out.size());
            EXPECT_EQ(plain, out.substr(0, before));
        }
}

// Each placeholder alone, in every room from one character to all of them, in
// a buffer of exactly the promised size between poisoned bytes.
TEST(FormatText, APlaceholderWritesNothingBeyondItsRoom) {
    const unsigned seed = Seed();
    std::mt19937 rng(seed);
    const std::string poison(64, '\xA5');
    std::vector<char> memory(FormatTextLimit + PlaceholderSlack + 1 + 2 * poison.size());
    for (int n = 0; n < 4000; ++n) {
        const TPlaceholderCase p = RandomPlaceholder(rng, true);
        const unsigned pick = rng() % 3;
        const size_t room = pick == 0   ? 1 + rng() % 40
                            : pick == 1 ? FormatTextLimit - rng() % 40
                                        : 1 + rng() % FormatTextLimit;
        SCOPED_TRACE(testing::Message() << "seed " << seed << " case " << n << ": " << p.Placeholder
                                        << " in " << room);
        std::fill(memory.begin(), memory.end(), '\xA5');
        char* buffer = memory.data() + poison.size();
        const size_t length = FormatPlaceholder(p.Placeholder, ArgOf(p.Arg), room, buffer);
        ASSERT_EQ(poison, std::string(memory.data(), poison.size()));
        ASSERT_EQ(poison, std::string(buffer + room + PlaceholderSlack + 1, poison.size()));
        ASSERT_LE(length, room);
        ASSERT_EQ('\0', buffer[length]);
        // Wine ends a decimal number with '#' early: nothing to compare with.
        if (p.Placeholder.find('#') != std::string::npos && !strchr("xXp", p.Placeholder.back()))
            continue;
        const std::string alone = SystemFormat(p.Placeholder, {ArgOf(p.Arg)});
        ASSERT_EQ(std::min(alone.size(), room), length);
        if (alone.size() < room) {
            ASSERT_EQ(alone, std::string(buffer, length));
        }
    }
}

// Every key with every set of modifiers comes back from its text as itself,
// half of them while a load keeps the system's key names.
TEST(HotKeyText, EveryWordReadsBackFromItsTextAsItself) {
    for (BYTE flags = 0; flags < 8; ++flags) {
        if (flags == 4) BeginHotKeyLoad();
        for (int code = 1; code <= 254; ++code) {
            const WORD word = MAKEWORD(code, flags);
            const std::string text = HotKeyToText(word);
            ASSERT_EQ(word, TextToHotKey(text))
                << "code " << code << " flags " << int(flags) << " text '" << text << "'";
        }
    }
    EndHotKeyLoad();
    EXPECT_EQ("", HotKeyToText(MAKEWORD(0, HOTKEYF_CONTROL))); // never modifiers alone
    // Neither the extended flag nor the unused bits are written.
    EXPECT_EQ("Ctrl+Alt+O", HotKeyToText(MAKEWORD('O', 0xF8 | HOTKEYF_CONTROL | HOTKEYF_ALT)));
}

// Texts this version writes (W), texts earlier versions wrote, and malformed
// ones (0). "KP_Multiply" and the like are Wine's names (US layout).
TEST(HotKeyText, StoredTextsKeepTheirMeaning) {
    constexpr BYTE S = HOTKEYF_SHIFT, C = HOTKEYF_CONTROL, A = HOTKEYF_ALT, W = 1;
    const struct {
        const char* Text;
        WORD Word;
        BYTE Written;
    } cases[] = {
        // clang-format off
        {"Ctrl+Alt+O", MAKEWORD('O', C | A), W}, {"Shift+F12", MAKEWORD(VK_F12, S), W},
        {"Alt+Space", MAKEWORD(VK_SPACE, A), W}, {"Ctrl+Num 5", MAKEWORD(VK_NUMPAD5, C), W},
        {"Shift+Ctrl+Alt+X", MAKEWORD('X', S | C | A), W}, {"Num Lock", VK_NUMLOCK, W},
        {"Ctrl+Key 175", MAKEWORD(VK_VOLUME_UP, C), W}, {"Alt+Right Ctrl", MAKEWORD(VK_RCONTROL, A), W},
        {"BkSp", VK_BACK, W}, {"PgDn", VK_NEXT, W}, {"Del", VK_DELETE, W}, {"F24", VK_F24, W},
        {"ctrl+alt+o", MAKEWORD('O', C | A), 0}, {"Alt+Ctrl+O", MAKEWORD('O', C | A), 0},
        {"^Alt+O", MAKEWORD('O', C | A), 0}, {"Ctrl+Shift", MAKEWORD(VK_SHIFT, C), 0},
        {"0", '0', 0}, {"Pause", VK_PAUSE, 0}, {"Control", VK_CONTROL, 0}, {"KP_Add", VK_ADD, 0},
        {"Alt+KP_Multiply", MAKEWORD(VK_SNAPSHOT, A), 0}, {"KP_Delete", VK_DECIMAL, 0},
        {"Ctrl+KP_Subtract", MAKEWORD(VK_SUBTRACT, C), 0}, {"Scroll_Lock", VK_SCROLL, 0},
        {"Ctrl+Alt+,", MAKEWORD(VK_OEM_COMMA, C | A), 0}, {"=", VK_OEM_PLUS, 0},
        {"Ctrl+Alt+/", MAKEWORD(VK_OEM_2, C | A), 0}, {"key 255", 255, 0}, {"", 0, 0},
        {"Ctrl+", 0, 0}, {"^", 0, 0}, {"Ctrl+Alt+O+", 0, 0}, {"Ctrl+Alt+NoSuchKey", 0, 0},
        {"Ctrl-O", 0, 0}, {"Ctrl+ O", 0, 0}, {"Key 0", 0, 0}, {"Key 256", 0, 0},
        {"Key 012", 0, 0}, {"Key 1a", 0, 0},
        // clang-format on
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << ": " << cases[i].Text);
        EXPECT_EQ(cases[i].Word, TextToHotKey(cases[i].Text));
        if (cases[i].Written) {
            EXPECT_EQ(cases[i].Text, HotKeyToText(cases[i].Word));
        }
    }
}

// Leading blanks, a sign, decimal or hexadecimal ($, x, 0x) digits; a malformed
// text gives what was read before the offending character, without its sign.
TEST(TextToInteger, ReadsTheSettingsFilesNumbers) {
    const struct {
        const char* Text;
        int Value;
        BYTE WellFormed;
    } cases[] = {
        // clang-format off
        {"15", 15, 1}, {"   -5", -5, 1}, {"+8", 8, 1}, {"0", 0, 1}, {"$1f", 31, 1}, {"x1F", 31, 1},
        {"X10", 16, 1}, {"0XfF", 255, 1}, {"-$10", -16, 1}, {"$FFFFFFFF", -1, 1},
        {"2147483647", INT_MAX, 1}, {"-2147483648", INT_MIN, 1}, {"", 0, 0}, {"abc", 0, 0},
        {"12abc", 12, 0}, {"15 ", 15, 0}, {"-7x", 7, 0}, {"-", 0, 0}, {" ", 0, 0}, {"$", 0, 0},
        {"0x", 0, 0}, {"$1G", 1, 0}, {"1.5", 1, 0}, {"- 5", 0, 0}, {"--5", 0, 0}, {"\t5", 0, 0},
        {"2147483648", 214748364, 0}, {"-2147483649", 214748364, 0}, {"$100000000", 0x10000000, 0},
        // clang-format on
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << ": '" << cases[i].Text << "'");
        int value = 12345;
        EXPECT_EQ(cases[i].WellFormed == 1, TextToInteger(cases[i].Text, value));
        EXPECT_EQ(cases[i].Value, value);
    }
}

// ~ stands for a new folder, ^ for the same without its drive: the form used
// when the application-data folder is unknown, which once recursed for ever.
TEST(Paths, MakeFolderPathMakesEveryMissingFolderAndExtractAppPathCutsAtTheLast) {
    const std::string base = NewTempFolder();
    WriteTextFile(base + "file", "x");
    ASSERT_TRUE(SetCurrentDirectoryA(base.c_str()));
    const char* folders[][2] = {{"~one\\two\\three\\", "1"},
                                {"~one\\two\\three", "1"},
                                {"~one\\four", "1"},
                                {"C:", "1"},
                                {"C:\\", "1"},
                                {"^rel\\sub\\", "1"},
                                {"\\Orvane\\Kestrow\\", "1"},
                                {"~file\\sub", ""},
                                {"~bad|name\\sub", ""}};
    for (size_t i = 0; i < std::size(folders); ++i) {
        std::string path = ReplaceAllText(folders[i][0], "~", base);
        path = ReplaceAllText(path, "^", "\\" + base.substr(3));
        SCOPED_TRACE(testing::Message() << "row " << i << ": " << path);
        EXPECT_EQ(*folders[i][1] != 0, MakeFolderPath(path));
        EXPECT_EQ(*folders[i][1] != 0, FolderExists(path));
    }
    EXPECT_TRUE(FolderExists(base + "rel\\sub") && FolderExists("C:\\Orvane\\Kestrow"));
    SetCurrentDirectoryA("C:\\");
    const char* apps[][2] = {{"C:\\Program Files\\K\\k.exe", "C:\\Program Files\\K\\"},
                             {"C:\\k.exe", "C:\\"},
                             {"k.exe", ""},
                             {"", ""}};
    for (const auto& app : apps)
        EXPECT_EQ(app[1], ExtractAppPath(app[0])) << app[0];
}

// Every drive, the two pseudo drives included, and every action: the
// identifier splits back, lies between the drive selections and the fixed
// commands, and belongs to nothing else.
TEST(CommandID, EveryDriveAndActionHasAnIdentifierOfItsOwn) {
    std::set<int> seen;
    for (BYTE drive = 0; drive <= DRIVE_CLOSEPROGRAM; ++drive)
        for (BYTE action = 0; action < CMD_DRIVE_ACTIONS; ++action) {
            const int id = MakeCommandID(drive, action);
            BYTE d = 99, a = 99;
            SplitCommandID(id, d, a);
            EXPECT_EQ(drive * 100 + action, d * 100 + a) << id;
            EXPECT_TRUE(id >= CMD_DRIVE_BASE && id < IDM_DRIVES && seen.insert(id).second) << id;
        }
    for (BYTE drive = 0; drive < MAX_DRIVES; ++drive)
        EXPECT_EQ(drive < CMD_DRIVE_BASE ? drive : IDM_SELECTDRIVE20, SelectDriveCommandID(drive));
}

TEST(TextRoutines, ParametersCopiesAndReplacements) {
    const char* params[][2] = {{"o", "O"},
                               {"-O", "O"},
                               {"/oa", "OA"},
                               {"\\c", "C"},
                               {"--x", "-X"},
                               {"//a", "/A"},
                               {"", ""},
                               {"-", ""},
                               {"a-b", "A-B"},
                               {"{z}", "{Z}"},
                               {"\xe9t\xe9", "\xe9T\xe9"}};
    for (const auto& p : params)
        EXPECT_EQ(p[1], NormalizeParam(p[0])) << p[0];
    char buffer[8];
    memset(buffer, 'X', sizeof buffer);
    EXPECT_STREQ("abcde", CopyTextToBuffer(buffer, "abcdefghij", 5));
    EXPECT_EQ('X', buffer[6]);
    const char* replace[][4] = {{"xAbxab", "ab", "-", "x-x-"},
                                {"aaa", "aa", "b", "ba"},
                                {"abab", "ab", "abab", "abababab"},
                                {"", "ab", "-", ""},
                                {"A\\nB\\NC", "\\n", "\r\n", "A\r\nB\r\nC"},
                                {"keep", "", "-", "keep"},
                                {"ab", "abc", "-", "ab"}};
    for (const auto& r : replace)
        EXPECT_EQ(r[3], ReplaceAllText(r[0], r[1], r[2])) << r[0] << " / " << r[1];
}

// ---- fuzz: each target makes an input as lines and checks its properties on
// them; a failing input is printed, to be kept as TARGET-NAME.txt -----------

namespace {

// "=" when the system formatter must agree (else "~"), the format, then its
// arguments (see ArgOf); missing ones are empty texts.
TLines MakeFormat(std::mt19937& rng) {
    TLines lines = {"=", ""};
    size_t bound = 0;
    for (unsigned k = rng() % 5; k > 0; --k) {
        const size_t plain = rng() % 4 ? rng() % 30 : rng() % 400;
        lines[1] += std::string(plain, 'a' + rng() % 26) + (rng() % 8 ? "" : "%%");
        const TPlaceholderCase p = RandomPlaceholder(rng, false);
        lines[1] += p.Placeholder;
        lines.push_back(p.Arg);
        bound += plain + 1 + p.Bound;
    }
    if (bound >= FormatTextLimit) lines[0] = "~";
    for (unsigned k = rng() % 8 ? 0 : 1 + rng() % 9; k > 0; --k) { // the syntax's own characters
        lines[1].insert(rng() % (lines[1].size() + 1), 1, "%#-0.19lhwIsdcxXpuS"[rng() % 19]);
        lines[0] = "~";
    }
    return lines;
}

void CheckFormat(const TLines& lines) {
    std::vector<TFormatArg> args;
    for (size_t i = 2; i < 8; ++i)
        args.push_back(i < lines.size() ? ArgOf(lines[i]) : TFormatArg(""));
    const std::string text =
        FormatText(lines.at(1), {args[0], args[1], args[2], args[3], args[4], args[5]});
    ASSERT_LE(text.size(), FormatTextLimit);
    if (lines[0] == "=") {
        EXPECT_EQ(SystemFormat(lines[1], args), text);
    }
}

TLines MakeHotKey(std::mt19937& rng) {
    static const char* const parts[] = {"Shift+", "Ctrl+", "Alt+", "^",         "Key ", "Num ",
                                        "KP_",    "+",     "F",    "1",         "255",  "0",
                                        "O",      "Space", " ",    "Left Shift"};
    std::string text = rng() % 2 ? HotKeyToText(static_cast<WORD>(rng())) : "";
    if (!text.empty()) text[rng() % text.size()] ^= rng() % 2 ? 0x20 : 1;
    for (unsigned n = text.empty() ? 1 + rng() % 4 : 0; n > 0; --n)
        text += parts[rng() % std::size(parts)];
    return {text};
}

// A text reads as nothing, or as a word with a key whose own text reads back as it.
void CheckHotKey(const TLines& lines) {
    const WORD word = TextToHotKey(lines.at(0));
    if (word == 0) return;
    EXPECT_TRUE(LOBYTE(word) != 0 && HIBYTE(word) < 8) << word;
    EXPECT_EQ(word, TextToHotKey(HotKeyToText(word))) << HotKeyToText(word);
}

TLines MakeInteger(std::mt19937& rng) {
    std::string text(rng() % 3, ' ');
    text += rng() % 3 ? "" : rng() % 2 ? "-" : "+";
    text += std::vector<std::string>{"", "", "$", "x", "X", "0x", "0X"}[rng() % 7];
    for (unsigned n = rng() % 13; n > 0; --n)
        text += "0123456789abcdefABCDEF"[rng() % (rng() % 2 ? 10 : 22)];
    if (rng() % 5 == 0) text += " x-$G."[rng() % 6];
    return {text};
}

// The rule read another way: the longest run of the base's digits that stays
// within the limit, and whether it ends the text.
void CheckInteger(const TLines& lines) {
    const std::string& t = lines.at(0);
    size_t i = std::min(t.find_first_not_of(' '), t.size());
    const bool minus = t.compare(i, 1, "-") == 0;
    if (minus || t.compare(i, 1, "+") == 0) ++i;
    const bool hex = (i < t.size() && strchr("$xX", t[i])) || t.compare(i, 2, "0x") == 0 ||
                     t.compare(i, 2, "0X") == 0;
    if (hex) i += t[i] == '0' ? 2 : 1;
    const char* digitSet = hex ? "0123456789abcdefABCDEF" : "0123456789";
    std::string digits = t.substr(i, std::min(t.find_first_not_of(digitSet, i), t.size()) - i);
    const unsigned long long limit = hex ? 0xFFFFFFFFull : minus ? 0x80000000ull : 0x7FFFFFFFull;
    while (strtoull(digits.c_str(), nullptr, hex ? 16 : 10) > limit)
        digits.pop_back();
    const unsigned bits = strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    const bool whole = !digits.empty() && i + digits.size() == t.size();
    int value = 12345;
    EXPECT_EQ(whole, TextToInteger(t, value));
    EXPECT_EQ(static_cast<int>(whole && minus ? 0u - bits : bits), value);
}

const std::string& FuzzFolder() {
    static const std::string folder = NewTempFolder();
    return folder;
}

// A path below the fuzz folder, or the same from the root of its drive.
TLines MakeFolder(std::mt19937& rng) {
    std::string path = rng() % 4 ? FuzzFolder() : "\\" + FuzzFolder().substr(3);
    for (unsigned n = rng() % 5; n > 0; --n)
        for (unsigned c = 1 + rng() % 4; c > 0; --c)
            path += rng() % 10 ? "abc\\"[rng() % 4] : " .|:*?"[rng() % 6];
    return {path};
}

// It ends, and the folder it made exists (as the last name without its
// backslash: the system drops that name's trailing dots and blanks); a path
// of plain names is always made.
void CheckFolder(const TLines& lines) {
    const std::string& path = lines.at(0);
    SetCurrentDirectoryA(FuzzFolder().c_str());
    const bool made = MakeFolderPath(path);
    EXPECT_TRUE(!made || FolderExists(path.substr(0, path.find_last_not_of('\\') + 1)));
    EXPECT_TRUE(made || path.rfind(FuzzFolder(), 0) != 0 ||
                path.find("\\\\") != std::string::npos ||
                path.find_first_not_of("abc\\", FuzzFolder().size()) != std::string::npos);
}

// An "open" value: names and parameters, quotes, blanks and control
// characters, now and then about as long as a path or far longer.
TLines MakeAutorun(std::mt19937& rng) {
    static const char chars[] = "abcXYZ.\\: \t\"/-\x01\x1b\x7f\xe9";
    const unsigned kind = rng() % 8;
    std::string value(kind == 0 ? 5000 : kind < 3 ? 250 + rng() % 20 : rng() % 40, 'a');
    for (char& c : value)
        if (rng() % 3 == 0) c = chars[rng() % (sizeof chars - 1)];
    return {value};
}

bool HasControl(const std::string& s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return (c >= 0 && c < ' ' && c != '\t') || c == '\x7f'; });
}

// A program is named only within the bounds, from the drive's root unless
// absolute, with parameters from the value; a short plain name always is.
void CheckAutorun(const TLines& lines) {
    const std::string& value = lines.at(0);
    WriteTextFile("C:\\autorun.inf", "[autorun]\r\nopen=" + value + "\r\n");
    std::string program, params;
    const bool named = GetAutorunCommand('C', program, params);
    if (named) {
        EXPECT_TRUE(program.size() < MAX_PATH && params.size() < MAX_PATH);
        EXPECT_FALSE(HasControl(program) || HasControl(params));
        EXPECT_TRUE(program[1] == ':' || program.rfind("\\\\", 0) == 0) << program;
        EXPECT_NE(std::string::npos, value.find(params)) << params;
        EXPECT_TRUE(params.empty() || !strchr(" \t", params[0])) << params;
    }
    const bool plain = !value.empty() && value.size() < 100 &&
                       value.find_first_not_of("abcXYZ.-\xe9") == std::string::npos;
    EXPECT_TRUE(!plain || (named && program == "C:\\" + value)) << program;
}

// The main window's commands, recorded on their way to it.
std::vector<int> Commands;
WNDPROC ProgramWndProc;
LRESULT CALLBACK RecordCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) Commands.push_back(LOWORD(wParam));
    return CallWindowProcA(ProgramWndProc, window, message, wParam, lParam);
}

// The drive letters, then the parameters.
TLines MakeCommandLine(std::mt19937& rng) {
    static const char* const words[] = {"o",        "/O",   "-c", "\\oa", "CA", "b",
                                        "a",        "x",    "",   "OPEN", "-",  "d",
                                        "E:",       "u",    "/f", ":",    "A",  "a0",
                                        "A12x",     "A$1F", "-D", "/d",   "L",  "LNoSuchLanguage",
                                        "Lenglish", "Q",    "k"};
    TLines lines = {rng() % 8 ? "" : "ABCDEFGHIJKLMNOPQRSTU"};
    for (char letter = 'A'; letter <= 'U' && lines[0].size() < MAX_DRIVES; ++letter)
        if (rng() % 3 == 0) lines[0] += letter;
    for (unsigned n = rng() % 6; n > 0; --n)
        lines.push_back(words[rng() % std::size(words)]);
    return lines;
}

// At most one drive selection, then at most one action, each a command of the
// program; requests to listed drives only; the run ends unless an open waits
// for its countdown; the only error box is about the arguments.
void CheckCommandLine(const TLines& lines) {
    EnsureMainWindow();
    if (!ProgramWndProc)
        ProgramWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCommand)));
    ResetProgramState();
    CommandLineMode = true;
    AppPath = ExeFolder();
    UseDriveList(lines.at(0));
    TLines params = lines;
    params[0] = AppPath + "kestrow.exe";
    std::vector<char*> argv;
    for (std::string& p : params)
        argv.push_back(&p[0]);
    Commands.clear();
    ProcessCommandLine(static_cast<int>(argv.size()), argv.data());
    const std::set<int> actions = {IDM_OPEN,    IDM_CLOSE,   IDM_BROWSE,
                                   IDM_AUTORUN, IDM_OPENALL, IDM_CLOSEALL};
    size_t selected = 0, acted = 0;
    for (int id : Commands) {
        const bool selection = id < CDCount || (id == IDM_SELECTDRIVE20 && CDCount == MAX_DRIVES);
        EXPECT_TRUE(selection ? acted == 0 : actions.count(id) == 1) << id;
        ++(selection ? selected : acted);
    }
    EXPECT_TRUE(selected <= 1 && acted <= 1);
    for (const TDeviceRequest& request : DeviceRequests)
        EXPECT_NE(std::string::npos, lines[0].find(request.Path.at(4))) << request.Path;
    for (const TMessageBoxCall& box : MessageBoxCalls)
        EXPECT_EQ("Invalid arguments", box.Text);
    MSG quit;
    const bool waits = acted == 1 && Commands.back() == IDM_OPEN && AutoClose;
    EXPECT_EQ(lines.size() > 1 && CDCount > 0 && !waits,
              PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0);
    if (AutocloseDialog) DestroyWindow(AutocloseDialog);
    DestroyMenus();
    for (TCDBitmapsList* list : {&CDBitmaps, &CDBitmapsChecked})
        for (HBITMAP& bitmap : *list)
            FreeObject(bitmap);
    ResetProgramState();
}

const struct {
    const char* Name;
    TLines (*Make)(std::mt19937&);
    void (*Check)(const TLines&);
    int Rounds; // inputs per turn: the fast targets get more
} Targets[] = {
    {"format", MakeFormat, CheckFormat, 20},    {"hotkey", MakeHotKey, CheckHotKey, 20},
    {"integer", MakeInteger, CheckInteger, 50}, {"folder", MakeFolder, CheckFolder, 2},
    {"autorun", MakeAutorun, CheckAutorun, 2},  {"cmdline", MakeCommandLine, CheckCommandLine, 1},
};

std::string Printed(const std::string& target, const TLines& lines) {
    std::string text = target + " input:";
    for (const std::string& line : lines)
        text += "\n" + line.substr(0, 300) + (line.size() > 300 ? "..." : "");
    return text;
}

} // namespace

TEST(LogicFuzz, ParsersKeepTheirPropertiesOnAnyInput) {
    const char* seconds = getenv("KESTROW_FUZZ_SECONDS");
    if (!seconds) GTEST_SKIP() << "KESTROW_FUZZ_SECONDS is not set";
    const char* kept = getenv("KESTROW_FUZZ_INPUTS");
    const std::string folder = kept ? kept : ".";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.txt").c_str(), &found);
    int replayed = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        TLines lines(1);
        for (char c : ReadTextFile(folder + "\\" + found.cFileName))
            if (c == '\n')
                lines.emplace_back();
            else if (c != '\r')
                lines.back() += c;
        if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
        for (const auto& target : Targets)
            if (std::string(found.cFileName).rfind(std::string(target.Name) + "-", 0) == 0) {
                SCOPED_TRACE(Printed(found.cFileName, lines));
                target.Check(lines);
                ++replayed;
            }
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    EXPECT_GT(replayed, 0) << "no kept inputs in " << folder;
    const unsigned seed = Seed();
    std::mt19937 rng(seed);
    const DWORD start = GetTickCount(), span = 1000 * strtoul(seconds, nullptr, 10);
    long inputs = 0;
    while (GetTickCount() - start < span && !HasFailure()) {
        for (const auto& target : Targets)
            for (int round = 0; round < target.Rounds; ++round, ++inputs) {
                const TLines lines = target.Make(rng);
                SCOPED_TRACE(testing::Message()
                             << "seed " << seed << ", " << Printed(target.Name, lines));
                target.Check(lines);
            }
    }
    DeleteFileA("C:\\autorun.inf");
    printf("%d kept inputs, then %ld random ones\n", replayed, inputs);
}

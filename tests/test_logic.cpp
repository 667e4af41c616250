// Logic that needs no drive: the guarded formatter, hotkey texts, numbers, paths
// and command identifiers; LogicFuzz runs the parsers on random inputs.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <climits>
#include <random>
#include <set>
#include <sstream>
#include "tests/support/TestSupport.h"
#include "src/common/uUtils.h"
#include "src/drives/uCDTools.h"
#include "src/hotkeys/uHotKeyText.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/settings/RegIni.h"
#include "res/resource.h"

namespace {

using TLines = std::vector<std::string>;

// An argument kept as a line: s text, c character, l 64-bit number, else a number.
TFormatArg ArgOf(const std::string& line) {
    const char* value = line.c_str() + 1;
    const long long n = strtoll(value, nullptr, 10);
    return line[0] == 's'   ? TFormatArg(value)
           : line[0] == 'c' ? TFormatArg(*value)
           : line[0] == 'l' ? TFormatArg(n)
                            : TFormatArg(static_cast<int>(n));
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

// A placeholder from every part of the syntax and a fitting argument (as a
// line); Bound is the most the system prints for it. decimalPrefix puts '#'
// on decimal numbers too, which Wine takes for a "0x" it never prints.
struct TPlaceholderCase {
    std::string Placeholder, Arg;
    size_t Bound;
};
TPlaceholderCase RandomPlaceholder(std::mt19937& rng, bool decimalPrefix) {
    auto field = [&rng]() -> size_t {
        const unsigned kind = rng() % 4;
        return kind == 0 ? 0 : kind == 1 ? rng() % 30 : kind == 2 ? rng() % 400 : 900 + rng() % 400;
    };
    const char type = "cCdiuxXpsS"[rng() % 10];
    const bool text = type == 's' || type == 'S', hasPrecision = rng() % 3 == 0;
    std::string p = rng() % 3 ? "%" : "%-";
    if (rng() % 3 == 0 && (strchr("xXp", type) || decimalPrefix)) p += '#';
    if (rng() % 3 == 0) p += '0';
    const size_t width = field(), precision = hasPrecision ? field() : 0;
    if (width > 0) p += std::to_string(width);
    if (hasPrecision) p += "." + std::to_string(precision);
    if (type == 'S' || (type == 's' && rng() % 4 == 0)) p += 'h';
    if (!text && rng() % 4 == 0) p += "lh"[rng() % 2];
    p += type;
    if (text) {
        std::string s(rng() % 8 == 0 ? rng() % 1500 : rng() % 20, ' ');
        for (char& c : s)
            c = static_cast<char>('!' + rng() % 94);
        return {p, "s" + s,
                std::max(width, precision > 0 ? std::min(s.size(), precision) : s.size())};
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

// Rows marked "system" give what the system formatter gives.
TEST(FormatText, SoundTextsGiveWhatTheSystemGivesAndUnfitPlaceholdersStayAsWritten) {
    const std::string longText(1500, 'L');
    const char *none = nullptr, *system = nullptr;
    // clang-format off
    const struct { std::string Fmt; std::initializer_list<TFormatArg> Args; const char* Expected; } cases[] = {
        {"%c: %d|100%% done", {'D', 7}, "D: 7|100% done"},
        {"%-10s|%10s|%.2s|%hs|%hS", {"ab", "cd", "efgh", "d", "e"}, system},
        {"%5d|%-5d|%05d|%i|%u|%ld %lu %hd %hu", {42, -42, 42, -1, -1, 70000, 70000, 7, 7}, system},
        {"%x %X %#x %#X %08X|%lc%hc%C", {255, 255, 255, 255, 48879, 'a', 'b', 'c'}, system},
        {"%s, %s, %d, %u|%d|%u", {"[D:] - X", "CDFS", 650LL, 0x1234ABCDu, 0x100000005LL, -1LL}, system},
        {"%2000d|%-3000s|%s", {5, "x", longText}, system},
        {std::string(1200, 'f') + "%d", {123456}, system},
        {"%s|%s|%c|%d|%s%s", {"a", 42, "t", "t"}, "a|%s|%c|%d|%s%s"},
        {"value %|100% sure|%q and %d|%*d|%I64d|%lld", {3, 5, 6LL, 7}, "value %|100% sure|%q and 3|%*d|%I64d|%lld"},
        {"%ls|%ws|%S|%d %s %d", {"a", "b", "c", 1, 2, 3}, "%ls|%ws|%S|1 %s 3"},
        {"[%s][%s][%5s]", {"", none, ""}, "[][][     ]"},
    }; // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
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
            SCOPED_TRACE(testing::Message() << before << placeholder);
            const std::string plain(before, 'p'), fmt = plain + placeholder + placeholder;
            const std::string out = strchr(placeholder, 's') ? FormatText(fmt, {longText, longText})
                                                             : FormatText(fmt, {0xFFFFFFFFu, 5});
            EXPECT_EQ(FormatTextLimit, out.size());
            EXPECT_EQ(plain, out.substr(0, before));
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
            ASSERT_EQ(word, TextToHotKey(text)) << "flags " << int(flags) << " text " << text;
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
    // clang-format off
    const struct { const char* Text; WORD Word; BYTE Written; } cases[] = {
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
    }; // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].Word, TextToHotKey(cases[i].Text));
        const std::string written = HotKeyToText(cases[i].Word);
        EXPECT_EQ(cases[i].Written ? cases[i].Text : written, written);
    }
}

// Leading blanks, a sign, decimal or hexadecimal ($, x, 0x) digits; a malformed
// text gives what was read before the offending character, without its sign.
TEST(TextToInteger, ReadsTheSettingsFilesNumbers) {
    // clang-format off
    const struct { const char* Text; int Value; BYTE WellFormed; } cases[] = {
        {"15", 15, 1}, {"   -5", -5, 1}, {"+8", 8, 1}, {"0", 0, 1}, {"$1f", 31, 1}, {"x1F", 31, 1},
        {"X10", 16, 1}, {"0XfF", 255, 1}, {"-$10", -16, 1}, {"$FFFFFFFF", -1, 1},
        {"2147483647", INT_MAX, 1}, {"-2147483648", INT_MIN, 1}, {"", 0, 0}, {"abc", 0, 0},
        {"12abc", 12, 0}, {"15 ", 15, 0}, {"-7x", 7, 0}, {"-", 0, 0}, {" ", 0, 0}, {"$", 0, 0},
        {"0x", 0, 0}, {"$1G", 1, 0}, {"1.5", 1, 0}, {"- 5", 0, 0}, {"--5", 0, 0}, {"\t5", 0, 0},
        {"2147483648", 214748364, 0}, {"-2147483649", 214748364, 0}, {"$100000000", 0x10000000, 0},
    }; // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        int value = 12345;
        EXPECT_EQ(cases[i].WellFormed == 1, TextToInteger(cases[i].Text, value));
        EXPECT_EQ(cases[i].Value, value);
    }
}

// A path from the root without its drive is the form used when the
// application-data folder is unknown, which once recursed for ever.
TEST(Paths, MakeFolderPathMakesEveryMissingFolderAndExtractAppPathCutsAtTheLast) {
    const std::string base = NewTempFolder(), fromRoot = "\\" + base.substr(3);
    WriteTextFile(base + "file", "x");
    ASSERT_TRUE(SetCurrentDirectoryA(base.c_str()));
    // clang-format off
    const std::pair<std::string, bool> folders[] = {
        {base + "one\\two\\three\\", 1}, {base + "one\\two\\three", 1}, {base + "one\\four", 1}, {"C:", 1},
        {"C:\\", 1}, {fromRoot + "rel\\sub\\", 1}, {"\\Orvane\\Kestrow\\", 1}, {base + "file\\sub", 0},
        {base + "bad|name\\sub", 0}}; // clang-format on
    for (const auto& [path, made] : folders) {
        SCOPED_TRACE(path);
        EXPECT_EQ(made, MakeFolderPath(path));
        EXPECT_EQ(made, FolderExists(path));
    }
    EXPECT_TRUE(FolderExists(base + "rel\\sub") && FolderExists("C:\\Orvane\\Kestrow"));
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ("C:\\Program Files\\K\\", ExtractAppPath("C:\\Program Files\\K\\k.exe"));
    EXPECT_EQ("C:\\", ExtractAppPath("C:\\k.exe"));
    EXPECT_EQ("", ExtractAppPath("k.exe"));
    EXPECT_EQ("", ExtractAppPath(""));
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

// ---- random inputs: each target, given a generator, first makes an input as
// lines; then it checks its properties on them. A failing input is printed, to
// be kept as TARGET-NAME.txt.
static std::string Pieces(std::mt19937& rng, std::initializer_list<const char*> pieces,
                          unsigned most) {
    std::string text;
    for (unsigned n = rng() % (most + 1); n > 0; --n)
        text += pieces.begin()[rng() % pieces.size()];
    return text;
}

// A placeholder, its argument and a room from one character to all of them,
// formatted alone in a buffer of exactly the promised size between poisoned
// bytes: it writes the system's text as far as the room goes and no further.
static void Placeholder(std::mt19937* rng, TLines& in) {
    if (rng) {
        const TPlaceholderCase p = RandomPlaceholder(*rng, true);
        const size_t rooms[] = {1 + (*rng)() % 40, FormatTextLimit - (*rng)() % 40,
                                1 + (*rng)() % FormatTextLimit};
        in = {p.Placeholder, p.Arg, std::to_string(rooms[(*rng)() % 3])};
    }
    static const std::string poison(64, '\xA5');
    static std::vector<char> memory(FormatTextLimit + PlaceholderSlack + 1 + 2 * poison.size());
    std::fill(memory.begin(), memory.end(), '\xA5');
    char* buffer = memory.data() + poison.size();
    const size_t room = std::stoul(in.at(2));
    const size_t length = FormatPlaceholder(in[0], ArgOf(in[1]), room, buffer);
    ASSERT_EQ(poison, std::string(memory.data(), poison.size()));
    ASSERT_EQ(poison, std::string(buffer + room + PlaceholderSlack + 1, poison.size()));
    ASSERT_LE(length, room);
    ASSERT_EQ('\0', buffer[length]);
    // Wine ends a decimal number with '#' early: nothing to compare with.
    if (in[0].find('#') != std::string::npos && !strchr("xXp", in[0].back())) return;
    const std::string alone = SystemFormat(in[0], {ArgOf(in[1])});
    ASSERT_EQ(std::min(alone.size(), room), length);
    ASSERT_EQ(alone.size() < room ? alone : std::string(buffer, length),
              std::string(buffer, length));
}

// "=" when the system formatter must agree (else "~"), the format, then its
// arguments (see ArgOf); missing ones are empty texts.
static void Format(std::mt19937* rng, TLines& in) {
    if (rng) {
        in = {"=", ""};
        size_t bound = 0;
        for (unsigned k = (*rng)() % 5; k > 0; --k) {
            const std::string plain((*rng)() % 4 ? (*rng)() % 30 : (*rng)() % 400,
                                    'a' + (*rng)() % 26);
            const TPlaceholderCase p = RandomPlaceholder(*rng, false);
            in[1] += plain + ((*rng)() % 8 ? "" : "%%") + p.Placeholder;
            in.push_back(p.Arg);
            bound += plain.size() + 1 + p.Bound;
        }
        if (bound >= FormatTextLimit) in[0] = "~";
        for (unsigned k = (*rng)() % 8 ? 0 : 1 + (*rng)() % 9; k > 0; --k) { // the syntax's own
            in[1].insert((*rng)() % (in[1].size() + 1), 1, "%#-0.19lhwIsdcxXpuS"[(*rng)() % 19]);
            in[0] = "~";
        }
    }
    std::vector<TFormatArg> a;
    for (size_t i = 2; i < 8; ++i)
        a.push_back(i < in.size() ? ArgOf(in[i]) : TFormatArg(""));
    const std::string text = FormatText(in.at(1), {a[0], a[1], a[2], a[3], a[4], a[5]});
    ASSERT_LE(text.size(), FormatTextLimit);
    EXPECT_EQ(in[0] == "=" ? SystemFormat(in[1], a) : text, text);
}

// A text reads as nothing, or as a word with a key whose own text reads back as it.
static void HotKey(std::mt19937* rng, TLines& in) {
    if (rng) {
        std::string text = (*rng)() % 2 ? HotKeyToText(static_cast<WORD>((*rng)())) : "";
        if (!text.empty()) text[(*rng)() % text.size()] ^= (*rng)() % 2 ? 0x20 : 1;
        in = {text + Pieces(*rng,
                            {"Shift+", "Ctrl+", "Alt+", "^", "Key ", "Num ", "KP_", "+", "F", "1",
                             "255", "0", "O", "Space", " ", "Left Shift"},
                            text.empty() ? 4 : 0)};
    }
    const WORD word = TextToHotKey(in.at(0));
    if (word == 0) return;
    EXPECT_TRUE(LOBYTE(word) != 0 && HIBYTE(word) < 8) << word;
    EXPECT_EQ(word, TextToHotKey(HotKeyToText(word))) << HotKeyToText(word);
}

// The rule read another way: the longest run of the base's digits that stays
// within the limit, and whether it ends the text.
static void Integer(std::mt19937* rng, TLines& in) {
    if (rng)
        in = {Pieces(*rng, {" "}, 2) + Pieces(*rng, {"-", "+"}, 1) +
              Pieces(*rng, {"$", "x", "X", "0x", "0X"}, 1) +
              Pieces(*rng, {"0", "1", "2", "4", "7", "9", "a", "b", "f", "A", "F"}, 12) +
              Pieces(*rng, {" ", "x", "-", "$", "G", "."}, 1)};
    const std::string& t = in.at(0);
    size_t i = std::min(t.find_first_not_of(' '), t.size());
    const bool minus = t[i] == '-';
    i += minus || t[i] == '+';
    const size_t prefix =
        t[i] && strchr("$xX", t[i]) ? 1 : 2 * (t[i] == '0' && (t[i + 1] | 0x20) == 'x');
    const int base = prefix ? 16 : 10;
    i += prefix;
    std::string digits =
        t.substr(i, t.find_first_not_of(prefix ? "0123456789abcdefABCDEF" : "0123456789", i) - i);
    const unsigned long long limit = prefix ? 0xFFFFFFFFull : minus ? 0x80000000ull : 0x7FFFFFFFull;
    while (strtoull(digits.c_str(), nullptr, base) > limit)
        digits.pop_back();
    const unsigned bits = static_cast<unsigned>(strtoull(digits.c_str(), nullptr, base));
    const bool whole = !digits.empty() && i + digits.size() == t.size();
    int value = 12345;
    EXPECT_EQ(whole, TextToInteger(t, value));
    EXPECT_EQ(static_cast<int>(whole && minus ? 0u - bits : bits), value);
}

// A path below the fuzz folder, or the same from the root of its drive. It
// ends, and the folder it made exists (as the last name without its backslash:
// the system drops that name's trailing dots and blanks); a path of plain names
// below the fuzz folder is always made.
static void Folder(std::mt19937* rng, TLines& in) {
    static const std::string base = NewTempFolder();
    if (rng) {
        std::string path = Pieces(*rng, {"a", "b", "c", "\\", "a\\", "bc", "c\\", " ", "."}, 12);
        if ((*rng)() % 4 == 0) path.insert((*rng)() % (path.size() + 1), 1, "|:*?"[(*rng)() % 4]);
        in = {((*rng)() % 4 ? base : "\\" + base.substr(3)) + path};
    }
    const std::string& path = in.at(0);
    SetCurrentDirectoryA(base.c_str());
    const bool made = MakeFolderPath(path);
    EXPECT_TRUE(!made || FolderExists(path.substr(0, path.find_last_not_of('\\') + 1)));
    EXPECT_TRUE(made || path.rfind(base, 0) != 0 || path.find("\\\\") != std::string::npos ||
                path.find_first_not_of("abc\\", base.size()) != std::string::npos);
}

// An "open" value: names and parameters, quotes, blanks and control characters,
// now and then far longer than a path. A program is named only within the
// bounds, from the drive's root unless absolute, with parameters from the value;
// a short plain name always is.
static void Autorun(std::mt19937* rng, TLines& in) {
    if (rng)
        in = {Pieces(*rng,
                     {"a", "b", "X", ".", "\\", ":", " ", "\t", "\"", "/", "-", "\x01", "\x1b",
                      "\x7f", "\xe9", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
                     (*rng)() % 4 ? 40 : 200)};
    const std::string& value = in.at(0);
    WriteTextFile("C:\\autorun.inf", "[autorun]\r\nopen=" + value + "\r\n");
    std::string program, params;
    const bool named = GetAutorunCommand('C', program, params);
    const auto controls = [](const std::string& s) {
        return std::any_of(s.begin(), s.end(),
                           [](char c) { return c >= 0 && c < ' ' && c != '\t'; }) ||
               s.find('\x7f') != std::string::npos;
    };
    if (named) {
        EXPECT_TRUE(program.size() < MAX_PATH && params.size() < MAX_PATH);
        EXPECT_FALSE(controls(program) || controls(params));
        EXPECT_TRUE(program[1] == ':' || program.rfind("\\\\", 0) == 0) << program;
        EXPECT_NE(std::string::npos, value.find(params)) << params;
        EXPECT_TRUE(params.empty() || !strchr(" \t", params[0])) << params;
    }
    const bool plain = !value.empty() && value.size() < 100 &&
                       value.find_first_not_of("abX.-\xe9") == std::string::npos;
    EXPECT_TRUE(!plain || (named && program == "C:\\" + value)) << program;
}

// Rounds, inputs per turn, is higher for the fast targets.
const struct {
    const char* Name;
    void (*Run)(std::mt19937*, TLines&);
    int Rounds;
} Targets[] = {{"placeholder", Placeholder, 40}, {"format", Format, 20}, {"hotkey", HotKey, 20},
               {"integer", Integer, 50},         {"folder", Folder, 2},  {"autorun", Autorun, 2}};

static std::string Printed(const std::string& target, const TLines& lines) {
    std::string text = target + " input:";
    for (const std::string& line : lines)
        text += "\n" + line.substr(0, 300) + (line.size() > 300 ? "..." : "");
    return text;
}

// The inputs kept in KESTROW_FUZZ_INPUTS (TARGET-NAME.txt, one line each)
// first; then random ones for KESTROW_FUZZ_SECONDS, or else for a hundred turns.
TEST(LogicFuzz, ParsersKeepTheirPropertiesOnAnyInput) {
    if (const char* folder = getenv("KESTROW_FUZZ_INPUTS")) {
        int replayed = 0;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((std::string(folder) + "\\*.txt").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            for (const auto& target : Targets)
                if (std::string(found.cFileName).rfind(std::string(target.Name) + "-", 0) == 0) {
                    std::istringstream text(
                        ReadTextFile(std::string(folder) + "\\" + found.cFileName));
                    TLines lines;
                    for (std::string line; std::getline(text, line);)
                        lines.push_back(line.substr(0, line.find('\r')));
                    SCOPED_TRACE(Printed(found.cFileName, lines));
                    target.Run(nullptr, lines);
                    ++replayed;
                }
        FindClose(search);
        EXPECT_GT(replayed, 0) << "no kept inputs in " << folder;
    }
    const char *seconds = getenv("KESTROW_FUZZ_SECONDS"), *fixed = getenv("KESTROW_SEED");
    const unsigned seed = fixed ? strtoul(fixed, nullptr, 10) : GetTickCount();
    printf("seed %u (KESTROW_SEED=%u repeats it)\n", seed, seed);
    std::mt19937 rng(seed);
    const DWORD start = GetTickCount(), span = seconds ? 1000 * strtoul(seconds, nullptr, 10) : 0;
    long inputs = 0;
    for (int turn = 0; (seconds ? GetTickCount() - start < span : turn < 100) && !HasFailure();
         ++turn)
        for (const auto& target : Targets)
            for (int round = 0; round < target.Rounds && !HasFailure(); ++round, ++inputs) {
                TLines lines;
                target.Run(&rng, lines);
                if (HasFailure())
                    printf("seed %u, %s\n", seed, Printed(target.Name, lines).c_str());
            }
    DeleteFileA("C:\\autorun.inf");
    printf("%ld random inputs\n", inputs);
}

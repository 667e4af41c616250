// Logic without drives: the guarded formatter, hotkey texts, numbers, paths, command identifiers;
// LogicFuzz gives the parsers and the command line random inputs.
#include <gtest/gtest.h>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "src/app/uCMD.h"
#include "src/common/uUtils.h"
#include "src/drives/uCDTools.h"
#include "src/hotkeys/uHotKeyText.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/settings/RegIni.h"
#include "src/settings/uSettings.h"
#include "res/resource.h"
const auto npos = std::string::npos;
const std::string Big(1500, 't');
// The system's text cut at FormatText's limit; the buffer has room for Wine's overrun.
std::string SystemFormat(const std::string& fmt, std::vector<TFormatArg> args) {
    std::vector<DWORD_PTR> v(args.size() + 1);
    for (size_t i = 0; i < args.size(); ++i)
        v[i] = args[i].Text ? DWORD_PTR(args[i].Text) : DWORD(args[i].Number);
    char buffer[2048] = {};
    wvsprintfA(buffer, fmt.c_str(), reinterpret_cast<va_list>(v.data()));
    return std::string(buffer).substr(0, FormatTextLimit);
}
// A placeholder (without its %) in the room after 1,022 to 0 plain characters, with texts or
// numbers as it wants, between poisoned bytes: nothing past its room, the same in FormatText after
// the plain text, and where sound the system's text, whole or cut to fill the room.
void FormatCheck(const std::string& spec) {
    const std::string p = "%" + spec;
    const char type = p.back(), size = p.size() > 1 ? p[p.size() - 2] : 0;
    const bool text = type == 's' || type == 'S';
    const bool sound = strchr("cCdiuxXpsS", type) && (p.find('#') == npos || strchr("xXp", type)) &&
                       (!text || size == 'h' || (type == 's' && size != 'l'));
    for (size_t room : {1, 23, 40, 600, 903, 1023})
        for (const TFormatArg& a : text ? std::vector<TFormatArg>{"", "ab", Big}
                                        : std::vector<TFormatArg>{7, -1, 4482, INT_MIN + 66}) {
            std::string m(FormatTextLimit + PlaceholderSlack + 129, '\xA5');
            const size_t length = FormatPlaceholder(p, a, room, &m[64]);
            const std::string out = m.substr(64, length), plain(FormatTextLimit - room, 'p');
            const std::string alone = sound ? SystemFormat(p, {a}) : out;
            m.replace(64, room + PlaceholderSlack + 1, "");
            EXPECT_TRUE(m.find_first_not_of('\xA5') == npos &&
                        plain + out == FormatText(plain + p, {a}))
                << p << " in " << room;
            EXPECT_EQ(alone.substr(0, room), alone.size() < room ? out : alone.substr(0, length));
        }
}
TEST(FormatText, SoundTextsAsTheSystemHasThemUnfitOnesAsWrittenWideFieldsCutAtTheLimit) {
    const char *sys = nullptr, *none = nullptr;
    // clang-format off
    const struct { std::string Fmt; std::initializer_list<TFormatArg> Args; const char* Expected; }
    cases[] = {
        {"%5d|%-5d|%05d|%i|%u|%ld %hu|%x %#X %08X|%lc%hc%C|%%|%-4s|%.2s|%hS",
         {42, -42, 42, -1, -1, 70000, 7, 255, 255, 48879, 'a', 'b', 'c', "ab", "efgh", "e"}, sys},
        {"%s, %s, %d, %u|%d|%u|%2000d|%-3000s|%s",
         {"[D:] - X", "CDFS", 650LL, 0x1234ABCDu, 0x100000005LL, -1LL, 5, "x", Big}, sys},
        {std::string(1200, 'f') + "%d", {123456}, sys},
        {"[%s][%s][%5s]", {"", none, ""}, "[][][     ]"},
        {"%s|%s|%c|%d|%ls|%ws|%S|%d %s %d|%|100% sure|%q|%*d|%I64d|%lld|%s%s",
         {"a", 42, "t", "t", "a", "b", "c", 1, 2, 3},
         "a|%s|%c|%d|%ls|%ws|%S|1 %s 3|%|100% sure|%q|%*d|%I64d|%lld|%s%s"},
    }; // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected ? c.Expected : SystemFormat(c.Fmt, c.Args), FormatText(c.Fmt, c.Args));
    const std::string t = FormatText("%s%s%#1100X%#1100X", {"[D:] - B", "CDFS", 4482LL, -1});
    EXPECT_EQ("[D:] - BCDFS" + std::string(900, ' ') + "1023",
              t.substr(0, 912) + std::to_string(t.size()));
    for (const char* p : {"#1100X", "-#1100X", "#.1100x", "1100s"})
        FormatCheck(p);
}
// Every word back from its text, the upper half while a load keeps the system's key names; texts
// this version writes (W), texts earlier ones wrote and malformed ones (0) keep their meaning.
TEST(HotKeyText, EveryWordReadsBackAndStoredTextsKeepTheirMeaning) {
    for (WORD word = 1; word < 0x800; ++word) {
        if (word == 0x400) BeginHotKeyLoad();
        ASSERT_TRUE(LOBYTE(word) % 255 == 0 || word == TextToHotKey(HotKeyToText(word))) << word;
    }
    EndHotKeyLoad();
    constexpr BYTE S = 1, C = 2, A = 4, W = 1; // HOTKEYF_ flags; the rest are never written
    // clang-format off
    const struct { const char* Text; WORD Word; BYTE Written; } cases[] = {
        {"Ctrl+Alt+O", MAKEWORD('O', C | A), W}, {"Shift+F12", MAKEWORD(VK_F12, S), W},
        {"Ctrl+Num 5", MAKEWORD(VK_NUMPAD5, C), W}, {"Ctrl+Key 175", MAKEWORD(VK_VOLUME_UP, C), W},
        {"Alt+Right Ctrl", MAKEWORD(VK_RCONTROL, A), W}, {"Num Lock", VK_NUMLOCK, W},
        {"BkSp", VK_BACK, W}, {"ctrl+alt+o", MAKEWORD('O', C | A), 0},
        {"Alt+Ctrl+O", MAKEWORD('O', C | A), 0}, {"^Alt+O", MAKEWORD('O', C | A), 0},
        {"Alt+KP_Multiply", MAKEWORD(VK_SNAPSHOT, A), 0}, {"KP_Delete", VK_DECIMAL, 0},
        {"Scroll_Lock", VK_SCROLL, 0}, {"=", VK_OEM_PLUS, 0}, {"Pause", VK_PAUSE, 0},
        {"Ctrl+", 0, 0}, {"Ctrl+Alt+O+", 0, 0}, {"Ctrl-O", 0, 0}, {"Ctrl+ O", 0, 0},
        {"Key 0", 0, 0}, {"Key 256", 0, 0}, {"Key 012", 0, 0},
    };                                         // clang-format on
    for (const auto& [text, word, written] : cases)
        EXPECT_TRUE(TextToHotKey(text) == word && (!written || HotKeyToText(word) == text)) << text;
    EXPECT_EQ("Ctrl+O", HotKeyToText(MAKEWORD(0, C)) + HotKeyToText(MAKEWORD('O', 0xF8 | C)));
}
// Numbers: blanks, a sign, decimal or hexadecimal digits; a malformed one gives what was read up
// to the offending character, unsigned. Paths from the root without a drive, used when the
// application-data folder is unknown, once recursed for ever.
TEST(Logic, NumbersPathsAndCommandIdentifiers) {
    const std::string base = NewTempFolder(), fromRoot = "\\" + base.substr(3);
    // clang-format off
    struct { const char* Text; int Value; bool WellFormed; int Read = 12345; } numbers[] = {
        {"15", 15, 1}, {"   -5", -5, 1}, {"+8", 8, 1}, {"$1f", 31, 1}, {"x1F", 31, 1},
        {"0XfF", 255, 1}, {"-$10", -16, 1}, {"$FFFFFFFF", -1, 1}, {"2147483647", INT_MAX, 1},
        {"-2147483648", INT_MIN, 1}, {"", 0, 0}, {"12abc", 12, 0}, {"15 ", 15, 0}, {"-7x", 7, 0},
        {"-", 0, 0}, {"0x", 0, 0}, {"$1G", 1, 0}, {"--5", 0, 0}, {"\t5", 0, 0},
        {"2147483648", 214748364, 0}, {"$100000000", 0x10000000, 0}};
    const std::pair<std::string, bool> folders[] = {
        {base + "a\\b\\c\\", 1}, {base + "a\\b\\d", 1}, {"C:", 1}, {"C:\\", 1},
        {fromRoot + "r\\s\\", 1}, {"\\Orvane\\Kestrow\\", 1}, {base + "f\\sub", 0},
        {base + "b|d\\e", 0}};
    const std::pair<std::string, std::string> apps[] = {
        {"C:\\Program Files\\K\\k.exe", "C:\\Program Files\\K\\"}, {"C:\\k.exe", "C:\\"},
        {"k.exe", ""}, {"", ""}}; // clang-format on
    for (auto& n : numbers)
        EXPECT_TRUE(TextToInteger(n.Text, n.Read) == n.WellFormed && n.Read == n.Value) << n.Text;
    WriteTextFile(base + "f", "x");
    SetCurrentDirectoryA(base.c_str());
    for (const auto& [path, made] : folders)
        EXPECT_EQ(made, MakeFolderPath(path) && FolderExists(path)) << path;
    EXPECT_TRUE(FolderExists(base + "r\\s") && FolderExists("C:\\Orvane\\Kestrow"));
    for (const auto& [path, folder] : apps)
        EXPECT_EQ(folder, ExtractAppPath(path));
    std::string seen(IDM_DRIVES, 0); // each drive's (pseudo drives' too) and action's own
    for (int k = 0; k < (DRIVE_CLOSEPROGRAM + 1) * CMD_DRIVE_ACTIONS; ++k) {
        BYTE d, a, id = MakeCommandID(k / CMD_DRIVE_ACTIONS, k % CMD_DRIVE_ACTIONS);
        SplitCommandID(id, d, a);
        EXPECT_TRUE(d * CMD_DRIVE_ACTIONS + a == k && id >= CMD_DRIVE_BASE && id < IDM_DRIVES &&
                    !seen[id]++);
    }
    for (BYTE drive = 0; drive < MAX_DRIVES; ++drive)
        EXPECT_EQ(drive < CMD_DRIVE_BASE ? drive : IDM_SELECTDRIVE20, SelectDriveCommandID(drive));
}
// ---- random inputs of pieces. A hotkey text reads as nothing or as a word that reads back.
void HotKeyCheck(const std::string& s) {
    const WORD word = TextToHotKey(s);
    EXPECT_TRUE(!word ||
                (LOBYTE(word) && HIBYTE(word) < 8 && word == TextToHotKey(HotKeyToText(word))));
}
// The rule read another way: the longest run of the base's digits within the limit.
void IntegerCheck(const std::string& t) {
    size_t i = std::min(t.find_first_not_of(' '), t.size()), minus = t[i] == '-';
    i += minus || t[i] == '+';
    const int hex = t[i] && strchr("$xX", t[i]) ? 1 : 2 * (t[i] == '0' && (t[i + 1] | 32) == 'x');
    i += hex;
    std::string digits =
        t.substr(i, t.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789", i) - i);
    const auto read = [&] { return strtoull(digits.c_str(), nullptr, hex ? 16 : 10); };
    while (read() > (hex ? 0xFFFFFFFFull : 0x7FFFFFFFull + minus))
        digits.pop_back();
    const unsigned bits = read();
    const bool whole = !digits.empty() && i + digits.size() == t.size();
    int value = 12345;
    EXPECT_TRUE(whole == TextToInteger(t, value) &&
                value == int(whole && minus ? 0u - bits : bits));
}
// A path below a folder (~: from the root of its drive) ends, made or not; one of plain names is.
void FolderCheck(const std::string& s) {
    static const std::string base = NewTempFolder();
    const std::string p = (s[0] == '~' ? "\\" + base.substr(3) : base) + s.substr(s[0] == '~');
    SetCurrentDirectoryA(base.c_str()); // the system drops the last name's dots and blanks
    EXPECT_TRUE(MakeFolderPath(p) ? FolderExists(p.substr(0, p.find_last_not_of('\\') + 1))
                                  : s.find("\\\\") != npos || s.find_first_not_of("ab\\~") != npos);
}
// An "open" value names a program only within the bounds, from the drive's root unless absolute,
// with parameters from the value; a short plain name always does.
void AutorunCheck(const std::string& v) {
    WriteTextFile("C:\\autorun.inf", "[autorun]\r\nopen=" + v + "\r\n");
    std::string program, params;
    const bool plain = v.size() && v.size() < 99 && v.find_first_not_of("abX.-\xe9") == npos;
    EXPECT_TRUE(!GetAutorunCommand('C', program, params)
                    ? !plain
                    : program.size() < MAX_PATH && params.size() < MAX_PATH &&
                          v.find(params) != npos &&
                          (program + params).find_first_of("\x01\x1b\x7f") == npos &&
                          (program.find(':', 1) == 1 || !program.rfind("\\\\", 0)) &&
                          (!plain || program == "C:\\" + v) &&
                          (params.empty() || !strchr(" \t", params[0])))
        << program << "|" << params;
}
// CD drives, then the parameters: requests only to listed drives, in one direction, to one drive
// unless all are named; at most one box or start; the end asked for unless a countdown waits.
void CommandCheck(const std::string& s) {
    std::string line = s; // the words end where the blanks were
    std::vector<char*> argv{&line[0]};
    for (char& c : line)
        if (c == ' ') c = '\0', argv.push_back(&c + 1);
    ResetProgramState();
    CommandLineMode = true;
    UseDriveList(argv[0]); // the first word stands where the executable's path does
    ProcessCommandLine(static_cast<int>(argv.size()), argv.data());
    const std::string drives = argv[0], action = argv.size() > 1 ? argv[1] : "";
    const bool all = action.size() && action.size() < 4 && (action.back() | 32) == 'a';
    EXPECT_LE(DeviceRequests.size(), all ? CDCount : 1u);
    for (const TDeviceRequest& q : DeviceRequests)
        EXPECT_TRUE(q.Path.size() == 6 && !q.Path.rfind("\\\\.\\", 0) &&
                    drives.find(q.Path[4]) != npos && q.Code == DeviceRequests[0].Code)
            << q.Path;
    MSG m;
    EXPECT_TRUE(MessageBoxCalls.size() + ShellCalls.size() < 2 &&
                (action.empty() || drives.empty() || AutoClose ||
                 PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)));
    if (AutocloseDialog) DestroyWindow(AutocloseDialog);
}
// clang-format off
const struct {
    const char* Name;
    void (*Check)(const std::string&);
    std::vector<std::pair<std::vector<std::string>, int>> Pieces; // up to n pieces, or -n
} Targets[] = {
    {"format", FormatCheck, {{{"-"}, 1}, {{"#"}, 1}, {{"0"}, 1}, {{"1", "9", "1100"}, 2},
                             {{".0", ".2", ".300", ".1100"}, 1}, {{"h", "l"}, 1},
                             {{"c", "C", "d", "i", "u", "x", "X", "p", "s", "S"}, 1}}},
    {"hotkey", HotKeyCheck, {{{"Shift+", "Ctrl+", "Alt+", "^", "Key ", "Num ", "KP_", "+", "F", "1",
                               "255", "0", "O", "Space", "Del", " "}, 5}}},
    {"integer", IntegerCheck, {{{" "}, 2}, {{"-", "+"}, 1}, {{"$", "x", "X", "0x", "0X"}, 1},
                               {{"0", "1", "2", "4", "7", "9", "a", "b", "f", "A", "F"}, 12},
                               {{" ", "x", "-", "$", "G", "."}, 1}}},
    {"folder", FolderCheck, {{{"~"}, 1}, {{"a", "b", "\\", "a\\", "ba", " ", ".", "|", ":"}, 12}}},
    {"autorun", AutorunCheck, {{{"a", "b", "X", ".", "\\", ":", " ", "\t", "\"", "/", "-", "\x01",
                                 "\x1b", "\x7f", "\xe9", Big.substr(0, 50)}, 60}}},
    {"command", CommandCheck, {{{"A", "C", "D", "E", "K", "U"}, 6}, {{" "}, -1},
                               {{" ", "-", "/", "o", "O", "C", "A", "B", "D", "L", "E", ":",
                                 "5", "x"}, 12}}},
}; // clang-format on
// The inputs kept in KESTROW_FUZZ_INPUTS (TARGET-NAME.txt) first; then random ones for
// KESTROW_FUZZ_SECONDS, or else for a hundred turns.
TEST(LogicFuzz, ParsersAndTheCommandLineKeepTheirPropertiesOnAnyInput) {
    EnsureMainWindow();
    AppPath = ExeFolder();
    const char *kept = getenv("KESTROW_FUZZ_INPUTS"), *seconds = getenv("KESTROW_FUZZ_SECONDS");
    const std::string folder = std::string(kept ? kept : "") + "\\";
    WIN32_FIND_DATAA f;
    int replayed = 0;
    HANDLE found = FindFirstFileA((folder + "*.txt").c_str(), &f);
    for (BOOL more = kept && found != INVALID_HANDLE_VALUE; more; more = FindNextFileA(found, &f))
        for (const auto& target : Targets)
            if (!std::string(f.cFileName).rfind(target.Name + std::string("-"), 0)) {
                const std::string s = ReadTextFile(folder + f.cFileName);
                SCOPED_TRACE(f.cFileName);
                target.Check(s.substr(0, s.find_last_not_of("\r\n") + 1)), ++replayed;
            }
    FindClose(found);
    EXPECT_TRUE(!kept || replayed) << "no kept inputs in " << folder;
    const unsigned start = GetTickCount(), seed = getenv("KESTROW_SEED")
                                                      ? strtoul(getenv("KESTROW_SEED"), nullptr, 10)
                                                      : start;
    printf("seed %u (KESTROW_SEED=%u repeats it)\n", seed, seed);
    srand(seed);
    for (unsigned turn = 0; seconds ? GetTickCount() - start < 1000u * atoi(seconds) : turn < 100;
         ++turn)
        for (const auto& target : Targets) {
            std::string s;
            for (const auto& [pieces, most] : target.Pieces)
                for (int n = most < 0 ? -most : rand() % (most + 1); n > 0; --n)
                    s += pieces[rand() % pieces.size()];
            target.Check(s);
            ASSERT_FALSE(HasFailure()) << "seed " << seed << ", " << target.Name << " input: " << s;
        }
    ResetProgramState();
    DeleteFileA("C:\\autorun.inf");
}

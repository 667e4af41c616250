// Logic without drives: formatter, hotkey texts, numbers, paths; LogicFuzz: random inputs.
#include "tests/support/TestSupport.h"
#include <filesystem>
#include "src/common/uUtils.h"
#include "src/hotkeys/uHotKeyText.h"
#include "src/settings/RegIni.h"
const auto npos = std::string::npos;
const std::string Big(1500, 't');
// After 1,022 to 0 plain characters: nothing past the room; where sound the system's text, cut.
void FormatCheck(std::string p) {
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
            DWORD_PTR v[2] = {a.Text ? DWORD_PTR(a.Text) : DWORD(a.Number)};
            char system[2048] = {};
            if (sound) wvsprintfA(system, p.c_str(), reinterpret_cast<va_list>(v));
            const std::string alone = sound ? system : out;
            m.replace(64, room + PlaceholderSlack + 1, "");
            EXPECT_TRUE(m.find_first_not_of('\xA5') == npos &&
                        plain + out == FormatText(plain + p, {a}));
            EXPECT_EQ(alone.substr(0, room), alone.size() < room ? out : alone.substr(0, length));
        }
}
TEST(FormatText, SoundTextsAsTheSystemHasThemUnfitOnesAsWrittenWideFieldsCutAtTheLimit) {
    for (const char* p : {"%5d", "%-5d", "%05d", "%i", "%u", "%hu", "%x", "%#X", "%08X", "%lc",
                          "%hc", "%C", "%-4s", "%.2s", "%hS", "%2000d", "%-3000s", "%#1100X"})
        FormatCheck(p);
    EXPECT_EQ("|%s|%c|%d|%ls|%ws|%S|5 %s 3|%|100% sure|%q|%*d|%I64d|%lld|%s%s",
              FormatText("%s|%s|%c|%d|%ls|%ws|%S|%d %s %d|%|100% sure|%q|%*d|%I64d|%lld|%s%s",
                         {nullptr, 42, "t", "t", "a", "b", "c", 0x100000005LL, 2, 3}));
    const std::string t = FormatText("%s%s%#1100X%#1100X", {"[D:] - B", "CDFS", 4482LL, -1});
    EXPECT_EQ("[D:] - BCDFS" + std::string(900, ' ') + "1023",
              t.substr(0, 912) + std::to_string(t.size()));
}
// ---- random inputs. A hotkey text reads as nothing or as a word that reads back.
void HotKeyCheck(std::string s) {
    const WORD w = TextToHotKey(s);
    EXPECT_TRUE(!w || (LOBYTE(w) && HIBYTE(w) < 8 && w == TextToHotKey(HotKeyToText(w))));
}
// The rule read another way: the longest run of the base's digits within the limit.
void IntegerCheck(std::string t) {
    size_t i = std::min(t.find_first_not_of(' '), t.size()), minus = t[i] == '-';
    i += minus || t[i] == '+';
    const int hex = t[i] && strchr("$xX", t[i]) ? 1 : 2 * (t[i] == '0' && (t[i + 1] | 32) == 'x');
    const char* set = hex ? "0123456789abcdefABCDEF" : "0123456789";
    std::string digits = t.substr(i + hex, strspn(&t[i + hex], set));
    const auto read = [&] { return strtoull(digits.c_str(), nullptr, hex ? 16 : 10); };
    while (read() > (hex ? 0xFFFFFFFFull : 0x7FFFFFFFull + minus))
        digits.pop_back();
    const bool whole = !digits.empty() && i + hex + digits.size() == t.size();
    int v = 12345;
    EXPECT_TRUE(whole == TextToInteger(t, v) && v == int(whole && minus ? 0 - read() : read()));
}
// A path below a folder (~: from the root of its drive) ends, made or not; one of plain names is.
void FolderCheck(std::string s) {
    static const std::string base = NewTempFolder();
    const std::string p = (s[0] == '~' ? "\\" + base.substr(3) : base) + s.substr(s[0] == '~');
    SetCurrentDirectoryA(base.c_str()); // the system drops the last name's dots and blanks
    EXPECT_TRUE(MakeFolderPath(p) ? FolderExists(p.substr(0, p.find_last_not_of('\\') + 1))
                                  : s.find("\\\\") != npos || s.find_first_not_of("ab\\~") != npos);
}
// An "open" value names a program in bounds, from the drive's root unless absolute; a plain one.
void AutorunCheck(std::string v) {
    WriteTextFile("C:\\autorun.inf", "[autorun]\r\nopen=" + v + "\r\n");
    std::string program, params;
    const bool plain = v.size() && v.size() < 99 && v.find_first_not_of("abX.-\xe9") == npos;
    if (!GetAutorunCommand('C', program, params)) program = params = ""; // nothing named
    EXPECT_TRUE(program.size() < MAX_PATH && params.size() < MAX_PATH && v.find(params) != npos &&
                !strpbrk((program + params).c_str(), "\x01\x1b\x7f") &&
                (program.empty() || program.find(':', 1) == 1 || !program.rfind("\\\\", 0)) &&
                (!plain || program == "C:\\" + v) && (params.empty() || !strchr(" \t", params[0])));
}
// CD drives, then parameters: one kind of request, to listed drives, one unless all; one box/start.
void CommandCheck(std::string line) { // the words end where the blanks were
    std::vector<char*> argv{&line[0]};
    for (char& c : line)
        if (c == ' ') c = '\0', argv.push_back(&c + 1);
    ResetProgramState();
    CommandLineMode = true;
    UseDriveList(argv[0]); // the first word stands where the executable's path does
    ProcessCommandLine(static_cast<int>(argv.size()), argv.data());
    const std::string action = argv.size() > 1 ? argv[1] : "";
    const bool all = action.size() && action.size() < 4 && (action.back() | 32) == 'a';
    EXPECT_LE(DeviceRequests.size(), all ? CDCount : 1u);
    for (const TDeviceRequest& q : DeviceRequests)
        EXPECT_TRUE(q.Path.size() == 6 && !q.Path.rfind("\\\\.\\", 0) &&
                    strchr(argv[0], q.Path[4]) && q.Code == DeviceRequests[0].Code);
    EXPECT_LT(MessageBoxCalls.size() + ShellCalls.size(), 2u);
    if (AutocloseDialog) DestroyWindow(AutocloseDialog);
}
// Each input: from each group, up to n of its comma-separated pieces (exactly -n if negative).
// clang-format off
const struct { std::string Name; void (*Check)(std::string);
               std::vector<std::pair<std::string, int>> Groups; } Targets[] = {
    {"format", FormatCheck, {{"%", -1}, {"-", 1}, {"#", 1}, {"0", 1}, {"1,9,1100", 2},
                             {".0,.2,.300,.1100", 1}, {"h,l", 1}, {"c,C,d,i,u,x,X,p,s,S", 1}}},
    {"hotkey", HotKeyCheck, {{"Shift+,Ctrl+,Alt+,^,Key ,Num ,KP_,+,F,1,255,0,O,Space,Del, ", 5}}},
    {"integer", IntegerCheck, {{" ", 2}, {"-,+", 1}, {"$,x,X,0x,0X", 1},
                               {"0,1,2,4,7,9,a,b,f,A,F", 12}, {" ,x,-,$,G,.", 1}}},
    {"folder", FolderCheck, {{"~", 1}, {"a,b,\\,a\\,ba, ,.,|,:", 12}}},
    {"autorun", AutorunCheck, {{"a,b,X,.,\\,:, ,\t,\",/,-,\x01,\x1b,\x7f,\xe9,tttttttttt", 300}}},
    {"command", CommandCheck, {{"A,C,D,E,K,U", 6}, {" ", -1}, {" ,-,/,o,O,C,A,B,D,L,E,:,5,x", 12}}},
}; // clang-format on
// Hotkey words read back (the upper half while a load keeps key names), older texts keep their
// meaning; a path from the root without a drive once recursed for ever; numbers by the reference.
TEST(Logic, HotKeyTextsPathsAndNumbers) {
    for (WORD word = 1; word < 0x800; ++word) {
        if (word == 0x400) BeginHotKeyLoad();
        ASSERT_TRUE(LOBYTE(word) % 255 == 0 || word == TextToHotKey(HotKeyToText(word))) << word;
    }
    EndHotKeyLoad();
    constexpr BYTE C = 2, A = 4, W = 1; // HOTKEYF_CONTROL, HOTKEYF_ALT; W: this version writes it
    // clang-format off
    const struct { const char* Text; WORD Word; BYTE Written; } cases[] = {
        {"Ctrl+Alt+O", MAKEWORD('O', C | A), W}, {"Ctrl+Key 175", MAKEWORD(VK_VOLUME_UP, C), W},
        {"Alt+Ctrl+O", MAKEWORD('O', C | A), 0}, {"Alt+KP_Multiply", MAKEWORD(VK_SNAPSHOT, A), 0},
        {"KP_Delete", VK_DECIMAL, 0}, {"Ctrl+Alt+O+", 0, 0}, {"Key 256", 0, 0}, {"Key 012", 0, 0}};
    // clang-format on
    for (const auto& [text, word, written] : cases)
        EXPECT_TRUE(TextToHotKey(text) == word && (!written || HotKeyToText(word) == text)) << text;
    const std::string base = NewTempFolder();
    WriteTextFile(base + "f", "x");
    SetCurrentDirectoryA(base.c_str());
    EXPECT_TRUE(MakeFolderPath("\\Orvane\\Kestrow\\") && FolderExists("C:\\Orvane\\Kestrow\\") &&
                MakeFolderPath(base + "a\\b\\c\\") && FolderExists(base + "a\\b\\c\\") &&
                !MakeFolderPath(base + "f\\sub") && ExtractAppPath("C:\\K\\k.exe") == "C:\\K\\");
    for (const char* t : {"   -5", "+8", "$1f", "x1F", "0XfF", "-$10", "$FFFFFFFF", "-2147483648",
                          "", "2147483648", "-2147483649", "-7x", "0x", "--5", "15 "})
        IntegerCheck(t);
}
// KESTROW_FUZZ_INPUTS' TARGET-NAME.txt, then random ones for KESTROW_FUZZ_SECONDS (or a second).
TEST(LogicFuzz, ParsersAndTheCommandLineKeepTheirPropertiesOnAnyInput) {
    EnsureMainWindow();
    AppPath = ExeFolder();
    const char *kept = getenv("KESTROW_FUZZ_INPUTS"), *seconds = getenv("KESTROW_FUZZ_SECONDS"),
               *given = getenv("KESTROW_SEED");
    int replayed = 0;
    std::error_code none; // nothing kept, nothing replayed
    for (const auto& file : std::filesystem::directory_iterator(kept ? kept : "", none))
        for (const auto& target : Targets)
            if (!file.path().filename().string().rfind(target.Name + "-", 0))
                target.Check(ReadTextFile(file.path().string())), ++replayed;
    EXPECT_TRUE(!kept || replayed) << "no kept inputs in " << kept;
    const unsigned start = GetTickCount(), seed = given ? strtoul(given, nullptr, 10) : start;
    printf("seed %u (KESTROW_SEED=%u repeats it)\n", seed, seed);
    srand(seed);
    while (!HasFailure() && GetTickCount() - start < 1000u * (seconds ? atoi(seconds) : 1))
        for (const auto& target : Targets) {
            std::string s;
            for (const auto& [pieces, most] : target.Groups)
                for (int n = most < 0 ? -most : rand() % (most + 1); n > 0; --n) {
                    const size_t at = pieces.rfind(',', rand() % pieces.size()) + 1; // by length
                    s += pieces.substr(at, pieces.find(',', at) - at);
                }
            SCOPED_TRACE(target.Name + " input: " + s);
            target.Check(s);
        }
}

// The real kestrow.exe on emulated drives: D=backup E=dvd F=audio:12 G=autorun (tray
// out) H=empty, and K=backup without a device; the drives log the CD-ROM requests.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include <shellapi.h>
#include <shlobj.h>
#include <algorithm>
#include <string>
#include <vector>
#include "tests/support/TestSupport.h"
#include "src/common/uGlobals.h"
#include "src/drives/uCDTools.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "res/resource.h"

namespace {

constexpr DWORD TIMEOUT = 15000;
const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The tray requests logged from now on, as "D eject; E close; ", and any more a moment later.
std::string TrayRequests(const std::string& expected) {
    static size_t seen = 0;
    char log[MAX_PATH] = "Z:"; // the prefix lies on Z: like the rest of the host
    GetEnvironmentVariableA("WINEPREFIX", log + 2, MAX_PATH - 40);
    std::string requests;
    auto read = [&] {
        std::string text = ReadTextFile(log + std::string("/drives/requests.log"));
        for (size_t end; (end = text.find('\n', seen)) != std::string::npos; seen = end + 1) {
            const std::string line = text.substr(seen, end - seen);
            if (line.find(" CDROMEJECT ") != std::string::npos)
                requests += line[0] + std::string(" eject; ");
            if (line.find(" CDROMCLOSETRAY ") != std::string::npos)
                requests += line[0] + std::string(" close; ");
        }
        return requests.size() >= expected.size();
    };
    WaitUntil(read, TIMEOUT);
    Sleep(300);
    read();
    return requests;
}

// A data disc's tooltip in English, with the serial that the system reports.
std::string DataTip(char letter, const char* label) {
    ULARGE_INTEGER total = {};
    GetDiskFreeSpaceExA(DriveRoot(letter).c_str(), nullptr, &total, nullptr);
    DWORD serial = 0;
    GetVolumeInformationA(DriveRoot(letter).c_str(), 0, 0, &serial, 0, 0, 0, 0);
    return FormatText(GetLangText(TEXT_DATA_INFO),
                      {DriveTag(letter) + " - " + label, "CDFS", total.QuadPart / 1048576, serial});
}

// Whether the shell shows an icon whose tooltip starts with the text.
bool FindTip(const std::string& start, TTrayTool* found = nullptr) {
    for (const TTrayTool& tool : ReadTrayTools())
        if (tool.Tip.compare(0, start.size(), start) == 0)
            return found ? (*found = tool, true) : true;
    return false;
}

std::string IniValue(const char* section, const char* key,
                     const std::string& file = SettingsFilePath()) {
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file.c_str());
    return value;
}

// The log-on value, "<missing>" without one; deleted after the reading when asked.
std::string RunValue(bool thenDelete = false) {
    HKEY key = nullptr;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    RegCreateKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    if (RegQueryValueExA(key, "Kestrow", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size))
        strcpy(data, "<missing>");
    if (thenDelete) RegDeleteValueA(key, "Kestrow");
    RegCloseKey(key);
    return data;
}

void UseSettings(const std::string& text) {
    const std::string path = SettingsFilePath();
    SHCreateDirectoryExA(nullptr, path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    WriteTextFile(path, text);
}

bool ClickIcon(const TTrayTool& icon, int button) {
    return ClickScreen((icon.Rect.left + icon.Rect.right) / 2,
                       (icon.Rect.top + icon.Rect.bottom) / 2, button);
}

class EndToEnd : public ::testing::Test {
  protected:
    TKestrowProcess Kestrow;
    HWND Window = nullptr;
    void SetUp() override {
        AppPath = ExeFolder();
        LanguageFileName = AppPath + "English.lng";
        DeleteFileA(SettingsFilePath().c_str()); // English, the first drive current
        RunValue(true);
        TrayRequests(""); // earlier ones are not this test's
    }
    void TearDown() override {
        if (Kestrow.Process) Exit();
    }
    // Starts a copy once the last has let go of the one-copy mutex (Wine closes
    // an ended process's handles late), and waits for an icon whose tip starts with tip.
    void Start(const std::string& tip = "[D:]", std::wstring exe = L"") {
        ASSERT_TRUE(WaitUntil(
            [] {
                HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Orvane.Kestrow.Tray");
                return !mutex || !CloseHandle(mutex);
            },
            TIMEOUT));
        if (exe.empty()) exe = std::wstring(AppPath.begin(), AppPath.end()) + L"kestrow.exe";
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        ASSERT_TRUE(CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &info));
        CloseHandle(info.hThread);
        Kestrow = {info.hProcess, info.dwProcessId};
        ASSERT_NE(nullptr, Window = WaitForKestrowWindow(TIMEOUT, Kestrow.Id));
        ASSERT_TRUE(tip.empty() || WaitUntil([&] { return FindTip(tip); }, TIMEOUT));
    }
    // True when the exit command ended the program with 0.
    bool Exit() {
        DWORD exitCode = 99;
        PostMessageA(Window, WM_COMMAND, IDM_EXIT, 0);
        return WaitForExit(Kestrow, TIMEOUT, exitCode) && exitCode == 0;
    }
    // Choosing the drive refreshes the icon, as a volume broadcast does.
    void ExpectTip(BYTE drive, const std::string& tip) {
        SendMessageA(Window, WM_COMMAND, drive, 0);
        EXPECT_TRUE(WaitForTrayTool(tip, TIMEOUT)) << tip;
    }
    // Width of the menu a right click on the icon opens, closed again; 0 for none.
    // Wine sometimes loses a click just after a menu was left: up to three tries.
    int MenuWidth(const TTrayTool& icon) {
        HWND menu = nullptr;
        for (int attempt = 0; attempt < 3 && !menu; ++attempt) {
            ClickIcon(icon, 3);
            WaitUntil([&] { return CountVisibleWindows("#32768", Kestrow.Id, &menu) > 0; }, 3000);
        }
        RECT rect = {};
        if (!menu || !GetWindowRect(menu, &rect)) return 0;
        ClickScreen(400, 250, 1);
        EXPECT_TRUE(WaitUntil([&] { return !CountVisibleWindows("#32768", Kestrow.Id); }, TIMEOUT));
        return rect.right - rect.left;
    }
};

TEST_F(EndToEnd, EveryWayToOpenOrCloseMovesTheTraysItNames) {
    ASSERT_FALSE(IsMediaPresent('G')); // its tray is out from the start
    Start();
    const std::string all = "D %; E %; F %; G %; H %; ",
                      openAll = ReplaceAllText(all, "%", "eject"),
                      closeAll = ReplaceAllText(all, "%", "close");
    const WPARAM toggleD = MakeCommandID(0, caToggle), toggleG = MakeCommandID(3, caToggle);
    // WM_LBUTTONDOWN: a real click on the icon, WM_DEVICECHANGE: E:, WM_NULL: a command line.
    // clang-format off
    const struct { const char* Way; UINT Message; WPARAM WParam; std::string Requests, Media; } cases[] = {
        // The program keeps its own record of each tray: G's, opened by hand, takes two toggles.
        {"G", WM_HOTKEY, toggleG, "G eject; ", "DEF"}, {"G", WM_HOTKEY, toggleG, "G close; ", "DEFG"},
        {"click", WM_LBUTTONDOWN, 0, "D eject; ", "EFG"}, {"", WM_COMMAND, IDM_CLOSE, "D close; ", "DEFG"},
        {"", WM_COMMAND, IDM_OPEN, "D eject; ", "EFG"}, {"click", WM_LBUTTONDOWN, 0, "D close; ", "DEFG"},
        {"", WM_COMMAND, WPARAM(MakeCommandID(1, caOpen)), "E eject; ", "DFG"},
        {"", WM_COMMAND, WPARAM(MakeCommandID(1, caClose)), "E close; ", "DEFG"},
        {"D", WM_HOTKEY, toggleD, "D eject; ", "EFG"}, {"D", WM_HOTKEY, toggleD, "D close; ", "DEFG"},
        {"", WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, "E eject; ", "DFG"},
        {"", WM_DEVICECHANGE, DBT_DEVICEARRIVAL, "E close; ", "DEFG"},
        {"", WM_COMMAND, IDM_OPENALL, openAll, ""}, {"", WM_COMMAND, IDM_CLOSEALL, closeAll, "DEFG"},
        {"O E", WM_NULL, 0, "E eject; ", "DFG"}, {"C", WM_NULL, 0, "D close; ", "DFG"}, // the first drive
        {"OA", WM_NULL, 0, openAll, ""}, {"CA", WM_NULL, 0, closeAll, "DEFG"},
        {"O E A1", WM_NULL, 0, "E eject; E close; ", "DEFG"}, // the countdown closes it
    }; // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        TTrayTool icon;
        switch (c.Message) {
        case WM_NULL: EXPECT_EQ(0, RunKestrow(c.Way, TIMEOUT)); break;
        case WM_DEVICECHANGE: SendVolumeChange(Window, c.WParam, 'E', DBTF_MEDIA); break;
        case WM_LBUTTONDOWN: ASSERT_TRUE(FindTip("[D:]", &icon) && ClickIcon(icon, 1)); break;
        default: PostMessageA(Window, c.Message, c.WParam, 0);
        }
        EXPECT_EQ(c.Requests, TrayRequests(c.Requests));
        for (char letter : std::string("DEFGHK")) // an open tray's drive has no medium
            EXPECT_EQ(letter == 'K' || c.Media.find(letter) != std::string::npos,
                      IsMediaPresent(letter))
                << letter;
        if (c.Message == WM_NULL) continue; // the icon's copy is not told of them
        ExpectTip(0, c.Media[0] == 'D' ? DataTip('D', "BACKUP") : DriveTag('D'));
    }
    ExpectTip(1, DataTip('E', "MOVIE"));
    // An audio CD's identity: every track's start as minute << 16 | second << 8 | frame, added up.
    unsigned long identity = 0;
    for (long track = 0, frames = 150; track < 12; ++track, frames += 180 * 75)
        identity += (frames / 4500) << 16 | (frames / 75 % 60) << 8 | frames % 75;
    ExpectTip(2, FormatText(GetLangText(TEXT_AUDIO_INFO),
                            {DriveTag('F') + " - Audio CD", 12, std::to_string(identity)}));
    // A drive without a device keeps the program's own record.
    SendMessageA(Window, WM_COMMAND, MakeCommandID(5, caOpen), 0);
    ExpectTip(5, DriveTag('K'));
    SendMessageA(Window, WM_COMMAND, MakeCommandID(5, caClose), 0);
    ExpectTip(5, DataTip('K', "BACKUP"));
    EXPECT_EQ("", TrayRequests(""));
}

TEST_F(EndToEnd, ChoicesAndHotKeysWorkAtOnceAndTheSettingsSurviveARun) {
    UseSettings("[Main]\r\nCloseInterval=37\r\n[E:]\r\nOpenClose=Ctrl+Alt+O\r\n[OtherHotKeys]\r\n"
                "HideIconHotKey=Ctrl+Shift+H\r\nCloseProgramHotkey=Ctrl+Alt+Q\r\n");
    Start();
    PostMessageA(Window, WM_COMMAND, 1, 0); // drive E
    TTrayTool icon;
    std::vector<int> widths;
    std::string name;
    // The menu lists the language files in the order the folder gives them.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((AppPath + "*.lng").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    do {
        name = std::string(found.cFileName, strlen(found.cFileName) - 4);
        SCOPED_TRACE(name);
        PostMessageA(Window, WM_COMMAND, IDM_LANGUAGE_FIRST + widths.size(), 0);
        LanguageFileName = AppPath + found.cFileName;
        ASSERT_TRUE(WaitForTrayTool(DriveInfoText('E', mkData), TIMEOUT, &icon));
        // The menu is in the new language at once: as wide as after another rebuild.
        widths.push_back(MenuWidth(icon));
        SendMessageA(Window, WM_COMMAND, 1, 0);
        EXPECT_EQ(widths.back(), MenuWidth(icon));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    ASSERT_GE(widths.size(), 4u);
    EXPECT_NE(widths.size(), size_t(std::count(widths.begin(), widths.end(), widths[0])));
    // A drive's hotkey and the program-wide ones, pressed on the desktop.
    ASSERT_TRUE(WaitUntil([] { return CombinationTaken(MOD_CONTROL | MOD_ALT, 'Q'); }, TIMEOUT));
    auto press = [](const char* keys) { // on the desktop's empty middle
        return RunHostCommand(std::string("xdotool search --name Wine.desktop windowfocus --sync "
                                          "mousemove 400 300 click 1 key ") +
                                  keys,
                              10000);
    };
    ASSERT_TRUE(press("ctrl+alt+o key ctrl+alt+o"));
    EXPECT_EQ("E eject; E close; ", TrayRequests("E eject; E close; "));
    ASSERT_TRUE(press("ctrl+shift+h"));
    EXPECT_TRUE(WaitUntil([] { return !FindTip("[E:]"); }, TIMEOUT));
    ASSERT_TRUE(press("ctrl+alt+q"));
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(Kestrow, TIMEOUT, exitCode) && exitCode == 0);
    EXPECT_FALSE(CombinationTaken(MOD_CONTROL | MOD_ALT, 'O') ||
                 CombinationTaken(MOD_CONTROL | MOD_ALT, 'Q') ||
                 CombinationTaken(MOD_CONTROL | MOD_SHIFT, 'H'));
    EXPECT_EQ(ExeFolder() + "kestrow.exe", RunValue());
    // Saved: what was loaded, chosen, changed by a hotkey, and keys that were missing;
    // the next run saves them again, and a key taken out of the file comes back.
    for (const char* interval : {"37", "10"}) {
        const char* const saved[][3] = {
            // clang-format off
            {"Main", "CloseInterval", interval}, {"Main", "HideIcon", "1"}, {"Main", "CurrentDrive", "1"},
            {"Main", "Language", name.c_str()}, {"Main", "Autostart", "1"}, {"E:", "OpenClose", "Ctrl+Alt+O"},
            {"D:", "OpenClose", ""}, {"OtherHotKeys", "HideIconHotKey", "Shift+Ctrl+H"}}; // clang-format on
        for (const auto& key : saved)
            EXPECT_EQ(key[2], IniValue(key[0], key[1])) << key[1] << interval;
        if (*interval == '1') break;
        WritePrivateProfileStringA("Main", "CloseInterval", nullptr, SettingsFilePath().c_str());
        Start("");
        ASSERT_TRUE(Exit());
    }
}

// A copy in a folder that the code page cannot spell.
TEST_F(EndToEnd, TheProgramKeepsItsIconUntilTheExitCommandWhateverRunsBeside) {
    ASSERT_EQ(1252u, GetACP());
    const std::wstring folder =
        L"C:\\My Tools\\\u041a\u0435\u0441\u0442\u0440\u0435\u043b \u00dcn\u00ef\\";
    const std::wstring exe = folder + L"kestrow.exe";
    ASSERT_EQ(ERROR_SUCCESS, SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr));
    wchar_t shortName[MAX_PATH] = {}; // the folder's 8.3 form, in ASCII: this test's way in
    ASSERT_NE(0u, GetShortPathNameW(folder.c_str(), shortName, MAX_PATH));
    const std::string shortFolder(shortName, shortName + wcslen(shortName));
    for (const char* name : {"kestrow.exe", "English.lng"})
        ASSERT_TRUE(CopyFileA((AppPath + name).c_str(), (shortFolder + name).c_str(), FALSE));
    const std::string settings = "[Main]\r\nCloseInterval=$14\r\n"; // a save would rewrite it
    UseSettings(settings);
    Start("[D:]", exe);
    const std::string tip = DataTip('D', "BACKUP");
    ASSERT_TRUE(WaitForTrayTool(tip, TIMEOUT)) << tip;
    // The icon gone as after a shell restart: a drive chosen or a broadcast brings it back.
    for (bool broadcast : {false, true}) {
        SCOPED_TRACE(broadcast);
        NOTIFYICONDATAA icon = {};
        icon.cbSize = NOTIFYICONDATAA_V2_SIZE;
        icon.hWnd = Window;
        ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
        ASSERT_TRUE(WaitUntil([] { return !FindTip("[D:]"); }, TIMEOUT));
        broadcast ? SendVolumeChange(Window, DBT_DEVICEARRIVAL, 'E', 0)
                  : SendMessageA(Window, WM_COMMAND, 0, 0);
        EXPECT_TRUE(WaitForTrayTool(tip, TIMEOUT));
    }
    // The log-on value names this executable in a form that opens (written after the window).
    ASSERT_TRUE(WaitUntil([] { return RunValue() != "<missing>"; }, TIMEOUT));
    wchar_t named[MAX_PATH] = {}, longNamed[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, RunValue(true).c_str(), -1, named, MAX_PATH);
    GetLongPathNameW(named, longNamed, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiW(exe.c_str(), longNamed));
    // A second copy without parameters ends at once leaving the log-on value alone; an
    // unknown action says so and ends; a command line acts. None writes the settings.
    for (const char* params : {"", "X", "Q E", "-", "O-A", "C"}) {
        SCOPED_TRACE(params);
        TKestrowProcess run = StartKestrow(params);
        if (params[0] && params[0] != 'C') {
            EXPECT_EQ("Invalid arguments", TakeErrorBox(TIMEOUT));
        }
        DWORD exitCode = 99;
        EXPECT_TRUE(WaitForExit(run, TIMEOUT, exitCode) && exitCode == 0);
        EXPECT_TRUE(params[0] || RunValue() == "<missing>") << RunValue();
        EXPECT_EQ(settings, ReadTextFile(SettingsFilePath()));
    }
    EXPECT_EQ("D close; ", TrayRequests("D close; "));
    EXPECT_EQ(Window, FindKestrowWindow());
    ASSERT_TRUE(Exit());
    // With kestrow.ini beside it the copy keeps every setting there, not in the profile.
    const std::string ini = shortFolder + "kestrow.ini";
    WriteTextFile(ini, "[Main]\r\nAutostart=0\r\nCloseInterval=33\r\n");
    RunValue(true);
    std::string profile = SettingsFilePath();
    DeleteFileA(profile.c_str());
    ASSERT_TRUE(RemoveDirectoryA(profile.erase(profile.find_last_of('\\')).c_str()));
    Start("[D:]", exe);
    PostMessageA(Window, WM_COMMAND, 1, 0); // drive E
    ASSERT_TRUE(Exit());
    EXPECT_EQ("1 33 0", IniValue("Main", "CurrentDrive", ini) + " " + // written there
                            IniValue("Main", "CloseInterval", ini) + " " +
                            IniValue("Main", "Autostart", ini));
    EXPECT_FALSE(PathExists(profile));
    EXPECT_EQ("<missing>", RunValue());
}

// Last: a killed copy's icon may stay in the shell a while.
TEST_F(EndToEnd, AProgramKilledWhileSavingLeavesTheOldFileOrTheNewOne) {
    // Unknown sections make the save long; "$14" written back as 20 makes the files differ.
    std::string others;
    for (int i = 0; i < 5000; ++i)
        others += "[Other" + std::to_string(i) + "]\r\nKey=Value " + std::to_string(i) + "\r\n";
    const std::string old = "[Main]\r\nCloseInterval=$14\r\n" + others;
    UseSettings(old);
    Start();
    ASSERT_TRUE(Exit());
    const std::string saved = ReadTextFile(SettingsFilePath());
    EXPECT_EQ("20", IniValue("Main", "CloseInterval"));
    EXPECT_NE(std::string::npos, saved.find(others)) << "the other sections changed";
    for (DWORD delay : {0, 15, 30, 60, 100, 150, 250, 400}) {
        SCOPED_TRACE(delay);
        UseSettings(old);
        Start("");
        ASSERT_EQ(0u, WaitForInputIdle(Kestrow.Process, TIMEOUT)); // started up
        PostMessageA(Window, WM_COMMAND, IDM_EXIT, 0);
        Sleep(delay);
        TerminateProcess(Kestrow.Process, 1);
        DWORD exitCode;
        WaitForExit(Kestrow, TIMEOUT, exitCode);
        const std::string now = ReadTextFile(SettingsFilePath());
        EXPECT_TRUE(now == old || now == saved) << now.size() << " bytes, exit code " << exitCode;
    }
}

} // namespace

// kestrow.exe on emulated drives D-H (G's tray out, unknown to it), K without device; NoDrive: V.
#include "tests/support/TestSupport.h"
static constexpr DWORD TIMEOUT = 15000;
// Every tray moved so far, as "DeEc" (D ejected, E closed), read from the drives' log.
static std::string Moves() {
    auto log = ReadTextFile(std::string("Z:") + getenv("WINEPREFIX") + "/drives/requests.log");
    std::string moves;
    for (size_t at = 0; (at = log.find(" CDROM", at + 1)) != std::string::npos;)
        if (strchr("EC", log[at + 6])) moves += {log[at - 1], char(tolower(log[at + 6]))};
    return moves;
}
static std::string RunValue() {
    char data[MAX_PATH] = {};
    DWORD size = sizeof data;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Kestrow",
                 RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}
TEST(EndToEnd, ACopyAnywhereMovesTheTraysKeepsItsIconHotKeysAndSettings) {
    std::wstring folder = L"C:\\My Tools\\Кестрел Ünï\\", line = L"\"" + folder + L"kestrow.exe\"";
    ASSERT_TRUE(CreateDirectoryW(L"C:\\My Tools", 0) && CreateDirectoryW(folder.c_str(), 0));
    wchar_t shortName[MAX_PATH] = {}; // 8.3, in ASCII: the way in to a folder beyond 1252
    GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    std::string copy(shortName, shortName + wcslen(shortName)), ini = copy + "kestrow.ini", moves;
    for (const char* name : {"kestrow.exe", "English.lng"})
        ASSERT_TRUE(CopyFileA((ExeFolder() + name).c_str(), (copy + name).c_str(), FALSE));
    WriteTextFile(ini, "[E:]\nOpenClose=Ctrl+Alt+O\n[OtherHotKeys]\nCloseProgramHotkey=Ctrl+Alt+Q");
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    TKestrowProcess kestrow = {pi.hProcess, pi.dwProcessId};
    const HWND window = WaitForKestrowWindow(TIMEOUT, kestrow.Id);
    LanguageFileName = (AppPath = ExeFolder()) + "English.lng"; // the tooltips in English
    ASSERT_TRUE(WaitForTrayTool(DriveInfoText('D', mkData), TIMEOUT));
    EXPECT_EQ(0, RunKestrow("", TIMEOUT));       // a second copy ends at once
    EXPECT_EQ(copy + "kestrow.exe", RunValue()); // the log-on value opens the first
    EXPECT_FALSE(PathExists(getenv("APPDATA") + std::string("\\Orvane\\Kestrow")));
    // k: Ctrl+Alt+key, c: a click on the icon, m: the menu, v: a broadcast for E:, r: a run.
    // clang-format off
    const struct { char How; int Id; const char *Moves, *Params = ""; } cases[] = {
        {'m', MakeCommandID(3, caToggle), "Ge"}, {'m', MakeCommandID(3, caToggle), "Gc"},
        {'c', 0, "De"}, {'m', IDM_CLOSE, "Dc"}, {'m', IDM_OPEN, "De"}, {'c', 0, "Dc"},
        {'m', MakeCommandID(1, caOpen), "Ee"}, {'m', MakeCommandID(1, caClose), "Ec"},
        {'v', DBT_DEVICEREMOVECOMPLETE, "Ee"}, {'v', DBT_DEVICEARRIVAL, "Ec"},
        {'m', IDM_OPENALL, "DeEeFeGeHe"}, {'m', IDM_CLOSEALL, "DcEcFcGcHc"}, {'k', 'O', "Ee"},
        {'k', 'O', "Ec"}, {'r', 0, "Ee", "O E"}, {'r', 0, "Dc", "C"}, {'r', 0, "DeEeFeGeHe", "OA"},
        {'r', 0, "DcEcFcGcHc", "CA"}, {'r', 0, "EeEc", "O E A1"}}; // A1: closed by the countdown
    // clang-format on
    for (const auto& c : cases) {
        const RECT r = ReadTrayTools().at(0).Rect;
        switch (c.How) {
        case 'k': PressKeys({VK_CONTROL, VK_MENU, c.Id, -c.Id, -VK_MENU, -VK_CONTROL}); break;
        case 'c': ClickScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2}); break;
        case 'm': PostMessageA(window, WM_COMMAND, c.Id, 0); break;
        case 'v': SendVolumeChange(window, c.Id, 'E', DBTF_MEDIA); break;
        default: EXPECT_EQ(0, RunKestrow(c.Params, TIMEOUT));
        }
        moves += c.Moves;
        if (!WaitUntil([&] { return Moves() == moves; }, TIMEOUT)) // then on from what moved
            ADD_FAILURE() << "case " << &c - cases << ": " << (moves = Moves());
    }
    NOTIFYICONDATAA icon = {}; // gone as after a shell restart:
    icon.cbSize = NOTIFYICONDATAA_V2_SIZE, icon.hWnd = window;
    for (bool broadcast : {false, true}) { // a drive chosen or a broadcast brings it back
        ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
        broadcast ? SendVolumeChange(window, DBT_DEVICEARRIVAL, 'E', 0)
                  : SendMessageA(window, WM_COMMAND, 1, 0);
        EXPECT_TRUE(WaitForTrayTool(DriveInfoText('E', mkData), TIMEOUT)) << broadcast;
    }
    PressKeys({VK_CONTROL, VK_MENU, 'Q', -'Q', -VK_MENU, -VK_CONTROL});
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(kestrow, TIMEOUT, exitCode) && exitCode == 0);
    EXPECT_NE(std::string::npos, ReadTextFile(ini).find("CurrentDrive=1\r\n")); // E chosen
    WritePrivateProfileStringA("Main", nullptr, nullptr, ini.c_str());
    std::string old = ReadTextFile(ini), saved;
    for (int i = 0; i < 5000; ++i) // killed while saving [Main] among 5,000 others:
        old += "[Other" + std::to_string(i) + "]\r\nKey=Value\r\n";
    for (DWORD delay : {60000, 0, 15, 30, 60, 100, 150, 250, 400}) { // the first not killed
        WriteTextFile(ini, old); // once Wine has closed the last copy's one-copy mutex:
        WaitUntil([] { return !CloseHandle(OpenMutexA(SYNCHRONIZE, 0, "Orvane.Kestrow.Tray")); },
                  TIMEOUT);
        kestrow = StartKestrowFrom(copy + "kestrow.exe", "");
        ASSERT_EQ(0u, WaitForInputIdle(kestrow.Process, TIMEOUT)) << delay; // started up
        PostMessageA(WaitForKestrowWindow(TIMEOUT, kestrow.Id), WM_COMMAND, IDM_EXIT, 0);
        if (WaitForSingleObject(kestrow.Process, delay)) TerminateProcess(kestrow.Process, 1);
        WaitForExit(kestrow, TIMEOUT, exitCode);
        if (saved.empty()) saved = ReadTextFile(ini); // then the old file or this, whole
        EXPECT_TRUE(ReadTextFile(ini) == old || ReadTextFile(ini) == saved) << delay;
    }
    EXPECT_NE(std::string::npos, saved.find("CloseInterval=10\r\n")); // a save was made
}

TEST(NoDrive, TheProgramSaysSoInTheStoredLanguageAndEndsLeavingWhatIsStoredAlone) {
    const std::string dir = NewTempFolder(), stored = "[Main]\nLanguage=P";
    ASSERT_TRUE(CopyFileA((ExeFolder() + "kestrow.exe").c_str(), (dir + "kestrow.exe").c_str(), 0));
    WriteTextFile(dir + "P.lng", "[Main]\n2003=Arr\n"), WriteTextFile(dir + "kestrow.ini", stored);
    const HANDLE run = StartKestrowFrom(dir + "kestrow.exe", "").Process; // shows, waits, ends:
    EXPECT_TRUE(WaitUntil([] { return BalloonShown("Arr"); }, TIMEOUT) &&
                WaitForSingleObject(run, 0) && !WaitForSingleObject(run, 20000));
    EXPECT_EQ(stored + "|", ReadTextFile(dir + "kestrow.ini") + "|" + RunValue());
}

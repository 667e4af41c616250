// The real kestrow.exe on emulated drives D-H (G's tray out), K without a device; NoDrive: V.
#include <gtest/gtest.h>
#include "tests/support/TestSupport.h"
#include <dbt.h>
#include <shellapi.h>
#include <shlobj.h>
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "res/resource.h"
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
    ASSERT_EQ(1252u, GetACP());
    const std::wstring folder = L"C:\\My Tools\\Кестрел Ünï\\"; // beyond the code page
    ASSERT_EQ(ERROR_SUCCESS, SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr));
    wchar_t shortName[MAX_PATH] = {}; // the folder's 8.3 form, in ASCII: this test's way in
    GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    const std::string copy(shortName, shortName + wcslen(shortName)), ini = copy + "kestrow.ini";
    for (const char* name : {"kestrow.exe", "English.lng"})
        ASSERT_TRUE(CopyFileA((ExeFolder() + name).c_str(), (copy + name).c_str(), FALSE));
    WriteTextFile(ini, "[E:]\nOpenClose=Ctrl+Alt+O\n[OtherHotKeys]\nCloseProgramHotkey=Ctrl+Alt+Q");
    std::wstring line = L"\"" + folder + L"kestrow.exe\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(pi.hThread);
    TKestrowProcess kestrow = {pi.hProcess, pi.dwProcessId};
    const HWND window = WaitForKestrowWindow(TIMEOUT, kestrow.Id);
    LanguageFileName = (AppPath = ExeFolder()) + "English.lng"; // the tooltips in English
    ASSERT_TRUE(WaitForTrayTool(DriveInfoText('D', mkData), TIMEOUT));
    // A second copy ends at once; the log-on value opens the first; no folder in the profile.
    EXPECT_EQ(0, RunKestrow("", TIMEOUT));
    EXPECT_EQ(copy + "kestrow.exe", RunValue());
    EXPECT_FALSE(PathExists(SettingsFilePath().substr(0, SettingsFilePath().rfind('\\'))));
    const int toggleG = MakeCommandID(3, caToggle);
    // clang-format off
    const struct { UINT Message; int Id; const char *Moves, *Params = ""; } cases[] = {
        // The program keeps its own record of each tray: G's, opened by hand, takes two toggles.
        {WM_HOTKEY, toggleG, "Ge"}, {WM_HOTKEY, toggleG, "Gc"}, {WM_LBUTTONDOWN, 0, "De"},
        {WM_COMMAND, IDM_CLOSE, "Dc"}, {WM_COMMAND, IDM_OPEN, "De"}, {WM_LBUTTONDOWN, 0, "Dc"},
        {WM_COMMAND, MakeCommandID(1, caOpen), "Ee"}, {WM_COMMAND, MakeCommandID(1, caClose), "Ec"},
        {WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, "Ee"},
        {WM_DEVICECHANGE, DBT_DEVICEARRIVAL, "Ec"}, {WM_COMMAND, IDM_OPENALL, "DeEeFeGeHe"},
        {WM_COMMAND, IDM_CLOSEALL, "DcEcFcGcHc"}, {WM_NULL, 0, "Ee", "O E"},
        {WM_NULL, 0, "Dc", "C"}, {WM_NULL, 0, "DeEeFeGeHe", "OA"}, {WM_NULL, 0, "DcEcFcGcHc", "CA"},
        {WM_NULL, 0, "EeEc", "O E A1"}}; // C: the first drive; A1: E closed by the countdown
    // clang-format on
    std::string moves;
    for (const auto& c : cases) { // a click on the icon, a broadcast for E:, a command line...
        const RECT r = ReadTrayTools().at(0).Rect;
        switch (c.Message) {
        case WM_NULL: EXPECT_EQ(0, RunKestrow(c.Params, TIMEOUT)); break;
        case WM_DEVICECHANGE: SendVolumeChange(window, c.Id, 'E', DBTF_MEDIA); break;
        case WM_LBUTTONDOWN: ClickScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2}); break;
        default: PostMessageA(window, c.Message, c.Id, 0);
        }
        moves += c.Moves;
        if (!WaitUntil([&] { return Moves() == moves; }, TIMEOUT)) // then on from what moved
            ADD_FAILURE() << "case " << &c - cases << ": " << (moves = Moves());
    }
    // The icon gone as after a shell restart: a drive chosen or a broadcast brings it back.
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V2_SIZE, icon.hWnd = window;
    for (bool broadcast : {false, true}) {
        ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
        broadcast ? SendVolumeChange(window, DBT_DEVICEARRIVAL, 'E', 0)
                  : SendMessageA(window, WM_COMMAND, 1, 0);
        EXPECT_TRUE(WaitForTrayTool(DriveInfoText('E', mkData), TIMEOUT)) << broadcast;
    }
    // A drive's hotkey and the program's closing one, pressed on the keyboard.
    PressKeys({VK_CONTROL, VK_MENU, 'O', -'O', 'O', -'O', 'Q', -'Q', -VK_MENU, -VK_CONTROL});
    EXPECT_TRUE(WaitUntil([&] { return Moves() == moves + "EeEc"; }, TIMEOUT)) << Moves();
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(kestrow, TIMEOUT, exitCode) && exitCode == 0);
    // Killed while saving, a run leaves the old file or the new one. The save writes back the
    // [Main] taken out, between 5,000 other sections. Last: a killed copy's icon may stay.
    EXPECT_NE(std::string::npos, ReadTextFile(ini).find("CurrentDrive=1\r\n")); // E chosen
    WritePrivateProfileStringA("Main", nullptr, nullptr, ini.c_str());
    std::string old = ReadTextFile(ini), saved;
    for (int i = 0; i < 5000; ++i)
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
        if (saved.empty()) saved = ReadTextFile(ini);
        EXPECT_TRUE(ReadTextFile(ini) == old || ReadTextFile(ini) == saved) << delay;
    }
    for (auto line : {"CloseInterval=10\r\n", "OpenClose=Ctrl+Alt+O\r\n"}) // saved again
        EXPECT_NE(std::string::npos, saved.find(line)) << line;
}

TEST(NoDrive, TheProgramSaysSoInTheStoredLanguageAndEndsLeavingWhatIsStoredAlone) {
    const std::string dir = NewTempFolder(), stored = "[Main]\nLanguage=Pirate";
    ASSERT_TRUE(CopyFileA((ExeFolder() + "kestrow.exe").c_str(), (dir + "kestrow.exe").c_str(), 0));
    WriteTextFile(dir + "Pirate.lng", "[Main]\n2003=Arr\n");
    WriteTextFile(dir + "kestrow.ini", stored); // what a start-up or a save would change
    const TKestrowProcess run = StartKestrowFrom(dir + "kestrow.exe", "");
    EXPECT_TRUE(WaitUntil([] { return BalloonShown("Arr"); }, TIMEOUT));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(run.Process, 0));      // the message stays a while,
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(run.Process, 20000)); // then the program ends
    EXPECT_EQ(stored + "|", ReadTextFile(dir + "kestrow.ini") + "|" + RunValue());
}

// Drives, actions, countdowns, the command line, routing and the hotkey store, through the seam
// doubles and simulated drives: D=backup E=(no medium) F=dvd G=audio H=audiolower K=autoico W=dvd.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <climits>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "src/actions/uActions.h"
#include "src/app/uCMD.h"
#include "src/drives/uCDTools.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/settings/uSettings.h"
#include "src/tray/uNotifyIcon.h"
#include "res/resource.h"

namespace {

constexpr DWORD EJECT = 0x74808, LOAD = 0x7480C, STORAGE_EJECT = 0x2D4808, STORAGE_LOAD = 0x2D480C;

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

// The requests sent, as "D eject, E storage load, ".
std::string Requests() {
    std::string text;
    for (const TDeviceRequest& r : DeviceRequests) {
        const bool device = r.Path.size() == 6 && r.Path.rfind("\\\\.\\", 0) == 0;
        text += (device ? r.Path.substr(4, 1) : r.Path) +
                (r.Code == STORAGE_EJECT || r.Code == STORAGE_LOAD ? " storage" : "") +
                (r.Code == EJECT || r.Code == STORAGE_EJECT ? " eject, "
                 : r.Code == LOAD || r.Code == STORAGE_LOAD ? " load, "
                                                            : " ?, ");
    }
    return text;
}

// The main window's commands, recorded on their way to it.
std::vector<int> Commands;
WNDPROC ProgramWndProc;
LRESULT CALLBACK RecordCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) Commands.push_back(LOWORD(wParam));
    return CallWindowProcA(ProgramWndProc, window, message, wParam, lParam);
}

// A command-line state (no end request saves anything) with these drives.
void Reset(const std::string& letters) {
    ResetProgramState();
    CommandLineMode = true;
    UseDriveList(letters);
    Commands.clear();
}

class Drives : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        if (!ProgramWndProc)
            ProgramWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCommand)));
        Reset("DEF");
    }
    void TearDown() override { ResetProgramState(); }
};

// The list, then each drive's texts: label, file system, MiB and serial as the system reports
// them; an audio disc's tracks and identity from its device.
TEST_F(Drives, TheListHoldsTheCDDrivesFromAToUWithTheirMediaAndTexts) {
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    InitDrives();
    EXPECT_EQ(UINT(SEM_NOGPFAULTERRORBOX), SetErrorMode(0)); // as the caller had it
    std::string found;
    for (const TCDDrive& d : CDList)
        found += std::string(1, d.Letter) + char('0' + d.MediaKind) + char('0' + d.TrayOpen);
    // The label "Audio CD" makes an audio disc before any file, and only in its own case.
    EXPECT_EQ("D10E00F30G20H10K10", found);
    for (size_t size : {Timers.size(), DriveMenus.size(), HotKeys.size(), CDBitmaps.size()})
        EXPECT_EQ(CDCount, size);
    EXPECT_EQ(mkDVDVideo, GetMediaKind('W')); // a drive, only not one of ours
    UseTestLanguage();                        // 2030 is "%s|%s|%u|%u", 2031 "%s|%d|%s"
    ResetSeamDoubles();
    AudioCDAnswer = {true, 12, "8a0b4c1d"};
    for (const char* row : {"D1[D:] - BACKUP", "F3[F:] - MOVIE", "E0[E:] - (unlabelled)",
                            "G2[G:] - Audio CD", "E1[E:] - (unlabelled)"}) {
        const std::string caption = row + 2, root = caption.substr(1, 2) + "\\";
        char fileSystem[64] = {};
        DWORD serial = 0;
        ULARGE_INTEGER total = {};
        GetVolumeInformationA(root.c_str(), nullptr, 0, &serial, nullptr, nullptr, fileSystem, 64);
        GetDiskFreeSpaceExA(root.c_str(), nullptr, &total, nullptr);
        const BYTE kind = row[1] - '0';
        EXPECT_EQ(caption, DriveCaption(row[0]));
        EXPECT_EQ(kind == mkNoMedia ? caption.substr(0, 4)
                  : kind == mkAudioCD
                      ? caption + "|12|8a0b4c1d"
                      : caption + "|" + fileSystem + "|" + std::to_string(total.QuadPart >> 20) +
                            "|" + std::to_string(serial),
                  DriveInfoText(row[0], kind))
            << row;
    }
    EXPECT_EQ(std::vector<std::string>{"G:"}, AudioCDQueries);
    EXPECT_EQ(4482u, BytesToMiB(4700000000ull)); // beyond 32 bits: a DVD
}

// Each text becomes D:'s autorun.inf; the program starts from the drive's root.
TEST_F(Drives, AutorunStartsOnlyAProgramThatFitsTheShell) {
    const std::string name256(256, 'a'), params259(259, 'p'),
        head = "[autorun]\r\nopen=", pad = "setup.exe\r\n;";
    const std::string fill(64 * 1024 - head.size() - pad.size() - 2, 'x'); // a file of 64 KB
    // clang-format off
    const struct { std::string Open, Program, Params; } cases[] = {
        {"setup.exe", "D:\\setup.exe", ""}, {"bin\\run.exe\t-x  -y", "D:\\bin\\run.exe", "-x  -y"},
        {"\"my setup.exe\" /a \"b c\" /d", "D:\\my setup.exe", "/a \"b c\" /d"},
        {"\"my setup.exe\"/a", "D:\\my setup.exe", "/a"}, {"\"no end quote", "D:\\no end quote", ""},
        {"C:\\tools\\x.exe D:\\", "C:\\tools\\x.exe", "D:\\"},
        {"\\\\host\\share\\x.exe", "\\\\host\\share\\x.exe", ""}, {"", "", ""}, {"   ", "", ""},
        {"\"\" /a", "", ""}, {"set\x01up.exe", "", ""}, {"setup.exe /\x1b[2J", "", ""},
        {std::string(5000, 'A') + ".exe", "", ""}, {name256, "D:\\" + name256, ""}, // a whole path
        {name256 + "a", "", ""}, {"x.exe " + params259, "D:\\x.exe", params259},
        {"x.exe " + params259 + "p", "", ""}, {pad + fill, "D:\\setup.exe", ""}, {pad + fill + "x", "", ""},
    };                                                                     // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        WriteTextFile("D:\\autorun.inf", head + cases[i].Open + "\r\n");
        ResetSeamDoubles();
        EXPECT_EQ(!cases[i].Program.empty(), AutorunCD(0));
        ASSERT_EQ(cases[i].Program.empty() ? 0u : 1u, ShellCalls.size());
        if (ShellCalls.empty()) continue;
        const TShellCall& c = ShellCalls[0];
        EXPECT_EQ("open|" + cases[i].Program + "|" + cases[i].Params + "|D:\\",
                  c.Verb + "|" + c.File + "|" + c.Params + "|" + c.Directory);
        EXPECT_TRUE(c.HasParams == !cases[i].Params.empty() && c.Owner == MainWindow &&
                    c.Show == SW_SHOWNORMAL);
    }
    WriteTextFile("D:\\autorun.inf", "[autorun]\r\nicon=a,b.exe ,-3\r\n");
    int index = 0;
    EXPECT_EQ("D:\\a,b.exe", GetAutorunIconPath('D', index));
    EXPECT_EQ(-3, index);
    DeleteFileA("D:\\autorun.inf");
    HICON icon = LoadAutorunIcon('K', 20, 20); // the disc's own icon file
    EXPECT_NE(nullptr, icon);
    DestroyIcon(icon);
}

// The record follows what was asked, whatever the device answers; a refused
// disk request is followed by the storage-class one on the same device.
TEST_F(Drives, EachActionAsksItsOwnDrivesDevice) {
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ResetSeamDoubles();
        RefusedCodes = std::vector<DWORD>{EJECT, LOAD, STORAGE_EJECT, STORAGE_LOAD};
        RefusedCodes.resize(i * 2);
        EXPECT_EQ(i < 2, OpenCD(2));
        EXPECT_TRUE(CDList[2].TrayOpen == 1 && CDList[2].MediaKind == mkNoMedia);
        EXPECT_EQ(i < 2, CloseCD(2));
        EXPECT_EQ(i ? "F eject, F storage eject, F load, F storage load, " : "F eject, F load, ",
                  Requests());
        EXPECT_TRUE(CDList[2].TrayOpen == 0 && CDList[2].MediaKind == mkDVDVideo); // identified
    }
    ResetSeamDoubles();
    CDList[0].TrayOpen = 1; // the program's own flag decides, not the device
    ToggleCD(0);
    ToggleCD(1);
    OpenAllCD();
    CloseAllCD();
    EXPECT_EQ("D load, E eject, D eject, E eject, F eject, D load, E load, F load, ", Requests());
    EXPECT_FALSE(AutorunCD(1)); // no medium
    EXPECT_TRUE(BrowseCD(1) && ShellCalls.size() == 1 && ShellCalls[0].Verb == "explore" &&
                ShellCalls[0].File == "E:\\" && !ShellCalls[0].HasParams);
    UseDriveList("");
    EXPECT_FALSE(OpenCD(0) || CloseCD(0) || ToggleCD(0) || BrowseCD(0) || AutorunCD(0));
}

// A countdown of N >= 0 closes on tick N + 1, a negative one on tick 1, and ends a command-line
// run; the window's timer ticks its own drive.
TEST_F(Drives, CountdownsCloseOnTheirTick) {
    for (int interval : {3, 1, 0, -2, INT_MIN}) {
        Reset("DEF");
        AutoClose = true;
        CloseInterval = interval;
        OpenCD(1);
        int tick = 0;
        while (++tick <= 6 && (AutocloseTick(1), CDList[1].TrayOpen)) {
        }
        EXPECT_EQ(interval >= 0 ? interval + 1 : 1, tick) << interval;
        EXPECT_TRUE(!KillTimer(MainWindow, 2) && QuitPosted()) << interval; // stopped
    }
    Reset("DEF");
    AutoClose = true;
    CloseInterval = 1;
    OpenCD(0);
    Timers[0].Paused = true;
    AutocloseTick(0);
    AutocloseTick(0);
    EXPECT_EQ(1, Timers[0].Remaining); // a paused countdown neither counts nor closes
    OpenCD(0);                         // the removal broadcast: a new countdown
    EXPECT_FALSE(Timers[0].Paused);
    AutoClose = false;
    OpenCD(1);
    EXPECT_FALSE(KillTimer(MainWindow, 2)); // none without autoclose
    AutocloseTick(0);
    AutocloseTick(0); // one that runs still closes
    EXPECT_EQ(0, CDList[0].TrayOpen);
    Reset("DE");
    Timers[0].Remaining = Timers[1].Remaining = 3;
    for (WPARAM id : {1, 0, 3, 21, 2, 2})
        SendMessageA(MainWindow, WM_TIMER, id, 0);
    EXPECT_TRUE(Timers[0].Remaining == 2 && Timers[1].Remaining == 1);
}

// Parameter lists and outcomes: commands, requests, the run's settings, the error box, the
// balloon and the end; letters "DE" unless a row names others.
TEST_F(Drives, TheCommandLineRunsOneActionAndEnds) {
    const int O = IDM_OPEN, C = IDM_CLOSE;
    // clang-format off
    const struct {
        std::vector<std::string> Params; std::vector<int> Commands; const char *Sent, *Settings;
        bool Box, Balloon, Ended; std::string Letters = "DE";
    } cases[] = {
        {{"/o", "e"}, {1, O}, "E eject, ", "- ", 0, 0, 1}, {{"-O", "E:"}, {1, O}, "E eject, ", "- ", 0, 0, 1},
        {{"\\c"}, {C}, "D load, ", "- ", 0, 0, 1}, {{"OA", "d"}, {0, IDM_OPENALL}, "D eject, E eject, ", "- ", 0, 0, 1},
        {{"/ca", "-d"}, {0, IDM_CLOSEALL}, "D load, E load, ", "- ", 0, 0, 1},
        {{"B", "E"}, {1, IDM_BROWSE}, "", "- ", 0, 0, 1}, {{"A", "E"}, {1, IDM_AUTORUN}, "", "- ", 0, 0, 1},
        {{"X", "E"}, {1}, "", "- ", 1, 0, 1}, {{"OC"}, {}, "", "- ", 1, 0, 1}, {{"--o"}, {}, "", "- ", 1, 0, 1},
        {{"O", "F"}, {O}, "D eject, ", "- ", 0, 1, 1}, {{"O", ":"}, {O}, "D eject, ", "- ", 0, 1, 1},
        {{"O", "E", "A"}, {1, O}, "E eject, ", "7 ", 0, 0, 0}, {{"O", "E", "a12"}, {1, O}, "E eject, ", "12 ", 0, 0, 0},
        {{"O", "E", "A$1F", "/d"}, {1, O}, "E eject, ", "31 D", 0, 0, 0}, {{"O", "E", "A12x"}, {1, O}, "E eject, ", "7 ", 0, 0, 0},
        {{"C", "E", "LDUTCH", "Q", "L"}, {1, C}, "E load, ", "- D", 0, 0, 1},
        {{"C", "E", "lenglish"}, {1, C}, "E load, ", "- ENGLISH", 0, 0, 1},
        {{"OA", "D", "A5"}, {0, IDM_OPENALL}, "D eject, E eject, ", "5 ", 0, 0, 1},
        {{"O", "U"}, {IDM_SELECTDRIVE20, O}, "U eject, ", "- ", 0, 0, 1, "ABCDEFGHIJKLMNOPQRSTU"},
        {{}, {}, "", "7 D", 0, 0, 0}, {{"O", "D"}, {}, "", "7 D", 0, 0, 0, ""}, // no drive: already ending
    }; // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(testing::Message() << "row " << i);
        Reset(c.Letters);
        AppPath = ExeFolder();
        AutoClose = ShowCloseDialog = true; // the stored switches do not apply
        CloseInterval = 7;
        if (c.Balloon) AddTrayIcon(); // the command line's icon is hidden
        std::vector<std::string> params = c.Params;
        params.insert(params.begin(), AppPath + "kestrow.exe");
        std::vector<char*> argv;
        for (std::string& p : params)
            argv.push_back(&p[0]);
        ProcessCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(c.Commands, Commands);
        EXPECT_EQ(c.Sent, Requests());
        EXPECT_EQ(c.Settings, (AutoClose ? std::to_string(CloseInterval) : "-") +
                                  (ShowCloseDialog ? " D" : " ") + Language);
        EXPECT_EQ(c.Box, MessageBoxCalls.size() == 1 &&
                             MessageBoxCalls[0].Text == "Invalid arguments" &&
                             MessageBoxCalls[0].Caption == "Error");
        EXPECT_EQ(c.Box, !MessageBoxCalls.empty());
        if (c.Balloon) {
            EXPECT_TRUE(WaitUntil([] { return BalloonShown("Invalid arguments"); }, 5000));
            RemoveTrayIcon();
        }
        EXPECT_EQ(c.Ended, QuitPosted());
    }
}

// A broadcast with the media flag acts on each listed letter it names;
// identifiers without a command and the mouse over the icon do nothing.
TEST_F(Drives, TheMainWindowActsOnlyOnItsOwnMessages) {
    // clang-format off
    const struct { DWORD Mask; WPARAM Event; WORD Flags; const char* Sent; } cases[] = {
        {1u << 3, DBT_DEVICEREMOVECOMPLETE, DBTF_MEDIA, "D eject, "},
        {1u << 3 | 1u << 6, DBT_DEVICEREMOVECOMPLETE, DBTF_MEDIA, "D eject, G eject, "},
        {1u << 2 | 1u << 6, DBT_DEVICEARRIVAL, DBTF_MEDIA, "G load, "}, {~0u, DBT_DEVICEARRIVAL, DBTF_MEDIA, "D load, G load, "},
        {1u << 4 | 1u << 22, DBT_DEVICEARRIVAL, DBTF_MEDIA, ""}, {1u << 3, DBT_DEVICEARRIVAL, 0, ""},
        {1u << 3, DBT_DEVICEQUERYREMOVE, DBTF_MEDIA, ""},
    }; // clang-format on
    for (const auto& c : cases) {
        Reset("DG");
        DEV_BROADCAST_VOLUME volume = {sizeof volume, DBT_DEVTYP_VOLUME, 0, c.Mask, c.Flags};
        SendMessageA(MainWindow, WM_DEVICECHANGE, c.Event, reinterpret_cast<LPARAM>(&volume));
        EXPECT_EQ(c.Sent, Requests()) << c.Mask;
    }
    Reset("DEF");
    CurrentDrive = 1;
    for (int id = 3; id < 500; ++id)
        if ((id < CMD_DRIVE_BASE || id >= MakeCommandID(3, 0)) && (id < 160 || id > 173) &&
            (id < IDM_OPEN || id > IDM_CLOSEALL)) // not the pseudo drives' nor the fixed ones
            SendMessageA(MainWindow, WM_COMMAND, id, 0);
    for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK})
        SendMessageA(MainWindow, WM_TRAYNOTIFY, 0, mouse);
    EXPECT_EQ("", Requests());
    EXPECT_TRUE(ShellCalls.empty() && HelpCalls.empty() && !HideIcon && !QuitPosted() &&
                CurrentDrive == 1);
}

// Stored hotkeys are registered under their command (164: the 21st drive's toggle), the
// program-wide ones under their own ids; a combination taken earlier stays stored, unregistered.
TEST_F(Drives, HotKeysAreRegisteredUnderTheirIdsAndStoredBack) {
    Reset("ABCDEFGHIJKLMNOPQRSTU");
    IniFileName = NewTempFolder() + "kestrow.ini";
    WriteTextFile(IniFileName,
                  "[C:]\r\nBrowse=Ctrl+F5\r\nAutorun=Ctrl+F5\r\n[D:]\r\nOpenClose=Ctrl+"
                  "NoSuchKey\r\n[U:]\r\nOpenClose=Ctrl+Alt+T\r\n[OtherHotKeys]\r\n"
                  "HideIconHotKey=Ctrl+Shift+H\r\nCloseProgramHotkey=Shift+End\r\n");
    const auto loaded = [] { // clang-format off
        LoadHotKeys();
        return std::vector<int>{HotKeys[2][caOpen], HotKeys[2][caBrowse], HotKeys[2][caAutorun],
            HotKeys[3][caToggle], HotKeys[20][caToggle], GlobalHotKeys[ghHideIcon], GlobalHotKeys[ghCloseProgram]};
    }; // clang-format on
    constexpr BYTE S = HOTKEYF_SHIFT, C = HOTKEYF_CONTROL, A = HOTKEYF_ALT;
    const std::vector<int> expected = {0,
                                       MAKEWORD(VK_F5, C),
                                       MAKEWORD(VK_F5, C),
                                       0, // clang-format off
        MAKEWORD('T', C | A), MAKEWORD('H', C | S), MAKEWORD(VK_END, S)}; // clang-format on
    EXPECT_EQ(expected, loaded());
    RegisterAllHotKeys();
    for (int id : {36, 164, HOTKEY_ID_HIDEICON, HOTKEY_ID_CLOSEPROGRAM})
        EXPECT_TRUE(UnregisterHotKey(MainWindow, id)) << id;
    EXPECT_FALSE(UnregisterHotKey(MainWindow, 37)); // Ctrl+F5 went to C:'s browse
    SendMessageA(MainWindow, WM_HOTKEY, 164, 0);
    EXPECT_TRUE(CDList[20].TrayOpen == 1 && !HideIcon);
    SendMessageA(MainWindow, WM_HOTKEY, HOTKEY_ID_HIDEICON, 0);
    EXPECT_TRUE(HideIcon && !QuitPosted());
    SendMessageA(MainWindow, WM_HOTKEY, HOTKEY_ID_CLOSEPROGRAM, 0);
    EXPECT_TRUE(QuitPosted());
    SaveHotKeys();
    const std::string file = ReadTextFile(IniFileName);
    EXPECT_TRUE(file.find("NoSuchKey") == std::string::npos &&
                file.find("CloseProgramHotkey=Shift+End") != std::string::npos);
    HotKeys.assign(21, THotKeyRecord{});
    GlobalHotKeys[ghHideIcon] = GlobalHotKeys[ghCloseProgram] = 0;
    EXPECT_EQ(expected, loaded());
}

} // namespace

// Drives, actions, countdowns, the command line, the main window's routing and
// the hotkey store, through the seam doubles and this prefix's simulated
// drives: D=backup, E= (no medium), F=dvd, G=audio, H=audiolower, K=autoico,
// and W=dvd beyond U.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <climits>
#include "support/Probe.h"
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "support/TrayFixtures.h"
#include "../src/actions/uActions.h"
#include "../src/app/uCMD.h"
#include "../src/drives/uCDTools.h"
#include "../src/hotkeys/uHotKeys.h"
#include "../src/language/uLanguage.h"
#include "../src/menus/uMenus.h"
#include "../src/settings/uSettings.h"
#include "../src/tray/uNotifyIcon.h"
#include "../res/resource.h"

namespace {

constexpr DWORD EJECT = 0x74808, LOAD = 0x7480C; // the disk requests
constexpr DWORD STORAGE_EJECT = 0x2D4808, STORAGE_LOAD = 0x2D480C;

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

// The requests sent, as "D eject, E storage load, ".
std::string Requests() {
    std::string text;
    for (const TDeviceRequest& r : DeviceRequests)
        text +=
            (r.Path.size() == 6 && r.Path.rfind("\\\\.\\", 0) == 0 ? r.Path.substr(4, 1) : r.Path) +
            (r.Code == EJECT           ? " eject, "
             : r.Code == LOAD          ? " load, "
             : r.Code == STORAGE_EJECT ? " storage eject, "
             : r.Code == STORAGE_LOAD  ? " storage load, "
                                       : " ?, ");
    return text;
}

// The main window's commands, recorded on their way to it.
std::vector<int> Commands;
WNDPROC ProgramWndProc;
LRESULT CALLBACK RecordCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) Commands.push_back(LOWORD(wParam));
    return CallWindowProcA(ProgramWndProc, window, message, wParam, lParam);
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
    void Reset(const std::string& letters) {
        ResetProgramState();
        CommandLineMode = true; // no end request saves anything here
        UseDriveList(letters);
        Commands.clear();
    }
};

TEST_F(Drives, TheListHoldsTheCDDrivesFromAToUInOrderWithTheirMedia) {
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    InitDrives();
    EXPECT_EQ(UINT(SEM_NOGPFAULTERRORBOX), SetErrorMode(0)); // as the caller had it
    std::string found;
    for (const TCDDrive& drive : CDList)
        found +=
            std::string(1, drive.Letter) + char('0' + drive.MediaKind) + char('0' + drive.TrayOpen);
    // The label "Audio CD" makes an audio disc before any file, and only in its own case.
    EXPECT_EQ("D10E00F30G20H10K10", found);
    for (size_t size : {Timers.size(), DriveMenus.size(), HotKeys.size(), CDBitmaps.size()})
        EXPECT_EQ(CDCount, size);
    EXPECT_EQ(mkDVDVideo, GetMediaKind('W')); // a drive, only not one of ours
}

// Each text becomes D:'s autorun.inf; the program starts from the drive's root.
TEST_F(Drives, AutorunStartsOnlyAProgramThatFitsTheShell) {
    const std::string name256(256, 'a'), params259(259, 'p');
    const std::string head = "[autorun]\r\nopen=", pad = "setup.exe\r\n;";
    const struct {
        std::string Open, Program, Params;
    } cases[] = {
        // clang-format off
        {"setup.exe", "D:\\setup.exe", ""}, {"bin\\run.exe\t-x  -y", "D:\\bin\\run.exe", "-x  -y"},
        {"\"my setup.exe\" /a \"b c\" /d", "D:\\my setup.exe", "/a \"b c\" /d"},
        {"\"my setup.exe\"/a", "D:\\my setup.exe", "/a"}, {"\"no end quote", "D:\\no end quote", ""},
        {"C:\\tools\\x.exe D:\\", "C:\\tools\\x.exe", "D:\\"},
        {"\\\\host\\share\\x.exe", "\\\\host\\share\\x.exe", ""},
        {"", "", ""}, {"   ", "", ""}, {"\"\" /a", "", ""}, {"set\x01up.exe", "", ""},
        {"setup.exe /\x1b[2J", "", ""}, {std::string(5000, 'A') + ".exe", "", ""},
        {name256, "D:\\" + name256, ""}, {name256 + "a", "", ""}, // D:\ and these: a whole path
        {"x.exe " + params259, "D:\\x.exe", params259}, {"x.exe " + params259 + "p", "", ""},
        // A whole file of 64 KB is read, a larger one is no disc's.
        {pad + std::string(64 * 1024 - head.size() - pad.size() - 2, 'x'), "D:\\setup.exe", ""},
        {pad + std::string(64 * 1024 - head.size() - pad.size() - 1, 'x'), "", ""},
        // clang-format on
    };
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
        EXPECT_EQ(!cases[i].Params.empty(), c.HasParams);
        EXPECT_TRUE(c.Owner == MainWindow && c.Show == SW_SHOWNORMAL);
    }
    WriteTextFile("D:\\autorun.inf", "[autorun]\r\nicon=a,b.exe ,-3\r\n");
    int index = 0;
    EXPECT_EQ("D:\\a,b.exe", GetAutorunIconPath('D', index));
    EXPECT_EQ(-3, index);
    DeleteFileA("D:\\autorun.inf");
    HICON icon = LoadAutorunIcon('K', 20, 20); // the disc's own icon file
    EXPECT_NE(nullptr, icon);
    DestroyIcon(icon);
    ResetSeamDoubles();
    EXPECT_FALSE(AutorunCD(1)); // no medium
    EXPECT_TRUE(BrowseCD(1) && ShellCalls.size() == 1 && ShellCalls[0].Verb == "explore" &&
                ShellCalls[0].File == "E:\\" && !ShellCalls[0].HasParams);
}

// The record follows what was asked, whatever the device answers; a refused
// disk request is followed by the storage-class one on the same device.
TEST_F(Drives, EachActionAsksItsOwnDrivesDevice) {
    const struct {
        std::vector<DWORD> Refused;
        bool Accepted;
        const char* Sent;
    } cases[] = {
        {{}, true, "F eject, F load, "},
        {{EJECT, LOAD}, true, "F eject, F storage eject, F load, F storage load, "},
        {{EJECT, LOAD, STORAGE_EJECT, STORAGE_LOAD},
         false,
         "F eject, F storage eject, F load, F storage load, "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Sent);
        ResetSeamDoubles();
        RefusedCodes = c.Refused;
        EXPECT_EQ(c.Accepted, OpenCD(2));
        EXPECT_TRUE(CDList[2].TrayOpen == 1 && CDList[2].MediaKind == mkNoMedia);
        EXPECT_EQ(c.Accepted, CloseCD(2));
        EXPECT_EQ(c.Sent, Requests());
        EXPECT_TRUE(CDList[2].TrayOpen == 0 && CDList[2].MediaKind == mkDVDVideo); // identified
    }
    ResetSeamDoubles();
    CDList[0].TrayOpen = 1; // the program's own flag decides, not the device
    ToggleCD(0);
    ToggleCD(1);
    OpenAllCD();
    CloseAllCD();
    EXPECT_EQ("D load, E eject, D eject, E eject, F eject, D load, E load, F load, ", Requests());
    UseDriveList("");
    EXPECT_FALSE(OpenCD(0) || CloseCD(0) || ToggleCD(0) || BrowseCD(0) || AutorunCD(0));
}

// A countdown of N >= 0 closes on tick N + 1, a negative one on tick 1.
TEST_F(Drives, CountdownsCloseOnTheirTick) {
    AutoClose = true;
    for (int interval : {3, 1, 0, -2, INT_MIN}) {
        SCOPED_TRACE(interval);
        CloseInterval = interval;
        OpenCD(1);
        int closedOn = 0;
        for (int tick = 1; tick <= 6 && !closedOn; ++tick) {
            AutocloseTick(1);
            if (!CDList[1].TrayOpen) closedOn = tick;
        }
        EXPECT_EQ(interval >= 0 ? interval + 1 : 1, closedOn);
        EXPECT_FALSE(KillTimer(MainWindow, 2)); // stopped
        EXPECT_TRUE(QuitPosted());              // which ends a command-line run
        ResetProgramState();
        UseDriveList("DEF");
        CommandLineMode = AutoClose = true;
    }
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
}

// One table of parameter lists and outcomes: commands sent, requests, the
// error box, the balloon and the end. Letters "DE" unless a row names more.
TEST_F(Drives, TheCommandLineRunsOneActionAndEnds) {
    const std::string all = "ABCDEFGHIJKLMNOPQRSTU";
    const struct {
        std::vector<std::string> Params;
        std::vector<int> Commands;
        const char* Sent;
        const char* Settings; // autoclose seconds or "-", dialog or not, language
        bool Box, Balloon, Ended;
        std::string Letters = "DE";
    } cases[] = {
        {{"/o", "e"}, {1, IDM_OPEN}, "E eject, ", "- ", 0, 0, 1},
        {{"-O", "E:"}, {1, IDM_OPEN}, "E eject, ", "- ", 0, 0, 1},
        {{"c"}, {IDM_CLOSE}, "D load, ", "- ", 0, 0, 1},
        {{"OA", "d"}, {0, IDM_OPENALL}, "D eject, E eject, ", "- ", 0, 0, 1},
        {{"/ca", "-d"}, {0, IDM_CLOSEALL}, "D load, E load, ", "- ", 0, 0, 1},
        {{"B", "E"}, {1, IDM_BROWSE}, "", "- ", 0, 0, 1},
        {{"A", "E"}, {1, IDM_AUTORUN}, "", "- ", 0, 0, 1},
        {{"X", "E"}, {1}, "", "- ", 1, 0, 1},
        {{"OC"}, {}, "", "- ", 1, 0, 1},
        {{"O", "F"}, {IDM_OPEN}, "D eject, ", "- ", 0, 1, 1},
        {{"O", ":"}, {IDM_OPEN}, "D eject, ", "- ", 0, 1, 1},
        {{"O", "E", "A"}, {1, IDM_OPEN}, "E eject, ", "7 ", 0, 0, 0},
        {{"O", "E", "a12"}, {1, IDM_OPEN}, "E eject, ", "12 ", 0, 0, 0},
        {{"O", "E", "A$1F", "/d"}, {1, IDM_OPEN}, "E eject, ", "31 D", 0, 0, 0},
        {{"O", "E", "A12x"}, {1, IDM_OPEN}, "E eject, ", "7 ", 0, 0, 0},
        {{"C", "E", "LDUTCH", "Q", "L"}, {1, IDM_CLOSE}, "E load, ", "- D", 0, 0, 1},
        {{"C", "E", "lenglish"}, {1, IDM_CLOSE}, "E load, ", "- ENGLISH", 0, 0, 1},
        {{"OA", "D", "A5"}, {0, IDM_OPENALL}, "D eject, E eject, ", "5 ", 0, 0, 1},
        {{"O", "U"}, {IDM_SELECTDRIVE20, IDM_OPEN}, "U eject, ", "- ", 0, 0, 1, all},
        {{}, {}, "", "7 D", 0, 0, 0},
        {{"O", "D"}, {}, "", "7 D", 0, 0, 0, ""}, // no drive: already ending
    };
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
        EXPECT_EQ(c.Box ? 1u : 0u, MessageBoxCalls.size());
        if (c.Box) {
            EXPECT_EQ("Invalid arguments|Error",
                      MessageBoxCalls[0].Text + "|" + MessageBoxCalls[0].Caption);
        }
        if (c.Balloon) {
            EXPECT_TRUE(WaitUntil([] { return BalloonShown("Invalid arguments"); }, 5000));
            RemoveTrayIcon();
        }
        EXPECT_EQ(c.Ended, QuitPosted());
    }
}

// An open that waits for its countdown ends the run when the timer closes it.
TEST_F(Drives, TheWindowsTimerTicksItsDriveAndEndsAWaitingRun) {
    const char* argv[] = {"kestrow.exe", "O", "E", "A0"};
    ProcessCommandLine(4, const_cast<char**>(argv));
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(WaitUntil(QuitPosted, 10000));
    EXPECT_EQ("E eject, E load, ", Requests());
    Reset("DE");
    Timers[0].Remaining = Timers[1].Remaining = 3;
    for (WPARAM id : {1, 0, 3, 21, 2, 2})
        SendMessageA(MainWindow, WM_TIMER, id, 0);
    EXPECT_TRUE(Timers[0].Remaining == 2 && Timers[1].Remaining == 1);
}

// A broadcast with the media flag acts on each listed letter it names.
TEST_F(Drives, VolumeBroadcastsActOnEveryListedLetter) {
    const struct {
        DWORD Mask;
        WPARAM Event;
        WORD Flags;
        const char* Sent;
    } cases[] = {
        {1u << 3, DBT_DEVICEREMOVECOMPLETE, DBTF_MEDIA, "D eject, "},
        {1u << 3 | 1u << 6, DBT_DEVICEREMOVECOMPLETE, DBTF_MEDIA, "D eject, G eject, "},
        {1u << 2 | 1u << 6, DBT_DEVICEARRIVAL, DBTF_MEDIA, "G load, "},
        {~0u, DBT_DEVICEARRIVAL, DBTF_MEDIA, "D load, G load, "},
        {1u << 4 | 1u << 22, DBT_DEVICEARRIVAL, DBTF_MEDIA, ""},
        {1u << 3, DBT_DEVICEARRIVAL, 0, ""},
        {1u << 3, DBT_DEVICEQUERYREMOVE, DBTF_MEDIA, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Mask);
        Reset("DG");
        DEV_BROADCAST_VOLUME volume = {sizeof volume, DBT_DEVTYP_VOLUME, 0, c.Mask, c.Flags};
        SendMessageA(MainWindow, WM_DEVICECHANGE, c.Event, reinterpret_cast<LPARAM>(&volume));
        EXPECT_EQ(c.Sent, Requests());
    }
}

// Identifiers without a command do nothing; the help shows its index topic.
TEST_F(Drives, TheMainWindowRoutesOnlyItsCommands) {
    CurrentDrive = 1;
    for (int id = 3; id < 500; ++id)
        if ((id < CMD_DRIVE_BASE || id >= MakeCommandID(3, 0)) && (id < 160 || id > 173) &&
            (id < IDM_OPEN || id > IDM_CLOSEALL)) // not the pseudo drives' nor the fixed ones
            SendMessageA(MainWindow, WM_COMMAND, id, 0);
    for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK})
        SendMessageA(MainWindow, WM_TRAYNOTIFY, 0, mouse);
    EXPECT_EQ("", Requests());
    EXPECT_TRUE(ShellCalls.empty() && !HideIcon && !QuitPosted() && CurrentDrive == 1);
    HelpFileName = "C:\\K\\kestrow.chm";
    SendMessageA(MainWindow, WM_COMMAND, IDM_HELP, 0);
    ASSERT_EQ(1u, HelpCalls.size());
    EXPECT_EQ("C:\\K\\kestrow.chm|index.html", HelpCalls[0].File + "|" + HelpCalls[0].Topic);
}

// Stored hotkeys are registered under their command, the program-wide ones
// under ids of their own (with 21 drives, 164 is the last drive's toggle);
// a combination taken by an earlier slot stays stored but unregistered.
TEST_F(Drives, HotKeysAreRegisteredUnderTheirIdsAndStoredBack) {
    Reset("ABCDEFGHIJKLMNOPQRSTU");
    IniFileName = NewTempFolder() + "kestrow.ini";
    WriteTextFile(IniFileName,
                  "[C:]\r\nBrowse=Ctrl+F5\r\nAutorun=Ctrl+F5\r\n"
                  "[D:]\r\nOpenClose=Ctrl+NoSuchKey\r\n[U:]\r\nOpenClose=Ctrl+Alt+T\r\n"
                  "[OtherHotKeys]\r\nHideIconHotKey=Ctrl+Shift+H\r\n"
                  "CloseProgramHotkey=Shift+End\r\n");
    LoadHotKeys();
    const WORD ctrlF5 = MAKEWORD(VK_F5, HOTKEYF_CONTROL);
    EXPECT_EQ((THotKeyRecord{0, 0, ctrlF5, ctrlF5, 0, 0, 0}), HotKeys[2]);
    EXPECT_EQ(0, HotKeys[3][caToggle]);
    const int stored[] = {HotKeys[20][caToggle], GlobalHotKeys[0], GlobalHotKeys[1]};
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
    EXPECT_EQ(std::string::npos, file.find("NoSuchKey"));
    EXPECT_NE(std::string::npos, file.find("CloseProgramHotkey=Shift+End"));
    HotKeys.assign(21, THotKeyRecord{});
    GlobalHotKeys[0] = GlobalHotKeys[1] = 0;
    LoadHotKeys();
    EXPECT_EQ(ctrlF5, HotKeys[2][caAutorun]);
    EXPECT_EQ(std::vector<int>(stored, stored + 3),
              (std::vector<int>{HotKeys[20][caToggle], GlobalHotKeys[0], GlobalHotKeys[1]}));
}

// Label, file system, size in MiB and serial as the system reports them; an
// audio disc's tracks and identity from its device.
TEST_F(Drives, DriveTextsDescribeTheMedium) {
    UseTestLanguage(); // 2030 is "%s|%s|%u|%u", 2031 "%s|%d|%s"
    AudioCDAnswer = {true, 12, "8a0b4c1d"};
    const struct {
        char Letter;
        BYTE Kind;
        const char* Caption;
    } cases[] = {{'D', mkData, "[D:] - BACKUP"},
                 {'F', mkDVDVideo, "[F:] - MOVIE"},
                 {'E', mkNoMedia, "[E:] - (unlabelled)"},
                 {'G', mkAudioCD, "[G:] - Audio CD"},
                 {'E', mkData, "[E:] - (unlabelled)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Letter);
        const char root[] = {c.Letter, ':', '\\', 0};
        char fileSystem[64] = {};
        DWORD serial = 0;
        ULARGE_INTEGER total = {};
        GetVolumeInformationA(root, nullptr, 0, &serial, nullptr, nullptr, fileSystem, 64);
        GetDiskFreeSpaceExA(root, nullptr, &total, nullptr);
        const std::string data = std::string(c.Caption) + "|" + fileSystem + "|" +
                                 std::to_string(total.QuadPart >> 20) + "|" +
                                 std::to_string(serial);
        EXPECT_EQ(c.Caption, DriveCaption(c.Letter));
        EXPECT_EQ(c.Kind == mkNoMedia   ? std::string("[E:]")
                  : c.Kind == mkAudioCD ? std::string(c.Caption) + "|12|8a0b4c1d"
                                        : data,
                  DriveInfoText(c.Letter, c.Kind));
    }
    EXPECT_EQ(std::vector<std::string>{"G:"}, AudioCDQueries);
    EXPECT_EQ(4482u, BytesToMiB(4700000000ull)); // beyond 32 bits: a DVD
}

} // namespace

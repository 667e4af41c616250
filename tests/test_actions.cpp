// Drive actions and autoclose countdowns, with the device and shell doubles
// and the real window timers of the main window. The prefix has D=backup
// (data), E= (no medium), F=dvd and J=autorun.
#include <gtest/gtest.h>
#include <climits>
#include <windows.h>
#include <vector>
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "../src/actions/uActions.h"
#include "../src/autoclose/uTimer.h"
#include "../src/common/uGlobals.h"
#include "../src/settings/uSettings.h"

namespace {

constexpr DWORD EJECT = 0x74808;          // IOCTL_DISK_EJECT_MEDIA
constexpr DWORD LOAD = 0x7480C;           // IOCTL_DISK_LOAD_MEDIA
constexpr DWORD STORAGE_EJECT = 0x2D4808; // IOCTL_STORAGE_EJECT_MEDIA
constexpr DWORD STORAGE_LOAD = 0x2D480C;  // IOCTL_STORAGE_LOAD_MEDIA

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

// Whether the drive's window timer exists; stopping it is the only way to ask.
bool TimerRuns(BYTE drive) {
    return KillTimer(MainWindow, drive + 1) != 0;
}

std::string Requests() {
    std::string text;
    for (const TDeviceRequest& r : DeviceRequests)
        text += r.Path + (r.Code == EJECT           ? " eject; "
                          : r.Code == LOAD          ? " load; "
                          : r.Code == STORAGE_EJECT ? " storage eject; "
                          : r.Code == STORAGE_LOAD  ? " storage load; "
                                                    : " ?; ");
    return text;
}

class ActionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        UseDriveList("DEF");
    }
    void TearDown() override { ResetProgramState(); }
};

TEST_F(ActionsTest, EveryRequestGoesToTheVolumeDeviceOfItsDrive) {
    struct {
        bool (*Action)(BYTE);
        BYTE Drive;
        const char* Path;
        DWORD Code;
    } cases[] = {
        {OpenCD, 0, "\\\\.\\D:", EJECT},
        {OpenCD, 2, "\\\\.\\F:", EJECT},
        {CloseCD, 1, "\\\\.\\E:", LOAD},
        {CloseCD, 2, "\\\\.\\F:", LOAD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        ResetSeamDoubles();
        EXPECT_TRUE(c.Action(c.Drive));
        ASSERT_EQ(1u, DeviceRequests.size());
        EXPECT_EQ(c.Path, DeviceRequests[0].Path);
        EXPECT_EQ(c.Code, DeviceRequests[0].Code);
    }
}

// A device that refuses the disk request gets the storage-class one on the
// same handle: as Windows answers, as Wine answers, and refusing both.
TEST_F(ActionsTest, BookkeepingChangesAlsoWhenTheDeviceRefuses) {
    const struct {
        std::vector<DWORD> Refused;
        bool Accepted;
        const char* Sent;
    } cases[] = {
        {{}, true, "\\\\.\\F: eject; \\\\.\\F: load; "},
        {{EJECT, LOAD},
         true,
         "\\\\.\\F: eject; \\\\.\\F: storage eject; \\\\.\\F: load; \\\\.\\F: storage load; "},
        {{EJECT, LOAD, STORAGE_EJECT, STORAGE_LOAD},
         false,
         "\\\\.\\F: eject; \\\\.\\F: storage eject; \\\\.\\F: load; \\\\.\\F: storage load; "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Sent);
        ResetSeamDoubles();
        RefusedCodes = c.Refused;
        EXPECT_EQ(c.Accepted, OpenCD(2));
        EXPECT_EQ(1, CDList[2].TrayOpen);
        EXPECT_EQ(mkNoMedia, CDList[2].MediaKind);
        EXPECT_EQ(c.Accepted, CloseCD(2));
        EXPECT_EQ(c.Sent, Requests());
        EXPECT_EQ(0, CDList[2].TrayOpen);
        EXPECT_EQ(mkDVDVideo, CDList[2].MediaKind); // identified anew after the close
        CDList[0].MediaKind = mkDVDVideo;
        CloseCD(0);
        EXPECT_EQ(mkData, CDList[0].MediaKind);
        CloseCD(1);
        EXPECT_EQ(mkNoMedia, CDList[1].MediaKind);
    }
}

TEST_F(ActionsTest, ToggleFollowsTheProgramsOwnFlag) {
    ToggleCD(1);
    ToggleCD(1);
    // A tray the program believes open is closed, whatever the device says.
    CDList[0].TrayOpen = 1;
    ToggleCD(0);
    EXPECT_EQ("\\\\.\\E: eject; \\\\.\\E: load; \\\\.\\D: load; ", Requests());
    EXPECT_EQ(0, CDList[0].TrayOpen);
    EXPECT_EQ(0, CDList[1].TrayOpen);
}

TEST_F(ActionsTest, OpenAllAndCloseAllGoInListOrder) {
    OpenAllCD();
    EXPECT_EQ("\\\\.\\D: eject; \\\\.\\E: eject; \\\\.\\F: eject; ", Requests());
    for (const TCDDrive& drive : CDList)
        EXPECT_EQ(1, drive.TrayOpen);
    ResetSeamDoubles();
    CloseAllCD();
    EXPECT_EQ("\\\\.\\D: load; \\\\.\\E: load; \\\\.\\F: load; ", Requests());
    for (const TCDDrive& drive : CDList)
        EXPECT_EQ(0, drive.TrayOpen);

    // Without drives nothing is asked of any device.
    ResetProgramState();
    OpenAllCD();
    CloseAllCD();
    EXPECT_FALSE(OpenCD(0));
    EXPECT_FALSE(ToggleCD(0));
    AutocloseTick(0);
    EXPECT_TRUE(DeviceRequests.empty());
}

TEST_F(ActionsTest, BrowseOpensTheRootInTheExplorerView) {
    for (INT_PTR answer : {INT_PTR(33), INT_PTR(32), INT_PTR(2)}) {
        SCOPED_TRACE(answer);
        ResetSeamDoubles();
        ShellResult = answer;
        EXPECT_EQ(answer > 32, BrowseCD(1));
        ASSERT_EQ(1u, ShellCalls.size());
        const TShellCall& call = ShellCalls[0];
        EXPECT_EQ(MainWindow, call.Owner);
        EXPECT_EQ("explore", call.Verb);
        EXPECT_EQ("E:\\", call.File);
        EXPECT_FALSE(call.HasParams);
        EXPECT_EQ("E:\\", call.Directory);
        EXPECT_EQ(SW_SHOWNORMAL, call.Show);
    }
}

// An autorun.inf of the given size whose "open" names a program.
std::string PaddedAutorun(size_t size) {
    std::string text = "[autorun]\r\nopen=setup.exe\r\n;";
    return text + std::string(size - text.size() - 2, 'x') + "\r\n";
}

TEST_F(ActionsTest, AutorunStartsTheProgramWithItsParametersFromTheDrivesRoot) {
    UseDriveList("DEJ");
    const std::string name256(256, 'a'); // D:\ and these: the longest path
    const std::string params259(259, 'p');
    // Each text becomes D:\autorun.inf (J: keeps its own, E: has no medium);
    // an empty Program: the shell is not asked at all.
    const struct {
        BYTE Drive;
        std::string Inf, Program, Params;
    } cases[] = {
        {2, "", "J:\\setup.exe", "/auto"}, // OPEN=setup.exe /auto
        {1, "", "", ""},
        {0, "", "", ""}, // no autorun.inf
        {0, "[autorun]\r\nopen=setup.exe\r\n", "D:\\setup.exe", ""},
        {0, "[autorun]\r\nopen=bin\\run.exe\t-x  -y\r\n", "D:\\bin\\run.exe", "-x  -y"},
        {0, "[autorun]\r\nopen=\"my setup.exe\" /a \"b c\" /d\r\n", "D:\\my setup.exe",
         "/a \"b c\" /d"},
        {0, "[autorun]\r\nopen=\"my setup.exe\"/a\r\n", "D:\\my setup.exe", "/a"},
        {0, "[autorun]\r\nopen=\"no end quote\r\n", "D:\\no end quote", ""},
        {0, "[autorun]\r\nopen=C:\\tools\\x.exe D:\\\r\n", "C:\\tools\\x.exe", "D:\\"},
        {0, "[autorun]\r\nopen=\\\\host\\share\\x.exe\r\n", "\\\\host\\share\\x.exe", ""},
        {0, "[autorun]\r\nopen=\r\n", "", ""},
        {0, "[autorun]\r\nopen=   \r\n", "", ""},
        {0, "[autorun]\r\nopen=\"\" /a\r\n", "", ""},
        {0, "[autorun]\r\nicon=disc.ico\r\n", "", ""},
        // Bounded: no longer than a path, no control characters.
        {0, "[autorun]\r\nopen=" + name256 + "\r\n", "D:\\" + name256, ""},
        {0, "[autorun]\r\nopen=" + name256 + "a\r\n", "", ""},
        {0, "[autorun]\r\nopen=" + std::string(5000, 'A') + ".exe\r\n", "", ""},
        {0, "[autorun]\r\nopen=x.exe " + params259 + "\r\n", "D:\\x.exe", params259},
        {0, "[autorun]\r\nopen=x.exe " + params259 + "p\r\n", "", ""},
        {0, "[autorun]\r\nopen=set\x01up.exe\r\n", "", ""},
        {0, "[autorun]\r\nopen=setup.exe /\x1b[2J\r\n", "", ""},
        // Larger than a disc's autorun.inf: not read at all.
        {0, PaddedAutorun(64 * 1024), "D:\\setup.exe", ""},
        {0, PaddedAutorun(64 * 1024 + 1), "", ""},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        if (!c.Inf.empty()) WriteTextFile("D:\\autorun.inf", c.Inf);
        ResetSeamDoubles();
        EXPECT_EQ(!c.Program.empty(), AutorunCD(c.Drive));
        DeleteFileA("D:\\autorun.inf");
        if (c.Program.empty()) {
            EXPECT_TRUE(ShellCalls.empty());
            continue;
        }
        ASSERT_EQ(1u, ShellCalls.size());
        const TShellCall& call = ShellCalls[0];
        EXPECT_EQ(MainWindow, call.Owner);
        EXPECT_EQ("open", call.Verb);
        EXPECT_EQ(c.Program, call.File);
        EXPECT_EQ(!c.Params.empty(), call.HasParams);
        EXPECT_EQ(c.Params, call.Params);
        EXPECT_EQ(std::string(1, "DEJ"[c.Drive]) + ":\\", call.Directory);
        EXPECT_EQ(SW_SHOWNORMAL, call.Show);
    }
    ShellResult = 31; // the shell's failure
    EXPECT_FALSE(AutorunCD(2));
    EXPECT_EQ(1u, ShellCalls.size());
}

TEST_F(ActionsTest, CountdownOfNClosesOnTickNPlusOne) {
    AutoClose = true;
    // The lowest integer once wrapped round and never closed.
    for (int interval : {3, 0, -2, INT_MIN}) {
        SCOPED_TRACE(interval);
        CloseInterval = interval;
        OpenCD(1);
        EXPECT_EQ(interval, Timers[1].Remaining);
        int closedOnTick = 0;
        for (int tick = 1; tick <= 10 && !closedOnTick; ++tick) {
            AutocloseTick(1);
            if (CDList[1].TrayOpen == 0) closedOnTick = tick;
        }
        EXPECT_EQ(interval > 0 ? interval + 1 : 1, closedOnTick);
        EXPECT_FALSE(TimerRuns(1));
        EXPECT_EQ(0, Timers[1].Remaining);
        EXPECT_FALSE(QuitPosted()); // not in command-line mode
    }
}

TEST_F(ActionsTest, RealTimerClosesTheTrayAndEndsACommandLineRun) {
    CommandLineMode = true;
    AutoClose = true;
    CloseInterval = 0;
    OpenCD(2);
    ASSERT_EQ(1, CDList[2].TrayOpen);
    // WM_TIMER 3 reaches the tick of drive 2 through the main window.
    EXPECT_TRUE(WaitUntil([] { return CDList[2].TrayOpen == 0; }, 10000));
    EXPECT_EQ("\\\\.\\F: eject; \\\\.\\F: load; ", Requests());
    EXPECT_TRUE(QuitPosted());
    EXPECT_FALSE(TimerRuns(2));
}

TEST_F(ActionsTest, ACommandLineRunEndsWhenItsCountdownEndsAnotherWay) {
    CommandLineMode = true;
    AutoClose = true;
    CloseInterval = 10;
    OpenCD(1);
    EXPECT_FALSE(QuitPosted());
    CloseCD(1); // the tray pushed in by hand: the arrival broadcast closes it
    EXPECT_TRUE(QuitPosted());
}

TEST_F(ActionsTest, PausedCountdownNeitherCountsNorCloses) {
    AutoClose = true;
    CloseInterval = 1;
    OpenCD(0);
    Timers[0].Paused = true;
    for (int i = 0; i < 5; ++i)
        AutocloseTick(0);
    EXPECT_EQ(1, Timers[0].Remaining);
    EXPECT_EQ(1, CDList[0].TrayOpen);
    Timers[0].Paused = false; // resumes from the frozen value
    AutocloseTick(0);
    EXPECT_EQ(0, Timers[0].Remaining);
    EXPECT_EQ(1, CDList[0].TrayOpen);
    AutocloseTick(0);
    EXPECT_EQ(0, CDList[0].TrayOpen);
}

TEST_F(ActionsTest, SecondOpenWithoutDialogRowRestartsTheCountdown) {
    AutoClose = true;
    CloseInterval = 5;
    OpenCD(0);
    AutocloseTick(0);
    AutocloseTick(0);
    Timers[0].Paused = true;
    OpenCD(0); // the removal broadcast of the medium does the same
    EXPECT_EQ(5, Timers[0].Remaining);
    EXPECT_FALSE(Timers[0].Paused);
    EXPECT_TRUE(TimerRuns(0));
}

TEST_F(ActionsTest, WithoutAutoCloseNoCountdownStarts) {
    CloseInterval = 5;
    OpenCD(0);
    EXPECT_EQ(0, Timers[0].Remaining);
    EXPECT_FALSE(TimerRuns(0));
}

TEST_F(ActionsTest, CountdownStillEndsWhenAutoCloseIsSwitchedOff) {
    AutoClose = true;
    CloseInterval = 1;
    OpenCD(0);
    OpenCD(1);
    AutoClose = false; // as the options page would
    // A running countdown still closes its tray once, then stops.
    AutocloseTick(0);
    AutocloseTick(0);
    EXPECT_EQ(0, CDList[0].TrayOpen);
    EXPECT_FALSE(TimerRuns(0));
    // A tray closed by hand meanwhile ends its countdown as well.
    CloseCD(1);
    EXPECT_FALSE(TimerRuns(1));
    EXPECT_EQ(0, Timers[1].Remaining);
}

TEST_F(ActionsTest, TimersOfTwoDrivesAreIndependent) {
    CloseInterval = 4;
    ASSERT_TRUE(StartAutocloseTimer(0));
    ASSERT_TRUE(StartAutocloseTimer(1));
    Timers[0].Paused = true;
    StopAutocloseTimer(1);
    EXPECT_EQ(0, Timers[1].Remaining);
    EXPECT_EQ(4, Timers[0].Remaining);
    EXPECT_TRUE(Timers[0].Paused);
    EXPECT_TRUE(TimerRuns(0)); // identifier 1 still existed
    EXPECT_FALSE(TimerRuns(1));
}

TEST_F(ActionsTest, StoppingADriveWithoutTimerKeepsItsRecord) {
    Timers[2] = {7, true};
    StopAutocloseTimer(2);
    EXPECT_EQ(7, Timers[2].Remaining);
    EXPECT_TRUE(Timers[2].Paused);
    CloseInterval = 3;
    StartAutocloseTimer(2); // a new start clears the pause
    EXPECT_EQ(3, Timers[2].Remaining);
    EXPECT_FALSE(Timers[2].Paused);
    StopAllAutocloseTimers();
    EXPECT_EQ(0, Timers[2].Remaining);
    EXPECT_FALSE(TimerRuns(2));
}

TEST_F(ActionsTest, CloseAndAutorunLeaveTheErrorModeAsTheyFoundIt) {
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    CloseCD(1);
    AutorunCD(1);
    EXPECT_EQ(UINT(SEM_NOGPFAULTERRORBOX), SetErrorMode(0));
}

} // namespace

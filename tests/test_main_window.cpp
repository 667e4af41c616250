// Routing of the main window's messages and command identifiers.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include "support/Probe.h"
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "../src/app/uMain.h"
#include "../src/common/uGlobals.h"
#include "../src/settings/uSettings.h"
#include "../res/resource.h"

namespace {

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // the end request must not save anything here
    }
    void TearDown() override { ResetProgramState(); }

    LRESULT Command(int id) { return SendMessageA(MainWindow, WM_COMMAND, id, 0); }
    // Nothing at all happened: no device, shell, help or end request, and
    // neither the current drive nor the icon state changed.
    void ExpectNothingHappened(BYTE currentDrive) {
        EXPECT_TRUE(DeviceRequests.empty());
        EXPECT_TRUE(ShellCalls.empty());
        EXPECT_TRUE(HelpCalls.empty());
        EXPECT_FALSE(QuitPosted());
        EXPECT_FALSE(HideIcon);
        EXPECT_EQ(currentDrive, CurrentDrive);
        for (const TCDDrive& drive : CDList)
            EXPECT_EQ(0, drive.TrayOpen);
    }
};

TEST_F(MainWindowTest, HideIconAndCloseProgramWorkWithUpToTwentyDrives) {
    for (const std::string letters : {"DE", "ABCDEFGHIJKLMNOPQRST"}) {
        SCOPED_TRACE(letters);
        UseDriveList(letters);
        SendMessageA(MainWindow, WM_HOTKEY, 164, 0);
        EXPECT_TRUE(HideIcon);
        Command(164);
        EXPECT_FALSE(HideIcon);
        EXPECT_FALSE(QuitPosted());
        SendMessageA(MainWindow, WM_HOTKEY, 171, 0);
        EXPECT_TRUE(QuitPosted());
        ResetProgramState();
        CommandLineMode = true;
        UseDriveList(letters);
        Command(171);
        EXPECT_TRUE(QuitPosted());
        ResetProgramState();
        CommandLineMode = true;
    }
}

TEST_F(MainWindowTest, IdentifiersWithoutCommandDoNothing) {
    UseDriveList("DE");
    CurrentDrive = 1;
    Command(IDM_DRIVES);
    ExpectNothingHappened(1);
    for (int id = 210; id <= 499; ++id)
        Command(id);
    ExpectNothingHappened(1);
    // Past the pseudo drives, and drive indexes that are not listed.
    for (int id = 174; id < 200; ++id)
        Command(id);
    for (int id = 20 + 7 * 2; id < 160; ++id)
        Command(id);
    for (int id = 2; id < 20; ++id)
        Command(id);
    ExpectNothingHappened(1);
}

TEST_F(MainWindowTest, HelpShowsTheIndexTopicOfTheHelpFile) {
    HelpFileName = "C:\\Kestrow\\kestrow.chm";
    Command(IDM_HELP);
    ASSERT_EQ(1u, HelpCalls.size());
    EXPECT_EQ(MainWindow, HelpCalls[0].Owner);
    EXPECT_EQ("C:\\Kestrow\\kestrow.chm", HelpCalls[0].File);
    EXPECT_EQ("index.html", HelpCalls[0].Topic);
}

TEST_F(MainWindowTest, VolumeBroadcastWithoutMediaFlagRunsNoDriveAction) {
    UseDriveList("DE");
    SendVolumeChange(MainWindow, DBT_DEVICEREMOVECOMPLETE, 'E', 0);
    SendVolumeChange(MainWindow, DBT_DEVICEARRIVAL, 'D', 0);
    ExpectNothingHappened(0);
}

TEST_F(MainWindowTest, VolumeBroadcastActsOnEveryListedDriveOfItsMask) {
    struct {
        DWORD Mask;
        const char* Opened;
    } const cases[] = {{1u << 3, "D"},
                       {1u << 6, "G"},
                       {1u << 3 | 1u << 6, "DG"},
                       {1u << 2 | 1u << 6, "G"},
                       {1u << 4, ""},
                       {1u << 22, ""},
                       {0, ""},
                       {~0u, "DG"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Mask);
        UseDriveList("DG");
        DeviceRequests.clear();
        DEV_BROADCAST_VOLUME volume = {};
        volume.dbcv_size = sizeof volume;
        volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
        volume.dbcv_flags = DBTF_MEDIA;
        volume.dbcv_unitmask = c.Mask;
        SendMessageA(MainWindow, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                     reinterpret_cast<LPARAM>(&volume));
        std::string opened;
        for (const TDeviceRequest& request : DeviceRequests)
            opened += request.Path.substr(4, 1);
        EXPECT_EQ(c.Opened, opened);
        for (const TCDDrive& drive : CDList)
            EXPECT_EQ(std::string(c.Opened).find(drive.Letter) != std::string::npos,
                      drive.TrayOpen == 1);
    }
}

TEST_F(MainWindowTest, TimerOneTicksTheCountdownOfDriveZero) {
    UseDriveList("DE");
    Timers[0].Remaining = 3;
    Timers[1].Remaining = 3;
    SendMessageA(MainWindow, WM_TIMER, 1, 0);
    EXPECT_EQ(2, Timers[0].Remaining);
    EXPECT_EQ(3, Timers[1].Remaining);
    SendMessageA(MainWindow, WM_TIMER, 2, 0);
    EXPECT_EQ(2, Timers[1].Remaining);
    // Identifiers of no listed drive tick nothing.
    for (WPARAM id : {WPARAM(0), WPARAM(3), WPARAM(21)})
        SendMessageA(MainWindow, WM_TIMER, id, 0);
    EXPECT_EQ(2, Timers[0].Remaining);
    EXPECT_EQ(2, Timers[1].Remaining);
    ExpectNothingHappened(0);
}

TEST_F(MainWindowTest, VolumeBroadcastWithMediaFlagRunsTheDriveAction) {
    UseDriveList("DE");
    // A medium leaving E: its tray was opened.
    SendVolumeChange(MainWindow, DBT_DEVICEREMOVECOMPLETE, 'E', DBTF_MEDIA);
    ASSERT_EQ(1u, DeviceRequests.size());
    EXPECT_EQ("\\\\.\\E:", DeviceRequests[0].Path);
    EXPECT_EQ(0x74808u, DeviceRequests[0].Code);
    EXPECT_EQ(1, CDList[1].TrayOpen);
    EXPECT_EQ(mkNoMedia, CDList[1].MediaKind);
    // A medium arriving in D: its tray was closed, and the disc is identified.
    CDList[0] = {'D', 1, mkNoMedia};
    SendVolumeChange(MainWindow, DBT_DEVICEARRIVAL, 'D', DBTF_MEDIA);
    ASSERT_EQ(2u, DeviceRequests.size());
    EXPECT_EQ("\\\\.\\D:", DeviceRequests[1].Path);
    EXPECT_EQ(0x7480Cu, DeviceRequests[1].Code);
    EXPECT_EQ(0, CDList[0].TrayOpen);
    EXPECT_EQ(mkData, CDList[0].MediaKind);
    // A letter that is not listed moves nothing.
    SendVolumeChange(MainWindow, DBT_DEVICEARRIVAL, 'F', DBTF_MEDIA);
    EXPECT_EQ(2u, DeviceRequests.size());
}

TEST_F(MainWindowTest, OtherTrayMouseMessagesAreIgnored) {
    UseDriveList("D");
    for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK})
        SendMessageA(MainWindow, WM_TRAYNOTIFY, 0, mouse);
    ExpectNothingHappened(0);
}

} // namespace

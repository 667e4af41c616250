// The notification icon as the shell shows it: tooltip, hiding, balloons,
// and the icon's return after the taskbar restarts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include "tests/support/ShellTray.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayFixtures.h"
#include "src/common/uGlobals.h"
#include "src/common/uUtils.h"
#include "src/language/uLanguage.h"
#include "src/settings/uSettings.h"
#include "src/tray/uImages.h"
#include "src/tray/uNotifyIcon.h"

namespace {

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // an end request must not save anything here
        UseTestLanguage();
    }
    void TearDown() override {
        RemoveTrayIcon();
        FreeImages();
        ResetProgramState();
    }
    // No icon of this program is in the notification area.
    static bool NoIconShown() {
        for (const TTrayTool& tool : ReadTrayTools())
            if (tool.Tip == "[D:]" || tool.Tip == "[E:]" || tool.Tip == "Kestrow") return false;
        return true;
    }
};

TEST_F(TrayIconTest, AddRegistersTheRecordWithoutPictureOrTip) {
    std::memset(NotifyIconData.szTip, 'x', sizeof NotifyIconData.szTip);
    NotifyIconData.hIcon = reinterpret_cast<HICON>(1);
    ASSERT_TRUE(AddTrayIcon());
    EXPECT_EQ(NOTIFYICONDATAA_V2_SIZE, NotifyIconData.cbSize); // 488 bytes in 32-bit
    EXPECT_EQ(MainWindow, NotifyIconData.hWnd);
    EXPECT_EQ(0u, NotifyIconData.uID);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), NotifyIconData.uFlags);
    EXPECT_EQ(1025u, NotifyIconData.uCallbackMessage);
    EXPECT_EQ(nullptr, NotifyIconData.hIcon);
    for (char c : NotifyIconData.szTip)
        EXPECT_EQ('\0', c);
    EXPECT_TRUE(WaitForTrayTool("", 15000));
}

TEST_F(TrayIconTest, ShowsTheCurrentDrivesTextAndPicture) {
    UseDrives("DE", mkNoMedia);
    CurrentDrive = 1;
    InitImages();
    AddTrayIcon();
    UpdateTrayIcon();
    TTrayTool tool;
    ASSERT_TRUE(WaitForTrayTool("[E:]", 15000, &tool));
    EXPECT_GT(tool.Rect.right, tool.Rect.left);
    EXPECT_NE(nullptr, NotifyIconData.hIcon);
    EXPECT_EQ(TrayIcon, NotifyIconData.hIcon);

    CurrentDrive = 0;
    UpdateTrayIcon();
    EXPECT_TRUE(WaitForTrayTool("[D:]", 15000));
    EXPECT_EQ(TrayIcon, NotifyIconData.hIcon);
}

TEST_F(TrayIconTest, WithoutDriveShowsTheProgram) {
    InitImages();
    AddTrayIcon();
    UpdateTrayIcon();
    EXPECT_TRUE(WaitForTrayTool("Kestrow", 15000));
    EXPECT_NE(nullptr, NotifyIconData.hIcon);
}

TEST_F(TrayIconTest, TooltipIsCutTo127Characters) {
    // A data disc's text made long by its language text.
    WriteTextFile(LanguageFileName, "[Main]\r\n2030=%s " + std::string(200, 'x') + "\r\n");
    UseDrives("D", mkData);
    AddTrayIcon();
    UpdateTrayIcon();
    std::string expected = ("[D:] - BACKUP " + std::string(200, 'x')).substr(0, 127);
    EXPECT_TRUE(WaitForTrayTool(expected, 15000));
    EXPECT_EQ('\0', NotifyIconData.szTip[127]);
}

TEST_F(TrayIconTest, HidingRemovesTheIconAndShowingBringsItBackWithItsTip) {
    UseDrives("D", mkNoMedia);
    ShowTrayIcon(false);
    ASSERT_TRUE(WaitForTrayTool("[D:]", 15000));
    ShowTrayIcon(true);
    EXPECT_TRUE(NoIconShown());
    EXPECT_NE(nullptr, NotifyIconData.hIcon); // composed all the same
    ShowTrayIcon(false);
    EXPECT_TRUE(WaitForTrayTool("[D:]", 15000));
    EXPECT_EQ(0u, NotifyIconData.uID);
}

TEST_F(TrayIconTest, ComesBackWhenTheTaskbarRestarts) {
    UseDrives("E", mkNoMedia);
    ShowTrayIcon(false);
    ASSERT_TRUE(WaitForTrayTool("[E:]", 15000));
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(0u, taskbarCreated);

    for (bool commandLine : {false, true}) {
        for (bool hidden : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "hidden " << hidden << " command line " << commandLine);
            CommandLineMode = commandLine;
            HideIcon = hidden;
            RemoveTrayIcon(); // what a restarted shell has forgotten
            ASSERT_TRUE(NoIconShown());
            SendMessageA(MainWindow, taskbarCreated, 0, 0);
            if (hidden || commandLine)
                EXPECT_TRUE(NoIconShown());
            else
                EXPECT_TRUE(WaitForTrayTool("[E:]", 15000));
        }
    }
}

BOOL WINAPI RefuseShellNotifyIcon(DWORD, PNOTIFYICONDATAA) {
    return FALSE; // a shell that is busy, or not there yet
}

TEST_F(TrayIconTest, AnIconTheShellRefusesIsTriedAgainOnATimerThatStopsOnceItIsShown) {
    UseDrives("D", mkNoMedia);
    CommandLineMode = false;
    ShowTrayIcon(false);
    ASSERT_TRUE(WaitForTrayTool("[D:]", 15000));
    void* shell = nullptr;
    auto refuse = [&](bool refused) {
        void* old = ReplaceImport("shell32.dll", "Shell_NotifyIconA",
                                  refused ? reinterpret_cast<void*>(RefuseShellNotifyIcon) : shell);
        if (refused) shell = old;
    };
    auto retrying = [] { return KillTimer(MainWindow, ICON_RETRY_TIMER) != FALSE; };

    // Each refresh that finds the icon lost tries to add it; a refused add
    // sets the timer, until the limit of refusals in a row.
    RemoveTrayIcon();
    refuse(true);
    ASSERT_NE(nullptr, shell);
    for (int n = 0; n < ICON_RETRY_LIMIT + 3; ++n) {
        UpdateTrayIcon();
        EXPECT_EQ(n < ICON_RETRY_LIMIT, retrying()) << n;
    }
    // An add that goes through starts the count anew and leaves no timer.
    refuse(false);
    UpdateTrayIcon();
    EXPECT_TRUE(WaitForTrayTool("[D:]", 15000));
    EXPECT_FALSE(retrying());
    // The timer alone brings the icon back once the shell takes it.
    RemoveTrayIcon();
    refuse(true);
    UpdateTrayIcon();
    refuse(false);
    EXPECT_TRUE(WaitForTrayTool("[D:]", 15000));
    EXPECT_FALSE(retrying());
    // An icon meant to be hidden is not brought back.
    HideIcon = true;
    RemoveTrayIcon();
    UpdateTrayIcon();
    EXPECT_FALSE(retrying());
    EXPECT_TRUE(NoIconShown());
}

TEST_F(TrayIconTest, BalloonsShowTheIconOfTheirKind) {
    UseDrives("D", mkNoMedia);
    ShowTrayIcon(false);
    ASSERT_TRUE(WaitForTrayTool("[D:]", 15000));
    struct {
        TBalloonKind Kind;
        int Icon;
        const char* Name;
    } const cases[] = {{bkError, TTI_ERROR, "error"},
                       {bkWarning, TTI_WARNING, "warning"},
                       {bkInformation, TTI_INFO, "information"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string text = "Balloon of kind " + std::to_string(c.Kind);
        ShowTrayMessage(text, c.Kind, false);
        TTrayBalloon balloon;
        ASSERT_TRUE(WaitUntil(
            [&] {
                return ReadTrayBalloon(balloon) && balloon.Text == text && balloon.Icon != TTI_NONE;
            },
            15000));
        EXPECT_EQ(c.Icon, balloon.Icon);
        // The title ("Kestrow", a blank, text 2004) is only drawn: see the picture.
        SaveDesktopPicture(std::string("balloon-") + c.Name);
        // Sent once: a later refresh carries no balloon.
        EXPECT_EQ(0, NotifyIconData.szInfo[0]);
        EXPECT_EQ(0, NotifyIconData.szInfoTitle[0]);
        EXPECT_EQ(0u, NotifyIconData.dwInfoFlags);
        EXPECT_EQ(0u, NotifyIconData.uFlags & NIF_INFO);
        EXPECT_FALSE(QuitPosted());
    }
}

TEST_F(TrayIconTest, BalloonTextIsCutTo255Characters) {
    UseDrives("D", mkNoMedia);
    ShowTrayIcon(false);
    ASSERT_TRUE(WaitForTrayTool("[D:]", 15000));
    SetTrayBalloon(std::string(100, 't'), std::string(300, 'b'), NIIF_INFO);
    TTrayBalloon balloon;
    ASSERT_TRUE(
        WaitUntil([&] { return ReadTrayBalloon(balloon) && !balloon.Text.empty(); }, 15000));
    EXPECT_EQ(std::string(255, 'b'), balloon.Text);
}

TEST_F(TrayIconTest, MessageThatClosesEndsTheProgramBeforeReturning) {
    UseDrives("D", mkNoMedia);
    ShowTrayMessage("No drive", bkError, true);
    EXPECT_TRUE(QuitPosted());
}

TEST(CopyTextToBuffer, CopiesAtMostMaxLenAndTerminates) {
    struct {
        const char* Source;
        unsigned MaxLen;
        const char* Expected;
    } const cases[] = {
        {"", 5, ""},    {"abc", 5, "abc"},   {"abcde", 5, "abcde"}, {"abcdefgh", 5, "abcde"},
        {"abc", 0, ""}, {"ab\0cd", 5, "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Source);
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(buffer, CopyTextToBuffer(buffer, c.Source, c.MaxLen));
        EXPECT_STREQ(c.Expected, buffer);
        size_t length = std::strlen(c.Expected);
        // Nothing written after the terminating zero.
        for (size_t i = length + 1; i < sizeof buffer; ++i)
            EXPECT_EQ('#', buffer[i]) << i;
    }
}

} // namespace

// The command line, processed in this process against the main window, with
// the device, shell and message-box doubles. The prefix has D=backup and E=.
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "support/Probe.h"
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "../src/app/uCMD.h"
#include "../src/common/uGlobals.h"
#include "../src/language/uLanguage.h"
#include "../src/settings/uSettings.h"
#include "../src/tray/uNotifyIcon.h"

namespace {

constexpr DWORD EJECT = 0x74808;
constexpr DWORD LOAD = 0x7480C;

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

std::string Requests() {
    std::string text;
    for (const TDeviceRequest& r : DeviceRequests)
        text += r.Path + (r.Code == EJECT ? " eject; " : r.Code == LOAD ? " load; " : " ?; ");
    return text;
}

class CommandLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true;
        AppPath = ExeFolder();
        UseDriveList("DE");
    }
    void TearDown() override { ResetProgramState(); }

    // Runs the parameters as the runtime would hand them over.
    void Run(std::vector<std::string> params) {
        params.insert(params.begin(), ExeFolder() + "kestrow.exe");
        std::vector<char*> argv;
        for (std::string& p : params)
            argv.push_back(&p[0]);
        argv.push_back(nullptr);
        ProcessCommandLine(static_cast<int>(params.size()), argv.data());
    }
};

TEST(NormalizeParam, UpperCasesAsciiAndDropsOneLeadingSwitchCharacter) {
    struct {
        const char* In;
        const char* Out;
    } cases[] = {
        {"o", "O"},
        {"-O", "O"},
        {"/oa", "OA"},
        {"\\c", "C"},
        {"--x", "-X"},
        {"//a", "/A"},
        {"e:", "E:"},
        {"", ""},
        {"-", ""},
        {"a-b", "A-B"},
        {"\xe9t\xe9", "\xe9T\xe9"}, // only a to z change
        {"{z}", "{Z}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(c.Out, NormalizeParam(c.In));
    }
}

TEST_F(CommandLineTest, IsCDLetterWantsOneListedLetterExactly) {
    EXPECT_TRUE(IsCDLetter("D"));
    EXPECT_TRUE(IsCDLetter("E"));
    for (const char* text : {"d", "F", "", "DE", "D:", " D"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(IsCDLetter(text));
    }
    EXPECT_EQ(1, DriveIndexOf('E'));
    EXPECT_EQ(-1, DriveIndexOf('e'));
}

TEST_F(CommandLineTest, EveryFormOfOpenWithADriveOpensItAndEnds) {
    const std::vector<std::string> forms[] = {{"/o", "e"}, {"-O", "E:"}, {"o", "E"}};
    for (const auto& form : forms) {
        SCOPED_TRACE(form[0] + " " + form[1]);
        ResetProgramState();
        CommandLineMode = true;
        UseDriveList("DE");
        Run(form);
        EXPECT_EQ(1, CurrentDrive);
        EXPECT_EQ("\\\\.\\E: eject; ", Requests());
        EXPECT_TRUE(QuitPosted());
        EXPECT_TRUE(MessageBoxCalls.empty());
    }
}

TEST_F(CommandLineTest, EachActionSendsItsCommandToTheCurrentDrive) {
    struct {
        const char* Action;
        const char* Requests;
        const char* ShellVerb;
    } cases[] = {
        {"C", "\\\\.\\E: load; ", ""},
        {"c", "\\\\.\\E: load; ", ""},
        {"OA", "\\\\.\\D: eject; \\\\.\\E: eject; ", ""},
        {"/ca", "\\\\.\\D: load; \\\\.\\E: load; ", ""},
        {"B", "", "explore"},
        {"A", "", ""}, // E: is empty: nothing to start, and not D:'s program
    };
    WriteTextFile("D:\\autorun.inf", "[autorun]\r\nopen=setup.exe\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Action);
        ResetProgramState();
        CommandLineMode = true;
        UseDriveList("DE");
        CurrentDrive = 1; // as stored in the settings
        Run({c.Action});
        EXPECT_EQ(1, CurrentDrive);
        EXPECT_EQ(c.Requests, Requests());
        if (*c.ShellVerb) {
            ASSERT_EQ(1u, ShellCalls.size());
            EXPECT_EQ(c.ShellVerb, ShellCalls[0].Verb);
            EXPECT_EQ("E:\\", ShellCalls[0].Directory);
        } else {
            EXPECT_TRUE(ShellCalls.empty());
        }
        EXPECT_TRUE(QuitPosted());
    }
    ResetProgramState();
    CommandLineMode = true;
    UseDriveList("DE");
    Run({"A", "D"});
    DeleteFileA("D:\\autorun.inf");
    ASSERT_EQ(1u, ShellCalls.size());
    EXPECT_EQ("D:\\setup.exe", ShellCalls[0].File);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(CommandLineTest, UnknownActionShowsInvalidArgumentsAfterTheDriveWasSelected) {
    for (const char* action : {"X", "OC", "", "OPEN"}) {
        SCOPED_TRACE(action);
        ResetProgramState();
        CommandLineMode = true;
        UseDriveList("DE");
        Run({action, "E"});
        EXPECT_EQ(1, CurrentDrive);
        ASSERT_EQ(1u, MessageBoxCalls.size());
        EXPECT_EQ(nullptr, MessageBoxCalls[0].Owner);
        EXPECT_EQ("Invalid arguments", MessageBoxCalls[0].Text);
        EXPECT_EQ("Error", MessageBoxCalls[0].Caption);
        EXPECT_EQ(UINT(MB_ICONERROR | MB_OK), MessageBoxCalls[0].Type);
        EXPECT_TRUE(DeviceRequests.empty());
        EXPECT_TRUE(QuitPosted());
    }
}

TEST_F(CommandLineTest, DriveParameterSelectsOnlyAListedLetter) {
    struct {
        const char* Drive;
        BYTE Current;
    } cases[] = {
        {"F", 1},  {"", 1},     {":", 1}, {"1", 1}, // not listed: the current drive stays
        {"-d", 0}, {"d:\\", 0},                     // normalised like any parameter
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Drive);
        ResetProgramState();
        CommandLineMode = true;
        UseDriveList("DE");
        CurrentDrive = 1;
        Run({"O", c.Drive});
        EXPECT_EQ(c.Current, CurrentDrive);
        // The action runs on whichever drive is current.
        EXPECT_EQ(std::string("\\\\.\\") + CDList[c.Current].Letter + ": eject; ", Requests());
        EXPECT_TRUE(MessageBoxCalls.empty());
        EXPECT_TRUE(QuitPosted());
    }
}

TEST_F(CommandLineTest, DriveNotListedIsReportedInABalloon) {
    // The icon of a command-line run is hidden, so the balloon is not seen
    // there; with the icon shown it is.
    AddTrayIcon();
    Run({"C", "F"});
    EXPECT_TRUE(WaitUntil([] { return BalloonShown("Invalid arguments"); }, 5000));
    RemoveTrayIcon();
    EXPECT_TRUE(MessageBoxCalls.empty());
}

TEST_F(CommandLineTest, OptionsFromTheThirdParameterOnOverrideTheSettings) {
    struct {
        std::vector<std::string> Params;
        bool AutoClose, ShowCloseDialog;
        int CloseInterval;
    } cases[] = {
        {{"O", "E"}, false, false, 7}, // the stored switches do not apply
        {{"O", "E", "A"}, true, false, 7},
        {{"O", "E", "a12"}, true, false, 12},
        {{"O", "E", "A$1F"}, true, false, 31},
        {{"O", "E", "A12x"}, true, false, 7}, // malformed: autoclose on all the same
        {{"O", "E", "-A2", "/d"}, true, true, 2},
        {{"O", "E", "LDUTCH"}, false, true, 7},  // D is looked for before L
        {{"O", "E", "Q", "L"}, false, false, 7}, // ignored: no letter, L alone
        {{"O", "D", "A10"}, true, false, 10},    // the drive is never an option
    };
    for (const auto& c : cases) {
        std::string trace;
        for (const std::string& p : c.Params)
            trace += p + " ";
        SCOPED_TRACE(trace);
        ResetProgramState();
        CommandLineMode = true;
        UseDriveList("DE");
        AutoClose = ShowCloseDialog = true;
        CloseInterval = 7;
        Language = "English";
        Run(c.Params);
        EXPECT_EQ(c.AutoClose, AutoClose);
        EXPECT_EQ(c.ShowCloseDialog, ShowCloseDialog);
        EXPECT_EQ(c.CloseInterval, CloseInterval);
        EXPECT_EQ("English", Language);
        EXPECT_EQ(c.Params[1] == "D" ? 0 : 1, CurrentDrive);
    }
}

TEST_F(CommandLineTest, LanguageOptionLoadsTheNamedLanguage) {
    Language = "Other";
    Run({"C", "E", "LENGLISH"});
    EXPECT_EQ("ENGLISH", Language);
}

TEST_F(CommandLineTest, OpenWithAutoCloseStaysUntilTheCountdownCloses) {
    CloseInterval = 9;
    Run({"O", "E", "A0"});
    EXPECT_FALSE(QuitPosted());
    EXPECT_EQ(1, CDList[1].TrayOpen);
    EXPECT_TRUE(WaitUntil([] { return QuitPosted(); }, 10000));
    EXPECT_EQ("\\\\.\\E: eject; \\\\.\\E: load; ", Requests());
    EXPECT_EQ(0, CDList[1].TrayOpen);
}

TEST_F(CommandLineTest, OpenAllWithAutoCloseEndsAtOnce) {
    Run({"OA", "D", "A5"});
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ("\\\\.\\D: eject; \\\\.\\E: eject; ", Requests());
}

TEST_F(CommandLineTest, TheTwentyFirstDriveCanBeSelected) {
    UseDriveList("ABCDEFGHIJKLMNOPQRSTU");
    Run({"O", "U"});
    EXPECT_EQ(20, CurrentDrive);
    EXPECT_EQ("\\\\.\\U: eject; ", Requests());
}

TEST_F(CommandLineTest, NothingHappensWithoutParametersOrWithoutDrives) {
    Run({});
    EXPECT_FALSE(QuitPosted());
    // Without any drive the start-up has already asked the program to end.
    UseDriveList("");
    Run({"X"});
    Run({"O", "D"});
    EXPECT_TRUE(MessageBoxCalls.empty());
    EXPECT_TRUE(DeviceRequests.empty());
    EXPECT_FALSE(QuitPosted());
}

} // namespace

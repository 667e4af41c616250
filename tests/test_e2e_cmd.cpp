// The real executable driven by its command line, with D=backup and E= (no
// medium). Under Wine the tray requests reach the drives and are refused,
// which the program does not report; what a run did to which drive is
// checked in test_cmd, here its life, its boxes and its files.
#include <gtest/gtest.h>
#include <windows.h>
#include "support/Probe.h"
#include "support/TestSupport.h"

namespace {

constexpr DWORD TIMEOUT = 20000;

void MakeSettingsFolder() {
    std::string folder = SettingsFilePath();
    folder.erase(folder.find_last_of('\\'));
    CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
}

// Runs one command line; an "Error" box, when one is expected, is read and
// dismissed. Returns the exit code, or -1 when the program did not end.
long RunLine(const std::string& params, std::string* errorBox = nullptr) {
    TKestrowProcess kestrow = StartKestrow(params);
    if (!kestrow.Process) return -1;
    if (errorBox) *errorBox = TakeErrorBox(TIMEOUT);
    DWORD exitCode = 0;
    if (!WaitForExit(kestrow, TIMEOUT, exitCode)) return -1;
    return static_cast<long>(exitCode);
}

TEST(CommandLine, ActionsEndTheProgramWithExitCodeZero) {
    for (const char* params : {"/o e", "-O E:", "o E", "C", "c d", "OA", "CA", "O F"}) {
        SCOPED_TRACE(params);
        EXPECT_EQ(0, RunLine(params));
    }
}

TEST(CommandLine, OpenWithAutoCloseStaysUntilTheCountdownHasRun) {
    DWORD start = GetTickCount();
    TKestrowProcess kestrow = StartKestrow("O E A2");
    ASSERT_NE(nullptr, kestrow.Process);
    EXPECT_NE(nullptr, WaitForKestrowWindow(TIMEOUT, kestrow.Id));
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(kestrow, TIMEOUT, exitCode));
    EXPECT_EQ(0u, exitCode);
    // Three ticks of a second each: 2, 1, 0, then the close.
    EXPECT_GE(GetTickCount() - start, 2500u);
}

TEST(CommandLine, UnknownActionShowsInvalidArgumentsAndEnds) {
    for (const char* params : {"X", "Q E", "-", "O-A"}) {
        SCOPED_TRACE(params);
        std::string box;
        EXPECT_EQ(0, RunLine(params, &box));
        EXPECT_EQ("Invalid arguments", box);
    }
}

TEST(CommandLine, NoRunWithParametersWritesTheSettingsFile) {
    MakeSettingsFolder();
    std::string path = SettingsFilePath();
    DeleteFileA(path.c_str());
    for (const char* params : {"O E", "C"}) {
        SCOPED_TRACE(params);
        EXPECT_EQ(0, RunLine(params));
        EXPECT_FALSE(PathExists(path));
    }

    const std::string stored = "[Main]\r\nCurrentDrive=1\r\nAutostart=0\r\nHideIcon=0\r\n"
                               "AutoClose=0\r\nShowCloseDialog=1\r\nCloseInterval=30\r\n"
                               "Language=English\r\n[D:]\r\nBrowse=\r\nAutorun=\r\n"
                               "OpenClose=Ctrl+Alt+O\r\n[E:]\r\nBrowse=\r\nAutorun=\r\n"
                               "OpenClose=\r\n[OtherHotKeys]\r\nHideIconHotKey=\r\n"
                               "CloseProgramHotkey=Ctrl+Alt+Q\r\n";
    WriteTextFile(path, stored);
    for (const char* params : {"O E", "C", "OA", "CA", "O D A0 LENGLISH", "O E A0 D"}) {
        SCOPED_TRACE(params);
        EXPECT_EQ(0, RunLine(params));
        EXPECT_EQ(stored, ReadTextFile(path));
    }
    std::string box;
    EXPECT_EQ(0, RunLine("X E", &box));
    EXPECT_EQ(stored, ReadTextFile(path));
    DeleteFileA(path.c_str());
}

} // namespace

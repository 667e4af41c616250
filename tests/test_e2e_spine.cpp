// The real executable: start, message loop, exit command.
#include <gtest/gtest.h>
#include "support/Probe.h"
#include "support/TestSupport.h"
#include "../res/resource.h"

TEST(Kestrow, WithoutParametersRunsUntilTheExitCommand) {
    TKestrowProcess kestrow = StartKestrow("");
    ASSERT_NE(nullptr, kestrow.Process);
    HWND window = WaitForKestrowWindow(15000, kestrow.Id);
    ASSERT_NE(nullptr, window);

    // Still running while nobody asks it to end.
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(kestrow.Process, 300));
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ("Kestrow", title);
    EXPECT_FALSE(IsWindowVisible(window));

    // A second copy without parameters ends at once and leaves the settings
    // and the log-on value alone; a command-line run still acts and ends.
    HKEY run = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                            0, KEY_READ | KEY_SET_VALUE, &run));
    // The window comes before the start-up writes the value: on a busy
    // machine that write could otherwise land after the deletion below.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return RegQueryValueExA(run, "Kestrow", nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS;
        },
        15000));
    RegDeleteValueA(run, "Kestrow");
    const std::string settings = ReadTextFile(SettingsFilePath());
    EXPECT_EQ(0, RunKestrow("", 5000));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(run, "Kestrow", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(settings, ReadTextFile(SettingsFilePath()));
    RegCloseKey(run);
    EXPECT_EQ(0, RunKestrow("C", 15000));
    EXPECT_EQ(window, FindKestrowWindow());

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(WaitForExit(kestrow, 15000, exitCode));
    EXPECT_EQ(0u, exitCode);
}

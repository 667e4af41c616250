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

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(WaitForExit(kestrow, 15000, exitCode));
    EXPECT_EQ(0u, exitCode);
}

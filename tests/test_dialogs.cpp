// The countdown window and its link labels, from the keyboard and the mouse.
#include "tests/support/TestSupport.h"
#include "src/autoclose/uAutocloseDialog.h"

// Whether the label, painted afresh, shows a pixel of exactly the colour (Wine: unsmoothed text).
static bool Shows(HWND label, COLORREF colour) {
    RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(label);
    bool found = false;
    for (int i = 0; i < 100 * 30; ++i)
        found |= GetPixel(dc, i % 100, i / 100) == colour;
    ReleaseDC(label, dc);
    return found;
}

// Where a control of the countdown window starts on the screen (0: where the window ends).
static int Top(int id) {
    RECT r = {};
    GetWindowRect(id ? GetDlgItem(AutocloseDialog, id) : AutocloseDialog, &r);
    return id ? r.top : r.bottom;
}

// A key pressed (or held: flags 0x40000001) through the program's loop; the focus after it.
static int Key(WPARAM key, LPARAM flags = 1) {
    MSG m = {GetFocus(), WM_KEYDOWN, key, flags, 0, {0, 0}};
    if (!IsProgramDialogMessage(m)) DispatchMessageA(&m);
    return GetDlgCtrlID(GetFocus());
}

TEST(Countdown, LinesStackCountDownPauseAndAnswerTheKeyboardAndTheMouse) {
    const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
    EnsureMainWindow(), UseDriveList("DEF"), LanguageFileName = ExeFolder() + "English.lng";
    AutoClose = ShowCloseDialog = true, CloseInterval = 10;
    auto item = [](int id) { return GetDlgItem(AutocloseDialog, id); };
    OpenAllCD();
    const int first = Top(100), step = Top(101) - first, bottom = Top(0);
    EXPECT_TRUE(Top(102) == first + 2 * step && Top(IDC_AC_CLOSEALL) == first + 4 * step);
    ASSERT_EQ(IDC_AC_CLOSEALL, GetDlgCtrlID(GetFocus()));
    for (int id : {IDC_AC_PAUSEALL, IDC_AC_CANCEL, 200, 300, 201, 301, 202, 302})
        EXPECT_EQ(id, Key(VK_TAB));
    AutocloseTick(2);
    Key(VK_SPACE);
    Key(VK_SPACE, 0x40000001); // held: acts once
    char line[64] = {};
    GetDlgItemTextA(AutocloseDialog, 102, line, sizeof line);
    EXPECT_STREQ("Drive F: closes in 9 sec. - <Pause>", line);
    Key(VK_RETURN); // on the link, not on the default button (Close all)
    EXPECT_TRUE(!Timers[2].Paused && AutocloseDialog);
    EXPECT_TRUE(WaitUntil([&] { return Shows(item(201), blue); }, 2000));
    SendMessageA(item(201), WM_MOUSEHOVER, 0, 0);
    // The click takes the label away under the mouse: no WM_MOUSELEAVE follows.
    SendMessageA(item(201), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(item(201), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(!item(101) && !CDList[1].TrayOpen && Top(0) == bottom - step);
    for (int base : {100, 200, 300}) // the lines below close up, the buttons with them
        EXPECT_TRUE(Top(base) == first && Top(base + 2) == first + step) << base;
    EXPECT_EQ(first + 3 * step, Top(IDC_AC_CLOSEALL));
    for (int id : {200, 300, 202, 302})
        EXPECT_TRUE(Shows(item(id), blue) && !Shows(item(id), red)) << id;
    SendMessageA(item(302), WM_MOUSEHOVER, 0, 0);
    EXPECT_TRUE(Shows(item(302), red));
    Key(VK_ESCAPE);
    for (int button : {0, IDC_AC_CANCEL, IDC_AC_CLOSEALL}) { // 0: the Escape above
        SCOPED_TRACE(button);
        const bool all = button == IDC_AC_CLOSEALL;
        if (button) OpenAllCD(), SendMessageA(AutocloseDialog, WM_COMMAND, button, 0);
        EXPECT_EQ(nullptr, AutocloseDialog);
        for (BYTE d = 0; d < 3; d += 2) // drive 1 closed by its link; no countdown goes on
            EXPECT_TRUE((CDList[d].TrayOpen == 1) != all && !KillTimer(MainWindow, d + 1));
    }
}

// The countdown dialog and its link labels, against the real windows.
#include <gtest/gtest.h>
#include <windows.h>
#include <iterator>
#include <vector>
#include "support/Probe.h"
#include "support/ShellTray.h"
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "../src/actions/uActions.h"
#include "../src/autoclose/LinkLabel.h"
#include "../src/autoclose/uAutocloseDialog.h"
#include "../src/common/uGlobals.h"
#include "../src/drives/uCDTools.h"
#include "../src/language/uLanguage.h"
#include "../src/settings/uSettings.h"
#include "../res/resource.h"

namespace {

RECT ChildRect(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

std::string ItemText(int id) {
    char text[256] = {};
    GetDlgItemTextA(AutocloseDialog, id, text, sizeof text);
    return text;
}

int HintHeight() {
    RECT rect = {};
    GetClientRect(GetDlgItem(AutocloseDialog, IDC_AC_HINT), &rect);
    return rect.bottom;
}

// Top of the dialog's line r.
int LineTop(int r) {
    return HintHeight() + 26 + 20 * r;
}

std::string Countdown(char letter, int seconds) {
    return FormatText(GetLangText(2021), {letter, seconds});
}

class AutocloseDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        InitDrives(); // D, E and F
        ASSERT_EQ(3, CDCount);
        LanguageFileName = ExeFolder() + "English.lng";
        AutoClose = ShowCloseDialog = true;
        CloseInterval = 10;
    }
    void TearDown() override {
        if (AutocloseDialog) DestroyWindow(AutocloseDialog);
        ResetProgramState();
    }
    void Click(int id) { SendMessageA(AutocloseDialog, WM_COMMAND, id, 0); }
};

TEST_F(AutocloseDialogTest, LinesStackAndCloseUpWhileTheCornerStays) {
    for (BYTE d = 0; d < 3; ++d)
        OpenCD(d);
    ASSERT_NE(nullptr, AutocloseDialog);
    for (int d = 0; d < 3; ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(LineTop(d), ChildRect(GetDlgItem(AutocloseDialog, 100 + d)).top);
        EXPECT_EQ(LineTop(d), ChildRect(GetDlgItem(AutocloseDialog, 200 + d)).top);
        EXPECT_EQ(LineTop(d), ChildRect(GetDlgItem(AutocloseDialog, 300 + d)).top);
    }
    // The buttons sit one empty line under the last line.
    EXPECT_EQ(LineTop(4), ChildRect(GetDlgItem(AutocloseDialog, IDC_AC_CLOSEALL)).top);
    RECT before = WindowRect(AutocloseDialog);

    CloseCD(1);
    EXPECT_EQ(nullptr, GetDlgItem(AutocloseDialog, 101));
    EXPECT_EQ(LineTop(0), ChildRect(GetDlgItem(AutocloseDialog, 100)).top);
    RECT moved = ChildRect(GetDlgItem(AutocloseDialog, 102));
    EXPECT_EQ(LineTop(1), moved.top);
    EXPECT_EQ(LineTop(1), ChildRect(GetDlgItem(AutocloseDialog, 202)).top);
    EXPECT_EQ(LineTop(1), ChildRect(GetDlgItem(AutocloseDialog, 302)).top);
    EXPECT_EQ(LineTop(3), ChildRect(GetDlgItem(AutocloseDialog, IDC_AC_CLOSEALL)).top);
    RECT after = WindowRect(AutocloseDialog);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(20, (before.bottom - before.top) - (after.bottom - after.top));
}

TEST_F(AutocloseDialogTest, LinesShowTheCountdownAndThePausedMark) {
    OpenCD(1);
    EXPECT_EQ(Countdown('E', 10), ItemText(101));
    Timers[1].Remaining = 7;
    SetDrivePaused(1, true);
    std::string paused = ItemText(101);
    std::string mark = " - <" + GetLangText(2023) + ">";
    EXPECT_EQ(Countdown('E', 7) + mark, paused);
    EXPECT_GT(GetLangText(2023).size(), 0u);
}

TEST_F(AutocloseDialogTest, OnlyTheOpenedDriveIsListed) {
    OpenCD(2);
    EXPECT_EQ(nullptr, GetDlgItem(AutocloseDialog, 100));
    EXPECT_EQ(nullptr, GetDlgItem(AutocloseDialog, 101));
    EXPECT_EQ(LineTop(0), ChildRect(GetDlgItem(AutocloseDialog, 102)).top);
    EXPECT_EQ(Countdown('F', 10), ItemText(102));
    AutocloseTick(2);
    EXPECT_EQ(Countdown('F', 9), ItemText(102));
    // Opening it again neither adds a line nor restarts the countdown.
    OpenCD(2);
    EXPECT_EQ(9, Timers[2].Remaining);
    EXPECT_EQ(nullptr, GetDlgItem(AutocloseDialog, 100));
}

TEST_F(AutocloseDialogTest, PauseAllAndPauseLinks) {
    for (BYTE d = 0; d < 3; ++d)
        OpenCD(d);
    Click(IDC_AC_PAUSEALL);
    for (int d = 0; d < 3; ++d)
        EXPECT_TRUE(Timers[d].Paused) << d;
    AutocloseTick(0);
    EXPECT_EQ(10, Timers[0].Remaining); // paused lines do not count
    Click(IDC_AC_PAUSEALL);
    for (int d = 0; d < 3; ++d)
        EXPECT_FALSE(Timers[d].Paused) << d;

    Click(301);
    EXPECT_FALSE(Timers[0].Paused);
    EXPECT_TRUE(Timers[1].Paused);
    EXPECT_FALSE(Timers[2].Paused);
    Click(301);
    EXPECT_FALSE(Timers[1].Paused);
}

TEST_F(AutocloseDialogTest, CancelStopsTheCountdownsAndClosesNoTray) {
    for (BYTE d = 0; d < 3; ++d)
        OpenCD(d);
    DeviceRequests.clear();
    HWND dialog = AutocloseDialog;
    Click(IDC_AC_CANCEL);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(nullptr, AutocloseDialog);
    for (UINT d = 0; d < 3; ++d) {
        SCOPED_TRACE(d);
        EXPECT_FALSE(KillTimer(MainWindow, d + 1)); // no countdown goes on
        EXPECT_EQ(1, CDList[d].TrayOpen);
    }
    EXPECT_TRUE(DeviceRequests.empty());
}

TEST_F(AutocloseDialogTest, CancelEndsACommandLineRunThatWaitsForTheCountdown) {
    CommandLineMode = true;
    OpenCD(1);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    Click(IDC_AC_CANCEL);
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(AutocloseDialogTest, CloseAllClosesEveryTrayAndTheDialog) {
    for (BYTE d = 0; d < 3; ++d)
        OpenCD(d);
    DeviceRequests.clear();
    HWND dialog = AutocloseDialog;
    Click(IDC_AC_CLOSEALL);
    ASSERT_EQ(3u, DeviceRequests.size());
    EXPECT_EQ("\\\\.\\D:", DeviceRequests[0].Path);
    EXPECT_EQ("\\\\.\\F:", DeviceRequests[2].Path);
    for (int d = 0; d < 3; ++d)
        EXPECT_EQ(0, CDList[d].TrayOpen) << d;
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(nullptr, AutocloseDialog);
}

TEST_F(AutocloseDialogTest, IsTopmostAndTakesItsTextsFromTheLanguage) {
    OpenCD(0);
    EXPECT_TRUE(GetWindowLongA(AutocloseDialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    char caption[256] = {};
    GetWindowTextA(AutocloseDialog, caption, sizeof caption);
    EXPECT_EQ(GetLangText(600), caption);
    for (int id = IDC_AC_CANCEL; id <= IDC_AC_HINT; ++id) {
        SCOPED_TRACE(id);
        std::string text = GetLangText(id);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text, ItemText(id));
    }
}

// Whether any pixel of the label is mostly of the given colour channel.
bool Shows(HWND label, bool red) {
    RECT client;
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    bool found = false;
    for (int y = 0; y < client.bottom && !found; ++y)
        for (int x = 0; x < client.right && !found; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            int r = GetRValue(c), b = GetBValue(c), g = GetGValue(c);
            found = red ? (r > 180 && g < 80 && b < 80) : (b > 180 && r < 80 && g < 80);
        }
    ReleaseDC(label, dc);
    return found;
}

// The label's client pixels, row by row.
std::vector<COLORREF> Pixels(HWND label) {
    RECT client;
    GetClientRect(label, &client);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(label);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(label, dc);
    return pixels;
}

TEST_F(AutocloseDialogTest, LinkLabelsFitTheirTextReactToTheMouseAndReportClicks) {
    OpenCD(0);
    OpenCD(1);
    HWND pause = GetDlgItem(AutocloseDialog, 300);
    HWND close = GetDlgItem(AutocloseDialog, 201);
    char text[256] = {};
    GetWindowTextA(pause, text, sizeof text);
    EXPECT_EQ("[" + GetLangText(2023) + "]", text);
    SIZE expected = {};
    HDC dc = GetDC(pause);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(AutocloseDialog, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &expected);
    SelectObject(dc, old);
    ReleaseDC(pause, dc);
    RECT size;
    GetClientRect(pause, &size);
    EXPECT_EQ(expected.cx, size.right);
    EXPECT_EQ(expected.cy, size.bottom);

    // Blue at rest, red while hovered, blue again when left; moving onto the
    // other label hands the colour over.
    WaitUntil([&] { return Shows(pause, false); }, 2000);
    EXPECT_TRUE(Shows(pause, false));
    EXPECT_FALSE(Shows(pause, true));
    SendMessageA(pause, WM_MOUSEHOVER, 0, 0);
    UpdateWindow(pause);
    EXPECT_TRUE(Shows(pause, true));
    SendMessageA(pause, WM_MOUSELEAVE, 0, 0);
    SendMessageA(close, WM_MOUSEHOVER, 0, 0);
    UpdateWindow(pause);
    UpdateWindow(close);
    EXPECT_FALSE(Shows(pause, true));
    EXPECT_TRUE(Shows(close, true));
    SendMessageA(close, WM_MOUSELEAVE, 0, 0);
    UpdateWindow(close);
    EXPECT_FALSE(Shows(close, true));

    // The link cursor, whatever the class cursor is.
    SendMessageA(pause, WM_SETCURSOR, reinterpret_cast<WPARAM>(pause),
                 MAKELONG(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LinkCursor, GetCursor());
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), LinkCursor);

    // A mouse move reports nothing; a click reaches the dialog as the link's command.
    SendMessageA(pause, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(Timers[0].Paused);
    SendMessageA(pause, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(pause, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(Timers[0].Paused);
    EXPECT_FALSE(Timers[1].Paused);
}

TEST_F(AutocloseDialogTest, ClosingTheHoveredLineLeavesTheOtherLinksBlue) {
    for (BYTE d = 0; d < 3; ++d)
        OpenCD(d);
    HWND close = GetDlgItem(AutocloseDialog, 201);
    SendMessageA(close, WM_MOUSEHOVER, 0, 0);
    // The click destroys the label under the mouse: no WM_MOUSELEAVE follows.
    SendMessageA(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(close, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(nullptr, GetDlgItem(AutocloseDialog, 201));
    for (int id : {200, 300, 202, 302}) {
        SCOPED_TRACE(id);
        HWND link = GetDlgItem(AutocloseDialog, id);
        RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_TRUE(WaitUntil([&] { return Shows(link, false); }, 2000));
        EXPECT_FALSE(Shows(link, true));
    }
    HWND other = GetDlgItem(AutocloseDialog, 302);
    SendMessageA(other, WM_MOUSEHOVER, 0, 0);
    UpdateWindow(other);
    EXPECT_TRUE(Shows(other, true));
}

// One key through the program's message loop, as the keyboard sends it to
// the window with the focus: down (or repeated), then up. With shift, Shift
// is held meanwhile.
void Key(WPARAM key, bool shift = false, bool repeat = false) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        if (message == WM_KEYUP && repeat) break;
        LPARAM flags = message == WM_KEYUP ? 0xC0000001 : repeat ? 0x40000001 : 1;
        MSG m = {GetFocus(), message, key, flags, 0, {0, 0}};
        if (!IsProgramDialogMessage(m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        // The characters that TranslateMessage made go through the loop too.
        MSG c;
        while (PeekMessageA(&c, nullptr, WM_CHAR, WM_SYSDEADCHAR, PM_REMOVE))
            if (!IsProgramDialogMessage(c)) DispatchMessageA(&c);
    }
    state[VK_SHIFT] = 0;
    SetKeyboardState(state);
}

// Alt with a letter, as the loop receives it.
void AltLetter(char letter) {
    MSG m = {GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 0x20000001, 0, {0, 0}};
    if (!IsProgramDialogMessage(m)) DispatchMessageA(&m);
}

int FocusedId() {
    return GetDlgCtrlID(GetFocus());
}

TEST_F(AutocloseDialogTest, TheKeyboardMovesThroughLinksAndButtonsAndActs) {
    for (BYTE d = 0; d < 3; ++d)
        OpenCD(d);
    SetForegroundWindow(AutocloseDialog);
    ASSERT_EQ(IDC_AC_CLOSEALL, FocusedId());
    // Tab goes round the links from the top line, then the buttons; Shift+Tab back.
    const int order[] = {IDC_AC_PAUSEALL, IDC_AC_CANCEL, 200, 300, 201, 301, 202, 302,
                         IDC_AC_CLOSEALL};
    for (int id : order) {
        Key(VK_TAB);
        EXPECT_EQ(id, FocusedId());
    }
    for (int i = static_cast<int>(std::size(order)) - 2; i >= 0; --i) {
        Key(VK_TAB, true);
        EXPECT_EQ(order[i], FocusedId());
    }
    // A focused link shows a dotted frame at its edges and nowhere else.
    HWND link = GetDlgItem(AutocloseDialog, 301);
    SetFocus(GetDlgItem(AutocloseDialog, IDC_AC_CANCEL));
    UpdateWindow(link);
    std::vector<COLORREF> unfocused = Pixels(link);
    SetFocus(link);
    UpdateWindow(link);
    std::vector<COLORREF> focused = Pixels(link);
    RECT client;
    GetClientRect(link, &client);
    int changed = 0, inside = 0;
    for (size_t i = 0; i < focused.size(); ++i) {
        if (focused[i] == unfocused[i]) continue;
        const int x = static_cast<int>(i % client.right), y = static_cast<int>(i / client.right);
        ++changed;
        if (x > 0 && y > 0 && x < client.right - 1 && y < client.bottom - 1) ++inside;
    }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(0, inside);

    // Space on a pause link acts once however long it is held; Enter acts on
    // the link, not on the default button (Close all).
    Key(VK_SPACE);
    EXPECT_TRUE(Timers[1].Paused);
    Key(VK_SPACE, false, true); // held: repeats
    EXPECT_TRUE(Timers[1].Paused);
    Key(VK_RETURN);
    EXPECT_FALSE(Timers[1].Paused);
    for (BYTE d = 0; d < 3; ++d)
        EXPECT_EQ(1, CDList[d].TrayOpen) << int(d);

    // Enter on the focused close link closes its tray; the focus moves on
    // to the next line's link.
    SetFocus(GetDlgItem(AutocloseDialog, 201));
    Key(VK_RETURN);
    EXPECT_EQ(0, CDList[1].TrayOpen);
    EXPECT_EQ(nullptr, GetDlgItem(AutocloseDialog, 201));
    EXPECT_EQ(202, FocusedId());
    EXPECT_EQ(1, CDList[0].TrayOpen);
    EXPECT_EQ(1, CDList[2].TrayOpen);

    // Alt and an underlined letter: [&Close] and &Cancel share C, and the
    // next one after the focus acts, as in any dialog; P is Pause all's.
    AltLetter('p');
    for (BYTE d : {0, 2})
        EXPECT_TRUE(Timers[d].Paused) << int(d);
    SetFocus(GetDlgItem(AutocloseDialog, 300));
    AltLetter('c');
    EXPECT_EQ(0, CDList[2].TrayOpen); // the link of the line below
    // Escape cancels: the window goes, the last tray stays open.
    HWND dialog = AutocloseDialog;
    Key(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(1, CDList[0].TrayOpen);
}

TEST(AutocloseEndToEnd, CountsDownClosesOnTheEleventhTickAndEnds) {
    LanguageFileName = ExeFolder() + "English.lng";
    TKestrowProcess kestrow = StartKestrow("O E A10 D");
    ASSERT_NE(nullptr, kestrow.Process);
    HWND dialog = nullptr, line = nullptr;
    std::string caption = GetLangText(600);
    // The caption is set before the first line is added: wait for both.
    ASSERT_TRUE(WaitUntil(
        [&] {
            dialog = FindWindowA("#32770", caption.c_str());
            line = dialog ? GetDlgItem(dialog, 101) : nullptr;
            return line != nullptr;
        },
        15000));
    auto lineText = [&] {
        char text[256] = {};
        GetWindowTextA(line, text, sizeof text);
        return std::string(text);
    };
    EXPECT_TRUE(WaitUntil([&] { return lineText() == Countdown('E', 8); }, 5000));
    SaveDesktopPicture("autoclose-dialog");
    // Still open while the last second counts, then closed and ended.
    EXPECT_TRUE(WaitUntil([&] { return lineText() == Countdown('E', 0); }, 12000));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(kestrow.Process, 300));
    DWORD exitCode = 99;
    EXPECT_TRUE(WaitForExit(kestrow, 5000, exitCode));
    EXPECT_EQ(0u, exitCode);
}

} // namespace

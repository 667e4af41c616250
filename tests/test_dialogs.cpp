// The countdown dialog with its link labels and the options sheet, against
// their real windows.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <functional>
#include <vector>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "src/actions/uActions.h"
#include "src/autoclose/uAutocloseDialog.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/options/uOptionsDialog.h"
#include "src/settings/RegIni.h"
#include "src/settings/uSettings.h"
#include "res/resource.h"

namespace {

int Top(int id) { // in the countdown dialog's client area
    RECT rect = {};
    GetWindowRect(GetDlgItem(AutocloseDialog, id), &rect);
    MapWindowPoints(nullptr, AutocloseDialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect.top;
}

std::string Text(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<COLORREF> Pixels(HWND label) { // row by row
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

// Whether some pixel of the label is clearly red (or clearly blue).
bool Shows(HWND label, bool red) {
    RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    for (COLORREF c : Pixels(label)) {
        int mine = red ? GetRValue(c) : GetBValue(c), other = red ? GetBValue(c) : GetRValue(c);
        if (mine > 180 && other < 80 && GetGValue(c) < 80) return true;
    }
    return false;
}

// A key through the program's loop to the focus: down (or a held repeat),
// then up, the characters it makes after it; Shift held when asked. Alt+letter
// comes as its system character.
void Key(WPARAM key, bool shift = false, bool repeat = false) {
    if (key >= 'a') {
        MSG m = {GetFocus(), WM_SYSCHAR, key, 0x20000001, 0, {0, 0}};
        if (!IsProgramDialogMessage(m)) DispatchMessageA(&m);
        return;
    }
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        if (message == WM_KEYUP && repeat) break;
        LPARAM flags = message == WM_KEYUP ? 0xC0000001 : repeat ? 0x40000001 : 1;
        MSG m = {GetFocus(), message, key, flags, 0, {0, 0}}, c;
        if (!IsProgramDialogMessage(m)) TranslateMessage(&m), DispatchMessageA(&m);
        while (PeekMessageA(&c, nullptr, WM_CHAR, WM_SYSDEADCHAR, PM_REMOVE))
            if (!IsProgramDialogMessage(c)) DispatchMessageA(&c);
    }
    state[VK_SHIFT] = 0;
    SetKeyboardState(state);
}

HWND Page(HWND sheet, int index) {
    PropSheet_SetCurSel(sheet, nullptr, index);
    return PropSheet_GetCurrentPageHwnd(sheet);
}

class Dialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        UseDriveList("DEF");
        LanguageFileName = ExeFolder() + "English.lng";
        IniFileName = NewTempFolder() + "kestrow.ini";
        AutoClose = ShowCloseDialog = true;
        CloseInterval = 10;
        for (BYTE d = 0; d < 3; ++d)
            OpenCD(d);
        ASSERT_NE(nullptr, AutocloseDialog);
        DeviceRequests.clear();
    }
    void TearDown() override {
        if (AutocloseDialog) DestroyWindow(AutocloseDialog);
        UnregisterAllHotKeys();
        ResetProgramState();
    }
    static void Click(int id) { SendMessageA(AutocloseDialog, WM_COMMAND, id, 0); }
};

TEST_F(Dialogs, LinesStackCloseUpCountDownAndPause) {
    const int first = Top(100), step = Top(101) - first, buttons = Top(IDC_AC_CLOSEALL);
    RECT before, after;
    GetWindowRect(AutocloseDialog, &before);
    for (int d = 0; d < 3; ++d)
        for (int base : {100, 200, 300})
            EXPECT_EQ(first + d * step, Top(base + d)) << base + d;
    EXPECT_EQ(first + 4 * step, buttons); // one empty line under the last
    CloseCD(1);
    EXPECT_EQ(nullptr, GetDlgItem(AutocloseDialog, 101));
    for (int base : {100, 200, 300})
        EXPECT_EQ(first + step, Top(base + 2)) << base;
    EXPECT_EQ(buttons - step, Top(IDC_AC_CLOSEALL));
    GetWindowRect(AutocloseDialog, &after);
    EXPECT_TRUE(before.left == after.left && before.top == after.top);
    EXPECT_EQ(before.bottom - step, after.bottom);

    char countdown[2][256] = {};
    for (int s : {0, 1})
        wsprintfA(countdown[s], GetLangText(2021).c_str(), 'F', 10 - s);
    EXPECT_EQ(countdown[0], Text(GetDlgItem(AutocloseDialog, 102)));
    AutocloseTick(2);
    Click(302);
    EXPECT_TRUE(Timers[2].Paused && !Timers[0].Paused);
    EXPECT_EQ(countdown[1] + (" - <" + GetLangText(2023) + ">"),
              Text(GetDlgItem(AutocloseDialog, 102)));
    Click(IDC_AC_PAUSEALL);
    EXPECT_TRUE(Timers[0].Paused && Timers[2].Paused);
    Click(IDC_AC_PAUSEALL);
    EXPECT_FALSE(Timers[0].Paused || Timers[2].Paused);
}

TEST_F(Dialogs, CancelClosesNoTrayAndCloseAllClosesEveryTray) {
    EXPECT_TRUE(GetWindowLongA(AutocloseDialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetLangText(IDD_AUTOCLOSE), Text(AutocloseDialog));
    for (int id = IDC_AC_CANCEL; id <= IDC_AC_HINT; ++id)
        EXPECT_EQ(GetLangText(id), Text(GetDlgItem(AutocloseDialog, id))) << id;
    for (int button : {IDC_AC_CANCEL, IDC_AC_CLOSEALL}) {
        SCOPED_TRACE(button);
        HWND dialog = AutocloseDialog;
        Click(button);
        EXPECT_FALSE(IsWindow(dialog) || AutocloseDialog);
        EXPECT_EQ(button == IDC_AC_CANCEL ? 0u : 3u, DeviceRequests.size());
        for (BYTE d = 0; d < 3; ++d) {
            EXPECT_EQ(button == IDC_AC_CANCEL, CDList[d].TrayOpen == 1);
            EXPECT_FALSE(KillTimer(MainWindow, d + 1)); // no countdown goes on
            OpenCD(d);
        }
        DeviceRequests.clear();
    }
    CommandLineMode = true; // the run waits for the countdowns: Cancel ends it
    Click(IDC_AC_CANCEL);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(Dialogs, LinkLabelsFitTheirTextAndOnlyTheHoveredOneIsRed) {
    HWND pause = GetDlgItem(AutocloseDialog, 300), close = GetDlgItem(AutocloseDialog, 201);
    const std::string text = Text(pause);
    SIZE size = {};
    HDC dc = GetDC(pause);
    SelectObject(dc, (HFONT)SendMessageA(AutocloseDialog, WM_GETFONT, 0, 0));
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(pause, dc);
    RECT client;
    GetClientRect(pause, &client);
    EXPECT_EQ("[" + GetLangText(2023) + "]", text);
    EXPECT_TRUE(client.right == size.cx && client.bottom == size.cy);

    EXPECT_TRUE(WaitUntil([&] { return Shows(pause, false); }, 2000));
    SendMessageA(pause, WM_MOUSEHOVER, 0, 0);
    EXPECT_TRUE(Shows(pause, true));
    SendMessageA(close, WM_MOUSEHOVER, 0, 0); // the mouse moved on before pause's leave
    EXPECT_TRUE(Shows(close, true) && !Shows(pause, true) && Shows(pause, false));
    // The click destroys the hovered label: no WM_MOUSELEAVE follows.
    SendMessageA(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(close, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(nullptr, GetDlgItem(AutocloseDialog, 201));
    for (int id : {200, 300, 202, 302}) {
        HWND link = GetDlgItem(AutocloseDialog, id);
        EXPECT_TRUE(Shows(link, false) && !Shows(link, true)) << id;
    }
    SendMessageA(GetDlgItem(AutocloseDialog, 302), WM_MOUSEHOVER, 0, 0);
    EXPECT_TRUE(Shows(GetDlgItem(AutocloseDialog, 302), true));
}

TEST_F(Dialogs, TheKeyboardMovesThroughLinksAndButtonsAndActsOnce) {
    SetForegroundWindow(AutocloseDialog);
    ASSERT_EQ(IDC_AC_CLOSEALL, GetDlgCtrlID(GetFocus()));
    const int order[] = {IDC_AC_PAUSEALL, IDC_AC_CANCEL, 200, 300, 201, 301, 202, 302,
                         IDC_AC_CLOSEALL};
    for (int id : order) {
        Key(VK_TAB);
        EXPECT_EQ(id, GetDlgCtrlID(GetFocus()));
    }
    for (int i = 7; i >= 0; --i) {
        Key(VK_TAB, true);
        EXPECT_EQ(order[i], GetDlgCtrlID(GetFocus()));
    }
    // A focused link shows a dotted frame at its edges and nowhere else.
    HWND link = GetDlgItem(AutocloseDialog, 301);
    SetFocus(GetDlgItem(AutocloseDialog, IDC_AC_CANCEL));
    const std::vector<COLORREF> unfocused = Pixels(link);
    SetFocus(link);
    const std::vector<COLORREF> focused = Pixels(link);
    RECT client;
    GetClientRect(link, &client);
    int edge = 0, inside = 0; // x % (width - 1) is 0 on the left and right edges
    for (size_t i = 0; i < focused.size(); ++i)
        if (focused[i] != unfocused[i])
            ++(i % client.right % (client.right - 1) && i / client.right % (client.bottom - 1)
                   ? inside
                   : edge);
    EXPECT_TRUE(edge > 0 && inside == 0) << edge << " " << inside;

    // Space acts once however long it is held; Enter acts on the link, not
    // on the default button (Close all).
    Key(VK_SPACE);
    Key(VK_SPACE, false, true);
    EXPECT_TRUE(Timers[1].Paused);
    Key(VK_RETURN);
    EXPECT_FALSE(Timers[1].Paused);
    EXPECT_TRUE(DeviceRequests.empty());
    // Enter on a close link closes its tray; the focus moves on to the next line.
    SetFocus(GetDlgItem(AutocloseDialog, 201));
    Key(VK_RETURN);
    EXPECT_EQ(0, CDList[1].TrayOpen);
    EXPECT_EQ(202, GetDlgCtrlID(GetFocus()));
    EXPECT_EQ(1u, DeviceRequests.size());
    // [&Close] and &Cancel share C: the next after the focus acts; P is Pause all's.
    Key('p');
    EXPECT_TRUE(Timers[0].Paused && Timers[2].Paused);
    SetFocus(GetDlgItem(AutocloseDialog, 300));
    Key('c');
    EXPECT_EQ(0, CDList[2].TrayOpen);
    HWND dialog = AutocloseDialog;
    Key(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(1, CDList[0].TrayOpen);
}

// Three pages with the language's texts, one sheet however often asked for;
// the interval kept as typed, its arrows stopping at 1 and 999. The hotkey
// fields make a plain or shifted key Ctrl+Alt as it is typed; a plain key
// stored by an older version still loads, registers and stays.
TEST_F(Dialogs, TheOptionsSheetKeepsTheIntervalAsTypedAndRefusesAPlainHotKey) {
    DestroyWindow(AutocloseDialog); // the sheet is the only dialog
    CommandLineMode = true;         // no icon
    WriteTextFile(IniFileName, "[OtherHotKeys]\r\nCloseProgramHotkey=A\r\n");
    LoadGlobalHotKeys();
    RegisterAllHotKeys();
    ASSERT_TRUE(CombinationTaken(0, 'A'));
    const int fields[] = {IDC_HK_OPENCLOSE, IDC_HK_AUTORUN, IDC_HK_BROWSE, IDC_HK_HIDESHOW,
                          IDC_HK_CLOSEAPP};
    const struct {
        std::vector<WORD> Held;
        BYTE Shown;
    } typed[] = {{{}, HOTKEYF_CONTROL | HOTKEYF_ALT},
                 {{VK_SHIFT}, HOTKEYF_CONTROL | HOTKEYF_ALT},
                 {{VK_CONTROL}, HOTKEYF_CONTROL},
                 {{VK_MENU}, HOTKEYF_ALT},
                 {{VK_SHIFT, VK_CONTROL}, HOTKEYF_SHIFT | HOTKEYF_CONTROL}};
    std::vector<std::string> texts, arrows;
    std::vector<int> applied;
    std::vector<WORD> got;
    int sheets = 0;
    ASSERT_TRUE(WithSheet([&](HWND sheet) {
        got.push_back(SendDlgItemMessageA(Page(sheet, 2), IDC_HK_CLOSEAPP, HKM_GETHOTKEY, 0, 0));
        texts.push_back(Text(sheet));
        char title[3][64] = {};
        for (int i = 0; i < 3; ++i) {
            TCITEMA item = {TCIF_TEXT, 0, 0, title[i], sizeof title[i], 0, 0};
            SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, i, (LPARAM)&item);
        }
        texts.insert(texts.end(), std::begin(title), std::end(title));
        texts.push_back(Text(GetDlgItem(Page(sheet, 1), IDC_HK_BROWSE_LABEL)));
        texts.push_back(Text(GetDlgItem(Page(sheet, 2), IDC_CLOSEAPP_LABEL)));
        DWORD_PTR result;
        SendMessageTimeoutA(MainWindow, WM_COMMAND, IDM_OPTIONS, 0, SMTO_NORMAL, 5000, &result);
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr));)
            sheets += GetWindow(w, GW_OWNER) == MainWindow && IsWindowVisible(w);

        HWND page = Page(sheet, 0), spin = GetDlgItem(page, IDC_INTERVAL_SPIN);
        RECT r;
        GetClientRect(spin, &r);
        for (const char* start : {"998", "2"})
            for (int click = 0; click < 2; ++click) {
                SetDlgItemTextA(page, IDC_INTERVAL, start);
                LPARAM at = MAKELPARAM(r.right / 2, start[1] ? 1 : r.bottom - 2);
                for (int i = 0; i <= click; ++i) {
                    SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
                    SendMessageA(spin, WM_LBUTTONUP, 0, at);
                }
                arrows.push_back(Text(GetDlgItem(page, IDC_INTERVAL)));
            }
        for (const char* typed : {"0", "-5", "99999", "abc", ""}) {
            SetDlgItemTextA(page, IDC_INTERVAL, typed);
            SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
            applied.push_back(CloseInterval);
            applied.push_back(IniReadInteger(IniFileName, "Main", "CloseInterval", 12345));
        }
        for (int field : fields) {
            HWND control = GetDlgItem(Page(sheet, field < IDC_HK_HIDESHOW ? 1 : 2), field);
            for (const auto& t : typed) {
                for (WORD key : t.Held)
                    SendMessageA(control, WM_KEYDOWN, key, 0);
                SendMessageA(control, WM_KEYDOWN, 'K', 0);
                for (WORD key : t.Held)
                    SendMessageA(control, WM_KEYUP, key, 0);
                got.push_back(LOWORD(SendMessageA(control, HKM_GETHOTKEY, 0, 0)));
            }
        }
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    }));
    EXPECT_EQ((std::vector<std::string>{GetLangText(IDM_OPTIONS), GetLangText(IDD_PAGE_MAIN),
                                        GetLangText(IDD_PAGE_HOTKEYS), GetLangText(IDD_PAGE_OTHER),
                                        GetLangText(IDC_HK_BROWSE_LABEL),
                                        GetLangText(IDC_CLOSEAPP_LABEL)}),
              texts);
    EXPECT_EQ(1, sheets);
    EXPECT_EQ((std::vector<std::string>{"999", "999", "1", "1"}), arrows);
    EXPECT_EQ((std::vector<int>{0, 0, -5, -5, 99999, 99999, 0, 0, 0, 0}), applied);
    ASSERT_EQ(1 + std::size(fields) * std::size(typed), got.size());
    EXPECT_EQ('A', got[0]); // as stored
    for (size_t i = 1; i < got.size(); ++i)
        EXPECT_EQ(MAKEWORD('K', typed[(i - 1) % std::size(typed)].Shown), got[i]) << i;
    ASSERT_TRUE(WithSheet([](HWND sheet) {
        Page(sheet, 2);
        PropSheet_PressButton(sheet, PSBTN_OK);
    }));
    EXPECT_EQ('A', GlobalHotKeys[ghCloseProgram]);
    EXPECT_EQ("A", IniReadString(IniFileName, "OtherHotKeys", "CloseProgramHotkey", "?"));
    EXPECT_TRUE(CombinationTaken(0, 'A'));
}

} // namespace

#include "uAutocloseDialog.h"
#include <commctrl.h>
#include <vector>
#include "LinkLabel.h"
#include "uTimer.h"
#include "src/actions/uActions.h"
#include "src/app/uInitDestroy.h"
#include "src/common/uGlobals.h"
#include "src/common/uStrConsts.h"
#include "src/language/uLanguage.h"

struct TAutocloseRow {
    int Drive;
    HWND Animation;
    HWND TextLabel; // countdown text, id IDC_AC_ROWTEXT + drive
    HWND CloseLink; // id IDC_AC_ROWCLOSE + drive
    HWND PauseLink; // id IDC_AC_ROWPAUSE + drive
};

static std::vector<TAutocloseRow> AutocloseRows;
static BYTE AutocloseRowCount = 0;
static HICON AutocloseIcon = nullptr;
static bool PausedAll = false;

constexpr int ROW_HEIGHT = 20;
constexpr int ROW_LEFT = 20;  // animation
constexpr int LINK_LEFT = 42; // close link, then pause link
constexpr int TEXT_GAP = 6;

static int ClientHeight(int id) {
    RECT rect = {};
    GetClientRect(GetDlgItem(AutocloseDialog, id), &rect);
    return rect.bottom - rect.top;
}

static int WindowWidth(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

// Top of line r, under the banner and its hint text.
static int RowTop(int r) {
    return ClientHeight(IDC_AC_HINT) + 26 + ROW_HEIGHT * r;
}

static std::string CountdownText(BYTE drive) {
    return FormatText(GetLangText(TEXT_COUNTDOWN), {CDList[drive].Letter, Timers[drive].Remaining});
}

bool IsDriveInAutocloseDialog(BYTE drive) {
    if (!AutocloseDialog) return false;
    for (int r = 0; r < AutocloseRowCount; ++r)
        if (AutocloseRows[r].Drive == drive) return true;
    return false;
}

static void ArrangeAutocloseDialog() {
    int buttonsTop = RowTop(AutocloseRowCount) + ROW_HEIGHT; // one empty line under the last
    int height = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME) + buttonsTop +
                 ClientHeight(IDC_AC_CLOSEALL) + 6;
    SetWindowPos(AutocloseDialog, HWND_TOPMOST, 0, 0, WindowWidth(AutocloseDialog), height,
                 SWP_NOMOVE);
    for (int id : {IDC_AC_CLOSEALL, IDC_AC_PAUSEALL, IDC_AC_CANCEL}) {
        HWND button = GetDlgItem(AutocloseDialog, id);
        RECT rect;
        GetWindowRect(button, &rect);
        MapWindowPoints(nullptr, AutocloseDialog, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(button, nullptr, rect.left, buttonsTop, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Puts a line's controls at the top y: the animation, the close and pause
// links as wide as their texts, then the countdown text up to the right edge.
static void PlaceRow(const TAutocloseRow& row, int y) {
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(row.Animation, nullptr, ROW_LEFT, y, 0, 0, flags | SWP_NOSIZE);
    int x = LINK_LEFT;
    SetWindowPos(row.CloseLink, nullptr, x, y, 0, 0, flags | SWP_NOSIZE);
    x += WindowWidth(row.CloseLink);
    SetWindowPos(row.PauseLink, nullptr, x, y, 0, 0, flags | SWP_NOSIZE);
    x += WindowWidth(row.PauseLink) + TEXT_GAP;
    RECT client;
    GetClientRect(AutocloseDialog, &client);
    SetWindowPos(row.TextLabel, nullptr, x, y, client.right - x - TEXT_GAP, ROW_HEIGHT, flags);
}

void AddAutocloseRow(BYTE drive) {
    if (!AutocloseDialog || IsDriveInAutocloseDialog(drive)) return;
    if (AutocloseRowCount >= AutocloseRows.size()) return; // never more lines than drives
    HINSTANCE module = GetModuleHandleA(nullptr);
    int r = AutocloseRowCount;
    TAutocloseRow& row = AutocloseRows[r];
    row.Drive = drive;

    row.Animation =
        CreateWindowExA(0, ANIMATE_CLASSA, "", WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT,
                        0, 0, 16, 16, AutocloseDialog, nullptr, module, nullptr);
    SendMessageA(row.Animation, ACM_OPENA, 0,
                 reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_ANIMATION)));
    SendMessageA(row.Animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, -1));

    row.CloseLink = CreateLinkLabel(FormatText("[%s]", {GetLangText(IDM_CLOSE)}), WS_TABSTOP,
                                    IDC_AC_ROWCLOSE + drive, 0, 0, AutocloseDialog);
    row.PauseLink = CreateLinkLabel(FormatText("[%s]", {GetLangText(TEXT_PAUSE)}), WS_TABSTOP,
                                    IDC_AC_ROWPAUSE + drive, 0, 0, AutocloseDialog);
    // Tab goes through the lines' links from the top, then the buttons.
    HWND before = r > 0 ? AutocloseRows[r - 1].PauseLink : GetDlgItem(AutocloseDialog, IDC_AC_HINT);
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(row.CloseLink, before, 0, 0, 0, 0, keep);
    SetWindowPos(row.PauseLink, row.CloseLink, 0, 0, 0, 0, keep);

    row.TextLabel = CreateWindowExA(
        0, "STATIC", CountdownText(drive).c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
        AutocloseDialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_AC_ROWTEXT + drive)),
        module, nullptr);
    SendMessageA(row.TextLabel, WM_SETFONT, SendMessageA(AutocloseDialog, WM_GETFONT, 0, 0), TRUE);
    PlaceRow(row, RowTop(r));

    AutocloseRowCount = static_cast<BYTE>(r + 1);
    ArrangeAutocloseDialog();
}

static void DestroyRowControls(TAutocloseRow& row) {
    if (row.Animation) {
        SendMessageA(row.Animation, ACM_STOP, 0, 0);
        DestroyWindow(row.Animation);
        row.Animation = nullptr;
    }
    for (HWND* control : {&row.TextLabel, &row.CloseLink, &row.PauseLink}) {
        if (*control) DestroyWindow(*control);
        *control = nullptr;
    }
}

void RemoveAutocloseRow(BYTE drive) {
    int r = 0;
    while (r < AutocloseRowCount && AutocloseRows[r].Drive != drive)
        ++r;
    if (r >= AutocloseRowCount) return;
    // A focused link of the line hands the focus on to what follows the line.
    HWND focus = GetFocus();
    if (focus && (focus == AutocloseRows[r].CloseLink || focus == AutocloseRows[r].PauseLink)) {
        HWND next = GetNextDlgTabItem(AutocloseDialog, AutocloseRows[r].PauseLink, FALSE);
        SendMessageA(AutocloseDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    }
    AutocloseRows[r].Drive = 0;
    DestroyRowControls(AutocloseRows[r]);

    // Later lines move up by one, keeping their sizes and order.
    for (int i = r + 1; i < AutocloseRowCount; ++i) {
        AutocloseRows[i - 1] = AutocloseRows[i];
        PlaceRow(AutocloseRows[i - 1], RowTop(i - 1));
    }
    AutocloseRowCount = static_cast<BYTE>(AutocloseRowCount - 1);
    AutocloseRows[AutocloseRowCount] = TAutocloseRow{};
    ArrangeAutocloseDialog();
    if (AutocloseRowCount == 0) {
        DestroyWindow(AutocloseDialog); // its WM_DESTROY clears AutocloseDialog
        AutocloseDialog = nullptr;
    }
}

void SetAutocloseItemText(int itemId, const std::string& text) {
    SetDlgItemTextA(AutocloseDialog, itemId, text.c_str());
}

void UpdateAutocloseTexts() {
    for (int r = 0; r < AutocloseRowCount; ++r) {
        BYTE drive = static_cast<BYTE>(AutocloseRows[r].Drive);
        std::string line = CountdownText(drive);
        if (Timers[drive].Paused) line += " - <" + GetLangText(TEXT_PAUSE) + ">";
        SetAutocloseItemText(IDC_AC_ROWTEXT + drive, line);
    }
}

void SetDrivePaused(BYTE drive, bool paused) {
    Timers[drive].Paused = paused;
    for (int r = 0; r < AutocloseRowCount; ++r) {
        if (AutocloseRows[r].Drive != drive) continue;
        if (paused)
            SendMessageA(AutocloseRows[r].Animation, ACM_STOP, 0, 0);
        else
            SendMessageA(AutocloseRows[r].Animation, ACM_PLAY, static_cast<WPARAM>(-1),
                         MAKELONG(0, -1));
        break;
    }
    UpdateAutocloseTexts();
}

void SetAllPaused(bool paused) {
    for (BYTE d = 0; d < CDCount; ++d)
        SetDrivePaused(d, paused);
}

static void InitAutocloseDialog(HWND dialog, BYTE drive) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    SetDialogTexts(dialog, IDD_AUTOCLOSE, IDC_AC_LAST);
    SetWindowTextA(dialog, GetLangText(IDD_AUTOCLOSE).c_str());
    // An own copy of the hand, so that destroying it with the dialog is right.
    LinkCursor = static_cast<HCURSOR>(
        LoadImageA(module, MAKEINTRESOURCEA(IDC_LINKCURSOR), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    AutocloseIcon = static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(IDI_ALARM), IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR));
    SendDlgItemMessageA(dialog, IDC_AC_ICON, STM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(AutocloseIcon));
    AutocloseDialog = dialog;
    PausedAll = false;
    AddAutocloseRow(drive);
    SetForegroundWindow(dialog);
    SetFocus(GetDlgItem(dialog, IDC_AC_CLOSEALL));
}

static void DoneAutocloseDialog() {
    if (LinkCursor) DestroyCursor(LinkCursor);
    LinkCursor = nullptr;
    if (AutocloseIcon) DestroyIcon(AutocloseIcon);
    AutocloseIcon = nullptr;
    // The drives listed keep their trays open; no countdown goes on.
    for (int r = 0; r < AutocloseRowCount; ++r) {
        StopAutocloseTimer(static_cast<BYTE>(AutocloseRows[r].Drive));
        AutocloseRows[r].Drive = 0;
        DestroyRowControls(AutocloseRows[r]);
    }
    AutocloseRowCount = 0;
    AutocloseDialog = nullptr;
    // Cancel in a command-line run stops the countdown that the hidden
    // program waits for: it would otherwise never end.
    if (CommandLineMode) EndProgram();
}

static INT_PTR CALLBACK AutocloseDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitAutocloseDialog(dialog, static_cast<BYTE>(lParam));
        return FALSE; // focus was set
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDCANCEL || id == IDC_AC_CANCEL)
            DestroyWindow(dialog);
        else if (id >= IDC_AC_ROWCLOSE && id - IDC_AC_ROWCLOSE < CDCount)
            CloseCD(static_cast<BYTE>(id - IDC_AC_ROWCLOSE));
        else if (id >= IDC_AC_ROWPAUSE && id - IDC_AC_ROWPAUSE < CDCount) {
            BYTE drive = static_cast<BYTE>(id - IDC_AC_ROWPAUSE);
            SetDrivePaused(drive, !Timers[drive].Paused);
        } else if (id == IDC_AC_PAUSEALL) {
            PausedAll = !PausedAll;
            SetAllPaused(PausedAll);
        } else if (id == IDC_AC_CLOSEALL)
            CloseAllCD();
        return 0;
    }
    case WM_CTLCOLORSTATIC: {
        int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id == IDC_AC_BANNER || id == IDC_AC_ICON || id == IDC_AC_HINT)
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
        return 0;
    }
    case WM_DESTROY: DoneAutocloseDialog(); return 0;
    }
    return 0;
}

bool IsProgramDialogMessage(MSG& message) {
    if (AutocloseDialog && IsDialogMessageA(AutocloseDialog, &message)) return true;
    return IsDialogMessageA(MainWindow, &message) != FALSE;
}

bool ShowAutocloseDialog(BYTE drive) {
    AutocloseRowCount = 0;
    if (AutocloseRows.size() != CDCount) AutocloseRows.resize(CDCount, TAutocloseRow{});
    // WM_INITDIALOG already set AutocloseDialog; a failed creation leaves it 0.
    AutocloseDialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_AUTOCLOSE),
                                         MainWindow, AutocloseDialogProc, drive);
    return AutocloseDialog != nullptr;
}

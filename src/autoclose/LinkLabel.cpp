#include "LinkLabel.h"

HCURSOR LinkCursor = nullptr;
static WNDPROC OldStaticProc = nullptr;
// The label under the mouse, or 0: only one can be hovered at a time, and a
// label destroyed under the mouse never gets its WM_MOUSELEAVE.
static HWND HoveredLabel = nullptr;

HWND CreateLinkLabel(const std::string& text, DWORD style, int id, int x, int y, HWND parent) {
    HWND label = CreateWindowExA(
        0, "STATIC", text.c_str(), style | WS_CHILD | WS_VISIBLE | SS_NOTIFY, x, y, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (!label) return nullptr;
    if (!LinkCursor) LinkCursor = LoadCursorA(nullptr, IDC_ARROW);
    SendMessageA(label, WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    OldStaticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkLabelWndProc)));
    SetWindowTextA(label, text.c_str()); // now sizes the label to its text
    return label;
}

void GetTextSize(HWND window, const char* text, int len, SIZE& size) {
    if (len == 0) return;
    HDC dc = GetDC(window);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32A(dc, text, len, &size);
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
}

static void PaintLinkLabel(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    char text[255] = {};
    int len = GetWindowTextA(window, text, sizeof text);
    if (len > 0) {
        SetTextColor(dc, HoveredLabel == window ? RGB(255, 0, 0) : RGB(0, 0, 255));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        HGDIOBJ oldFont =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
        RECT client;
        GetClientRect(window, &client);
        DrawTextA(dc, text, len, &client, 0);
        SelectObject(dc, oldFont);
        if (GetFocus() == window) DrawFocusRect(dc, &client);
    }
    EndPaint(window, &paint);
}

// A label is painted at once when its hover state changes: a label left for
// another must not wait and then paint red.
static void RepaintNow(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

// The label acts as a click on it does: a command to its parent. The parent
// may destroy the label meanwhile, so nothing of it is used afterwards.
static void ActOn(HWND window) {
    SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED),
                 reinterpret_cast<LPARAM>(window));
}

static bool IsActionKey(WPARAM key) {
    return key == VK_RETURN || key == VK_SPACE; // also the characters '\r' and ' '
}

LRESULT CALLBACK LinkLabelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: {
        // A button to the dialog manager, so that Alt and its underlined
        // letter send BM_CLICK. Space and Enter come to the label itself, so
        // that Enter never presses the dialog's default button.
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        if (key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) &&
            IsActionKey(key->wParam))
            return DLGC_BUTTON | DLGC_WANTMESSAGE;
        return DLGC_BUTTON;
    }
    case WM_KEYDOWN:
        if (!IsActionKey(wParam)) break;
        // Bit 30 is set while a held key repeats: one act per press.
        if (!(lParam & (1L << 30))) ActOn(window);
        return 0;
    case WM_CHAR:
        if (IsActionKey(wParam)) return 0;
        break;
    case BM_CLICK: ActOn(window); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: RepaintNow(window); break;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        SIZE size = {0, 0}; // an empty label takes no room
        GetTextSize(window, text ? text : "", text ? lstrlenA(text) : 0, size);
        SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        // Passed on, so that the window text always is the text shown and measured.
        return CallWindowProcA(OldStaticProc, window, message, wParam, lParam);
    }
    case WM_PAINT: PaintLinkLabel(window); return 0;
    case WM_SETCURSOR: SetCursor(LinkCursor); return TRUE;
    case WM_MOUSEMOVE: {
        TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, window, 1};
        TrackMouseEvent(&track);
        return 0;
    }
    case WM_MOUSEHOVER:
        if (HoveredLabel != window) {
            HWND previous = HoveredLabel;
            HoveredLabel = window;
            if (previous) RepaintNow(previous);
            RepaintNow(window);
        }
        return 0;
    case WM_MOUSELEAVE:
        if (HoveredLabel == window) HoveredLabel = nullptr;
        RepaintNow(window);
        return 0;
    case WM_DESTROY:
        if (HoveredLabel == window) HoveredLabel = nullptr;
        break;
    }
    return CallWindowProcA(OldStaticProc, window, message, wParam, lParam);
}

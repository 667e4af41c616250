#include "uOptionsDialog.h"
#include <cstddef>
#include <initializer_list>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <string>
#include "src/common/uGlobals.h"
#include "src/common/uStrConsts.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/settings/uSettings.h"

// The working copy of HotKeys that the "Hot Key's" page edits.
static THotKeyList EditHotKeys;
static int EditDriveIndex = 0;
// Until the "Main" page has filled its controls, their notifications (the
// spin control sets its buddy's text while the page is made) are no change.
static bool MainPageReady = false;
// The sheet while it is shown: a second Options command brings it forward
// instead of opening another sheet over the same working copies.
static HWND OpenSheet = nullptr;

static void PageChanged(HWND page) {
    SendMessageA(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

// A key alone or with Shift alone would be taken from every program while
// Kestrow runs: the controls make such a key Ctrl+Alt+key as it is typed.
// A combination set by the program (a stored one) is shown as it is.
static void RefusePlainKeys(HWND page, std::initializer_list<int> ids) {
    for (int id : ids)
        SendDlgItemMessageA(page, id, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                            MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
}

static bool IsApply(LPARAM lParam) {
    return reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_APPLY);
}

static bool Checked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

// The hidden main window gives the sheet no place of its own: centre it on
// the work area instead of leaving it in the screen's corner.
static void CenterSheet(HWND sheet) {
    RECT area, rect;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(sheet, &rect);
    int x = area.left + ((area.right - area.left) - (rect.right - rect.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenSheet = GetParent(page);
        CenterSheet(OpenSheet);
        SetDialogTexts(page, IDD_PAGE_MAIN, IDC_MAIN_LAST);
        CheckDlgButton(page, IDC_AUTOSTART, Autostart ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(page, IDC_HIDEICON, HideIcon ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(page, IDC_AUTOCLOSE, AutoClose ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(page, IDC_SHOWDIALOG, ShowCloseDialog ? BST_CHECKED : BST_UNCHECKED);
        SendDlgItemMessageA(page, IDC_INTERVAL_SPIN, UDM_SETRANGE, 0, MAKELPARAM(999, 1));
        SetDlgItemInt(page, IDC_INTERVAL, static_cast<UINT>(CloseInterval), TRUE);
        MainPageReady = true;
        break;
    case WM_COMMAND:
        // A click on a check box or a change of the interval; focus moves are none.
        if (MainPageReady && (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == EN_CHANGE))
            PageChanged(page);
        break;
    case WM_NOTIFY:
        if (IsApply(lParam)) {
            Autostart = Checked(page, IDC_AUTOSTART);
            HideIcon = Checked(page, IDC_HIDEICON);
            AutoClose = Checked(page, IDC_AUTOCLOSE);
            ShowCloseDialog = Checked(page, IDC_SHOWDIALOG);
            // Any integer is kept as typed; text that is no number gives 0.
            CloseInterval = static_cast<int>(GetDlgItemInt(page, IDC_INTERVAL, nullptr, TRUE));
            // What the user applied holds even when the file cannot be written.
            SaveSettingsFile(SaveSettings);
            ApplySettings();
        }
        break;
    }
    return 0;
}

static void ShowDriveHotKeys(HWND page, int drive) {
    const THotKeyRecord& keys = EditHotKeys[drive];
    SendDlgItemMessageA(page, IDC_HK_OPENCLOSE, HKM_SETHOTKEY, keys[caToggle], 0);
    SendDlgItemMessageA(page, IDC_HK_AUTORUN, HKM_SETHOTKEY, keys[caAutorun], 0);
    SendDlgItemMessageA(page, IDC_HK_BROWSE, HKM_SETHOTKEY, keys[caBrowse], 0);
}

static int HotKeyOf(HWND page, int id) {
    return LOWORD(SendDlgItemMessageA(page, id, HKM_GETHOTKEY, 0, 0));
}

static INT_PTR CALLBACK HotKeysPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDialogTexts(page, IDD_PAGE_HOTKEYS, IDC_HOTKEYS_LAST);
        RefusePlainKeys(page, {IDC_HK_OPENCLOSE, IDC_HK_AUTORUN, IDC_HK_BROWSE});
        UnregisterDriveHotKeys(); // the controls must be able to take the combinations
        EditHotKeys = HotKeys;
        for (BYTE i = 0; i < CDCount; ++i) {
            char letter[2] = {CDList[i].Letter, '\0'};
            SendDlgItemMessageA(page, IDC_HK_DRIVES, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(letter));
        }
        // The list is sorted and the drives are in letter order: line = drive index.
        SendDlgItemMessageA(page, IDC_HK_DRIVES, LB_SETCURSEL, CurrentDrive, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_HK_DRIVES, LBN_SELCHANGE), 0);
        break;
    case WM_COMMAND: {
        PageChanged(page);
        int id = LOWORD(wParam);
        if (id == IDC_HK_DRIVES) {
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                EditDriveIndex =
                    static_cast<int>(SendDlgItemMessageA(page, IDC_HK_DRIVES, LB_GETCURSEL, 0, 0));
                if (EditDriveIndex >= 0 && EditDriveIndex < static_cast<int>(EditHotKeys.size()))
                    ShowDriveHotKeys(page, EditDriveIndex);
            }
            break;
        }
        if (EditDriveIndex < 0 || EditDriveIndex >= static_cast<int>(EditHotKeys.size()))
            break; // no drive selected
        int slot = id == IDC_HK_BROWSE      ? caBrowse
                   : id == IDC_HK_AUTORUN   ? caAutorun
                   : id == IDC_HK_OPENCLOSE ? caToggle
                                            : -1;
        if (slot >= 0) EditHotKeys[EditDriveIndex][slot] = HotKeyOf(page, id);
        break;
    }
    case WM_NOTIFY:
        if (IsApply(lParam)) {
            // Drop what an earlier Apply of this showing registered.
            UnregisterDriveHotKeys();
            HotKeys = EditHotKeys;
            SaveSettingsFile(SaveDriveHotKeys);
            RegisterDriveHotKeys();
        }
        break;
    case WM_DESTROY:
        UnregisterDriveHotKeys();
        RegisterDriveHotKeys();
        break;
    }
    return 0;
}

static INT_PTR CALLBACK OtherPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDialogTexts(page, IDD_PAGE_OTHER, IDC_OTHER_LAST);
        RefusePlainKeys(page, {IDC_HK_HIDESHOW, IDC_HK_CLOSEAPP});
        UnregisterGlobalHotKeys();
        SendDlgItemMessageA(page, IDC_HK_HIDESHOW, HKM_SETHOTKEY, GlobalHotKeys[ghHideIcon], 0);
        SendDlgItemMessageA(page, IDC_HK_CLOSEAPP, HKM_SETHOTKEY, GlobalHotKeys[ghCloseProgram], 0);
        break;
    case WM_COMMAND: PageChanged(page); break;
    case WM_NOTIFY:
        if (IsApply(lParam)) {
            GlobalHotKeys[ghHideIcon] = HotKeyOf(page, IDC_HK_HIDESHOW);
            GlobalHotKeys[ghCloseProgram] = HotKeyOf(page, IDC_HK_CLOSEAPP);
            UnregisterGlobalHotKeys();
            SaveSettingsFile(SaveGlobalHotKeys);
            RegisterGlobalHotKeys();
        }
        break;
    case WM_DESTROY:
        UnregisterGlobalHotKeys();
        RegisterGlobalHotKeys();
        break;
    }
    return 0;
}

// A menu text such as "&Options..." becomes the window caption "Options".
static std::string CaptionOf(const std::string& menuText) {
    std::string caption;
    for (size_t i = 0; i < menuText.size(); ++i) {
        if (menuText[i] == '&' && i + 1 < menuText.size() && menuText[i + 1] != '&') continue;
        caption += menuText[i];
        if (menuText[i] == '&') ++i;
    }
    while (!caption.empty() && (caption.back() == '.' || caption.back() == ' '))
        caption.pop_back();
    return caption;
}

bool ShowOptions() {
    if (OpenSheet) {
        SetForegroundWindow(OpenSheet);
        return false;
    }
    MainPageReady = false;
    HINSTANCE module = GetModuleHandleA(nullptr);
    const int templates[3] = {IDD_PAGE_MAIN, IDD_PAGE_HOTKEYS, IDD_PAGE_OTHER};
    const DLGPROC procs[3] = {MainPageProc, HotKeysPageProc, OtherPageProc};
    std::string titles[3];
    HPROPSHEETPAGE pages[3];
    for (int i = 0; i < 3; ++i) {
        titles[i] = GetLangText(templates[i]);
        PROPSHEETPAGEA page = {};
        page.dwSize = PROPSHEETPAGEA_V2_SIZE; // 48 bytes, the header-title layout
        page.dwFlags = PSP_USETITLE;
        page.hInstance = module;
        page.pszTemplate = MAKEINTRESOURCEA(templates[i]);
        page.pfnDlgProc = procs[i];
        page.pszTitle = titles[i].c_str();
        pages[i] = CreatePropertySheetPageA(&page);
    }
    std::string caption = CaptionOf(GetLangText(IDM_OPTIONS));
    // The header layout with watermark and banner fields (52 bytes in the
    // 32-bit program).
    static_assert(sizeof(PROPSHEETHEADERA) ==
                      offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP),
                  "sheet header layout");
    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = 0; // OK, Cancel and Apply; an array of page handles
    sheet.hwndParent = MainWindow;
    sheet.hInstance = module;
    sheet.pszCaption = caption.c_str();
    sheet.nPages = 3;
    sheet.nStartPage = 0;
    sheet.phpage = pages;
    INT_PTR result = PropertySheetA(&sheet);
    OpenSheet = nullptr;
    return result > 0;
}

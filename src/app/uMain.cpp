#include "uMain.h"
#include <dbt.h>
#include "uCMD.h"
#include "uInitDestroy.h"
#include "src/actions/uActions.h"
#include "src/common/uGlobals.h"
#include "src/common/uSeams.h"
#include "src/common/uStrConsts.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/options/uOptionsDialog.h"
#include "src/settings/uSettings.h"
#include "src/tray/uNotifyIcon.h"

bool SelectDrive(BYTE index) {
    CurrentDrive = index;
    ShowCurrentDrive();
    UpdateTrayIcon();
    return true;
}

// The commands of the pseudo drives: hide or show the icon, end the program.
static void ProgramCommand(BYTE pseudoDrive) {
    if (pseudoDrive == DRIVE_HIDEICON) {
        HideIcon = !HideIcon;
        ShowTrayIcon(HideIcon);
    } else if (pseudoDrive == DRIVE_CLOSEPROGRAM) {
        EndProgram();
    }
}

bool DriveCommand(int id) {
    BYTE drive, action;
    SplitCommandID(id, drive, action);
    if (drive < CDCount) {
        switch (action) {
        case caOpen: return OpenCD(drive);
        case caClose: return CloseCD(drive);
        case caBrowse: return BrowseCD(drive);
        case caAutorun: return AutorunCD(drive);
        case caToggle: return ToggleCD(drive);
        default: return false;
        }
    }
    ProgramCommand(drive);
    return false;
}

void OnDeviceChange(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_VOLUME) return;
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data);
    if (volume->dbcv_flags & DBTF_MEDIA) {
        // One broadcast may name several letters: each listed drive among them.
        for (int i = 0; i < MAX_DRIVES; ++i) {
            if (!(volume->dbcv_unitmask & (1u << i))) continue;
            int drive = DriveIndexOf(static_cast<char>('A' + i));
            if (drive < 0) continue;
            // A medium that arrives means the tray was closed; one that leaves, opened.
            if (event == DBT_DEVICEARRIVAL)
                CloseCD(static_cast<BYTE>(drive));
            else
                OpenCD(static_cast<BYTE>(drive));
        }
    }
    RebuildMenus();
    UpdateTrayIcon();
}

void ShowTrayMenu() {
    // The owner must be the foreground window, or the menu does not close
    // when the user clicks elsewhere.
    SetForegroundWindow(MainWindow);
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenuEx(TrayMenu, TPM_VERTICAL, cursor.x, cursor.y, MainWindow, nullptr);
}

std::string GetLanguageItemText(int id) {
    char buffer[256] = {};
    GetMenuStringA(LanguageMenu, id, buffer, 255, MF_BYCOMMAND);
    return buffer;
}

static void OnCommand(int id) {
    if (id < CMD_DRIVE_BASE) {
        if (id < CDCount) SelectDrive(static_cast<BYTE>(id));
        return;
    }
    if (id < IDM_DRIVES) {
        DriveCommand(id);
        return;
    }
    switch (id) {
    case IDM_OPEN: OpenCD(CurrentDrive); return;
    case IDM_CLOSE: CloseCD(CurrentDrive); return;
    case IDM_BROWSE: BrowseCD(CurrentDrive); return;
    case IDM_AUTORUN: AutorunCD(CurrentDrive); return;
    case IDM_OPTIONS: ShowOptions(); return;
    case IDM_HELP: SendMessageA(MainWindow, WM_HELP, 0, 0); return;
    case IDM_EXIT: DestroyWindow(MainWindow); return;
    case IDM_OPENALL: OpenAllCD(); return;
    case IDM_CLOSEALL: CloseAllCD(); return;
    case IDM_SELECTDRIVE20:
        if (CMD_DRIVE_BASE < CDCount) SelectDrive(CMD_DRIVE_BASE);
        return;
    }
    if (id >= IDM_LANGUAGE_FIRST && id <= IDM_LANGUAGE_LAST) {
        // Only a language the menu lists: an empty name would load ".lng".
        std::string name = GetLanguageItemText(id);
        if (!name.empty()) LoadLanguage(name, id);
    }
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TaskbarCreatedMessage() && message != 0) {
        OnTaskbarCreated(); // a restarted shell has forgotten every icon
        return 0;
    }
    switch (message) {
    case WM_DESTROY:
        DestroyApp();
        PostQuitMessage(0);
        return 0;
    case WM_HELP:
        SeamShowHelpTopic(window, HelpFileName.c_str(), ResStr(IDS_HELPTOPIC).c_str());
        return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_TIMER: {
        int drive = static_cast<int>(wParam & 0xFF) - 1;
        if (drive >= 0 && drive < CDCount) AutocloseTick(static_cast<BYTE>(drive));
        return 0;
    }
    case WM_DEVICECHANGE: OnDeviceChange(wParam, lParam); return 0;
    case WM_HOTKEY:
        // The program-wide hotkeys have identifiers of their own, which never
        // meet a drive's, whatever the number of drives.
        if (wParam == HOTKEY_ID_HIDEICON)
            ProgramCommand(DRIVE_HIDEICON);
        else if (wParam == HOTKEY_ID_CLOSEPROGRAM)
            ProgramCommand(DRIVE_CLOSEPROGRAM);
        else
            DriveCommand(static_cast<int>(wParam));
        return 0;
    case WM_TRAYNOTIFY:
        // With no drive there is no current drive to act on.
        if (lParam == WM_LBUTTONDOWN && CDCount > 0)
            ToggleCD(CurrentDrive);
        else if (lParam == WM_RBUTTONDOWN && TrayMenu)
            ShowTrayMenu();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

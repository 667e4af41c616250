#include "uNotifyIcon.h"
#include <cstddef>
#include <cstring>
#include "uImages.h"
#include "src/app/uInitDestroy.h"
#include "src/common/uGlobals.h"
#include "src/common/uStrConsts.h"
#include "src/common/uUtils.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/settings/uSettings.h"

NOTIFYICONDATAA NotifyIconData;

// The version-2 record: tip, state, balloon text, timeout, title and icon
// kind; 488 bytes in the 32-bit program.
constexpr DWORD NOTIFYICON_RECORD_SIZE = NOTIFYICONDATAA_V2_SIZE;
#ifndef _WIN64
static_assert(offsetof(NOTIFYICONDATAA, szInfo) == 160 &&
                  offsetof(NOTIFYICONDATAA, szInfoTitle) == 420 &&
                  offsetof(NOTIFYICONDATAA, dwInfoFlags) == 484 && NOTIFYICON_RECORD_SIZE == 488,
              "notification record layout");
#endif

// A balloon travels with NIF_INFO only in the one modify that sends it: a
// later refresh with NIF_INFO would show it again, or with an empty text
// take down a balloon that is still on screen.
constexpr UINT ICON_FLAGS = NIF_MESSAGE | NIF_ICON | NIF_TIP;

static void RestoreTrayIcon();

bool AddTrayIcon() {
    TaskbarCreatedMessage(); // registered before the shell can send it
    NotifyIconData.cbSize = NOTIFYICON_RECORD_SIZE;
    NotifyIconData.hWnd = MainWindow;
    NotifyIconData.uID = 0;
    NotifyIconData.uFlags = ICON_FLAGS;
    NotifyIconData.uCallbackMessage = WM_TRAYNOTIFY;
    NotifyIconData.hIcon = nullptr;
    std::memset(NotifyIconData.szTip, 0, sizeof NotifyIconData.szTip);
    return Shell_NotifyIconA(NIM_ADD, &NotifyIconData) != 0;
}

bool RemoveTrayIcon() {
    return Shell_NotifyIconA(NIM_DELETE, &NotifyIconData) != 0;
}

void UpdateTrayIcon(bool newPicture) {
    // The picture in hIcon is TrayIcon, which ComposeTrayIcon destroys
    // before it makes the next one.
    if (newPicture || !TrayIcon) {
        NotifyIconData.hIcon = nullptr;
        NotifyIconData.hIcon = ComposeTrayIcon();
    }
    std::string text;
    if (CurrentDrive < CDCount)
        text = DriveInfoText(CDList[CurrentDrive].Letter, CDList[CurrentDrive].MediaKind);
    else
        text = ResStr(IDS_TITLE);
    CopyTextToBuffer(NotifyIconData.szTip, text.c_str(), sizeof NotifyIconData.szTip - 1);
    if (!Shell_NotifyIconA(NIM_MODIFY, &NotifyIconData)) RestoreTrayIcon();
}

constexpr UINT ICON_RETRY_INTERVAL = 5000;
static int IconRetries = 0; // refused adds in a row

static void CALLBACK RetryTrayIconProc(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    RestoreTrayIcon();
}

// A modify fails when the shell no longer holds the icon: it was restarted
// (Wine's shell sends no "TaskbarCreated") or refused the add at log-on.
// The whole record goes in again; a refused add is tried again a few times,
// and nothing runs while the icon is in place.
static void RestoreTrayIcon() {
    if (HideIcon || CommandLineMode) return;
    if (Shell_NotifyIconA(NIM_ADD, &NotifyIconData)) {
        IconRetries = 0;
        KillTimer(MainWindow, ICON_RETRY_TIMER);
    } else if (IconRetries < ICON_RETRY_LIMIT) {
        ++IconRetries;
        SetTimer(MainWindow, ICON_RETRY_TIMER, ICON_RETRY_INTERVAL, RetryTrayIconProc);
    }
}

void ShowTrayIcon(bool hidden) {
    RemoveTrayIcon();
    if (!hidden) AddTrayIcon();
    UpdateTrayIcon();
}

void SetTrayBalloon(const std::string& title, const std::string& text, DWORD infoFlags) {
    CopyTextToBuffer(NotifyIconData.szInfoTitle, title.c_str(),
                     sizeof NotifyIconData.szInfoTitle - 1);
    CopyTextToBuffer(NotifyIconData.szInfo, text.c_str(), sizeof NotifyIconData.szInfo - 1);
    NotifyIconData.dwInfoFlags = infoFlags;
    NotifyIconData.uFlags = ICON_FLAGS | NIF_INFO;
    UpdateTrayIcon();
    NotifyIconData.uFlags = ICON_FLAGS;
    NotifyIconData.szInfoTitle[0] = '\0';
    NotifyIconData.szInfo[0] = '\0';
    NotifyIconData.dwInfoFlags = 0;
}

void ShowTrayMessage(const std::string& text, TBalloonKind kind, bool closeAfter) {
    std::string title = ResStr(IDS_TITLE) + " " + GetLangText(TEXT_MESSAGE_TITLE);
    DWORD infoFlags = kind == bkError ? NIIF_ERROR : kind == bkWarning ? NIIF_WARNING : NIIF_INFO;
    SetTrayBalloon(title, text, infoFlags);
    if (closeAfter) EndProgram();
}

DWORD BalloonEndDelay = 10000;                // about as long as the shell shows a balloon
constexpr UINT_PTR BALLOON_END_TIMER = 0x100; // apart from the drives' 1 to 21

static void CALLBACK EndAfterBalloonProc(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    EndProgram();
}

// A balloon lives only as long as its icon, and the end removes the icon:
// ending at once would take the message away before anybody could read it.
// In command-line mode no icon is meant to be seen, so the end comes at once.
void EndAfterBalloon() {
    if (CommandLineMode ||
        !SetTimer(MainWindow, BALLOON_END_TIMER, BalloonEndDelay, EndAfterBalloonProc)) {
        RemoveTrayIcon();
        EndProgram();
    }
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

void OnTaskbarCreated() {
    if (HideIcon || CommandLineMode) return;
    AddTrayIcon();
    UpdateTrayIcon();
}

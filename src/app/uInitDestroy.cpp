#include "uInitDestroy.h"
#include <windows.h>
#include <commctrl.h>
#include "uMain.h"
#include "src/common/uGlobals.h"
#include "src/common/uSeams.h"
#include "src/common/uStrConsts.h"
#include "src/common/uUtils.h"
#include "src/autoclose/uTimer.h"
#include "src/drives/uCDTools.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/settings/uSettings.h"
#include "src/tray/uImages.h"
#include "src/tray/uNotifyIcon.h"

void RegisterMainWindowClass() {
    static const std::string className = ResStr(IDS_CLASSNAME);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW);
    windowClass.lpszClassName = className.c_str();
    RegisterClassExA(&windowClass);
}

void CreateMainWindow() {
    MainWindow = CreateWindowExA(0, ResStr(IDS_CLASSNAME).c_str(), ResStr(IDS_TITLE).c_str(), 0, 0,
                                 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void InitApp() {
    InitCommonControls();

    AppPath = ExtractAppPath(ExecutablePath());

    // A copy with its settings file beside it (the portable one) keeps its
    // settings there and leaves the user's profile alone.
    IniFileName = AppPath + ResStr(IDS_INIFILE);
    if (!FileExists(IniFileName)) {
        std::string folder = GetAppDataFolder() + ResStr(IDS_SETTINGSFOLDER);
        if (!FolderExists(folder)) MakeFolderPath(folder);
        IniFileName = folder + ResStr(IDS_INIFILE);
    }
    HelpFileName = AppPath + ResStr(IDS_HELPFILE);

    // A command-line run shows no icon: adding one only to take it away again
    // costs two trips to the shell and flashes it in the notification area.
    if (!CommandLineMode) AddTrayIcon();
    StopAllAutocloseTimers();
    InitDrives();
    // With no drive the program is already ending: nothing is loaded, so the
    // stored settings and the log-on value stay exactly as they were.
    if (CDCount == 0) return;
    LoadConfiguration();
    InitImages();
    RegisterAllHotKeys();
    LoadLanguage(Language, 0);
}

void DestroyApp() {
    if (CommandLineMode) return; // the process end releases everything
    StopAllAutocloseTimers();
    SaveConfiguration();
    UnregisterAllHotKeys();
    RemoveTrayIcon();
    FreeImages();
    DestroyMenus();
}

void SetLowPriority() {
    HANDLE process = OpenProcess(PROCESS_SET_INFORMATION, FALSE, GetCurrentProcessId());
    SetPriorityClass(process, IDLE_PRIORITY_CLASS);
    CloseHandle(process);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
}

void EndProgram() {
    SendMessageA(MainWindow, WM_DESTROY, 0, 0);
}

void ShowError(const std::string& text) {
    SeamMessageBox(nullptr, text.c_str(), ResStr(IDS_ERROR).c_str(), MB_ICONERROR | MB_OK);
}

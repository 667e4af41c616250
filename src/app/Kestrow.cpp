// Program entry: the whole life of the process.
#include <windows.h>
#include <cstdlib>
#include "uCMD.h"
#include "uInitDestroy.h"
#include "src/autoclose/uAutocloseDialog.h"
#include "src/common/uGlobals.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CommandLineMode = __argc > 1;
    // One icon per user: a second copy without parameters ends before it
    // touches the settings or the log-on value. The system closes the mutex
    // with the process. Command-line runs act beside the icon's copy.
    if (!CommandLineMode && CreateMutexA(nullptr, FALSE, "Orvane.Kestrow.Tray") &&
        GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    RegisterMainWindowClass();
    CreateMainWindow();
    // Without its window the program could neither be reached nor ended.
    if (!MainWindow) return 1;
    InitApp();
    ProcessCommandLine(__argc, __argv);
    SetLowPriority();

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        // Tab, Escape and the underlined letters for the countdown window and
        // the main window.
        if (!IsProgramDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}

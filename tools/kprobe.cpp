// kprobe: a command-line probe for the running program, for scripts.
//   kprobe wait [ms]                  waits for Kestrow's window
//   kprobe command ID | hotkey ID | timer ID | tray LPARAM
//   kprobe volume arrival|removal LETTER [FLAGS]
// Exit code 0 on success, 1 when the window was not found.
#include <windows.h>
#include <dbt.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kprobe wait|command|hotkey|timer|tray|volume ...\n");
        return 2;
    }
    const char* verb = argv[1];
    long number = argc > 2 ? std::strtol(argv[2], nullptr, 0) : 0;
    HWND window = WaitForKestrowWindow(!std::strcmp(verb, "wait") && argc > 2 ? number : 5000);
    if (!window) return 1;
    if (!std::strcmp(verb, "wait")) return 0;
    // Posted, so that a command that opens a modal window does not hold the probe.
    if (!std::strcmp(verb, "command"))
        PostMessageA(window, WM_COMMAND, number, 0);
    else if (!std::strcmp(verb, "hotkey"))
        PostMessageA(window, WM_HOTKEY, number, 0);
    else if (!std::strcmp(verb, "timer"))
        PostMessageA(window, WM_TIMER, number, 0);
    else if (!std::strcmp(verb, "tray"))
        PostMessageA(window, WM_USER + 1, 0, number);
    else if (!std::strcmp(verb, "volume") && argc > 3) {
        WPARAM event =
            !std::strcmp(argv[2], "arrival") ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
        WORD flags = argc > 4 ? static_cast<WORD>(std::strtol(argv[4], nullptr, 0)) : DBTF_MEDIA;
        SendVolumeChange(window, event, argv[3][0], flags);
    } else
        return 2;
    return 0;
}

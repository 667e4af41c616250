// Drives the real kestrow.exe from outside: starts it, finds its window,
// sends it messages, and reads and dismisses its error boxes.
#pragma once
#include <windows.h>
#include <string>

struct TKestrowProcess {
    HANDLE Process = nullptr;
    DWORD Id = 0;
};

// Starts kestrow.exe from the test's folder with the given parameter text.
TKestrowProcess StartKestrow(const std::string& params);
// Starts the given copy of kestrow.exe, for runs with other files beside it.
TKestrowProcess StartKestrowFrom(const std::string& exe, const std::string& params);
// Waits for the process to end; false on timeout (the process is then ended).
bool WaitForExit(TKestrowProcess& process, DWORD timeoutMs, DWORD& exitCode);
// Starts kestrow.exe and waits for it to end; exit code, or -1 on timeout.
long RunKestrow(const std::string& params, DWORD timeoutMs);

// The window of class "KestrowWindowClass" (optionally of one process), or 0.
HWND FindKestrowWindow(DWORD processId = 0);
HWND WaitForKestrowWindow(DWORD timeoutMs, DWORD processId = 0);

// The visible top-level windows of a class (#32768 menus, #32770 dialogs)
// that belong to the process: how many there are, and the last one found.
int CountVisibleWindows(const char* className, DWORD processId, HWND* found = nullptr);

// Text of the first visible message box titled "Error" within the time, or
// empty when none appeared. The box is dismissed with OK.
std::string TakeErrorBox(DWORD timeoutMs);

// Whether a visible balloon (or other tooltip window) on the desktop shows
// exactly this text.
bool BalloonShown(const std::string& text);

// A volume arrival or removal broadcast for one drive letter.
LRESULT SendVolumeChange(HWND window, WPARAM event, char letter, WORD flags);

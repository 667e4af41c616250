// What every test uses: the program's headers, the seams' doubles, and helpers for files, the
// program's state, the real kestrow.exe from outside and the shell's notification area.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include <shellapi.h>
#include <functional>
#include <string>
#include <vector>
#include "res/resource.h"
#include "src/actions/uActions.h"
#include "src/app/uCMD.h"
#include "src/app/uInitDestroy.h"
#include "src/common/uGlobals.h"
#include "src/drives/uCDTools.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/settings/uSettings.h"
#include "src/tray/uNotifyIcon.h"

std::string ExeFolder();     // the test's folder (kestrow.exe and the language files are there)
std::string NewTempFolder(); // a new empty one; folders end with a backslash
std::string ReadTextFile(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);
bool PathExists(const std::string& path);

// A drive list of the letters, every per-drive array sized to it as at start-up.
void UseDriveList(const std::string& letters, BYTE mediaKind = mkData);
void EnsureMainWindow(); // MainWindow, made once per process
// The globals as before start-up (no drives, menus or settings), the seam doubles' calls forgotten.
void ResetProgramState();
// A new folder as AppPath, holding the language (English) of the tray's and menus' texts.
std::string UseTestLanguage();
// The options sheet shown here while work drives it from a second thread; false if none came.
bool WithSheet(const std::function<void(HWND sheet)>& work);
// Runs this thread's messages (leaving a quit request queued) until the condition holds.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
bool CombinationTaken(UINT modifiers, UINT key); // some window holds the hotkey
// Points this executable's import of dll!name at replacement, so that a spy sees the program's
// calls; returns the entry's previous value, or null when the routine is not imported by name.
void* ReplaceImport(const char* dll, const char* name, void* replacement);

struct TKestrowProcess {
    HANDLE Process = nullptr;
    DWORD Id = 0;
};
LRESULT SendVolumeChange(HWND window, WPARAM event, char letter, WORD flags);
TKestrowProcess StartKestrowFrom(const std::string& exe, const std::string& params);
// False on timeout, the process then ended; the handle is closed either way.
bool WaitForExit(TKestrowProcess& process, DWORD timeoutMs, DWORD& exitCode);
long RunKestrow(const std::string& params, DWORD timeoutMs);     // the exit code, -1 on timeout
HWND WaitForKestrowWindow(DWORD timeoutMs, DWORD processId = 0); // the main window, or null

struct TTrayTool {
    std::string Tip;
    RECT Rect; // on the screen
};
std::vector<TTrayTool> ReadTrayTools(); // the icons of the notification area, from the shell
bool WaitForTrayTool(const std::string& tip, DWORD timeoutMs, TTrayTool* tool = nullptr);
bool BalloonShown(const std::string& text); // a visible balloon shows exactly the text
// Input as from the user's own mouse and keyboard: a left click at a point of the screen, and
// keys pressed in turn (a negative one released).
void ClickScreen(POINT point);
void PressKeys(std::initializer_list<int> keys);

// The seams' doubles (SeamDoubles.cpp): they record every call and answer as told.
struct TDeviceRequest {
    std::string Path;
    DWORD Code;
};
struct TShellCall {
    std::string Verb, File, Params, Directory;
    bool HasParams; // false when no parameter text was passed at all
};
struct THelpCall {
    std::string File, Topic;
};
struct TMessageBoxCall {
    std::string Text, Caption;
};
// Every control code sent, one entry each; the device accepts every code but the refused ones.
extern std::vector<TDeviceRequest> DeviceRequests;
extern std::vector<DWORD> RefusedCodes;
extern std::vector<TShellCall> ShellCalls;
extern std::vector<THelpCall> HelpCalls;
extern std::vector<TMessageBoxCall> MessageBoxCalls;
void ResetSeamDoubles(); // forgets the calls, accepts every code

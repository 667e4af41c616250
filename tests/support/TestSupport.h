// Helpers shared by the tests: files, folders, the program's window and state.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "src/common/uGlobals.h"

// Folder of the running test executable (also holds kestrow.exe and the
// language files), with a trailing backslash.
std::string ExeFolder();
// A new empty folder for one test, with a trailing backslash.
std::string NewTempFolder();
std::string ReadTextFile(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);
bool PathExists(const std::string& path);
// The settings file of the current user, as the program names it.
std::string SettingsFilePath();

// A drive list of the given letters, with every per-drive array sized to it
// as the start-up would size them.
void UseDriveList(const std::string& letters, BYTE mediaKind = mkData);

// Registers the main window class and creates MainWindow once per process.
void EnsureMainWindow();
// Puts the program's globals back to their state before start-up (no drives,
// no menus, zero settings) and forgets the seam doubles' calls.
void ResetProgramState();

// Shows the options sheet here, its modal loop running, while work drives
// the sheet from a second thread; false when no sheet appeared.
bool WithSheet(const std::function<void(HWND sheet)>& work);

// Runs this thread's messages until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Whether some window already holds the hotkey combination.
bool CombinationTaken(UINT modifiers, UINT key);

// Points this executable's import entry of dll!name at replacement: a spy
// there sees the program's calls on their way to the system. Returns what the
// entry held before (to put back the same way), or null when the executable
// does not import the routine by name.
void* ReplaceImport(const char* dll, const char* name, void* replacement);

// Drive lists and a small language file for the tray, image and menu tests.

// Writes a language file "english.lng" with the texts that the tray and
// the menus ask for into a new folder, makes that folder AppPath and loads
// nothing else: Language is "English", LanguageFileName the file.
// Returns the folder (with a trailing backslash).
std::string UseTestLanguage();

// The real kestrow.exe from outside: started, its window found, messages sent.

struct TKestrowProcess {
    HANDLE Process = nullptr;
    DWORD Id = 0;
};

// Starts the given copy of kestrow.exe, for runs with other files beside it.
TKestrowProcess StartKestrowFrom(const std::string& exe, const std::string& params);
// Waits for the process to end; false on timeout (the process is then ended).
bool WaitForExit(TKestrowProcess& process, DWORD timeoutMs, DWORD& exitCode);
// Starts kestrow.exe and waits for it to end; exit code, or -1 on timeout.
long RunKestrow(const std::string& params, DWORD timeoutMs);

// The window of class "KestrowWindowClass" (optionally of one process), or 0.
HWND FindKestrowWindow(DWORD processId = 0);
HWND WaitForKestrowWindow(DWORD timeoutMs, DWORD processId = 0);

// Whether a visible balloon (or other tooltip window) on the desktop shows
// exactly this text.
bool BalloonShown(const std::string& text);

// A volume arrival or removal broadcast for one drive letter.
LRESULT SendVolumeChange(HWND window, WPARAM event, char letter, WORD flags);

// Reads the notification area of the shell (explorer) from outside, as a
// user sees it: each icon's tooltip and place, the balloon on screen, and
// host tools (xdotool, import) for real mouse clicks and screenshots.

struct TTrayTool {
    std::string Tip; // the icon's tooltip
    RECT Rect;       // the icon's place on the screen
};

struct TTrayBalloon {
    HWND Window;
    std::string Text;
    int Icon; // TTI_NONE, TTI_INFO, TTI_WARNING or TTI_ERROR, told by its colours
};

// Every icon of the notification area, read from the shell's tooltip windows.
std::vector<TTrayTool> ReadTrayTools();
// The icon whose tooltip is the text; false when there is none.
bool FindTrayTool(const std::string& tip, TTrayTool& tool);
// Polls the shell until an icon shows the tooltip.
bool WaitForTrayTool(const std::string& tip, DWORD timeoutMs, TTrayTool* tool = nullptr);
// The balloon that the shell shows at the moment; false when none is visible.
bool ReadTrayBalloon(TTrayBalloon& balloon);

// Runs a command line of the host's shell (/bin/sh) and waits until it has
// finished; false when it could not be started or did not finish in time.
// The command must not contain double quotes.
bool RunHostCommand(const std::string& command, DWORD timeoutMs);
// Moves the real mouse to a point of the Wine desktop and clicks with the
// button (1 left, 3 right) through xdotool.
bool ClickScreen(int x, int y, int button);

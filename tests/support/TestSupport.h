// Helpers shared by the tests: files, folders, the program's window and state.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
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

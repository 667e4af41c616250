// The main window procedure: every command, hotkey, timer, tray and
// device-change message of the program arrives here.
#pragma once
#include <windows.h>
#include <string>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Makes the drive current and shows it in the menus and the icon.
bool SelectDrive(BYTE index);
// A per-drive command (or a pseudo drive's); true when a drive's action was
// accepted.
bool DriveCommand(int id);
// A volume's arrival closes, its removal opens, each listed drive's record.
void OnDeviceChange(WPARAM event, LPARAM data);
void ShowTrayMenu();
// The caption of the language menu's item, empty when there is none.
std::string GetLanguageItemText(int id);

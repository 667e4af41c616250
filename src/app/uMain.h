// The main window procedure: every command, hotkey, timer, tray and
// device-change message of the program arrives here.
#pragma once
#include <windows.h>
#include <string>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool SelectDrive(BYTE index);
bool DriveCommand(int id);
void OnDeviceChange(WPARAM event, LPARAM data);
void ShowTrayMenu();
std::string GetLanguageItemText(int id);

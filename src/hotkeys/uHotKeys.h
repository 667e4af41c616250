// Per-drive and program-wide hotkeys: registration and storage.
#pragma once
#include <windows.h>

// Element 0 hides or shows the tray icon, element 1 closes the program.
extern int GlobalHotKeys[2];

bool RegisterOneHotKey(BYTE drive, BYTE action, WORD hotKey);
void RegisterDriveHotKeys();
void UnregisterDriveHotKeys();
void RegisterGlobalHotKeys();
void UnregisterGlobalHotKeys();
void RegisterAllHotKeys();
void UnregisterAllHotKeys();
void LoadDriveHotKeys();
void SaveDriveHotKeys();
void LoadGlobalHotKeys();
void SaveGlobalHotKeys();
void LoadHotKeys();
void SaveHotKeys();

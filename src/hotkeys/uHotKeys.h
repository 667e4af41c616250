// Per-drive and program-wide hotkeys: registration and storage.
#pragma once
#include <windows.h>

// The program-wide hotkeys' slots in GlobalHotKeys.
enum TGlobalHotKey { ghHideIcon = 0, ghCloseProgram = 1, ghCount = 2 };
extern int GlobalHotKeys[ghCount];

// The program-wide hotkeys are registered under identifiers of their own,
// outside the command numbering: with 21 drives the commands of the hide/show
// pseudo drive (160 to 166) are also those of the drive with index 20.
constexpr int HOTKEY_ID_HIDEICON = 1164;
constexpr int HOTKEY_ID_CLOSEPROGRAM = 1171;

// Registers the word under the drive action's command identifier; false when
// another window holds the combination.
bool RegisterOneHotKey(BYTE drive, BYTE action, WORD hotKey);
void RegisterDriveHotKeys();
void UnregisterDriveHotKeys();
void RegisterGlobalHotKeys();
void UnregisterGlobalHotKeys();
void RegisterAllHotKeys();
void UnregisterAllHotKeys();
// Read from and written to the settings file: one section per drive letter
// and "OtherHotKeys".
void LoadDriveHotKeys();
// The Save routines return false when a write failed.
bool SaveDriveHotKeys();
void LoadGlobalHotKeys();
bool SaveGlobalHotKeys();
void LoadHotKeys();
bool SaveHotKeys();

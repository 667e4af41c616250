#include "uHotKeys.h"

int GlobalHotKeys[2];

// Placeholder until its issue lands: keeps the program starting, looping and ending.
bool RegisterOneHotKey(BYTE, BYTE, WORD) { return false; }
void RegisterDriveHotKeys() {}
void UnregisterDriveHotKeys() {}
void RegisterGlobalHotKeys() {}
void UnregisterGlobalHotKeys() {}
void RegisterAllHotKeys() {}
void UnregisterAllHotKeys() {}
void LoadDriveHotKeys() {}
void SaveDriveHotKeys() {}
void LoadGlobalHotKeys() {}
void SaveGlobalHotKeys() {}
void LoadHotKeys() {}
void SaveHotKeys() {}

#include "uActions.h"

// Placeholder until its issue lands: keeps the program starting, looping and ending.
bool OpenCD(BYTE) { return false; }
bool CloseCD(BYTE) { return false; }
bool ToggleCD(BYTE) { return false; }
bool BrowseCD(BYTE) { return false; }
bool AutorunCD(BYTE) { return false; }
void OpenAllCD() {}
void CloseAllCD() {}
void AutocloseTick(BYTE) {}

#include "uAutocloseDialog.h"

// Placeholder until its issue lands: keeps the program starting, looping and ending.
// Without a dialog the countdowns run on their own.
bool ShowAutocloseDialog(BYTE) { return false; }
void AddAutocloseRow(BYTE) {}
bool IsDriveInAutocloseDialog(BYTE) { return false; }
void RemoveAutocloseRow(BYTE) {}
void SetAutocloseItemText(int, const std::string&) {}
void UpdateAutocloseTexts() {}
void SetDrivePaused(BYTE, bool) {}
void SetAllPaused(bool) {}

// The always-on-top countdown dialog with one line per opened drive.
#pragma once
#include <windows.h>
#include <string>

bool ShowAutocloseDialog(BYTE drive);
// The message loop's keyboard handling: true when the countdown window's or
// the main window's dialog handling took the message (it is then done).
bool IsProgramDialogMessage(MSG& message);
void AddAutocloseRow(BYTE drive);
bool IsDriveInAutocloseDialog(BYTE drive);
void RemoveAutocloseRow(BYTE drive);
void SetAutocloseItemText(int itemId, const std::string& text);
void UpdateAutocloseTexts();
void SetDrivePaused(BYTE drive, bool paused);
void SetAllPaused(bool paused);

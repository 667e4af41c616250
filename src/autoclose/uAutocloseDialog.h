// The always-on-top countdown dialog with one line per opened drive.
#pragma once
#include <windows.h>
#include <string>

// Creates the countdown window (AutocloseDialog, destroyed with its last
// line) with a line for the drive; false when it could not be made.
bool ShowAutocloseDialog(BYTE drive);
// The message loop's keyboard handling: true when the countdown window's or
// the main window's dialog handling took the message (it is then done).
bool IsProgramDialogMessage(MSG& message);
// A line for the drive below the others, unless it has one.
void AddAutocloseRow(BYTE drive);
bool IsDriveInAutocloseDialog(BYTE drive);
// Takes the drive's line away and moves the later ones up; the window goes
// with its last line.
void RemoveAutocloseRow(BYTE drive);
void SetAutocloseItemText(int itemId, const std::string& text);
// Rewrites every line's countdown and paused mark.
void UpdateAutocloseTexts();
void SetDrivePaused(BYTE drive, bool paused);
void SetAllPaused(bool paused);

// What the user asks of a drive, from whatever source the command comes.
#pragma once
#include <windows.h>

// Each returns whether the device or the shell accepted the request; the
// drive's record changes either way. An index beyond the list does nothing
// and returns false.
bool OpenCD(BYTE drive);
bool CloseCD(BYTE drive);
// Closes a tray the program opened, opens any other.
bool ToggleCD(BYTE drive);
bool BrowseCD(BYTE drive);
// Starts the program that the disc's autorun.inf names; false when there is
// none or it is not fit to hand to the shell.
bool AutorunCD(BYTE drive);
void OpenAllCD();
void CloseAllCD();
// One second of a drive's autoclose countdown.
void AutocloseTick(BYTE drive);

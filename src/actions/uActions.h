// What the user asks of a drive, from whatever source the command comes.
#pragma once
#include <windows.h>

bool OpenCD(BYTE drive);
bool CloseCD(BYTE drive);
bool ToggleCD(BYTE drive);
bool BrowseCD(BYTE drive);
bool AutorunCD(BYTE drive);
void OpenAllCD();
void CloseAllCD();
// One second of a drive's autoclose countdown.
void AutocloseTick(BYTE drive);

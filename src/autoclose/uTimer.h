// Per-drive autoclose countdowns on one-second timers of the main window.
#pragma once
#include <windows.h>

// Starts the drive's countdown at CloseInterval seconds, unpaused; false
// when the system gave no timer.
bool StartAutocloseTimer(BYTE drive);
// True when a countdown was running.
bool StopAutocloseTimer(BYTE drive);
void StopAllAutocloseTimers();

// Per-drive autoclose countdowns on one-second timers of the main window.
#pragma once
#include <windows.h>

bool StartAutocloseTimer(BYTE drive);
// True when a countdown was running.
bool StopAutocloseTimer(BYTE drive);
void StopAllAutocloseTimers();

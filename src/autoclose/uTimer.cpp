#include "uTimer.h"

// Placeholder until its issue lands: keeps the program starting, looping and ending.
bool StartAutocloseTimer(BYTE) { return false; }
void StopAutocloseTimer(BYTE) {}
void StopAllAutocloseTimers() {}

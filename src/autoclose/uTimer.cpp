#include "uTimer.h"
#include "src/common/uGlobals.h"
#include "src/settings/uSettings.h"

// A drive's countdown runs exactly while its timer (id drive + 1) exists.
static UINT_PTR TimerId(BYTE drive) {
    return static_cast<UINT_PTR>(drive) + 1;
}

bool StartAutocloseTimer(BYTE drive) {
    KillTimer(MainWindow, TimerId(drive)); // restart: there may be none
    if (!SetTimer(MainWindow, TimerId(drive), 1000, nullptr)) return false;
    Timers[drive].Remaining = CloseInterval;
    Timers[drive].Paused = false;
    return true;
}

bool StopAutocloseTimer(BYTE drive) {
    if (!KillTimer(MainWindow, TimerId(drive))) return false; // none ran: keep the record
    Timers[drive].Remaining = 0;
    Timers[drive].Paused = false;
    return true;
}

void StopAllAutocloseTimers() {
    for (BYTE drive = 0; drive < CDCount; ++drive)
        StopAutocloseTimer(drive);
}

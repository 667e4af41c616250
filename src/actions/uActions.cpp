#include "uActions.h"
#include <string>
#include "src/app/uInitDestroy.h"
#include "src/autoclose/uAutocloseDialog.h"
#include "src/autoclose/uTimer.h"
#include "src/common/uGlobals.h"
#include "src/common/uSeams.h"
#include "src/common/uStrConsts.h"
#include "src/common/uUtils.h"
#include "src/drives/uCDTools.h"
#include "src/language/uLanguage.h"
#include "src/settings/uSettings.h"

bool OpenCD(BYTE drive) {
    if (drive >= CDCount) return false;
    bool result = EjectTray(CDList[drive].Letter);
    // The record follows what the program asked for, whatever the device said.
    CDList[drive].MediaKind = mkNoMedia;
    CDList[drive].TrayOpen = 1;
    // A drive listed in the dialog keeps its countdown, running or paused.
    if (AutoClose && !IsDriveInAutocloseDialog(drive)) StartAutocloseTimer(drive);
    if (AutoClose && ShowCloseDialog) {
        if (!AutocloseDialog)
            ShowAutocloseDialog(drive);
        else
            AddAutocloseRow(drive);
    }
    return result;
}

bool CloseCD(BYTE drive) {
    if (drive >= CDCount) return false;
    // Also with AutoClose switched off: a countdown started before that still
    // ends here, instead of firing on and closing the tray again and again.
    bool counting = StopAutocloseTimer(drive);
    char letter = CDList[drive].Letter;
    // The line announces the close before the tray moves, and goes after it.
    if (AutocloseDialog)
        SetAutocloseItemText(IDC_AC_ROWTEXT + drive,
                             FormatText(GetLangText(TEXT_CLOSING), {letter}));
    bool result = LoadTray(letter);
    {
        TErrorModeGuard errorMode(SEM_FAILCRITICALERRORS); // the tray may have come back empty
        CDList[drive].MediaKind = GetMediaKind(letter);
    }
    CDList[drive].TrayOpen = 0;
    if (AutocloseDialog) RemoveAutocloseRow(drive);
    // A command-line run kept alive for this countdown has nothing left to
    // wait for once the tray closed some other way (by hand, say): without
    // an icon it could not be ended otherwise.
    if (counting && CommandLineMode) EndProgram();
    return result;
}

bool ToggleCD(BYTE drive) {
    if (drive >= CDCount) return false;
    // The program's own flag decides, not the device: a tray pushed in by
    // hand without a medium sends no broadcast.
    return CDList[drive].TrayOpen ? CloseCD(drive) : OpenCD(drive);
}

bool BrowseCD(BYTE drive) {
    if (drive >= CDCount) return false;
    std::string root = DriveRoot(CDList[drive].Letter);
    return SeamShellExecute(MainWindow, "explore", root.c_str(), nullptr, root.c_str(),
                            SW_SHOWNORMAL) > 32;
}

bool AutorunCD(BYTE drive) {
    if (drive >= CDCount) return false;
    std::string program, params;
    {
        TErrorModeGuard errorMode(SEM_FAILCRITICALERRORS); // the drive may be empty
        if (!GetAutorunCommand(CDList[drive].Letter, program, params)) return false;
    }
    std::string root = DriveRoot(CDList[drive].Letter);
    return SeamShellExecute(MainWindow, "open", program.c_str(),
                            params.empty() ? nullptr : params.c_str(), root.c_str(),
                            SW_SHOWNORMAL) > 32;
}

void OpenAllCD() {
    for (BYTE drive = 0; drive < CDCount; ++drive)
        OpenCD(drive);
}

void CloseAllCD() {
    for (BYTE drive = 0; drive < CDCount; ++drive)
        CloseCD(drive);
}

void AutocloseTick(BYTE drive) {
    if (drive >= CDCount || Timers[drive].Paused) return;
    // A countdown of N closes on tick N + 1, a negative one on the first
    // tick; tested before it drops, so that the lowest integer cannot wrap.
    if (Timers[drive].Remaining <= 0) {
        CloseCD(drive); // which also ends a command-line run waiting for it
        return;
    }
    --Timers[drive].Remaining;
    if (ShowCloseDialog && AutocloseDialog) UpdateAutocloseTexts();
}

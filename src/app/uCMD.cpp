#include "uCMD.h"
#include <windows.h>
#include "uInitDestroy.h"
#include "uMain.h"
#include "src/common/uGlobals.h"
#include "src/common/uStrConsts.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/settings/RegIni.h"
#include "src/settings/uSettings.h"
#include "src/tray/uNotifyIcon.h"

struct TCommandForm {
    const char* Form;
    int Command;
};

// The actions after which the program ends at once. "O" is handled apart:
// with autoclose it waits for the countdown.
static const TCommandForm EndingActions[] = {
    {"C", IDM_CLOSE},    {"A", IDM_AUTORUN},   {"B", IDM_BROWSE},
    {"OA", IDM_OPENALL}, {"CA", IDM_CLOSEALL},
};

static void SendCommand(int id) {
    SendMessageA(MainWindow, WM_COMMAND, id, 0);
}

std::string NormalizeParam(const std::string& text) {
    std::string result = text;
    for (char& c : result)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!result.empty() && (result[0] == '-' || result[0] == '/' || result[0] == '\\'))
        result.erase(0, 1);
    return result;
}

bool IsCDLetter(const std::string& text) {
    for (const TCDDrive& drive : CDList)
        if (text == std::string(1, drive.Letter)) return true;
    return false;
}

int DriveIndexOf(char letter) {
    for (int i = 0; i < CDCount; ++i)
        if (CDList[i].Letter == letter) return i;
    return -1;
}

static void SelectDriveParam(const std::string& param) {
    std::string letter = NormalizeParam(param).substr(0, 1);
    if (!IsCDLetter(letter)) {
        ShowTrayMessage(ResStr(IDS_INVALIDARGS), bkError, false);
        return;
    }
    SendCommand(SelectDriveCommandID(static_cast<BYTE>(DriveIndexOf(letter[0]))));
}

static void ApplyOption(const std::string& param) {
    std::string p = NormalizeParam(param);
    if (p.find('D') != std::string::npos) {
        ShowCloseDialog = true;
    } else if (p.find('L') != std::string::npos && p.size() > 1) {
        LoadLanguage(p.substr(1), 0);
    } else if (p.find('A') != std::string::npos) {
        AutoClose = true;
        int seconds = 0;
        // A malformed interval keeps the one from the settings.
        if (p.size() > 1 && TextToInteger(p.substr(1), seconds)) CloseInterval = seconds;
    }
}

void ProcessCommandLine(int argc, char** argv) {
    int count = argc - 1;
    if (count <= 0) return;
    // Without a drive the start-up has already asked the program to end.
    if (CDCount == 0) return;

    std::string action = NormalizeParam(argv[1]);
    if (count >= 2) SelectDriveParam(argv[2]);

    // The command line alone decides about autoclose for this run.
    AutoClose = false;
    ShowCloseDialog = false;
    for (int i = 3; i <= count; ++i)
        ApplyOption(argv[i]);

    if (action == "O") {
        SendCommand(IDM_OPEN);
        // With autoclose the opened drive's countdown ends the program.
        if (!AutoClose) EndProgram();
        return;
    }
    for (const TCommandForm& form : EndingActions) {
        if (action == form.Form) {
            SendCommand(form.Command);
            EndProgram();
            return;
        }
    }
    ShowError(ResStr(IDS_INVALIDARGS));
    EndProgram();
}

#include "uSeams.h"
#include <shellapi.h>
#include <htmlhelp.h>
#include <mmsystem.h>
#include <cstring>

// A routine of a system library that only the odd command needs (the help
// viewer, the CD-audio device): loaded the first time it is asked for, not
// at every start with all it depends on, and by its full path in the system
// folder, so that a library of the same name beside the program is never
// taken instead. The library stays loaded, as an import would.
static FARPROC SystemRoutine(const char* library, const char* name) {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + std::strlen(library) >= MAX_PATH) return nullptr;
    path[length] = '\\';
    std::strcpy(path + length + 1, library);
    HMODULE module = LoadLibraryA(path);
    return module ? GetProcAddress(module, name) : nullptr;
}

static MCIERROR SendMci(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    using TSendCommand = MCIERROR(WINAPI*)(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR);
    static const auto send =
        reinterpret_cast<TSendCommand>(SystemRoutine("winmm.dll", "mciSendCommandA"));
    return send ? send(device, message, flags, params) : MCIERR_CANNOT_LOAD_DRIVER;
}

bool SeamDeviceRequest(const char* devicePath, std::initializer_list<DWORD> controlCodes) {
    HANDLE device = CreateFileA(devicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) return false;
    bool accepted = false;
    for (DWORD code : controlCodes) {
        DWORD returned = 0;
        accepted = DeviceIoControl(device, code, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
        if (accepted) break;
    }
    CloseHandle(device);
    return accepted;
}

bool SeamQueryAudioCD(const char* elementName, int& tracks, std::string& identity) {
    tracks = 0;
    identity.clear();
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "CDAudio";
    open.lpstrElementName = elementName;
    if (SendMci(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return false;

    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_NUMBER_OF_TRACKS;
    if (SendMci(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                reinterpret_cast<DWORD_PTR>(&status)) == 0)
        tracks = static_cast<int>(status.dwReturn);

    char buffer[255] = {};
    MCI_INFO_PARMSA info = {};
    info.lpstrReturn = buffer;
    info.dwRetSize = sizeof buffer;
    if (SendMci(open.wDeviceID, MCI_INFO, MCI_INFO_MEDIA_IDENTITY | MCI_WAIT,
                reinterpret_cast<DWORD_PTR>(&info)) == 0) {
        buffer[sizeof buffer - 1] = '\0';
        identity = buffer;
    }
    SendMci(open.wDeviceID, MCI_CLOSE, 0, 0);
    return true;
}

INT_PTR SeamShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                         const char* directory, int showCommand) {
    return reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, verb, file, params, directory, showCommand));
}

void SeamShowHelpTopic(HWND owner, const char* helpFile, const char* topic) {
    using THtmlHelp = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    static const auto show = reinterpret_cast<THtmlHelp>(SystemRoutine("hhctrl.ocx", "HtmlHelpA"));
    if (show) show(owner, helpFile, HH_DISPLAY_TOPIC, reinterpret_cast<DWORD_PTR>(topic));
}

int SeamMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}

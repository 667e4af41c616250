#include "uSeams.h"
#include <shellapi.h>
#include <htmlhelp.h>
#include <mmsystem.h>

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
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return false;

    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_NUMBER_OF_TRACKS;
    if (mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&status)) == 0)
        tracks = static_cast<int>(status.dwReturn);

    char buffer[255] = {};
    MCI_INFO_PARMSA info = {};
    info.lpstrReturn = buffer;
    info.dwRetSize = sizeof buffer;
    if (mciSendCommandA(open.wDeviceID, MCI_INFO, MCI_INFO_MEDIA_IDENTITY | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&info)) == 0) {
        buffer[sizeof buffer - 1] = '\0';
        identity = buffer;
    }
    mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0);
    return true;
}

INT_PTR SeamShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                         const char* directory, int showCommand) {
    return reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, verb, file, params, directory, showCommand));
}

void SeamShowHelpTopic(HWND owner, const char* helpFile, const char* topic) {
    HtmlHelpA(owner, helpFile, HH_DISPLAY_TOPIC, reinterpret_cast<DWORD_PTR>(topic));
}

int SeamMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}

#include "TestSupport.h"
#include <algorithm>
#include "src/common/uSeams.h"

std::vector<TDeviceRequest> DeviceRequests;
std::vector<DWORD> RefusedCodes;
std::vector<TShellCall> ShellCalls;
std::vector<THelpCall> HelpCalls;
std::vector<TMessageBoxCall> MessageBoxCalls;

void ResetSeamDoubles() {
    DeviceRequests.clear(), RefusedCodes.clear(), ShellCalls.clear(), HelpCalls.clear();
    MessageBoxCalls.clear();
}

static std::string Text(const char* s) {
    return s ? s : "";
}
bool SeamDeviceRequest(const char* devicePath, std::initializer_list<DWORD> controlCodes) {
    for (DWORD code : controlCodes) {
        DeviceRequests.push_back({Text(devicePath), code});
        if (std::find(RefusedCodes.begin(), RefusedCodes.end(), code) == RefusedCodes.end())
            return true;
    }
    return false;
}

// No disc answers as an audio CD: the media kinds come from the emulated drives.
bool SeamQueryAudioCD(const char*, int&, std::string&) {
    return false;
}

INT_PTR SeamShellExecute(HWND, const char* verb, const char* file, const char* params,
                         const char* directory, int) {
    ShellCalls.push_back(
        {Text(verb), Text(file), Text(params), Text(directory), params != nullptr});
    return 42; // above 32: started
}

void SeamShowHelpTopic(HWND, const char* helpFile, const char* topic) {
    HelpCalls.push_back({Text(helpFile), Text(topic)});
}
int SeamMessageBox(HWND, const char* text, const char* caption, UINT) {
    MessageBoxCalls.push_back({Text(text), Text(caption)});
    return IDOK;
}

#include "SeamDoubles.h"
#include <algorithm>
#include "src/common/uSeams.h"

std::vector<TDeviceRequest> DeviceRequests;
std::vector<DWORD> RefusedCodes;
std::vector<TShellCall> ShellCalls;
INT_PTR ShellResult = 42;
std::vector<THelpCall> HelpCalls;
std::vector<TMessageBoxCall> MessageBoxCalls;
std::vector<std::string> AudioCDQueries;
TAudioCDAnswer AudioCDAnswer;

void ResetSeamDoubles() {
    DeviceRequests.clear();
    RefusedCodes.clear();
    ShellCalls.clear();
    ShellResult = 42;
    HelpCalls.clear();
    MessageBoxCalls.clear();
    AudioCDQueries.clear();
    AudioCDAnswer = TAudioCDAnswer();
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

bool SeamQueryAudioCD(const char* elementName, int& tracks, std::string& identity) {
    AudioCDQueries.push_back(Text(elementName));
    tracks = AudioCDAnswer.Opens ? AudioCDAnswer.Tracks : 0;
    identity = AudioCDAnswer.Opens ? AudioCDAnswer.Identity : std::string();
    return AudioCDAnswer.Opens;
}

INT_PTR SeamShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                         const char* directory, int showCommand) {
    ShellCalls.push_back({owner, Text(verb), Text(file), Text(params), Text(directory), showCommand,
                          params != nullptr});
    return ShellResult;
}

void SeamShowHelpTopic(HWND owner, const char* helpFile, const char* topic) {
    HelpCalls.push_back({owner, Text(helpFile), Text(topic)});
}

int SeamMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    MessageBoxCalls.push_back({owner, Text(text), Text(caption), type});
    return IDOK;
}

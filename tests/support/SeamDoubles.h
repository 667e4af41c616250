// The seams' doubles: they record every call and answer as told.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct TDeviceRequest {
    std::string Path;
    DWORD Code;
};
struct TShellCall {
    HWND Owner;
    std::string Verb, File, Params, Directory;
    int Show;
    bool HasParams; // false when no parameter text was passed at all
};
struct THelpCall {
    HWND Owner;
    std::string File, Topic;
};
struct TMessageBoxCall {
    HWND Owner;
    std::string Text, Caption;
    UINT Type;
};
// Every control code sent, one entry each; the device accepts every code but the refused ones.
extern std::vector<TDeviceRequest> DeviceRequests;
extern std::vector<DWORD> RefusedCodes;
extern std::vector<TShellCall> ShellCalls;
extern std::vector<THelpCall> HelpCalls;
extern std::vector<TMessageBoxCall> MessageBoxCalls;
void ResetSeamDoubles(); // forgets the calls, accepts every code

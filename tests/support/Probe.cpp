#include "TestSupport.h"
#include <dbt.h>

TKestrowProcess StartKestrowFrom(const std::string& exe, const std::string& params) {
    std::string commandLine = "\"" + exe + "\"" + (params.empty() ? "" : " " + params);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    TKestrowProcess process;
    if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        CloseHandle(info.hThread);
        process.Process = info.hProcess;
        process.Id = info.dwProcessId;
    }
    return process;
}

bool WaitForExit(TKestrowProcess& process, DWORD timeoutMs, DWORD& exitCode) {
    if (!process.Process) return false;
    bool ended = WaitForSingleObject(process.Process, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.Process, 99);
        WaitForSingleObject(process.Process, 5000);
    }
    GetExitCodeProcess(process.Process, &exitCode);
    CloseHandle(process.Process);
    process.Process = nullptr;
    return ended;
}

long RunKestrow(const std::string& params, DWORD timeoutMs) {
    TKestrowProcess process = StartKestrowFrom(ExeFolder() + "kestrow.exe", params);
    DWORD exitCode = 0;
    if (!WaitForExit(process, timeoutMs, exitCode)) return -1;
    return static_cast<long>(exitCode);
}

struct TFindWindow {
    DWORD ProcessId;
    HWND Found;
};

static BOOL CALLBACK FindKestrowProc(HWND window, LPARAM param) {
    auto* find = reinterpret_cast<TFindWindow*>(param);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "KestrowWindowClass") != 0) return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (find->ProcessId && owner != find->ProcessId) return TRUE;
    find->Found = window;
    return FALSE;
}

HWND FindKestrowWindow(DWORD processId) {
    TFindWindow find = {processId, nullptr};
    EnumWindows(FindKestrowProc, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

HWND WaitForKestrowWindow(DWORD timeoutMs, DWORD processId) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindKestrowWindow(processId)) != nullptr; }, timeoutMs);
    return window;
}

bool BalloonShown(const std::string& text) {
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)) != nullptr) {
        if (!IsWindowVisible(tip)) continue;
        // The tooltip control answers WM_GETTEXT with its current text, also
        // across processes.
        char shown[512] = {};
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(tip, WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
        if (text == shown) return true;
    }
    return false;
}

LRESULT SendVolumeChange(HWND window, WPARAM event, char letter, WORD flags) {
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (letter - 'A');
    volume.dbcv_flags = flags;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

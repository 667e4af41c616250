#include "TestSupport.h"
#include <commctrl.h>
#include <fstream>
#include <thread>
#include "src/common/uUtils.h"
#include "src/options/uOptionsDialog.h"

std::string ExeFolder() {
    return ExtractAppPath(ExecutablePath());
}
std::string NewTempFolder() {
    static int counter = 0;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    for (std::string folder;; ++counter) {
        folder =
            temp + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter) + "\\";
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    }
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}
void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void UseDriveList(const std::string& letters, BYTE mediaKind) {
    CDList.clear();
    for (char letter : letters)
        CDList.push_back({letter, 0, mediaKind});
    CDCount = static_cast<BYTE>(CDList.size());
    SizeDriveArrays();
}

void EnsureMainWindow() {
    if (MainWindow && IsWindow(MainWindow)) return;
    RegisterMainWindowClass();
    CreateMainWindow();
}

void ResetProgramState() {
    for (UINT id = 1; id <= 21; ++id)
        KillTimer(MainWindow, id);
    CDList.clear(), Timers.clear(), DriveMenus.clear(), HotKeys.clear();
    CDBitmaps.clear(), CDBitmapsChecked.clear(), Language.clear(), LanguageFileName.clear();
    CDCount = CurrentDrive = 0, CloseInterval = 0;
    GlobalHotKeys[ghHideIcon] = GlobalHotKeys[ghCloseProgram] = 0;
    TrayMenu = DrivesMenu = LanguageMenu = nullptr, AutocloseDialog = nullptr;
    CommandLineMode = Autostart = HideIcon = AutoClose = ShowCloseDialog = false;
    ConfigurationLoaded = false;
    ResetSeamDoubles();
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, 0, 0, 20, QS_ALLINPUT)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) { // left for the test to see
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
    }
}

bool CombinationTaken(UINT modifiers, UINT key) {
    if (!RegisterHotKey(nullptr, 0xBEEF, modifiers, key))
        return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
    return !UnregisterHotKey(nullptr, 0xBEEF);
}

void* ReplaceImport(const char* dll, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto at = [base](DWORD offset) { return base + offset; };
    const auto* headers =
        reinterpret_cast<IMAGE_NT_HEADERS*>(at(PIMAGE_DOS_HEADER(base)->e_lfanew));
    auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        at(headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress));
    for (; module->Name; ++module) {
        if (lstrcmpiA(reinterpret_cast<char*>(at(module->Name)), dll) != 0) continue;
        // The names stay in the lookup table; the loader filled in the entries.
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(at(module->OriginalFirstThunk));
        auto* entry = reinterpret_cast<void**>(at(module->FirstThunk));
        for (; names->u1.AddressOfData; ++names, ++entry) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                lstrcmpA(PIMAGE_IMPORT_BY_NAME(at(names->u1.AddressOfData))->Name, name) != 0)
                continue;
            DWORD protection;
            VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection);
            std::swap(*entry, replacement);
            VirtualProtect(entry, sizeof *entry, protection, &protection);
            return replacement;
        }
    }
    return nullptr;
}

bool WithSheet(const std::function<void(HWND sheet)>& work) {
    HWND sheet = nullptr;
    std::thread driver([&] {
        for (int i = 0; i < 500 && !sheet; ++i, Sleep(20))
            while ((sheet = FindWindowExA(nullptr, sheet, "#32770", nullptr)) &&
                   (GetWindow(sheet, GW_OWNER) != MainWindow || !IsWindowVisible(sheet))) {
            }
        if (sheet) work(sheet);
    });
    ShowOptions();
    driver.join();
    return sheet != nullptr;
}

std::string UseTestLanguage() {
    std::string folder = NewTempFolder();
    WriteTextFile(folder + "english.lng",
                  "[Main]\n201=Eject\n202=Load\n203=Explore\n204=Start\n205=Settings\n206=Manual\n"
                  "207=Quit\n208=Eject every drive\n209=Load every drive\n500=Languages\n"
                  "2001=(unlabelled)\n2002=Drive\n2004=says\n2030=%s|%s|%u|%u\n2031=%s|%d|%s\n");
    AppPath = folder, Language = "English", LanguageFileName = folder + "english.lng";
    return folder;
}

TKestrowProcess StartKestrowFrom(const std::string& exe, const std::string& params) {
    std::string commandLine = "\"" + exe + "\"" + (params.empty() ? "" : " " + params);
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION info = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &commandLine[0], 0, 0, FALSE, 0, 0, 0, &startup, &info))
        return {};
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
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
    return WaitForExit(process, timeoutMs, exitCode) ? static_cast<long>(exitCode) : -1;
}

HWND WaitForKestrowWindow(DWORD timeoutMs, DWORD processId) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            DWORD owner = 0;
            while ((window = FindWindowExA(nullptr, window, "KestrowWindowClass", nullptr)) &&
                   (GetWindowThreadProcessId(window, &owner), processId && owner != processId)) {
            }
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

LRESULT SendVolumeChange(HWND window, WPARAM event, char letter, WORD flags) {
    DEV_BROADCAST_VOLUME volume = {sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << (letter - 'A'),
                                   flags};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

// The shell's tooltip windows (of another process) hold a tool for each icon; they are read
// through the shell's own memory.
std::vector<TTrayTool> ReadTrayTools() {
    std::vector<TTrayTool> tools;
    for (HWND tip = nullptr; (tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr));) {
        DWORD id = 0;
        GetWindowThreadProcessId(tip, &id);
        if (id == GetCurrentProcessId() || GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON) continue;
        HANDLE shell =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, 0, id);
        struct TTool {
            TTTOOLINFOW Info;
            wchar_t Text[1024];
        } tool = {}, *remote = static_cast<TTool*>(
                         VirtualAllocEx(shell, nullptr, sizeof tool, MEM_COMMIT, PAGE_READWRITE));
        for (int i = 0; remote && i < SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            tool = {};
            tool.Info.cbSize = sizeof tool.Info, tool.Info.lpszText = remote->Text;
            WriteProcessMemory(shell, remote, &tool, sizeof tool, nullptr);
            SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote));
            ReadProcessMemory(shell, remote, &tool, sizeof tool, nullptr);
            if (IsRectEmpty(&tool.Info.rect)) continue; // the tool of a removed icon stays
            char text[2048] = {};
            WideCharToMultiByte(CP_ACP, 0, tool.Text, 1023, text, sizeof text - 1, 0, 0);
            MapWindowPoints(tool.Info.hwnd, nullptr, reinterpret_cast<POINT*>(&tool.Info.rect), 2);
            tools.push_back({text, tool.Info.rect});
        }
        if (remote) VirtualFreeEx(shell, remote, 0, MEM_RELEASE);
        if (shell) CloseHandle(shell);
    }
    return tools;
}

bool WaitForTrayTool(const std::string& tip, DWORD timeoutMs, TTrayTool* tool) {
    return WaitUntil(
        [&] {
            for (const TTrayTool& found : ReadTrayTools())
                if (found.Tip == tip) return !tool || (*tool = found, true);
            return false;
        },
        timeoutMs);
}

// The tooltip control answers WM_GETTEXT with its current text, also across processes.
bool BalloonShown(const std::string& text) {
    for (HWND tip = nullptr; (tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr));) {
        char shown[512] = {};
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(tip, WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
        if (IsWindowVisible(tip) && text == shown) return true;
    }
    return false;
}

// Sent as hardware input: the system gives it to the window under the point, or takes a
// program-wide hotkey from it, as from the user's own devices. The pointer comes from the middle
// of the screen, so that a tooltip raised where it rested (over an icon, say) is gone, and a
// double-click's time after the last click, so that two clicks never make one.
void ClickScreen(POINT point) {
    const int width = GetSystemMetrics(SM_CXSCREEN) - 1, height = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT input[4] = {};
    for (INPUT& one : input)
        one.type = INPUT_MOUSE, one.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[0].mi.dx = input[0].mi.dy = 32768;
    input[1].mi.dx = point.x * 65535 / width, input[1].mi.dy = point.y * 65535 / height;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTDOWN, input[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, input, sizeof *input);
    Sleep(GetDoubleClickTime() + 50);
    SendInput(3, input + 1, sizeof *input);
}

void PressKeys(std::initializer_list<int> keys) {
    for (int key : keys) {
        INPUT input = {INPUT_KEYBOARD, {}};
        input.ki.wVk = WORD(abs(key)), input.ki.dwFlags = key < 0 ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof input);
    }
}

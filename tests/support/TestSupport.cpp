#include "TestSupport.h"
#include <shlobj.h>
#include <cstdio>
#include <thread>
#include "SeamDoubles.h"
#include "src/app/uInitDestroy.h"
#include "src/common/uGlobals.h"
#include "src/common/uStrConsts.h"
#include "src/drives/uCDTools.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/options/uOptionsDialog.h"
#include "src/settings/uSettings.h"

std::string ExeFolder() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

std::string NewTempFolder() {
    static int counter = 0;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "kestrow-tests\\";
    CreateDirectoryA(base.c_str(), nullptr);
    for (;;) {
        std::string folder =
            base + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\";
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    }
}

std::string ReadTextFile(const std::string& path) {
    std::string text;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    std::fclose(f);
    return text;
}

void WriteTextFile(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SettingsFilePath() {
    char folder[MAX_PATH + 1] = {};
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + ResStr(IDS_SETTINGSFOLDER) + ResStr(IDS_INIFILE);
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
    CDList.clear();
    CDCount = 0;
    CurrentDrive = 0;
    Timers.clear();
    DriveMenus.clear();
    HotKeys.clear();
    GlobalHotKeys[ghHideIcon] = GlobalHotKeys[ghCloseProgram] = 0;
    CDBitmaps.clear();
    CDBitmapsChecked.clear();
    TrayMenu = DrivesMenu = LanguageMenu = nullptr;
    AutocloseDialog = nullptr;
    CommandLineMode = false;
    Autostart = HideIcon = AutoClose = ShowCloseDialog = false;
    CloseInterval = 0;
    ConfigurationLoaded = false;
    Language.clear();
    LanguageFileName.clear();
    ResetSeamDoubles();
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Dispatches what is queued; a quit request stays for the test to see.
static void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // keep it visible to the test
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool CombinationTaken(UINT modifiers, UINT key) {
    const int probeId = 0xBEEF;
    if (RegisterHotKey(nullptr, probeId, modifiers, key)) {
        UnregisterHotKey(nullptr, probeId);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

void* ReplaceImport(const char* dll, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + module->Name), dll) != 0) continue;
        // The names stay in the lookup table; the loader filled in the entries.
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), name) != 0) continue;
            void** entry = reinterpret_cast<void**>(&entries->u1.Function);
            DWORD protection;
            VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection);
            void* previous = *entry;
            *entry = replacement;
            VirtualProtect(entry, sizeof *entry, protection, &protection);
            return previous;
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
    AppPath = folder;
    Language = "English";
    LanguageFileName = folder + "english.lng";
    return folder;
}

// bench_hotkeys: how long loading the most hotkeys the program can have takes,
// with the key names asked once per load and, for comparison, once per text.
// Prints milliseconds; run it under Wine (scripts/bench-hotkeys.sh).
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <string>
#include "src/common/uGlobals.h"
#include "src/hotkeys/uHotKeyText.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/settings/RegIni.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

} // namespace

int main() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    IniFileName = std::string(temp) + "kestrow-bench.ini";
    DeleteFileA(IniFileName.c_str());

    // 21 drives with three hotkeys each and both program-wide ones: 65 texts,
    // a third of them names that no key has, so that every candidate is tried.
    const std::string keyNames[3] = {
        "Ctrl+Alt+NoSuchKey", HotKeyToText(MAKEWORD(VK_OEM_COMMA, HOTKEYF_CONTROL)), "Alt+F12"};
    CDList.clear();
    for (char letter = 'A'; letter <= 'U'; ++letter)
        CDList.push_back({letter, 0, mkData});
    CDCount = static_cast<BYTE>(CDList.size());
    HotKeys.assign(CDCount, THotKeyRecord{});
    const char* const keys[3] = {"Browse", "Autorun", "OpenClose"};
    for (const TCDDrive& drive : CDList)
        for (int k = 0; k < 3; ++k)
            IniWriteString(IniFileName, std::string(1, drive.Letter) + ":", keys[k], keyNames[k]);
    IniWriteString(IniFileName, "OtherHotKeys", "HideIconHotKey", keyNames[0]);
    IniWriteString(IniFileName, "OtherHotKeys", "CloseProgramHotkey", keyNames[1]);

    const int rounds = 20;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i)
        LoadHotKeys();
    QueryPerformanceCounter(&end);
    std::printf("LoadHotKeys, 65 hotkeys: %.2f ms per load\n", Milliseconds(start, end) / rounds);

    // The texts alone, without the file, within one load and one by one.
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i) {
        BeginHotKeyLoad();
        for (int n = 0; n < 65; ++n)
            TextToHotKey(keyNames[n % 3]);
        EndHotKeyLoad();
    }
    QueryPerformanceCounter(&end);
    std::printf("65 texts read within one load: %.2f ms per load\n",
                Milliseconds(start, end) / rounds);

    // The same texts, each read on its own: the key names asked per text.
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i)
        for (int n = 0; n < 65; ++n)
            TextToHotKey(keyNames[n % 3]);
    QueryPerformanceCounter(&end);
    std::printf("65 texts read one by one: %.2f ms per load\n", Milliseconds(start, end) / rounds);

    DeleteFileA(IniFileName.c_str());
    return 0;
}

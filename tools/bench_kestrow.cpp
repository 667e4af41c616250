// bench_kestrow: how fast the real kestrow.exe starts, how much memory and how
// many handles it holds while it idles, and what a drive selection (which
// rebuilds the menus and the tray icon) costs. Prints a small report; run it
// under Wine with scripts/bench.sh.
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <vector>
#include "../tests/support/Probe.h"
#include "../tests/support/TestSupport.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct TUsage {
    SIZE_T WorkingSet, PrivateBytes;
    DWORD GdiObjects, UserObjects, Handles;
};

TUsage Usage(HANDLE process) {
    TUsage usage = {};
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    usage.WorkingSet = memory.WorkingSetSize;
    usage.PrivateBytes = memory.PrivateUsage;
    usage.GdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    usage.UserObjects = GetGuiResources(process, GR_USEROBJECTS);
    GetProcessHandleCount(process, &usage.Handles);
    return usage;
}

void Print(const char* what, const TUsage& usage) {
    std::printf("%-28s working set %6lu KB, private %6lu KB, GDI %4lu, USER %4lu, handles %4lu\n",
                what, static_cast<unsigned long>(usage.WorkingSet / 1024),
                static_cast<unsigned long>(usage.PrivateBytes / 1024),
                static_cast<unsigned long>(usage.GdiObjects),
                static_cast<unsigned long>(usage.UserObjects),
                static_cast<unsigned long>(usage.Handles));
}

} // namespace

int main() {
    std::string exe = ExeFolder() + "kestrow.exe";
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    GetFileAttributesExA(exe.c_str(), GetFileExInfoStandard, &file);
    std::printf("kestrow.exe size             %lu bytes\n", file.nFileSizeLow);

    const int runs = 5;
    std::vector<double> startTimes, endTimes;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER start = Now();
        TKestrowProcess kestrow = StartKestrow("");
        HWND window = WaitForKestrowWindow(20000, kestrow.Id);
        // The window exists before the start-up ends; the first menu marks its end.
        WaitUntil([&] { return SendMessageA(window, WM_NULL, 0, 0) == 0; }, 20000);
        startTimes.push_back(Milliseconds(start, Now()));

        if (run == runs - 1) {
            Print("after start-up", Usage(kestrow.Process));
            const int selections = 200;
            LARGE_INTEGER from = Now();
            for (int i = 0; i < selections; ++i)
                SendMessageA(window, WM_COMMAND, i % 2, 0); // select drive 0, then 1
            double each = Milliseconds(from, Now()) / selections;
            std::printf("drive selection (menus and icon rebuilt)  %.2f ms each\n", each);
            Print("after 200 selections", Usage(kestrow.Process));
        }
        LARGE_INTEGER end = Now();
        PostMessageA(window, WM_COMMAND, 207, 0);
        DWORD exitCode = 0;
        WaitForExit(kestrow, 20000, exitCode);
        endTimes.push_back(Milliseconds(end, Now()));
    }
    std::printf("start-up to first message  median %.0f ms of %d runs\n", Median(startTimes), runs);
    std::printf("exit command to process end median %.0f ms of %d runs\n", Median(endTimes), runs);
    return 0;
}

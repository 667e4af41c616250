// bench_kestrow: the real kestrow.exe against bench_baseline.exe, the least a
// program of its kind does, run in turn in one Wine session. Prints medians
// and their ratios; scripts/bench.sh runs it and adds the idle system calls
// and the size. Figures are reported, never asserted (Wine is not Windows).
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>
#include "tests/support/TestSupport.h"
#include "res/resource.h"

namespace {

const int Runs = 7;

double Now() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

TKestrowProcess Start(const std::string& exe, const std::string& params) {
    return StartKestrowFrom(ExeFolder() + exe, params);
}

double RunToEnd(const std::string& exe, const std::string& params) {
    const double start = Now();
    TKestrowProcess process = Start(exe, params);
    DWORD exitCode = 0;
    WaitForExit(process, 30000, exitCode);
    return Now() - start;
}

size_t IconCount() {
    return ReadTrayTools().size();
}

HWND FindWindowOf(const char* className, DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

struct TResident {
    TKestrowProcess Process;
    HWND Window = nullptr;
    double ToIcon = 0;
};

// Starts the program and waits until the shell shows one icon more.
TResident StartToIcon(const std::string& exe, const std::string& params, const char* className) {
    const size_t before = IconCount();
    TResident resident;
    const double start = Now();
    resident.Process = Start(exe, params);
    while (IconCount() <= before && Now() - start < 30000)
        Sleep(1);
    resident.ToIcon = Now() - start;
    WaitUntil([&] { return (resident.Window = FindWindowOf(className, resident.Process.Id)); },
              30000);
    return resident;
}

void End(TResident& resident) {
    const size_t icons = IconCount();
    PostMessageA(resident.Window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    WaitForExit(resident.Process, 30000, exitCode);
    WaitUntil([&] { return IconCount() < icons; }, 5000);
}

PROCESS_MEMORY_COUNTERS Memory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    return memory;
}

// Wine gives no private bytes of another process; its anonymous resident
// memory (PagefileUsage) is what grows with the heap.
double HeapBytes(const TResident& resident) {
    return static_cast<double>(Memory(resident.Process.Process).PagefileUsage);
}

// Milliseconds per message, median of blocks of the messages sent.
double PerMessage(const std::function<void(int)>& send, int blocks, int each) {
    std::vector<double> times;
    for (int b = 0; b < blocks; ++b) {
        const double start = Now();
        for (int i = 0; i < each; ++i)
            send(b * each + i);
        times.push_back((Now() - start) / each);
    }
    return Median(times);
}

void Row(const char* what, double kestrow, double baseline, const char* unit) {
    std::printf("%-34s %10.2f %10.2f %s %8.2fx\n", what, kestrow, baseline, unit,
                kestrow / baseline);
}

} // namespace

int main(int argc, char** argv) {
    const int selections = argc > 1 ? std::atoi(argv[1]) : 10000;
    std::printf("%-34s %10s %10s %s %9s\n", "", "kestrow", "baseline", "  ", "ratio");

    std::vector<double> oneShot, oneShotBase;
    for (int run = 0; run < Runs; ++run) {
        oneShot.push_back(RunToEnd("kestrow.exe", "C"));
        oneShotBase.push_back(RunToEnd("bench_baseline.exe", ""));
    }
    Row("one-shot (kestrow C / window)", Median(oneShot), Median(oneShotBase), "ms");

    std::vector<double> toIcon, toIconBase, peak, peakBase;
    for (int run = 0; run < Runs; ++run) {
        TResident kestrow = StartToIcon("kestrow.exe", "", "KestrowWindowClass");
        TResident baseline = StartToIcon("bench_baseline.exe", "icon", "KestrowBaselineClass");
        toIcon.push_back(kestrow.ToIcon);
        toIconBase.push_back(baseline.ToIcon);
        Sleep(300);
        peak.push_back(Memory(kestrow.Process.Process).PeakWorkingSetSize / 1024.0);
        peakBase.push_back(Memory(baseline.Process.Process).PeakWorkingSetSize / 1024.0);
        End(baseline);
        End(kestrow);
    }
    Row("start to icon", Median(toIcon), Median(toIconBase), "ms");
    Row("peak working set", Median(peak), Median(peakBase), "KB");

    TResident kestrow = StartToIcon("kestrow.exe", "", "KestrowWindowClass");
    TResident baseline = StartToIcon("bench_baseline.exe", "icon", "KestrowBaselineClass");
    auto select = [&](int i) { SendMessageA(kestrow.Window, WM_COMMAND, i % 2, 0); };
    auto modify = [&](int i) { SendMessageA(baseline.Window, WM_APP, i, 0); };
    // Two of the shipped languages, in turn.
    auto language = [&](int i) {
        SendMessageA(kestrow.Window, WM_COMMAND, IDM_LANGUAGE_FIRST + i % 2, 0);
    };
    std::vector<double> selection, languageLoad, nimModify;
    for (int round = 0; round < 5; ++round) {
        selection.push_back(PerMessage(select, 1, 40));
        nimModify.push_back(PerMessage(modify, 1, 40));
        languageLoad.push_back(PerMessage(language, 1, 20));
    }
    Row("drive selection / NIM_MODIFY", Median(selection), Median(nimModify), "ms");
    Row("language load / NIM_MODIFY", Median(languageLoad), Median(nimModify), "ms");

    const double before = HeapBytes(kestrow), baseBefore = HeapBytes(baseline);
    for (int i = 0; i < selections; ++i) {
        select(i);
        modify(i);
    }
    std::printf("heap bytes per selection over %d: %.1f (baseline per NIM_MODIFY %.1f)\n",
                selections, (HeapBytes(kestrow) - before) / selections,
                (HeapBytes(baseline) - baseBefore) / selections);
    End(baseline);
    End(kestrow);
    return 0;
}

#include "TestSupport.h"
#include <commctrl.h>

namespace {

struct TRemoteProcess {
    HANDLE Process = nullptr;
    char* Memory = nullptr;
    explicit TRemoteProcess(HWND window, SIZE_T size) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        Process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                  PROCESS_QUERY_INFORMATION,
                              FALSE, id);
        if (Process)
            Memory = static_cast<char*>(
                VirtualAllocEx(Process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~TRemoteProcess() {
        if (Memory) VirtualFreeEx(Process, Memory, 0, MEM_RELEASE);
        if (Process) CloseHandle(Process);
    }
    TRemoteProcess(const TRemoteProcess&) = delete;
    TRemoteProcess& operator=(const TRemoteProcess&) = delete;
    bool Write(SIZE_T offset, const void* data, SIZE_T size) {
        return WriteProcessMemory(Process, Memory + offset, data, size, nullptr) != 0;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) {
        return ReadProcessMemory(Process, Memory + offset, data, size, nullptr) != 0;
    }
};

constexpr SIZE_T TEXT_OFFSET = 256;
constexpr SIZE_T TEXT_CHARS = 1024;

std::string Narrow(const wchar_t* text) {
    char buffer[TEXT_CHARS * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

BOOL CALLBACK CollectTooltip(HWND window, LPARAM param) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0 && process != GetCurrentProcessId())
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// The shell's tooltip windows: those of other processes.
std::vector<HWND> ShellTooltips() {
    std::vector<HWND> found;
    EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Tool number i of a tooltip window, with its text, read in the owner's memory.
bool ReadTool(HWND tooltip, TRemoteProcess& remote, int i, TTTOOLINFOW& info, std::string& text) {
    TTTOOLINFOW request = {};
    request.cbSize = sizeof request;
    request.lpszText = reinterpret_cast<wchar_t*>(remote.Memory + TEXT_OFFSET);
    wchar_t empty[TEXT_CHARS] = {};
    if (!remote.Write(0, &request, sizeof request) ||
        !remote.Write(TEXT_OFFSET, empty, sizeof empty))
        return false;
    if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote.Memory)))
        return false;
    wchar_t buffer[TEXT_CHARS] = {};
    if (!remote.Read(0, &info, sizeof info) || !remote.Read(TEXT_OFFSET, buffer, sizeof buffer))
        return false;
    buffer[TEXT_CHARS - 1] = 0;
    text = Narrow(buffer);
    return true;
}

} // namespace

std::vector<TTrayTool> ReadTrayTools() {
    std::vector<TTrayTool> tools;
    for (HWND tooltip : ShellTooltips()) {
        if (GetWindowLongA(tooltip, GWL_STYLE) & TTS_BALLOON) continue;
        int count = static_cast<int>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        if (count <= 0) continue;
        TRemoteProcess remote(tooltip, TEXT_OFFSET + TEXT_CHARS * sizeof(wchar_t));
        if (!remote.Memory) continue;
        for (int i = 0; i < count; ++i) {
            TTTOOLINFOW info = {};
            TTrayTool tool;
            if (!ReadTool(tooltip, remote, i, info, tool.Tip)) continue;
            // The shell keeps the tools of removed icons, with an empty place.
            if (IsRectEmpty(&info.rect)) continue;
            tool.Rect = info.rect;
            MapWindowPoints(info.hwnd, nullptr, reinterpret_cast<POINT*>(&tool.Rect), 2);
            tools.push_back(tool);
        }
    }
    return tools;
}

bool FindTrayTool(const std::string& tip, TTrayTool& tool) {
    for (const TTrayTool& found : ReadTrayTools())
        if (found.Tip == tip) {
            tool = found;
            return true;
        }
    return false;
}

bool WaitForTrayTool(const std::string& tip, DWORD timeoutMs, TTrayTool* tool) {
    TTrayTool found;
    bool ok = WaitUntil([&] { return FindTrayTool(tip, found); }, timeoutMs);
    if (ok && tool) *tool = found;
    return ok;
}

// The kind of icon in a balloon, told by its colours: the balloon's text is
// black on a pale ground, its icon red (error), yellow (warning) or blue
// (information). The shell of Wine 8 does not answer TTM_GETTITLE, so the
// picture is what can be checked.
static int BalloonIconOf(HWND balloon) {
    RECT rect;
    GetWindowRect(balloon, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return TTI_NONE;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    int red = 0, yellow = 0, blue = 0;
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) {
        int r = (pixels[i] >> 16) & 0xFF, g = (pixels[i] >> 8) & 0xFF, b = pixels[i] & 0xFF;
        if (r > 170 && g < 110 && b < 110)
            ++red;
        else if (r > 170 && g > 140 && b < 90)
            ++yellow;
        else if (b > 150 && r < 110)
            ++blue;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const int least = 10; // a few stray pixels of the desktop around the tail
    if (red >= least && red > yellow && red > blue) return TTI_ERROR;
    if (yellow >= least && yellow > blue) return TTI_WARNING;
    if (blue >= least) return TTI_INFO;
    return TTI_NONE;
}

bool ReadTrayBalloon(TTrayBalloon& balloon) {
    for (HWND tooltip : ShellTooltips()) {
        if (!(GetWindowLongA(tooltip, GWL_STYLE) & TTS_BALLOON) || !IsWindowVisible(tooltip))
            continue;
        TRemoteProcess remote(tooltip, TEXT_OFFSET + TEXT_CHARS * sizeof(wchar_t));
        if (!remote.Memory) continue;
        TTTOOLINFOW info = {};
        if (!ReadTool(tooltip, remote, 0, info, balloon.Text)) continue;
        balloon.Window = tooltip;
        balloon.Icon = BalloonIconOf(tooltip);
        return true;
    }
    return false;
}

// The build's artifacts folder (Windows path, trailing backslash) and the
// same folder as the host sees it.
static std::string ArtifactsFolder() {
    std::string folder = ExeFolder() + "..\\artifacts\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

static std::string HostPath(const std::string& windowsPath) {
    // Drive Z: is the host's root.
    if (windowsPath.size() < 3 || (windowsPath[0] != 'Z' && windowsPath[0] != 'z') ||
        windowsPath[1] != ':')
        return std::string();
    std::string path = windowsPath.substr(2);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool RunHostCommand(const std::string& command, DWORD timeoutMs) {
    // Wine starts host programs but hands out no process handle that could be
    // waited on: the command leaves a mark when it has finished.
    static int counter = 0;
    std::string mark = ArtifactsFolder() + ".host-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(++counter);
    DeleteFileA(mark.c_str());
    std::string commandLine = "Z:\\bin\\sh -c \"" + command + "; : >'" + HostPath(mark) + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    bool finished = WaitUntil([&] { return PathExists(mark); }, timeoutMs);
    DeleteFileA(mark.c_str());
    return finished;
}

// The desktop's X window, for xdotool and import.
static const char* const DesktopWindow =
    "$(xdotool search --name 'shell - Wine desktop' | head -1)";

bool ClickScreen(int x, int y, int button) {
    // The pointer comes from the middle of the desktop: a tooltip that it
    // raised where it rested (over a notification icon, say) is gone then.
    std::string move = std::string("xdotool mousemove --window ") + DesktopWindow + " ";
    return RunHostCommand(move + "400 300 sleep 0.2; " + move + std::to_string(x) + " " +
                              std::to_string(y) + " click " + std::to_string(button),
                          10000);
}

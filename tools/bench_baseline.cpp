// bench_baseline: the least a Win32 program of Kestrow's kind does, as the
// floor that scripts/bench.sh measures kestrow.exe against.
//   bench_baseline          registers a class, creates a hidden window, ends;
//   bench_baseline icon     also adds one notification icon and stays until
//                           WM_CLOSE; each WM_APP changes the icon's tooltip
//                           with one NIM_MODIFY.
#include <windows.h>
#include <shellapi.h>
#include <cstring>

namespace {

NOTIFYICONDATAA IconData;

LRESULT CALLBACK BaselineWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_APP:
        IconData.szTip[0] = static_cast<char>('A' + wParam % 2);
        return Shell_NotifyIconA(NIM_MODIFY, &IconData);
    case WM_DESTROY:
        if (IconData.hWnd) Shell_NotifyIconA(NIM_DELETE, &IconData);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = BaselineWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KestrowBaselineClass";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "baseline", 0, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (!window || std::strcmp(commandLine, "icon") != 0) return window ? 0 : 1;

    IconData.cbSize = NOTIFYICONDATAA_V2_SIZE;
    IconData.hWnd = window;
    IconData.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    IconData.uCallbackMessage = WM_APP + 1;
    IconData.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(IconData.szTip, "baseline", sizeof IconData.szTip);
    Shell_NotifyIconA(NIM_ADD, &IconData);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

#include "uStrConsts.h"
#include <windows.h>

std::string ResStr(unsigned id) {
    // LoadStringA with a zero buffer size is not available to ANSI callers,
    // so read into a buffer large enough for every fixed text.
    char buffer[256];
    int len = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, len > 0 ? len : 0);
}

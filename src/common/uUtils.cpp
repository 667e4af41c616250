#include "uUtils.h"
#include <windows.h>
#include <shlobj.h>

bool ToAnsi(const std::wstring& wide, std::string& text) {
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (length <= 0) return false;
    text.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], length, nullptr, &lossy);
    text.resize(static_cast<size_t>(length - 1));
    return !lossy;
}

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0 || path.size() >= 32768) return std::string();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string text;
    if (ToAnsi(path, text)) return text;
    // A folder such as one named in another alphabet: its 8.3 form opens.
    DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return std::string();
    std::wstring shortPath(length, L'\0');
    length = GetShortPathNameW(path.c_str(), &shortPath[0], length);
    shortPath.resize(length);
    return ToAnsi(shortPath, text) ? text : std::string();
}

std::string ExtractAppPath(const std::string& path) {
    size_t pos = path.find_last_of('\\');
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string GetAppDataFolder() {
    char buffer[MAX_PATH + 1] = {};
    // The current user's folder: no token, current (not default) path.
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return std::string();
    std::string folder(buffer);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolderPath(const std::string& path) {
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (folder.size() < 3) return true; // a drive such as C: counts as existing
    if (FolderExists(folder)) return true;
    // The parent ends at the last backslash. Always taking a strictly shorter
    // parent also ends the recursion for root-relative paths such as
    // "\\Orvane\\Kestrow" (used when the application-data folder is unknown).
    size_t pos = folder.find_last_of('\\');
    if (pos != std::string::npos && !MakeFolderPath(folder.substr(0, pos + 1))) return false;
    return CreateDirectoryA(folder.c_str(), nullptr) != 0;
}

char* CopyTextToBuffer(char* dest, const char* source, unsigned maxLen) {
    unsigned i = 0;
    for (; i < maxLen && source[i] != '\0'; ++i)
        dest[i] = source[i];
    dest[i] = '\0';
    return dest;
}

bool FileExists(const std::string& fileName) {
    HANDLE file = CreateFileA(fileName.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

TErrorModeGuard::TErrorModeGuard(unsigned mode) : Old(SetErrorMode(mode)) {}

TErrorModeGuard::~TErrorModeGuard() {
    SetErrorMode(Old);
}

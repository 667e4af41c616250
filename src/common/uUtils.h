// Path and text-copy helpers.
#pragma once
#include <string>

// The wide text in the ANSI code page; false when a character had no spelling.
bool ToAnsi(const std::wstring& wide, std::string& text);
// The executable's full path in a form the ANSI calls can open: as the
// system reports it, or its short form where the code page cannot spell a
// character of it. Empty when it cannot be had.
std::string ExecutablePath();
// The path up to and including its last backslash; empty without one.
std::string ExtractAppPath(const std::string& path);
// The user's application-data folder without trailing backslash, or empty.
std::string GetAppDataFolder();
bool FolderExists(const std::string& path);
// Creates the folder and its missing parents; true when it exists afterwards.
bool MakeFolderPath(const std::string& path);
// Copies at most maxLen characters of source and a terminating zero into dest,
// which must hold maxLen + 1 characters.
char* CopyTextToBuffer(char* dest, const char* source, unsigned maxLen);
// True when the named file can be opened (no access rights, no sharing);
// folders and files that cannot be opened count as absent.
bool FileExists(const std::string& fileName);

// Sets the process error mode for its lifetime and restores the previous
// mode when it goes out of scope, also when the scope is left early.
struct TErrorModeGuard {
    unsigned Old;
    explicit TErrorModeGuard(unsigned mode);
    ~TErrorModeGuard();
    TErrorModeGuard(const TErrorModeGuard&) = delete;
    TErrorModeGuard& operator=(const TErrorModeGuard&) = delete;
};

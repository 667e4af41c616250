#include "uSettings.h"
#include <string>
#include "RegIni.h"
#include "src/common/uGlobals.h"
#include "src/common/uStrConsts.h"
#include "src/common/uUtils.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/tray/uNotifyIcon.h"

bool Autostart;
bool HideIcon;
bool AutoClose;
bool ShowCloseDialog;
int CloseInterval;
bool ConfigurationLoaded;

void LoadSettings() {
    const std::string section = ResStr(IDS_SECTIONMAIN);
    CurrentDrive = static_cast<BYTE>(
        IniReadInteger(IniFileName, section, ResStr(IDS_KEYCURRENTDRIVE), 0) & 0xFF);
    // A drive that has gone since the last run: fall back to the first one.
    if (CurrentDrive >= CDCount) CurrentDrive = 0;
    Autostart = IniReadBool(IniFileName, section, ResStr(IDS_KEYAUTOSTART), true);
    HideIcon = IniReadBool(IniFileName, section, ResStr(IDS_KEYHIDEICON), false);
    AutoClose = IniReadBool(IniFileName, section, ResStr(IDS_KEYAUTOCLOSE), false);
    ShowCloseDialog = IniReadBool(IniFileName, section, ResStr(IDS_KEYSHOWCLOSEDIALOG), false);
    CloseInterval = IniReadInteger(IniFileName, section, ResStr(IDS_KEYCLOSEINTERVAL), 10);
    Language = RenamedLanguage(
        IniReadString(IniFileName, section, ResStr(IDS_KEYLANGUAGE), ResStr(IDS_DEFAULTLANGUAGE)));
    ApplySettings();
}

void ApplySettings() {
    ShowTrayIcon(HideIcon || CommandLineMode);
    SetAutostart(Autostart);
}

bool SaveSettings() {
    const std::string section = ResStr(IDS_SECTIONMAIN);
    return IniWriteInteger(IniFileName, section, ResStr(IDS_KEYCURRENTDRIVE), CurrentDrive) &&
           IniWriteBool(IniFileName, section, ResStr(IDS_KEYAUTOSTART), Autostart) &&
           IniWriteBool(IniFileName, section, ResStr(IDS_KEYHIDEICON), HideIcon) &&
           IniWriteBool(IniFileName, section, ResStr(IDS_KEYAUTOCLOSE), AutoClose) &&
           IniWriteBool(IniFileName, section, ResStr(IDS_KEYSHOWCLOSEDIALOG), ShowCloseDialog) &&
           IniWriteInteger(IniFileName, section, ResStr(IDS_KEYCLOSEINTERVAL), CloseInterval) &&
           IniWriteString(IniFileName, section, ResStr(IDS_KEYLANGUAGE), Language);
}

// The bytes of the copy reach the disk before the copy takes the file's place.
static bool FlushFileToDisk(const std::string& name) {
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return flushed;
}

// The profile API rewrites the whole file in place for every changed key: a
// process ended in the middle of that (killed, logged off) would leave a
// truncated file. The writes go to a copy instead, which then replaces the
// file with one rename.
bool SaveSettingsFile(bool (*write)()) {
    const std::string file = IniFileName;
    const std::string copy = file + ".new";
    // No file yet: the writes start from an empty one. A copy left by a save
    // that was cut short is overwritten or deleted.
    bool missing = GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES &&
                   GetLastError() == ERROR_FILE_NOT_FOUND;
    bool ready = missing ? DeleteFileA(copy.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND
                         : CopyFileA(file.c_str(), copy.c_str(), FALSE) != 0;
    bool saved = false;
    if (ready) {
        IniFileName = copy;
        bool written = write();
        IniFileName = file;
        // Lets the profile API's cache go of the copy before it is moved.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy.c_str());
        saved = written && FlushFileToDisk(copy) &&
                MoveFileExA(copy.c_str(), file.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!saved) DeleteFileA(copy.c_str());
    return saved;
}

void LoadConfiguration() {
    LoadSettings();
    LoadHotKeys();
    ConfigurationLoaded = true;
}

void SaveConfiguration() {
    // Settings that were never loaded hold zero values, not the user's.
    if (!ConfigurationLoaded) return;
    SaveSettingsFile([] { return SaveSettings() && SaveHotKeys(); });
    SetAutostart(Autostart);
}

std::string LogOnCommand(const std::string& path) {
    // Unquoted, "C:\Program Files\..." would first be tried as C:\Program.exe.
    return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

void SetAutostart(bool enable) {
    const std::string runKey = ResStr(IDS_RUNKEY);
    if (enable) {
        // Written at every start, so a value of an older version is replaced.
        std::string path = ExecutablePath();
        if (!path.empty())
            RegWriteString(HKEY_CURRENT_USER, runKey, ResStr(IDS_RUNVALUE), LogOnCommand(path));
    } else
        RegValueDelete(HKEY_CURRENT_USER, runKey, ResStr(IDS_RUNVALUE));
}

#include "uSettings.h"
#include <string>
#include "RegIni.h"
#include "../common/uGlobals.h"
#include "../common/uStrConsts.h"
#include "../common/uUtils.h"
#include "../hotkeys/uHotKeys.h"
#include "../language/uLanguage.h"
#include "../tray/uNotifyIcon.h"

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
    Language =
        IniReadString(IniFileName, section, ResStr(IDS_KEYLANGUAGE), ResStr(IDS_DEFAULTLANGUAGE));
    ApplySettings();
}

void ApplySettings() {
    ShowTrayIcon(HideIcon || CommandLineMode);
    SetAutostart(Autostart);
}

void SaveSettings() {
    const std::string section = ResStr(IDS_SECTIONMAIN);
    IniWriteInteger(IniFileName, section, ResStr(IDS_KEYCURRENTDRIVE), CurrentDrive);
    IniWriteBool(IniFileName, section, ResStr(IDS_KEYAUTOSTART), Autostart);
    IniWriteBool(IniFileName, section, ResStr(IDS_KEYHIDEICON), HideIcon);
    IniWriteBool(IniFileName, section, ResStr(IDS_KEYAUTOCLOSE), AutoClose);
    IniWriteBool(IniFileName, section, ResStr(IDS_KEYSHOWCLOSEDIALOG), ShowCloseDialog);
    IniWriteInteger(IniFileName, section, ResStr(IDS_KEYCLOSEINTERVAL), CloseInterval);
    IniWriteString(IniFileName, section, ResStr(IDS_KEYLANGUAGE), Language);
}

void LoadConfiguration() {
    LoadSettings();
    LoadHotKeys();
    ConfigurationLoaded = true;
}

void SaveConfiguration() {
    // Settings that were never loaded hold zero values, not the user's.
    if (!ConfigurationLoaded) return;
    SaveSettings();
    SaveHotKeys();
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

// Settings: section "Main", the whole settings file, and the log-on value.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "support/TestSupport.h"
#include "../src/app/uInitDestroy.h"
#include "../src/common/uGlobals.h"
#include "../src/hotkeys/uHotKeys.h"
#include "../src/language/uLanguage.h"
#include "../src/settings/uSettings.h"
#include "../src/tray/uNotifyIcon.h"

namespace {

const char* const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string ThisExecutable() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// The value's exact data, or false when it is missing or not a text.
bool ReadRunValue(const char* name, std::string& value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char data[2048];
    DWORD size = sizeof data, type = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return false;
    value.assign(data, size > 0 && data[size - 1] == '\0' ? size - 1 : size);
    return true;
}

void WriteRunValue(const char* name, const std::string& value) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void DeleteRunValue(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RunKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// The non-blank lines of a file, without line ends.
std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = ReadTextFile(path), line;
    for (char c : text + "\n") {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

// Whether the shell holds the program's icon: only an icon that is there can
// be modified.
bool IconShown() {
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NotifyIconData.cbSize ? NotifyIconData.cbSize : sizeof probe;
    probe.hWnd = MainWindow;
    probe.uID = NotifyIconData.uID;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        IniFileName = NewTempFolder() + "kestrow.ini";
        DeleteRunValue("Kestrow");
    }
    void TearDown() override {
        UnregisterAllHotKeys();
        ResetProgramState();
        DeleteRunValue("Kestrow");
        DeleteRunValue("Other");
    }
};

TEST_F(SettingsTest, FirstStartWithoutFileGivesTheDefaultsAndRegistersForLogOn) {
    UseDriveList("DE");
    ASSERT_FALSE(PathExists(IniFileName));
    LoadConfiguration();
    EXPECT_TRUE(ConfigurationLoaded);
    EXPECT_EQ(0, CurrentDrive);
    EXPECT_TRUE(Autostart);
    EXPECT_FALSE(HideIcon);
    EXPECT_FALSE(AutoClose);
    EXPECT_FALSE(ShowCloseDialog);
    EXPECT_EQ(10, CloseInterval);
    EXPECT_EQ("English", Language);
    for (const THotKeyRecord& record : HotKeys)
        EXPECT_EQ(THotKeyRecord{}, record);
    EXPECT_EQ(0, GlobalHotKeys[0]);
    EXPECT_EQ(0, GlobalHotKeys[1]);

    std::string run;
    ASSERT_TRUE(ReadRunValue("Kestrow", run));
    EXPECT_EQ(ThisExecutable(), run); // the full path, no quotes, no parameters
    // Loading writes nothing into the settings file.
    EXPECT_FALSE(PathExists(IniFileName));
}

TEST_F(SettingsTest, StoredValuesAreLoaded) {
    struct {
        const char* Main;
        BYTE CurrentDrive;
        bool Autostart, HideIcon, AutoClose, ShowCloseDialog;
        int CloseInterval;
        const char* Language;
    } const cases[] = {
        {"CurrentDrive=2\r\nAutostart=0\r\nHideIcon=1\r\nAutoClose=1\r\nShowCloseDialog=1\r\n"
         "CloseInterval=25\r\nLanguage=Deutsch\r\n",
         2, false, true, true, true, 25, "Deutsch"},
        // Only the low 8 bits of the drive index count; 2 is true, 256 false.
        {"CurrentDrive=257\r\nAutostart=2\r\nHideIcon=256\r\nCloseInterval=-3\r\n", 1, true, false,
         false, false, -3, "English"},
        // Present but empty values read as 0 and the empty text.
        {"CurrentDrive=\r\nAutostart=\r\nCloseInterval=\r\nLanguage=\r\n", 0, false, false, false,
         false, 0, ""},
        // A drive that is not there any more: the first drive instead.
        {"CurrentDrive=3\r\n", 0, true, false, false, false, 10, "English"},
        {"CurrentDrive=255\r\n", 0, true, false, false, false, 10, "English"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Main);
        UseDriveList("DEF");
        WriteTextFile(IniFileName, std::string("[Main]\r\n") + c.Main);
        LoadConfiguration();
        EXPECT_EQ(c.CurrentDrive, CurrentDrive);
        EXPECT_EQ(c.Autostart, Autostart);
        EXPECT_EQ(c.HideIcon, HideIcon);
        EXPECT_EQ(c.AutoClose, AutoClose);
        EXPECT_EQ(c.ShowCloseDialog, ShowCloseDialog);
        EXPECT_EQ(c.CloseInterval, CloseInterval);
        EXPECT_EQ(c.Language, Language);
        std::string run;
        EXPECT_EQ(c.Autostart, ReadRunValue("Kestrow", run));
        ResetProgramState();
    }
}

TEST_F(SettingsTest, AutostartOffRemovesOnlyTheProgramsValue) {
    UseDriveList("D");
    WriteRunValue("Kestrow", "C:\\old\\kestrow.exe");
    WriteRunValue("Other", "C:\\other.exe");
    WriteTextFile(IniFileName, "[Main]\r\nAutostart=0\r\n");
    std::string run;
    for (int start = 1; start <= 2; ++start) { // the second time the value is already gone
        SCOPED_TRACE(start);
        LoadSettings();
        EXPECT_FALSE(Autostart);
        EXPECT_FALSE(ReadRunValue("Kestrow", run));
        ASSERT_TRUE(ReadRunValue("Other", run));
        EXPECT_EQ("C:\\other.exe", run);
    }
    // Switched on again, the value comes back with the current path.
    Autostart = true;
    SaveSettings();
    LoadSettings();
    ASSERT_TRUE(ReadRunValue("Kestrow", run));
    EXPECT_EQ(ThisExecutable(), run);
}

TEST_F(SettingsTest, TheLogOnCommandNamesThePathAsOneWordAndReplacesAnOldValue) {
    // The shell splits the value as a command line: the program must be its
    // one and only word, whether or not its path has blanks.
    for (const char* path :
         {"C:\\Kestrow\\kestrow.exe", "C:\\Program Files\\Kestrow\\kestrow.exe",
          "C:\\Program Files (x86)\\My Tools\\kestrow.exe", "D:\\a b\\c d.exe"}) {
        SCOPED_TRACE(path);
        const std::string command = LogOnCommand(path);
        std::wstring wide(command.begin(), command.end());
        int count = 0;
        LPWSTR* words = CommandLineToArgvW(wide.c_str(), &count);
        ASSERT_TRUE(words);
        ASSERT_EQ(1, count);
        EXPECT_EQ(std::wstring(path, path + lstrlenA(path)), words[0]);
        LocalFree(words);
        // Quotes only where needed: a value without blanks stays as before.
        EXPECT_EQ(std::string(path).find(' ') != std::string::npos, command[0] == '"');
    }
    // An unquoted value of an older version is simply replaced at the start.
    UseDriveList("D");
    WriteRunValue("Kestrow", "C:\\Program Files\\Kestrow\\kestrow.exe");
    LoadSettings();
    std::string run;
    ASSERT_TRUE(ReadRunValue("Kestrow", run));
    EXPECT_EQ(LogOnCommand(ThisExecutable()), run);
}

TEST_F(SettingsTest, SavedFileListsMainThenEachDriveThenOtherHotKeys) {
    UseDriveList("DEF");
    LoadConfiguration();
    CurrentDrive = 1;
    HideIcon = true;
    CloseInterval = 120;
    Language = "Deutsch";
    HotKeys[1][caBrowse] = MAKEWORD('B', HOTKEYF_CONTROL);
    HotKeys[2][caToggle] = MAKEWORD(VK_F11, HOTKEYF_SHIFT | HOTKEYF_ALT);
    GlobalHotKeys[0] = MAKEWORD('H', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    DeleteRunValue("Kestrow");
    SaveConfiguration();

    const std::vector<std::string> expected = {
        "[Main]",
        "CurrentDrive=1",
        "Autostart=1",
        "HideIcon=1",
        "AutoClose=0",
        "ShowCloseDialog=0",
        "CloseInterval=120",
        "Language=Deutsch",
        "[D:]",
        "Browse=",
        "Autorun=",
        "OpenClose=",
        "[E:]",
        "Browse=Ctrl+B",
        "Autorun=",
        "OpenClose=",
        "[F:]",
        "Browse=",
        "Autorun=",
        "OpenClose=Shift+Alt+F11",
        "[OtherHotKeys]",
        "HideIconHotKey=Shift+Ctrl+H",
        "CloseProgramHotkey=",
    };
    EXPECT_EQ(expected, FileLines(IniFileName));
    std::string run;
    ASSERT_TRUE(ReadRunValue("Kestrow", run));
    EXPECT_EQ(ThisExecutable(), run);

    // What was saved loads back.
    ResetProgramState();
    UseDriveList("DEF");
    LoadConfiguration();
    EXPECT_EQ(1, CurrentDrive);
    EXPECT_TRUE(HideIcon);
    EXPECT_EQ(120, CloseInterval);
    EXPECT_EQ("Deutsch", Language);
    EXPECT_EQ(MAKEWORD('B', HOTKEYF_CONTROL), HotKeys[1][caBrowse]);
    EXPECT_EQ(MAKEWORD(VK_F11, HOTKEYF_SHIFT | HOTKEYF_ALT), HotKeys[2][caToggle]);
    EXPECT_EQ(MAKEWORD('H', HOTKEYF_CONTROL | HOTKEYF_SHIFT), GlobalHotKeys[0]);
}

TEST_F(SettingsTest, TheIconIsHiddenByTheSettingOrInCommandLineMode) {
    struct {
        const char* Main;
        bool CommandLine;
        bool Shown;
    } const cases[] = {
        {"HideIcon=1\r\n", false, false}, {"HideIcon=0\r\n", false, true}, {"", false, true},
        {"HideIcon=0\r\n", true, false},  {"HideIcon=1\r\n", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Main) + (c.CommandLine ? " command line" : ""));
        UseDriveList("D");
        CommandLineMode = c.CommandLine;
        WriteTextFile(IniFileName, std::string("[Main]\r\n") + c.Main);
        AddTrayIcon(); // as the start-up does, before the settings
        LoadSettings();
        EXPECT_EQ(c.Shown, IconShown());
        RemoveTrayIcon();
        EXPECT_FALSE(IconShown());
        ResetProgramState();
    }
}

// A save writes a copy beside the file and moves it over the file. Whatever
// stands in its way, the file is either the old one or the new one, other
// sections included, and no copy is left behind.
TEST_F(SettingsTest, ASaveReplacesTheFileWholeOrLeavesItAsItWas) {
    const std::string others = "; kept\r\n[Other]\r\nValue=1\r\n";
    const std::string old = others + "[Main]\r\nCloseInterval=$14\r\n";
    enum TObstacle { obNone, obStaleCopy, obNoFile, obLocked, obHeldOpen, obCopyIsFolder };
    struct {
        TObstacle Obstacle;
        bool Saved;
    } const cases[] = {
        {obNone, true},    {obStaleCopy, true}, {obNoFile, true},
        {obLocked, false}, {obHeldOpen, false}, {obCopyIsFolder, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Obstacle);
        ResetProgramState();
        IniFileName = NewTempFolder() + "kestrow.ini";
        const std::string copy = IniFileName + ".new";
        if (c.Obstacle != obNoFile) WriteTextFile(IniFileName, old);
        if (c.Obstacle == obStaleCopy) WriteTextFile(copy, "[Main]\r\nCloseInt");
        if (c.Obstacle == obCopyIsFolder) CreateDirectoryA(copy.c_str(), nullptr);
        // Locked: no sharing at all. Held open: read by another program, so
        // the copy can be made but the file cannot be replaced.
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.Obstacle == obLocked || c.Obstacle == obHeldOpen)
            held = CreateFileA(IniFileName.c_str(), GENERIC_READ,
                               c.Obstacle == obLocked ? 0 : FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        UseDriveList("D");
        LoadConfiguration();
        EXPECT_EQ(c.Saved, SaveSettingsFile([] { return SaveSettings() && SaveGlobalHotKeys(); }));
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

        const std::string now = ReadTextFile(IniFileName);
        if (c.Saved) {
            // $14 is written back as 20; a new file has the default 10.
            bool fresh = c.Obstacle == obNoFile;
            EXPECT_EQ(fresh ? std::string::npos : 0, now.find(others)) << now;
            EXPECT_NE(std::string::npos, now.find(fresh ? "Interval=10\r\n" : "Interval=20\r\n"));
            EXPECT_NE(std::string::npos, now.find("[OtherHotKeys]")) << now;
        } else {
            EXPECT_EQ(old, now);
        }
        EXPECT_EQ(c.Obstacle == obCopyIsFolder, PathExists(copy));
    }
}

// The shutdown that follows the no-drive message runs before anything was
// loaded: the stored settings, hotkeys and log-on value stay as they are.
TEST_F(SettingsTest, SettingsThatWereNeverLoadedAreNeverSaved) {
    const std::string stored = "[Main]\r\nCurrentDrive=1\r\nAutostart=1\r\nLanguage=Deutsch\r\n"
                               "[D:]\r\nBrowse=Ctrl+B\r\n";
    WriteTextFile(IniFileName, stored);
    WriteRunValue("Kestrow", "C:\\kept\\kestrow.exe");

    CommandLineMode = false;
    EndProgram(); // no drive list, nothing loaded
    SaveConfiguration();
    UseDriveList("D");
    SaveConfiguration();

    EXPECT_EQ(stored, ReadTextFile(IniFileName));
    std::string run;
    ASSERT_TRUE(ReadRunValue("Kestrow", run));
    EXPECT_EQ("C:\\kept\\kestrow.exe", run);
}

} // namespace

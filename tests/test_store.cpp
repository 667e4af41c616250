// The store: the settings file, the log-on value, and what the options
// sheet's OK, Apply and Cancel leave in them.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <commctrl.h>
#include <prsht.h>
#include <functional>
#include "tests/support/TestSupport.h"
#include "src/app/uInitDestroy.h"
#include "src/hotkeys/uHotKeys.h"
#include "src/language/uLanguage.h"
#include "src/options/uOptionsDialog.h"
#include "src/settings/uSettings.h"
#include "src/tray/uNotifyIcon.h"
#include "res/resource.h"

namespace {

const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr WORD CTRL_ALT = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;

std::string RunValue(const char* name = "Kestrow") {
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    return SHGetValueA(HKEY_CURRENT_USER, RunKey, name, nullptr, data, &size) ? "none" : data;
}

void SetRunValue(const char* name, const char* value) { // removed when value is null
    value ? SHSetValueA(HKEY_CURRENT_USER, RunKey, name, REG_SZ, value, lstrlenA(value) + 1)
          : SHDeleteValueA(HKEY_CURRENT_USER, RunKey, name);
}

// The words of a command line as the shell splits them.
std::vector<std::string> Words(const std::string& command) {
    int count = 0;
    LPWSTR* words =
        CommandLineToArgvW(std::wstring(command.begin(), command.end()).c_str(), &count);
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i)
        result.emplace_back(words[i], words[i] + lstrlenW(words[i]));
    LocalFree(words);
    return result;
}

// A fresh start: no settings file, no log-on value.
void Start() {
    EnsureMainWindow();
    ResetProgramState();
    IniFileName = NewTempFolder() + "kestrow.ini";
    SetRunValue("Kestrow", nullptr);
}

// The shutdown after the no-drive message comes before anything was loaded:
// it saves nothing. A start writes the log-on value, quoted where it must be,
// over an older version's; with Autostart off it removes that value alone.
TEST(Store, SettingsSaveOnlyOnceLoadedLoadBackAndSetTheLogOnValue) {
    Start();
    const std::string stored = "[Main]\r\nCurrentDrive=1\r\n[D:]\r\nBrowse=Ctrl+B\r\n";
    WriteTextFile(IniFileName, stored);
    SetRunValue("Kestrow", "C:\\Program Files\\Old\\kestrow.exe");
    EndProgram();
    UseDriveList("D");
    SaveConfiguration();
    EXPECT_EQ(stored, ReadTextFile(IniFileName));
    EXPECT_EQ("C:\\Program Files\\Old\\kestrow.exe", RunValue());
    for (const char* path : {"C:\\Kestrow\\kestrow.exe", "C:\\Program Files\\Kestrow\\kestrow.exe",
                             "C:\\Program Files (x86)\\My Tools\\kestrow.exe", "D:\\a b\\c d.exe"})
        EXPECT_EQ(std::vector<std::string>{path}, Words(LogOnCommand(path)));
    Start();
    SetRunValue("Kestrow", "C:\\Program Files\\Old\\kestrow.exe");
    UseDriveList("DEF");
    LoadConfiguration(); // no file: the defaults
    EXPECT_EQ((std::vector<int>{0, 1, 0, 0, 0, 10, 0, 0}),
              (std::vector<int>{CurrentDrive, Autostart, HideIcon, AutoClose, ShowCloseDialog,
                                CloseInterval, GlobalHotKeys[ghHideIcon],
                                GlobalHotKeys[ghCloseProgram]}));
    EXPECT_TRUE(Language == "English" && HotKeys == THotKeyList(3));
    EXPECT_EQ(std::vector<std::string>{ExeFolder() + "test_store.exe"}, Words(RunValue()));
    EXPECT_FALSE(PathExists(IniFileName));
    CurrentDrive = 2;
    HideIcon = ShowCloseDialog = true;
    CloseInterval = 120;
    Language = "Deutsch";
    HotKeys[1][caBrowse] = MAKEWORD('B', HOTKEYF_CONTROL);
    HotKeys[2][caToggle] = MAKEWORD(VK_F11, HOTKEYF_SHIFT | HOTKEYF_ALT);
    GlobalHotKeys[ghCloseProgram] = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    const std::string expected =
        "[Main]\r\nCurrentDrive=2\r\nAutostart=1\r\nHideIcon=1\r\nAutoClose=0\r\n"
        "ShowCloseDialog=1\r\nCloseInterval=120\r\nLanguage=Deutsch\r\n"
        "[D:]\r\nBrowse=\r\nAutorun=\r\nOpenClose=\r\n"
        "[E:]\r\nBrowse=Ctrl+B\r\nAutorun=\r\nOpenClose=\r\n"
        "[F:]\r\nBrowse=\r\nAutorun=\r\nOpenClose=Shift+Alt+F11\r\n"
        "[OtherHotKeys]\r\nHideIconHotKey=\r\nCloseProgramHotkey=Shift+Ctrl+Q\r\n";
    for (const char* letters : {"DEF", "DE"}) { // what was saved loads back and saves the same
        DeleteFileA(IniFileName.c_str());
        SaveConfiguration();
        EXPECT_EQ(expected, ReadTextFile(IniFileName)) << letters;
        ResetProgramState();
        UseDriveList(letters);
        LoadConfiguration();
    }
    EXPECT_EQ(0, CurrentDrive); // F has gone: the first drive is current
    // Languages stored under the names of files since renamed choose the files
    // (this program runs under code page 1252); other names stay as stored.
    const std::pair<const char*, const char*> languages[] = {{"Fran\347ais", "Francais"},
                                                             {"espa\321ol", "Espanol"},
                                                             {"Deutsch", "Deutsch"},
                                                             {"Francais", "Francais"},
                                                             {"Klingon", "Klingon"}};
    for (const auto& [stored, chosen] : languages) {
        WriteTextFile(IniFileName, std::string("[Main]\r\nLanguage=") + stored + "\r\n");
        LoadSettings();
        EXPECT_EQ(chosen, Language) << stored;
    }
    SetRunValue("Other", "C:\\other.exe");
    WriteTextFile(IniFileName, "[Main]\r\nAutostart=0\r\n");
    for (int start = 1; start <= 2; ++start) { // the second time there is nothing to remove
        LoadSettings();
        EXPECT_EQ("none", RunValue()) << start;
        EXPECT_EQ("C:\\other.exe", RunValue("Other")) << start;
    }
}

// A save goes to a copy that replaces the file in one step: whatever stands
// in the way, the file is the new one or the old one, never a part. Obstacles
// ('+' saved): none, a stale copy, no file, the file locked, the file held open
// for reading (copied but not replaced), a folder named as the copy.
TEST(Store, ASaveReplacesTheFileWholeOrLeavesItAsItWas) {
    const std::string others = "; kept\r\n[Other]\r\nValue=1\r\n";
    const std::string old = others + "[Main]\r\nCloseInterval=$14\r\n";
    for (const char* c : {"-+", "s+", "n+", "l", "h", "f"}) {
        SCOPED_TRACE(c);
        Start();
        const std::string copy = IniFileName + ".new";
        if (*c != 'n') WriteTextFile(IniFileName, old);
        if (*c == 's') WriteTextFile(copy, "[Main]\r\nCloseInt");
        if (*c == 'f') CreateDirectoryA(copy.c_str(), nullptr);
        HANDLE held =
            CreateFileA(IniFileName.c_str(), GENERIC_READ, *c == 'h' ? FILE_SHARE_READ : 0, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        if (*c != 'l' && *c != 'h') CloseHandle(held);
        UseDriveList("D");
        LoadConfiguration();
        EXPECT_EQ(c[1] == '+',
                  SaveSettingsFile([] { return SaveSettings() && SaveGlobalHotKeys(); }));
        if (*c == 'l' || *c == 'h') CloseHandle(held);
        const std::string now = ReadTextFile(IniFileName);
        // $14 is written back as 20; a new file has the default 10.
        const size_t at = now.find(!c[1]       ? old
                                   : *c == 'n' ? "Interval=10\r\n"
                                               : others + "[Main]\r\nCloseInterval=20\r\n");
        EXPECT_TRUE(*c == 'n' ? at != std::string::npos : at == 0 && (c[1] || now == old)) << now;
        EXPECT_EQ(*c == 'f', PathExists(copy));
    }
}

TEST(Store, TheSheetsButtonsSaveAndRegisterWhatTheyShould) {
    Start();
    UseDriveList("DE");
    HotKeys[0][caToggle] = CTRL_ALT | 'O';
    HotKeys[1][caBrowse] = CTRL_ALT | 'E';
    GlobalHotKeys[ghHideIcon] = CTRL_ALT | 'H';
    RegisterAllHotKeys();
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'X')); // another program's
    // Types a combination into a field of the hotkeys page, then presses a button.
    auto typeAndPress = [](int field, WORD hotKey, int button) {
        return WithSheet([&](HWND sheet) {
            PropSheet_SetCurSel(sheet, nullptr, 1);
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            SendDlgItemMessageA(page, field, HKM_SETHOTKEY, hotKey, 0);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(field, EN_CHANGE), 0);
            PropSheet_PressButton(sheet, button);
        });
    };
    auto taken = [] { // of the program's combinations and the one typed first
        std::string keys;
        for (char key : {'O', 'E', 'H', 'Q'})
            keys += CombinationTaken(MOD_CONTROL | MOD_ALT, key) ? key : '-';
        return keys;
    };
    ASSERT_TRUE(typeAndPress(IDC_HK_OPENCLOSE, CTRL_ALT | 'Q', PSBTN_CANCEL));
    EXPECT_FALSE(PathExists(IniFileName));
    EXPECT_EQ("OEH-", taken());
    ASSERT_TRUE(WithSheet([](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); }));
    EXPECT_EQ("[Main]\r\nCurrentDrive=0\r\nAutostart=0\r\nHideIcon=0\r\nAutoClose=0\r\n"
              "ShowCloseDialog=0\r\nCloseInterval=0\r\nLanguage=\r\n",
              ReadTextFile(IniFileName)); // the first page only
    EXPECT_EQ("OEH-", taken());
    // Another program's combination is kept and saved, and those after it registered.
    ASSERT_TRUE(typeAndPress(IDC_HK_BROWSE, CTRL_ALT | 'X', PSBTN_OK)); // D's, before E's
    EXPECT_EQ(CTRL_ALT | 'X', HotKeys[0][caBrowse]);
    EXPECT_NE(std::string::npos, ReadTextFile(IniFileName).find("[D:]\r\nBrowse=Ctrl+Alt+X\r\n"));
    EXPECT_TRUE(UnregisterHotKey(nullptr, 1)); // still the other program's
    EXPECT_EQ("OEH-", taken());
    // Apply puts the settings to work even where the file cannot be written.
    DeleteFileA(IniFileName.c_str());
    CreateDirectoryA(IniFileName.c_str(), nullptr);
    Autostart = true;
    ApplySettings();
    NOTIFYICONDATAA probe = NotifyIconData; // only an icon that is there can be modified
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));
    ASSERT_TRUE(WithSheet([](HWND sheet) {
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        SendDlgItemMessageA(page, IDC_AUTOSTART, BM_CLICK, 0, 0); // off
        SendDlgItemMessageA(page, IDC_HIDEICON, BM_CLICK, 0, 0);  // on
        PropSheet_PressButton(sheet, PSBTN_APPLYNOW);
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    }));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));
    EXPECT_EQ("none", RunValue());
    UnregisterAllHotKeys();
    RemoveTrayIcon();
}

} // namespace

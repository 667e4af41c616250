// A machine whose only CD/DVD drive (V) lies beyond U: the program finds no
// drive, says so in the stored language and ends, leaving what is stored alone.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include "tests/support/Probe.h"
#include "tests/support/TestSupport.h"
#include "src/drives/uCDTools.h"
#include "src/language/uLanguage.h"
#include "src/tray/uNotifyIcon.h"

namespace {

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

TEST(NoDrive, NoDriveIsListedAndTheMessageIsInTheStoredLanguage) {
    ASSERT_EQ(UINT(DRIVE_CDROM), GetDriveTypeA("V:"));
    TCDList list;
    EXPECT_EQ(0, GetCDDrives(list));
    EnsureMainWindow();
    const std::string folder = NewTempFolder();
    WriteTextFile(folder + "English.lng", "[Main]\r\n2003=No drive here\r\n");
    WriteTextFile(folder + "Pirate.lng", "[Main]\r\n2003=Arr, no drive\r\n");
    const struct {
        const char* Settings; // none in command-line mode
        const char* Text;
    } cases[] = {{"[Main]\r\nLanguage=Pirate\r\n", "Arr, no drive"},
                 {"[Main]\r\nLanguage=Klingon\r\n", "No drive here"}, // no such file
                 {nullptr, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text ? c.Text : "command line");
        ResetProgramState();
        CommandLineMode = !c.Settings;
        BalloonEndDelay = 3000;
        AppPath = folder;
        IniFileName = folder + "kestrow.ini";
        WriteTextFile(IniFileName, c.Settings ? c.Settings : "");
        AddTrayIcon(); // as the start-up does before it lists the drives
        InitDrives();
        // In command-line mode the end is at once; else the balloon is read
        // first, as the end takes the icon and so the balloon away.
        EXPECT_EQ(!c.Settings, QuitPosted());
        EXPECT_TRUE(WaitUntil([&] { return !c.Text || BalloonShown(c.Text); }, 5000));
        EXPECT_TRUE(WaitUntil(QuitPosted, 10000));
        EXPECT_TRUE(WaitUntil([&] { return !c.Text || !BalloonShown(c.Text); }, 5000));
        EXPECT_TRUE(LanguageFileName.empty()); // still no language loaded
        EXPECT_EQ(c.Settings ? c.Settings : "", ReadTextFile(IniFileName));
    }
    ResetProgramState();
}

TEST(NoDrive, TheProgramEndsAndLeavesTheSettingsAndTheLogOnValueAlone) {
    // Values that a save of unloaded settings or a start-up would rewrite.
    const std::string stored = "[Main]\r\nCurrentDrive=2\r\nAutostart=1\r\nCloseInterval=15\r\n";
    const char run[] = "C:\\Old place\\kestrow.exe";
    const std::string path = SettingsFilePath();
    SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
    WriteTextFile(path, stored);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER,
                                             "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "Kestrow", 0, REG_SZ, reinterpret_cast<const BYTE*>(run), sizeof run);
    for (const char* params : {"", "O", "X"}) {
        SCOPED_TRACE(params);
        EXPECT_EQ(0, RunKestrow(params, 20000));
        EXPECT_EQ(stored, ReadTextFile(path));
        char data[64] = {};
        DWORD size = sizeof data - 1;
        RegQueryValueExA(key, "Kestrow", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        EXPECT_STREQ(run, data);
    }
    RegCloseKey(key);
}

} // namespace

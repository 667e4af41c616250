// A machine whose only CD/DVD drive (V) lies beyond U: the program finds no
// drive, says so in the stored language and ends, leaving what is stored alone.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include "tests/support/TestSupport.h"
#include "src/drives/uCDTools.h"
#include "src/language/uLanguage.h"
#include "src/tray/uNotifyIcon.h"

namespace {

TEST(NoDrive, TheProgramSaysSoInTheStoredLanguageAndEndsLeavingWhatIsStoredAlone) {
    ASSERT_EQ(UINT(DRIVE_CDROM), GetDriveTypeA("V:"));
    EnsureMainWindow();
    AppPath = NewTempFolder();
    IniFileName = AppPath + "kestrow.ini";
    WriteTextFile(AppPath + "English.lng", "[Main]\r\n2003=No drive here\r\n");
    WriteTextFile(AppPath + "Pirate.lng", "[Main]\r\n2003=Arr, no drive\r\n");
    MSG m;
    const auto quit = [&] { return PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0; };
    // The stored language and the balloon's text; none in command-line mode.
    for (auto [language, text] : {std::pair<const char*, const char*>{"Pirate", "Arr, no drive"},
                                  {"Klingon", "No drive here"},
                                  {"", nullptr}}) {
        SCOPED_TRACE(language);
        const std::string settings = text ? "[Main]\r\nLanguage=" + std::string(language) : "";
        ResetProgramState();
        CommandLineMode = !text;
        BalloonEndDelay = 3000;
        WriteTextFile(IniFileName, settings);
        AddTrayIcon(); // as the start-up does before it lists the drives
        InitDrives();  // the balloon is read before the end takes the icon away
        EXPECT_EQ(!text, quit());
        EXPECT_TRUE(WaitUntil([&] { return !text || BalloonShown(text); }, 5000));
        EXPECT_TRUE(WaitUntil(quit, 10000));
        EXPECT_TRUE(WaitUntil([&] { return !text || !BalloonShown(text); }, 5000));
        EXPECT_TRUE(LanguageFileName.empty()); // still no language loaded
        EXPECT_EQ(settings, ReadTextFile(IniFileName));
    }
    // The real program, with values that a save of unloaded settings or a start-up would rewrite.
    const std::string stored = "[Main]\r\nCurrentDrive=2\r\nAutostart=1\r\nCloseInterval=15\r\n",
                      path = SettingsFilePath();
    const char run[] = "C:\\Old place\\kestrow.exe";
    SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
    WriteTextFile(path, stored);
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ASSERT_EQ(0, RegSetValueExA(key, "Kestrow", 0, REG_SZ, reinterpret_cast<const BYTE*>(run),
                                sizeof run));
    for (const char* params : {"", "O", "X"}) {
        EXPECT_EQ(0, RunKestrow(params, 20000)) << params;
        char data[64] = {};
        DWORD size = sizeof data - 1;
        RegQueryValueExA(key, "Kestrow", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        EXPECT_TRUE(stored == ReadTextFile(path) && !strcmp(run, data)) << params << data;
    }
    RegCloseKey(key);
}

} // namespace

// A machine whose only CD/DVD drive lies beyond U (V=backup): the program
// finds no drive, says so and ends, leaving everything stored as it was.
#include <gtest/gtest.h>
#include <windows.h>
#include "support/Probe.h"
#include "support/TestSupport.h"
#include "../src/common/uGlobals.h"
#include "../src/drives/uCDTools.h"
#include "../src/language/uLanguage.h"
#include "../src/tray/uNotifyIcon.h"

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct TRegValue {
    LONG Result;
    DWORD Type;
    std::string Data;
};

TRegValue ReadRunValue() {
    TRegValue value = {ERROR_FILE_NOT_FOUND, 0, std::string()};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    char data[1024] = {};
    DWORD size = sizeof data;
    value.Result = RegQueryValueExA(key, "Kestrow", nullptr, &value.Type,
                                    reinterpret_cast<BYTE*>(data), &size);
    value.Data.assign(data, size);
    RegCloseKey(key);
    return value;
}

void WriteRunValue(const std::string& data) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, "Kestrow", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

TEST(NoDrive, ADriveBeyondUIsNotListed) {
    ASSERT_EQ(UINT(DRIVE_CDROM), GetDriveTypeA("V:")); // the fixture is there
    TCDList list;
    EXPECT_EQ(0, GetCDDrives(list));
    EXPECT_TRUE(list.empty());
}

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

TEST(NoDrive, MessageIsInTheStoredLanguageThoughNoneIsLoadedYet) {
    EnsureMainWindow();
    std::string folder = NewTempFolder();
    WriteTextFile(folder + "English.lng", "[Main]\r\n2003=No drive here\r\n2004=says\r\n");
    WriteTextFile(folder + "Pirate.lng", "[Main]\r\n2003=Arr, no drive\r\n2004=growls\r\n");
    // The balloon's title, text 2004, comes from the same file: "Kestrow
    // growls" and "Kestrow says" on screen.
    struct {
        const char* Settings;
        const char* Text;
    } cases[] = {
        {"[Main]\r\nLanguage=Pirate\r\n", "Arr, no drive"},
        {"[Main]\r\nLanguage=Klingon\r\n", "No drive here"}, // no such file
        {nullptr, "No drive here"},                          // no settings
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        ResetProgramState();
        BalloonEndDelay = 3000;
        AppPath = folder;
        IniFileName = folder + "kestrow.ini";
        DeleteFileA(IniFileName.c_str());
        if (c.Settings) WriteTextFile(IniFileName, c.Settings);
        AddTrayIcon(); // as the start-up does before it lists the drives
        InitDrives();
        EXPECT_EQ(0, CDCount);
        // The program waits for the balloon to be read before it ends, as the
        // end takes the icon and so the balloon away.
        EXPECT_FALSE(QuitPosted());
        EXPECT_TRUE(WaitUntil([&] { return BalloonShown(c.Text); }, 5000));
        EXPECT_TRUE(WaitUntil(QuitPosted, 10000));
        EXPECT_TRUE(WaitUntil([&] { return !BalloonShown(c.Text); }, 5000));
        EXPECT_TRUE(LanguageFileName.empty()); // the program has still loaded no language
        EXPECT_EQ(c.Settings ? c.Settings : "", ReadTextFile(IniFileName));
    }
    ResetProgramState();
}

TEST(NoDrive, InCommandLineModeTheProgramEndsAtOnce) {
    EnsureMainWindow();
    ResetProgramState();
    CommandLineMode = true;
    AppPath = ExeFolder();
    IniFileName = NewTempFolder() + "kestrow.ini";
    AddTrayIcon();
    InitDrives();
    EXPECT_TRUE(QuitPosted());
    ResetProgramState();
}

TEST(NoDrive, ProgramEndsAndLeavesSettingsAndLogOnValueAlone) {
    std::string path = SettingsFilePath();
    std::string folder = path.substr(0, path.find_last_of('\\'));
    CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    // Settings that a save of unloaded (zero) values would change, and a
    // log-on value that a start-up would rewrite with this executable's path.
    const std::string stored = "[Main]\r\nCurrentDrive=2\r\nAutostart=1\r\nHideIcon=0\r\n"
                               "AutoClose=1\r\nShowCloseDialog=1\r\nCloseInterval=15\r\n"
                               "Language=English\r\n[D:]\r\nBrowse=Ctrl+Alt+B\r\nAutorun=\r\n"
                               "OpenClose=\r\n[OtherHotKeys]\r\nHideIconHotKey=\r\n"
                               "CloseProgramHotkey=Ctrl+Alt+Q\r\n";
    WriteTextFile(path, stored);
    WriteRunValue("C:\\Old place\\kestrow.exe");
    TRegValue before = ReadRunValue();
    ASSERT_EQ(ERROR_SUCCESS, before.Result);

    for (const char* params : {"", "O", "X"}) {
        SCOPED_TRACE(params);
        EXPECT_EQ(0, RunKestrow(params, 20000));
        EXPECT_EQ(stored, ReadTextFile(path));
        TRegValue after = ReadRunValue();
        EXPECT_EQ(before.Result, after.Result);
        EXPECT_EQ(before.Type, after.Type);
        EXPECT_EQ(before.Data, after.Data);
    }
}

} // namespace

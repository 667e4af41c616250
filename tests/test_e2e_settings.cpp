// The real executable: settings across runs, and hotkeys pressed on the
// X keyboard with xdotool.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "support/Probe.h"
#include "support/ShellTray.h"
#include "support/TestSupport.h"
#include "../res/resource.h"

namespace {

const char* const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Focuses the Wine desktop, clicks on its empty middle and presses the keys
// (xdotool's names, such as ctrl+alt+q).
bool PressOnDesktop(const std::string& keys) {
    return RunHostCommand("xdotool search --name Wine.desktop windowfocus --sync mousemove 400 300 "
                          "click 1 key " +
                              keys,
                          10000);
}

std::string IniValue(const std::string& section, const std::string& key) {
    char value[256] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", value, sizeof value,
                             SettingsFilePath().c_str());
    return value;
}

bool ReadRunValue(std::string& value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    LONG status =
        RegQueryValueExA(key, "Kestrow", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    value = data;
    return status == ERROR_SUCCESS && type == REG_SZ;
}

// The visible autoclose countdown dialog of the process, or 0.
HWND FindCountdownDialog(DWORD processId) {
    HWND dialog = nullptr;
    CountVisibleWindows("#32770", processId, &dialog);
    return dialog;
}

// Wine closes a killed process's handles a moment after it has ended: a
// copy started before its one-copy mutex is gone would end at once.
bool WaitUntilNoCopyRuns() {
    return WaitUntil(
        [] {
            HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Orvane.Kestrow.Tray");
            if (mutex) CloseHandle(mutex);
            return mutex == nullptr;
        },
        15000);
}

void UseSettings(const std::string& text) {
    std::string path = SettingsFilePath();
    std::string folder = path.substr(0, path.find_last_of('\\'));
    CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteTextFile(path, text);
}

class KestrowRun : public ::testing::Test {
  protected:
    TKestrowProcess Kestrow;
    HWND Window = nullptr;

    void SetUp() override { DeleteFileA(SettingsFilePath().c_str()); }
    void TearDown() override {
        if (Kestrow.Process) {
            DWORD exitCode;
            PostMessageA(FindKestrowWindow(Kestrow.Id), WM_COMMAND, IDM_EXIT, 0);
            WaitForExit(Kestrow, 10000, exitCode);
        }
    }
    void Start() {
        Kestrow = StartKestrow("");
        ASSERT_NE(nullptr, Kestrow.Process);
        Window = WaitForKestrowWindow(15000, Kestrow.Id);
        ASSERT_NE(nullptr, Window);
    }
    // Ends the program with its exit command; true when it ended with 0.
    bool Exit() {
        PostMessageA(Window, WM_COMMAND, IDM_EXIT, 0);
        DWORD exitCode = 99;
        return WaitForExit(Kestrow, 15000, exitCode) && exitCode == 0;
    }
};

TEST_F(KestrowRun, TheProgramWideHotKeysHideTheIconAndEndTheProgram) {
    UseSettings("[Main]\r\nCloseInterval=37\r\n"
                "[OtherHotKeys]\r\nHideIconHotKey=Ctrl+Shift+H\r\n"
                "CloseProgramHotkey=Ctrl+Alt+Q\r\n");
    Start();
    // The window exists before the start-up has registered the hotkeys.
    ASSERT_TRUE(WaitUntil([] { return CombinationTaken(MOD_CONTROL | MOD_ALT, 'Q'); }, 15000));
    EXPECT_TRUE(CombinationTaken(MOD_CONTROL | MOD_SHIFT, 'H'));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(Kestrow.Process, 200));

    ASSERT_TRUE(PressOnDesktop("ctrl+shift+h key ctrl+alt+q"));
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(Kestrow, 15000, exitCode));
    EXPECT_EQ(0u, exitCode);

    // Saved at the end: what was loaded, what the hotkey changed, and every
    // key of the file.
    EXPECT_EQ("37", IniValue("Main", "CloseInterval"));
    EXPECT_EQ("1", IniValue("Main", "HideIcon"));
    EXPECT_EQ("English", IniValue("Main", "Language"));
    EXPECT_EQ("1", IniValue("Main", "Autostart"));
    EXPECT_EQ("Ctrl+Alt+Q", IniValue("OtherHotKeys", "CloseProgramHotkey"));
    EXPECT_EQ("Shift+Ctrl+H", IniValue("OtherHotKeys", "HideIconHotKey"));
    EXPECT_EQ("", IniValue("D:", "OpenClose"));
    EXPECT_EQ("", IniValue("E:", "Browse"));
    // The hotkeys are free again.
    EXPECT_FALSE(CombinationTaken(MOD_CONTROL | MOD_ALT, 'Q'));
    EXPECT_FALSE(CombinationTaken(MOD_CONTROL | MOD_SHIFT, 'H'));
    std::string run;
    ASSERT_TRUE(ReadRunValue(run));
    EXPECT_EQ(ExeFolder() + "kestrow.exe", run);
}

TEST_F(KestrowRun, AHotKeyPressedOnTheDesktopTogglesTheDrive) {
    // The countdown dialog shows which drive the program holds open.
    UseSettings("[Main]\r\nAutoClose=1\r\nShowCloseDialog=1\r\nCloseInterval=600\r\n"
                "[E:]\r\nOpenClose=Ctrl+Alt+O\r\n");
    Start();
    ASSERT_TRUE(WaitUntil([] { return CombinationTaken(MOD_CONTROL | MOD_ALT, 'O'); }, 15000));
    DWORD id = Kestrow.Id;
    EXPECT_EQ(nullptr, FindCountdownDialog(id));

    ASSERT_TRUE(PressOnDesktop("ctrl+alt+o"));
    EXPECT_TRUE(WaitUntil([id] { return FindCountdownDialog(id) != nullptr; }, 15000))
        << "the tray was not opened";
    ASSERT_TRUE(PressOnDesktop("ctrl+alt+o"));
    EXPECT_TRUE(WaitUntil([id] { return FindCountdownDialog(id) == nullptr; }, 15000))
        << "the tray was not closed";
    EXPECT_TRUE(Exit());
}

TEST_F(KestrowRun, SettingsSurviveARun) {
    // A copy of the program with a second language beside it.
    std::string folder = NewTempFolder();
    std::string exe = folder + "kestrow.exe";
    ASSERT_TRUE(CopyFileA((ExeFolder() + "kestrow.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA((ExeFolder() + "English.lng").c_str(), (folder + "English.lng").c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA((ExeFolder() + "English.lng").c_str(), (folder + "Testish.lng").c_str(), FALSE));
    // The language menu lists the files in the order the folder gives them.
    int testishItem = -1, n = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.lng").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    do {
        if (lstrcmpiA(found.cFileName, "Testish.lng") == 0) testishItem = IDM_LANGUAGE_FIRST + n;
        ++n;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    ASSERT_NE(-1, testishItem);

    Kestrow = StartKestrowFrom(exe, "");
    Window = WaitForKestrowWindow(15000, Kestrow.Id);
    ASSERT_NE(nullptr, Window);
    PostMessageA(Window, WM_COMMAND, 1, 0); // drive E
    PostMessageA(Window, WM_COMMAND, testishItem, 0);
    ASSERT_TRUE(Exit());
    EXPECT_EQ("1", IniValue("Main", "CurrentDrive"));
    EXPECT_EQ("Testish", IniValue("Main", "Language"));
    std::string run;
    ASSERT_TRUE(ReadRunValue(run));
    EXPECT_EQ(exe, run);

    // The next run starts with them and saves them again; a key taken out of
    // the file comes back.
    WritePrivateProfileStringA("Main", "CloseInterval", nullptr, SettingsFilePath().c_str());
    ASSERT_EQ("<missing>", IniValue("Main", "CloseInterval"));
    Kestrow = StartKestrowFrom(exe, "");
    Window = WaitForKestrowWindow(15000, Kestrow.Id);
    ASSERT_NE(nullptr, Window);
    ASSERT_TRUE(Exit());
    EXPECT_EQ("1", IniValue("Main", "CurrentDrive"));
    EXPECT_EQ("Testish", IniValue("Main", "Language"));
    EXPECT_EQ("10", IniValue("Main", "CloseInterval"));
}

TEST_F(KestrowRun, ACopyWithItsSettingsFileBesideItKeepsEverythingThere) {
    std::string folder = NewTempFolder();
    std::string exe = folder + "kestrow.exe", ini = folder + "kestrow.ini";
    ASSERT_TRUE(CopyFileA((ExeFolder() + "kestrow.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA((ExeFolder() + "English.lng").c_str(), (folder + "English.lng").c_str(), FALSE));
    WriteTextFile(ini, "[Main]\r\nAutostart=0\r\nCloseInterval=33\r\n"); // as the zip ships it
    std::string profile = SettingsFilePath();
    std::string profileFolder = profile.substr(0, profile.find_last_of('\\'));
    RemoveDirectoryA(profileFolder.c_str());
    ASSERT_FALSE(PathExists(profileFolder));
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RunKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Kestrow");
        RegCloseKey(key);
    }

    Kestrow = StartKestrowFrom(exe, "");
    Window = WaitForKestrowWindow(15000, Kestrow.Id);
    ASSERT_NE(nullptr, Window);
    PostMessageA(Window, WM_COMMAND, 1, 0); // drive E
    ASSERT_TRUE(Exit());
    auto value = [&](const char* name) {
        char text[64] = {};
        GetPrivateProfileStringA("Main", name, "<missing>", text, sizeof text, ini.c_str());
        return std::string(text);
    };
    EXPECT_EQ("1", value("CurrentDrive"));   // written there
    EXPECT_EQ("33", value("CloseInterval")); // read from there
    EXPECT_EQ("0", value("Autostart"));
    EXPECT_FALSE(PathExists(profileFolder));
    std::string run;
    EXPECT_FALSE(ReadRunValue(run)) << run;
}

TEST_F(KestrowRun, AProgramKilledWhileSavingLeavesTheOldFileOrTheNewOne) {
    // Sections the program does not know make the save long; a value that it
    // writes back in another form makes the new file differ from the old.
    std::string others;
    for (int i = 0; i < 5000; ++i)
        others += "[Other" + std::to_string(i) + "]\r\nKey=Value " + std::to_string(i) + "\r\n";
    const std::string old = "[Main]\r\nCloseInterval=$14\r\n" + others;
    UseSettings(old);
    Start();
    ASSERT_TRUE(Exit());
    const std::string saved = ReadTextFile(SettingsFilePath());
    EXPECT_EQ("20", IniValue("Main", "CloseInterval"));
    EXPECT_NE(std::string::npos, saved.find(others)) << "the other sections changed";

    // Killed by its process id at moments after the exit command.
    for (DWORD delay : {0, 15, 30, 60, 100, 150, 250, 400}) {
        SCOPED_TRACE(delay);
        UseSettings(old);
        ASSERT_TRUE(WaitUntilNoCopyRuns());
        Start();
        ASSERT_EQ(0u, WaitForInputIdle(Kestrow.Process, 15000)); // started up
        PostMessageA(Window, WM_COMMAND, IDM_EXIT, 0);
        Sleep(delay);
        TerminateProcess(Kestrow.Process, 1);
        DWORD exitCode;
        WaitForExit(Kestrow, 15000, exitCode);
        const std::string now = ReadTextFile(SettingsFilePath());
        EXPECT_TRUE(now == old || now == saved) << now.size() << " bytes, exit code " << exitCode;
    }
}

} // namespace

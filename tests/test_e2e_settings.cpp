// The real executable: settings across runs, and hotkeys pressed on the
// X keyboard with xdotool.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "support/Probe.h"
#include "support/TestSupport.h"
#include "../res/resource.h"

namespace {

const char* const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Runs xdotool on the X display of the Wine desktop. Wine starts the Unix
// program but cannot wait for it, so callers poll for the effect.
bool RunXdotool(const std::string& arguments) {
    std::string commandLine = "/usr/bin/xdotool " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

// Focuses the Wine desktop, clicks on its empty middle and presses the keys
// (xdotool's names, such as ctrl+alt+q).
bool PressOnDesktop(const std::string& keys) {
    return RunXdotool("search --name Wine.desktop windowfocus --sync mousemove 400 300 click 1 "
                      "key " +
                      keys);
}

// Whether some window on the desktop holds the combination.
bool CombinationTaken(UINT modifiers, UINT key) {
    const int probeId = 0xBEEF;
    if (RegisterHotKey(nullptr, probeId, modifiers, key)) {
        UnregisterHotKey(nullptr, probeId);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
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

TEST_F(KestrowRun, TheCloseProgramHotKeyEndsTheProgramAndSaves) {
    UseSettings("[Main]\r\nCloseInterval=37\r\n"
                "[OtherHotKeys]\r\nCloseProgramHotkey=Ctrl+Alt+Q\r\n");
    Start();
    // The window exists before the start-up has registered the hotkeys.
    ASSERT_TRUE(WaitUntil([] { return CombinationTaken(MOD_CONTROL | MOD_ALT, 'Q'); }, 15000));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(Kestrow.Process, 200));

    ASSERT_TRUE(PressOnDesktop("ctrl+alt+q"));
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitForExit(Kestrow, 15000, exitCode));
    EXPECT_EQ(0u, exitCode);

    // Saved at the end: what was loaded, and every key of the file.
    EXPECT_EQ("37", IniValue("Main", "CloseInterval"));
    EXPECT_EQ("English", IniValue("Main", "Language"));
    EXPECT_EQ("1", IniValue("Main", "Autostart"));
    EXPECT_EQ("Ctrl+Alt+Q", IniValue("OtherHotKeys", "CloseProgramHotkey"));
    EXPECT_EQ("", IniValue("OtherHotKeys", "HideIconHotKey"));
    EXPECT_EQ("", IniValue("D:", "OpenClose"));
    // The hotkey is free again.
    EXPECT_FALSE(CombinationTaken(MOD_CONTROL | MOD_ALT, 'Q'));
    std::string run;
    ASSERT_TRUE(ReadRunValue(run));
    EXPECT_EQ(ExeFolder() + "kestrow.exe", run);
}

} // namespace

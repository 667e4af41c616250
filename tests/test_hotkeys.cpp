// Hotkeys: loaded from the settings file, registered with the system, pressed
// through the system's own input, saved back.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <initializer_list>
#include <string>
#include <vector>
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "../src/common/uGlobals.h"
#include "../src/hotkeys/uHotKeys.h"
#include "../src/settings/uSettings.h"

namespace {

constexpr BYTE CTRL = HOTKEYF_CONTROL;
constexpr BYTE ALT = HOTKEYF_ALT;
constexpr BYTE SHIFT = HOTKEYF_SHIFT;

// Presses the keys in order and lets them go in reverse order, as input
// from the keyboard.
void PressKeys(std::initializer_list<BYTE> keys) {
    std::vector<INPUT> inputs;
    for (BYTE key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

struct THotKeyMessage {
    bool Arrived = false;
    WPARAM Id = 0;
    UINT Modifiers = 0;
    UINT Key = 0;
};

// The next WM_HOTKEY for the main window within the time, taken from the
// queue before the window procedure sees it.
THotKeyMessage TakeHotKeyMessage(DWORD timeoutMs) {
    THotKeyMessage result;
    DWORD start = GetTickCount();
    do {
        MSG message;
        if (PeekMessageA(&message, MainWindow, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
            result.Arrived = true;
            result.Id = message.wParam;
            result.Modifiers = LOWORD(message.lParam);
            result.Key = HIWORD(message.lParam);
            return result;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    } while (GetTickCount() - start < timeoutMs);
    return result;
}

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

class HotKeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // the end request must not save anything here
        IniFileName = NewTempFolder() + "kestrow.ini";
    }
    void TearDown() override {
        UnregisterAllHotKeys();
        ResetProgramState();
    }
    void UseSettingsFile(const std::string& text) { WriteTextFile(IniFileName, text); }
};

TEST_F(HotKeysTest, StoredHotKeysAreRegisteredUnderTheirCommand) {
    struct {
        const char* File;
        int Drive, Slot; // -1: program-wide element Slot
        WORD HotKey;
        WPARAM Id;
        UINT Modifiers;
        std::initializer_list<BYTE> Keys;
    } const cases[] = {
        {"[D:]\r\nOpenClose=Ctrl+Alt+O\r\n",
         1,
         caToggle,
         MAKEWORD('O', CTRL | ALT),
         31,
         MOD_CONTROL | MOD_ALT,
         {VK_CONTROL, VK_MENU, 'O'}},
        {"[E:]\r\nBrowse=Shift+F12\r\n",
         2,
         caBrowse,
         MAKEWORD(VK_F12, SHIFT),
         36,
         MOD_SHIFT,
         {VK_SHIFT, VK_F12}},
        {"[C:]\r\nAutorun=alt+ctrl+F9\r\n",
         0,
         caAutorun,
         MAKEWORD(VK_F9, CTRL | ALT),
         23,
         MOD_CONTROL | MOD_ALT,
         {VK_MENU, VK_CONTROL, VK_F9}},
        {"[OtherHotKeys]\r\nHideIconHotKey=Ctrl+Shift+H\r\n",
         -1,
         0,
         MAKEWORD('H', CTRL | SHIFT),
         HOTKEY_ID_HIDEICON,
         MOD_CONTROL | MOD_SHIFT,
         {VK_CONTROL, VK_SHIFT, 'H'}},
        {"[OtherHotKeys]\r\nCloseProgramHotkey=Shift+Ctrl+Alt+Q\r\n",
         -1,
         1,
         MAKEWORD('Q', CTRL | ALT | SHIFT),
         HOTKEY_ID_CLOSEPROGRAM,
         MOD_CONTROL | MOD_ALT | MOD_SHIFT,
         {VK_CONTROL, VK_SHIFT, VK_MENU, 'Q'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        UseDriveList("CDE");
        UseSettingsFile(c.File);
        LoadHotKeys();
        int loaded = c.Drive >= 0 ? HotKeys[c.Drive][c.Slot] : GlobalHotKeys[c.Slot];
        EXPECT_EQ(c.HotKey, loaded);

        RegisterAllHotKeys();
        PressKeys(c.Keys);
        THotKeyMessage pressed = TakeHotKeyMessage(5000);
        ASSERT_TRUE(pressed.Arrived);
        EXPECT_EQ(c.Id, pressed.Id);
        EXPECT_EQ(c.Modifiers, pressed.Modifiers);
        EXPECT_EQ(LOBYTE(c.HotKey), pressed.Key);

        UnregisterAllHotKeys();
        EXPECT_FALSE(CombinationTaken(c.Modifiers, LOBYTE(c.HotKey)));
        ResetProgramState();
    }
}

TEST_F(HotKeysTest, OneCombinationTwiceGoesToTheFirstInRegistrationOrder) {
    UseDriveList("CDE");
    UseSettingsFile("[C:]\r\nBrowse=Ctrl+F5\r\nAutorun=Ctrl+F5\r\n"
                    "[D:]\r\nOpenClose=Alt+F6\r\n[E:]\r\nOpenClose=Alt+F6\r\n");
    LoadHotKeys();
    EXPECT_EQ(MAKEWORD(VK_F5, CTRL), HotKeys[0][caBrowse]);
    EXPECT_EQ(MAKEWORD(VK_F5, CTRL), HotKeys[0][caAutorun]);
    EXPECT_EQ(MAKEWORD(VK_F6, ALT), HotKeys[1][caToggle]);
    EXPECT_EQ(MAKEWORD(VK_F6, ALT), HotKeys[2][caToggle]);
    RegisterAllHotKeys();

    PressKeys({VK_CONTROL, VK_F5});
    THotKeyMessage pressed = TakeHotKeyMessage(5000);
    ASSERT_TRUE(pressed.Arrived);
    EXPECT_EQ(22u, pressed.Id); // drive C, browse; not its autorun (23)
    PressKeys({VK_MENU, VK_F6});
    pressed = TakeHotKeyMessage(5000);
    ASSERT_TRUE(pressed.Arrived);
    EXPECT_EQ(31u, pressed.Id); // drive D, not E (38)
    EXPECT_FALSE(TakeHotKeyMessage(200).Arrived);

    // The losers were never registered; both stay stored.
    EXPECT_FALSE(UnregisterHotKey(MainWindow, 23));
    EXPECT_FALSE(UnregisterHotKey(MainWindow, 38));
    EXPECT_EQ(MAKEWORD(VK_F6, ALT), HotKeys[2][caToggle]);
}

TEST_F(HotKeysTest, LoadingTouchesOnlyTheStoredSlots) {
    UseDriveList("DE");
    for (THotKeyRecord& record : HotKeys)
        record.fill(0x999);
    GlobalHotKeys[0] = GlobalHotKeys[1] = 0x999;
    // D: one slot unreadable, E: no section at all.
    UseSettingsFile("[D:]\r\nBrowse=Ctrl+NoSuchKey\r\nAutorun=\r\nOpenClose=F2\r\n"
                    "[OtherHotKeys]\r\nHideIconHotKey=Ctrl+\r\n");
    LoadHotKeys();
    THotKeyRecord d = {0x999, 0x999, 0, 0, VK_F2, 0x999, 0x999};
    THotKeyRecord e = {0x999, 0x999, 0, 0, 0, 0x999, 0x999};
    EXPECT_EQ(d, HotKeys[0]);
    EXPECT_EQ(e, HotKeys[1]);
    EXPECT_EQ(0, GlobalHotKeys[0]);
    EXPECT_EQ(0, GlobalHotKeys[1]);
}

TEST_F(HotKeysTest, SavedHotKeysLoadBackAndUnreadableOnesSaveEmpty) {
    UseDriveList("DE");
    UseSettingsFile("[D:]\r\nBrowse=Ctrl+NoSuchKey\r\n");
    LoadHotKeys();
    HotKeys[1][caAutorun] = MAKEWORD(VK_NUMPAD7, CTRL | HOTKEYF_EXT);
    HotKeys[1][caToggle] = MAKEWORD(VK_OEM_COMMA, ALT);
    HotKeys[1][caOpen] = MAKEWORD('Z', ALT); // not a stored slot
    GlobalHotKeys[1] = MAKEWORD(VK_END, SHIFT);
    SaveHotKeys();

    std::string file = ReadTextFile(IniFileName);
    EXPECT_EQ(std::string::npos, file.find("NoSuchKey"));
    EXPECT_NE(std::string::npos, file.find("Autorun=Ctrl+Num 7"));
    EXPECT_NE(std::string::npos, file.find("CloseProgramHotkey=Shift+End"));

    UseDriveList("DE");
    LoadHotKeys();
    THotKeyRecord d = {};
    THotKeyRecord e = {0, 0, 0, MAKEWORD(VK_NUMPAD7, CTRL), MAKEWORD(VK_OEM_COMMA, ALT), 0, 0};
    EXPECT_EQ(d, HotKeys[0]);
    EXPECT_EQ(e, HotKeys[1]);
    EXPECT_EQ(0, GlobalHotKeys[0]);
    EXPECT_EQ(MAKEWORD(VK_END, SHIFT), GlobalHotKeys[1]);
}

// With 21 drives the last drive's commands 160 to 166 are those of the
// hide/show pseudo drive; its hotkeys and the program-wide ones stay apart.
TEST_F(HotKeysTest, TheLastOfTwentyOneDrivesKeepsItsOwnHotKeys) {
    UseDriveList("ABCDEFGHIJKLMNOPQRSTU");
    UseSettingsFile("[U:]\r\nOpenClose=Ctrl+Alt+T\r\n"
                    "[OtherHotKeys]\r\nHideIconHotKey=Ctrl+Shift+H\r\n"
                    "CloseProgramHotkey=Ctrl+Shift+Q\r\n");
    LoadHotKeys();
    RegisterAllHotKeys();

    PressKeys({VK_CONTROL, VK_SHIFT, 'H'});
    EXPECT_TRUE(WaitUntil([] { return HideIcon; }, 5000));
    for (const TCDDrive& drive : CDList)
        EXPECT_EQ(0, drive.TrayOpen);
    PressKeys({VK_CONTROL, VK_SHIFT, 'H'});
    EXPECT_TRUE(WaitUntil([] { return !HideIcon; }, 5000));

    PressKeys({VK_CONTROL, VK_MENU, 'T'});
    THotKeyMessage pressed = TakeHotKeyMessage(5000);
    ASSERT_TRUE(pressed.Arrived);
    EXPECT_EQ(164u, pressed.Id);
    SendMessageA(MainWindow, WM_HOTKEY, pressed.Id, 0);
    EXPECT_FALSE(HideIcon);
    EXPECT_EQ(1, CDList[20].TrayOpen); // the last drive's tray was toggled open

    EXPECT_FALSE(QuitPosted());
    PressKeys({VK_CONTROL, VK_SHIFT, 'Q'});
    EXPECT_TRUE(WaitUntil(QuitPosted, 5000));
}

} // namespace

// The settings file, the log-on value, and the options sheet that changes them.
#include <gtest/gtest.h>
#include <windows.h>
#include <prsht.h>
#include <shlwapi.h>
#include "tests/support/TestSupport.h"
#include "src/settings/uSettings.h"
#include "src/tray/uNotifyIcon.h"
#include "res/resource.h"

TEST(Store, SavedWholeOnlyOnceLoadedByteForByteAndAsTheSheetSays) {
    // A save writes a copy and moves it over the file. In the way ('+': saved): the file locked,
    // held open for reading, a folder named as the copy, nothing, a stale copy, no file.
    const std::string
        old = "[Old]\r\n",
        saved =
            "[Main]\r\nCurrentDrive=0\r\nAutostart=0\r\n"
            "HideIcon=0\r\nAutoClose=0\r\nShowCloseDialog=0\r\nCloseInterval=0\r\nLanguage=\r\n";
    for (const char* c : {"l", "h", "f", "-+", "s+", "n+"}) {
        IniFileName = NewTempFolder() + "kestrow.ini";
        if (*c != 'n') WriteTextFile(IniFileName, old);
        if (*c == 's') WriteTextFile(IniFileName + ".new", "[Main]\r\nCurrent");
        if (*c == 'f') CreateDirectoryA((IniFileName + ".new").c_str(), nullptr);
        HANDLE held =
            CreateFileA(IniFileName.c_str(), GENERIC_READ, *c == 'h' ? FILE_SHARE_READ : 0, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        if (*c != 'l' && *c != 'h') CloseHandle(held);
        EXPECT_EQ(c[1] == '+', SaveSettingsFile(SaveSettings)) << c;
        if (*c == 'l' || *c == 'h') CloseHandle(held);
        EXPECT_EQ(*c == 'n' ? saved : c[1] ? old + saved : old, ReadTextFile(IniFileName)) << c;
        EXPECT_EQ(*c == 'f', PathExists(IniFileName + ".new")) << c;
    }
    EnsureMainWindow();
    UseDriveList("D");
    WriteTextFile(IniFileName, "[Main]\r\nLanguage=Fran\347ais\r\n"); // an earlier version's name
    SaveConfiguration();                                              // never loaded: never saved
    EXPECT_EQ("[Main]\r\nLanguage=Fran\347ais\r\n", ReadTextFile(IniFileName));
    EXPECT_EQ("\"C:\\a b\\k.exe\"", LogOnCommand("C:\\a b\\k.exe"));
    LoadConfiguration();
    NOTIFYICONDATAA probe = NotifyIconData; // only an icon that is there can be modified
    bool held = true;
    DeleteFileA(IniFileName.c_str());
    CreateDirectoryA(IniFileName.c_str(), nullptr); // what Apply cannot save still holds
    ASSERT_TRUE(WithSheet([&](HWND s) {
        auto page = [s](int i) {
            return PropSheet_SetCurSel(s, 0, i), PropSheet_IndexToHwnd(s, i);
        };
        SendDlgItemMessageA(page(1), IDC_HK_OPENCLOSE, WM_KEYDOWN, 'K', 0); // plain keys
        SendDlgItemMessageA(page(2), IDC_HK_CLOSEAPP, WM_KEYDOWN, 'O', 0);
        CheckDlgButton(page(0), IDC_AUTOSTART, BST_UNCHECKED);
        CheckDlgButton(page(0), IDC_HIDEICON, BST_CHECKED);
        SetDlgItemTextA(page(0), IDC_INTERVAL, "99999");
        PropSheet_PressButton(s, PSBTN_APPLYNOW); // posted: done once the last page registers
        held = WaitUntil([] { return CombinationTaken(MOD_CONTROL | MOD_ALT, 'O'); }, 5000) &&
               CloseInterval == 99999 && !Shell_NotifyIconA(NIM_MODIFY, &probe) &&
               SHGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                           "Kestrow", nullptr, nullptr, nullptr);
        RemoveDirectoryA(IniFileName.c_str());
        SetDlgItemTextA(page(0), IDC_INTERVAL, "-5");
        PropSheet_PressButton(s, PSBTN_OK);
    }));
    EXPECT_TRUE(held && CloseInterval == -5 && CombinationTaken(MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_EQ("[Main]\r\nCurrentDrive=0\r\nAutostart=0\r\nHideIcon=1\r\nAutoClose=0\r\n"
              "ShowCloseDialog=0\r\nCloseInterval=-5\r\nLanguage=Francais\r\n[D:]\r\nBrowse=\r\n"
              "Autorun=\r\nOpenClose=Ctrl+Alt+K\r\n[OtherHotKeys]\r\nHideIconHotKey=\r\n"
              "CloseProgramHotkey=Ctrl+Alt+O\r\n",
              ReadTextFile(IniFileName));
}

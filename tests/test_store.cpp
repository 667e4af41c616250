// The settings file, the log-on value, and the options sheet that changes them.
#include "tests/support/TestSupport.h"
#include <prsht.h>
#include <shlwapi.h>

TEST(Store, SavedWholeOnlyOnceLoadedByteForByteAndAsTheSheetSays) {
    // Rows ('+': saved): file locked, held open, folder as the copy, nothing, stale copy, no file.
    const std::string old = "[Old]\r\n";
    const std::string keys = "[OtherHotKeys]\r\nHideIconHotKey=\r\nCloseProgramHotkey=\r\n";
    for (const char* c : {"l", "h", "f", "-+", "s+", "n+"}) {
        IniFileName = NewTempFolder() + "kestrow.ini";
        if (*c != 'n') WriteTextFile(IniFileName, old);
        if (*c == 's') WriteTextFile(IniFileName + ".new", "[Other");
        if (*c == 'f') CreateDirectoryA((IniFileName + ".new").c_str(), nullptr);
        HANDLE held =
            CreateFileA(IniFileName.c_str(), GENERIC_READ, *c == 'h' ? FILE_SHARE_READ : 0, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        if (*c != 'l' && *c != 'h') CloseHandle(held);
        EXPECT_EQ(c[1] == '+', SaveSettingsFile(SaveGlobalHotKeys)) << c;
        if (*c == 'l' || *c == 'h') CloseHandle(held);
        EXPECT_EQ(*c == 'n' ? keys : c[1] ? old + keys : old, ReadTextFile(IniFileName)) << c;
        EXPECT_EQ(*c == 'f', PathExists(IniFileName + ".new")) << c;
    }
    EnsureMainWindow();
    UseDriveList("D");
    WriteTextFile(IniFileName, "[Main]\r\nLanguage=Fran\347ais\r\n"); // an earlier version's name
    SaveConfiguration();                                              // never loaded: never saved
    EXPECT_EQ("[Main]\r\nLanguage=Fran\347ais\r\n", ReadTextFile(IniFileName));
    EXPECT_EQ("\"C:\\a b\\k.exe\"", LogOnCommand("C:\\a b\\k.exe"));
    LoadConfiguration();
    CreateDirectoryA((IniFileName + ".new").c_str(), nullptr); // Apply cannot save
    const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    ASSERT_TRUE(WithSheet([&](HWND s) {
        auto tab = [s](int i) { return PropSheet_SetCurSel(s, 0, i), PropSheet_IndexToHwnd(s, i); };
        SendDlgItemMessageA(tab(1), IDC_HK_OPENCLOSE, WM_KEYDOWN, 'K', 0); // plain keys
        SendDlgItemMessageA(tab(2), IDC_HK_CLOSEAPP, WM_KEYDOWN, 'O', 0);
        CheckDlgButton(tab(0), IDC_AUTOSTART, BST_UNCHECKED);
        CheckDlgButton(tab(0), IDC_HIDEICON, BST_CHECKED);
        SetDlgItemTextA(tab(0), IDC_INTERVAL, "99999");
        PropSheet_PressButton(s, PSBTN_APPLYNOW); // posted: done once O registers
        EXPECT_TRUE(WaitUntil([] { return CombinationTaken(MOD_CONTROL | MOD_ALT, 'O'); }, 5000) &&
                    CloseInterval == 99999 && !Shell_NotifyIconA(NIM_MODIFY, &NotifyIconData) &&
                    SHGetValueA(HKEY_CURRENT_USER, run, "Kestrow", 0, 0, 0));
        RemoveDirectoryA((IniFileName + ".new").c_str());
        SetDlgItemTextA(tab(0), IDC_INTERVAL, "-5");
        PropSheet_PressButton(s, PSBTN_OK);
    }));
    EXPECT_TRUE(CombinationTaken(MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_EQ(ReadTextFile(IniFileName),
              "[Main]\r\nLanguage=Francais\r\nCurrentDrive=0\r\nAutostart=0\r\nHideIcon=1\r\n"
              "AutoClose=0\r\nShowCloseDialog=0\r\nCloseInterval=-5\r\n[D:]\r\nBrowse=\r\n"
              "Autorun=\r\nOpenClose=Ctrl+Alt+K\r\n[OtherHotKeys]\r\nHideIconHotKey=\r\n"
              "CloseProgramHotkey=Ctrl+Alt+O\r\n");
}

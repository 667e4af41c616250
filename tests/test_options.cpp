// The options sheet, driven through its real windows from a second thread
// while its modal loop runs on the program's thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <atomic>
#include <functional>
#include <iterator>
#include <thread>
#include <vector>
#include "support/Probe.h"
#include "support/ShellTray.h"
#include "support/TestSupport.h"
#include "../src/common/uGlobals.h"
#include "../src/drives/uCDTools.h"
#include "../src/hotkeys/uHotKeyText.h"
#include "../src/hotkeys/uHotKeys.h"
#include "../src/language/uLanguage.h"
#include "../src/options/uOptionsDialog.h"
#include "../src/settings/RegIni.h"
#include "../src/settings/uSettings.h"
#include "../res/resource.h"

namespace {

constexpr int ID_APPLY = 0x3021; // the sheet's Apply button
constexpr WORD CTRL_ALT = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;

struct TFindSheet {
    HWND Owner;
    HWND Sheet;
};

BOOL CALLBACK FindSheetProc(HWND window, LPARAM param) {
    auto* find = reinterpret_cast<TFindSheet*>(param);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != find->Owner)
        return TRUE;
    find->Sheet = window;
    return FALSE;
}

// Runs ShowOptions on this thread while `drive` works the sheet from another
// thread; the sheet's messages are handled by its own modal loop meanwhile.
// False when the sheet never appeared.
bool WithSheet(const std::function<void(HWND sheet)>& drive) {
    DWORD uiThread = GetCurrentThreadId();
    std::atomic<bool> found{false};
    std::thread driver([&] {
        TFindSheet find = {MainWindow, nullptr};
        for (int i = 0; i < 500 && !find.Sheet; ++i) {
            EnumThreadWindows(uiThread, FindSheetProc, reinterpret_cast<LPARAM>(&find));
            if (!find.Sheet) Sleep(20);
        }
        if (!find.Sheet) return;
        found = true;
        drive(find.Sheet);
    });
    ShowOptions();
    driver.join();
    return found;
}

HWND ShowPage(HWND sheet, int index) {
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void Press(HWND sheet, int button) {
    SendMessageA(sheet, PSM_PRESSBUTTON, button, 0);
}

// Puts a combination into a hotkey control and tells its page, as typing does.
void TypeHotKey(HWND page, int id, WORD hotKey) {
    HWND control = GetDlgItem(page, id);
    SendMessageA(control, HKM_SETHOTKEY, hotKey, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(control));
}

void ChooseDrive(HWND page, int index) {
    HWND list = GetDlgItem(page, IDC_HK_DRIVES);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_HK_DRIVES, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::string Text(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class OptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        InitDrives(); // D and E
        ASSERT_EQ(2, CDCount);
        IniFileName = NewTempFolder() + "kestrow.ini";
        LanguageFileName = ExeFolder() + "English.lng";
        CommandLineMode = true; // the icon stays away
        Autostart = false;
        CloseInterval = 10;
        HotKeys[0][caToggle] = CTRL_ALT | 'O';
        HotKeys[1][caBrowse] = CTRL_ALT | 'E';
        GlobalHotKeys[0] = CTRL_ALT | 'H';
        RegisterAllHotKeys();
    }
    void TearDown() override {
        UnregisterAllHotKeys();
        GlobalHotKeys[0] = GlobalHotKeys[1] = 0;
        ResetProgramState();
    }
    std::string Settings() { return ReadTextFile(IniFileName); }
};

TEST_F(OptionsTest, OkOnTheFirstPageWritesMainOnlyAndKeepsTheHotKeys) {
    ASSERT_TRUE(WithSheet([](HWND sheet) { Press(sheet, PSBTN_OK); }));
    std::string file = Settings();
    EXPECT_NE(std::string::npos, file.find("[Main]"));
    for (const char* key : {"CurrentDrive=", "Autostart=0", "HideIcon=", "AutoClose=",
                            "ShowCloseDialog=", "CloseInterval=10", "Language="})
        EXPECT_NE(std::string::npos, file.find(key)) << key;
    EXPECT_EQ(std::string::npos, file.find("[D:]"));
    EXPECT_EQ(std::string::npos, file.find("[OtherHotKeys]"));
    for (WORD key : {'O', 'E', 'H'})
        EXPECT_TRUE(CombinationTaken(MOD_CONTROL | MOD_ALT, key)) << key;
}

TEST_F(OptionsTest, WhatIsAppliedHoldsWhenTheFileCannotBeWritten) {
    CreateDirectoryA(IniFileName.c_str(), nullptr); // a folder where the file would be
    Autostart = true;
    SetAutostart(true);
    ASSERT_TRUE(WithSheet([](HWND sheet) {
        HWND page = ShowPage(sheet, 0);
        SendDlgItemMessageA(page, IDC_AUTOSTART, BM_CLICK, 0, 0); // off
        SendDlgItemMessageA(page, IDC_HIDEICON, BM_CLICK, 0, 0);  // on
        SetDlgItemTextA(page, IDC_INTERVAL, "25");
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_FALSE(Autostart);
    EXPECT_TRUE(HideIcon);
    EXPECT_EQ(25, CloseInterval);
    HKEY key;
    char data[512] = {};
    DWORD size = sizeof data;
    LONG found = ERROR_FILE_NOT_FOUND;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_READ, &key) == ERROR_SUCCESS) {
        found = RegQueryValueExA(key, "Kestrow", nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                                 &size);
        RegCloseKey(key);
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, found) << data; // the log-on value went as applied
}

TEST_F(OptionsTest, HotKeysOfTwoDrivesAreSavedAndRegistered) {
    ASSERT_TRUE(WithSheet([](HWND sheet) {
        HWND page = ShowPage(sheet, 1);
        TypeHotKey(page, IDC_HK_BROWSE, CTRL_ALT | 'B'); // drive D, the current one
        ChooseDrive(page, 1);
        TypeHotKey(page, IDC_HK_AUTORUN, CTRL_ALT | 'R');
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_EQ(CTRL_ALT | 'B', HotKeys[0][caBrowse]);
    EXPECT_EQ(CTRL_ALT | 'O', HotKeys[0][caToggle]);
    EXPECT_EQ(CTRL_ALT | 'R', HotKeys[1][caAutorun]);
    EXPECT_EQ(CTRL_ALT | 'E', HotKeys[1][caBrowse]);
    EXPECT_EQ("Ctrl+Alt+B", IniReadString(IniFileName, "D:", "Browse", "?"));
    EXPECT_EQ("Ctrl+Alt+R", IniReadString(IniFileName, "E:", "Autorun", "?"));
    for (WORD key : {'B', 'R', 'O', 'E'})
        EXPECT_TRUE(CombinationTaken(MOD_CONTROL | MOD_ALT, key)) << key;
}

TEST_F(OptionsTest, CancelOnHotKeysSavesNothingAndRegistersTheOldOnesAgain) {
    bool freedWhileOpen = false;
    ASSERT_TRUE(WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, 1);
        // While the page is open its combinations can be typed: they are free.
        freedWhileOpen = !CombinationTaken(MOD_CONTROL | MOD_ALT, 'O');
        TypeHotKey(page, IDC_HK_OPENCLOSE, CTRL_ALT | 'Q');
        Press(sheet, PSBTN_CANCEL);
    }));
    EXPECT_TRUE(freedWhileOpen);
    EXPECT_FALSE(PathExists(IniFileName));
    EXPECT_EQ(CTRL_ALT | 'O', HotKeys[0][caToggle]);
    EXPECT_TRUE(CombinationTaken(MOD_CONTROL | MOD_ALT, 'O'));
    EXPECT_TRUE(CombinationTaken(MOD_CONTROL | MOD_ALT, 'E'));
    EXPECT_FALSE(CombinationTaken(MOD_CONTROL | MOD_ALT, 'Q'));
}

TEST_F(OptionsTest, ASecondApplyDropsWhatTheFirstRegistered) {
    ASSERT_TRUE(WithSheet([](HWND sheet) {
        HWND page = ShowPage(sheet, 1);
        TypeHotKey(page, IDC_HK_BROWSE, CTRL_ALT | '1');
        Press(sheet, PSBTN_APPLYNOW);
        TypeHotKey(page, IDC_HK_BROWSE, CTRL_ALT | '2');
        Press(sheet, PSBTN_APPLYNOW);
        HWND other = ShowPage(sheet, 2);
        TypeHotKey(other, IDC_HK_CLOSEAPP, CTRL_ALT | '3');
        Press(sheet, PSBTN_APPLYNOW);
        TypeHotKey(other, IDC_HK_CLOSEAPP, CTRL_ALT | '4');
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_FALSE(CombinationTaken(MOD_CONTROL | MOD_ALT, '1'));
    EXPECT_TRUE(CombinationTaken(MOD_CONTROL | MOD_ALT, '2'));
    EXPECT_FALSE(CombinationTaken(MOD_CONTROL | MOD_ALT, '3'));
    EXPECT_TRUE(CombinationTaken(MOD_CONTROL | MOD_ALT, '4'));
    EXPECT_EQ("Ctrl+Alt+4", IniReadString(IniFileName, "OtherHotKeys", "CloseProgramHotkey", "?"));
}

TEST_F(OptionsTest, HotKeyFieldsMakeAPlainOrShiftedKeyCtrlAltAndKeepAStoredOne) {
    // A plain key stored by an older version still loads and registers.
    UnregisterAllHotKeys();
    WritePrivateProfileStringA("OtherHotKeys", "CloseProgramHotkey", "A", IniFileName.c_str());
    LoadGlobalHotKeys();
    ASSERT_EQ('A', GlobalHotKeys[1]);
    RegisterAllHotKeys();
    ASSERT_TRUE(CombinationTaken(0, 'A'));
    const struct {
        int Page, Id;
    } fields[] = {{1, IDC_HK_OPENCLOSE},
                  {1, IDC_HK_AUTORUN},
                  {1, IDC_HK_BROWSE},
                  {2, IDC_HK_HIDESHOW},
                  {2, IDC_HK_CLOSEAPP}};
    // Modifier keys held while K is typed, and what the field then holds.
    const struct {
        std::vector<WORD> Held;
        BYTE Shown;
    } typed[] = {{{}, HOTKEYF_CONTROL | HOTKEYF_ALT},
                 {{VK_SHIFT}, HOTKEYF_CONTROL | HOTKEYF_ALT},
                 {{VK_CONTROL}, HOTKEYF_CONTROL},
                 {{VK_MENU}, HOTKEYF_ALT},
                 {{VK_SHIFT, VK_CONTROL}, HOTKEYF_SHIFT | HOTKEYF_CONTROL}};
    WORD shownAtStart = 0;
    std::vector<WORD> got;
    ASSERT_TRUE(WithSheet([&](HWND sheet) {
        shownAtStart =
            LOWORD(SendDlgItemMessageA(ShowPage(sheet, 2), IDC_HK_CLOSEAPP, HKM_GETHOTKEY, 0, 0));
        for (const auto& field : fields) {
            HWND control = GetDlgItem(ShowPage(sheet, field.Page), field.Id);
            for (const auto& t : typed) {
                for (WORD key : t.Held)
                    SendMessageA(control, WM_KEYDOWN, key, 0);
                SendMessageA(control, WM_KEYDOWN, 'K', 0);
                for (WORD key : t.Held)
                    SendMessageA(control, WM_KEYUP, key, 0);
                got.push_back(LOWORD(SendMessageA(control, HKM_GETHOTKEY, 0, 0)));
            }
        }
        Press(sheet, PSBTN_CANCEL);
    }));
    EXPECT_EQ('A', shownAtStart);
    ASSERT_EQ(std::size(fields) * std::size(typed), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(MAKEWORD('K', typed[i % std::size(typed)].Shown), got[i]);
    }
    // OK without a change keeps the stored key, registered.
    ASSERT_TRUE(WithSheet([](HWND sheet) {
        ShowPage(sheet, 2);
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_EQ('A', GlobalHotKeys[1]);
    EXPECT_EQ("A", IniReadString(IniFileName, "OtherHotKeys", "CloseProgramHotkey", "?"));
    EXPECT_TRUE(CombinationTaken(0, 'A'));
}

BOOL CALLBACK CollectSheets(HWND window, LPARAM param) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (!lstrcmpA(className, "#32770") && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

TEST_F(OptionsTest, ASecondOptionsCommandOpensNoSecondSheet) {
    size_t sheets = 0;
    ASSERT_TRUE(WithSheet([&](HWND sheet) {
        // The command comes through the main window, as from the tray menu.
        DWORD_PTR result;
        SendMessageTimeoutA(MainWindow, WM_COMMAND, IDM_OPTIONS, 0, SMTO_NORMAL, 5000, &result);
        std::vector<HWND> open;
        EnumThreadWindows(GetWindowThreadProcessId(sheet, nullptr), CollectSheets,
                          reinterpret_cast<LPARAM>(&open));
        sheets = open.size();
        for (HWND each : open)
            if (each != sheet) Press(each, PSBTN_CANCEL);
        Press(sheet, PSBTN_CANCEL);
    }));
    EXPECT_EQ(1u, sheets);
}

TEST_F(OptionsTest, TheIntervalIsStoredAsTyped) {
    const struct {
        const char* Typed;
        int Stored;
    } cases[] = {{"0", 0}, {"-5", -5}, {"99999", 99999}, {"abc", 0}, {"", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        ASSERT_TRUE(WithSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, 0);
            SetDlgItemTextA(page, IDC_INTERVAL, c.Typed);
            Press(sheet, PSBTN_OK);
        }));
        EXPECT_EQ(c.Stored, CloseInterval);
        EXPECT_EQ(c.Stored, IniReadInteger(IniFileName, "Main", "CloseInterval", 12345));
    }
}

TEST_F(OptionsTest, TheArrowsStopAtOneAndNineHundredNinetyNine) {
    std::string values[4];
    ASSERT_TRUE(WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, 0);
        HWND spin = GetDlgItem(page, IDC_INTERVAL_SPIN);
        HWND edit = GetDlgItem(page, IDC_INTERVAL);
        RECT r;
        GetClientRect(spin, &r);
        auto click = [&](bool up) {
            LPARAM at = MAKELPARAM(r.right / 2, up ? 1 : r.bottom - 2);
            SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageA(spin, WM_LBUTTONUP, 0, at);
        };
        SetDlgItemTextA(page, IDC_INTERVAL, "998");
        click(true);
        values[0] = Text(edit);
        click(true);
        values[1] = Text(edit);
        SetDlgItemTextA(page, IDC_INTERVAL, "2");
        click(false);
        values[2] = Text(edit);
        click(false);
        values[3] = Text(edit);
        Press(sheet, PSBTN_CANCEL);
    }));
    EXPECT_EQ("999", values[0]);
    EXPECT_EQ("999", values[1]);
    EXPECT_EQ("1", values[2]);
    EXPECT_EQ("1", values[3]);
}

TEST_F(OptionsTest, ApplyWaitsForAChangeAndTextsComeFromTheLanguage) {
    bool applyAtStart = true, applyAfterChange = false;
    std::string caption, tabs[3], texts[3];
    ASSERT_TRUE(WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, 0);
        HWND apply = GetDlgItem(sheet, ID_APPLY);
        applyAtStart = IsWindowEnabled(apply);
        SendDlgItemMessageA(page, IDC_HIDEICON, BM_CLICK, 0, 0);
        applyAfterChange = IsWindowEnabled(apply);
        caption = Text(sheet);
        HWND tab = PropSheet_GetTabControl(sheet);
        for (int i = 0; i < 3; ++i) {
            char title[64] = {};
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = title;
            item.cchTextMax = sizeof title;
            SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            tabs[i] = title;
        }
        texts[0] = Text(GetDlgItem(page, IDC_AUTOSTART));
        texts[1] = Text(GetDlgItem(ShowPage(sheet, 1), IDC_HK_BROWSE_LABEL));
        texts[2] = Text(GetDlgItem(ShowPage(sheet, 2), IDC_CLOSEAPP_LABEL));
        Press(sheet, PSBTN_CANCEL);
    }));
    EXPECT_FALSE(applyAtStart);
    EXPECT_TRUE(applyAfterChange);
    EXPECT_EQ(GetLangText(IDM_OPTIONS), caption);
    EXPECT_EQ(GetLangText(IDD_PAGE_MAIN), tabs[0]);
    EXPECT_EQ(GetLangText(IDD_PAGE_HOTKEYS), tabs[1]);
    EXPECT_EQ(GetLangText(IDD_PAGE_OTHER), tabs[2]);
    EXPECT_EQ(GetLangText(IDC_AUTOSTART), texts[0]);
    EXPECT_EQ(GetLangText(IDC_HK_BROWSE_LABEL), texts[1]);
    EXPECT_EQ(GetLangText(IDC_CLOSEAPP_LABEL), texts[2]);
    EXPECT_FALSE(PathExists(IniFileName)); // Cancel saved nothing
}

TEST(OptionsEndToEnd, TheMenuCommandOpensTheSheetWithItsThreePages) {
    LanguageFileName = ExeFolder() + "English.lng";
    TKestrowProcess kestrow = StartKestrow("");
    HWND window = WaitForKestrowWindow(15000, kestrow.Id);
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    HWND sheet = nullptr;
    std::string caption = GetLangText(IDM_OPTIONS);
    ASSERT_TRUE(WaitUntil(
        [&] { return (sheet = FindWindowA("#32770", caption.c_str())) != nullptr; }, 10000));
    const char* names[3] = {"options-main", "options-hotkeys", "options-other"};
    for (int i = 0; i < 3; ++i) {
        HWND page = ShowPage(sheet, i);
        EXPECT_NE(nullptr, page);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5000));
        RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        EXPECT_TRUE(WaitUntilPainted(sheet, 5000));
        SaveDesktopPicture(names[i]);
    }
    Press(sheet, PSBTN_CANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 5000));
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(WaitForExit(kestrow, 15000, exitCode));
    EXPECT_EQ(0u, exitCode);
}

} // namespace

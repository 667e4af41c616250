// The tray: the menus through their handles, the pictures, the handles held, the icon as shown.
#include <gtest/gtest.h>
#include <map>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/tray/uImages.h"
#include "src/tray/uNotifyIcon.h"
#include "res/resource.h"

// Each item as "identifier state {submenu} checked unchecked caption|", pictures named bN, kX, cX.
static std::string Rows(HMENU menu) {
    std::map<void*, std::string> n = {{nullptr, "-"}};
    for (int i = 0; i < 7; ++i)
        n[MenuBitmaps[i]] = "b" + std::to_string(i);
    for (BYTE i = 0; i < CDCount; ++i)
        n[CDBitmaps[i]] = "c" + std::string(1, CDList[i].Letter),
        n[CDBitmapsChecked[i]] = "k" + n[CDBitmaps[i]].substr(1);
    std::string rows;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char caption[256] = {};
        MENUITEMINFOA m = {};
        m.cbSize = sizeof m, m.dwTypeData = caption, m.cch = sizeof caption - 1;
        m.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_STRING;
        GetMenuItemInfoA(menu, i, TRUE, &m);
        rows += std::to_string(m.wID) + " " + std::to_string(m.fState) + " " +
                (m.hSubMenu ? "{" + Rows(m.hSubMenu) + "}" : "-") + " " + n[m.hbmpChecked] + " " +
                n[m.hbmpUnchecked] + " " + caption + "|";
    }
    return rows;
}
static int Refusals = 0; // how many calls the shell refuses yet
static void *Shell = nullptr, *Timer = nullptr;
static DWORD BalloonIcon = 0;
static BOOL WINAPI ShellSpy(DWORD message, PNOTIFYICONDATAA data) {
    if (data->uFlags & NIF_INFO) BalloonIcon = data->dwInfoFlags;
    return --Refusals < 0 && reinterpret_cast<decltype(&ShellSpy)>(Shell)(message, data);
}
static UINT_PTR WINAPI TimerSpy(HWND w, UINT_PTR id, UINT ms, TIMERPROC f) { // retries sooner
    return reinterpret_cast<decltype(&TimerSpy)>(Timer)(w, id, id == ICON_RETRY_TIMER ? 9 : ms, f);
}

TEST(Tray, MenusPicturesHandlesAndTheIconAsTheShellShowsIt) {
    EnsureMainWindow(), ResetProgramState(), CommandLineMode = true; // no icon back by itself
    const std::string folder = UseTestLanguage(), letters = "ABCDEFGHIJKLMNOPQRSTU";
    FillMemory(NotifyIconData.szTip, 128, 'x'), NotifyIconData.hIcon = HICON(1);
    EXPECT_TRUE(AddTrayIcon() && WaitForTrayTool("", 15000)); // without the stale tip or picture
    RefreshInterface(); // without a drive: no menu, the program's name
    EXPECT_TRUE(!TrayMenu && WaitForTrayTool("Kestrow", 15000));
    auto handles = [] { // GDI objects and menus, probed: GetGuiResources answers 0 under Wine
        int held = 0;
        for (ULONG_PTR h = 1; h < 0x10000; ++h)
            held += (GetObjectType(HGDIOBJ(h)) != 0) + (h >= 32 && h % 2 == 0 && IsMenu(HMENU(h)));
        return held;
    };
    FreeImages(), RemoveTrayIcon(), ReleaseDC(0, GetDC(0)), GetSysColorBrush(COLOR_MENU); // kept
    const int start = handles();
    UseDriveList(letters, mkData), InitImages(), CreateMenus();
    for (int i = 0; i < 101; ++i)
        WriteTextFile(folder + "L" + std::to_string(i) + ".lng",
                      "[Main]\r\n207=Beenden\r\n2030=%s " + std::string(200, 'x'));
    auto languages = [&](const std::string& current) { // in the folder's order, the first hundred
        std::string rows, name;
        WIN32_FIND_DATAA f;
        HANDLE h = FindFirstFileA((folder + "*.lng").c_str(), &f);
        for (int id = IDM_LANGUAGE_FIRST; id <= IDM_LANGUAGE_LAST; ++id, FindNextFileA(h, &f)) {
            name.assign(f.cFileName, strlen(f.cFileName) - 4), name[0] = char(toupper(name[0]));
            rows += std::to_string(id) + (name == current ? " 8 - - - " : " 0 - - - ") + name + "|";
        }
        return FindClose(h), rows;
    };
    auto menus = [] { return std::make_tuple(TrayMenu, DrivesMenu, LanguageMenu, DriveMenus); };
    auto actions = [](int id, const std::string& l) { // a drive's four, with their pictures
        std::string rows;
        for (const char* a : {"b5 b5 Eject", "b6 b6 Load", "b0 b0 Explore", "b1 b1 Start"})
            rows += std::to_string(id++) + " 0 - " + a + "\t[" + l + ":]|";
        return rows;
    };
    int built = 0; // each drive and language had its turn: a leak in any round shows
    for (int i = 0, c = 0; i < 43; c = ++i % 21) {
        const std::string l(1, letters[c]), language = i % 2 ? "English" : "L7";
        LoadLanguage(language, 0), RebuildMenus();
        const auto before = menus();
        SendMessageA(MainWindow, WM_COMMAND, GetMenuItemID(DrivesMenu, c), 0);
        EXPECT_TRUE(c == CurrentDrive && DeviceRequests.empty() && before == menus()) << i;
        std::string list, tray;
        for (int d = 0; d < 21; ++d) { // a drive's commands: 20 + 7 * drive + action
            const std::string x(1, letters[d]),
                row = " k" + x + " c" + x + " " + DriveCaption(x[0]) + "|",
                id = std::to_string(d < 20 ? d : 210) + (d == c ? " 8 " : " 0 ");
            list += id + "-" + row, tray += id + "{" + actions(20 + 7 * d, x) + "}" + row;
        }
        EXPECT_EQ(
            tray + "0 0 - - - |200 8 {" + list + "} k" + l + " c" + l + " Drive:\t[" + l +
                ":]|0 0 - - - |" + actions(IDM_OPEN, l) + "0 0 - - - |208 0 - - - Eject every " +
                "drive|209 0 - - - Load every drive|0 0 - - - |500 0 {" + languages(language) +
                "} - - Languages|0 0 - - - |205 0 - b2 b2 Settings|206 0 - b3 b3 Manual|0 0 - " +
                "- - |207 0 - b4 b4 " + (i % 2 ? "Quit|" : "Beenden|"),
            Rows(TrayMenu));
        built = i == 21 ? handles() : built;
    }
    EXPECT_EQ(built, handles());
    EXPECT_EQ("[D:] - BACKUP|[E:] - (unlabelled)", DriveCaption('D') + "|" + DriveCaption('E'));
    // Side by side: the icon without a drive, of E: by medium, G:'s own, the badge on clear parts.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateBitmap(32, 16, 1, 32, nullptr));
    const int ids[] = {IDI_PROGRAM, IDI_NOMEDIA, IDI_DATA, IDI_AUDIOCD, IDI_DVDVIDEO, 0, IDI_DATA};
    for (int k = 0; k < 7; ++k) {
        CurrentDrive = BYTE(k == 0 ? 21 : k < 5 ? 4 : 6), CDList[4].MediaKind = BYTE((k + 3) % 4);
        HICON base = HICON(LoadImageA(k == 5 ? 0 : GetModuleHandleA(0),
                                      k == 5 ? "G:\\arcade.ico" : MAKEINTRESOURCEA(ids[k]),
                                      IMAGE_ICON, 16, 16, k == 5 ? LR_LOADFROMFILE : 0));
        HICON badge = k > 4 ? CopyIcon(TrayBadgeIcon) : 0;
        HICON shown = k < 6 ? CopyIcon(ComposeTrayIcon()) : OverlayIcon(badge, base);
        for (HICON i : {base, badge, shown})
            DrawIconEx(dc, i == shown ? 16 : 0, 0, i, 16, 16, 0, 0, DI_NORMAL), DestroyIcon(i);
        for (int p = 0; p < 256; ++p)
            EXPECT_EQ(GetPixel(dc, p % 16, p / 16), GetPixel(dc, 16 + p % 16, p / 16)) << k << p;
    }
    DeleteObject(SelectObject(dc, old)), DeleteDC(dc), DestroyMenus(), FreeImages();
    EXPECT_EQ(start, handles());
    InitImages(), CurrentDrive = 3, CommandLineMode = false;
    Shell = ReplaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(ShellSpy));
    Timer = ReplaceImport("user32.dll", "SetTimer", reinterpret_cast<void*>(TimerSpy));
    const std::string tip = "[D:] - BACKUP " + std::string(113, 'x'); // cut to 127
    RemoveTrayIcon(), Refusals = 1000;
    for (int n = 0; n < ICON_RETRY_LIMIT + 3; ++n) {
        UpdateTrayIcon();
        EXPECT_EQ(n < ICON_RETRY_LIMIT, KillTimer(MainWindow, ICON_RETRY_TIMER) != FALSE) << n;
    }
    Refusals = 0, UpdateTrayIcon(); // the failed modify adds it again, the success counts anew
    EXPECT_TRUE(WaitForTrayTool(tip, 15000));
    RemoveTrayIcon(), Refusals = 2, UpdateTrayIcon(); // the timer alone brings it back
    EXPECT_TRUE(WaitForTrayTool(tip, 15000) && !KillTimer(MainWindow, ICON_RETRY_TIMER));
    for (int kind : {bkInformation, bkError, bkWarning}) { // NIIF_INFO 1, NIIF_ERROR 3, ...
        ShowTrayMessage(std::string(300, 'b'), TBalloonKind(kind), false);
        EXPECT_EQ(3u - kind, BalloonIcon) << kind;
    }
    EXPECT_TRUE(WaitUntil([] { return BalloonShown(std::string(255, 'b')); }, 15000));
}

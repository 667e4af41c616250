// The tray: the menus through their handles, the pictures, the handles held, the icon as shown.
#include <gtest/gtest.h>
#include <map>
#include "tests/support/TestSupport.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/tray/uImages.h"
#include "src/tray/uNotifyIcon.h"
#include "res/resource.h"

// Each item as "identifier state submenu checked unchecked caption|", the handles named:
// D, L the drive and language menus, b0... the menu pictures, mX, kX, cX those of drive X.
static std::string Rows(HMENU menu) {
    std::map<void*, std::string> n = {{nullptr, "-"}, {DrivesMenu, "D"}, {LanguageMenu, "L"}};
    for (int i = 0; i < 7; ++i)
        n[MenuBitmaps[i]] = "b" + std::to_string(i);
    for (BYTE i = 0; i < CDCount; ++i) {
        const std::string l(1, CDList[i].Letter);
        n[DriveMenus[i]] = "m" + l, n[CDBitmaps[i]] = "c" + l, n[CDBitmapsChecked[i]] = "k" + l;
    }
    std::string rows;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char caption[256] = {};
        MENUITEMINFOA m = {};
        m.cbSize = sizeof m, m.dwTypeData = caption, m.cch = sizeof caption - 1;
        m.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_STRING;
        GetMenuItemInfoA(menu, i, TRUE, &m);
        rows += std::to_string(m.wID) + " " + std::to_string(m.fState) + " " + n[m.hSubMenu] + " " +
                n[m.hbmpChecked] + " " + n[m.hbmpUnchecked] + " " + caption + "|";
    }
    return rows;
}
static int Refusals = 0; // how many calls the shell refuses yet
static void* Shell = nullptr;
static DWORD BalloonIcon = 0;
static BOOL WINAPI ShellSpy(DWORD message, PNOTIFYICONDATAA data) {
    if (data->uFlags & NIF_INFO) BalloonIcon = data->dwInfoFlags;
    return --Refusals < 0 && reinterpret_cast<decltype(&ShellSpy)>(Shell)(message, data);
}

// 21 drives (D: BACKUP, E: empty, G: a disc with its own icon): each drive item makes its drive
// current in place; the handles held stay flat over rebuilds and are all freed; the shell shows
// the tips and balloons, and an icon lost or refused comes back (tried on a timer, 24 times).
TEST(Tray, MenusPicturesHandlesAndTheIconAsTheShellShowsIt) {
    EnsureMainWindow(), ResetProgramState(), CommandLineMode = true; // no icon back by itself
    const std::string folder = UseTestLanguage(), letters = "ABCDEFGHIJKLMNOPQRSTU";
    WriteTextFile(folder + "Tips.lng", "[Main]\r\n2030=%s " + std::string(200, 'x'));
    FillMemory(NotifyIconData.szTip, 128, 'x'), NotifyIconData.hIcon = HICON(1);
    EXPECT_TRUE(AddTrayIcon() && WaitForTrayTool("", 15000)); // without the stale tip or picture
    RefreshInterface(); // without a drive: no menu, the program's name
    EXPECT_TRUE(!TrayMenu && WaitForTrayTool("Kestrow", 15000));
    FreeImages(), RemoveTrayIcon();
    auto handles = [] { // GDI objects and menus, probed: GetGuiResources answers 0 under Wine
        std::pair<int, int> held;
        for (ULONG_PTR h = 1; h < 0x10000; ++h)
            held.first += GetObjectType(HGDIOBJ(h)) != 0,
                held.second += h >= 0x20 && h % 2 == 0 && IsMenu(HMENU(h));
        return held;
    };
    ReleaseDC(nullptr, GetDC(nullptr)), GetSysColorBrush(COLOR_MENU); // made once, then kept
    const std::pair<int, int> start = handles();
    UseDriveList(letters, mkData), InitImages(), CreateMenus();
    const auto menus = std::make_tuple(TrayMenu, DrivesMenu, LanguageMenu, DriveMenus);
    auto actions = [](int id, char letter) { // a drive's four, with their pictures
        std::string rows;
        for (const char* a : {"b5 b5 Eject", "b6 b6 Load", "b0 b0 Explore", "b1 b1 Start"})
            rows += std::to_string(id++) + " 0 - " + a + "\t[" + letter + ":]|";
        return rows;
    };
    const std::string tail =
        "0 0 - - - |200 8 D k@ c@ Drive:\t[@:]|0 0 - - - |" + actions(IDM_OPEN, '@') +
        "0 0 - - - |208 0 - - - Eject every drive|209 0 - - - Load every drive|0 0 - - - |"
        "500 0 L - - Languages|0 0 - - - |205 0 - b2 b2 Settings|206 0 - b3 b3 "
        "Manual|0 0 - - - |207 0 - b4 b4 Quit|";
    for (int i = 0, c = 0; i < 22; c = ++i % 21) {
        SendMessageA(MainWindow, WM_COMMAND, GetMenuItemID(DrivesMenu, c), 0);
        EXPECT_TRUE(c == CurrentDrive && DeviceRequests.empty() &&
                    menus == std::make_tuple(TrayMenu, DrivesMenu, LanguageMenu, DriveMenus));
        std::string list, tray, current = tail;
        for (int d = 0; d < 21; ++d) {
            const std::string l = letters.substr(d, 1),
                              row = " k" + l + " c" + l + " " + DriveCaption(l[0]) + "|",
                              id = std::to_string(d < 20 ? d : 210) + (d == c ? " 8 " : " 0 ");
            list += id + "-" + row, tray += id + "m" + l + row;
        }
        for (char& ch : current)
            ch = ch == '@' ? letters[c] : ch;
        EXPECT_EQ(list, Rows(DrivesMenu));
        EXPECT_EQ(tray + current, Rows(TrayMenu));
    }
    for (int d = 0; d < 21; ++d) // each drive's actions: commands 20 + 7 * drive + action
        EXPECT_EQ(actions(20 + 7 * d, letters[d]), Rows(DriveMenus[d]));
    EXPECT_EQ("[D:] - BACKUP|[E:] - (unlabelled)", DriveCaption('D') + "|" + DriveCaption('E'));
    auto render = [](std::initializer_list<HICON> icons) { // drawn in turn, then freed
        std::vector<COLORREF> pixels;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, CreateBitmap(16, 16, 1, 32, std::vector<DWORD>(256).data()));
        for (HICON icon : icons)
            DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL), DestroyIcon(icon);
        for (int i = 0; i < 256; ++i)
            pixels.push_back(GetPixel(dc, i % 16, i / 16));
        DeleteObject(SelectObject(dc, old)), DeleteDC(dc);
        return pixels;
    };
    auto load = [](int id) { // a 16-pixel icon of the program, or for 0 G:'s own
        if (!id) return HICON(LoadImageA(0, "G:\\arcade.ico", IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
        return HICON(LoadImageA(GetModuleHandleA(0), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
    };
    // The tray icon without a drive, of E: with each medium kind, of G: its own under the badge;
    // the badge over a picture with clear parts under it.
    const int ids[] = {IDI_PROGRAM, IDI_NOMEDIA, IDI_DATA, IDI_AUDIOCD, IDI_DVDVIDEO, 0, IDI_DATA};
    for (int k = 0; k < 7; ++k) {
        CurrentDrive = BYTE(k == 0 ? 21 : k < 5 ? 4 : 6), CDList[4].MediaKind = BYTE((k + 3) % 4);
        HICON base = load(ids[k]), badge = k > 4 ? CopyIcon(TrayBadgeIcon) : 0;
        HICON shown = k < 6 ? CopyIcon(ComposeTrayIcon()) : OverlayIcon(badge, base);
        EXPECT_EQ(render({base, badge}), render({shown})) << k;
    }
    // Languages in the folder's order (the first hundred: 500 to 599), the current one marked.
    for (int i = 0; i < 101; ++i)
        WriteTextFile(folder + "L" + std::to_string(i) + ".lng", "[Main]\r\n207=Beenden\r\n");
    std::string want; // the second one current
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((folder + "*.lng").c_str(), &f);
    for (int id = IDM_LANGUAGE_FIRST; id <= IDM_LANGUAGE_LAST; ++id, FindNextFileA(h, &f)) {
        std::string name(f.cFileName, strlen(f.cFileName) - 4);
        name[0] = char(toupper(name[0]));
        want += std::to_string(id) + " " + (id == 501 ? "8" : "0") + " - - - " + name + "|";
        if (id == 501) Language = name;
    }
    RebuildMenus();
    EXPECT_EQ(want, Rows(LanguageMenu));
    std::pair<int, int> built; // once each drive and language had its turn
    for (int i = 0; i <= 200; ++i) {
        SendMessageA(MainWindow, WM_COMMAND, GetMenuItemID(DrivesMenu, i % 21), 0);
        LoadLanguage(i % 2 ? "English" : "L7", 0), RebuildMenus();
        if (i == 21) built = handles();
    }
    EXPECT_EQ(built, handles());
    EXPECT_NE(std::string::npos, Rows(TrayMenu).find("207 0 - b4 b4 Beenden|"));
    DestroyMenus(), FreeImages();
    EXPECT_EQ(start, handles());
    InitImages(), CurrentDrive = 3, CommandLineMode = false, LoadLanguage("Tips", 0);
    Shell = ReplaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(ShellSpy));
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
    for (int kind : {bkError, bkWarning, bkInformation}) { // NIIF_ERROR 3, NIIF_WARNING, NIIF_INFO
        const std::string t(kind == bkInformation ? 300 : 10 + kind, 'b'), cut = t.substr(0, 255);
        ShowTrayMessage(t, TBalloonKind(kind), false);
        EXPECT_TRUE(WaitUntil([&] { return BalloonShown(cut); }, 15000) && BalloonIcon == 3u - kind)
            << kind;
    }
}

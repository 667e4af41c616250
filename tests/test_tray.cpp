// The tray: the menus through their handles, the pictures, the handles held, the icon as shown.
#include "tests/support/TestSupport.h"
#include <map>
#include "src/tray/uImages.h"

static std::string Rows(HMENU menu) { // "id state checked unchecked caption {submenu}|" each
    std::map<void*, std::string> n = {{nullptr, "-"}};
    for (int i = 0; i < 7; ++i)
        n[MenuBitmaps[i]] = {'b', char('0' + i)};
    for (BYTE i = 0; i < CDCount; ++i)
        n[CDBitmaps[i]] = {'c', CDList[i].Letter}, n[CDBitmapsChecked[i]] = {'k', CDList[i].Letter};
    std::string rows;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char caption[256] = {};
        MENUITEMINFOA m = {};
        m.cbSize = sizeof m, m.dwTypeData = caption, m.cch = sizeof caption - 1;
        m.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_STRING;
        GetMenuItemInfoA(menu, i, TRUE, &m);
        rows += std::to_string(m.wID) + " " + std::to_string(m.fState) + " " + n[m.hbmpChecked] +
                " " + n[m.hbmpUnchecked] + " " + caption +
                (m.hSubMenu ? " {" + Rows(m.hSubMenu) + "}|" : "|");
    }
    return rows;
}
static int Refusals = 0, BalloonIcon = 0; // how many calls the shell refuses yet, the last kind
static void* Shell = nullptr;
static BOOL WINAPI ShellSpy(DWORD message, PNOTIFYICONDATAA data) {
    if (data->uFlags & NIF_INFO) BalloonIcon = int(data->dwInfoFlags);
    return --Refusals < 0 && reinterpret_cast<decltype(&ShellSpy)>(Shell)(message, data);
}

TEST(Tray, MenusPicturesHandlesAndTheIconAsTheShellShowsIt) {
    EnsureMainWindow(), ResetProgramState(), CommandLineMode = true; // no icon back by itself
    const std::string folder = UseTestLanguage(), letters = "ABCDEFGHIJKLMNOPQRSTU", tip(200, 'x');
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
        WriteTextFile(folder + std::to_string(i) + ".lng", "[Main]\r\n207=Ende\r\n2030=%s " + tip);
    auto languages = [&](const std::string& current) { // in the folder's order, the first hundred
        std::string rows, name;
        WIN32_FIND_DATAA f;
        HANDLE h = FindFirstFileA((folder + "*.lng").c_str(), &f);
        for (int id = IDM_LANGUAGE_FIRST; id <= IDM_LANGUAGE_LAST; ++id, FindNextFileA(h, &f)) {
            name.assign(f.cFileName, strlen(f.cFileName) - 4), name[0] = char(toupper(name[0]));
            rows += std::to_string(id) + (name == current ? " 8 - - " : " 0 - - ") + name + "|";
        }
        return FindClose(h), rows;
    };
    auto menus = [] { return std::make_tuple(TrayMenu, DrivesMenu, LanguageMenu, DriveMenus); };
    auto actions = [](int id, const std::string& l) { // a drive's four, with their pictures
        std::string rows;
        for (const char* a : {"b5 b5 Eject", "b6 b6 Load", "b0 b0 Explore", "b1 b1 Start"})
            rows += std::to_string(id++) + " 0 " + a + "\t[" + l + ":]|";
        return rows;
    };
    int built = 0, timers = 0; // each drive and language had its turn: a leak in any round shows
    for (int i = 0, c = 0; i < 43; c = ++i % 21) {
        std::string l(1, letters[c]), language = i % 2 ? "English" : "7", list, tray;
        const auto before = (LoadLanguage(language, 0), menus()); // the menus built anew
        SendMessageA(MainWindow, WM_COMMAND, GetMenuItemID(DrivesMenu, c), 0);
        EXPECT_TRUE(c == CurrentDrive && DeviceRequests.empty() && before == menus()) << i;
        for (int d = 0; d < 21; ++d) { // a drive's commands: 20 + 7 * drive + action
            const std::string x(1, letters[d]), row = std::to_string(d < 20 ? d : 210) +
                                                      (d == c ? " 8 k" : " 0 k") + x + " c" + x +
                                                      " " + DriveCaption(x[0]);
            list += row + "|", tray += row + " {" + actions(20 + 7 * d, x) + "}|";
        }
        tray += "0 0 - - |200 8 k" + l + " c" + l + " Drive:\t[" + l + ":] {" + list + "}|";
        tray += "0 0 - - |" + actions(IDM_OPEN, l) + "0 0 - - |208 0 - - Eject every drive|";
        tray += "209 0 - - Load every drive|0 0 - - |500 0 - - Languages {" + languages(language);
        tray += "}|0 0 - - |205 0 b2 b2 Settings|206 0 b3 b3 Manual|0 0 - - |207 0 b4 b4 ";
        EXPECT_EQ(tray + (i % 2 ? "Quit|" : "Ende|"), Rows(TrayMenu));
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
        HICON badge = k > 4 ? CopyIcon(TrayBadgeIcon) : 0,
              shown = k < 6 ? CopyIcon(ComposeTrayIcon()) : OverlayIcon(badge, base);
        for (HICON i : {base, badge, shown})
            DrawIconEx(dc, i == shown ? 16 : 0, 0, i, 16, 16, 0, 0, DI_NORMAL), DestroyIcon(i);
        for (int p = 0; p < 256; ++p)
            EXPECT_EQ(GetPixel(dc, p % 16, p / 16), GetPixel(dc, 16 + p % 16, p / 16)) << k << p;
    }
    DeleteObject(SelectObject(dc, old)), DeleteDC(dc), DestroyMenus(), FreeImages();
    EXPECT_EQ(start, handles());
    InitImages(), CurrentDrive = 3, CommandLineMode = false, RemoveTrayIcon(), Refusals = 1000;
    Shell = ReplaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(ShellSpy));
    for (int n = 0; n < ICON_RETRY_LIMIT + 3; ++n) // a timer for each refused add, up to the limit
        UpdateTrayIcon(), timers += KillTimer(MainWindow, ICON_RETRY_TIMER);
    EXPECT_EQ(ICON_RETRY_LIMIT, timers);
    // A failed modify adds it again, the success counting anew; the timer alone brings it back.
    Refusals = 0, UpdateTrayIcon(), RemoveTrayIcon(), Refusals = 2, UpdateTrayIcon();
    EXPECT_TRUE(WaitForTrayTool("[D:] - BACKUP " + tip.substr(0, 113), 15000)); // the tip cut
    for (int kind : {bkInformation, bkError, bkWarning}) { // NIIF_INFO 1, NIIF_ERROR 3, ...
        ShowTrayMessage(std::string(300, 'b'), TBalloonKind(kind), false);
        EXPECT_EQ(3 - kind, BalloonIcon) << kind;
    }
    EXPECT_TRUE(WaitUntil([] { return BalloonShown(std::string(255, 'b')); }, 15000));
}

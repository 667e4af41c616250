// The tray: the popup menu read back through its handles, the icon as the
// shell shows it, the pictures on their pixels, and the handles they hold.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/settings/uSettings.h"
#include "src/tray/uImages.h"
#include "src/tray/uNotifyIcon.h"
#include "res/resource.h"

namespace {

// A handle by name: T, D, L the tray, drives and languages menus, m a drive's
// menu, c and k a drive's plain and checked picture, b a menu picture.
std::string Name(void* handle) {
    std::vector<std::pair<void*, std::string>> known = {
        {nullptr, "-"}, {TrayMenu, "T"}, {DrivesMenu, "D"}, {LanguageMenu, "L"}};
    for (size_t i = 0; i < DriveMenus.size(); ++i)
        known.push_back({DriveMenus[i], "m" + std::to_string(i)});
    for (size_t i = 0; i < CDBitmaps.size(); ++i)
        known.insert(known.end(), {{CDBitmaps[i], "c" + std::to_string(i)},
                                   {CDBitmapsChecked[i], "k" + std::to_string(i)}});
    for (int i = 0; i < 7; ++i)
        known.push_back({MenuBitmaps[i], "b" + std::to_string(i)});
    for (const auto& k : known)
        if (k.first == handle) return k.second;
    return "?";
}
// Each item as "identifier type state submenu checked unchecked caption".
std::vector<std::string> Rows(HMENU menu) {
    std::vector<std::string> rows;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char caption[256] = {};
        MENUITEMINFOA m = {};
        m.cbSize = sizeof m;
        m.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_STRING;
        m.dwTypeData = caption;
        m.cch = sizeof caption - 1;
        GetMenuItemInfoA(menu, i, TRUE, &m);
        char row[400];
        std::snprintf(row, sizeof row, "%u %x %x %s %s %s %s", m.wID, m.fType, m.fState,
                      Name(m.hSubMenu).c_str(), Name(m.hbmpChecked).c_str(),
                      Name(m.hbmpUnchecked).c_str(), caption);
        rows.push_back(row);
    }
    return rows;
}
std::string Caption(HMENU menu, int position) {
    char caption[256] = {};
    GetMenuStringA(menu, position, caption, sizeof caption, MF_BYPOSITION);
    return caption;
}
std::vector<HMENU> AllMenus() {
    std::vector<HMENU> menus = {TrayMenu, DrivesMenu, LanguageMenu};
    menus.insert(menus.end(), DriveMenus.begin(), DriveMenus.end());
    return menus;
}

// GDI objects and menus held. GetGuiResources answers 0 under Wine: there the
// handle values Wine gives are probed (a leaked icon shows by its bitmaps).
std::pair<int, int> Handles() {
    int gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiSeen = 0,
        user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), menus = 0;
    for (ULONG_PTR h = 1; h < 0x10000; ++h) {
        gdiSeen += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
        menus += h >= 0x20 && h % 2 == 0 && IsMenu(reinterpret_cast<HMENU>(h));
    }
    return {gdi ? gdi : gdiSeen, user ? user : menus};
}

using TPixels = std::vector<DWORD>; // 0x00RRGGBB, top row first
const COLORREF Grounds[] = {RGB(255, 0, 255), RGB(0, 160, 0)}, MENU_GROUND = CLR_NONE;

TPixels ReadBitmap(HBITMAP bitmap, int width = MenuImageWidth, int height = MenuImageHeight) {
    TPixels pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}
// The icon drawn at 16x16 over a colour, or the way a menu image is drawn.
TPixels Render(HICON icon, COLORREF ground) {
    const bool menu = ground == MENU_GROUND;
    const int width = menu ? MenuImageWidth : 16, height = menu ? MenuImageHeight : 16;
    BITMAPINFO info = {};
    info.bmiHeader = {
        sizeof info.bmiHeader, width, height, 1, WORD(menu ? 24 : 32), BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = menu ? GetSysColorBrush(COLOR_MENU) : CreateSolidBrush(ground);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    if (!menu) DeleteObject(brush);
    DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    TPixels pixels = ReadBitmap(bitmap, width, height);
    DeleteObject(bitmap);
    return pixels;
}
HICON LoadIconResource(int id) {
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

// The composite shows the badge wherever the badge is opaque, whatever lies
// under it, and the base everywhere else.
void ExpectOverlaid(HICON composite, HICON base, HICON badge) {
    ASSERT_NE(nullptr, composite);
    ICONINFO info = {};
    GetIconInfo(badge, &info);
    const TPixels mask = ReadBitmap(info.hbmMask, 16, 16);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_GT(std::count(mask.begin(), mask.end(), 0u), 20);
    for (COLORREF ground : Grounds) {
        TPixels drawn = Render(composite, ground), under = Render(base, ground),
                over = Render(badge, ground);
        for (size_t i = 0; i < drawn.size(); ++i)
            ASSERT_EQ(mask[i] == 0 ? over[i] : under[i], drawn[i]) << "pixel " << i;
    }
}

class TrayTest : public ::testing::Test {
  protected:
    std::string Folder;
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // nothing is saved, no icon comes back by itself
        Folder = UseTestLanguage();
    }
    void TearDown() override {
        DestroyMenus();
        RemoveTrayIcon();
        FreeImages();
        ResetProgramState();
    }
};

const char* const Actions[] = {" 0 0 - b5 b5 Eject", " 0 0 - b6 b6 Load", " 0 0 - b0 b0 Explore",
                               " 0 0 - b1 b1 Start"};

// The tray menu with drive c current, or the drive list (its first rows).
std::vector<std::string> ExpectedMenu(int c, bool driveList) {
    const char* drives[] = {"[D:] - BACKUP", "[E:] - (unlabelled)", "[F:] - MOVIE"};
    const std::string d = std::to_string(c), line = "|0 800 0 - - - |";
    std::vector<std::string> rows;
    for (int i = 0; i < 3; ++i)
        rows.push_back(std::to_string(i) + " 200 " + (i == c ? "8 " : "0 ") +
                       (driveList ? "-" : "m" + std::to_string(i)) + " k" + std::to_string(i) +
                       " c" + std::to_string(i) + " " + drives[i]);
    if (driveList) return rows;
    std::string tail = line + "200 0 8 D k" + d + " c" + d + " Drive:\t[#:]" + line;
    for (int a = 0; a < 4; ++a)
        tail += std::to_string(IDM_OPEN + a) + Actions[a] + "\t[#:]|";
    tail += "0 800 0 - - - |208 0 0 - - - Eject every drive|209 0 0 - - - Load every drive" + line +
            "500 0 0 L - - Languages" + line + "205 0 0 - b2 b2 Settings|206 0 0 - b3 b3 Manual" +
            line + "207 0 0 - b4 b4 Quit|";
    for (size_t at = 1, end; (end = tail.find('|', at)) != std::string::npos; at = end + 1)
        rows.push_back(tail.substr(at, end - at));
    for (std::string& row : rows)
        std::replace(row.begin(), row.end(), '#', "DEF"[c]);
    return rows;
}

// D: BACKUP, E: no medium, F: a DVD-Video disc. A selection changes the menus
// in place: the same handles, new marks and captions.
TEST_F(TrayTest, MenuHasEveryItemInItsPlaceAndASelectionChangesItInPlace) {
    UseDriveList("DEF", mkData);
    CDList[1].MediaKind = mkNoMedia;
    CDList[2].MediaKind = mkDVDVideo;
    CurrentDrive = 1;
    InitImages();
    CreateMenus();
    const std::vector<HMENU> menus = AllMenus();
    for (BYTE drive : {1, 0, 2, 2, 1}) {
        SCOPED_TRACE(int(drive));
        SendMessageA(MainWindow, WM_COMMAND, drive, 0); // the drive's item in the list
        EXPECT_EQ(drive, CurrentDrive);
        EXPECT_EQ(menus, AllMenus());
        EXPECT_EQ(ExpectedMenu(drive, false), Rows(TrayMenu));
        EXPECT_EQ(ExpectedMenu(drive, true), Rows(DrivesMenu));
    }
    for (UINT d = 0; d < 3; ++d) { // each drive's actions: commands 20 + 7 * drive + action
        std::vector<std::string> rows;
        for (UINT a = 0; a < 4; ++a)
            rows.push_back(std::to_string(20 + 7 * d + a) + Actions[a] + "\t[" + "DEF"[d] + ":]");
        EXPECT_EQ(rows, Rows(DriveMenus[d])) << d;
    }
}

TEST_F(TrayTest, EveryItemOfTwentyOneDrivesSelectsItsDriveInPlaceWithoutDeviceRequest) {
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTU";
    UseDriveList(letters, mkData);
    InitImages();
    CreateMenus();
    const std::vector<HMENU> menus = AllMenus();
    for (int i = 0; i < 21; ++i) {
        SCOPED_TRACE(i);
        SendMessageA(MainWindow, WM_COMMAND, GetMenuItemID(DrivesMenu, i), 0);
        EXPECT_TRUE(i == CurrentDrive && DeviceRequests.empty() && menus == AllMenus());
        // The drives lead both menus in their order, the mark on the chosen one only.
        for (HMENU menu : {DrivesMenu, TrayMenu})
            for (int d = 0; d < 21; ++d) {
                EXPECT_EQ(std::string("[") + letters[d] + ":]", Caption(menu, d).substr(0, 4));
                EXPECT_EQ(d == i, (GetMenuState(menu, d, MF_BYPOSITION) & MF_CHECKED) != 0) << d;
            }
    }
}

TEST_F(TrayTest, LanguagesAreListedInFolderOrderWithTheCurrentOneMarkedAtMostAHundred) {
    for (const char* name : {"Deutsch", "\374ber", ""}) // keeps its first letter; ".lng" is none
        WriteTextFile(Folder + name + ".lng", "[Main]\r\n");
    CreateDirectoryA((Folder + "folder.lng").c_str(), nullptr);
    std::vector<std::string> order; // as a search of the folder gives them
    WIN32_FIND_DATAA found;
    for (HANDLE h = FindFirstFileA((Folder + "*.lng").c_str(), &found); h;
         h = FindNextFileA(h, &found) ? h : (FindClose(h), nullptr))
        for (std::string name : {"english", "Deutsch", "\374ber"})
            if (name + ".lng" == found.cFileName)
                order.push_back(name == "english" ? "English" : name);
    ASSERT_EQ(3u, order.size());
    UseDriveList("D", mkData);
    InitImages();
    for (const char* language : {"English", "Deutsch", "english"}) {
        SCOPED_TRACE(language);
        Language = language;
        RebuildMenus();
        std::vector<std::string> rows;
        for (UINT i = 0; i < order.size(); ++i)
            rows.push_back(std::to_string(IDM_LANGUAGE_FIRST + i) + " 200 " +
                           (order[i] == language ? "8" : "0") + " - - - " + order[i]);
        EXPECT_EQ(rows, Rows(LanguageMenu));
    }
    for (int i = 0; i < 101; ++i)
        WriteTextFile(Folder + "Language" + std::to_string(i) + ".lng", "[Main]\r\n");
    RebuildMenus();
    ASSERT_EQ(100, GetMenuItemCount(LanguageMenu)); // 500 to 599 reach a language
    EXPECT_EQ(static_cast<UINT>(IDM_LANGUAGE_LAST), GetMenuItemID(LanguageMenu, 99));
}

TEST_F(TrayTest, WithoutDriveNoMenuIsBuiltAndTheIconShowsTheProgram) {
    InitImages();
    RefreshInterface();
    EXPECT_EQ(std::vector<HMENU>(3, nullptr), AllMenus());
    EXPECT_STREQ("Kestrow", NotifyIconData.szTip);
    HICON program = LoadIconResource(IDI_PROGRAM);
    EXPECT_EQ(Render(program, Grounds[0]), Render(NotifyIconData.hIcon, Grounds[0]));
    DestroyIcon(program);
    SendMessageA(MainWindow, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN); // no menu to show
}

TEST_F(TrayTest, HandleCountsStayFlatAndFreeImagesReleasesEveryHandle) {
    const std::pair<int, int> start = Handles();
    HMENU menu = CreatePopupMenu(); // the counters see a leak
    HICON icon = LoadIconResource(IDI_DATA);
    EXPECT_TRUE(Handles().first > start.first && Handles().second == start.second + 1);
    DestroyMenu(menu);
    DestroyIcon(icon);
    ASSERT_EQ(start, Handles());
    WriteTextFile(Folder + "Deutsch.lng", "[Main]\r\n207=Beenden\r\n");
    UseDriveList("GDEF", mkData); // G: a disc with its own icon takes the most handles
    InitImages();
    std::pair<int, int> built; // once each drive and language had its turn
    for (int i = 0; i <= 200; ++i) {
        ComposeTrayIcon();
        ComposeAllDriveImages();
        RebuildMenus();
        SendMessageA(MainWindow, WM_COMMAND, i % 4, 0);
        LoadLanguage(i % 2 ? "Deutsch" : "English", 0);
        if (i == 7) built = Handles();
    }
    EXPECT_EQ(built, Handles());
    EXPECT_EQ("Quit", Caption(TrayMenu, 20)); // the last load was English's
    LoadLanguage("Deutsch", 0);
    EXPECT_EQ("Beenden", Caption(TrayMenu, 20));
    DestroyMenus();
    FreeImages();
    EXPECT_EQ(start, Handles());
}

// Through the shell's own view: its tooltips, its balloon.
TEST_F(TrayTest, TheShellShowsTheRecordTheTipsAndTheBalloons) {
    WriteTextFile(LanguageFileName, "[Main]\r\n2030=%s " + std::string(200, 'x'));
    NOTIFYICONDATAA& data = NotifyIconData;
    FillMemory(data.szTip, sizeof data.szTip, 'x');
    data.hIcon = reinterpret_cast<HICON>(1);
    ASSERT_TRUE(AddTrayIcon()); // the record alone, without picture or tip
    EXPECT_EQ(std::make_tuple(DWORD(NOTIFYICONDATAA_V2_SIZE), MainWindow, 0u,
                              UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), WM_TRAYNOTIFY, HICON()),
              std::make_tuple(data.cbSize, data.hWnd, data.uID, data.uFlags, data.uCallbackMessage,
                              data.hIcon));
    EXPECT_EQ(std::string(sizeof data.szTip, '\0'), std::string(data.szTip, sizeof data.szTip));
    EXPECT_TRUE(WaitForTrayTool("", 15000));
    UseDriveList("DE", mkNoMedia);
    CDList[0].MediaKind = mkData;
    InitImages();
    const std::string longTip = "[D:] - BACKUP " + std::string(113, 'x'); // cut to 127
    for (BYTE drive : {1, 0}) {
        CurrentDrive = drive;
        UpdateTrayIcon();
        EXPECT_TRUE(WaitForTrayTool(drive ? "[E:]" : longTip, 15000)) << int(drive);
        EXPECT_TRUE(TrayIcon == data.hIcon && TrayIcon);
    }
    TTrayTool tool;
    ShowTrayIcon(true); // hidden: gone from the shell
    EXPECT_FALSE(FindTrayTool(longTip, tool));
    ShowTrayIcon(false);
    EXPECT_TRUE(WaitForTrayTool(longTip, 15000));
    MSG quit;
    TTrayBalloon balloon;
    const int kinds[][2] = {
        {-1, TTI_INFO}, {bkError, TTI_ERROR}, {bkWarning, TTI_WARNING}, {bkInformation, TTI_INFO}};
    for (const auto& k : kinds) {
        std::string text = "Balloon of kind " + std::to_string(k[0]);
        if (k[0] < 0) // a long text is cut to 255
            SetTrayBalloon("t", std::string(300, 'b'), NIIF_INFO), text = std::string(255, 'b');
        else
            ShowTrayMessage(text, static_cast<TBalloonKind>(k[0]), false);
        EXPECT_TRUE(WaitUntil(
            [&] {
                return ReadTrayBalloon(balloon) && balloon.Text == text && balloon.Icon == k[1];
            },
            15000))
            << k[0] << ": " << balloon.Text << " " << balloon.Icon;
        EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    }
    ShowTrayMessage("No drive", bkError, true); // a closing message ends the program
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

BOOL WINAPI RefuseShellNotifyIcon(DWORD, PNOTIFYICONDATAA) {
    return FALSE; // a shell that is busy, or not there yet
}

// An icon the shell lost comes back at the next refresh; a refused add is
// tried again on a timer, a limited number of times in a row.
TEST_F(TrayTest, ALostIconIsAddedAgainAndARefusedAddRetried) {
    UseDriveList("D", mkNoMedia);
    CommandLineMode = false;
    ShowTrayIcon(false);
    ASSERT_TRUE(WaitForTrayTool("[D:]", 15000));
    TTrayTool tool;
    for (bool hidden : {true, false}) {
        HideIcon = hidden;
        RemoveTrayIcon();
        UpdateTrayIcon();
        EXPECT_EQ(!hidden, hidden ? FindTrayTool("[D:]", tool) : WaitForTrayTool("[D:]", 15000));
    }
    void* const refuse = reinterpret_cast<void*>(RefuseShellNotifyIcon);
    auto retrying = [] { return KillTimer(MainWindow, ICON_RETRY_TIMER) != FALSE; };
    RemoveTrayIcon();
    void* const shell = ReplaceImport("shell32.dll", "Shell_NotifyIconA", refuse);
    ASSERT_NE(nullptr, shell);
    for (int n = 0; n < ICON_RETRY_LIMIT + 3; ++n) {
        UpdateTrayIcon();
        EXPECT_EQ(n < ICON_RETRY_LIMIT, retrying()) << n;
    }
    ReplaceImport("shell32.dll", "Shell_NotifyIconA", shell); // a success starts the count anew
    UpdateTrayIcon();
    EXPECT_TRUE(WaitForTrayTool("[D:]", 15000));
    RemoveTrayIcon();
    ReplaceImport("shell32.dll", "Shell_NotifyIconA", refuse);
    UpdateTrayIcon();
    ReplaceImport("shell32.dll", "Shell_NotifyIconA", shell); // the timer alone brings it back
    EXPECT_TRUE(WaitForTrayTool("[D:]", 15000));
    EXPECT_FALSE(retrying()); // and then stops
}

TEST_F(TrayTest, OverlayDrawsTheBadgeOpaqueAndKeepsTheBaseElsewhere) {
    // Alpha under the disc badge, the badge partly over clear base, the check
    // over the film strip, two pictures without alpha.
    const int cases[][2] = {{IDI_DATA, IDI_TRAYBADGE},
                            {IDI_NOMEDIA, IDI_TRAYBADGE},
                            {IDI_DVDVIDEO, IDI_CHECKBADGE},
                            {IDI_CHECKBADGE, IDI_TRAYBADGE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        HICON base = LoadIconResource(c[0]), badge = LoadIconResource(c[1]);
        const TPixels before = Render(base, Grounds[1]);
        HICON composite = OverlayIcon(badge, base);
        ExpectOverlaid(composite, base, badge);
        EXPECT_EQ(before, Render(base, Grounds[1])); // the base is left as it was
        for (HICON icon : {composite, base, badge})
            DestroyIcon(icon);
    }
}

// Each medium kind's picture in the tray and the menu (E: has no autorun.inf);
// the checked image carries a green check in its upper part and is otherwise
// the same. G: names arcade.ico in its autorun.inf, shown with the disc badge;
// D: gets one naming an icon of this executable by position or by number.
TEST_F(TrayTest, EachMediumKindAndAutorunIconHasItsPictureAndTheCheckedOneItsCheck) {
    UseDriveList("GDE", mkData);
    InitImages();
    auto greenish = [](DWORD p) {
        const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        return g > r + 50 && g > b + 50;
    };
    CurrentDrive = 2;
    const int cases[][2] = {{mkNoMedia, IDI_NOMEDIA},
                            {mkData, IDI_DATA},
                            {mkAudioCD, IDI_AUDIOCD},
                            {mkDVDVideo, IDI_DVDVIDEO}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        CDList[2].MediaKind = static_cast<BYTE>(c[0]);
        HICON expected = LoadIconResource(c[1]), tray = ComposeTrayIcon();
        for (COLORREF ground : Grounds)
            EXPECT_EQ(Render(expected, ground), Render(tray, ground));
        const TPixels plain = ReadBitmap(ComposeDriveImage(2)),
                      checked = ReadBitmap(ComposeCheckedImage(2));
        EXPECT_EQ(Render(expected, MENU_GROUND), plain);
        EXPECT_GT(std::count_if(checked.begin(), checked.end(), greenish),
                  std::count_if(plain.begin(), plain.end(), greenish) + 4);
        const size_t lower = (10 * MenuImageHeight + 15) / 16 * MenuImageWidth;
        EXPECT_TRUE(std::equal(plain.begin() + lower, plain.end(), checked.begin() + lower));
        DestroyIcon(expected);
    }
    CurrentDrive = 0;
    HICON own = static_cast<HICON>(
        LoadImageA(nullptr, "G:\\arcade.ico", IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
    ExpectOverlaid(ComposeTrayIcon(), own, TrayBadgeIcon);
    EXPECT_EQ(Render(own, MENU_GROUND), ReadBitmap(ComposeDriveImage(0)));
    DestroyIcon(own);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::pair<std::string, int> icons[] = {// the program's icons in their numbers' order
                                                 {"2", IDI_NOMEDIA},
                                                 {"-" + std::to_string(IDI_DVDVIDEO), IDI_DVDVIDEO},
                                                 {"99", IDI_DATA}};
    for (const auto& c : icons) { // by position, by number, and none: the medium's
        WriteTextFile("D:\\autorun.inf", "[autorun]\r\nicon=" + std::string(self) + "," + c.first);
        HICON expected = LoadIconResource(c.second);
        EXPECT_EQ(Render(expected, MENU_GROUND), ReadBitmap(ComposeDriveImage(1))) << c.first;
        DestroyIcon(expected);
    }
    DeleteFileA("D:\\autorun.inf");
}

// A large menu font makes the check mark larger than a small icon.
TEST_F(TrayTest, MenuImagesTakeTheSmallerOfMenuCheckAndSmallIcon) {
    NONCLIENTMETRICSA saved = {}, large;
    saved.cbSize = sizeof saved;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0));
    large = saved;
    large.iMenuHeight = 40;
    large.lfMenuFont.lfHeight = -36;
    UseDriveList("D", mkData);
    for (NONCLIENTMETRICSA* metrics : {&saved, &large, &saved}) {
        SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof *metrics, metrics, 0);
        const int check = GetSystemMetrics(SM_CXMENUCHECK), small = GetSystemMetrics(SM_CXSMICON);
        EXPECT_EQ(metrics == &large, check > small) << "the check mark did not grow";
        FreeImages();
        InitImages();
        for (HBITMAP bitmap : {CDBitmaps[0], CDBitmapsChecked[0], MenuBitmaps[0]}) {
            BITMAP info = {};
            GetObjectA(bitmap, sizeof info, &info);
            EXPECT_EQ(std::min(check, small), info.bmWidth);
            EXPECT_EQ(std::min(GetSystemMetrics(SM_CYMENUCHECK), GetSystemMetrics(SM_CYSMICON)),
                      info.bmHeight);
        }
    }
}

} // namespace

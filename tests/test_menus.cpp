// The popup menu as built, read back through the real menu handles.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayFixtures.h"
#include "src/common/uGlobals.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/tray/uImages.h"
#include "src/tray/uNotifyIcon.h"
#include "res/resource.h"

namespace {

struct TItem {
    UINT Type, State, Id;
    HMENU SubMenu;
    HBITMAP Checked, Unchecked;
    std::string Caption;
};

TItem ReadItem(HMENU menu, int position) {
    char caption[256] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_STRING;
    info.dwTypeData = caption;
    info.cch = sizeof caption - 1;
    EXPECT_TRUE(GetMenuItemInfoA(menu, position, TRUE, &info)) << "item " << position;
    return {info.fType,       info.fState,        info.wID, info.hSubMenu,
            info.hbmpChecked, info.hbmpUnchecked, caption};
}

std::vector<TItem> ReadMenu(HMENU menu) {
    std::vector<TItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        items.push_back(ReadItem(menu, i));
    return items;
}

HBITMAP Bitmap(int id) {
    return MenuBitmaps[id - IDB_FOLDER];
}

// The names that a search of the folder for *.lng gives, in its order.
std::vector<std::string> FolderOrder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.lng").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class MenusTest : public ::testing::Test {
  protected:
    std::string Folder;

    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // nothing is saved, no icon is shown
        Folder = UseTestLanguage();
        UseDrives("DEF", mkData); // D: BACKUP, E: no medium, F: a DVD-Video disc
        CDList[1].MediaKind = mkNoMedia;
        CDList[2].MediaKind = mkDVDVideo;
        CurrentDrive = 1;
        InitImages();
    }
    void TearDown() override {
        DestroyMenus();
        FreeImages();
        ResetProgramState();
    }
    void ExpectItem(const TItem& item, UINT type, UINT id, UINT state, const std::string& caption,
                    HMENU subMenu, HBITMAP checked, HBITMAP unchecked) {
        EXPECT_EQ(type, item.Type);
        EXPECT_EQ(id, item.Id);
        EXPECT_EQ(state, item.State);
        EXPECT_EQ(caption, item.Caption);
        EXPECT_EQ(subMenu, item.SubMenu);
        EXPECT_EQ(checked, item.Checked);
        EXPECT_EQ(unchecked, item.Unchecked);
    }
    void ExpectCurrentDrive(BYTE current) {
        const std::string tag = std::string("[") + CDList[current].Letter + ":]";
        std::vector<TItem> items = ReadMenu(TrayMenu);
        ASSERT_EQ(20u, items.size());
        const char* captions[] = {"[D:] - BACKUP", "[E:] - (unlabelled)", "[F:] - MOVIE"};
        for (BYTE i = 0; i < 3; ++i) {
            SCOPED_TRACE(testing::Message() << "drive item " << int(i));
            ExpectItem(items[i], MFT_RADIOCHECK, i, i == current ? MFS_CHECKED : 0u, captions[i],
                       DriveMenus[i], CDBitmapsChecked[i], CDBitmaps[i]);
            TItem choice = ReadItem(DrivesMenu, i);
            SCOPED_TRACE("drive list");
            ExpectItem(choice, MFT_RADIOCHECK, i, i == current ? MFS_CHECKED : 0u, captions[i],
                       nullptr, CDBitmapsChecked[i], CDBitmaps[i]);
        }
        ExpectItem(items[4], MFT_STRING, IDM_DRIVES, MFS_CHECKED, "Drive:\t" + tag, DrivesMenu,
                   CDBitmapsChecked[current], CDBitmaps[current]);
        const char* actions[] = {"Eject", "Load", "Explore", "Start"};
        const int images[] = {IDB_EJECT, IDB_LOAD, IDB_FOLDER, IDB_BULB};
        for (int a = 0; a < 4; ++a) {
            SCOPED_TRACE(actions[a]);
            ExpectItem(items[6 + a], MFT_STRING, IDM_OPEN + a, 0, actions[a] + ("\t" + tag),
                       nullptr, Bitmap(images[a]), Bitmap(images[a]));
        }
    }
};

TEST_F(MenusTest, FinishedMenuHasEveryItemInItsPlace) {
    CreateMenus();
    ASSERT_NE(nullptr, TrayMenu);
    ExpectCurrentDrive(1);
    std::vector<TItem> items = ReadMenu(TrayMenu);
    ASSERT_EQ(20u, items.size());
    for (int separator : {3, 5, 10, 13, 15, 18}) {
        SCOPED_TRACE(separator);
        EXPECT_EQ(static_cast<UINT>(MFT_SEPARATOR), items[separator].Type);
    }
    struct {
        int Position;
        UINT Id;
        const char* Caption;
        HMENU SubMenu;
        HBITMAP Image;
    } const rest[] = {
        {11, IDM_OPENALL, "Eject every drive", nullptr, nullptr},
        {12, IDM_CLOSEALL, "Load every drive", nullptr, nullptr},
        {14, IDM_LANGUAGE_FIRST, "Languages", LanguageMenu, nullptr},
        {16, IDM_OPTIONS, "Settings", nullptr, Bitmap(IDB_TOOLS)},
        {17, IDM_HELP, "Manual", nullptr, Bitmap(IDB_QUESTION)},
        {19, IDM_EXIT, "Quit", nullptr, Bitmap(IDB_DOOR)},
    };
    for (const auto& r : rest) {
        SCOPED_TRACE(r.Caption);
        ExpectItem(items[r.Position], MFT_STRING, r.Id, 0, r.Caption, r.SubMenu, r.Image, r.Image);
    }
    EXPECT_EQ(3, GetMenuItemCount(DrivesMenu));
}

TEST_F(MenusTest, EachDriveHasItsActionsWithTheirIdentifiers) {
    CreateMenus();
    const char* actions[] = {"Eject", "Load", "Explore", "Start"};
    const int images[] = {IDB_EJECT, IDB_LOAD, IDB_FOLDER, IDB_BULB};
    for (BYTE drive = 0; drive < 3; ++drive) {
        SCOPED_TRACE(static_cast<int>(drive));
        std::vector<TItem> items = ReadMenu(DriveMenus[drive]);
        ASSERT_EQ(4u, items.size());
        const std::string tag = std::string("[") + CDList[drive].Letter + ":]";
        for (int a = 0; a < 4; ++a)
            ExpectItem(items[a], MFT_STRING, 20 + 7 * drive + a, 0, actions[a] + ("\t" + tag),
                       nullptr, Bitmap(images[a]), Bitmap(images[a]));
    }
    EXPECT_EQ(34u, ReadItem(DriveMenus[2], 0).Id);
    EXPECT_EQ(37u, ReadItem(DriveMenus[2], 3).Id);
}

// A selection changes the menus in place: the same menus, nothing rebuilt.
TEST_F(MenusTest, ChoosingADriveInTheListMovesTheMarkAndTheCaptions) {
    CreateMenus();
    const std::vector<HMENU> menus = {TrayMenu, DrivesMenu, LanguageMenu, DriveMenus[0]};
    for (BYTE drive : {0, 2, 2, 1}) {
        SCOPED_TRACE(int(drive));
        SendMessageA(MainWindow, WM_COMMAND, drive, 0); // the drive's item in the list
        EXPECT_EQ(drive, CurrentDrive);
        ExpectCurrentDrive(drive);
        EXPECT_EQ(menus, (std::vector<HMENU>{TrayMenu, DrivesMenu, LanguageMenu, DriveMenus[0]}));
    }
}

TEST_F(MenusTest, LanguagesAreListedInFolderOrderWithTheCurrentOneMarked) {
    WriteTextFile(Folder + "Deutsch.lng", "[Main]\r\n");
    WriteTextFile(Folder + "\xfc"
                           "ber.lng",
                  "[Main]\r\n");                  // keeps its first letter
    WriteTextFile(Folder + ".lng", "[Main]\r\n"); // no name: not listed
    CreateDirectoryA((Folder + "folder.lng").c_str(), nullptr);
    std::vector<std::string> expected;
    for (const std::string& file : FolderOrder(Folder)) {
        if (file == "english.lng") expected.push_back("English");
        if (file == "Deutsch.lng") expected.push_back("Deutsch");
        if (file == "\xfc"
                    "ber.lng")
            expected.push_back("\xfc"
                               "ber");
    }
    ASSERT_EQ(3u, expected.size());

    for (const char* language : {"English", "Deutsch", "english"}) {
        SCOPED_TRACE(language);
        Language = language;
        RebuildMenus();
        std::vector<TItem> items = ReadMenu(LanguageMenu);
        ASSERT_EQ(expected.size(), items.size());
        for (size_t i = 0; i < items.size(); ++i)
            ExpectItem(items[i], MFT_RADIOCHECK, IDM_LANGUAGE_FIRST + static_cast<UINT>(i),
                       expected[i] == language ? MFS_CHECKED : 0u, expected[i], nullptr, nullptr,
                       nullptr);
    }
}

TEST_F(MenusTest, AtMostAHundredLanguagesAreListed) {
    for (int i = 0; i < 101; ++i)
        WriteTextFile(Folder + "Language" + std::to_string(i) + ".lng", "[Main]\r\n");
    CreateMenus();
    std::vector<TItem> items = ReadMenu(LanguageMenu);
    ASSERT_EQ(100u, items.size()); // 500 to 599; 600 is no language command
    EXPECT_EQ(static_cast<UINT>(IDM_LANGUAGE_LAST), items.back().Id);
}

TEST_F(MenusTest, NoLanguageFileLeavesTheLanguageMenuEmpty) {
    AppPath = NewTempFolder();
    CreateMenus();
    EXPECT_EQ(0, GetMenuItemCount(LanguageMenu));
    EXPECT_EQ(20, GetMenuItemCount(TrayMenu));
}

TEST_F(MenusTest, DestroyingReleasesEveryMenuOnce) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        CreateMenus();
        std::vector<HMENU> menus = {TrayMenu, DrivesMenu, LanguageMenu};
        menus.insert(menus.end(), DriveMenus.begin(), DriveMenus.end());
        for (HMENU menu : menus)
            ASSERT_TRUE(IsMenu(menu));
        DestroyMenus();
        for (HMENU menu : menus)
            EXPECT_FALSE(IsMenu(menu));
        EXPECT_EQ(nullptr, TrayMenu);
        EXPECT_EQ(nullptr, DrivesMenu);
        EXPECT_EQ(nullptr, LanguageMenu);
    }
    DestroyMenus(); // nothing left to destroy
}

TEST_F(MenusTest, WithoutDriveNoMenuIsBuiltAndTheIconShowsTheProgram) {
    UseDrives("", mkNoMedia);
    CurrentDrive = 0;
    RefreshInterface();
    EXPECT_EQ(nullptr, TrayMenu);
    EXPECT_EQ(nullptr, DrivesMenu);
    EXPECT_EQ(nullptr, LanguageMenu);
    EXPECT_STREQ("Kestrow", NotifyIconData.szTip);
    SendMessageA(MainWindow, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN); // no menu to show
    DestroyMenus();
}

TEST_F(MenusTest, RefreshAfterALanguageLoadRebuildsInTheNewLanguage) {
    WriteTextFile(Folder + "Deutsch.lng", "[Main]\r\n207=Beenden\r\n2002=Laufwerk\r\n");
    CreateMenus();
    LoadLanguage("Deutsch", 0);
    EXPECT_EQ("Beenden", ReadItem(TrayMenu, 19).Caption);
    EXPECT_EQ("Laufwerk:\t[E:]", ReadItem(TrayMenu, 4).Caption);
    EXPECT_STREQ("[E:]", NotifyIconData.szTip);
}

TEST_F(MenusTest, EveryItemOfTheDriveListSelectsItsOwnDriveOfTwentyOne) {
    UseDriveList("ABCDEFGHIJKLMNOPQRSTU");
    InitImages();
    CreateMenus();
    for (BYTE i = 0; i < 21; ++i) {
        SCOPED_TRACE(int(i));
        UINT id = ReadItem(DrivesMenu, i).Id;
        SendMessageA(MainWindow, WM_COMMAND, id, 0);
        EXPECT_EQ(i, CurrentDrive);
        EXPECT_TRUE(DeviceRequests.empty());
    }
    // The menu's commands of the first twenty drives are their indexes.
    for (BYTE i = 0; i < 20; ++i)
        EXPECT_EQ(i, ReadItem(DrivesMenu, i).Id);
}

TEST_F(MenusTest, ALanguageCommandWithoutItemIsIgnored) {
    CreateMenus();
    const std::string file = LanguageFileName;
    SendMessageA(MainWindow, WM_COMMAND, IDM_LANGUAGE_LAST, 0);
    EXPECT_EQ("English", Language);
    EXPECT_EQ(file, LanguageFileName);
}

TEST(CommandIds, DriveAndActionMakeTheIdentifierAndBack) {
    struct {
        BYTE Drive, Action;
        int Id;
    } const cases[] = {{0, 0, 20},   {0, 3, 23},   {2, 0, 34},  {2, 3, 37},
                       {19, 6, 159}, {20, 4, 164}, {21, 4, 171}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Id);
        EXPECT_EQ(c.Id, MakeCommandID(c.Drive, c.Action));
        BYTE drive = 99, action = 99;
        SplitCommandID(c.Id, drive, action);
        EXPECT_EQ(c.Drive, drive);
        EXPECT_EQ(c.Action, action);
    }
    EXPECT_EQ(20 + 7 * 2 + 1, MakeCommandID(2, 129)); // the action's top bit is dropped
}

TEST(AddMenuItem, AppendsWhateverTheIdentifier) {
    HMENU menu = CreatePopupMenu();
    AddMenuItem(menu, "first", 300, nullptr, MFT_STRING);
    AddMenuItem(menu, "second", 1, nullptr, MFT_STRING);
    AddMenuItem(menu, std::string(), 0, nullptr, MFT_SEPARATOR);
    AddMenuItemEx(menu, "by identifier", 400, false, MFT_STRING, MFS_CHECKED, nullptr, nullptr,
                  nullptr);
    AddMenuItemEx(menu, "at the top", 0, true, MFT_RADIOCHECK, 0, nullptr, nullptr, nullptr);
    std::vector<TItem> items = ReadMenu(menu);
    ASSERT_EQ(5u, items.size());
    EXPECT_EQ("at the top", items[0].Caption);
    EXPECT_EQ(static_cast<UINT>(MFT_RADIOCHECK), items[0].Type);
    EXPECT_EQ("first", items[1].Caption);
    EXPECT_EQ("second", items[2].Caption);
    EXPECT_EQ(static_cast<UINT>(MFT_SEPARATOR), items[3].Type);
    EXPECT_EQ("by identifier", items[4].Caption);
    EXPECT_EQ(static_cast<UINT>(MFS_CHECKED), items[4].State);
    DestroyMenu(menu);
}

} // namespace

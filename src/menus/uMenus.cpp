#include "uMenus.h"
#include <cstddef>
#include <vector>
#include "src/common/uGlobals.h"
#include "src/common/uSeams.h"
#include "src/common/uStrConsts.h"
#include "src/common/uUtils.h"
#include "src/drives/uCDTools.h"
#include "src/language/uLanguage.h"
#include "src/tray/uImages.h"
#include "src/tray/uNotifyIcon.h"

// The record with its item bitmap: 48 bytes in the 32-bit program.
static_assert(sizeof(MENUITEMINFOA) == offsetof(MENUITEMINFOA, hbmpItem) + sizeof(HBITMAP),
              "the menu item record with its item bitmap");

// 500..599 reach the language command; the 101st file could not be chosen.
constexpr int MAX_LANGUAGES = IDM_LANGUAGE_LAST - IDM_LANGUAGE_FIRST + 1;

int MakeCommandID(BYTE drive, BYTE action) {
    return CMD_DRIVE_BASE + CMD_DRIVE_ACTIONS * drive + (action & 127);
}

void SplitCommandID(int id, BYTE& drive, BYTE& action) {
    drive = static_cast<BYTE>((id - CMD_DRIVE_BASE) / CMD_DRIVE_ACTIONS);
    action = static_cast<BYTE>((id - CMD_DRIVE_BASE) % CMD_DRIVE_ACTIONS);
}

int SelectDriveCommandID(BYTE drive) {
    return drive < CMD_DRIVE_BASE ? drive : IDM_SELECTDRIVE20;
}

bool AddMenuItem(HMENU menu, const std::string& caption, int id, HBITMAP bitmap, int itemType) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_CHECKMARKS | MIIM_TYPE;
    info.fType = itemType;
    info.wID = id;
    info.hbmpChecked = info.hbmpUnchecked = bitmap;
    info.dwTypeData = const_cast<char*>(caption.c_str());
    // Appended at the end whatever its identifier (a separator's is 0).
    return InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info) != 0;
}

bool AddMenuItemEx(HMENU menu, const std::string& caption, int item, bool byPosition, int itemType,
                   int itemState, HMENU subMenu, HBITMAP checkedBitmap, HBITMAP uncheckedBitmap) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE;
    info.fType = itemType;
    info.fState = itemState;
    info.wID = item;
    info.hSubMenu = subMenu;
    info.hbmpChecked = checkedBitmap;
    info.hbmpUnchecked = uncheckedBitmap;
    info.dwTypeData = const_cast<char*>(caption.c_str());
    // By identifier, an item that does not exist yet: appended.
    return InsertMenuItemA(menu, item, byPosition, &info) != 0;
}

static void AddSeparator(HMENU menu) {
    AddMenuItem(menu, std::string(), 0, nullptr, MFT_SEPARATOR);
}

static const int ActionBitmaps[4] = {IDB_EJECT, IDB_LOAD, IDB_FOLDER, IDB_BULB};

static HBITMAP MenuBitmap(int id) {
    return MenuBitmaps[id - IDB_FOLDER];
}

// The drive's item in the drive list and in the menu itself: its caption,
// the radio mark and its pictures (drawn beforehand into CDBitmaps).
static void AddDriveItem(HMENU menu, BYTE drive, const std::string& caption, HMENU subMenu) {
    AddMenuItemEx(menu, caption, drive, true, MFT_RADIOCHECK,
                  drive == CurrentDrive ? MFS_CHECKED : 0, subMenu, CDBitmapsChecked[drive],
                  CDBitmaps[drive]);
    // Placed by its index among the drives; the 21st drive's command is not
    // its index (20 is the first drive's Open), so it gets its own afterwards.
    const int id = SelectDriveCommandID(drive);
    if (id != drive) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        info.wID = id;
        SetMenuItemInfoA(menu, drive, TRUE, &info);
    }
}

// A language file's name as its menu item shows it: without ".lng", first
// letter in upper case. Empty when the entry is no language file, or when
// the code page cannot spell its name: the search then gives '?' or a
// look-alike letter (a plain c for a c with cedilla), and no file opens by it.
static std::string LanguageItemName(const WIN32_FIND_DATAA& found) {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::string();
    std::string name = found.cFileName;
    if (name.find('?') != std::string::npos ||
        GetFileAttributesA((AppPath + name).c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::string();
    const std::string extension = ResStr(IDS_LANGEXT);
    // The search also matches longer extensions through their short names.
    if (name.size() <= extension.size() ||
        lstrcmpiA(name.c_str() + name.size() - extension.size(), extension.c_str()) != 0)
        return std::string();
    name.resize(name.size() - extension.size());
    if (name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

static void CreateLanguageMenu() {
    LanguageMenu = CreatePopupMenu();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((AppPath + ResStr(IDS_LANGMASK)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    int n = 0;
    do {
        std::string name = LanguageItemName(found);
        if (name.empty()) continue;
        int id = IDM_LANGUAGE_FIRST + n;
        AddMenuItem(LanguageMenu, name, id, nullptr, MFT_RADIOCHECK);
        if (name == Language) CheckMenuItem(LanguageMenu, id, MF_BYCOMMAND | MF_CHECKED);
        ++n;
    } while (n < MAX_LANGUAGES && FindNextFileA(search, &found));
    FindClose(search);
}

static void AddCommonItems() {
    const char letter = CDList[CurrentDrive].Letter;
    AddSeparator(TrayMenu);
    AddMenuItemEx(TrayMenu, CurrentDriveCaption(), IDM_DRIVES, false, MFT_STRING, MFS_CHECKED,
                  DrivesMenu, CDBitmapsChecked[CurrentDrive], CDBitmaps[CurrentDrive]);
    AddSeparator(TrayMenu);
    for (BYTE action = caOpen; action <= caAutorun; ++action)
        AddMenuItem(TrayMenu, ActionCaption(letter, action), IDM_OPEN + action,
                    MenuBitmap(ActionBitmaps[action]), MFT_STRING);
    AddSeparator(TrayMenu);
    AddMenuItem(TrayMenu, ActionCaption(letter, 5), IDM_OPENALL, nullptr, MFT_STRING);
    AddMenuItem(TrayMenu, ActionCaption(letter, 6), IDM_CLOSEALL, nullptr, MFT_STRING);
    AddSeparator(TrayMenu);
    AddMenuItemEx(TrayMenu, GetLangText(TEXT_LANGUAGE_MENU), IDM_LANGUAGE_FIRST, false, MFT_STRING,
                  0, LanguageMenu, nullptr, nullptr);
    AddSeparator(TrayMenu);
    AddMenuItem(TrayMenu, GetLangText(IDM_OPTIONS), IDM_OPTIONS, MenuBitmap(IDB_TOOLS), MFT_STRING);
    AddMenuItem(TrayMenu, GetLangText(IDM_HELP), IDM_HELP, MenuBitmap(IDB_QUESTION), MFT_STRING);
    AddSeparator(TrayMenu);
    AddMenuItem(TrayMenu, GetLangText(IDM_EXIT), IDM_EXIT, MenuBitmap(IDB_DOOR), MFT_STRING);
}

static HMENU CreateDriveMenu(BYTE drive) {
    DriveMenus[drive] = CreatePopupMenu();
    for (BYTE action = caOpen; action <= caAutorun; ++action)
        AddMenuItem(DriveMenus[drive], ActionCaption(CDList[drive].Letter, action),
                    MakeCommandID(drive, action), MenuBitmap(ActionBitmaps[action]), MFT_STRING);
    return DriveMenus[drive];
}

// Pictures are drawn when asked: a language load changes only texts.
static void BuildMenus(bool drawPictures) {
    // Without a drive nothing can be named or acted on, and the program is
    // already ending.
    if (CDCount == 0 || CurrentDrive >= CDCount) return;
    if (drawPictures) ComposeAllDriveImages();
    // Each caption asks the drive for its label: once per build.
    std::vector<std::string> captions;
    for (BYTE i = 0; i < CDCount; ++i)
        captions.push_back(DriveCaption(CDList[i].Letter));
    TrayMenu = CreatePopupMenu();
    DrivesMenu = CreatePopupMenu();
    for (BYTE i = 0; i < CDCount; ++i)
        AddDriveItem(DrivesMenu, i, captions[i], nullptr);
    CreateLanguageMenu();
    AddCommonItems();
    for (BYTE i = 0; i < CDCount; ++i)
        AddDriveItem(TrayMenu, i, captions[i], CreateDriveMenu(i));
}

void CreateMenus() {
    BuildMenus(true);
}

void DestroyMenus() {
    // The submenus hang in TrayMenu, which would destroy them with itself:
    // detached first, each menu is destroyed exactly once.
    if (TrayMenu)
        while (RemoveMenu(TrayMenu, 0, MF_BYPOSITION)) {
        }
    for (BYTE i = 0; i < CDCount && i < DriveMenus.size(); ++i)
        if (DriveMenus[i]) {
            DestroyMenu(DriveMenus[i]);
            DriveMenus[i] = nullptr;
        }
    for (HMENU* menu : {&DrivesMenu, &LanguageMenu, &TrayMenu})
        if (*menu) {
            DestroyMenu(*menu);
            *menu = nullptr;
        }
}

void RebuildMenus() {
    DestroyMenus();
    CreateMenus();
}

void RefreshInterface() {
    // Menus built before have their drive pictures drawn already.
    const bool drawn = TrayMenu != nullptr;
    DestroyMenus();
    BuildMenus(!drawn);
    UpdateTrayIcon(!drawn);
}

// The radio mark on the drive item with the command, off the others.
static void MarkDriveItem(HMENU menu, int command) {
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        if (!GetMenuItemInfoA(menu, position, TRUE, &info) || !(info.fType & MFT_RADIOCHECK))
            continue;
        const UINT mark = static_cast<int>(info.wID) == command ? MF_CHECKED : MF_UNCHECKED;
        CheckMenuItem(menu, position, MF_BYPOSITION | mark);
    }
}

static void SetItemCaption(int id, const std::string& caption, const MENUITEMINFOA* pictures) {
    MENUITEMINFOA info = pictures ? *pictures : MENUITEMINFOA{};
    info.cbSize = sizeof info;
    info.fMask |= MIIM_STRING;
    info.dwTypeData = const_cast<char*>(caption.c_str());
    SetMenuItemInfoA(TrayMenu, id, FALSE, &info);
}

void ShowCurrentDrive() {
    if (!TrayMenu || CurrentDrive >= CDCount) return;
    for (HMENU menu : {DrivesMenu, TrayMenu})
        MarkDriveItem(menu, SelectDriveCommandID(CurrentDrive));
    MENUITEMINFOA pictures = {};
    pictures.fMask = MIIM_CHECKMARKS;
    pictures.hbmpChecked = CDBitmapsChecked[CurrentDrive];
    pictures.hbmpUnchecked = CDBitmaps[CurrentDrive];
    SetItemCaption(IDM_DRIVES, CurrentDriveCaption(), &pictures);
    for (BYTE action = caOpen; action <= caAutorun; ++action)
        SetItemCaption(IDM_OPEN + action, ActionCaption(CDList[CurrentDrive].Letter, action),
                       nullptr);
}

// ---- drive texts -------------------------------------------------------------

std::string DriveCaption(char letter) {
    std::string label = GetVolumeLabel(letter);
    if (label.empty()) label = GetLangText(TEXT_EMPTY_LABEL);
    return DriveTag(letter) + " - " + label;
}

std::string CurrentDriveCaption() {
    std::string caption = GetLangText(TEXT_CURRENT_DRIVE) + ":\t";
    if (CurrentDrive < CDCount) caption += DriveTag(CDList[CurrentDrive].Letter);
    return caption;
}

std::string ActionCaption(char letter, BYTE kind) {
    if (kind <= caAutorun) return GetLangText(IDM_OPEN + kind) + "\t" + DriveTag(letter);
    if (kind == 5) return GetLangText(IDM_OPENALL);
    if (kind == 6) return GetLangText(IDM_CLOSEALL);
    return std::string();
}

std::string DriveInfoText(char letter, BYTE kind) {
    TErrorModeGuard errorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    switch (kind) {
    case mkNoMedia: return DriveTag(letter);
    case mkData: return DataDiscInfo(letter);
    case mkAudioCD: return AudioCDInfo(letter);
    case mkDVDVideo: return DVDVideoInfo(letter);
    default: return std::string();
    }
}

unsigned long long BytesToMiB(unsigned long long bytes) {
    return bytes / 1048576;
}

std::string DataDiscInfo(char letter) {
    const std::string root = DriveRoot(letter);
    char volumeName[256] = {};
    char fileSystem[256] = {};
    DWORD serial = 0, componentLength = 0, flags = 0;
    GetVolumeInformationA(root.c_str(), volumeName, sizeof volumeName, &serial, &componentLength,
                          &flags, fileSystem, sizeof fileSystem);
    ULARGE_INTEGER available = {}, total = {}, free = {};
    GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free);
    return FormatText(GetLangText(TEXT_DATA_INFO),
                      {DriveCaption(letter), fileSystem, BytesToMiB(total.QuadPart), serial});
}

std::string DVDVideoInfo(char letter) {
    return DataDiscInfo(letter);
}

std::string AudioCDInfo(char letter) {
    int tracks = 0;
    std::string identity;
    if (!SeamQueryAudioCD(DriveName(letter).c_str(), tracks, identity)) return std::string();
    return FormatText(GetLangText(TEXT_AUDIO_INFO), {DriveCaption(letter), tracks, identity});
}

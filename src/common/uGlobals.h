// Program-wide state: the main window, the paths, the drive list and the
// per-drive arrays that the other units fill.
#pragma once
#include <windows.h>
#include <array>
#include <string>
#include <vector>

// Medium kinds, stored and compared as numbers.
enum TMediaKind : BYTE { mkNoMedia = 0, mkData = 1, mkAudioCD = 2, mkDVDVideo = 3 };

// Per-drive actions, the last part of a per-drive command identifier.
enum TCDAction : BYTE {
    caOpen = 0,
    caClose = 1,
    caBrowse = 2,
    caAutorun = 3,
    caToggle = 4,
};

struct TCDDrive {
    char Letter;    // upper case, 'A'..'U'
    BYTE TrayOpen;  // 1 after the program opened the tray, 0 after it closed it
    BYTE MediaKind; // TMediaKind
};
using TCDList = std::vector<TCDDrive>;

struct TAutocloseTimer {
    int Remaining; // seconds left
    bool Paused;
};
using TTimerList = std::vector<TAutocloseTimer>;

using TMenuList = std::vector<HMENU>;
using THotKeyRecord = std::array<int, 7>; // hotkey word per action number
using THotKeyList = std::vector<THotKeyRecord>;
using TCDBitmapsList = std::vector<HBITMAP>;

// Command numbering shared by the menu, the hotkeys and the command line.
constexpr int CMD_DRIVE_BASE = 20;
constexpr int CMD_DRIVE_ACTIONS = 7;
constexpr BYTE DRIVE_HIDEICON = 20;
constexpr BYTE DRIVE_CLOSEPROGRAM = 21;
constexpr BYTE MAX_DRIVES = 21; // letters A to U
constexpr UINT WM_TRAYNOTIFY = WM_USER + 1;

extern HWND MainWindow;
extern bool CommandLineMode;
extern std::string AppPath;
extern std::string IniFileName;
extern std::string HelpFileName;

extern TCDList CDList;
extern BYTE CDCount;
extern BYTE CurrentDrive;

extern TTimerList Timers;
extern TMenuList DriveMenus;
extern THotKeyList HotKeys;
extern TCDBitmapsList CDBitmaps;
extern TCDBitmapsList CDBitmapsChecked;

extern HMENU TrayMenu;
extern HMENU DrivesMenu;
extern HMENU LanguageMenu;

extern HWND AutocloseDialog;

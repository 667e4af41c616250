#include "uGlobals.h"

HWND MainWindow = nullptr;
bool CommandLineMode = false;
std::string AppPath;
std::string IniFileName;
std::string HelpFileName;

TCDList CDList;
BYTE CDCount = 0;
BYTE CurrentDrive = 0;

TTimerList Timers;
TMenuList DriveMenus;
THotKeyList HotKeys;
TCDBitmapsList CDBitmaps;
TCDBitmapsList CDBitmapsChecked;

HMENU TrayMenu = nullptr;
HMENU DrivesMenu = nullptr;
HMENU LanguageMenu = nullptr;

HWND AutocloseDialog = nullptr;

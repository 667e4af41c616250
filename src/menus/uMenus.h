// The tray icon's popup menu and the texts that name and describe a drive.
#pragma once
#include <windows.h>
#include <string>

// 20 + 7 x drive + action, and back.
int MakeCommandID(BYTE drive, BYTE action);
void SplitCommandID(int id, BYTE& drive, BYTE& action);
// The command that makes the drive current: its index, or IDM_SELECTDRIVE20.
int SelectDriveCommandID(BYTE drive);
// Append an item (or insert it, by position or before an identifier); true
// when the system took it. The menu keeps the bitmaps but does not own them.
bool AddMenuItem(HMENU menu, const std::string& caption, int id, HBITMAP bitmap, int itemType);
bool AddMenuItemEx(HMENU menu, const std::string& caption, int item, bool byPosition, int itemType,
                   int itemState, HMENU subMenu, HBITMAP checkedBitmap, HBITMAP uncheckedBitmap);
// Build TrayMenu, DrivesMenu, LanguageMenu and DriveMenus, which stay this
// unit's until DestroyMenus; nothing without a drive.
void CreateMenus();
void DestroyMenus();
void RebuildMenus();
// Menus and tray icon anew, after a language load.
void RefreshInterface();
// The menus name CurrentDrive as the current one: marks and captions are
// changed in place, nothing is rebuilt.
void ShowCurrentDrive();

// "[D:] - label", or the language's text for a disc without label.
std::string DriveCaption(char letter);
// The current-drive item's caption: its text, a tab and the drive's tag.
std::string CurrentDriveCaption();
// An action's caption with the drive's tag (kinds 0 to 3), Open all (5) or
// Close all (6); empty for any other kind.
std::string ActionCaption(char letter, BYTE kind);
// The tooltip text of a drive holding a medium of the kind.
std::string DriveInfoText(char letter, BYTE kind);
std::string DataDiscInfo(char letter);
std::string DVDVideoInfo(char letter);
std::string AudioCDInfo(char letter);
// Whole mebibytes of a byte count, truncated.
unsigned long long BytesToMiB(unsigned long long bytes);

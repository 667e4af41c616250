// The tray icon's popup menu and the texts that name and describe a drive.
#pragma once
#include <windows.h>
#include <string>

int MakeCommandID(BYTE drive, BYTE action);
void SplitCommandID(int id, BYTE& drive, BYTE& action);
// The command that makes the drive current: its index, or IDM_SELECTDRIVE20.
int SelectDriveCommandID(BYTE drive);
bool AddMenuItem(HMENU menu, const std::string& caption, int id, HBITMAP bitmap, int itemType);
bool AddMenuItemEx(HMENU menu, const std::string& caption, int item, bool byPosition, int itemType,
                   int itemState, HMENU subMenu, HBITMAP checkedBitmap, HBITMAP uncheckedBitmap);
void CreateMenus();
void DestroyMenus();
void RebuildMenus();
// Menus and tray icon anew, after a language load.
void RefreshInterface();
// The menus name CurrentDrive as the current one: marks and captions are
// changed in place, nothing is rebuilt.
void ShowCurrentDrive();

std::string DriveCaption(char letter);
std::string CurrentDriveCaption();
std::string ActionCaption(char letter, BYTE kind);
std::string DriveInfoText(char letter, BYTE kind);
std::string DataDiscInfo(char letter);
std::string DVDVideoInfo(char letter);
std::string AudioCDInfo(char letter);
// Whole mebibytes of a byte count, truncated.
unsigned long long BytesToMiB(unsigned long long bytes);

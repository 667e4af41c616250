#include "uMenus.h"
#include "../common/uGlobals.h"

int MakeCommandID(BYTE drive, BYTE action) {
    return CMD_DRIVE_BASE + CMD_DRIVE_ACTIONS * drive + (action & 127);
}

void SplitCommandID(int id, BYTE& drive, BYTE& action) {
    drive = static_cast<BYTE>((id - CMD_DRIVE_BASE) / CMD_DRIVE_ACTIONS);
    action = static_cast<BYTE>((id - CMD_DRIVE_BASE) % CMD_DRIVE_ACTIONS);
}

// Placeholder until its issue lands: keeps the program starting, looping and ending.
bool AddMenuItem(HMENU, const std::string&, int, HBITMAP, int) { return false; }
bool AddMenuItemEx(HMENU, const std::string&, int, bool, int, int, HMENU, HBITMAP, HBITMAP) {
    return false;
}
void CreateMenus() {}
void DestroyMenus() {}
void RebuildMenus() {}
void RefreshInterface() {}
std::string DriveCaption(char) { return std::string(); }
std::string CurrentDriveCaption() { return std::string(); }
std::string ActionCaption(char, BYTE) { return std::string(); }
std::string DriveInfoText(char, BYTE) { return std::string(); }
std::string DataDiscInfo(char) { return std::string(); }
std::string DVDVideoInfo(char) { return std::string(); }
std::string AudioCDInfo(char) { return std::string(); }

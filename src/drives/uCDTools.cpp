#include "uCDTools.h"

// Placeholder until its issue lands: keeps the program starting, looping and ending.
void InitDrives() {}
BYTE GetCDDrives(TCDList&) { return 0; }
TMediaKind GetMediaKind(char) { return mkNoMedia; }
bool IsMediaPresent(char) { return false; }
bool IsAudioCD(char) { return false; }
bool IsDVDVideo(char) { return false; }
std::string GetVolumeLabel(char) { return std::string(); }
std::string DriveTag(char letter) { return std::string("[") + letter + ":]"; }
bool EjectTray(char) { return false; }
bool LoadTray(char) { return false; }
std::string GetAutorunOpen(char) { return std::string(); }
std::string GetAutorunIconPath(char) { return std::string(); }
HICON LoadAutorunIcon(char, int, int) { return nullptr; }

// The CD/DVD drive list, medium identification, tray requests and autorun.inf.
#pragma once
#include <windows.h>
#include <string>
#include "src/common/uGlobals.h"

// Lists the drives into CDList and CDCount and sizes the per-drive arrays;
// with none, shows the message and ends the program after it.
void InitDrives();
// Sizes every per-drive array to CDCount, each element empty.
void SizeDriveArrays();
// The CD/DVD drives from A to U in letter order, with their media; returns
// their count.
BYTE GetCDDrives(TCDList& list);
TMediaKind GetMediaKind(char letter);
bool IsMediaPresent(char letter);
bool IsAudioCD(char letter);
bool IsDVDVideo(char letter);
// The volume label, empty without a medium.
std::string GetVolumeLabel(char letter);
// A drive's names: D: itself, its root D:\ (trailing backslash), its
// volume device \\.\D: and the tag [D:] that the menus and tooltips show.
std::string DriveName(char letter);
std::string DriveRoot(char letter);
std::string DriveDevice(char letter);
std::string DriveTag(char letter);

// True when the drive accepted the request.
bool EjectTray(char letter);
bool LoadTray(char letter);

// The program that autorun.inf's "open" names, the quoted name or the text
// up to the first blank, from the drive's root unless absolute; the rest are
// its parameters. False, and nothing to start, when there is no name or when
// either part is too long for a path or holds a control character.
bool GetAutorunCommand(char letter, std::string& program, std::string& params);
// The file that autorun.inf's "icon" names (FILE or FILE,INDEX), from the
// drive's root unless absolute, and the icon's index in it (0 unless given).
std::string GetAutorunIconPath(char letter, int& index);
// The disc's own icon at the size, or null; the caller destroys it.
HICON LoadAutorunIcon(char letter, int width, int height);

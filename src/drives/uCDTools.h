// The CD/DVD drive list, medium identification, tray requests and autorun.inf.
#pragma once
#include <windows.h>
#include <string>
#include "../common/uGlobals.h"

void InitDrives();
BYTE GetCDDrives(TCDList& list);
TMediaKind GetMediaKind(char letter);
bool IsMediaPresent(char letter);
bool IsAudioCD(char letter);
bool IsDVDVideo(char letter);
std::string GetVolumeLabel(char letter);
std::string DriveTag(char letter);

bool EjectTray(char letter);
bool LoadTray(char letter);

std::string GetAutorunOpen(char letter);
std::string GetAutorunIconPath(char letter);
HICON LoadAutorunIcon(char letter, int width, int height);

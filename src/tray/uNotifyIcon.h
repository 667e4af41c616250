// The notification-area icon, its tooltip and its balloon messages.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>

// Only its first 488 bytes, the layout with the balloon fields, are handed
// to the shell (cbSize).
extern NOTIFYICONDATAA NotifyIconData;

bool AddTrayIcon();
bool RemoveTrayIcon();
// newPicture false keeps the picture composed before (a language load
// changes only the tooltip).
void UpdateTrayIcon(bool newPicture = true);
void ShowTrayIcon(bool hidden);
void SetTrayBalloon(const std::string& title, const std::string& text, DWORD infoFlags);
// Kind 0 error, 1 warning, anything else information.
void ShowTrayMessage(const std::string& text, BYTE kind, bool closeAfter);

// How long a closing message's balloon is left on screen before the program
// ends (see EndAfterBalloon).
extern DWORD BalloonEndDelay;
// Ends the program once the balloon just sent has been seen.
void EndAfterBalloon();

// The shell's "TaskbarCreated" message, sent to every top-level window when
// the taskbar (re)starts; OnTaskbarCreated puts the icon back.
UINT TaskbarCreatedMessage();
void OnTaskbarCreated();

// The notification-area icon, its tooltip and its balloon messages.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>

// Only its first 488 bytes, the layout with the balloon fields, are handed
// to the shell (cbSize).
extern NOTIFYICONDATAA NotifyIconData;

// Add or remove the icon (without picture or tip when added); true when the
// shell took the request.
bool AddTrayIcon();
bool RemoveTrayIcon();
// Sends the current drive's tooltip, and a new picture unless newPicture is
// false (a language load changes only the tooltip); puts the icon back when
// the shell has lost it.
void UpdateTrayIcon(bool newPicture = true);
// When the shell refuses the icon, the add is tried again on this timer of
// the main window, at most ICON_RETRY_LIMIT times in a row.
constexpr UINT_PTR ICON_RETRY_TIMER = 0x200; // apart from the drives' 1 to 21 and the balloon's
constexpr int ICON_RETRY_LIMIT = 24;         // two minutes of a shell that refuses the icon
// Removes the icon, adds it again unless hidden, and refreshes it.
void ShowTrayIcon(bool hidden);
// Sends the balloon with the icon's next refresh, once.
void SetTrayBalloon(const std::string& title, const std::string& text, DWORD infoFlags);
enum TBalloonKind : BYTE { bkError = 0, bkWarning = 1, bkInformation = 2 };
// A balloon titled "Kestrow" and the language's message title, with the
// kind's icon; with closeAfter the program ends once it is sent.
void ShowTrayMessage(const std::string& text, TBalloonKind kind, bool closeAfter);

// How long a closing message's balloon is left on screen before the program
// ends (see EndAfterBalloon).
extern DWORD BalloonEndDelay;
// Ends the program once the balloon just sent has been seen.
void EndAfterBalloon();

// The shell's "TaskbarCreated" message, sent to every top-level window when
// the taskbar (re)starts; OnTaskbarCreated puts the icon back.
UINT TaskbarCreatedMessage();
void OnTaskbarCreated();

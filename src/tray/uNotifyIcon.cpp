#include "uNotifyIcon.h"

NOTIFYICONDATAA NotifyIconData;

// Placeholder until its issue lands: keeps the program starting, looping and ending.
bool AddTrayIcon() { return false; }
bool RemoveTrayIcon() { return false; }
void UpdateTrayIcon() {}
void ShowTrayIcon(bool) {}
void SetTrayBalloon(const std::string&, const std::string&, DWORD) {}
void ShowTrayMessage(const std::string&, BYTE, bool) {}

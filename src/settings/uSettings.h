// The program's settings (section "Main"), their storage and the log-on value.
#pragma once
#include <string>
#include <windows.h>

extern bool Autostart;
extern bool HideIcon;
extern bool AutoClose;
extern bool ShowCloseDialog;
extern int CloseInterval;
// True once LoadConfiguration has run: settings that were never loaded are
// never saved over the stored ones.
extern bool ConfigurationLoaded;

void LoadSettings();
// Shows or hides the icon and writes or removes the log-on value as the
// settings in memory say.
void ApplySettings();
void SaveSettings();
void LoadConfiguration();
void SaveConfiguration();
void SetAutostart(bool enable);
// The log-on value's command for the program at path: quoted when it holds a blank.
std::string LogOnCommand(const std::string& path);

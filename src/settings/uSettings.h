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

// Reads section Main (defaults where missing) and applies it.
void LoadSettings();
// Shows or hides the icon and writes or removes the log-on value as the
// settings in memory say.
void ApplySettings();
// Writes the settings to IniFileName; false when a write failed.
bool SaveSettings();
// Settings and hotkeys from the file; SaveConfiguration writes both back in
// one replacement of the file and the log-on value, unless nothing was loaded.
void LoadConfiguration();
void SaveConfiguration();
// Runs the writes against a copy of the settings file beside it and puts the
// copy in the file's place in one step, so that a save cut short leaves the
// old file whole. When the copy cannot be made, a write fails or the copy
// cannot replace the file, the file stays as it was; returns false then.
bool SaveSettingsFile(bool (*write)());
// Writes the log-on value naming this program, or removes it.
void SetAutostart(bool enable);
// The log-on value's command for the program at path: quoted when it holds a blank.
std::string LogOnCommand(const std::string& path);

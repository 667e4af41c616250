// Drive lists and a small language file for the tray, image and menu tests.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A drive list of the given letters, each with the medium kind, sized as
// the start-up would size it (images and menus not yet made).
void UseDrives(const std::string& letters, BYTE mediaKind);
// Writes a language file "english.lng" with the texts that the tray and
// the menus ask for into a new folder, makes that folder AppPath and loads
// nothing else: Language is "English", LanguageFileName the file.
// Returns the folder (with a trailing backslash).
std::string UseTestLanguage();

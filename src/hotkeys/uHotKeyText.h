// Hotkey words (hotkey-control form) and their stored text form.
#pragma once
#include <windows.h>
#include <string>

WORD HotKeyToShortCut(WORD hotKey);
WORD ShortCutToHotKey(WORD shortCut);
std::string GetKeyName(WORD shortCut);
std::string HotKeyToText(WORD hotKey);
WORD TextToHotKey(const std::string& text);
bool CutPrefix(std::string& text, const std::string& prefix);

// Between these two calls TextToHotKey asks the system for each key's name
// at most once; the names are forgotten again at the end. Calls may nest.
void BeginHotKeyLoad();
void EndHotKeyLoad();

// Hotkey words (hotkey-control form) and their stored text form.
#pragma once
#include <windows.h>
#include <string>

// A hotkey word in the menu-shortcut form and back; only Shift, Ctrl and Alt
// travel.
WORD HotKeyToShortCut(WORD hotKey);
WORD ShortCutToHotKey(WORD shortCut);
// The system's name of the shortcut's key, empty when it has none.
std::string GetKeyName(WORD shortCut);
// The stored text of a hotkey word, which TextToHotKey reads back as the
// word (without the extended flag); empty for a word without a key.
std::string HotKeyToText(WORD hotKey);
// The word of a stored text, 0 for none; also reads every text that earlier
// versions wrote.
WORD TextToHotKey(const std::string& text);
// Removes the prefix, in any letter case, from the text's start; true when
// it was there.
bool CutPrefix(std::string& text, const std::string& prefix);

// Between these two calls HotKeyToText and TextToHotKey ask the system for
// each key's name at most once; the names are forgotten again at the end.
// Calls may nest.
void BeginHotKeyLoad();
void EndHotKeyLoad();

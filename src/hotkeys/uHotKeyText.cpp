#include "uHotKeyText.h"

// Placeholder until its issue lands: keeps the program starting, looping and ending.
WORD HotKeyToShortCut(WORD) { return 0; }
WORD ShortCutToHotKey(WORD) { return 0; }
std::string GetKeyName(WORD) { return std::string(); }
std::string HotKeyToText(WORD) { return std::string(); }
WORD TextToHotKey(const std::string&) { return 0; }
bool CutPrefix(std::string&, const std::string&) { return false; }

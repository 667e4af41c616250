#include "uCMD.h"
#include "../common/uGlobals.h"

// Placeholder until its issue lands: keeps the program starting, looping and ending.
void ProcessCommandLine(int, char**) {}
std::string NormalizeParam(const std::string& text) { return text; }
bool IsCDLetter(const std::string&) { return false; }

int DriveIndexOf(char letter) {
    for (int i = 0; i < CDCount; ++i)
        if (CDList[i].Letter == letter) return i;
    return -1;
}

// The command line: one action on a drive, then the program ends.
#pragma once
#include <string>

// argv[0] is the executable; argc - 1 parameters follow.
void ProcessCommandLine(int argc, char** argv);
// The parameter in upper case without one leading -, / or \.
std::string NormalizeParam(const std::string& text);
// True when the text is exactly one listed drive's letter.
bool IsCDLetter(const std::string& text);
// Index in CDList of the drive with that letter, or -1.
int DriveIndexOf(char letter);

// The command line: one action on a drive, then the program ends.
#pragma once
#include <string>

// argv[0] is the executable; argc - 1 parameters follow.
void ProcessCommandLine(int argc, char** argv);
std::string NormalizeParam(const std::string& text);
bool IsCDLetter(const std::string& text);
// Index in CDList of the drive with that letter, or -1.
int DriveIndexOf(char letter);

// Typed access to INI files and the few registry operations of the program.
#pragma once
#include <windows.h>
#include <string>

// Text-to-integer rule of the settings file: leading blanks, optional sign,
// decimal or hexadecimal ($, x, 0x) digits. value receives what was read up
// to the first offending character (a minus sign is then not applied);
// returns true only when the whole text is a well-formed number.
bool TextToInteger(const std::string& text, int& value);

std::string IniReadString(const std::string& fileName, const std::string& section,
                          const std::string& key, const std::string& defaultValue);
bool IniWriteString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value);
int IniReadInteger(const std::string& fileName, const std::string& section, const std::string& key,
                   int defaultValue);
bool IniWriteInteger(const std::string& fileName, const std::string& section,
                     const std::string& key, int value);
bool IniReadBool(const std::string& fileName, const std::string& section, const std::string& key,
                 bool defaultValue);
bool IniWriteBool(const std::string& fileName, const std::string& section, const std::string& key,
                  bool value);

bool RegKeyExists(HKEY root, const std::string& subKey, REGSAM access);
bool RegKeyCreate(HKEY root, const std::string& subKey);
bool RegKeyEnsure(HKEY root, const std::string& subKey);
LONG RegValueSetString(HKEY root, const std::string& subKey, const std::string& valueName,
                       const std::string& value);
LONG RegValueDelete(HKEY root, const std::string& subKey, const std::string& valueName);
LONG RegWriteString(HKEY root, const std::string& subKey, const std::string& valueName,
                    const std::string& value);

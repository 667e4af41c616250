#include "RegIni.h"

// Placeholder until its issue lands: keeps the program starting, looping and ending.
bool TextToInteger(const std::string&, int& value) {
    value = 0;
    return false;
}
std::string IniReadString(const std::string&, const std::string&, const std::string&,
                          const std::string& defaultValue) {
    return defaultValue;
}
bool IniWriteString(const std::string&, const std::string&, const std::string&,
                    const std::string&) {
    return false;
}
int IniReadInteger(const std::string&, const std::string&, const std::string&, int defaultValue) {
    return defaultValue;
}
bool IniWriteInteger(const std::string&, const std::string&, const std::string&, int) {
    return false;
}
bool IniReadBool(const std::string&, const std::string&, const std::string&, bool defaultValue) {
    return defaultValue;
}
bool IniWriteBool(const std::string&, const std::string&, const std::string&, bool) {
    return false;
}
bool RegKeyExists(HKEY, const std::string&, REGSAM) { return false; }
bool RegKeyCreate(HKEY, const std::string&) { return false; }
bool RegKeyEnsure(HKEY, const std::string&) { return false; }
LONG RegValueSetString(HKEY, const std::string&, const std::string&, const std::string&) {
    return -1;
}
LONG RegValueDelete(HKEY, const std::string&, const std::string&) { return -1; }
LONG RegWriteString(HKEY, const std::string&, const std::string&, const std::string&) {
    return -1;
}

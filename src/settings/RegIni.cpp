#include "RegIni.h"

// Values longer than this are cut; one more byte holds the terminating NUL.
static const DWORD INI_BUFFER_SIZE = 2048;

static int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A hand-edited settings file or a mistyped command line must never stop the
// program: a malformed number still yields what its leading digits say.
bool TextToInteger(const std::string& text, int& value) {
    value = 0;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    // Decimal numbers are signed 32-bit values; hexadecimal ones may use all
    // 32 bits (FFFFFFFF is -1).
    const unsigned long long limit =
        base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    unsigned long long accumulated = 0;
    bool anyDigit = false;
    for (; i < n; ++i) {
        int digit = DigitValue(text[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) break;
        unsigned long long next = accumulated * base + static_cast<unsigned>(digit);
        if (next > limit) break;
        accumulated = next;
        anyDigit = true;
    }
    unsigned bits = static_cast<unsigned>(accumulated);
    if (i < n || !anyDigit) {
        value = static_cast<int>(bits); // the sign of a malformed number is dropped
        return false;
    }
    value = static_cast<int>(negative ? 0u - bits : bits);
    return true;
}

std::string IniReadString(const std::string& fileName, const std::string& section,
                          const std::string& key, const std::string& defaultValue) {
    char buffer[INI_BUFFER_SIZE];
    buffer[0] = '\0';
    DWORD copied = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                            buffer, INI_BUFFER_SIZE, fileName.c_str());
    if (copied >= INI_BUFFER_SIZE) copied = INI_BUFFER_SIZE - 1;
    return std::string(buffer, copied);
}

bool IniWriteString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      fileName.c_str()) != 0;
}

int IniReadInteger(const std::string& fileName, const std::string& section, const std::string& key,
                   int defaultValue) {
    int value = 0;
    TextToInteger(IniReadString(fileName, section, key, std::to_string(defaultValue)), value);
    return value;
}

bool IniWriteInteger(const std::string& fileName, const std::string& section,
                     const std::string& key, int value) {
    return IniWriteString(fileName, section, key, std::to_string(value));
}

bool IniReadBool(const std::string& fileName, const std::string& section, const std::string& key,
                 bool defaultValue) {
    return (IniReadInteger(fileName, section, key, defaultValue ? 1 : 0) & 0xFF) != 0;
}

bool IniWriteBool(const std::string& fileName, const std::string& section, const std::string& key,
                  bool value) {
    return IniWriteInteger(fileName, section, key, value ? 1 : 0);
}

bool RegKeyExists(HKEY root, const std::string& subKey, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, access, &key) != ERROR_SUCCESS) return false;
    return RegCloseKey(key) == ERROR_SUCCESS;
}

bool RegKeyCreate(HKEY root, const std::string& subKey) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RegKeyEnsure(HKEY root, const std::string& subKey) {
    return RegKeyExists(root, subKey, KEY_ALL_ACCESS) || RegKeyCreate(root, subKey);
}

LONG RegValueSetString(HKEY root, const std::string& subKey, const std::string& valueName,
                       const std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return -1;
    LONG status = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return status;
}

LONG RegValueDelete(HKEY root, const std::string& subKey, const std::string& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return -1;
    LONG status = RegDeleteValueA(key, valueName.c_str());
    RegCloseKey(key);
    return status;
}

LONG RegWriteString(HKEY root, const std::string& subKey, const std::string& valueName,
                    const std::string& value) {
    if (!RegKeyEnsure(root, subKey)) return -1;
    return RegValueSetString(root, subKey, valueName, value);
}

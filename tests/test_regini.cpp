// Typed INI access over the real private-profile API, the registry calls
// over the real registry, and the text-to-integer rule.
#include <gtest/gtest.h>
#include "support/TestSupport.h"
#include "../src/settings/RegIni.h"

struct TIntegerCase {
    const char* Text;
    int Value;
    bool WellFormed;
};

TEST(TextToInteger, ReadsWellFormedAndMalformedTexts) {
    const TIntegerCase cases[] = {
        {"15", 15, true},
        {" 15", 15, true},
        {"   -5", -5, true},
        {"+8", 8, true},
        {"0", 0, true},
        {"-7", -7, true},
        {"$1F", 31, true},
        {"$1f", 31, true},
        {"x1F", 31, true},
        {"X10", 16, true},
        {"0x1F", 31, true},
        {"0XfF", 255, true},
        {"-$10", -16, true},
        {"$FFFFFFFF", -1, true},
        {"2147483647", 2147483647, true},
        {"-2147483648", static_cast<int>(0x80000000u), true},
        // Malformed: the digits before the offending character count, the
        // minus sign does not.
        {"", 0, false},
        {"abc", 0, false},
        {"12abc", 12, false},
        {"15s", 15, false},
        {"15 ", 15, false},
        {"-7x", 7, false},
        {"-", 0, false},
        {"+", 0, false},
        {" ", 0, false},
        {"$", 0, false},
        {"0x", 0, false},
        {"$1G", 1, false},
        {"1.5", 1, false},
        {"- 5", 0, false},
        {"--5", 0, false},
        {"2147483648", 214748364, false},
        {"-2147483649", 214748364, false},
        {"$100000000", 0x10000000, false},
        {"99999999999", 999999999, false},
    };
    for (const TIntegerCase& c : cases) {
        SCOPED_TRACE(std::string("text '") + c.Text + "'");
        int value = 12345;
        EXPECT_EQ(c.WellFormed, TextToInteger(c.Text, value));
        EXPECT_EQ(c.Value, value);
    }
}

// A fresh INI file path for one test; the file itself does not exist yet.
static std::string NewIniFile() {
    return NewTempFolder() + "test.ini";
}

TEST(IniReadString, MissingFileSectionOrKeyGivesTheDefault) {
    std::string file = NewIniFile();
    EXPECT_EQ("dflt", IniReadString(file, "Main", "Key", "dflt"));
    EXPECT_FALSE(PathExists(file)); // reading never creates the file

    WriteTextFile(file, "[Main]\r\nKey=value\r\n");
    EXPECT_EQ("dflt", IniReadString(file, "Other", "Key", "dflt"));
    EXPECT_EQ("dflt", IniReadString(file, "Main", "Missing", "dflt"));
    EXPECT_EQ("dflt", IniReadString(file, "Main", "", "dflt"));
    EXPECT_EQ("", IniReadString(file, "Main", "Missing", ""));
    // Section and key names are matched without regard to case.
    EXPECT_EQ("value", IniReadString(file, "MAIN", "key", "dflt"));
}

TEST(IniWriteString, CreatesFileSectionAndKeyAndOverwrites) {
    std::string file = NewIniFile();
    EXPECT_TRUE(IniWriteString(file, "Main", "Name", "first"));
    EXPECT_TRUE(PathExists(file));
    EXPECT_EQ("first", IniReadString(file, "Main", "Name", "dflt"));
    EXPECT_TRUE(IniWriteString(file, "Main", "Name", "second value"));
    EXPECT_EQ("second value", IniReadString(file, "Main", "Name", "dflt"));
    EXPECT_TRUE(IniWriteString(file, "Other", "Name", "elsewhere"));
    EXPECT_EQ("second value", IniReadString(file, "Main", "Name", "dflt"));
    EXPECT_EQ("elsewhere", IniReadString(file, "Other", "Name", "dflt"));
}

TEST(IniWriteString, EmptyValueKeepsTheKeyWithNothingAfterTheEqualsSign) {
    std::string file = NewIniFile();
    ASSERT_TRUE(IniWriteString(file, "Main", "Before", "x"));
    ASSERT_TRUE(IniWriteString(file, "Main", "Empty", "full"));
    EXPECT_TRUE(IniWriteString(file, "Main", "Empty", ""));
    EXPECT_EQ("", IniReadString(file, "Main", "Empty", "dflt"));
    std::string text = ReadTextFile(file);
    EXPECT_NE(std::string::npos, text.find("Empty=\r\n")) << text;
    EXPECT_EQ("x", IniReadString(file, "Main", "Before", "dflt"));
}

TEST(IniReadString, LongValuesAreCutTo2047Characters) {
    std::string file = NewIniFile();
    std::string longValue;
    for (int i = 0; i < 3000; ++i)
        longValue += static_cast<char>('a' + i % 26);
    std::string exact = longValue.substr(0, 2047);
    WriteTextFile(file, "[Main]\r\nLong=" + longValue + "\r\nExact=" + exact + "\r\n");
    EXPECT_EQ(exact, IniReadString(file, "Main", "Long", ""));
    EXPECT_EQ(exact, IniReadString(file, "Main", "Exact", ""));
}

TEST(IniReadInteger, FollowsTheTextToIntegerRule) {
    std::string file = NewIniFile();
    WriteTextFile(file, "[Main]\r\nEmpty=\r\nTrailing=12abc\r\nBlank= -5\r\nHex=$1F\r\n"
                        "Minus=-7x\r\nWord=abc\r\nPlain=42\r\n");
    struct {
        const char* Key;
        int Expected;
    } const cases[] = {
        {"Empty", 0}, {"Trailing", 12}, {"Blank", -5}, {"Hex", 31},
        {"Minus", 7}, {"Word", 0},      {"Plain", 42}, {"Missing", 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key);
        EXPECT_EQ(c.Expected, IniReadInteger(file, "Main", c.Key, 99));
    }
    EXPECT_EQ(-4, IniReadInteger(file, "Main", "Missing", -4));
    EXPECT_EQ(-4, IniReadInteger(file + ".none", "Main", "Plain", -4));
}

TEST(IniWriteInteger, WritesPlainDecimalText) {
    std::string file = NewIniFile();
    EXPECT_TRUE(IniWriteInteger(file, "Main", "Minus", -3));
    EXPECT_TRUE(IniWriteInteger(file, "Main", "Ten", 10));
    EXPECT_TRUE(IniWriteInteger(file, "Main", "Low", static_cast<int>(0x80000000u)));
    EXPECT_EQ("-3", IniReadString(file, "Main", "Minus", ""));
    EXPECT_EQ("10", IniReadString(file, "Main", "Ten", ""));
    EXPECT_EQ(static_cast<int>(0x80000000u), IniReadInteger(file, "Main", "Low", 0));
}

TEST(IniReadBool, LowEightBitsDecide) {
    std::string file = NewIniFile();
    WriteTextFile(file, "[Main]\r\nOne=1\r\nZero=0\r\nTwo=2\r\nBig=256\r\nBigOdd=257\r\n"
                        "Empty=\r\nJunk=yes\r\n");
    struct {
        const char* Key;
        bool Expected;
    } const cases[] = {
        {"One", true},    {"Zero", false},  {"Two", true},   {"Big", false},
        {"BigOdd", true}, {"Empty", false}, {"Junk", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key);
        EXPECT_EQ(c.Expected, IniReadBool(file, "Main", c.Key, true));
        EXPECT_EQ(c.Expected, IniReadBool(file, "Main", c.Key, false));
    }
    EXPECT_TRUE(IniReadBool(file, "Main", "Missing", true));
    EXPECT_FALSE(IniReadBool(file, "Main", "Missing", false));
}

TEST(IniWriteBool, WritesOneOrZero) {
    std::string file = NewIniFile();
    EXPECT_TRUE(IniWriteBool(file, "Main", "Yes", true));
    EXPECT_TRUE(IniWriteBool(file, "Main", "No", false));
    EXPECT_EQ("1", IniReadString(file, "Main", "Yes", ""));
    EXPECT_EQ("0", IniReadString(file, "Main", "No", ""));
}

TEST(IniWriteString, FailsWhenTheFolderIsMissing) {
    std::string file = NewTempFolder() + "missing\\test.ini";
    EXPECT_FALSE(IniWriteString(file, "Main", "Key", "value"));
    EXPECT_EQ("dflt", IniReadString(file, "Main", "Key", "dflt"));
}

// Registry keys of these tests live below one key of this process.
static std::string TestKey(const std::string& name) {
    return "Software\\KestrowTests\\" + std::to_string(GetCurrentProcessId()) + "\\" + name;
}

// The stored value's type and bytes, exactly as the registry holds them.
static bool QueryValue(const std::string& subKey, const std::string& name, DWORD& type,
                       std::string& bytes) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[512];
    memset(buffer, 0x5A, sizeof buffer);
    DWORD size = sizeof buffer;
    LONG status =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return false;
    bytes.assign(buffer, size);
    return true;
}

TEST(RegWriteString, CreatesTheMissingKeyPathAndStoresExactlyTheText) {
    std::string key = TestKey("a\\b\\c");
    ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key, KEY_READ));
    EXPECT_EQ(0, RegWriteString(HKEY_CURRENT_USER, key, "Value", "\"C:\\Path\\k.exe\""));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, key, KEY_READ));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(QueryValue(key, "Value", type, bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(std::string("\"C:\\Path\\k.exe\"") + '\0', bytes); // one NUL, nothing more

    // Overwriting with a shorter and then an empty text.
    EXPECT_EQ(0, RegWriteString(HKEY_CURRENT_USER, key, "Value", "x"));
    ASSERT_TRUE(QueryValue(key, "Value", type, bytes));
    EXPECT_EQ(std::string("x") + '\0', bytes);
    EXPECT_EQ(0, RegWriteString(HKEY_CURRENT_USER, key, "Value", ""));
    ASSERT_TRUE(QueryValue(key, "Value", type, bytes));
    EXPECT_EQ(std::string(1, '\0'), bytes);
}

TEST(RegValueSetString, NeedsAnExistingKey) {
    std::string key = TestKey("set");
    EXPECT_EQ(-1, RegValueSetString(HKEY_CURRENT_USER, key, "Value", "text"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key, KEY_READ));
    ASSERT_TRUE(RegKeyCreate(HKEY_CURRENT_USER, key));
    EXPECT_EQ(0, RegValueSetString(HKEY_CURRENT_USER, key, "Value", "text"));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(QueryValue(key, "Value", type, bytes));
    EXPECT_EQ(std::string("text") + '\0', bytes);
}

TEST(RegKeyEnsure, KeepsExistingValuesAndCreatesMissingKeys) {
    std::string key = TestKey("ensure");
    ASSERT_EQ(0, RegWriteString(HKEY_CURRENT_USER, key, "Keep", "kept"));
    EXPECT_TRUE(RegKeyEnsure(HKEY_CURRENT_USER, key));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(QueryValue(key, "Keep", type, bytes));
    EXPECT_EQ(std::string("kept") + '\0', bytes);
    EXPECT_TRUE(RegKeyEnsure(HKEY_CURRENT_USER, key + "\\new"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, key + "\\new", KEY_ALL_ACCESS));
}

TEST(RegValueDelete, RemovesOnlyTheNamedValue) {
    std::string key = TestKey("delete");
    ASSERT_EQ(0, RegWriteString(HKEY_CURRENT_USER, key, "Gone", "1"));
    ASSERT_EQ(0, RegWriteString(HKEY_CURRENT_USER, key, "Stays", "2"));
    EXPECT_EQ(0, RegValueDelete(HKEY_CURRENT_USER, key, "Gone"));
    DWORD type = 0;
    std::string bytes;
    EXPECT_FALSE(QueryValue(key, "Gone", type, bytes));
    ASSERT_TRUE(QueryValue(key, "Stays", type, bytes));
    EXPECT_EQ(std::string("2") + '\0', bytes);
}

TEST(RegValueDelete, MissingValueGivesTheSystemStatusAndChangesNothing) {
    std::string key = TestKey("delete-missing");
    ASSERT_EQ(0, RegWriteString(HKEY_CURRENT_USER, key, "Stays", "2"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegValueDelete(HKEY_CURRENT_USER, key, "Missing"));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(QueryValue(key, "Stays", type, bytes));
    EXPECT_EQ(std::string("2") + '\0', bytes);
}

TEST(RegValueDelete, KeyThatCannotBeOpenedGivesMinusOne) {
    std::string key = TestKey("never-created");
    EXPECT_EQ(-1, RegValueDelete(HKEY_CURRENT_USER, key, "Value"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key, KEY_READ));
}

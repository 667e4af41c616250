// Language texts by number, language loading with its fallbacks, and the
// text routines (formatting, replacing, upper-casing).
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <deque>
#include <random>
#include <vector>
#include "tests/support/SeamDoubles.h"
#include "tests/support/Probe.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayFixtures.h"
#include "src/common/uGlobals.h"
#include "src/language/uLanguage.h"
#include "src/tray/uNotifyIcon.h"
#include "src/menus/uMenus.h"
#include "res/resource.h"

namespace {

bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

// A language file with the given lines below [Main], in a new folder.
std::string WriteLanguageFile(const std::string& folder, const std::string& name,
                              const std::string& lines) {
    std::string path = folder + name + ".lng";
    WriteTextFile(path, "[Main]\r\n" + lines);
    return path;
}

// Every Shell_NotifyIconA of this executable, seen on its way to the shell:
// Wine's tooltips have no TTM_GETTITLE, so a balloon's title cannot be read
// back from the shell.
struct TNotifyCall {
    DWORD Message;
    UINT Flags;
    std::string Title;
};
std::vector<TNotifyCall> NotifyCalls;
BOOL(WINAPI* RealShellNotifyIcon)(DWORD, PNOTIFYICONDATAA);

BOOL WINAPI RecordShellNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
    NotifyCalls.push_back({message, data->uFlags, data->szInfoTitle});
    return RealShellNotifyIcon(message, data);
}

class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // the end request must not save anything here
        Folder = NewTempFolder();
        AppPath = Folder;
    }
    void TearDown() override {
        DestroyMenus();
        ResetProgramState();
        AppPath = ExeFolder();
    }
    std::string Folder;
};

} // namespace

TEST_F(LanguageTest, GetLangTextExpandsLineBreaksOnlyWhenALowerCaseOneIsThere) {
    LanguageFileName = WriteLanguageFile(Folder, "Test",
                                         "1=Line one\\nLine two\r\n"
                                         "2=A\\nB\\NC\r\n"
                                         "3=Only\\Nupper\r\n"
                                         "4=plain text\r\n"
                                         "5=\\n\r\n"
                                         "6=\r\n");
    struct {
        int Number;
        const char* Expected;
    } const cases[] = {
        {1, "Line one\r\nLine two"},
        {2, "A\r\nB\r\nC"},
        {3, "Only\\Nupper"},
        {4, "plain text"},
        {5, "\r\n"},
        {6, ""},
        {2004, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Number);
        EXPECT_EQ(c.Expected, GetLangText(c.Number));
    }
}

TEST_F(LanguageTest, GetLangTextIsEmptyBeforeAnyLanguageIsLoaded) {
    ASSERT_TRUE(LanguageFileName.empty());
    EXPECT_EQ("", GetLangText(201));
}

TEST_F(LanguageTest, ALoadReadsTheFileOnceAndAgainAtTheNextLoad) {
    WriteLanguageFile(Folder, "English", "7=english\r\n");
    WriteLanguageFile(Folder, "Test", "7=before\r\n");
    LoadLanguage("Test", 0);
    EXPECT_EQ("before", GetLangText(7));
    WriteLanguageFile(Folder, "Test", "7=after\r\n");
    EXPECT_EQ("before", GetLangText(7)); // the texts of the load stay
    LoadLanguage("Test", 0);
    EXPECT_EQ("after", GetLangText(7));
}

// Every text of a file holding all the shapes a translator may write reads as
// the profile reader gives it; a number the file lacks (a comment, a line
// without '=', another section, "019" for 19) gives the English file's text,
// and one present but empty stays empty.
TEST_F(LanguageTest, TextsReadAsTheProfileReaderGivesThemAndMissingOnesInEnglish) {
    const unsigned seed = 1517;
    RecordProperty("seed", static_cast<int>(seed));
    std::mt19937 rng(seed);
    const char letters[] = "abc XYZ 019 %s\\n;='\"\t";
    auto randomText = [&](size_t length) {
        std::string text(length, ' ');
        for (char& c : text)
            c = letters[rng() % (sizeof letters - 1)];
        return text;
    };
    const int count = 600;
    std::vector<std::string> lines, english;
    std::string others = "[Other]\r\n";
    std::vector<bool> lacking(count + 1, false);
    for (int n = 1; n <= count; ++n) {
        const std::string key = std::to_string(n);
        english.push_back(key + "=English " + key);
        const size_t length = rng() % 3 == 0 ? 2040 + rng() % 14 : rng() % 12;
        const std::string value = randomText(length);
        switch (rng() % 10) {
        case 0: lines.push_back(" \t" + key + " \t= \t" + value + " \t"); break;
        case 1: lines.push_back(key + "=\"" + value + "\""); break;
        case 2: lines.push_back(key + "='" + value + "'"); break;
        case 3: lines.push_back(key + "=\"" + value + "'"); break;
        case 4: // duplicates: the first counts
            lines.push_back(key + "=" + value);
            lines.push_back(key + "=second " + value);
            break;
        case 5:
            lines.push_back(key + "=");
            lines.push_back(key + "=not the first");
            break;
        case 6:
            lacking[n] = true;
            lines.push_back((rng() % 2 ? ";" : "0") + key + "=" + value);
            break;
        case 7:
            lacking[n] = true;
            lines.push_back(" " + key + " ");
            break;
        case 8:
            lacking[n] = true;
            others += key + "=" + value + "\r\n";
            break;
        default: lines.push_back(key + "=" + value + (rng() % 2 ? "\\n" : "")); break;
        }
    }
    std::shuffle(lines.begin(), lines.end(), rng);
    std::string text, englishText;
    for (const std::string& line : lines)
        text += line + "\r\n";
    for (const std::string& line : english)
        englishText += line + "\r\n";
    const std::string file = WriteLanguageFile(Folder, "Test", text + others);
    WriteLanguageFile(Folder, "English", englishText);
    LoadLanguage("Test", 0);
    for (int n = 1; n <= count; ++n) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " text " << n);
        std::vector<char> buffer(2048);
        GetPrivateProfileStringA("Main", std::to_string(n).c_str(), "(none)", buffer.data(), 2048,
                                 file.c_str());
        std::string expected = lacking[n] ? "English " + std::to_string(n) : buffer.data();
        if (expected.find("\\n") != std::string::npos)
            expected = ReplaceAllText(expected, "\\n", "\r\n");
        EXPECT_EQ(expected, GetLangText(n));
    }
    EXPECT_EQ("", GetLangText(count + 1)); // in neither file
}

TEST_F(LanguageTest, SetDialogTextsTouchesFirstPlusOneToLastAndSkipsEmptyTexts) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(parent);
    for (int id = 409; id <= 422; ++id)
        CreateWindowExA(0, "STATIC", "template", WS_CHILD, 0, 0, 10, 10, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleA(nullptr), nullptr);
    std::string lines;
    for (int id = 409; id <= 422; ++id)
        if (id != 415 && id != 416)
            lines += std::to_string(id) + "=text " + std::to_string(id) + "\r\n";
    lines += "416=\r\n";
    LanguageFileName = WriteLanguageFile(Folder, "Test", lines);

    SetDialogTexts(parent, 410, 421);

    for (int id = 409; id <= 422; ++id) {
        SCOPED_TRACE(id);
        char text[64] = {};
        GetDlgItemTextA(parent, id, text, sizeof text);
        bool touched = id > 410 && id <= 421 && id != 415 && id != 416;
        EXPECT_EQ(touched ? "text " + std::to_string(id) : std::string("template"), text);
    }
    DestroyWindow(parent);
}

TEST_F(LanguageTest, LoadingAnExistingLanguageMakesItCurrent) {
    std::string file = WriteLanguageFile(Folder, "Deutsch", "201=&Oeffnen\r\n");
    WriteLanguageFile(Folder, "English", "201=&Open\r\n");
    LoadLanguage("Deutsch", 0);
    EXPECT_EQ("Deutsch", Language);
    EXPECT_EQ(file, LanguageFileName);
    EXPECT_EQ("&Oeffnen", GetLangText(201));
    EXPECT_TRUE(MessageBoxCalls.empty());
    EXPECT_FALSE(QuitPosted());

    // File names match without regard to case, as the command line needs.
    LoadLanguage("DEUTSCH", 0);
    EXPECT_EQ("DEUTSCH", Language);
    EXPECT_EQ("&Oeffnen", GetLangText(201));
}

TEST_F(LanguageTest, AMissingLanguageWarnsAndFallsBackToEnglish) {
    std::string english = WriteLanguageFile(Folder, "English", "201=&Open\r\n");
    AddTrayIcon(); // the warning is a balloon of the tray icon
    for (const char* name : {"Klingon", ""}) {
        SCOPED_TRACE(name);
        LoadLanguage(name, 0);
        EXPECT_TRUE(WaitUntil(
            [&] {
                return BalloonShown("File for " + std::string(name) +
                                    " language not found. Loading default language");
            },
            10000));
        EXPECT_EQ("English", Language);
        EXPECT_EQ(english, LanguageFileName);
        EXPECT_EQ("&Open", GetLangText(201));
        EXPECT_TRUE(MessageBoxCalls.empty());
        EXPECT_FALSE(QuitPosted());
    }
    RemoveTrayIcon();
}

TEST_F(LanguageTest, TheFallbackBalloonIsTitledFromTheDefaultLanguagesFile) {
    AppPath = ExeFolder(); // the shipped English.lng, and no Nonexistent.lng
    char note[256] = {};
    GetPrivateProfileStringA("Main", "2004", "", note, sizeof note,
                             (ExeFolder() + "English.lng").c_str());
    ASSERT_NE('\0', note[0]);
    NotifyCalls.clear();
    AddTrayIcon();
    void* real = ReplaceImport("shell32.dll", "Shell_NotifyIconA",
                               reinterpret_cast<void*>(RecordShellNotifyIcon));
    ASSERT_NE(nullptr, real);
    RealShellNotifyIcon = reinterpret_cast<decltype(RealShellNotifyIcon)>(real);
    LoadLanguage("Nonexistent", 0);
    ReplaceImport("shell32.dll", "Shell_NotifyIconA", real);
    RemoveTrayIcon();

    std::vector<std::string> titles;
    for (const TNotifyCall& call : NotifyCalls)
        if (call.Flags & NIF_INFO) titles.push_back(call.Title);
    EXPECT_EQ(std::vector<std::string>{"Kestrow " + std::string(note)}, titles);
}

TEST_F(LanguageTest, AMissingEnglishFileShowsOneErrorAndEndsTheProgram) {
    // english in lower case is another language: it falls back to English,
    // which is missing too.
    for (const char* name : {"English", "english", "Klingon"}) {
        SCOPED_TRACE(name);
        ResetProgramState();
        CommandLineMode = true;
        LoadLanguage(name, 0);
        ASSERT_EQ(1u, MessageBoxCalls.size());
        EXPECT_EQ("Default language not found. Program will be closed", MessageBoxCalls[0].Text);
        EXPECT_EQ("Error", MessageBoxCalls[0].Caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), MessageBoxCalls[0].Type & MB_ICONMASK);
        EXPECT_TRUE(QuitPosted());
        EXPECT_EQ("English", Language);
        EXPECT_EQ(Folder + "English.lng", LanguageFileName);
    }
}

TEST_F(LanguageTest, ChoosingFromTheMenuMovesTheRadioMark) {
    WriteLanguageFile(Folder, "English", "201=&Open\r\n");
    WriteLanguageFile(Folder, "Deutsch", "201=&Oeffnen\r\n");
    UseDrives("D", mkNoMedia); // the menus are rebuilt only with a drive
    Language = "English";
    CreateMenus();

    // The user picks Deutsch from the language menu.
    int chosen = 0;
    for (int i = 0; i < GetMenuItemCount(LanguageMenu); ++i) {
        char text[64] = {};
        GetMenuStringA(LanguageMenu, i, text, sizeof text, MF_BYPOSITION);
        if (std::string(text) == "Deutsch") chosen = IDM_LANGUAGE_FIRST + i;
    }
    ASSERT_NE(0, chosen);
    LoadLanguage("Deutsch", chosen);

    // The menu is rebuilt in the new language with the mark on Deutsch alone.
    ASSERT_EQ(2, GetMenuItemCount(LanguageMenu));
    for (int i = 0; i < 2; ++i) {
        char text[64] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        ASSERT_TRUE(GetMenuItemInfoA(LanguageMenu, i, TRUE, &info));
        SCOPED_TRACE(text);
        EXPECT_EQ(std::string(text) == "Deutsch", (info.fState & MFS_CHECKED) != 0);
        EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    }
    EXPECT_EQ("Deutsch", Language);
}

// ---- FormatText -----------------------------------------------------------

namespace {

// What the system formatter makes of the format with these 32-bit values,
// cut at FormatText's limit. The buffer has room for Wine's overrun of its
// 1,024 bytes by one wide placeholder.
std::string SystemFormat(const char* fmt, const std::vector<DWORD_PTR>& values) {
    std::vector<DWORD_PTR> padded = values;
    padded.push_back(0);
    std::vector<char> buffer(2048, 0x5A);
    wvsprintfA(buffer.data(), fmt, reinterpret_cast<va_list>(padded.data()));
    buffer[FormatTextLimit] = '\0';
    return buffer.data();
}

DWORD_PTR Address(const char* text) {
    return reinterpret_cast<DWORD_PTR>(text);
}

// A placeholder from every part of the syntax with a fitting argument: wide
// fields and long texts about as often as short ones. Bound is the most the
// formatter could print for it; texts keeps the argument's text alive.
struct TRandomPlaceholder {
    std::string Placeholder;
    TFormatArg Arg;
    DWORD_PTR Value;
    size_t Bound;
};

size_t RandomField(std::mt19937& rng) {
    const size_t kind = rng() % 4;
    return kind == 0 ? 0 : kind == 1 ? rng() % 30 : kind == 2 ? rng() % 400 : 900 + rng() % 400;
}

// decimalPrefix: also '#' on decimal numbers, which Wine counts as a "0x" it
// does not print and ends the text there (a Wine divergence).
TRandomPlaceholder RandomPlaceholder(std::mt19937& rng, std::deque<std::string>& texts,
                                     bool decimalPrefix) {
    const char type = "cCdiuxXpsS"[rng() % 10];
    const bool hex = type == 'x' || type == 'X' || type == 'p';
    std::string placeholder = "%";
    if (rng() % 3 == 0) placeholder += '-';
    if (rng() % 3 == 0 && (hex || decimalPrefix)) placeholder += '#';
    if (rng() % 3 == 0) placeholder += '0';
    const size_t width = RandomField(rng);
    if (width > 0) placeholder += std::to_string(width);
    const bool hasPrecision = rng() % 3 == 0;
    const size_t precision = hasPrecision ? RandomField(rng) : 0;
    if (hasPrecision) placeholder += "." + std::to_string(precision);
    if (type == 'S' || (type == 's' && rng() % 4 == 0))
        placeholder += 'h';
    else if (type != 's' && rng() % 4 == 0)
        placeholder += "lh"[rng() % 2];
    placeholder += type;
    if (type == 's' || type == 'S') {
        texts.emplace_back(rng() % 8 == 0 ? rng() % 1500 : rng() % 20, ' ');
        for (char& c : texts.back())
            c = static_cast<char>('!' + rng() % 94);
        const char* text = texts.back().c_str();
        size_t shown = texts.back().size();
        if (precision > 0) shown = std::min(shown, precision);
        return {placeholder, TFormatArg(text), reinterpret_cast<DWORD_PTR>(text),
                std::max(width, shown)};
    }
    if (type == 'c' || type == 'C') {
        // Never a NUL, which would end the text.
        TFormatArg arg = rng() % 2 ? TFormatArg(static_cast<char>('A' + rng() % 26))
                                   : TFormatArg(static_cast<int>(1 + rng() % 255));
        return {placeholder, arg, static_cast<DWORD>(arg.Number), std::max<size_t>(width, 1)};
    }
    const long long wide =
        static_cast<long long>((static_cast<unsigned long long>(rng()) << 32) | rng());
    const TFormatArg numbers[] = {TFormatArg(static_cast<int>(rng())),
                                  TFormatArg(static_cast<int>(rng() % 100)),
                                  TFormatArg(-1),
                                  TFormatArg(static_cast<unsigned>(rng())),
                                  TFormatArg(wide),
                                  TFormatArg('7')};
    const TFormatArg arg = numbers[rng() % 6];
    return {placeholder, arg, static_cast<DWORD>(arg.Number),
            std::max({width, precision, size_t(16)}) + 3};
}

} // namespace

TEST(FormatText, SoundTextsGiveWhatTheSystemFormatterGives) {
    const std::string longText(1500, 'L');
    const std::string longFormat = std::string(1200, 'f') + "%d";
    struct {
        const char* Fmt;
        std::initializer_list<TFormatArg> Args;
        std::vector<DWORD_PTR> Values;
    } const cases[] = {
        {"%c: %d", {'D', 7}, {'D', 7}},
        {"plain text", {}, {}},
        {"100%% done", {}, {}},
        {"[%s]", {"Close"}, {Address("Close")}},
        {"%-10s|%10s|%.2s", {"ab", "cd", "efgh"}, {Address("ab"), Address("cd"), Address("efgh")}},
        {"%5d|%-5d|%05d|%i", {42, -42, 42, -1}, {42, DWORD(-42), 42, DWORD(-1)}},
        {"%u %x %X %#x %#X %08X",
         {-1, 255, 255, 255, 255, 48879},
         {DWORD(-1), 255, 255, 255, 255, 48879}},
        {"%ld %lu %hd %hu", {70000, 70000, 70000, 70000}, {70000, 70000, 70000, 70000}},
        {"%lc%hc%C|%hs|%hS",
         {'a', 'b', 'c', "d", "e"},
         {'a', 'b', 'c', Address("d"), Address("e")}},
        {"%s, %s, %d, %u",
         {"[D:] - DATA", "CDFS", 650LL, 0x1234ABCDu},
         {Address("[D:] - DATA"), Address("CDFS"), 650, 0x1234ABCDu}},
        // 64-bit numbers pass their low 32 bits.
        {"%d|%u", {0x100000005LL, -1LL}, {5, DWORD(-1)}},
        // Very wide fields and long texts are cut at 1023 characters.
        {"%2000d", {5}, {5}},
        {"%-3000s|", {"x"}, {Address("x")}},
        {"%s", {longText}, {Address(longText.c_str())}},
        {longFormat.c_str(), {123456}, {123456}},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << index++ << ": " << c.Fmt);
        std::string expected = SystemFormat(c.Fmt, c.Values);
        EXPECT_EQ(expected, FormatText(c.Fmt, c.Args));
    }
    EXPECT_EQ("D: 7", FormatText("%c: %d", {'D', 7}));
    EXPECT_EQ(1023u, FormatText("%s", {longText}).size());
}

TEST(FormatText, PlaceholdersWithoutAFittingArgumentComeOutAsWritten) {
    const std::string empty;
    const char* none = nullptr;
    struct {
        const char* Fmt;
        std::initializer_list<TFormatArg> Args;
        const char* Expected;
    } const cases[] = {
        {"%s%s%s%s%s", {"a"}, "a%s%s%s%s"},
        {"%s", {42}, "%s"},
        {"%s", {'c'}, "%s"},
        {"%s", {7LL}, "%s"},
        {"%d", {"text"}, "%d"},
        {"%c", {"text"}, "%c"},
        {"%c", {}, "%c"},
        {"%-20.5s|", {}, "%-20.5s|"},
        {"%99999s", {}, "%99999s"},
        {"%99999d", {"text"}, "%99999d"},
        {"value %", {}, "value %"},
        {"value %", {5}, "value %"},
        {"value %-0", {5}, "value %-0"},
        {"100% sure", {}, "100% sure"},
        {"%q and %d", {3}, "%q and 3"},
        {"%*d", {5}, "%*d"},
        {"%I64d", {5LL}, "%I64d"},
        {"%lld", {5}, "%lld"},
        // Wide texts are never passed: their placeholders fit nothing.
        {"%ls|%ws|%S", {"a", "b", "c"}, "%ls|%ws|%S"},
        // Arguments stay with their placeholders by position.
        {"%d %s %d", {1, 2, 3}, "1 %s 3"},
        {"%s and %s", {"one"}, "one and %s"},
        {"%d", {1, 2}, "1"},
        // Empty texts print as nothing.
        {"[%s]", {""}, "[]"},
        {"[%s]", {empty}, "[]"},
        {"[%s]", {none}, "[]"},
        {"[%5s]", {""}, "[     ]"},
        {"", {1, "x"}, ""},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << index++ << ": " << c.Fmt);
        EXPECT_EQ(c.Expected, FormatText(c.Fmt, c.Args));
    }
}

// Wine's formatter writes past its 1,024 bytes where a "%#X" fills the rest of
// them, and runs on without end after two such fields.
TEST(FormatText, WidePlaceholdersStopAtTheLimit) {
    EXPECT_EQ(
        "[D:] - BACKUP_2024_PHOTOSCDFS" + std::string(900, ' '),
        FormatText("%s%s%#1100X%#1100X", {"[D:] - BACKUP_2024_PHOTOS", "CDFS", 4482LL, 0xFFFFFFFFu})
            .substr(0, 929));
    const std::string longText(1500, 't');
    for (const char* placeholder : {"%#1100X", "%#947X", "%#01100X", "%#.1100x", "%-#1100X",
                                    "%#1100d", "%#.1100p", "%1100s", "%-1100s", "%s"}) {
        for (size_t before : {0, 120, 1000, 1022}) {
            SCOPED_TRACE(testing::Message() << before << " characters, then " << placeholder);
            const std::string plain(before, 'p');
            const std::string text =
                placeholder[strlen(placeholder) - 1] == 's'
                    ? FormatText(plain + placeholder + placeholder, {longText, longText})
                    : FormatText(plain + placeholder + placeholder, {0xFFFFFFFFu, 5});
            EXPECT_EQ(FormatTextLimit, text.size());
            EXPECT_EQ(plain, text.substr(0, before));
        }
    }
}

// Each placeholder alone, with every room from one character to all of them,
// in a buffer of exactly the promised size between poisoned bytes.
TEST(FormatText, APlaceholderWritesNothingBeyondItsRoom) {
    const unsigned seed = 20240611;
    RecordProperty("seed", static_cast<int>(seed));
    std::mt19937 rng(seed);
    const size_t guard = 64;
    std::vector<char> memory(guard + FormatTextLimit + PlaceholderSlack + 1 + guard);
    for (int n = 0; n < 4000; ++n) {
        std::deque<std::string> texts;
        const TRandomPlaceholder p = RandomPlaceholder(rng, texts, true);
        const size_t pick = rng() % 3;
        const size_t room = pick == 0   ? 1 + rng() % 40
                            : pick == 1 ? FormatTextLimit - rng() % 40
                                        : 1 + rng() % FormatTextLimit;
        SCOPED_TRACE(testing::Message() << "seed " << seed << " case " << n << ": " << p.Placeholder
                                        << " in " << room);
        std::fill(memory.begin(), memory.end(), '\xA5');
        char* buffer = memory.data() + guard;
        const size_t length = FormatPlaceholder(p.Placeholder, p.Arg, room, buffer);
        const char* after = buffer + room + PlaceholderSlack + 1;
        EXPECT_EQ(std::string(guard, '\xA5'), std::string(memory.data(), guard));
        EXPECT_EQ(std::string(guard, '\xA5'), std::string(after, guard));
        EXPECT_EQ('\0', buffer[length]);
        ASSERT_LE(length, room);
        // Wine's NUL after a decimal number with '#' may come before the room's end.
        if (p.Placeholder.find('#') != std::string::npos && !strchr("xXp", p.Placeholder.back()))
            continue;
        const std::string alone = SystemFormat(p.Placeholder.c_str(), {p.Value});
        ASSERT_EQ(std::min(alone.size(), room), length);
        if (alone.size() < room) {
            EXPECT_EQ(alone, std::string(buffer, length));
        }
    }
}

// Random texts of four placeholders: never longer than the limit, and where the
// whole output surely fits, exactly what the system formatter gives.
TEST(FormatText, RandomTextsGiveWhatTheSystemFormatterGives) {
    const unsigned seed = 7031;
    RecordProperty("seed", static_cast<int>(seed));
    std::mt19937 rng(seed);
    int compared = 0;
    for (int n = 0; n < 3000; ++n) {
        std::deque<std::string> texts;
        std::string fmt;
        size_t bound = 0;
        std::vector<TFormatArg> args;
        std::vector<DWORD_PTR> values;
        for (int k = 0; k < 4; ++k) {
            const size_t plain = rng() % 4 == 0 ? rng() % 400 : rng() % 30;
            for (size_t c = 0; c < plain; ++c)
                fmt += rng() % 20 == 0 ? std::string("%%") : std::string(1, 'a' + rng() % 26);
            bound += plain;
            const TRandomPlaceholder p = RandomPlaceholder(rng, texts, false);
            fmt += p.Placeholder;
            bound += p.Bound;
            args.push_back(p.Arg);
            values.push_back(p.Value);
        }
        SCOPED_TRACE(testing::Message() << "seed " << seed << " case " << n << ": " << fmt);
        const std::string text = FormatText(fmt, {args[0], args[1], args[2], args[3]});
        ASSERT_LE(text.size(), FormatTextLimit);
        if (bound < FormatTextLimit) {
            ++compared;
            EXPECT_EQ(SystemFormat(fmt.c_str(), values), text);
        }
    }
    EXPECT_GT(compared, 500);
    RecordProperty("compared", compared);
}

TEST(FormatText, TheLanguageFallbackMessageNamesTheLanguage) {
    EXPECT_EQ("File for Klingon language not found. Loading default language",
              FormatText("File for %s language not found. Loading default language",
                         {std::string("Klingon")}));
}

// ---- ReplaceAllText and UpperCaseText ---------------------------------------

TEST(ReplaceAllText, ReplacesEveryMatchIgnoringCaseAndKeepsTheRest) {
    struct {
        const char* S;
        const char* Old;
        const char* New;
        const char* Expected;
    } const cases[] = {
        {"xAbxab", "ab", "-", "x-x-"},
        {"Hello World", "O", "0", "Hell0 W0rld"},
        {"MiXeD cAsE", "xed", "", "Mi cAsE"},
        {"aaa", "aa", "b", "ba"},
        {"abab", "ab", "abab", "abababab"},
        {"A\\nB\\NC", "\\n", "\r\n", "A\r\nB\r\nC"},
        {"no match", "zz", "-", "no match"},
        {"", "ab", "-", ""},
        {"keep", "", "-", "keep"},
        {"ab", "abc", "-", "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.S) + " / " + c.Old);
        EXPECT_EQ(c.Expected, ReplaceAllText(c.S, c.Old, c.New));
    }
}

TEST(UpperCaseText, UpperCasesTheWholeLength) {
    EXPECT_EQ("MIXED CASE 123 [D:]", UpperCaseText("Mixed case 123 [d:]"));
    EXPECT_EQ(std::string("A\0B", 3), UpperCaseText(std::string("a\0b", 3)));
    EXPECT_EQ("", UpperCaseText(""));
}

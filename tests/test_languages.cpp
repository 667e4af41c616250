// Language texts and their fallbacks, the shipped language files, the help
// and the installer script. Runs under code page 1252 and again under 1251
// (see languages.cmake): the program reaches its files through ANSI calls.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <vector>
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "support/TrayFixtures.h"
#include "../res/resource.h"
#include "../src/app/uInitDestroy.h"
#include "../src/common/uGlobals.h"
#include "../src/language/uLanguage.h"
#include "../src/menus/uMenus.h"
#include "../src/tray/uImages.h"
#include "../src/tray/uNotifyIcon.h"

namespace {

// Whether the program asked to end; takes the request away.
bool QuitPosted() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

std::string WriteLanguageFile(const std::string& folder, const std::string& name,
                              const std::string& lines) {
    WriteTextFile(folder + name + ".lng", "[Main]\r\n" + lines);
    return folder + name + ".lng";
}

std::string SourceFile(const std::string& path) {
    return ReadTextFile(std::string("Z:") + KESTROW_SOURCE_DIR + "/" + path);
}

// What the system's profile reader gives of a text: at most 2,047 characters.
std::string Profile(const std::string& file, int number) {
    char text[2048] = "";
    GetPrivateProfileStringA("Main", std::to_string(number).c_str(), "", text, sizeof text,
                             file.c_str());
    return text;
}

// Spies on the program's calls on their way to the system: Shell_NotifyIconA,
// because Wine's tooltips cannot give a balloon's title back, and the reads of
// a whole language file.
struct TNotifyCall {
    UINT Flags;
    std::string Title, Info;
};
std::vector<TNotifyCall> NotifyCalls;
BOOL(WINAPI* RealNotify)(DWORD, PNOTIFYICONDATAA);
BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data) {
    NotifyCalls.push_back({data->uFlags, data->szInfoTitle, data->szInfo});
    return RealNotify(message, data);
}
int SectionReads;
DWORD(WINAPI* RealReadSection)(LPCSTR, LPSTR, DWORD, LPCSTR);
DWORD WINAPI CountSectionRead(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file) {
    ++SectionReads;
    return RealReadSection(section, buffer, size, file);
}
template <typename T> void Spy(const char* dll, const char* name, T*& real, T* spy) {
    real = reinterpret_cast<T*>(ReplaceImport(dll, name, reinterpret_cast<void*>(spy)));
    ASSERT_NE(nullptr, real) << name;
}

// Every language file that ships, with its code page: a new one needs its line.
struct TShipped {
    const char* Name;
    UINT CodePage;
};
const TShipped Shipped[] = {
    {"English", 1252}, {"Deutsch", 1252}, {"Francais", 1252}, {"Espanol", 1252}, {"Russkij", 1251},
};

// The dialogs whose controls take language texts, as SetDialogTexts is given them.
const int Dialogs[][2] = {{IDD_PAGE_MAIN, IDC_MAIN_LAST},
                          {IDD_PAGE_HOTKEYS, IDC_HOTKEYS_LAST},
                          {IDD_PAGE_OTHER, IDC_OTHER_LAST},
                          {IDD_AUTOCLOSE, IDC_AC_LAST}};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The numbers of every text the program shows, in groups shown together: the
// tray menu with the named texts, then each dialog's caption with the
// controls to which its template gives a text.
std::vector<std::vector<int>> TextGroups() {
    std::vector<std::vector<int>> groups(1);
    const std::string header = SourceFile("src/language/uLanguage.h");
    for (size_t at = header.find("int TEXT_"); at != std::string::npos;
         at = header.find("int TEXT_", at + 1))
        groups[0].push_back(atoi(header.c_str() + header.find('=', at) + 1));
    for (int id = IDM_OPEN; id <= IDM_CLOSEALL; ++id)
        groups[0].push_back(id);
    for (const auto& range : Dialogs) {
        groups.push_back({range[0]});
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(range[0]),
                                         MainWindow, QuietDialogProc, 0);
        for (int id = range[0] + 1; id <= range[1]; ++id)
            if (GetWindowTextLengthA(GetDlgItem(dialog, id)) > 0) groups.back().push_back(id);
        DestroyWindow(dialog);
    }
    return groups;
}

std::wstring Widen(const std::string& bytes, UINT codePage) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    &text[0], static_cast<int>(text.size())));
    return text;
}

// The name in the system's ANSI code page, or empty where that cannot spell
// it (the system would give a look-alike such as "Francais" or "???????").
std::string AnsiName(const std::wstring& name) {
    BOOL lossy = FALSE;
    char bytes[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, bytes, sizeof bytes,
                        nullptr, &lossy);
    return lossy || Widen(bytes, CP_ACP) != name ? std::string() : bytes;
}

// The kinds of a text's placeholders in order: c a character, n a number, s a
// text, ? anything else.
std::string PlaceholderKinds(const std::string& text) {
    std::string kinds;
    for (size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 1)) {
        if (text.compare(i, 2, "%%") == 0) {
            ++i;
            continue;
        }
        const size_t j = text.find_first_not_of("-#0123456789.lh", i + 1);
        const char type = j < text.size() ? text[j] : '\0';
        kinds += type == 'c' || type == 's' ? type : type && strchr("diu", type) ? 'n' : '?';
    }
    return kinds;
}

// The accelerator of a text, upper-cased, or 0 ("&&" is a plain ampersand).
wchar_t Accelerator(const std::string& text, UINT codePage) {
    for (size_t i = text.find('&'); i != std::string::npos && i + 1 < text.size();
         i = text.find('&', i + 2)) {
        if (text[i + 1] == '&') continue;
        std::wstring letter = Widen(text.substr(i + 1, 1), codePage);
        CharUpperBuffW(&letter[0], 1);
        return letter[0];
    }
    return 0;
}

class Languages : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // an end request must save nothing here
        AppPath = Folder = NewTempFolder();
    }
    void TearDown() override {
        DestroyMenus();
        ResetProgramState();
        AppPath = ExeFolder();
    }
    std::string Folder;
};

} // namespace

// Every shape a translator may write reads as the system's profile reader
// gives it; a number the file lacks (a comment, "019" for 19, a line without
// '=', another section) gives the English file's text, one present but empty
// stays empty.
TEST_F(Languages, TextsReadAsTheProfileReaderGivesThemAndMissingOnesInEnglish) {
    const unsigned seed = 1517;
    std::mt19937 rng(seed);
    const char letters[] = "abc XYZ 019 %s\\n;='\"\t";
    auto randomText = [&](size_t length) {
        std::string text(length, ' ');
        for (char& c : text)
            c = letters[rng() % (sizeof letters - 1)];
        return text;
    };
    const int count = 600;
    std::vector<std::string> lines;
    std::string english, others = "[Other]\r\n";
    std::vector<bool> lacking(count + 1, false);
    for (int n = 1; n <= count; ++n) {
        const std::string key = std::to_string(n),
                          value = randomText(rng() % 3 ? rng() % 12 : 2040 + rng() % 14);
        english += key + "=English " + key + "\r\n";
        const unsigned shape = rng() % 10;
        lacking[n] = shape >= 6 && shape <= 8;
        switch (shape) {
        case 0: lines.push_back(" \t" + key + " \t= \t" + value + " \t"); break;
        case 1: lines.push_back(key + "=\"" + value + "\""); break;
        case 2: lines.push_back(key + "='" + value + "'"); break;
        case 3: lines.push_back(key + "=\"" + value + "'"); break;
        case 4: lines.push_back(key + "=" + value + "\r\n" + key + "=second"); break;
        case 5: lines.push_back(key + "=\r\n" + key + "=not the first"); break;
        case 6: lines.push_back((rng() % 2 ? ";" : "0") + key + "=" + value); break;
        case 7: lines.push_back(" " + key + " "); break;
        case 8: others += key + "=" + value + "\r\n"; break;
        default: lines.push_back(key + "=" + value + (rng() % 2 ? "\\n" : "")); break;
        }
    }
    std::shuffle(lines.begin(), lines.end(), rng);
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    const std::string file = WriteLanguageFile(Folder, "Test", text + others);
    WriteLanguageFile(Folder, "English", english);
    LoadLanguage("Test", 0);
    for (int n = 1; n <= count; ++n) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " text " << n);
        std::string expected = lacking[n] ? "English " + std::to_string(n) : Profile(file, n);
        for (size_t at; (at = expected.find("\\n")) != std::string::npos;)
            expected.replace(at, 2, "\r\n");
        EXPECT_EQ(expected, GetLangText(n));
    }
    EXPECT_EQ("", GetLangText(count + 1)); // in neither file
}

TEST_F(Languages, ALoadReadsTheFileOnceAndAgainAtTheNextLoad) {
    WriteLanguageFile(Folder, "English", "7=english\r\n8=eight\r\n");
    const std::string file = WriteLanguageFile(Folder, "Test", "7=before\r\n");
    Spy("kernel32.dll", "GetPrivateProfileSectionA", RealReadSection, CountSectionRead);
    SectionReads = 0;
    LoadLanguage("Test", 0);
    for (int n = 0; n < 50; ++n)
        EXPECT_EQ(n % 2 ? "before" : "eight", GetLangText(n % 2 ? 7 : 8));
    EXPECT_EQ(2, SectionReads); // the file, and English once for what it lacks
    WriteLanguageFile(Folder, "Test", "7=after\r\n");
    EXPECT_EQ("before", GetLangText(7));
    LoadLanguage("Test", 0);
    EXPECT_EQ("after", GetLangText(7));
    ReplaceImport("kernel32.dll", "GetPrivateProfileSectionA",
                  reinterpret_cast<void*>(RealReadSection));
}

TEST_F(Languages, LineBreaksAreExpandedOnlyWhereALowerCaseOneIsWritten) {
    LanguageFileName = WriteLanguageFile(
        Folder, "Test", "1=one\\ntwo\r\n2=A\\nB\\NC\r\n3=Only\\Nupper\r\n4=\\n\r\n");
    const char* const expected[] = {"one\r\ntwo", "A\r\nB\r\nC", "Only\\Nupper", "\r\n"};
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(expected[n - 1], GetLangText(n));
    }
}

TEST_F(Languages, SetDialogTextsTouchesFirstPlusOneToLastAndSkipsEmptyTexts) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    std::string lines = "416=\r\n";
    for (int id = 409; id <= 422; ++id) {
        CreateWindowExA(0, "STATIC", "template", WS_CHILD, 0, 0, 10, 10, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        if (id != 415 && id != 416)
            lines += std::to_string(id) + "=text " + std::to_string(id) + "\r\n";
    }
    LanguageFileName = WriteLanguageFile(Folder, "Test", lines);
    SetDialogTexts(parent, 410, 421);
    for (int id = 409; id <= 422; ++id) {
        SCOPED_TRACE(id);
        char text[64] = "";
        GetDlgItemTextA(parent, id, text, sizeof text);
        const bool touched = id > 410 && id <= 421 && id != 415 && id != 416;
        EXPECT_EQ(touched ? "text " + std::to_string(id) : std::string("template"), text);
    }
    DestroyWindow(parent);
}

// The warning is a balloon titled from the default language's file.
TEST_F(Languages, AMissingLanguageWarnsAndFallsBackToEnglish) {
    AppPath = ExeFolder();
    const std::string english = ExeFolder() + "English.lng", title = Profile(english, 2004);
    ASSERT_NE("", title);
    AddTrayIcon();
    Spy("shell32.dll", "Shell_NotifyIconA", RealNotify, RecordNotify);
    for (const std::string name : {"Klingon", ""}) {
        SCOPED_TRACE(name);
        NotifyCalls.clear();
        LoadLanguage(name, 0);
        std::vector<TNotifyCall> balloons;
        std::copy_if(NotifyCalls.begin(), NotifyCalls.end(), std::back_inserter(balloons),
                     [](const TNotifyCall& call) { return call.Flags & NIF_INFO; });
        ASSERT_EQ(1u, balloons.size());
        EXPECT_EQ("Kestrow " + title, balloons[0].Title);
        EXPECT_EQ("File for " + name + " language not found. Loading default language",
                  balloons[0].Info);
        EXPECT_EQ("English", Language);
        EXPECT_EQ(english, LanguageFileName);
        EXPECT_EQ(Profile(english, IDM_OPEN), GetLangText(IDM_OPEN));
        EXPECT_TRUE(MessageBoxCalls.empty());
        EXPECT_FALSE(QuitPosted());
    }
    ReplaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RealNotify));
    RemoveTrayIcon();
}

TEST_F(Languages, AMissingEnglishFileShowsOneErrorAndEndsTheProgram) {
    // "english" is another language, which falls back to the missing English.
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
        EXPECT_EQ(Folder + "English.lng", LanguageFileName);
    }
}

TEST_F(Languages, TheMenuLoadsTheChosenLanguageAndIgnoresCommandsWithoutAnItem) {
    WriteLanguageFile(Folder, "English", "201=&Open\r\n");
    WriteLanguageFile(Folder, "Deutsch", "201=&Oeffnen\r\n");
    UseDrives("D", mkNoMedia); // the menus are built only with a drive
    Language = "English";
    CreateMenus();
    ASSERT_EQ(2, GetMenuItemCount(LanguageMenu));
    for (int id : {IDM_LANGUAGE_FIRST + 2, IDM_LANGUAGE_LAST}) {
        SendMessageA(MainWindow, WM_COMMAND, id, 0);
        EXPECT_EQ("English", Language) << id;
    }
    char first[64] = "";
    GetMenuStringA(LanguageMenu, 0, first, sizeof first, MF_BYPOSITION);
    const int deutsch = IDM_LANGUAGE_FIRST + (std::string(first) == "Deutsch" ? 0 : 1);
    SendMessageA(MainWindow, WM_COMMAND, deutsch, 0);
    EXPECT_EQ("Deutsch", Language);
    EXPECT_EQ("&Oeffnen", GetLangText(IDM_OPEN));
    // Rebuilt with the mark on Deutsch alone.
    for (int i = 0; i < 2; ++i) {
        char text[64] = "";
        GetMenuStringA(LanguageMenu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(std::string(text) == "Deutsch",
                  (GetMenuState(LanguageMenu, i, MF_BYPOSITION) & MF_CHECKED) != 0)
            << text;
    }
}

// ---- The shipped language files ---------------------------------------------

TEST_F(Languages, RunsInTheCodePageItWasStartedFor) {
    const char* expected = getenv("KESTROW_TEST_ACP"); // set by languages.cmake
    if (!expected) GTEST_SKIP() << "started without KESTROW_TEST_ACP";
    EXPECT_EQ(static_cast<UINT>(atoi(expected)), GetACP());
}

TEST_F(Languages, EachShippedFileIsInItsCodePageWithCrLfLineEnds) {
    for (const TShipped& language : Shipped) {
        SCOPED_TRACE(language.Name);
        const std::string bytes = ReadTextFile(ExeFolder() + language.Name + ".lng");
        ASSERT_FALSE(bytes.empty());
        for (size_t k = 0; k < bytes.size(); ++k) {
            const unsigned char c = bytes[k];
            const bool fine = c == '\n'   ? k > 0 && bytes[k - 1] == '\r'
                              : c == '\r' ? k + 1 < bytes.size() && bytes[k + 1] == '\n'
                                          : c >= 0x20 && c != 0x7F;
            ASSERT_TRUE(fine) << "byte " << k << " (code " << int(c) << ")";
        }
        // Letters of the code page and the usual marks; a file saved as UTF-8
        // would show garbled letters in Russian as well as in 1252.
        for (wchar_t c : Widen(bytes, language.CodePage)) {
            const bool letter = language.CodePage == 1251
                                    ? (c >= 0x410 && c <= 0x44F) || c == 0x401 || c == 0x451
                                    : c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7;
            EXPECT_TRUE(c < 0x80 || letter || wcschr(L"\u00A0\u00AB\u00BB\u2013\u2014\u2026", c))
                << int(c);
        }
    }
}

// Every text that the program shows is in English.lng under its own number
// and under no other spelling; each translation has it with the same
// placeholders or leaves it to the English one.
TEST_F(Languages, EachShippedFileHasTheProgramsTextsWithTheirPlaceholders) {
    AppPath = ExeFolder();
    const std::string english = ExeFolder() + "English.lng";
    const struct {
        int Number;
        const char* Kinds; // of the arguments that the program passes
    } callers[] = {{TEXT_CLOSING, "c"},
                   {TEXT_COUNTDOWN, "cn"},
                   {TEXT_DATA_INFO, "ssnn"},
                   {TEXT_AUDIO_INFO, "sns"}};
    for (const auto& caller : callers)
        EXPECT_EQ(caller.Kinds, PlaceholderKinds(Profile(english, caller.Number))) << caller.Number;
    std::set<std::string> used;
    for (const std::vector<int>& group : TextGroups())
        for (int number : group)
            used.insert(std::to_string(number));
    ASSERT_GT(used.size(), 30u);
    for (const TShipped& language : Shipped) {
        SCOPED_TRACE(language.Name);
        LoadLanguage(language.Name, 0);
        std::vector<char> buffer(65536);
        const DWORD size = GetPrivateProfileStringA("Main", nullptr, "", buffer.data(), 65536,
                                                    LanguageFileName.c_str());
        std::multiset<std::string> keys;
        for (const char* key = buffer.data(); key < buffer.data() + size; key += strlen(key) + 1)
            keys.insert(key);
        for (const std::string& key : keys)
            EXPECT_TRUE(used.count(key) && keys.count(key) == 1) << "key " << key;
        if (language.Name == std::string("English")) {
            EXPECT_EQ(used.size(), keys.size());
        }
        for (const std::string& key : used) {
            const std::string text = GetLangText(atoi(key.c_str()));
            EXPECT_NE("", text) << key;
            EXPECT_EQ(PlaceholderKinds(Profile(english, atoi(key.c_str()))), PlaceholderKinds(text))
                << key;
        }
    }
}

TEST_F(Languages, AcceleratorsAreUniqueWithinEachMenuAndDialog) {
    AppPath = ExeFolder();
    const std::vector<std::vector<int>> groups = TextGroups();
    std::map<int, bool> inEnglish; // an item keeps its accelerator in every language
    LoadLanguage("English", 0);
    for (const std::vector<int>& group : groups)
        for (int number : group)
            inEnglish[number] = Accelerator(GetLangText(number), 1252) != 0;
    for (const TShipped& language : Shipped) {
        SCOPED_TRACE(language.Name);
        LoadLanguage(language.Name, 0);
        for (const std::vector<int>& group : groups) {
            std::map<wchar_t, int> seen;
            for (int number : group) {
                SCOPED_TRACE(number);
                const wchar_t letter = Accelerator(GetLangText(number), language.CodePage);
                EXPECT_EQ(inEnglish[number], letter != 0);
                if (!letter) continue;
                EXPECT_TRUE(IsCharAlphaNumericW(letter)) << "& before " << int(letter);
                const auto added = seen.emplace(letter, number);
                EXPECT_TRUE(added.second) << "also the accelerator of " << added.first->second;
            }
        }
        // Also the options window's caption, where an & would show.
        EXPECT_EQ(std::string::npos, GetLangText(IDM_OPTIONS).find('&'));
    }
}

namespace {

std::set<std::string> ListedLanguages() {
    UseDrives("D", mkData); // the menus are built only with a drive
    InitImages();
    CreateMenus();
    std::set<std::string> listed;
    for (int i = 0; i < GetMenuItemCount(LanguageMenu); ++i) {
        char caption[MAX_PATH] = "";
        GetMenuStringA(LanguageMenu, i, caption, sizeof caption, MF_BYPOSITION);
        listed.insert(caption);
    }
    DestroyMenus();
    FreeImages();
    return listed;
}

} // namespace

TEST_F(Languages, ShippedFilesHaveAsciiNamesAndEachIsListedAndLoadsByItsName) {
    AppPath = ExeFolder();
    std::set<std::string> shipped, found;
    for (const TShipped& language : Shipped) {
        shipped.insert(language.Name);
        LoadLanguage(language.Name, 0);
        EXPECT_EQ(ExeFolder() + language.Name + ".lng", LanguageFileName);
    }
    EXPECT_TRUE(MessageBoxCalls.empty());
    // Every file beside the program, named as it is: any letter beyond ASCII
    // would not read back as a name of the table.
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((Widen(ExeFolder(), CP_ACP) + L"*.lng").c_str(), &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    do {
        const std::wstring name(entry.cFileName, wcslen(entry.cFileName) - 4);
        found.insert(Widen(AnsiName(name), CP_ACP) == name ? AnsiName(name) : "(not ASCII)");
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    EXPECT_EQ(shipped, found);
    EXPECT_EQ(shipped, ListedLanguages());
}

TEST_F(Languages, TheMenuListsExactlyTheNamesThatTheCodePageCanSpell) {
    const std::wstring names[] = {L"Fran\u00E7ais",
                                  L"Espa\u00F1ol",
                                  L"\u00DCber",
                                  L"\u0420\u0443\u0441\u0441\u043A\u0438\u0439",
                                  L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC",
                                  L"Plain"};
    std::set<std::string> spelt;
    for (const std::wstring& name : names) {
        ASSERT_TRUE(CopyFileW(Widen(ExeFolder() + "English.lng", CP_ACP).c_str(),
                              (Widen(Folder, CP_ACP) + name + L".lng").c_str(), FALSE));
        if (!AnsiName(name).empty()) spelt.insert(AnsiName(name));
    }
    ASSERT_GT(spelt.size(), 1u); // each code page meets names of both kinds
    ASSERT_LT(spelt.size(), std::size(names));
    const std::set<std::string> listed = ListedLanguages();
    EXPECT_EQ(spelt, listed);
    for (const std::string& name : listed) {
        LoadLanguage(name, 0);
        EXPECT_EQ(Folder + name + ".lng", LanguageFileName) << name;
    }
    EXPECT_TRUE(MessageBoxCalls.empty());
}

// ---- The help and the installer ---------------------------------------------

namespace {

std::vector<std::string> HelpTopics() {
    std::vector<std::string> topics;
    WIN32_FIND_DATAA entry;
    HANDLE search =
        FindFirstFileA((std::string("Z:") + KESTROW_SOURCE_DIR + "/help/*.html").c_str(), &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry))
        topics.push_back(entry.cFileName);
    FindClose(search);
    return topics;
}

// Everything between each open and close tag, "&amp;" decoded and blanks
// (line ends included) made single.
std::vector<std::string> Tagged(const std::string& html, const std::string& tag) {
    std::vector<std::string> found;
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
        at += open.size();
        std::string text;
        for (size_t i = at; i < html.find(close, at); ++i) {
            const char c = html[i] == '\r' || html[i] == '\n' ? ' ' : html[i];
            if (c == ' ' && !text.empty() && text.back() == ' ') continue;
            if (html.compare(i, 5, "&amp;") == 0) i += 4;
            text += c;
        }
        found.push_back(text);
    }
    return found;
}

} // namespace

TEST(Help, TheCompiledFileHoldsEveryTopic) {
    const std::string chm = ReadTextFile(ExeFolder() + "kestrow.chm");
    EXPECT_EQ("ITSF", chm.substr(0, 4));
    const std::vector<std::string> topics = HelpTopics();
    ASSERT_GE(topics.size(), 8u);
    for (const std::string& topic : topics)
        EXPECT_NE(std::string::npos, chm.find("/" + topic)) << topic;
}

// A control or heading named in the help is named as the program shows it:
// without the & of an accelerator, maybe in brackets as a link, or without a
// label's colon. OK and Apply are the system's own buttons.
TEST(Help, EveryBoldNameAndOptionsHeadingIsATextTheProgramShows) {
    std::vector<char> section(32768);
    GetPrivateProfileSectionA("Main", section.data(), static_cast<DWORD>(section.size()),
                              (ExeFolder() + "English.lng").c_str());
    std::set<std::string> shown = {"OK", "Apply"};
    for (const char* entry = section.data(); *entry; entry += strlen(entry) + 1) {
        std::string text;
        for (const char* c = strchr(entry, '=') + 1; c[-1] && *c; ++c)
            if (*c != '&' || c[1] == '&') text += *c == '&' ? *c++ : *c;
        shown.insert({text, "[" + text + "]", text.substr(0, text.find_last_not_of(':') + 1)});
    }
    ASSERT_GT(shown.size(), 40u);
    size_t names = 0;
    for (const std::string& topic : HelpTopics()) {
        SCOPED_TRACE(topic);
        const std::string html = SourceFile("help/" + topic);
        std::vector<std::string> checked = Tagged(html, "b");
        if (topic == "options.html")
            for (const std::string& heading : Tagged(html, "h2"))
                checked.push_back(heading);
        for (const std::string& name : checked) {
            EXPECT_TRUE(shown.count(name)) << "\"" << name << "\"";
            ++names;
        }
    }
    EXPECT_GT(names, 30u);
}

TEST(Help, TheInstallerInstallsForAllUsersIn32BitsAndStartsTheProgramAsTheUser) {
    const std::string script = SourceFile("installer/kestrow.nsi");
    auto holds = [&](const char* text) { return script.find(text) != std::string::npos; };
    EXPECT_FALSE(holds("PROGRAMFILES64"));
    EXPECT_TRUE(holds("StrCpy $INSTDIR \"$PROGRAMFILES32\\${PRODUCT}\""));
    EXPECT_TRUE(holds("!define MULTIUSER_INSTALLMODE_FUNCTION ChooseInstallFolder"));
    // The finish page's start goes through the shell, which runs as the user.
    EXPECT_TRUE(holds("!define MUI_FINISHPAGE_RUN_FUNCTION StartKestrow"));
    EXPECT_TRUE(holds("Exec '\"$WINDIR\\explorer.exe\" \"$INSTDIR\\kestrow.exe\"'"));
    EXPECT_FALSE(holds("!define MUI_FINISHPAGE_RUN \""));
}

// Last: the start-up leaves its icon and hotkeys for the process end.
TEST(Help, TheHelpCommandOpensTheIndexTopicOfTheFileBesideTheProgram) {
    EnsureMainWindow();
    ResetProgramState();
    InitApp();
    SendMessageA(MainWindow, WM_COMMAND, IDM_HELP, 0);
    ASSERT_EQ(1u, HelpCalls.size());
    EXPECT_EQ(MainWindow, HelpCalls[0].Owner);
    EXPECT_EQ(ExeFolder() + "kestrow.chm", HelpCalls[0].File);
    EXPECT_EQ("index.html", HelpCalls[0].Topic);
}

// Language texts and their fallbacks, the shipped language files, the help
// and the installer script. Runs under code page 1252 and again under 1251
// (see languages.cmake): the program reaches its files through ANSI calls.
#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <random>
#include <regex>
#include <set>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayFixtures.h"
#include "res/resource.h"
#include "src/app/uInitDestroy.h"
#include "src/common/uGlobals.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/tray/uImages.h"
#include "src/tray/uNotifyIcon.h"

namespace {

bool QuitPosted() { // and takes the request away
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

std::string WriteLanguage(const std::string& folder, const std::string& name,
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

// Spies on the program's calls on their way to the system, for the whole run:
// Wine's tooltips cannot give a balloon's title back.
template <typename T> T* Spy(const char* dll, const char* name, T* spy) {
    return reinterpret_cast<T*>(ReplaceImport(dll, name, reinterpret_cast<void*>(spy)));
}
std::vector<NOTIFYICONDATAA> Balloons;
BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data);
const auto RealNotify = Spy("shell32.dll", "Shell_NotifyIconA", RecordNotify);
BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data) {
    if (data->uFlags & NIF_INFO) Balloons.push_back(*data);
    return RealNotify(message, data);
}
int SectionReads;
DWORD WINAPI CountRead(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file);
const auto RealRead = Spy("kernel32.dll", "GetPrivateProfileSectionA", CountRead);
DWORD WINAPI CountRead(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file) {
    ++SectionReads;
    return RealRead(section, buffer, size, file);
}

// Every language file that ships, with its code page: a new one needs its line.
const struct {
    const char* Name;
    UINT CodePage;
} Shipped[] = {
    {"English", 1252}, {"Deutsch", 1252}, {"Francais", 1252}, {"Espanol", 1252}, {"Russkij", 1251}};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The numbers of every text that the program shows, in groups shown together:
// the tray menu with the named texts, then each dialog's caption with those
// controls that its template gives a text, as SetDialogTexts is called.
std::vector<std::vector<int>> TextGroups() {
    std::vector<std::vector<int>> groups(1);
    const std::string header = SourceFile("src/language/uLanguage.h");
    for (size_t at = header.find("int TEXT_"); at != std::string::npos;
         at = header.find("int TEXT_", at + 1))
        groups[0].push_back(atoi(header.c_str() + header.find('=', at) + 1));
    for (int id = IDM_OPEN; id <= IDM_CLOSEALL; ++id)
        groups[0].push_back(id);
    for (const auto& range : {std::make_pair(IDD_PAGE_MAIN, IDC_MAIN_LAST),
                              {IDD_PAGE_HOTKEYS, IDC_HOTKEYS_LAST},
                              {IDD_PAGE_OTHER, IDC_OTHER_LAST},
                              {IDD_AUTOCLOSE, IDC_AC_LAST}}) {
        groups.push_back({range.first});
        HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(range.first), MainWindow,
                                         QuietDialogProc, 0);
        for (int id = range.first + 1; id <= range.second; ++id)
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

// The type letters of a text's placeholders, in order.
std::string Placeholders(const std::string& text) {
    std::string types;
    const std::regex placeholder("%%|%[-#0-9.lh]*(.?)");
    for (std::sregex_iterator it(text.begin(), text.end(), placeholder), end; it != end; ++it)
        types += (*it)[1].str();
    return types;
}

// The accelerator of a text, upper-cased, or 0 ("&&" is a plain ampersand).
wchar_t Accelerator(const std::string& text, UINT codePage) {
    std::wstring wide = Widen(text, codePage) + L' ';
    CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    for (size_t i = 0; i + 1 < wide.size(); ++i)
        if (wide[i] == L'&' && wide[++i] != L'&') return wide[i] == L' ' ? 0 : wide[i];
    return 0;
}

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

class Languages : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // an end request must save nothing here
        AppPath = Folder = NewTempFolder();
        Balloons.clear();
    }
    std::string Folder;
};

} // namespace

// Every shape a translator may write reads as the system's profile reader
// gives it, a lower-case \n making the text's \n and \N line breaks; a number
// the file lacks (a comment, "019" for 19, a line without '=', another
// section) gives the English file's text, one present but empty stays empty.
TEST_F(Languages, TextsReadAsTheProfileReaderGivesThemAndMissingOnesInEnglish) {
    const unsigned seed = 1517;
    std::mt19937 rng(seed);
    const char letters[] = "abc XYZ 019 %s\\nN;='\"\t";
    // K the number, V a value; from ";K=V" on without the number in [Main].
    const char* const shapes[] = {
        " \tK \t= \tV \t",       "K=\"V\"", "K='V'", "K=\"V'", "K=V",           "K=V\r\nK=second",
        "K=\r\nK=not the first", ";K=V",    "0K=V",  " K ",    "[Other]\r\nK=V"};
    const int count = 600;
    std::string text, other, english;
    std::vector<bool> lacking(count + 1);
    for (int n = 1; n <= count; ++n) {
        std::string value(rng() % 3 ? rng() % 12 : 2040 + rng() % 14, ' '), line;
        for (char& c : value)
            c = letters[rng() % (sizeof letters - 1)];
        const size_t shape = rng() % std::size(shapes);
        lacking[n] = shape >= 7;
        for (const char* c = shapes[shape]; *c; ++c)
            line += *c == 'K' ? std::to_string(n) : *c == 'V' ? value : std::string(1, *c);
        (shape == std::size(shapes) - 1 ? other : text) += line + "\r\n";
        english += std::to_string(n) + "=English " + std::to_string(n) + "\r\n";
    }
    const std::string file = WriteLanguage(Folder, "Test", text + other);
    WriteLanguage(Folder, "English", english);
    LoadLanguage("Test", 0);
    for (int n = 1; n <= count; ++n) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " text " << n);
        std::string expected = lacking[n] ? "English " + std::to_string(n) : Profile(file, n);
        if (expected.find("\\n") != std::string::npos)
            for (size_t at;
                 (at = std::min(expected.find("\\n"), expected.find("\\N"))) != std::string::npos;)
                expected.replace(at, 2, "\r\n");
        EXPECT_EQ(expected, GetLangText(n));
    }
    EXPECT_EQ("", GetLangText(count + 1)); // in neither file
}

TEST_F(Languages, ALoadReadsTheFileOnceAndAgainAtTheNextLoad) {
    WriteLanguage(Folder, "English", "7=english\r\n8=eight\r\n");
    WriteLanguage(Folder, "Test", "7=before\r\n");
    ASSERT_TRUE(RealRead);
    SectionReads = 0;
    LoadLanguage("Test", 0);
    for (int n = 0; n < 50; ++n)
        EXPECT_EQ(n % 2 ? "before" : "eight", GetLangText(n % 2 ? 7 : 8));
    EXPECT_EQ(2, SectionReads); // the file, and English once for what it lacks
    WriteLanguage(Folder, "Test", "7=after\r\n");
    EXPECT_EQ("before", GetLangText(7));
    LoadLanguage("Test", 0);
    EXPECT_EQ("after", GetLangText(7));
}

TEST_F(Languages, SetDialogTextsTouchesFirstPlusOneToLastAndSkipsEmptyTexts) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, 0, 0, 0, 0);
    std::string lines = "416=\r\n";
    for (int id = 409; id <= 422; ++id) {
        CreateWindowExA(0, "STATIC", "template", WS_CHILD, 0, 0, 9, 9, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), 0, 0);
        lines += id != 415 && id != 416 ? std::to_string(id) + "=text\r\n" : "";
    }
    LanguageFileName = WriteLanguage(Folder, "Test", lines);
    SetDialogTexts(parent, 410, 421);
    for (int id = 409; id <= 422; ++id) {
        char text[64] = "";
        GetDlgItemTextA(parent, id, text, sizeof text);
        EXPECT_STREQ(id > 410 && id <= 421 && id != 415 && id != 416 ? "text" : "template", text)
            << id;
    }
    DestroyWindow(parent);
}

// The warning is a balloon titled from the default language's file.
TEST_F(Languages, AMissingLanguageWarnsAndFallsBackToEnglish) {
    const std::string english = (AppPath = ExeFolder()) + "English.lng";
    ASSERT_TRUE(RealNotify);
    ASSERT_NE("", Profile(english, TEXT_MESSAGE_TITLE));
    AddTrayIcon();
    for (const std::string name : {"Klingon", ""}) {
        SCOPED_TRACE(name);
        Balloons.clear();
        LoadLanguage(name, 0);
        ASSERT_EQ(1u, Balloons.size());
        EXPECT_EQ("Kestrow " + Profile(english, TEXT_MESSAGE_TITLE), Balloons[0].szInfoTitle);
        EXPECT_EQ("File for " + name + " language not found. Loading default language",
                  Balloons[0].szInfo);
        EXPECT_EQ("English", Language);
        EXPECT_EQ(english, LanguageFileName);
        EXPECT_EQ(Profile(english, IDM_OPEN), GetLangText(IDM_OPEN));
        EXPECT_TRUE(MessageBoxCalls.empty());
        EXPECT_FALSE(QuitPosted());
    }
    RemoveTrayIcon();
}

TEST_F(Languages, AMissingEnglishFileShowsOneErrorAndEndsTheProgram) {
    // "english" is another language, which falls back to the missing English.
    for (const char* name : {"English", "english", "Klingon"}) {
        MessageBoxCalls.clear();
        LoadLanguage(name, 0);
        ASSERT_EQ(1u, MessageBoxCalls.size()) << name;
        EXPECT_EQ("Default language not found. Program will be closed", MessageBoxCalls[0].Text);
        EXPECT_EQ("Error", MessageBoxCalls[0].Caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), MessageBoxCalls[0].Type & MB_ICONMASK);
        EXPECT_TRUE(QuitPosted()) << name;
    }
}

TEST_F(Languages, TheMenuLoadsTheChosenLanguageAndIgnoresCommandsWithoutAnItem) {
    WriteLanguage(Folder, "English", "201=&Open\r\n");
    WriteLanguage(Folder, "Deutsch", "201=&Oeffnen\r\n");
    UseDrives("D", mkNoMedia); // the menus are built only with a drive
    Language = "English";
    CreateMenus();
    ASSERT_EQ(2, GetMenuItemCount(LanguageMenu));
    for (int id : {IDM_LANGUAGE_FIRST + 2, IDM_LANGUAGE_LAST})
        SendMessageA(MainWindow, WM_COMMAND, id, 0);
    EXPECT_EQ("English", Language);
    char first[64] = "";
    GetMenuStringA(LanguageMenu, 0, first, sizeof first, MF_BYPOSITION);
    const int deutsch = std::string(first) == "Deutsch" ? 0 : 1;
    SendMessageA(MainWindow, WM_COMMAND, IDM_LANGUAGE_FIRST + deutsch, 0);
    EXPECT_EQ("&Oeffnen", GetLangText(IDM_OPEN));
    for (int i = 0; i < 2; ++i) // rebuilt, with the mark on Deutsch alone
        EXPECT_EQ(i == deutsch, (GetMenuState(LanguageMenu, i, MF_BYPOSITION) & MF_CHECKED) != 0);
}

// CRLF line ends, no other control characters, and beyond ASCII only the
// letters of the file's code page and the usual marks: a file saved as UTF-8
// would show garbled letters.
TEST_F(Languages, EachShippedFileIsInItsCodePageWithCrLfLineEnds) {
    for (const auto& language : Shipped) {
        const std::string bytes = ReadTextFile(ExeFolder() + language.Name + ".lng");
        const std::wregex foreign(
            language.CodePage == 1251
                ? L"[^ -~\u0401\u0410-\u0451\u00A0\u00AB\u00BB\u2013\u2014\u2026]"
                : L"[^ -~\u00C0-\u00FF\u00A0\u00AB\u00BB\u2013\u2014\u2026]");
        std::wsmatch found;
        const std::wstring text =
            Widen(std::regex_replace(bytes, std::regex("\r\n"), ""), language.CodePage);
        EXPECT_FALSE(std::regex_search(text, found, foreign))
            << language.Name << ": code " << int(found.str()[0]);
    }
}

// Every text that the program shows is in English.lng under its own number
// and under no other spelling; each translation has it with the same
// placeholders or leaves it to English; accelerators differ within each menu
// and dialog, and an item has one in every language or in none.
TEST_F(Languages, EachShippedFileHasTheProgramsTextsAndUniqueAccelerators) {
    const std::string english = (AppPath = ExeFolder()) + "English.lng";
    for (const auto& caller : {std::make_pair(TEXT_CLOSING, "c"),
                               {TEXT_COUNTDOWN, "cd"},
                               {TEXT_DATA_INFO, "ssdu"},
                               {TEXT_AUDIO_INFO, "sds"}})
        EXPECT_EQ(caller.second, Placeholders(Profile(english, caller.first))) << caller.first;
    const std::vector<std::vector<int>> groups = TextGroups();
    std::set<std::string> used;
    for (const std::vector<int>& group : groups)
        for (int number : group)
            used.insert(std::to_string(number));
    ASSERT_GT(used.size(), 40u);
    for (const auto& language : Shipped) {
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
        EXPECT_TRUE(language.Name != std::string("English") || keys.size() == used.size());
        for (const std::vector<int>& group : groups) {
            std::map<wchar_t, int> seen;
            for (int number : group) {
                SCOPED_TRACE(number);
                const std::string text = GetLangText(number), inEnglish = Profile(english, number);
                EXPECT_NE("", text);
                EXPECT_EQ(Placeholders(inEnglish), Placeholders(text));
                const wchar_t letter = Accelerator(text, language.CodePage);
                EXPECT_EQ(Accelerator(inEnglish, 1252) != 0, letter != 0);
                EXPECT_TRUE(!letter || IsCharAlphaNumericW(letter)) << int(letter);
                EXPECT_TRUE(!letter || seen.emplace(letter, number).second) << seen[letter];
            }
        }
        // Also the options window's caption, where an & would show.
        EXPECT_EQ(std::string::npos, GetLangText(IDM_OPTIONS).find('&'));
    }
}

// Listed as the table names them under both code pages: their names are ASCII.
TEST_F(Languages, ShippedFilesHaveAsciiNamesAndEachIsListedAndLoadsByItsName) {
    const char* codePage = getenv("KESTROW_TEST_ACP"); // as languages.cmake asks
    EXPECT_EQ(codePage ? static_cast<UINT>(atoi(codePage)) : GetACP(), GetACP());
    AppPath = ExeFolder();
    std::set<std::string> shipped;
    for (const auto& language : Shipped) {
        shipped.insert(language.Name);
        LoadLanguage(language.Name, 0);
        EXPECT_EQ(ExeFolder() + language.Name + ".lng", LanguageFileName);
    }
    EXPECT_TRUE(MessageBoxCalls.empty() && Balloons.empty());
    EXPECT_EQ(shipped, ListedLanguages());
}

TEST_F(Languages, TheMenuListsExactlyTheNamesThatTheCodePageCanSpell) {
    const std::wstring names[] = {L"Fran\u00E7ais",
                                  L"Espa\u00F1ol",
                                  L"\u00DCber",
                                  L"Plain",
                                  L"\u0420\u0443\u0441\u0441\u043A\u0438\u0439",
                                  L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"};
    std::set<std::string> spelt;
    for (const std::wstring& name : names) {
        ASSERT_TRUE(CopyFileW(Widen(ExeFolder() + "English.lng", CP_ACP).c_str(),
                              (Widen(Folder, CP_ACP) + name + L".lng").c_str(), FALSE));
        if (!AnsiName(name).empty()) spelt.insert(AnsiName(name));
    }
    ASSERT_GT(spelt.size(), 1u); // each code page meets names of both kinds
    ASSERT_LT(spelt.size(), std::size(names));
    EXPECT_EQ(spelt, ListedLanguages());
    for (const std::string& name : spelt) {
        LoadLanguage(name, 0);
        EXPECT_EQ(Folder + name + ".lng", LanguageFileName);
    }
    EXPECT_TRUE(MessageBoxCalls.empty() && Balloons.empty());
}

TEST(Help, TheCompiledFileHoldsEveryTopic) {
    const std::string chm = ReadTextFile(ExeFolder() + "kestrow.chm");
    EXPECT_EQ("ITSF", chm.substr(0, 4));
    const std::vector<std::string> topics = HelpTopics();
    ASSERT_GE(topics.size(), 8u);
    for (const std::string& topic : topics)
        EXPECT_NE(std::string::npos, chm.find("/" + topic)) << topic;
}

// A control or heading that the help names in bold is named as the program
// shows it: without the & of an accelerator, maybe in brackets as a link, or
// without a label's colon. OK and Apply are the system's own buttons.
TEST(Help, EveryBoldNameAndOptionsHeadingIsATextTheProgramShows) {
    std::vector<char> section(32768);
    GetPrivateProfileSectionA("Main", section.data(), static_cast<DWORD>(section.size()),
                              (ExeFolder() + "English.lng").c_str());
    std::set<std::string> shown = {"OK", "Apply"};
    for (const char* entry = section.data(); *entry; entry += strlen(entry) + 1) {
        const std::string text =
            std::regex_replace(strchr(entry, '=') + 1, std::regex("&(&?)"), "$1");
        shown.insert({text, "[" + text + "]", text.substr(0, text.find_last_not_of(':') + 1)});
    }
    size_t names = 0;
    for (const std::string& topic : HelpTopics()) {
        const std::string html = SourceFile("help/" + topic);
        const std::regex tagged(topic == "options.html" ? "<(b|h2)>([^<]*)</\\1>"
                                                        : "<(b)>([^<]*)</b>");
        for (std::sregex_iterator it(html.begin(), html.end(), tagged), end; it != end;
             ++it, ++names) {
            const std::string name =
                std::regex_replace(std::regex_replace((*it)[2].str(), std::regex("\\s+"), " "),
                                   std::regex("&amp;"), "&");
            EXPECT_TRUE(shown.count(name)) << topic << ": \"" << name << "\"";
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

// Last: the start-up leaves its icon and hotkeys to the process's end.
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

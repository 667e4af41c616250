// Language texts and their fallbacks, the shipped language files, the help
// and the installer script. Runs under code page 1252 and again under 1251
// (see tests.cmake): the program reaches its files through ANSI calls.
#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <random>
#include <regex>
#include <set>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "res/resource.h"
#include "src/app/uInitDestroy.h"
#include "src/common/uGlobals.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/tray/uNotifyIcon.h"

namespace {

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

// Spies on the program's balloons on their way to the system, for the whole
// run: Wine's tooltips cannot give a balloon's title back.
std::vector<NOTIFYICONDATAA> Balloons;
BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data);
const auto RealNotify = reinterpret_cast<decltype(&RecordNotify)>(
    ReplaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RecordNotify)));
BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data) {
    if (data->uFlags & NIF_INFO) Balloons.push_back(*data);
    return RealNotify(message, data);
}

// Every language file that ships, with its code page: a new one needs its line.
const struct {
    const char* Name;
    UINT CodePage;
} Shipped[] = {
    {"English", 1252}, {"Deutsch", 1252}, {"Francais", 1252}, {"Espanol", 1252}, {"Russkij", 1251}};

std::wstring Widen(const std::string& bytes, UINT codePage) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    &text[0], static_cast<int>(text.size())));
    return text;
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
TEST_F(Languages, TextsReadOnceAtLoadAsTheProfileReaderGivesThemAndMissingOnesInEnglish) {
    std::mt19937 rng(1517);
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
    const std::string file = WriteLanguage(Folder, "Copy", text + other);
    WriteLanguage(Folder, "Test", text + other);
    WriteLanguage(Folder, "English", english);
    LoadLanguage("Test", 0);
    WriteLanguage(Folder, "Test", "1=changed\r\n"); // read again at the next load only
    for (int n = 1; n <= count; ++n) {
        SCOPED_TRACE(n);
        std::string expected = lacking[n] ? "English " + std::to_string(n) : Profile(file, n);
        if (expected.find("\\n") != std::string::npos)
            for (size_t at;
                 (at = std::min(expected.find("\\n"), expected.find("\\N"))) != std::string::npos;)
                expected.replace(at, 2, "\r\n");
        EXPECT_EQ(expected, GetLangText(n));
    }
    EXPECT_EQ("", GetLangText(count + 1)); // in neither file
    WriteLanguage(Folder, "English", "");  // read once, at the first text it lacks
    const int lacks = int(std::find(lacking.begin() + 1, lacking.end(), true) - lacking.begin());
    EXPECT_EQ("English " + std::to_string(lacks), GetLangText(lacks));
    LoadLanguage("Test", 0);
    EXPECT_EQ("changed", GetLangText(1));
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

// '+': a missing language warns in a balloon titled from the default
// language's file and falls back to English. '-': without English.lng (also
// as the fallback of "english", another language) one error ends the program.
TEST_F(Languages, AMissingLanguageFallsBackToEnglishAndAMissingEnglishEndsTheProgram) {
    const std::string english = ExeFolder() + "English.lng";
    ASSERT_TRUE(RealNotify);
    ASSERT_NE("", Profile(english, TEXT_MESSAGE_TITLE));
    AddTrayIcon();
    for (const char* row : {"+Klingon", "+", "-English", "-english", "-Klingon"}) {
        SCOPED_TRACE(row);
        const std::string name = row + 1;
        AppPath = *row == '+' ? ExeFolder() : Folder;
        Balloons.clear();
        MessageBoxCalls.clear();
        LoadLanguage(name, 0);
        MSG quit;
        EXPECT_EQ(*row == '-', PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0);
        if (*row == '-') {
            ASSERT_EQ(1u, MessageBoxCalls.size());
            EXPECT_EQ("Default language not found. Program will be closed",
                      MessageBoxCalls[0].Text);
            EXPECT_EQ("Error", MessageBoxCalls[0].Caption);
            EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), MessageBoxCalls[0].Type & MB_ICONMASK);
            continue;
        }
        ASSERT_EQ(1u, Balloons.size());
        EXPECT_EQ("Kestrow " + Profile(english, TEXT_MESSAGE_TITLE), Balloons[0].szInfoTitle);
        EXPECT_EQ("File for " + name + " language not found. Loading default language",
                  Balloons[0].szInfo);
        EXPECT_EQ("English", Language);
        EXPECT_EQ(english, LanguageFileName);
        EXPECT_EQ(Profile(english, IDM_OPEN), GetLangText(IDM_OPEN));
        EXPECT_TRUE(MessageBoxCalls.empty());
    }
    RemoveTrayIcon();
}

// The menu lists exactly the names that the code page can spell: elsewhere the
// system gives a look-alike such as "Francais" or "???????", which names no file.
TEST_F(Languages, TheMenuListsTheNamesTheCodePageCanSpellAndLoadsTheChosenOne) {
    WriteLanguage(Folder, "English", "201=&Open\r\n");
    WriteLanguage(Folder, "Deutsch", "201=&Oeffnen\r\n");
    std::set<std::string> spelt = {"English", "Deutsch"}, listed;
    for (const std::wstring name : {L"Fran\u00E7ais", L"Espa\u00F1ol", L"\u00DCber", L"Plain",
                                    L"\u0420\u0443\u0441\u0441\u043A\u0438\u0439",
                                    L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"}) {
        ASSERT_TRUE(CopyFileW(Widen(Folder + "Deutsch.lng", CP_ACP).c_str(),
                              (Widen(Folder, CP_ACP) + name + L".lng").c_str(), FALSE));
        BOOL lossy = FALSE;
        char bytes[MAX_PATH] = "";
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, bytes, sizeof bytes,
                            nullptr, &lossy);
        if (!lossy && Widen(bytes, CP_ACP) == name) spelt.insert(bytes);
    }
    ASSERT_GT(spelt.size(), 3u); // each code page meets names of both kinds
    ASSERT_LT(spelt.size(), 8u);
    UseDriveList("D", mkNoMedia); // the menus are built only with a drive
    Language = "English";
    CreateMenus();
    const int count = GetMenuItemCount(LanguageMenu);
    for (int item = 0; item < count; ++item) {
        char caption[MAX_PATH] = "";
        GetMenuStringA(LanguageMenu, item, caption, sizeof caption, MF_BYPOSITION);
        listed.insert(caption);
        SendMessageA(MainWindow, WM_COMMAND, IDM_LANGUAGE_FIRST + item, 0);
        EXPECT_EQ(caption, Language);
        EXPECT_EQ(Folder + caption + ".lng", LanguageFileName);
        EXPECT_EQ(Language == "English" ? "&Open" : "&Oeffnen", GetLangText(IDM_OPEN));
        for (int i = 0; i < count; ++i) // rebuilt, with the mark on the chosen one alone
            EXPECT_EQ(i == item, (GetMenuState(LanguageMenu, i, MF_BYPOSITION) & MF_CHECKED) != 0);
    }
    EXPECT_EQ(spelt, listed);
    const std::string chosen = Language;
    for (int id : {IDM_LANGUAGE_FIRST + count, IDM_LANGUAGE_LAST}) // without an item: ignored
        SendMessageA(MainWindow, WM_COMMAND, id, 0);
    EXPECT_EQ(chosen, Language);
    EXPECT_TRUE(MessageBoxCalls.empty() && Balloons.empty());
}

// Each shipped file loads by its ASCII name and is listed; it has CRLF line
// ends and beyond ASCII only its code page's letters and the usual marks (not
// UTF-8). English.lng has every text shown, under its own number alone; a
// translation has it with the same placeholders or leaves it to English;
// accelerators differ within each menu and dialog, in every language or none.
TEST_F(Languages, EachShippedFileLoadsAndHasTheProgramsTextsInItsCodePage) {
    const char* codePage = getenv("KESTROW_TEST_ACP"); // as tests.cmake asks
    EXPECT_EQ(codePage ? static_cast<UINT>(atoi(codePage)) : GetACP(), GetACP());
    const std::string english = (AppPath = ExeFolder()) + "English.lng";
    for (const auto& caller : {std::make_pair(TEXT_CLOSING, "c"),
                               {TEXT_COUNTDOWN, "cd"},
                               {TEXT_DATA_INFO, "ssdu"},
                               {TEXT_AUDIO_INFO, "sds"}})
        EXPECT_EQ(caller.second, Placeholders(Profile(english, caller.first))) << caller.first;
    // The texts in groups shown together: the tray menu with the named texts,
    // then each dialog's caption with those controls its template gives a text.
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
        HWND dialog =
            CreateDialogParamA(nullptr, MAKEINTRESOURCEA(range.first), MainWindow, nullptr, 0);
        for (int id = range.first + 1; id <= range.second; ++id)
            if (GetWindowTextLengthA(GetDlgItem(dialog, id)) > 0) groups.back().push_back(id);
        DestroyWindow(dialog);
    }
    std::set<std::string> used, shipped;
    for (const std::vector<int>& group : groups)
        for (int number : group)
            used.insert(std::to_string(number));
    ASSERT_GT(used.size(), 40u);
    for (const auto& language : Shipped) {
        SCOPED_TRACE(language.Name);
        shipped.insert(language.Name);
        LoadLanguage(language.Name, 0);
        EXPECT_EQ(ExeFolder() + language.Name + ".lng", LanguageFileName);
        const std::wregex foreign(
            std::wstring(L"[^ -~\u00A0\u00AB\u00BB\u2013\u2014\u2026") +
            (language.CodePage == 1251 ? L"\u0401\u0410-\u0451]" : L"\u00C0-\u00FF]"));
        std::wsmatch found;
        const std::wstring text =
            Widen(std::regex_replace(ReadTextFile(LanguageFileName), std::regex("\r\n"), ""),
                  language.CodePage);
        EXPECT_FALSE(std::regex_search(text, found, foreign)) << int(found.str()[0]);
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
    EXPECT_TRUE(MessageBoxCalls.empty() && Balloons.empty());
    UseDriveList("D", mkNoMedia); // the menus are built only with a drive
    CreateMenus();
    std::set<std::string> listed;
    for (int i = 0; i < GetMenuItemCount(LanguageMenu); ++i) {
        char caption[MAX_PATH] = "";
        GetMenuStringA(LanguageMenu, i, caption, sizeof caption, MF_BYPOSITION);
        listed.insert(caption);
    }
    EXPECT_EQ(shipped, listed);
}

// The compiled help holds every topic. A control or heading that a topic
// names in bold is named as the program shows it: without the & of an
// accelerator, maybe in brackets as a link, or without a label's colon. OK
// and Apply are the system's own buttons.
TEST(Help, TheCompiledFileHoldsEveryTopicAndEachBoldNameIsATextTheProgramShows) {
    const std::string chm = ReadTextFile(ExeFolder() + "kestrow.chm");
    EXPECT_EQ("ITSF", chm.substr(0, 4));
    std::vector<char> section(32768);
    GetPrivateProfileSectionA("Main", section.data(), static_cast<DWORD>(section.size()),
                              (ExeFolder() + "English.lng").c_str());
    std::set<std::string> shown = {"OK", "Apply"};
    for (const char* entry = section.data(); *entry; entry += strlen(entry) + 1) {
        const std::string text =
            std::regex_replace(strchr(entry, '=') + 1, std::regex("&(&?)"), "$1");
        shown.insert({text, "[" + text + "]", text.substr(0, text.find_last_not_of(':') + 1)});
    }
    size_t topics = 0, names = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search =
        FindFirstFileA((std::string("Z:") + KESTROW_SOURCE_DIR + "/help/*.html").c_str(), &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more;
         more = FindNextFileA(search, &entry), ++topics) {
        const std::string topic = entry.cFileName, html = SourceFile("help/" + topic);
        EXPECT_NE(std::string::npos, chm.find("/" + topic)) << topic;
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
    FindClose(search);
    EXPECT_GE(topics, 8u);
    EXPECT_GT(names, 30u);
}

// For all users in 32 bits; the finish page's start goes through the shell,
// which runs as the user.
TEST(Help, TheInstallerInstallsForAllUsersIn32BitsAndStartsTheProgramAsTheUser) {
    const std::string script = SourceFile("installer/kestrow.nsi");
    for (const char* line : {"StrCpy $INSTDIR \"$PROGRAMFILES32\\${PRODUCT}\"",
                             "!define MULTIUSER_INSTALLMODE_FUNCTION ChooseInstallFolder",
                             "!define MUI_FINISHPAGE_RUN_FUNCTION StartKestrow",
                             "Exec '\"$WINDIR\\explorer.exe\" \"$INSTDIR\\kestrow.exe\"'"})
        EXPECT_NE(std::string::npos, script.find(line)) << line;
    for (const char* line : {"PROGRAMFILES64", "!define MUI_FINISHPAGE_RUN \""})
        EXPECT_EQ(std::string::npos, script.find(line)) << line;
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

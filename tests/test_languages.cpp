// Run under code pages 1252 and 1251: the program reaches its language files through ANSI calls.
#include "tests/support/TestSupport.h"
#include <filesystem>
#include <regex>
#include <set>
using namespace std;
static char Text[2048];
static string Profile(const string& ini, const string& key) {
    return string(Text, GetPrivateProfileStringA("Main", key.c_str(), "", Text, 2048, ini.c_str()));
}
static vector<string> Titles; // Wine's tooltips cannot give a balloon's title back: a spy can
static void* RealNotify;
static BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data) {
    if (data->uFlags & NIF_INFO) Titles.push_back(data->szInfoTitle);
    return reinterpret_cast<decltype(&RecordNotify)>(RealNotify)(message, data);
}
TEST(Languages, ShippedFilesHelpInstallerTextsFallbacksAndTheMenu) {
    RealNotify = ReplaceImport("shell32.dll", "Shell_NotifyIconA", (void*)RecordNotify);
    EnsureMainWindow();
    InitApp(); // its icon shows the balloons below
    SendMessageA(MainWindow, WM_COMMAND, IDM_HELP, 0);
    EXPECT_EQ(ExeFolder() + "kestrow.chmindex.html", HelpCalls.at(0).File + HelpCalls[0].Topic);
    const string english = ExeFolder() + "English.lng", lng = ReadTextFile(english),
                 header = ReadTextFile("Z:" KESTROW_SOURCE_DIR "/src/language/uLanguage.h");
    const regex number("TEXT_\\w+ = (\\d+)"), types("%%|%[-#0-9.lh]*(.?)|[^%]"),
        bold("<b>\\[?([^<:\\]]*):?\\]?</b>"), lf[] = {regex("a^"), regex("\\\\[nN]")};
    const auto kinds = [&](const string& text) { return regex_replace(text, types, "$1"); };
    for (const char* name : {"English", "Deutsch", "Francais", "Espanol", "Russkij"}) {
        LoadLanguage(name, 0); // has each text the program names, with English's placeholders
        for (sregex_iterator it(header.begin(), header.end(), number), end; it != end; ++it)
            EXPECT_TRUE(Profile(LanguageFileName, it->str(1)) != "" &&
                        kinds(Profile(english, it->str(1))) == kinds(GetLangText(stoi(it->str(1)))))
                << name << it->str(1);
    }
    const string chm = ReadTextFile(ExeFolder() + "kestrow.chm"), abc = "%s\\nab;='\"\t 019\\N";
    string pages, shown = regex_replace(lng + "=OK\r=Apply\r", regex("&(&?)|:(?=\r)"), "$1");
    for (const auto& file : filesystem::directory_iterator("Z:" KESTROW_SOURCE_DIR "/help"))
        if (file.path().extension() == ".html") {
            EXPECT_NE(string::npos, chm.find("/" + file.path().filename().string())) << file.path();
            pages += ReadTextFile(file.path().string());
        }
    for (sregex_iterator it(pages.begin(), pages.end(), bold), end; it != end; ++it) // as shown
        EXPECT_NE(string::npos, shown.find("=" + it->str(1) + "\r")) << it->str(1);
    const string script = ReadTextFile("Z:" KESTROW_SOURCE_DIR "/installer/kestrow.nsi");
    for (const char* line : {"$PROGRAMFILES32\\", "ION ChooseInstallFolder", "ION StartKestrow",
                             "explorer.exe\" \"$INSTDIR", "-PROGRAMFILES64", "-FINISHPAGE_RUN \""})
        EXPECT_EQ(*line == '-', script.find(line + (*line == '-')) == string::npos) << line;
    const char* const shapes[] = {
        " \tK \t= \tV \t\r\n", "K=\"V\"\r\n", "K='V'\r\n", "K=\"V'\r\n", "K=V\r\nK=2\r\n",
        "K=\r\nK=2\r\n",       ";K=V\r\n",    "0K=V\r\n",  " K \r\n"};
    string folder = AppPath = NewTempFolder(), text = "[Main]\r\n", en = text + "2004=Note\r\n";
    for (int n = 1; n <= 600; ++n) { // K the number, V a value; from ";K=V" on: missing
        string value = abc.substr(n % 18) + string(n % 4 ? n % 5 : 2030 + n % 17, 'x');
        for (const char* c = shapes[n % 9]; *c; ++c)
            text += *c == 'K' ? to_string(n) : *c == 'V' ? value : string(1, *c);
        en += to_string(n) + "=" + to_string(n) + "\r\n";
    }
    WriteTextFile(folder + "Test.lng", text + "2004=Test\r\n[Other]\r\n6=x\r\n");
    WriteTextFile(folder + "English.lng", en);
    for (const wstring name : {L"Fran\u00E7ais", L"\u0420\u0443\u0441\u0441\u043A\u0438\u0439"})
        filesystem::copy_file(folder + "Test.lng", filesystem::path(folder) / (name + L".lng"));
    LoadLanguage("Test", 0);
    for (int n = 1; n <= 600; ++n) { // a lower-case \n (n % 18 < 3) makes \n and \N line breaks
        const string key = to_string(n), read = Profile(folder + "Test.lng", key);
        EXPECT_EQ(n % 9 > 5 ? key : regex_replace(read, lf[n % 18 < 3], "\r\n"), GetLangText(n));
    }
    LoadLanguage("Klingon", 0); // a warning titled from English's file, not Test's; English loads
    EXPECT_EQ(folder + "English.lng", LanguageFileName);
    const bool ru = getenv("KESTROW_TEST_ACP") == string("1251"); // else 1252, see tests.cmake
    set<string> got, own = {"English", "Test", ru ? "\320\363\361\361\352\350\351" : "Fran\347ais"};
    for (int item = 0; item <= GetMenuItemCount(LanguageMenu); ++item, got.insert(Language))
        SendMessageA(MainWindow, WM_COMMAND, IDM_LANGUAGE_FIRST + item, 0); // the last: no item
    EXPECT_EQ(own, got); // not "Francais" or "???????", which name no file
    EXPECT_EQ(vector<string>{"Kestrow Note"}, Titles); // the only warning
    DeleteFileA((folder + "English.lng").c_str());     // without English one error ends the program
    LoadLanguage("English", 0);
    MSG quit;
    EXPECT_TRUE(MessageBoxCalls.size() == 1 && PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
}

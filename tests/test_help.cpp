// The compiled help file beside the executable, the way the program opens it,
// the help's words against the program's, and the installer script.
#include <gtest/gtest.h>
#include <set>
#include <vector>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "src/app/uInitDestroy.h"
#include "src/common/uGlobals.h"
#include "res/resource.h"

TEST(Help, TheCompiledFileHoldsEveryTopic) {
    std::string chm = ReadTextFile(ExeFolder() + "kestrow.chm");
    ASSERT_GT(chm.size(), 4u);
    EXPECT_EQ("ITSF", chm.substr(0, 4));
    for (const char* topic :
         {"/index.html", "/tray.html", "/hotkeys.html", "/commandline.html", "/autoclose.html",
          "/options.html", "/languages.html", "/settings.html"})
        EXPECT_NE(std::string::npos, chm.find(topic)) << topic;
}

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

namespace {

const char* const Topics[] = {"index.html",       "tray.html",      "hotkeys.html",
                              "commandline.html", "autoclose.html", "options.html",
                              "languages.html",   "settings.html"};

std::string SourceFile(const std::string& path) {
    return ReadTextFile(std::string("Z:") + KESTROW_SOURCE_DIR + "/" + path);
}

// The texts of English.lng as the program shows them: without the & of an
// accelerator. A link shows its text in brackets, and prose may leave out a
// label's colon.
std::set<std::string> ShownEnglishTexts() {
    std::vector<char> section(32768);
    GetPrivateProfileSectionA("Main", section.data(), static_cast<DWORD>(section.size()),
                              (ExeFolder() + "English.lng").c_str());
    std::set<std::string> texts;
    for (const char* entry = section.data(); *entry; entry += lstrlenA(entry) + 1) {
        const char* value = strchr(entry, '=');
        if (!value) continue;
        std::string shown;
        for (const char* c = value + 1; *c; ++c)
            if (*c != '&' || c[1] == '&') shown += *c == '&' ? *c++ : *c;
        texts.insert({shown, "[" + shown + "]"});
        if (!shown.empty() && shown.back() == ':') texts.insert(shown.substr(0, shown.size() - 1));
    }
    return texts;
}

// Everything between each open and close tag, entities decoded and blanks
// (line ends included) made single.
std::vector<std::string> Tagged(const std::string& html, const std::string& tag) {
    std::vector<std::string> found;
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
        at += open.size();
        std::string raw = html.substr(at, html.find(close, at) - at), text;
        for (size_t i = 0; i < raw.size(); ++i) {
            char c = raw[i] == '\r' || raw[i] == '\n' ? ' ' : raw[i];
            if (c == ' ' && !text.empty() && text.back() == ' ') continue;
            if (raw.compare(i, 5, "&amp;") == 0) i += 4;
            text += c;
        }
        found.push_back(text);
    }
    return found;
}

} // namespace

TEST(Help, EveryBoldNameAndOptionsHeadingIsATextTheProgramShows) {
    const std::set<std::string> shown = ShownEnglishTexts();
    ASSERT_GT(shown.size(), 40u);
    // The options sheet's own buttons, which Windows names.
    const std::set<std::string> system = {"OK", "Apply"};
    size_t names = 0;
    for (const char* topic : Topics) {
        SCOPED_TRACE(topic);
        const std::string html = SourceFile(std::string("help/") + topic);
        ASSERT_FALSE(html.empty());
        std::vector<std::string> checked = Tagged(html, "b");
        if (std::string(topic) == "options.html")
            for (const std::string& heading : Tagged(html, "h2"))
                checked.push_back(heading);
        for (const std::string& name : checked) {
            EXPECT_TRUE(shown.count(name) || system.count(name)) << "\"" << name << "\"";
            ++names;
        }
    }
    EXPECT_GT(names, 30u);
}

TEST(Installer, InstallsForAllUsersInThe32BitFolderAndStartsTheProgramAsTheUser) {
    const std::string script = SourceFile("installer/kestrow.nsi");
    ASSERT_FALSE(script.empty());
    auto holds = [&](const char* text) { return script.find(text) != std::string::npos; };
    // The 64-bit folder is never chosen; the all-users folder is the 32-bit one.
    EXPECT_FALSE(holds("PROGRAMFILES64"));
    EXPECT_TRUE(holds("StrCpy $INSTDIR \"$PROGRAMFILES32\\${PRODUCT}\""));
    EXPECT_TRUE(holds("!define MULTIUSER_INSTALLMODE_FUNCTION ChooseInstallFolder"));
    // The finish page's start goes through the shell, which runs as the user.
    EXPECT_TRUE(holds("!define MUI_FINISHPAGE_RUN_FUNCTION StartKestrow"));
    EXPECT_TRUE(holds("Exec '\"$WINDIR\\explorer.exe\" \"$INSTDIR\\kestrow.exe\"'"));
    EXPECT_FALSE(holds("!define MUI_FINISHPAGE_RUN \""));
}

// The compiled help file beside the executable, and the way the program opens it.
#include <gtest/gtest.h>
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "../src/app/uInitDestroy.h"
#include "../src/common/uGlobals.h"
#include "../res/resource.h"

TEST(Help, TheCompiledFileHoldsEveryTopic) {
    std::string chm = ReadTextFile(ExeFolder() + "kestrow.chm");
    ASSERT_GT(chm.size(), 4u);
    EXPECT_EQ("ITSF", chm.substr(0, 4));
    for (const char* topic : {"/index.html", "/tray.html", "/hotkeys.html", "/commandline.html",
                              "/autoclose.html", "/options.html", "/languages.html",
                              "/settings.html"})
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

// Path routines and the settings folder made at start-up.
#include <gtest/gtest.h>
#include "support/TestSupport.h"
#include "../src/app/uInitDestroy.h"
#include "../src/common/uGlobals.h"
#include "../src/common/uUtils.h"

TEST(ExtractAppPath, KeepsEverythingUpToTheLastBackslash) {
    EXPECT_EQ("C:\\Program Files\\Kestrow\\", ExtractAppPath("C:\\Program Files\\Kestrow\\kestrow.exe"));
    EXPECT_EQ("C:\\", ExtractAppPath("C:\\kestrow.exe"));
}

TEST(ExtractAppPath, IsEmptyWithoutBackslash) {
    EXPECT_EQ("", ExtractAppPath("kestrow.exe"));
    EXPECT_EQ("", ExtractAppPath(""));
}

TEST(MakeFolderPath, CreatesTheWholeChainAndIgnoresATrailingBackslash) {
    std::string base = NewTempFolder();
    std::string deep = base + "one\\two\\three";
    ASSERT_FALSE(FolderExists(base + "one"));
    EXPECT_TRUE(MakeFolderPath(deep + "\\"));
    EXPECT_TRUE(FolderExists(deep));
    // Asking again for an existing folder succeeds without touching it.
    EXPECT_TRUE(MakeFolderPath(deep));
}

TEST(MakeFolderPath, DriveDesignationsCountAsExisting) {
    EXPECT_TRUE(MakeFolderPath("C:"));
    EXPECT_TRUE(MakeFolderPath("C:\\"));
}

TEST(MakeFolderPath, RootRelativePathEndsAndIsCreatedOnTheCurrentDrive) {
    // Used when the application-data folder cannot be found: the settings
    // folder then lies at the root of the current drive.
    std::string base = NewTempFolder();
    ASSERT_TRUE(SetCurrentDirectoryA(base.c_str()));
    std::string rootRelative = "\\" + base.substr(3) + "rel\\sub\\";
    EXPECT_TRUE(MakeFolderPath(rootRelative));
    EXPECT_TRUE(FolderExists(base + "rel\\sub"));
    EXPECT_TRUE(SetCurrentDirectoryA("C:\\"));
}

TEST(MakeFolderPath, FailsWhenAParentCannotBeMade) {
    std::string base = NewTempFolder();
    WriteTextFile(base + "file", "x");
    EXPECT_FALSE(MakeFolderPath(base + "file\\sub"));
}

TEST(FolderExists, TellsFoldersFromFiles) {
    std::string base = NewTempFolder();
    WriteTextFile(base + "file.txt", "x");
    EXPECT_TRUE(FolderExists(base));
    EXPECT_FALSE(FolderExists(base + "file.txt"));
    EXPECT_FALSE(FolderExists(base + "missing"));
}

TEST(CopyTextToBuffer, StopsAtTheLimitAndTerminates) {
    char buffer[8];
    memset(buffer, 'X', sizeof buffer);
    EXPECT_STREQ("abcde", CopyTextToBuffer(buffer, "abcdefghij", 5));
    EXPECT_EQ('X', buffer[6]);
    EXPECT_STREQ("ab", CopyTextToBuffer(buffer, "ab", 5));
    EXPECT_STREQ("", CopyTextToBuffer(buffer, "", 5));
}

static std::string SettingsFolder() {
    std::string file = SettingsFilePath();
    return file.substr(0, file.find_last_of('\\') + 1);
}

TEST(InitApp, CreatesTheSettingsFolderChainAndNamesTheFiles) {
    std::string folder = SettingsFolder();
    std::string orvane = folder.substr(0, folder.size() - strlen("Kestrow\\"));
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(orvane.c_str());
    ASSERT_FALSE(FolderExists(orvane));

    EnsureMainWindow();
    ResetProgramState();
    InitApp();

    EXPECT_TRUE(FolderExists(folder));
    EXPECT_EQ(folder + "kestrow.ini", IniFileName);
    EXPECT_EQ(ExeFolder(), AppPath);
    EXPECT_EQ(ExeFolder() + "kestrow.chm", HelpFileName);
}

TEST(InitApp, LeavesAnExistingSettingsFolderAlone) {
    std::string folder = SettingsFolder();
    ASSERT_TRUE(MakeFolderPath(folder));
    WriteTextFile(folder + "marker.txt", "keep me");

    EnsureMainWindow();
    ResetProgramState();
    InitApp();

    EXPECT_EQ("keep me", ReadTextFile(folder + "marker.txt"));
    DeleteFileA((folder + "marker.txt").c_str());
}

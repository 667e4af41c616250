// The drive list, medium identification and autorun.inf on the simulated
// drives of this test's prefix (tests/lists/drives.cmake).
#include <gtest/gtest.h>
#include <windows.h>
#include "support/TestSupport.h"
#include "../src/app/uInitDestroy.h"
#include "../src/common/uGlobals.h"
#include "../src/drives/uCDTools.h"
#include "../src/settings/uSettings.h"

namespace {

struct TExpectedDrive {
    char Letter;
    const char* Label;
    TMediaKind Kind;
};

// D=backup E= F=dvd G=audio H=audiolower J=autorun K=autoico L=autoexe, and
// W=dvd, which lies beyond U. (Wine drops trailing blanks from a volume
// label, so "Audio CD " cannot be laid out here.)
const TExpectedDrive ExpectedDrives[] = {
    {'D', "BACKUP", mkData},      {'E', "", mkNoMedia}, // no medium
    {'F', "MOVIE", mkDVDVideo},                         // VIDEO_TS\VIDEO_TS.IFO
    {'G', "Audio CD", mkAudioCD},                       // the label wins over its VIDEO_TS.IFO
    {'H', "audio cd", mkData},                          // the label must match in case
    {'J', "GAMES", mkData},       {'K', "ICONDISC", mkData}, {'L', "EXEICON", mkData},
};

TEST(GetCDDrives, ListsTheCDDrivesFromAToUInLetterOrder) {
    TCDList list;
    BYTE count = GetCDDrives(list);
    ASSERT_EQ(std::size(ExpectedDrives), count);
    ASSERT_EQ(count, list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(ExpectedDrives[i].Letter);
        // The index is the rank among the CD/DVD drives (C: is a fixed disk).
        EXPECT_EQ(ExpectedDrives[i].Letter, list[i].Letter);
        EXPECT_EQ(ExpectedDrives[i].Kind, list[i].MediaKind);
        EXPECT_EQ(0, list[i].TrayOpen);
    }
}

TEST(GetMediaKind, LabelBeforeFileAndExactLabelOnly) {
    for (const TExpectedDrive& drive : ExpectedDrives) {
        SCOPED_TRACE(drive.Letter);
        EXPECT_EQ(drive.Kind, GetMediaKind(drive.Letter));
        EXPECT_EQ(drive.Kind != mkNoMedia, IsMediaPresent(drive.Letter));
        EXPECT_EQ(drive.Label, GetVolumeLabel(drive.Letter));
    }
    // The audio disc carries a VIDEO_TS.IFO too; only the order of the tests
    // makes it an audio CD.
    EXPECT_TRUE(IsDVDVideo('G'));
    EXPECT_TRUE(IsAudioCD('G'));
    EXPECT_FALSE(IsDVDVideo('D'));
    EXPECT_FALSE(IsDVDVideo('E'));
    // A drive beyond U is identified all the same; it is only never listed.
    EXPECT_EQ(mkDVDVideo, GetMediaKind('W'));
}

TEST(GetCDDrives, LeavesTheCallersErrorModeAsItWas) {
    UINT callers[] = {0, SEM_NOGPFAULTERRORBOX};
    for (UINT mode : callers) {
        SCOPED_TRACE(mode);
        SetErrorMode(mode);
        TCDList list;
        GetCDDrives(list);
        IsMediaPresent('E');
        EXPECT_EQ(mode, SetErrorMode(0));
    }
}

TEST(InitDrives, SizesEveryPerDriveArrayWithZeroElements) {
    EnsureMainWindow();
    ResetProgramState();
    // Left-overs of another size and content must not survive.
    Timers.assign(2, TAutocloseTimer{5, true});
    HotKeys.assign(30, THotKeyRecord{1, 2, 3, 4, 5, 6, 7});
    CDBitmaps.assign(1, reinterpret_cast<HBITMAP>(1));
    InitDrives();
    ASSERT_EQ(std::size(ExpectedDrives), CDCount);
    ASSERT_EQ(CDCount, CDList.size());
    ASSERT_EQ(CDCount, Timers.size());
    ASSERT_EQ(CDCount, DriveMenus.size());
    ASSERT_EQ(CDCount, HotKeys.size());
    ASSERT_EQ(CDCount, CDBitmaps.size());
    ASSERT_EQ(CDCount, CDBitmapsChecked.size());
    for (BYTE i = 0; i < CDCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(0, Timers[i].Remaining);
        EXPECT_FALSE(Timers[i].Paused);
        EXPECT_EQ(nullptr, DriveMenus[i]);
        EXPECT_EQ(THotKeyRecord{}, HotKeys[i]);
        EXPECT_EQ(nullptr, CDBitmaps[i]);
        EXPECT_EQ(nullptr, CDBitmapsChecked[i]);
    }
    ResetProgramState();
}

TEST(InitApp, StoredDriveBeyondTheListFallsBackToTheFirst) {
    EnsureMainWindow();
    ResetProgramState();
    CommandLineMode = true; // the icon stays hidden
    std::string settings = SettingsFilePath();
    std::string folder = settings.substr(0, settings.find_last_of('\\'));
    CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int stored : {9, 200}) {
        SCOPED_TRACE(stored);
        WriteTextFile(settings, "[Main]\r\nCurrentDrive=" + std::to_string(stored) + "\r\n");
        InitApp();
        EXPECT_EQ(0, CurrentDrive);
        ResetProgramState();
        CommandLineMode = true;
    }
    WriteTextFile(settings, "[Main]\r\nCurrentDrive=3\r\n");
    InitApp();
    EXPECT_EQ(3, CurrentDrive); // a listed drive stays current
    DeleteFileA(settings.c_str());
    ResetProgramState();
}

struct TAutorunCase {
    char Letter;
    const char* Program;
    const char* Params;
    const char* IconPath;
    int IconIndex;
    bool HasIcon;
};

// J: [AutoRun] OPEN=setup.exe /auto, icon=disc.ico (no such file)
// K: [autorun] open=setup.exe, icon=disc.ico (a 32x32 icon file)
// L: Icon=setup.exe,0 where setup.exe is an icon file
const TAutorunCase AutorunCases[] = {
    {'J', "J:\\setup.exe", "/auto", "J:\\disc.ico", 0, false},
    {'K', "K:\\setup.exe", "", "K:\\disc.ico", 0, true},
    {'L', "L:\\setup.exe", "", "L:\\setup.exe", 0, true},
    {'D', nullptr, "", "D:\\", 0, false}, // no autorun.inf
    {'E', nullptr, "", "E:\\", 0, false}, // no medium
};

SIZE IconSize(HICON icon) {
    ICONINFO info = {};
    SIZE size = {0, 0};
    if (!GetIconInfo(icon, &info)) return size;
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    size.cx = bitmap.bmWidth;
    size.cy = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}

TEST(Autorun, ReadsOpenAndIconWhateverTheLetterCase) {
    for (const TAutorunCase& c : AutorunCases) {
        SCOPED_TRACE(c.Letter);
        std::string program = "?", params = "?";
        EXPECT_EQ(c.Program != nullptr, GetAutorunCommand(c.Letter, program, params));
        if (c.Program) {
            EXPECT_EQ(c.Program, program);
        }
        EXPECT_EQ(c.Params, params);
        int index = -1;
        EXPECT_EQ(c.IconPath, GetAutorunIconPath(c.Letter, index));
        EXPECT_EQ(c.IconIndex, index);
        HICON icon = LoadAutorunIcon(c.Letter, 16, 16);
        EXPECT_EQ(c.HasIcon, icon != nullptr);
        if (icon) DestroyIcon(icon);
    }
}

TEST(Autorun, IconIndexFollowsTheLastComma) {
    const struct {
        const char* Icon;
        const char* Path;
        int Index;
    } cases[] = {
        {"tools.dll, -3", "D:\\tools.dll", -3},
        {"my,icons.ico", "D:\\my,icons.ico", 0}, // no number after the comma
        {"a,b.exe ,12", "D:\\a,b.exe", 12},
        {"C:\\x\\y.dll,2", "C:\\x\\y.dll", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Icon);
        WriteTextFile("D:\\autorun.inf", std::string("[autorun]\r\nicon=") + c.Icon + "\r\n");
        int index = -1;
        EXPECT_EQ(c.Path, GetAutorunIconPath('D', index));
        EXPECT_EQ(c.Index, index);
    }
    DeleteFileA("D:\\autorun.inf");
}

TEST(Autorun, IconLoadsAtTheAskedSize) {
    const SIZE sizes[] = {{16, 16}, {20, 20}, {48, 48}, {24, 32}};
    for (const SIZE& asked : sizes) {
        SCOPED_TRACE(std::to_string(asked.cx) + "x" + std::to_string(asked.cy));
        HICON icon = LoadAutorunIcon('K', asked.cx, asked.cy);
        ASSERT_NE(nullptr, icon);
        SIZE got = IconSize(icon);
        EXPECT_EQ(asked.cx, got.cx);
        EXPECT_EQ(asked.cy, got.cy);
        DestroyIcon(icon);
    }
}

} // namespace

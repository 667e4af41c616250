// The texts that name and describe a drive: captions and tooltip texts.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "support/SeamDoubles.h"
#include "support/TestSupport.h"
#include "support/TrayFixtures.h"
#include "../src/common/uGlobals.h"
#include "../src/menus/uMenus.h"

namespace {

class DriveTextsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        UseTestLanguage(); // 2030 is "%s|%s|%u|%u", 2031 "%s|%d|%s"
        UseDrives("DEFG", mkData);
    }
    void TearDown() override { ResetProgramState(); }
};

// What the system itself says about a drive: file system, serial number and
// size in whole MiB.
struct TVolume {
    std::string FileSystem;
    DWORD Serial = 0;
    unsigned long long MiB = 0;
};

TVolume ReadVolume(char letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    TVolume volume;
    char fileSystem[256] = {};
    GetVolumeInformationA(root, nullptr, 0, &volume.Serial, nullptr, nullptr, fileSystem,
                          sizeof fileSystem);
    volume.FileSystem = fileSystem;
    ULARGE_INTEGER total = {};
    if (GetDiskFreeSpaceExA(root, nullptr, &total, nullptr))
        volume.MiB = total.QuadPart / (1024 * 1024);
    return volume;
}

TEST_F(DriveTextsTest, DriveCaptionIsTagDashLabel) {
    struct {
        char Letter;
        const char* Caption;
    } const cases[] = {{'D', "[D:] - BACKUP"},
                       {'E', "[E:] - (unlabelled)"}, // no medium, so no label
                       {'F', "[F:] - MOVIE"},
                       {'G', "[G:] - Audio CD"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Letter);
        EXPECT_EQ(c.Caption, DriveCaption(c.Letter));
    }
}

TEST_F(DriveTextsTest, CurrentDriveCaptionEndsInATabAndTheTag) {
    CurrentDrive = 1;
    EXPECT_EQ("Drive:\t[E:]", CurrentDriveCaption());
    CurrentDrive = 3;
    EXPECT_EQ("Drive:\t[G:]", CurrentDriveCaption());
}

TEST_F(DriveTextsTest, ActionCaptionsByKind) {
    struct {
        BYTE Kind;
        const char* Caption;
    } const cases[] = {{0, "Eject\t[F:]"},      {1, "Load\t[F:]"}, {2, "Explore\t[F:]"},
                       {3, "Start\t[F:]"},      {4, ""},           {5, "Eject every drive"},
                       {6, "Load every drive"}, {7, ""},           {255, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Kind));
        EXPECT_EQ(c.Caption, ActionCaption('F', c.Kind));
    }
}

TEST_F(DriveTextsTest, EmptyDriveIsDescribedByItsTagAlone) {
    EXPECT_EQ("[E:]", DriveInfoText('E', mkNoMedia));
    EXPECT_EQ("[D:]", DriveInfoText('D', mkNoMedia)); // the kind decides, not the disc
    EXPECT_EQ("", DriveInfoText('D', 4));
}

TEST_F(DriveTextsTest, DataAndVideoDiscsShowFileSystemSizeAndSerial) {
    struct {
        char Letter;
        BYTE Kind;
        const char* Caption;
    } const cases[] = {{'D', mkData, "[D:] - BACKUP"}, {'F', mkDVDVideo, "[F:] - MOVIE"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Letter);
        TVolume volume = ReadVolume(c.Letter);
        ASSERT_FALSE(volume.FileSystem.empty());
        ASSERT_GT(volume.MiB, 0u);
        std::string expected = std::string(c.Caption) + "|" + volume.FileSystem + "|" +
                               std::to_string(static_cast<unsigned>(volume.MiB)) + "|" +
                               std::to_string(volume.Serial);
        EXPECT_EQ(expected, DriveInfoText(c.Letter, c.Kind));
        EXPECT_EQ(expected, DataDiscInfo(c.Letter));
    }
    EXPECT_EQ(DataDiscInfo('F'), DVDVideoInfo('F'));
    EXPECT_TRUE(AudioCDQueries.empty());
}

TEST_F(DriveTextsTest, DiscTakenOutSinceGivesNoSize) {
    // Still marked as a data disc, but the drive is empty now.
    std::string text = DriveInfoText('E', mkData);
    EXPECT_EQ(0u, text.find("[E:] - (unlabelled)|")) << text;
    EXPECT_NE(std::string::npos, text.find("|0|")) << text;
}

TEST_F(DriveTextsTest, SizeIsInWholeMebibytes) {
    struct {
        unsigned long long Bytes, MiB;
    } const cases[] = {{0, 0},
                       {1048575, 0},
                       {1048576, 1},
                       {700000000, 667},
                       {4700000000ull, 4482}, // beyond 32 bits: a DVD
                       {5ull * 1024 * 1024 * 1024 + 1, 5120}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bytes);
        EXPECT_EQ(c.MiB, BytesToMiB(c.Bytes));
    }
}

TEST_F(DriveTextsTest, AudioCDShowsTracksAndIdentityFromTheAudioDevice) {
    AudioCDAnswer.Opens = true;
    AudioCDAnswer.Tracks = 12;
    AudioCDAnswer.Identity = "8a0b4c1d";
    EXPECT_EQ("[G:] - Audio CD|12|8a0b4c1d", DriveInfoText('G', mkAudioCD));
    ASSERT_EQ(1u, AudioCDQueries.size());
    EXPECT_EQ("G:", AudioCDQueries[0]);

    AudioCDQueries.clear();
    AudioCDAnswer.Opens = false; // the device cannot be opened
    EXPECT_EQ("", AudioCDInfo('G'));
    EXPECT_EQ(1u, AudioCDQueries.size());
}

TEST_F(DriveTextsTest, ErrorModeIsRestored) {
    for (UINT mode : {0u, static_cast<UINT>(SEM_NOGPFAULTERRORBOX)}) {
        SCOPED_TRACE(mode);
        SetErrorMode(mode);
        DriveInfoText('E', mkData);
        EXPECT_EQ(mode, SetErrorMode(0));
    }
}

} // namespace

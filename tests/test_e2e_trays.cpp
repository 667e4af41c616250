// The real program on emulated drives (scripts/wine-prefix.sh): its tray
// requests run all the way down to the Linux CD-ROM requests, which the
// drives log; their trays take the disc out and put it back. The prefix has
// D=dev:backup E=dev:dvd F=audio:12 G=open:autorun H=empty K=backup (a folder
// drive without a device).
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include <winioctl.h>
#include <string>
#include "support/Probe.h"
#include "support/ShellTray.h"
#include "support/TestSupport.h"
#include "../src/common/uGlobals.h"
#include "../src/drives/uCDTools.h"
#include "../src/language/uLanguage.h"
#include "../src/menus/uMenus.h"
#include "../res/resource.h"

namespace {

constexpr DWORD TIMEOUT = 15000;
constexpr int TEXT_DATA_INFO = 2030;
constexpr int TEXT_AUDIO_INFO = 2031;

// A file of the Wine prefix, which lives on drive Z: like the rest of the host.
std::string PrefixFile(const std::string& name) {
    char prefix[MAX_PATH] = {};
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    std::string path = std::string("Z:") + prefix + "/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// The tray requests that reached the drives since the last call, in the
// order the drives received them, as "D eject; E close; ".
std::string NewTrayRequests() {
    static size_t seen = 0;
    std::string log = ReadTextFile(PrefixFile("drives/requests.log"));
    std::string requests;
    size_t line = seen, end;
    for (; (end = log.find('\n', line)) != std::string::npos; line = end + 1) {
        std::string text = log.substr(line, end - line);
        if (text.find(" CDROMEJECT ") != std::string::npos)
            requests += text.substr(0, 1) + " eject; ";
        if (text.find(" CDROMCLOSETRAY ") != std::string::npos)
            requests += text.substr(0, 1) + " close; ";
    }
    seen = line;
    return requests;
}

// Waits until the drives have received exactly these tray requests.
std::string AwaitTrayRequests(const std::string& expected) {
    std::string received;
    WaitUntil(
        [&] {
            received += NewTrayRequests();
            return received.size() >= expected.size();
        },
        TIMEOUT);
    Sleep(300); // and no more
    return received + NewTrayRequests();
}

// Windows' CDFS serial: the primary volume descriptor summed in four lanes.
unsigned long IsoSerial(char letter) {
    std::string image = ReadTextFile(PrefixFile(std::string("drives/") + char(letter | 0x20)));
    unsigned char sum[4] = {};
    for (size_t i = 0; i < 2048 && 16 * 2048 + i < image.size(); ++i)
        sum[i % 4] = static_cast<unsigned char>(sum[i % 4] + image[16 * 2048 + i]);
    return (unsigned long)sum[0] << 24 | sum[1] << 16 | sum[2] << 8 | sum[3];
}

// A data disc's tooltip in the English texts beside the executables.
std::string DataTip(char letter, const char* label, unsigned long serial) {
    ULARGE_INTEGER available = {}, total = {};
    GetDiskFreeSpaceExA((std::string(1, letter) + ":\\").c_str(), &available, &total, nullptr);
    return FormatText(GetLangText(TEXT_DATA_INFO),
                      {DriveTag(letter) + " - " + label, "CDFS", total.QuadPart / 1048576, serial});
}

// Every tooltip of the notification area, for a failure's message.
std::string Tips() {
    std::string tips;
    for (const TTrayTool& tool : ReadTrayTools())
        tips += "\"" + tool.Tip + "\" ";
    return tips;
}

class EmulatedTrays : public ::testing::Test {
  protected:
    TKestrowProcess Kestrow;
    HWND Window = nullptr;
    void SetUp() override {
        AppPath = ExeFolder();
        LanguageFileName = AppPath + "English.lng";
        DeleteFileA(SettingsFilePath().c_str()); // the first drive is current
        NewTrayRequests();                       // what came before is not this test's
        Kestrow = StartKestrow("");
        Window = WaitForKestrowWindow(TIMEOUT, Kestrow.Id);
        ASSERT_NE(nullptr, Window);
        // Started once its icon shows the first drive: a command sent before
        // would be undone by the rest of the start.
        ASSERT_TRUE(WaitUntil(
            [] {
                for (const TTrayTool& tool : ReadTrayTools())
                    if (tool.Tip.compare(0, 4, "[D:]") == 0) return true;
                return false;
            },
            TIMEOUT))
            << Tips();
    }
    void TearDown() override {
        if (Window) PostMessageA(Window, WM_COMMAND, IDM_EXIT, 0);
        DWORD exitCode = 0;
        WaitForExit(Kestrow, TIMEOUT, exitCode);
    }
    // The icon shows what the program last found; choosing the drive again
    // refreshes it, as a volume broadcast would on Windows.
    void ExpectTip(BYTE drive, const std::string& tip) {
        SendMessageA(Window, WM_COMMAND, drive, 0);
        EXPECT_TRUE(WaitForTrayTool(tip, TIMEOUT)) << tip << "\nshown: " << Tips();
    }
};

TEST_F(EmulatedTrays, EveryWayToOpenOrCloseMovesTheTrayOfItsDrive) {
    const std::string backup = DataTip('D', "BACKUP", IsoSerial('D'));
    ASSERT_TRUE(WaitForTrayTool(backup, TIMEOUT)) << backup << "\nshown: " << Tips();
    const int openE = MakeCommandID(1, caOpen), closeE = MakeCommandID(1, caClose);
    const struct {
        const char* Way;
        UINT Message;
        WPARAM WParam;
        LPARAM LParam;
        const char* Requests;
        const char* Media; // the drives holding a disc afterwards
    } cases[] = {
        {"left click", WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN, "D eject; ", "EF"},
        {"left click", WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN, "D close; ", "DEF"},
        {"menu Open", WM_COMMAND, IDM_OPEN, 0, "D eject; ", "EF"},
        {"menu Close", WM_COMMAND, IDM_CLOSE, 0, "D close; ", "DEF"},
        {"E: Open", WM_COMMAND, WPARAM(openE), 0, "E eject; ", "DF"},
        {"E: Close", WM_COMMAND, WPARAM(closeE), 0, "E close; ", "DEF"},
        {"toggle hotkey", WM_HOTKEY, WPARAM(MakeCommandID(0, caToggle)), 0, "D eject; ", "EF"},
        {"toggle hotkey", WM_HOTKEY, WPARAM(MakeCommandID(0, caToggle)), 0, "D close; ", "DEF"},
        // K: has no device: its request fails and changes nothing.
        {"Open all", WM_COMMAND, IDM_OPENALL, 0, "D eject; E eject; F eject; G eject; H eject; ",
         ""},
        {"Close all", WM_COMMAND, IDM_CLOSEALL, 0, "D close; E close; F close; G close; H close; ",
         "DEFG"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Way);
        PostMessageA(Window, c.Message, c.WParam, c.LParam);
        EXPECT_EQ(c.Requests, AwaitTrayRequests(c.Requests));
        for (char letter : std::string("DEFGH")) {
            SCOPED_TRACE(letter);
            // Seen from here too: an open tray's drive has no medium.
            EXPECT_EQ(std::string(c.Media).find(letter) != std::string::npos,
                      IsMediaPresent(letter));
        }
        EXPECT_TRUE(IsMediaPresent('K'));
        ExpectTip(0, std::string(c.Media).find('D') != std::string::npos ? backup : DriveTag('D'));
    }

    // The system's volume broadcasts run the drive's action.
    SendVolumeChange(Window, DBT_DEVICEREMOVECOMPLETE, 'E', DBTF_MEDIA);
    SendVolumeChange(Window, DBT_DEVICEARRIVAL, 'E', DBTF_MEDIA);
    EXPECT_EQ("E eject; E close; ", AwaitTrayRequests("E eject; E close; "));
    ExpectTip(1, DataTip('E', "MOVIE", IsoSerial('E')));

    // A drive without a device keeps the program's bookkeeping.
    SendMessageA(Window, WM_COMMAND, MakeCommandID(5, caOpen), 0);
    ExpectTip(5, DriveTag('K'));
    SendMessageA(Window, WM_COMMAND, MakeCommandID(5, caClose), 0);
    // A folder drive's serial is its letter's code shifted left by 24 under Wine.
    ExpectTip(5, DataTip('K', "BACKUP", 'K' << 24));
    EXPECT_EQ("", AwaitTrayRequests(""));
}

TEST_F(EmulatedTrays, AnAudioCDShowsItsTracksAndTheDiscIdentityOfItsTableOfContents) {
    // Windows' identity of an audio CD: the start of every track as
    // minute << 16 | second << 8 | frame, added up; the first starts at 0:02.
    unsigned long identity = 0;
    for (long track = 0, frames = 150; track < 12; ++track, frames += 180 * 75)
        identity += (frames / 4500) << 16 | (frames / 75 % 60) << 8 | frames % 75;
    ExpectTip(2, FormatText(GetLangText(TEXT_AUDIO_INFO),
                            {DriveTag('F') + " - Audio CD", 12, std::to_string(identity)}));
}

// The program keeps its own record of each tray and never asks the drive.
// A tray opened by hand, as G's is at the start, is taken as closed: the
// first toggle sends an eject, which moves nothing, and only the second one
// closes it. An explicit Close would close it at once.
TEST_F(EmulatedTrays, ATrayOpenedByHandTakesTwoTogglesToClose) {
    if (IsMediaPresent('G')) { // closed by an earlier test: open it by hand again
        HANDLE device = CreateFileA("\\\\.\\G:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD returned = 0;
        DeviceIoControl(device, IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0, &returned,
                        nullptr);
        CloseHandle(device);
        NewTrayRequests();
    }
    const int toggle = MakeCommandID(3, caToggle);
    SendMessageA(Window, WM_HOTKEY, toggle, 0);
    EXPECT_EQ("G eject; ", AwaitTrayRequests("G eject; "));
    EXPECT_FALSE(IsMediaPresent('G'));
    SendMessageA(Window, WM_HOTKEY, toggle, 0);
    EXPECT_EQ("G close; ", AwaitTrayRequests("G close; "));
    EXPECT_TRUE(IsMediaPresent('G'));
    // Wine's mount manager reads a disc's label when it starts, and G's tray
    // was out then: it knows no label for G's disc. The tip is a data disc's,
    // with what Wine tells every process.
    ExpectTip(3, DriveInfoText('G', mkData));
}

TEST(EmulatedTraysCommandLine, EachActionMovesTheTraysItNames) {
    const struct {
        const char* Params;
        const char* Requests;
    } cases[] = {
        {"O E", "E eject; "},
        {"C", "D close; "}, // the current drive: the first without settings
        {"OA", "D eject; E eject; F eject; G eject; H eject; "},
        {"CA", "D close; E close; F close; G close; H close; "},
        {"O E A1", "E eject; E close; "}, // the countdown closes it again
    };
    DeleteFileA(SettingsFilePath().c_str());
    NewTrayRequests();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Params);
        EXPECT_EQ(0, RunKestrow(c.Params, TIMEOUT));
        EXPECT_EQ(c.Requests, AwaitTrayRequests(c.Requests));
    }
    EXPECT_TRUE(IsMediaPresent('E'));
}

} // namespace

#include "uCDTools.h"
#include <winioctl.h>
#include <algorithm>
#include "src/common/uSeams.h"
#include "src/common/uStrConsts.h"
#include "src/common/uUtils.h"
#include "src/language/uLanguage.h"
#include "src/settings/RegIni.h"
#include "src/tray/uNotifyIcon.h"

// The drives are listed before any language is loaded. For the message that
// none was found, the stored language's file stands in meanwhile, for the
// balloon's title as well; where it is missing, or lacks a text, the texts
// come from the default language's file as always.
static void ShowNoDriveMessage() {
    bool borrowed = LanguageFileName.empty();
    if (borrowed) {
        std::string name = IniReadString(IniFileName, ResStr(IDS_SECTIONMAIN),
                                         ResStr(IDS_KEYLANGUAGE), ResStr(IDS_DEFAULTLANGUAGE));
        LanguageFileName = AppPath + name + ResStr(IDS_LANGEXT);
    }
    ShowTrayMessage(GetLangText(TEXT_NO_DRIVE), bkError, false);
    EndAfterBalloon();
    if (borrowed) LanguageFileName.clear(); // still no language loaded
}

void InitDrives() {
    CDCount = GetCDDrives(CDList);
    SizeDriveArrays();
    if (CDCount == 0) ShowNoDriveMessage();
}

void SizeDriveArrays() {
    Timers.assign(CDCount, TAutocloseTimer{});
    DriveMenus.assign(CDCount, nullptr);
    HotKeys.assign(CDCount, THotKeyRecord{});
    CDBitmaps.assign(CDCount, nullptr);
    CDBitmapsChecked.assign(CDCount, nullptr);
}

BYTE GetCDDrives(TCDList& list) {
    // No "insert a disc" box for an empty drive while the drives are examined.
    TErrorModeGuard errorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    list.clear();
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < MAX_DRIVES; ++i) { // A to U; V to Z are never drives of ours
        char letter = static_cast<char>('A' + i);
        if (!(mask & (1u << i))) continue;
        if (GetDriveTypeA(DriveName(letter).c_str()) != DRIVE_CDROM) continue;
        list.push_back({letter, 0, static_cast<BYTE>(GetMediaKind(letter))});
    }
    return static_cast<BYTE>(list.size());
}

TMediaKind GetMediaKind(char letter) {
    if (!IsMediaPresent(letter)) return mkNoMedia;
    if (IsAudioCD(letter)) return mkAudioCD; // the label decides before any file
    if (IsDVDVideo(letter)) return mkDVDVideo;
    return mkData;
}

bool IsMediaPresent(char letter) {
    TErrorModeGuard errorMode(SEM_FAILCRITICALERRORS);
    ULARGE_INTEGER available, total;
    if (!GetDiskFreeSpaceExA(DriveRoot(letter).c_str(), &available, &total, nullptr)) return false;
    return available.QuadPart != ~0ULL; // all ones: no usable medium either
}

bool IsAudioCD(char letter) {
    return GetVolumeLabel(letter) == "Audio CD";
}

bool IsDVDVideo(char letter) {
    return FileExists(letter + ResStr(IDS_DVDVIDEOFILE));
}

std::string GetVolumeLabel(char letter) {
    char label[256] = {};
    // One character short of the buffer, so that the text always ends in it.
    GetVolumeInformationA(DriveRoot(letter).c_str(), label, sizeof label - 1, nullptr, nullptr,
                          nullptr, nullptr, 0);
    return label;
}

std::string DriveName(char letter) {
    return std::string(1, letter) + ":";
}

std::string DriveRoot(char letter) {
    return DriveName(letter) + "\\";
}

std::string DriveDevice(char letter) {
    return "\\\\.\\" + DriveName(letter);
}

std::string DriveTag(char letter) {
    return "[" + DriveName(letter) + "]";
}

// Windows' CD-ROM driver takes the disk request; Wine's CD-ROM layer knows
// only the storage-class one of the same meaning, which follows on the same
// handle when the first is refused.
static bool TrayRequest(char letter, DWORD diskCode, DWORD storageCode) {
    return SeamDeviceRequest(DriveDevice(letter).c_str(), {diskCode, storageCode});
}

bool EjectTray(char letter) {
    return TrayRequest(letter, IOCTL_DISK_EJECT_MEDIA, IOCTL_STORAGE_EJECT_MEDIA);
}

bool LoadTray(char letter) {
    return TrayRequest(letter, IOCTL_DISK_LOAD_MEDIA, IOCTL_STORAGE_LOAD_MEDIA);
}

// A disc's autorun.inf is a few lines; a larger one is no disc's and is not
// read: the profile reader takes seconds over a file of megabytes, and the
// values are read again on each volume broadcast.
static constexpr DWORD AUTORUN_MAX_SIZE = 64 * 1024;

static std::string ReadAutorunValue(char letter, unsigned keyId) {
    std::string file = letter + ResStr(IDS_AUTORUNFILE);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) ||
        data.nFileSizeHigh != 0 || data.nFileSizeLow > AUTORUN_MAX_SIZE)
        return std::string();
    return IniReadString(file, ResStr(IDS_AUTORUNSECTION), ResStr(keyId), std::string());
}

static constexpr const char* BLANKS = " \t";

// A name from autorun.inf: relative to the drive's root unless it has a drive
// or is a network path of its own.
static std::string PathOnDisc(char letter, const std::string& name) {
    bool absolute = (name.size() >= 2 && name[1] == ':') || name.rfind("\\\\", 0) == 0;
    return absolute ? name : DriveRoot(letter) + name;
}

// The shell copies names into buffers of its own that are not bounded
// everywhere (Wine 8's ShellExecuteA crashes on a file name of 1,000).
static bool FitsTheShell(const std::string& text) {
    if (text.size() >= MAX_PATH) return false;
    for (char c : text)
        if ((static_cast<unsigned char>(c) < ' ' && c != '\t') || c == '\x7f') return false;
    return true;
}

bool GetAutorunCommand(char letter, std::string& program, std::string& params) {
    std::string open = ReadAutorunValue(letter, IDS_AUTORUNOPEN);
    size_t start = std::min(open.find_first_not_of(BLANKS), open.size());
    size_t end, rest; // the name ends at end, the parameters start after rest
    if (open.compare(start, 1, "\"") == 0) {
        end = std::min(open.find('"', ++start), open.size());
        rest = std::min(end + 1, open.size());
    } else {
        end = rest = std::min(open.find_first_of(BLANKS, start), open.size());
    }
    program = open.substr(start, end - start);
    params = open.substr(std::min(open.find_first_not_of(BLANKS, rest), open.size()));
    if (program.empty()) return false;
    program = PathOnDisc(letter, program);
    return FitsTheShell(program) && FitsTheShell(params);
}

std::string GetAutorunIconPath(char letter, int& index) {
    std::string icon = ReadAutorunValue(letter, IDS_AUTORUNICON);
    index = 0;
    size_t comma = icon.rfind(',');
    int number = 0;
    if (comma != std::string::npos && TextToInteger(icon.substr(comma + 1), number)) {
        index = number;
        icon.erase(comma);
        icon.erase(icon.find_last_not_of(BLANKS) + 1);
    }
    return PathOnDisc(letter, icon);
}

HICON LoadAutorunIcon(char letter, int width, int height) {
    int index = 0;
    std::string file = GetAutorunIconPath(letter, index);
    // An icon file, or a program or library holding icons; the index counts
    // its icons from 0, a negative one names an icon's resource number.
    HICON icon = nullptr;
    UINT count = PrivateExtractIconsA(file.c_str(), index, width, height, &icon, nullptr, 1,
                                      LR_CREATEDIBSECTION);
    if (count == 0 || count == ~0u) return nullptr;
    return icon;
}

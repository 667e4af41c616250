#include "uCDTools.h"
#include <winioctl.h>
#include "../common/uSeams.h"
#include "../common/uStrConsts.h"
#include "../common/uUtils.h"
#include "../language/uLanguage.h"
#include "../settings/RegIni.h"
#include "../tray/uNotifyIcon.h"

static constexpr int TEXT_NO_DRIVE = 2003;

static std::string RootOf(char letter) {
    return std::string(1, letter) + ":\\";
}

// The drives are listed before any language is loaded. For the message that
// none was found, the stored language's file (or the default language's, when
// that one is missing) stands in meanwhile, for the balloon's title as well.
static void ShowNoDriveMessage() {
    bool borrowed = LanguageFileName.empty();
    if (borrowed) {
        std::string name = IniReadString(IniFileName, ResStr(IDS_SECTIONMAIN),
                                         ResStr(IDS_KEYLANGUAGE), ResStr(IDS_DEFAULTLANGUAGE));
        LanguageFileName = AppPath + name + ResStr(IDS_LANGEXT);
        if (!FileExists(LanguageFileName))
            LanguageFileName = AppPath + ResStr(IDS_DEFAULTLANGUAGE) + ResStr(IDS_LANGEXT);
    }
    ShowTrayMessage(GetLangText(TEXT_NO_DRIVE), 0, false);
    EndAfterBalloon();
    if (borrowed) LanguageFileName.clear(); // still no language loaded
}

void InitDrives() {
    CDCount = GetCDDrives(CDList);
    Timers.assign(CDCount, TAutocloseTimer{});
    DriveMenus.assign(CDCount, nullptr);
    HotKeys.assign(CDCount, THotKeyRecord{});
    CDBitmaps.assign(CDCount, nullptr);
    CDBitmapsChecked.assign(CDCount, nullptr);
    if (CDCount == 0) ShowNoDriveMessage();
}

BYTE GetCDDrives(TCDList& list) {
    // No "insert a disc" box for an empty drive while the drives are examined.
    TErrorModeGuard errorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    list.clear();
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < MAX_DRIVES; ++i) { // A to U; V to Z are never drives of ours
        char letter = static_cast<char>('A' + i);
        if (!(mask & (1u << i))) continue;
        if (GetDriveTypeA((std::string(1, letter) + ":").c_str()) != DRIVE_CDROM) continue;
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
    if (!GetDiskFreeSpaceExA(RootOf(letter).c_str(), &available, &total, nullptr)) return false;
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
    GetVolumeInformationA(RootOf(letter).c_str(), label, sizeof label - 1, nullptr, nullptr,
                          nullptr, nullptr, 0);
    return label;
}

std::string DriveTag(char letter) {
    return std::string("[") + letter + ":]";
}

// Windows' CD-ROM driver takes the disk request; Wine's CD-ROM layer knows
// only the storage-class one of the same meaning, which follows on the same
// handle when the first is refused.
static bool TrayRequest(char letter, DWORD diskCode, DWORD storageCode) {
    std::string device = std::string("\\\\.\\") + letter + ":";
    return SeamDeviceRequest(device.c_str(), {diskCode, storageCode});
}

bool EjectTray(char letter) {
    return TrayRequest(letter, IOCTL_DISK_EJECT_MEDIA, IOCTL_STORAGE_EJECT_MEDIA);
}

bool LoadTray(char letter) {
    return TrayRequest(letter, IOCTL_DISK_LOAD_MEDIA, IOCTL_STORAGE_LOAD_MEDIA);
}

static std::string ReadAutorunValue(char letter, unsigned keyId) {
    return IniReadString(letter + ResStr(IDS_AUTORUNFILE), ResStr(IDS_AUTORUNSECTION),
                         ResStr(keyId), std::string());
}

std::string GetAutorunOpen(char letter) {
    return ReadAutorunValue(letter, IDS_AUTORUNOPEN);
}

std::string GetAutorunIconPath(char letter) {
    return RootOf(letter) + ReadAutorunValue(letter, IDS_AUTORUNICON);
}

HICON LoadAutorunIcon(char letter, int width, int height) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                         GetAutorunIconPath(letter).c_str(), IMAGE_ICON, width,
                                         height, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

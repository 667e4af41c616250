#include "uHotKeys.h"
#include <commctrl.h>
#include <string>
#include "uHotKeyText.h"
#include "src/common/uGlobals.h"
#include "src/common/uStrConsts.h"
#include "src/drives/uCDTools.h"
#include "src/menus/uMenus.h"
#include "src/settings/RegIni.h"

int GlobalHotKeys[ghCount];

namespace {

// The stored slots of a drive and their keys in the drive's section.
struct TDriveHotKeySlot {
    BYTE Action;
    unsigned KeyText;
};
const TDriveHotKeySlot DriveHotKeySlots[] = {
    {caBrowse, IDS_KEYBROWSE},
    {caAutorun, IDS_KEYAUTORUN},
    {caToggle, IDS_KEYOPENCLOSE},
};

const int GlobalHotKeyIDs[ghCount] = {HOTKEY_ID_HIDEICON, HOTKEY_ID_CLOSEPROGRAM};
const unsigned GlobalHotKeyKeys[ghCount] = {IDS_KEYHIDEICONHOTKEY, IDS_KEYCLOSEPROGRAMHOTKEY};

// Drives that have both a list entry and a hotkey record.
BYTE HotKeyDriveCount() {
    size_t count = CDCount;
    if (CDList.size() < count) count = CDList.size();
    if (HotKeys.size() < count) count = HotKeys.size();
    return static_cast<BYTE>(count);
}

std::string DriveSection(BYTE drive) {
    return DriveName(CDList[drive].Letter);
}

bool RegisterHotKeyID(int id, WORD hotKey) {
    BYTE flags = HIBYTE(hotKey);
    UINT modifiers = 0;
    if (flags & HOTKEYF_ALT) modifiers |= MOD_ALT;
    if (flags & HOTKEYF_CONTROL) modifiers |= MOD_CONTROL;
    if (flags & HOTKEYF_SHIFT) modifiers |= MOD_SHIFT;
    return RegisterHotKey(MainWindow, id, modifiers, LOBYTE(hotKey)) != FALSE;
}

} // namespace

bool RegisterOneHotKey(BYTE drive, BYTE action, WORD hotKey) {
    return RegisterHotKeyID(MakeCommandID(drive, action), hotKey);
}

void RegisterDriveHotKeys() {
    for (BYTE drive = 0; drive < HotKeyDriveCount(); ++drive)
        for (BYTE action = 0; action < CMD_DRIVE_ACTIONS; ++action)
            if (HotKeys[drive][action] != 0)
                RegisterOneHotKey(drive, action, static_cast<WORD>(HotKeys[drive][action]));
}

void UnregisterDriveHotKeys() {
    for (BYTE drive = 0; drive < HotKeyDriveCount(); ++drive)
        for (BYTE action = 0; action < CMD_DRIVE_ACTIONS; ++action)
            UnregisterHotKey(MainWindow, MakeCommandID(drive, action));
}

void RegisterGlobalHotKeys() {
    for (int k = 0; k < ghCount; ++k)
        if (GlobalHotKeys[k] != 0)
            RegisterHotKeyID(GlobalHotKeyIDs[k], static_cast<WORD>(GlobalHotKeys[k]));
}

void UnregisterGlobalHotKeys() {
    for (int k = 0; k < ghCount; ++k)
        UnregisterHotKey(MainWindow, GlobalHotKeyIDs[k]);
}

void RegisterAllHotKeys() {
    RegisterDriveHotKeys();
    RegisterGlobalHotKeys();
}

void UnregisterAllHotKeys() {
    UnregisterDriveHotKeys();
    UnregisterGlobalHotKeys();
}

void LoadDriveHotKeys() {
    BeginHotKeyLoad();
    for (BYTE drive = 0; drive < HotKeyDriveCount(); ++drive) {
        std::string section = DriveSection(drive);
        for (const TDriveHotKeySlot& slot : DriveHotKeySlots)
            HotKeys[drive][slot.Action] =
                TextToHotKey(IniReadString(IniFileName, section, ResStr(slot.KeyText), ""));
    }
    EndHotKeyLoad();
}

bool SaveDriveHotKeys() {
    bool written = true;
    BeginHotKeyLoad();
    for (BYTE drive = 0; drive < HotKeyDriveCount() && written; ++drive) {
        std::string section = DriveSection(drive);
        for (const TDriveHotKeySlot& slot : DriveHotKeySlots)
            written = written &&
                      IniWriteString(IniFileName, section, ResStr(slot.KeyText),
                                     HotKeyToText(static_cast<WORD>(HotKeys[drive][slot.Action])));
    }
    EndHotKeyLoad();
    return written;
}

void LoadGlobalHotKeys() {
    BeginHotKeyLoad();
    std::string section = ResStr(IDS_SECTIONOTHERHOTKEYS);
    for (int k = 0; k < ghCount; ++k)
        GlobalHotKeys[k] =
            TextToHotKey(IniReadString(IniFileName, section, ResStr(GlobalHotKeyKeys[k]), ""));
    EndHotKeyLoad();
}

bool SaveGlobalHotKeys() {
    bool written = true;
    BeginHotKeyLoad();
    std::string section = ResStr(IDS_SECTIONOTHERHOTKEYS);
    for (int k = 0; k < ghCount && written; ++k)
        written = IniWriteString(IniFileName, section, ResStr(GlobalHotKeyKeys[k]),
                                 HotKeyToText(static_cast<WORD>(GlobalHotKeys[k])));
    EndHotKeyLoad();
    return written;
}

void LoadHotKeys() {
    BeginHotKeyLoad(); // one table of key names for all 65 possible hotkeys
    LoadDriveHotKeys();
    LoadGlobalHotKeys();
    EndHotKeyLoad();
}

bool SaveHotKeys() {
    BeginHotKeyLoad();
    bool written = SaveDriveHotKeys() && SaveGlobalHotKeys();
    EndHotKeyLoad();
    return written;
}

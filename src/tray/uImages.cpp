#include "uImages.h"
#include <vector>
#include "src/common/uGlobals.h"
#include "src/common/uUtils.h"
#include "src/drives/uCDTools.h"
#include "res/resource.h"

int SmallIconWidth, SmallIconHeight;
int MenuImageWidth, MenuImageHeight;
HICON TrayBadgeIcon, CheckBadgeIcon, TrayIcon;
HBITMAP MenuBitmaps[7];

static HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

static HICON LoadIconResource(int id, int width, int height) {
    return static_cast<HICON>(
        LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

// The icon resource that shows a medium kind; 0 for an unknown kind.
static int MediaKindIcon(BYTE kind) {
    switch (kind) {
    case mkNoMedia: return IDI_NOMEDIA;
    case mkData: return IDI_DATA;
    case mkAudioCD: return IDI_AUDIOCD;
    case mkDVDVideo: return IDI_DVDVIDEO;
    default: return 0;
    }
}

// Each medium kind's picture for the tray icon, loaded once: a copy for each
// drive selection costs less than a load, and under Wine each load of a
// picture keeps some memory of its own for good.
static HICON MediaKindPictures[mkDVDVideo + 1];

static HICON MediaKindPicture(BYTE kind) {
    const int icon = MediaKindIcon(kind);
    if (!icon) return nullptr;
    HICON& picture = MediaKindPictures[kind];
    if (!picture) picture = LoadIconResource(icon, SmallIconWidth, SmallIconHeight);
    return picture;
}

// An uncompressed device-independent bitmap's header; a negative height
// puts the top row first.
static BITMAPINFO DibInfo(int width, int height, WORD bitCount) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void InitImages() {
    SmallIconWidth = GetSystemMetrics(SM_CXSMICON);
    SmallIconHeight = GetSystemMetrics(SM_CYSMICON);
    MenuImageWidth = GetSystemMetrics(SM_CXMENUCHECK);
    MenuImageHeight = GetSystemMetrics(SM_CYMENUCHECK);
    if (SmallIconWidth < MenuImageWidth) MenuImageWidth = SmallIconWidth;
    if (SmallIconHeight < MenuImageHeight) MenuImageHeight = SmallIconHeight;

    for (BYTE i = 0; i < CDCount; ++i) {
        BITMAPINFO info = DibInfo(MenuImageWidth, MenuImageHeight, 24);
        void* bits = nullptr;
        CDBitmapsChecked[i] = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        CDBitmaps[i] = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    for (int i = 0; i < 7; ++i)
        MenuBitmaps[i] = static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(IDB_FOLDER + i),
                                                         IMAGE_BITMAP, MenuImageWidth,
                                                         MenuImageHeight, LR_DEFAULTCOLOR));
    TrayBadgeIcon = LoadIconResource(IDI_TRAYBADGE, SmallIconWidth, SmallIconHeight);
    CheckBadgeIcon = LoadIconResource(IDI_CHECKBADGE, SmallIconWidth, SmallIconHeight);
}

void FreeImages() {
    FreeIcon(TrayBadgeIcon);
    FreeIcon(CheckBadgeIcon);
    FreeIcon(TrayIcon);
    for (HICON& picture : MediaKindPictures)
        FreeIcon(picture);
    for (HBITMAP& bitmap : MenuBitmaps)
        FreeObject(bitmap);
    for (BYTE i = 0; i < CDCount; ++i) {
        FreeObject(CDBitmaps[i]);
        FreeObject(CDBitmapsChecked[i]);
    }
}

bool FreeIcon(HICON& icon) {
    if (!icon) return false;
    bool destroyed = DestroyIcon(icon) != 0;
    icon = nullptr;
    return destroyed;
}

bool FreeObject(HBITMAP& handle) {
    if (!handle) return false;
    bool deleted = DeleteObject(handle) != 0;
    handle = nullptr;
    return deleted;
}

// The pixels of a bitmap as 32-bit BGRA rows, top row first. The bitmap must
// not be selected into a device context.
static std::vector<DWORD> ReadPixels(HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = DibInfo(width, -height, 32);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

static void WritePixels(HBITMAP bitmap, int width, int height, const std::vector<DWORD>& pixels) {
    BITMAPINFO info = DibInfo(width, -height, 32);
    HDC screen = GetDC(nullptr);
    SetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
}

static bool HasAlpha(const std::vector<DWORD>& pixels) {
    for (DWORD pixel : pixels)
        if (pixel & 0xFF000000) return true;
    return false;
}

HICON OverlayIcon(HICON overlay, HICON base) {
    if (!overlay || !base) return nullptr;
    ICONINFO over = {}, under = {};
    GetIconInfo(overlay, &over);
    GetIconInfo(base, &under);

    BITMAP overMask = {}, baseColour = {};
    GetObjectA(over.hbmMask, sizeof overMask, &overMask);
    GetObjectA(under.hbmColor, sizeof baseColour, &baseColour);
    // A monochrome icon keeps its picture below its mask in the same bitmap.
    int maskWidth = overMask.bmWidth;
    int maskHeight = over.hbmColor ? overMask.bmHeight : overMask.bmHeight / 2;
    // An icon with per-pixel alpha is drawn by its alpha, not by its mask, so
    // the badge needs opaque alpha too or it stays invisible wherever the
    // base is transparent.
    bool alpha = under.hbmColor && baseColour.bmBitsPixel == 32;
    std::vector<DWORD> before;
    if (alpha) {
        before = ReadPixels(under.hbmColor, baseColour.bmWidth, baseColour.bmHeight);
        alpha = HasAlpha(before);
    }

    HDC overDC = CreateCompatibleDC(nullptr);
    HDC baseDC = CreateCompatibleDC(nullptr);
    HGDIOBJ oldOver = SelectObject(overDC, over.hbmMask);
    HGDIOBJ oldBase = SelectObject(baseDC, under.hbmMask);
    // Mask bits are 0 where an icon is opaque: AND gives the union.
    BitBlt(baseDC, 0, 0, maskWidth, maskHeight, overDC, 0, 0, SRCAND);
    if (under.hbmColor) {
        SelectObject(baseDC, under.hbmColor);
        DrawIconEx(baseDC, 0, 0, overlay, 0, 0, 0, nullptr, DI_NORMAL);
    }
    SelectObject(overDC, oldOver);
    SelectObject(baseDC, oldBase);
    DeleteDC(overDC);
    DeleteDC(baseDC);

    if (alpha) {
        int width = baseColour.bmWidth, height = baseColour.bmHeight;
        std::vector<DWORD> after = ReadPixels(under.hbmColor, width, height);
        std::vector<DWORD> mask = ReadPixels(over.hbmMask, maskWidth, overMask.bmHeight);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                size_t i = static_cast<size_t>(y) * width + x;
                bool badge = x < maskWidth && y < maskHeight &&
                             (mask[static_cast<size_t>(y) * maskWidth + x] & 0xFFFFFF) == 0;
                after[i] = (after[i] & 0xFFFFFF) | (badge ? 0xFF000000 : before[i] & 0xFF000000);
            }
        WritePixels(under.hbmColor, width, height, after);
    }

    HICON result = CreateIconIndirect(&under);
    DeleteObject(over.hbmMask);
    if (over.hbmColor) DeleteObject(over.hbmColor);
    DeleteObject(under.hbmMask);
    if (under.hbmColor) DeleteObject(under.hbmColor);
    return result;
}

bool DrawIconImage(HICON icon, HBITMAP& bitmap) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DrawIconEx(dc, 0, 0, icon, MenuImageWidth, MenuImageHeight, 0, GetSysColorBrush(COLOR_MENU),
               DI_NORMAL);
    bitmap = static_cast<HBITMAP>(SelectObject(dc, old));
    DeleteDC(dc);
    return true;
}

// Draws the icon, with the check badge over it when asked, into the bitmap.
static bool DrawImage(HICON icon, HBITMAP& bitmap, bool withCheck) {
    bool drawn;
    if (withCheck) {
        HICON composite = OverlayIcon(CheckBadgeIcon, icon);
        drawn = DrawIconImage(composite, bitmap);
        FreeIcon(composite);
    } else {
        drawn = DrawIconImage(icon, bitmap);
    }
    FreeIcon(icon);
    return drawn;
}

bool DrawAutorunImage(BYTE drive, HBITMAP& bitmap, bool withCheck) {
    // Loaded at the small-icon size like the resource icons and scaled down
    // when drawn, so that the check badge (a small icon) is not cut off.
    HICON icon = LoadAutorunIcon(CDList[drive].Letter, SmallIconWidth, SmallIconHeight);
    if (!icon) return false;
    return DrawImage(icon, bitmap, withCheck);
}

bool DrawResourceImage(int iconId, HBITMAP& bitmap, bool withCheck) {
    HICON icon = LoadIconResource(iconId, SmallIconWidth, SmallIconHeight);
    if (!icon) return false;
    return DrawImage(icon, bitmap, withCheck);
}

static HBITMAP ComposeImage(BYTE drive, HBITMAP& bitmap, bool withCheck) {
    TErrorModeGuard errorMode(SEM_FAILCRITICALERRORS);
    if (!DrawAutorunImage(drive, bitmap, withCheck)) {
        int icon = MediaKindIcon(CDList[drive].MediaKind);
        if (icon) DrawResourceImage(icon, bitmap, withCheck);
    }
    return bitmap;
}

HBITMAP ComposeCheckedImage(BYTE drive) {
    return ComposeImage(drive, CDBitmapsChecked[drive], true);
}

HBITMAP ComposeDriveImage(BYTE drive) {
    return ComposeImage(drive, CDBitmaps[drive], false);
}

void ComposeAllDriveImages() {
    for (BYTE i = 0; i < CDCount; ++i) {
        CDBitmapsChecked[i] = ComposeCheckedImage(i);
        CDBitmaps[i] = ComposeDriveImage(i);
    }
}

HICON ComposeTrayIcon() {
    TErrorModeGuard errorMode(SEM_FAILCRITICALERRORS);
    FreeIcon(TrayIcon);
    if (CurrentDrive >= CDCount) {
        // No drive to show: the program's own icon.
        TrayIcon = LoadIconResource(IDI_PROGRAM, SmallIconWidth, SmallIconHeight);
        return TrayIcon;
    }
    const TCDDrive& drive = CDList[CurrentDrive];
    HICON autorun = LoadAutorunIcon(drive.Letter, SmallIconWidth, SmallIconHeight);
    if (autorun) {
        TrayIcon = OverlayIcon(TrayBadgeIcon, autorun);
        FreeIcon(autorun);
    } else if (HICON picture = MediaKindPicture(drive.MediaKind)) {
        TrayIcon = CopyIcon(picture);
    }
    return TrayIcon;
}

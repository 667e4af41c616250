// The tray icon and the menu images of the drives.
#pragma once
#include <windows.h>

extern int SmallIconWidth, SmallIconHeight;
extern int MenuImageWidth, MenuImageHeight;
extern HICON TrayBadgeIcon, CheckBadgeIcon, TrayIcon;
extern HBITMAP MenuBitmaps[7];

void InitImages();
void FreeImages();
HICON ComposeTrayIcon();
HBITMAP ComposeCheckedImage(BYTE drive);
HBITMAP ComposeDriveImage(BYTE drive);
void ComposeAllDriveImages();
bool FreeIcon(HICON& icon);
bool FreeObject(HBITMAP& handle);
HICON OverlayIcon(HICON overlay, HICON base);
bool DrawIconImage(HICON icon, HBITMAP& bitmap);
bool DrawAutorunImage(BYTE drive, HBITMAP& bitmap, bool withCheck);
bool DrawResourceImage(int iconId, HBITMAP& bitmap, bool withCheck);

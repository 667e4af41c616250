// The tray icon and the menu images of the drives.
#pragma once
#include <windows.h>

extern int SmallIconWidth, SmallIconHeight;
extern int MenuImageWidth, MenuImageHeight;
extern HICON TrayBadgeIcon, CheckBadgeIcon, TrayIcon;
extern HBITMAP MenuBitmaps[7];

// Measures the picture sizes and makes the per-drive bitmaps, the menu
// pictures and the badges; FreeImages releases all of them.
void InitImages();
void FreeImages();
// The current drive's tray picture in TrayIcon, which stays this unit's: the
// next call or FreeImages destroys it.
HICON ComposeTrayIcon();
// Draw the drive's picture, with or without the check badge, into its bitmap
// of CDBitmapsChecked or CDBitmaps and return that bitmap, still the unit's.
HBITMAP ComposeCheckedImage(BYTE drive);
HBITMAP ComposeDriveImage(BYTE drive);
void ComposeAllDriveImages();
// Destroy the handle held in the variable and zero it; false when it held
// none or the system refused.
bool FreeIcon(HICON& icon);
bool FreeObject(HBITMAP& handle);
// A new icon: the base with the overlay drawn over its top left corner; the
// caller destroys it. Null when either is missing.
HICON OverlayIcon(HICON overlay, HICON base);
// Draws the icon at the menu picture size into the bitmap (not selected into
// any device context).
bool DrawIconImage(HICON icon, HBITMAP& bitmap);
// Draw the disc's autorun icon, or the resource icon, into the bitmap; false
// when there is no such icon.
bool DrawAutorunImage(BYTE drive, HBITMAP& bitmap, bool withCheck);
bool DrawResourceImage(int iconId, HBITMAP& bitmap, bool withCheck);

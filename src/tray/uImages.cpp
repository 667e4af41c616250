#include "uImages.h"

int SmallIconWidth, SmallIconHeight;
int MenuImageWidth, MenuImageHeight;
HICON TrayBadgeIcon, CheckBadgeIcon, TrayIcon;
HBITMAP MenuBitmaps[7];

// Placeholder until its issue lands: keeps the program starting, looping and ending.
void InitImages() {}
void FreeImages() {}
HICON ComposeTrayIcon() { return nullptr; }
HBITMAP ComposeCheckedImage(BYTE) { return nullptr; }
HBITMAP ComposeDriveImage(BYTE) { return nullptr; }
void ComposeAllDriveImages() {}
bool FreeIcon(HICON&) { return false; }
bool FreeObject(HBITMAP&) { return false; }
HICON OverlayIcon(HICON, HICON) { return nullptr; }
bool DrawIconImage(HICON, HBITMAP&) { return true; }
bool DrawAutorunImage(BYTE, HBITMAP&, bool) { return false; }
bool DrawResourceImage(int, HBITMAP&, bool) { return false; }

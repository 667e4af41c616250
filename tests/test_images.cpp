// Composition of the tray icon and the menu images, checked on their pixels.
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "tests/support/TestSupport.h"
#include "tests/support/TrayFixtures.h"
#include "src/common/uGlobals.h"
#include "src/tray/uImages.h"
#include "res/resource.h"

namespace {

using TPixels = std::vector<DWORD>; // 0x00RRGGBB, top row first

const COLORREF Grounds[] = {RGB(255, 0, 255), RGB(0, 160, 0)};

TPixels ReadBitmap(HBITMAP bitmap, int width, int height) {
    TPixels pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// The icon as it appears when drawn at the size over a plain ground.
TPixels Render(HICON icon, int size, COLORREF ground) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(ground);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    TPixels pixels = ReadBitmap(bitmap, size, size);
    DeleteObject(bitmap);
    return pixels;
}

// True where the icon's mask says opaque.
std::vector<bool> OpaqueMask(HICON icon, int size) {
    ICONINFO info = {};
    GetIconInfo(icon, &info);
    TPixels mask = ReadBitmap(info.hbmMask, size, size);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    std::vector<bool> opaque;
    for (DWORD pixel : mask)
        opaque.push_back(pixel == 0);
    return opaque;
}

HICON LoadIconResource(int id) {
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

// The icon drawn the way a menu image is: scaled to the menu image size,
// over the menu's colour.
TPixels MenuPicture(HICON icon) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = MenuImageWidth;
    info.bmiHeader.biHeight = MenuImageHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, MenuImageWidth, MenuImageHeight};
    FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
    DrawIconEx(dc, 0, 0, icon, MenuImageWidth, MenuImageHeight, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    TPixels pixels = ReadBitmap(bitmap, MenuImageWidth, MenuImageHeight);
    DeleteObject(bitmap);
    return pixels;
}

TPixels MenuImage(HBITMAP bitmap) {
    return ReadBitmap(bitmap, MenuImageWidth, MenuImageHeight);
}

bool Greenish(DWORD pixel) {
    int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return g > r + 50 && g > b + 50;
}

// The GDI objects that the process holds. Wine 8 answers GetGuiResources
// with 0; there the handle table is counted instead: Wine takes a handle
// with a zero upper word for the object at that index. Every icon holds
// bitmaps, so a leaked icon shows in this count too.
int GdiObjects() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(count);
    int count = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
    return count;
}

class ImagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
    }
    void TearDown() override {
        FreeImages();
        ResetProgramState();
    }
};

TEST_F(ImagesTest, OverlayDrawsTheBadgeOpaqueAndKeepsTheBaseElsewhere) {
    struct {
        int Base, Overlay;
    } const cases[] = {
        {IDI_DATA, IDI_TRAYBADGE},       // a picture with alpha under the disc badge
        {IDI_NOMEDIA, IDI_TRAYBADGE},    // the badge lies partly where the base is clear
        {IDI_DVDVIDEO, IDI_CHECKBADGE},  // the check mark over the film strip's disc
        {IDI_CHECKBADGE, IDI_TRAYBADGE}, // two pictures without alpha
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Base << " under " << c.Overlay);
        HICON base = LoadIconResource(c.Base), overlay = LoadIconResource(c.Overlay);
        ASSERT_NE(nullptr, base);
        ASSERT_NE(nullptr, overlay);
        std::vector<TPixels> baseBefore, overlayBefore;
        for (COLORREF ground : Grounds) {
            baseBefore.push_back(Render(base, 16, ground));
            overlayBefore.push_back(Render(overlay, 16, ground));
        }
        HICON composite = OverlayIcon(overlay, base);
        ASSERT_NE(nullptr, composite);

        std::vector<bool> baseMask = OpaqueMask(base, 16), overlayMask = OpaqueMask(overlay, 16),
                          mask = OpaqueMask(composite, 16);
        int badgePixels = 0;
        for (size_t g = 0; g < 2; ++g) {
            TPixels pixels = Render(composite, 16, Grounds[g]);
            for (size_t i = 0; i < pixels.size(); ++i) {
                SCOPED_TRACE(testing::Message() << "pixel " << i % 16 << "," << i / 16);
                if (overlayMask[i]) {
                    ++badgePixels;
                    ASSERT_EQ(overlayBefore[g][i], pixels[i]); // the badge, whatever lies under it
                } else {
                    ASSERT_EQ(baseBefore[g][i], pixels[i]); // the base, unchanged
                }
            }
        }
        EXPECT_GT(badgePixels, 10);
        for (size_t i = 0; i < mask.size(); ++i)
            ASSERT_EQ(baseMask[i] || overlayMask[i], mask[i]) << "mask at " << i;

        // The inputs are neither changed nor freed.
        for (size_t g = 0; g < 2; ++g) {
            EXPECT_EQ(baseBefore[g], Render(base, 16, Grounds[g]));
            EXPECT_EQ(overlayBefore[g], Render(overlay, 16, Grounds[g]));
        }
        DestroyIcon(composite);
        DestroyIcon(base);
        DestroyIcon(overlay);
    }
}

TEST_F(ImagesTest, OverlayOfNoIconIsNoIcon) {
    HICON icon = LoadIconResource(IDI_DATA);
    EXPECT_EQ(nullptr, OverlayIcon(nullptr, icon));
    EXPECT_EQ(nullptr, OverlayIcon(icon, nullptr));
    DestroyIcon(icon);
}

TEST_F(ImagesTest, MenuImagesTakeTheSmallerOfMenuCheckAndSmallIcon) {
    UseDrives("D", mkData);
    InitImages();
    int check = GetSystemMetrics(SM_CXMENUCHECK), small = GetSystemMetrics(SM_CXSMICON);
    int expectedWidth = check < small ? check : small;
    int checkHeight = GetSystemMetrics(SM_CYMENUCHECK), smallHeight = GetSystemMetrics(SM_CYSMICON);
    int expectedHeight = checkHeight < smallHeight ? checkHeight : smallHeight;
    EXPECT_EQ(expectedWidth, MenuImageWidth);
    EXPECT_EQ(expectedHeight, MenuImageHeight);
    EXPECT_EQ(small, SmallIconWidth);
    for (HBITMAP bitmap : {CDBitmaps[0], CDBitmapsChecked[0], MenuBitmaps[0], MenuBitmaps[6]}) {
        SIZE size = BitmapSize(bitmap);
        EXPECT_EQ(expectedWidth, size.cx);
        EXPECT_EQ(expectedHeight, size.cy);
    }
}

// A bigger menu font makes the menu check mark larger than a small icon:
// then the small icon's size is the limit.
TEST_F(ImagesTest, MenuImagesAreNoLargerThanASmallIcon) {
    NONCLIENTMETRICSA saved = {};
    saved.cbSize = sizeof saved;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0));
    NONCLIENTMETRICSA large = saved;
    large.iMenuHeight = 40;
    large.lfMenuFont.lfHeight = -36;
    SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof large, &large, 0);
    int check = GetSystemMetrics(SM_CXMENUCHECK);
    UseDrives("D", mkData);
    InitImages();
    SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof saved, &saved, 0);
    ASSERT_GT(check, SmallIconWidth) << "the menu check mark did not grow";
    EXPECT_EQ(SmallIconWidth, MenuImageWidth);
    EXPECT_EQ(SmallIconWidth, BitmapSize(CDBitmaps[0]).cx);
}

TEST_F(ImagesTest, EachMediumKindHasItsPicture) {
    UseDrives("E", mkNoMedia); // a drive without autorun.inf
    InitImages();
    struct {
        BYTE Kind;
        int Icon;
    } const cases[] = {{mkNoMedia, IDI_NOMEDIA},
                       {mkData, IDI_DATA},
                       {mkAudioCD, IDI_AUDIOCD},
                       {mkDVDVideo, IDI_DVDVIDEO}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Kind));
        CDList[0].MediaKind = c.Kind;
        HICON expected = LoadIconResource(c.Icon);
        HICON tray = ComposeTrayIcon();
        ASSERT_NE(nullptr, tray);
        EXPECT_EQ(tray, TrayIcon);
        EXPECT_EQ(Render(expected, 16, Grounds[0]), Render(tray, 16, Grounds[0]));
        EXPECT_EQ(Render(expected, 16, Grounds[1]), Render(tray, 16, Grounds[1]));

        EXPECT_EQ(CDBitmaps[0], ComposeDriveImage(0));
        EXPECT_EQ(MenuPicture(expected), MenuImage(CDBitmaps[0]));
        HICON checked = OverlayIcon(CheckBadgeIcon, expected);
        EXPECT_EQ(CDBitmapsChecked[0], ComposeCheckedImage(0));
        EXPECT_EQ(MenuPicture(checked), MenuImage(CDBitmapsChecked[0]));
        DestroyIcon(checked);
        DestroyIcon(expected);
    }
    // An unknown kind has no picture: no tray icon, and the menu images stay.
    TPixels before = MenuImage(CDBitmaps[0]);
    CDList[0].MediaKind = 4;
    EXPECT_EQ(nullptr, ComposeTrayIcon());
    ComposeDriveImage(0);
    EXPECT_EQ(before, MenuImage(CDBitmaps[0]));
}

TEST_F(ImagesTest, CheckedImageCarriesTheGreenCheckAndOtherwiseTheSamePicture) {
    UseDrives("DE", mkData);
    InitImages();
    ComposeAllDriveImages();
    for (BYTE i = 0; i < 2; ++i) {
        SCOPED_TRACE(static_cast<int>(i));
        TPixels plain = MenuImage(CDBitmaps[i]), checked = MenuImage(CDBitmapsChecked[i]);
        int green = 0;
        for (size_t p = 0; p < plain.size(); ++p) {
            int x = static_cast<int>(p) % MenuImageWidth, y = static_cast<int>(p) / MenuImageWidth;
            if (Greenish(checked[p])) ++green;
            EXPECT_FALSE(Greenish(plain[p]));
            // The check sits in the upper part: the lower half is untouched.
            if (y * 16 >= 10 * MenuImageHeight) {
                EXPECT_EQ(plain[p], checked[p]) << x << "," << y;
            }
        }
        EXPECT_GT(green, 4);
    }
}

TEST_F(ImagesTest, AutorunIconGetsTheDiscBadgeInTheTray) {
    UseDrives("GD", mkData); // G: a disc whose autorun.inf names arcade.ico
    InitImages();
    HICON own = static_cast<HICON>(
        LoadImageA(nullptr, "G:\\arcade.ico", IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
    ASSERT_NE(nullptr, own);
    HICON badge = LoadIconResource(IDI_TRAYBADGE);
    std::vector<bool> badgeMask = OpaqueMask(badge, 16);
    HICON tray = ComposeTrayIcon();
    ASSERT_NE(nullptr, tray);
    int badgePixels = 0;
    for (COLORREF ground : Grounds) {
        TPixels pixels = Render(tray, 16, ground), ownPixels = Render(own, 16, ground),
                badgePixelsDrawn = Render(badge, 16, ground);
        for (size_t i = 0; i < pixels.size(); ++i) {
            if (badgeMask[i]) ++badgePixels;
            ASSERT_EQ(badgeMask[i] ? badgePixelsDrawn[i] : ownPixels[i], pixels[i]) << i;
        }
    }
    EXPECT_GT(badgePixels, 10);

    // The menu images show the disc's own icon, the checked one with the check.
    EXPECT_EQ(MenuPicture(own), MenuImage(ComposeDriveImage(0)));
    HICON checked = OverlayIcon(CheckBadgeIcon, own);
    EXPECT_EQ(MenuPicture(checked), MenuImage(ComposeCheckedImage(0)));
    DestroyIcon(checked);
    DestroyIcon(badge);
    DestroyIcon(own);
}

// This executable holds the program's icons, in the order of their numbers
// (IDI_PROGRAM is the first). D: is a data disc without an autorun.inf.
TEST_F(ImagesTest, AutorunIconComesFromAProgramAtItsIndex) {
    UseDrives("D", mkData);
    InitImages();
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const struct {
        std::string Index;
        int Icon;
    } cases[] = {
        {"2", IDI_NOMEDIA},
        {"-" + std::to_string(IDI_DVDVIDEO), IDI_DVDVIDEO}, // by its number
        {"99", IDI_DATA},                                   // none: the medium's icon
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Index);
        WriteTextFile("D:\\autorun.inf", "[autorun]\r\nicon=" + std::string(self) + "," + c.Index);
        HICON expected = LoadIconResource(c.Icon);
        EXPECT_EQ(MenuPicture(expected), MenuImage(ComposeDriveImage(0)));
        DestroyIcon(expected);
    }
    DeleteFileA("D:\\autorun.inf");
}

TEST_F(ImagesTest, WithoutDriveTheTrayShowsTheProgramIcon) {
    InitImages();
    HICON tray = ComposeTrayIcon();
    ASSERT_NE(nullptr, tray);
    HICON program = LoadIconResource(IDI_PROGRAM);
    EXPECT_EQ(Render(program, 16, Grounds[0]), Render(tray, 16, Grounds[0]));
    DestroyIcon(program);
}

TEST_F(ImagesTest, ComposingAThousandTimesLeavesNoHandleBehind) {
    // The disc with its own icon takes the most handles per composition.
    UseDrives("G", mkData);
    InitImages();
    auto compose = [] {
        ComposeTrayIcon();
        ComposeCheckedImage(0);
        ComposeDriveImage(0);
    };
    compose();
    int gdi = GdiObjects();
    ASSERT_GT(gdi, 0);
    for (int i = 0; i < 1000; ++i)
        compose();
    EXPECT_EQ(gdi, GdiObjects());
}

TEST_F(ImagesTest, FreeImagesReleasesEveryHandle) {
    UseDrives("GDE", mkData);
    int gdi = GdiObjects();
    InitImages();
    ComposeAllDriveImages();
    ComposeTrayIcon();
    EXPECT_GT(GdiObjects(), gdi);
    FreeImages();
    EXPECT_EQ(gdi, GdiObjects());
    EXPECT_EQ(nullptr, TrayIcon);
    EXPECT_EQ(nullptr, TrayBadgeIcon);
    EXPECT_EQ(nullptr, CheckBadgeIcon);
    for (HBITMAP bitmap : MenuBitmaps)
        EXPECT_EQ(nullptr, bitmap);
    for (BYTE i = 0; i < CDCount; ++i) {
        EXPECT_EQ(nullptr, CDBitmaps[i]);
        EXPECT_EQ(nullptr, CDBitmapsChecked[i]);
    }
}

TEST_F(ImagesTest, ObjectCountSeesALeak) {
    int gdi = GdiObjects();
    HICON icon = LoadIconResource(IDI_DATA);
    EXPECT_GT(GdiObjects(), gdi);
    DestroyIcon(icon);
    EXPECT_EQ(gdi, GdiObjects());
}

TEST_F(ImagesTest, FreeingNothingReportsFalse) {
    HICON icon = nullptr;
    HBITMAP bitmap = nullptr;
    EXPECT_FALSE(FreeIcon(icon));
    EXPECT_FALSE(FreeObject(bitmap));
    icon = LoadIconResource(IDI_DATA);
    HDC screen = GetDC(nullptr);
    bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(FreeIcon(icon));
    EXPECT_TRUE(FreeObject(bitmap));
    EXPECT_EQ(nullptr, icon);
    EXPECT_EQ(nullptr, bitmap);
}

} // namespace

// The language files that ship beside the program, each held against the
// English one: the same text numbers, the same placeholders in the same
// order, accelerators that do not collide, texts that fit their controls,
// the language's own code page, and a name that the program lists and loads.
//
// The program reaches the files through the ANSI calls, so a name is only
// usable where the system's ANSI code page can spell it: the shipped names
// are plain ASCII, and the language menu leaves out a name that the code
// page cannot spell. This test runs once with the Western code page and once
// under a Russian locale (see languages.cmake).
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>
#include <vector>
#include "tests/support/SeamDoubles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayFixtures.h"
#include "res/resource.h"
#include "src/common/uGlobals.h"
#include "src/language/uLanguage.h"
#include "src/menus/uMenus.h"
#include "src/tray/uImages.h"

namespace {

struct TShippedLanguage {
    const wchar_t* Name;
    UINT CodePage;
};
// Every language file that ships, with the code page it is written in.
// A new file beside the program needs its line here.
const TShippedLanguage Shipped[] = {
    {L"English", 1252}, {L"Deutsch", 1252}, {L"Francais", 1252},
    {L"Espanol", 1252}, {L"Russkij", 1251},
};
const size_t EnglishIndex = 0;

// Every text number that the program reads from a language file, and no
// other. Controls whose content the program sets itself (edit field, spin,
// hotkey and list controls, the icon and the banner: 415, 416, 451-453,
// 458, 473, 475, 605-607) have none, as a text would overwrite them.
const int UsedNumbers[] = {
    201,  202,  203,  204,  205,  206,  207,  208,  209,  // tray menu
    410,  412,  413,  414,  417,  418,  419,  420,        // options page Main
    450,  454,  455,  456,  457,  459,                    // options page Hotkeys
    470,  471,  472,  474,                                // options page Other
    500,                                                  // language submenu
    600,  601,  602,  603,  604,                          // autoclose window
    2001, 2002, 2003, 2004, 2020, 2021, 2023, 2030, 2031, // messages and descriptions
};

// The format texts with their callers' arguments, by kind: c a character,
// n an integer, s a text.
struct TFormatUse {
    int Number;
    const char* Kinds;
};
const TFormatUse FormatUses[] = {
    {2020, "c"},
    {2021, "cn"},
    {2030, "ssnn"},
    {2031, "sns"},
};

// Texts shown together, whose accelerators must differ: the tray menu (a
// drive's submenu holds 201-204 of them), the autoclose window's buttons,
// and the controls of each options page.
const std::vector<std::vector<int>> AcceleratorGroups = {
    {201, 202, 203, 204, 206, 207, 208, 209, 500, 2002},
    {601, 602, 603},
    {412, 413, 414, 417, 418, 419, 420},
    {454, 455, 456, 457, 459},
    {471, 472, 474},
};

std::wstring Widen(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return std::wstring();
    int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n,
                        nullptr, nullptr);
    return bytes;
}

// The name in the system's ANSI code page, or empty when it cannot be
// spelt there (the system would hand out a look-alike such as "Francais"
// or "???????", under which the file cannot be opened).
std::string AnsiName(const std::wstring& name) {
    BOOL lossy = FALSE;
    char bytes[MAX_PATH] = {};
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, bytes, sizeof bytes,
                                nullptr, &lossy);
    if (n == 0 || lossy || Widen(bytes, CP_ACP) != name) return std::string();
    return bytes;
}

std::string Utf8(const std::wstring& text) {
    return Narrow(text, CP_UTF8);
}

// The kinds of the placeholders in a text, in order; '?' for one of no kind.
std::string PlaceholderKinds(const std::string& text) {
    std::string kinds;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t j = text.find_first_not_of("-#0123456789.", i + 1);
        if (j != std::string::npos && (text[j] == 'l' || text[j] == 'h')) ++j;
        char type = j < text.size() ? text[j] : '\0';
        switch (type) {
        case 'c': kinds += 'c'; break;
        case 'd':
        case 'i':
        case 'u': kinds += 'n'; break;
        case 's': kinds += 's'; break;
        default: kinds += '?'; break;
        }
    }
    return kinds;
}

// The accelerator of a text, upper-cased in the language's code page, or 0
// without one ("&&" is a plain ampersand).
wchar_t Accelerator(const std::string& text, UINT codePage) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        std::wstring letter = Widen(text.substr(i + 1, 1), codePage);
        CharUpperBuffW(&letter[0], 1);
        return letter[0];
    }
    return 0;
}

// Characters outside ASCII that a file in the code page may hold: its
// letters and the usual typographic marks.
bool BelongsToCodePage(wchar_t c, UINT codePage) {
    static const std::wstring marks = L"\u00A0\u00AB\u00BB\u2013\u2014\u2026";
    if (marks.find(c) != std::wstring::npos) return true;
    if (codePage == 1252)
        return (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7) ||
               std::wstring(L"\u20AC\u201C\u201D\u201E\u2018\u2019").find(c) != std::wstring::npos;
    if (codePage == 1251) return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
    return false;
}

bool IsAscii(const std::string& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsStrictUtf8(const std::string& bytes) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                               static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

class LanguageFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureMainWindow();
        ResetProgramState();
        CommandLineMode = true; // the end request must not save anything here
        AppPath = ExeFolder();
        // Plain-named copies, readable whatever the system's code page.
        Folder = NewTempFolder();
        for (size_t i = 0; i < Count; ++i) {
            Copies[i] = Folder + std::to_string(i) + ".lng";
            std::wstring from = Widen(ExeFolder(), CP_ACP) + Shipped[i].Name + L".lng";
            ASSERT_TRUE(CopyFileW(from.c_str(), Widen(Copies[i], CP_ACP).c_str(), FALSE))
                << Utf8(Shipped[i].Name);
        }
    }
    void TearDown() override { ResetProgramState(); }

    // Text Number of language i, as the program looks it up.
    std::string Text(size_t i, int number) {
        LanguageFileName = Copies[i];
        std::string text = GetLangText(number);
        LanguageFileName.clear();
        return text;
    }
    std::string English(int number) { return Text(EnglishIndex, number); }

    static constexpr size_t Count = sizeof Shipped / sizeof Shipped[0];
    std::string Folder;
    std::string Copies[Count];
};

#define TRACE_LANGUAGE(i) SCOPED_TRACE(Utf8(Shipped[i].Name))

} // namespace

TEST_F(LanguageFilesTest, RunsInTheCodePageItWasStartedFor) {
    // The runs of languages.cmake name the code page their locale gives.
    const char* expected = std::getenv("KESTROW_TEST_ACP");
    if (!expected) GTEST_SKIP() << "started without KESTROW_TEST_ACP";
    EXPECT_EQ(static_cast<UINT>(std::atoi(expected)), GetACP());
}

TEST_F(LanguageFilesTest, EveryFileBesideTheProgramIsAShippedLanguage) {
    std::set<std::wstring> found, shipped;
    WIN32_FIND_DATAW entry;
    std::wstring mask = Widen(ExeFolder(), CP_ACP) + L"*.lng";
    HANDLE search = FindFirstFileW(mask.c_str(), &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    do {
        std::wstring name = entry.cFileName;
        found.insert(name.substr(0, name.size() - 4));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    for (const TShippedLanguage& language : Shipped)
        shipped.insert(language.Name);
    EXPECT_EQ(shipped, found);
}

TEST_F(LanguageFilesTest, EachFileIsInItsCodePageWithCrLfLineEnds) {
    for (size_t i = 0; i < Count; ++i) {
        TRACE_LANGUAGE(i);
        std::string bytes = ReadTextFile(Copies[i]);
        ASSERT_FALSE(bytes.empty());
        for (size_t k = 0; k < bytes.size(); ++k) {
            unsigned char c = static_cast<unsigned char>(bytes[k]);
            bool fine = c >= 0x20 && c != 0x7F;
            if (c == '\n') fine = k > 0 && bytes[k - 1] == '\r';
            if (c == '\r') fine = k + 1 < bytes.size() && bytes[k + 1] == '\n';
            ASSERT_TRUE(fine) << "byte " << k << " (code " << int(c) << ")";
        }
        // A file saved as UTF-8 would show its letters garbled.
        if (!IsAscii(bytes)) {
            EXPECT_FALSE(IsStrictUtf8(bytes)) << "written in UTF-8";
        }
        for (wchar_t c : Widen(bytes, Shipped[i].CodePage)) {
            if (c >= 0x80) {
                ASSERT_TRUE(BelongsToCodePage(c, Shipped[i].CodePage)) << int(c);
            }
        }
    }
}

TEST_F(LanguageFilesTest, EachFileHasExactlyTheNumbersThatTheProgramUses) {
    const std::set<std::string> used = [] {
        std::set<std::string> keys;
        for (int number : UsedNumbers)
            keys.insert(std::to_string(number));
        return keys;
    }();
    for (size_t i = 0; i < Count; ++i) {
        TRACE_LANGUAGE(i);
        std::vector<char> buffer(65536);
        DWORD n = GetPrivateProfileStringA("Main", nullptr, "", buffer.data(),
                                           static_cast<DWORD>(buffer.size()), Copies[i].c_str());
        std::vector<std::string> keys;
        for (const char* key = buffer.data(); key < buffer.data() + n && *key;
             key += keys.back().size() + 1)
            keys.push_back(key);
        // The program asks for "201", never "0201": other spellings are lost.
        EXPECT_EQ(used, std::set<std::string>(keys.begin(), keys.end()));
        EXPECT_EQ(keys.size(), std::set<std::string>(keys.begin(), keys.end()).size())
            << "a number is given twice";
        for (int number : UsedNumbers) {
            SCOPED_TRACE(number);
            EXPECT_NE("", Text(i, number));
        }
    }
}

TEST_F(LanguageFilesTest, FormatTextsCarryTheirCallersPlaceholdersInEveryLanguage) {
    for (const TFormatUse& use : FormatUses) {
        SCOPED_TRACE(use.Number);
        EXPECT_EQ(use.Kinds, PlaceholderKinds(English(use.Number)));
    }
    for (size_t i = 0; i < Count; ++i) {
        TRACE_LANGUAGE(i);
        // Other texts are shown as they are: a % there would be a slip.
        for (int number : UsedNumbers) {
            SCOPED_TRACE(number);
            EXPECT_EQ(PlaceholderKinds(English(number)), PlaceholderKinds(Text(i, number)));
        }
        // Filled with real arguments, nothing of a placeholder is left, and
        // the tooltip (127 characters) holds a data disc's description with
        // a long label whole.
        const std::string data =
            FormatText(Text(i, 2030), {"[D:] - BACKUP_2024_PHOTOS", "CDFS", 4482LL, 0xFFFFFFFFu});
        const std::string filled[] = {
            FormatText(Text(i, 2020), {'D'}),
            FormatText(Text(i, 2021), {'D', 999}),
            data,
            FormatText(Text(i, 2031), {"[E:] - Audio CD", 12, "A50B3E0C"}),
        };
        for (const std::string& text : filled) {
            SCOPED_TRACE(Utf8(Widen(text, Shipped[i].CodePage)));
            EXPECT_EQ(std::string::npos, text.find('%'));
        }
        EXPECT_LE(data.size(), 127u);
    }
}

TEST_F(LanguageFilesTest, AcceleratorsAreUniqueWithinEachMenuAndDialog) {
    for (size_t i = 0; i < Count; ++i) {
        TRACE_LANGUAGE(i);
        const UINT codePage = Shipped[i].CodePage;
        for (const std::vector<int>& group : AcceleratorGroups) {
            std::map<wchar_t, int> seen;
            for (int number : group) {
                SCOPED_TRACE(number);
                wchar_t letter = Accelerator(Text(i, number), codePage);
                // An item keeps its accelerator in every language.
                EXPECT_EQ(Accelerator(English(number), 1252) != 0, letter != 0);
                if (!letter) continue;
                EXPECT_TRUE(IsCharAlphaNumericW(letter)) << "& before " << int(letter);
                auto added = seen.emplace(letter, number);
                EXPECT_TRUE(added.second) << "the accelerator of " << Utf8(std::wstring(1, letter))
                                          << " is also that of " << added.first->second;
            }
        }
        // 205 is also the options window's caption, where an & would show.
        EXPECT_EQ(std::string::npos, Text(i, 205).find('&'));
    }
}

TEST_F(LanguageFilesTest, EachLanguageIsListedAndLoadsByItsName) {
    // What the language menu lists: the file names as the ANSI calls give them.
    std::set<std::string> listed;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((ExeFolder() + "*.lng").c_str(), &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    do {
        listed.insert(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);

    for (size_t i = 0; i < Count; ++i) {
        TRACE_LANGUAGE(i);
        // Every code page spells a plain ASCII name.
        const std::string name = AnsiName(Shipped[i].Name);
        ASSERT_TRUE(IsAscii(name) && !name.empty());
        EXPECT_TRUE(listed.count(name + ".lng"));
        const std::string open = Text(i, 201);
        LoadLanguage(name, 0);
        EXPECT_EQ(name, Language);
        EXPECT_EQ(ExeFolder() + name + ".lng", LanguageFileName);
        EXPECT_EQ(open, GetLangText(201));
        EXPECT_TRUE(MessageBoxCalls.empty());
    }
}

TEST_F(LanguageFilesTest, TheMenuListsExactlyTheNamesThatTheCodePageCanSpell) {
    // Names as older versions shipped them or a user may give them.
    const std::wstring names[] = {L"Fran\u00E7ais",
                                  L"Espa\u00F1ol",
                                  L"\u00DCber",
                                  L"\u0420\u0443\u0441\u0441\u043A\u0438\u0439",
                                  L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC",
                                  L"Plain"};
    const std::string folder = NewTempFolder();
    std::set<std::string> spelt;
    for (const std::wstring& name : names) {
        std::wstring to = Widen(folder, CP_ACP) + name + L".lng";
        ASSERT_TRUE(CopyFileW(Widen(Copies[EnglishIndex], CP_ACP).c_str(), to.c_str(), FALSE));
        if (!AnsiName(name).empty()) spelt.insert(AnsiName(name));
    }
    // Each run meets names of both kinds.
    ASSERT_LT(spelt.size(), std::size(names));
    ASSERT_GT(spelt.size(), 1u);

    AppPath = folder;
    UseDrives("D", mkData);
    InitImages();
    CreateMenus();
    std::set<std::string> listed;
    for (int i = 0; i < GetMenuItemCount(LanguageMenu); ++i) {
        char caption[MAX_PATH] = {};
        GetMenuStringA(LanguageMenu, i, caption, sizeof caption, MF_BYPOSITION);
        listed.insert(caption);
    }
    DestroyMenus();
    FreeImages();
    EXPECT_EQ(spelt, listed);
    // And each listed name loads its own file without a warning.
    for (const std::string& name : listed) {
        SCOPED_TRACE(name);
        MessageBoxCalls.clear();
        LoadLanguage(name, 0);
        EXPECT_EQ(folder + name + ".lng", LanguageFileName);
        EXPECT_TRUE(MessageBoxCalls.empty());
    }
}

namespace {

// The dialogs whose controls take language texts: the options pages and the
// autoclose window, with the range that SetDialogTexts fills.
struct TDialogUse {
    int Template, First, Last;
};
const TDialogUse Dialogs[] = {
    {IDD_PAGE_MAIN, IDD_PAGE_MAIN, IDC_MAIN_LAST},
    {IDD_PAGE_HOTKEYS, IDD_PAGE_HOTKEYS, IDC_HOTKEYS_LAST},
    {IDD_PAGE_OTHER, IDD_PAGE_OTHER, IDC_OTHER_LAST},
    {IDD_AUTOCLOSE, IDD_AUTOCLOSE, IDC_AC_LAST},
};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

int DialogUnits(HWND dialog, int units) {
    RECT r = {0, 0, units, 0};
    MapDialogRect(dialog, &r);
    return r.right;
}

// The rectangle that DrawText needs for a text in a window's font, within
// the given width (& marks an accelerator, as in the controls).
RECT TextRect(HWND window, const std::string& text, int width, UINT format) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | format);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return r;
}

// Why a control's text does not fit it, or empty when it does.
std::string Misfit(HWND dialog, HWND control, const std::string& text) {
    RECT client;
    GetClientRect(control, &client);
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    int room = client.right;
    if (lstrcmpiA(className, "Static") == 0) {
        // Labels wrap at blanks: the lines must fit the label's height.
        RECT r = TextRect(control, text, room, DT_WORDBREAK);
        if (r.right > room || r.bottom > client.bottom)
            return "needs " + std::to_string(r.right) + "x" + std::to_string(r.bottom) +
                   " pixels, has " + std::to_string(room) + "x" + std::to_string(client.bottom);
        return std::string();
    }
    switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX: room -= DialogUnits(dialog, 8); break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX: room -= DialogUnits(dialog, 12); break;
    default: room -= DialogUnits(dialog, 4); break;
    }
    RECT r = TextRect(control, text, room, DT_SINGLELINE);
    if (r.right > room)
        return "needs " + std::to_string(r.right) + " pixels, has " + std::to_string(room);
    return std::string();
}

} // namespace

TEST_F(LanguageFilesTest, TextsFitTheirControlsAndTheTabsOneRow) {
    // Measured as the languages are seen: in the system's code page.
    size_t measured = 0;
    for (size_t i = 0; i < Count; ++i) {
        if (Shipped[i].CodePage != GetACP() && !IsAscii(ReadTextFile(Copies[i]))) continue;
        TRACE_LANGUAGE(i);
        ++measured;
        int tabs = 0, sheetWidth = 0;
        for (const TDialogUse& use : Dialogs) {
            SCOPED_TRACE(use.Template);
            HWND dialog =
                CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(use.Template),
                                   MainWindow, QuietDialogProc, 0);
            ASSERT_TRUE(dialog);
            LanguageFileName = Copies[i];
            SetDialogTexts(dialog, use.First, use.Last);
            for (int id = use.First + 1; id <= use.Last; ++id) {
                HWND control = GetDlgItem(dialog, id);
                std::string text = Text(i, id);
                if (!control || text.empty()) continue;
                SCOPED_TRACE(id);
                EXPECT_EQ("", Misfit(dialog, control, text));
            }
            if (use.Template != IDD_AUTOCLOSE) {
                // A tab is its title and about 8 pixels on each side.
                tabs += TextRect(dialog, Text(i, use.Template), 1000, DT_SINGLELINE).right + 16;
                sheetWidth = DialogUnits(dialog, 200);
            }
            DestroyWindow(dialog);
        }
        EXPECT_LE(tabs, sheetWidth);
    }
    EXPECT_GE(measured, 2u);
}

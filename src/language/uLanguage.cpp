#include "uLanguage.h"
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>
#include "src/app/uInitDestroy.h"
#include "src/common/uGlobals.h"
#include "src/common/uStrConsts.h"
#include "src/common/uUtils.h"
#include "src/menus/uMenus.h"
#include "src/tray/uNotifyIcon.h"

std::string Language;
std::string LanguageFileName;

namespace {

// One file's [Main] texts, in file order, as the program shows them.
struct TLanguageTexts {
    std::string FileName; // what the texts were read from; empty: nothing read
    std::vector<std::pair<std::string, std::string>> Texts;
};

TLanguageTexts CurrentTexts, EnglishTexts;

// The most the profile reader gave of one text.
constexpr size_t MAX_TEXT_LENGTH = 2047;

// A value as the profile reader gives it: one pair of quotes around it is
// taken off, and it is cut to MAX_TEXT_LENGTH characters. The reader cuts
// before it takes off the closing quote, so a value that fills its room
// exactly loses its last character as well.
std::string ProfileValue(const std::string& value) {
    if (value.size() < 2 || (value[0] != '"' && value[0] != '\'') || value.back() != value[0])
        return value.substr(0, MAX_TEXT_LENGTH);
    std::string text = value.substr(1, MAX_TEXT_LENGTH);
    if (value.size() - 1 <= MAX_TEXT_LENGTH + 1) text.pop_back();
    return text;
}

std::string TrimBlanks(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The whole [Main] section in one read, with a buffer that grows until the
// section fits. Comments and lines without '=' are no texts.
void ReadLanguageTexts(const std::string& fileName, TLanguageTexts& table) {
    table.FileName = fileName;
    table.Texts.clear();
    std::vector<char> buffer(32768);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetPrivateProfileSectionA(ResStr(IDS_SECTIONMAIN).c_str(),
                                                       buffer.data(), size, fileName.c_str());
        if (length + 2 < size) break;
        buffer.assign(buffer.size() * 2, '\0');
    }
    for (const char* line = buffer.data(); *line; line += strlen(line) + 1) {
        const char* equals = strchr(line, '=');
        if (!equals || line[0] == ';') continue;
        std::string text = ProfileValue(TrimBlanks(equals + 1));
        // Only a lower-case \n marks a text with line breaks; then \N breaks too.
        if (text.find("\\n") != std::string::npos) text = ReplaceAllText(text, "\\n", "\r\n");
        table.Texts.emplace_back(TrimBlanks(std::string(line, equals)), text);
    }
}

// The text of the key, or null where the file has none (the first of
// several counts, as for the profile reader). A table follows the file
// name it is asked with, so a file named anew is read at its first use.
const std::string* FindText(TLanguageTexts& table, const std::string& fileName,
                            const std::string& key) {
    if (table.FileName != fileName) ReadLanguageTexts(fileName, table);
    for (const auto& entry : table.Texts)
        if (entry.first == key) return &entry.second;
    return nullptr;
}

} // namespace

std::string GetLangText(int number) {
    // No file yet: an empty file name would make the profile API fall back
    // to the system's own INI file.
    if (LanguageFileName.empty()) return std::string();
    const std::string key = std::to_string(number);
    if (const std::string* text = FindText(CurrentTexts, LanguageFileName, key)) return *text;
    // A translation that lacks a text shows the default language's; one that
    // has it empty keeps it empty.
    const std::string english = AppPath + ResStr(IDS_DEFAULTLANGUAGE) + ResStr(IDS_LANGEXT);
    if (lstrcmpiA(english.c_str(), LanguageFileName.c_str()) == 0) return std::string();
    const std::string* text = FindText(EnglishTexts, english, key);
    return text ? *text : std::string();
}

void LoadLanguage(const std::string& name, int menuId) {
    if (menuId != 0)
        CheckMenuRadioItem(LanguageMenu, IDM_LANGUAGE_FIRST, IDM_LANGUAGE_LAST, menuId,
                           MF_BYCOMMAND);
    Language = name;
    LanguageFileName = AppPath + name + ResStr(IDS_LANGEXT);
    if (FileExists(LanguageFileName)) {
        // Read again at each load: a file edited and chosen again shows the change.
        ReadLanguageTexts(LanguageFileName, CurrentTexts);
        EnglishTexts.FileName.clear();
        RefreshInterface();
        return;
    }
    const std::string defaultLanguage = ResStr(IDS_DEFAULTLANGUAGE);
    if (name != defaultLanguage) {
        // The balloon's own title text comes from the default language's file.
        LanguageFileName = AppPath + defaultLanguage + ResStr(IDS_LANGEXT);
        ShowTrayMessage(FormatText(ResStr(IDS_LANGNOTFOUND), {name}), bkWarning, false);
        LoadLanguage(defaultLanguage, 0);
    } else {
        ShowError(ResStr(IDS_DEFLANGNOTFOUND));
        EndProgram();
    }
}

std::string RenamedLanguage(const std::string& name) {
    static const struct {
        const wchar_t* Old;
        const char* Present;
    } Renamed[] = {{L"Fran\u00e7ais", "Francais"},
                   {L"Espa\u00f1ol", "Espanol"},
                   {L"\u0420\u0443\u0441\u0441\u043a\u0438\u0439", "Russkij"}};
    // An old name was stored as the code page spells it.
    for (const auto& renamed : Renamed) {
        std::string old;
        if (ToAnsi(renamed.Old, old) && lstrcmpiA(old.c_str(), name.c_str()) == 0)
            return renamed.Present;
    }
    return name;
}

void SetDialogTexts(HWND dialog, int first, int last) {
    for (int id = first + 1; id <= last; ++id) {
        std::string text = GetLangText(id);
        if (!text.empty()) SetDlgItemTextA(dialog, id, text.c_str());
    }
}

namespace {

enum TPlaceholderKind { pkNumber, pkText, pkUnusable, pkNoArgument };

// One placeholder of the system formatter's syntax,
// %[-][#][0][width][.precision][l|h|w]type, read at fmt[start] == '%'.
// length covers the characters that belong to it; an unknown type character
// is not part of it (the formatter prints that character as plain text).
struct TPlaceholder {
    size_t Length;
    TPlaceholderKind Kind;
    std::string Flags; // the % and the flags as written
    size_t Width;      // 0: none
    bool HasPrecision;
    size_t Precision;
    char Size; // l, h, w or 0
    char Type;
};

// Widths and precisions beyond any room are all alike.
size_t ReadNumber(const std::string& fmt, size_t& i) {
    size_t value = 0;
    for (; i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9'; ++i)
        value = std::min<size_t>(value * 10 + (fmt[i] - '0'), 100000);
    return value;
}

TPlaceholder ReadPlaceholder(const std::string& fmt, size_t start) {
    TPlaceholder p{0, pkNoArgument, std::string(), 0, false, 0, 0, 0};
    size_t i = start + 1;
    const size_t n = fmt.size();
    if (i < n && fmt[i] == '-') ++i;
    if (i < n && fmt[i] == '#') ++i;
    if (i < n && fmt[i] == '0') ++i;
    p.Flags = fmt.substr(start, i - start);
    p.Width = ReadNumber(fmt, i);
    if (i < n && fmt[i] == '.') {
        ++i;
        p.HasPrecision = true;
        p.Precision = ReadNumber(fmt, i);
    }
    if (i < n && (fmt[i] == 'l' || fmt[i] == 'h' || fmt[i] == 'w')) p.Size = fmt[i++];
    p.Length = i - start;
    if (i >= n) return p;
    p.Type = fmt[i];
    switch (p.Type) {
    case 'c':
    case 'C':
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'p': p.Kind = pkNumber; break;
    // Only 8-bit texts are ever passed: a wide-text placeholder fits none.
    case 's': p.Kind = p.Size == 'l' || p.Size == 'w' ? pkUnusable : pkText; break;
    case 'S': p.Kind = p.Size == 'h' ? pkText : pkUnusable; break;
    default: return p;
    }
    ++p.Length;
    return p;
}

bool Fits(TPlaceholderKind kind, const TFormatArg& arg) {
    if (kind == pkText) return arg.Kind == TFormatArg::faString;
    if (kind == pkNumber) return arg.Kind != TFormatArg::faString;
    return false;
}

// The placeholder with its width and precision cut to the room left, as the
// system formatter cuts them where a whole text runs into its buffer's end.
// A text's precision bounds how much of it is read (0 reads all of it).
std::string ClampedPlaceholder(const TPlaceholder& p, size_t room) {
    std::string text = p.Flags;
    if (p.Width > 0) text += std::to_string(std::min(p.Width, room));
    if (p.Kind == pkText)
        text += "." + std::to_string(p.Precision > 0 ? std::min(p.Precision, room) : room);
    else if (p.HasPrecision)
        text += "." + std::to_string(std::min(p.Precision, room));
    if (p.Size) text += p.Size;
    return text + p.Type;
}

} // namespace

size_t FormatPlaceholder(const std::string& placeholder, const TFormatArg& arg, size_t room,
                         char* buffer) {
    TPlaceholder p = ReadPlaceholder(placeholder, 0);
    if (p.Length != placeholder.size() || !Fits(p.Kind, arg) || room == 0) {
        size_t length = std::min(placeholder.size(), room);
        memcpy(buffer, placeholder.data(), length);
        buffer[length] = '\0';
        return length;
    }
    // Zeros after the argument: a last line of defence that nothing is read
    // beyond it.
    DWORD_PTR values[4] = {};
    if (arg.Kind == TFormatArg::faString)
        values[0] = reinterpret_cast<DWORD_PTR>(arg.Text ? arg.Text : "");
    else
        values[0] = static_cast<DWORD>(arg.Number); // the low 32 bits
    buffer[0] = '\0';
    wvsprintfA(buffer, ClampedPlaceholder(p, room).c_str(), reinterpret_cast<va_list>(values));
    buffer[room] = '\0';
    return strlen(buffer);
}

// Language texts are edited by users, so a text may hold more placeholders
// than its caller has arguments, or placeholders of another kind: those come
// out as written (a lone % included), and the formatter never reads past the
// arguments nor takes a number for a text. Each placeholder goes to the
// formatter on its own, clamped to the room left, because a whole text with
// wide fields runs past the formatter's buffer (Wine writes two bytes beyond
// its 1,024 for a "%#X" filling the rest); a sound text still gives what
// the formatter itself gives.
std::string FormatText(const std::string& fmt, std::initializer_list<TFormatArg> args) {
    std::string result;
    char piece[FormatTextLimit + PlaceholderSlack + 1];
    const TFormatArg* next = args.begin();
    size_t i = 0;
    while (i < fmt.size() && result.size() < FormatTextLimit) {
        if (fmt[i] != '%') {
            result += fmt[i++];
            continue;
        }
        if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
            result += '%';
            i += 2;
            continue;
        }
        TPlaceholder placeholder = ReadPlaceholder(fmt, i);
        std::string text = fmt.substr(i, placeholder.Length);
        i += placeholder.Length;
        const size_t room = FormatTextLimit - result.size();
        if (placeholder.Kind == pkNoArgument || next == args.end()) {
            result.append(text, 0, room);
            continue;
        }
        result.append(piece, FormatPlaceholder(text, *next++, room, piece));
    }
    return result;
}

std::string ReplaceAllText(const std::string& s, const std::string& oldPattern,
                           const std::string& newPattern) {
    if (oldPattern.empty()) return s;
    const std::string pattern = UpperCaseText(oldPattern);
    const std::string searchIn = UpperCaseText(s);
    std::string result;
    size_t from = 0;
    for (;;) {
        size_t pos = searchIn.find(pattern, from);
        if (pos == std::string::npos) break;
        result.append(s, from, pos - from);
        result += newPattern;
        from = pos + pattern.size();
    }
    result.append(s, from, std::string::npos);
    return result;
}

std::string UpperCaseText(const std::string& s) {
    std::string result = s;
    if (!result.empty()) CharUpperBuffA(&result[0], static_cast<DWORD>(result.size()));
    return result;
}

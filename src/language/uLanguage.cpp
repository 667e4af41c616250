#include "uLanguage.h"
#include <vector>
#include "../app/uInitDestroy.h"
#include "../common/uGlobals.h"
#include "../common/uStrConsts.h"
#include "../common/uUtils.h"
#include "../menus/uMenus.h"
#include "../settings/RegIni.h"
#include "../tray/uNotifyIcon.h"

std::string Language;
std::string LanguageFileName;

std::string GetLangText(int number) {
    // No file yet: an empty file name would make the profile API fall back
    // to the system's own INI file.
    if (LanguageFileName.empty()) return std::string();
    std::string text =
        IniReadString(LanguageFileName, ResStr(IDS_SECTIONMAIN), std::to_string(number), "");
    // Only a lower-case \n marks a text with line breaks; then \N breaks too.
    if (text.find("\\n") != std::string::npos) text = ReplaceAllText(text, "\\n", "\r\n");
    return text;
}

void LoadLanguage(const std::string& name, int menuId) {
    if (menuId != 0)
        CheckMenuRadioItem(LanguageMenu, IDM_LANGUAGE_FIRST, IDM_LANGUAGE_LAST, menuId,
                           MF_BYCOMMAND);
    Language = name;
    LanguageFileName = AppPath + name + ResStr(IDS_LANGEXT);
    if (FileExists(LanguageFileName)) {
        RefreshInterface();
        return;
    }
    const std::string defaultLanguage = ResStr(IDS_DEFAULTLANGUAGE);
    if (name != defaultLanguage) {
        // The balloon's own title text comes from the default language's file.
        LanguageFileName = AppPath + defaultLanguage + ResStr(IDS_LANGEXT);
        ShowTrayMessage(FormatText(ResStr(IDS_LANGNOTFOUND), {name}), 1, false);
        LoadLanguage(defaultLanguage, 0);
    } else {
        ShowError(ResStr(IDS_DEFLANGNOTFOUND));
        EndProgram();
    }
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
};

TPlaceholder ReadPlaceholder(const std::string& fmt, size_t start) {
    size_t i = start + 1;
    const size_t n = fmt.size();
    if (i < n && fmt[i] == '-') ++i;
    if (i < n && fmt[i] == '#') ++i;
    if (i < n && fmt[i] == '0') ++i;
    while (i < n && fmt[i] >= '0' && fmt[i] <= '9')
        ++i;
    if (i < n && fmt[i] == '.') {
        ++i;
        while (i < n && fmt[i] >= '0' && fmt[i] <= '9')
            ++i;
    }
    char size = 0;
    if (i < n && (fmt[i] == 'l' || fmt[i] == 'h' || fmt[i] == 'w')) size = fmt[i++];
    if (i >= n) return {i - start, pkNoArgument};
    switch (fmt[i]) {
    case 'c':
    case 'C':
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'p': return {i + 1 - start, pkNumber};
    // Only 8-bit texts are ever passed: a wide-text placeholder fits none.
    case 's': return {i + 1 - start, size == 'l' || size == 'w' ? pkUnusable : pkText};
    case 'S': return {i + 1 - start, size == 'h' ? pkText : pkUnusable};
    default: return {i - start, pkNoArgument};
    }
}

bool Fits(TPlaceholderKind kind, const TFormatArg& arg) {
    if (kind == pkText) return arg.Kind == TFormatArg::faString;
    if (kind == pkNumber) return arg.Kind != TFormatArg::faString;
    return false;
}

void AppendEscaped(std::string& fmt, const std::string& text) {
    for (char c : text) {
        if (c == '%') fmt += '%';
        fmt += c;
    }
}

} // namespace

// Language texts are edited by users, so a text may hold more placeholders
// than its caller has arguments, or placeholders of another kind. The text
// is checked against the arguments first: every placeholder that takes a
// fitting argument goes to the system formatter unchanged, every other one
// is escaped and so comes out as written (a lone % included). The formatter
// therefore never reads past the arguments nor takes a number for a text,
// and a sound text gives exactly what the formatter itself gives.
std::string FormatText(const std::string& fmt, std::initializer_list<TFormatArg> args) {
    std::string safeFmt;
    safeFmt.reserve(fmt.size() + 8);
    // Zeros after the arguments: a last line of defence that nothing is read
    // beyond them.
    std::vector<DWORD_PTR> values;
    values.reserve(args.size() + 4);
    const TFormatArg* next = args.begin();
    size_t i = 0;
    while (i < fmt.size()) {
        if (fmt[i] != '%') {
            safeFmt += fmt[i++];
            continue;
        }
        if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
            safeFmt += "%%";
            i += 2;
            continue;
        }
        TPlaceholder placeholder = ReadPlaceholder(fmt, i);
        std::string text = fmt.substr(i, placeholder.Length);
        i += placeholder.Length;
        if (placeholder.Kind == pkNoArgument) {
            AppendEscaped(safeFmt, text);
            continue;
        }
        const TFormatArg* arg = next != args.end() ? next++ : nullptr;
        if (!arg || !Fits(placeholder.Kind, *arg)) {
            AppendEscaped(safeFmt, text);
            continue;
        }
        safeFmt += text;
        if (arg->Kind == TFormatArg::faString)
            values.push_back(reinterpret_cast<DWORD_PTR>(arg->Text ? arg->Text : ""));
        else
            values.push_back(static_cast<DWORD>(arg->Number)); // the low 32 bits
    }
    values.insert(values.end(), 4, 0);
    char buffer[1024];
    buffer[0] = '\0';
    wvsprintfA(buffer, safeFmt.c_str(), reinterpret_cast<va_list>(values.data()));
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer);
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

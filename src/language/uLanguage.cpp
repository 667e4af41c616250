#include "uLanguage.h"

std::string Language;
std::string LanguageFileName;

// Placeholder until its issue lands: keeps the program starting, looping and ending.
std::string GetLangText(int) { return std::string(); }
void LoadLanguage(const std::string& name, int) { Language = name; }
void SetDialogTexts(HWND, int, int) {}
std::string FormatText(const std::string& fmt, std::initializer_list<TFormatArg>) { return fmt; }
std::string ReplaceAllText(const std::string& s, const std::string&, const std::string&) {
    return s;
}
std::string UpperCaseText(const std::string& s) { return s; }

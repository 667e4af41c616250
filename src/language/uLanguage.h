// Language files and the lookup of user-interface texts by number.
#pragma once
#include <windows.h>
#include <initializer_list>
#include <string>

// Language texts that are no menu or control identifier (those carry their
// identifier's number).
constexpr int TEXT_LANGUAGE_MENU = 500;
constexpr int TEXT_EMPTY_LABEL = 2001;
constexpr int TEXT_CURRENT_DRIVE = 2002;
constexpr int TEXT_NO_DRIVE = 2003;
constexpr int TEXT_MESSAGE_TITLE = 2004; // second half of every balloon title
constexpr int TEXT_CLOSING = 2020;       // a countdown line while its tray closes
constexpr int TEXT_COUNTDOWN = 2021;
constexpr int TEXT_PAUSE = 2023;
constexpr int TEXT_DATA_INFO = 2030;
constexpr int TEXT_AUDIO_INFO = 2031;

extern std::string Language;
extern std::string LanguageFileName;

// One argument of FormatText: an integer, a character, a text or a 64-bit
// integer (of which the low 32 bits are formatted).
struct TFormatArg {
    enum TKind { faInteger, faChar, faString, faInt64 } Kind;
    long long Number;
    const char* Text;
    TFormatArg(int value) : Kind(faInteger), Number(value), Text(nullptr) {}
    TFormatArg(unsigned value) : Kind(faInteger), Number(value), Text(nullptr) {}
    TFormatArg(unsigned long value) : Kind(faInteger), Number(value), Text(nullptr) {}
    TFormatArg(char value)
        : Kind(faChar), Number(static_cast<unsigned char>(value)), Text(nullptr) {}
    TFormatArg(long long value) : Kind(faInt64), Number(value), Text(nullptr) {}
    TFormatArg(unsigned long long value)
        : Kind(faInt64), Number(static_cast<long long>(value)), Text(nullptr) {}
    TFormatArg(const std::string& value) : Kind(faString), Number(0), Text(value.c_str()) {}
    TFormatArg(const char* value) : Kind(faString), Number(0), Text(value) {}
};

// The current language's text of the number, the default language's where
// the file has none, with \n as line breaks; empty before any language.
std::string GetLangText(int number);
// Makes the language current (the menu item menuId marked, 0 for none) and
// refreshes the menus and tooltip; a missing file falls back to the default
// language with a warning, a missing default language ends the program.
void LoadLanguage(const std::string& name, int menuId);
// The language of a stored name: names of files that earlier versions shipped
// under names not every code page can spell give the file's present name.
std::string RenamedLanguage(const std::string& name);
// Sets the texts of the dialog's controls first + 1 to last that the language
// has.
void SetDialogTexts(HWND dialog, int first, int last);
// The system formatter's syntax with these arguments, by position; at most
// FormatTextLimit characters. Placeholders without a fitting argument come out
// as written.
std::string FormatText(const std::string& fmt, std::initializer_list<TFormatArg> args);
constexpr size_t FormatTextLimit = 1023;
// How far the formatter may write past the room given to one placeholder: a
// number's digits, sign and "0x" come out even where less room is left.
constexpr size_t PlaceholderSlack = 32;
// One placeholder of FormatText (its text from the % to the type) with its
// argument, cut to room characters; as written where it does not fit the
// argument. buffer holds room + PlaceholderSlack + 1 bytes and nothing is
// written beyond them. Returns the length of the text left in buffer.
size_t FormatPlaceholder(const std::string& placeholder, const TFormatArg& arg, size_t room,
                         char* buffer);
// Every match of the pattern, in any letter case, replaced.
std::string ReplaceAllText(const std::string& s, const std::string& oldPattern,
                           const std::string& newPattern);
// In upper case as the system's code page has it.
std::string UpperCaseText(const std::string& s);

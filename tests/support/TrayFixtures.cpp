#include "TrayFixtures.h"
#include <map>
#include "TestSupport.h"
#include "src/common/uGlobals.h"
#include "src/language/uLanguage.h"

namespace {

const std::map<int, std::string>& Texts() {
    static const std::map<int, std::string> texts = {
        {201, "Eject"},
        {202, "Load"},
        {203, "Explore"},
        {204, "Start"},
        {205, "Settings"},
        {206, "Manual"},
        {207, "Quit"},
        {208, "Eject every drive"},
        {209, "Load every drive"},
        {500, "Languages"},
        {2001, "(unlabelled)"},
        {2002, "Drive"},
        {2004, "says"},
        {2030, "%s|%s|%u|%u"},
        {2031, "%s|%d|%s"},
    };
    return texts;
}

} // namespace

void UseDrives(const std::string& letters, BYTE mediaKind) {
    UseDriveList(letters, mediaKind);
}

std::string UseTestLanguage() {
    std::string folder = NewTempFolder();
    std::string text = "[Main]\r\n";
    for (const auto& entry : Texts())
        text += std::to_string(entry.first) + "=" + entry.second + "\r\n";
    WriteTextFile(folder + "english.lng", text);
    AppPath = folder;
    Language = "English";
    LanguageFileName = folder + "english.lng";
    return folder;
}

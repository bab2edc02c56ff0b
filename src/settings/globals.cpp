#include "settings/globals.h"

TGlobalVars GlobalVars;

std::string ExpandProgramRelativeLink(std::string_view link, std::string_view programFolder) {
    const bool relativeFile = !link.empty() && link.find(':') == std::string_view::npos &&
                              link.front() != '\\' && link.front() != '/';
    if (!relativeFile)
        return std::string(link);
    return AddTrailingBackslash(programFolder) + std::string(link);
}

void LoadGlobalVars(TGlobalVars& vars, const TSettings& settings, std::string_view programFolder) {
    auto read = [&](const char* key) { return settings.ReadString(kSettingsSection, key, ""); };
    vars.Version = read("Version");
    vars.Copyright = read("Copyright");
    auto link = [&](const char* key) {
        return ExpandProgramRelativeLink(read(key), programFolder);
    };
    vars.HelpContectLink = link("HelpContectLink");
    vars.HelpHowTosTutorialVideosLink = link("HelpHowTosTutorialVideosLink");
    vars.HelpHomePageLink = link("HelpHomePageLink");
    vars.HelpMoreFreeToolsLink = link("HelpMoreFreeToolsLink");
    vars.HelpCheckForUpdatesLink = link("HelpCheckForUpdatesLink");
    vars.HelpSupportLink = link("HelpSupportLink");
}

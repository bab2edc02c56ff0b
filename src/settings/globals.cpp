#include "settings/globals.h"

TGlobalVars GlobalVars;

std::string ExpandProgramRelativeLink(std::string_view link, std::string_view programFolder,
                                      IFileProbes& probes) {
    const bool relativeFile = !link.empty() && link.find(':') == std::string_view::npos &&
                              link.front() != '\\' && link.front() != '/';
    if (!relativeFile)
        return std::string(link);
    std::string beside = AddTrailingBackslash(programFolder) + std::string(link);
    return probes.FileExists(beside) ? beside : std::string(link);
}

void LoadGlobalVars(TGlobalVars& vars, const TSettings& settings, std::string_view programFolder,
                    IFileProbes& probes) {
    auto read = [&](const char* key) { return settings.ReadString(kSettingsSection, key, ""); };
    vars.Version = read("Version");
    vars.Copyright = read("Copyright");
    auto link = [&](const char* key) {
        return ExpandProgramRelativeLink(read(key), programFolder, probes);
    };
    vars.HelpContectLink = link("HelpContectLink");
    vars.HelpHowTosTutorialVideosLink = link("HelpHowTosTutorialVideosLink");
    vars.HelpHomePageLink = link("HelpHomePageLink");
    vars.HelpMoreFreeToolsLink = link("HelpMoreFreeToolsLink");
    vars.HelpCheckForUpdatesLink = link("HelpCheckForUpdatesLink");
    vars.HelpSupportLink = link("HelpSupportLink");
}

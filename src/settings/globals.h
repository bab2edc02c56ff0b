// The process-wide settings record, filled from section "SYSTEM" of the settings file when
// the main window is created.
#pragma once

#include "platform/fs_probes.h"
#include "settings/settings.h"

#include <string>
#include <string_view>

struct TGlobalVars {
    std::string Version;
    std::string Copyright;
    std::string HelpContectLink;
    std::string HelpHowTosTutorialVideosLink;
    std::string HelpHomePageLink;
    std::string HelpMoreFreeToolsLink;
    std::string HelpCheckForUpdatesLink;
    std::string HelpSupportLink;
};

// The one instance; empty until LoadGlobalVars fills it.
extern TGlobalVars GlobalVars;

// Reads the eight keys of section "SYSTEM" (default "") in the record's order and stores
// each in its field. The six links are not stored exactly as read: a relative file name
// ("help.html") names a file beside the program and is expanded with `programFolder` (see
// ExpandProgramRelativeLink), so the shell opens the shipped page whatever the current
// folder is. A web address, a mail address or a full path is stored as read.
void LoadGlobalVars(TGlobalVars& vars, const TSettings& settings, std::string_view programFolder,
                    IFileProbes& probes = SystemFileProbes());

// `link` prefixed with AddTrailingBackslash(programFolder) when it is a relative file name
// (not empty, no ':' anywhere, so no "C:", no "https:", no "mailto:", and not starting with
// '\' or '/') and that file exists beside the program. Anything else comes back unchanged: a
// web address without a scheme ("www.example.com") is handed to the shell as written.
std::string ExpandProgramRelativeLink(std::string_view link, std::string_view programFolder,
                                      IFileProbes& probes = SystemFileProbes());

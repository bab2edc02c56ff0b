// What the About box shows, computed from the title, the settings record and the year.
// Toolkit-free; the box only places and paints these texts.
#pragma once

#include "settings/globals.h"

#include <string>

// The holder line's template: the year, then the holder text from the settings.
inline constexpr const char* kCopyrightTemplate = "Copyright (c) %d %s";
// The fixed legal notice under the holder line.
extern const char* const kLegalNotice;

struct TAboutTexts {
    std::string caption;   // "About " + title
    std::string appName;   // LabelAppName: the title
    std::string version;   // LabelVersion: "Version " + Version
    std::string copyright; // LabelCopyRight: the template with the year and Copyright
    std::string web;       // LabelWeb: the home-page link
};

// Each value is put in exactly as it stands: a "%s" or "%d" inside the title or a setting
// is text, never a further placeholder.
TAboutTexts AboutTexts(const std::string& title, const TGlobalVars& vars, int year);

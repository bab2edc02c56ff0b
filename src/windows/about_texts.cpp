#include "windows/about_texts.h"

#include <string_view>

const char* const kLegalNotice =
    "Warning: this computer program is protected by copyright law and international treaties. "
    "Unauthorized reproduction or distribution of this program, or any portion of it, may "
    "result in severe civil and criminal penalties, and will be prosecuted to the maximum "
    "extent possible under the law.";

namespace {

// The pattern with each placeholder replaced once, left to right, by its value; values are
// never searched again.
std::string Fill(std::string_view pattern, std::string_view number, std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == 'd' || pattern[i + 1] == 's')) {
            out += pattern[i + 1] == 'd' ? number : text;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace

TAboutTexts AboutTexts(const std::string& title, const TGlobalVars& vars, int year) {
    TAboutTexts t;
    t.caption = Fill("About %s", "", title);
    t.appName = title;
    t.version = Fill("Version %s", "", vars.Version);
    t.copyright = Fill(kCopyrightTemplate, std::to_string(year), vars.Copyright);
    t.web = vars.HelpHomePageLink;
    return t;
}

#include "windows/main_form_layout.h"

#include "pictures/pictures.h"
#include "winkit/display_scale.h"

std::vector<TGraphic> MainFormGraphics() {
    using K = TGraphic::Kind;
    const auto label = [](const char* name, TBounds bounds, const char* text) {
        return TGraphic{.name = name, .bounds = bounds, .text = text, .color = kMainLabelColor};
    };
    const auto icon = [](const char* name, int picture, bool visible) {
        return TGraphic{.name = name,
                        .bounds = {32, 488, 64, 64},
                        .kind = K::AlphaImage,
                        .visible = visible,
                        .picture = picture,
                        .group = kInfoIconGroup};
    };
    TGraphic info = label("LabelInfo", {112, 488, 457, 78}, "Info"); // replaced at creation
    info.kind = K::WrapLabel;
    return {
        // The background takes its picture's size when "UI.bmp" is loaded.
        {.name = "ImageMain",
         .bounds = {0, 0, 788, 584},
         .kind = K::Image,
         .picture = kPictureBackground},
        label("LabelShow", {632, 83, 30, 13}, "Show:"),
        label("LabelFilter", {472, 83, 28, 13}, "Filter:"),
        info,
        label("LabelTotal", {616, 496, 28, 13}, "Total:"),
        label("LabelInvalid", {616, 520, 36, 13}, "Invalid:"),
        label("LabelSelected", {616, 544, 45, 13}, "Selected:"),
        label("LabelTotalCount", {680, 496, 12, 13}, "..."),
        label("LabelInvalidCount", {680, 520, 12, 13}, "..."),
        label("LabelSelectedCount", {680, 544, 12, 13}, "..."),
        // Only the neutral icon shows until a row is clicked, whatever else fails.
        icon("ImageIconInfo", kPictureIconInfo, true),
        icon("ImageIconGood", kPictureIconGood, false),
        icon("ImageIconError", kPictureIconError, false),
        label("LabelSta", {24, 83, 9, 13}, "   "),
    };
}

const char* InfoIconName(TInfoIcon icon) {
    switch (icon) {
    case TInfoIcon::Good:
        return "ImageIconGood";
    case TInfoIcon::Error:
        return "ImageIconError";
    case TInfoIcon::Info:
        break;
    }
    return "ImageIconInfo";
}

namespace {

std::array<TButtonPlace, kMainButtonCount> MainButtons() {
    std::array<TButtonPlace, kMainButtonCount> buttons{};
    std::size_t i = 0;
    for (const TCommand& c : kCommands)
        buttons[i++] = {c.button, c.bounds, c.firstPicture, c.id,
                        kIdActionBase + static_cast<int>(c.id)};
    buttons[i++] = {
        "suiImageButtonMore", {600, 3, 154, 30}, IDB_MORE_NORMAL, std::nullopt, kIdButtonMore};
    buttons[i++] = {"ButtonHelp", {12, 14, 34, 35}, IDB_HELP_NORMAL, std::nullopt, kIdButtonHelp};
    return buttons;
}

} // namespace

// The command table is constant-initialised, so it is whole before this runs.
const std::array<TButtonPlace, kMainButtonCount> kMainButtons = MainButtons();

const char* AccessibleNameOf(std::string_view control) {
    for (const TAccessibleName& n : kAccessibleNames)
        if (control == n.control)
            return n.name;
    for (const TCommand& c : kCommands)
        if (control == c.button)
            return c.accessibleName;
    return "";
}

TOffset HelpMenuOffset(int dpi) {
    const TBounds help = Scale(kMainButtons.back().bounds, dpi);
    return {help.left + Scale(2, dpi), help.top + help.height};
}

// "HelpContectLink" is spelled so in the settings file.
const std::string* HelpMenuLink(int id, const TGlobalVars& vars) {
    switch (id) {
    case menuHelpContent:
        return &vars.HelpContectLink;
    case menuHowTo:
        return &vars.HelpHowTosTutorialVideosLink;
    case menuHomePage:
        return &vars.HelpHomePageLink;
    case menuMoreFreeTools:
        return &vars.HelpMoreFreeToolsLink;
    case menuCheckUpdates:
        return &vars.HelpCheckForUpdatesLink;
    case menuContact:
        return &vars.HelpSupportLink;
    default:
        return nullptr;
    }
}

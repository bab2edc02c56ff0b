// The main window's layout as data: the painted graphics in back-to-front order, the child
// controls in tab order, the image buttons with their pictures and commands, and the help
// menu. Positions, sizes, font heights and column widths are client pixels at 96 dots per
// inch; the window scales them to its display (winkit/display_scale). Toolkit-free: the window
// is built from these tables and the tests read them back against the real controls.
#pragma once

#include "inventory/commands.h"
#include "inventory/main_view.h"
#include "settings/globals.h"
#include "winkit/painted_layer.h"

#include <array>
#include <optional>
#include <string_view>

inline constexpr int kMainClientWidth = 783;
inline constexpr int kMainClientHeight = 579;
// Tahoma's character height in the window and on every label.
inline constexpr int kMainFontHeight = 11;
// The labels' near-black grey (COLORREF of red, green and blue 0x1A).
inline constexpr unsigned long kMainLabelColor = 0x1A1A1Aul;

// Graphic groups: the three info icons lie on top of each other, one shows at a time.
inline constexpr int kInfoIconGroup = 1;
// Picture numbers of the painted images.
enum TMainPicture { kPictureBackground, kPictureIconInfo, kPictureIconGood, kPictureIconError };

// The painted labels and images, back to front, with their texts before FormCreate.
std::vector<TGraphic> MainFormGraphics();
// The painted name of an info icon.
const char* InfoIconName(TInfoIcon icon);

// Child windows other than the image buttons, in tab order.
struct TControlPlace {
    const char* name;
    TBounds bounds;
    int id;
};
inline constexpr int kIdListViewFiles = 10, kIdEditFilter = 11, kIdComboBoxShow = 12;
inline constexpr std::array<TControlPlace, 3> kMainControls{{
    {"ListViewFiles", {24, 106, 737, 287}, kIdListViewFiles},
    {"EditFilter", {512, 80, 113, 21}, kIdEditFilter},
    {"ComboBoxShow", {672, 80, 89, 21}, kIdComboBoxShow},
}};

struct TColumn {
    const char* caption;
    int width;
};
// The record's four, then where Repair found the target went (kMovedToColumn).
inline constexpr std::array<TColumn, 5> kListColumns{
    {{"Name", 200}, {"Target", 300}, {"Location", 300}, {"Shortcut", 400}, {"Moved to", 400}}};
inline constexpr std::array<const char*, 3> kShowItems{"All", "Invalid", "Valid"};

// The image buttons in tab order (after the controls above): the command buttons of the
// command table (kCommands) bound to their actions, then More and Help with click handlers
// of their own.
struct TButtonPlace {
    const char* name;
    TBounds bounds;
    int firstPicture;                // resource id of the normal picture; +1..+3 the others
    std::optional<TActionId> action; // none: a click handler of its own
    int id;
};
inline constexpr int kIdButtonMore = 20, kIdButtonHelp = 21;
// A command button's control id: kIdActionBase + its action.
inline constexpr int kIdActionBase = 100;
inline constexpr std::size_t kMainButtonCount = kCommands.size() + 2;
extern const std::array<TButtonPlace, kMainButtonCount> kMainButtons;

// What screen readers call the child windows other than the command buttons (whose names
// are in the command table), by the window's names: each image button the words its
// pictures show, each box the label painted beside it.
struct TAccessibleName {
    const char* control;
    const char* name;
};
inline constexpr std::array<TAccessibleName, 5> kAccessibleNames{{
    {"ListViewFiles", "Shortcuts"},
    {"EditFilter", "Filter"},
    {"ComboBoxShow", "Show"},
    {"suiImageButtonMore", "More free tools"},
    {"ButtonHelp", "Help"},
}};
// The accessible name of a control, the command buttons' included; "" for none.
const char* AccessibleNameOf(std::string_view control);

// The painted texts that screen readers read from hidden static controls of the same text:
// the info panel, and each counter after its caption ("Total: 4").
struct TReadableText {
    const char* graphic;
    const char* caption; // the caption's graphic, or nullptr
};
inline constexpr std::array<TReadableText, 4> kReadableTexts{{
    {"LabelInfo", nullptr},
    {"LabelTotalCount", "LabelTotal"},
    {"LabelInvalidCount", "LabelInvalid"},
    {"LabelSelectedCount", "LabelSelected"},
}};

// The help menu, in display order; id 0 is a separator. The item names are the window's.
enum TMenuItemId {
    menuHelpContent = 201,
    menuHowTo,
    menuHomePage,
    menuMoreFreeTools,
    menuCheckUpdates,
    menuContact,
    menuAbout
};
struct TMenuItem {
    int id;
    const char* caption; // "&&" shows one "&"; the text after a tab is shown right-aligned
};
inline constexpr std::array<TMenuItem, 10> kHelpMenu{{
    {menuHelpContent, "Help Content\tF1"},
    {menuHowTo, "How Tos && Tutorial Videos..."},
    {0, nullptr},
    {menuHomePage, "Home Page..."},
    {menuMoreFreeTools, "More Free Tools..."},
    {0, nullptr},
    {menuCheckUpdates, "Check for Updates..."},
    {menuContact, "Contact Technical Support..."},
    {0, nullptr},
    {menuAbout, "About..."},
}};
// The settings value a help menu item opens (the More button opens More Free Tools' link);
// nullptr for an item that opens no link (About). An item whose link is empty is disabled.
const std::string* HelpMenuLink(int id, const TGlobalVars& vars);

// Where the help menu opens at `dpi`: this offset from the window's outer top-left corner,
// the help button's client place (scaled as the button is) two pixels in and below its bottom
// edge; the window's frame and title bar are not added. (14, 49) at 96 dpi.
struct TOffset {
    int x = 0, y = 0;
};
TOffset HelpMenuOffset(int dpi);

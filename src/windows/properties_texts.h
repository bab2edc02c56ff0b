// What the program's own Properties box shows for one shortcut file, and where: the lines of
// the shell sheet's Shortcut tab (read from the file by the program's own reader) and of its
// General tab (what the file system says of the shortcut file itself). Toolkit-free; the box
// (windows/properties_box) only creates the controls and puts these texts in.
#pragma once

#include "lnk/lnk_format.h"
#include "winkit/painted_layer.h" // TBounds, TSize

#include <cstdint>
#include <string>
#include <vector>

// A moment in local time, broken down as the platform gives it.
struct TLocalTime {
    int year = 0, month = 1, day = 1; // month 1..12
    int weekday = 0;                  // 0 = Sunday
    int hour = 0, minute = 0, second = 0;
};

// What the file system says of the shortcut file; `known` false when it could not be asked.
struct TShortcutFileFacts {
    bool known = false;
    std::uint64_t size = 0;
    TLocalTime created, modified, accessed;
    std::uint32_t attributes = 0; // FILE_ATTRIBUTE_* values
};

struct TPropertyLine {
    std::string label; // "Target:", with its colon
    std::string value;
};

struct TPropertiesTexts {
    std::string caption;                 // "<name> Properties", as the shell captions its sheet
    std::vector<TPropertyLine> shortcut; // the Shortcut tab's lines, in the sheet's order
    std::vector<TPropertyLine> general;  // the General tab's lines
};

// Headings of the two groups, and the button's text.
inline constexpr const char* kShortcutHeading = "Shortcut";
inline constexpr const char* kGeneralHeading = "General";
inline constexpr const char* kCloseText = "Close";

// The texts for the shortcut file at `shortcutPath` ('\' separated), its fields as the reader
// gave them and the file system's facts. Unreadable fields or unknown facts leave the values
// empty; the labels are always there. A `reason` (why the program judges the shortcut as it
// does) adds a last line "Reason:" to the Shortcut group.
TPropertiesTexts PropertiesTexts(const std::string& shortcutPath, const lnk::ShortcutFields& fields,
                                 const TShortcutFileFacts& facts, const std::string& reason = {});

// The single values, as the sheet words them.
std::string TargetTypeText(const std::string& target, bool folder);
std::string TargetLocationText(const std::string& target);
std::string TargetText(const std::string& target, const std::string& arguments);
std::string HotKeyText(std::uint16_t hotKey);    // "None", "Ctrl + Alt + A"
std::string ShowCommandText(std::uint32_t show); // "Normal window", "Minimized", "Maximized"
std::string IconLocationText(const std::string& location, std::int32_t index);
std::string SizeText(std::uint64_t bytes);            // "1.21 KB (1,240 bytes)"
std::string TimeText(const TLocalTime& time);         // "Wednesday, December 9, 2026, 5:22:47 AM"
std::string AttributesText(std::uint32_t attributes); // "Read-only, Archive", "None"

// The box's layout in client pixels at 96 dpi: each group is a heading and one row per
// line, a label left and its value (a read-only field) right; Close at the bottom right.
struct TPropertiesLayout {
    struct Row {
        TBounds label, value;
    };
    TBounds shortcutHeading, generalHeading;
    std::vector<Row> shortcut, general; // one per line of the texts
    TBounds close;
    TSize client;
};
TPropertiesLayout PropertiesLayout(const TPropertiesTexts& texts);

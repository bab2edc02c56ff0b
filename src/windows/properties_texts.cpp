#include "windows/properties_texts.h"

#include "base/path_rules.h"
#include "base/text.h"

#include <cstdio>
#include <iterator>

namespace {

// Attributes the sheet shows (FILE_ATTRIBUTE_*).
constexpr std::uint32_t kReadOnly = 0x1, kHidden = 0x2, kSystem = 0x4, kArchive = 0x20;
// Hot-key modifiers (HOTKEYF_*) in the high byte.
constexpr std::uint8_t kShift = 0x1, kControl = 0x2, kAlt = 0x4;
// Show commands that start the window minimised or maximised (SW_*).
constexpr std::uint32_t kShowMinimized = 2, kShowMaximized = 3, kMinimize = 6, kShowMinNoActive = 7;

// The layout, at 96 dpi.
constexpr int kMargin = 12;
constexpr int kLabelWidth = 90;
constexpr int kValueLeft = kMargin + kLabelWidth + 6;
constexpr int kValueWidth = 330;
constexpr int kRowHeight = 20, kRowStep = 24;
constexpr int kHeadingHeight = 16, kHeadingGap = 6, kGroupGap = 10;
constexpr int kButtonWidth = 81, kButtonHeight = 23;

std::string Grouped(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

// The folder part of a path without its last '\', except for a root ("C:\").
std::string FolderOf(const std::string& path) {
    std::string folder(ExtractFilePath(path));
    if (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

std::string KeyName(std::uint8_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87) // VK_F1..VK_F24
        return "F" + std::to_string(key - 0x70 + 1);
    if (key >= 0x60 && key <= 0x69) // VK_NUMPAD0..9
        return "Num " + std::to_string(key - 0x60);
    struct Named {
        std::uint8_t key;
        const char* name;
    };
    static constexpr Named kNames[] = {{0x08, "Backspace"}, {0x09, "Tab"},        {0x0D, "Enter"},
                                       {0x1B, "Esc"},       {0x20, "Space"},      {0x21, "Page Up"},
                                       {0x22, "Page Down"}, {0x23, "End"},        {0x24, "Home"},
                                       {0x25, "Left"},      {0x26, "Up"},         {0x27, "Right"},
                                       {0x28, "Down"},      {0x2D, "Insert"},     {0x2E, "Delete"},
                                       {0x90, "Num Lock"},  {0x91, "Scroll Lock"}};
    for (const Named& n : kNames)
        if (n.key == key)
            return n.name;
    char code[16];
    std::snprintf(code, sizeof code, "Key %02X", key);
    return code;
}

std::vector<TPropertiesLayout::Row> Rows(std::size_t count, int& top) {
    std::vector<TPropertiesLayout::Row> rows;
    for (std::size_t i = 0; i < count; ++i, top += kRowStep)
        rows.push_back(
            {{kMargin, top + 3, kLabelWidth, 13}, {kValueLeft, top, kValueWidth, kRowHeight}});
    return rows;
}

} // namespace

std::string TargetTypeText(const std::string& target, bool folder) {
    if (target.empty())
        return {};
    if (target.size() == 3 && target[1] == ':')
        return "Local Disk";
    if (folder || EndsWithSeparator(target))
        return "File folder";
    const std::string ext = AsciiLowerCase(ExtractFileExt(target));
    if (ext == ".exe" || ext == ".com" || ext == ".scr")
        return "Application";
    if (ext.size() < 2)
        return "File";
    return AsciiUpperCase(ext.substr(1)) + " File"; // as the shell names a type it does not know
}

std::string TargetLocationText(const std::string& target) {
    const std::string folder = FolderOf(target);
    if (folder.empty() || folder.back() == '\\')
        return folder; // a root names itself
    return std::string(ExtractFileName(folder));
}

std::string TargetText(const std::string& target, const std::string& arguments) {
    std::string text = target.find(' ') != std::string::npos ? "\"" + target + "\"" : target;
    if (!arguments.empty())
        text += (text.empty() ? "" : " ") + arguments;
    return text;
}

std::string HotKeyText(std::uint16_t hotKey) {
    const auto key = static_cast<std::uint8_t>(hotKey & 0xFF);
    const auto modifiers = static_cast<std::uint8_t>(hotKey >> 8);
    if (key == 0)
        return "None";
    std::string text;
    if (modifiers & kControl)
        text += "Ctrl + ";
    if (modifiers & kShift)
        text += "Shift + ";
    if (modifiers & kAlt)
        text += "Alt + ";
    return text + KeyName(key);
}

std::string ShowCommandText(std::uint32_t show) {
    if (show == kShowMaximized)
        return "Maximized";
    if (show == kShowMinimized || show == kMinimize || show == kShowMinNoActive)
        return "Minimized";
    return "Normal window"; // what the shell starts for every other value
}

std::string IconLocationText(const std::string& location, std::int32_t index) {
    if (location.empty() || index == 0)
        return location;
    return location + "," + std::to_string(index);
}

std::string SizeText(std::uint64_t bytes) {
    const std::string exact = Grouped(bytes) + (bytes == 1 ? " byte" : " bytes");
    if (bytes < 1024)
        return exact;
    static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1000 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    // Three significant digits, cut rather than rounded, as the shell shows sizes.
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    const double scale = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.*f", decimals,
                  static_cast<double>(static_cast<long long>(value * scale)) / scale);
    return std::string(shown) + " " + kUnits[unit] + " (" + exact + ")";
}

std::string TimeText(const TLocalTime& t) {
    static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};
    const char* day = t.weekday >= 0 && t.weekday < 7 ? kDays[t.weekday] : "";
    const char* month = t.month >= 1 && t.month <= 12 ? kMonths[t.month - 1] : "";
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char text[96];
    std::snprintf(text, sizeof text, "%s, %s %d, %d, %d:%02d:%02d %s", day, month, t.day, t.year,
                  hour12, t.minute, t.second, t.hour < 12 ? "AM" : "PM");
    return text;
}

std::string AttributesText(std::uint32_t attributes) {
    static constexpr struct {
        std::uint32_t bit;
        const char* name;
    } kNames[] = {
        {kReadOnly, "Read-only"}, {kHidden, "Hidden"}, {kSystem, "System"}, {kArchive, "Archive"}};
    std::string text;
    for (const auto& n : kNames)
        if (attributes & n.bit)
            text += (text.empty() ? "" : ", ") + std::string(n.name);
    return text.empty() ? "None" : text;
}

TPropertiesTexts PropertiesTexts(const std::string& shortcutPath, const lnk::ShortcutFields& f,
                                 const TShortcutFileFacts& facts, const std::string& reason) {
    TPropertiesTexts t;
    t.caption = RemoveExtension(ExtractFileName(shortcutPath)) + " Properties";
    const auto read = [&](std::string value) { return f.readable ? value : std::string(); };
    t.shortcut = {
        {"Target type:", TargetTypeText(f.target, f.targetIsFolder)},
        {"Target location:", TargetLocationText(f.target)},
        {"Target:", TargetText(f.target, f.arguments)},
        {"Start in:", f.workingDir},
        {"Shortcut key:", read(HotKeyText(f.hotKey))},
        {"Run:", read(ShowCommandText(f.showCommand))},
        {"Comment:", f.comment},
        {"Icon location:", IconLocationText(f.iconLocation, f.iconIndex)},
    };
    if (!reason.empty()) // the program's own verdict, after the sheet's lines
        t.shortcut.push_back({"Reason:", reason});
    const auto known = [&](std::string value) { return facts.known ? value : std::string(); };
    t.general = {
        {"Location:", FolderOf(shortcutPath)},
        {"Size:", known(SizeText(facts.size))},
        {"Created:", known(TimeText(facts.created))},
        {"Modified:", known(TimeText(facts.modified))},
        {"Accessed:", known(TimeText(facts.accessed))},
        {"Attributes:", known(AttributesText(facts.attributes))},
    };
    return t;
}

TPropertiesLayout PropertiesLayout(const TPropertiesTexts& texts) {
    TPropertiesLayout l;
    const int width = kValueLeft + kValueWidth + kMargin;
    int top = kMargin;
    l.shortcutHeading = {kMargin, top, width - 2 * kMargin, kHeadingHeight};
    top += kHeadingHeight + kHeadingGap;
    l.shortcut = Rows(texts.shortcut.size(), top);
    top += kGroupGap;
    l.generalHeading = {kMargin, top, width - 2 * kMargin, kHeadingHeight};
    top += kHeadingHeight + kHeadingGap;
    l.general = Rows(texts.general.size(), top);
    top += kGroupGap - (kRowStep - kRowHeight);
    l.close = {width - kMargin - kButtonWidth, top, kButtonWidth, kButtonHeight};
    l.client = {width, top + kButtonHeight + kMargin};
    return l;
}

// The texts and the layout of the program's own Properties box.
#include "windows/properties_texts.h"

#include <gtest/gtest.h>

namespace {

std::string ValueOf(const std::vector<TPropertyLine>& lines, const std::string& label) {
    for (const TPropertyLine& line : lines)
        if (line.label == label)
            return line.value;
    ADD_FAILURE() << "no line " << label;
    return {};
}

TEST(PropertiesTexts, EveryLineOfAShortcutWithEveryFieldSet) {
    lnk::ShortcutFields f;
    f.readable = true;
    f.target = "C:\\Program Files\\Tool\\tool.exe";
    f.arguments = "--mode fast";
    f.workingDir = "C:\\Work";
    f.hotKey = 0x0641; // Ctrl + Alt + A
    f.showCommand = 7;
    f.comment = "Starts the tool";
    f.iconLocation = "%SystemRoot%\\system32\\shell32.dll";
    f.iconIndex = 12;
    TShortcutFileFacts facts;
    facts.known = true;
    facts.size = 1240;
    facts.created = {2026, 12, 9, 3, 5, 22, 47};
    facts.modified = {2026, 1, 2, 5, 0, 0, 9};
    facts.accessed = {2026, 6, 30, 2, 12, 30, 0};
    facts.attributes = 0x21;
    const TPropertiesTexts t = PropertiesTexts("C:\\Users\\me\\Desktop\\My Tool.lnk", f, facts);

    EXPECT_EQ(t.caption, "My Tool Properties");
    const std::vector<std::pair<std::string, std::string>> shortcut = {
        {"Target type:", "Application"},
        {"Target location:", "Tool"},
        {"Target:", "\"C:\\Program Files\\Tool\\tool.exe\" --mode fast"},
        {"Start in:", "C:\\Work"},
        {"Shortcut key:", "Ctrl + Alt + A"},
        {"Run:", "Minimized"},
        {"Comment:", "Starts the tool"},
        {"Icon location:", "%SystemRoot%\\system32\\shell32.dll,12"}};
    ASSERT_EQ(t.shortcut.size(), shortcut.size());
    for (std::size_t i = 0; i < shortcut.size(); ++i) { // in the sheet's order
        EXPECT_EQ(t.shortcut[i].label, shortcut[i].first);
        EXPECT_EQ(t.shortcut[i].value, shortcut[i].second) << shortcut[i].first;
    }
    EXPECT_EQ(ValueOf(t.general, "Location:"), "C:\\Users\\me\\Desktop");
    EXPECT_EQ(ValueOf(t.general, "Size:"), "1.21 KB (1,240 bytes)");
    EXPECT_EQ(ValueOf(t.general, "Created:"), "Wednesday, December 9, 2026, 5:22:47 AM");
    EXPECT_EQ(ValueOf(t.general, "Modified:"), "Friday, January 2, 2026, 12:00:09 AM");
    EXPECT_EQ(ValueOf(t.general, "Accessed:"), "Tuesday, June 30, 2026, 12:30:00 PM");
    EXPECT_EQ(ValueOf(t.general, "Attributes:"), "Read-only, Archive");
}

TEST(PropertiesTexts, NothingSetNothingReadAndNothingKnown) {
    lnk::ShortcutFields none;
    none.readable = true;
    const TShortcutFileFacts noFacts;
    const TPropertiesTexts t = PropertiesTexts("D:\\a.b.lnk", none, noFacts);
    EXPECT_EQ(t.caption, "a.b Properties");
    EXPECT_EQ(ValueOf(t.shortcut, "Target:"), "");
    EXPECT_EQ(ValueOf(t.shortcut, "Target type:"), "");
    EXPECT_EQ(ValueOf(t.shortcut, "Shortcut key:"), "None");
    EXPECT_EQ(ValueOf(t.shortcut, "Run:"), "Normal window");
    EXPECT_EQ(ValueOf(t.general, "Location:"), "D:\\");
    for (const char* label : {"Size:", "Created:", "Attributes:"})
        EXPECT_EQ(ValueOf(t.general, label), "") << label;
    // An unreadable file says nothing of keys or windows either; the labels stay.
    const TPropertiesTexts bad = PropertiesTexts("D:\\x.lnk", lnk::ShortcutFields{}, noFacts);
    EXPECT_EQ(bad.shortcut.size(), t.shortcut.size());
    for (const TPropertyLine& line : bad.shortcut)
        EXPECT_EQ(line.value, "") << line.label;
}

TEST(PropertiesTexts, SingleValuesAsTheSheetWordsThem) {
    EXPECT_EQ(TargetTypeText("C:\\Windows", true), "File folder");
    EXPECT_EQ(TargetTypeText("C:\\Docs\\", false), "File folder");
    EXPECT_EQ(TargetTypeText("C:\\", true), "Local Disk");
    EXPECT_EQ(TargetTypeText("C:\\a\\Notes.Txt", false), "TXT File");
    EXPECT_EQ(TargetTypeText("C:\\a\\README", false), "File");
    EXPECT_EQ(TargetTypeText("C:\\a\\Setup.EXE", false), "Application");
    EXPECT_EQ(TargetLocationText("C:\\tool.exe"), "C:\\");
    EXPECT_EQ(TargetLocationText("\\\\server\\share\\x.txt"), "share");
    EXPECT_EQ(TargetText("", "-x"), "-x");
    EXPECT_EQ(TargetText("C:\\a.exe", ""), "C:\\a.exe");

    EXPECT_EQ(HotKeyText(0), "None");
    EXPECT_EQ(HotKeyText(0x0770), "Ctrl + Shift + Alt + F1");
    EXPECT_EQ(HotKeyText(0x0135), "Shift + 5");
    EXPECT_EQ(HotKeyText(0x0624), "Ctrl + Alt + Home");
    EXPECT_EQ(HotKeyText(0x06BA), "Ctrl + Alt + Key BA");
    EXPECT_EQ(ShowCommandText(1), "Normal window");
    EXPECT_EQ(ShowCommandText(3), "Maximized");
    EXPECT_EQ(ShowCommandText(2), "Minimized");
    EXPECT_EQ(ShowCommandText(0), "Normal window");
    EXPECT_EQ(IconLocationText("C:\\a.ico", 0), "C:\\a.ico");
    EXPECT_EQ(IconLocationText("C:\\a.dll", -3), "C:\\a.dll,-3");
    EXPECT_EQ(IconLocationText("", 5), "");

    EXPECT_EQ(SizeText(0), "0 bytes");
    EXPECT_EQ(SizeText(1023), "1,023 bytes");
    EXPECT_EQ(SizeText(1024), "1.00 KB (1,024 bytes)");
    EXPECT_EQ(SizeText(12287), "11.9 KB (12,287 bytes)"); // cut, not rounded
    EXPECT_EQ(SizeText(999 * 1024), "999 KB (1,022,976 bytes)");
    EXPECT_EQ(SizeText(5u << 20), "5.00 MB (5,242,880 bytes)");
    EXPECT_EQ(AttributesText(0), "None");
    EXPECT_EQ(AttributesText(0x80), "None"); // FILE_ATTRIBUTE_NORMAL is no attribute to show
    EXPECT_EQ(AttributesText(0x27), "Read-only, Hidden, System, Archive");
}

TEST(PropertiesLayout, RowsStackInsideTheClientAreaWithCloseBelowThem) {
    const TPropertiesTexts t = PropertiesTexts("C:\\x.lnk", lnk::ShortcutFields{}, {});
    const TPropertiesLayout l = PropertiesLayout(t);
    ASSERT_EQ(l.shortcut.size(), t.shortcut.size());
    ASSERT_EQ(l.general.size(), t.general.size());
    std::vector<TBounds> column{l.shortcutHeading};
    for (const auto& r : l.shortcut)
        column.push_back(r.value);
    column.push_back(l.generalHeading);
    for (const auto& r : l.general)
        column.push_back(r.value);
    column.push_back(l.close);
    for (std::size_t i = 0; i < column.size(); ++i) {
        const TBounds& b = column[i];
        EXPECT_GE(b.left, 0);
        EXPECT_LE(b.left + b.width, l.client.width) << i;
        EXPECT_LE(b.top + b.height, l.client.height) << i;
        if (i > 0) { // top to bottom, none over another
            EXPECT_GE(b.top, column[i - 1].top + column[i - 1].height) << i;
        }
    }
    for (const auto& r : l.shortcut) { // a label left of its value, on its line
        EXPECT_LT(r.label.left + r.label.width, r.value.left);
        EXPECT_GE(r.label.top, r.value.top);
        EXPECT_LE(r.label.top + r.label.height, r.value.top + r.value.height);
    }
    const TBounds& last = l.general.back().value; // Close ends where the values end
    EXPECT_EQ(l.close.left + l.close.width, last.left + last.width);
}

} // namespace

#include "inventory/inventory.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::unique_ptr<TShortcutItem> Item(const std::string& shortcut, const std::string& target,
                                    bool invalid) {
    const auto sep = shortcut.rfind('\\');
    return std::make_unique<TShortcutItem>(shortcut.substr(sep + 1), target,
                                           shortcut.substr(0, sep + 1), shortcut, invalid);
}

struct Inventory : ::testing::Test {
    TReportListModel rows;
    TInventory inv{rows};

    void SetUp() override {
        inv.AddShortcutItem(Item("C:\\Links\\Mail.lnk", "C:\\Apps\\mail.exe", false));
        inv.AddShortcutItem(Item("C:\\Links\\Old.lnk", "C:\\Gone\\old.exe", true));
        inv.AddShortcutItem(Item("D:\\Menu\\Caf\xE9.lnk", "D:\\Caf\xE9\\x.exe", false));
        inv.AddShortcutItem(Item("D:\\Menu\\Web.LNK", "", true));
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (int i = 0; i < rows.Count(); ++i)
            out.push_back(rows.Text(i, 0));
        return out;
    }
    // Every row refers to a record of the master list, in master-list order.
    void ExpectSubsequence() const {
        int m = 0;
        for (int i = 0; i < rows.Count(); ++i) {
            while (m < inv.Master().Count() && inv.Master().Items(m) != rows.Data(i))
                ++m;
            ASSERT_LT(m, inv.Master().Count()) << "row " << i;
            ++m;
        }
    }
};

using Names = std::vector<std::string>;

TEST_F(Inventory, RowsShowTheirRecord) {
    ASSERT_EQ(rows.Count(), 4);
    EXPECT_EQ(rows.Text(1, 0), "Old.lnk");
    EXPECT_EQ(rows.Text(1, 1), "C:\\Gone\\old.exe");
    EXPECT_EQ(rows.Text(1, 2), "C:\\Links\\");
    EXPECT_EQ(rows.Text(1, 3), "C:\\Links\\Old.lnk");
    EXPECT_EQ(rows.Image(1), kImageInvalid);
    EXPECT_TRUE(rows.Checked(1));
    EXPECT_EQ(rows.Data(1), inv.Master().Items(1));
    EXPECT_EQ(&rows.Entry(1), &inv.Master().Entry(1));
    EXPECT_EQ(rows.Image(0), kImageValid);
    EXPECT_FALSE(rows.Checked(0));
}

// The marks the user set survive every rebuild, also of rows that a view left out; the
// records themselves never change.
TEST_F(Inventory, EveryRebuildKeepsTheMarksTheUserSet) {
    rows.SetChecked(0, true);  // Mail, valid: checked by hand
    rows.SetChecked(1, false); // Old, invalid: kept by hand
    inv.EditFilterChange("L");
    inv.EditFilterChange("");
    EXPECT_TRUE(rows.Checked(0) && !rows.Checked(1) && !rows.Checked(2) && rows.Checked(3));
    inv.ComboBoxShowChange(kShowValid);
    EXPECT_EQ(Captions(), (Names{"Mail.lnk", "Caf\xE9.lnk"}));
    EXPECT_TRUE(rows.Checked(0));
    rows.SetChecked(1, true); // Café, in a view without the invalid rows
    inv.ComboBoxShowChange(kShowInvalid);
    EXPECT_TRUE(!rows.Checked(0) && rows.Checked(1)); // Old, Web
    inv.EditFilterChange("menu");
    EXPECT_EQ(Captions(), (Names{"Caf\xE9.lnk", "Web.LNK"}));
    EXPECT_TRUE(rows.Checked(0) && rows.Checked(1));
    inv.ComboBoxShowChange(kShowAll);
    EXPECT_EQ(
        (std::vector<bool>{rows.Checked(0), rows.Checked(1), rows.Checked(2), rows.Checked(3)}),
        (std::vector<bool>{true, false, true, true}));
    EXPECT_FALSE(inv.Master().Items(0)->Invalid);
    EXPECT_TRUE(inv.Master().Items(1)->Invalid);
    // A new scan's records start checked exactly when invalid.
    inv.Clear();
    inv.AddShortcutItem(Item("C:\\Links\\Old.lnk", "C:\\Gone\\old.exe", true));
    inv.AddShortcutItem(Item("C:\\Links\\Mail.lnk", "C:\\Apps\\mail.exe", false));
    EXPECT_TRUE(rows.Checked(0) && !rows.Checked(1));
}

TEST_F(Inventory, TextFilterIgnoresAsciiCaseOnly) {
    inv.FilterByText("lnk");
    EXPECT_EQ(rows.Count(), 4);
    inv.FilterByText("mAiL");
    EXPECT_EQ(Captions(), (Names{"Mail.lnk"}));
    inv.FilterByText("CAF\xE9");
    EXPECT_EQ(Captions(), (Names{"Caf\xE9.lnk"}));
    inv.FilterByText("caf\xC9"); // the other case of a non-ASCII letter is another byte
    EXPECT_EQ(rows.Count(), 0);
    inv.FilterByText("");
    EXPECT_EQ(rows.Count(), 4);
    ExpectSubsequence();
}

TEST_F(Inventory, TextFilterSearchesShortcutAndTargetOnly) {
    inv.FilterByText("gone\\OLD.EXE");
    EXPECT_EQ(Captions(), (Names{"Old.lnk"}));
    inv.FilterByText("apps");
    EXPECT_EQ(Captions(), (Names{"Mail.lnk"}));
    inv.FilterByText("links\\ mail"); // blanks count
    EXPECT_EQ(rows.Count(), 0);
}

TEST_F(Inventory, ShowBoxAndTextFilterIgnoreEachOther) {
    inv.ComboBoxShowChange(kShowInvalid);
    EXPECT_EQ(Captions(), (Names{"Old.lnk", "Web.LNK"}));
    inv.EditFilterChange("menu"); // valid records show too
    EXPECT_EQ(Captions(), (Names{"Caf\xE9.lnk", "Web.LNK"}));
    inv.ComboBoxShowChange(kShowValid); // drops the text filter
    EXPECT_EQ(Captions(), (Names{"Mail.lnk", "Caf\xE9.lnk"}));
    ExpectSubsequence();
    inv.ComboBoxShowChange(3);
    inv.ComboBoxShowChange(-1);
    EXPECT_EQ(Captions(), (Names{"Mail.lnk", "Caf\xE9.lnk"}));
    inv.ComboBoxShowChange(kShowAll);
    EXPECT_EQ(rows.Count(), 4);
}

TEST_F(Inventory, ValidViewOfAllInvalidIsEmpty) {
    TReportListModel r2;
    TInventory only{r2};
    only.AddShortcutItem(Item("C:\\a.lnk", "C:\\x", true));
    only.ShowByState(false);
    EXPECT_EQ(r2.Count(), 0);
}

TEST_F(Inventory, NewRowsAreAppendedWhateverTheView) {
    inv.FilterByText("mail");
    inv.AddShortcutItem(Item("E:\\Other.lnk", "", false));
    EXPECT_EQ(Captions(), (Names{"Mail.lnk", "Other.lnk"}));
    EXPECT_EQ(inv.Master().Count(), 5);
}

TEST_F(Inventory, RebuildsAreBracketed) {
    inv.FilterByText("x");
    inv.ShowByState(true);
    inv.Clear();
    EXPECT_EQ(rows.UpdateDepth(), 0);
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(inv.Master().Count(), 0);
}

TEST(ShortcutList, RemoveDestroysOnlyThoseEntriesAndKeepsTheOthersInPlace) {
    TShortcutList list;
    list.Add(Item("C:\\a.lnk", "", false));
    list.Add(Item("C:\\b.lnk", "", true));
    TShortcutEntry& c = list.Add(Item("C:\\c.lnk", "", false));
    const TShortcutEntry* b = &list.Entry(1);
    EXPECT_TRUE(b->mark); // an invalid record starts marked
    c.mark = true;
    const auto isB = [b](const TShortcutEntry* e) { return e == b; };
    EXPECT_EQ(list.RemoveIf(isB), 1);
    EXPECT_EQ(list.RemoveIf(isB), 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(&list.Entry(1), &c); // the entry that stays is the same, mark and all
    EXPECT_TRUE(list.Entry(1).mark);
    EXPECT_EQ(list.Items(0)->Shortcut, "C:\\a.lnk");
    EXPECT_EQ(list.Items(1)->Shortcut, "C:\\c.lnk");
    EXPECT_THROW(list.Items(2), std::out_of_range);
}

} // namespace

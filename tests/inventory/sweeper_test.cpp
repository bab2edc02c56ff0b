// The scan, the commands and the status, end to end against the model report list, a real
// temporary tree, a test link reader and doubles for the window and the shell.
#include "base/posix_path.h"
#include "inventory/shortcut_repair.h"
#include "inventory/sweeper.h"
#include "platform/fs_probes.h"
#include "platform/search_fs.h"
#include "support/doubles.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

class FakeView : public IMainView {
public:
    std::string info, status;
    std::vector<std::string> infoHistory;
    std::optional<TInfoIcon> icon;
    int total = -1, invalid = -1, checked = -1;
    int counterUpdates = 0;
    bool answer = true; // Yes
    std::vector<std::string> questions;
    std::function<void()> duringQuestion;
    int pumps = 0;
    std::function<void(int)> pump; // run by ProcessMessages with its call number

    WindowHandle Handle() override { return nullptr; }
    void SetInfoText(const std::string& text) override {
        info = text;
        infoHistory.push_back(text);
    }
    void SetStatusText(const std::string& text) override { status = text; }
    void ShowInfoIcon(TInfoIcon i) override { icon = i; }
    void SetCounters(int t, int i, int c) override {
        total = t, invalid = i, checked = c;
        ++counterUpdates;
    }
    bool AskYesNo(const std::string& question) override {
        questions.push_back(question + "|yes/no");
        if (duringQuestion)
            duringQuestion();
        return answer;
    }
    void Warn(const std::string& text) override { questions.push_back(text + "|warning"); }
    void ProcessMessages() override {
        ++pumps;
        if (pump)
            pump(pumps);
    }
};

class FakeShell : public IShellServices {
public:
    std::vector<std::optional<std::string>> picks; // in order; nullopt cancels
    std::vector<std::string> pickerCalls;
    std::function<void()> duringPicker;
    std::set<std::string> failing;  // files the shell cannot move (held open elsewhere)
    bool cancel = false;            // the user cancels the shell's own warning
    std::set<std::string> declined; // files the user answers No for in that warning
    std::string cancelAt;           // the file whose warning the user cancels
    int calls = 0;
    std::vector<std::string> moved, properties;
    std::function<void(const std::string&)> duringMove;

    bool PickFolder(WindowHandle, std::string& path, const std::string& title) override {
        pickerCalls.push_back(path + "|" + title);
        if (duringPicker)
            duringPicker();
        if (picks.empty() || !picks.front()) {
            if (!picks.empty())
                picks.erase(picks.begin());
            return false;
        }
        path = *picks.front();
        picks.erase(picks.begin());
        return true;
    }
    // As Wine's shell does: it stops at the first file it cannot move, and at the first file
    // whose warning the user answers with No (true) or Cancel (false).
    bool MoveToRecycleBin(WindowHandle, const std::vector<std::string>& paths,
                          bool confirm) override {
        EXPECT_FALSE(confirm);
        ++calls;
        if (cancel)
            return false;
        for (const std::string& path : paths) {
            if (duringMove)
                duringMove(path);
            if (path == cancelAt)
                return false;
            if (failing.count(path) || declined.count(path))
                return true;
            moved.push_back(path);
            std::filesystem::remove(ToPosixPath(path));
        }
        return true;
    }
    void ShowFileProperties(const std::string& path) override { properties.push_back(path); }
    void OpenLink(const std::string&) override {}
};

using Paths = std::set<std::string>;

struct Sweeper : ::testing::Test {
    TempDir dir;
    FakeView view;
    FakeShell shell;
    FakeLinkReader reader;
    TReportListModel rows;
    std::unique_ptr<TShortcutSweeper> sweeper =
        std::make_unique<TShortcutSweeper>(view, rows, shell, reader, SystemFileProbes());
    TShortcutSweeper& s = *sweeper;

    // good.lnk points to an existing file; bad.LNK and sub/old.lnk to missing ones; the
    // shortcut below "x$" and the folder named like a shortcut never become rows.
    void SetUp() override {
        dir.WriteFile("app/tool.exe");
        Link("good.lnk", dir.Native("app/tool.exe"));
        Link("bad.LNK", dir.Native("gone/x.exe"));
        Link("sub/old.lnk", dir.Native("gone/y.exe"));
        Link("x$/hidden.lnk", dir.Native("gone/z.exe"));
        dir.MakeDir("folder.lnk");
        dir.WriteFile("notes.txt");
    }
    void Link(const std::string& rel, const std::string& target) {
        dir.WriteFile(rel, "L");
        reader.targets[dir.Native(rel)] = target;
    }
    void Scan(const std::string& folder) {
        shell.picks.push_back(folder);
        s.ScanShortcuts();
    }
    Paths Shown() const {
        Paths out;
        for (int i = 0; i < rows.Count(); ++i)
            out.insert(rows.Data(i)->Shortcut);
        return out;
    }
    Paths Master() {
        Paths out;
        for (int i = 0; i < s.Inventory().Master().Count(); ++i)
            out.insert(s.Inventory().Master().Items(i)->Shortcut);
        return out;
    }
    int RowOf(const std::string& rel) const {
        for (int i = 0; i < rows.Count(); ++i)
            if (rows.Data(i)->Shortcut == dir.Native(rel))
                return i;
        return -1;
    }
    Paths All() const {
        return {dir.Native("good.lnk"), dir.Native("bad.LNK"), dir.Native("sub/old.lnk")};
    }
    static std::string Done(int n) {
        return std::to_string(n) +
               " shortcut files founded. Select one or more shortcuts for additional information.";
    }
};

TEST_F(Sweeper, ScanFindsEveryShortcutOfTheTreeAndChecksTheInvalidOnes) {
    s.EditFilterChange("nothing matches this"); // the scan's rows are not filtered
    std::vector<int> rowsAtPump;
    view.pump = [&](int) {
        EXPECT_EQ(rows.Count(), s.Inventory().Master().Count());
        rowsAtPump.push_back(rows.Count());
    };
    Scan(dir.Folder());

    EXPECT_EQ(shell.pickerCalls,
              (std::vector<std::string>{"C:\\|Select the folder you want to search: "}));
    EXPECT_EQ(Shown(), All());
    EXPECT_EQ(Master(), All());
    for (int i = 0; i < rows.Count(); ++i)
        EXPECT_EQ(rows.Checked(i), rows.Data(i)->Invalid) << i;
    EXPECT_FALSE(rows.Data(RowOf("good.lnk"))->Invalid);
    EXPECT_EQ(rows.Image(RowOf("sub/old.lnk")), kImageInvalid);
    // Rows came one at a time while the walk went on.
    ASSERT_FALSE(rowsAtPump.empty());
    EXPECT_EQ(rowsAtPump.front(), 0);
    EXPECT_TRUE(std::is_sorted(rowsAtPump.begin(), rowsAtPump.end()));

    ASSERT_GE(view.infoHistory.size(), 2u);
    EXPECT_EQ(view.infoHistory[view.infoHistory.size() - 2],
              "Searching shortcuts, please wait... - Press ESC to cancel (" + dir.Folder() + ")");
    EXPECT_EQ(view.info, Done(3));
    EXPECT_EQ(view.status, "3 shortcut files founded.");
    EXPECT_FALSE(view.icon.has_value()); // a scan leaves the icon alone
}

TEST_F(Sweeper, CancelledPickerChangesNothingAndEveryPickerStartsAtTheDriveRoot) {
    Scan(dir.Folder());
    const TShortcutItem* first = s.Inventory().Master().Items(0);
    const std::string info = view.info;
    shell.picks.push_back(std::nullopt);
    s.ScanShortcuts();
    EXPECT_EQ(shell.pickerCalls.size(), 2u);
    EXPECT_EQ(shell.pickerCalls[1].substr(0, 4), "C:\\|");
    EXPECT_EQ(s.Inventory().Master().Items(0), first);
    EXPECT_EQ(Shown(), All());
    EXPECT_EQ(view.info, info);
}

// The '$' rule keeps out folders such as "$Recycle.Bin" inside the tree, never the folder the
// user chose: a profile "ca$h" or a share "D$" is scanned.
TEST_F(Sweeper, ADollarInTheChosenFolderExcludesNothingBelowIt) {
    Link("x$/in/deeper.lnk", dir.Native("gone/w.exe"));
    Link("x$/$Recycle.Bin/binned.lnk", dir.Native("gone/v.exe"));
    Scan(dir.Native("x$"));
    EXPECT_EQ(Shown(), (Paths{dir.Native("x$/hidden.lnk"), dir.Native("x$/in/deeper.lnk")}));
    EXPECT_EQ(view.status, "2 shortcut files founded.");
}

// Where the window enters links to folders (under Wine, whose user folders are links into
// the Linux home), a linked folder is scanned, each folder once, and a loop ends.
TEST_F(Sweeper, LinksToFoldersAreEnteredOnceWhereTheWindowSaysSo) {
    TempDir home;
    std::filesystem::create_directories(home.Path() / "Desktop");
    std::filesystem::create_symlink(home.Path() / "Desktop", dir.Path() / "Desktop");
    std::filesystem::create_symlink(dir.Path(), home.Path() / "Desktop" / "loop");
    const std::string desktop = dir.Native("Desktop/on desktop.lnk");
    std::ofstream(home.Path() / "Desktop" / "on desktop.lnk") << "L";
    reader.targets[desktop] = dir.Native("gone/d.exe");
    Scan(dir.Folder());
    EXPECT_EQ(Shown().count(desktop), 0u); // reported and left, as on Windows
    s.SetFollowFolderLinks(true);
    Scan(dir.Folder());
    EXPECT_EQ(Shown().count(desktop), 1u);
    EXPECT_EQ(rows.Count(), 4); // the three of the tree, once each, and the Desktop's
}

TEST_F(Sweeper, EscapeStopsARunningScanButNotALaterOne) {
    s.FormKeyDown(TShortcutSweeper::TKey::Escape); // idle: no effect on the next scan
    Scan(dir.Folder());
    EXPECT_EQ(rows.Count(), 3);

    view.pump = [&](int) {
        if (rows.Count() == 1)
            s.FormKeyDown(TShortcutSweeper::TKey::Escape);
    };
    Scan(dir.Folder());
    EXPECT_EQ(rows.Count(), 1);
    EXPECT_EQ(s.Inventory().Master().Count(), 1);
    EXPECT_EQ(view.info, Done(1));
    EXPECT_EQ(s.Scanning(), 0);
}

TEST_F(Sweeper, DeleteMovesCheckedFilesAndKeepsThoseThatCouldNotBeMoved) {
    Scan(dir.Folder());
    view.answer = false;
    s.ActionDeleteExecute();
    EXPECT_EQ(view.questions, (std::vector<std::string>{std::string(kDeleteQuestion) + "|yes/no"}));
    EXPECT_TRUE(shell.moved.empty());
    EXPECT_EQ(rows.Count(), 3);

    view.answer = true;
    shell.failing.insert(dir.Native("bad.LNK"));
    s.ActionDeleteExecute();
    EXPECT_EQ(shell.moved, (std::vector<std::string>{dir.Native("sub/old.lnk")}));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "sub/old.lnk"));
    // The failed one is still listed, still checked; the valid unchecked one stays.
    const Paths left{dir.Native("good.lnk"), dir.Native("bad.LNK")};
    EXPECT_EQ(Shown(), left);
    EXPECT_EQ(Master(), left);
    EXPECT_TRUE(rows.Checked(RowOf("bad.LNK")));
    EXPECT_EQ(view.questions.size(), 3u) << "the file that stayed is named";
}

// A row goes exactly when its file is no longer there after the Delete, whatever the shell
// said: a file removed since the scan goes without a call, one the shell could not move stays
// and is named once at the end; a cancel in the shell's warning keeps the rest.
TEST_F(Sweeper, DeleteRemovesARowExactlyWhenItsFileIsGone) {
    Scan(dir.Folder());
    std::filesystem::remove(dir.Path() / "sub/old.lnk"); // gone since the scan
    shell.failing.insert(dir.Native("bad.LNK"));         // held open by another program
    s.ActionDeleteExecute();
    EXPECT_TRUE(shell.moved.empty());
    EXPECT_EQ(Shown(), (Paths{dir.Native("good.lnk"), dir.Native("bad.LNK")}));
    EXPECT_EQ(Master(), Shown());
    ASSERT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.questions[1], "1 shortcut file was not moved to the recycle bin and stays "
                                 "where it is:\r\n" +
                                     dir.Native("bad.LNK") + "|warning");
    EXPECT_EQ(view.status, "0 shortcut files moved to the recycle bin.");

    // Cancelled: nothing goes, and what stays is said.
    view.questions.clear();
    shell.failing.clear();
    shell.cancel = true;
    s.ActionDeleteExecute();
    EXPECT_EQ(rows.Count(), 2);
    ASSERT_EQ(view.questions.size(), 2u);
    EXPECT_NE(view.questions[1].find(dir.Native("bad.LNK")), std::string::npos);

    // Everything went: nothing more is said than the question.
    view.questions.clear();
    shell.cancel = false;
    s.ActionDeleteExecute();
    EXPECT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(Shown(), (Paths{dir.Native("good.lnk")}));
    EXPECT_EQ(view.status, "1 shortcut file moved to the recycle bin.");
}

// Many files go in a few shell calls, with the window's messages handled and the progress
// shown between them; the message names the first few files that stayed.
TEST_F(Sweeper, ALongDeleteMovesFilesInGroupsAndShowsHowFarItIs) {
    TempDir many;
    for (int i = 0; i < 450; ++i) {
        const std::string rel = "s" + std::to_string(i) + ".lnk";
        many.WriteFile(rel, "L");
        reader.targets[many.Native(rel)] = many.Native("gone.exe");
        if (i % 100 == 7)
            shell.failing.insert(many.Native(rel));
    }
    Scan(many.Folder());
    ASSERT_EQ(rows.Count(), 450);
    std::vector<std::string> progress;
    view.pump = [&](int) { progress.push_back(view.status); };
    s.ActionDeleteExecute();
    EXPECT_EQ(rows.Count(), 5);
    EXPECT_EQ(shell.moved.size(), 445u);
    EXPECT_EQ(progress,
              (std::vector<std::string>{"Moving shortcuts to the recycle bin... 200 of 450",
                                        "Moving shortcuts to the recycle bin... 400 of 450",
                                        "Moving shortcuts to the recycle bin... 450 of 450"}));
    // Three calls, and at most one more for each file the shell stopped at.
    EXPECT_LE(shell.calls, 3 + 5);
    ASSERT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.questions[1].rfind("5 shortcut files were not moved", 0), 0u);
    EXPECT_EQ(std::count(view.questions[1].begin(), view.questions[1].end(), '\n'), 5);
}

// A No in the shell's warning keeps that file and the Delete goes on with the rest; a Cancel
// stops it. Whenever it ends, the rows of files that are gone go (also of files removed by
// hand meanwhile) and the message names only the files still there.
TEST_F(Sweeper, DeleteGoesOnPastANoAndStopsAtACancel) {
    TempDir many;
    const auto name = [&](int i) { return many.Native("s" + std::to_string(i) + ".lnk"); };
    for (int i = 0; i < 30; ++i) {
        many.WriteFile("s" + std::to_string(i) + ".lnk", "L");
        reader.targets[name(i)] = many.Native("gone.exe");
    }
    Scan(many.Folder());
    ASSERT_EQ(rows.Count(), 30);
    shell.declined = {name(25), name(10)}; // rows are visited from the last one
    s.ActionDeleteExecute();
    EXPECT_EQ(shell.moved.size(), 28u);
    EXPECT_EQ(Shown(), (Paths{name(10), name(25)}));
    ASSERT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.questions[1].rfind("2 shortcut files were not moved", 0), 0u);

    // Cancel at the first of two; the second is removed by hand meanwhile, and goes too.
    shell.declined.clear();
    shell.cancelAt = name(25);
    shell.duringMove = [&](const std::string&) { std::filesystem::remove(ToPosixPath(name(10))); };
    view.questions.clear();
    s.ActionDeleteExecute();
    EXPECT_EQ(Shown(), (Paths{name(25)}));
    EXPECT_EQ(Master(), Shown());
    ASSERT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.questions[1], "1 shortcut file was not moved to the recycle bin and stays "
                                 "where it is:\r\n" +
                                     name(25) + "|warning");
}

TEST_F(Sweeper, DeleteUnderATextFilterRemovesExactlyTheShownCheckedRows) {
    Scan(dir.Folder());
    s.EditFilterChange("SUB");
    ASSERT_EQ(rows.Count(), 1);
    s.ActionDeleteExecute();
    EXPECT_EQ(shell.moved, (std::vector<std::string>{dir.Native("sub/old.lnk")}));
    s.ComboBoxShowChange(kShowAll);
    EXPECT_EQ(Shown(), (Paths{dir.Native("good.lnk"), dir.Native("bad.LNK")}));
}

TEST_F(Sweeper, StatusCountsTheCurrentRowsAndEnablesTheCommands) {
    const auto enabled = [this](TActionId id) { return s.ActionEnabled(id); };
    s.UpdateStatus();
    EXPECT_TRUE(enabled(TActionId::ScanShortcuts));
    EXPECT_FALSE(enabled(TActionId::Delete) || enabled(TActionId::SelectInvalid) ||
                 enabled(TActionId::Selectnone) || enabled(TActionId::Properties));

    Scan(dir.Folder());
    view.counterUpdates = 0;
    s.ActionList.Update(); // an idle pass: one count for every command
    EXPECT_EQ(view.counterUpdates, 1);
    EXPECT_EQ(view.total, 3);
    EXPECT_EQ(view.invalid, 2);
    EXPECT_EQ(view.checked, 2);
    EXPECT_TRUE(enabled(TActionId::Delete) && enabled(TActionId::SelectInvalid));
    EXPECT_FALSE(enabled(TActionId::Properties));

    // Select invalid unchecks a valid row checked by hand; Select none clears them all.
    rows.SetChecked(RowOf("good.lnk"), true);
    EXPECT_TRUE(s.ActionList[TActionId::SelectInvalid].Execute());
    EXPECT_FALSE(rows.Checked(RowOf("good.lnk")));
    EXPECT_TRUE(rows.Checked(RowOf("bad.LNK")));
    EXPECT_TRUE(s.ActionList[TActionId::Selectnone].Execute());
    s.UpdateStatus();
    EXPECT_EQ(view.checked, 0);
    // Delete is now disabled and does not run: no question is asked.
    EXPECT_FALSE(s.ActionList[TActionId::Delete].Execute());
    EXPECT_TRUE(view.questions.empty());

    // Counts follow the view, not the master list.
    s.ComboBoxShowChange(kShowValid);
    s.UpdateStatus();
    EXPECT_EQ(view.total, 1);
    EXPECT_EQ(view.invalid, 0);
    EXPECT_FALSE(enabled(TActionId::SelectInvalid));
    EXPECT_TRUE(enabled(TActionId::ScanShortcuts));
}

// Properties of a shortcut removed since the scan: the user is told, and no sheet opens.
TEST_F(Sweeper, PropertiesOfAFileThatIsGoneSaysSoAndOpensNothing) {
    Scan(dir.Folder());
    const int old = RowOf("sub/old.lnk");
    rows.Select(old);
    rows.Focus(old);
    std::filesystem::remove(dir.Path() / "sub/old.lnk");
    s.ActionPropertiesExecute();
    EXPECT_TRUE(shell.properties.empty());
    EXPECT_EQ(view.questions,
              (std::vector<std::string>{"The shortcut file is no longer there:\r\n" +
                                        dir.Native("sub/old.lnk") + "|warning"}));
}

TEST_F(Sweeper, ClickAndPropertiesUseTheFocusedRow) {
    Scan(dir.Folder());
    s.ListViewFilesClick(); // nothing highlighted: the panel keeps the scan text
    s.ActionPropertiesExecute();
    EXPECT_EQ(view.info, Done(3));
    EXPECT_TRUE(shell.properties.empty());

    const int good = RowOf("good.lnk"), old = RowOf("sub/old.lnk");
    rows.Select(good);
    rows.Select(old);
    rows.Focus(old);
    s.ListViewFilesClick();
    EXPECT_EQ(view.icon, TInfoIcon::Error);
    EXPECT_EQ(view.info,
              "Location: " + dir.Native("sub/") + "\rShortcut: " + dir.Native("sub/old.lnk") +
                  "\rTarget: " + dir.Native("gone/y.exe") +
                  "\rThe shortcut points to an invalid target.\rReason: target not found");
    // The double-click does not wait for the command's state.
    EXPECT_FALSE(s.ActionEnabled(TActionId::Properties));
    s.ActionPropertiesExecute(); // the double-click handler
    EXPECT_EQ(shell.properties, (std::vector<std::string>{dir.Native("sub/old.lnk")}));

    rows.Focus(good);
    s.ListViewFilesClick();
    EXPECT_EQ(view.icon, TInfoIcon::Good);
    EXPECT_NE(view.info.find("\rThe shortcut points to a valid target."), std::string::npos);
    rows.Focus(-1);
    s.ActionPropertiesExecute();
    EXPECT_EQ(shell.properties.size(), 1u);
}

// Handlers run from inside the scan's message processing.
TEST_F(Sweeper, ViewsClicksAndCheckCommandsDuringAScan) {
    bool done = false;
    view.pump = [&](int) {
        if (done || rows.Count() == 0)
            return;
        done = true;
        s.EditFilterChange("no such text");
        EXPECT_EQ(rows.Count(), 0);
        s.ComboBoxShowChange(kShowInvalid);
        s.ActionSelectnoneExecute();
        rows.Select(0);
        rows.Focus(0);
        s.ListViewFilesClick();
        s.ActionSelectInvalidExecute();
        s.UpdateStatus();
    };
    Scan(dir.Folder());
    EXPECT_TRUE(done);
    EXPECT_EQ(Master(), All());
    // Rows found later were appended to the view shown then, so nothing is lost or doubled.
    EXPECT_LE(rows.Count(), 3);
    EXPECT_EQ(view.info, Done(rows.Count()));
}

TEST_F(Sweeper, DeleteDuringAScanRemovesWhatWasFoundSoFar) {
    bool done = false;
    view.pump = [&](int) {
        if (!done && rows.Count() > 0 && rows.Checked(rows.Count() - 1)) {
            done = true;
            s.ActionDeleteExecute();
            EXPECT_EQ(shell.moved.size(), 1u);
        }
    };
    Scan(dir.Folder());
    ASSERT_TRUE(done);
    EXPECT_EQ(s.Inventory().Master().Count(), 2);
    EXPECT_EQ(Shown(), Master());
    EXPECT_EQ(Master().count(shell.moved[0]), 0u);
}

TEST_F(Sweeper, AScanStartedInsideAScanReplacesItsResults) {
    TempDir other;
    other.WriteFile("one.lnk", "L");
    other.WriteFile("deep/two.lnk", "L");
    bool started = false;
    view.pump = [&](int) {
        if (started)
            return;
        started = true;
        shell.picks.push_back(std::nullopt); // a cancelled inner picker changes nothing
        s.ScanShortcuts();
        EXPECT_EQ(s.Scanning(), 1);
        Scan(other.Folder());
        EXPECT_EQ(rows.Count(), 2);
    };
    Scan(dir.Folder());
    EXPECT_EQ(Shown(), (Paths{other.Native("one.lnk"), other.Native("deep/two.lnk")}));
    EXPECT_EQ(view.info, Done(2));
    EXPECT_EQ(s.Scanning(), 0);
}

// The shell's move processes messages: what runs then must not make Delete touch the wrong
// row or a destroyed record.
TEST_F(Sweeper, DeleteFindsItsRowsAgainAfterEachMove) {
    Scan(dir.Folder());
    int moves = 0;
    shell.duringMove = [&](const std::string&) {
        if (++moves == 1)
            s.ComboBoxShowChange(kShowAll); // rebuilds every row: new indices
    };
    s.ActionDeleteExecute();
    EXPECT_EQ(shell.moved.size(), 2u);
    EXPECT_EQ(Shown(), (Paths{dir.Native("good.lnk")}));
    EXPECT_EQ(Master(), (Paths{dir.Native("good.lnk")}));

    // A new scan run during the first move throws the records away: Delete stops there.
    SetUp();
    Scan(dir.Folder());
    shell.moved.clear();
    shell.duringMove = [&](const std::string&) {
        shell.duringMove = nullptr;
        Scan(dir.Folder());
    };
    s.ActionDeleteExecute();
    EXPECT_EQ(shell.moved.size(), 2u); // one call moved both
    EXPECT_EQ(s.Inventory().Master().Count(), 3);
    EXPECT_EQ(Shown(), Master());
}

TEST_F(Sweeper, ClosingDuringAScanStopsItAndDefersDestruction) {
    EXPECT_TRUE(s.RequestClose()); // idle: destroy at once

    int closes = 0;
    s.SetOnDeferredClose([&] {
        ++closes;
        EXPECT_EQ(s.Scanning(), 0);
        sweeper.reset(); // what the window's destruction does
    });
    view.pump = [&](int) {
        if (rows.Count() == 1 && closes == 0 && !s.ClosePending()) {
            EXPECT_FALSE(s.RequestClose());
            Scan(dir.Folder()); // ignored once the close is pending
        }
    };
    Scan(dir.Folder());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(sweeper, nullptr);
    EXPECT_EQ(rows.Count(), 1);
    EXPECT_EQ(view.info, Done(1));
    EXPECT_EQ(shell.pickerCalls.size(), 1u);
}

TEST_F(Sweeper, ClosingWhileThePickerOrTheQuestionIsOpenWaitsForThem) {
    int closes = 0;
    s.SetOnDeferredClose([&] { ++closes; });
    shell.duringPicker = [&] { EXPECT_FALSE(s.RequestClose()); };
    Scan(dir.Folder());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(rows.Count(), 0); // the folder picked is not scanned
}

TEST_F(Sweeper, ClosingDuringDeleteLetsItFinishFirst) {
    Scan(dir.Folder());
    int closes = 0;
    s.SetOnDeferredClose([&] {
        ++closes;
        EXPECT_EQ(shell.moved.size(), 2u);
    });
    view.duringQuestion = [&] { EXPECT_FALSE(s.RequestClose()); };
    s.ActionDeleteExecute();
    EXPECT_EQ(closes, 1);
}

// Repair's platform for the model tree: every folder of drive C: holds the old targets' names
// (found by name only: the shortcuts' bytes are no shortcuts), and file steps that fail at the
// first, counted.
class RepairPlatform : public IShortcutFiles, public ISearchFileSystem, public IRepairFiles {
public:
    int reads = 0;
    bool ReadPrefix(const std::string&, std::vector<unsigned char>& bytes) override {
        bytes = {'L'};
        return true;
    }
    bool LookupEnvironment(std::string_view, std::string_view, std::string&) override {
        return false;
    }
    bool DecodeAnsi(std::string_view, std::string&) override { return false; }
    bool List(const std::string&, std::vector<TSearchEntry>& entries) override {
        entries = {{.name = "x.exe"}, {.name = "y.exe"}};
        return true;
    }
    std::vector<TSearchVolume> Volumes() override { return {{'C', 1, "System", 3}}; }
    bool Read(const std::string&, std::vector<unsigned char>&) override {
        ++reads;
        return false;
    }
    bool Create(const std::string&, const std::vector<unsigned char>&, std::string&) override {
        return false;
    }
    std::vector<std::string> Recycle(const std::vector<std::string>& paths) override {
        return std::vector<std::string>(paths.size(), "no recycle bin");
    }
    bool Rename(const std::string&, const std::string&, std::string&) override { return false; }
    void Remove(const std::string&) override {}
};

TEST_F(Sweeper, RepairStoppedByEscapeChangesNothingAndACandidateByNameWaitsForTheUsersCheck) {
    FakeProbes probes; // only the good shortcut's target is there
    probes.files.insert(dir.Native("app/tool.exe"));
    reader.targets[dir.Native("bad.LNK")] = "C:\\Apps\\x.exe";
    reader.targets[dir.Native("sub/old.lnk")] = "C:\\Apps\\y.exe";
    RepairPlatform platform;
    TShortcutSweeper repairing(view, rows, shell, reader, probes);
    repairing.SetRepairSystem({&platform, &platform, &platform});
    shell.picks.push_back(dir.Folder());
    repairing.ScanShortcuts();
    ASSERT_EQ(rows.Count(), 3);
    const int bad = RowOf("bad.LNK"), old = RowOf("sub/old.lnk");
    const auto repair = [&] { return repairing.ActionList[TActionId::Repair].Execute(); };

    view.pump = [&](int) { repairing.FormKeyDown(TShortcutSweeper::TKey::Escape); };
    ASSERT_TRUE(repair());
    EXPECT_TRUE(view.questions.empty());
    for (int row : {bad, old}) {
        EXPECT_TRUE(rows.Checked(row));
        EXPECT_EQ(rows.Text(row, kMovedToColumn), "");
    }

    // Found only by name: shown, unchecked, nothing asked.
    view.pump = nullptr;
    ASSERT_TRUE(repair());
    EXPECT_TRUE(view.questions.empty());
    EXPECT_EQ(rows.Text(bad, kMovedToColumn).rfind("C:\\x.exe (weak: ", 0), 0u)
        << rows.Text(bad, kMovedToColumn);
    EXPECT_FALSE(rows.Checked(bad) || rows.Checked(old));
    repairing.UpdateStatus(); // the idle pass
    EXPECT_FALSE(repairing.ActionEnabled(TActionId::Repair));
    EXPECT_EQ(platform.reads, 0);
    rows.Select(bad);
    rows.Focus(bad);
    repairing.ListViewFilesClick();
    EXPECT_TRUE(view.info.ends_with("\rMoved to: " + rows.Text(bad, kMovedToColumn))) << view.info;

    // Checked again after being seen: asked once; a No re-points nothing, a Yes tries, and a
    // step that fails names the shortcut and leaves its row as it was.
    rows.SetChecked(bad, true);
    view.answer = false;
    ASSERT_TRUE(repair());
    EXPECT_EQ(view.questions, std::vector<std::string>{RepairQuestionText(1, 0) + "|yes/no"});
    EXPECT_EQ(platform.reads, 0);
    view.answer = true;
    ASSERT_TRUE(repair());
    EXPECT_EQ(platform.reads, 1);
    EXPECT_EQ(view.questions.back(),
              NotRepairedText({dir.Native("bad.LNK") + " (the shortcut could not be read)"}) +
                  "|warning");
    EXPECT_TRUE(rows.Data(bad)->Invalid);
    EXPECT_TRUE(rows.Checked(bad));
}

} // namespace

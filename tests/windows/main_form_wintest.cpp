// The main window under Wine: its layout read back from the real controls, and the commands
// driven with real messages over a temporary tree of shortcuts written by the shell.
#include "base/errors.h"
#include "base/handles.h"
#include "inventory/shortcut_item.h"
#include "lnk/link_reader.h"
#include "lnk/lnk_builder.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "support/dialog_watchdog_win32.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"
#include "windows/main_form.h"
#include "windows/main_form_layout.h"
#include "windows/properties_box.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// Writes a 24-bit Windows bitmap of one colour.
void WriteBitmap(const std::filesystem::path& path, int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    std::vector<char> row(static_cast<std::size_t>(stride), '\xE0');
    for (int y = 0; y < height; ++y)
        out.write(row.data(), stride);
}

void WriteSettings(const std::filesystem::path& path, const std::string& text) {
    std::string stored;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        stored += InvertBytes(text.substr(start, end - start)) + "\r\n";
        start = end + 1;
    }
    std::ofstream(path, std::ios::binary) << stored;
}

// The picker answers with a set folder; recycling goes to the real shell; links and
// Properties are recorded.
class TestShell : public IShellServices {
public:
    std::string folder;
    bool cancel = false;
    bool failLinks = false; // OpenLink throws
    std::vector<std::string> opened, properties, recycled;
    bool PickFolder(WindowHandle, std::string& path, const std::string&) override {
        if (cancel)
            return false;
        path = folder;
        return true;
    }
    bool MoveToRecycleBin(WindowHandle owner, const std::vector<std::string>& paths,
                          bool confirm) override {
        recycled.insert(recycled.end(), paths.begin(), paths.end());
        return SystemShellServices().MoveToRecycleBin(owner, paths, confirm);
    }
    void ShowFileProperties(const std::string& path) override { properties.push_back(path); }
    void OpenLink(const std::string& link) override {
        if (failLinks)
            throw Exception("The link could not be opened");
        opened.push_back(link);
    }
};

// The system's reader, or an error for every shortcut while `fail` is set.
class FailingReader : public ILinkReader {
public:
    bool fail = false;
    std::string ReadTarget(const std::string& path) override {
        if (fail)
            throw EReadError("Cannot read \"" + path + "\"");
        return system->ReadTarget(path);
    }
    std::unique_ptr<ILinkReader> system = CreateSystemLinkReader();
};

struct Box {
    std::string text, caption;
    unsigned flags;
};

class MainForm : public ::testing::Test {
protected:
    TComApartment com;
    TempDir program;
    TempDir tree;
    TestShell shell;
    FailingReader reader;
    std::vector<Box> boxes;
    int answer = IDYES;
    bool propertiesSheet = true; // the platform check's double: the shell has a sheet
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        WriteBitmap(program.Path() / "UI.bmp", 788, 584);
        WriteSettings(program.Path() / "lamecore.dll",
                      "[SYSTEM]\nName=Sweeper Test\nHelpHomePageLink=https://home.example/\n"
                      "HelpMoreFreeToolsLink=https://more.example/\n"
                      "HelpSupportLink=https://support.example/");
        shell.folder = tree.Folder();
    }
    void TearDown() override {
        form.reset();
        Drain();
    }
    void Open() {
        TMainFormSetup setup;
        setup.title = "Sweeper Test";
        setup.programFolder = program.Folder();
        setup.shell = &shell;
        setup.linkReader = &reader;
        setup.messageBox = [this](WindowHandle, const std::string& text, const std::string& caption,
                                  unsigned flags) {
            boxes.push_back({text, caption, flags});
            return answer;
        };
        setup.hasPropertiesSheet = [this] { return propertiesSheet; };
        form = std::make_unique<TMainForm>(setup);
        form->Show();
        Drain();
    }
    // Handles what is pending, then the idle pass, as the message loop does.
    void Drain() {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            if (form && form->PreTranslate(&msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (form && form->Exists())
            form->Idle();
    }
    // A control by its control id of the layout tables.
    HWND Ctl(int id) { return ::GetDlgItem(form->Handle(), id); }
    RECT ClientRectOf(HWND control) {
        RECT r;
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void Link(const std::string& rel, const std::string& target) {
        std::filesystem::create_directories((tree.Path() / rel).parent_path());
        ASSERT_TRUE(WriteShortcut(tree.Native(rel), target)) << rel;
    }
    // Two valid and two broken shortcuts, one more that the scan must not see.
    void MakeTree() {
        tree.WriteFile("bin/tool.exe");
        Link("Tool.lnk", tree.Native("bin/tool.exe"));
        Link("sub/Folder.lnk", tree.Native("bin"));
        tree.WriteFile("gone.exe");
        Link("Gone.lnk", tree.Native("gone.exe"));
        Link("sub/deep/Lost.lnk", tree.Native("gone.exe"));
        Link("hid$den/Skipped.lnk", tree.Native("bin/tool.exe"));
        std::filesystem::remove(tree.Path() / "gone.exe");
    }
    std::string Label(const char* name) { return form->GraphicText(name); }
    int Rows() { return form->Rows().Count(); }
    void SetFilter(const std::string& text) {
        ::SendMessageA(form->EditFilter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Drain();
    }
    void ChooseShow(int position) {
        HWND box = form->ComboBoxShow;
        ::SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        ::SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(box));
        Drain();
    }
    void Click(HWND button) {
        ::SendMessageA(button, BM_CLICK, 0, 0);
        Drain();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < Rows(); ++i)
            names.push_back(form->Rows().Text(i, 0));
        return names;
    }
};

TEST_F(MainForm, LayoutCaptionAndStartState) {
    Open();
    HWND hwnd = form->Handle();
    char caption[64] = {};
    ::GetWindowTextA(hwnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Sweeper Test");

    RECT client;
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 783);
    EXPECT_EQ(client.bottom, 579);
    const LONG style = ::GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    RECT outer;
    ::GetWindowRect(hwnd, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    const struct {
        const char* name;
        HWND control;
        int left, top, width, height;
    } children[] = {
        {"ListViewFiles", form->ListViewFiles, 24, 106, 737, 287},
        {"EditFilter", form->EditFilter, 512, 80, 113, 21},
        {"ComboBoxShow", form->ComboBoxShow, 672, 80, 89, 21},
        {"suiImageButtonProperties", form->suiImageButtonProperties->Handle(), 24, 400, 86, 77},
        {"suiImageButtonSelectnone", form->suiImageButtonSelectnone->Handle(), 216, 400, 86, 77},
        {"suiImageButtonSelectInvalid", form->suiImageButtonSelectInvalid->Handle(), 120, 400, 86,
         77},
        {"suiImageButtonDelete", form->suiImageButtonDelete->Handle(), 312, 400, 86, 77},
        {"suiImageButtonRepair", form->suiImageButtonRepair->Handle(), 408, 400, 86, 77},
        {"suiImageButtonScanShortcuts", form->suiImageButtonScanShortcuts->Handle(), 672, 400, 86,
         77},
        {"suiImageButtonMore", form->suiImageButtonMore->Handle(), 600, 3, 154, 30},
        {"ButtonHelp", form->ButtonHelp->Handle(), 12, 14, 34, 35},
    };
    HWND previous = nullptr;
    for (const auto& c : children) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.control);
        const RECT r = ClientRectOf(c.control);
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.right - r.left, c.width);
        // A closed drop-down list is as high as its font's line allows; Wine's stand-in
        // for Tahoma makes it up to two pixels taller.
        if (std::string(c.name) == "ComboBoxShow")
            EXPECT_NEAR(r.bottom - r.top, c.height, 2);
        else
            EXPECT_EQ(r.bottom - r.top, c.height);
        // Tab order follows the table (the order of the child windows).
        EXPECT_TRUE(::GetWindowLongA(c.control, GWL_STYLE) & WS_TABSTOP);
        if (previous) {
            EXPECT_EQ(::GetWindow(previous, GW_HWNDNEXT), c.control);
        }
        previous = c.control;
    }

    // Painted labels at their places; those that size themselves are one line of 13 pixels.
    const struct {
        const char* name;
        int left, top;
        const char* text;
    } labels[] = {{"LabelShow", 632, 83, "Show:"},          {"LabelFilter", 472, 83, "Filter:"},
                  {"LabelTotal", 616, 496, "Total:"},       {"LabelInvalid", 616, 520, "Invalid:"},
                  {"LabelSelected", 616, 544, "Selected:"}, {"LabelSta", 24, 83, "   "}};
    for (const auto& l : labels) {
        SCOPED_TRACE(l.name);
        TBounds b;
        ASSERT_TRUE(form->GraphicBounds(l.name, b));
        EXPECT_EQ(b.left, l.left);
        EXPECT_EQ(b.top, l.top);
        EXPECT_NEAR(b.height, 13, 1); // one line of the font Wine puts in Tahoma's place
        EXPECT_EQ(Label(l.name), l.text);
    }
    TBounds info;
    ASSERT_TRUE(form->GraphicBounds("LabelInfo", info));
    EXPECT_EQ(info.width, 457);
    EXPECT_EQ(info.height, 78);
    EXPECT_EQ(Label("LabelInfo"), "Welcome to Sweeper Test!");
    EXPECT_TRUE(form->HasBackground());
    EXPECT_TRUE(form->GraphicVisible("ImageIconInfo"));
    EXPECT_FALSE(form->GraphicVisible("ImageIconGood"));
    EXPECT_FALSE(form->GraphicVisible("ImageIconError"));

    // The list: report view, check boxes, whole rows, several rows, no caption editing.
    HWND list = form->ListViewFiles;
    const LONG listStyle = ::GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_FALSE(listStyle & LVS_SINGLESEL);
    EXPECT_FALSE(listStyle & LVS_EDITLABELS);
    const auto ex = ::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(ex & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
    const int widths[] = {200, 300, 300, 400, 400};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(::SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0), widths[i]);
    HWND show = form->ComboBoxShow;
    EXPECT_EQ(::SendMessageA(show, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageA(show, CB_GETCURSEL, 0, 0), 0);

    // After the first idle pass: counters 0, only Scan enabled.
    EXPECT_EQ(Label("LabelTotalCount"), "0");
    EXPECT_EQ(Label("LabelInvalidCount"), "0");
    EXPECT_EQ(Label("LabelSelectedCount"), "0");
    EXPECT_TRUE(::IsWindowEnabled(form->suiImageButtonScanShortcuts->Handle()));
    for (TActionId id : {TActionId::Properties, TActionId::Selectnone, TActionId::SelectInvalid,
                         TActionId::Delete, TActionId::Repair})
        EXPECT_FALSE(::IsWindowEnabled(Ctl(kIdActionBase + static_cast<int>(id))));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainForm, ScanFillsRowsAndViewsRebuildThem) {
    MakeTree();
    Open();
    Click(form->suiImageButtonScanShortcuts->Handle());
    ASSERT_EQ(Rows(), 4);
    int invalid = 0;
    for (int i = 0; i < Rows(); ++i) {
        TShortcutItem* r = form->Rows().Data(i);
        ASSERT_TRUE(r);
        EXPECT_EQ(form->Rows().Checked(i), r->Invalid) << r->Name;
        EXPECT_EQ(form->Rows().Image(i), r->Invalid ? 1 : 0) << r->Name;
        EXPECT_EQ(form->Rows().Text(i, 3), r->Shortcut);
        invalid += r->Invalid;
    }
    EXPECT_EQ(invalid, 2);
    EXPECT_EQ(Label("LabelSta"), "4 shortcut files founded.");
    EXPECT_EQ(Label("LabelInfo"),
              "4 shortcut files founded. Select one or more shortcuts for additional information.");
    EXPECT_EQ(Label("LabelTotalCount"), "4");
    EXPECT_EQ(Label("LabelInvalidCount"), "2");
    EXPECT_EQ(Label("LabelSelectedCount"), "2");
    EXPECT_TRUE(::IsWindowEnabled(form->suiImageButtonDelete->Handle()));
    EXPECT_FALSE(::IsWindowEnabled(form->suiImageButtonProperties->Handle()));

    SetFilter("DEEP");
    EXPECT_EQ(Names(), std::vector<std::string>{"Lost"});
    EXPECT_TRUE(form->Rows().Checked(0)); // a rebuilt row keeps its mark
    EXPECT_EQ(Label("LabelTotalCount"), "1");
    ChooseShow(2);
    EXPECT_EQ(Rows(), 2);
    for (int i = 0; i < Rows(); ++i)
        EXPECT_FALSE(form->Rows().Data(i)->Invalid);
    EXPECT_FALSE(::IsWindowEnabled(form->suiImageButtonSelectInvalid->Handle()));
    const TShortcutItem* kept = form->Rows().Data(0);
    form->Rows().SetChecked(0, true); // a hand-made mark ...
    ChooseShow(0);
    EXPECT_EQ(Rows(), 4);
    for (int i = 0; i < Rows(); ++i) // ... survives the rebuild
        EXPECT_EQ(form->Rows().Checked(i),
                  form->Rows().Data(i)->Invalid || form->Rows().Data(i) == kept);

    // Select none, then Select invalid restores exactly the invalid rows.
    Click(form->suiImageButtonSelectnone->Handle());
    EXPECT_EQ(Label("LabelSelectedCount"), "0");
    EXPECT_FALSE(::IsWindowEnabled(form->suiImageButtonDelete->Handle()));
    form->Rows().SetChecked(0, true);
    Click(form->suiImageButtonSelectInvalid->Handle());
    for (int i = 0; i < Rows(); ++i)
        EXPECT_EQ(form->Rows().Checked(i), form->Rows().Data(i)->Invalid);

    // Cancelling the picker keeps everything.
    shell.cancel = true;
    Click(form->suiImageButtonScanShortcuts->Handle());
    EXPECT_EQ(Rows(), 4);
    EXPECT_EQ(Label("LabelSta"), "4 shortcut files founded.");
}

TEST_F(MainForm, DeleteAnsweredNoKeepsAndYesRecyclesTheCheckedFiles) {
    MakeTree();
    Open();
    Click(form->suiImageButtonScanShortcuts->Handle());
    ASSERT_EQ(Rows(), 4);
    // Keep one invalid shortcut unchecked.
    int keep = -1;
    for (int i = 0; i < Rows(); ++i)
        if (form->Rows().Data(i)->Name == "Lost")
            keep = i;
    ASSERT_GE(keep, 0);
    form->Rows().SetChecked(keep, false);

    answer = IDNO;
    Click(form->suiImageButtonDelete->Handle());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Sweeper Test");
    EXPECT_EQ(boxes[0].flags, 36u);
    EXPECT_EQ(Rows(), 4);
    EXPECT_TRUE(shell.recycled.empty());

    answer = IDYES;
    Click(form->suiImageButtonDelete->Handle());
    EXPECT_EQ(shell.recycled, std::vector<std::string>{tree.Native("Gone.lnk")});
    EXPECT_FALSE(std::filesystem::exists(tree.Path() / "Gone.lnk"));
    for (const char* other :
         {"Tool.lnk", "sub/Folder.lnk", "sub/deep/Lost.lnk", "hid$den/Skipped.lnk", "bin/tool.exe"})
        EXPECT_TRUE(std::filesystem::exists(tree.Path() / other)) << other;
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(form->Inventory().Master().Count(), 3);
    EXPECT_EQ(Label("LabelSelectedCount"), "0");
}

TEST_F(MainForm, RowClickFillsTheInfoPanelAndDoubleClickOpensProperties) {
    MakeTree();
    Open();
    Click(form->suiImageButtonScanShortcuts->Handle());
    HWND list = form->ListViewFiles;
    HWND hwnd = form->Handle();
    auto clickRow = [&](int row, UINT code) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&state));
        NMITEMACTIVATE nm{};
        nm.hdr.hwndFrom = list;
        nm.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
        nm.hdr.code = code;
        nm.iItem = row;
        ::SendMessageA(hwnd, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        Drain();
    };
    // A click with nothing selected changes nothing.
    const std::string before = Label("LabelInfo");
    NMHDR empty{list, static_cast<UINT_PTR>(::GetDlgCtrlID(list)), static_cast<UINT>(NM_CLICK)};
    ::SendMessageA(hwnd, WM_NOTIFY, empty.idFrom, reinterpret_cast<LPARAM>(&empty));
    EXPECT_EQ(Label("LabelInfo"), before);
    EXPECT_TRUE(form->GraphicVisible("ImageIconInfo"));

    int bad = -1;
    for (int i = 0; i < Rows(); ++i)
        if (form->Rows().Data(i)->Invalid)
            bad = i;
    ASSERT_GE(bad, 0);
    clickRow(bad, NM_CLICK);
    const TShortcutItem* r = form->Rows().Data(bad);
    EXPECT_EQ(Label("LabelInfo"), "Location: " + r->Location + "\rShortcut: " + r->Shortcut +
                                      "\rTarget: " + r->Target +
                                      "\rThe shortcut points to an invalid target." +
                                      "\rReason: target not found on C:");
    EXPECT_TRUE(form->GraphicVisible("ImageIconError"));
    EXPECT_FALSE(form->GraphicVisible("ImageIconInfo"));
    EXPECT_FALSE(form->GraphicVisible("ImageIconGood"));
    EXPECT_TRUE(::IsWindowEnabled(form->suiImageButtonProperties->Handle()));

    // Where the platform has the shell's sheet, the shell shows it.
    clickRow(bad, NM_DBLCLK);
    EXPECT_EQ(shell.properties, std::vector<std::string>{r->Shortcut});
    Click(form->suiImageButtonProperties->Handle());
    EXPECT_EQ(shell.properties.size(), 2u);
}

// What a timer saw of the program's own Properties box while it was open, before it closed
// the box with a key.
struct SeenBox {
    int count = 0;
    std::string caption, target, comment;
    HWND owner = nullptr;
    WPARAM key = VK_ESCAPE; // the key that closes the next box
};
SeenBox seen;

void CALLBACK CloseOwnProperties(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::FindWindowA("TFormProperties", nullptr);
    if (!box || !::IsWindowVisible(box))
        return;
    auto* properties = dynamic_cast<TFormProperties*>(TWindow::FromHandle(box));
    if (!properties)
        return;
    ++seen.count;
    char caption[256] = {};
    ::GetWindowTextA(box, caption, sizeof caption);
    seen.caption = caption;
    seen.target = properties->Value("Target:");
    seen.comment = properties->Value("Comment:");
    seen.owner = ::GetWindow(box, GW_OWNER);
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, seen.key, 0);
}

TEST_F(MainForm, WithoutTheShellsSheetPropertiesOpensTheProgramsOwnBox) {
    lnkb::Link link;
    link.linkInfo = lnkb::LinkInfo({"C:\\Tools\\tool.exe"});
    link.strings = {u"Für Ünïcode 日本", u"", u"C:\\Tools"};
    const lnkb::Bytes bytes = link.Build();
    tree.WriteFile("Own.lnk", std::string(bytes.begin(), bytes.end()));
    propertiesSheet = false;
    Open();
    Click(form->suiImageButtonScanShortcuts->Handle());
    ASSERT_EQ(Rows(), 1);
    HWND list = form->ListViewFiles;
    LVITEMA state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    Drain();

    seen = SeenBox{};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, CloseOwnProperties);
    // A double click on the row, closed with Escape; then the button, closed with Enter.
    NMITEMACTIVATE nm{};
    nm.hdr.hwndFrom = list;
    nm.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    nm.hdr.code = NM_DBLCLK;
    ::SendMessageA(form->Handle(), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(seen.count, 1);
    seen.key = VK_RETURN;
    Click(form->suiImageButtonProperties->Handle());
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(seen.count, 2);
    EXPECT_EQ(seen.caption, "Own Properties");
    EXPECT_EQ(seen.target, "C:\\Tools\\tool.exe");
    EXPECT_EQ(seen.comment, "Für Ünïcode 日本");
    EXPECT_EQ(seen.owner, form->Handle());
    EXPECT_TRUE(shell.properties.empty()); // the shell was not asked
    EXPECT_TRUE(boxes.empty());            // and no error box
    EXPECT_FALSE(::FindWindowA("TFormProperties", nullptr));
    EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
}

TEST_F(MainForm, EscapeEndsARunningScanButNotALaterOne) {
    for (int i = 0; i < 40; ++i)
        Link("many/s" + std::to_string(i) + ".lnk", tree.Native("nowhere.exe"));
    Open();
    // Escape while idle has no effect on the next scan.
    ::PostMessageA(form->ListViewFiles, WM_KEYDOWN, VK_ESCAPE, 0);
    Drain();
    Click(form->suiImageButtonScanShortcuts->Handle());
    EXPECT_EQ(Rows(), 40);

    // Escape waiting in the queue is handled inside the walk and stops it.
    ::PostMessageA(form->ListViewFiles, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(form->ExecuteAction(TActionId::ScanShortcuts));
    EXPECT_LT(Rows(), 40);
    EXPECT_EQ(Label("LabelSta"), std::to_string(Rows()) + " shortcut files founded.");
}

TEST_F(MainForm, ClosingDuringAScanWaitsForTheScanToEnd) {
    for (int i = 0; i < 10; ++i)
        Link("many/s" + std::to_string(i) + ".lnk", tree.Native("nowhere.exe"));
    Open();
    ::PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(form->ExecuteAction(TActionId::ScanShortcuts));
    // The close stopped the walk; the scan loop wrote its final texts on a living window,
    // and only then was the window destroyed.
    EXPECT_NE(Label("LabelSta").find("shortcut files founded."), std::string::npos);
    EXPECT_FALSE(form->Exists());
}

TEST_F(MainForm, MissingBackgroundShowsOneErrorBoxAndScansStillWork) {
    std::filesystem::remove(program.Path() / "UI.bmp");
    MakeTree();
    Open();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Sweeper Test");
    EXPECT_EQ(boxes[0].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(boxes[0].text.rfind("Cannot open file \"", 0), 0u) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("UI.bmp"), std::string::npos);
    EXPECT_EQ(boxes[0].text.back(), '.');
    EXPECT_FALSE(form->HasBackground());
    EXPECT_EQ(Label("LabelInfo"), "Info"); // the later steps were skipped
    // The later steps include showing the neutral icon; it shows all the same, alone.
    EXPECT_TRUE(form->GraphicVisible("ImageIconInfo"));
    EXPECT_FALSE(form->GraphicVisible("ImageIconGood"));
    EXPECT_FALSE(form->GraphicVisible("ImageIconError"));
    Click(form->suiImageButtonScanShortcuts->Handle());
    EXPECT_EQ(Rows(), 4);
}

TEST_F(MainForm, HelpLinksAndMenuPosition) {
    Open();
    HWND hwnd = form->Handle();
    Click(form->suiImageButtonMore->Handle());
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kHelpMenu[4].id, 0), 0);
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kHelpMenu[3].id, 0), 0);
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kHelpMenu[7].id, 0), 0);
    EXPECT_EQ(shell.opened,
              (std::vector<std::string>{"https://more.example/", "https://more.example/",
                                        "https://home.example/", "https://support.example/"}));

    // The menu opens at the window's outer corner plus (14, 49); a timer reads it back and
    // closes it.
    ::SetWindowPos(hwnd, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    static RECT menuRect;
    menuRect = RECT{-1, -1, -1, -1};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND menu = ::FindWindowA("#32768", nullptr)) {
            ::GetWindowRect(menu, &menuRect);
        }
        ::EndMenu();
    });
    Click(form->ButtonHelp->Handle());
    ::KillTimer(nullptr, timer);
    RECT outer;
    ::GetWindowRect(hwnd, &outer);
    EXPECT_EQ(menuRect.left, outer.left + 14);
    EXPECT_EQ(menuRect.top, outer.top + 49);
}

TEST_F(MainForm, HelpItemsAndMoreWithAnEmptyLinkAreDisabled) {
    Open(); // Home Page, More Free Tools and Support are set; the others are empty
    const auto grayed = [&](int id) {
        return (::GetMenuState(form->PopupMenuHelp.get(), static_cast<UINT>(id), MF_BYCOMMAND) &
                MF_GRAYED) != 0;
    };
    for (int id : {menuHelpContent, menuHowTo, menuCheckUpdates})
        EXPECT_TRUE(grayed(id)) << id;
    for (int id : {menuHomePage, menuMoreFreeTools, menuContact, menuAbout})
        EXPECT_FALSE(grayed(id)) << id;
    EXPECT_TRUE(::IsWindowEnabled(form->suiImageButtonMore->Handle()));
    Click(form->suiImageButtonMore->Handle());
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://more.example/"});

    // Settings with every link but More Free Tools: More and its item grey, the rest not.
    form.reset();
    WriteSettings(program.Path() / "lamecore.dll",
                  "[SYSTEM]\nName=Sweeper Test\nHelpContectLink=help.html\n"
                  "HelpHowTosTutorialVideosLink=https://how.example/\n"
                  "HelpHomePageLink=https://home.example/\nHelpCheckForUpdatesLink=u\n"
                  "HelpSupportLink=mailto:s@example.org");
    program.WriteFile("help.html"); // a link is a file beside the program only when it is there
    shell.opened.clear();
    Open();
    for (int id : {menuHelpContent, menuHowTo, menuHomePage, menuCheckUpdates, menuContact})
        EXPECT_FALSE(grayed(id)) << id;
    EXPECT_TRUE(grayed(menuMoreFreeTools));
    EXPECT_FALSE(::IsWindowEnabled(form->suiImageButtonMore->Handle()));
    // A click on the grey button does nothing; the enabled items open their links.
    Click(form->suiImageButtonMore->Handle());
    HWND hwnd = form->Handle();
    for (int id : {menuHelpContent, menuHowTo})
        ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_EQ(shell.opened,
              (std::vector<std::string>{program.Folder() + "help.html", "https://how.example/"}));
    // F1 opens Help Content, as the menu says beside the item.
    ::PostMessageA(form->ListViewFiles, WM_KEYDOWN, VK_F1, 0);
    Drain();
    EXPECT_EQ(shell.opened.back(), program.Folder() + "help.html");
    EXPECT_EQ(shell.opened.size(), 3u);
    // The link "u" names no file beside the program: it goes to the shell as written.
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(menuCheckUpdates, 0), 0);
    EXPECT_EQ(shell.opened.back(), "u");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainForm, AHandlerErrorShowsTheErrorBoxAndTheWindowGoesOn) {
    MakeTree();
    Open();
    HWND hwnd = form->Handle();
    const auto expectBox = [&](const std::string& text) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "Sweeper Test");
        EXPECT_EQ(boxes[0].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
        boxes.clear();
    };
    // A click handler, a menu command and a command run by its button.
    shell.failLinks = true;
    Click(form->suiImageButtonMore->Handle());
    expectBox("The link could not be opened.");
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(menuHomePage, 0), 0);
    expectBox("The link could not be opened.");
    reader.fail = true;
    Click(form->suiImageButtonScanShortcuts->Handle());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("Cannot read \"", 0), 0u) << boxes[0].text;
    boxes.clear();

    // The window still works: the next scan fills the list, filters and links respond.
    reader.fail = false;
    shell.failLinks = false;
    Click(form->suiImageButtonScanShortcuts->Handle());
    EXPECT_EQ(Rows(), 4);
    SetFilter("DEEP");
    EXPECT_EQ(Names(), std::vector<std::string>{"Lost"});
    Click(form->suiImageButtonMore->Handle());
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://more.example/"});
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainForm, TheIdlePassRepaintsNothingThatDidNotChange) {
    MakeTree();
    Open();
    Click(form->suiImageButtonScanShortcuts->Handle());
    HWND hwnd = form->Handle();
    ::UpdateWindow(hwnd);
    for (int pass = 0; pass < 3; ++pass) {
        form->Idle();
        RECT dirty;
        EXPECT_FALSE(::GetUpdateRect(hwnd, &dirty, FALSE)) << "pass " << pass;
        MSG msg;
        EXPECT_FALSE(::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            << "pass " << pass << " left message " << msg.message;
    }
    // A change is still shown at once.
    form->Rows().SetChecked(0, !form->Rows().Checked(0));
    form->Idle();
    RECT dirty;
    EXPECT_TRUE(::GetUpdateRect(hwnd, &dirty, FALSE));
}

TEST_F(MainForm, TheRowImagesAreTheWindowsAndFreedOnce) {
    Open();
    HWND list = form->ListViewFiles;
    EXPECT_TRUE(::GetWindowLongA(list, GWL_STYLE) & LVS_SHAREIMAGELISTS);
    auto images =
        reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    EXPECT_EQ(images, form->RowImages());
    // The list going first leaves the images to the window, which frees them with itself.
    ::DestroyWindow(list);
    EXPECT_EQ(ImageList_GetImageCount(images), 2);
}

TEST_F(MainForm, CheckBoxesToggleByClickAndSpaceAndMarksSurviveScrolling) {
    for (int i = 0; i < 60; ++i) // all broken: every row starts checked
        Link("many/s" + std::to_string(100 + i) + ".lnk", tree.Native("nowhere.exe"));
    Open();
    Click(form->suiImageButtonScanShortcuts->Handle());
    ASSERT_EQ(Rows(), 60);
    HWND list = form->ListViewFiles;
    // What the control shows for a row's box is the row's own mark.
    const auto shownChecked = [&](int row) {
        const auto state =
            ::SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
        return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
    };
    const auto clickAt = [&](int row, bool onBox) {
        RECT r{};
        r.left = LVIR_BOUNDS;
        ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&r));
        const int x = onBox ? r.left + 8 : r.left + 120, y = (r.top + r.bottom) / 2;
        LVHITTESTINFO hit{};
        hit.pt = {x, y};
        ::SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        EXPECT_EQ((hit.flags & LVHT_ONITEMSTATEICON) != 0, onBox) << "row " << row;
        ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Drain();
    };
    const auto select = [&](std::initializer_list<int> rows, int focused) {
        LVITEMA none{};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&none));
        for (int row : rows) {
            LVITEMA state{};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            state.state = LVIS_SELECTED | (row == focused ? LVIS_FOCUSED : 0);
            ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&state));
        }
    };
    const auto space = [&] {
        ::PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
        ::PostMessageA(list, WM_KEYUP, VK_SPACE, 0);
        Drain();
    };

    // A click on the box toggles the mark; a click elsewhere on the row does not.
    clickAt(0, true);
    EXPECT_FALSE(form->Rows().Checked(0));
    EXPECT_FALSE(shownChecked(0));
    EXPECT_EQ(Label("LabelSelectedCount"), "59");
    clickAt(1, false);
    EXPECT_TRUE(form->Rows().Checked(1));
    clickAt(0, true);
    EXPECT_TRUE(form->Rows().Checked(0));

    // Space toggles the focused row; on a multiple selection the selected rows take the
    // focused row's new mark.
    select({5}, 5);
    space();
    EXPECT_FALSE(form->Rows().Checked(5));
    form->Rows().SetChecked(8, false);
    select({7, 8, 9}, 8);
    space();
    for (int row : {7, 8, 9})
        EXPECT_TRUE(form->Rows().Checked(row)) << row;
    space();
    for (int row : {7, 8, 9})
        EXPECT_FALSE(form->Rows().Checked(row)) << row;
    EXPECT_EQ(Label("LabelSelectedCount"), "56");

    // The marks survive scrolling to the end and back.
    ::SendMessageA(list, LVM_ENSUREVISIBLE, 59, FALSE);
    ::UpdateWindow(list);
    ::SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    ::UpdateWindow(list);
    Drain();
    for (int row = 0; row < Rows(); ++row) {
        const bool expected = row != 5 && (row < 7 || row > 9);
        EXPECT_EQ(form->Rows().Checked(row), expected) << row;
        EXPECT_EQ(shownChecked(row), expected) << row;
    }
}

// Clicks as a mouse makes them, through the real control: a click on a row's texts selects the
// row and only a click on its box toggles the mark; both reach the row-click handler, and a
// double click (on the texts or on the box) opens Properties once. Ctrl+Space is the list's.
TEST_F(MainForm, ClicksSelectRowsAndOnlyTheBoxToggles) {
    MakeTree();
    Open();
    Click(form->suiImageButtonScanShortcuts->Handle());
    ASSERT_EQ(Rows(), 4);
    HWND list = form->ListViewFiles;
    const auto send = [&](UINT message, POINT at) {
        ::PostMessageA(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                       MAKELPARAM(at.x, at.y));
    };
    const auto click = [&](POINT at) {
        send(WM_LBUTTONDOWN, at);
        send(WM_LBUTTONUP, at);
        Drain();
    };
    const auto doubleClick = [&](POINT at) {
        send(WM_LBUTTONDOWN, at);
        send(WM_LBUTTONUP, at);
        send(WM_LBUTTONDBLCLK, at);
        send(WM_LBUTTONUP, at);
        Drain();
    };
    // The middle of a column's text in a row; column -1 is the check box.
    const auto spot = [&](int row, int column) {
        RECT r{};
        if (column <= 0) {
            r.left = column < 0 ? LVIR_ICON : LVIR_LABEL;
            ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&r));
        } else {
            r.top = column;
            r.left = LVIR_LABEL;
            ::SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&r));
        }
        if (column < 0) // the box is left of the row's icon
            return POINT{r.left - ::GetSystemMetrics(SM_CXSMICON) / 2 - 1, (r.top + r.bottom) / 2};
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    const auto focused = [&] {
        return static_cast<int>(
            ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    };
    const auto selected = [&](int row) {
        return ::SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
    };
    const auto shown = [&](int row) { return "Shortcut: " + form->Rows().Data(row)->Shortcut; };

    std::vector<bool> marks;
    for (int i = 0; i < Rows(); ++i)
        marks.push_back(form->Rows().Checked(i));
    for (int row = 0; row < Rows(); ++row)
        for (int column = 0; column < 4; ++column) {
            SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
            click(spot(row, column));
            EXPECT_EQ(form->Rows().Checked(row), marks[static_cast<std::size_t>(row)]);
            EXPECT_EQ(focused(), row);
            EXPECT_TRUE(selected(row));
            EXPECT_NE(Label("LabelInfo").find(shown(row)), std::string::npos);
        }

    // The box toggles and still makes the row current, with its details in the panel.
    click(spot(0, 2));
    click(spot(2, -1));
    EXPECT_NE(form->Rows().Checked(2), marks[2]);
    EXPECT_EQ(focused(), 2);
    EXPECT_TRUE(selected(2) && !selected(0));
    EXPECT_NE(Label("LabelInfo").find(shown(2)), std::string::npos);
    click(spot(2, -1));
    EXPECT_EQ(form->Rows().Checked(2), marks[2]);

    // A double click opens Properties once, on the texts and on the box (which toggles twice).
    doubleClick(spot(1, 3));
    EXPECT_EQ(shell.properties, std::vector<std::string>{form->Rows().Data(1)->Shortcut});
    doubleClick(spot(3, -1));
    EXPECT_EQ(shell.properties.size(), 2u);
    EXPECT_EQ(shell.properties.back(), form->Rows().Data(3)->Shortcut);
    EXPECT_EQ(form->Rows().Checked(3), marks[3]);

    // Ctrl+Space leaves the marks alone; Space toggles.
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
    ::PostMessageA(list, WM_KEYUP, VK_SPACE, 0);
    Drain();
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(form->Rows().Checked(3), marks[3]);
    ::PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
    ::PostMessageA(list, WM_KEYUP, VK_SPACE, 0);
    Drain();
    EXPECT_NE(form->Rows().Checked(3), marks[3]);
}

// Delete against the real recycle bin: a row goes exactly when its file is gone afterwards
// (one removed by hand before the Delete too), and the rows that stay keep their highlight,
// the focus and the list's place. Wine's trash cannot take a file held open elsewhere: the
// shell asks before it would destroy it for good, the answer No (Cancel here) keeps it and
// stops the Delete, and the files kept are named in the one message at the end.
TEST_F(MainForm, DeleteRemovesTheRowsWhoseFilesAreGoneAndKeepsTheListsPlace) {
    for (int i = 0; i < 60; ++i)
        Link("many/s" + std::to_string(100 + i) + ".lnk", tree.Native("nowhere.exe"));
    Open();
    Click(form->suiImageButtonScanShortcuts->Handle());
    ASSERT_EQ(Rows(), 60);
    HWND list = form->ListViewFiles;
    const auto record = [&](int row) { return form->Rows().Data(row); };
    const auto rowOf = [&](const TShortcutItem* r) {
        for (int i = 0; i < Rows(); ++i)
            if (record(i) == r)
                return i;
        return -1;
    };
    for (int i = 1; i < 60; i += 2) // the odd rows are kept
        form->Rows().SetChecked(i, false);
    const TShortcutItem* selected[] = {record(41), record(43)};
    const TShortcutItem* top = record(21);
    const TShortcutItem* gone = record(10);
    const TShortcutItem* locked = record(12);
    for (int row : {41, 43}) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | (row == 43 ? LVIS_FOCUSED : 0);
        ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&state));
    }
    ::SendMessageA(list, LVM_ENSUREVISIBLE, 59, FALSE);
    ::SendMessageA(list, LVM_ENSUREVISIBLE, 21, FALSE);
    Drain();
    ASSERT_EQ(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 21);

    std::filesystem::remove(std::filesystem::path(gone->Shortcut));
    const std::string lockedPath = locked->Shortcut;
    {
        const TKernelHandle held(
            ::CreateFileA(lockedPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        DialogWatchdog watchdog;
        Click(form->suiImageButtonDelete->Handle());
        EXPECT_EQ(watchdog.Closed(), 1) << "the shell asks once, for the file it cannot recycle";
    }

    // Moved: the checked rows from the last up to the held one (23); gone by hand: one;
    // kept: the held one and the five checked rows above it, not reached.
    EXPECT_EQ(Rows(), 36);
    EXPECT_EQ(rowOf(gone), -1);
    ASSERT_GE(rowOf(locked), 0);
    EXPECT_TRUE(form->Rows().Checked(rowOf(locked)));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "Sweeper Test");
    EXPECT_EQ(boxes[1].flags, static_cast<unsigned>(MB_OK | MB_ICONWARNING));
    EXPECT_NE(boxes[1].text.find(lockedPath), std::string::npos) << boxes[1].text;
    EXPECT_EQ(boxes[1].text.rfind("6 shortcut files were not moved", 0), 0u) << boxes[1].text;
    for (const TShortcutItem* r : selected)
        EXPECT_EQ(
            ::SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(rowOf(r)), LVIS_SELECTED),
            LVIS_SELECTED);
    EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
    EXPECT_EQ(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED),
              rowOf(selected[1]));
    EXPECT_EQ(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0), rowOf(top));
    EXPECT_EQ(Label("LabelTotalCount"), "36");
}

} // namespace

// A shortcut as Windows writes one for a program: LinkInfo's local path, the relative path and
// the working folder, and the header's record of the target's size and times when `traces`.
void WriteProgramShortcut(const std::string& shortcut, const std::string& target, bool traces) {
    const std::string folder = target.substr(0, target.rfind('\\'));
    const std::string file = target.substr(folder.size() + 1);
    lnkb::Link link;
    link.linkInfo = lnkb::LinkInfo({.localBase = target});
    const auto wide = [](const std::string& s) { return std::u16string(s.begin(), s.end()); };
    link.strings = {u"", wide(".\\" + folder.substr(folder.rfind('\\') + 1) + "\\" + file),
                    wide(folder)};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (traces && ::GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data)) {
        const auto time = [](FILETIME t) {
            return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        };
        link.attributes = data.dwFileAttributes;
        link.fileSize = data.nFileSizeLow;
        link.created = time(data.ftCreationTime);
        link.accessed = time(data.ftLastAccessTime);
        link.written = time(data.ftLastWriteTime);
    }
    const lnkb::Bytes bytes = link.Build();
    std::ofstream(shortcut, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST_F(MainForm, RepairShowsWhereTargetsWentAndRePointsAfterTheQuestion) {
    // Tool's program folder moved below "moved"; Other's target is found only by its name.
    tree.WriteFile("app/tool.exe", "a program of some size");
    WriteProgramShortcut(tree.Native("Tool.lnk"), tree.Native("app/tool.exe"), true);
    tree.WriteFile("old/other.exe");
    WriteProgramShortcut(tree.Native("Other.lnk"), tree.Native("old/other.exe"), false);
    std::filesystem::create_directories(tree.Path() / "moved");
    std::filesystem::rename(tree.Path() / "app", tree.Path() / "moved/app");
    std::filesystem::rename(tree.Path() / "old", tree.Path() / "elsewhere");
    Open();
    HWND repair = form->suiImageButtonRepair->Handle();
    EXPECT_FALSE(::IsWindowEnabled(repair));
    Click(form->suiImageButtonScanShortcuts->Handle());
    ASSERT_EQ(Rows(), 2);
    EXPECT_TRUE(::IsWindowEnabled(repair));
    const auto row = [&](const char* name) {
        for (int i = 0; i < Rows(); ++i)
            if (form->Rows().Data(i)->Name == name)
                return i;
        return -1;
    };
    ASSERT_TRUE(form->Rows().Checked(row("Tool")) && form->Rows().Checked(row("Other")));

    answer = IDYES;
    Click(repair);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, RepairQuestionText(1, 1));
    EXPECT_EQ(boxes[0].flags, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    // Tool re-pointed: a valid row with its new target, unchecked, its original recycled.
    const std::string moved = tree.Native("moved/app/tool.exe");
    int tool = row("Tool");
    EXPECT_EQ(form->Rows().Data(tool)->Target, moved);
    EXPECT_FALSE(form->Rows().Data(tool)->Invalid);
    EXPECT_FALSE(form->Rows().Checked(tool));
    EXPECT_EQ(form->Rows().Text(tool, kMovedToColumn), "");
    EXPECT_EQ(shell.recycled, std::vector<std::string>{tree.Native("Tool.lnk")});
    EXPECT_EQ(reader.ReadTarget(tree.Native("Tool.lnk")), moved);
    EXPECT_FALSE(std::filesystem::exists(tree.Path() / "Tool.lnk.repair"));
    // Other: shown with its candidate in the Moved to column, left invalid and unchecked.
    int other = row("Other");
    const std::string candidate = form->Rows().Text(other, kMovedToColumn);
    EXPECT_EQ(candidate.rfind(tree.Native("elsewhere/other.exe") + " (weak: ", 0), 0u) << candidate;
    EXPECT_TRUE(form->Rows().Data(other)->Invalid);
    EXPECT_FALSE(form->Rows().Checked(other));
    char cell[512] = {};
    LVITEMA item{};
    item.iSubItem = kMovedToColumn;
    item.pszText = cell;
    item.cchTextMax = sizeof cell;
    ::SendMessageA(form->ListViewFiles, LVM_GETITEMTEXTA, static_cast<WPARAM>(other),
                   reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(cell, candidate);
    EXPECT_EQ(Label("LabelInvalidCount"), "1");
    EXPECT_EQ(Label("LabelSelectedCount"), "0");
    EXPECT_FALSE(::IsWindowEnabled(repair));

    // Checked after the user saw it, Other is re-pointed to its weak candidate.
    form->Rows().SetChecked(other, true);
    Drain();
    Click(repair);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, RepairQuestionText(1, 0));
    other = row("Other");
    EXPECT_EQ(form->Rows().Data(other)->Target, tree.Native("elsewhere/other.exe"));
    EXPECT_FALSE(form->Rows().Data(other)->Invalid);
    EXPECT_EQ(shell.recycled.size(), 2u);
    EXPECT_EQ(Label("LabelInvalidCount"), "0");
}

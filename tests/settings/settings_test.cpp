// The settings file: line splitting and decoding, the INI rules, the settings record, and
// reading real files on the host.
#include "base/errors.h"
#include "base/posix_path.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "support/doubles.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The stored form of plain lines: each line complemented, joined by `brk` (kept plain).
std::string Stored(std::initializer_list<std::string> lines, const std::string& brk = "\r\n") {
    std::string out;
    for (const std::string& line : lines)
        out += InvertBytes(line) + brk;
    return out;
}

TSettings Parse(const Lines& decoded) { return TSettings::Parse(decoded, Windows1252UpperCase); }

std::string Read(const TSettings& s, const char* key, const char* section = "SYSTEM") {
    return s.ReadString(section, key, "");
}

TEST(InvertBytes, ComplementsEveryByteAndIsItsOwnInverse) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string inverted = InvertBytes(all);
    ASSERT_EQ(inverted.size(), 256u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<unsigned char>(inverted[b]), 255 - b) << b;
    EXPECT_EQ(InvertBytes(inverted), all);
    EXPECT_EQ(InvertBytes(""), "");
}

TEST(SettingsLines, CrOrLfOrBothEndALineButNotTheLastOne) {
    EXPECT_EQ(SplitSettingsLines("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
    // CR CR LF is a CR break and then a CR LF break; LF CR is two breaks.
    EXPECT_EQ(SplitSettingsLines("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitSettingsLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitSettingsLines("a\n\nb"), (Lines{"a", "", "b"}));
    // A break at the very end makes no extra line.
    EXPECT_EQ(SplitSettingsLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitSettingsLines("a\r"), (Lines{"a"}));
    EXPECT_EQ(SplitSettingsLines("a\n\n"), (Lines{"a", ""}));
    EXPECT_EQ(SplitSettingsLines("\n"), (Lines{""}));
    EXPECT_EQ(SplitSettingsLines(""), Lines{});
}

TEST(SettingsLines, AZeroByteEndsTheText) {
    using namespace std::string_literals;
    EXPECT_EQ(SplitSettingsLines("ab\0cd\ne"s), (Lines{"ab"}));
    EXPECT_EQ(SplitSettingsLines("ab\n\0cd"s), (Lines{"ab"}));
    EXPECT_EQ(SplitSettingsLines("\0ab"s), Lines{});
}

TEST(SettingsLines, SplittingComesBeforeDecoding) {
    using namespace std::string_literals;
    // Stored bytes 0xF2/0xF5 would decode to CR/LF, stored 0xFF to a zero byte: inside a
    // line they are plain content. Stored CR/LF are breaks; a stored zero ends the text.
    const std::string stored =
        "\xF2\xF5\xFF"s + "\n" + InvertBytes("x=1") + "\r" + "\0"s + InvertBytes("lost");
    EXPECT_EQ(DecodeSettingsLines(stored), (Lines{"\r\n\0"s, "x=1"}));
}

TEST(SettingsIni, BlanksAndCaseDoNotMatter) {
    const TSettings s = Parse({"  [system]  ", " \t name = Finder \t ", "[ Other ]", "k=v"});
    EXPECT_EQ(Read(s, "Name"), "Finder");
    EXPECT_EQ(Read(s, "NAME", "System"), "Finder");
    EXPECT_EQ(Read(s, "k", "other"), "v");
}

TEST(SettingsIni, TrimmingStopsAtTheBlank) {
    // Control bytes are trimmed like blanks; 0xA0 (no-break space) and other bytes are not.
    const TSettings s = Parse({"\x01[SYSTEM]\x1F", "a=\x7F", "b=\xA0x\xA0", "c=\v\f x \r"});
    EXPECT_EQ(Read(s, "a"), "\x7F");
    EXPECT_EQ(Read(s, "b"), "\xA0x\xA0");
    EXPECT_EQ(Read(s, "c"), "x");
}

TEST(SettingsIni, ValueSplitsAtTheFirstEquals) {
    const TSettings s = Parse({"[SYSTEM]", "HelpHomePageLink=a=b", "Empty=", "=nameless"});
    EXPECT_EQ(Read(s, "HelpHomePageLink"), "a=b");
    EXPECT_EQ(s.ReadString("SYSTEM", "Empty", "dflt"), "");
    EXPECT_EQ(Read(s, ""), "nameless");
}

TEST(SettingsIni, LastSectionOfANameAndLastKeyWin) {
    const TSettings s = Parse({"[SYSTEM]", "OnlyFirst=1", "Both=first", "[other]", "Both=other",
                               "[System]", "Both=second", "Both=third"});
    EXPECT_EQ(Read(s, "Both"), "third");
    EXPECT_EQ(s.ReadString("SYSTEM", "OnlyFirst", "default"), "default");
}

TEST(SettingsIni, LinesThatAreNotKeysHaveNoEffect) {
    const TSettings s =
        Parse({"Name=before any section", "; Name=comment", "[SYSTEM]", ";Name=comment",
               "  ; Name=indented comment", "Name", "#Name=hash", "[", "Name=x]"});
    // "[" is not a section line; "Name=x]" is a key of SYSTEM.
    EXPECT_EQ(Read(s, "Name"), "x]");
    EXPECT_EQ(Read(s, "#Name"), "hash");
    EXPECT_EQ(s.ReadString("SYSTEM", "Name=x", "-"), "-");
}

TEST(SettingsIni, EmptySectionNameAndNoSection) {
    const TSettings named = Parse({"[]", "a=1", "[ ]", "b=2"});
    EXPECT_EQ(named.ReadString("", "b", ""), "2");
    EXPECT_EQ(named.ReadString("", "a", "none"), "none"); // [ ] is a later section ""
    EXPECT_EQ(Read(named, "b"), "");

    EXPECT_EQ(Parse({"a=1", "b=2"}).ReadString("", "a", "d"), "d");
    EXPECT_EQ(TSettings().ReadString("SYSTEM", "Name", "d"), "d");
}

TEST(SettingsIni, NonAsciiLettersMatchThroughTheUpperCasing) {
    // Windows-1252: "système" with e-grave 0xE8, capital 0xC8.
    const TSettings s = Parse({"[syst\xE8me]", "cl\xE9=\xE9t\xE9", "[\xFF]", "\x9A=1"});
    EXPECT_EQ(s.ReadString("SYST\xC8ME", "CL\xC9", ""), "\xE9t\xE9"); // values keep their case
    EXPECT_EQ(s.ReadString("\x9F", "\x8A", ""), "1");
    // Letters without a capital in the code page match only themselves.
    const TSettings t = Parse({"[x]",
                               "stra\xDF"
                               "e=1",
                               "\xB5=2"});
    EXPECT_EQ(t.ReadString("X",
                           "STRA\xDF"
                           "E",
                           ""),
              "1");
    EXPECT_EQ(t.ReadString("X", "STRASSE", "-"), "-");
    EXPECT_EQ(t.ReadString("X", "\xB5", ""), "2");
}

TEST(SettingsDecoding, StoredFileParsesAndPlainFileYieldsNothing) {
    const std::string plain = "[SYSTEM]\r\nName=Finder\r\n";
    const TSettings stored = Parse(DecodeSettingsLines(Stored({"[SYSTEM]", "Name=Finder"}, "\n")));
    EXPECT_EQ(Read(stored, "Name"), "Finder");
    // A file written without complementing decodes to unreadable lines and holds no section.
    const TSettings unencoded = Parse(DecodeSettingsLines(plain));
    EXPECT_EQ(Read(unencoded, "Name"), "");
    EXPECT_EQ(Read(Parse(DecodeSettingsLines("")), "Name"), "");
}

TEST(SettingsRecord, FillsTheEightFieldsFromSystem) {
    const TSettings s = Parse({"[SYSTEM]", "Name=Title", "Version=1.2.3", "Copyright=Holder",
                               "HelpContectLink=help.html", "HelpHowTosTutorialVideosLink=v",
                               "HelpHomePageLink=https://example.org/", "HelpMoreFreeToolsLink=m",
                               "HelpCheckForUpdatesLink=u", "HelpSupportLink=mailto:a@b", "[Other]",
                               "Version=wrong"});
    TGlobalVars vars;
    FakeProbes beside; // every file but "m" is beside the program
    for (const char* file : {"help.html", "v", "u"})
        beside.files.insert(std::string("C:\\Program Files\\Sweeper\\") + file);
    LoadGlobalVars(vars, s, "C:\\Program Files\\Sweeper", beside);
    EXPECT_EQ(vars.Version, "1.2.3");
    EXPECT_EQ(vars.Copyright, "Holder");
    // Every link may name a file beside the program; addresses stay as read.
    EXPECT_EQ(vars.HelpContectLink, "C:\\Program Files\\Sweeper\\help.html");
    EXPECT_EQ(vars.HelpHowTosTutorialVideosLink, "C:\\Program Files\\Sweeper\\v");
    EXPECT_EQ(vars.HelpHomePageLink, "https://example.org/");
    EXPECT_EQ(vars.HelpMoreFreeToolsLink, "m"); // no such file: handed on as written
    EXPECT_EQ(vars.HelpCheckForUpdatesLink, "C:\\Program Files\\Sweeper\\u");
    EXPECT_EQ(vars.HelpSupportLink, "mailto:a@b");

    TGlobalVars empty{"x", "x", "x", "x", "x", "x", "x", "x"};
    LoadGlobalVars(empty, Parse({"[NotSystem]", "Version=1"}), "C:\\");
    EXPECT_EQ(empty.Version, "");
    EXPECT_EQ(empty.HelpContectLink, "");
    EXPECT_EQ(empty.HelpSupportLink, "");
}

TEST(SettingsRecord, OnlyRelativeNamesOfFilesBesideTheProgramAreExpanded) {
    const std::string dir = "C:\\Tools\\";
    FakeProbes probes;
    probes.files = {"C:\\Tools\\help.html", "C:\\Tools\\doc\\help.html",
                    "C:\\Tools\\www.example.com"};
    EXPECT_EQ(ExpandProgramRelativeLink("help.html", dir, probes), "C:\\Tools\\help.html");
    EXPECT_EQ(ExpandProgramRelativeLink("doc\\help.html", "C:\\Tools", probes),
              "C:\\Tools\\doc\\help.html");
    for (const char* kept :
         {"", "C:\\help.html", "c:help.html", "\\help.html", "\\\\server\\share\\help.html",
          "/help.html", "https://example.org/help", "mailto:help@example.org"})
        EXPECT_EQ(ExpandProgramRelativeLink(kept, dir, probes), kept);
    // A name without a scheme or a colon is a file beside the program only when it is there.
    EXPECT_EQ(ExpandProgramRelativeLink("www.example.org", dir, probes), "www.example.org");
    EXPECT_EQ(ExpandProgramRelativeLink("missing.html", dir, probes), "missing.html");
    EXPECT_EQ(ExpandProgramRelativeLink("www.example.com", dir, probes),
              "C:\\Tools\\www.example.com");
}

class SettingsFiles : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(SettingsFiles, ReadsTheStoredFileFromDiskEachTime) {
    dir.WriteFile("lamecore.dll", Stored({"[SYSTEM]", "Name=First"}));
    const std::string path = SettingsFileNameIn(dir.Folder());
    EXPECT_EQ(path, dir.Folder() + "lamecore.dll");
    EXPECT_EQ(Read(ReadSettingsFileAt(path), "Name"), "First");
    dir.WriteFile("lamecore.dll", Stored({"[SYSTEM]", "Name=Second"}, "\r"));
    EXPECT_EQ(Read(ReadSettingsFileAt(path), "Name"), "Second");
    dir.WriteFile("lamecore.dll", "");
    EXPECT_EQ(Read(ReadSettingsFileAt(path), "Name"), "");
}

TEST_F(SettingsFiles, MissingFileOrFolderRaisesTheOpenErrorNamingThePath) {
    dir.MakeDir("lamecore.dll.d");
    for (const std::string& path : {dir.Native("lamecore.dll"), dir.Native("lamecore.dll.d")}) {
        try {
            ReadSettingsFileAt(path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const EFOpenError& e) {
            const std::string prefix = "Cannot open file \"" + path + "\". ";
            const std::string message = e.what();
            EXPECT_EQ(message.substr(0, prefix.size()), prefix);
            EXPECT_GT(message.size(), prefix.size()); // the system's text follows
            EXPECT_NE(message.back(), '\n');
            EXPECT_STREQ(e.ClassName(), "EFOpenError");
        }
    }
}

TEST(SettingsLocation, BesideTheRunningExecutable) {
    const std::string name = GetSettingsFileName();
    const std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe");
    EXPECT_EQ(ToPosixPath(name), (exe.parent_path() / "lamecore.dll").string());
    EXPECT_EQ(SettingsFileNameIn("C:\\Tools"), "C:\\Tools\\lamecore.dll");
}

} // namespace

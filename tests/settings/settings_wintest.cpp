// The settings file on the real file system: the file the build places beside this test,
// sharing with other handles, a missing file, and the system's upper-casing.
#include "base/errors.h"
#include "base/handles.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string Stored(const std::string& plainLines) {
    std::string out;
    for (const std::string& line : SplitSettingsLines(plainLines))
        out += InvertBytes(line) + "\r\n";
    return out;
}

// A second handle on the file, as another process would hold it.
class OtherHandle {
public:
    OtherHandle(const std::string& path, DWORD access, DWORD share)
        : h_(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    bool ok() const { return static_cast<bool>(h_); }

private:
    TKernelHandle h_;
};

std::string OpenErrorOf(const std::string& path) {
    try {
        ReadSettingsFileAt(path);
    } catch (const EFOpenError& e) {
        EXPECT_STREQ(e.ClassName(), "EFOpenError");
        return e.what();
    }
    ADD_FAILURE() << "no open error for " << path;
    return {};
}

void ExpectOpenMessage(const std::string& message, const std::string& path) {
    const std::string prefix = "Cannot open file \"" + path + "\". ";
    ASSERT_GT(message.size(), prefix.size()) << message;
    EXPECT_EQ(message.substr(0, prefix.size()), prefix);
    EXPECT_NE(message.back(), '\n') << "system text keeps its line break";
}

TEST(ShippedSettings, TheBuildPlacesAReadableFileBesideTheProgram) {
    char exe[MAX_PATH * 2] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, exe, sizeof exe), 0u);
    std::string folder(exe);
    folder.erase(folder.find_last_of('\\') + 1);
    EXPECT_EQ(GetProgramFolder(), folder);
    EXPECT_EQ(GetSettingsFileName(), folder + "lamecore.dll");

    const TSettings settings = ReadSettingsFile();
    EXPECT_EQ(settings.ReadString("SYSTEM", "Name", ""), "Shortcut Sweeper");
    EXPECT_EQ(settings.ReadString("system", "version", ""), SWEEPER_VERSION);
    TGlobalVars vars;
    LoadGlobalVars(vars, settings, GetProgramFolder());
    EXPECT_EQ(vars.Version, SWEEPER_VERSION);
    EXPECT_FALSE(vars.Copyright.empty());
    // The shipped links: the help page beside the program for Help Content and How Tos (the
    // tests' folder has no page, so the names stay as written); nothing the project does not
    // have, so those items are grey.
    EXPECT_EQ(vars.HelpContectLink, "help.html");
    EXPECT_EQ(vars.HelpHowTosTutorialVideosLink, "help.html");
    for (const std::string* none : {&vars.HelpHomePageLink, &vars.HelpMoreFreeToolsLink,
                                    &vars.HelpCheckForUpdatesLink, &vars.HelpSupportLink})
        EXPECT_EQ(*none, "");
}

class SettingsFileSharing : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.Native("lamecore.dll");
    void SetUp() override { dir.WriteFile("lamecore.dll", Stored("[SYSTEM]\nName=Held\n")); }
};

TEST_F(SettingsFileSharing, ReadableWhileAnotherHandleDeniesWriting) {
    OtherHandle reader(path, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(ReadSettingsFileAt(path).ReadString("SYSTEM", "Name", ""), "Held");
}

TEST_F(SettingsFileSharing, RefusedWhileAnotherHandleWritesIt) {
    // Reading denies writing, so a file someone has open for writing cannot be opened.
    OtherHandle writer(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer.ok());
    ExpectOpenMessage(OpenErrorOf(path), path);
}

TEST_F(SettingsFileSharing, ReadingLeavesTheFileFreeForWritersAfterwards) {
    ReadSettingsFileAt(path);
    OtherHandle writer(path, GENERIC_WRITE, 0);
    EXPECT_TRUE(writer.ok()) << "the settings reader left its handle open";
}

TEST(SettingsFileMissing, TheMessageNamesTheFullPath) {
    TempDir dir;
    const std::string path = dir.Native("lamecore.dll");
    ExpectOpenMessage(OpenErrorOf(path), path);
    const std::string folder = dir.Native("sub");
    dir.MakeDir("sub");
    ExpectOpenMessage(OpenErrorOf(folder), folder);
}

TEST(SettingsCasing, TheSystemUpperCasingCoversNonAsciiLetters) {
    // In the program's code page (UTF-8 with the manifest, else the legacy one), the
    // capital of a letter must find the section and key written in small letters.
    const std::string small = "syst\xC3\xA8me", capital = "SYST\xC3\x88ME"; // è / È
    ASSERT_EQ(GetACP(), 65001u) << "the manifest's UTF-8 code page is not in effect";
    const TSettings s = TSettings::Parse({"[" + small + "]", "cl\xC3\xA9=1"}, AnsiUpperCase);
    EXPECT_EQ(s.ReadString(capital, "CL\xC3\x89", ""), "1");
    // A byte that is not valid in the code page still finds itself.
    const TSettings odd = TSettings::Parse({"[x]", "k\xE9y=2"}, AnsiUpperCase);
    EXPECT_EQ(odd.ReadString("X", "K\xE9Y", ""), "2");
}

} // namespace

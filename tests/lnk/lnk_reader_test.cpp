// The choice of link reader through a platform double, and the host build's reader on real
// files: what it opens, how much it reads, what it resolves.
#include "base/file_descriptor.h"
#include "lnk/link_reader.h"
#include "lnk/lnk_format.h"

#include "lnk/lnk_builder.h"
#include "support/doubles.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include <fcntl.h>
#include <unistd.h>

using namespace lnkb;

namespace {

// Shortcut files, environment and code page of a platform, by exact name.
class FakeShortcutFiles : public IShortcutFiles {
public:
    std::map<std::string, Bytes> files;
    std::map<std::string, std::string, std::less<>> environment;

    bool ReadPrefix(const std::string& path, std::vector<unsigned char>& bytes) override {
        const auto it = files.find(path);
        if (it == files.end())
            return false;
        bytes = it->second;
        return true;
    }
    bool LookupEnvironment(std::string_view name, std::string_view, std::string& value) override {
        const auto it = environment.find(name);
        if (it == environment.end())
            return false;
        value = it->second;
        return true;
    }
    bool DecodeAnsi(std::string_view bytes, std::string& utf8) override {
        utf8.clear();
        for (const char c : bytes) // Windows-1251, as far as this test needs it
            utf8 += c == '\xC4' ? "Д" : std::string(1, c);
        return true;
    }
};

class FakePlatform : public ILinkReaderPlatform {
public:
    bool wine = false;
    bool hasShellLink = true;
    FakeShortcutFiles files;

    bool RunsUnderWine() override { return wine; }
    std::unique_ptr<ILinkReader> CreateShellLinkReader() override {
        if (!hasShellLink)
            return nullptr;
        auto shell = std::make_unique<FakeLinkReader>();
        shell->targets["C:\\Links\\env.lnk"] = "from the shell link object";
        return shell;
    }
    std::unique_ptr<IShortcutFiles> CreateShortcutFiles() override {
        return std::make_unique<FakeShortcutFiles>(files);
    }
};

// Windows: the shell link object. Wine, or no shell link object: the program's own reader,
// which reads through the platform's files, environment and code page, and resolves a
// relative target against the shortcut's own folder.
TEST(LinkReaderChoice, ShellLinkObjectOnWindowsOwnReaderUnderWineAndOnTheHost) {
    FakePlatform platform;
    Link env;
    env.extraFlags = kHasExpString;
    env.extra = {TargetBlock(0xA0000001, "", u"%SystemRoot%\\notepad.exe")};
    platform.files.files["C:\\Links\\env.lnk"] = env.Build();
    Link relative;
    relative.strings = {u"", u"..\\..\\..\\Tools\\t.exe"};
    platform.files.files["C:\\Links\\rel.lnk"] = relative.Build();
    Link ansi;
    ansi.linkInfo = LinkInfo({"C:\\\xC4", "", "", false, {}, {}, {}});
    platform.files.files["C:\\Links\\ansi.lnk"] = ansi.Build();
    platform.files.environment["SystemRoot"] = "C:\\windows";

    EXPECT_EQ(SelectLinkReader(platform)->ReadTarget("C:\\Links\\env.lnk"),
              "from the shell link object");
    for (const bool wine : {true, false}) {
        platform.wine = wine;
        platform.hasShellLink = wine;
        const std::unique_ptr<ILinkReader> own = SelectLinkReader(platform);
        EXPECT_EQ(own->ReadTarget("C:\\Links\\env.lnk"), "C:\\windows\\notepad.exe");
        EXPECT_EQ(own->ReadTarget("C:\\Links\\rel.lnk"), "C:\\Tools\\t.exe");
        EXPECT_EQ(own->ReadTarget("C:\\Links\\ansi.lnk"), "C:\\Д");
        EXPECT_EQ(own->ReadTarget("C:\\Links\\missing.lnk"), "");
    }
}

// A context outlives the path it was made from: a batch of repairs holds one for each
// shortcut, each path long gone, and each must still answer for its own user.
TEST(LinkReaderContext, EachContextAnswersForItsOwnShortcut) {
    class ByUser : public FakeShortcutFiles {
        bool LookupEnvironment(std::string_view, std::string_view linkPath,
                               std::string& value) override {
            value = std::string(linkPath.substr(0, linkPath.find("\\Desktop")));
            return true;
        }
    } files;
    std::vector<lnk::ReadContext> contexts;
    for (const char* user : {"ann", "bob"}) {
        const std::string windowsPath = std::string("C:\\Users\\") + user + "\\Desktop\\x.lnk";
        contexts.push_back(ShortcutContext(files, windowsPath));
    }
    std::string ann, bob;
    ASSERT_TRUE(contexts[0].environment("USERPROFILE", ann) &&
                contexts[1].environment("USERPROFILE", bob));
    EXPECT_EQ(ann, "C:\\Users\\ann");
    EXPECT_EQ(bob, "C:\\Users\\bob");
}

class LnkReader : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<ILinkReader> reader = CreateSystemLinkReader();

    std::string Put(const std::string& name, const Bytes& bytes) {
        std::ofstream(dir.Path() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return dir.Native(name);
    }
    static Bytes Shortcut(const std::string& localPath) {
        Link l;
        l.linkInfo = LinkInfo({localPath, "", "", false, {}, {}, {}});
        return l.Build();
    }
};

TEST_F(LnkReader, ReadsShortcutsAndAnswersEmptyForWhatIsNotOne) {
    EXPECT_EQ(reader->ReadTarget(Put("a.lnk", Shortcut("C:\\a.exe"))), "C:\\a.exe");
    // The same reader again, on a smaller file: nothing of the first read is left over.
    Bytes cut = Shortcut("C:\\longer\\path.exe");
    cut.resize(0x50);
    EXPECT_EQ(reader->ReadTarget(Put("cut.lnk", cut)), "");
    EXPECT_EQ(reader->ReadTarget(Put("b.lnk", Shortcut("C:\\b"))), "C:\\b");
    EXPECT_EQ(reader->ReadTarget(dir.Native("missing.lnk")), "");
    dir.MakeDir("folder.lnk");
    EXPECT_EQ(reader->ReadTarget(dir.Native("folder.lnk")), "");
    EXPECT_EQ(reader->ReadTarget(Put("empty.lnk", {})), "");
}

// A 100 MB file: a valid shortcut followed by zeros. Only the capped prefix is read, and the
// shortcut in it is found; a shortcut whose extra data only ends beyond the cap still reads,
// because a missing terminal block is no error.
TEST_F(LnkReader, HugeFilesAreReadOnlyUpToTheCap) {
    const std::string path = Put("huge.lnk", Shortcut("C:\\huge.exe"));
    {
        const TFileDescriptor fd(::open((dir.Path() / "huge.lnk").c_str(), O_WRONLY));
        ASSERT_TRUE(fd);
        ASSERT_EQ(::ftruncate(fd.get(), 100 * 1024 * 1024), 0); // sparse: cheap to make
    }
    EXPECT_EQ(reader->ReadTarget(path), "C:\\huge.exe");

    // Extra data of (cap - 16) bytes of 8-byte blocks and then a block of 64 KB: the last one
    // crosses the cap and is ignored.
    Link l;
    l.linkInfo = LinkInfo({"C:\\blocks.exe", "", "", false, {}, {}, {}});
    l.terminal = false;
    Bytes b = l.Build();
    while (b.size() < lnk::kMaxShortcutBytes - 16) {
        U32(b, 8);
        U32(b, 0xA0000099);
    }
    U32(b, 0x10000);
    U32(b, 0xA0000001);
    b.resize(b.size() + 0x10000, 'x');
    EXPECT_EQ(reader->ReadTarget(Put("blocks.lnk", b)), "C:\\blocks.exe");
}

// The host is no Windows: a relative target has no Windows folder to start from, and the
// Linux process's own variables never stand in for Windows ones (cli/windows_env.h gives a
// prefix's or a partition's).
TEST_F(LnkReader, TheHostKnowsNoWindowsOfItsOwn) {
    dir.MakeDir("links");
    Link relative;
    relative.strings = {u"", u"..\\app\\.\\tool.exe"};
    const lnk::TargetReading r = reader->Read(Put("links/rel.lnk", relative.Build()));
    EXPECT_EQ(r.path, "");
    EXPECT_EQ(r.gap, lnk::TargetGap::NoPlace);

    ::setenv("windir", "/etc", 1);
    Link env;
    env.extraFlags = kHasExpString;
    env.extra = {TargetBlock(0xA0000001, "", u"%windir%\\notepad.exe")};
    const lnk::TargetReading e = reader->Read(Put("env.lnk", env.Build()));
    EXPECT_EQ(e.path, "");
    EXPECT_EQ(e.gap, lnk::TargetGap::UnknownVariable);
    EXPECT_EQ(e.detail, "windir");
    ::unsetenv("windir");
}

} // namespace

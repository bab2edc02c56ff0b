// The host build's link reader on real files: what it opens, how much it reads.
#include "shell/link_reader.h"
#include "shell/lnk_format.h"

#include "shell/lnk_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

using namespace lnkb;

namespace {

class LnkReader : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<ILinkReader> reader = CreateSystemLinkReader();

    std::string Put(const std::string& name, const Bytes& bytes) {
        std::ofstream(dir.Path() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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
        const int fd = ::open((dir.Path() / "huge.lnk").c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 100 * 1024 * 1024), 0); // sparse: cheap to make
        ::close(fd);
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

TEST_F(LnkReader, EnvironmentNamesIgnoreCase) {
    ::setenv("SWEEPER_LNK_TEST", "/opt/x", 1);
    Link l;
    l.extraFlags = kHasExpString;
    l.extra = {TargetBlock(0xA0000001, "", u"%Sweeper_Lnk_Test%\\a.exe %NOT_SET_ANYWHERE%")};
    EXPECT_EQ(reader->ReadTarget(Put("env.lnk", l.Build())), "/opt/x\\a.exe %NOT_SET_ANYWHERE%");
    ::unsetenv("SWEEPER_LNK_TEST");
}

} // namespace

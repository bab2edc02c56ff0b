// Re-pointed shortcuts read by the shell link object itself (Wine's, where the tests run):
// shortcuts the link object wrote (one with a relative path and an icon), each re-pointed to a
// file that moved, read back by the program's reader and by the link object as the new path.
#include "base/text.h"
#include "lnk/link_reader.h"
#include "lnk/lnk_repoint.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using Bytes = std::vector<unsigned char>;

namespace {

Bytes Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::string ToUtf8(const std::string& acp) {
    return ::GetACP() == CP_UTF8 || acp.empty() ? acp : NarrowUtf8(WidenAnsi(acp));
}

} // namespace

TEST(RepointUnderTheShell, TheLinkObjectReadsTheNewTarget) {
    TComApartment com;
    TempDir dir;
    dir.WriteFile("old place/app.exe");
    dir.WriteFile("new place/deeper/app.exe");
    const std::string oldTarget = dir.Native("old place/app.exe");
    const std::string newTarget = dir.Native("new place/deeper/app.exe");

    // One written by the link object, with arguments and a working folder elsewhere.
    const std::string byShell = dir.Native("by shell.lnk");
    ASSERT_TRUE(WriteShortcut(byShell, {oldTarget, "--fast", dir.Native(""), {}, {}}));
    // One with a relative path and an icon, as the link object writes them.
    const std::string relative = dir.Native("relative.lnk");
    ASSERT_TRUE(WriteShortcut(relative, {oldTarget, {}, {}, oldTarget, ".\\old place\\app.exe"}));
    ASSERT_TRUE(::DeleteFileW(WidenUtf8(oldTarget).c_str()));

    const std::unique_ptr<ILinkReader> shell = CreateShellLinkReader();
    const std::unique_ptr<ILinkReader> own = CreateSystemLinkReader();
    for (const std::string& link : {byShell, relative}) {
        const std::filesystem::path file =
            dir.Path() / (link == byShell ? "by shell.lnk" : "relative.lnk");
        const Bytes old = Slurp(file);
        lnk::NewTarget target;
        target.path = newTarget;
        const lnk::Repointed r =
            lnk::RepointShortcut(old.data(), old.size(), target, {link, {}, {}});
        ASSERT_EQ(r.refusal, "") << link;
        Spit(file, r.bytes);
        EXPECT_EQ(own->ReadTarget(link), newTarget) << link;
        EXPECT_EQ(ToUtf8(shell->ReadTarget(link)), newTarget) << link;
    }
}

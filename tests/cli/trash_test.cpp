// The home trash written directly: each file's way back as GIO writes it (the same escaped
// Path), a name already in the trash kept apart, the file itself moved unchanged.
#include "base/posix_path.h"
#include "cli/child.h"
#include "cli/trash.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

#include <gio/gio.h>

namespace fs = std::filesystem;

namespace {

std::string PathLine(const fs::path& info) {
    const std::string text = Slurp(info);
    const std::size_t at = text.find("\nPath=");
    return at == std::string::npos ? "" : text.substr(at + 6, text.find('\n', at + 6) - at - 6);
}

} // namespace

TEST(Trash, TheHomeTrashHoldsEachFileWithItsWayBackAsGioWritesIt) {
    TempDir dir;
    const fs::path data = dir.Path() / "data"; // made by the first move
    ASSERT_EQ(::setenv("XDG_DATA_HOME", data.c_str(), 1), 0);
    const fs::path trash = data / "Trash";
    for (const std::string name : {"Gone.lnk", "a, \"b\"\nc – ü %23 [x]~.lnk"}) {
        // The same name in two folders: GIO trashes the first, the program the second.
        for (const char* folder : {"byGio", "byUs"}) {
            fs::create_directories(dir.Path() / folder);
            std::ofstream(dir.Path() / folder / name) << folder;
        }
        GFile* file = g_file_new_for_path((dir.Path() / "byGio" / name).c_str());
        ASSERT_TRUE(g_file_trash(file, nullptr, nullptr));
        g_object_unref(file);
        const std::string gio = PathLine(trash / "info" / (name + ".trashinfo"));

        std::string reason;
        ASSERT_TRUE(MoveToTrash(FromPosixPath((dir.Path() / "byUs" / name).string()), reason))
            << reason;
        EXPECT_FALSE(fs::exists(dir.Path() / "byUs" / name));
        const std::string kept =
            name.substr(0, name.find('.')) + ".2" + name.substr(name.find('.'));
        EXPECT_EQ(Slurp(trash / "files" / kept), "byUs");
        EXPECT_EQ(Slurp(trash / "files" / name), "byGio");
        const std::string ours = PathLine(trash / "info" / (kept + ".trashinfo"));
        ASSERT_NE(gio.find("/byGio/"), std::string::npos) << gio;
        EXPECT_EQ(ours, gio.substr(0, gio.find("/byGio/")) + "/byUs/" +
                            gio.substr(gio.find("/byGio/") + 7));
    }
}

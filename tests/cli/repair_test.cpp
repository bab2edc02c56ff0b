// shortcut-sweeper --suggest and --repair on a Wine prefix whose program folder moved and whose
// game drive now has another letter: the candidates with their evidence in every format, the
// exact and strong ones re-pointed, the originals in the trash byte for byte, the weak one left.
#include "cli/child.h"
#include "cli/support.h"
#include "lnk/lnkinfo_tool.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <map>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::uint64_t WriteTime(const fs::path& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return (static_cast<std::uint64_t>(st.st_mtim.tv_sec) + 11644473600ull) * 10000000ull +
           static_cast<std::uint64_t>(st.st_mtim.tv_nsec) / 100u;
}

void WriteBytes(const fs::path& path, const lnkb::Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A shortcut as the shell writes one to a local file: LinkInfo with the volume's serial, the
// header's record of the target, a comment and arguments.
lnkb::Bytes Shortcut(const std::string& target, std::uint32_t serial, std::uint32_t size,
                     std::uint64_t written) {
    lnkb::Link link;
    link.linkInfo = lnkb::LinkInfo({target, "", "", false, {}, {}, {}});
    lnkb::PutU32(link.linkInfo, 0x1C + 8, serial); // the VolumeID's DriveSerialNumber
    link.strings = {u"Starts it", u"", u"", u"-x"};
    link.attributes = 0x20;
    link.fileSize = size;
    link.written = written;
    return link.Build();
}

struct MovedPrefix {
    TempDir dir;
    fs::path prefix = dir.Path() / "wine";
    fs::path c = prefix / "drive_c";
    fs::path menu = c / "users" / "me" / "Start Menu";
    fs::path games = dir.Path() / "games"; // the game volume, now at D:, was at E:
    fs::path home = dir.Path() / "home";
    lnkb::Bytes app, game, tool, gone;

    MovedPrefix() {
        fs::create_directories(prefix / "dosdevices");
        fs::create_directories(dir.Path() / "other");
        fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
        fs::create_symlink(games, prefix / "dosdevices" / "d:");
        fs::create_symlink(dir.Path() / "other", prefix / "dosdevices" / "e:");
        fs::create_directories(games / "Games" / "Quest");
        std::ofstream(games / ".windows-serial") << "1234abcd\n";
        std::ofstream(games / "Games" / "Quest" / "quest.exe") << "game";
        // The program folder moved from Program Files to Apps.
        fs::create_directories(c / "Apps" / "App");
        std::ofstream(c / "Apps" / "App" / "app.exe") << "program";
        std::ofstream(c / "Apps" / "App" / "tool.exe") << "a newer tool";
        const std::uint64_t appTime = WriteTime(c / "Apps" / "App" / "app.exe");
        app = Shortcut("C:\\Program Files\\App\\app.exe", 0x1111, 7, appTime);
        tool = Shortcut("C:\\Program Files\\App\\tool.exe", 0x1111, 4, appTime);
        game = Shortcut("E:\\Games\\Quest\\quest.exe", 0x1234ABCD, 4, 0);
        gone = Shortcut("C:\\Program Files\\Gone\\gone.exe", 0x1111, 4, 0);
        WriteBytes(menu / "App.lnk", app);
        WriteBytes(menu / "Tool.lnk", tool);
        WriteBytes(menu / "Quest.lnk", game);
        WriteBytes(menu / "Gone.lnk", gone);
        fs::create_directories(home);
    }
    std::map<std::string, std::string> Env() const {
        return {{"HOME", home.string()}, {"XDG_DATA_HOME", (home / "data").string()}};
    }
};

} // namespace

TEST(Repair, SuggestShowsEachCandidateWithItsEvidenceInEveryFormat) {
    MovedPrefix p;
    const Result json = Sweeper({"--suggest", "-f", "json", p.menu.string()});
    EXPECT_EQ(json.status, 1) << json.err;
    std::map<std::string, nlohmann::json> byName;
    for (const nlohmann::json& o : JsonLines(json.out))
        byName[o["Name"]] = o;
    ASSERT_EQ(byName.size(), 4u) << json.out;
    EXPECT_EQ(byName["App"]["MovedTo"], "C:\\Apps\\App\\app.exe");
    EXPECT_EQ(byName["App"]["Strength"], "strong");
    EXPECT_EQ(byName["App"]["Evidence"], "the same name, size (7 bytes) and write time");
    EXPECT_EQ(byName["Quest"]["MovedTo"], "D:\\Games\\Quest\\quest.exe");
    EXPECT_EQ(byName["Quest"]["Strength"], "exact");
    EXPECT_EQ(byName["Tool"]["Strength"], "weak");
    EXPECT_EQ(byName["Gone"]["MovedTo"], "");
    EXPECT_EQ(byName["Gone"]["Strength"], "");

    const Result csv = Sweeper({"--suggest", "-f", "csv", p.menu.string()});
    EXPECT_EQ(csv.out.rfind(
                  "Name,Target,Location,Shortcut,Invalid,Reason,MovedTo,Strength,Evidence\r\n", 0),
              0u);
    EXPECT_NE(
        csv.out.find(
            ",C:\\Apps\\App\\app.exe,strong,\"the same name, size (7 bytes) and write time\"\r\n"),
        std::string::npos)
        << csv.out;
    const Result table = Sweeper({"--suggest", p.menu.string()});
    EXPECT_NE(
        table.out.find("moved to D:\\Games\\Quest\\quest.exe (exact: the volume (serial 1234-ABCD) "
                       "is now D: and holds the same path)"),
        std::string::npos)
        << table.out;
    // Searching changed nothing.
    EXPECT_EQ(Slurp(p.menu / "App.lnk"), std::string(p.app.begin(), p.app.end()));
}

TEST(Repair, RepairRePointsExactAndStrongOnesAndKeepsTheOriginalsInTheTrash) {
    MovedPrefix p;
    const Result refused = Sweeper({"--repair", p.menu.string()}, p.Env());
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--yes"), std::string::npos) << refused.err;

    const Result r = Sweeper({"--repair", "--yes", "--stats", p.menu.string()}, p.Env());
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(
        r.err.find("re-pointed: " + (p.menu / "App.lnk").string() + " -> C:\\Apps\\App\\app.exe\n"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("2 shortcuts re-pointed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" repaired=2 kept=0 "), std::string::npos) << r.err;

    // The originals in the trash, byte for byte; the weak and the unfound ones untouched.
    const fs::path trash = p.home / "data" / "Trash" / "files";
    EXPECT_EQ(Slurp(trash / "App.lnk"), std::string(p.app.begin(), p.app.end()));
    EXPECT_EQ(Slurp(trash / "Quest.lnk"), std::string(p.game.begin(), p.game.end()));
    EXPECT_EQ(Slurp(p.menu / "Tool.lnk"), std::string(p.tool.begin(), p.tool.end()));
    EXPECT_EQ(Slurp(p.menu / "Gone.lnk"), std::string(p.gone.begin(), p.gone.end()));
    EXPECT_FALSE(fs::exists(p.menu / "App.lnk.repair"));

    // The repaired ones are valid now, with their comment and arguments.
    const Result after = Sweeper({"--all", "-f", "json", p.menu.string()});
    for (const nlohmann::json& o : JsonLines(after.out)) {
        if (o["Name"] == "App" || o["Name"] == "Quest") {
            EXPECT_FALSE(o["Invalid"]) << o.dump();
        }
    }
    const std::string repaired = Slurp(p.menu / "App.lnk");
    const std::u16string comment = u"Starts it";
    EXPECT_NE(repaired.find(
                  std::string(reinterpret_cast<const char*>(comment.data()), comment.size() * 2)),
              std::string::npos);
    if (HaveLnkInfo()) {
        EXPECT_EQ(LnkInfoField(p.menu / "App.lnk", "Local path"), "C:\\Apps\\App\\app.exe");
        EXPECT_EQ(LnkInfoField(p.menu / "Quest.lnk", "Local path"), "D:\\Games\\Quest\\quest.exe");
    }
}

#include "cli/drive_map.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A Wine prefix as Wine makes one: dosdevices links to drive_c (relative) and to "/".
struct Prefix {
    TempDir dir;
    fs::path root = dir.Path() / "wine";
    Prefix() {
        fs::create_directories(root / "dosdevices");
        fs::create_directories(root / "drive_c" / "users" / "me" / "Start Menu");
        fs::create_symlink("../drive_c", root / "dosdevices" / "c:");
        fs::create_symlink("/", root / "dosdevices" / "z:");
        fs::create_symlink("/dev/sr0", root / "dosdevices" / "d::"); // a raw device, no drive
        fs::create_directories(root / "share");
        fs::create_symlink("../share", root / "dosdevices" / "n:");
        std::ofstream(root / "system.reg")
            << "WINE REGISTRY Version 2\n\n"
               "[Software\\\\Wine\\\\Drives] 1733\n"
               "#time=1db\n\"n:\"=\"network\"\n\n"
               "[Software\\\\Wine\\\\Other] 1733\n\"c:\"=\"network\"\n";
    }
};

TEST(DriveMap, APrefixIsFoundFromInsideItsDriveAndThroughItsLinks) {
    Prefix p;
    const std::string root = p.root.string();
    const std::string menu = (p.root / "drive_c" / "users" / "me" / "Start Menu").string();
    EXPECT_EQ(FindWinePrefix(menu), root);
    EXPECT_EQ(FindWinePrefix(menu + "/"), root);
    EXPECT_EQ(FindWinePrefix(root + "/dosdevices/c:/users"), root);
    EXPECT_EQ(FindWinePrefix(p.dir.Path().string()), "");
    // A folder reached by a link from elsewhere is found by its real path.
    fs::create_symlink(p.root / "drive_c" / "users", p.dir.Path() / "elsewhere");
    EXPECT_EQ(FindWinePrefix((p.dir.Path() / "elsewhere" / "me").string()), root);

    TDriveRoots roots;
    std::string reason;
    ASSERT_TRUE(ReadWinePrefixDrives(root, roots, reason)) << reason;
    EXPECT_EQ(fs::canonical(roots['C' - 'A']), fs::canonical(p.root / "drive_c"));
    EXPECT_EQ(roots['Z' - 'A'], "/");
    EXPECT_EQ(roots['D' - 'A'], "");
    EXPECT_EQ(roots['N' - 'A'], ""); // a network drive of the prefix: never probed
    EXPECT_FALSE(ReadWinePrefixDrives(p.dir.Path().string(), roots, reason));
}

TEST(DriveMap, TargetsAreFoundWithoutRegardToCaseBelowTheirDrive) {
    TempDir t;
    const fs::path c = t.Path() / "windows";
    fs::create_directories(c / "Program Files" / "Älte App");
    std::ofstream(c / "Program Files" / "Älte App" / "app.exe") << "x";
    fs::create_directories(c / "twins" / "Data");
    fs::create_directories(c / "twins" / "data" / "deep");
    TDriveRoots roots;
    roots['C' - 'A'] = c.string();
    auto probes = CreateMappedProbes(roots);

    EXPECT_EQ(probes->DriveKind('C'), TDriveKind::Local);
    EXPECT_EQ(probes->DriveKind('D'), TDriveKind::NoVolume); // not mapped: never judged
    roots['E' - 'A'] = (t.Path() / "unmounted").string();
    EXPECT_EQ(CreateMappedProbes(roots)->DriveKind('E'), TDriveKind::NoVolume);

    for (const char* there :
         {"C:\\Program Files\\Älte App\\app.exe", "c:\\PROGRAM FILES\\älte app\\APP.EXE",
          "C:/program files/ÄLTE APP", "C:\\", "C:\\Program Files\\.\\x\\..\\Älte App\\app.exe.",
          "C:\\twins\\DATA\\deep", "C:\\\\Program Files\\\\"})
        EXPECT_EQ(probes->ProbePath(there), TPathState::Exists) << there;
    for (const char* gone :
         {"C:\\Program Files\\Gone\\app.exe", "C:\\Program Files\\Älte App\\app.exe\\x",
          "C:\\Program Files\\Älte App\\ap.exe", "C:\\twins\\data\\deep\\no"})
        EXPECT_EQ(probes->ProbePath(gone), TPathState::Absent) << gone;
    // Linux keeps no short names: one is not found, and the probes say it cannot be judged.
    for (const char* shortName : {"C:\\PROGRA~1\\ÄLTEAP~1\\app.exe", "C:\\PROGR~3T\\Gone\\x.exe",
                                  "C:\\Program Files\\LTEAPP~1"})
        EXPECT_EQ(probes->ProbePath(shortName), TPathState::Absent) << shortName;
    EXPECT_EQ(probes->ShortNameMiss(), "short name not found on Linux");
    // No letter, or one not mapped: never a POSIX path of the host.
    EXPECT_EQ(probes->ProbePath("D:\\x"), TPathState::Unknown);
    EXPECT_EQ(probes->ProbePath(c.string() + "/PROGRAM FILES"), TPathState::Unknown);
    EXPECT_EQ(probes->ProbePath("\\\\server\\share\\x"), TPathState::Unknown);

    // Each folder is listed once: names added afterwards are not seen by the same probes.
    std::ofstream(c / "Program Files" / "Älte App" / "new.exe") << "x";
    EXPECT_EQ(probes->ProbePath("C:\\Program Files\\Älte App\\new.exe"), TPathState::Absent);
    EXPECT_EQ(CreateMappedProbes(roots)->ProbePath("C:\\Program Files\\Älte App\\new.exe"),
              TPathState::Exists);
}

TEST(DriveMap, AFolderThatCannotBeListedGivesNoVerdict) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root lists every folder";
    TempDir t;
    fs::create_directories(t.Path() / "locked" / "inside");
    ::chmod((t.Path() / "locked").c_str(), 0);
    TDriveRoots roots;
    roots['C' - 'A'] = t.Path().string();
    EXPECT_EQ(CreateMappedProbes(roots)->ProbePath("C:\\locked\\inside\\x.exe"),
              TPathState::Unknown);
    ::chmod((t.Path() / "locked").c_str(), 0755);
}

} // namespace

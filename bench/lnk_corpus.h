// The benchmark corpus of shortcut files, the same bytes on the host and under Wine: each
// file has an ID list, LinkInfo and the usual strings, as the shell writes them.
#pragma once

// GCC 12 at -O2 reports false -Warray-bounds and -Wstringop-* reports inside std::vector growth
// for the small byte vectors the builder appends; later releases are quiet.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
#include "../tests/lnk/lnk_builder.h"

#include <cstdio>
#include <string>

namespace lnkbench {

constexpr int kFiles = 10000;

inline std::string FileName(int i) { return "s" + std::to_string(i) + ".lnk"; }

inline lnkb::Bytes CorpusFile(int i) {
    using namespace lnkb;
    const std::string n = std::to_string(i);
    const std::u16string w(n.begin(), n.end());
    const std::string path = "C:\\Program Files\\Vendor " + n + "\\Application\\app" + n + ".exe";
    Link l;
    l.idList = IdList({RootItem(kMyComputer), DriveItem("C:\\"),
                       FileItem("PROGRA~1", u"Program Files", 9, true),
                       FileItem("VENDOR~1", u"Vendor " + w, 9, true),
                       FileItem("APPLIC~1", u"Application", 9, true),
                       FileItem("APP~1.EXE", u"app" + w + u".exe", 9)});
    l.linkInfo = LinkInfo({path, "", "", false, {}, {}, {}});
    l.strings = {u"", u"..\\..\\Program Files\\Vendor " + w + u"\\Application\\app" + w + u".exe",
                 u"C:\\Program Files\\Vendor " + w, u"--start", u""};
    return l.Build();
}

// Writes the corpus into `folder` (which exists; '/' or '\' separated as the platform likes).
inline bool WriteCorpus(const std::string& folder, char sep) {
    for (int i = 0; i < kFiles; ++i) {
        const lnkb::Bytes b = CorpusFile(i);
        std::FILE* f = std::fopen((folder + sep + FileName(i)).c_str(), "wb");
        if (!f)
            return false;
        const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
        if (std::fclose(f) != 0 || !ok)
            return false;
    }
    return true;
}

} // namespace lnkbench

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

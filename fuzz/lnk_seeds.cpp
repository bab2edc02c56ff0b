// Writes the seed corpus for the shortcut-file fuzzer: one file of each kind the tests build.
#include "lnk/lnk_builder.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace lnkb;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lnk_seeds <folder>\n");
        return 2;
    }
    const std::string out = argv[1];
    int n = 0;
    auto put = [&](const Bytes& b) {
        std::ofstream(out + "/seed" + std::to_string(n++) + ".lnk", std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    };
    const Bytes drive = IdList({RootItem(kMyComputer), DriveItem("C:\\"),
                                FileItem("PROGRA~1", u"Program Files", 3, true),
                                FileItem("TOOL~1", u"Tööl", 8, true),
                                FileItem("A~1.EXE", u"a 𝄞.exe", 9), FileItem("W", u"wine", -1)});
    const Bytes net = IdList({RootItem(kNetwork), NetworkItem(0x42, "\\\\server"),
                              NetworkItem(0xC3, "\\\\server\\share"), FileItem("F", u"file")});
    Link a;
    a.idList = drive;
    put(a.Build());
    a.idList = net;
    put(a.Build());
    Link b;
    b.linkInfo = LinkInfo(
        {"C:\\local\xE9", "\\\\srv\\share", "sfx", true, u"C:\\local", u"\\\\srv\\share", u"sfx"});
    b.strings = {u"name", u"..\\rel", u"C:\\work", u"-x", u"C:\\icon.ico"};
    put(b.Build());
    b.unicodeStrings = false;
    b.idList = drive;
    put(b.Build());
    Link c;
    c.extraFlags = kHasExpString | kHasDarwinId;
    c.extra = {TargetBlock(0xA0000001, "%A%\\x", u"%B%\\%C%"), TargetBlock(0xA0000006, "d", u"d")};
    c.idList = IdList({RootItem(kControlPanel)});
    put(c.Build());
    c.terminal = false;
    put(c.Build());
    Link icon; // the icon environment block and every header field set
    icon.extraFlags = kHasExpIcon;
    icon.extra = {TargetBlock(0xA0000007, "%I%\\i.ico", u"%I%\\w.ico")};
    icon.strings = {u"comment", u"", u"C:\\work", u"-a"};
    icon.attributes = 0x10;
    icon.created = icon.accessed = icon.written = 0x01D0000000000000ull;
    icon.fileSize = 4096;
    icon.iconIndex = 2;
    icon.showCommand = 7;
    icon.hotKey = 0x0370;
    put(icon.Build());
    Link relative; // the relative path as the only source
    relative.strings = {u"", u"..\\..\\..\\..\\x\\.\\y.exe"};
    put(relative.Build());
    return 0;
}

// Writes a tree of shortcuts with the shell link object itself, for the Windows program's
// test (same_verdicts.sh):  shell_tree.exe FOLDER
// FOLDER\targets holds what the valid shortcuts point to; FOLDER\menu holds the shortcuts:
// valid ones (a file, a folder, a target in other letters' case, a network drive, a letter
// without a volume), invalid ones (gone files, on C: and on Z:), one excluded by "*$*".
#include "base/handles.h"
#include "support/shell_link_win32.h"

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: shell_tree FOLDER\n");
        return 2;
    }
    const std::string root = argv[1];
    const std::string targets = root + "\\targets";
    const std::string menu = root + "\\menu";
    for (const std::string& dir : {root, targets, targets + "\\Sub Folder", menu, menu + "\\Old"})
        ::CreateDirectoryA(dir.c_str(), nullptr);
    if (!TKernelHandle(::CreateFileA((targets + "\\app.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)))
        return 1;

    std::string upper = targets + "\\APP.EXE";
    CharUpperA(upper.data());
    const struct {
        const char* link;
        std::string target;
    } links[] = {
        {"App.lnk", targets + "\\app.exe"},
        {"Folder.lnk", targets + "\\Sub Folder"},
        {"Upper case.lnk", upper},
        {"Network.lnk", "N:\\Shared\\gone.doc"},
        {"No volume.lnk", "Q:\\Tools\\tool.exe"},
        {"Old\\Gone.lnk", root + "\\gone\\gone.exe"},
        {"Old\\Zürich, ü – €.lnk", root + "\\gone\\ü.exe"},
        {"Old\\On Z.lnk", "Z:\\no-such-folder-of-the-cli-test\\x.exe"},
        {"Old\\skipped$.lnk", root + "\\gone\\skipped.exe"},
    };
    TComApartment com;
    for (const auto& l : links)
        if (!WriteShortcut(menu + "\\" + l.link, l.target)) {
            std::fprintf(stderr, "shell_tree: cannot write %s\n", l.link);
            return 1;
        }
    return 0;
}

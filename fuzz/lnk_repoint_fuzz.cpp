// libFuzzer target: any bytes through the shortcut writer. Whatever the input, the writer
// either refuses or writes a shortcut the reader reads whole, naming the new target, with the
// comment and arguments of the original.
#include "lnk/lnk_repoint.h"

#include "base/windows_path.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lnk::EnvLookup env = [](std::string_view name, std::string& value) {
        if (name.size() != 1)
            return false;
        value = "C:\\" + std::string(40, name[0]); // a variable whose value can hold the target
        return true;
    };
    const lnk::ReadContext context{"C:\\Links\\a\\b\\c.lnk", env, {}};
    const lnk::ShortcutFields before = lnk::ReadShortcutFields(data, size, context);
    static const char* const kTargets[] = {"D:\\Apps\\app.exe", "C:\\Links\\a\\x\\tool.exe",
                                           "C:\\AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\\new.exe",
                                           "E:\\Программы\\安装程序.exe", "F:\\"};
    for (const char* path : kTargets) {
        lnk::NewTarget target;
        target.path = path;
        target.folder = path[3] == '\0';
        target.size = size;
        target.volumeLabel = "Vol";
        const lnk::Repointed r = lnk::RepointShortcut(data, size, target, context);
        if (r.bytes.empty()) {
            if (r.refusal.empty())
                std::abort();
            continue;
        }
        if (!before.readable)
            std::abort(); // it wrote from bytes the reader cannot read
        const lnk::ShortcutFields after =
            lnk::ReadShortcutFields(r.bytes.data(), r.bytes.size(), context);
        if (!after.readable || !winpath::SameName(after.target, path) ||
            after.comment != before.comment || after.arguments != before.arguments ||
            after.hotKey != before.hotKey || after.showCommand != before.showCommand ||
            after.iconIndex != before.iconIndex)
            std::abort();
        // Only the rewritten structures grow: a bounded amount beyond the original.
        if (r.bytes.size() > size + 4096)
            std::abort();
    }
    return 0;
}

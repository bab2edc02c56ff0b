// The shell link object as the reader of shortcut targets.
#include "shell/link_reader.h"

#include "shell/com_ref.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

namespace {

// {00021401-0000-0000-C000-000000000046}
constexpr CLSID kClsidShellLink = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {000214EE-0000-0000-C000-000000000046}
constexpr IID kIidShellLinkA = {
    0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0000010B-0000-0000-C000-000000000046}
constexpr IID kIidPersistFile = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class ShellLinkReader final : public ILinkReader {
public:
    std::string ReadTarget(const std::string& shortcutPath) override {
        // Declared in this order so the IPersistFile view is released first.
        ComRef<IShellLinkA> link;
        if (FAILED(::CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      kIidShellLinkA, link.outVoid())) ||
            !link.get())
            return {};
        ComRef<IPersistFile> file;
        if (FAILED(link->QueryInterface(kIidPersistFile, file.outVoid())) || !file.get())
            return {};

        wchar_t widePath[MAX_PATH];
        if (::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, shortcutPath.c_str(), -1, widePath,
                                  MAX_PATH) == 0)
            return {}; // does not fit with its terminating zero (or cannot be converted)
        file->Load(widePath, STGM_READ);

        char target[MAX_PATH] = {};
        WIN32_FIND_DATAA findData;
        link->GetPath(target, MAX_PATH, &findData, SLGP_UNCPRIORITY);
        target[MAX_PATH - 1] = '\0';
        return std::string(target);
    }
};

} // namespace

std::unique_ptr<ILinkReader> CreateSystemLinkReader() { return std::make_unique<ShellLinkReader>(); }

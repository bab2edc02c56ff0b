#include "platform/shell_services.h"
#include "platform/util_funcs.h"

namespace {

class ShellApiServices final : public IShellServices {
public:
    bool BrowseForFolder(WindowHandle owner, std::string& path, const std::string& title,
                         std::uint32_t flags, const std::string& root) override {
        return ::BrowseForFolder(owner, path, title, flags, root);
    }
    bool MoveToRecycleBin(WindowHandle owner, const std::vector<std::string>& paths,
                          bool confirm) override {
        return ::MoveToRecycleBin(owner, paths, confirm);
    }
    void ShowFileProperties(const std::string& path) override { ::ShowFileProperties(path); }
    void OpenLink(const std::string& link) override { ::OpenLink(link); }
};

} // namespace

IShellServices& SystemShellServices() {
    static ShellApiServices services;
    return services;
}

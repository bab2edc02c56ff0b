#include "platform/shell_services.h"

#include "platform/util_funcs.h"

namespace {

class SystemServices final : public IShellServices {
public:
    bool PickFolder(WindowHandle owner, std::string& path, const std::string& title) override {
        return BrowseForFolder(owner, path, title, kBifReturnOnlyFsDirs | kBifNewDialogStyle, "");
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
    static SystemServices services;
    return services;
}

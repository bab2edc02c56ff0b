#include "platform/instance.h"

#include "base/path_rules.h"
#include "base/text.h"

std::string InstanceMutexName(std::string_view exePath) {
    return AsciiUpperCase(ExtractFileName(exePath));
}

std::string DefaultTitle(std::string_view exePath) {
    std::string_view name = ExtractFileName(exePath);
    name = name.substr(0, name.find('.'));
    if (name.empty())
        return std::string();
    std::string title = AsciiLowerCase(name);
    title.front() = name.front();
    return title;
}

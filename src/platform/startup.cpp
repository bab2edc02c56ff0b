#include "platform/startup.h"

#include <cstdio>

std::string WelcomeText(const std::string& title) { return "Welcome to " + title + "!"; }

std::string UnhandledErrorReport(const std::string& errorClass, const std::string& module,
                                 std::uintptr_t offset, const std::string& message) {
    char hex[24];
    std::snprintf(hex, sizeof hex, "%08llX", static_cast<unsigned long long>(offset));
    const bool stop = !message.empty() && message.back() == '.';
    return "Exception " + errorClass + " in module " + module + " at " + hex + ".\r\n" + message +
           (stop ? "" : ".") + "\r\n";
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

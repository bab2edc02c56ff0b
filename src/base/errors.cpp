#include "base/errors.h"

std::string TrimSystemText(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.pop_back();
    return text;
}

std::string CannotOpenFileMessage(const std::string& path, const std::string& systemText) {
    return "Cannot open file \"" + path + "\". " + systemText;
}

std::string CannotReadFileMessage(const std::string& path, const std::string& systemText) {
    return "Cannot read file \"" + path + "\". " + systemText;
}

std::string MessageOf(const std::exception_ptr& error) {
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "An unknown error occurred.";
}

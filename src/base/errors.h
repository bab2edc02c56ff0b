// The program's one family of errors. Each carries the message that is shown to the user and
// the name of its class, which the unhandled-error report prints. Whatever fails, in the core
// or in the window layer, raises one of these.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    virtual const char* ClassName() const noexcept { return "Exception"; }
};

// A file could not be opened: "Cannot open file "<full path>". <system text>".
class EFOpenError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EFOpenError"; }
};

// A file was opened but reading it failed part-way.
class EReadError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EReadError"; }
};

// A call of the system failed: what was being done, then the system's text for the error.
class EOSError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EOSError"; }
};

// A picture file that is not a bitmap: "Bitmap image is not valid".
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EInvalidGraphic"; }
};

// "Cannot open file "<path>". <systemText>"
std::string CannotOpenFileMessage(const std::string& path, const std::string& systemText);
// "Cannot read file "<path>". <systemText>"
std::string CannotReadFileMessage(const std::string& path, const std::string& systemText);
// The system's text for an error without the line break it usually ends with.
std::string TrimSystemText(std::string text);

// The message of whatever was thrown: what() of a standard exception, else a fixed text.
std::string MessageOf(const std::exception_ptr& error);

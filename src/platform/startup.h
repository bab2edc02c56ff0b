// Texts of start-up: the refusal of a second copy, the welcome line, and the two ways an
// error is reported (before the main window exists, and inside its creation).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

inline constexpr const char* kAlreadyRunningText = "This program already run in memory.";
inline constexpr const char* kUnhandledErrorCaption = "Application Error";

// "Welcome to " + title + "!".
std::string WelcomeText(const std::string& title);

// The unhandled-error report: "Exception <class> in module <module> at <offset>.\r\n"
// followed by the message, a "." when the message does not already end in one, and "\r\n".
// The offset is written as eight upper-case hex digits.
std::string UnhandledErrorReport(const std::string& errorClass, const std::string& module,
                                 std::uintptr_t offset, const std::string& message);

// The text of an error box shown for an error escaping a window handler: the message, with
// "." appended when its last byte sorts after '.'.
std::string ErrorBoxText(const std::string& message);

// Windows build: the unhandled-error report for `error` in a task-modal box, named after the
// running executable; returns 1, the exit code that goes with it.
int ReportStartupError(const std::exception_ptr& error);

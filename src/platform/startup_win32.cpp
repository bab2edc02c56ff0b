#include "platform/startup.h"

#include "base/errors.h"
#include "base/path_rules.h"
#include "platform/program_files.h"

#include <windows.h>

namespace {

std::string ErrorClassOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.ClassName();
    } catch (...) {
    }
    return "Exception";
}

} // namespace

int ReportStartupError(const std::exception_ptr& error) {
    const auto offset = reinterpret_cast<std::uintptr_t>(&ReportStartupError) -
                        reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr));
    const std::string text =
        UnhandledErrorReport(ErrorClassOf(error), std::string(ExtractFileName(GetExecutablePath())),
                             offset, MessageOf(error));
    ::MessageBoxA(nullptr, text.c_str(), kUnhandledErrorCaption,
                  MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return 1;
}

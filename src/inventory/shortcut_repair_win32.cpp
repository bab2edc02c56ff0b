#include "inventory/shortcut_repair.h"

#include "base/com_ref.h"
#include "base/handles.h"
#include "base/system_error.h"
#include "base/text.h"
#include "base/windows_path.h"
#include "lnk/link_reader.h"
#include "platform/wine.h"

#include <windows.h>

namespace {

class Win32RepairFiles final : public IRepairFiles {
public:
    explicit Win32RepairFiles(TRecycleFiles recycle) : recycle_(std::move(recycle)) {}
    bool Read(const std::string& path, std::vector<unsigned char>& bytes) override {
        const TKernelHandle file(::CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size;
        if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > (1 << 24))
            return false;
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        return bytes.empty() || (::ReadFile(file.get(), bytes.data(),
                                            static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                                 read == bytes.size());
    }
    bool Create(const std::string& path, const std::vector<unsigned char>& bytes,
                std::string& reason) override {
        const std::wstring wide = LongPathForm(path);
        bool ok = false;
        {
            const TKernelHandle file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) {
                reason = LastSystemErrorText();
                return false;
            }
            DWORD written = 0;
            ok = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                             nullptr) &&
                 written == bytes.size() && ::FlushFileBuffers(file.get());
            if (!ok)
                reason = LastSystemErrorText();
        }
        if (!ok)
            ::DeleteFileW(wide.c_str());
        return ok;
    }
    std::vector<std::string> Recycle(const std::vector<std::string>& paths) override {
        return recycle_(paths);
    }
    bool Rename(const std::string& from, const std::string& to, std::string& reason) override {
        if (!::MoveFileExW(LongPathForm(from).c_str(), LongPathForm(to).c_str(), 0)) {
            reason = LastSystemErrorText();
            return false;
        }
        return true;
    }
    void Remove(const std::string& path) override { ::DeleteFileW(LongPathForm(path).c_str()); }
    // On Windows the shell link object must read the new file as the program does; Wine's
    // misreads many shortcuts Windows writes, and the program's own reader is the one there.
    bool Confirm(const std::string& path, const std::string& target) override {
        if (RunsUnderWine())
            return true;
        TComApartment com;
        return winpath::SameName(CreateShellLinkReader()->ReadTarget(path), target);
    }

private:
    TRecycleFiles recycle_;
};

} // namespace

std::unique_ptr<IRepairFiles> CreateSystemRepairFiles(TRecycleFiles recycle) {
    return std::make_unique<Win32RepairFiles>(std::move(recycle));
}

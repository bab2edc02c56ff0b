// Where the command-line program writes its records: standard output, or the file --output
// names. The bytes go through a buffer of the program's own straight to the file
// descriptor, so the first write that fails is known at once with the system's reason, and
// nothing is written after it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

class TOutput {
public:
    // Standard output.
    TOutput();
    // The file at `path` (as the user typed it), created or emptied. Nothing, with a message
    // for the user in `error`, when it cannot be opened, or when it is a shortcut or would be
    // taken for one (a name ending in ".lnk"): a report never replaces a shortcut, and the
    // walk never reads the report.
    static std::unique_ptr<TOutput> OpenFile(const std::string& path, std::string& error);
    // Standard output for "", else OpenFile.
    static std::unique_ptr<TOutput> Open(const std::string& path, std::string& error) {
        return path.empty() ? std::make_unique<TOutput>() : OpenFile(path, error);
    }
    TOutput(const TOutput&) = delete;
    TOutput& operator=(const TOutput&) = delete;
    ~TOutput();

    std::ostream& Stream() { return stream_; }
    bool IsTerminal() const { return terminal_; }

    // Whether a write has failed; from then on nothing more is written.
    bool Failed() const { return error_ != 0; }
    // Whether it failed because the reader of a pipe went away (`| head`): no fault to report.
    bool ReaderGone() const;
    // "cannot write NAME: REASON", for a failed output.
    std::string Error() const;

    // Whether the output is a regular file (a named one, or standard output sent to one).
    bool IsFile() const { return fileId_.has_value(); }
    // Whether the file at `programPath` is this output's own file (one name of it that the
    // walk may meet, through a link or a second name). False when the output is no file.
    bool IsOwnFile(const std::string& programPath) const;

private:
    class Buffer;
    TOutput(int fd, bool owned, std::string name);

    int fd_;
    bool owned_;
    std::string name_; // as the user knows it
    bool terminal_;
    int error_ = 0; // errno of the first failed write
    std::optional<std::pair<std::uint64_t, std::uint64_t>> fileId_; // a regular file's
    std::unique_ptr<Buffer> buffer_;
    std::ostream stream_;
};

// Whether `path` names a shortcut file by its name ("*.lnk" without regard to case, trailing
// dots and blanks dropped as Windows drops them) or by its first bytes.
bool IsShortcutFile(const std::string& path);

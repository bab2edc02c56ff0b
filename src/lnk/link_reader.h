// Reading the target path stored in a shortcut file, and the choice of reader.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ILinkReader {
public:
    virtual ~ILinkReader() = default;
    // The whole path the shell reports for the shortcut (of any length, never a part of it),
    // or "" when the file cannot be read, has no file-system target, or its target cannot be
    // had whole. Never throws.
    virtual std::string ReadTarget(const std::string& shortcutPath) = 0;
};

// The platform's reader, chosen by SelectLinkReader: on Windows the shell link object (one
// fresh object per call, on a thread that has entered a COM apartment); under Wine, whose
// link object misreads many shortcuts written by Windows, and on the host the program's own
// reader of the file format.
std::unique_ptr<ILinkReader> CreateSystemLinkReader();

// What the program's own reader needs of the platform.
class IShortcutFiles {
public:
    virtual ~IShortcutFiles() = default;
    // The first bytes of the file, at most lnk::kMaxShortcutBytes, into `bytes`; false when
    // it cannot be opened and read as a file. A file open elsewhere for writing is read.
    virtual bool ReadPrefix(const std::string& path, std::vector<unsigned char>& bytes) = 0;
    // The value of an environment variable, names compared without regard to ASCII case;
    // false when it is not set.
    virtual bool LookupEnvironment(std::string_view name, std::string& value) = 0;
    // Text in the system's default ANSI code page as UTF-8; false leaves it to the reader's
    // Windows-1252.
    virtual bool DecodeAnsi(std::string_view bytes, std::string& utf8) = 0;
};

// The program's own reader: the file's bytes through `files`, read by lnk::ReadShortcutTarget
// with the shortcut's own path, so a target stored only as a relative path is resolved
// against the shortcut's folder.
std::unique_ptr<ILinkReader> CreateShortcutFileReader(std::unique_ptr<IShortcutFiles> files);

// The platform as the choice of reader sees it.
class ILinkReaderPlatform {
public:
    virtual ~ILinkReaderPlatform() = default;
    // Decided once per process: the Windows build running under Wine.
    virtual bool RunsUnderWine() = 0;
    // The shell link object as a reader; nullptr where there is none.
    virtual std::unique_ptr<ILinkReader> CreateShellLinkReader() = 0;
    virtual std::unique_ptr<IShortcutFiles> CreateShortcutFiles() = 0;
};

// The platform's file, environment and code-page access of the program's own reader, for
// what else it reads from a shortcut file (lnk::ReadShortcutFields).
std::unique_ptr<IShortcutFiles> CreateSystemShortcutFiles();

// The platform check behind the choice of reader, decided once per process: the Windows
// build running under Wine. Always false on the host.
bool RunsUnderWine();

// The shell link object where the platform has one and does not run under Wine; the
// program's own reader otherwise.
std::unique_ptr<ILinkReader> SelectLinkReader(ILinkReaderPlatform& platform);

// The shell link object itself, whatever the platform runs on (Windows builds only): for the
// tests and benchmarks that compare with it.
std::unique_ptr<ILinkReader> CreateShellLinkReader();

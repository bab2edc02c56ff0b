// Reading the target path stored in a shortcut file, and the choice of reader.
#pragma once

#include "lnk/lnk_format.h"
#include "platform/wine.h"

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
    // The same target with the structure that named it, or why there is none
    // (TargetGap::Unreadable when the file could not be opened and read as a shortcut). A
    // reader that knows only the path says no more than that, and takes no path for an
    // unreadable file.
    virtual lnk::TargetReading Read(const std::string& shortcutPath) {
        lnk::TargetReading reading;
        reading.path = ReadTarget(shortcutPath);
        reading.gap = reading.path.empty() ? lnk::TargetGap::Unreadable : lnk::TargetGap::None;
        return reading;
    }
};

// The platform's reader, chosen by SelectLinkReader: on Windows the shell link object (one
// fresh object per call, on a thread that has entered a COM apartment); under Wine, whose
// link object misreads many shortcuts written by Windows, and on the host the program's own
// reader of the file format.
std::unique_ptr<ILinkReader> CreateSystemLinkReader();

// What the program's own reader needs of the platform: the shortcut files, and the Windows
// they belong to (the running one on Windows and under Wine; on Linux, the Wine prefix or
// the partition the shortcut lies in, never the Linux process's own environment).
class IShortcutFiles {
public:
    virtual ~IShortcutFiles() = default;
    // The first bytes of the file, at most lnk::kMaxShortcutBytes, into `bytes`; false when
    // it cannot be opened and read as a file. A file open elsewhere for writing is read.
    virtual bool ReadPrefix(const std::string& path, std::vector<unsigned char>& bytes) = 0;
    // The shortcut file's full path as its Windows names it ("C:\Users\...\x.lnk"), the
    // folder a relative target starts from; "" when no drive of that Windows holds it.
    virtual std::string WindowsPath(const std::string& path) { return path; }
    // The value of an environment variable as that Windows sets it for a user who keeps the
    // shortcut at `linkPath` (its Windows path, or ""), names compared without regard to
    // ASCII case; false when it is not set or cannot be known.
    virtual bool LookupEnvironment(std::string_view name, std::string_view linkPath,
                                   std::string& value) = 0;
    // The place of a known folder there; false when it has none or it cannot be known. By
    // default the folder's usual place through LookupEnvironment.
    virtual bool KnownFolderPlace(const lnk::KnownFolder& folder, std::string_view linkPath,
                                  std::string& place);
    // Text in the system's default ANSI code page as UTF-8; false leaves it to the reader's
    // Windows-1252.
    virtual bool DecodeAnsi(std::string_view bytes, std::string& utf8) = 0;
};

// The reading context of a shortcut whose Windows path is `windowsPath` (files.WindowsPath of
// it): that Windows' environment, known folders and code page. It refers to `files`, which
// must outlive it, and keeps its own copy of the path (a batch of repairs holds many contexts
// at once).
lnk::ReadContext ShortcutContext(IShortcutFiles& files, const std::string& windowsPath);

// The reading of the shortcut at `path` (the program's path) through `files`: its bytes, its
// Windows path, that Windows' environment, known folders and code page. `fields`, when given,
// also receives everything else the file stores.
lnk::TargetReading ReadShortcutFile(IShortcutFiles& files, const std::string& path,
                                    std::vector<unsigned char>& buffer,
                                    lnk::ShortcutFields* fields = nullptr);

// The program's own reader: the file's bytes through `files`, read by lnk::ReadTarget with
// the shortcut's own Windows path, so a target stored only as a relative path is resolved
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
// what else it reads from a shortcut file (lnk::ReadShortcutFields). On the host it knows
// no Windows: no variable, no known folder and no Windows path of a shortcut.
std::unique_ptr<IShortcutFiles> CreateSystemShortcutFiles();

// The shell link object where the platform has one and does not run under Wine; the
// program's own reader otherwise.
std::unique_ptr<ILinkReader> SelectLinkReader(ILinkReaderPlatform& platform);

// The shell link object itself, whatever the platform runs on (Windows builds only): for the
// tests and benchmarks that compare with it.
std::unique_ptr<ILinkReader> CreateShellLinkReader();

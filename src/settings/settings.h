// The settings file "lamecore.dll" beside the executable: an INI text whose line contents
// are stored with every byte complemented. Reading, decoding and lookup.
#pragma once

#include "base/path_rules.h"
#include "base/text.h"
#include "platform/program_files.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kSettingsFileName = "lamecore.dll";
inline constexpr const char* kSettingsSection = "SYSTEM";

// Every byte complemented (b -> b XOR 0xFF); the same length; its own inverse.
std::string InvertBytes(std::string_view bytes);

// The lines of a byte text: CR, LF and CR LF each end a line, a break at the very end makes
// no extra empty line, and a zero byte ends the text.
std::vector<std::string> SplitSettingsLines(std::string_view text);

// The file's bytes as decoded lines: split first, then every line complemented.
std::vector<std::string> DecodeSettingsLines(std::string_view fileBytes);

// Upper-casing used to compare section and key names.
using UpperCaseFn = std::string (*)(std::string_view);

// Parsed INI text. Lines are trimmed of every byte up to and including the blank; empty
// lines and lines starting with ';' are skipped; "[name]" opens a new section every time;
// lines before the first section are ignored; "key = value" splits at the first '='; lines
// without '=' never match. Lookup compares names after upper-casing, searches the last
// section of the name and takes the last occurrence of the key.
class TSettings {
public:
    TSettings() = default;
    static TSettings Parse(const std::vector<std::string>& decodedLines, UpperCaseFn upper);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

private:
    struct Entry {
        std::string upperKey;
        std::string value;
    };
    struct Section {
        std::string upperName;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;
    UpperCaseFn upper_ = nullptr;
};

// The settings file's full path in a folder: AddTrailingBackslash(folder) + "lamecore.dll".
std::string SettingsFileNameIn(std::string_view folder);

// AddTrailingBackslash applied to the executable's folder.
inline std::string GetProgramFolder() {
    return AddTrailingBackslash(ExtractFilePath(GetExecutablePath()));
}

inline std::string GetSettingsFileName() { return SettingsFileNameIn(GetProgramFolder()); }

// Reads, decodes and parses the file at `path`, from disk every time. Throws EFOpenError
// when the file cannot be opened.
inline TSettings ReadSettingsFileAt(const std::string& path) {
    return TSettings::Parse(DecodeSettingsLines(ReadSharedFile(path)), AnsiUpperCase);
}

// The settings file beside the executable.
inline TSettings ReadSettingsFile() { return ReadSettingsFileAt(GetSettingsFileName()); }

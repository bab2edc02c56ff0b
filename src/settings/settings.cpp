#include "settings/settings.h"

#include "base/errors.h"

namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsTrimmed(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsTrimmed(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string InvertBytes(std::string_view bytes) {
    std::string result(bytes);
    for (char& c : result)
        c = static_cast<char>(~static_cast<unsigned char>(c));
    return result;
}

std::vector<std::string> SplitSettingsLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t brk = text.find_first_of("\r\n", start);
        if (brk == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, brk - start));
        start = brk + 1;
        if (text[brk] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::vector<std::string> DecodeSettingsLines(std::string_view fileBytes) {
    std::vector<std::string> lines = SplitSettingsLines(fileBytes);
    for (std::string& line : lines)
        line = InvertBytes(line);
    return lines;
}

TSettings TSettings::Parse(const std::vector<std::string>& decodedLines, UpperCaseFn upper) {
    TSettings settings;
    settings.upper_ = upper;
    for (const std::string& raw : decodedLines) {
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            settings.sections_.push_back({upper(Trim(line.substr(1, line.size() - 2))), {}});
            continue;
        }
        if (settings.sections_.empty())
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue; // kept by the format, but it can never match a key
        settings.sections_.back().entries.push_back(
            {upper(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1)))});
    }
    return settings;
}

std::string TSettings::ReadString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const {
    if (sections_.empty())
        return std::string(defaultValue);
    const std::string upperSection = upper_(section);
    for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
        if (s->upperName != upperSection)
            continue;
        // Only the last section of the name counts.
        const std::string upperKey = upper_(key);
        for (auto e = s->entries.rbegin(); e != s->entries.rend(); ++e)
            if (e->upperKey == upperKey)
                return e->value;
        break;
    }
    return std::string(defaultValue);
}

std::string SettingsFileNameIn(std::string_view folder) {
    return AddTrailingBackslash(folder) + kSettingsFileName;
}

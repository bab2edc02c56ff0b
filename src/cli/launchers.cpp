#include "cli/launchers.h"

#include "base/text.h"
#include "base/windows_path.h"
#include "cli/record_writer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace {

// The value's own escapes, as the Desktop Entry format lists them for strings.
std::string Unescaped(std::string_view value) {
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        switch (const char c = value[++i]) {
        case 's':
            result += ' ';
            break;
        case 'n':
            result += '\n';
            break;
        case 't':
            result += '\t';
            break;
        case 'r':
            result += '\r';
            break;
        case '\\':
            result += '\\';
            break;
        default: // not an escape: kept as written
            result += '\\';
            result += c;
        }
    }
    return result;
}

// The program Wine's launchers start: "wine", "/usr/bin/wine64", or a packaged name such as
// Debian's "wine-stable" (never winecfg, wineconsole or another program of Wine's).
bool IsWine(const std::string& word) {
    const std::string name = word.substr(word.rfind('/') + 1);
    for (const char* wine : {"wine", "wine64"})
        if (name == wine || name.rfind(std::string(wine) + "-", 0) == 0)
            return true;
    return false;
}

bool IsStart(const std::string& word) {
    const std::string lower = AsciiLowerCase(word);
    return lower == "start" || lower == "start.exe" || lower == "c:\\windows\\command\\start.exe";
}

bool EndsWithLnk(const std::string& path) {
    return path.size() > 4 && AsciiLowerCase(path.substr(path.size() - 4)) == ".lnk";
}

// The keys of the [Desktop Entry] group (localised keys left out).
std::optional<std::string> Key(std::string_view text, std::string_view wanted) {
    bool inEntry = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inEntry || eq == std::string_view::npos)
            continue;
        std::string_view key = line.substr(0, eq);
        while (!key.empty() && key.back() == ' ')
            key.remove_suffix(1);
        if (key != wanted)
            continue;
        std::string_view value = line.substr(eq + 1);
        while (!value.empty() && value.front() == ' ')
            value.remove_prefix(1);
        return std::string(value);
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> ExecWords(std::string_view value) {
    const std::string text = Unescaped(value);
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && i + 1 < text.size() &&
                     std::string_view("\"`$\\").find(text[i + 1]) != std::string_view::npos)
                word += text[++i];
            else
                word += c;
        } else if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '"')
                quoted = true;
            else if (c == '\\' && i + 1 < text.size())
                word += text[++i];
            else
                word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::optional<TWineLauncher> ParseWineLauncher(std::string_view text) {
    const std::optional<std::string> exec = Key(text, "Exec");
    if (!exec)
        return std::nullopt;
    const std::vector<std::string> words = ExecWords(*exec);
    TWineLauncher launcher;
    std::size_t i = 0;
    if (i < words.size() && words[i] == "env") {
        for (++i; i < words.size() && words[i].find('=') != std::string::npos; ++i)
            if (words[i].rfind("WINEPREFIX=", 0) == 0)
                launcher.prefix = words[i].substr(11);
    }
    if (i >= words.size() || !IsWine(words[i]))
        return std::nullopt;
    ++i;
    if (i >= words.size())
        return std::nullopt;
    if (IsStart(words[i])) {
        if (i + 2 >= words.size())
            return std::nullopt;
        const std::string option = AsciiLowerCase(words[i + 1]);
        launcher.path = words[i + 2];
        if (option == "/progidopen") {
            launcher.form = TLauncherForm::Association;
            const std::string types = Key(text, "MimeType").value_or("");
            for (std::size_t at = 0; at < types.size();) {
                const std::size_t end = std::min(types.find(';', at), types.size());
                if (end > at)
                    launcher.mimeTypes.push_back(types.substr(at, end - at));
                at = end + 1;
            }
        } else if (option == "/unix" && EndsWithLnk(launcher.path)) {
            launcher.form = TLauncherForm::UnixShortcut;
        } else {
            return std::nullopt;
        }
    } else if (winpath::DriveLetter(words[i]) != 0) {
        launcher.path = words[i];
        launcher.form =
            EndsWithLnk(launcher.path) ? TLauncherForm::WindowsShortcut : TLauncherForm::Program;
    } else {
        return std::nullopt;
    }
    launcher.icon = Key(text, "Icon").value_or("");
    return launcher;
}

std::string CommandProgram(std::string_view command) {
    while (!command.empty() && (command.front() == ' ' || command.front() == '\t'))
        command.remove_prefix(1);
    if (!command.empty() && command.front() == '"')
        return std::string(command.substr(1, command.find('"', 1) - 1));
    const std::string lower = AsciiLowerCase(command);
    for (std::size_t at = lower.find(".exe"); at != std::string::npos;
         at = lower.find(".exe", at + 1))
        if (at + 4 == lower.size() || lower[at + 4] == ' ')
            return std::string(command.substr(0, at + 4));
    return std::string(command.substr(0, command.find(' ')));
}

std::string TextProblem(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos || !IsUtf8(std::string(bytes)))
        return "not a text file";
    return "";
}

namespace {

const char* Verdict(const TLauncherReport& r) { return r.dead ? "dead" : "live"; }

std::array<std::string, 6> Fields(const TLauncherReport& r) {
    return {r.launcher, r.prefix, r.shortcut, r.target, Verdict(r), r.reason};
}

constexpr std::array<const char*, 6> kNames = {"Launcher", "Prefix",  "Shortcut",
                                               "Target",   "Verdict", "Reason"};

class DelimitedLauncherWriter final : public ILauncherWriter {
public:
    DelimitedLauncherWriter(std::ostream& out, TOutputFormat format) : out_(out), format_(format) {}
    void Write(const TLauncherReport& r) override {
        Header();
        out_ << DelimitedLine(format_, Fields(r));
    }
    void Finish() override {
        Header();
        out_.flush();
    }

private:
    void Header() {
        if (!headerDone_)
            out_ << DelimitedLine(format_, std::vector<std::string>(kNames.begin(), kNames.end()));
        headerDone_ = true;
    }
    std::ostream& out_;
    TOutputFormat format_;
    bool headerDone_ = false;
};

class JsonLauncherWriter final : public ILauncherWriter {
public:
    explicit JsonLauncherWriter(std::ostream& out) : out_(out) {}
    void Write(const TLauncherReport& r) override {
        const std::array<std::string, 6> fields = Fields(r);
        nlohmann::ordered_json object;
        for (std::size_t i = 0; i < fields.size(); ++i)
            object[kNames[i]] = fields[i];
        for (std::size_t i = 0; i < 4; ++i)
            if (!IsUtf8(fields[i]))
                object[std::string(kNames[i]) + "Bytes"] = Base64(fields[i]);
        out_ << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    }
    void Finish() override { out_.flush(); }

private:
    std::ostream& out_;
};

// Columns as wide as their widest text, so the table is written at the end. Given a width (a
// terminal's), each line fits it: the reason is held to the usual reasons' length, the paths
// share the rest and are shortened in the middle with "…", as the shortcut table does.
class TableLauncherWriter final : public ILauncherWriter {
public:
    TableLauncherWriter(std::ostream& out, int width) : out_(out), width_(width) {}
    void Write(const TLauncherReport& r) override {
        rows_.push_back({Verdict(r), VisibleText(r.reason), VisibleText(r.launcher),
                         VisibleText(r.shortcut.empty() ? r.target : r.shortcut)});
    }
    void Finish() override {
        if (rows_.empty()) {
            out_.flush();
            return;
        }
        rows_.insert(rows_.begin(), {"State", "Reason", "Launcher", "Shortcut or program"});
        std::array<int, 4> widths{};
        for (const auto& row : rows_)
            for (std::size_t i = 0; i < row.size(); ++i)
                widths[i] = std::max(widths[i], DisplayWidth(row[i]));
        Fit(widths);
        for (const auto& row : rows_) {
            std::string line;
            for (std::size_t i = 0; i < row.size(); ++i) {
                const std::string cell = width_ > 0 ? FitText(row[i], widths[i], i >= 2) : row[i];
                line += cell;
                if (i + 1 < row.size())
                    line.append(static_cast<std::size_t>(widths[i] - DisplayWidth(cell) + kGap),
                                ' ');
            }
            out_ << line << '\n';
        }
        rows_.clear();
        out_.flush();
    }

private:
    static constexpr int kGap = 2;

    // The columns narrowed until a line takes less than the width (never below a useful
    // few columns each).
    void Fit(std::array<int, 4>& widths) const {
        const int room = width_ - 1 - widths[0] - 3 * kGap;
        if (width_ <= 0 || widths[1] + widths[2] + widths[3] <= room)
            return;
        const int fitted = std::max(room, 40);
        widths[1] = std::min(widths[1], std::clamp(fitted / 3, 16, 24)); // the usual reasons
        const int paths = fitted - widths[1];
        widths[2] = std::min(widths[2], std::max(paths - std::min(widths[3], paths / 2), 10));
        widths[3] = std::max(paths - widths[2], 10);
    }

    std::ostream& out_;
    int width_; // 0: nothing shortened
    std::vector<std::array<std::string, 4>> rows_;
};

class LauncherPathWriter final : public ILauncherWriter {
public:
    explicit LauncherPathWriter(std::ostream& out) : out_(out) {}
    void Write(const TLauncherReport& r) override { out_ << r.launcher << '\0'; }
    void Finish() override { out_.flush(); }

private:
    std::ostream& out_;
};

} // namespace

std::unique_ptr<ILauncherWriter> CreateLauncherWriter(TOutputFormat format, bool print0,
                                                      std::ostream& out, int tableWidth) {
    if (print0)
        return std::make_unique<LauncherPathWriter>(out);
    switch (format) {
    case TOutputFormat::Csv:
    case TOutputFormat::Tsv:
        return std::make_unique<DelimitedLauncherWriter>(out, format);
    case TOutputFormat::Json:
        return std::make_unique<JsonLauncherWriter>(out);
    case TOutputFormat::Table:
        break;
    }
    return std::make_unique<TableLauncherWriter>(out, tableWidth);
}

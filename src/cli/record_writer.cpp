#include "cli/record_writer.h"

#include "inventory/shortcut_item.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6"; // …
constexpr int kStateWidth = 7;                         // "invalid"
constexpr int kGap = 2;

// The code point starting at text[i] and the number of its bytes; a byte that does not
// start a valid sequence counts as one code point of its own.
std::pair<std::uint32_t, std::size_t> CodePoint(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > text.size())
        return {b, 1};
    std::uint32_t cp = n == 1 ? b : b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c >> 6) != 2)
            return {b, 1};
        cp = (cp << 6) | (c & 0x3F);
    }
    return {cp, n};
}

bool IsWide(std::uint32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
           (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
           (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F) ||
           (cp >= 0x20000 && cp <= 0x3FFFD);
}

int Width(std::uint32_t cp) { return IsWide(cp) ? 2 : 1; }

// The longest head of `text` that takes at most `width` columns.
std::string_view Head(std::string_view text, int width) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto [cp, n] = CodePoint(text, i);
        width -= Width(cp);
        if (width < 0)
            break;
        i += n;
    }
    return text.substr(0, i);
}

// The longest tail of `text` that takes at most `width` columns.
std::string_view Tail(std::string_view text, int width) {
    std::size_t start = text.size();
    std::size_t i = 0;
    // Walk forward once, remembering where each code point starts, then take from the end.
    std::vector<std::pair<std::size_t, int>> points;
    while (i < text.size()) {
        const auto [cp, n] = CodePoint(text, i);
        points.emplace_back(i, Width(cp));
        i += n;
    }
    for (auto it = points.rbegin(); it != points.rend(); ++it) {
        width -= it->second;
        if (width < 0)
            break;
        start = it->first;
    }
    return text.substr(start);
}

std::string_view InvalidText(bool invalid) { return invalid ? "true" : "false"; }

class TableWriter final : public IRecordWriter {
public:
    TableWriter(std::ostream& out, int width) : out_(out) {
        if (width > 0) {
            const int room = std::max(width - 1 - kStateWidth - 4 * kGap, 40);
            name_ = std::max(room / 5, 8);
            reason_ = std::clamp(room / 4, 10, 24); // the usual reasons whole
            target_ = std::max((room - name_ - reason_) / 2, 10);
            shortcut_ = room - name_ - reason_ - target_;
        }
    }

    void Write(const TShortcutItem& r) override {
        if (!headerDone_) {
            headerDone_ = true;
            Line("State", "Name", "Target", "Reason", "Shortcut");
        }
        Line(r.Invalid ? "invalid" : "valid", VisibleText(r.Name), VisibleText(r.Target), r.Reason,
             VisibleText(r.Shortcut));
    }
    void Finish() override { out_.flush(); }

private:
    void Line(const std::string& state, const std::string& name, const std::string& target,
              const std::string& reason, const std::string& shortcut) {
        std::string line;
        Cell(line, state, kStateWidth, false);
        Cell(line, name, name_ ? name_ : 24, false);
        Cell(line, target, target_ ? target_ : 48, true);
        Cell(line, reason, reason_ ? reason_ : 24, false);
        line += shortcut_ ? FitText(shortcut, shortcut_, true) : shortcut;
        line += '\n';
        out_ << line;
    }
    // A fitted cell padded to its width, then the gap. Without a terminal width the cells
    // are padded to a minimum width but never shortened.
    void Cell(std::string& line, const std::string& text, int width, bool keepTail) {
        const std::string cell = shortening() ? FitText(text, width, keepTail) : text;
        line += cell;
        line.append(static_cast<std::size_t>(std::max(width - DisplayWidth(cell), 0) + kGap), ' ');
    }
    bool shortening() const { return shortcut_ != 0; }

    std::ostream& out_;
    int name_ = 0, target_ = 0, reason_ = 0, shortcut_ = 0; // 0: not shortened
    bool headerDone_ = false;
};

// CSV and TSV: the four texts encoded, "true" or "false", then the reason, a header line
// first.
class DelimitedWriter final : public IRecordWriter {
public:
    using Encode = void (*)(std::string& line, const std::string& value);
    DelimitedWriter(std::ostream& out, char separator, std::string_view lineEnd, Encode encode)
        : out_(out), separator_(separator), lineEnd_(lineEnd), encode_(encode) {}

    void Write(const TShortcutItem& r) override {
        Header();
        std::string line;
        for (const std::string* f : {&r.Name, &r.Target, &r.Location, &r.Shortcut}) {
            encode_(line, *f);
            line += separator_;
        }
        line += InvalidText(r.Invalid);
        line += separator_;
        encode_(line, r.Reason);
        line += lineEnd_;
        out_ << line;
    }
    void Finish() override {
        Header();
        out_.flush();
    }

private:
    void Header() {
        if (headerDone_)
            return;
        headerDone_ = true;
        std::string line;
        for (const char* name : {"Name", "Target", "Location", "Shortcut"})
            line.append(name).push_back(separator_);
        out_ << line << "Invalid" << separator_ << "Reason" << lineEnd_;
    }

    std::ostream& out_;
    char separator_;
    std::string_view lineEnd_;
    Encode encode_;
    bool headerDone_ = false;
};

void CsvField(std::string& line, const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) {
        line += value;
        return;
    }
    line += '"';
    for (char c : value) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

void TsvField(std::string& line, const std::string& value) {
    for (char c : value) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

class JsonLinesWriter final : public IRecordWriter {
public:
    explicit JsonLinesWriter(std::ostream& out) : out_(out) {}
    void Write(const TShortcutItem& r) override {
        nlohmann::ordered_json object;
        object["Name"] = r.Name;
        object["Target"] = r.Target;
        object["Location"] = r.Location;
        object["Shortcut"] = r.Shortcut;
        object["Invalid"] = r.Invalid;
        object["Reason"] = r.Reason;
        out_ << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    }
    void Finish() override { out_.flush(); }

private:
    std::ostream& out_;
};

} // namespace

std::optional<TOutputFormat> ParseOutputFormat(std::string_view name) {
    if (name == "table")
        return TOutputFormat::Table;
    if (name == "csv")
        return TOutputFormat::Csv;
    if (name == "tsv")
        return TOutputFormat::Tsv;
    if (name == "json")
        return TOutputFormat::Json;
    return std::nullopt;
}

std::unique_ptr<IRecordWriter> CreateRecordWriter(TOutputFormat format, std::ostream& out,
                                                  int tableWidth) {
    switch (format) {
    case TOutputFormat::Csv:
        return std::make_unique<DelimitedWriter>(out, ',', "\r\n", CsvField);
    case TOutputFormat::Tsv:
        return std::make_unique<DelimitedWriter>(out, '\t', "\n", TsvField);
    case TOutputFormat::Json:
        return std::make_unique<JsonLinesWriter>(out);
    case TOutputFormat::Table:
        break;
    }
    return std::make_unique<TableWriter>(out, tableWidth);
}

std::string VisibleText(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b != 0x7F) {
            result += c;
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\r') {
            result += "\\r";
        } else if (c == '\t') {
            result += "\\t";
        } else {
            result += "\\x";
            result += kHex[b >> 4];
            result += kHex[b & 15];
        }
    }
    return result;
}

int DisplayWidth(std::string_view text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto [cp, n] = CodePoint(text, i);
        width += Width(cp);
        i += n;
    }
    return width;
}

std::string FitText(const std::string& text, int width, bool keepTail) {
    if (DisplayWidth(text) <= width)
        return text;
    const int room = std::max(width - 1, 0);
    if (!keepTail)
        return std::string(Head(text, room)) + std::string(kEllipsis);
    const int head = room / 3;
    return std::string(Head(text, head)) + std::string(kEllipsis) +
           std::string(Tail(text, room - head));
}

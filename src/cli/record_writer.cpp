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
    TableWriter(std::ostream& out, int width, bool suggestions)
        : out_(out), width_(width), suggestions_(suggestions) {
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
        Line(r.Invalid ? "invalid" : "valid", VisibleText(r.Name), VisibleText(r.Target),
             VisibleText(r.Reason), VisibleText(r.Shortcut));
    }
    // The candidate on a line of its own below the shortcut's, indented.
    void WriteSuggested(const TShortcutItem& r, const TSuggestion& s) override {
        Write(r);
        if (!suggestions_ || s.movedTo.empty())
            return;
        const std::string line = std::string(kStateWidth + kGap, ' ') + "moved to " +
                                 VisibleText(s.movedTo) + " (" + s.strength + ": " +
                                 VisibleText(s.evidence) + ")";
        if (shortening())
            out_ << FitText(line, width_ - 1, true) << '\n';
        else
            held_.push_back({line});
    }
    void Finish() override {
        for (const std::vector<std::string>& row : held_) {
            std::string line;
            for (std::size_t i = 0; i + 1 < row.size(); ++i)
                Pad(line, row[i], widths_[i]);
            line += row.back();
            line += '\n';
            out_ << line;
        }
        held_.clear();
        out_.flush();
    }

private:
    void Line(const std::string& state, const std::string& name, const std::string& target,
              const std::string& reason, const std::string& shortcut) {
        if (!shortening()) {
            Hold({state, name, target, reason, shortcut});
            return;
        }
        std::string line;
        Pad(line, FitText(state, kStateWidth, false), kStateWidth);
        Pad(line, FitText(name, name_, false), name_);
        Pad(line, FitText(target, target_, true), target_);
        Pad(line, FitText(reason, reason_, false), reason_);
        line += FitText(shortcut, shortcut_, true);
        line += '\n';
        out_ << line;
    }
    // Without a terminal's width nothing is shortened, and the rows wait for Finish, so each
    // column can be as wide as its widest text.
    void Hold(std::vector<std::string> cells) {
        widths_.resize(cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i)
            widths_[i] = std::max(widths_[i], DisplayWidth(cells[i]));
        held_.push_back(std::move(cells));
    }
    // A cell padded to its column's width, then the gap.
    static void Pad(std::string& line, const std::string& cell, int width) {
        line += cell;
        line.append(static_cast<std::size_t>(std::max(width - DisplayWidth(cell), 0) + kGap), ' ');
    }
    bool shortening() const { return shortcut_ != 0; }

    std::ostream& out_;
    int width_;
    bool suggestions_;
    int name_ = 0, target_ = 0, reason_ = 0, shortcut_ = 0; // 0: not shortened
    bool headerDone_ = false;
    std::vector<std::vector<std::string>> held_; // the rows, without a terminal
    std::vector<int> widths_;                    // of the held rows' columns
};

// CSV and TSV: the four texts, "true" or "false", then the reason, a header line first.
class DelimitedWriter final : public IRecordWriter {
public:
    DelimitedWriter(std::ostream& out, TOutputFormat format, bool suggestions)
        : out_(out), format_(format), suggestions_(suggestions) {}

    void Write(const TShortcutItem& r) override { WriteSuggested(r, {}); }
    void WriteSuggested(const TShortcutItem& r, const TSuggestion& s) override {
        Header();
        const std::string fields[] = {
            r.Name,   r.Target,  r.Location, r.Shortcut, std::string(InvalidText(r.Invalid)),
            r.Reason, s.movedTo, s.strength, s.evidence};
        out_ << DelimitedLine(format_, std::span(fields, suggestions_ ? 9 : 6));
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
        const std::string names[] = {"Name",   "Target",  "Location", "Shortcut", "Invalid",
                                     "Reason", "MovedTo", "Strength", "Evidence"};
        out_ << DelimitedLine(format_, std::span(names, suggestions_ ? 9 : 6));
    }

    std::ostream& out_;
    TOutputFormat format_;
    bool suggestions_;
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

} // namespace

std::string DelimitedLine(TOutputFormat format, std::span<const std::string> fields) {
    const bool csv = format == TOutputFormat::Csv;
    std::string line;
    for (const std::string& field : fields) {
        if (&field != fields.data())
            line += csv ? ',' : '\t';
        (csv ? CsvField : TsvField)(line, field);
    }
    return line + (csv ? "\r\n" : "\n");
}

// The bytes of `text` in Base64 (RFC 4648, with padding).
std::string Base64(std::string_view text) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string result;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        std::uint32_t group = 0;
        const std::size_t n = std::min<std::size_t>(3, text.size() - i);
        for (std::size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < n ? static_cast<unsigned char>(text[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            result += k <= n ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return result;
}

// Whether the JSON library takes `text` as UTF-8.
bool IsUtf8(const std::string& text) {
    try {
        (void)nlohmann::json(text).dump();
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

namespace {

class JsonLinesWriter final : public IRecordWriter {
public:
    JsonLinesWriter(std::ostream& out, bool suggestions) : out_(out), suggestions_(suggestions) {}
    void Write(const TShortcutItem& r) override { WriteSuggested(r, {}); }
    void WriteSuggested(const TShortcutItem& r, const TSuggestion& s) override {
        nlohmann::ordered_json object;
        object["Name"] = r.Name;
        object["Target"] = r.Target;
        object["Location"] = r.Location;
        object["Shortcut"] = r.Shortcut;
        object["Invalid"] = r.Invalid;
        object["Reason"] = r.Reason;
        if (suggestions_) {
            object["MovedTo"] = s.movedTo;
            object["Strength"] = s.strength;
            object["Evidence"] = s.evidence;
        }
        std::string line;
        try {
            line = object.dump();
        } catch (const nlohmann::json::type_error&) {
            // A text that is not UTF-8 shows U+FFFD for its stray bytes, and its exact bytes
            // follow the record's fields, so a script can still name the file.
            for (const auto& [name, text] :
                 {std::pair<const char*, const std::string&>{"Name", r.Name},
                  {"Target", r.Target},
                  {"Location", r.Location},
                  {"Shortcut", r.Shortcut},
                  {"MovedTo", s.movedTo}})
                if (!IsUtf8(text))
                    object[std::string(name) + "Bytes"] = Base64(text);
            line = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        }
        out_ << line << '\n';
    }
    void Finish() override { out_.flush(); }

private:
    std::ostream& out_;
    bool suggestions_;
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
                                                  int tableWidth, bool suggestions) {
    switch (format) {
    case TOutputFormat::Csv:
    case TOutputFormat::Tsv:
        return std::make_unique<DelimitedWriter>(out, format, suggestions);
    case TOutputFormat::Json:
        return std::make_unique<JsonLinesWriter>(out, suggestions);
    case TOutputFormat::Table:
        break;
    }
    return std::make_unique<TableWriter>(out, tableWidth, suggestions);
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

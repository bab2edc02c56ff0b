#include "cli/record_writer.h"
#include "inventory/shortcut_item.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Row = std::vector<std::string>;

// The records every format must carry through unchanged: a comma, quotes and line breaks,
// letters outside ASCII, a tab and a backslash, empty fields.
std::vector<TShortcutItem> Hard() {
    std::vector<TShortcutItem> r;
    r.emplace_back("a, \"b\"\r\nc", "C:\\x\\y.exe", "/t/", "/t/a, \"b\"\r\nc.lnk", true,
                   "target not found on C:");
    r.emplace_back("Zürich – 東京", "C:\\Users\\Łukasz\\ü.exe", "/t/ü/", "/t/ü/Zürich – 東京.lnk",
                   false, "target found");
    r.emplace_back("tab\there\\", "", "/t/", "/t/tab\there\\.lnk", false,
                   "environment variable %Zürich\t% unknown");
    return r;
}

Row Fields(const TShortcutItem& r) {
    return {r.Name, r.Target, r.Location, r.Shortcut, r.Invalid ? "true" : "false", r.Reason};
}

std::string Written(TOutputFormat format, const std::vector<TShortcutItem>& records,
                    int width = 0) {
    std::ostringstream out;
    auto writer = CreateRecordWriter(format, out, width);
    for (const TShortcutItem& r : records)
        writer->Write(r);
    writer->Finish();
    return out.str();
}

// RFC 4180 read back: records end in CR LF; a quoted field may hold anything, "" is a quote.
std::vector<Row> ReadCsv(const std::string& text) {
    std::vector<Row> rows;
    Row row;
    std::string field;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"') {
            for (++i; !(text[i] == '"' && (i + 1 == text.size() || text[i + 1] != '"')); ++i) {
                if (text[i] == '"')
                    ++i;
                field += text[i];
            }
            ++i;
        }
        while (i < text.size() && text[i] != ',' && text[i] != '\r') {
            EXPECT_NE(text[i], '"') << "a quote in an unquoted field";
            EXPECT_NE(text[i], '\n') << "a bare line break";
            field += text[i++];
        }
        row.push_back(field);
        field.clear();
        if (text[i] == ',') {
            ++i;
            continue;
        }
        EXPECT_EQ(text.substr(i, 2), "\r\n");
        i += 2;
        rows.push_back(row);
        row.clear();
    }
    return rows;
}

std::vector<Row> ReadTsv(const std::string& text) {
    std::vector<Row> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        Row row(1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\t') {
                row.emplace_back();
            } else if (line[i] == '\\') {
                const char c = line[++i];
                row.back() += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
            } else {
                row.back() += line[i];
            }
        }
        rows.push_back(row);
    }
    return rows;
}

const Row kHeader = {"Name", "Target", "Location", "Shortcut", "Invalid", "Reason"};

TEST(RecordWriter, CsvAndTsvReadBackToTheSameFields) {
    for (TOutputFormat format : {TOutputFormat::Csv, TOutputFormat::Tsv}) {
        const std::string text = Written(format, Hard());
        const std::vector<Row> rows = format == TOutputFormat::Csv ? ReadCsv(text) : ReadTsv(text);
        ASSERT_EQ(rows.size(), 4u) << text;
        EXPECT_EQ(rows[0], kHeader);
        for (std::size_t i = 0; i < Hard().size(); ++i)
            EXPECT_EQ(rows[i + 1], Fields(Hard()[i])) << text;
    }
    // Plain fields stay unquoted; an empty output still has its header.
    EXPECT_EQ(Written(TOutputFormat::Csv,
                      {TShortcutItem("n", "C:\\t", "/l/", "/l/n.lnk", false, "target found")}),
              "Name,Target,Location,Shortcut,Invalid,Reason\r\nn,C:\\t,/l/,/l/n.lnk,false,target "
              "found\r\n");
    EXPECT_EQ(Written(TOutputFormat::Tsv, {}),
              "Name\tTarget\tLocation\tShortcut\tInvalid\tReason\n");
}

TEST(RecordWriter, JsonLinesHoldOneObjectPerShortcutInFieldOrder) {
    const std::string text = Written(TOutputFormat::Json, Hard());
    std::istringstream in(text);
    std::string line;
    std::size_t n = 0;
    const std::vector<TShortcutItem> hard = Hard();
    while (std::getline(in, line)) {
        const auto object = nlohmann::ordered_json::parse(line);
        const TShortcutItem& r = hard[n++];
        std::vector<std::string> keys;
        for (const auto& item : object.items())
            keys.push_back(item.key());
        EXPECT_EQ(keys, kHeader);
        EXPECT_EQ(object["Name"], r.Name);
        EXPECT_EQ(object["Target"], r.Target);
        EXPECT_EQ(object["Shortcut"], r.Shortcut);
        EXPECT_EQ(object["Invalid"], r.Invalid);
        EXPECT_EQ(object["Reason"], r.Reason);
    }
    EXPECT_EQ(n, Hard().size());
    EXPECT_EQ(Written(TOutputFormat::Json, {}), "");
}

// RFC 4648 Base64 read back.
std::string FromBase64(const std::string& text) {
    const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        if (c == '=')
            break;
        bits = (bits << 6) | static_cast<std::uint32_t>(digits.find(c));
        if ((count += 6) >= 8)
            bytes += static_cast<char>((bits >> (count -= 8)) & 0xFF);
    }
    return bytes;
}

// A Linux file name may be any bytes: valid JSON all the same, and the exact bytes beside it
// for a script, after the record's own fields; names that are UTF-8 get no such field.
TEST(RecordWriter, JsonKeepsTheBytesOfANameThatIsNotUtf8) {
    for (const std::string& name : {std::string("\xff"), std::string("Caf\xe9 \xc3("),
                                    std::string("ab\xed\xa0\x80"), std::string("\x80xy\xfe")}) {
        const TShortcutItem r(name, "C:\\x.exe", "/d\xfe/", "/d\xfe/" + name + ".lnk", true);
        const auto object = nlohmann::ordered_json::parse(Written(TOutputFormat::Json, {r}));
        std::vector<std::string> keys;
        for (const auto& item : object.items())
            keys.push_back(item.key());
        EXPECT_EQ(keys, (std::vector<std::string>{"Name", "Target", "Location", "Shortcut",
                                                  "Invalid", "Reason", "NameBytes", "LocationBytes",
                                                  "ShortcutBytes"}));
        EXPECT_NE(object["Name"].get<std::string>().find("\xEF\xBF\xBD"), std::string::npos);
        EXPECT_EQ(FromBase64(object["NameBytes"]), name);
        EXPECT_EQ(FromBase64(object["LocationBytes"]), r.Location);
        EXPECT_EQ(FromBase64(object["ShortcutBytes"]), r.Shortcut);
    }
    for (const TShortcutItem& r : Hard())
        EXPECT_EQ(Written(TOutputFormat::Json, {r}).find("Bytes"), std::string::npos);
}

TEST(RecordWriter, TableLinesFitTheTerminalAndShowControlCharactersAsEscapes) {
    const std::string text = Written(TOutputFormat::Table, Hard(), 80);
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line.rfind("State", 0), 0u);
    std::vector<std::string> lines;
    while (std::getline(in, line)) {
        EXPECT_LT(DisplayWidth(line), 80) << line;
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(lines[0].rfind("invalid  a, \"b\"\\r\\nc", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("valid    Zürich –", 0), 0u) << lines[1];
    EXPECT_EQ(Written(TOutputFormat::Table, {}), "");
}

// Without a terminal (a file, a pipe) nothing is shortened, and every column starts at the
// same place on every line however long the texts before it, wide letters counted twice.
TEST(RecordWriter, TableWithoutATerminalKeepsItsColumnsAligned) {
    std::vector<TShortcutItem> records = Hard();
    records.emplace_back(std::string(70, 'n'), "C:\\" + std::string(90, 't') + ".exe", "/t/",
                         "/t/long.lnk", true);
    records.emplace_back("s", "C:\\s", "/", "/s.lnk", false);
    const std::string text = Written(TOutputFormat::Table, records, 0);
    EXPECT_NE(text.find("/t/ü/Zürich – 東京.lnk"), std::string::npos);
    EXPECT_NE(text.find(std::string(90, 't')), std::string::npos);
    std::istringstream in(text);
    std::vector<int> shortcutColumn;
    for (std::string line; std::getline(in, line);) {
        const std::size_t row = shortcutColumn.size();
        const std::string shortcut = row == 0 ? "Shortcut" : VisibleText(records[row - 1].Shortcut);
        ASSERT_EQ(line.size() - line.rfind(shortcut), shortcut.size()) << line;
        shortcutColumn.push_back(DisplayWidth(line.substr(0, line.rfind(shortcut))));
    }
    ASSERT_EQ(shortcutColumn.size(), records.size() + 1) << text;
    for (int column : shortcutColumn)
        EXPECT_EQ(column, shortcutColumn[0]) << text;
    // The longest name, target and reason ("environment variable %Zürich\t% unknown").
    EXPECT_EQ(shortcutColumn[0], 7 + 2 + 70 + 2 + 97 + 2 + 39 + 2) << text;
}

TEST(RecordWriter, FitTextKeepsHeadAndTailAtLetterBoundaries) {
    EXPECT_EQ(FitText("C:\\Program Files\\App\\app.exe", 40, true),
              "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(FitText("C:\\Program Files\\App\\app.exe", 13, true), "C:\\P…\\app.exe");
    EXPECT_EQ(FitText("Zürich", 4, false), "Zür…");
    EXPECT_EQ(FitText("東京東京", 5, false), "東京…");
    EXPECT_EQ(DisplayWidth("東京…ü"), 6);
    EXPECT_EQ(VisibleText("a\x1b[2Jb\x7f"), "a\\x1b[2Jb\\x7f");
}

} // namespace

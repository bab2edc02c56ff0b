#include "cli/record_writer.h"
#include "inventory/shortcut_item.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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
    // A name that is no UTF-8 (a Linux file name may be any bytes) still gives valid JSON.
    const std::string bad =
        Written(TOutputFormat::Json, {TShortcutItem("\xff", "", "/", "/\xff.lnk", false)});
    EXPECT_EQ(nlohmann::json::parse(bad)["Name"], "\xEF\xBF\xBD");
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
    // Without a width nothing is shortened.
    const std::string wide = Written(TOutputFormat::Table, Hard(), 0);
    EXPECT_NE(wide.find("/t/ü/Zürich – 東京.lnk"), std::string::npos);
    EXPECT_EQ(Written(TOutputFormat::Table, {}), "");
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

// How the command-line program writes the shortcuts it reports: one record at a time, as the
// walk finds them, so nothing is held but the line being written (except by a table without
// a terminal, which holds its rows to align them).
//
//   table  for a person: a header, then one line per shortcut (State, Name, Target, Reason,
//          Shortcut). Given a width (a terminal's), each line fits it and long texts are
//          shortened in the middle with "…"; with width 0 nothing is shortened. Control
//          characters show as escapes (\n, \x1b), so a file name cannot move the cursor.
//   csv    RFC 4180: a header line, CR LF line ends, a field in double quotes when it holds a
//          comma, a quote, CR or LF, a quote inside doubled. UTF-8 as stored.
//   tsv    a header line, LF line ends, one tab between fields; in a field a backslash, tab,
//          LF and CR are written \\, \t, \n and \r.
//   json   JSON Lines: one object per line with the record's six fields in order, "Name",
//          "Target", "Location", "Shortcut" (strings), "Invalid" (true or false) and
//          "Reason" (why: "target found", "target not found on C:", ...). Bytes that are not
//          UTF-8 become U+FFFD.
// csv and tsv write the same six fields, Invalid as "true" or "false".
// With suggestions (--suggest) three fields follow: MovedTo (where the target went), Strength
// ("exact", "strong" or "weak") and Evidence (why), each "" when nothing was found or the
// shortcut is valid; the table shows them on a line of their own below the shortcut's.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

class TShortcutItem;

enum class TOutputFormat { Table, Csv, Tsv, Json };

// The format named on the command line ("table", "csv", "tsv", "json").
std::optional<TOutputFormat> ParseOutputFormat(std::string_view name);

// Where a broken shortcut's target went, for --suggest; all "" when nothing was found.
struct TSuggestion {
    std::string movedTo, strength, evidence;
};

class IRecordWriter {
public:
    virtual ~IRecordWriter() = default;
    // Writes one shortcut (the header comes before the first).
    virtual void Write(const TShortcutItem& record) = 0;
    // The same with where its target went (a writer made without suggestions writes the
    // shortcut alone).
    virtual void WriteSuggested(const TShortcutItem& record, const TSuggestion& suggestion) {
        (void)suggestion;
        Write(record);
    }
    // Ends the output: a header when nothing was written (table: nothing), then a flush.
    virtual void Finish() = 0;
};

std::unique_ptr<IRecordWriter> CreateRecordWriter(TOutputFormat format, std::ostream& out,
                                                  int tableWidth, bool suggestions = false);

// One line of the csv or tsv format holding `fields`, each quoted or escaped, with its end.
std::string DelimitedLine(TOutputFormat format, std::span<const std::string> fields);
// The bytes of `text` in Base64 (RFC 4648, with padding), for a json field that is not UTF-8.
std::string Base64(std::string_view text);
// Whether the JSON library takes `text` as UTF-8.
bool IsUtf8(const std::string& text);

// The text a terminal shows for `text`: control characters as escapes.
std::string VisibleText(std::string_view text);
// How many terminal columns `text` (UTF-8) takes; East Asian wide letters take two.
int DisplayWidth(std::string_view text);
// `text` fitted into `width` columns: unchanged when it fits, else its head and tail around
// "…" (or only its head with `keepTail` false).
std::string FitText(const std::string& text, int width, bool keepTail);

// --help, the manual page and the completions against the option table and the parser: every
// option the parser takes is in the table, and every option of the table is in each of them
// and works there (the manual page renders, bash completes it).
#include "cli/child.h"
#include "cli/option_table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// A value the parser takes for the option, "" for a flag.
std::string SomeValue(const TOptionDef& d) {
    switch (d.kind) {
    case TValueKind::None:
        return "";
    case TValueKind::Choice:
        return std::string(d.choices).substr(0, std::string(d.choices).find(' '));
    case TValueKind::Number:
        return "1";
    case TValueKind::Drive:
        return "C:=/";
    default:
        return "/";
    }
}

std::string Generated(const std::string& kind) {
    const Result r = Sweeper({"--generate", kind});
    EXPECT_EQ(r.status, 0) << kind << r.err;
    return r.out;
}

// Runs a shell command line; its standard output.
std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

bool Has(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(Docs, TheParserTakesEveryOptionOfTheTableAndNoOtherOneIsDocumented) {
    for (const TOptionDef& d : OptionTable()) {
        for (const char* name : {d.shortName, d.longName}) {
            if (*name == '\0')
                continue;
            std::vector<std::string> args{name};
            if (const std::string value = SomeValue(d); !value.empty())
                args.push_back(value);
            args.push_back(d.id == TOptionId::Help ? "--version" : "--help");
            const Result r = Sweeper(args);
            EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        }
    }
    // The options --help names are the table's, each once.
    const std::string help = Sweeper({"--help"}).out;
    const std::string options = help.substr(0, help.find("Exit status:"));
    std::multiset<std::string> named;
    const std::regex option("^  (?:-[0-9a-zA-Z], |    )(--[a-z0-9-]+)", std::regex::multiline);
    for (auto it = std::sregex_iterator(options.begin(), options.end(), option);
         it != std::sregex_iterator(); ++it)
        named.insert((*it)[1]);
    std::multiset<std::string> table;
    for (const TOptionDef& d : OptionTable())
        table.insert(d.longName);
    EXPECT_EQ(named, table) << options;
}

TEST(Docs, TheManualPageRendersAndNamesEveryOptionStatusAndExample) {
    TempDir t;
    const fs::path page = t.Path() / "shortcut-sweeper.1";
    std::ofstream(page) << Generated("man");
    // groff's warnings for the page, all of them, on standard error.
    EXPECT_EQ(Shell("groff -man -Tutf8 -ww -z '" + page.string() + "' 2>&1"), "");
    const std::string shown =
        Shell("MANWIDTH=200 MAN_KEEP_FORMATTING=0 man -l '" + page.string() + "' 2>&1 | col -b");
    ASSERT_NE(shown.find("SHORTCUT-SWEEPER(1)"), std::string::npos) << shown;
    for (const TOptionDef& d : OptionTable()) {
        std::string label = std::string(d.longName) + (*d.value ? std::string(" ") + d.value : "");
        if (*d.shortName)
            label = std::string(d.shortName) + ", " + label;
        EXPECT_NE(shown.find(label), std::string::npos) << label;
    }
    for (const TExitStatus& s : ExitStatuses())
        EXPECT_TRUE(
            std::regex_search(shown, std::regex("\n {7}" + std::to_string(s.status) + "\\s")))
            << s.status;
    for (const TExample& e : Examples())
        EXPECT_NE(shown.find(e.command), std::string::npos) << e.command;
    for (const TSection& s : option_text::Sections())
        EXPECT_NE(shown.find(std::string("\n") + s.title + "\n"), std::string::npos) << s.title;
}

// bash's completion, run as bash runs it: the words typed so far, the candidates back.
TEST(Docs, BashCompletesEveryOptionAndTheFormats) {
    TempDir t;
    const fs::path script = t.Path() / "shortcut-sweeper";
    std::ofstream(script) << Generated("complete-bash");
    fs::create_directories(t.Path() / "Start Menu");
    const auto complete = [&](const std::string& words) {
        return Shell("cd '" + t.Path().string() + "' && bash -c 'source \"" + script.string() +
                     "\"; COMP_WORDS=(shortcut-sweeper " + words +
                     "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _shortcut_sweeper; "
                     "printf \"%s\\n\" \"${COMPREPLY[@]}\"' 2>&1");
    };
    for (const TOptionDef& d : OptionTable()) {
        const std::string name = d.longName;
        EXPECT_NE(complete(name.substr(0, name.size() - 1)).find(name + "\n"), std::string::npos)
            << name;
    }
    EXPECT_EQ(complete("--format \"\""), "table\ncsv\ntsv\njson\n");
    EXPECT_EQ(complete("-f c"), "csv\n");
    EXPECT_EQ(complete("--all St"), "Start Menu\n");
}

// zsh and fish read their scripts where they are installed; the names are in them anyway.
TEST(Docs, ZshAndFishCompletionsNameEveryOption) {
    TempDir t;
    for (const auto& [kind, shell, check] :
         {std::tuple{"complete-zsh", "zsh", "zsh -n"}, {"complete-fish", "fish", "fish -n"}}) {
        const std::string text = Generated(kind);
        for (const TOptionDef& d : OptionTable()) {
            const std::string name = std::string(kind) == "complete-fish"
                                         ? std::string("-l ") + (d.longName + 2)
                                         : std::string(d.longName);
            EXPECT_NE(text.find(name), std::string::npos) << kind << ": " << name;
        }
        if (!Has(shell))
            continue;
        const fs::path file = t.Path() / kind;
        std::ofstream(file) << text;
        EXPECT_EQ(Shell(std::string(check) + " '" + file.string() + "' 2>&1"), "") << kind;
    }
}

} // namespace

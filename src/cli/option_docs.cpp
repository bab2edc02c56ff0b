#include "cli/option_docs.h"

#include "base/text.h"
#include "cli/option_table.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr int kOptionColumn = 24; // where an option's help starts in --help

// `text` broken into lines of at most `width` columns at blanks, each line after `indent`
// blanks; a word longer than a line stands alone.
std::string Wrap(const std::string& text, int width, int indent) {
    std::string result, line;
    std::istringstream words(text);
    const auto room = static_cast<std::size_t>(std::max(width - indent, 20));
    const auto end = [&] {
        result.append(static_cast<std::size_t>(indent), ' ').append(line).push_back('\n');
        line.clear();
    };
    for (std::string word; words >> word;) {
        if (!line.empty() && line.size() + 1 + word.size() > room)
            end();
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty())
        end();
    return result;
}

// A command line of an example, broken where it would not fit with a shell's " \\" at the
// end of each line but the last, so it still runs when copied.
std::string WrapCommand(const std::string& command, int width) {
    std::string result = "  ", line;
    std::istringstream words(command);
    const auto room = static_cast<std::size_t>(width - 2 - 2); // the indent and " \\"
    for (std::string word; words >> word;) {
        if (!line.empty() && line.size() + 1 + word.size() > room) {
            result += line + " \\\n    ";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return result + line + '\n';
}

// "-a, --all" or "    --stats", with the value's name.
std::string Label(const TOptionDef& d) {
    std::string label = *d.shortName != '\0' ? std::string(d.shortName) + ", " : "    ";
    label += d.longName;
    if (*d.value != '\0')
        label += std::string(" ") + d.value;
    return label;
}

// The first sentence of an option's help, for the completions' one-line descriptions.
std::string Brief(const char* help) {
    std::string text = help;
    const std::size_t stop = text.find(". ");
    if (stop != std::string::npos)
        text.resize(stop);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

bool Offered(bool driveMapping, bool driveOptions) { return !driveMapping || driveOptions; }

// ---- --help ---------------------------------------------------------------------------

std::string Help(bool driveOptions, int width) {
    if (width <= 0)
        width = 80;
    width = std::clamp(width, 40, 100);
    std::string h = Wrap(
        std::string("shortcut-sweeper " SWEEPER_VERSION ": ") + option_text::kSummary, width, 0);
    h += '\n' + Wrap(option_text::kDescription, width, 0);
    h += "\nUsage: shortcut-sweeper [OPTIONS] FOLDER...\n\n";
    h += "  FOLDER" + std::string(kOptionColumn - 8, ' ');
    h += Wrap(option_text::kFolder, width, kOptionColumn).substr(kOptionColumn);
    h += "\nOptions:\n";
    for (const TOptionDef& d : OptionTable()) {
        if (!Offered(d.driveMapping, driveOptions))
            continue;
        const std::string label = "  " + Label(d);
        std::string help = Wrap(d.help, width, kOptionColumn);
        if (label.size() + 2 <= static_cast<std::size_t>(kOptionColumn))
            h += label + help.substr(label.size());
        else
            h += label + '\n' + help;
    }
    h += "\nExit status:\n";
    for (const TExitStatus& s : ExitStatuses()) {
        const std::string label = "  " + std::to_string(s.status);
        h += label + Wrap(s.when, width, 8).substr(label.size());
    }
    h += "\nExamples:\n";
    for (const TExample& e : Examples())
        if (Offered(e.driveMapping, driveOptions))
            h += WrapCommand(e.command, width) + Wrap(e.says, width, 6);
    for (const TSection& s : option_text::Sections()) {
        if (!Offered(s.driveMapping, driveOptions))
            continue;
        const std::string title = s.title;
        h += '\n' + title.substr(0, 1) + AsciiLowerCase(title.substr(1)) + ":\n";
        for (const char* p : s.paragraphs)
            h += Wrap(p, width, 2);
    }
    return h;
}

// ---- the manual page -------------------------------------------------------------------

// Text for roff: backslashes and hyphens escaped (an option's "--" stays two hyphens to
// copy and search for), a control character at a line's start made plain.
std::string Roff(const std::string& text) {
    std::string r;
    for (char c : text) {
        if (c == '\\')
            r += "\\e";
        else if (c == '-')
            r += "\\-";
        else
            r += c;
    }
    if (!r.empty() && (r[0] == '.' || r[0] == '\''))
        r.insert(0, "\\&");
    return r;
}

std::string ManOption(const TOptionDef& d) {
    std::string label;
    if (*d.shortName != '\0')
        label += "\\fB" + Roff(d.shortName) + "\\fR, ";
    label += "\\fB" + Roff(d.longName) + "\\fR";
    if (*d.value != '\0')
        label += " \\fI" + Roff(d.value) + "\\fR";
    return ".TP\n" + label + '\n' + Roff(d.help) + '\n';
}

std::string ManPage() {
    std::string m = ".TH SHORTCUT\\-SWEEPER 1 \"\" \"shortcut\\-sweeper " SWEEPER_VERSION
                    "\" \"User Commands\"\n";
    m += ".SH NAME\nshortcut\\-sweeper \\- " + Roff(option_text::kSummary) + '\n';
    m += ".SH SYNOPSIS\n.B shortcut\\-sweeper\n[\\fIOPTIONS\\fR] \\fIFOLDER\\fR...\n";
    m += ".SH DESCRIPTION\n" + Roff(option_text::kDescription) +
         "\n.PP\n\\fIFOLDER\\fR: " + Roff(option_text::kFolder) + '\n';
    m += ".SH OPTIONS\n";
    for (const TOptionDef& d : OptionTable())
        m += ManOption(d);
    for (const TSection& s : option_text::Sections()) {
        m += ".SH " + Roff(s.title) + '\n';
        bool first = true;
        for (const char* p : s.paragraphs) {
            m += (first ? "" : ".PP\n") + Roff(p) + '\n';
            first = false;
        }
    }
    m += ".SH EXIT STATUS\n";
    for (const TExitStatus& s : ExitStatuses())
        m += ".TP\n.B " + std::to_string(s.status) + '\n' + Roff(s.when) + '\n';
    m += ".SH EXAMPLES\n";
    for (const TExample& e : Examples())
        m += ".TP\n.B " + Roff(e.command) + '\n' + Roff(e.says) + '\n';
    m += ".SH SEE ALSO\n.BR find (1),\n.BR xargs (1),\n.BR gio (1),\n.BR wine (1)\n";
    return m;
}

// ---- completions -----------------------------------------------------------------------

// `text` inside single quotes for a shell.
std::string Quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string BashCompletion() {
    // File and folder names: whole lines (a name may hold blanks), shown as names.
    const std::string kNames = "compopt -o filenames 2>/dev/null; local IFS=$'\\n'; ";
    std::string words, byValue;
    for (const TOptionDef& d : OptionTable()) {
        words += (words.empty() ? "" : " ") +
                 (*d.shortName != '\0' ? std::string(d.shortName) + ' ' : "") + d.longName;
        if (d.kind == TValueKind::None)
            continue;
        const std::string names =
            (*d.shortName != '\0' ? std::string(d.shortName) + '|' : "") + d.longName;
        std::string reply;
        switch (d.kind) {
        case TValueKind::Choice:
            reply = "COMPREPLY=($(compgen -W " + Quoted(d.choices) + " -- \"$cur\"))";
            break;
        case TValueKind::File:
            reply = kNames + "COMPREPLY=($(compgen -f -- \"$cur\"))";
            break;
        case TValueKind::Folder:
            reply = kNames + "COMPREPLY=($(compgen -d -- \"$cur\"))";
            break;
        default: // a number, a pattern, a mapping: nothing to offer
            reply = "COMPREPLY=()";
        }
        byValue += "        " + names + ")\n            " + reply + "\n            return ;;\n";
    }
    return "# bash completion for shortcut-sweeper (shortcut-sweeper --generate complete-bash)\n"
           "_shortcut_sweeper() {\n"
           "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
           "    case \"$prev\" in\n" +
           byValue +
           "    esac\n"
           "    if [[ \"$cur\" == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W " +
           Quoted(words) +
           " -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    " +
           kNames +
           "COMPREPLY=($(compgen -d -- \"$cur\"))\n"
           "}\n"
           "complete -F _shortcut_sweeper shortcut-sweeper\n";
}

// A description inside zsh's brackets: no brackets, quotes as the shell needs them.
std::string ZshText(const std::string& text) {
    std::string t;
    for (char c : text)
        if (c == '[' || c == ']' || c == '\\')
            t += std::string("\\") + c;
        else if (c == '\'')
            t += "'\\''";
        else
            t += c;
    return t;
}

std::string ZshCompletion() {
    std::string z = "#compdef shortcut-sweeper\n"
                    "# zsh completion for shortcut-sweeper (shortcut-sweeper --generate "
                    "complete-zsh)\n"
                    "_arguments -s -S \\\n";
    for (const TOptionDef& d : OptionTable()) {
        const bool value = d.kind != TValueKind::None;
        const bool hasShort = *d.shortName != '\0';
        std::string names = hasShort ? std::string(d.shortName) + ' ' + d.longName : d.longName;
        std::string argument = d.repeatable ? "'*'" : "'(" + names + ")'";
        if (hasShort)
            argument += "{" + std::string(d.shortName) + (value ? "+" : "") + ',' + d.longName +
                        (value ? "=" : "") + "}";
        else
            argument += "'" + std::string(d.longName) + (value ? "=" : "") + "'";
        argument += "'[" + ZshText(Brief(d.help)) + "]";
        switch (d.kind) {
        case TValueKind::None:
            break;
        case TValueKind::Choice:
            argument += std::string(":") + d.value + ":(" + d.choices + ")";
            break;
        case TValueKind::File:
            argument += std::string(":") + d.value + ":_files";
            break;
        case TValueKind::Folder:
            argument += std::string(":") + d.value + ":_files -/";
            break;
        default:
            argument += std::string(":") + ZshText(d.value) + ": ";
        }
        z += "    " + argument + "' \\\n";
    }
    z += "    '*:FOLDER:_files -/'\n";
    return z;
}

std::string FishCompletion() {
    std::string f = "# fish completion for shortcut-sweeper (shortcut-sweeper --generate "
                    "complete-fish)\n"
                    "complete -c shortcut-sweeper -f -a '(__fish_complete_directories)'\n";
    for (const TOptionDef& d : OptionTable()) {
        std::string line = "complete -c shortcut-sweeper";
        if (*d.shortName != '\0')
            line += std::string(" -s ") + (d.shortName + 1);
        line += std::string(" -l ") + (d.longName + 2);
        switch (d.kind) {
        case TValueKind::None:
            break;
        case TValueKind::Choice:
            line += " -x -a " + Quoted(d.choices);
            break;
        case TValueKind::File:
            line += " -r -F";
            break;
        case TValueKind::Folder:
            line += " -x -a '(__fish_complete_directories)'";
            break;
        default:
            line += " -x";
        }
        f += line + " -d " + Quoted(Brief(d.help)) + '\n';
    }
    return f;
}

} // namespace

std::string HelpText(bool driveOptions, int width) { return Help(driveOptions, width); }

std::vector<std::string> GeneratedDocKinds() {
    return {"man", "complete-bash", "complete-zsh", "complete-fish"};
}

std::string GeneratedDoc(const std::string& kind) {
    if (kind == "man")
        return ManPage();
    if (kind == "complete-bash")
        return BashCompletion();
    if (kind == "complete-zsh")
        return ZshCompletion();
    if (kind == "complete-fish")
        return FishCompletion();
    return {};
}

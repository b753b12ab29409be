#include "app/xscreensaver_list.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "platform/platform.h"

namespace hg {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgramName = "hearthglow";

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view trimmedEnd(std::string_view s) {
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    return trimmedEnd(s);
}

std::string_view leadingBlanks(std::string_view s) { return s.substr(0, s.find_first_not_of(" \t")); }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// One line as stored: its text and its line end ("\n", "\r\n", or nothing at the end of the file).
struct Line {
    std::string_view text;
    std::string_view end;
    // A backslash at the end joins the next line. XScreenSaver honours it only right before "\n";
    // a file edited elsewhere may end its lines with "\r\n" and mean the same.
    bool continues() const { return !end.empty() && text.ends_with('\\'); }
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back({text.substr(start), {}});
            break;
        }
        size_t textEnd = newline;
        if (textEnd > start && text[textEnd - 1] == '\r') --textEnd;
        lines.push_back({text.substr(start, textEnd - start), text.substr(textEnd, newline + 1 - textEnd)});
        start = newline + 1;
    }
    return lines;
}

// Physical lines first..last, joined by backslash-newline into one logical line.
struct Span {
    size_t first = 0;
    size_t last = 0;
};

// XScreenSaver's reader joins continued comment lines too; X resource files end a comment at its line end.
std::vector<Span> logicalLines(const std::vector<Line>& lines, bool commentsEndAtLineEnd) {
    std::vector<Span> spans;
    for (size_t i = 0; i < lines.size();) {
        Span span{i, i};
        const std::string_view start = trimmed(lines[i].text);
        const bool comment = !start.empty() && (start.front() == '!' || start.front() == '#');
        if (!(comment && commentsEndAtLineEnd)) {
            while (lines[span.last].continues() && span.last + 1 < lines.size()) ++span.last;
        }
        spans.push_back(span);
        i = span.last + 1;
    }
    return spans;
}

std::string joined(const std::vector<Line>& lines, Span span) {
    std::string out;
    for (size_t i = span.first; i <= span.last; ++i) {
        std::string_view text = lines[i].text;
        if (lines[i].continues()) text.remove_suffix(1);
        out += text;
    }
    return out;
}

// ~/.xscreensaver escapes: \n, \r, \t, and a backslash before anything else stands for that character.
std::string unescapeUserText(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) break;
        switch (s[i]) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            default: out += s[i]; break;
        }
    }
    return out;
}

// X resource escapes: \n, \\, a backslash before a blank, and \ooo octal; any other backslash stays.
std::string unescapeResourceValue(std::string_view s) {
    std::string out;
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    for (size_t i = 0; i < s.size(); ++i) {
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        if (s[i] != '\\' || next == '\0') {
            out += s[i];
        } else if (next == 'n') {
            out += '\n', ++i;
        } else if (next == '\\' || next == ' ' || next == '\t') {
            out += next, ++i;
        } else if (i + 3 < s.size() && isOctal(s[i + 1]) && isOctal(s[i + 2]) && isOctal(s[i + 3])) {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += '\\';
        }
    }
    return out;
}

struct UserPrograms {
    Span span;
    std::string value;
};

// The `programs:` resource XScreenSaver takes from ~/.xscreensaver: the last one, key case ignored.
std::optional<UserPrograms> userPrograms(const std::vector<Line>& lines) {
    std::optional<UserPrograms> found;
    for (const Span span : logicalLines(lines, false)) {
        const std::string decoded = unescapeUserText(joined(lines, span));
        const std::string_view line = trimmed(decoded);
        if (line.empty() || line.front() == '#' || line.front() == '!' || line.front() == ';') continue;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || !equalsIgnoringCase(line.substr(0, colon), "programs")) continue;
        found = UserPrograms{span, std::string(trimmed(line.substr(colon + 1)))};
    }
    return found;
}

// The value of the app-defaults file's `*programs:` resource (any binding whose last name is programs).
std::string systemProgramsValue(std::string_view text) {
    const std::vector<Line> lines = splitLines(text);
    std::string value;
    for (const Span span : logicalLines(lines, true)) {
        const std::string line = joined(lines, span);
        const std::string_view start = trimmed(line);
        if (start.empty() || start.front() == '!' || start.front() == '#') continue;
        // The name and colon are on the first line; only that line's blanks before the value are skipped.
        const size_t colon = lines[span.first].text.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = trimmed(std::string_view(line).substr(0, colon));
        const size_t separator = name.find_last_of(".*");
        if (name.substr(separator == std::string_view::npos ? 0 : separator + 1) != "programs") continue;
        std::string_view raw = std::string_view(line).substr(colon + 1);
        const size_t firstLineRest = lines[span.first].text.size() - colon - 1 - (lines[span.first].continues() ? 1 : 0);
        raw.remove_prefix(std::min(firstLineRest, raw.find_first_not_of(" \t")));
        value = unescapeResourceValue(raw);
    }
    return value;
}

// The entries of a programs value, one a line; blank ones are skipped as XScreenSaver does.
std::vector<std::string_view> entriesOf(std::string_view value) {
    std::vector<std::string_view> entries;
    while (!value.empty()) {
        const size_t newline = value.find('\n');
        const std::string_view entry = value.substr(0, newline);
        if (!trimmed(entry).empty()) entries.push_back(trimmedEnd(entry));
        value.remove_prefix(newline == std::string_view::npos ? value.size() : newline + 1);
    }
    return entries;
}

// The program an entry runs: past "-", a "visual:" and a "label", the first word's file name.
std::string_view programOf(std::string_view entry) {
    size_t i = 0;
    const auto skipSpace = [&] {
        while (i < entry.size() && isSpace(entry[i])) ++i;
    };
    skipSpace();
    if (i < entry.size() && entry[i] == '-') {
        ++i;
        skipSpace();
    }
    size_t visualEnd = i;
    while (visualEnd < entry.size() && entry[visualEnd] != ':' && entry[visualEnd] != '"' && !isSpace(entry[visualEnd]))
        ++visualEnd;
    if (visualEnd < entry.size() && entry[visualEnd] == ':') {
        i = visualEnd + 1;
        skipSpace();
    }
    if (i < entry.size() && entry[i] == '"') {
        const size_t close = entry.find('"', i + 1);
        i = close == std::string_view::npos ? entry.size() : close + 1;
        skipSpace();
    }
    size_t end = i;
    while (end < entry.size() && !isSpace(entry[end])) ++end;
    const std::string_view command = entry.substr(i, end - i);
    const size_t slash = command.rfind('/');
    return slash == std::string_view::npos ? command : command.substr(slash + 1);
}

bool listsHearthglow(const std::vector<std::string_view>& entries) {
    for (const std::string_view entry : entries) {
        if (equalsIgnoringCase(programOf(entry), kProgramName)) return true;
    }
    return false;
}

bool userFileListsHearthglow(std::string_view text) {
    const std::optional<UserPrograms> programs = userPrograms(splitLines(text));
    return programs && listsHearthglow(entriesOf(programs->value));
}

std::string escapedEntry(std::string_view entry) {
    std::string out;
    for (const char c : entry) {
        if (c == '\\') out += "\\\\";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

// A user `programs:` replaces the system's list, so a new one starts with every system entry,
// disabled ones too; their order keeps the file's `selected:` number pointing at the same hack.
std::string programsBlock(const std::vector<std::string_view>& systemEntries) {
    std::string block = "# The system's screensavers with Hearthglow added (hearthglow --add-to-xscreensaver).\n";
    block += "programs: \\\n";
    for (const std::string_view entry : systemEntries) block += escapedEntry(entry) + " \\n\\\n";
    block += "  ";
    block += kXScreenSaverHackLine;
    block += '\n';
    return block;
}

// The part of a line that belongs to the value: past the key on the first line, without a joining backslash.
std::string_view payloadOf(const Line& line, bool firstOfResource) {
    std::string_view text = line.text;
    if (line.continues()) text.remove_suffix(1);
    if (!firstOfResource) return text;
    const size_t colon = text.find(':');
    return colon == std::string_view::npos ? std::string_view{} : text.substr(colon + 1);
}

// Whether the text ends with the two characters `\n` (an escaped newline, not an escaped backslash).
bool endsWithNewlineEscape(std::string_view payload) {
    payload = trimmedEnd(payload);
    if (payload.size() < 2 || payload.back() != 'n') return false;
    size_t backslashes = 0;
    for (size_t i = payload.size() - 1; i > 0 && payload[i - 1] == '\\'; --i) ++backslashes;
    return backslashes % 2 == 1;
}

std::string wholeLine(const Line& line) { return std::string(line.text) + std::string(line.end); }

// Our entry goes after the value's last entry line; blank continuation lines after it (XScreenSaver
// ends its list with one) stay after ours. Lines that continue end in "\n" alone, which is all
// XScreenSaver joins on.
std::string withEntryAppended(const std::vector<Line>& lines, Span span) {
    size_t last = span.last;
    while (last > span.first && trimmed(payloadOf(lines[last], false)).empty()) --last;
    const bool separated = endsWithNewlineEscape(payloadOf(lines[last], last == span.first));
    const std::string_view indent = last == span.first ? std::string_view("  ") : leadingBlanks(lines[last].text);

    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (i < span.first || i > span.last) {
            out += wholeLine(line);
        } else if (i != last) {
            out += line.text;
            out += line.continues() ? std::string_view("\n") : line.end;
        } else {
            std::string_view core = line.text;
            if (line.continues()) core.remove_suffix(1);
            out += core;
            out += separated ? "\\\n" : " \\n\\\n";
            out += indent;
            out += kXScreenSaverHackLine;
            out += i == span.last ? line.end : std::string_view(" \\n\\\n");
        }
    }
    return out;
}

std::string withResourceReplaced(const std::vector<Line>& lines, Span span, std::string_view block) {
    std::string out;
    for (size_t i = 0; i < span.first; ++i) out += wholeLine(lines[i]);
    out += block;
    for (size_t i = span.last + 1; i < lines.size(); ++i) out += wholeLine(lines[i]);
    return out;
}

std::string withBlockAppended(std::string_view text, std::string_view block) {
    std::string out(text);
    if (!out.empty()) {
        if (!out.ends_with('\n')) out += '\n';
        // A last line that continues would swallow the block: an empty line ends it.
        if (splitLines(out).back().continues()) out += '\n';
        if (!out.ends_with("\n\n")) out += '\n';
    }
    out += block;
    return out;
}

struct UserFile {
    bool exists = false;
    std::string text;
    std::string problem;  // why an existing file cannot be used
};

UserFile readUserFile(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return {};
    if (fs::is_directory(status)) return {true, {}, "it is a folder"};
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in || in.bad()) return {true, {}, "it cannot be read"};
    return {true, text.str(), {}};
}

std::optional<std::string> readRegularFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return text.str();
}

// XScreenSaver writes through a symbolic link to its target; so do we, rather than replace the link.
fs::path writeTarget(const fs::path& file) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(file, error))) return file;
    fs::path target = fs::canonical(file, error);
    return error ? file : target;
}

std::string whyNotWritable(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file, error)) return "it is a folder";
    for (fs::path folder = file.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        const fs::file_status status = fs::status(folder, error);
        if (status.type() != fs::file_type::not_found) {
            if (!fs::is_directory(status)) return folder.string() + " is not a folder";
            return "the folder " + folder.string() + " does not take new files";
        }
        if (folder == folder.parent_path()) break;
    }
    return "the file cannot be created";
}

XScreenSaverEdit failedToWrite(const fs::path& file, const std::string& reason) {
    return {XScreenSaverEdit::Outcome::Failed, "Could not write " + file.string() + ": " + reason + "; nothing changed."};
}

}  // namespace

std::optional<std::string> addHackToXScreenSaverText(std::optional<std::string_view> userFile,
                                                     std::optional<std::string_view> systemDefaults) {
    const std::string systemValue = systemDefaults ? systemProgramsValue(*systemDefaults) : std::string();
    const std::vector<std::string_view> systemEntries = entriesOf(systemValue);
    // XScreenSaver appends system hacks missing from the user's list, so a system entry counts as listed.
    if (listsHearthglow(systemEntries)) return std::nullopt;
    if (!userFile) return programsBlock(systemEntries);

    const std::vector<Line> lines = splitLines(*userFile);
    const std::optional<UserPrograms> programs = userPrograms(lines);
    if (!programs) return withBlockAppended(*userFile, programsBlock(systemEntries));
    const std::vector<std::string_view> userEntries = entriesOf(programs->value);
    if (listsHearthglow(userEntries)) return std::nullopt;
    if (userEntries.empty()) return withResourceReplaced(lines, programs->span, programsBlock(systemEntries));
    return withEntryAppended(lines, programs->span);
}

XScreenSaverEdit addHackToXScreenSaver(const fs::path& home, const fs::path& appDefaults) {
    const fs::path file = home / ".xscreensaver";
    const fs::path backup = home / ".xscreensaver.bak";
    // A home that is not there is a mistake in $HOME, not a folder to make.
    std::error_code missing;
    if (!fs::is_directory(home, missing)) return failedToWrite(file, "the home folder " + home.string() + " does not exist");
    const UserFile current = readUserFile(file);
    if (!current.problem.empty()) return failedToWrite(file, current.problem);

    const std::optional<std::string> defaults = readRegularFile(appDefaults);
    const std::optional<std::string> updated =
        addHackToXScreenSaverText(current.exists ? std::optional<std::string_view>(current.text) : std::nullopt, defaults);
    if (!updated) {
        const fs::path& where = current.exists && userFileListsHearthglow(current.text) ? file : appDefaults;
        return {XScreenSaverEdit::Outcome::AlreadyListed,
                "Hearthglow is already listed in " + where.string() + "; nothing changed."};
    }

    if (current.exists && !platform::writeFileAtomically(backup, current.text))
        return failedToWrite(backup, whyNotWritable(backup));
    std::error_code error;
    const fs::perms permissions = fs::status(file, error).permissions();
    const fs::path target = writeTarget(file);
    if (!platform::writeFileAtomically(target, *updated)) return failedToWrite(file, whyNotWritable(target));
    if (current.exists) {
        // The temporary file was made private; give the file back the reading rights it had.
        const fs::perms executable = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
        fs::permissions(target, (permissions | fs::perms::owner_read | fs::perms::owner_write) & ~executable, error);
    }

    std::string message = "Added \"" + std::string(kXScreenSaverHackLine) + "\" to " + file.string();
    message += current.exists ? " (the previous file is kept as " + backup.string() + ")." : " (a new file).";
    message += " Pick \"Hearthglow\" in xscreensaver-settings.";
    return {XScreenSaverEdit::Outcome::Added, message};
}

fs::path xscreensaverAppDefaultsPath() {
    static constexpr std::array<std::string_view, 3> kPlaces = {
        "/etc/X11/app-defaults/XScreenSaver",
        "/usr/share/X11/app-defaults/XScreenSaver",
        "/usr/lib/X11/app-defaults/XScreenSaver",
    };
    for (const std::string_view place : kPlaces) {
        std::error_code error;
        if (fs::is_regular_file(place, error)) return fs::path(place);
    }
    return fs::path(kPlaces.front());
}

}  // namespace hg

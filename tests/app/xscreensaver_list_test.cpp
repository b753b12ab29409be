#include "app/xscreensaver_list.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <map>
#include <regex>
#include <thread>
#include <vector>

#include "test_support.h"

namespace hg {
namespace {

namespace fs = std::filesystem;
using Outcome = XScreenSaverEdit::Outcome;

// ---- ~/.xscreensaver read the way XScreenSaver 6.06 reads it (driver/prefs.c) ----
// A backslash right before "\n" joins lines; then \n \r \t escapes; lines starting with # ! or ; are
// comments; the key is everything before the first colon, case ignored; the last one wins.

std::string stripped(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

void storeResource(std::map<std::string, std::string>& resources, const std::string& logical) {
    std::string decoded;
    for (size_t i = 0; i < logical.size(); ++i) {
        if (logical[i] != '\\') {
            decoded += logical[i];
        } else if (++i < logical.size()) {
            const char c = logical[i];
            decoded += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        }
    }
    const std::string line = stripped(decoded);
    if (line.empty() || line[0] == '#' || line[0] == '!' || line[0] == ';') return;
    const size_t colon = line.find(':');
    if (colon == std::string::npos) return;
    std::string key = line.substr(0, colon);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    resources[key] = stripped(line.substr(colon + 1));
}

std::map<std::string, std::string> readAsXScreenSaver(const std::string& text) {
    std::map<std::string, std::string> resources;
    std::string logical;
    size_t start = 0;
    while (start < text.size()) {
        const size_t newline = text.find('\n', start);
        std::string line = text.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
        start = newline == std::string::npos ? text.size() : newline + 1;
        if (newline != std::string::npos && !line.empty() && line.back() == '\\') {
            line.pop_back();
            logical += line;
            continue;
        }
        storeResource(resources, logical + line);
        logical.clear();
    }
    if (!logical.empty()) storeResource(resources, logical);
    return resources;
}

// The programs list, each entry with its blanks squeezed to single spaces.
std::vector<std::string> programsOf(const std::string& text) {
    std::vector<std::string> entries;
    std::istringstream value(readAsXScreenSaver(text)["programs"]);
    std::string entry;
    while (std::getline(value, entry)) {
        std::istringstream words(entry);
        std::string word;
        std::string squeezed;
        while (words >> word) squeezed += (squeezed.empty() ? "" : " ") + word;
        if (!squeezed.empty()) entries.push_back(squeezed);
    }
    return entries;
}

std::vector<std::string> plus(std::vector<std::string> entries, const std::string& extra) {
    entries.push_back(extra);
    return entries;
}

const std::string kHack(kXScreenSaverHackLine);

// App-defaults in the layout of /etc/X11/app-defaults/XScreenSaver. In X resource files a comment ends
// at its line end even after a backslash, and `\\` is one backslash.
const std::string kAppDefaults = R"(!            XScreenSaver
! a comment that ends with a backslash \
#error Do not run app-defaults files through xrdb!
*mode:			random
*fade:			True

*programs:								      \
				maze --root				    \n\
- GL: 				superquadrics --root			    \n\
-				noseguy --root				    \n\
  "Fun \\ Text"			phosphor -program 'echo a\\b' --root \n\
- GL: 				squirtorus --root			    \n

*hacks.maze.name: Maze
)";

const std::vector<std::string> kSystemEntries = {
    "maze --root", "- GL: superquadrics --root", "- noseguy --root",
    R"("Fun \ Text" phosphor -program 'echo a\b' --root)", "- GL: squirtorus --root"};

// Part of a file as xscreensaver-settings 6.06 writes it: the list ends with an empty continued line.
const std::string kWrittenHead =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for nobody on Wed Dec  9 11:57:48 2026.\n"
    "# https://www.jwz.org/xscreensaver/\n"
    "\n"
    "timeout:\t0:10:00\n"
    "fade:\t\tFalse\n"
    "mode:\t\trandom\n"
    "selected:\t-1\n"
    "\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "\t\t\t\tattraction --root\t\t\t    \\n\\\n";
const std::string kWrittenTail =
    "\n"
    "\n"
    "pointerHysteresis:  10\n"
    "authWarningSlack:   20\n";
const std::string kWritten = kWrittenHead + kWrittenTail;

TEST(XScreenSaverListText, NoUserFileMakesOneListOfTheSystemEntriesThenTheHack) {
    const auto text = addHackToXScreenSaverText(std::nullopt, kAppDefaults);
    ASSERT_TRUE(text);
    EXPECT_EQ(programsOf(*text), plus(kSystemEntries, kHack));
    EXPECT_EQ(readAsXScreenSaver(*text).size(), 1u) << *text;
    EXPECT_EQ(text->front(), '#');

    // Without a readable app-defaults file the list holds the hack alone.
    const auto alone = addHackToXScreenSaverText(std::nullopt, std::nullopt);
    ASSERT_TRUE(alone);
    EXPECT_EQ(programsOf(*alone), std::vector<std::string>{kHack});
    const auto noList = addHackToXScreenSaverText(std::nullopt, std::string_view("*mode: random\n"));
    ASSERT_TRUE(noList);
    EXPECT_EQ(programsOf(*noList), std::vector<std::string>{kHack});
}

TEST(XScreenSaverListText, FileWithoutAListKeepsItsBytesAndGainsTheSystemListWithTheHack) {
    const std::string file = "# mine\ntimeout:\t0:05:00\nlock:\t\tTrue\n";
    const auto text = addHackToXScreenSaverText(file, kAppDefaults);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->substr(0, file.size()), file);
    EXPECT_EQ(programsOf(*text), plus(kSystemEntries, kHack));
    EXPECT_EQ(readAsXScreenSaver(*text)["timeout"], "0:05:00");

    // A last line without a line end, and one left continued, must not swallow the new list.
    for (const std::string tail : {"lock: True", "textLiteral: Merry \\"}) {
        SCOPED_TRACE(tail);
        const auto ended = addHackToXScreenSaverText("timeout: 0:05:00\n" + tail, std::nullopt);
        ASSERT_TRUE(ended);
        EXPECT_EQ(programsOf(*ended), std::vector<std::string>{kHack});
        const auto resources = readAsXScreenSaver(*ended);
        EXPECT_EQ(resources.size(), 3u) << *ended;
        EXPECT_EQ(resources.at("timeout"), "0:05:00");
    }
}

TEST(XScreenSaverListText, WrittenListGainsOneEntryAtItsEndAndKeepsEveryOtherByte) {
    const auto text = addHackToXScreenSaverText(kWritten, kAppDefaults);
    ASSERT_TRUE(text);
    // Appended, so `selected:` numbers still name the same hacks.
    EXPECT_EQ(*text, kWrittenHead + "\t\t\t\t" + kHack + " \\n\\\n" + kWrittenTail);
    EXPECT_EQ(programsOf(*text),
              (std::vector<std::string>{"maze --root", "- GL: superquadrics --root", "attraction --root", kHack}));
    EXPECT_EQ(readAsXScreenSaver(*text)["pointerhysteresis"], "10");
}

TEST(XScreenSaverListText, HandWrittenListsGainTheEntryAsXScreenSaverReadsThem) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> programs;
    };
    const std::vector<Case> cases = {
        {"one line", "programs: maze --root\nlock: False\n", {"maze --root", kHack}},
        {"last entry ends with \\n", "programs: \\\n  maze --root \\n\\\n  - qix --root \\n\n",
         {"maze --root", "- qix --root", kHack}},
        {"continued without \\n", "Programs: \\\n  maze --root \\\n\nlock: False\n", {"maze --root", kHack}},
        {"no final line end", "programs: \\\n\tmaze --root \\n\\\n\tqix --root", {"maze --root", "qix --root", kHack}},
        {"later list wins", "programs: qix --root\n! old\nprograms: maze --root\n", {"maze --root", kHack}},
        {"empty list means the system's", "mode: one\nselected: 2\nprograms:\nlock: False\n", plus(kSystemEntries, kHack)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto text = addHackToXScreenSaverText(c.file, kAppDefaults);
        ASSERT_TRUE(text);
        EXPECT_EQ(programsOf(*text), c.programs) << *text;
        EXPECT_EQ(text->find(kHack), text->rfind(kHack));
    }
}

TEST(XScreenSaverListText, CrLfFileKeepsItsLineEndsButTheListEndsLinesAsXScreenSaverJoinsThem) {
    // XScreenSaver joins only a backslash right before "\n"; as written, it would see an empty list.
    const std::string file = "timeout: 0:05:00\r\nprograms: \\\r\n  maze --root \\n\\\r\n  qix --root\r\nlock: False\r\n";
    ASSERT_TRUE(programsOf(file).empty());
    const auto text = addHackToXScreenSaverText(file, std::nullopt);
    ASSERT_TRUE(text);
    EXPECT_EQ(programsOf(*text), (std::vector<std::string>{"maze --root", "qix --root", kHack}));
    EXPECT_TRUE(text->starts_with("timeout: 0:05:00\r\nprograms: \\\n"));
    EXPECT_TRUE(text->ends_with(kHack + "\r\nlock: False\r\n")) << *text;
}

TEST(XScreenSaverListText, AnEntryRunningHearthglowMeansNothingToDo) {
    const std::vector<std::string> listed = {
        "GL: hearthglow --root", "- GL: \t\thearthglow --root", "-\t\t\thearthglow --root", "default: hearthglow",
        "  \"Holiday\"  /usr/libexec/xscreensaver/hearthglow -root --fps", "GL: Hearthglow --root"};
    for (const std::string& entry : listed) {
        SCOPED_TRACE(entry);
        EXPECT_FALSE(addHackToXScreenSaverText("programs: \\\n  maze --root \\n\\\n" + entry + "\n", kAppDefaults));
    }
    // XScreenSaver adds system entries missing from the user's list, so one there counts too.
    const std::string system = "*programs: maze --root \\n\\\n- GL: hearthglow --root \\n\n";
    EXPECT_FALSE(addHackToXScreenSaverText(std::nullopt, system));
    EXPECT_FALSE(addHackToXScreenSaverText("programs: maze --root\n", system));

    // Other programs, comments and lists XScreenSaver does not use do not count.
    const std::vector<std::string> unlisted = {
        "programs: hearthglow-old --root\n", "programs: xhearthglow --root\n", "# programs: GL: hearthglow --root\n",
        "programs: GL: hearthglow --root\nprograms: maze --root\n", "programs : GL: hearthglow --root\n"};
    for (const std::string& file : unlisted) {
        SCOPED_TRACE(file);
        const auto text = addHackToXScreenSaverText(file, kAppDefaults);
        ASSERT_TRUE(text);
        const auto programs = programsOf(*text);
        EXPECT_EQ(std::count(programs.begin(), programs.end(), kHack), 1);
    }
}

// ---- the file ----

struct Home {
    test::ScratchDir dir;
    fs::path home = dir / "home";
    fs::path file = home / ".xscreensaver";
    fs::path backup = home / ".xscreensaver.bak";
    fs::path appDefaults = dir / "XScreenSaver";
    Home() {
        fs::create_directories(home);
        test::writeText(appDefaults, kAppDefaults);
    }
};

TEST(XScreenSaverListFile, ReplacesTheFileKeepsTheOldOneAsBakAndAddsOnlyOnce) {
    Home h;
    test::writeText(h.file, kWritten);
    fs::permissions(h.file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);

    const XScreenSaverEdit edit = addHackToXScreenSaver(h.home, h.appDefaults);
    EXPECT_EQ(edit.outcome, Outcome::Added);
    EXPECT_EQ(edit.message, "Added \"GL: hearthglow --root\" to " + h.file.string() + " (the previous file is kept as " +
                                h.backup.string() + "). Pick \"Hearthglow\" in xscreensaver-settings.");
    EXPECT_EQ(test::readText(h.file), *addHackToXScreenSaverText(kWritten, kAppDefaults));
    EXPECT_EQ(test::readText(h.backup), kWritten);
    EXPECT_EQ(fs::status(h.file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(h.home)) left.push_back(entry.path().filename());
    EXPECT_EQ(left.size(), 2u) << "no temporary file stays behind";

    const std::string edited = test::readText(h.file);
    const XScreenSaverEdit again = addHackToXScreenSaver(h.home, h.appDefaults);
    EXPECT_EQ(again.outcome, Outcome::AlreadyListed);
    EXPECT_EQ(again.message, "Hearthglow is already listed in " + h.file.string() + "; nothing changed.");
    EXPECT_EQ(test::readText(h.file), edited);
    EXPECT_EQ(test::readText(h.backup), kWritten);
}

TEST(XScreenSaverListFile, CreatesAMissingFileAndWritesThroughALink) {
    Home h;
    const XScreenSaverEdit created = addHackToXScreenSaver(h.home, h.dir / "missing");
    EXPECT_EQ(created.outcome, Outcome::Added);
    EXPECT_NE(created.message.find(h.file.string() + " (a new file)."), std::string::npos) << created.message;
    EXPECT_EQ(programsOf(test::readText(h.file)), std::vector<std::string>{kHack});
    EXPECT_FALSE(fs::exists(h.backup));

    // A ~/.xscreensaver kept elsewhere stays a link; its target is edited, as XScreenSaver does.
    Home linked;
    const fs::path target = linked.dir / "dotfiles" / "xscreensaver";
    fs::create_directories(target.parent_path());
    test::writeText(target, "lock: False\n");
    fs::create_symlink(target, linked.file);
    EXPECT_EQ(addHackToXScreenSaver(linked.home, linked.appDefaults).outcome, Outcome::Added);
    EXPECT_TRUE(fs::is_symlink(linked.file));
    EXPECT_EQ(programsOf(test::readText(target)), plus(kSystemEntries, kHack));
    EXPECT_EQ(test::readText(linked.backup), "lock: False\n");
}

TEST(XScreenSaverListFile, ListedBySystemChangesNothing) {
    Home h;
    test::writeText(h.appDefaults, "*programs: GL: hearthglow --root\n");
    const XScreenSaverEdit edit = addHackToXScreenSaver(h.home, h.appDefaults);
    EXPECT_EQ(edit.outcome, Outcome::AlreadyListed);
    EXPECT_EQ(edit.message, "Hearthglow is already listed in " + h.appDefaults.string() + "; nothing changed.");
    EXPECT_FALSE(fs::exists(h.file));
}

TEST(XScreenSaverListFile, UnwritablePlacesFailAndChangeNothing) {
    // ~/.xscreensaver is a folder.
    Home folder;
    fs::create_directories(folder.file / "inside");
    const XScreenSaverEdit intoFolder = addHackToXScreenSaver(folder.home, folder.appDefaults);
    EXPECT_EQ(intoFolder.outcome, Outcome::Failed);
    EXPECT_EQ(intoFolder.message, "Could not write " + folder.file.string() + ": it is a folder; nothing changed.");
    EXPECT_TRUE(fs::is_directory(folder.file / "inside"));
    EXPECT_FALSE(fs::exists(folder.backup));

    // The home lies under a regular file.
    Home underFile;
    test::writeText(underFile.dir / "plain", "x");
    const fs::path home = underFile.dir / "plain" / "home";
    const XScreenSaverEdit underPlain = addHackToXScreenSaver(home, underFile.appDefaults);
    EXPECT_EQ(underPlain.outcome, Outcome::Failed);
    EXPECT_EQ(underPlain.message, "Could not write " + (home / ".xscreensaver").string() + ": the home folder " +
                                      home.string() + " does not exist; nothing changed.");
    EXPECT_EQ(test::readText(underFile.dir / "plain"), "x");

    // A home that is not there (a wrong $HOME) is not made.
    Home nowhere;
    const fs::path missing = nowhere.dir / "no-such-home";
    EXPECT_EQ(addHackToXScreenSaver(missing, nowhere.appDefaults).outcome, Outcome::Failed);
    EXPECT_FALSE(fs::exists(missing));

    // The backup cannot be written: the file stays as it was.
    Home noBackup;
    test::writeText(noBackup.file, kWritten);
    fs::create_directories(noBackup.backup / "inside");
    const XScreenSaverEdit withoutBackup = addHackToXScreenSaver(noBackup.home, noBackup.appDefaults);
    EXPECT_EQ(withoutBackup.outcome, Outcome::Failed);
    EXPECT_EQ(withoutBackup.message, "Could not write " + noBackup.backup.string() + ": it is a folder; nothing changed.");
    EXPECT_EQ(test::readText(noBackup.file), kWritten);
}

// ---- XScreenSaver itself lists the hack ----

// The XScreenSaver daemon on the test's display, with its own home. As root it launches no hacks, so
// it runs as nobody then.
class XScreenSaverDaemon {
public:
    explicit XScreenSaverDaemon(const fs::path& home) : log_(home.parent_path() / "xscreensaver.log") {
        std::string environment = "env -i PATH=/usr/bin:/bin HOME=" + home.string() + " XDG_RUNTIME_DIR=" +
                                  home.string() + " DISPLAY=" + std::getenv("DISPLAY");
        if (const char* authority = std::getenv("XAUTHORITY"); authority && fs::exists(authority)) {
            fs::copy_file(authority, home / ".Xauthority", fs::copy_options::overwrite_existing);
            environment += " XAUTHORITY=" + (home / ".Xauthority").string();
        }
        prefix_ = environment + " ";
        if (::geteuid() == 0) {
            prefix_ = "setpriv --reuid=65534 --regid=65534 --clear-groups " + prefix_;
            for (const auto& entry : fs::recursive_directory_iterator(home)) chownToNobody(entry.path());
            chownToNobody(home);
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            const std::string command = "exec " + prefix_ + "xscreensaver -no-splash -verbose";
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~XScreenSaverDaemon() {
        const int asked = std::system((prefix_ + "xscreensaver-command -exit >/dev/null 2>&1").c_str());
        static_cast<void>(asked);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    XScreenSaverDaemon(const XScreenSaverDaemon&) = delete;
    XScreenSaverDaemon& operator=(const XScreenSaverDaemon&) = delete;

    // Started and answering: the daemon logs its process before it announces itself on the display,
    // and until then xscreensaver-command finds no screensaver running.
    bool started() const {
        if (waitForLog(0, std::regex("running in process")).empty()) return false;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::system((prefix_ + "xscreensaver-command -version >/dev/null 2>&1").c_str()) != 0) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }

    // Asks for hack number `n` (from 1, wrapping) and returns the command XScreenSaver then forks.
    std::string commandOfHack(size_t n) const {
        const size_t seen = test::readText(log_).size();
        if (std::system((prefix_ + "xscreensaver-command -select " + std::to_string(n) + " >/dev/null").c_str()) != 0)
            return "(xscreensaver-command failed)";
        return waitForLog(seen, std::regex(": forked \"([^\"]*)\" in pid [0-9]+ on window"));
    }

    std::string log() const { return test::readText(log_); }

private:
    static void chownToNobody(const fs::path& path) {
        if (::lchown(path.c_str(), 65534, 65534) != 0) ADD_FAILURE() << "chown " << path;
    }

    // The first capture (or the whole match) of `pattern` in the log past `from`, waiting up to 20 s.
    std::string waitForLog(size_t from, const std::regex& pattern) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        do {
            const std::string text = test::readText(log_);
            std::smatch match;
            const std::string fresh = text.size() > from ? text.substr(from) : std::string();
            if (std::regex_search(fresh, match, pattern)) return match.size() > 1 ? match[1].str() : match[0].str();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (std::chrono::steady_clock::now() < end);
        return {};
    }

    fs::path log_;
    std::string prefix_;
    pid_t pid_ = -1;
};

// The system list's entries, counted without our parser: the lines of `*programs:` after the first.
std::vector<std::string> systemCommands(const std::string& appDefaults) {
    std::vector<std::string> commands;
    std::istringstream in(appDefaults);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside) {
            inside = line.starts_with("*programs:");
            continue;
        }
        const bool more = line.ends_with("\\");
        std::string entry = line.substr(0, line.rfind("\\n"));
        entry = stripped(entry);
        if (entry.starts_with("-")) entry = stripped(entry.substr(1));
        if (const size_t colon = entry.find(':'); colon != std::string::npos && entry.find(' ') > colon)
            entry = stripped(entry.substr(colon + 1));
        if (!entry.empty()) commands.push_back(entry);
        if (!more) break;
    }
    return commands;
}

class XScreenSaverHost : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        if (!fs::exists("/usr/bin/xscreensaver") || !fs::exists("/usr/bin/xscreensaver-command"))
            GTEST_SKIP() << "XScreenSaver is not installed";
        if (::geteuid() == 0 && !fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "no setpriv to leave root";
        appDefaults_ = xscreensaverAppDefaultsPath();
        system_ = systemCommands(test::readText(appDefaults_));
        if (system_.empty()) GTEST_SKIP() << "no *programs: list in " << appDefaults_;
        fs::permissions(dir_.path(), fs::perms::all & ~(fs::perms::group_write | fs::perms::others_write));
        fs::create_directories(home_);
    }

    test::ScratchDir dir_;
    fs::path home_ = dir_ / "home";
    fs::path appDefaults_;
    std::vector<std::string> system_;
};

TEST_F(XScreenSaverHost, ListsTheHackAfterTheSystemListInANewUserList) {
    test::writeText(home_ / ".xscreensaver", "fade:\tFalse\nlock:\tFalse\n");
    ASSERT_EQ(addHackToXScreenSaver(home_, appDefaults_).outcome, Outcome::Added);

    XScreenSaverDaemon daemon(home_);
    ASSERT_TRUE(daemon.started()) << daemon.log();
    const size_t count = system_.size();
    EXPECT_EQ(daemon.commandOfHack(count + 1), "hearthglow --root") << daemon.log();
    EXPECT_EQ(daemon.commandOfHack(count), system_.back());
    // Numbers wrap: past the hack comes the first system entry, so nothing else was listed.
    EXPECT_EQ(daemon.commandOfHack(count + 2), system_.front());
}

TEST_F(XScreenSaverHost, ListsTheHackAtTheEndOfAListXScreenSaverWrote) {
    test::writeText(home_ / ".xscreensaver", kWritten);
    ASSERT_EQ(addHackToXScreenSaver(home_, appDefaults_).outcome, Outcome::Added);

    XScreenSaverDaemon daemon(home_);
    ASSERT_TRUE(daemon.started()) << daemon.log();
    EXPECT_EQ(daemon.commandOfHack(4), "hearthglow --root") << daemon.log();
    EXPECT_EQ(daemon.commandOfHack(3), "attraction --root");
}

}  // namespace
}  // namespace hg

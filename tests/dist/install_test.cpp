// The installed tree and the Debian package: exactly the files a screensaver host and a desktop
// need, each accepted by the tool that reads it (xmllint, desktop-file-validate, groff, dpkg),
// and every option the XScreenSaver settings file hands the program is one it understands.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace hg::test {
namespace {

namespace fs = std::filesystem;

// Files and links under the prefix, nothing else: no tools, tests, libraries or headers.
const std::vector<std::string> kInstalled = {
    "usr/bin/hearthglow",
    "usr/libexec/xscreensaver/hearthglow",
    "usr/share/applications/hearthglow.desktop",
    "usr/share/applications/screensavers/hearthglow.desktop",
    "usr/share/icons/hicolor/256x256/apps/hearthglow.png",
    "usr/share/man/man6/hearthglow.6.gz",
    "usr/share/xscreensaver/config/hearthglow.xml",
};
const char* const kHackLink = "usr/libexec/xscreensaver/hearthglow";

struct Output {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `command` through the shell in `folder`, capturing both streams.
Output capture(const fs::path& folder, const std::string& command) {
    const fs::path out = folder / ".stdout";
    const ProcessResult result = runIn(folder, command + " >'" + out.string() + "'");
    Output output{result.exitCode, readText(out), result.standardError};
    fs::remove(out);
    return output;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Regular files and symbolic links under `root`, as sorted relative paths.
std::vector<std::string> filesUnder(const fs::path& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_symlink() || entry.is_regular_file()) files.push_back(entry.path().lexically_relative(root).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

// The rest of the first line that starts with `prefix` ("Exec=", "Version: "), or nothing.
std::string valueAfter(const std::string& text, const std::string& prefix) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with(prefix)) return line.substr(prefix.size());
    return {};
}

std::string projectVersion() {
    return valueAfter(readText(fs::path(HG_BINARY_DIR) / "CMakeCache.txt"), "CMAKE_PROJECT_VERSION:STATIC=");
}

// Whether `word` occurs in `text` on its own, not as part of a longer option ("--window" in
// "--window-id").
bool containsWord(const std::string& text, const std::string& word) {
    const auto partOfWord = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; };
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const size_t end = at + word.size();
        if ((at == 0 || !partOfWord(text[at - 1])) && (end == text.size() || !partOfWord(text[end]))) return true;
    }
    return false;
}

// Every word of the usage line that names an option ("--volume", "/c", "-root"), brackets and
// bars taken away.
std::set<std::string> usageOptions(const std::string& usage) {
    std::set<std::string> options;
    std::istringstream words(usage);
    for (std::string word; words >> word;) {
        word.erase(std::remove_if(word.begin(), word.end(), [](char c) { return c == '[' || c == ']' || c == '|'; }),
                   word.end());
        if (word.size() > 1 && (word[0] == '-' || word[0] == '/')) options.insert(word.substr(0, word.find_first_of(":[")));
    }
    return options;
}

// One installation into a scratch root, made once for the tests of this suite.
class Install : public testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = std::make_unique<ScratchDir>();
        fs::create_directories(root());
        fs::create_directories(work());
        install_ = capture(work(), "DESTDIR=" + quoted(root()) + " cmake --install " + quoted(HG_BINARY_DIR) + " --prefix /usr");
    }
    static void TearDownTestSuite() { scratch_.reset(); }
    void SetUp() override { ASSERT_EQ(install_.exitCode, 0) << install_.out << install_.err; }

    static fs::path root() { return scratch_->path() / "root"; }
    static fs::path work() { return scratch_->path() / "work"; }
    static fs::path installed(const std::string& path) { return root() / path; }

    // The program's usage line, as `hearthglow --help` prints it on standard output.
    static std::string usageLine() {
        const std::string env = "XDG_CONFIG_HOME=" + quoted(work() / "config") + " XDG_STATE_HOME=" + quoted(work() / "state") +
                                " HEARTHGLOW_LOG=" + quoted(work() / "Log.txt") + " ";
        const Output help = capture(work(), env + quoted(installed("usr/bin/hearthglow")) + " --help");
        EXPECT_EQ(help.exitCode, 0) << help.err;
        return help.out;
    }

    static inline std::unique_ptr<ScratchDir> scratch_;
    static inline Output install_;
};

TEST_F(Install, PutsExactlyTheProgramItsHackLinkAndItsDesktopFilesInPlace) {
    EXPECT_EQ(filesUnder(root()), kInstalled);

    // The hack is the same program through a relative link, not a second 40 MB copy.
    const fs::path hack = installed(kHackLink);
    ASSERT_TRUE(fs::is_symlink(hack));
    EXPECT_EQ(fs::read_symlink(hack), fs::path("../../bin/hearthglow"));
    EXPECT_EQ(fs::canonical(hack), fs::canonical(installed("usr/bin/hearthglow")));
    EXPECT_EQ(fs::file_size(installed("usr/bin/hearthglow")), fs::file_size(fs::path(HG_BINARY_DIR) / "hearthglow"));
    EXPECT_NE(fs::status(installed("usr/bin/hearthglow")).permissions() & fs::perms::others_exec, fs::perms::none);
    for (const char* data : {"usr/share/xscreensaver/config/hearthglow.xml", "usr/share/applications/hearthglow.desktop"})
        EXPECT_EQ(fs::status(installed(data)).permissions() & fs::perms::owner_exec, fs::perms::none) << data;
}

TEST_F(Install, XScreenSaverSettingsNameTheHackAndPassOnlyOptionsTheProgramKnows) {
    const fs::path xml = installed("usr/share/xscreensaver/config/hearthglow.xml");
    const Output lint = capture(work(), "xmllint --noout " + quoted(xml));
    EXPECT_EQ(lint.exitCode, 0) << lint.err;
    const std::string text = readText(xml);
    // XScreenSaver finds the file by the program's name and runs the hack with `command` first.
    EXPECT_NE(text.find("<screensaver name=\"hearthglow\" _label=\"Hearthglow\">"), std::string::npos);
    EXPECT_NE(text.find("<command arg=\"--root\"/>"), std::string::npos);

    const std::set<std::string> known = usageOptions(usageLine());
    ASSERT_FALSE(known.empty());
    const std::regex element(R"re(<(\w+)\s([^>]*?)/?>)re");
    const std::regex attribute(R"re(([\w-]+)="([^"]*)")re");
    int arguments = 0;
    for (auto e = std::sregex_iterator(text.begin(), text.end(), element); e != std::sregex_iterator(); ++e) {
        std::map<std::string, std::string> attributes;
        const std::string body = (*e)[2];
        for (auto a = std::sregex_iterator(body.begin(), body.end(), attribute); a != std::sregex_iterator(); ++a)
            attributes[(*a)[1]] = (*a)[2];
        for (const char* key : {"arg", "arg-set", "arg-unset"}) {
            if (!attributes.contains(key)) continue;
            ++arguments;
            std::string value = attributes[key];
            if (const size_t percent = value.find('%'); percent != std::string::npos) {
                // A slider: its default must lie in its range, and the program gets that value.
                const int low = std::stoi(attributes["low"]), high = std::stoi(attributes["high"]);
                const int fallback = std::stoi(attributes["default"]);
                EXPECT_LE(low, fallback) << value;
                EXPECT_LE(fallback, high) << value;
                value.replace(percent, 1, std::to_string(fallback));
            }
            std::istringstream words(value);
            for (std::string word; words >> word;) {
                if (word.starts_with("-")) {
                    EXPECT_TRUE(known.contains(word)) << word << " is not in the usage line";
                }
            }
        }
    }
    EXPECT_EQ(arguments, 6);  // the command and the five options were all read
}

TEST_F(Install, DesktopEntriesValidateAndPointAtInstalledFiles) {
    const fs::path screensaver = installed("usr/share/applications/screensavers/hearthglow.desktop");
    const fs::path launcher = installed("usr/share/applications/hearthglow.desktop");
    for (const fs::path& entry : {screensaver, launcher}) {
        const Output check = capture(work(), "desktop-file-validate " + quoted(entry));
        EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
        // Hints are allowed: "Screensaver" alone is no main category, yet it is what the hosts list.
        EXPECT_EQ(check.out.find("error:"), std::string::npos) << check.out;
        EXPECT_EQ(check.out.find("warning:"), std::string::npos) << check.out;
    }
    const std::string saver = readText(screensaver);
    EXPECT_EQ(valueAfter(saver, "Exec="), "/" + std::string(kHackLink) + " --root");
    EXPECT_EQ(valueAfter(saver, "TryExec="), "/" + std::string(kHackLink));
    EXPECT_NE(valueAfter(saver, "Categories=").find("Screensaver;"), std::string::npos);

    const std::string menu = readText(launcher);
    EXPECT_EQ(valueAfter(menu, "Exec="), "hearthglow --window");
    EXPECT_TRUE(fs::exists(installed("usr/share/icons/hicolor/256x256/apps/" + valueAfter(menu, "Icon=") + ".png")));
    EXPECT_NE(menu.find("[Desktop Action Settings]\nName=Settings\nExec=hearthglow /c\n"), std::string::npos) << menu;
    const std::set<std::string> known = usageOptions(usageLine());
    for (const char* option : {"--root", "--window", "/c"}) EXPECT_TRUE(known.contains(option)) << option;
}

TEST_F(Install, IconIsA256PixelPictureOnATransparentGround) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const std::string path = installed("usr/share/icons/hicolor/256x256/apps/hearthglow.png").string();
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    EXPECT_EQ(image.width, 256u);
    EXPECT_EQ(image.height, 256u);
    EXPECT_NE(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) << image.message;
    const auto pixel = [&](unsigned x, unsigned y) { return rgba.data() + (size_t(y) * image.width + x) * 4; };
    // The rounded corners are clear, the middle is solid and lit by the fire (more red than blue).
    for (unsigned x : {0u, 255u})
        for (unsigned y : {0u, 255u}) EXPECT_EQ(pixel(x, y)[3], 0) << x << "," << y;
    const uint8_t* middle = pixel(128, 190);
    EXPECT_EQ(middle[3], 255);
    EXPECT_GT(middle[0], middle[2]);
    // The night-blue ground above the mantel.
    const uint8_t* sky = pixel(20, 60);
    EXPECT_EQ(sky[3], 255);
    EXPECT_GT(sky[2], sky[0]);
}

TEST_F(Install, ManualPageRendersCleanlyAndDocumentsEveryOptionOfTheUsageLine) {
    const fs::path page = installed("usr/share/man/man6/hearthglow.6.gz");
    const Output render = capture(work(), "gzip -dc " + quoted(page) + " | groff -man -Tutf8 -ww -z");
    EXPECT_EQ(render.exitCode, 0);
    EXPECT_EQ(render.err, "");
    const Output name = capture(work(), "lexgrog " + quoted(page));
    EXPECT_EQ(name.exitCode, 0) << name.err;
    EXPECT_NE(name.out.find("\"hearthglow - "), std::string::npos) << name.out;

    const Output source = capture(work(), "gzip -dc " + quoted(page));
    const std::string text = std::regex_replace(source.out, std::regex(R"(\\-)"), "-");
    const std::set<std::string> options = usageOptions(usageLine());
    ASSERT_FALSE(options.empty());
    for (const std::string& option : options) EXPECT_TRUE(containsWord(text, option)) << option << " is not in the manual page";
}

TEST(Package, DebianPackageHoldsTheInstalledFilesAndTheLibrariesItNeeds) {
    ScratchDir scratch;
    // gzip instead of the package's xz: the same contents, packed in 4 s rather than 18 s.
    const Output pack = capture(scratch.path(), "cpack -G DEB -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip -B " +
                                                    quoted(scratch.path() / "out") + " --config " +
                                                    quoted(fs::path(HG_BINARY_DIR) / "CPackConfig.cmake"));
    ASSERT_EQ(pack.exitCode, 0) << pack.out << pack.err;
    const Output arch = capture(scratch.path(), "dpkg --print-architecture");
    const std::string architecture = arch.out.substr(0, arch.out.find('\n'));
    const std::string version = projectVersion();
    ASSERT_FALSE(version.empty());
    const fs::path deb = scratch.path() / "out" / ("hearthglow_" + version + "_" + architecture + ".deb");
    ASSERT_TRUE(fs::exists(deb)) << pack.out;

    const Output fields = capture(scratch.path(), "dpkg-deb -f " + quoted(deb));
    ASSERT_EQ(fields.exitCode, 0) << fields.err;
    EXPECT_EQ(valueAfter(fields.out, "Package: "), "hearthglow");
    EXPECT_EQ(valueAfter(fields.out, "Version: "), version);
    EXPECT_EQ(valueAfter(fields.out, "Architecture: "), architecture);
    const std::string depends = valueAfter(fields.out, "Depends: ");
    // libgl1: SDL opens libGL.so.1 for the GLX context at run time.
    for (const char* library : {"libsdl2-2.0-0", "libsdl2-mixer-2.0-0", "libgtk-3-0", "libc6", "libgl1"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from: " << depends;

    // The package's files are the installed ones, the hack still a link to the program.
    const Output contents = capture(scratch.path(), "dpkg -c " + quoted(deb));
    ASSERT_EQ(contents.exitCode, 0) << contents.err;
    std::vector<std::string> files;
    std::string hackTarget;
    std::istringstream lines(contents.out);
    for (std::string line; std::getline(lines, line);) {
        const size_t start = line.find(" ./");
        if (start == std::string::npos || line.ends_with("/")) continue;
        std::string path = line.substr(start + 3);
        if (const size_t arrow = path.find(" -> "); arrow != std::string::npos) {
            EXPECT_EQ(line[0], 'l') << line;
            if (path.substr(0, arrow) == kHackLink) hackTarget = path.substr(arrow + 4);
            path.resize(arrow);
        }
        files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, kInstalled);
    EXPECT_EQ(hackTarget, "../../bin/hearthglow");
}

}  // namespace
}  // namespace hg::test

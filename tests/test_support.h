#pragma once
// Small helpers shared by the tests: scratch folders, running the real program, reading files.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace hg::test {

// A fresh folder under the system's temporary folder, removed when the object goes.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "hgtest-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::istringstream in(readText(path));
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

struct ProcessResult {
    int exitCode = -1;
    std::string standardError;
};

// Runs `command` through the shell in `folder`, with standard error captured. The program's log
// goes to folder/Log.txt (HEARTHGLOW_LOG), never into the user's own state folder.
inline ProcessResult runIn(const std::filesystem::path& folder, const std::string& command) {
    const std::filesystem::path errors = folder / ".stderr";
    // Its music lock lives in the folder too: a saver running elsewhere on the machine must not
    // silence the test's run.
    const std::string full = "cd '" + folder.string() + "' && export HEARTHGLOW_LOG='" + (folder / "Log.txt").string() +
                             "' XDG_RUNTIME_DIR='" + folder.string() + "' && " + command + " 2>'" + errors.string() + "'";
    const int status = std::system(full.c_str());
    ProcessResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.standardError = readText(errors);
    std::filesystem::remove(errors);
    return result;
}

// Environment variables set for as long as the object lives, then put back as they were.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::initializer_list<std::pair<std::string, std::string>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, old] : saved_) {
            if (old) setenv(name.c_str(), old->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

inline std::string hearthglowBinary() { return std::string(HG_BINARY_DIR) + "/hearthglow"; }
// The model and effect viewers' program.
inline std::string hearthglowViewBinary() { return std::string(HG_BINARY_DIR) + "/hearthglow-view"; }

}  // namespace hg::test

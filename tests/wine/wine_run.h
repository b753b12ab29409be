#pragma once
// Running the Windows build under Wine from the Linux tests. One Wine prefix in the build folder,
// made on first use; each test program ends its wineserver when it ends. Wine's own chatter goes
// to a file (its helper processes would keep a pipe open).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "e2e/child_process.h"
#include "test_support.h"

namespace hg::test {

inline std::filesystem::path windowsBuild() { return HG_WINDOWS_BUILD_DIR; }
inline std::filesystem::path winePrefix() { return std::filesystem::path(HG_BINARY_DIR) / "wine-prefix"; }

// The path as the Windows program sees a Linux file (Wine's drive Z: is the root).
inline std::string windowsPath(const std::filesystem::path& path) {
    std::string text = "Z:" + std::filesystem::absolute(path).string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

inline void setWineEnvironment() {
    setenv("WINEPREFIX", winePrefix().c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    // No browser engine or .NET to install, and a crash ends the program instead of opening a
    // debugger's dialog that would hang the test.
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winedbg.exe=d", 1);
}

// Makes the prefix once (about 15 s), and ends this program's wineserver when the tests end.
class WineEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setWineEnvironment();
        if (!std::filesystem::exists(winePrefix() / "system.reg")) {
            const std::string log = (std::filesystem::path(HG_BINARY_DIR) / "wine-prefix.log").string();
            ASSERT_EQ(std::system(("wineboot -i >" + log + " 2>&1 && wineserver -w").c_str()), 0) << "see " << log;
        }
    }
    void TearDown() override { std::system("wineserver -k >/dev/null 2>&1"); }
};

// Starts `program` under Wine in `dir`, with its output in dir/wine-output.txt and `environment`
// added (Wine hands the environment on to the Windows program).
inline pid_t startWine(const ScratchDir& dir, const std::filesystem::path& program, std::vector<std::string> args,
                       const std::vector<std::pair<std::string, std::string>>& environment = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.path().c_str()) != 0) _exit(127);
        const std::string output = (dir / "wine-output.txt").string();
        if (!freopen(output.c_str(), "a", stdout) || !freopen(output.c_str(), "a", stderr)) _exit(127);
        setWineEnvironment();
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        std::vector<std::string> all = {"wine", program.string()};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& arg : all) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp("wine", argv.data());
        _exit(127);
    }
    return pid;
}

// The Windows screensaver with its log at dir/Log.txt and its messages on standard error.
inline pid_t startWindowsSaver(const ScratchDir& dir, std::vector<std::string> args) {
    return startWine(dir, windowsBuild() / "Hearthglow.scr", std::move(args),
                     {{"HEARTHGLOW_LOG", windowsPath(dir / "Log.txt")}, {"HEARTHGLOW_MESSAGES", "stderr"}});
}

// The lines of a file a Windows program wrote (its lines end in CR LF).
inline std::vector<std::string> windowsLines(const std::filesystem::path& path) {
    std::vector<std::string> lines = readLines(path);
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    return lines;
}

// Wine's explorer, which owns the desktop window, may still be going down after a short-lived
// program such as regedit, and it keeps the X display it first opened: a run that needs a fresh
// desktop (another display, or right after a registry change) waits for the server to end first.
inline void waitForWineToEnd() { ASSERT_EQ(std::system("wineserver -w"), 0); }
inline void restartWine() { std::system("wineserver -k >/dev/null 2>&1; wineserver -w"); }

inline const std::string kSettingsKey = "HKCU\\Software\\KESTREL Studio\\3D Hearthglow Screensaver";

// The screensaver's settings replaced by exactly these REG_DWORD values, imported in one go
// (regedit on `display` when given). A value left out reads 0 at the next start.
inline void importSettings(const std::vector<std::pair<std::string, uint32_t>>& values, const std::string& display = {}) {
    ScratchDir dir;
    std::string file = "REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\KESTREL Studio\\3D Hearthglow Screensaver]\r\n\r\n"
                       "[HKEY_CURRENT_USER\\Software\\KESTREL Studio\\3D Hearthglow Screensaver]\r\n";
    for (const auto& [name, value] : values) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", value);
        file += "\"" + name + "\"=dword:" + hex + "\r\n";
    }
    writeText(dir / "settings.reg", file);
    std::vector<std::pair<std::string, std::string>> environment;
    if (!display.empty()) environment.emplace_back("DISPLAY", display);
    const pid_t pid = startWine(dir, "regedit", {"/S", windowsPath(dir / "settings.reg")}, environment);
    ASSERT_EQ(exitCodeOf(pid, std::chrono::seconds(60)), 0);
    waitForWineToEnd();
}

inline void removeSettings() {
    ScratchDir dir;
    exitCodeOf(startWine(dir, "reg", {"delete", kSettingsKey, "/f"}), std::chrono::seconds(60));
    waitForWineToEnd();
}

// One registry value's data as `wine reg query` prints it ("0x1" for a REG_DWORD of 1, the text of
// a REG_SZ); empty when there is none.
inline std::string registryValue(const std::string& key, const std::string& name) {
    ScratchDir dir;
    const pid_t pid = startWine(dir, "reg", {"query", key, "/v", name});
    if (exitCodeOf(pid, std::chrono::seconds(60)) != 0) return {};
    for (const std::string& line : windowsLines(dir / "wine-output.txt")) {
        const size_t type = line.find("REG_");
        if (line.find(name) == std::string::npos || type == std::string::npos) continue;
        const size_t value = line.find_first_not_of(' ', line.find(' ', type));
        return value == std::string::npos ? std::string() : line.substr(value);
    }
    return {};
}



}  // namespace hg::test

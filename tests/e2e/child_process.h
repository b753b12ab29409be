#pragma once
// The real program started in the background, for tests that act on it while it runs.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace hg::test {

// Runs hearthglow in `dir` with the settings folder dir/config, the log dir/Log.txt and
// `environment` added.
inline pid_t startHearthglow(const ScratchDir& dir, std::vector<std::string> args,
                             const std::vector<std::pair<std::string, std::string>>& environment = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.path().c_str()) != 0) _exit(127);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        setenv("HEARTHGLOW_MESSAGES", "stderr", 1);
        setenv("HEARTHGLOW_LOG", (dir / "Log.txt").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);  // the music lock, one per test
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        const std::string binary = hearthglowBinary();
        argv.push_back(const_cast<char*>(binary.c_str()));
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

inline bool logHasLine(const ScratchDir& dir, const std::string& line, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        const auto log = readLines(dir / "Log.txt");
        if (std::find(log.begin(), log.end(), line) != log.end()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// How a child ended: its exit code (-1 for a signal, -2 when it had to be killed after the time
// allowed) and the largest resident size it reached.
struct Ending {
    int exitCode = -2;
    long peakKilobytes = 0;
};

inline Ending endingOf(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    rusage usage{};
    while (std::chrono::steady_clock::now() < end) {
        if (wait4(pid, &status, WNOHANG, &usage) == pid)
            return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    wait4(pid, &status, 0, &usage);
    return {-2, usage.ru_maxrss};
}

inline int exitCodeOf(pid_t pid, std::chrono::milliseconds limit) { return endingOf(pid, limit).exitCode; }

inline bool haveDisplay() { return std::getenv("DISPLAY") != nullptr; }

}  // namespace hg::test

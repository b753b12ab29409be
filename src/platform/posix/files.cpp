#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/posix/settings_file.h"

namespace hg::platform {
namespace {

// An XDG base folder: the variable when it holds an absolute path, else the fallback under home.
std::filesystem::path xdgFolder(const char* variable, const char* fallback) {
    if (const char* value = std::getenv(variable); value && value[0] == '/') return value;
    return homeFolder() / fallback;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

std::filesystem::path settingsFilePath() {
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        config = xdg;
    } else {
        config = homeFolder() / ".config";
    }
    return config / "hearthglow" / "settings.conf";
}

std::filesystem::path logFilePath() {
    if (const char* chosen = std::getenv("HEARTHGLOW_LOG"); chosen && *chosen) return chosen;
    const std::filesystem::path folder = xdgFolder("XDG_STATE_HOME", ".local/state") / "hearthglow";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder / "Log.txt";
}

std::filesystem::path musicLockPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
        return std::filesystem::path(runtime) / "hearthglow-music.lock";
    return "/tmp/hearthglow-" + std::to_string(getuid()) + ".lock";
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::string temporary = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace hg::platform

// Files and folders on Windows: the log under the user's local application data, the music lock
// in the temporary folder, atomic replacement through MoveFileEx.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/win32/text.h"

namespace hg::platform {
namespace {

std::filesystem::path environmentPath(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value && *value ? std::filesystem::path(value) : std::filesystem::path();
}

std::filesystem::path temporaryFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return length > 0 && length <= MAX_PATH ? std::filesystem::path(buffer) : std::filesystem::path(".");
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

std::filesystem::path homeFolder() {
    if (auto profile = environmentPath(L"USERPROFILE"); !profile.empty()) return profile;
    return ".";
}

std::filesystem::path logFilePath() {
    if (auto chosen = environmentPath(L"HEARTHGLOW_LOG"); !chosen.empty()) return chosen;
    std::filesystem::path base = environmentPath(L"LOCALAPPDATA");
    if (base.empty()) base = temporaryFolder();
    const std::filesystem::path folder = base / "Hearthglow";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder / "Log.txt";
}

std::filesystem::path musicLockPath() { return temporaryFolder() / "hearthglow-music.lock"; }

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const std::filesystem::path temporary =
        path.parent_path() / (L"." + path.filename().wstring() + L"." + std::to_wstring(GetCurrentProcessId()));
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = writeAll(file, bytes) && FlushFileBuffers(file);
    const bool closed = CloseHandle(file) != 0;
    if (!written || !closed ||
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

// The lock is a byte range of a small file: Windows drops it when the holder's handle closes,
// however the process ends.
ProcessLock::ProcessLock(std::filesystem::path path) : path_(std::move(path)) {}

ProcessLock::~ProcessLock() { release(); }

bool ProcessLock::tryAcquire() {
    if (fd_ >= 0) return true;
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        CloseHandle(file);
        return false;
    }
    // The handle is kept in the integer the class holds; handles fit in 32 bits on every Windows.
    fd_ = static_cast<int>(reinterpret_cast<intptr_t>(file));
    return true;
}

void ProcessLock::release() {
    if (fd_ < 0) return;
    CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd_)));
    fd_ = -1;
}

}  // namespace hg::platform

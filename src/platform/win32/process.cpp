// The process on Windows: quit requests from the console or a signal, the clocks, local time.
#include <windows.h>

#include <csignal>
#include <ctime>

#include "core/run_mode.h"
#include "platform/platform.h"

namespace hg::platform {
namespace {

void storeQuit(int) { setRunMode(RunMode::Quit); }

BOOL WINAPI consoleQuit(DWORD) {
    setRunMode(RunMode::Quit);
    return TRUE;
}

}  // namespace

void installQuitSignals() {
    std::signal(SIGINT, storeQuit);
    std::signal(SIGTERM, storeQuit);
    SetConsoleCtrlHandler(consoleQuit, TRUE);
}

bool readPerformanceCounter(uint64_t& value) {
    LARGE_INTEGER counter;
    if (!QueryPerformanceCounter(&counter)) return false;
    value = static_cast<uint64_t>(counter.QuadPart);
    return true;
}

uint64_t performanceFrequency() {
    LARGE_INTEGER frequency;
    return QueryPerformanceFrequency(&frequency) ? static_cast<uint64_t>(frequency.QuadPart) : 1;
}

uint32_t milliseconds() { return GetTickCount(); }

CalendarTime localTime(int64_t epochSeconds) {
    const __time64_t seconds = epochSeconds;
    tm local{};
    if (_localtime64_s(&local, &seconds) != 0) return {1970, 1, 1, 0, 0, 0};
    return calendarTimeOf(local);
}

int64_t epochSecondsOf(const CalendarTime& c) {
    tm local = brokenDownTimeOf(c);
    return static_cast<int64_t>(_mktime64(&local));
}

int64_t epochSecondsNow() { return static_cast<int64_t>(_time64(nullptr)); }

}  // namespace hg::platform

#include "platform/win32/text.h"

namespace hg::platform {

std::span<const uint8_t> programResource(std::string_view type, int id) {
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(id), win32::wide(type).c_str());
    HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const uint8_t*>(bytes), static_cast<size_t>(SizeofResource(program, found))};
}

void releaseProgramPages(std::span<const uint8_t> readOnly) {
    // Unlocking pages that were never locked takes them out of the working set; the call reports
    // "not locked", which is expected.
    if (!readOnly.empty()) VirtualUnlock(const_cast<uint8_t*>(readOnly.data()), readOnly.size());
}

// The Windows heap has no such threshold to set.
void reuseLargeBlocks() {}

// Large pages there need a privilege a screensaver does not hold.
void keepHeapInHugePages() {}

std::optional<std::string> systemCommandLine() {
    const wchar_t* line = GetCommandLineW();
    if (!line) return std::nullopt;
    return win32::utf8(line);
}

}  // namespace hg::platform

// The switches as Windows passes them: the whole command line, the program's path quoted or not,
// read from GetCommandLineW. The test program runs itself with the exact line a host would use
// (the line is free to name another program: Windows passes it as given).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/run_mode.h"

namespace hg {
namespace {

// What the program made of `commandLine`: "mode M parent P", or an empty string.
std::string switchesFor(std::wstring commandLine) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    commandLine += L" --print-switches";
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[256];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) output.append(buffer, got);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return output;
}

std::string expected(RunMode mode, unsigned parent) {
    return "mode " + std::to_string(static_cast<int>(mode)) + " parent " + std::to_string(parent);
}

TEST(WindowsCommandLine, TheSwitchesHostsPassAfterAQuotedPath) {
    const std::wstring saver = L"\"C:\\Program Files\\My-Savers\\Hearth-glow.scr\"";
    EXPECT_EQ(switchesFor(saver + L" /s"), expected(RunMode::Run, 0));
    EXPECT_EQ(switchesFor(saver + L" /S"), expected(RunMode::Run, 0));
    EXPECT_EQ(switchesFor(saver + L" /p 1234"), expected(RunMode::Preview, 1234));
    EXPECT_EQ(switchesFor(saver + L" /c:5678"), expected(RunMode::Configure, 5678));
    EXPECT_EQ(switchesFor(saver + L" /c"), expected(RunMode::Configure, 0));
    // The dashes inside the quoted path are not switches; without arguments the dialog opens.
    // (" --print-switches" follows every line, so the first switch must come before it.)
    EXPECT_EQ(switchesFor(saver + L" -p 42"), expected(RunMode::Preview, 42));
}

TEST(WindowsCommandLine, AnUnquotedPathEndsAtItsFirstBlank) {
    EXPECT_EQ(switchesFor(L"C:\\SAVERS~1\\HEARTH~1.SCR /p 99"), expected(RunMode::Preview, 99));
    EXPECT_EQ(switchesFor(L"Hearthglow.scr /t"), expected(RunMode::Preview, 0));
}

}  // namespace
}  // namespace hg

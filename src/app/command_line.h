#pragma once
// The screensaver switches (/s, /c[:N], /p N, /t, none) and the Linux long options.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/calendar_time.h"
#include "core/run_mode.h"

namespace hg {

struct SwitchResult {
    RunMode mode = RunMode::Configure;
    uint32_t parentWindow = 0;
};

// Reads the whole command line as the system hands it to a screensaver: the program name (quoted or
// not) followed by the arguments. Only the first '/' or '-' after the program name counts.
// `parentWindow` is the handle already stored; /p and /t without a number keep it.
SwitchResult parseSwitches(std::string_view commandLine, uint32_t parentWindow = 0);

// The program name and the arguments joined by blanks; a program name with a blank is quoted.
std::string joinCommandLine(int argc, const char* const* argv);

// A window another program owns, which the run draws into instead of a window of its own: the
// hack mode of XScreenSaver and MATE's screensaver. The host owns input and ends the run with SIGTERM.
struct HostWindow {
    uint64_t id = 0;        // the X window id; 0 with `root` for the root window itself
    bool root = false;      // --root without a window named anywhere
    bool preview = false;   // named on the command line: a settings program's preview, always silent
};

// Parses an X window id as hosts write it: hex with 0x, or decimal. Ids are 32-bit and never 0.
std::optional<uint64_t> parseWindowId(std::string_view text);

// Everything the long options can ask for. Present only when the command line used them.
struct LaunchOptions {
    bool window = false;
    int windowWidth = 1024;
    int windowHeight = 768;
    std::optional<long> frames;
    std::optional<std::string> screenshot;
    std::optional<float> fixedStep;
    std::optional<CalendarTime> clock;
    std::optional<uint32_t> seed;
    bool noVsync = false;
    // For drivers that get vertex buffers or occlusion queries wrong, and for testing both paths.
    bool noVertexBuffers = false;
    bool noOcclusionQueries = false;
    bool noMultitexture = false;  // every lightmap as a blended second pass
    // Only the overlay on black: for checking the clock and the calendar by their pixels.
    bool noRoom = false;
    bool noOverlay = false;  // the room alone, for pictures of it
    bool glCheck = false;    // ask the driver for errors after each pass and log them
    std::optional<long> census;  // log the pixels each node of the room draws in that frame

    // --root, --window-id ID, or the host's XSCREENSAVER_WINDOW.
    std::optional<HostWindow> host;
    // One run's answers that override the settings file (the hosts' own option dialogs pass them);
    // nothing is saved.
    std::optional<bool> showClock;
    std::optional<bool> style24h;
    std::optional<bool> music;
    std::optional<int> volume;  // 0-100
    std::optional<bool> showFps;
    std::optional<int> monitor;  // -1 every monitor, 0 the primary, N the Nth
};

struct CommandLine {
    enum class Outcome { Dispatch, Usage, Help, AddToXScreenSaver };
    Outcome outcome = Outcome::Dispatch;
    SwitchResult switches;
    LaunchOptions options;
    std::string error;  // what was wrong, for the usage line
};

// With any "--" option present the switch parser does not run: the long options choose the mode
// (a room run, in a window with --window) and every argument must be a long option or its value.
// Every long option may also be written with one dash (-root, -window-id), as hosts do.
// `hostWindowVariable` is the environment's XSCREENSAVER_WINDOW: a run that asks for no other
// window (no arguments at all, /s, or long options without --window) draws into that window; a
// window id on the command line wins over it.
// `systemLine` is the whole line as the system passed it (Windows): the switches are read from it as
// it stands; without it they are read from the arguments joined by blanks.
CommandLine parseCommandLine(int argc, const char* const* argv,
                             std::optional<std::string_view> hostWindowVariable = std::nullopt,
                             std::optional<std::string_view> systemLine = std::nullopt);

std::string usageLine();

class Settings;
// This run's answers from the command line over the stored settings (nothing is saved).
void applyRunOverrides(const LaunchOptions& options, Settings& settings);

std::optional<CalendarTime> parseCalendarTime(std::string_view text);

}  // namespace hg

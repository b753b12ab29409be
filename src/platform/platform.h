#pragma once
// The operating-system services the portable code needs. Each port implements these in its own
// folder (sdl/ and posix/ on Linux); nothing outside src/platform/ includes a system header.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/settings.h"

namespace hg::platform {

// ---- files and folders ----

// $XDG_CONFIG_HOME/hearthglow/settings.conf, or ~/.config/hearthglow/settings.conf.
std::filesystem::path settingsFilePath();

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it over `path`,
// creating the folder when needed. On failure the previous file is untouched and false is returned.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// ---- process ----

// SIGINT, SIGTERM and SIGHUP store Quit in RunMode, so the loop ends through the normal shutdown
// and the display comes back as it was.
void installQuitSignals();

// A modal error message with the given caption. With HEARTHGLOW_MESSAGES=stderr, or when no
// display is available, the text goes to standard error instead.
void messageBox(std::string_view text, std::string_view caption);

// ---- time ----

// The high-resolution counter; false when it cannot be read.
bool readPerformanceCounter(uint64_t& value);
uint64_t performanceFrequency();
// Milliseconds since some fixed point, wrapping like a 32-bit timer.
uint32_t milliseconds();

// Local calendar time for seconds since the epoch, and the reverse.
CalendarTime localTime(int64_t epochSeconds);
int64_t epochSecondsOf(const CalendarTime& local);
int64_t epochSecondsNow();

// ---- display, window, input ----

// Size of the primary display's desktop mode; 1024x768 when no display can be asked.
DesktopSize desktopSize();

struct Point {
    int x = 0;
    int y = 0;
};

// The cursor's position on the desktop.
Point cursorPosition();
bool leftButtonDown();

enum class EventType { Quit, Close, KeyDown, LeftButtonDown, Resized, Other };
enum class Key { Space, Escape, Q, Other };
struct Event {
    EventType type = EventType::Other;
    Key key = Key::Other;
    int width = 0;
    int height = 0;
};

// Takes one waiting event off the queue, if any.
std::optional<Event> pollEvent();
// Queues a quit event, so the main loop ends at its next look at the queue.
void postQuit();

struct GammaRamp {
    std::array<uint16_t, 256> red{};
    std::array<uint16_t, 256> green{};
    std::array<uint16_t, 256> blue{};
    bool operator==(const GammaRamp&) const = default;
};

// Something whose gamma ramp can be read and replaced: the run's window on its display.
class GammaDevice {
public:
    virtual ~GammaDevice() = default;
    virtual std::optional<GammaRamp> readGammaRamp() const = 0;
    virtual bool writeGammaRamp(const GammaRamp& ramp) = 0;
};

enum class WindowKind {
    FullScreenDesktop,  // covers the primary display at the desktop's own size
    FullScreenMode,     // switches the primary display to the requested width and height
    Windowed,           // an ordinary resizable window with a visible cursor
};

struct WindowSpec {
    std::string title;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    WindowKind kind = WindowKind::Windowed;
};

// The one window with its OpenGL context.
class Window : public GammaDevice {
public:
    Window();
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // False when no window could be made. A display mode that cannot be set shows
    // "Display Mode Not Compatible" and posts a quit; the window then still exists.
    bool create(const WindowSpec& spec);
    // A double-buffered RGBA context with a depth buffer, made current. Failure shows a message and
    // posts a quit.
    bool createContext();
    // Adaptive sync first where offered, then plain vsync; off for measurements.
    void setVsync(bool on);
    void swapBuffers();
    Point clientSize() const;

    std::optional<GammaRamp> readGammaRamp() const override;
    bool writeGammaRamp(const GammaRamp& ramp) override;

    // Context, display mode and cursor back as they were; then the window goes.
    void shutdown();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace hg::platform

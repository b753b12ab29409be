#pragma once
// The operating-system services the portable code needs. Each port implements these in its own
// folder (sdl/ and posix/ on Linux); nothing outside src/platform/ includes a system header.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/calendar_time.h"
#include "core/settings.h"
#include "core/settings_store.h"

namespace hg::platform {

// ---- files and folders ----

// The user's settings as this system keeps them: that file on Linux, the registry on Windows.
std::unique_ptr<SettingsStore> openSettingsStore();

// Where "Log.txt" goes: HEARTHGLOW_LOG when it is set, else $XDG_STATE_HOME/hearthglow/Log.txt
// (~/.local/state/hearthglow/Log.txt) on Linux and %LOCALAPPDATA%\Hearthglow\Log.txt on Windows;
// never the folder a host happened to start the program in (Windows starts a saver in its system
// folder).
// The folder is created; a folder that cannot be made simply leaves the run without a log.
std::filesystem::path logFilePath();

// $HOME, or the user's home folder from the password database (%USERPROFILE% on Windows).
std::filesystem::path homeFolder();

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it over `path`,
// creating the folder when needed. On failure the previous file is untouched and false is returned.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// ---- process ----

// The bytes of one of the program's own resources (Windows' resource section; the resource is
// mapped with the program and stays valid until it ends). Empty when there is none.
std::span<const uint8_t> programResource(std::string_view type, int id);

// Read-only data mapped from the program file (the archives it carries) that is not needed for
// now: its whole pages leave the process's resident memory and come back from the file when read
// again. The bytes never change.
void releaseProgramPages(std::span<const uint8_t> readOnly);

// Loading makes and frees a large temporary for every texture (the decoded picture, its halvings).
// Blocks of up to 32 MB come from the heap from here on, so the next texture's buffers reuse the
// pages of the last instead of each being mapped afresh and faulted in page by page.
void reuseLargeBlocks();

// Where the system gives huge pages only to memory that asks for them, the heap asks: it grows once
// by a reserve that loading fits in, the reserve is marked for huge pages, and it is never handed
// back, so the blocks made later lie in it. The hundred-odd megabytes of textures loaded then take a
// fault for every 2 MB, not every 4 KB; pages never touched stay out of resident memory. A
// huge-page setting the user gave the C library is kept as given, and where the system gives huge
// pages always or never nothing changes. Call after reuseLargeBlocks, before loading.
void keepHeapInHugePages();

// The command line exactly as the system passed it to the process (Windows); nothing where the
// system passes only the separate arguments (Linux).
std::optional<std::string> systemCommandLine();

// SIGINT, SIGTERM and SIGHUP store Quit in RunMode, so the loop ends through the normal shutdown
// and the display comes back as it was.
void installQuitSignals();

// A modal error message with the given caption. With HEARTHGLOW_MESSAGES=stderr, after
// routeMessagesToStandardError(), or when no display is available, the text goes to standard error.
void messageBox(std::string_view text, std::string_view caption);
// A run inside a host's window must never put a dialog over a locked screen: its messages go to
// standard error, which the host keeps.
void routeMessagesToStandardError();

// A lock shared by all of one user's Hearthglow processes (flock on a file): XScreenSaver runs one
// process per monitor and only the holder plays the music. The system lets it go when the holder
// ends, however it ends.
class ProcessLock {
public:
    explicit ProcessLock(std::filesystem::path path);
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

    // Takes the lock without waiting; true when this object holds it (also when it already did).
    bool tryAcquire();
    void release();
    bool held() const { return fd_ >= 0; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
};

// $XDG_RUNTIME_DIR/hearthglow-music.lock, or /tmp/hearthglow-<uid>.lock without it; on Windows
// hearthglow-music.lock in the user's temporary folder.
std::filesystem::path musicLockPath();

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

// A rectangle on the desktop, in pixels, y downwards from the top-left corner.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

struct Monitor {
    Rect area;
    bool primary = false;
};

// The monitors as the display server lists them (the primary one flagged when it says which);
// empty when no display can be asked.
std::vector<Monitor> monitors();

// Size of the primary monitor's desktop mode; 1024x768 when no display can be asked. Asking does
// not start the window system's video layer, so the Options dialog and the preview never hold the
// system's screensaver off.
DesktopSize desktopSize();

struct Point {
    int x = 0;
    int y = 0;
};

// The cursor's position on the desktop.
Point cursorPosition();
// Puts the cursor at a place on the desktop (a full-screen run centres it when the room has loaded,
// so the mouse rule starts from a known place).
void moveCursor(Point to);
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
    FullScreenDesktop,  // covers every monitor at the desktop's own size
    FullScreenMode,     // switches the primary display to the requested width and height
    Windowed,           // an ordinary resizable window with a visible cursor
    Host,               // a window another program owns (a screensaver host's); see WindowSpec::host
};

struct WindowSpec {
    std::string title;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    WindowKind kind = WindowKind::Windowed;
    // Host: the window's id, or 0 for the root window. The host owns the window and its input:
    // nothing is selected on it, nothing is mapped, moved, resized or destroyed.
    uint64_t host = 0;
};

// An OpenGL function of the current context by name (for the extensions); null when it has none.
void* glProcAddress(const char* name);

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
    // The drawing area's size now. A host's window is asked each time: it sends no resize events.
    Point clientSize() const;
    // Where the window lies on the desktop (for placing the room on a monitor).
    Rect frame() const;
    // False once a host's window has gone (destroyed under us): nothing may touch it any more.
    bool alive() const;
    // The host window's whole screen, for telling a host's small preview area from a monitor.
    Point screenSize() const;

    std::optional<GammaRamp> readGammaRamp() const override;
    bool writeGammaRamp(const GammaRamp& ramp) override;

    // The desktop's own display mode back after a run in a listed mode (before the gamma ramp is
    // put back: a mode change may reset the ramp). Nothing otherwise; shutdown() does it too.
    void restoreDisplayMode();

    // Context, display mode and cursor back as they were; then the window goes.
    void shutdown();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace hg::platform

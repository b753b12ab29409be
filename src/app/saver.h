#pragma once
// The one object `main` makes: it owns every subsystem and runs exactly one mode per start.
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/room.h"
#include "core/settings_store.h"
#include "app/shared_music.h"
#include "archive/file_system.h"
#include "audio/sound_system.h"
#include "core/log.h"
#include "core/settings.h"
#include "image/texture_manager.h"
#include "overlay/clock_overlay.h"
#include "render/fragment_census.h"
#include "render/gl_error_check.h"
#include "render/gl_window.h"
#include "render/renderer.h"
#include "render/screen_quads.h"

namespace hg {

class MainLoop;

// The two archives the run reads everything from (the program's own, embedded).
struct ArchiveImages {
    std::span<const uint8_t> main;
    std::span<const uint8_t> overlay;
    // Both are mapped read-only from the program file: their pages may be handed back to the
    // system between reads (never true of bytes in the heap, which would be lost).
    bool inProgramFile = false;
};

// What a scene shown in place of the room (the viewers) may use.
struct SceneContext {
    const FileSystem& files;
    TextureManager& textures;
    Log& log;
    GLWindow& window;
    const Capabilities& capabilities;
    const LaunchOptions& options;
};
using SceneMaker = std::function<std::unique_ptr<ScenePass>(const SceneContext& context)>;

class Saver {
public:
    explicit Saver(ArchiveImages archives);

    // Log, settings, archives, then the mode the command line asked for. Returns the exit code.
    // `replaceRoom`, when given, makes the scene a run shows instead of the room (without the
    // clock overlay or the fade from black).
    int start(const CommandLine& commandLine, SceneMaker replaceRoom = nullptr);

private:
    int configure();
    int run();
    int preview();
    platform::WindowSpec windowSpec() const;
    // Where the room goes in the new window: the whole of it, or the monitors a full-screen run chose.
    std::vector<Viewport> roomViews();
    // A host's preview area (named on the command line, or much smaller than its screen): silent.
    bool inHostPreview();
    // Loading screen, clock overlay and the room.
    void loadContent(const Capabilities& capabilities);
    void loadRoom(const Capabilities& capabilities);
    // The music, when it is on and this run may play it.
    void startMusic();
    // The viewer's scene in place of the room; no clock, and no fade from black.
    void replaceRoom(const Capabilities& capabilities);
    // A host's window in which no context could be made stays black until the host ends the run,
    // so that the host does not start the saver again and again.
    int waitForHostToEnd();
    // A picture that was found but cannot be decoded: said once, and the run ends through its
    // normal shutdown.
    void stopOnBadPicture(const std::string& message);
    // The run taken down, in order: music, gamma, scene and textures, frame-rate lines, log, window.
    void shutDown(const MainLoop& loop);

    ArchiveImages archives_;
    Log log_;
    std::unique_ptr<SettingsStore> settingsStore_;
    Settings settings_;
    FileSystem fileSystem_;
    LaunchOptions options_;
    uint32_t parentWindow_ = 0;
    SceneMaker sceneMaker_;
    DisplayMode mode_{};
    bool fullScreen_ = false;
    bool badPicture_ = false;
    bool musicStarted_ = false;

    GLWindow glWindow_{log_};
    ScreenQuadQueue screenQuads_;
    Renderer renderer_{glWindow_, screenQuads_};
    GlErrorCheck glCheck_{log_};
    FragmentCensus census_{log_};
    TextureManager textures_{fileSystem_, log_, [this](const std::string& message) { stopOnBadPicture(message); }};
    ClockOverlay clockOverlay_{settings_};
    SoundSystem sound_;
    platform::ProcessLock musicLock_{platform::musicLockPath()};
    SharedMusic music_{[this] { return musicLock_.tryAcquire(); },
                       [this] { sound_.start(fileSystem_, settings_.soundVolume, log_); }};
    std::unique_ptr<Room> room_;
    std::unique_ptr<ScenePass> replacement_;
};

}  // namespace hg

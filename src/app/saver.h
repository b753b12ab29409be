#pragma once
// The one object `main` makes: it owns every subsystem and runs exactly one mode per start.
#include <memory>

#include "app/command_line.h"
#include "app/effect_viewer.h"
#include "core/log.h"
#include "app/model_viewer.h"
#include "app/room.h"
#include "core/settings.h"
#include "app/settings_file.h"
#include "app/shared_music.h"
#include "archive/file_system.h"
#include "audio/sound_system.h"
#include "image/texture_manager.h"
#include "overlay/clock_overlay.h"
#include "render/gl_window.h"
#include "render/renderer.h"
#include "render/screen_quads.h"

namespace hg {

class MainLoop;

class Saver {
public:
    Saver();

    // Log, settings, archives, then the mode the command line asked for. Returns the exit code.
    int start(const CommandLine& commandLine);

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
    void loadContent();
    // The music, when it is on and this run may play it.
    void startMusic(MainLoop& loop);
    // A host's window in which no context could be made stays black until the host ends the run,
    // so that the host does not start the saver again and again.
    int waitForHostToEnd();
    [[noreturn]] void fatalError(const std::string& message);
    // The room: scene, models, fire, particles, cameras; drawn in the frame's scene pass.
    void loadRoom();
    // --effect: one effect in place of the room.
    void startEffectViewer();
    // --model: one model in place of the room.
    void startModelViewer();

    Log log_;
    FileSettingsStore settingsStore_;
    Settings settings_;
    FileSystem fileSystem_;
    LaunchOptions options_;
    uint32_t parentWindow_ = 0;

    GLWindow glWindow_{log_};
    ScreenQuadQueue screenQuads_;
    Renderer renderer_{glWindow_, screenQuads_};
    TextureManager textures_{fileSystem_, log_, [this](const std::string& message) { fatalError(message); }};
    ClockOverlay clockOverlay_;
    SoundSystem sound_;
    platform::ProcessLock musicLock_{platform::musicLockPath()};
    SharedMusic music_{[this] { return musicLock_.tryAcquire(); },
                       [this] { sound_.start(fileSystem_, settings_.soundVolume, log_); }};
    std::unique_ptr<Room> room_;
    std::unique_ptr<EffectViewer> effectViewer_;
    std::unique_ptr<ModelViewer> modelViewer_;
};

}  // namespace hg

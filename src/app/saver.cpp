#include "app/saver.h"

#include "app/main_loop.h"
#include "app/options_dialog.h"
#include "app/preview.h"
#include "overlay/loading_screen.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "archive/embedded.h"
#include "platform/platform.h"

namespace hg {

namespace {
constexpr const char* kTitle = "3D Hearthglow Screensaver";
}

Saver::Saver() : settingsStore_(platform::settingsFilePath()) {}

int Saver::start(const CommandLine& commandLine) {
    log_.open(platform::logFilePath().string());
    settings_.load(settingsStore_, [] { return platform::desktopSize(); });
    fileSystem_.initialise(log_, embeddedMainArchive(), embeddedOverlayArchive());
    options_ = commandLine.options;
    applyRunOverrides(options_, settings_);
    parentWindow_ = commandLine.switches.parentWindow;
    setRunMode(commandLine.switches.mode);

    // Re-read before each test: a mode ends by leaving Quit behind, so only one of them runs.
    int exitCode = 0;
    if (runMode() == RunMode::Configure) exitCode = configure();
    if (runMode() == RunMode::Run) exitCode = run();
    if (runMode() == RunMode::Preview) exitCode = preview();
    return exitCode;
}

int Saver::configure() { return runConfiguration(settings_, settingsStore_, fileSystem_); }

platform::WindowSpec Saver::windowSpec() const {
    platform::WindowSpec spec;
    spec.title = kTitle;
    spec.width = glWindow_.mode.width;
    spec.height = glWindow_.mode.height;
    spec.bitsPerPixel = glWindow_.mode.bitsPerPixel;
    if (options_.host) {
        spec.kind = platform::WindowKind::Host;
        spec.host = options_.host->id;
    } else if (options_.window) {
        spec.kind = platform::WindowKind::Windowed;
    } else {
        spec.kind = settings_.useDesktopMode ? platform::WindowKind::FullScreenDesktop : platform::WindowKind::FullScreenMode;
    }
    return spec;
}

std::vector<Viewport> Saver::roomViews() {
    platform::Window& window = glWindow_.window();
    const platform::Rect frame = window.frame();
    if (windowSpec().kind != platform::WindowKind::FullScreenDesktop) return {{0, 0, frame.width, frame.height}};
    return roomViewports(platform::monitors(), frame, settings_.monitor);
}

bool Saver::inHostPreview() {
    if (!options_.host) return false;
    if (options_.host->preview) return true;
    const platform::Point size = glWindow_.window().clientSize();
    const platform::Point screen = glWindow_.window().screenSize();
    return size.x * 2 < screen.x && size.y * 2 < screen.y;
}

int Saver::run() {
    platform::installQuitSignals();
    const bool hosted = options_.host.has_value();
    if (hosted) platform::routeMessagesToStandardError();
    log_.writeLine("Starting...");
    log_.writeLine("Starting init OpenGL");

    glWindow_.mode = settings_.chosenMode();
    if (options_.window) glWindow_.mode = {options_.windowWidth, options_.windowHeight, 32};
    glWindow_.fullScreen = !options_.window && !hosted;
    glWindow_.clock.runClock = 0.0f;

    MainLoop loop(log_, settings_, glWindow_, renderer_, screenQuads_, options_);
    loop.recordCursor();

    const bool created = glWindow_.createWindow(windowSpec());
    log_.writeLine("Creating window...");
    if (!created) {
        log_.writeLine("Create Window failed!");
        return 1;
    }
    log_.writeLine("Window is create");

    if (hosted) {
        // The host's window sets the size: the snapshot of a cross-fade must fit inside it.
        const platform::Point size = glWindow_.window().clientSize();
        glWindow_.mode = {size.x, size.y, 32};
    }
    glWindow_.setViews(roomViews());
    if (!glWindow_.setUpOpenGL(settings_, !options_.noVsync, glWindow_.fullScreen)) {
        if (hosted) return waitForHostToEnd();
        // The failure was shown and a quit posted: the loop ends at once, through the shutdown.
        loop.run();
        return 0;
    }
    loadContent();
    log_.writeLine("Loading models");
    log_.writeLine("OpenGL initialized");
    if (settings_.enableMusic && !inHostPreview()) startMusic(loop);

    loop.setTimeListener([this](const CalendarTime& now) {
        clockOverlay_.update(now);
        if (room_) room_->setLocalTime(now);
        music_.poll(platform::milliseconds());
    });
    if (!options_.noOverlay && !options_.effect && !options_.model) {
        renderer_.setOverlay([this](float aspect) { clockOverlay_.draw(settings_, glWindow_.clock.framesPerSecond, aspect); });
    }
    loop.setResourceRelease([this] {
        if (room_) room_->release();
        textures_.releaseAll();
    });
    // The viewers seed the random generator last: the music's start must not draw from it after.
    if (options_.effect) startEffectViewer();
    if (options_.model) startModelViewer();
    loop.run();
    return 0;
}

void Saver::loadContent() {
    log_.writeLine("initializing font...");
    log_.writeLine("Loading data...");
    renderer_.snapshotPending = false;
    renderer_.snapshotAlpha = 0.0f;
    showLoadingScreen(textures_, glWindow_.window(), glWindow_.views());
    clockOverlay_.load(textures_);
    // A host may end the run while it loads: the room is then not worth loading.
    const bool ending = runMode() != RunMode::Run;
    if (!options_.effect && !options_.model && !options_.noRoom && !ending) loadRoom();
}

void Saver::startMusic(MainLoop& loop) {
    music_.begin(platform::milliseconds());
    loop.setSoundRelease([this] {
        sound_.shutdown();
        musicLock_.release();
    });
}

int Saver::waitForHostToEnd() {
    while (runMode() == RunMode::Run && glWindow_.window().alive()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    glWindow_.shutDown();
    return 1;
}

// A picture that was found but cannot be decoded leaves nothing sensible to show: say so, put the
// display back as it was and end.
void Saver::fatalError(const std::string& message) {
    platform::messageBox(message, "Error");
    glWindow_.restoreGamma();
    glWindow_.shutDown();
    std::exit(0);
}

// The viewer takes the scene pass; no clock, and no fade from black, so the first frame shows it.
void Saver::startEffectViewer() {
    effectViewer_ = std::make_unique<EffectViewer>(*options_.effect, fileSystem_, textures_, log_, glWindow_);
    effectViewer_->start(options_.seed);
    renderer_.setScenePass([this](size_t) { effectViewer_->drawScene(); });
    renderer_.setOverlay(nullptr);
    glWindow_.fadeAlpha = 0.0f;
}

// --model: one model turning under a light in place of the room; no clock, no fade from black.
void Saver::startModelViewer() {
    modelViewer_ = std::make_unique<ModelViewer>(fileSystem_, textures_, glWindow_, options_.clock, options_.fixedStep,
                                                 [](const std::string& text) { platform::messageBox(text, "Error"); });
    modelViewer_->load(*options_.model, glWindow_.useVertexBuffers && !options_.noVertexBuffers);
    renderer_.setScenePass([this](size_t) { modelViewer_->drawScene(); });
    renderer_.setOverlay(nullptr);
    glWindow_.fadeAlpha = 0.0f;
}

void Saver::loadRoom() {
    room_ = std::make_unique<Room>(RoomServices{fileSystem_, textures_, log_, glWindow_, screenQuads_, renderer_.snapshotAlpha,
                                                [](const std::string& text) { platform::messageBox(text, "Error"); }});
    const auto seed = options_.seed;
    room_->load(glWindow_.useVertexBuffers && !options_.noVertexBuffers,
                glWindow_.useOcclusionQueries && !options_.noOcclusionQueries,
                [seed] { return seed ? *seed : platform::milliseconds(); });
    renderer_.setScenePass([this](size_t view) { room_->draw(view); });
}

int Saver::preview() { return runPreview(parentWindow_, fileSystem_, log_); }

}  // namespace hg

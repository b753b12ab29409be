#include "app/saver.h"

#include "app/main_loop.h"
#include "app/options_dialog.h"
#include "app/preview.h"
#include "overlay/loading_screen.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/platform.h"

namespace hg {

namespace {
constexpr const char* kTitle = "3D Hearthglow Screensaver";
}

Saver::Saver(ArchiveImages archives) : archives_(archives), settingsStore_(platform::openSettingsStore()) {}

int Saver::start(const CommandLine& commandLine, SceneMaker replaceRoom) {
    log_.open(platform::logFilePath().string());
    for (const std::string& note : settings_.load(*settingsStore_, [] { return platform::desktopSize(); }))
        log_.writeLine(note);
    fileSystem_.initialise(log_, archives_.main, archives_.overlay,
                           archives_.inProgramFile ? platform::releaseProgramPages : FileSystem::PageRelease{});
    options_ = commandLine.options;
    applyRunOverrides(options_, settings_);
    parentWindow_ = commandLine.switches.parentWindow;
    sceneMaker_ = std::move(replaceRoom);
    setRunMode(commandLine.switches.mode);

    // Re-read before each test: a mode ends by leaving Quit behind, so only one of them runs.
    int exitCode = 0;
    if (runMode() == RunMode::Configure) exitCode = configure();
    if (runMode() == RunMode::Run) exitCode = run();
    if (runMode() == RunMode::Preview) exitCode = preview();
    return exitCode;
}

int Saver::configure() { return runConfiguration(settings_, *settingsStore_, fileSystem_); }

platform::WindowSpec Saver::windowSpec() const {
    platform::WindowSpec spec;
    spec.title = kTitle;
    spec.width = mode_.width;
    spec.height = mode_.height;
    spec.bitsPerPixel = mode_.bitsPerPixel;
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
    const platform::Rect frame = glWindow_.frame();
    if (windowSpec().kind != platform::WindowKind::FullScreenDesktop) return {{0, 0, frame.width, frame.height}};
    return roomViewports(platform::monitors(), frame, settings_.monitor);
}

bool Saver::inHostPreview() {
    if (!options_.host) return false;
    if (options_.host->preview) return true;
    const platform::Point size = glWindow_.clientSize();
    const platform::Point screen = glWindow_.screenSize();
    return size.x * 2 < screen.x && size.y * 2 < screen.y;
}

int Saver::run() {
    platform::installQuitSignals();
    const bool hosted = options_.host.has_value();
    if (hosted) platform::routeMessagesToStandardError();
    log_.writeLine("Starting...");
    log_.writeLine("Starting init OpenGL");

    mode_ = settings_.chosenMode();
    if (options_.window) mode_ = {options_.windowWidth, options_.windowHeight, 32};
    fullScreen_ = !options_.window && !hosted;

    MainLoop loop(settings_, glWindow_, renderer_, options_, &music_);
    loop.recordCursor();

    const bool created = glWindow_.createWindow(windowSpec());
    log_.writeLine("Creating window...");
    if (!created) {
        log_.writeLine("Create Window failed!");
        return 1;
    }
    log_.writeLine("Window is create");

    glWindow_.setViews(roomViews());
    const std::optional<Capabilities> capabilities = glWindow_.setUpOpenGL(settings_, !options_.noVsync, fullScreen_);
    if (!capabilities) {
        if (hosted) return waitForHostToEnd();
        // The failure was shown and a quit posted: the loop ends at once, through the shutdown.
        loop.run();
        shutDown(loop);
        return 0;
    }
    if (options_.glCheck) glCheck_.enable();
    glCheck_.after("setting up OpenGL");
    renderer_.setErrorCheck(&glCheck_);
    // The host's window sets the size: the snapshot of a cross-fade must fit inside it.
    if (hosted) mode_ = {glWindow_.clientSize().x, glWindow_.clientSize().y, 32};
    renderer_.start(mode_.height);
    loadContent(*capabilities);
    glCheck_.after("loading");
    if (badPicture_) {
        // Said already; the display goes back as it was.
        shutDown(loop);
        return 0;
    }
    log_.writeLine("Loading models");
    // The cameras are loaded: a full-screen run starts the mouse rule with the cursor in the middle
    // of the chosen mode's screen.
    if (fullScreen_) {
        platform::moveCursor({mode_.width / 2, mode_.height / 2});
        loop.recordCursor();
    }
    log_.writeLine("OpenGL initialized");
    if (settings_.enableMusic && !inHostPreview()) startMusic();
    if (!options_.noOverlay) renderer_.setOverlay(&clockOverlay_);
    // A viewer seeds the random generator last: the music's start must not draw from it after.
    if (sceneMaker_) replaceRoom(*capabilities);
    loop.run();
    shutDown(loop);
    return 0;
}

void Saver::loadContent(const Capabilities& capabilities) {
    log_.writeLine("initializing font...");
    log_.writeLine("Loading data...");
    showLoadingScreen(textures_, glWindow_, glWindow_.views());
    if (!badPicture_) clockOverlay_.load(textures_);
    // A host may end the run while it loads (and a bad picture ends it): the room is then not
    // worth loading.
    const bool ending = runMode() != RunMode::Run;
    if (!sceneMaker_ && !options_.noRoom && !ending) loadRoom(capabilities);
}

void Saver::loadRoom(const Capabilities& capabilities) {
    room_ = std::make_unique<Room>(RoomServices{fileSystem_, textures_, log_, glWindow_, screenQuads_, renderer_.crossFade(),
                                                [](const std::string& text) { platform::messageBox(text, "Error"); }});
    const auto seed = options_.seed;
    const RoomFeatures features{capabilities.vertexBuffers && !options_.noVertexBuffers,
                                capabilities.occlusionQueries && !options_.noOcclusionQueries,
                                capabilities.multitexture && !options_.noMultitexture,
                                capabilities.modulateAdd && !options_.noMultitexture};
    room_->load(features, [seed] { return seed ? *seed : platform::milliseconds(); });
    room_->setErrorCheck(&glCheck_);
    if (options_.census) {
        census_.chooseFrame(*options_.census);
        room_->setCensus(&census_);
    }
    renderer_.setScene(room_.get());
}

void Saver::startMusic() {
    musicStarted_ = true;
    music_.begin(platform::milliseconds());
}

void Saver::replaceRoom(const Capabilities& capabilities) {
    replacement_ = sceneMaker_(SceneContext{fileSystem_, textures_, log_, glWindow_, capabilities, options_});
    renderer_.setScene(replacement_.get());
    renderer_.setOverlay(nullptr);
    renderer_.crossFade().skipFadeIn();
}

int Saver::waitForHostToEnd() {
    while (runMode() == RunMode::Run && glWindow_.alive()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    glWindow_.shutDown();
    return 1;
}

void Saver::stopOnBadPicture(const std::string& message) {
    if (badPicture_) return;
    badPicture_ = true;
    platform::messageBox(message, "Error");
    setRunMode(RunMode::Quit);
}

void Saver::shutDown(const MainLoop& loop) {
    if (musicStarted_) {
        sound_.shutdown();
        musicLock_.release();
    }
    glWindow_.restoreGamma();
    if (room_) room_->release();
    replacement_.reset();
    renderer_.release();
    textures_.releaseAll();
    glCheck_.after("the shutdown");
    glCheck_.logSummary();
    const FrameClock& clock = loop.clock();
    log_.writeLine("Max fps: ", clock.maxFramesPerSecond);
    log_.writeLine("Min fps: ", clock.minFramesPerSecond);
    log_.writeLine("Fps: ", (clock.maxFramesPerSecond + clock.minFramesPerSecond) * 0.5f);
    log_.close();
    glWindow_.shutDown();
}

int Saver::preview() { return runPreview(parentWindow_, fileSystem_, log_); }

}  // namespace hg

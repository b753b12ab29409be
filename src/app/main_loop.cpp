#include "app/main_loop.h"

#include <cstdlib>

#include "core/log.h"
#include "core/run_mode.h"
#include "core/settings.h"
#include "render/gl_window.h"
#include "render/renderer.h"

namespace hg {
namespace {
std::optional<uint64_t> readCounter() {
    uint64_t value = 0;
    if (!platform::readPerformanceCounter(value)) return std::nullopt;
    return value;
}
}  // namespace

bool mouseMovedTooFar(platform::Point previous, platform::Point current) {
    return std::abs(current.x - previous.x) > 30 || std::abs(current.y - previous.y) > 30;
}

bool keyEndsRun(platform::Key key, RunInput input) {
    switch (input) {
        case RunInput::FullScreen: return key != platform::Key::Space;
        case RunInput::Window: return key == platform::Key::Escape || key == platform::Key::Q;
        case RunInput::Host: return false;
    }
    return false;
}

float nextFadeAlpha(float fadeAlpha, float runClock, float frameStep) {
    return runClock > 1.0f ? fadeAlpha - frameStep * 0.015f : fadeAlpha;
}

MainLoop::MainLoop(Log& log, const Settings& settings, GLWindow& window, Renderer& renderer, ScreenQuadQueue& quads,
                   const LaunchOptions& options)
    : log_(log), settings_(settings), window_(window), renderer_(renderer), quads_(quads), options_(options),
      clock_(options.clock, options.fixedStep) {
    renderer_.setPerFrameStep([this] { perFrameStep(); });
    renderer_.setFirstFrameHook([this] { recordCursor(); });
}

void MainLoop::recordCursor() { previousCursor_ = platform::cursorPosition(); }

RunInput MainLoop::input() const {
    if (options_.host) return RunInput::Host;
    return options_.window ? RunInput::Window : RunInput::FullScreen;
}

void MainLoop::run() {
    window_.clock.startLoop(readCounter(), platform::performanceFrequency());
    while (runMode() == RunMode::Run) {
        if (auto event = platform::pollEvent()) {
            if (event->type == platform::EventType::Quit) break;
            handle(*event);
            continue;
        }
        // A host's window sends no resize events and may be destroyed under us: ask each frame.
        window_.followClientSize();
        if (!window_.window().alive()) break;
        localTime_ = clock_.now();
        if (timeListener_) timeListener_(localTime_);
        ++framesDrawn_;
        const bool lastFrame = options_.frames && framesDrawn_ >= *options_.frames;
        if (lastFrame && options_.screenshot) renderer_.captureNextFrame(*options_.screenshot);
        renderer_.drawFrame();
        clock_.frameDrawn();
        if (lastFrame) setRunMode(RunMode::Quit);
        pollInput();
    }
    shutdown();
}

void MainLoop::perFrameStep() {
    FrameClock& clock = window_.clock;
    clock.advanceRunClock();
    clock.measure(readCounter(), platform::milliseconds());
    if (options_.fixedStep) clock.frameStep = *options_.fixedStep;

    renderer_.snapshotAlpha -= clock.frameStep * 0.01f;
    window_.fadeAlpha = nextFadeAlpha(window_.fadeAlpha, clock.runClock, clock.frameStep);
    if (window_.fadeAlpha > 0.0f) {
        ScreenQuad fade;
        fade.r = fade.g = fade.b = 0.0f;
        fade.a = window_.fadeAlpha;
        fade.texture = 1;
        quads_.queue(fade);
    }
    if (settings_.exitOnMouseMove && input() == RunInput::FullScreen) mouseTest();
}

void MainLoop::mouseTest() {
    const platform::Point now = platform::cursorPosition();
    if (mouseMovedTooFar(previousCursor_, now)) setRunMode(RunMode::Quit);
    previousCursor_ = now;
}

void MainLoop::handle(const platform::Event& event) {
    switch (event.type) {
        case platform::EventType::Close: setRunMode(RunMode::Quit); break;
        case platform::EventType::KeyDown:
            if (keyEndsRun(event.key, input())) setRunMode(RunMode::Quit);
            break;
        case platform::EventType::LeftButtonDown:
            // A click too short to be seen by the per-frame poll still ends the run.
            if (input() == RunInput::FullScreen) setRunMode(RunMode::Quit);
            break;
        case platform::EventType::Resized: window_.followClientSize(); break;
        default: break;
    }
}

void MainLoop::pollInput() {
    if (input() == RunInput::FullScreen && platform::leftButtonDown()) setRunMode(RunMode::Quit);
}

void MainLoop::shutdown() {
    // A run ended some other way (a key, a signal) still leaves the screenshot it was asked for;
    // but a host's window is not touched once the host has asked the run to end.
    if (options_.screenshot && !renderer_.captured() && input() != RunInput::Host) {
        renderer_.captureNextFrame(*options_.screenshot);
        renderer_.drawFrame();
    }
    if (soundRelease_) soundRelease_();
    window_.restoreGamma();
    if (release_) release_();
    const FrameClock& clock = window_.clock;
    log_.writeLine("Max fps: ", clock.maxFramesPerSecond);
    log_.writeLine("Min fps: ", clock.minFramesPerSecond);
    log_.writeLine("Fps: ", (clock.maxFramesPerSecond + clock.minFramesPerSecond) * 0.5f);
    log_.close();
    window_.shutDown();
}

}  // namespace hg

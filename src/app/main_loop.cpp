#include "app/main_loop.h"

#include <cstdlib>

#include "app/command_line.h"
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

MainLoop::MainLoop(const Settings& settings, GLWindow& window, Renderer& renderer, const LaunchOptions& options,
                   SharedMusic* music)
    : settings_(settings), window_(window), renderer_(renderer), options_(options), music_(music),
      localClock_(options.clock, options.fixedStep) {
    // Start values: a history of 1.0 steps, minimum rate 10000, maximum 0, run clock 0.
    clock_.reset();
}

void MainLoop::recordCursor() { previousCursor_ = platform::cursorPosition(); }

RunInput MainLoop::input() const {
    if (options_.host) return RunInput::Host;
    return options_.window ? RunInput::Window : RunInput::FullScreen;
}

void MainLoop::run() {
    clock_.startLoop(readCounter(), platform::performanceFrequency());
    while (runMode() == RunMode::Run) {
        if (auto event = platform::pollEvent()) {
            if (event->type == platform::EventType::Quit) break;
            handle(*event);
            continue;
        }
        // A host's window sends no resize events and may be destroyed under us: ask each frame.
        window_.followClientSize();
        if (!window_.alive()) break;
        ++framesDrawn_;
        const bool lastFrame = options_.frames && framesDrawn_ >= *options_.frames;
        if (lastFrame && options_.screenshot) renderer_.captureNextFrame(*options_.screenshot);
        drawFrame();
        if (lastFrame) setRunMode(RunMode::Quit);
        pollInput();
    }
    // A run ended some other way (a key, a signal) still leaves the screenshot it was asked for;
    // but a host's window is not touched once the host has asked the run to end.
    if (options_.screenshot && !renderer_.captured() && input() != RunInput::Host) {
        renderer_.captureNextFrame(*options_.screenshot);
        drawFrame();
    }
}

// One frame: the cursor remembered on the first, the frame timed, the exit rule on mouse
// movement, the music asked to start, then the frame drawn with the step.
void MainLoop::drawFrame() {
    if (firstFrame_) {
        firstFrame_ = false;
        recordCursor();
    }
    const FrameTime time = timeFrame();
    if (settings_.exitOnMouseMove && input() == RunInput::FullScreen) mouseTest();
    if (music_) music_->poll(platform::milliseconds());
    renderer_.drawFrame(time);
    localClock_.frameDrawn();
}

FrameTime MainLoop::timeFrame() {
    FrameTime time;
    time.now = localClock_.now();
    clock_.advanceRunClock();
    clock_.measure(readCounter(), platform::milliseconds());
    if (options_.fixedStep) clock_.frameStep = *options_.fixedStep;
    time.step = clock_.frameStep;
    time.runClock = clock_.runClock;
    time.framesPerSecond = clock_.framesPerSecond;
    return time;
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

}  // namespace hg

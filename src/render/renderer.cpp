#include "render/renderer.h"

#include "gl/gl.h"

#include "render/gl_error_check.h"
#include "render/gl_window.h"
#include "render/screenshot.h"

namespace hg {

void Renderer::start(int modeHeight) {
    std::vector<int> sides;
    for (size_t view = 0; view < window_.views().size(); ++view)
        sides.push_back(snapshotSideFor(view == 0 ? modeHeight : window_.views()[view].height));
    crossFade_.create(sides);
}

void Renderer::drawFrame(const FrameTime& time) {
    clearScreen();
    checkAfter("clearing the screen");
    crossFade_.advance(time.step, time.runClock);
    crossFade_.queueFadeQuad(quads_);
    // Quads queued before the views (the fade from black) belong to every view; those a view's
    // scene queues (its cross-fade snapshot) to that view alone.
    const size_t frameQuads = quads_.size();
    for (size_t view = 0; view < window_.views().size(); ++view) {
        window_.useView(view);
        if (scene_) scene_->drawView(view, time);
        checkAfter("the scene");
        draw2D(view, time);
        checkAfter("the 2D layer");
        quads_.keepFirst(frameQuads);
    }
    quads_.clear();
    present();
    checkAfter("the swap");
}

void Renderer::checkAfter(const char* pass) {
    if (check_) check_->after(pass);
}

void Renderer::clearScreen() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Renderer::draw2D(size_t view, const FrameTime& time) {
    enter2DMode();
    glEnable(GL_BLEND);
    quads_.draw();
    if (overlay_) overlay_->drawOverlay(window_.views()[view].aspect(), time);
    leave2DMode();
}

void Renderer::present() {
    glLoadIdentity();
    if (!capturePath_.empty()) {
        const platform::Point size = window_.clientSize();
        captured_ = saveScreenshot(capturePath_, size.x, size.y, GL_BACK);
        capturePath_.clear();
    }
    window_.swapBuffers();
}

}  // namespace hg

#include "render/renderer.h"

#include <GL/glew.h>

#include <algorithm>

#include "render/gl_window.h"
#include "render/screenshot.h"

namespace hg {

void Renderer::drawFrame() {
    if (firstFrame_) {
        firstFrame_ = false;
        if (firstFrameHook_) firstFrameHook_();
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (perFrameStep_) perFrameStep_();

    // Quads queued before the views (the fade from black) belong to every view; those a view's
    // scene queues (its cross-fade snapshot) to that view alone.
    const size_t frameQuads = quads_.size();
    const auto& views = window_.views();
    for (size_t view = 0; view < std::max<size_t>(views.size(), 1); ++view) {
        window_.useView(view);
        if (scenePass_) scenePass_(view);
        draw2DPass(views.empty() ? 1.0f : views[view].aspect());
        quads_.keepFirst(frameQuads);
    }
    quads_.clear();

    glLoadIdentity();
    if (!capturePath_.empty()) {
        captured_ = saveScreenshot(capturePath_, window_.clientWidth, window_.clientHeight, GL_BACK);
        capturePath_.clear();
    }
    window_.window().swapBuffers();
}

void Renderer::draw2DPass(float aspect) {
    enter2DMode();
    glEnable(GL_BLEND);
    quads_.draw();
    if (overlay_) overlay_(aspect);
    leave2DMode();
}

}  // namespace hg

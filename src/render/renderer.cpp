#include "render/renderer.h"

#include <GL/glew.h>

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
    if (scenePass_) scenePass_();

    draw2DPass();

    glLoadIdentity();
    if (!capturePath_.empty()) {
        captured_ = saveScreenshot(capturePath_, window_.clientWidth, window_.clientHeight, GL_BACK);
        capturePath_.clear();
    }
    window_.window().swapBuffers();
}

void Renderer::draw2DPass() {
    enter2DMode();
    glEnable(GL_BLEND);
    quads_.drawAndClear();
    if (overlay_) overlay_();
    leave2DMode();
}

}  // namespace hg

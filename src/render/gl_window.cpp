#include "render/gl_window.h"

#include <GL/glu.h>

#include <algorithm>

#include "core/log.h"
#include "render/gamma.h"

namespace hg {

int snapshotSideFor(int modeHeight) {
    if (modeHeight >= 1024) return 1024;
    if (modeHeight >= 512) return 512;
    return 256;
}

bool GLWindow::createWindow(const platform::WindowSpec& spec) { return window_.create(spec); }

bool GLWindow::setUpOpenGL(const Settings& settings, bool vsync, bool changeGamma) {
    clock.reset();
    const platform::Point client = window_.clientSize();
    clientWidth = client.x;
    clientHeight = client.y;
    if (views_.empty()) views_ = {{0, 0, clientWidth, clientHeight}};
    if (!window_.createContext()) return false;
    window_.setVsync(vsync);
    setViewport(clientWidth, clientHeight);
    fadeAlpha = 1.0f;

    // The screen turns black at once, before anything loads.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    window_.swapBuffers();

    createSnapshotTexture();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    clock.timeScale = 50.0f;

    probeCapabilities();
    if (changeGamma) this->changeGamma(settings);
    return true;
}

void GLWindow::createSnapshotTexture() {
    snapshotSide = snapshotSideFor(mode.height);
    glGenTextures(1, &snapshotTexture);
    glBindTexture(GL_TEXTURE_2D, snapshotTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, snapshotSide, snapshotSide, 0);
}

void GLWindow::probeCapabilities() {
    if (glewInit() != GLEW_OK) log_.writeLine("Glew init failed!");

    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    maxTextureUnits = units;
    auto text = [](GLenum name) {
        const GLubyte* value = glGetString(name);
        return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
    };
    log_.writeLine("Video card: " + text(GL_RENDERER));
    log_.writeLine("Vendor: " + text(GL_VENDOR));
    log_.writeLine("OpenGL version : " + text(GL_VERSION));
    log_.writeLine("Max Texture Units: ", maxTextureUnits);

    useVertexBuffers = GLEW_ARB_vertex_buffer_object;
    log_.writeLine(useVertexBuffers ? "VBO supported" : "VBO not supported!");

    occlusionCounterBits = 0;
    if (GLEW_ARB_occlusion_query) {
        GLint bits = 0;
        glGetQueryivARB(GL_SAMPLES_PASSED_ARB, GL_QUERY_COUNTER_BITS_ARB, &bits);
        occlusionCounterBits = bits;
    }
    useOcclusionQueries = occlusionCounterBits > 0;
    if (useOcclusionQueries) {
        log_.writeLine("ARB_Occlusion_querry supported");
        log_.writeLine("Occlussion querry bit: ", occlusionCounterBits);
    } else {
        log_.writeLine("ARB_Occlusion_querry not supported!");
    }
    log_.writeLine("Model manager init");
}

void GLWindow::changeGamma(const Settings& settings) {
    const float exponent = 4.0f - settings.gamma;
    gamma_.change(window_, exponent);
    gammaChanged_ = true;
    log_.writeLine("Old Gamma: ", gamma_.oldGamma());
    log_.writeLine("New Gamma: ", exponent);
}

void GLWindow::setViewport(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / height, 1.0, 3000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GLWindow::restoreGamma() {
    if (!gammaChanged_) return;
    log_.writeLine("Set old Gamma: ", gamma_.oldGamma());
    gamma_.restore(window_);
    gammaChanged_ = false;
}

void GLWindow::useView(size_t index) {
    if (index >= views_.size()) return;
    const Viewport& view = views_[index];
    glViewport(view.x, view.y, view.width, std::max(view.height, 1));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, view.aspect(), 1.0, 3000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool GLWindow::followClientSize() {
    const platform::Point client = window_.clientSize();
    if (client.x <= 0 || client.y <= 0 || (client.x == clientWidth && client.y == clientHeight)) return false;
    const bool drawnWhole = views_.size() == 1 && views_[0] == Viewport{0, 0, clientWidth, clientHeight};
    clientWidth = client.x;
    clientHeight = client.y;
    if (drawnWhole) views_[0] = {0, 0, clientWidth, clientHeight};
    return true;
}

void GLWindow::shutDown() { window_.shutdown(); }

}  // namespace hg

#include "render/gl_window.h"

#include "gl/gl.h"

#include <algorithm>

#include "core/log.h"

namespace hg {

int snapshotSideFor(int modeHeight) {
    if (modeHeight >= 1024) return 1024;
    if (modeHeight >= 512) return 512;
    return 256;
}

bool GLWindow::createWindow(const platform::WindowSpec& spec) { return window_.create(spec); }

std::optional<Capabilities> GLWindow::setUpOpenGL(const Settings& settings, bool vsync, bool changeGamma) {
    const platform::Point client = window_.clientSize();
    clientWidth_ = client.x;
    clientHeight_ = client.y;
    if (views_.empty()) views_ = {{0, 0, clientWidth_, clientHeight_}};
    if (!window_.createContext()) return std::nullopt;
    window_.setVsync(vsync);
    setViewport(clientWidth_, clientHeight_);

    // The screen turns black at once, before anything loads.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    window_.swapBuffers();

    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);

    const Capabilities capabilities = probeCapabilities();
    throttle_.start(capabilities.fences);
    if (changeGamma) this->changeGamma(settings);
    return capabilities;
}

Capabilities GLWindow::probeCapabilities() {
    const gl::Extensions extensions = gl::loadExtensions(platform::glProcAddress);
    if (!extensions.listed) log_.writeLine("Glew init failed!");

    Capabilities found;
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    found.textureUnits = units;
    found.multitexture = extensions.multitexture && units >= 2;
    found.modulateAdd = found.multitexture && extensions.modulateAdd;
    auto text = [](GLenum name) {
        const GLubyte* value = glGetString(name);
        return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
    };
    log_.writeLine("Video card: " + text(GL_RENDERER));
    log_.writeLine("Vendor: " + text(GL_VENDOR));
    log_.writeLine("OpenGL version : " + text(GL_VERSION));
    log_.writeLine("Max Texture Units: ", found.textureUnits);

    found.fences = extensions.fences;
    found.vertexBuffers = extensions.vertexBuffers;
    log_.writeLine(found.vertexBuffers ? "VBO supported" : "VBO not supported!");

    if (extensions.occlusionQueries) {
        GLint bits = 0;
        glGetQueryivARB(GL_SAMPLES_PASSED_ARB, GL_QUERY_COUNTER_BITS_ARB, &bits);
        found.occlusionCounterBits = bits;
    }
    found.occlusionQueries = found.occlusionCounterBits > 0;
    if (found.occlusionQueries) {
        log_.writeLine("ARB_Occlusion_querry supported");
        log_.writeLine("Occlussion querry bit: ", found.occlusionCounterBits);
    } else {
        log_.writeLine("ARB_Occlusion_querry not supported!");
    }
    log_.writeLine("Model manager init");
    return found;
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
    // The desktop's mode first: putting a mode back may reset the ramp, which must end as it was.
    window_.restoreDisplayMode();
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
    if (client.x <= 0 || client.y <= 0 || (client.x == clientWidth_ && client.y == clientHeight_)) return false;
    const bool drawnWhole = views_.size() == 1 && views_[0] == Viewport{0, 0, clientWidth_, clientHeight_};
    clientWidth_ = client.x;
    clientHeight_ = client.y;
    if (drawnWhole) views_[0] = {0, 0, clientWidth_, clientHeight_};
    return true;
}

void GLWindow::swapBuffers() {
    window_.swapBuffers();
    throttle_.afterSwap();
}

void GLWindow::shutDown() {
    throttle_.release();
    window_.shutdown();
}

}  // namespace hg

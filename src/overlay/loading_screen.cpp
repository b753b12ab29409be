#include "overlay/loading_screen.h"

#include "gl/gl.h"

#include "image/texture_manager.h"
#include "overlay/glyph_text.h"
#include "render/gl_window.h"
#include "render/screen_quads.h"

namespace hg {

void showLoadingScreen(TextureManager& textures, GLWindow& window, const std::vector<Viewport>& views) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const GLuint picture = textures.get("Notification/loading.jpg");
    const GLuint logo = textures.get("Logo/4loader.jpg");
    for (const Viewport& view : views) {
        glViewport(view.x, view.y, view.width, view.height);
        enter2DMode();
        // The JPEG's top row is texture row 0: a negative half-height puts it at the top.
        placeOverlay(Anchor::Centre, view.aspect());
        drawTexturedQuad(0.0f, 0.0f, 1.0f, -1.0f, picture);
        placeOverlay(Anchor::BottomRight, view.aspect());
        drawTexturedQuad(0.788f, -0.894f, 0.212f, 0.106f, logo);
        leave2DMode();
    }
    window.swapBuffers();
}

}  // namespace hg

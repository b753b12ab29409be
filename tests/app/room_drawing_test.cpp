// The built room drawn in a small GL window: the toy train runs only while it is drawn, so a
// train out of sight stands still and picks up where it stopped.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/log.h"
#include "app/room.h"
#include "archive/file_system.h"
#include "image/texture_manager.h"
#include "render/cross_fade.h"
#include "render/gl_window.h"
#include "render/screen_quads.h"
#include "scene/gl_test_context.h"
#include "scene/model_instance.h"
#include "scene/scene.h"

namespace hg {
namespace {

std::vector<uint8_t> readArchive(const std::string& name) {
    std::ifstream in(std::string(HG_BINARY_DIR) + "/content/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

float locoAngle(const SceneNode& railroad) {
    for (const ModelNode& node : railroad.instance->nodes)
        if (node.name == "loco") return node.angles[2];
    ADD_FAILURE() << "no loco";
    return 0.0f;
}

TEST(RoomDrawing, TheTrainStandsStillWhileItIsNotDrawn) {
    if (!test::glTestContext()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    // The other GL tests share this context: everything the room sets is put back at the end.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum stack : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
        glMatrixMode(stack);
        glPushMatrix();
    }
    const std::vector<uint8_t> main = readArchive("main.pak"), overlay = readArchive("overlay.pak");
    ASSERT_FALSE(main.empty());
    Log log;
    FileSystem files;
    files.initialise(log, main, overlay);
    TextureManager textures(files, log, [](const std::string& message) { FAIL() << message; });
    GLWindow window(log);
    window.setViews({{0, 0, test::kGlTestWidth, test::kGlTestHeight}});
    ScreenQuadQueue quads;
    CrossFade crossFade;
    Room room({files, textures, log, window, quads, crossFade, [](const std::string& text) { FAIL() << text; }});
    room.load(RoomFeatures{}, [] { return 4u; });  // the tree and the train open the cycle
    FrameTime frame;
    frame.step = 1.0f;
    auto draw = [&] { room.drawView(0, frame); };

    SceneNode* railroad = nullptr;
    for (auto& node : room.scene().nodes)
        if (node->name == "instance railroad") railroad = node.get();
    ASSERT_TRUE(railroad && railroad->instance);
    const Vec3 place = railroad->centre;

    // In view: every frame moves the train on.
    draw();
    const float seen = locoAngle(*railroad);
    for (int i = 0; i < 5; ++i) draw();
    EXPECT_GT(locoAngle(*railroad), seen);

    // Far beyond the camera's range it is culled: it stays where it was.
    railroad->centre = place + Vec3{0, 0, 100000};
    draw();
    const float hidden = locoAngle(*railroad);
    for (int i = 0; i < 5; ++i) draw();
    EXPECT_EQ(locoAngle(*railroad), hidden);

    // Back in view it runs on from there, one frame's worth at a time.
    railroad->centre = place;
    draw();
    draw();
    const float resumed = locoAngle(*railroad);
    EXPECT_GT(resumed, hidden);
    EXPECT_LT(resumed - hidden, 3.0f * 0.8f * 0.6f + 1e-3f);
    room.release();
    textures.releaseAll();
    for (GLenum stack : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
        glMatrixMode(stack);
        glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace
}  // namespace hg

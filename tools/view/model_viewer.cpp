#include "view/model_viewer.h"

#include "gl/gl.h"

#include <algorithm>
#include <cmath>

#include "archive/file_system.h"
#include "image/texture_manager.h"
#include "render/gl_window.h"

namespace hg {

ModelFraming frameModel(const Mesh& mesh) {
    Vec3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    Vec3 hullPivot{0, 0, 0};
    bool any = false;
    for (const MeshObject& object : mesh.objects) {
        if (object.name == "Hull") {
            hullPivot = object.pivot;
            break;
        }
    }
    for (const MeshObject& object : mesh.objects) {
        if (object.name == "CollMesh") continue;
        for (const Vec3& p : object.positions) {
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
            any = true;
        }
    }
    ModelFraming framing;
    if (!any) return framing;
    framing.centre = (low + high) * 0.5f - hullPivot;
    framing.radius = std::max(distance(low, high) * 0.5f, 0.01f);
    // The farthest point from the vertical axis through the centre: a round track reaches its
    // radius, not the corner of its box.
    const Vec3 middle = (low + high) * 0.5f;
    float reach = 0.01f;
    for (const MeshObject& object : mesh.objects) {
        if (object.name == "CollMesh") continue;
        for (const Vec3& p : object.positions) reach = std::max(reach, std::hypot(p.x - middle.x, p.y - middle.y));
    }
    framing.turnRadius = reach;
    framing.halfHeight = (high.z - low.z) * 0.5f;
    framing.floorZ = low.z - hullPivot.z;
    return framing;
}

ModelViewer::ModelViewer(const FileSystem& files, TextureManager& textures, GLWindow& window,
                         std::function<void(const std::string&)> message)
    : window_(window),
      message_(std::move(message)),
      library_(pool_, files, textures,
               [this](const std::string& text) {
                   reported_ = true;
                   if (message_) message_(text);
               }) {}

bool ModelViewer::load(const std::string& name, bool useVertexBuffers) {
    moving_ = movingModelNamed(name);
    const bool found = instance_.build(library_, name);
    if (found && instance_.nodes.empty() && !reported_ && message_) message_("Not found " + name);
    if (!found || instance_.nodes.empty()) return false;
    framing_ = frameModel(*library_.findOrLoad(name));

    binding_.setUseVertexBuffers(useVertexBuffers);
    binding_.upload();

    // One warm light above and in front, to the left; a little ambient so the far side shows.
    const float r = framing_.radius;
    const Vec3 at = framing_.centre + Vec3(1.6f * r, 2.2f * r, 2.6f * r);
    light_.position[0] = at.x, light_.position[1] = at.y, light_.position[2] = at.z;
    const float ambient[4] = {0.55f, 0.5f, 0.48f, 1.0f};
    const float diffuse[4] = {1.15f, 0.98f, 0.78f, 1.0f};
    const float specular[4] = {0.9f, 0.8f, 0.65f, 1.0f};
    std::copy(ambient, ambient + 4, light_.ambient);
    std::copy(diffuse, diffuse + 4, light_.diffuse);
    std::copy(specular, specular + 4, light_.specular);
    light_.range = 0.0f;  // no fall-off over the short distances of one model
    return true;
}

// As the room does it: the clock's hands at the local time, the train turning about the track
// centre; and the whole model turning slowly on its stand.
void ModelViewer::animate(const FrameTime& time) {
    animation_.setLocalTime(time.now);
    animation_.pose(instance_, moving_, time.step);
    turn_ += time.step * 0.25f;
}

void ModelViewer::drawGround() const {
    // A dark disc under the model, lighter in the middle.
    const float z = framing_.floorZ - framing_.radius * 0.005f;
    const float radius = framing_.radius * 3.0f;
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBegin(GL_TRIANGLE_FAN);
    glColor3f(0.17f, 0.12f, 0.09f);
    glVertex3f(framing_.centre.x, framing_.centre.y, z);
    glColor3f(0.02f, 0.02f, 0.03f);
    for (int i = 0; i <= 48; ++i) {
        const float a = static_cast<float>(i) * 6.2831853f / 48.0f;
        glVertex3f(framing_.centre.x + radius * std::cos(a), framing_.centre.y + radius * std::sin(a), z);
    }
    glEnd();
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
}

void ModelViewer::drawView(size_t, const FrameTime& time) {
    const float step = time.step;
    animate(time);

    const int width = std::max(window_.clientSize().x, 1);
    const int height = std::max(window_.clientSize().y, 1);
    // The models face +y. Seen from a little above, the model turning about its vertical axis
    // must fit across the width and from the near rim up to the top.
    const float fov = 40.0f;
    const float elevation = 0.42f;
    const float tanHalf = std::tan(fov * 0.5f * 3.14159265f / 180.0f);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const float across = framing_.turnRadius / (tanHalf * aspect);
    const float upright =
        (framing_.turnRadius * std::sin(elevation) + framing_.halfHeight * std::cos(elevation)) / tanHalf;
    const float distance = std::max(across, upright) * 1.15f + framing_.turnRadius * std::cos(elevation);
    const float r = framing_.radius;
    const Vec3 c = framing_.centre;
    const Vec3 eye = c + Vec3(0.0f, std::cos(elevation), std::sin(elevation)) * distance;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, static_cast<double>(width) / height, distance * 0.05, distance * 3.0 + r);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, c.x, c.y, c.z, 0, 0, 1);

    glDisable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    drawGround();

    glColor4d(1, 1, 1, 1);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.001f);
    binding_.bind();
    const SceneLight* lights[] = {&light_};
    enableLights(lights);

    instance_.update(step, particles_);
    // Turn the model about the vertical through its centre.
    glTranslatef(c.x, c.y, c.z);
    glRotatef(turn_, 0, 0, 1);
    glTranslatef(-c.x, -c.y, -c.z);
    instance_.draw();
    glLoadIdentity();

    disableLights(lights);
    glDisable(GL_LIGHTING);
    binding_.unbind();
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace hg

#pragma once
// The whole room as one scene: the room cells (zones) and objects with their face groups in the
// shared vertex pool, the placed models and the animated fire, the openings between cells, the
// camera flights, the emitter markers and the lights.
#include "gl/gl.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/camera.h"
#include "scene/face_group.h"
#include "scene/math.h"
#include "scene/mesh.h"
#include "scene/scene_light.h"

namespace hg {

class ModelInstance;
class AnimatedMesh;
struct SceneNode;

struct Portal {
    std::string name;        // the zone that owns it
    std::string targetName;  // the zone or marker it leads to
    std::vector<Vec3> points;
    std::vector<float> triangles;  // three point indices per triangle, as stored
    Vec3 normal{0, 0, 0};            // points into the owning zone
    Vec3 centre{0, 0, 0};
    SceneNode* target = nullptr;
    uint8_t* flag = nullptr;  // the target's visible flag or a marker's activation flag
    GLuint query = 0;
};

struct SceneNode {
    SceneNode();
    ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    std::string name;
    std::string parentName;
    std::vector<FaceGroup> groups;
    GLuint lightmapTexture = 0;
    bool unlit = false;
    bool isInstance = false;
    bool isAnimatedMesh = false;
    bool pathAnimated = false;
    bool translucent = false;
    bool isZone = false;
    bool fromObjectSection = false;
    bool outdoors = false;  // the landscape outside, seen only through the window panes

    Vec3 max{-999999, -999999, -999999};
    Vec3 min{999999, 999999, 999999};
    Vec3 size{0, 0, 0};
    Vec3 centre{0, 0, 0};
    float diagonal = 0.0f;
    Sphere bound;  // round the object's own corners (room objects), whatever box the file gives
    Box corners;   // round the object's own corners (room objects)
    // A zone, or a room object that runs along its zone's walls, floor or ceiling: whatever else the
    // zone holds stands in front of it.
    bool enclosing = false;

    // A node that follows a recorded path.
    std::vector<Vec3> keyPositions;
    std::vector<Quaternion> keyRotations;
    int32_t keyIndex = 0;
    int32_t holdCount = 0;
    float segmentT = 0.0f;
    Quaternion orientation = Quaternion::identity();

    std::unique_ptr<ModelInstance> instance;
    std::unique_ptr<AnimatedMesh> animated;

    uint8_t visible = 0;
    uint8_t unvisited = 1;
    uint8_t* parentVisible = nullptr;
    std::vector<uint8_t*> flagList;  // flags that follow this zone's visible flag
    std::vector<Portal*> portals;
    std::vector<const SceneLight*> lights;
    GLuint query = 0;

    // Strictly inside the box on all three axes: a point on a face is outside.
    bool boxContains(const Vec3& p) const {
        return min.x < p.x && p.x < max.x && min.y < p.y && p.y < max.y && min.z < p.z && p.z < max.z;
    }
    void setBox(const Vec3& lo, const Vec3& hi);
};

class Scene {
public:
    Scene();
    ~Scene();

    std::vector<std::unique_ptr<SceneNode>> nodes;  // final drawing order
    std::vector<SceneNode*> zones;
    std::vector<SceneNode*> objects;
    std::unique_ptr<SceneNode> visibilityNode;
    std::vector<std::unique_ptr<Portal>> portals;
    std::vector<std::unique_ptr<MeshMarker>> markers;
    std::vector<std::unique_ptr<SceneLight>> lights;
    std::vector<Camera> cameras;  // the recorded flights, as read
    // The window panes' triangles, three corners each: the only openings to the outdoors.
    std::vector<Vec3> windowPanes;

    bool useOcclusionQueries = false;

    void clear();
};

}  // namespace hg

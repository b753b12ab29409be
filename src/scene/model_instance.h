#pragma once
// One placed copy of a model: its objects as a tree of nodes under "Hull", each turned by three
// angles about its pivot, with the model's emitter markers riding on their nodes.
#include <cstdint>
#include <string>
#include <vector>

#include "scene/math.h"
#include "scene/mesh.h"

namespace hg {

class ModelLibrary;
class ParticleSink;

struct ModelNode {
    std::string name;
    std::string parentName;
    bool hasParent = false;
    Vec3 pivot{0, 0, 0};
    uint32_t poolStart = 0;
    uint32_t poolEnd = 0;
    std::vector<uint32_t> indices;  // absolute pool indices
    int32_t indexCount = 0;
    // The indices are poolStart, poolStart + 1, ...: the node draws as a plain run of the pool.
    bool indicesInOrder = false;
    bool closedOutward = false;  // only its front faces can be seen: back faces need not be drawn
    Sphere bound;  // round the node's own vertices (relative to its pivot)
    MeshMaterial material;

    float scrollOffsetU = 0.0f;
    float scrollOffsetV = 0.0f;
    float angles[3] = {0, 0, 0};  // degrees about x, y, z

    Quaternion localRotation = Quaternion::identity();
    Quaternion worldRotation = Quaternion::identity();
    // Rotation blocks only; translation and bottom row stay those of the identity.
    Matrix4 forwardMatrix = Matrix4::identity();
    Matrix4 inverseMatrix = Matrix4::identity();
    Vec3 worldPosition{0, 0, 0};  // the pivot in instance space
    Vec3 accumulatedAngles{0, 0, 0};

    std::vector<int> children;        // node indices, in node order
    std::vector<MeshMarker> markers;  // positions relative to this node's pivot
};

class ModelInstance {
public:
    // Nodes with more markers than this emit from one marker per update, walking through them;
    // nodes with this many or fewer hand every emitter marker over on every update.
    static constexpr size_t kEmitAllLimit = 20;

    // Builds from the model of that name (loading it if needed); stays empty when the library has
    // none. Returns whether the model was found.
    bool build(ModelLibrary& library, const std::string& modelName);
    void build(const Mesh& mesh);

    // Once per frame before drawing: rotations and world positions from the angles, emitters
    // handed to `particles`, texture scroll. `step` is the frame step.
    void update(float step, ParticleSink& particles);
    // Draws the tree from "Hull" at `position`, turned by `rotation`. The modelview comes back as it
    // was through inverse operations, without the matrix stack.
    // `eyeView`, when given, is the view volume in eye space (the projection's planes): a node
    // whose vertices all lie outside it is not drawn (its children still are).
    // `extraOnSecondUnit`: a node's reflection or self-illumination may go on the second texture
    // unit in its base pass (drawNodeGeometry says when); the caller has readied the unit.
    void draw(const Frustum* eyeView = nullptr, bool extraOnSecondUnit = false) const;

    // The angle of the first node of that name; an unknown name changes nothing.
    void setAngleZ(const std::string& nodeName, float degrees);
    void setAngleY(const std::string& nodeName, float degrees);

    // The first node of that name, or -1.
    int findNode(const std::string& nodeName) const;

    std::vector<ModelNode> nodes;
    // The "CollMesh" object's corners (a copy, so it outlives the library's arrays); never drawn.
    std::vector<Corner> collisionCorners;
    size_t collisionCornerCount = 0;
    Vec3 size{0, 0, 0};
    float emitCursor = 0.0f;
    Vec3 position{0, 0, 0};
    Quaternion rotation = Quaternion::identity();

private:
    void transformPass(int node, const Quaternion& parentRotation, const Vec3& parentPivot, const Vec3& parentPosition);
    void markerPass(int node, float step, ParticleSink& particles);
    void drawNode(int node, const Vec3& parentPivot, const Frustum* eyeView, bool extraOnSecondUnit) const;
    void breakCycles();
};

// Degrees to half-angle radians, the way node angles are converted: pi taken as 3.14.
float nodeHalfAngle(float degrees);

}  // namespace hg

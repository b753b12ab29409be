#include "scene/model_instance.h"

#include "gl/gl.h"

#include <algorithm>
#include <cmath>

#include "scene/marker_kind.h"
#include "scene/particle_sink.h"
#include "scene/mesh_draw.h"
#include "scene/model_library.h"

namespace hg {
namespace {

constexpr const char* kRootNode = "Hull";
constexpr const char* kCollisionObject = "CollMesh";
constexpr const char* kSteamMarker = "emit locosteam";

Matrix4 rotationMatrix(const Quaternion& q) {
    Matrix4 m = Matrix4::identity();
    m.setRotation(q);
    return m;
}

}  // namespace

float nodeHalfAngle(float degrees) { return degrees * 3.14f * 0.0027777778f; }

bool ModelInstance::build(ModelLibrary& library, const std::string& modelName) {
    const Mesh* mesh = library.findOrLoad(modelName);
    if (!mesh) return false;
    build(*mesh);
    return true;
}

void ModelInstance::build(const Mesh& mesh) {
    nodes.clear();
    nodes.resize(mesh.objects.size());
    collisionCorners.clear();
    collisionCornerCount = 0;
    size = mesh.size;
    for (size_t i = 0; i < mesh.objects.size(); ++i) {
        const MeshObject& object = mesh.objects[i];
        ModelNode& node = nodes[i];
        node.name = object.name;
        node.parentName = object.parentName;
        node.hasParent = object.hasParent;
        node.pivot = object.pivot;
        node.poolStart = object.poolStart;
        node.poolEnd = object.poolEnd;
        node.indices = object.indices;
        node.indexCount = static_cast<int32_t>(object.indices.size());
        node.closedOutward = object.closedOutward;
        node.bound = sphereRound(object.corners, [](const Corner& corner) { return corner.position; });
        node.indicesInOrder = namesItsRunInOrder(node.indices, node.poolStart);
        node.material = object.material;
        if (object.name == kCollisionObject) {
            collisionCorners = object.corners;
            collisionCornerCount = collisionCorners.size();  // 3 per face, as the pool range
        }
        for (const MeshMarker& marker : mesh.markers) {
            if (marker.parentName != node.name) continue;
            node.markers.push_back(marker);
            node.markers.back().position = marker.position - node.pivot;
        }
    }
    for (size_t s = 0; s < nodes.size(); ++s) {
        for (size_t j = 0; j < nodes.size(); ++j) {
            if (j != s && nodes[j].hasParent && nodes[j].parentName == nodes[s].name) nodes[s].children.push_back(static_cast<int>(j));
        }
    }
    breakCycles();
}

// Parent names come from the file, so two objects can name each other (or share a name) and make
// the links loop. Keep every node reachable from "Hull" on one path only, so the recursive passes
// always end; a proper tree is left as it is.
void ModelInstance::breakCycles() {
    const int root = findNode(kRootNode);
    if (root < 0) return;
    std::vector<uint8_t> seen(nodes.size(), 0);
    std::vector<int> pending{root};
    seen[static_cast<size_t>(root)] = 1;
    while (!pending.empty()) {
        const int current = pending.back();
        pending.pop_back();
        auto& children = nodes[static_cast<size_t>(current)].children;
        std::erase_if(children, [&](int child) {
            if (seen[static_cast<size_t>(child)]) return true;
            seen[static_cast<size_t>(child)] = 1;
            pending.push_back(child);
            return false;
        });
    }
}

int ModelInstance::findNode(const std::string& nodeName) const {
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].name == nodeName) return static_cast<int>(i);
    }
    return -1;
}

void ModelInstance::setAngleZ(const std::string& nodeName, float degrees) {
    const int node = findNode(nodeName);
    if (node >= 0) nodes[static_cast<size_t>(node)].angles[2] = degrees;
}

void ModelInstance::setAngleY(const std::string& nodeName, float degrees) {
    const int node = findNode(nodeName);
    if (node >= 0) nodes[static_cast<size_t>(node)].angles[1] = degrees;
}

void ModelInstance::update(float step, ParticleSink& particles) {
    for (ModelNode& node : nodes) node.accumulatedAngles = {0, 0, 0};
    const int root = findNode(kRootNode);
    if (root >= 0) {
        transformPass(root, Quaternion::identity(), {0, 0, 0}, {0, 0, 0});
        markerPass(root, step, particles);
    }
    for (ModelNode& node : nodes) {
        node.scrollOffsetU += step * 0.03f * node.material.scrollU;
        node.scrollOffsetV += step * 0.03f * node.material.scrollV;
    }
}

void ModelInstance::transformPass(int index, const Quaternion& parentRotation, const Vec3& parentPivot,
                                  const Vec3& parentPosition) {
    ModelNode& node = nodes[static_cast<size_t>(index)];
    const float hx = nodeHalfAngle(node.angles[0]);
    const float hy = nodeHalfAngle(node.angles[1]);
    const float hz = nodeHalfAngle(node.angles[2]);
    const Quaternion qx(std::sin(hx), 0, 0, std::cos(hx));
    const Quaternion qy(0, std::sin(hy), 0, std::cos(hy));
    const Quaternion qz(0, 0, std::sin(hz), std::cos(hz));
    node.localRotation = (qy * qz) * qx;
    node.worldRotation = parentRotation * node.localRotation;
    node.forwardMatrix = rotationMatrix(node.localRotation.conjugate());
    node.inverseMatrix = rotationMatrix(node.localRotation);

    const Vec3 offset = node.pivot - parentPivot;
    node.worldPosition = parentPosition + rotate(parentRotation, offset);
    for (int child : node.children) transformPass(child, node.worldRotation, node.pivot, node.worldPosition);
}

void ModelInstance::markerPass(int index, float step, ParticleSink& particles) {
    ModelNode& node = nodes[static_cast<size_t>(index)];
    node.accumulatedAngles = node.accumulatedAngles + Vec3(node.angles[0], node.angles[1], node.angles[2]);

    const size_t markerCount = node.markers.size();
    for (MeshMarker& marker : node.markers) {
        const Vec3 turned = rotate(rotation.conjugate(), marker.position);
        // The train's steam follows the locomotive; the train animation places it.
        if (marker.name != kSteamMarker) marker.worldPosition = turned + node.worldPosition + position;
        if (marker.kind == kEmitterMarker && markerCount <= kEmitAllLimit) particles.emitAtMarker(marker);
    }
    if (markerCount > kEmitAllLimit) {
        // A cursor that is not a number or has run past the end starts again at the first marker.
        if (!(emitCursor >= 0.0f) || emitCursor >= static_cast<float>(markerCount)) emitCursor = 0.0f;
        particles.emitAtMarker(node.markers[static_cast<size_t>(emitCursor)]);
        emitCursor += step * 0.4f;
    }
    for (int child : node.children) {
        ModelNode& next = nodes[static_cast<size_t>(child)];
        next.accumulatedAngles = next.accumulatedAngles + node.accumulatedAngles;
        markerPass(child, step, particles);
    }
}

namespace {

// Whether a sphere given in the current modelview's space reaches into the eye-space volume. The
// radius grows with the largest scale the modelview applies, so a scaled model is never cut.
bool inEyeView(const Frustum& eyeView, const Sphere& sphere) {
    if (sphere.radius < 0.0f) return false;
    const Vec3& centre = sphere.centre;
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float x = m[0] * centre.x + m[4] * centre.y + m[8] * centre.z + m[12];
    const float y = m[1] * centre.x + m[5] * centre.y + m[9] * centre.z + m[13];
    const float z = m[2] * centre.x + m[6] * centre.y + m[10] * centre.z + m[14];
    float scale = 0.0f;
    for (int column = 0; column < 3; ++column) {
        const float* c = m + 4 * column;
        scale = std::max(scale, std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]));
    }
    return eyeView.sphereInside(x, y, z, sphere.radius * scale);
}

}  // namespace

void ModelInstance::draw(const Frustum* eyeView, bool extraOnSecondUnit) const {
    const int root = findNode(kRootNode);
    if (root < 0) return;
    const Matrix4 forward = rotationMatrix(rotation);
    const Matrix4 backward = rotationMatrix(rotation.conjugate());
    glTranslatef(position.x, position.y, position.z);
    glMultMatrixf(forward.m.data());  // read column-major: the rotation by conjugate(rotation)
    drawNode(root, nodes[static_cast<size_t>(root)].pivot, eyeView, extraOnSecondUnit);
    glMultMatrixf(backward.m.data());
    glTranslatef(-position.x, -position.y, -position.z);
}

void ModelInstance::drawNode(int index, const Vec3& parentPivot, const Frustum* eyeView, bool extraOnSecondUnit) const {
    const ModelNode& node = nodes[static_cast<size_t>(index)];
    const Vec3 offset = node.pivot - parentPivot;
    glTranslatef(offset.x, offset.y, offset.z);
    glMultMatrixf(node.forwardMatrix.m.data());
    if (!eyeView || inEyeView(*eyeView, node.bound)) drawNodeGeometry(node, extraOnSecondUnit);
    for (int child : node.children) drawNode(child, node.pivot, eyeView, extraOnSecondUnit);
    glMultMatrixf(node.inverseMatrix.m.data());
    glTranslatef(-offset.x, -offset.y, -offset.z);
}

}  // namespace hg

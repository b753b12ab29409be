#pragma once
// A small .BSM writer for building test models byte by byte.
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "scene/math.h"

namespace hg::test {

struct BsmTestObject {
    std::string baseTexture = "wood.tga";
    float scrollU = 0.0f, scrollV = 0.0f;
    std::optional<std::string> reflectionTexture;
    std::optional<std::string> illuminationTexture;
    std::string name = "Hull";
    std::string parentName = "Scene Root";
    Vec3 pivot{0, 0, 0};
    std::vector<Vec3> positions;
    std::vector<std::array<float, 3>> faces;
    std::vector<std::array<float, 3>> texVertices;
    std::vector<std::array<float, 3>> texFaces;
    std::vector<Vec3> normals;  // three per face
};

struct BsmTestMarker {
    Vec3 position{0, 0, 0};
    std::string name = "emit candle";
    std::string parentName = "Hull";
    Quaternion rotation = Quaternion::identity();
    int32_t kind = 2;
};

class ByteWriter {
public:
    void int32(int32_t value) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
    }
    void float32(float value) {
        int32_t bits;
        std::memcpy(&bits, &value, 4);
        int32(bits);
    }
    void byte(uint8_t value) { bytes.push_back(value); }
    void string(const std::string& text) {
        int32(static_cast<int32_t>(text.size()));
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    void vec3(const Vec3& v) { float32(v.x), float32(v.y), float32(v.z); }
    std::vector<uint8_t> bytes;
};

inline void writeObject(ByteWriter& out, const BsmTestObject& o) {
    out.string(o.baseTexture);
    out.float32(o.scrollU);
    out.float32(o.scrollV);
    out.byte(o.reflectionTexture ? 1 : 0);
    if (o.reflectionTexture) out.string(*o.reflectionTexture);
    out.byte(o.illuminationTexture ? 1 : 0);
    if (o.illuminationTexture) out.string(*o.illuminationTexture);
    out.string(o.name);
    out.string(o.parentName);
    out.int32(static_cast<int32_t>(o.positions.size()));
    out.int32(static_cast<int32_t>(o.faces.size()));
    out.int32(static_cast<int32_t>(o.texVertices.size()));
    out.int32(static_cast<int32_t>(o.texFaces.size()));
    out.vec3(o.pivot);
    for (const Vec3& p : o.positions) out.vec3(p);
    for (const auto& f : o.faces) out.float32(f[0]), out.float32(f[1]), out.float32(f[2]);
    for (const auto& t : o.texVertices) out.float32(t[0]), out.float32(t[1]), out.float32(t[2]);
    for (const auto& f : o.texFaces) out.float32(f[0]), out.float32(f[1]), out.float32(f[2]);
    for (const Vec3& n : o.normals) out.vec3(n);
}

inline std::vector<uint8_t> writeBsm(const std::vector<BsmTestObject>& objects, const std::vector<BsmTestMarker>& markers = {}) {
    ByteWriter out;
    out.int32(static_cast<int32_t>(objects.size()));
    for (const BsmTestObject& o : objects) writeObject(out, o);
    out.int32(static_cast<int32_t>(markers.size()));
    for (const BsmTestMarker& m : markers) {
        out.vec3(m.position);
        out.string(m.name);
        out.string(m.parentName);
        out.float32(m.rotation.x), out.float32(m.rotation.y), out.float32(m.rotation.z), out.float32(m.rotation.w);
        out.int32(m.kind);
    }
    return out.bytes;
}

// A flat strip of `faces` triangles in the x-y plane starting at `origin`, each 1 unit wide, with
// uvs across the strip and normals up.
inline BsmTestObject stripObject(const std::string& name, const std::string& parent, int faces, Vec3 origin = {0, 0, 0},
                                 Vec3 pivot = {0, 0, 0}) {
    BsmTestObject o;
    o.name = name;
    o.parentName = parent;
    o.pivot = pivot;
    const int columns = (faces + 1) / 2;
    for (int c = 0; c <= columns; ++c) {
        o.positions.push_back(origin + Vec3(static_cast<float>(c), 0, 0));
        o.positions.push_back(origin + Vec3(static_cast<float>(c), 1, 0));
        o.texVertices.push_back({static_cast<float>(c) / static_cast<float>(columns), 0, 0});
        o.texVertices.push_back({static_cast<float>(c) / static_cast<float>(columns), 1, 0});
    }
    for (int f = 0; f < faces; ++f) {
        const float base = static_cast<float>((f / 2) * 2);
        const std::array<float, 3> face = f % 2 == 0 ? std::array<float, 3>{base, base + 2, base + 3}
                                                      : std::array<float, 3>{base, base + 3, base + 1};
        o.faces.push_back(face);
        o.texFaces.push_back(face);
        for (int k = 0; k < 3; ++k) o.normals.push_back({0, 0, 1});
    }
    return o;
}

}  // namespace hg::test

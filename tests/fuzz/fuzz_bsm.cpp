// A model file (.BSM) as the room loads one: the model library reads "Models/<name>.BSM", asks for
// its textures and appends its corners to the vertex pool; a placed copy (ModelInstance) builds its
// node tree from it and is updated for a few frames, handing its emitters over. Only the drawing,
// which needs GL, is left out.
//
// Checks: a damaged file leaves an empty model; every object's corners, pool range and indices
// agree with each other and with the pool; the instance's tree from "Hull" reaches each node once.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fuzz_target.h"
#include "scene/model_instance.h"
#include "scene/model_library.h"
#include "scene/particle_sink.h"
#include "scene/vertex_pool.h"

namespace {

using namespace hg;

struct CountingSink final : ParticleSink {
    size_t emitted = 0;
    void emitAtMarker(const MeshMarker&) override { ++emitted; }
};

// Walks the node tree from `index`; false when a node is reached twice.
bool visitOnce(const ModelInstance& instance, int index, std::vector<uint8_t>& seen) {
    if (index < 0 || size_t(index) >= instance.nodes.size() || seen[size_t(index)]) return false;
    seen[size_t(index)] = 1;
    for (int child : instance.nodes[size_t(index)].children) {
        if (!visitOnce(instance, child, seen)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input = fuzz::inputOf(data, size);
    const std::vector<uint8_t> file(input.begin(), input.end());
    VertexPool pool;
    std::vector<std::string> reports;
    GLuint nextTexture = 1;
    ModelLibrary library(pool, ModelSources{
                                   [&](const std::string& path) -> std::optional<std::vector<uint8_t>> {
                                       if (path == "Models/candle.BSM") return file;
                                       return std::nullopt;
                                   },
                                   [&](const std::string&) { return nextTexture++; },
                                   [&](const std::string& text) { reports.push_back(text); },
                                   [](GLuint texture) { return texture % 2 == 0; },
                               });

    ModelInstance instance;
    fuzz::check(instance.build(library, "candle"), "a model takes its slot even when damaged");
    const Mesh& mesh = library.model(0);
    const bool damaged = !reports.empty();
    fuzz::check(!damaged || (mesh.objects.empty() && mesh.markers.empty()), "a damaged file leaves an empty model");

    size_t corners = 0;
    for (const MeshObject& object : mesh.objects) {
        fuzz::check(object.corners.size() == size_t(object.faceCount) * 3, "three corners per face");
        fuzz::check(object.positions.size() == size_t(object.vertexCount), "every position read");
        fuzz::check(object.poolStart == corners && object.poolEnd == object.poolStart + object.corners.size(),
                    "objects follow one another in the pool");
        fuzz::check(object.indices.size() == object.corners.size(), "one index per corner");
        for (size_t k = 0; k < object.indices.size(); ++k) {
            const uint32_t index = object.indices[k];
            fuzz::check(index >= object.poolStart && index <= object.poolStart + k, "each index names its corner or an earlier one");
            fuzz::check(std::memcmp(&object.corners[index - object.poolStart], &object.corners[k], sizeof(Corner)) == 0,
                        "an index names a corner equal to its own");
        }
        corners += object.corners.size();
    }
    fuzz::check(pool.size() == corners, "the pool holds every corner once");

    fuzz::check(instance.nodes.size() == mesh.objects.size(), "one node per object");
    const int root = instance.findNode("Hull");
    if (root >= 0) {
        std::vector<uint8_t> seen(instance.nodes.size(), 0);
        fuzz::check(visitOnce(instance, root, seen), "the tree from Hull reaches each node once");
    }

    CountingSink sink;
    instance.setAngleZ("Hull", 30.0f);
    for (float step : {1.0f, 2.5f, 40.0f}) instance.update(step, sink);
    return 0;
}

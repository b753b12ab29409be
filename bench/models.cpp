// Loading models (parse + pool append) and one instance update + draw, in CPU time.
// The models are the baked ones in build/content/main/Models when they exist; beside them a
// generated stand-in of a full tree's size (about 10,000 faces on 12 nodes, 72 light markers on
// one node) is always measured.
#include <benchmark/benchmark.h>

#include "gl/gl.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "../tests/scene/bsm_test_writer.h"
#include "scene/particle_sink.h"
#include "platform/platform.h"
#include "scene/bsm_reader.h"
#include "scene/mesh_draw.h"
#include "scene/model_instance.h"
#include "scene/model_library.h"

namespace {

namespace fs = std::filesystem;
using namespace hg;

class CountingSink : public ParticleSink {
public:
    void emitAtMarker(const MeshMarker&) override { ++count; }
    long count = 0;
};

std::vector<uint8_t> generatedTree() {
    std::vector<test::BsmTestObject> objects;
    objects.push_back(test::stripObject("Hull", "Scene Root", 1500));
    for (int i = 0; i < 11; ++i) {
        objects.push_back(test::stripObject("layer" + std::to_string(i), i == 0 ? "Hull" : "layer" + std::to_string(i - 1), 780,
                                            {0, 0, static_cast<float>(i * 10)}, {0, 0, static_cast<float>(i * 10)}));
    }
    std::vector<test::BsmTestMarker> markers(72);
    for (int i = 0; i < 72; ++i) {
        markers[static_cast<size_t>(i)].name = "emit red_firlight";
        markers[static_cast<size_t>(i)].parentName = "layer3";
        markers[static_cast<size_t>(i)].position = {static_cast<float>(i), 0, 30};
    }
    for (int i = 0; i < 6; ++i) markers.push_back({{0, 0, 100}, "emit candle", "layer10", Quaternion::identity(), 2});
    return test::writeBsm(objects, markers);
}

// name -> file bytes: the generated tree and every baked model.
const std::map<std::string, std::vector<uint8_t>>& modelFiles() {
    static const auto files = [] {
        std::map<std::string, std::vector<uint8_t>> result;
        result["generated_tree"] = generatedTree();
        const fs::path folder = fs::path(HG_BINARY_DIR) / "content/main/Models";
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (entry.path().extension() != ".BSM") continue;
            std::ifstream in(entry.path(), std::ios::binary);
            result[entry.path().stem().string()] = {std::istreambuf_iterator<char>(in), {}};
        }
        return result;
    }();
    return files;
}

ModelSources sourcesFor(const std::map<std::string, std::vector<uint8_t>>& files) {
    return {[&files](const std::string& path) -> std::optional<std::vector<uint8_t>> {
                const std::string name = path.substr(7, path.size() - 7 - 4);  // "Models/" name ".BSM"
                auto found = files.find(name);
                if (found == files.end()) return std::nullopt;
                return found->second;
            },
            [](const std::string&) { return GLuint{0}; }, [](const std::string&) {}};
}

void BM_LoadModel(benchmark::State& state, const std::string& name) {
    const auto& files = modelFiles();
    long faces = 0;
    for (auto _ : state) {
        VertexPool pool;
        ModelLibrary library(pool, sourcesFor(files));
        const Mesh* mesh = library.findOrLoad(name);
        benchmark::DoNotOptimize(mesh);
        faces = static_cast<long>(pool.size() / 3);
    }
    state.counters["faces"] = static_cast<double>(faces);
    state.counters["bytes"] = static_cast<double>(files.at(name).size());
}

// Every baked model into one pool, as the room's loading does (the file copies are included).
void BM_LoadAllBakedModels(benchmark::State& state) {
    const auto& files = modelFiles();
    size_t vertices = 0;
    for (auto _ : state) {
        VertexPool pool;
        ModelLibrary library(pool, sourcesFor(files));
        for (const auto& [name, bytes] : files) {
            if (name != "generated_tree") benchmark::DoNotOptimize(library.findOrLoad(name));
        }
        vertices = pool.size();
    }
    state.counters["models"] = static_cast<double>(files.size() - 1);
    state.counters["faces"] = static_cast<double>(vertices / 3);
}

ModelInstance instanceOf(const std::string& name, VertexPool& pool, std::unique_ptr<ModelLibrary>& library) {
    library = std::make_unique<ModelLibrary>(pool, sourcesFor(modelFiles()));
    ModelInstance instance;
    instance.build(*library, name);
    instance.setAngleZ("loco", 40);
    instance.setAngleY("Arrow01", -90);
    return instance;
}

void BM_InstanceUpdate(benchmark::State& state, const std::string& name) {
    VertexPool pool;
    std::unique_ptr<ModelLibrary> library;
    ModelInstance instance = instanceOf(name, pool, library);
    CountingSink sink;
    for (auto _ : state) instance.update(1.0f, sink);
    state.counters["nodes"] = static_cast<double>(instance.nodes.size());
    state.counters["ns_per_node"] = benchmark::Counter(static_cast<double>(instance.nodes.size()),
                                                       benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

bool vertexBuffers = false;

bool glContext() {
    static std::unique_ptr<platform::Window> window;
    static bool ready = false;
    if (window) return ready;
    if (!std::getenv("DISPLAY")) return false;
    window = std::make_unique<platform::Window>();
    platform::WindowSpec spec{"hearthglow bench", 320, 240, 32, platform::WindowKind::Windowed};
    ready = window->create(spec) && window->createContext();
    if (ready) vertexBuffers = gl::loadExtensions(platform::glProcAddress).vertexBuffers;
    return ready;
}

// Update and draw: the CPU time of this thread issuing the node draws. The rasteriser's own threads
// are not counted, and glFinish is outside the timed region.
void BM_InstanceUpdateAndDraw(benchmark::State& state, const std::string& name) {
    if (!glContext()) {
        state.SkipWithError("needs a display");
        return;
    }
    VertexPool pool;
    std::unique_ptr<ModelLibrary> library;
    ModelInstance instance = instanceOf(name, pool, library);
    PoolBinding binding(pool);
    binding.setUseVertexBuffers(vertexBuffers);
    binding.upload();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 4.0 / 3.0, 1, 5000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, -600, 200, 0, 0, 50, 0, 0, 1);
    binding.bind();
    CountingSink sink;
    for (auto _ : state) {
        instance.update(1.0f, sink);
        instance.draw();
        state.PauseTiming();
        glFinish();
        state.ResumeTiming();
    }
    binding.unbind();
    state.counters["nodes"] = static_cast<double>(instance.nodes.size());
    state.counters["ns_per_node"] = benchmark::Counter(static_cast<double>(instance.nodes.size()),
                                                       benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

const bool kRegistered = [] {
    for (const auto& [name, bytes] : modelFiles()) {
        benchmark::RegisterBenchmark(("BM_LoadModel/" + name).c_str(), BM_LoadModel, name);
        benchmark::RegisterBenchmark(("BM_InstanceUpdate/" + name).c_str(), BM_InstanceUpdate, name);
        benchmark::RegisterBenchmark(("BM_InstanceUpdateAndDraw/" + name).c_str(), BM_InstanceUpdateAndDraw, name);
    }
    if (modelFiles().size() > 1) benchmark::RegisterBenchmark("BM_LoadAllBakedModels", BM_LoadAllBakedModels);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();

// bake_preview: pictures of the models for judging shapes and proportions while making them.
//
//   bake_preview <folder> [--objects NAME,NAME...] [--no-markers] [model ...]
//
// Writes <folder>/<model>.jpg for each model (all when none is named): three views side by side.
// --objects keeps only the named objects (a close look at part of a model).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bake/jpeg_writer.h"
#include "bake/model_parts.h"
#include "bake/models.h"
#include "bake/paint.h"
#include "bake/preview.h"

int main(int argc, char** argv) {
    using namespace hg::bake;
    if (argc < 2) {
        std::fprintf(stderr, "usage: bake_preview <folder> [model ...]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    std::vector<std::string> wanted, objects;
    bool markers = true;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--objects" && i + 1 < argc) {
            std::string list = argv[++i];
            for (size_t start = 0; start <= list.size();) {
                const size_t comma = std::min(list.find(',', start), list.size());
                objects.push_back(list.substr(start, comma - start));
                start = comma + 1;
            }
        } else if (arg == "--no-markers") {
            markers = false;
        } else {
            wanted.push_back(arg);
        }
    }
    const PreviewView views[] = {{90.0f, 12.0f, 1.0f}, {35.0f, 30.0f, 1.0f}, {-120.0f, 55.0f, 1.0f}};
    for (NamedModel& m : allModels()) {
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), m.name) == wanted.end()) continue;
        if (!objects.empty())
            std::erase_if(m.model.objects, [&](const ModelObject& o) { return std::find(objects.begin(), objects.end(), o.name) == objects.end(); });
        if (!markers) m.model.markers.clear();
        const int size = 512;
        Canvas sheet(size * 3, size);
        for (int i = 0; i < 3; ++i) composite(sheet, renderPreview(m.model, modelTextures(), size, size, views[i]), i * size, 0);
        std::string message;
        const std::vector<uint8_t> bytes = encodeJpeg(toImage(sheet, 3), 90, &message);
        std::ofstream out(folder / (m.name + ".jpg"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::printf("%s: %zu triangles, %zu objects, %zu markers\n", m.name.c_str(), m.model.triangleCount(),
                    m.model.objects.size(), m.model.markers.size());
    }
    return 0;
}

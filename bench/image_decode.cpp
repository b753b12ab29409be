// Decode throughput of the TGA and JPEG decoders by the wall clock, in megabytes of file per second
// ("bytes_per_second") and megapixels per second. The pictures are made with ImageMagick into
// $HG_BENCH_IMAGES (which scripts/bench-images sets, so that it can time ImageMagick on the very
// same files) or into a temporary folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/jpeg_decoder.h"
#include "image/tga_decoder.h"

namespace {

namespace fs = std::filesystem;

// name, ImageMagick options that make it
const std::pair<const char*, const char*> kPictures[] = {
    {"photo-640x480.jpg", "-seed 7 -size 640x480 plasma:fractal -quality 90"},
    {"photo-2048x2048.jpg", "-seed 7 -size 2048x2048 plasma:fractal -quality 90"},
    {"photo-1024x1024-24.tga", "-seed 7 -size 1024x1024 plasma:fractal -compress none"},
    {"photo-1024x1024-32.tga", "-seed 7 -size 1024x1024 plasma:fractal -alpha set -compress none"},
    {"photo-1024x1024-32rle.tga", "-seed 7 -size 1024x1024 plasma:fractal -alpha set -compress RLE"},
    {"flat-1024x1024-24rle.tga", "-size 1024x1024 gradient:'#602010'-'#f0c040' -depth 4 -depth 8 -compress RLE"},
};

fs::path pictureFolder() {
    if (const char* folder = std::getenv("HG_BENCH_IMAGES")) return folder;
    return fs::temp_directory_path() / "hg-bench-images";
}

std::vector<uint8_t> picture(const std::string& name, const std::string& options) {
    const fs::path path = pictureFolder() / name;
    if (!fs::exists(path)) {
        fs::create_directories(path.parent_path());
        const std::string command = "convert " + options + " '" + path.string() + "'";
        if (std::system(command.c_str()) != 0) return {};
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename Decode>
void decodeBenchmark(benchmark::State& state, const std::string& name, const std::string& options, Decode decode) {
    const std::vector<uint8_t> file = picture(name, options);
    auto first = decode(file);
    if (!first) {
        state.SkipWithError(("cannot make or decode " + name).c_str());
        return;
    }
    for (auto _ : state) {
        auto image = decode(file);
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
    state.counters["Mpixel/s"] = benchmark::Counter(double(first->width) * first->height * 1e-6 * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

const bool kRegistered = [] {
    for (const auto& [name, options] : kPictures) {
        const std::string file = name;
        const bool jpeg = file.ends_with(".jpg");
        benchmark::RegisterBenchmark((std::string(jpeg ? "decodeJpeg/" : "decodeTga/") + file).c_str(),
                                     [file, options = std::string(options), jpeg](benchmark::State& state) {
                                         if (jpeg)
                                             decodeBenchmark(state, file, options,
                                                             [](std::span<const uint8_t> b) { return hg::decodeJpeg(b); });
                                         else
                                             decodeBenchmark(state, file, options, hg::decodeTga);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();  // wall clock, as scripts/bench-images times convert
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();

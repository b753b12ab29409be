// Archive reading: version-2.0 decoding throughput on the largest real entry of the test set, the
// cost of walking to the last entry of a 200-entry stored archive, and the checksum's throughput.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "archive/archive_reader.h"
#include "archive/crc32.h"
#include "archive/decompressor.h"
#include "hgpak/archive_writer.h"

namespace {

constexpr const char* kLargestArchive = "junrar-BoatModernEnglish-regular-unpack20.rar";
constexpr const char* kLargestEntry = "BoatModernEnglish.wav";

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<uint8_t>& largestArchive() {
    static const std::vector<uint8_t> bytes =
        readFile(std::filesystem::path(HG_TESTDATA_DIR) / "rar" / kLargestArchive);
    return bytes;
}

// The whole request: walk, decode into the window, flush, CRC-32.
void BM_ExtractLargestVersion20Entry(benchmark::State& state) {
    hg::ArchiveReader reader;
    hg::MemoryArchive archive{largestArchive(), 0};
    size_t size = 0;
    for (auto _ : state) {
        auto bytes = reader.extract({}, kLargestEntry, archive);
        if (!bytes) {
            state.SkipWithError("entry did not extract");
            return;
        }
        size = bytes->size();
        benchmark::DoNotOptimize(bytes->data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_ExtractLargestVersion20Entry);

// The decoder alone on the same entry's packed bytes.
void BM_DecodeLargestVersion20Entry(benchmark::State& state) {
    hg::ArchiveListing listing;
    if (!hg::listArchive(largestArchive(), listing) || listing.entries.empty()) {
        state.SkipWithError("test data missing");
        return;
    }
    const hg::ArchiveEntry& entry = listing.entries[0];
    const auto packed = std::span(largestArchive()).subspan(size_t(entry.dataOffset), entry.packedSize);
    std::vector<uint8_t> output(entry.unpackedSize);
    hg::Decompressor decompressor;
    for (auto _ : state) {
        benchmark::DoNotOptimize(decompressor.decode(packed, entry.unpackedSize, false, output));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(entry.unpackedSize));
}
BENCHMARK(BM_DecodeLargestVersion20Entry);

// 200 stored entries of 2 KiB, as the program's own archives hold; ask for the last one.
void BM_FindLastOf200Entries(benchmark::State& state) {
    std::vector<hg::pak::PackItem> items;
    for (int i = 0; i < 200; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Models\\model_%03d.bsm", i);
        items.push_back({name, false, std::vector<uint8_t>(2048, uint8_t(i)), 0});
    }
    const auto bytes = hg::pak::writeStoredArchive(items);
    hg::ArchiveReader reader;
    hg::MemoryArchive archive{bytes, 0};
    for (auto _ : state) {
        auto entry = reader.extract({}, "models/MODEL_199.bsm", archive);
        benchmark::DoNotOptimize(entry->data());
    }
}
BENCHMARK(BM_FindLastOf200Entries);

// The checksum of a texture-sized entry (4 MiB), as every in-place read checks it: the folding
// path (where the processor has it) against the byte tables.
const std::vector<uint8_t>& fourMebibytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> b(4 << 20);
        for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(i * 2654435761u >> 24);
        return b;
    }();
    return bytes;
}

void BM_Crc32(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(hg::crc32(fourMebibytes()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fourMebibytes().size()));
}
BENCHMARK(BM_Crc32);

void BM_Crc32ByTables(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(hg::crc32ByTables(fourMebibytes()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fourMebibytes().size()));
}
BENCHMARK(BM_Crc32ByTables);

}  // namespace

BENCHMARK_MAIN();

// A whole bake: the files of the overlay tree, their formats and sizes, and identical bytes on
// every run of the bake program.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "bake/families.h"
#include "image/image_test_support.h"
#include "image/jpeg_decoder.h"
#include "image/tga_decoder.h"

namespace hg::bake {
namespace {

// The room's lit maps the build's own bake keeps: a bake of the same room reads them back.
std::filesystem::path buildLightCache() { return std::filesystem::path(HG_BINARY_DIR) / "content" / "light-cache"; }

// One complete bake, made once for all the tests here.
class Bake : public testing::Test {
protected:
    static void SetUpTestSuite() {
        first_ = new test::ScratchDir;
        Bakery bakery(first_->path(), HG_DEJAVU_DIR);
        bakery.setLightCache(buildLightCache());
        bakeAll(bakery);
        written_ = bakery.written();
    }
    static void TearDownTestSuite() { delete first_; }
    static Image picture(const std::string& path) {
        const std::vector<uint8_t> bytes = test::readBytes(first_->path() / "overlay" / path);
        std::optional<Image> image = path.ends_with(".jpg") ? decodeJpeg(bytes) : decodeTga(bytes);
        EXPECT_TRUE(image) << path;
        return image.value_or(Image{});
    }
    static inline test::ScratchDir* first_ = nullptr;
    static inline std::vector<std::string> written_;
};

const char* const kGlyphs[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "a", "m", "p", "colon", "point", "space"};

TEST_F(Bake, WritesEveryOverlayPictureAndListsWhatItWrote) {
    std::set<std::string> expected = {"overlay/Logo/4loader.tga", "overlay/Notification/loading.jpg",
                                      "overlay/Notification/preview.tga"};
    for (const char* g : kGlyphs) expected.insert(std::string("overlay/Textures/tex_sym_") + g + ".tga");
    for (const char* t : {"countdown", "countdown2", "remaining", "days", "day", "hours", "hour", "mins", "min", "secs",
                          "sec", "dg", "hny"})
        expected.insert(std::string("overlay/Textures/tex_") + t + ".tga");
    // The overlay tree holds these and nothing else; the list of written files names each once.
    std::set<std::string> onDisk;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first_->path() / "overlay"))
        if (entry.is_regular_file()) onDisk.insert(std::filesystem::relative(entry.path(), first_->path()).generic_string());
    EXPECT_EQ(onDisk, expected);
    std::set<std::string> listed;
    for (const std::string& file : written_) {
        EXPECT_TRUE(listed.insert(file).second) << file << " written twice";
        EXPECT_TRUE(std::filesystem::is_regular_file(first_->path() / file)) << file;
    }
    for (const std::string& file : expected) EXPECT_TRUE(listed.count(file)) << file << " not listed";
}

// Every file under `root`, by its path relative to it, with its bytes.
std::map<std::string, std::vector<uint8_t>> treeOf(const std::filesystem::path& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files[std::filesystem::relative(entry.path(), root).generic_string()] = test::readBytes(entry.path());
    return files;
}

// The bake program run twice, each time in a process of its own: whatever a run computes (its
// pictures are made once per process and kept) is computed again, so a step that depends on
// anything but its inputs shows as a difference between the two trees. The first run lights the
// room itself; the second reads the build's lit maps, so the cache gives the bytes a fresh bake
// gives.
TEST(BakeProgram, TwoRunsWriteIdenticalTrees) {
    test::ScratchDir runs;
    std::map<std::string, std::vector<uint8_t>> trees[2];
    std::vector<std::string> stamps[2];
    for (int run = 0; run < 2; ++run) {
        const std::string out = (runs / ("tree" + std::to_string(run))).string();
        const std::string stamp = (runs / ("stamp" + std::to_string(run))).string();
        const std::string cache = run == 0 ? "" : " --cache '" + buildLightCache().string() + "'";
        const auto result = test::runIn(runs.path(), "'" + std::string(HG_BINARY_DIR) + "/bake' '" + out + "' --stamp '" + stamp +
                                                         "' --fonts '" + HG_DEJAVU_DIR + "'" + cache);
        ASSERT_EQ(result.exitCode, 0) << result.standardError;
        trees[run] = treeOf(out);
        stamps[run] = test::readLines(stamp);
    }
    ASSERT_GE(trees[0].size(), 100u);
    // The stamp names every file of the tree, once, and nothing else.
    std::set<std::string> stamped(stamps[0].begin(), stamps[0].end());
    EXPECT_EQ(stamped.size(), stamps[0].size());
    std::set<std::string> onDisk;
    for (const auto& [path, bytes] : trees[0]) onDisk.insert(path);
    EXPECT_EQ(stamped, onDisk);
    EXPECT_EQ(stamps[0], stamps[1]);

    ASSERT_EQ(trees[0].size(), trees[1].size());
    for (const auto& [path, bytes] : trees[0]) {
        ASSERT_TRUE(trees[1].count(path)) << path;
        EXPECT_FALSE(bytes.empty()) << path;
        EXPECT_TRUE(bytes == trees[1].at(path)) << path << " differs between two runs";
    }
}

TEST_F(Bake, PicturesHaveTheirSizesAndFormats) {
    const std::map<std::string, std::pair<int, int>> sizes = {
        {"Textures/tex_countdown.tga", {512, 64}}, {"Textures/tex_countdown2.tga", {512, 64}},
        {"Textures/tex_remaining.tga", {256, 64}}, {"Textures/tex_days.tga", {128, 64}},
        {"Textures/tex_sec.tga", {128, 64}},       {"Textures/tex_dg.tga", {512, 256}},
        {"Textures/tex_hny.tga", {512, 256}},      {"Logo/4loader.tga", {512, 256}},
    };
    for (const auto& [path, size] : sizes) {
        const Image image = picture(path);
        EXPECT_EQ(image.width, size.first) << path;
        EXPECT_EQ(image.height, size.second) << path;
        EXPECT_EQ(image.components, 4) << path;
        // Lettering on a transparent ground: clear corners, and plenty of solid ink.
        EXPECT_EQ(image.pixels[3], 0) << path;
        EXPECT_EQ(image.pixels.back(), 0) << path;
        size_t opaque = 0;
        for (size_t i = 3; i < image.pixels.size(); i += 4) opaque += image.pixels[i] == 255;
        EXPECT_GT(opaque, size_t(image.width * image.height) / 20) << path;
    }
    const Image loading = picture("Notification/loading.jpg");
    EXPECT_EQ(loading.width, 640);
    EXPECT_EQ(loading.height, 480);
    const Image preview = picture("Notification/preview.tga");
    EXPECT_EQ(preview.width, 160);
    EXPECT_EQ(preview.height, 120);
    EXPECT_EQ(preview.components, 3);
}

TEST_F(Bake, GlyphsAreCentredInTheirCellsOnOneBaseline) {
    for (const char* g : kGlyphs) {
        SCOPED_TRACE(g);
        const Image image = picture(std::string("Textures/tex_sym_") + g + ".tga");
        ASSERT_EQ(image.width, 64);
        ASSERT_EQ(image.height, 64);
        ASSERT_EQ(image.components, 4);
        // The extent of the solid ink (rows counted from the bottom, as stored).
        int left = 64, right = -1, bottom = 64, top = -1;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (image.pixels[size_t((y * 64 + x) * 4 + 3)] > 128) {
                    left = std::min(left, x), right = std::max(right, x);
                    bottom = std::min(bottom, y), top = std::max(top, y);
                }
        if (std::string(g) == "space") {
            EXPECT_TRUE(std::all_of(image.pixels.begin(), image.pixels.end(), [](uint8_t b) { return b == 0; }));
            continue;
        }
        ASSERT_GE(right, 0) << "no ink";
        // Neighbouring glyphs are 34 pixels apart: the ink with its outline must stay inside that.
        EXPECT_LE(right - left + 1, 34);
        const float centre = float(left + right + 1) / 2.0f;
        EXPECT_NEAR(centre, std::string(g) == "point" ? 49.5f : 32.0f, 2.0f);
        if (g[0] >= '0' && g[0] <= '9') {
            EXPECT_GE(top - bottom + 1, 40);  // digits fill the cell's height generously
            EXPECT_NEAR(bottom, 12, 2);       // and all stand on one baseline
        }
    }
}

}  // namespace
}  // namespace hg::bake

#include "render/gamma.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/gl_window.h"

namespace hg {
namespace {

TEST(Gamma, PowerCurveEntries) {
    const auto linear = gammaRampFor(1.0);
    EXPECT_EQ(linear.red[0], 0);
    EXPECT_EQ(linear.red[128], 32768);
    EXPECT_EQ(linear.red[255], 65280);
    EXPECT_EQ(linear.green, linear.red);
    EXPECT_EQ(linear.blue, linear.red);
    // Exponent 0 (the brightest setting): every entry 65535, clamped from 65536.
    const auto flat = gammaRampFor(0.0);
    EXPECT_EQ(flat.red[0], 65535);
    EXPECT_EQ(flat.red[200], 65535);
    const auto dark = gammaRampFor(4.0);
    EXPECT_EQ(dark.red[128], 4096);
}

TEST(Gamma, EstimateRecoversTheExponent) {
    for (double e : {0.5, 1.0, 2.0, 3.0}) EXPECT_NEAR(estimateGamma(gammaRampFor(e)), e, 0.02 * e + 0.01) << e;
    // The ramp an X server reports as linear: entry i = i * 257.
    platform::GammaRamp xLinear;
    for (int i = 0; i < 256; ++i) xLinear.red[i] = xLinear.green[i] = xLinear.blue[i] = static_cast<uint16_t>(i * 257);
    EXPECT_NEAR(estimateGamma(xLinear), 1.0, 0.03);
}

TEST(Gamma, BlankRampIsRecognised) {
    platform::GammaRamp blank;
    EXPECT_TRUE(isBlank(blank));
    EXPECT_TRUE(std::isnan(estimateGamma(blank)));
    blank.blue[3] = 1;
    EXPECT_FALSE(isBlank(blank));
}

class FakeDisplay : public platform::GammaDevice {
public:
    std::optional<platform::GammaRamp> readGammaRamp() const override { return readable ? std::optional(ramp) : std::nullopt; }
    bool writeGammaRamp(const platform::GammaRamp& next) override {
        if (!writable) return false;
        ramp = next;
        ++writes;
        return true;
    }
    platform::GammaRamp ramp;
    bool readable = true;
    bool writable = true;
    int writes = 0;
};

TEST(GammaSession, CalibratedRampComesBackExactly) {
    FakeDisplay display;
    for (int i = 0; i < 256; ++i) {
        display.ramp.red[i] = static_cast<uint16_t>(i * 250);
        display.ramp.green[i] = static_cast<uint16_t>(i * 257);
        display.ramp.blue[i] = static_cast<uint16_t>(i * i);
    }
    const platform::GammaRamp calibrated = display.ramp;
    GammaSession session;
    session.change(display, 3.0);
    EXPECT_EQ(display.ramp, gammaRampFor(3.0));
    EXPECT_GT(session.oldGamma(), 1.0);  // the estimate sees the dark blue curve
    session.restore(display);
    EXPECT_EQ(display.ramp, calibrated);  // not the power curve of the estimate
    session.restore(display);
    EXPECT_EQ(display.writes, 2) << "a second restore must not write again";
}

TEST(GammaSession, UnreadableRampComesBackLinear) {
    FakeDisplay display;  // all zero: the driver could not say
    GammaSession session;
    session.change(display, 2.0);
    EXPECT_TRUE(std::isnan(session.oldGamma()));
    session.restore(display);
    EXPECT_EQ(display.ramp, gammaRampFor(1.0));

    FakeDisplay failing;
    failing.readable = false;
    GammaSession other;
    other.change(failing, 2.0);
    other.restore(failing);
    EXPECT_EQ(failing.ramp, gammaRampFor(1.0));
}

TEST(GammaSession, NothingToRestoreWhenTheChangeFailed) {
    FakeDisplay display;
    display.ramp = gammaRampFor(0.8);
    display.writable = false;
    GammaSession session;
    session.change(display, 2.0);
    display.writable = true;
    session.restore(display);
    EXPECT_EQ(display.writes, 0);
    EXPECT_EQ(display.ramp, gammaRampFor(0.8));
}

TEST(SnapshotTexture, SideFollowsTheModeHeight) {
    EXPECT_EQ(snapshotSideFor(500), 256);
    EXPECT_EQ(snapshotSideFor(511), 256);
    EXPECT_EQ(snapshotSideFor(512), 512);
    EXPECT_EQ(snapshotSideFor(768), 512);
    EXPECT_EQ(snapshotSideFor(1023), 512);
    EXPECT_EQ(snapshotSideFor(1024), 1024);
    EXPECT_EQ(snapshotSideFor(1200), 1024);
}

}  // namespace
}  // namespace hg

// The driver's errors as a long run reports them: the first of each kind, with the pass it followed.
#include "render/gl_error_check.h"

#include <gtest/gtest.h>

#include "core/log.h"
#include "scene/gl_test_context.h"
#include "test_support.h"

namespace hg {
namespace {

void causeInvalidEnum() { glEnable(0xFFFF); }
void causeInvalidOperation() { glEnd(); }  // an end without a begin

TEST(GlErrorCheck, LogsTheFirstErrorOfEachKindAndCountsEveryOne) {
    if (!test::glTestContext()) GTEST_SKIP() << "needs a display (scripts/test provides Xvfb)";
    while (glGetError() != GL_NO_ERROR) {
    }
    test::ScratchDir dir;
    Log log;
    log.open((dir / "Log.txt").string());
    GlErrorCheck check(log);

    // Off, it asks nothing: the error stays with the driver.
    causeInvalidEnum();
    check.after("the scene");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));

    check.enable();
    check.after("a clean pass");
    causeInvalidEnum();
    check.after("the opaque nodes");
    causeInvalidEnum();
    check.after("the particles");
    causeInvalidOperation();
    check.after("the 2D layer");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(check.errorCount(), 3u);
    check.logSummary();
    log.close();
    EXPECT_EQ(test::readLines(dir / "Log.txt"), (std::vector<std::string>{
                                                    "OpenGL error 0x0500 (invalid enum) after the opaque nodes",
                                                    "OpenGL error 0x0502 (invalid operation) after the 2D layer",
                                                    "OpenGL errors: 3",
                                                }));
}

}  // namespace
}  // namespace hg

#include "gl/gl.h"

#include <gtest/gtest.h>

namespace hg {
namespace {

// A driver lists GL_ARB_occlusion_query2 without GL_ARB_occlusion_query: a prefix is not the name.
TEST(ExtensionList, OnlyWholeNamesCount) {
    const char* list = "GL_ARB_multitexture GL_ARB_occlusion_query2 GL_ARB_vertex_buffer_object";
    EXPECT_TRUE(gl::listsExtension(list, "GL_ARB_multitexture"));              // first
    EXPECT_TRUE(gl::listsExtension(list, "GL_ARB_vertex_buffer_object"));      // last
    EXPECT_TRUE(gl::listsExtension(list, "GL_ARB_occlusion_query2"));
    EXPECT_FALSE(gl::listsExtension(list, "GL_ARB_occlusion_query"));          // only a longer name has it
    EXPECT_FALSE(gl::listsExtension(list, "ARB_multitexture"));                // only the end of a name
    EXPECT_TRUE(gl::listsExtension("GL_X GL_ARB_occlusion_query2 GL_ARB_occlusion_query", "GL_ARB_occlusion_query"));
    EXPECT_FALSE(gl::listsExtension(nullptr, "GL_ARB_multitexture"));          // no context answered
    EXPECT_FALSE(gl::listsExtension(list, ""));
}

}  // namespace
}  // namespace hg

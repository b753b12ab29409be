#include "gl/gl.h"

#include <cstring>
#include <utility>

PFNGLGENBUFFERSARBPROC hg_glGenBuffersARB = nullptr;
PFNGLBINDBUFFERARBPROC hg_glBindBufferARB = nullptr;
PFNGLBUFFERDATAARBPROC hg_glBufferDataARB = nullptr;
PFNGLDELETEBUFFERSARBPROC hg_glDeleteBuffersARB = nullptr;
PFNGLGENQUERIESARBPROC hg_glGenQueriesARB = nullptr;
PFNGLDELETEQUERIESARBPROC hg_glDeleteQueriesARB = nullptr;
PFNGLBEGINQUERYARBPROC hg_glBeginQueryARB = nullptr;
PFNGLENDQUERYARBPROC hg_glEndQueryARB = nullptr;
PFNGLGETQUERYIVARBPROC hg_glGetQueryivARB = nullptr;
PFNGLGETQUERYOBJECTUIVARBPROC hg_glGetQueryObjectuivARB = nullptr;
PFNGLACTIVETEXTUREARBPROC hg_glActiveTextureARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC hg_glClientActiveTextureARB = nullptr;
PFNGLFENCESYNCPROC hg_glFenceSync = nullptr;
PFNGLCLIENTWAITSYNCPROC hg_glClientWaitSync = nullptr;
PFNGLDELETESYNCPROC hg_glDeleteSync = nullptr;

namespace hg::gl {
namespace {

// Looks one function up into `pointer`; false when the context has none by that name. The loader's
// untyped result becomes the function's type through void*, as the window systems intend.
template <typename Function>
bool find(ProcLoader loader, const char* name, Function& pointer) {
    void* found = loader(name);
    pointer = reinterpret_cast<Function>(found);
    return found != nullptr;
}

// Looks up every named function (all of them, even after a miss); true when all were found.
template <typename... Functions>
bool findAll(ProcLoader loader, std::pair<const char*, Functions*>... wanted) {
    return (static_cast<unsigned>(find(loader, wanted.first, *wanted.second)) & ...) != 0u;
}

bool loadVertexBuffers(ProcLoader loader) {
    return findAll(loader, std::pair{"glGenBuffersARB", &hg_glGenBuffersARB},
                   std::pair{"glBindBufferARB", &hg_glBindBufferARB}, std::pair{"glBufferDataARB", &hg_glBufferDataARB},
                   std::pair{"glDeleteBuffersARB", &hg_glDeleteBuffersARB});
}

bool loadOcclusionQueries(ProcLoader loader) {
    return findAll(loader, std::pair{"glGenQueriesARB", &hg_glGenQueriesARB},
                   std::pair{"glDeleteQueriesARB", &hg_glDeleteQueriesARB},
                   std::pair{"glBeginQueryARB", &hg_glBeginQueryARB}, std::pair{"glEndQueryARB", &hg_glEndQueryARB},
                   std::pair{"glGetQueryivARB", &hg_glGetQueryivARB},
                   std::pair{"glGetQueryObjectuivARB", &hg_glGetQueryObjectuivARB});
}

bool loadMultitexture(ProcLoader loader) {
    return findAll(loader, std::pair{"glActiveTextureARB", &hg_glActiveTextureARB},
                   std::pair{"glClientActiveTextureARB", &hg_glClientActiveTextureARB});
}

bool loadFences(ProcLoader loader) {
    return findAll(loader, std::pair{"glFenceSync", &hg_glFenceSync}, std::pair{"glClientWaitSync", &hg_glClientWaitSync},
                   std::pair{"glDeleteSync", &hg_glDeleteSync});
}

}  // namespace

bool listsExtension(const char* list, const char* name) {
    if (!list || !name || !*name) return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) return true;
    }
    return false;
}

Extensions loadExtensions(ProcLoader loader) {
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    Extensions found;
    found.listed = list != nullptr;
    if (listsExtension(list, "GL_ARB_vertex_buffer_object")) found.vertexBuffers = loadVertexBuffers(loader);
    if (listsExtension(list, "GL_ARB_occlusion_query")) found.occlusionQueries = loadOcclusionQueries(loader);
    if (listsExtension(list, "GL_ARB_multitexture")) found.multitexture = loadMultitexture(loader);
    if (listsExtension(list, "GL_ARB_sync")) found.fences = loadFences(loader);
    found.modulateAdd = listsExtension(list, "GL_ATI_texture_env_combine3") &&
                        (listsExtension(list, "GL_ARB_texture_env_combine") || listsExtension(list, "GL_EXT_texture_env_combine"));
    return found;
}

}  // namespace hg::gl

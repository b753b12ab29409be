#include "gl/gl.h"

#include <cstring>

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

bool loadVertexBuffers(ProcLoader loader) {
    bool all = find(loader, "glGenBuffersARB", hg_glGenBuffersARB);
    all = find(loader, "glBindBufferARB", hg_glBindBufferARB) && all;
    all = find(loader, "glBufferDataARB", hg_glBufferDataARB) && all;
    all = find(loader, "glDeleteBuffersARB", hg_glDeleteBuffersARB) && all;
    return all;
}

bool loadOcclusionQueries(ProcLoader loader) {
    bool all = find(loader, "glGenQueriesARB", hg_glGenQueriesARB);
    all = find(loader, "glDeleteQueriesARB", hg_glDeleteQueriesARB) && all;
    all = find(loader, "glBeginQueryARB", hg_glBeginQueryARB) && all;
    all = find(loader, "glEndQueryARB", hg_glEndQueryARB) && all;
    all = find(loader, "glGetQueryivARB", hg_glGetQueryivARB) && all;
    all = find(loader, "glGetQueryObjectuivARB", hg_glGetQueryObjectuivARB) && all;
    return all;
}

bool loadMultitexture(ProcLoader loader) {
    bool all = find(loader, "glActiveTextureARB", hg_glActiveTextureARB);
    all = find(loader, "glClientActiveTextureARB", hg_glClientActiveTextureARB) && all;
    return all;
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
    return found;
}

}  // namespace hg::gl

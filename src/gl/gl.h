#pragma once
// OpenGL for the whole program: the system's GL 1.1 and GLU headers, the extension names, and the
// few extension functions the renderer calls, found at run time in the current context (GL 1.1 is
// all Windows' opengl32 exports; everything newer comes through the context's own look-up).
//
// The extension functions keep their usual names (glGenBuffersARB, ...): each is a macro for a
// pointer of ours, null until loadExtensions() has run in a context that offers it.

// Windows' GL headers expect three macros from <windows.h>; the portable code does without it.
#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#define HG_GL_DEFINED_APIENTRY
#endif
#if defined(_WIN32) && !defined(WINGDIAPI)
#define WINGDIAPI __declspec(dllimport)
#define HG_GL_DEFINED_WINGDIAPI
#endif
#if defined(_WIN32) && !defined(CALLBACK)
#define CALLBACK __stdcall
#define HG_GL_DEFINED_CALLBACK
#endif

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#ifdef HG_GL_DEFINED_APIENTRY
#undef APIENTRY
#undef HG_GL_DEFINED_APIENTRY
#endif
#ifdef HG_GL_DEFINED_WINGDIAPI
#undef WINGDIAPI
#undef HG_GL_DEFINED_WINGDIAPI
#endif
#ifdef HG_GL_DEFINED_CALLBACK
#undef CALLBACK
#undef HG_GL_DEFINED_CALLBACK
#endif

// Vertex buffer objects (GL_ARB_vertex_buffer_object).
extern PFNGLGENBUFFERSARBPROC hg_glGenBuffersARB;
extern PFNGLBINDBUFFERARBPROC hg_glBindBufferARB;
extern PFNGLBUFFERDATAARBPROC hg_glBufferDataARB;
extern PFNGLDELETEBUFFERSARBPROC hg_glDeleteBuffersARB;
#define glGenBuffersARB hg_glGenBuffersARB
#define glBindBufferARB hg_glBindBufferARB
#define glBufferDataARB hg_glBufferDataARB
#define glDeleteBuffersARB hg_glDeleteBuffersARB

// Occlusion queries (GL_ARB_occlusion_query).
extern PFNGLGENQUERIESARBPROC hg_glGenQueriesARB;
extern PFNGLDELETEQUERIESARBPROC hg_glDeleteQueriesARB;
extern PFNGLBEGINQUERYARBPROC hg_glBeginQueryARB;
extern PFNGLENDQUERYARBPROC hg_glEndQueryARB;
extern PFNGLGETQUERYIVARBPROC hg_glGetQueryivARB;
extern PFNGLGETQUERYOBJECTUIVARBPROC hg_glGetQueryObjectuivARB;
#define glGenQueriesARB hg_glGenQueriesARB
#define glDeleteQueriesARB hg_glDeleteQueriesARB
#define glBeginQueryARB hg_glBeginQueryARB
#define glEndQueryARB hg_glEndQueryARB
#define glGetQueryivARB hg_glGetQueryivARB
#define glGetQueryObjectuivARB hg_glGetQueryObjectuivARB
// A second texture unit (GL_ARB_multitexture).
extern PFNGLACTIVETEXTUREARBPROC hg_glActiveTextureARB;
extern PFNGLCLIENTACTIVETEXTUREARBPROC hg_glClientActiveTextureARB;
#define glActiveTextureARB hg_glActiveTextureARB
#define glClientActiveTextureARB hg_glClientActiveTextureARB
// Fences in the command stream (GL_ARB_sync).
extern PFNGLFENCESYNCPROC hg_glFenceSync;
extern PFNGLCLIENTWAITSYNCPROC hg_glClientWaitSync;
extern PFNGLDELETESYNCPROC hg_glDeleteSync;
#define glFenceSync hg_glFenceSync
#define glClientWaitSync hg_glClientWaitSync
#define glDeleteSync hg_glDeleteSync

namespace hg::gl {

struct Extensions {
    bool listed = false;            // the context answered with its extension list
    bool vertexBuffers = false;     // GL_ARB_vertex_buffer_object and all its functions found
    bool occlusionQueries = false;  // GL_ARB_occlusion_query and all its functions found
    bool multitexture = false;      // GL_ARB_multitexture and both its unit selectors found
    bool fences = false;            // GL_ARB_sync and its fence functions found
    // GL_ATI_texture_env_combine3 beside a texture_env_combine: a unit can make a x c + b of its
    // texture and the colour so far.
    bool modulateAdd = false;
};

// The window system's look-up of a function by name in the current context.
using ProcLoader = void* (*)(const char* name);

// Reads the current context's extension list and fills the function pointers of every extension it
// offers (the others stay null). Call with a context current, again after a new context.
Extensions loadExtensions(ProcLoader loader);

// True when `name` is a whole word of the extension list (not merely the start of a longer name).
bool listsExtension(const char* list, const char* name);

}  // namespace hg::gl

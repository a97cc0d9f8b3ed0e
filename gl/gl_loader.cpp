#include "gl/gl_loader.h"

#include "gl/gl_api.h"

GLApi gl;
GLUApi glu;
WGLApi wgl;

namespace {

struct LoadedLibraries {
    ILibraryLoader* loader = nullptr;
    void* gl = nullptr;
    void* glu = nullptr;
};

LoadedLibraries loaded;

template <typename Pointer>
void Resolve(Pointer& entry, void* address) {
    entry = reinterpret_cast<Pointer>(address);
}

void ResolveAll(ILibraryLoader& loader, void* glLibrary, void* gluLibrary) {
#define TW_RESOLVE_GL(ret, name, params) Resolve(gl.name, loader.Find(glLibrary, "gl" #name));
#define TW_RESOLVE_GLU(ret, name, params) Resolve(glu.name, loader.Find(gluLibrary, "glu" #name));
#define TW_RESOLVE_WGL(ret, name, params) Resolve(wgl.name, loader.Find(glLibrary, "wgl" #name));
    TW_GL_FUNCTIONS(TW_RESOLVE_GL)
    TW_GL12_FUNCTIONS(TW_RESOLVE_GL)
    TW_GLU_FUNCTIONS(TW_RESOLVE_GLU)
    TW_WGL_FUNCTIONS(TW_RESOLVE_WGL)
#undef TW_RESOLVE_GL
#undef TW_RESOLVE_GLU
#undef TW_RESOLVE_WGL
}

}  // namespace

bool LoadOpenGL(ILibraryLoader& loader, const std::string& glName, const std::string& gluName) {
    UnloadOpenGL();
    void* glLibrary = loader.Open(glName);
    void* gluLibrary = loader.Open(gluName);
    if (glLibrary == nullptr || gluLibrary == nullptr) {
        if (glLibrary) loader.Close(glLibrary);
        if (gluLibrary) loader.Close(gluLibrary);
        return false;
    }
    loaded = {&loader, glLibrary, gluLibrary};
    ResolveAll(loader, glLibrary, gluLibrary);
    return true;
}

void UnloadOpenGL() {
    gl = GLApi{};
    glu = GLUApi{};
    wgl = WGLApi{};
    if (loaded.loader) {
        if (loaded.glu) loaded.loader->Close(loaded.glu);
        if (loaded.gl) loaded.loader->Close(loaded.gl);
    }
    loaded = {};
}

bool OpenGLLoaded() { return loaded.gl != nullptr; }

void LoadOpenGLExtensions() {
    if (!loaded.loader) return;
    ILibraryLoader& loader = *loaded.loader;
#define TW_RESOLVE_LATE(ret, name, params) \
    if (!gl.name) Resolve(gl.name, loader.FindExtension("gl" #name));
    TW_GL12_FUNCTIONS(TW_RESOLVE_LATE)
#undef TW_RESOLVE_LATE
}

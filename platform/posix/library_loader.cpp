// Shared libraries on Linux: dlopen and dlsym. libGL.so.1 (glvnd) exports every OpenGL entry
// point and dispatches to whichever context is current, whether GLX or EGL made it.
#include <dlfcn.h>

#include "platform/services.h"

namespace {

class PosixLibraryLoader final : public ILibraryLoader {
public:
    void* Open(const std::string& name) override { return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL); }
    void* Find(void* library, const char* name) override { return dlsym(library, name); }
    void* FindExtension(const char*) override { return nullptr; }
    void Close(void* library) override { dlclose(library); }
};

}  // namespace

ILibraryLoader& SystemLibraryLoader() {
    static PosixLibraryLoader loader;
    return loader;
}

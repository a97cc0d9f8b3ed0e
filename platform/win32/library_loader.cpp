// DLLs on Windows: LoadLibraryW and GetProcAddress; the OpenGL 1.2 entry points come from
// wglGetProcAddress once a context is current, because OpenGL32.DLL exports only 1.1.
#include <windows.h>

#include <cstdint>

#include "gl/gl_api.h"
#include "platform/services.h"
#include "platform/win32/wide_text.h"

namespace {

class Win32LibraryLoader final : public ILibraryLoader {
public:
    void* Open(const std::string& name) override { return reinterpret_cast<void*>(LoadLibraryW(WideText(name).c_str())); }
    void* Find(void* library, const char* name) override {
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
    }
    void* FindExtension(const char* name) override {
        if (!wgl.GetProcAddress || !wgl.GetCurrentContext || !wgl.GetCurrentContext()) return nullptr;
        void* address = wgl.GetProcAddress(name);
        // Some drivers return small integers instead of NULL for unknown names.
        const auto value = reinterpret_cast<std::intptr_t>(address);
        if (value >= -1 && value <= 3) return nullptr;
        return address;
    }
    void Close(void* library) override { FreeLibrary(static_cast<HMODULE>(library)); }
};

}  // namespace

ILibraryLoader& SystemLibraryLoader() {
    static Win32LibraryLoader loader;
    return loader;
}

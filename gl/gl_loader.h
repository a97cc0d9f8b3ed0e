#pragma once
// Run-time loading of the OpenGL and GLU libraries into the tables of gl/gl_api.h.
#include <string>

// Opens shared libraries and finds their exports; the platform layer provides the real one.
class ILibraryLoader {
public:
    virtual ~ILibraryLoader() = default;
    // A handle, or nullptr when the library cannot be loaded.
    virtual void* Open(const std::string& name) = 0;
    // An export of an open library, or nullptr.
    virtual void* Find(void* library, const char* name) = 0;
    // Entry points the library does not export but the current context provides
    // (wglGetProcAddress on Windows); nullptr when there are none.
    virtual void* FindExtension(const char* name) = 0;
    virtual void Close(void* library) = 0;
};

// First unloads whatever is loaded; then loads both libraries and resolves every entry point
// (a name the library does not export stays empty). When either library fails to load, the
// other is released too and the result is false.
bool LoadOpenGL(ILibraryLoader& loader, const std::string& glName, const std::string& gluName);
// Releases both libraries and empties every entry point.
void UnloadOpenGL();
bool OpenGLLoaded();
// Fills the OpenGL 1.2 entry points the library did not export from the current context.
void LoadOpenGLExtensions();

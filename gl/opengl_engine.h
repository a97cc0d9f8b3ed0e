#pragma once
// TOpenGLEngine: ties OpenGL to one device: loads the libraries, sets the pixel format, builds
// the palette, creates and activates the rendering context, presents frames and turns
// OpenGL's error flag into exceptions.
#include <cstdint>
#include <memory>
#include <string>

#include "gl/gl_device.h"
#include "gl/gl_loader.h"

class TOpenGLEngine {
public:
    explicit TOpenGLEngine(ILibraryLoader& loader);
    // Destroy: DestroyRC, then UnloadGLLibrary.
    ~TOpenGLEngine();
    TOpenGLEngine(const TOpenGLEngine&) = delete;
    TOpenGLEngine& operator=(const TOpenGLEngine&) = delete;

    // Requested before Init, actual afterwards.
    bool DoubleBuffered = true;
    std::int32_t DepthBits = 16;
    std::int32_t AccumBits = 0;
    std::int32_t StencilBits = 0;
    std::int32_t ColorBits = 16;
    // Empty: the device's (IGLDevice::Library), as the libraries go with its binding.
    std::string GLLibraryName;
    std::string GLULibraryName;
    bool GenericFormat = false;
    std::int32_t AlphaBits = 0;

    IGLRenderContext* RC() const { return rc_.get(); }
    IGLPalette* Palette() const { return palette_.get(); }
    IGLDevice* DC() const { return dc_; }
    bool Active() const { return active_; }
    bool LibraryLoaded() const { return libraryLoaded_; }

    void ResetDefaults();
    // Releases the current context first when one exists; the device is not owned.
    void SetDC(IGLDevice* dc);
    bool Init();
    bool LoadGLLibrary();
    bool CreateRC();
    void MakeCurrent();
    void Activate();
    void ReleaseCurrent();
    void Deactivate();
    void DeleteRC();
    void DeletePalette();
    void DestroyRC();
    void CheckError();
    void Swap(IGLDevice* dc);
    void UnloadGLLibrary();

private:
    ILibraryLoader& loader_;
    std::unique_ptr<IGLRenderContext> rc_;
    std::unique_ptr<IGLPalette> palette_;
    IGLDevice* dc_ = nullptr;
    bool active_ = false;
    bool libraryLoaded_ = false;
};

// One glGetError; raises "OpenGL error: ..." with the fixed text of any pending code.
void CheckGLError();
// The message CheckGLError raises for a code (empty for GL_NO_ERROR).
const char* GLErrorText(unsigned int code);

// Free procedures over common capabilities.
void DisableFog();
void EnableBlending();
void DisableBlending();
void EnableCulling();
void EnableDepthTest();
void DisableDepthTest();
void EnableLighting();
void DisableLighting();
void EnableTexturing();
void DisableTexturing();
void DisableStencil();
void SetAmbientLight(float r, float g, float b);

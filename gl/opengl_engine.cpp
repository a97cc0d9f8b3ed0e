#include "gl/opengl_engine.h"

#include "app/exception.h"
#include "gl/fpu.h"
#include "gl/gl_api.h"

TOpenGLEngine::TOpenGLEngine(ILibraryLoader& loader) : loader_(loader) { ResetDefaults(); }

TOpenGLEngine::~TOpenGLEngine() {
    DestroyRC();
    UnloadGLLibrary();
}

void TOpenGLEngine::ResetDefaults() {
    GenericFormat = false;
    DoubleBuffered = true;
    active_ = false;
    ColorBits = 16;
    DepthBits = 16;
    StencilBits = 0;
    AlphaBits = 0;
    AccumBits = 0;
}

void TOpenGLEngine::SetDC(IGLDevice* dc) {
    if (rc_ && !rc_->ReleaseCurrent()) throw Exception(rc_->LastErrorText());
    dc_ = dc;
}

bool TOpenGLEngine::Init() {
    if (dc_ == nullptr) throw Exception("Init OpenGL failed: DC is not assigned!");
    LoadGLLibrary();
    CreateRC();
    active_ = true;
    return true;
}

bool TOpenGLEngine::LoadGLLibrary() {
    if (!libraryLoaded_) {
        TGLLibrary library = dc_ ? dc_->Library() : TGLLibrary{};
        if (!GLLibraryName.empty()) library.GL = GLLibraryName;
        if (!GLULibraryName.empty()) library.GLU = GLULibraryName;
        libraryLoaded_ = LoadOpenGL(library.Loader ? *library.Loader : loader_, library.GL, library.GLU);
        MaskFPUExceptions();
        if (!libraryLoaded_) throw Exception("Load library failed: OpenGL DLL is not found!");
    }
    return true;
}

bool TOpenGLEngine::CreateRC() {
    TPixelFormatRequest request;
    request.doubleBuffered = DoubleBuffered;
    request.genericFormat = GenericFormat;
    request.colorBits = ColorBits;
    request.depthBits = DepthBits;
    request.stencilBits = StencilBits;
    request.alphaBits = AlphaBits;
    request.accumBits = AccumBits;
    TPixelFormatDescriptor pfd = BuildPixelFormatDescriptor(request, dc_->ObjectType());

    const int format = dc_->ChoosePixelFormat(pfd);
    if (format == 0) throw Exception("Create RC failed: pixel format is not choosed!");
    if (!dc_->SetPixelFormat(format, pfd)) throw Exception("Create RC failed: pixel format is not set!");
    if (dc_->DescribePixelFormat(format, pfd)) {
        ColorBits = pfd.cColorBits;
        DepthBits = pfd.cDepthBits;
        StencilBits = pfd.cStencilBits;
        AlphaBits = pfd.cAlphaBits;
        AccumBits = pfd.cAccumBits;
        GenericFormat = (pfd.dwFlags & kPfdGenericFormat) != 0;
    }
    if (pfd.dwFlags & kPfdNeedPalette) {
        palette_ = dc_->CreatePalette(BuildPaletteEntries(pfd));
        if (!palette_) throw Exception("Create RC failed: palette is not created!");
        dc_->SelectPalette(*palette_);
    }
    // A context made earlier on this engine is replaced, never leaked.
    if (rc_) DeleteRC();
    rc_ = dc_->CreateContext();
    if (!rc_) throw Exception("Create RC failed: layer context is not created!");
    return true;
}

void TOpenGLEngine::MakeCurrent() {
    if (dc_ && rc_ && rc_->MakeCurrent(*dc_)) LoadOpenGLExtensions();
}

void TOpenGLEngine::Activate() {
    if (active_) MakeCurrent();
}

void TOpenGLEngine::ReleaseCurrent() {
    if (rc_) rc_->ReleaseCurrent();
}

void TOpenGLEngine::Deactivate() {
    if (active_) ReleaseCurrent();
}

void TOpenGLEngine::DeleteRC() {
    if (rc_) {
        ReleaseCurrent();
        rc_.reset();
    }
    DeletePalette();
}

void TOpenGLEngine::DeletePalette() { palette_.reset(); }

void TOpenGLEngine::DestroyRC() {
    DeleteRC();
    active_ = false;
}

void TOpenGLEngine::CheckError() { CheckGLError(); }

void TOpenGLEngine::Swap(IGLDevice* dc) {
    MaskFPUExceptions();
    if (gl.Flush) gl.Flush();
    if (dc) dc->SwapBuffers();
}

void TOpenGLEngine::UnloadGLLibrary() {
    // Only the engine that loaded the libraries releases them.
    if (libraryLoaded_) UnloadOpenGL();
    libraryLoaded_ = false;
}

const char* GLErrorText(unsigned int code) {
    switch (code) {
        case GL_NO_ERROR: return "";
        case GL_INVALID_ENUM: return "OpenGL error: An unacceptable value is specified for an enumerated argument!";
        case GL_INVALID_VALUE: return "OpenGL error: A numeric argument is out of range!";
        case GL_INVALID_OPERATION: return "OpenGL error: The specified operation is not allowed in the current state!";
        case GL_STACK_OVERFLOW: return "OpenGL error: Stack overflow!";
        case GL_STACK_UNDERFLOW: return "OpenGL error: Stack underflow!";
        case GL_OUT_OF_MEMORY: return "OpenGL error: There is not enough memory left to execute the function!";
        default: return "OpenGL error: Undefined error!";
    }
}

void CheckGLError() {
    if (!gl.GetError) return;  // nothing loaded: no context, no error
    const GLenum code = gl.GetError();
    if (code != GL_NO_ERROR) throw Exception(GLErrorText(code));
}

void DisableFog() { gl.Disable(GL_FOG); }
void EnableBlending() { gl.Enable(GL_BLEND); }
void DisableBlending() { gl.Disable(GL_BLEND); }
void EnableCulling() { gl.Enable(GL_CULL_FACE); }
void EnableDepthTest() { gl.Enable(GL_DEPTH_TEST); }
void DisableDepthTest() { gl.Disable(GL_DEPTH_TEST); }
void EnableLighting() { gl.Enable(GL_LIGHTING); }
void DisableLighting() { gl.Disable(GL_LIGHTING); }

void EnableTexturing() {
    gl.Enable(GL_TEXTURE_1D);
    gl.Enable(GL_TEXTURE_2D);
}

void DisableTexturing() {
    gl.Disable(GL_TEXTURE_1D);
    gl.Disable(GL_TEXTURE_2D);
}

void DisableStencil() { gl.Disable(GL_STENCIL_TEST); }

void SetAmbientLight(float r, float g, float b) {
    const GLfloat ambient[4] = {r, g, b, 1.0f};
    gl.LightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
}

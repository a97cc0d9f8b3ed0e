#pragma once
// EGL configs as the engine's pixel formats, for the EGL devices (headless pbuffers, Wayland
// windows): a request turned into a list of configs, best first, and a config described as a
// pixel format. Inline: the two devices live in different libraries.
#include <EGL/egl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gl/pixel_format.h"

inline EGLint EglConfigAttribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

// The configs of surfaceType (EGL_WINDOW_BIT, EGL_PBUFFER_BIT) for desktop OpenGL that meet the
// request; empty when none does. The colour bits are a minimum spread over red, green and blue,
// as a driver would. A desktop's true-colour format comes first (EGL lists deep colour, 10 bits a
// channel, first); with alphaOnlyAsked (a window the compositor blends by its alpha), without
// alpha when none was asked for.
inline std::vector<EGLConfig> ChooseEglConfigs(EGLDisplay display, EGLint surfaceType,
                                               const TPixelFormatDescriptor& request, bool alphaOnlyAsked) {
    const EGLint perChannel = request.cColorBits >= 24 ? 8 : request.cColorBits >= 15 ? 5 : 1;
    const EGLint attributes[] = {EGL_SURFACE_TYPE, surfaceType, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE, perChannel, EGL_GREEN_SIZE, perChannel, EGL_BLUE_SIZE, perChannel,
                                 EGL_ALPHA_SIZE, request.cAlphaBits, EGL_DEPTH_SIZE, request.cDepthBits,
                                 EGL_STENCIL_SIZE, request.cStencilBits, EGL_NONE};
    EGLint found = 0;
    EGLConfig configs[64];
    if (!eglChooseConfig(display, attributes, configs, 64, &found) || found <= 0) return {};
    std::vector<EGLConfig> list(configs, configs + found);
    if (alphaOnlyAsked) {
        std::stable_partition(list.begin(), list.end(), [&](EGLConfig config) {
            return request.cAlphaBits > 0 || EglConfigAttribute(display, config, EGL_ALPHA_SIZE) == 0;
        });
    }
    std::stable_partition(list.begin(), list.end(),
                          [&](EGLConfig config) { return EglConfigAttribute(display, config, EGL_RED_SIZE) <= 8; });
    return list;
}

// The config as a pixel format with the given flags besides; "no hardware acceleration"
// (kPfdGenericFormat) when a context on it renders in software (llvmpipe), which only a context
// can tell.
inline TPixelFormatDescriptor DescribeEglConfig(EGLDisplay display, EGLConfig config, std::uint32_t flags) {
    TPixelFormatDescriptor d{};
    d.nSize = sizeof d;
    d.nVersion = 1;
    d.dwFlags = flags;
    d.iPixelType = kPfdTypeRgba;
    d.cRedBits = static_cast<std::uint8_t>(EglConfigAttribute(display, config, EGL_RED_SIZE));
    d.cGreenBits = static_cast<std::uint8_t>(EglConfigAttribute(display, config, EGL_GREEN_SIZE));
    d.cBlueBits = static_cast<std::uint8_t>(EglConfigAttribute(display, config, EGL_BLUE_SIZE));
    d.cAlphaBits = static_cast<std::uint8_t>(EglConfigAttribute(display, config, EGL_ALPHA_SIZE));
    d.cBlueShift = 0;
    d.cGreenShift = d.cBlueBits;
    d.cRedShift = static_cast<std::uint8_t>(d.cBlueBits + d.cGreenBits);
    d.cAlphaShift = static_cast<std::uint8_t>(d.cRedShift + d.cRedBits);
    d.cColorBits = static_cast<std::uint8_t>(EglConfigAttribute(display, config, EGL_BUFFER_SIZE));
    d.cDepthBits = static_cast<std::uint8_t>(EglConfigAttribute(display, config, EGL_DEPTH_SIZE));
    d.cStencilBits = static_cast<std::uint8_t>(EglConfigAttribute(display, config, EGL_STENCIL_SIZE));
    if (eglBindAPI(EGL_OPENGL_API)) {
        EGLContext previous = eglGetCurrentContext();
        EGLSurface draw = eglGetCurrentSurface(EGL_DRAW), read = eglGetCurrentSurface(EGL_READ);
        EGLContext probe = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
        if (probe != EGL_NO_CONTEXT) {
            if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, probe) && CurrentRendererIsSoftware())
                d.dwFlags |= kPfdGenericFormat;
            eglMakeCurrent(display, draw, read, previous);
            eglDestroyContext(display, probe);
        }
    }
    return d;
}

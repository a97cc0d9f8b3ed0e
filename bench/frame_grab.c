/* Preloaded into the saver by the tests, for compositors that no screenshot tool can capture
 * (GNOME's has no screencopy): on every TIDEWELL_FRAME_EVERY-th eglSwapBuffers (default 30)
 * the frame about to be shown is read back and written as a binary PPM, top row first, to the
 * file named by TIDEWELL_FRAME_FILE (through a temporary file beside it, so that a reader never
 * sees half a picture). */
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <GL/gl.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef void (*ReadPixels)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);

static void Write(const char* path, int width, int height, const unsigned char* rgba) {
    char part[4096];
    if (snprintf(part, sizeof part, "%s.part", path) >= (int)sizeof part) return;
    FILE* file = fopen(part, "wb");
    if (!file) return;
    fprintf(file, "P6\n%d %d\n255\n", width, height);
    unsigned char* row = malloc((size_t)width * 3);
    if (!row) {
        fclose(file);
        return;
    }
    // GL's rows go bottom up.
    for (int y = height - 1; y >= 0; --y) {
        const unsigned char* from = rgba + (size_t)y * (size_t)width * 4;
        for (int x = 0; x < width; ++x) memcpy(row + x * 3, from + x * 4, 3);
        fwrite(row, 3, (size_t)width, file);
    }
    free(row);
    if (fclose(file) == 0) rename(part, path);
}

static void Grab(EGLDisplay display, EGLSurface surface) {
    static long swaps;
    const char* path = getenv("TIDEWELL_FRAME_FILE");
    const char* every_text = getenv("TIDEWELL_FRAME_EVERY");
    const long every = every_text && atol(every_text) > 0 ? atol(every_text) : 30;
    if (!path || ++swaps % every != 0) return;
    EGLint width = 0, height = 0;
    if (!eglQuerySurface(display, surface, EGL_WIDTH, &width) || !eglQuerySurface(display, surface, EGL_HEIGHT, &height) ||
        width <= 0 || height <= 0)
        return;
    ReadPixels read = (ReadPixels)eglGetProcAddress("glReadPixels");
    if (!read) return;
    unsigned char* rgba = malloc((size_t)width * (size_t)height * 4);
    if (!rgba) return;
    read(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    Write(path, width, height, rgba);
    free(rgba);
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static EGLBoolean (*real)(EGLDisplay, EGLSurface);
    if (!real) real = (EGLBoolean(*)(EGLDisplay, EGLSurface))dlsym(RTLD_NEXT, "eglSwapBuffers");
    // Before the swap: afterwards the back buffer's content is undefined.
    Grab(display, surface);
    return real(display, surface);
}

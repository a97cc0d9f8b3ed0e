/* Preloaded into the saver by bench/frame_cost.sh: counts the frames that reach the screen.
 * Every glXSwapBuffers or eglSwapBuffers call (the Wayland saver and xscreensaver's hacks draw
 * through EGL) rewrites the file named by TIDEWELL_SWAP_LOG with
 * "<swaps> <seconds of the first swap> <seconds of this swap>" (CLOCK_REALTIME). */
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void Count(void) {
    static long swaps;
    static double first;
    static int fd = -2;
    const double now = Now();
    if (swaps++ == 0) first = now;
    if (fd == -2) {
        const char* path = getenv("TIDEWELL_SWAP_LOG");
        fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
    }
    if (fd < 0) return;
    char line[96];
    const int n = snprintf(line, sizeof line, "%ld %.6f %.6f\n", swaps, first, now);
    if (n > 0) {
        if (pwrite(fd, line, (size_t)n, 0) < 0) return;
        if (ftruncate(fd, n) < 0) return;
    }
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable);
    if (!real) real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    Count();
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static EGLBoolean (*real)(EGLDisplay, EGLSurface);
    if (!real) real = (EGLBoolean(*)(EGLDisplay, EGLSurface))dlsym(RTLD_NEXT, "eglSwapBuffers");
    const EGLBoolean done = real(display, surface);
    Count();
    return done;
}

#pragma once
// Loading the GL driver is the longest step of a start with a software renderer: Mesa's DRI
// driver brings LLVM, and relocating and initialising them takes longer than building the scene.
// PreloadGlxDriver does it on another thread while the scene is built: it sets up GLX on the
// saver's own connection (libX11 1.8 and later lock every connection, so the thread may send
// requests beside the main one), and the saver's first context then finds the driver ready.
struct _XDisplay;

// Does nothing when the display offers no GLX; the saver's own context reports such failures.
void PreloadGlxDriver(_XDisplay* display);

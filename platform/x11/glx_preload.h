#pragma once
// Loading the GL driver is the longest step of a start with a software renderer: Mesa's DRI
// driver brings LLVM, and relocating and initialising them takes longer than building the scene.
// PreloadGlxDriver does it on a connection of its own, so that it can run on another thread while
// the scene is built; the driver stays loaded for the saver's own context.
#include <string>

// displayName: as XOpenDisplay takes it ("" for $DISPLAY). Does nothing when the display cannot
// be opened or offers no GLX; the saver's own context reports such failures.
void PreloadGlxDriver(const std::string& displayName);

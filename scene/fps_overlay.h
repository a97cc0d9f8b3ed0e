#pragma once
// The frame rate in the lower left corner, as xscreensaver's hacks show it with -fps: blocky
// digits drawn as quads, so no font is needed.
#include <cstdint>

// Draws "FPS: <rate>" over the frame in a window of width x height, leaving the GL state the
// scene set as it was.
void DrawFpsOverlay(int width, int height, std::int32_t rate);

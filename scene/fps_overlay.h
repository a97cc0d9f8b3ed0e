#pragma once
// The frame rate in the lower left corner, as xscreensaver's hacks show it with -fps: blocky
// digits drawn as quads, so no font is needed.
#include <cstdint>
#include <string>
#include <vector>

// The lit cells of `text` in a 3 x 5 cell font, as (column, row) pairs from the top left; a
// character has 4 columns with its gap. Characters the font lacks are blanks.
std::vector<std::pair<int, int>> FpsOverlayCells(const std::string& text);

// Draws "FPS: <rate>" over the frame in a window of width x height, leaving the GL state the
// scene set as it was.
void DrawFpsOverlay(int width, int height, std::int32_t rate);

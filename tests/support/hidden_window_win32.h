#pragma once
#include <windows.h>

// A hidden popup window with its own device context, for GL tests: a window's pixel format is
// set only once, so every context gets a window of its own. Throws Exception on failure.
HWND CreateHiddenTestWindow(int width, int height);

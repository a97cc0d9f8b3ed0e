#pragma once
// The window the scene draws into: the full-screen saver window or the dialog's preview.
#include "sim/drawing_window_size.h"

class IGLDevice;

class IDrawingWindow : public TDrawingWindowSize {
public:
    // The window's device for a rendering context (GetDC on Windows, the X window on Linux).
    virtual IGLDevice* AcquireDevice() = 0;
    // Gives a device from AcquireDevice back (ReleaseDC).
    virtual void ReleaseDevice(IGLDevice* device) = 0;
};

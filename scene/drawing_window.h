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
    // At most framesPerSecond buffer swaps a second on its devices, beside any wait for the
    // display (an xscreensaver hack's -delay); 0 takes the limit away. A surface nobody watches
    // (off screen, in tests and tools) may draw as fast as it is asked.
    virtual void LimitFrameRate(double framesPerSecond) { (void)framesPerSecond; }
};

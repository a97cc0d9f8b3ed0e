#pragma once
// The X11 display platform and its pieces, which share the window system's connection.
#include <memory>
#include <string>

#include "platform/display_platform.h"

struct _XDisplay;
class TX11WindowSystem;

// xdg-open through an intermediate child, as GLib does: the opener is nobody's child to wait
// for. False when it could not be started.
bool StartXdgOpen(const std::string& target);
// What the Linux platforms share: the desktop's opener (GTK's once its module runs, else
// xdg-open), and an error written to the standard error stream, then shown in GTK's box where an
// X display is there (on a Wayland session through XWayland), closed by a quit signal.
bool LinuxOpenWithDesktop(const std::string& target);
void LinuxShowErrorMessage(const std::string& text, const std::string& caption);
// Not connected yet (IDisplayPlatform::Connect opens $DISPLAY).
std::unique_ptr<IDisplayPlatform> CreateX11Platform();
// GLX devices on the window, paced as IDisplayPlatform::CreateDrawingWindow says.
std::unique_ptr<IDrawingWindow> CreateX11DrawingWindow(TX11WindowSystem& windows, ISaverWindow& window);
// RandR 1.5 monitors, else Xinerama screens, of the display the connection is to.
std::unique_ptr<IMonitorList> CreateX11MonitorList(_XDisplay* display);

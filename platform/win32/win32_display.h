#pragma once
// The pieces of the Win32 display platform (win32_display.cpp puts them together).
#include <memory>
#include <string>

#include "platform/display_platform.h"

// The saver windows and the message pump.
std::unique_ptr<IWindowSystem> CreateWindowSystem();
std::unique_ptr<ISaverSystem> CreateSaverSystem();
std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver();
// EnumDisplayMonitors.
std::unique_ptr<IMonitorList> CreateMonitorList(IWindowSystem& windows);
// WGL devices on the window's device context.
std::unique_ptr<IDrawingWindow> CreateDrawingWindow(IWindowSystem& windows, ISaverWindow& window);
// The Win32 dialog.
std::unique_ptr<ISettingsView> CreateSettingsView(IWindowSystem& windows);
// ShellExecute "open".
bool OpenWithDesktop(const std::string& target);
// MessageBox with an error icon.
void ShowErrorMessage(const std::string& text, const std::string& caption);

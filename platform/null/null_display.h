#pragma once
#include <memory>

#include "platform/display_platform.h"

// The headless display platform (null_display.cpp); it connects everywhere.
std::unique_ptr<IDisplayPlatform> CreateNullDisplayPlatform();

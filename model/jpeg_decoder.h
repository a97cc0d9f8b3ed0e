#pragma once
// JPEG pictures, decoded from memory with libjpeg into 24-bit bitmaps.
#include "model/bitmap.h"
#include "model/resource_finder.h"

// Raises "JPEG error: " and the decoder's message for data it rejects, and for pictures too
// large to hold (more than 16384 pixels a side or 64 million pixels).
TBitmap DecodeJpeg(TResourceBytes bytes);

#pragma once
// Windows bitmaps: 8-bit paletted and 24-bit uncompressed pictures. Any other well-formed
// bitmap gives an empty bitmap (pfNone); a malformed or cut-short one raises "BMP error: ...".
#include "model/bitmap.h"
#include "model/resource_finder.h"

// A ".bmp" file, beginning with "BM".
TBitmap DecodeBmpFile(TResourceBytes bytes);

// A bitmap as a bitmap resource stores it: the info header, the palette, then the pixels.
TBitmap DecodePackedBitmap(TResourceBytes bytes);

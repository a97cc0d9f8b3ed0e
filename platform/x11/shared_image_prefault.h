#pragma once
// A software GL driver (Mesa's llvmpipe through DRI swrast) draws into an X shared-memory image
// that it makes when a context is first made current on a window. The first frame's
// rasterisation then faults in every page of that image (some 2,000 faults at 1920x1080,
// ~5 ms of the first picture's wait). Making the pages present beforehand, on another thread
// while the first frame is still being issued, takes them off that wait. No byte changes: the
// kernel only populates the pages. Hardware drivers make no such image, and nothing is done.

// Populates every page of the process's writable System V shared-memory mappings; returns how
// many mappings were populated (none without kernel support, before Linux 5.14).
int PopulateSharedImages();

// PNG pictures: saving the back buffer (screenshots, headless renders) and
// reading ARGB pictures (cursors, the image-library packer).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"

// Writes the buffer as a 24-bit PNG through the atomic writer (FileIo.h);
// false with "FILE: cannot save the picture (reason)" in `error`.
bool SavePng(const TBackBuffer& buffer, const std::string& path, std::string& error);
// The same for w x h pixels of 0xAARRGGBB (alpha ignored).
bool SavePngArgb(const uint32_t* argb, int w, int h, const std::string& path, std::string& error);
// The same keeping the alpha (a 32-bit PNG).
bool SavePngWithAlpha(const uint32_t* argb, int w, int h, const std::string& path,
                      std::string& error);

// Reads a PNG as ARGB8888 (0xAARRGGBB), row by row; false with a message in
// `error` for a missing, corrupt or oversized (beyond 8192 x 8192) file.
bool LoadPngArgb(const std::string& path, int& w, int& h, std::vector<uint32_t>& argb,
                 std::string& error);

// A mock-up of the main window (800x600) made from the LoadImg library: sky
// images along a horizon and the lower panel with its images at the places
// suggested in data/art/images.md, for reviewing how the pieces fit.
#pragma once

#include <cstdint>
#include <vector>

#include "ImageLibrary.h"

// ARGB pixels, 800x600, opaque.
std::vector<uint32_t> RenderPreview(const std::vector<LibraryImage>& lib);

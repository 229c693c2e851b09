// Image-library files (".rxf"): a named collection of pictures, each with a
// frame size and a frame count, stored with per-pixel alpha. The format is
// described in docs/image-library.md. This reader/writer knows no SDL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LibraryImage {
  std::string Name;                 // ASCII name, e.g. "StarShine", "M31", "Sun2"
  int FrameWidth = 0;
  int FrameHeight = 0;
  int FrameCount = 0;
  // ARGB8888 (0xAARRGGBB), frames stacked top to bottom:
  // pixel (x, y) of frame f is Pixels[(f * FrameHeight + y) * FrameWidth + x].
  std::vector<uint32_t> Pixels;
  // The pixels as stored, while they are not yet unpacked into Pixels
  // (libraries read with TUnpack::OnFirstUse); empty otherwise.
  std::vector<unsigned char> Packed;
};

// When a library's pixels are unpacked: as it is read, or image by image
// when first needed (UnpackImage). Either way every image's pixel data is
// checked while reading.
enum class TUnpack { Now, OnFirstUse };

// Reads a library; on any fault (missing, short, corrupt, sizes beyond the
// limits) returns false with a message in `error` and leaves `out` with the
// images read intact before the fault.
bool ReadImageLibrary(const std::string& path, std::vector<LibraryImage>& out, std::string& error,
                      TUnpack unpack = TUnpack::Now);
// The one image called `name` of a library (unpacked), the whole file
// checked as ReadImageLibrary checks it; false with a message when the file
// is faulty or has no such image. Only that image's pixels are decoded and
// kept.
bool ReadLibraryImage(const std::string& path, const std::string& name, LibraryImage& out,
                      std::string& error);
// Unpacks an image read with TUnpack::OnFirstUse into its Pixels (its data
// was checked by the reader); nothing for an unpacked image.
void UnpackImage(LibraryImage& image);
// Writes through a temporary file and rename.
bool WriteImageLibrary(const std::string& path, const std::vector<LibraryImage>& images,
                       std::string& error);

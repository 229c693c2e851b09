#include "FormLogo.h"

#include <vector>

#include "ImageLibrary.h"

TFormLogo::TFormLogo(const std::string& resourceLibrary) : library_(resourceLibrary) {}

void TFormLogo::Show() {
  std::vector<LibraryImage> images;
  std::string error;
  ReadImageLibrary(library_, images, error);  // a missing picture leaves an empty panel
  for (const LibraryImage& img : images) {
    if (img.Name == "Logo" && img.FrameCount >= 1) {
      std::vector<uint32_t> first(img.Pixels.begin(),
                                  img.Pixels.begin() + img.FrameWidth * img.FrameHeight);
      window_.Show(first, img.FrameWidth, img.FrameHeight, 5);
      return;
    }
  }
  window_.Show({}, 420, 254, 5);
}

void TFormLogo::Close() { window_.Close(); }

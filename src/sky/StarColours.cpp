#include "StarColours.h"

#include <vector>

#include "FileIo.h"

bool LoadStarColoursFrom(TSkyloom& sky, const std::string& path) {
  for (int k = 1; k <= MaxStars; ++k) sky.StarColour[k] = NoColourIndex;
  std::vector<uint8_t> bytes;
  std::string error;
  // One byte more than the layout shows a file that is too long.
  switch (ReadFilePrefix(path, StarColourFileSize + 1, bytes, &error)) {
    case TReadResult::Missing:
      Report({path, "the star colour table is missing", "stars are drawn white"});
      return false;
    case TReadResult::Unreadable:
      Report({path, "cannot read the star colour table", error});
      return false;
    case TReadResult::Ok:
      break;
  }
  if (bytes.size() != StarColourFileSize)
    Report({path,
            std::string("the star colour table is ") +
                (bytes.size() < StarColourFileSize ? "shorter" : "longer") + " than its " +
                std::to_string(StarColourFileSize) + " bytes",
            bytes.size() < StarColourFileSize ? "the stars past its end are drawn white"
                                              : "the surplus is ignored"});
  const size_t records = std::min(bytes.size(), StarColourFileSize) / 2;
  for (size_t i = 0; i < records; ++i)
    sky.StarColour[static_cast<int>(i) + 1] =
        static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  return bytes.size() == StarColourFileSize;
}

bool WriteStarColours(const TSkyloom& sky, const std::string& path, std::string* error) {
  std::vector<uint8_t> image(StarColourFileSize);
  for (size_t i = 0; i < StarColourFileSize / 2; ++i) {
    const uint16_t v = static_cast<uint16_t>(sky.StarColour[static_cast<int>(i) + 1]);
    image[2 * i] = static_cast<uint8_t>(v & 0xFF);
    image[2 * i + 1] = static_cast<uint8_t>(v >> 8);
  }
  return WriteFileAtomic(path, image, error);
}

int StarTintClass(int16_t bv) {
  if (bv == NoColourIndex) return 1;
  if (bv < 0) return 0;
  if (bv <= 300) return 1;
  if (bv <= 700) return 2;
  if (bv <= 1150) return 3;
  return 4;
}

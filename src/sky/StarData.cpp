#include "StarData.h"

#include <cstdio>
#include <vector>

#include "CatalogFormat.h"
#include "FileIo.h"
#include "StarColours.h"

bool LoadStarDataFrom(TSkyloom& sky, const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string error;
  switch (ReadFilePrefix(path, CatalogFormat::FileSize, bytes, &error)) {
    case TReadResult::Missing:
      std::fprintf(stderr, "skyloom: the star catalogue %s is missing; the sky has no stars\n",
                   path.c_str());
      return false;
    case TReadResult::Unreadable:
      std::fprintf(stderr, "skyloom: cannot read the star catalogue %s: %s; no catalogue loaded\n",
                   path.c_str(), error.c_str());
      return false;
    case TReadResult::Ok:
      break;
  }
  // A short file is read as far as it goes (the rest stays empty), but a
  // damaged or cut-off catalogue is worth a word.
  if (bytes.size() < CatalogFormat::FileSize)
    std::fprintf(stderr,
                 "skyloom: the star catalogue %s is short (%zu of %zu bytes); the tables past "
                 "its end stay empty\n",
                 path.c_str(), bytes.size(), CatalogFormat::FileSize);
  sky.StarCount = CatalogStarCount;
  CatalogFormat::DecodeCatalog(bytes, sky);
  return true;
}

void TSkyloom::LoadStarData() {
  if (LoadStarDataFrom(*this, StarDataFileName)) LoadStarColoursFrom(*this, StarColourFileName);
}

bool WriteStarData(const TSkyloom& sky, const std::string& path, std::string* error) {
  std::vector<uint8_t> image(CatalogFormat::FileSize);
  CatalogFormat::EncodeCatalog(sky, image);
  return WriteFileAtomic(path, image, error);
}

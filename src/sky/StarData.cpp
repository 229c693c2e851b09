#include "StarData.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "CatalogFormat.h"
#include "FileIo.h"
#include "MilkyWay.h"
#include "StarColours.h"

static_assert(StarColourFileSize == 2 * CatalogStarCount, "one colour index per catalogue star");

bool LoadStarDataFrom(TSkyloom& sky, const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string error;
  uint64_t size = 0;
  // One byte more than the layout is read, so that a longer file is seen
  // whatever its size; the size the file claims is taken from the system.
  switch (ReadFilePrefix(path, CatalogFormat::FileSize + 1, bytes, &error, &size)) {
    case TReadResult::Missing:
      ReportFile(path, "missing; the sky has no stars");
      return false;
    case TReadResult::Unreadable:
      ReportFile(path, "cannot be read; no catalogue loaded", error);
      return false;
    case TReadResult::Ok:
      break;
  }
  const std::string expected = std::to_string(CatalogFormat::FileSize) + " bytes expected";
  // A short file is read as far as it goes (the rest stays empty); a longer
  // one is read in its layout and the surplus ignored. Either is damaged.
  if (bytes.size() < CatalogFormat::FileSize)
    ReportFile(path, "shorter than a catalogue; the tables past its end stay empty",
               std::to_string(bytes.size()) + " bytes, " + expected);
  if (bytes.size() > CatalogFormat::FileSize) {
    ReportFile(path, "longer than a catalogue; the bytes past its layout are ignored",
               std::to_string(std::max<uint64_t>(size, bytes.size())) + " bytes, " + expected);
    bytes.resize(CatalogFormat::FileSize);
  }
  sky.StarCount = CatalogStarCount;
  CatalogFormat::DecodeCatalog(bytes, sky);
  return true;
}

void TSkyloom::LoadStarData() {
  if (LoadStarDataFrom(*this, StarDataFileName)) {
    LoadStarColoursFrom(*this, StarColourFileName);
    LoadNameIndexFrom(*this, NameIndexFileName);
    LoadMilkyWayFrom(MilkyWayMap, MilkyWayFileName);
  }
}

void LoadNameIndexFrom(TSkyloom& sky, const std::string& path) {
  constexpr size_t MaxLines = 2000, MaxLine = 256;
  sky.OtherNames.clear();
  std::string text, error;
  if (!IsRegularFile(path)) {
    if (std::filesystem::exists(path)) ReportFile(path, "not a regular file; ignored");
    return;
  }
  if (!ReadTextFile(path, MaxLines * MaxLine, text, &error)) {
    ReportFile(path, "cannot be read; objects are found by their catalogue names", error);
    return;
  }
  size_t bad = 0;
  for (size_t start = 0; start < text.size() && sky.OtherNames.size() < MaxLines;) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const size_t tab = line.find('\t');
    char* stop = nullptr;
    const long id = tab == std::string::npos ? 0 : std::strtol(line.c_str(), &stop, 10);
    if (id < 1 || id > StarIdBase + MaxStars || stop != line.c_str() + tab ||
        tab + 1 >= line.size() || line.size() > MaxLine) {
      ++bad;
      continue;
    }
    sky.OtherNames.push_back({static_cast<int32_t>(id), line.substr(tab + 1)});
  }
  if (bad) ReportFile(path, "has lines that are no \"number<TAB>name\"; they are skipped",
                      std::to_string(bad) + " lines");
}

bool WriteStarData(const TSkyloom& sky, const std::string& path, std::string* error) {
  std::vector<uint8_t> image(CatalogFormat::FileSize);
  CatalogFormat::EncodeCatalog(sky, image);
  return WriteFileAtomic(path, image, error);
}

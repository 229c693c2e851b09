// The compiled interface tables on any bytes: the input is cut into the
// three files "Scene.dat", "Section.dat" and "Active.dat" (by its first two
// bytes); whole records fill consecutive slots, never more than 30, and a
// copy with any field out of range is refused whole.
#include <filesystem>

#include "FileIo.h"
#include "FuzzFiles.h"
#include "Interface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t a = std::min<size_t>(size - 2, data[0] * 64u);
  const size_t b = std::min<size_t>(size - 2 - a, data[1] * 256u);
  const uint8_t* p = data + 2;
  const std::string dir = FuzzFolder() + "/tables";
  std::filesystem::create_directories(dir);
  WriteFileAtomic(dir + "/Scene.dat", std::span<const uint8_t>(p, a));
  WriteFileAtomic(dir + "/Section.dat", std::span<const uint8_t>(p + a, b));
  WriteFileAtomic(dir + "/Active.dat", std::span<const uint8_t>(p + a + b, size - 2 - a - b));
  TInterface ui;
  const bool read = ui.ReadCompiledTables(dir);
  // A copy with a record out of range is refused whole: nothing of it is taken.
  for (int i = 1; i <= MaxRegions; ++i) {
    const TRegion& r = ui.Regions[i];
    if (!read && (r.Command != 0 || r.Width != 0)) __builtin_trap();
    if (r.Interval < 1 || r.Interval > 99) __builtin_trap();
    if (r.X < -9999 || r.X > 99999 || r.Width < -9999 || r.Width > 99999) __builtin_trap();
  }
  // The regions at work: hit tests over the stage and each region's place.
  for (int y = 0; y < 600; y += 97)
    for (int x = 0; x < 800; x += 89) ui.HitTestRegions(x, y);
  for (int i = 1; i <= MaxRegions; ++i) {
    ui.RegionScreenX(i);
    ui.RegionScreenY(i);
  }
  return 0;
}

// The compiled interface tables on any bytes: the input is cut into the
// three files "Scene.dat", "Section.dat" and "Active.dat" (by its first two
// bytes); whole records fill consecutive slots, never more than 30.
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
  ResetInterface();
  if (!ReadCompiledTables(dir)) __builtin_trap();
  for (int i = 1; i <= MaxRegions; ++i)
    if (Regions[i].Interval < 1) __builtin_trap();
  return 0;
}

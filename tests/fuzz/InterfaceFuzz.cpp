// The interface description reader on any bytes in place of
// "资源文件/界面描述2.txt": whatever it reads, every record keeps a repeat
// period of at least one frame, and a faulty file writes no compiled copy.
#include <filesystem>

#include "FuzzFiles.h"
#include "Interface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TInterface ui;
  const std::string path = FuzzInputFile(data, size, "desc.txt");
  const std::string cache = FuzzFolder() + "/cache";
  std::filesystem::remove_all(cache);
  ui.ReadInterfaceDescription(path, cache);
  for (int i = 1; i <= MaxRegions; ++i) {
    if (ui.Regions[i].Interval < 1 || ui.Regions[i].State != 0) __builtin_trap();
  }
  // Whatever was compiled reads back to the same tables.
  if (std::filesystem::exists(cache + "/Active.dat")) {
    TRegion before[MaxRegions + 1];
    for (int i = 1; i <= MaxRegions; ++i) before[i] = ui.Regions[i];
    if (!ui.ReadCompiledTables(cache)) __builtin_trap();
    for (int i = 1; i <= MaxRegions; ++i)
      if (ui.Regions[i].Command != before[i].Command || ui.Regions[i].Image.str() != before[i].Image.str())
        __builtin_trap();
  }
  return 0;
}

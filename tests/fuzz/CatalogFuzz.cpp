// The star catalogue reader on any bytes in place of "StarData.dat".
#include <memory>

#include "FuzzFiles.h"
#include "StarData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto sky = std::make_unique<TSkyloom>();
  const std::string path = FuzzInputFile(data, size, "StarData.dat");
  LoadStarDataFrom(*sky, path);
  return 0;
}

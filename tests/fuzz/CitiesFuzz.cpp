// The city table reader on any bytes in place of "CityInfo.dat".
#include <memory>

#include "CityTable.h"
#include "FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzInputFile(data, size, "CityInfo.dat");
  const auto table = std::make_unique<TCityTable>();
  const int n = table->Load(path);
  if (n < 0 || n > MaxCities || static_cast<size_t>(n) * CityRecordSize > size) __builtin_trap();
  return 0;
}

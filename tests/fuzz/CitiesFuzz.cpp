// The city table reader on any bytes in place of "CityInfo.dat".
#include "CityTable.h"
#include "FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzInputFile(data, size, "CityInfo.dat");
  const int n = LoadCityTable(path);
  if (n < 0 || n > MaxCities || static_cast<size_t>(n) * CityRecordSize > size) __builtin_trap();
  return 0;
}

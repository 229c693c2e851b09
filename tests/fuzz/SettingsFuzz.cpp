// The settings reader on any bytes in place of the settings file: the load
// (with its repair) and the place read both run over it.
#include <memory>

#include "FuzzFiles.h"
#include "Settings.h"
#include "SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto sky = std::make_unique<TSkyloom>();
  FuzzInputFile(data, size, SettingsFileName);
  LoadSettingsFrom(*sky, FuzzFolder());
  FuzzInputFile(data, size, SettingsFileName);
  double lat = 0, lon = 0;
  int zone = 0, city = 0;
  ReadSavedPlaceFrom(*sky, FuzzFolder(), lat, lon, zone, city);
  return 0;
}

// The name tables on any text given as a name: the star, object and city
// names a show source and --goto look up, and the names written back.
#include <string>

#include "CityTable.h"
#include "ShowSource.h"
#include "SkyModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TShowCatalog* catalog = [] {
    auto* c = new TShowCatalog;
    std::string error;
    if (!c->Open(SKYLOOM_RUNTIME_DIR, error)) __builtin_trap();
    return c;
  }();
  const std::string name(reinterpret_cast<const char*>(data), size);
  const int object = catalog->FindObject(name);
  const int star = catalog->FindStar(name);
  const int city = catalog->FindCity(name);
  if (object < 0 || object > MaxObjectId) __builtin_trap();
  if (star < 0 || star > catalog->Model().StarCount) __builtin_trap();
  if (city < -1 || city > catalog->Model().CityTable.CityCount) __builtin_trap();
  // A name written for a number finds that number again.
  if (object > 0) {
    const std::string written = catalog->ObjectName(object);
    if (!written.empty() && catalog->FindObject(written) != object) __builtin_trap();
  }
  if (star > 0) {
    const std::string written = catalog->StarName(star);
    if (!written.empty() && catalog->FindStar(written) != star) __builtin_trap();
  }
  if (city > 0) {
    const std::string written = catalog->CityName(city);
    if (!written.empty() && catalog->FindCity(written) != city) __builtin_trap();
  }
  return 0;
}

#include "FirstRun.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "Angles.h"
#include "CityTable.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "SkyModel.h"

namespace {
}

bool HasSavedSettings() {
  TSettingsKey key;
  const bool found = key.Open(SettingsFolder(), SettingsKeyName, false);
  if (found) key.Close();
  return found;
}

int SystemZoneHours() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return std::clamp(static_cast<int>(std::lround(tm.tm_gmtoff / 3600.0)), -12, 14);
}

void ApplyFirstRunDefaults(TSkyloom& sky, int zone) {
  sky.TimeZone = zone;
  sky.Latitude = 40 * Deg;
  sky.Longitude = zone * 15 * Deg;
  sky.City = 0;
  if (CityCount == 0) LoadCityTable(CityFileName);
  for (int i = 1; i <= CityCount; ++i) {
    if (Cities[i].TimeZone != zone) continue;
    sky.Latitude = Cities[i].Latitude;
    sky.Longitude = Cities[i].Longitude;
    sky.City = i;
    break;
  }
  sky.Mode1 = SkyBits::ConstNames | SkyBits::StarNames | SkyBits::PlanetNames;
  sky.Mode2 = SkyBits::ConstLines;
}

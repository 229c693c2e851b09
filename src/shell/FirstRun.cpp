#include "FirstRun.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "Angles.h"
#include "CityTable.h"
#include "FileIo.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "SkyModel.h"
#include "SolarSystem.h"
#include "TimeScales.h"
#include "Transforms.h"

namespace {

std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  size_t b = 0;
  while (b < s.size() && s[b] == ' ') ++b;
  return s.substr(b);
}

// "+513030" / "-0000731": degrees, minutes and perhaps seconds -> radians.
bool Sexagesimal(const std::string& text, size_t degreeDigits, double& out) {
  if (text.size() != 1 + degreeDigits + 2 && text.size() != 1 + degreeDigits + 4) return false;
  if (text[0] != '+' && text[0] != '-') return false;
  for (size_t i = 1; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  const double d = std::stod(text.substr(1, degreeDigits));
  const double m = std::stod(text.substr(1 + degreeDigits, 2));
  const double s = text.size() > 1 + degreeDigits + 2 ? std::stod(text.substr(3 + degreeDigits)) : 0;
  out = (d + m / 60 + s / 3600) * Deg * (text[0] == '-' ? -1 : 1);
  return true;
}

// The principal place of `zone` in the zone table (latitude and longitude,
// radians); false when the zone is not listed.
bool ZonePlace(const std::string& table, const std::string& zone, double& lat, double& lon) {
  std::string text;
  if (zone.empty() || !ReadTextFile(table, 1 << 20, text)) return false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    const size_t t1 = line.find('\t');
    const size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
    if (t2 == std::string::npos) continue;
    const size_t t3 = line.find('\t', t2 + 1);
    if (line.substr(t2 + 1, t3 == std::string::npos ? std::string::npos : t3 - t2 - 1) != zone)
      continue;
    const std::string place = line.substr(t1 + 1, t2 - t1 - 1);
    const size_t split = place.find_first_of("+-", 1);
    if (split == std::string::npos) return false;
    const std::string a = place.substr(0, split), b = place.substr(split);
    return Sexagesimal(a, 2, lat) && Sexagesimal(b, 3, lon);
  }
  return false;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Angle between two places on the globe (radians).
double Separation(double lat1, double lon1, double lat2, double lon2) {
  const double c = std::sin(lat1) * std::sin(lat2) + std::cos(lat1) * std::cos(lat2) * std::cos(lon1 - lon2);
  return std::acos(std::clamp(c, -1.0, 1.0));
}

}  // namespace

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

std::string SystemZoneName(const std::string& root) {
  if (const char* tz = std::getenv("TZ"); tz && *tz) {
    std::string name = tz[0] == ':' ? tz + 1 : tz;
    const size_t at = name.find("zoneinfo/");
    if (at != std::string::npos) name = name.substr(at + 9);
    // A rule such as "CST-8" names no place.
    return name.find('/') != std::string::npos || name == "UTC" ? name : "";
  }
  std::string text;
  if (ReadTextFile(root + "/etc/timezone", 256, text)) {
    text = Trimmed(text);
    if (!text.empty()) return text;
  }
  char link[512];
  const ssize_t n = readlink((root + "/etc/localtime").c_str(), link, sizeof link - 1);
  if (n > 0) {
    const std::string target(link, static_cast<size_t>(n));
    const size_t at = target.find("zoneinfo/");
    if (at != std::string::npos) return target.substr(at + 9);
  }
  return "";
}

int CityOfZone(const TCityTable& cities, const std::string& zoneName,
               const std::string& zoneTable) {
  double lat = 0, lon = 0;
  if (cities.CityCount == 0 || !ZonePlace(zoneTable, zoneName, lat, lon)) return 0;
  // The zone's own place name: "America/New_York" -> "new york".
  std::string place = zoneName.substr(zoneName.rfind('/') + 1);
  std::replace(place.begin(), place.end(), '_', ' ');
  place = Lower(place);
  int nearest = 0;
  double best = 0;
  for (int i = 1; i <= cities.CityCount; ++i) {
    const TCityInfo& c = cities.Cities[i];
    const std::string english = Lower(c.English.str());
    const double d = Separation(lat, lon, c.Latitude, c.Longitude);
    // A city of the zone's name counts when it lies near the zone's place.
    if ((english == place || english.rfind(place + " ", 0) == 0) && d < 5 * Deg) return i;
    if (nearest == 0 || d < best) {
      nearest = i;
      best = d;
    }
  }
  return nearest;
}

void ApplyFirstRunDefaults(TSkyloom& sky, int zone, const std::string& zoneName,
                           const std::string& zoneTable) {
  sky.TimeZone = zone;
  sky.Latitude = 40 * Deg;
  sky.Longitude = zone * 15 * Deg;
  sky.City = 0;
  TCityTable& cities = sky.CityTable;
  if (cities.CityCount == 0) cities.Load(CityFileName);
  int city = CityOfZone(cities, zoneName, zoneTable);
  for (int i = 1; i <= cities.CityCount && !city; ++i)
    if (cities.Cities[i].TimeZone == zone) city = i;
  if (city) {
    sky.Latitude = cities.Cities[city].Latitude;
    sky.Longitude = cities.Cities[city].Longitude;
    sky.City = city;
  }
  sky.Mode1 = SkyBits::ConstNames | SkyBits::StarNames | SkyBits::PlanetNames;
  sky.Mode2 = SkyBits::ConstLines;
  sky.NamesOn = 1;
  sky.LinesOn = 1;
  sky.DeriveShowFlags();
}

bool StartAtNightfall(TSkyloom& sky) {
  const long double day = DayCountOf(sky.Year, sky.Month, sky.Day, sky.Hour, sky.Minute, sky.TimeZone);
  SolarSystemUpdate(sky.BodyTable, day);
  const TBodyState& sun = sky.BodyTable.Body(BodySun);
  const double theta = static_cast<double>(SkyRotationAngle(day, sky.Longitude));
  const TVector3 h = HorizontalDirection(static_cast<double>(sun.Lon), static_cast<double>(sun.Lat),
                                         theta, sky.Latitude);
  if (h.Z <= std::sin(-6 * Deg)) return false;
  sky.Hour = 21;
  sky.Minute = 0;
  sky.Second = 0;
  return true;
}

#include "Settings.h"

#include <array>
#include <cstdio>

#include "LittleEndian.h"
#include "SettingsStore.h"

namespace {

// A stored value outside the range a place can have counts as damaged, like
// a value of the wrong type: the key is then repaired from the model.
bool OutOfRange(const char* name, double v, double lo, double hi) {
  if (v >= lo && v <= hi) return false;
  std::fprintf(stderr,
               "skyloom: the stored setting \"%s\" (%.10g) is out of range; the settings are "
               "rewritten from the current ones\n",
               name, v);
  return true;
}

// Angles in radians: latitudes up to a quarter turn (with a little slack for
// rounding of 90 degrees), longitudes up to a full turn either way.
constexpr double QuarterTurn = 1.5707963267948966 + 1e-9;
constexpr double FullTurn = 6.283185307179586 + 1e-9;

bool ReadDouble(const TSettingsKey& key, const char* name, double& out, double lo, double hi) {
  std::array<uint8_t, 8> raw{};
  if (!key.ReadBinary(name, raw.data(), raw.size())) return false;
  const double v = LittleEndian::GetDouble(raw, 0);  // a stored NaN or infinity reads as 0
  if (OutOfRange(name, v, lo, hi)) return false;
  out = v;
  return true;
}

// Whole-hour zones, -12 to +14 (the easternmost zone in use).
bool ReadZone(const TSettingsKey& key, int32_t& out) {
  int32_t v = 0;
  if (!key.ReadInteger("TimeZone", v)) return false;
  if (OutOfRange("TimeZone", v, -12, 14)) return false;
  out = v;
  return true;
}

void WriteDouble(TSettingsKey& key, const char* name, double value) {
  std::array<uint8_t, 8> raw{};
  LittleEndian::PutDouble(raw, 0, value);
  key.WriteBinary(name, raw.data(), raw.size());
}

bool ReadInt(const TSettingsKey& key, const char* name, int32_t& out) {
  int32_t v = 0;
  if (!key.ReadInteger(name, v)) return false;
  out = v;
  return true;
}

// The stored 32-bit integer sign-extended to the 64-bit set.
bool ReadMode(const TSettingsKey& key, const char* name, uint64_t& out) {
  int32_t v = 0;
  if (!key.ReadInteger(name, v)) return false;
  out = static_cast<uint64_t>(static_cast<int64_t>(v));
  return true;
}

// The two drawing options: a missing value (a file of an older version)
// keeps the model's value; a damaged one is reported and keeps it too.
void ReadDrawOption(const TSettingsKey& key, const char* name, uint8_t& out) {
  int32_t v = 0;
  if (!key.ReadInteger(name, v)) return;
  if (v != 0 && v != 1) {
    std::fprintf(stderr, "skyloom: the stored setting \"%s\" (%d) is neither 0 nor 1; it stays %d\n",
                 name, v, out);
    return;
  }
  out = static_cast<uint8_t>(v);
}

}  // namespace

bool SaveSettingsTo(const TSkyloom& sky, const std::string& folder) {
  TSettingsKey key;
  if (!key.Open(folder, SettingsKeyName, true)) {
    std::fprintf(stderr,
                 "skyloom: no folder for the settings (neither XDG_CONFIG_HOME nor HOME is set)\n");
    return false;
  }
  WriteDouble(key, "Latitude", sky.Latitude);
  WriteDouble(key, "Longitude", sky.Longitude);
  key.WriteInteger("TimeZone", sky.TimeZone);
  key.WriteInteger("Mode1", static_cast<int32_t>(static_cast<uint32_t>(sky.Mode1)));
  key.WriteInteger("Mode2", static_cast<int32_t>(static_cast<uint32_t>(sky.Mode2)));
  key.WriteInteger("Mode3", static_cast<int32_t>(static_cast<uint32_t>(sky.Mode3)));
  key.WriteInteger("Mode4", static_cast<int32_t>(static_cast<uint32_t>(sky.Mode4)));
  key.WriteInteger("City", sky.City);
  key.WriteInteger("LabelPlacement", sky.LabelPlacement);
  key.WriteInteger("RealisticSky", sky.RealisticSky);
  std::string error;
  if (!key.Close(&error)) {
    std::fprintf(stderr, "skyloom: cannot save the settings: %s\n", error.c_str());
    return false;
  }
  return true;
}

void LoadSettingsFrom(TSkyloom& sky, const std::string& folder) {
  TSettingsKey key;
  if (!key.Open(folder, SettingsKeyName, false)) return;
  const bool complete = ReadDouble(key, "Latitude", sky.Latitude, -QuarterTurn, QuarterTurn) &&
                        ReadDouble(key, "Longitude", sky.Longitude, -FullTurn, FullTurn) &&
                        ReadZone(key, sky.TimeZone) &&
                        ReadMode(key, "Mode1", sky.Mode1) && ReadMode(key, "Mode2", sky.Mode2) &&
                        ReadMode(key, "Mode3", sky.Mode3) && ReadMode(key, "Mode4", sky.Mode4) &&
                        ReadInt(key, "City", sky.City);
  ReadDrawOption(key, "LabelPlacement", sky.LabelPlacement);
  ReadDrawOption(key, "RealisticSky", sky.RealisticSky);
  key.Close();
  if (!complete) SaveSettingsTo(sky, folder);
}

void ReadSavedPlaceFrom(const TSkyloom& sky, const std::string& folder, double& lat, double& lon,
                        int& zone, int& city) {
  TSettingsKey key;
  if (!key.Open(folder, SettingsKeyName, false)) return;
  const bool complete = ReadDouble(key, "Latitude", lat, -QuarterTurn, QuarterTurn) &&
                        ReadDouble(key, "Longitude", lon, -FullTurn, FullTurn) &&
                        ReadZone(key, zone) && ReadInt(key, "City", city);
  key.Close();
  if (!complete) SaveSettingsTo(sky, folder);
}

void TSkyloom::LoadSettings() { LoadSettingsFrom(*this, SettingsFolder()); }
void TSkyloom::SaveSettings() { SaveSettingsTo(*this, SettingsFolder()); }
void TSkyloom::ReadSavedPlace(double& lat, double& lon, int& zone, int& city) {
  ReadSavedPlaceFrom(*this, SettingsFolder(), lat, lon, zone, city);
}

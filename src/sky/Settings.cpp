#include "Settings.h"

#include <array>
#include <cstdio>

#include "LittleEndian.h"
#include "SettingsStore.h"

namespace {

bool ReadDouble(const TSettingsKey& key, const char* name, double& out) {
  std::array<uint8_t, 8> raw{};
  if (!key.ReadBinary(name, raw.data(), raw.size())) return false;
  out = LittleEndian::GetDouble(raw, 0);  // a stored NaN or infinity reads as 0
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
  const bool complete = ReadDouble(key, "Latitude", sky.Latitude) &&
                        ReadDouble(key, "Longitude", sky.Longitude) &&
                        ReadInt(key, "TimeZone", sky.TimeZone) &&
                        ReadMode(key, "Mode1", sky.Mode1) && ReadMode(key, "Mode2", sky.Mode2) &&
                        ReadMode(key, "Mode3", sky.Mode3) && ReadMode(key, "Mode4", sky.Mode4) &&
                        ReadInt(key, "City", sky.City);
  key.Close();
  if (!complete) SaveSettingsTo(sky, folder);
}

void ReadSavedPlaceFrom(const TSkyloom& sky, const std::string& folder, double& lat, double& lon,
                        int& zone, int& city) {
  TSettingsKey key;
  if (!key.Open(folder, SettingsKeyName, false)) return;
  const bool complete = ReadDouble(key, "Latitude", lat) && ReadDouble(key, "Longitude", lon) &&
                        ReadInt(key, "TimeZone", zone) && ReadInt(key, "City", city);
  key.Close();
  if (!complete) SaveSettingsTo(sky, folder);
}

void TSkyloom::LoadSettings() { LoadSettingsFrom(*this, SettingsFolder()); }
void TSkyloom::SaveSettings() { SaveSettingsTo(*this, SettingsFolder()); }
void TSkyloom::ReadSavedPlace(double& lat, double& lon, int& zone, int& city) {
  ReadSavedPlaceFrom(*this, SettingsFolder(), lat, lon, zone, city);
}

#include "Settings.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "FileIo.h"
#include "LittleEndian.h"
#include "SettingsStore.h"

namespace {

// Angles in radians: latitudes up to a quarter turn (with a little slack for
// rounding of 90 degrees), longitudes up to a full turn either way.
constexpr double QuarterTurn = 1.5707963267948966 + 1e-9;
constexpr double FullTurn = 6.283185307179586 + 1e-9;

// The values of one reading that could not be taken, each with its reason.
struct TBadValues {
  std::vector<std::pair<std::string, std::string>> List;
  void Add(const char* name, const std::string& why) { List.emplace_back(name, why); }
  bool Empty() const { return List.empty(); }
};

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// A stored value outside the range a place can have counts as damaged, like
// a value of the wrong type.
void ReadDouble(const TSettingsKey& key, const char* name, double& out, double lo, double hi,
                TBadValues& bad) {
  std::array<uint8_t, 8> raw{};
  std::string why;
  if (!key.ReadBinary(name, raw.data(), raw.size(), &why)) return bad.Add(name, why);
  const double v = LittleEndian::GetRawDouble(raw, 0);
  if (!std::isfinite(v)) return bad.Add(name, Number(v) + ", not a number of radians");
  if (!(v >= lo && v <= hi)) return bad.Add(name, Number(v) + " radians, out of range");
  out = v;
}

// The field of view, degrees: a missing value (a file of an older version)
// keeps the model's field silently; a damaged or out-of-range one is
// repaired as the place values are.
void ReadField(const TSettingsKey& key, double& out, TBadValues& bad) {
  std::array<uint8_t, 8> raw{};
  std::string why;
  if (!key.ReadBinary("FieldOfView", raw.data(), raw.size(), &why)) {
    if (why != "missing") bad.Add("FieldOfView", why);
    return;
  }
  const double v = LittleEndian::GetRawDouble(raw, 0);
  if (!std::isfinite(v)) return bad.Add("FieldOfView", Number(v) + ", not a number of degrees");
  if (!(v >= MinFieldOfView && v <= MaxFieldOfView))
    return bad.Add("FieldOfView", Number(v) + " degrees, outside 5..180");
  out = v;
}

// The interface scale asked for: 0 (automatic) or 1..3; missing keeps the
// model's.
void ReadInterfaceScale(const TSettingsKey& key, double& out, TBadValues& bad) {
  std::array<uint8_t, 8> raw{};
  std::string why;
  if (!key.ReadBinary("InterfaceScale", raw.data(), raw.size(), &why)) {
    if (why != "missing") bad.Add("InterfaceScale", why);
    return;
  }
  const double v = LittleEndian::GetRawDouble(raw, 0);
  if (!(v == 0 || (v >= 1 && v <= 3)))
    return bad.Add("InterfaceScale", Number(v) + ", neither 0 (automatic) nor 1..3");
  out = v;
}

// Whole-hour zones, MinTimeZone..MaxTimeZone.
void ReadZone(const TSettingsKey& key, int32_t& out, TBadValues& bad) {
  int32_t v = 0;
  std::string why;
  if (!key.ReadInteger("TimeZone", v, &why)) return bad.Add("TimeZone", why);
  if (v < MinTimeZone || v > MaxTimeZone)
    return bad.Add("TimeZone", std::to_string(v) + ", outside " + std::to_string(MinTimeZone) +
                                   ".." + std::to_string(MaxTimeZone));
  out = v;
}

void ReadInt(const TSettingsKey& key, const char* name, int32_t& out, TBadValues& bad) {
  int32_t v = 0;
  std::string why;
  if (!key.ReadInteger(name, v, &why)) return bad.Add(name, why);
  out = v;
}

// The stored 32-bit integer sign-extended to the 64-bit set.
void ReadMode(const TSettingsKey& key, const char* name, uint64_t& out, TBadValues& bad) {
  int32_t v = 0;
  std::string why;
  if (!key.ReadInteger(name, v, &why)) return bad.Add(name, why);
  out = static_cast<uint64_t>(static_cast<int64_t>(v));
}

void WriteDouble(TSettingsKey& key, const char* name, double value) {
  std::array<uint8_t, 8> raw{};
  LittleEndian::PutDouble(raw, 0, value);
  key.WriteBinary(name, raw.data(), raw.size());
}

// Writes the value `name` from the model.
void WriteValue(TSettingsKey& key, const TSkyloom& sky, const std::string& name) {
  auto low32 = [](uint64_t set) { return static_cast<int32_t>(static_cast<uint32_t>(set)); };
  if (name == "Latitude") WriteDouble(key, "Latitude", sky.Latitude);
  else if (name == "Longitude") WriteDouble(key, "Longitude", sky.Longitude);
  else if (name == "TimeZone") key.WriteInteger("TimeZone", sky.TimeZone);
  else if (name == "Mode1") key.WriteInteger("Mode1", low32(sky.Mode1));
  else if (name == "Mode2") key.WriteInteger("Mode2", low32(sky.Mode2));
  else if (name == "Mode3") key.WriteInteger("Mode3", low32(sky.Mode3));
  else if (name == "Mode4") key.WriteInteger("Mode4", low32(sky.Mode4));
  else if (name == "City") key.WriteInteger("City", sky.City);
  else if (name == "LabelPlacement") key.WriteInteger("LabelPlacement", sky.LabelPlacement);
  else if (name == "RealisticSky") key.WriteInteger("RealisticSky", sky.RealisticSky);
  else if (name == "Refraction") key.WriteInteger("Refraction", sky.Refraction);
  else if (name == "FieldOfView") WriteDouble(key, "FieldOfView", sky.FieldOfView);
  else if (name == "MilkyWay") key.WriteInteger("MilkyWay", sky.MilkyWay);
  else if (name == "InterfaceScale") WriteDouble(key, "InterfaceScale", sky.InterfaceScale);
}

// Says which values were not taken, one line each, and rewrites just those
// from the model; every other value and key of the file stays as it is. An
// unattended run says so and leaves the file alone.
void Repair(const TSkyloom& sky, const std::string& folder, const TBadValues& bad) {
  if (bad.Empty()) return;
  const std::string path = folder + "/" + SettingsFileName;
  const char* what = sky.SettingsReadOnly
                         ? "\" not taken; the current setting is used (the file is not "
                           "changed by an unattended run)"
                         : "\" not taken; repaired with the current setting";
  for (const auto& [name, why] : bad.List) ReportFile(path, "\"" + name + what, why);
  if (sky.SettingsReadOnly) return;
  TSettingsKey key;
  if (!key.Open(folder, SettingsKeyName, true)) return;
  for (const auto& [name, why] : bad.List) WriteValue(key, sky, name);
  std::string error;
  if (!key.Close(&error)) ReportFile(path, "settings not repaired", error);
}

// The two drawing options: a missing value (a file of an older version)
// silently keeps the model's value; a damaged one or one other than 0 or 1
// is reported and keeps it too, without a repair (the next save writes it).
void ReadDrawOption(const TSettingsKey& key, const std::string& path, const char* name,
                    uint8_t& out) {
  int32_t v = 0;
  std::string why;
  if (!key.ReadInteger(name, v, &why)) {
    if (why != "missing")
      ReportFile(path, std::string("\"") + name + "\" not taken; the current setting is used", why);
    return;
  }
  if (v != 0 && v != 1) {
    ReportFile(path, std::string("\"") + name + "\" not taken; the current setting is used",
               std::to_string(v) + ", not 0 or 1");
    return;
  }
  out = static_cast<uint8_t>(v);
}

}  // namespace

bool SaveSettingsTo(const TSkyloom& sky, const std::string& folder) {
  if (folder.empty()) {
    Report({"", "settings not saved", "neither XDG_CONFIG_HOME nor HOME is set"});
    return false;
  }
  const std::string path = folder + "/" + SettingsFileName;
  if (sky.SettingsReadOnly) {
    ReportFile(path, "settings not saved (an unattended run never writes them)");
    return false;
  }
  TSettingsKey key;
  if (!key.Open(folder, SettingsKeyName, true)) return false;  // unreadable: said, kept
  for (const char* name : SettingsValueNames) WriteValue(key, sky, name);
  std::string error;
  if (!key.Close(&error)) {
    ReportFile(path, "settings not saved", error);
    return false;
  }
  return true;
}

void LoadSettingsFrom(TSkyloom& sky, const std::string& folder) {
  // Temporary files of saves that were interrupted before their rename.
  if (!sky.SettingsReadOnly && !folder.empty())
    RemoveStaleTemporaries(folder + "/" + SettingsFileName);
  TSettingsKey key;
  if (!key.Open(folder, SettingsKeyName, false)) return;
  // Every value is read on its own: one bad value keeps the others.
  TBadValues bad;
  ReadDouble(key, "Latitude", sky.Latitude, -QuarterTurn, QuarterTurn, bad);
  ReadDouble(key, "Longitude", sky.Longitude, -FullTurn, FullTurn, bad);
  ReadZone(key, sky.TimeZone, bad);
  ReadMode(key, "Mode1", sky.Mode1, bad);
  ReadMode(key, "Mode2", sky.Mode2, bad);
  ReadMode(key, "Mode3", sky.Mode3, bad);
  ReadMode(key, "Mode4", sky.Mode4, bad);
  ReadInt(key, "City", sky.City, bad);
  ReadDrawOption(key, key.Path(), "LabelPlacement", sky.LabelPlacement);
  ReadDrawOption(key, key.Path(), "RealisticSky", sky.RealisticSky);
  ReadDrawOption(key, key.Path(), "Refraction", sky.Refraction);
  ReadField(key, sky.FieldOfView, bad);
  ReadDrawOption(key, key.Path(), "MilkyWay", sky.MilkyWay);
  ReadInterfaceScale(key, sky.InterfaceScale, bad);
  key.Close();
  Repair(sky, folder, bad);
}

void ReadSavedPlaceFrom(const TSkyloom& sky, const std::string& folder, double& lat, double& lon,
                        int& zone, int& city) {
  TSettingsKey key;
  if (!key.Open(folder, SettingsKeyName, false)) return;
  TBadValues bad;
  ReadDouble(key, "Latitude", lat, -QuarterTurn, QuarterTurn, bad);
  ReadDouble(key, "Longitude", lon, -FullTurn, FullTurn, bad);
  ReadZone(key, zone, bad);
  ReadInt(key, "City", city, bad);
  key.Close();
  Repair(sky, folder, bad);
}

void TSkyloom::LoadSettings() { LoadSettingsFrom(*this, SettingsFolder()); }
void TSkyloom::SaveSettings() { SaveSettingsTo(*this, SettingsFolder()); }
void TSkyloom::ReadSavedPlace(double& lat, double& lon, int& zone, int& city) {
  ReadSavedPlaceFrom(*this, SettingsFolder(), lat, lon, zone, city);
}

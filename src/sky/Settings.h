// Observer settings kept between runs: the place, time zone, city and the
// four display switch sets, under one key of the per-user settings store.
// The model members LoadSettings, SaveSettings and ReadSavedPlace use the
// store in SettingsFolder(); the forms below take the folder explicitly.
#pragma once

#include <string>

#include "SkyModel.h"

inline constexpr const char* SettingsKeyName = "\\Software\\Skyloom\\";

// The whole-hour zones a place may have: the westernmost and easternmost in
// use. The command line and the settings share them.
constexpr int MinTimeZone = -12, MaxTimeZone = 14;

// The stored values in the order they are written.
inline constexpr const char* SettingsValueNames[] = {
    "Latitude", "Longitude", "TimeZone", "Mode1", "Mode2", "Mode3", "Mode4", "City",
    "LabelPlacement", "RealisticSky", "Refraction", "FieldOfView", "MilkyWay", "InterfaceScale"};

// Reads Latitude, Longitude, TimeZone, Mode1..Mode4, City into the model,
// each on its own. No key: nothing changes. A value that is missing,
// damaged, of the wrong type or size, or out of range is not taken: the
// model keeps its setting, stderr names the value and why, and the key is
// rewritten with the model's setting -- every value that was read is kept,
// only the bad ones are repaired. A file that cannot be read is reported and never
// replaced. With sky.SettingsReadOnly (unattended runs) nothing is written.
// Temporary files of interrupted saves are removed first. The drawing
// options LabelPlacement, RealisticSky, Refraction and MilkyWay (0 or 1) are read too: missing
// ones keep the model's value silently, damaged ones are reported and keep
// it, neither is repaired. The field of view (FieldOfView, degrees 5..180)
// is read last: a missing one keeps the model's field silently, a damaged
// one is reported and repaired as the place values are. So is the
// interface scale (InterfaceScale: 0 automatic, else 1..3).
void LoadSettingsFrom(TSkyloom& sky, const std::string& folder);
// Writes the eight values, the four drawing options and the field of view from the model (modes
// as their low 32 bits), keeping every other key and value of the file.
// False (with a message on stderr) when the store cannot be written, cannot
// be read (it is then kept as it is) or sky.SettingsReadOnly is set.
bool SaveSettingsTo(const TSkyloom& sky, const std::string& folder);
// Reads Latitude, Longitude, TimeZone and City into the variables without
// touching the model; each value that is read is taken, and the bad ones are
// reported and rewritten with the model's settings as by LoadSettingsFrom
// (the good ones stay in the file as they are).
void ReadSavedPlaceFrom(const TSkyloom& sky, const std::string& folder, double& lat,
                        double& lon, int& zone, int& city);

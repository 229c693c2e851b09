// Observer settings kept between runs: the place, time zone, city and the
// four display switch sets, under one key of the per-user settings store.
// The model members LoadSettings, SaveSettings and ReadSavedPlace use the
// store in SettingsFolder(); the forms below take the folder explicitly.
#pragma once

#include <string>

#include "SkyModel.h"

inline constexpr const char* SettingsKeyName = "\\Software\\Skyloom\\";

// Reads Latitude, Longitude, TimeZone, Mode1..Mode4, City in that order into
// the model, each as soon as it is read. No key: nothing changes. The first
// value that is missing, damaged or of the wrong type or size stops the
// reading, and the key is rewritten from the model.
void LoadSettingsFrom(TSkyloom& sky, const std::string& folder);
// Writes the eight values and the two drawing options from the model
// (modes as their low 32 bits). False
// (with a message on stderr) when the store cannot be written.
bool SaveSettingsTo(const TSkyloom& sky, const std::string& folder);
// Reads Latitude, Longitude, TimeZone and City into the variables without
// touching the model; on a failed read the key is rewritten from the model
// and the variables read so far keep their new values.
void ReadSavedPlaceFrom(const TSkyloom& sky, const std::string& folder, double& lat,
                        double& lon, int& zone, int& city);

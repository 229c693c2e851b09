// The observer of a first run (no saved settings): the city of the system's
// time zone, names and constellation figures shown, and a night sky when the
// program first starts in daylight. Saved settings, once there, replace the
// place and the name masks.
#pragma once

#include <string>

class TSkyloom;
struct TCityTable;

// True when the per-user settings hold the observer's key.
bool HasSavedSettings();

// Whole hours east of Greenwich of the system clock now, summer time
// included (-12..14).
int SystemZoneHours();

// The system's time-zone name ("Europe/London"): TZ (without a leading
// ':'), else /etc/timezone, else the zoneinfo path /etc/localtime links to;
// "" when none of them names one. `root` is put before the two files.
std::string SystemZoneName(const std::string& root = "");

// tzdata's table of zones with their principal places.
inline constexpr const char* ZoneTableFile = "/usr/share/zoneinfo/zone1970.tab";

// The city of the city table for zone `zoneName`: a city with the zone's
// own place name ("New_York" -> "New York City"), else the city nearest to
// the principal place zone table `zoneTable` gives the zone. 0 when the
// zone is not in the table (UTC) or the city table is empty.
int CityOfZone(const TCityTable& cities, const std::string& zoneName,
               const std::string& zoneTable = ZoneTableFile);

// The place and switches of a first run for a clock `zone` hours east: the
// city of `zoneName` (CityOfZone); else the first city of the city table in
// that zone; else latitude 40 degrees north and longitude zone x 15
// degrees. The model's city table is read when it is not yet. Constellation,
// bright-star and planet names and constellation figures, with both
// switches on.
void ApplyFirstRunDefaults(TSkyloom& sky, int zone, const std::string& zoneName = "",
                           const std::string& zoneTable = ZoneTableFile);

// A first start in daylight (the Sun higher than 6 degrees below the
// horizon at the model's place and time) moves the clock to 21:00 of the
// same day, when the stars are out; true when it did.
bool StartAtNightfall(TSkyloom& sky);

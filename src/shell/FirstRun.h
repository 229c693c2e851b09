// The observer of a first run (no saved settings): a place in the time zone
// of the system clock and display masks that make the 星名 and 辅助线
// buttons show something. Saved settings, once there, replace all of it.
#pragma once

class TSkyloom;

// True when the per-user settings hold the observer's key.
bool HasSavedSettings();

// Whole hours east of Greenwich of the system clock now (-12..14).
int SystemZoneHours();

// The place and masks of a first run for a clock `zone` hours east: the
// first city of the city table in that zone (the table is read when it is
// not yet), else latitude 40 degrees north and longitude zone x 15 degrees;
// constellation, bright-star and planet names; constellation figures.
void ApplyFirstRunDefaults(TSkyloom& sky, int zone);

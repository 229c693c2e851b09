// The star colour side table "StarColor.dat" beside "StarData.dat": the
// B-V colour index of every catalogue star, so that StarData.dat keeps its
// layout. 3144 little-endian 16-bit records in star-number order (star 1
// first), each B-V in thousandths of a magnitude; NoColourIndex marks a
// star without one.
#pragma once

#include <cstdint>
#include <string>

#include "SkyModel.h"

inline constexpr const char* StarColourFileName = "StarColor.dat";
constexpr int16_t NoColourIndex = INT16_MIN;
constexpr size_t StarColourFileSize = 2 * 3144;

// Reads the table into sky.StarColour. A missing, unreadable, short or long
// file is reported once on stderr; the stars it does not reach keep
// NoColourIndex (drawn white). True when the whole table was read.
bool LoadStarColoursFrom(TSkyloom& sky, const std::string& path);
// Writes sky.StarColour[1..3144] as the side table (atomically).
bool WriteStarColours(const TSkyloom& sky, const std::string& path, std::string* error = nullptr);

// Colour class of a B-V index (thousandths) for the tinted star glows:
// 0 blue-white (below 0), 1 white (to +0.3), 2 yellow-white (to +0.7),
// 3 yellow-orange (to +1.15), 4 orange-red; NoColourIndex gives 1.
int StarTintClass(int16_t bv);
constexpr int StarTintClasses = 5;

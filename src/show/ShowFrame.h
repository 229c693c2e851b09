// TShowFrame: one page of an astronomy show, and its 47,696-byte record in a
// show file (".shw"). The record is read and written field by field at fixed
// little-endian offsets (never by casting the struct), so the in-memory
// layout is free and a damaged record cannot reach past its buffer.
//
// Record offsets (bytes):
//       0 SetMarks, 1 NewPage, 2 SetPlace, 3 SetShow (bytes, nonzero = on)
//       4 HighlightCount, 8 StarMarkCount, 12 LineMarkCount, 16 AreaMarkCount
//      20 Highlights   20 x 24     500 StarMarks 50 x 532
//   27100 LineMarks    50 x 12   27700 AreaMarks 20 x 340
//   34500 Caption (short string)  34756 Text 50 short strings
//   47556 TextCount   47560 Year, Month, Day, Hour, Minute
//   47580 Zone: 0 = keep the user's time zone, else (hours east) + 100
//   47584 Longitude, 47592 Latitude (doubles, radians, east/north positive)
//   47600 City (index into the city table), 47604 Second (0 = whole minute)
//   47608 ViewAz, 47616 ViewAlt (doubles, radians; azimuth from south
//         through east), 47624 FieldOfView (double, degrees across the sky
//         area; 0 = keep the current field), 47632 ShowFlags (64 bits)
//   47640 StarLimit, 47644 Wait, 47648 Moves, 47652 StepUnit,
//   47656 StepAmount, 47660 Tracking (byte, 3 reserved), 47664 TrackId,
//   47668 SelConst, 47672 PopupSwitches (6 integers)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "ShortString.h"
#include "SkyMarks.h"

constexpr size_t ShowFrameSize = 47696;
constexpr int MaxPageLines = 50;   // Text lines of one page

// Bits of Moves: what glides from this page to the next.
namespace MoveBits {
constexpr int Time = 1, View = 2, Place = 4;
}

// The encoding of the zone field: 0 keeps the user's zone (what files
// written before the field was used hold); any other value is zone + 100.
constexpr int32_t ZoneFieldOffset = 100;
constexpr int32_t EncodeZone(int zoneHours) { return zoneHours + ZoneFieldOffset; }
constexpr bool HasZone(int32_t field) { return field != 0; }
constexpr int DecodeZone(int32_t field) { return field - ZoneFieldOffset; }
// Zones a page may carry (hours east of Greenwich).
constexpr int MinZone = -12, MaxZone = 14;

// Order of the six popup switches in PopupSwitches (the sixth is unused).
namespace PopupIndex {
constexpr int Highlight = 0, Lines = 1, StarNames = 2, Greek = 3, Boundary = 4;
}

struct TShowFrame {
  uint8_t SetMarks = 0, NewPage = 0, SetPlace = 0, SetShow = 0;
  int32_t HighlightCount = 0, StarMarkCount = 0, LineMarkCount = 0, AreaMarkCount = 0;
  std::array<THighlight, MaxHighlights> Highlights{};
  std::array<TStarMark, MaxStarMarks> StarMarks{};
  std::array<TLineMark, MaxLineMarks> LineMarks{};
  std::array<TAreaMark, MaxAreaMarks> AreaMarks{};
  ShortString Caption;
  std::array<ShortString, MaxPageLines> Text{};
  int32_t TextCount = 0;
  int32_t Year = 2000, Month = 1, Day = 1, Hour = 0, Minute = 0;
  int32_t Second = 0;          // 0..59
  int32_t Zone = 0;            // see EncodeZone
  double Longitude = 0;        // radians, east positive
  double Latitude = 0;         // radians
  int32_t City = 0;
  double ViewAz = 0;           // radians from south through east
  double ViewAlt = 0;          // radians
  double FieldOfView = 0;      // degrees across the sky area, 0 = keep (PageFieldMin..Max)
  uint64_t ShowFlags = 0;
  int32_t StarLimit = 0;       // faintest magnitude x 10
  int32_t Wait = 0;            // ticks
  int32_t Moves = 0;           // MoveBits
  int32_t StepUnit = 1;        // 1 minutes, 2 days, 3 years, 4 seconds
  int32_t StepAmount = 1;
  uint8_t Tracking = 0;
  int32_t TrackId = 0;
  int32_t SelConst = 0;
  std::array<int32_t, 6> PopupSwitches{};
};

// What decoding had to cut: counts beyond their tables (or negative) are
// brought into range and named here, one phrase each ("HighlightCount 99 > 20").
struct TFrameRepairs {
  std::string Notes;
  bool Any() const { return !Notes.empty(); }
};

// The ranges a page keeps to (the show compiler writes nothing beyond them).
constexpr int32_t MinPageStarLimit = -20, MaxPageStarLimit = 120;  // magnitude x 10
constexpr int32_t MaxPageWait = 3600 * 30;      // ticks: an hour
constexpr int32_t MaxPageStep = 100000;         // minutes, days or years per tick
constexpr int32_t MaxObjectId = 1100;           // constellations .. Messier objects
// Angles in radians, either way: longitudes and azimuths within a turn,
// latitudes and altitudes within a quarter (with the rounding of either).
constexpr double MaxPageLongitude = 6.283185307179586 + 1e-9;
constexpr double MaxPageLatitude = 1.5707963267948966 + 1e-9;
// The field of view a page may set (degrees); 0 keeps the current field.
constexpr double MinPageField = 5, MaxPageField = 180;

// What is impossible in a decoded page ("month 13 is outside 1..12",
// "longitude nan is not a number"), or "" when every field is in range: a
// real date and time, finite angles within a turn (latitudes and altitudes
// within a quarter), and counts, codes, star and object numbers within their
// tables. A player never steps a page that fails.
std::string PageFault(const TShowFrame& frame);

// Decodes a record of exactly ShowFrameSize bytes. Counts outside their
// tables are cut to 0..capacity and reported in `repairs` (if given).
void DecodeFrame(std::span<const uint8_t> rec, TShowFrame& frame, TFrameRepairs* repairs = nullptr);
// Encodes into a record of ShowFrameSize bytes, every table entry included;
// reserved bytes and the unused tail of every short string are written as 0.
void EncodeFrame(const TShowFrame& frame, std::span<uint8_t> rec);

// TSkyloom: the one in-memory model of everything that can appear in the sky
// — catalogue tables, built-in scenery and grid, the solar-system bodies and
// the observer's place, time, view and display switches.
//
// Angles are radians (double). Catalogue positions are right ascension and
// declination of the catalogue epoch (J2000); boundary points are equinox
// 1900.0; horizon tables hold azimuth from south through east and altitude.
// Every record below has exactly the byte layout it has in "StarData.dat"
// (little-endian, natural alignment), pinned by static_asserts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BodyTable.h"
#include "CityTable.h"
#include "MilkyWay.h"
#include "ShortString.h"
#include "Table.h"

struct TVector3;  // src/astro/Transforms.h

// One point or object on the celestial sphere (64 bytes).
struct TSkyPoint {
  double Lon = 0;      // right ascension / azimuth from south, radians
  double Lat = 0;      // declination / altitude, radians (trees: horizon point number)
  int32_t Mag = 0;     // stars: magnitude x10; bounds: >0 ends a run; boards: >0 shown; trees: size
  int32_t Owner = 0;   // constellation 1..88, 0 none
  double X = 0;        // unit vector, then vertical screen offset (pixels)
  double Y = 0;        // unit vector, then horizontal screen offset (pixels)
  double Z = 0;        // unit vector, then depth along the view axis
  uint8_t Visible = 0; // 1 above the horizon or ground off
  uint8_t Pad1[3] = {};
  int32_t Image = 0;   // scenery: picture frame
  uint8_t Greek = 0;   // stars: "Symbol" character of the Greek letter, ' ' none
  uint8_t Reserved[7] = {};
};

// One figure line (12 bytes).
struct TLinePair {
  int32_t StarA = 0;
  int32_t StarB = 0;
  int32_t Owner = 0;   // constellation 1..88 / asterism 1..400; <= 0 unused
};

// A named object with a label: constellation or asterism (1072 bytes).
struct TSkyObject {
  int32_t Reserved0 = 0;
  uint8_t HasLabel = 0;     // per frame: at least one point counted
  ShortString Name;         // Chinese name
  ShortString EName;        // English name
  ShortString Reserved1;
  ShortString EShort;       // English short form (IAU abbreviation)
  uint8_t Pad[3] = {};
  double Lon = 0;           // label centre, right ascension J2000
  double Lat = 0;           // label centre, declination J2000
  double LabelX = 0;        // per frame: screen x of the label
  double LabelY = 0;        // per frame: screen y of the label
  int32_t LabelCount = 0;   // per frame: points averaged
  uint8_t Reserved2[4] = {};
};

// A proper name of a bright star (520 bytes).
struct TStarName {
  int32_t Star = 0;
  ShortString Name;
  ShortString EName;
  int32_t Kind = 0;         // only Kind 2 is ever drawn
};

// Name and designation of a Messier object (520 bytes).
struct TMessierName {
  int32_t Reserved0 = 0;
  ShortString Name;         // Chinese name
  ShortString Code;         // "M31"; empty = unused slot
  uint8_t Reserved1[4] = {};
};

// Text of a compass or grid label (520 bytes).
struct TLabelText {
  ShortString Name;
  ShortString EName;
  uint8_t Reserved[8] = {};
};

static_assert(sizeof(TSkyPoint) == 64);
static_assert(offsetof(TSkyPoint, Mag) == 16 && offsetof(TSkyPoint, Owner) == 20);
static_assert(offsetof(TSkyPoint, X) == 24 && offsetof(TSkyPoint, Visible) == 48);
static_assert(offsetof(TSkyPoint, Image) == 52 && offsetof(TSkyPoint, Greek) == 56);
static_assert(sizeof(TLinePair) == 12);
static_assert(sizeof(TSkyObject) == 1072);
static_assert(offsetof(TSkyObject, HasLabel) == 4 && offsetof(TSkyObject, Name) == 5);
static_assert(offsetof(TSkyObject, EName) == 261 && offsetof(TSkyObject, EShort) == 773);
static_assert(offsetof(TSkyObject, Lon) == 1032 && offsetof(TSkyObject, LabelX) == 1048);
static_assert(offsetof(TSkyObject, LabelCount) == 1064);
static_assert(sizeof(TStarName) == 520 && offsetof(TStarName, EName) == 260 &&
              offsetof(TStarName, Kind) == 516);
static_assert(sizeof(TMessierName) == 520 && offsetof(TMessierName, Code) == 260);
static_assert(sizeof(TLabelText) == 520 && offsetof(TLabelText, EName) == 256);

// Display switch bits of Mode1, Mode2 and ShowFlags.
namespace SkyBits {
constexpr uint64_t ConstNames = 0x1, GreekLetters = 0x2, StarNames = 0x4, PlanetNames = 0x8,
                   MessierNames = 0x10, OfficeNames = 0x20;
constexpr uint64_t Grid = 0x100, Ecliptic = 0x200, Galactic = 0x400, ConstLines = 0x800,
                   OfficeLines = 0x1000;
constexpr uint64_t Ground = 0x10000;
constexpr uint64_t MilkyWay = 0x20000;  // the Milky Way's light
}  // namespace SkyBits

// Object numbers: 1..99 constellations, 101..111 solar-system bodies,
// 201..600 asterisms, 1001..1100 Messier objects, 2001.. stars (2000 plus
// the star's place in Stars).
constexpr int StarIdBase = 2000;

// Capacities, fixed by the catalogue file format.
constexpr int MaxStars = 4000, MaxLines = 1000, MaxOffices = 400, MaxStarNames = 100,
              MaxConsts = 100, MaxLabels = 160, MaxBodies = 11, MaxBounds = 1600,
              MaxMessier = 100, HorizonPoints = 72, SceneryCount = 58, NetLineCount = 43,
              NetLinePoints = 72;

// The directions of date of one range of points as the last sky update
// made them, with the places and the day count they were made from: an
// update for the same day and the same places (every frame that only turns
// the view) takes them from here instead of computing them again.
struct TDatedDirections {
  double Day = 0;
  bool Valid = false;
  std::vector<double> Lon, Lat;     // the places
  std::vector<double> SX, SY, SZ;   // their directions in the catalogue's frame
  std::vector<double> X, Y, Z;      // their directions of date
};

// The field of view across the sky area's width, degrees. The default is
// 2 atan(3/4): Scale two thirds of the width.
constexpr double DefaultFieldOfView = 73.73979529168804;
constexpr double MinFieldOfView = 5, MaxFieldOfView = 180;

class TSkyloom {
 public:
  // Tables, in model order.
  Table1<TSkyPoint, HorizonPoints> Horizon;
  Table1<TSkyPoint, SceneryCount> Scenery;           // 1..50 trees, 51..58 boards
  Table1<Table1<TSkyPoint, NetLinePoints>, NetLineCount> NetLines;  // 1..41 grid, 42 ecliptic, 43 galactic
  Table1<TSkyPoint, MaxStars> Stars;
  Table1<TLinePair, MaxLines> ConstLines;
  Table1<TLinePair, MaxLines> OfficeLines;
  Table1<TSkyObject, MaxOffices> Offices;            // objects 201..600
  Table1<TStarName, MaxStarNames> StarNames;
  Table1<TSkyObject, MaxConsts> Consts;              // objects 1..100
  Table1<TSkyPoint, MaxLabels> Labels;
  Table1<TLabelText, MaxLabels> LabelTexts;
  Table1<TSkyPoint, MaxBodies> Planets;              // objects 101..111
  Table1<TSkyPoint, MaxBounds> Bounds;               // equinox 1900.0
  Table1<TSkyPoint, MaxMessier> Messier;             // objects 1001..1100
  Table1<TMessierName, MaxMessier> MessierNames;
  double MoonPhase = 0;                              // 0..2pi, pi = new moon
  // The solar-system bodies of the last update's day and its frame of date
  // (kept while the clock stands).
  TBodyTable BodyTable;
  Table1<TSkyPoint, 2> MoonAxis;
  // B-V colour index of each star, thousandths (side table "StarColor.dat";
  // INT16_MIN for none). Not part of the catalogue file's layout.
  Table1<int16_t, MaxStars> StarColour;
  // More names of objects than the catalogue file has room for (UTF-8):
  // the pinyin and short Chinese names of named stars, the English and
  // other Chinese names of Messier objects. Read with the catalogue.
  struct TOtherName {
    int32_t Id = 0;  // object number
    std::string Name;
  };
  std::vector<TOtherName> OtherNames;
  // The Milky Way's brightness in galactic coordinates ("MilkyWay.dat",
  // read with the catalogue); empty when the file could not be read.
  TMilkyWayMap MilkyWayMap;

  // Scalar state.
  double DayNumber = 0;      // days since 1999-12-31 0h UT
  int32_t StarCount = 0;
  int32_t TimeZone = 0;      // hours east of Greenwich
  double Longitude = 0;      // radians, east positive
  double Latitude = 0;       // radians, north positive
  int32_t City = 0;          // 1..CityCount of CityTable; 0 a place of its own
  // The listed cities a place can be chosen from (read by the main form).
  TCityTable CityTable;
  // Unattended runs (--render, --script) read the settings but never write
  // them: no repair, no save, no clean-up of the settings folder.
  bool SettingsReadOnly = false;
  int32_t Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0;  // local civil
  int32_t Second = 0;                                         // 0..59
  double ViewAz = 0;         // radians from south through east
  double ViewAlt = 0;        // radians, up positive
  int32_t ScreenWidth = 0, ScreenHeight = 0;
  int32_t CenterX = 0, CenterY = 0;
  double SiderealTime = 0;   // sky rotation angle, radians
  int32_t Scale = 0;         // pixels per unit of tangent (ScaleForField)
  // Degrees of sky across the sky area's width (MinFieldOfView..MaxFieldOfView);
  // Scale and the projection's bend follow it (ApplyFieldOfView).
  double FieldOfView = DefaultFieldOfView;
  uint64_t ShowFlags = 0, Mode1 = 0, Mode2 = 0, Mode3 = 0, Mode4 = 0;
  uint8_t NamesOn = 0, LinesOn = 0, GroundOn = 0;
  int32_t SelConst = 0;      // 1..99 constellation, 201..999 asterism
  std::string StoryTitle, StoryText;  // GBK: Chinese and English story lines
  std::string StoryFault;  // the story file's fault last reported (said once)
  int32_t English = 0;
  int32_t StarLimit = 0;     // faintest Mag drawn (tenths)
  double TargetLon = 0, TargetLat = 0;  // go-to target, RA/Dec of date
  int32_t TargetId = 0;                 // the object TargetLon, TargetLat belong to
  double TrackX = 0, TrackY = 0, TrackZ = 0;
  uint8_t Tracking = 0;
  int32_t TrackId = 0;
  int32_t TurnStep = 0;      // whole degrees
  // The step of the time flow: StepAmount units, unit 1 minute, 2 day,
  // 3 year, 4 second.
  int StepUnit = 1;
  int StepAmount = 1;

  // Directions of date of the stars, boundaries, Messier objects and grid
  // circles from the last update (reused while the day and places hold).
  TDatedDirections StarsOfDate, BoundsOfDate, MessierOfDate, GridOfDate[42];

  // Program-wide drawing options, kept with the per-user settings (1 on).
  uint8_t LabelPlacement = 1;  // every label of a frame placed in one pass, none piled up
  uint8_t RealisticSky = 1;    // sky colour, twilight, star fading and eclipses by the Sun
  uint8_t Refraction = 1;      // the atmosphere lifts what is near the horizon
  uint8_t MilkyWay = 1;        // the Milky Way's light under the stars
  // The interface's scale asked for, pixels per unit of the 800x600 frame
  // (1..3); 0 follows the stage's size.
  double InterfaceScale = 0;

  // Built-in tables (horizon, trees and boards, grid, labels); trees are
  // drawn from the process random generator.
  void FillBuiltInTables();
  // ShowFlags := (Mode1 if NamesOn) | (Mode2 if LinesOn) | (Ground if GroundOn)
  // | (MilkyWay if MilkyWay).
  void DeriveShowFlags();
  // Ground on and the Sun visible: the day sky.
  bool IsDaylight() const;

  // Catalogue, stories and settings (src/sky).
  void LoadStarData();
  void LoadStory(int n);
  void LoadSettings();
  void SaveSettings();
  void ReadSavedPlace(double& lat, double& lon, int& zone, int& city);

  // Per-frame update (src/astro).
  void UpdateSky();
  // Sets TargetLon, TargetLat (of date, where the object is drawn) and
  // TargetId to object `id`; ids that name nothing leave them unchanged.
  void TargetDirection(int id);
  // The target's direction in the horizontal frame (S, E, U) as the observer
  // sees it: the Moon is lowered by its parallax as it is drawn.
  TVector3 TargetSeen() const;
};

// Defaults of a new model and its built-in tables (used by creation and by
// tests that build a model of their own).
void InitSkyModel(TSkyloom& model);

// A new model for a run (seeded random generator, defaults, built-in
// tables), owned by the caller: the program's entry point makes the one it
// hands to the main form, a test the one it needs. The generator is seeded
// from the clock unless a seed is given (unattended runs draw the same trees
// every time).
std::unique_ptr<TSkyloom> CreateSkyModel(std::optional<uint32_t> seed = std::nullopt);

// Process-wide random generator (Random(n) yields 0..n-1), seeded at creation.
void RandomSeed(uint32_t seed);
int Random(int n);

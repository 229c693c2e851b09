// The sky model's built-in tables, defaults, record layouts and switches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <memory>

#include "Gbk.h"
#include "SkyModel.h"

namespace {

constexpr double Deg = M_PI / 180.0;

std::unique_ptr<TSkyloom> NewModel() {
  auto m = std::make_unique<TSkyloom>();
  InitSkyModel(*m);
  return m;
}

TEST(SkyModelRecords, SizesAndOffsetsMatchTheCatalogueFile) {
  struct Case {
    const char* Field;
    size_t Actual, Expected;
  } cases[] = {
      {"TSkyPoint", sizeof(TSkyPoint), 64},
      {"TSkyPoint.Lat", offsetof(TSkyPoint, Lat), 8},
      {"TSkyPoint.Mag", offsetof(TSkyPoint, Mag), 16},
      {"TSkyPoint.Owner", offsetof(TSkyPoint, Owner), 20},
      {"TSkyPoint.X", offsetof(TSkyPoint, X), 24},
      {"TSkyPoint.Z", offsetof(TSkyPoint, Z), 40},
      {"TSkyPoint.Visible", offsetof(TSkyPoint, Visible), 48},
      {"TSkyPoint.Image", offsetof(TSkyPoint, Image), 52},
      {"TSkyPoint.Greek", offsetof(TSkyPoint, Greek), 56},
      {"TLinePair", sizeof(TLinePair), 12},
      {"TLinePair.Owner", offsetof(TLinePair, Owner), 8},
      {"TSkyObject", sizeof(TSkyObject), 1072},
      {"TSkyObject.HasLabel", offsetof(TSkyObject, HasLabel), 4},
      {"TSkyObject.Name", offsetof(TSkyObject, Name), 5},
      {"TSkyObject.EName", offsetof(TSkyObject, EName), 261},
      {"TSkyObject.EShort", offsetof(TSkyObject, EShort), 773},
      {"TSkyObject.Lon", offsetof(TSkyObject, Lon), 1032},
      {"TSkyObject.Lat", offsetof(TSkyObject, Lat), 1040},
      {"TSkyObject.LabelX", offsetof(TSkyObject, LabelX), 1048},
      {"TSkyObject.LabelY", offsetof(TSkyObject, LabelY), 1056},
      {"TSkyObject.LabelCount", offsetof(TSkyObject, LabelCount), 1064},
      {"TStarName", sizeof(TStarName), 520},
      {"TStarName.Name", offsetof(TStarName, Name), 4},
      {"TStarName.EName", offsetof(TStarName, EName), 260},
      {"TStarName.Kind", offsetof(TStarName, Kind), 516},
      {"TMessierName", sizeof(TMessierName), 520},
      {"TMessierName.Name", offsetof(TMessierName, Name), 4},
      {"TMessierName.Code", offsetof(TMessierName, Code), 260},
      {"TLabelText", sizeof(TLabelText), 520},
      {"TLabelText.EName", offsetof(TLabelText, EName), 256},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Actual, c.Expected) << c.Field;
}

TEST(SkyModelDefaults, CreationValues) {
  auto m = NewModel();
  EXPECT_EQ(m->Year, 2002);
  EXPECT_EQ(m->Month, 12);
  EXPECT_EQ(m->Day, 15);
  EXPECT_EQ(m->Hour, 0);
  EXPECT_DOUBLE_EQ(m->Latitude, 0.6981317007977318);
  EXPECT_DOUBLE_EQ(m->Longitude, -2.0943951023931953);
  EXPECT_DOUBLE_EQ(m->ViewAlt, 40 * Deg);
  EXPECT_EQ(m->ViewAz, 0);
  EXPECT_EQ(m->Scale, 400);
  EXPECT_EQ(m->StarLimit, 100);
  EXPECT_EQ(m->Mode3, 0x10000u);
  EXPECT_EQ(m->Mode1 | m->Mode2 | m->Mode4 | m->ShowFlags, 0u);
  EXPECT_EQ(m->GroundOn, 0);
  EXPECT_EQ(m->StarCount, 0);
  EXPECT_DOUBLE_EQ(m->TargetLon, 60 * Deg);
  EXPECT_DOUBLE_EQ(m->TargetLat, 30 * Deg);
}

TEST(SkyModelBuiltIns, HorizonAndBoards) {
  auto m = NewModel();
  for (int i = 1; i <= 72; ++i) {
    EXPECT_NEAR(m->Horizon[i].Lon, 5 * i * Deg, 1e-12);
    EXPECT_EQ(m->Horizon[i].Lat, 0);
  }
  // Board, horizon point, signpost frame (0 东 1 东南 2 东北 3 南 4 西南 5 西北 6 西 7 北).
  const int boards[8][3] = {{51, 72, 3}, {52, 9, 1},  {53, 18, 0}, {54, 27, 2},
                            {55, 36, 7}, {56, 45, 5}, {57, 54, 6}, {58, 63, 4}};
  for (const auto& b : boards) {
    const TSkyPoint& p = m->Scenery[b[0]];
    EXPECT_EQ(p.Lat, b[1]) << b[0];
    EXPECT_EQ(p.Image, b[2]) << b[0];
    EXPECT_EQ(p.Mag, 1) << b[0];
  }
  // Each board names the direction of its horizon point: azimuth 5 x point
  // degrees from south through east, so point 18 (90 degrees) is east.
  EXPECT_NEAR(m->Horizon[18].Lon, 90 * Deg, 1e-12);
}

TEST(SkyModelBuiltIns, TreesStayWithinTheirRanges) {
  for (uint32_t seed : {1u, 2u, 12345u}) {
    RandomSeed(seed);
    auto m = NewModel();
    for (int j = 1; j <= 50; ++j) {
      const TSkyPoint& t = m->Scenery[j];
      EXPECT_GE(t.Lat, 1);
      EXPECT_LE(t.Lat, 72);
      EXPECT_GE(t.Mag, 20);
      EXPECT_LE(t.Mag, 89);
      EXPECT_GE(t.Image, 0);
      EXPECT_LE(t.Image, 10);
    }
  }
}

TEST(SkyModelBuiltIns, GridLines) {
  auto m = NewModel();
  // Declination circles 0..80 and -10..-80.
  EXPECT_NEAR(m->NetLines[1][7].Lat, 0, 1e-12);
  EXPECT_NEAR(m->NetLines[9][7].Lat, 80 * Deg, 1e-12);
  EXPECT_NEAR(m->NetLines[10][7].Lat, -10 * Deg, 1e-12);
  EXPECT_NEAR(m->NetLines[17][72].Lat, -80 * Deg, 1e-12);
  EXPECT_NEAR(m->NetLines[17][72].Lon, 360 * Deg, 1e-12);
  // Line 18 is the hour circle 0h: a full great circle through both poles.
  bool north = false, south = false;
  for (int b = 1; b <= 72; ++b) {
    const TSkyPoint& p = m->NetLines[18][b];
    EXPECT_NEAR(p.Lon, 0, 1e-12);
    const double x = std::cos(p.Lat), z = std::sin(p.Lat);
    if (std::abs(z - 1) < 1e-12 && std::abs(x) < 1e-12) north = true;
    if (std::abs(z + 1) < 1e-12 && std::abs(x) < 1e-12) south = true;
  }
  EXPECT_TRUE(north);
  EXPECT_TRUE(south);
  EXPECT_NEAR(m->NetLines[41][1].Lon, -345 * Deg, 1e-12);
  for (int m2 : {42, 43}) {
    EXPECT_NEAR(m->NetLines[m2][36].Lon, 180 * Deg, 1e-12);
    EXPECT_EQ(m->NetLines[m2][36].Lat, 0);
  }
}

TEST(SkyModelBuiltIns, LabelTextsAndPlaces) {
  auto m = NewModel();
  struct Case {
    int K;
    const char* Text;
    double Lat, Lon;  // degrees
  } cases[] = {
      {1, "南", 0, 0},       {2, "东", 0, 90},      {3, "北", 0, 180},    {4, "西", 0, -90},
      {5, "10", 10, 0},      {12, "80", 80, 0},     {13, "-10", -10, 0},  {20, "-80", -80, 0},
      {21, "0h", 45, 0},     {44, "23h", 45, 345},  {45, "0h", -5, 0},    {68, "23h", -5, 345},
      {69, "0h", -45, 0},    {92, "23h", -45, 345}, {93, "10", 10, 90},   {108, "-80", -80, 90},
      {109, "10", 10, 180},  {124, "-80", -80, 180}, {125, "10", 10, -90}, {140, "-80", -80, -90},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GbkToUtf8(m->LabelTexts[c.K].Name.str()), c.Text) << c.K;
    EXPECT_NEAR(m->Labels[c.K].Lat, c.Lat * Deg, 1e-12) << c.K;
    EXPECT_NEAR(m->Labels[c.K].Lon, c.Lon * Deg, 1e-12) << c.K;
  }
  EXPECT_EQ(m->LabelTexts[1].EName.str(), "South");
  EXPECT_EQ(m->LabelTexts[30].EName.str(), "9h");
  for (int k = 21; k <= 44; ++k)
    EXPECT_EQ(m->LabelTexts[k].Name.str(), std::to_string(k - 21) + "h") << k;
  for (int k = 141; k <= 160; ++k) {
    EXPECT_TRUE(m->LabelTexts[k].Name.empty()) << k;
    EXPECT_TRUE(m->LabelTexts[k].EName.empty()) << k;
    EXPECT_EQ(m->Labels[k].Lon, 0) << k;
    EXPECT_EQ(m->Labels[k].Lat, 0) << k;
  }
}

TEST(SkyModelSwitches, ShowFlagsFollowTheGroupSwitches) {
  auto m = NewModel();
  m->Mode1 = 0x3F;
  m->Mode2 = 0x1F00;
  struct Case {
    uint8_t Names, Lines, Ground, MilkyWay;
    uint64_t Expected;
  } cases[] = {{0, 0, 0, 0, 0},        {1, 0, 0, 0, 0x3F},        {0, 1, 0, 0, 0x1F00},
               {0, 0, 1, 0, 0x10000},  {1, 1, 1, 0, 0x11F3F},     {0, 1, 1, 0, 0x11F00},
               {0, 0, 0, 1, 0x20000},  {1, 1, 1, 1, 0x31F3F}};
  for (const Case& c : cases) {
    m->NamesOn = c.Names;
    m->LinesOn = c.Lines;
    m->GroundOn = c.Ground;
    m->MilkyWay = c.MilkyWay;
    m->ShowFlags = ~0ull;  // whatever was there before
    m->DeriveShowFlags();
    EXPECT_EQ(m->ShowFlags, c.Expected);
    if (!c.Names) {
      EXPECT_EQ(m->ShowFlags & m->Mode1, 0u);
    }
  }
}

TEST(SkyModelSwitches, DaylightNeedsGroundAndAVisibleSun) {
  auto m = NewModel();
  struct Case {
    uint64_t Flags;
    uint8_t SunVisible;
    bool Day;
  } cases[] = {{0x10000, 1, true}, {0x10000, 0, false}, {0, 1, false}, {0x11F00, 1, true}};
  for (const Case& c : cases) {
    m->ShowFlags = c.Flags;
    m->Planets[1].Visible = c.SunVisible;
    EXPECT_EQ(m->IsDaylight(), c.Day);
  }
}

TEST(SkyModelTables, OutOfRangeIndexesNeverLeaveTheTable) {
  auto m = NewModel();
  m->Stars[5].Mag = 17;
  for (int bad : {0, -1, 4001, 1 << 30}) {
    m->Stars[bad].Mag = 99;                  // lands in the spare slot
    EXPECT_EQ(m->Stars[bad].Mag, 0) << bad;  // and reads as empty
  }
  EXPECT_EQ(m->Stars[5].Mag, 17);
  const TSkyloom& c = *m;
  EXPECT_EQ(c.NetLines[44][1].Lon, 0);
  EXPECT_TRUE(c.LabelTexts[161].Name.empty());
}

}  // namespace

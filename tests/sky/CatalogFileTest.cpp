// The compiled catalogue "StarData.dat" in the runtime folder, read back by
// plain offset arithmetic (block offsets and record sizes as documented for
// the file), not through the program's own record readers.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Gbk.h"
#include "SkyTestFiles.h"

namespace {

constexpr double Deg = M_PI / 180.0;

// Block offsets of the file and record sizes.
constexpr size_t StarsAt = 0, ConstLinesAt = 256000, ConstsAt = 268000, StarNamesAt = 375200,
                 BoundsAt = 427200, MessierAt = 529600, MessierNamesAt = 536000,
                 OfficeLinesAt = 588000, OfficesAt = 600000;
constexpr size_t Point = 64, Line = 12, Object = 1072, Name520 = 520;
constexpr int StarCount = 3144;

size_t Rec(size_t blockAt, size_t size, int k) { return blockAt + size * static_cast<size_t>(k - 1); }

class CatalogFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Bytes = new std::vector<uint8_t>(ReadBytes(std::string(SKYLOOM_RUNTIME_DIR) + "/StarData.dat")); }
  static void TearDownTestSuite() { delete Bytes; }
  void SetUp() override { ASSERT_EQ(Bytes->size(), 1028800u) << "StarData.dat missing or of the wrong size"; }
  static const std::vector<uint8_t>& B() { return *Bytes; }
  static std::string Utf8Str(size_t at) { return GbkToUtf8(Raw::Str(B(), at)); }
  static inline std::vector<uint8_t>* Bytes = nullptr;
};

TEST_F(CatalogFile, KnownRecordsSitAtTheirOffsets) {
  // Star 1: Sirius in Canis Major.
  const size_t s1 = Rec(StarsAt, Point, 1);
  EXPECT_NEAR(Raw::Double(B(), s1 + 0), 101.2872 * Deg, 1e-9);
  EXPECT_NEAR(Raw::Double(B(), s1 + 8), -16.7161 * Deg, 1e-9);
  EXPECT_EQ(Raw::Int(B(), s1 + 16), -14);
  EXPECT_EQ(Raw::Int(B(), s1 + 20), 14);
  EXPECT_EQ(B()[s1 + 56], 'a');  // alpha in the Symbol font
  // Star names: record 1 names star 1.
  const size_t n1 = Rec(StarNamesAt, Name520, 1);
  EXPECT_EQ(Raw::Int(B(), n1), 1);
  EXPECT_EQ(Utf8Str(n1 + 4), "天狼星");
  EXPECT_EQ(Utf8Str(n1 + 260), "Sirius");
  EXPECT_EQ(Raw::Int(B(), n1 + 516), 2);
  // Constellation 1, Andromeda; 14 is Canis Major, the owner of Sirius.
  const size_t c1 = Rec(ConstsAt, Object, 1);
  EXPECT_EQ(Utf8Str(c1 + 5), "仙女座");
  EXPECT_EQ(Utf8Str(c1 + 261), "Andromeda");
  EXPECT_EQ(Utf8Str(c1 + 773), "And");
  EXPECT_NEAR(Raw::Double(B(), c1 + 1032), 0.75 * Deg, 1e-12);
  EXPECT_NEAR(Raw::Double(B(), c1 + 1040), 43.0 * Deg, 1e-12);
  EXPECT_EQ(Utf8Str(Rec(ConstsAt, Object, 14) + 773), "CMa");
  EXPECT_EQ(Utf8Str(Rec(ConstsAt, Object, 88) + 261), "Vulpecula");
  EXPECT_EQ(B()[Rec(ConstsAt, Object, 89) + 5], 0) << "slot 89 must be empty";
  // Asterism 1.
  EXPECT_EQ(Utf8Str(Rec(OfficesAt, Object, 1) + 5), "毕宿");
  EXPECT_NEAR(Raw::Double(B(), Rec(OfficesAt, Object, 1) + 1032), 64.9945 * Deg, 1e-9);
  EXPECT_FALSE(Utf8Str(Rec(OfficesAt, Object, 312) + 5).empty());
  EXPECT_EQ(B()[Rec(OfficesAt, Object, 313) + 5], 0) << "the asterism list ends after 312";
}

// Mag is the V magnitude in tenths rounded half away from zero; the halves
// are where a careless rounding (to even, or by truncation) differs.
TEST_F(CatalogFile, StarMagnitudesAreRoundedTenths) {
  struct Case {
    int Star;
    const char* Who;
    int Mag;
  } cases[] = {{1, "Sirius -1.44", -14},   {2, "Canopus -0.62", -6},
               {3, "Arcturus -0.05", -1},  {4, "Rigil Kentaurus -0.01", 0},
               {9, "Achernar 0.45", 5},    {10, "Betelgeuse 0.45", 5},
               {19, "Mimosa 1.25", 13},    {53, "Nunki 2.05", 21}};
  for (const Case& c : cases)
    EXPECT_EQ(Raw::Int(B(), Rec(StarsAt, Point, c.Star) + 16), c.Mag) << c.Who;
}

TEST_F(CatalogFile, MessierSlotsHoldTheKeptObjects) {
  std::map<std::string, int> slotOf;
  for (int m = 1; m <= 100; ++m) {
    const std::string code = Raw::Str(B(), Rec(MessierNamesAt, Name520, m) + 260);
    ASSERT_FALSE(code.empty()) << "slot " << m;
    EXPECT_FALSE(Raw::Str(B(), Rec(MessierNamesAt, Name520, m) + 4).empty()) << code;
    EXPECT_TRUE(slotOf.emplace(code, m).second) << code << " twice";
  }
  ASSERT_TRUE(slotOf.count("M31"));
  const size_t m31 = Rec(MessierAt, Point, slotOf["M31"]);
  EXPECT_NEAR(Raw::Double(B(), m31), 10.684792 * Deg, 1e-9);
  EXPECT_NEAR(Raw::Double(B(), m31 + 8), 41.269056 * Deg, 1e-9);
  EXPECT_EQ(Utf8Str(Rec(MessierNamesAt, Name520, slotOf["M31"]) + 4), "仙女座大星系");
  // No established name: constellation + object type.
  EXPECT_EQ(Utf8Str(Rec(MessierNamesAt, Name520, slotOf["M13"]) + 4), "武仙座球状星团");
  EXPECT_TRUE(slotOf.count("M110") == 0 && slotOf.count("M101") == 1) << "real numbers are kept";
}

TEST_F(CatalogFile, BoundaryRunsAreClosedAndOwned) {
  int runs = 0, points = 0, runOwner = 0;
  std::set<int> owners;
  for (int k = 1; k <= 1600; ++k) {
    const size_t b = Rec(BoundsAt, Point, k);
    const int owner = Raw::Int(B(), b + 20), mag = Raw::Int(B(), b + 16);
    if (owner == 0) {
      EXPECT_EQ(runOwner, 0) << "point " << k << ": the table ends inside a run";
      break;
    }
    ++points;
    if (runOwner == 0) runOwner = owner;
    EXPECT_EQ(owner, runOwner) << "point " << k << " changes constellation inside a run";
    if (k == 1) {
      EXPECT_EQ(owner, 1);
    }
    if (mag == 1) {
      ++runs;
      owners.insert(owner);
      runOwner = 0;
    } else {
      EXPECT_EQ(mag, 0) << "point " << k;
    }
  }
  EXPECT_EQ(points, 1501);
  EXPECT_EQ(runs, 89);  // Serpens has two
  EXPECT_EQ(owners.size(), 88u);
}

// The renderer draws a line only between stars 1 .. StarCount-1.
TEST_F(CatalogFile, EveryFigureLineIsDrawable) {
  struct Case {
    const char* Table;
    size_t At;
    int Lines, MaxOwner;
  } cases[] = {{"constellation lines", ConstLinesAt, 676, 88},
               {"asterism lines", OfficeLinesAt, 998, 312}};
  for (const Case& c : cases) {
    int used = 0;
    for (int k = 1; k <= 1000; ++k) {
      const size_t l = Rec(c.At, Line, k);
      const int a = Raw::Int(B(), l), b = Raw::Int(B(), l + 4), owner = Raw::Int(B(), l + 8);
      if (owner <= 0) continue;
      ++used;
      EXPECT_LE(owner, c.MaxOwner) << c.Table << " slot " << k;
      EXPECT_TRUE(a >= 1 && a <= StarCount - 1 && b >= 1 && b <= StarCount - 1)
          << c.Table << " slot " << k << ": " << a << "-" << b;
    }
    EXPECT_EQ(used, c.Lines) << c.Table;
  }
}

TEST_F(CatalogFile, StarsAreCompleteAndBrightestFirst) {
  int previousMag = -100;
  for (int k = 1; k <= 4000; ++k) {
    const size_t s = Rec(StarsAt, Point, k);
    const int owner = Raw::Int(B(), s + 20), mag = Raw::Int(B(), s + 16);
    if (k <= StarCount) {
      ASSERT_TRUE(owner >= 1 && owner <= 88) << "star " << k;
      const uint8_t greek = B()[s + 56];
      EXPECT_TRUE(greek == ' ' || (greek >= 'a' && greek <= 'z')) << "star " << k;
      // The magnitude-selected stars come first, brightest first.
      if (k <= 3000) {
        EXPECT_GE(mag, previousMag) << "star " << k;
      }
      previousMag = mag;
    } else {
      EXPECT_EQ(owner, 0) << "star " << k << " is past the catalogue";
    }
  }
}

}  // namespace

// The Milky Way model and its map file: the component table read and
// refused, the brightness the model gives the places everybody knows, and
// the map's reader on sound, short, long and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FileIo.h"
#include "MilkyWay.h"

namespace {

std::vector<TMilkyWayComponent> ShippedTable() {
  std::string text, error;
  const std::string path = std::string(SKYLOOM_SOURCE_DIR) + "/data/milkyway/milkyway.tsv";
  EXPECT_TRUE(ReadTextFile(path, 1 << 20, text, &error)) << error;
  std::vector<TMilkyWayComponent> table;
  EXPECT_TRUE(ParseMilkyWayTable(text, table, error)) << error;
  return table;
}

struct MilkyWayModel : ::testing::Test {
  std::vector<TMilkyWayComponent> Table = ShippedTable();
  double At(double l, double b) const { return MilkyWayBrightness(Table, l, b); }
};

TEST_F(MilkyWayModel, BrightestTowardSagittarius) {
  double best = -1, bestL = 0, bestB = 0;
  for (int b = -90; b <= 90; ++b)
    for (int l = 0; l < 360; ++l)
      if (At(l, b) > best) {
        best = At(l, b);
        bestL = l;
        bestB = b;
      }
  const double fromCentre = bestL > 180 ? 360 - bestL : bestL;
  EXPECT_LT(fromCentre, 10) << "brightest at l=" << bestL << " b=" << bestB;
  EXPECT_LT(std::abs(bestB), 10);
}

TEST_F(MilkyWayModel, DarkCloudsAreDarkerThanTheirNeighbours) {
  // The Coalsack between Crux and Centaurus along the band.
  EXPECT_LT(At(301, -1), 0.6 * At(295, -1));
  EXPECT_LT(At(301, -1), 0.6 * At(307, -1));
  // The Great Rift splits the band in Aquila and Cygnus: darker on the
  // lane than on the band's southern half beside it.
  for (double l : {30.0, 45.0, 58.0})
    EXPECT_LT(At(l, 2), At(l, -4)) << "l=" << l;
}

TEST_F(MilkyWayModel, BandCloudsAndAnticentre) {
  // The band is far brighter than the sky away from it.
  EXPECT_GT(At(90, 0), 10 * At(90, 30));
  // The anticentre is the faintest stretch; Cygnus and Carina are bright.
  EXPECT_LT(At(180, -1), 0.5 * At(72, 1.5));
  EXPECT_LT(At(180, -1), 0.5 * At(287.5, -0.5));
  // Both Magellanic Clouds stand out from the sky around them.
  EXPECT_GT(At(280.5, -32.9), 5 * At(280.5, -45));
  EXPECT_GT(At(302.8, -44.3), 5 * At(320, -44.3));
  // The band wraps round l = 0 without a seam.
  EXPECT_NEAR(At(359.999, 0), At(0, 0), 1e-3 * At(0, 0));
}

TEST(MilkyWayTable, RefusesBadRows) {
  const std::string bands = "band\t0\t0\t-\t5\t1\nband\t180\t0\t-\t5\t0.2\n";
  const struct {
    const char* Row;
    const char* Fault;
  } cases[] = {
      {"spot\t0\t0\t1\t1\t1\n", "unknown kind"},
      {"glow\t0\t0\t1\t1\n", "6 fields"},
      {"glow\t400\t0\t1\t1\t1\n", "l is"},
      {"glow\t0\t-91\t1\t1\t1\n", "b is"},
      {"glow\t0\t0\t0\t1\t1\n", "sigma_l"},
      {"band\t0\t0\t2\t1\t1\n", "\"-\" for sigma_l"},
      {"glow\t0\t0\t1\tx\t1\n", "sigma_b"},
      {"dark\t0\t0\t1\t1\t1.5\n", "value"},
  };
  for (const auto& c : cases) {
    std::vector<TMilkyWayComponent> table;
    std::string error;
    EXPECT_FALSE(ParseMilkyWayTable(bands + c.Row, table, error)) << c.Row;
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_NE(error.find(c.Fault), std::string::npos) << error;
  }
  std::vector<TMilkyWayComponent> table;
  std::string error;
  EXPECT_FALSE(ParseMilkyWayTable("band\t0\t0\t-\t5\t1\n", table, error));
  EXPECT_NE(error.find("two band rows"), std::string::npos) << error;
  EXPECT_TRUE(ParseMilkyWayTable("# a comment\n\n" + bands + "glow 10 0 1 1 1 # a cloud\n",
                                 table, error))
      << error;
  EXPECT_EQ(table.size(), 3u);
}

// A map whose cell (c, r) is (c + r) % 256.
TMilkyWayMap Ramp() {
  TMilkyWayMap m;
  m.Cells.resize(static_cast<size_t>(TMilkyWayMap::Columns) * TMilkyWayMap::Rows);
  for (int r = 0; r < TMilkyWayMap::Rows; ++r)
    for (int c = 0; c < TMilkyWayMap::Columns; ++c)
      m.Cells[static_cast<size_t>(r) * TMilkyWayMap::Columns + c] =
          static_cast<uint8_t>((c + r) % 256);
  return m;
}

TEST(MilkyWayMapFile, SoundShortLongAndDamaged) {
  const TMilkyWayMap ramp = Ramp();
  const std::vector<uint8_t> bytes = EncodeMilkyWay(ramp);
  ASSERT_EQ(bytes.size(), TMilkyWayMap::FileSize);
  TMilkyWayMap m;
  std::string fault, reason;
  ASSERT_TRUE(DecodeMilkyWay(bytes, m, fault, reason));
  EXPECT_TRUE(fault.empty()) << fault;
  EXPECT_EQ(m.Cells, ramp.Cells);

  // Short: the whole rows are kept, the cut row and the rest stay dark.
  std::vector<uint8_t> shortFile(bytes.begin(),
                                 bytes.begin() + TMilkyWayMap::HeaderSize + 10 * 360 + 100);
  ASSERT_TRUE(DecodeMilkyWay(shortFile, m, fault, reason));
  EXPECT_NE(fault.find("shorter"), std::string::npos);
  EXPECT_NE(reason.find(std::to_string(shortFile.size()) + " bytes"), std::string::npos);
  EXPECT_EQ(m.Cell(5, 9), ramp.Cell(5, 9));
  EXPECT_EQ(m.Cell(5, 10), 0);
  EXPECT_EQ(m.Cells.size(), ramp.Cells.size());

  // Long: read in its layout, the surplus ignored.
  std::vector<uint8_t> longFile = bytes;
  longFile.push_back(7);
  ASSERT_TRUE(DecodeMilkyWay(longFile, m, fault, reason));
  EXPECT_NE(fault.find("longer"), std::string::npos);
  EXPECT_EQ(m.Cells, ramp.Cells);

  // Damaged headers: nothing is kept.
  std::vector<uint8_t> magic = bytes;
  magic[0] = 'X';
  EXPECT_FALSE(DecodeMilkyWay(magic, m, fault, reason));
  EXPECT_TRUE(m.Empty());
  std::vector<uint8_t> size = bytes;
  size[4] = 10;
  EXPECT_FALSE(DecodeMilkyWay(size, m, fault, reason));
  EXPECT_NE(reason.find("cells"), std::string::npos);
  EXPECT_FALSE(DecodeMilkyWay({'S', 'K'}, m, fault, reason));
}

TEST(MilkyWayMapFile, InterpolatesAndWrapsLongitude) {
  const TMilkyWayMap ramp = Ramp();
  const double d = M_PI / 180;
  EXPECT_NEAR(ramp.At(10 * d, -80 * d) * 255, 20, 1e-9);
  EXPECT_NEAR(ramp.At(10.5 * d, -80 * d) * 255, 20.5, 1e-9);
  // Between l = 359 and l = 0 the values of both columns are mixed.
  const double a = ramp.Cell(359, 90), b = ramp.Cell(0, 90);
  EXPECT_NEAR(ramp.At(359.5 * d, 0) * 255, (a + b) / 2, 1e-9);
  EXPECT_NEAR(ramp.At(-0.5 * d, 0) * 255, (a + b) / 2, 1e-9);
  EXPECT_EQ(TMilkyWayMap{}.At(0, 0), 0);
}

TEST(MilkyWayMapFile, LoaderReportsOnceAndKeepsWhatIsValid) {
  const auto dir = std::filesystem::path(SKYLOOM_BINARY_DIR) / "tests" / "milkyway-files";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "folder.dat");
  const std::vector<uint8_t> bytes = EncodeMilkyWay(Ramp());
  auto write = [&](const std::string& name, size_t n) {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(n));
    return (dir / name).string();
  };
  const struct {
    std::string Path;
    bool Kept;
    const char* Said;
  } cases[] = {
      {write("sound.dat", bytes.size()), true, ""},
      {write("short.dat", bytes.size() - 1000), true, "shorter than a map"},
      {write("cut.dat", 5), false, "not a Milky Way map"},
      {(dir / "folder.dat").string(), false, "cannot be read"},
      {(dir / "none.dat").string(), false, "missing"},
  };
  for (const auto& c : cases) {
    TMilkyWayMap m;
    ::testing::internal::CaptureStderr();
    LoadMilkyWayFrom(m, c.Path);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(!m.Empty(), c.Kept) << c.Path;
    if (*c.Said) {
      EXPECT_EQ(said.rfind("skyloom: " + c.Path + ": ", 0), 0u) << said;
      EXPECT_NE(said.find(c.Said), std::string::npos) << said;
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    } else {
      EXPECT_EQ(said, "");
    }
  }
}

TEST(MilkyWayMapFile, BuiltMapMatchesTheTable) {
  const auto path = std::filesystem::path(SKYLOOM_RUNTIME_DIR) / MilkyWayFileName;
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "MilkyWay.dat is not built yet";
  TMilkyWayMap built;
  LoadMilkyWayFrom(built, path.string());
  EXPECT_EQ(built.Cells, BuildMilkyWayMap(ShippedTable()).Cells);
}

}  // namespace

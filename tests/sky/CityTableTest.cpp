// The city table: record layout, the 800-record limit, damaged files, and
// the compiled "CityInfo.dat".
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CityTable.h"
#include "Gbk.h"
#include "SkyTestFiles.h"

namespace {

constexpr double Deg = M_PI / 180.0;

std::string CityName(int k) {
  std::string name = "C";
  name += std::to_string(k);
  return name;
}

// n records written by offset arithmetic: city k is "C<k>" at latitude
// k/1000 radians, zone k mod 25 - 12.
std::vector<uint8_t> Cities(int n) {
  std::vector<uint8_t> b(static_cast<size_t>(n) * 536, 0);
  for (int k = 1; k <= n; ++k) {
    const size_t at = static_cast<size_t>(k - 1) * 536;
    Raw::PutStr(b, at, "X");
    Raw::PutStr(b, at + 256, CityName(k));
    Raw::PutDouble(b, at + 512, k / 1000.0);
    Raw::PutDouble(b, at + 520, -k / 1000.0);
    Raw::PutInt(b, at + 528, k % 25 - 12);
  }
  return b;
}

TEST(CityTable, RecordsAreReadUpTo800) {
  const auto owned = std::make_unique<TCityTable>();
  TCityTable& table = *owned;
  TTempFolder tmp;
  struct Case {
    size_t Bytes;
    int Count;
    const char* Says;  // the one message on stderr; "" for none
  } cases[] = {
      {0, 0, ""},
      {536 * 3, 3, ""},
      // a cut record at the end is not a city
      {536 * 3 + 100, 3,
       "ends in a partial city record; it is ignored (1708 bytes, not a multiple of 536)"},
      {536 * 800, 800, ""},
      {536 * 900, 800, "more than 800 cities; the rest are ignored (482400 bytes)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Bytes);
    std::vector<uint8_t> image = Cities(900);
    image.resize(c.Bytes);
    WriteBytes(tmp / "CityInfo.dat", image);
    testing::internal::CaptureStderr();
    EXPECT_EQ(table.Load(tmp / "CityInfo.dat"), c.Count);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, *c.Says ? "skyloom: " + (tmp / "CityInfo.dat") + ": " + c.Says + "\n" : "");
    EXPECT_EQ(table.CityCount, c.Count);
    if (c.Count > 0) {
      const TCityInfo& last = table.Cities[c.Count];
      EXPECT_EQ(last.Country.str(), "X");
      EXPECT_EQ(last.CityName.str(), CityName(c.Count));
      EXPECT_EQ(last.Latitude, c.Count / 1000.0);
      EXPECT_EQ(last.Longitude, -c.Count / 1000.0);
      EXPECT_EQ(last.TimeZone, c.Count % 25 - 12);
    }
    EXPECT_TRUE(table.Cities[c.Count + 1].CityName.empty()) << "no stale city after the last";
  }
}

TEST(CityTable, MissingOrUnreadableFileEmptiesTheTable) {
  const auto owned = std::make_unique<TCityTable>();
  TCityTable& table = *owned;
  TTempFolder tmp;
  WriteBytes(tmp / "CityInfo.dat", Cities(5));
  ASSERT_EQ(table.Load(tmp / "CityInfo.dat"), 5);
  EXPECT_EQ(table.Load(tmp / "absent.dat"), 0);
  EXPECT_EQ(table.CityCount, 0);
  EXPECT_TRUE(table.Cities[1].CityName.empty());
  std::filesystem::create_directory(tmp / "folder");
  ASSERT_EQ(::mkfifo((tmp / "pipe").c_str(), 0600), 0);  // nobody writes: must not block
  for (const char* name : {"folder", "pipe"}) {
    WriteBytes(tmp / "CityInfo.dat", Cities(5));
    ASSERT_EQ(table.Load(tmp / "CityInfo.dat"), 5);
    testing::internal::CaptureStderr();
    EXPECT_EQ(table.Load(tmp / name), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(table.CityCount, 0);
    EXPECT_NE(said.find("skyloom: " + (tmp / name) + ": cannot be read; no cities ("),
              std::string::npos) << said;
  }
}

TEST(CityTable, CompiledFileHoldsTheSourceCities) {
  const auto owned = std::make_unique<TCityTable>();
  TCityTable& table = *owned;
  const std::string path = std::string(SKYLOOM_RUNTIME_DIR) + "/CityInfo.dat";
  const std::vector<uint8_t> raw = ReadBytes(path);
  ASSERT_EQ(raw.size(), 794u * 536u);
  // Record 1 by offsets: Beijing, radians, zone 8.
  EXPECT_EQ(GbkToUtf8(Raw::Str(raw, 0)), "中国");
  EXPECT_EQ(GbkToUtf8(Raw::Str(raw, 256)), "北京");
  EXPECT_NEAR(Raw::Double(raw, 512), 39.9075 * Deg, 1e-12);
  EXPECT_NEAR(Raw::Double(raw, 520), 116.3972 * Deg, 1e-12);
  EXPECT_EQ(Raw::Int(raw, 528), 8);

  ASSERT_EQ(table.Load(path), 794);
  // The records of one country are consecutive, every zone is whole and in
  // -12..12, every place on the globe.
  std::set<std::string> finished;
  std::string country;
  for (int k = 1; k <= table.CityCount; ++k) {
    const TCityInfo& c = table.Cities[k];
    if (c.Country.str() != country) {
      EXPECT_TRUE(finished.insert(country).second || country.empty());
      EXPECT_FALSE(finished.count(c.Country.str())) << "city " << k << " reopens a country";
      country = c.Country.str();
    }
    EXPECT_FALSE(c.CityName.empty()) << k;
    EXPECT_LE(std::fabs(c.Latitude), M_PI / 2) << k;
    EXPECT_LE(std::fabs(c.Longitude), M_PI) << k;
    EXPECT_TRUE(c.TimeZone >= -12 && c.TimeZone <= 12) << k;
  }
}

}  // namespace

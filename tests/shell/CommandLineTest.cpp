// Command-line options: accepted values land in the options, anything
// malformed or out of range is refused with a message naming the option.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "SkyModel.h"

namespace {

TEST(CommandLine, AcceptsWellFormedSettings) {
  TOptions o;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--date", "-500-03-01", "--time", "23:59", "--zone", "-12", "--lat",
                            "-90", "--lon", "116.4", "--az", "360", "--mode1", "0x3F", "--mode2",
                            "$1800", "--names", "--no-ground", "--render", "a.png"},
                           o, error))
      << error;
  EXPECT_EQ(*o.Year, -500);
  EXPECT_EQ(*o.Month, 3);
  EXPECT_EQ(*o.Day, 1);
  EXPECT_EQ(*o.Hour, 23);
  EXPECT_EQ(*o.Minute, 59);
  EXPECT_EQ(*o.Zone, -12);
  EXPECT_EQ(*o.LatDeg, -90);
  EXPECT_EQ(*o.AzDeg, 360);
  EXPECT_EQ(*o.Mode1, 0x3Fu);
  EXPECT_EQ(*o.Mode2, 0x1800u);
  EXPECT_TRUE(o.Names);
  EXPECT_TRUE(o.NoGround);
  EXPECT_EQ(o.RenderFile, "a.png");
}

TEST(CommandLine, RefusesMalformedAndOutOfRangeValues) {
  struct Case {
    std::vector<std::string> Args;
    const char* Error;
  } cases[] = {
      {{"--date", "2026-13-01"}, "bad value for --date: \"2026-13-01\""},
      {{"--date", "2026-1"}, "bad value for --date: \"2026-1\""},
      {{"--date", "99999999999999999999-01-01"},
       "bad value for --date: \"99999999999999999999-01-01\""},
      {{"--time", "24:00"}, "bad value for --time: \"24:00\""},
      {{"--time", "12:00:00"}, "bad value for --time: \"12:00:00\""},
      {{"--zone", "13"}, "bad value for --zone: \"13\""},
      {{"--lat", "90.5"}, "bad value for --lat: \"90.5\""},
      {{"--lon", "nan"}, "bad value for --lon: \"nan\""},
      {{"--alt", "1e400"}, "bad value for --alt: \"1e400\""},
      {{"--az", "-1"}, "bad value for --az: \"-1\""},
      {{"--mode1", "-1"}, "bad value for --mode1: \"-1\""},
      {{"--mode1", " 8"}, "bad value for --mode1: \" 8\""},
      {{"--mode2", "0x"}, "bad value for --mode2: \"0x\""},
      {{"--mode2", "12345678901234567"}, "bad value for --mode2: \"12345678901234567\""},
      {{"--limit", "5x"}, "bad value for --limit: \"5x\""},
      {{"--render"}, "--render needs a value"},
      {{"--fly"}, "unknown option \"--fly\" (see --help)"},
      {{"--label-placement", "yes"}, "bad value for --label-placement: \"yes\" (on or off)"},
      {{"--realistic-sky"}, "--realistic-sky needs a value"},
  };
  for (const Case& c : cases) {
    TOptions o;
    std::string error;
    EXPECT_FALSE(ParseOptions(c.Args, o, error)) << c.Args[0];
    EXPECT_EQ(error, c.Error);
  }
}

// The two drawing options reach the model only when given.
TEST(CommandLine, DrawingOptions) {
  TOptions o;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--label-placement", "off", "--realistic-sky", "on"}, o, error)) << error;
  TSkyloom sky;
  sky.RealisticSky = 0;
  ApplyDrawOptions(o, sky);
  EXPECT_EQ(sky.LabelPlacement, 0);
  EXPECT_EQ(sky.RealisticSky, 1);
  TOptions none;
  ASSERT_TRUE(ParseOptions({}, none, error));
  sky.LabelPlacement = 1;
  sky.RealisticSky = 0;
  ApplyDrawOptions(none, sky);
  EXPECT_EQ(sky.LabelPlacement, 1);
  EXPECT_EQ(sky.RealisticSky, 0);
}

}  // namespace

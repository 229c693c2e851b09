// Command-line options: accepted values land in the options, anything
// malformed or out of range is refused with a message naming the option.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "Settings.h"
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
  EXPECT_FALSE(o.Second.value_or(0));
  EXPECT_EQ(*o.Zone, -12);
  EXPECT_EQ(*o.LatDeg, -90);
  EXPECT_EQ(*o.AzDeg, 360);
  EXPECT_EQ(*o.Mode1, 0x3Fu);
  EXPECT_EQ(*o.Mode2, 0x1800u);
  EXPECT_TRUE(o.Names);
  EXPECT_TRUE(o.NoGround);
  EXPECT_EQ(o.RenderFile, "a.png");
}

TEST(CommandLine, TimeTakesSeconds) {
  TOptions o;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--time", "13:40:44"}, o, error)) << error;
  EXPECT_EQ(*o.Hour, 13);
  EXPECT_EQ(*o.Minute, 40);
  EXPECT_EQ(*o.Second, 44);
}

// Real dates of the model's calendar pass, leap days included; the zone
// range is the one the settings keep (help, parser and settings agree).
TEST(CommandLine, AcceptsEveryRealDateAndZone) {
  struct Case {
    const char* Date;
    int Y, M, D;
  } dates[] = {{"2024-02-29", 2024, 2, 29}, {"2000-02-29", 2000, 2, 29},
               {"1500-02-29", 1500, 2, 29},  // Julian: every fourth year
               {"-1-02-29", -1, 2, 29},      // 1 BC, a Julian leap year
               {"1582-10-04", 1582, 10, 4},  {"1582-10-15", 1582, 10, 15},
               {"2026-12-31", 2026, 12, 31}};
  for (const Case& c : dates) {
    TOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--date", c.Date}, o, error)) << c.Date << ": " << error;
    EXPECT_EQ(*o.Year, c.Y);
    EXPECT_EQ(*o.Month, c.M);
    EXPECT_EQ(*o.Day, c.D);
  }
  for (int zone : {MinTimeZone, 13, MaxTimeZone}) {
    TOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--zone", std::to_string(zone)}, o, error)) << error;
    EXPECT_EQ(*o.Zone, zone);
  }
  std::string range = "(";
  range.append(std::to_string(MinTimeZone)).append("..").append(std::to_string(MaxTimeZone));
  range.append(")");
  EXPECT_NE(std::string(OptionsHelp()).find(range), std::string::npos);
}

TEST(CommandLine, TakesAnInterfaceScaleOrZeroForAutomatic) {
  for (const char* n : {"0", "1", "1.75", "3"}) {
    TOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--scale", n}, o, error)) << n << ": " << error;
    EXPECT_EQ(*o.Scale, std::stod(n));
  }
  for (const char* n : {"0.5", "3.1", "-1", "nan", "x"}) {
    TOptions o;
    std::string error;
    EXPECT_FALSE(ParseOptions({"--scale", n}, o, error)) << n;
    EXPECT_NE(error.find("--scale"), std::string::npos) << error;
  }
}

TEST(CommandLine, AcceptsTheWholeRangeOfFields) {
  for (const char* n : {"5", "73.7", "180"}) {
    TOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--fov", n}, o, error)) << n << ": " << error;
    EXPECT_EQ(*o.FovDeg, std::stod(n));
  }
}

// The whole ranges of --select and show names that stay in the show folder.
TEST(CommandLine, AcceptsSelectionsAndShowNames) {
  for (const char* n : {"0", "1", "88", "201", "600"}) {
    TOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--select", n}, o, error)) << n << ": " << error;
    EXPECT_EQ(*o.Select, std::stoi(n));
  }
  for (const char* name : {"冬季星空", "冬季星空.shw", "..冬季", "a..b"}) {
    TOptions o;
    std::string error;
    EXPECT_TRUE(ParseOptions({"--show", name}, o, error)) << name << ": " << error;
  }
}

TEST(CommandLine, RefusesMalformedAndOutOfRangeValues) {
  struct Case {
    std::vector<std::string> Args;
    const char* Error;
  } cases[] = {
      {{"--date", "2026-13-01"}, "bad value for --date: \"2026-13-01\" (months 1..12)"},
      {{"--date", "2026-1"}, "bad value for --date: \"2026-1\" (YYYY-MM-DD, years -99999..99999)"},
      {{"--date", "99999999999999999999-01-01"},
       "bad value for --date: \"99999999999999999999-01-01\" (YYYY-MM-DD, years -99999..99999)"},
      {{"--date", "2026-02-31"}, "bad value for --date: \"2026-02-31\" (days 1..28 in that month)"},
      {{"--date", "2026-04-31"}, "bad value for --date: \"2026-04-31\" (days 1..30 in that month)"},
      {{"--date", "1900-02-29"}, "bad value for --date: \"1900-02-29\" (days 1..28 in that month)"},
      {{"--date", "1582-10-10"},
       "bad value for --date: \"1582-10-10\" (October 5..14 of 1582 were left out by the "
       "calendar reform)"},
      {{"--date", "0-01-01"}, "bad value for --date: \"0-01-01\" (there is no year 0; 1 BC is year -1)"},
      {{"--date", "-2-02-29"}, "bad value for --date: \"-2-02-29\" (days 1..28 in that month)"},
      {{"--time", "24:00"}, "bad value for --time: \"24:00\" (HH:MM or HH:MM:SS, hours 0..23, minutes and seconds 0..59)"},
      {{"--time", "12:00:60"}, "bad value for --time: \"12:00:60\" (HH:MM or HH:MM:SS, hours 0..23, minutes and seconds 0..59)"},
      {{"--time", "12:00:"}, "bad value for --time: \"12:00:\" (HH:MM or HH:MM:SS, hours 0..23, minutes and seconds 0..59)"},
      {{"--time", "12:60"}, "bad value for --time: \"12:60\" (HH:MM or HH:MM:SS, hours 0..23, minutes and seconds 0..59)"},
      {{"--zone", "15"}, "bad value for --zone: \"15\" (whole hours -12..14)"},
      {{"--zone", "-13"}, "bad value for --zone: \"-13\" (whole hours -12..14)"},
      {{"--lat", "90.5"}, "bad value for --lat: \"90.5\" (degrees -90..90)"},
      {{"--lon", "nan"}, "bad value for --lon: \"nan\" (degrees -360..360)"},
      {{"--alt", "1e400"}, "bad value for --alt: \"1e400\" (degrees -90..90)"},
      {{"--az", "-1"}, "bad value for --az: \"-1\" (degrees 0..360)"},
      {{"--fov", "4.9"}, "bad value for --fov: \"4.9\" (degrees 5..180)"},
      {{"--fov", "181"}, "bad value for --fov: \"181\" (degrees 5..180)"},
      {{"--fov", "nan"}, "bad value for --fov: \"nan\" (degrees 5..180)"},
      {{"--mode1", "-1"}, "bad value for --mode1: \"-1\" (up to 16 hexadecimal digits)"},
      {{"--mode1", " 8"}, "bad value for --mode1: \" 8\" (up to 16 hexadecimal digits)"},
      {{"--mode2", "0x"}, "bad value for --mode2: \"0x\" (up to 16 hexadecimal digits)"},
      {{"--mode2", "12345678901234567"}, "bad value for --mode2: \"12345678901234567\" (up to 16 hexadecimal digits)"},
      {{"--limit", "5x"}, "bad value for --limit: \"5x\" (-100..1000)"},
      {{"--render"}, "--render needs a value"},
      {{"--fly"}, "unknown option \"--fly\" (see --help)"},
      {{"--label-placement", "yes"}, "bad value for --label-placement: \"yes\" (on or off)"},
      {{"--realistic-sky"}, "--realistic-sky needs a value"},
      {{"--select", "89"}, "bad value for --select: \"89\" (constellations 1..88, asterisms 201..600)"},
      {{"--select", "200"}, "bad value for --select: \"200\" (constellations 1..88, asterisms 201..600)"},
      {{"--select", "601"}, "bad value for --select: \"601\" (constellations 1..88, asterisms 201..600)"},
      {{"--select", "-1"}, "bad value for --select: \"-1\" (constellations 1..88, asterisms 201..600)"},
      {{"--show", "../../x"}, "bad value for --show: \"../../x\" (the name of a show in the folder 天文节目)"},
      {{"--show", "/etc/passwd"}, "bad value for --show: \"/etc/passwd\" (the name of a show in the folder 天文节目)"},
      {{"--show", ".."}, "bad value for --show: \"..\" (the name of a show in the folder 天文节目)"},
      {{"--show", ""}, "bad value for --show: \"\" (the name of a show in the folder 天文节目)"},
  };
  for (const Case& c : cases) {
    TOptions o;
    std::string error;
    EXPECT_FALSE(ParseOptions(c.Args, o, error)) << c.Args[0];
    EXPECT_EQ(error, c.Error);
  }
}

// The drawing options reach the model only when given.
TEST(CommandLine, DrawingOptions) {
  TOptions o;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--label-placement", "off", "--realistic-sky", "on", "--refraction",
                            "off", "--milky-way", "off"},
                           o, error))
      << error;
  TSkyloom sky;
  sky.RealisticSky = 0;
  sky.ShowFlags = SkyBits::MilkyWay | SkyBits::Ground;
  ApplyDrawOptions(o, sky);
  EXPECT_EQ(sky.LabelPlacement, 0);
  EXPECT_EQ(sky.RealisticSky, 1);
  EXPECT_EQ(sky.Refraction, 0);
  EXPECT_EQ(sky.MilkyWay, 0);
  EXPECT_EQ(sky.ShowFlags, SkyBits::Ground) << "the sky shown loses the Milky Way at once";
  EXPECT_FALSE(ParseOptions({"--milky-way", "dim"}, o, error));
  EXPECT_NE(error.find("--milky-way"), std::string::npos) << error;
  EXPECT_FALSE(ParseOptions({"--refraction", "yes"}, o, error));
  TOptions none;
  ASSERT_TRUE(ParseOptions({}, none, error));
  sky.LabelPlacement = 1;
  sky.RealisticSky = 0;
  sky.Refraction = 1;
  ApplyDrawOptions(none, sky);
  EXPECT_EQ(sky.LabelPlacement, 1);
  EXPECT_EQ(sky.RealisticSky, 0);
  EXPECT_EQ(sky.Refraction, 1);
}

}  // namespace

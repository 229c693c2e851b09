// The commands on the real catalogue, as the program runs them from its own
// folder: object names, picking Orion from Beijing, its stories in both
// languages, the go-to to Mars, time flow frame by frame, and the first-run
// observer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "AutoCommand.h"
#include "CityTable.h"
#include "DateFrame.h"
#include "FirstRun.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "GoTo.h"
#include "TestForm.h"
#include "Interface.h"
#include "Gbk.h"
#include "ObjectNames.h"
#include "Refraction.h"
#include "ScreenGeometry.h"
#include "Script.h"
#include "SettingsStore.h"
#include "SkyModel.h"
#include "Transforms.h"

namespace {

constexpr double Deg = M_PI / 180.0;

class SkyCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(SKYLOOM_RUNTIME_DIR);
    form_ = StartTestForm(20260115);
    // Beijing, as the settings dialog would set it.
    TSkyloom& sky = form_->Sky;
    sky.Latitude = 39.9075 * Deg;
    sky.Longitude = 116.3972 * Deg;
    sky.TimeZone = 8;
    form_->DXDrawInitialize();
    Frames(1);
  }
  void TearDown() override {
    StopTestForm(form_);
    std::filesystem::current_path(previous_);
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) RunFrame(*form_);
  }
  int Orion() { return FindObjectByName(form_->Sky, "Orion"); }

  std::filesystem::path previous_;
  std::unique_ptr<TFormSky> form_;
};

TEST_F(SkyCommandsTest, NamesFindTheirObjects) {
  const TSkyloom& sky = form_->Sky;
  const int orion = Orion();
  ASSERT_GE(orion, 1);
  ASSERT_LE(orion, 88);
  EXPECT_EQ(sky.Consts[orion].EShort.str().substr(0, 3), "Ori");
  struct Case {
    const char* Name;
    int Code;  // -1: the constellation Orion
  } cases[] = {
      {"猎户座", -1}, {"猎户", -1}, {"orion", -1}, {" ORI ", -1}, {"火星", 105}, {"Mars", 105},
      {"月亮", 102}, {"sun", 101}, {"冥王星", 110},
      {"M0", 0}, {"M999", 0}, {"Vulcan", 0}, {"", 0}, {"   ", 0}, {"\xFF\xFE", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindObjectByName(sky, c.Name), c.Code < 0 ? orion : c.Code) << c.Name;
  // Two-word English names with any spacing.
  const int cma = FindObjectByName(sky, "canis   major");
  ASSERT_GT(cma, 0);
  EXPECT_EQ(FindObjectByName(sky, "CMa"), cma);
  EXPECT_EQ(FindObjectByName(sky, "大犬座"), cma);
  // Asterisms by their Chinese name.
  const int shen = FindObjectByName(sky, "参宿");
  EXPECT_GT(shen, 200);
  EXPECT_LE(shen, 600);
  EXPECT_EQ(GbkToUtf8(Trim(sky.Offices[shen - 200].Name.view())), "参宿");
  // A Messier code finds the slot that holds it, in any spelling.
  for (const char* m31 : {"M31", "m31", "m 31", "M031"}) {
    const int code = FindObjectByName(sky, m31);
    ASSERT_GT(code, 1000) << m31;
    EXPECT_EQ(Trim(sky.MessierNames[code - 1000].Code.view()), "M31") << m31;
  }
  const int m42 = FindObjectByName(sky, "M42");
  ASSERT_GT(m42, 1000);
  EXPECT_EQ(Trim(sky.MessierNames[m42 - 1000].Code.view()), "M42");
}

TEST_F(SkyCommandsTest, StarsAndMessierObjectsGoByTheirNames) {
  const TSkyloom& sky = form_->Sky;
  // Names of one object, each spelled several ways.
  const std::vector<std::vector<const char*>> same = {
      {"天狼星", "Sirius", "sirius", "SIRIUS", "tianlang", "Tian Lang", "α CMa", "alpha CMa",
       "Alpha  cma", "αCMa"},
      {"参宿四", "Betelgeuse", "betelgeuse", "α Ori", "alpha Ori", "alpha orion"},
      {"北极星", "Polaris", "α UMi"},
      {"织女星", "Vega", "vega", "α Lyr"},
      {"M42", "猎户座大星云", "Great Orion Nebula", "great orion nebula"},
      {"M45", "昴星团", "Pleiades"},
      {"M31", "仙女座大星系", "Andromeda Galaxy"},
  };
  for (const auto& names : same) {
    const int id = FindObjectByName(sky, names[0]);
    EXPECT_GT(id, 1000) << names[0];
    for (const char* n : names) EXPECT_EQ(FindObjectByName(sky, n), id) << n << " / " << names[0];
  }
  const int sirius = FindObjectByName(sky, "Sirius");
  ASSERT_GT(sirius, StarIdBase);
  EXPECT_EQ(ObjectNameOf(sky, sirius), "天狼星");
  EXPECT_LT(sky.Stars[sirius - StarIdBase].Mag, -10);  // magnitude -1.4
  // Every named star of the catalogue is found by its Chinese and English name.
  int named = 0;
  for (int i = 1; i <= MaxStarNames; ++i) {
    const TStarName& n = sky.StarNames[i];
    if (n.Name.empty()) continue;
    ++named;
    EXPECT_EQ(FindObjectByName(sky, GbkToUtf8(Trim(n.Name.view()))), StarIdBase + n.Star) << i;
    EXPECT_EQ(FindObjectByName(sky, GbkToUtf8(Trim(n.EName.view()))), StarIdBase + n.Star) << i;
  }
  EXPECT_EQ(named, 100);
  // Misspelt names find nothing but are told the names they were close to.
  struct Near {
    const char* Typed;
    const char* Meant;
  } near[] = {{"Betelguese", "参宿四"}, {"Siruis", "天狼星"}, {"猎户座大", "猎户座大星云"},
              {"Orian", "猎户座"}, {"Jupiterr", "木星"}};
  for (const Near& n : near) {
    EXPECT_EQ(FindObjectByName(sky, n.Typed), 0) << n.Typed;
    const std::vector<std::string> similar = SimilarObjectNames(sky, n.Typed);
    EXPECT_TRUE(std::any_of(similar.begin(), similar.end(), [&](const std::string& s) {
      return s.find(n.Meant) != std::string::npos;
    })) << n.Typed << " should suggest " << n.Meant;
    EXPECT_NE(UnknownObjectMessage(sky, n.Typed).find(n.Meant), std::string::npos) << n.Typed;
  }
  EXPECT_TRUE(SimilarObjectNames(sky, "qqqqqqqqqq").empty());
}

TEST(UnknownObjectMessage, SaysHowToNameObjects) {
  const auto sky = std::make_unique<TSkyloom>();
  const std::string m = UnknownObjectMessage(*sky, "Vulcan");
  for (const char* part : {"Vulcan", "猎户座", "Orion", "火星", "Mars", "参宿", "M31", "天狼星"})
    EXPECT_NE(m.find(part), std::string::npos) << part;
}

// Where a point of the sky is drawn: its screen position.
void ScreenOf(const TSkyloom& sky, const TSkyPoint& p, int& x, int& y) {
  x = ScreenX(sky, p);
  y = ScreenY(sky, p);
}

TEST_F(SkyCommandsTest, ClickOnOrionSelectsItAndShowsItsStory) {
  TSkyloom& sky = form_->Sky;
  const int orion = Orion();
  // Look toward Orion's label, then click where it is drawn.
  form_->GoToTarget(orion, false);
  Frames(1);
  sky.SelConst = 0;
  form_->TextShown = false;
  ASSERT_TRUE(sky.Consts[orion].HasLabel);
  const int x = RoundPixel(sky.Consts[orion].LabelX), y = RoundPixel(sky.Consts[orion].LabelY);
  form_->PointerAt.X = x;
  form_->PointerAt.Y = y;
  form_->PointerAt.Button = 0;
  form_->ExecuteCommand(9);
  EXPECT_EQ(sky.SelConst, orion);
  EXPECT_TRUE(form_->TextShown);
  EXPECT_FALSE(form_->PopupPending);
  const std::string title = GbkToUtf8(form_->Info.Title.str());
  EXPECT_EQ(title, "猎户座星座");
  ASSERT_GE(form_->Info.LineCount, 3);
  const std::string first = GbkToUtf8(form_->Info.Lines[1].str());
  EXPECT_EQ(first.find('?'), std::string::npos) << first;
  EXPECT_FALSE(sky.StoryText.empty());
  // English: the second line of the pair, wrapped at blanks.
  form_->ExecuteCommand(101);
  EXPECT_EQ(form_->Info.Title.str(), "Orion");
  const std::string english = form_->Info.Lines[1].str();
  EXPECT_FALSE(english.empty());
  for (char c : english) EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << english;
  // A right click on the same place selects it again and asks for the menu.
  form_->PointerAt.Button = 1;
  form_->ExecuteCommand(9);
  EXPECT_EQ(sky.SelConst, orion);
  EXPECT_TRUE(form_->PopupPending);
}

TEST_F(SkyCommandsTest, ClickOnTheGroundKeepsTheSelection) {
  TSkyloom& sky = form_->Sky;
  sky.ViewAz = 0;
  sky.ViewAlt = 10 * Deg;  // the horizon lies in the lower part of the sky area
  form_->SkyStale = true;
  Frames(1);
  sky.SelConst = 7;
  form_->TextShown = true;
  form_->PointerAt.X = 400;
  form_->PointerAt.Y = 425;
  form_->PointerAt.Button = 1;
  form_->ExecuteCommand(9);
  EXPECT_EQ(sky.SelConst, 7);
  EXPECT_TRUE(form_->TextShown);
  EXPECT_FALSE(form_->PopupPending);
}

TEST_F(SkyCommandsTest, GoToMarsEndsWithMarsNearTheCentre) {
  TSkyloom& sky = form_->Sky;
  std::vector<TScriptStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScript("goto 火星\nwait 200\n", steps, error)) << error;
  ASSERT_TRUE(RunScriptSteps(*form_, steps, ""));
  EXPECT_FALSE(form_->Player.Active);
  EXPECT_EQ(form_->Player.Command, 1004);
  EXPECT_EQ(GbkToUtf8(form_->Player.StatusText), "找到火星");
  int x = 0, y = 0;
  ScreenOf(sky, sky.Planets[5], x, y);
  EXPECT_TRUE(IsShown(sky.Planets[5]));
  EXPECT_LE(std::abs(x - sky.CenterX), 2) << x;
  EXPECT_LE(std::abs(y - sky.CenterY), 2) << y;
  // Mars is below the horizon that evening: the ground gave way.
  EXPECT_EQ(sky.GroundOn, 0);
  // Unknown names stop the script.
  steps.clear();
  ASSERT_TRUE(ParseScript("goto Vulcan\n", steps, error));
  EXPECT_FALSE(RunScriptSteps(*form_, steps, ""));
}

// Where object `id` is drawn, as offsets from the middle of the sky area
// (pixels; depth > 0 in front of the viewer). Constellations and asterisms
// are aimed at their label centre.
TSkyPoint DrawnOffset(const TSkyloom& sky, int id) {
  if (id > StarIdBase) return sky.Stars[id - StarIdBase];
  if (id > 1000) return sky.Messier[id - 1000];
  if (id > 100 && id <= 110) return sky.Planets[id - 100];
  const TSkyObject& o = id <= 99 ? sky.Consts[id] : sky.Offices[id - 200];
  const TVector3 v = ApparentDirection(DirectionOf(o.Lon, o.Lat), sky.DayNumber);
  TVector3 h = HorizontalDirection(LongitudeOf(v), LatitudeOf(v), sky);
  if (sky.Refraction) h = Refract(StandardRefraction(), h);
  TSkyPoint p;
  ApplyView(p, h, ProjectionOf(sky), true);
  return p;
}

TEST_F(SkyCommandsTest, GoToEndsWithItsObjectInTheMiddle) {
  TSkyloom& sky = form_->Sky;
  struct Place {
    int Year, Month, Day, Hour, Zone;
    double Lat, Lon;  // degrees
  } places[] = {
      {2026, 1, 15, 21, 8, 39.9, 116.4},    // Beijing, a winter evening
      {2026, 7, 1, 3, 10, -33.87, 151.21},  // Sydney before dawn
      {2030, 10, 20, 20, -5, 40.71, -74.0}, // New York, an autumn evening
  };
  const char* names[] = {"土星", "木星", "月亮", "金星", "太阳", "M42", "M31", "猎户座大星云",
                         "猎户座", "Crux", "天狼星", "Vega", "北极星", "alpha Ori", "参宿"};
  for (const Place& p : places) {
    for (const char* name : names) {
      const int id = FindObjectByName(sky, name);
      ASSERT_GT(id, 0) << name;
      sky.Year = p.Year, sky.Month = p.Month, sky.Day = p.Day, sky.Hour = p.Hour, sky.Minute = 0;
      sky.TimeZone = p.Zone;
      sky.Latitude = p.Lat * Deg;
      sky.Longitude = p.Lon * Deg;
      sky.ViewAz = 0;
      sky.ViewAlt = 20 * Deg;
      SetGroundLayer(sky, form_->Interface, true);
      form_->StartGoTo(id);
      form_->FinishGoTo();
      Frames(1);
      const TSkyPoint d = DrawnOffset(sky, id);
      const std::string where = std::string(name) + " on " + std::to_string(p.Year) + "-" +
                                std::to_string(p.Month) + " at " + std::to_string(p.Lat);
      EXPECT_FALSE(form_->Player.Active) << where;
      EXPECT_GT(d.Z, 0) << where;
      EXPECT_LE(std::fabs(d.X), 2.0) << where << ": " << d.X << " px off vertically";
      EXPECT_LE(std::fabs(d.Y), 2.0) << where << ": " << d.Y << " px off sideways";
    }
  }
}

TEST_F(SkyCommandsTest, PlayWithTheDefaultStepAdvancesAMinuteAFrame) {
  TSkyloom& sky = form_->Sky;
  std::vector<TScriptStep> steps;
  std::string error;
  sky.ViewAz = 0;
  sky.ViewAlt = 40 * Deg;
  form_->SkyStale = true;
  Frames(1);
  const double starY = sky.Stars[1].Y;
  ASSERT_TRUE(ParseScript("command 108\nwait 30\ncommand 109\nwait 5\n", steps, error)) << error;
  ASSERT_TRUE(RunScriptSteps(*form_, steps, ""));
  EXPECT_EQ(sky.Hour, 21);
  EXPECT_EQ(sky.Minute, 30);
  EXPECT_NE(sky.Stars[1].Y, starY) << "the sky turned";
  // Backward: 90 frames take it back past the full hour.
  steps.clear();
  ASSERT_TRUE(ParseScript("command 110\nwait 90\ncommand 109\n", steps, error));
  ASSERT_TRUE(RunScriptSteps(*form_, steps, ""));
  EXPECT_EQ(sky.Hour, 20);
  EXPECT_EQ(sky.Minute, 0);
}

TEST_F(SkyCommandsTest, TimeFlowStopsAtTheLastDateWithTheSkyStillDrawn) {
  TSkyloom& sky = form_->Sky;
  sky.Year = 99999, sky.Month = 12, sky.Day = 31, sky.Hour = 23, sky.Minute = 50;
  sky.StepUnit = 3;
  sky.StepAmount = 1;
  form_->PlayMode = 3;
  form_->ExecuteCommand(108);
  Frames(3);
  EXPECT_FALSE(form_->Player.Active);
  EXPECT_EQ(sky.Year, 99999);
  EXPECT_EQ(sky.Minute, 59);
  for (int k = 1; k <= sky.StarCount; ++k) {
    ASSERT_TRUE(std::isfinite(sky.Stars[k].X) && std::isfinite(sky.Stars[k].Y)) << k;
  }
  for (int j = 1; j <= 10; ++j) ASSERT_TRUE(std::isfinite(sky.Planets[j].X)) << j;
}

TEST_F(SkyCommandsTest, FirstRunTakesTheZonesFirstCity) {
  TSkyloom& sky = form_->Sky;
  struct Case {
    int Zone;
    const char* City;  // nullptr: no city in that zone
  } cases[] = {{8, "北京"}, {0, nullptr}, {-5, nullptr}, {14, nullptr}};
  const TCityTable& cities = sky.CityTable;
  if (cities.CityCount == 0) sky.CityTable.Load(CityFileName);
  ASSERT_GT(cities.CityCount, 0);
  for (const Case& c : cases) {
    ApplyFirstRunDefaults(sky, c.Zone);
    EXPECT_EQ(sky.TimeZone, c.Zone);
    EXPECT_EQ(sky.Mode1, SkyBits::ConstNames | SkyBits::StarNames | SkyBits::PlanetNames);
    EXPECT_EQ(sky.Mode2, SkyBits::ConstLines);
    int first = 0;
    for (int i = 1; i <= cities.CityCount && !first; ++i)
      if (cities.Cities[i].TimeZone == c.Zone) first = i;
    EXPECT_EQ(sky.City, first) << c.Zone;
    if (c.City) {
      EXPECT_EQ(GbkToUtf8(cities.Cities[first].CityName.str()), c.City);
    }
    if (first) {
      EXPECT_EQ(sky.Latitude, cities.Cities[first].Latitude);
    } else {
      EXPECT_NEAR(sky.Latitude, 40 * Deg, 1e-12);
      EXPECT_NEAR(sky.Longitude, c.Zone * 15 * Deg, 1e-12);
    }
  }
}

TEST_F(SkyCommandsTest, FirstRunTakesTheCityOfTheZonesName) {
  TSkyloom& sky = form_->Sky;
  const TCityTable& cities = sky.CityTable;
  if (cities.CityCount == 0) sky.CityTable.Load(CityFileName);
  ASSERT_GT(cities.CityCount, 0);
  struct Case {
    const char* Zone;
    int Offset;
    const char* City;  // any of "a|b"; nullptr: the first city of the offset
  } cases[] = {
      {"Asia/Shanghai", 8, "北京|上海"}, {"Europe/London", 1, "伦敦"},
      {"America/New_York", -4, "纽约"},  {"Australia/Sydney", 11, "悉尼"},
      {"Asia/Tokyo", 9, "东京"},         {"America/Los_Angeles", -7, "洛杉矶"},
      {"Europe/Berlin", 2, "柏林"},      {"America/Sao_Paulo", -3, "圣保罗"},
      {"Asia/Kolkata", 5, nullptr},      {"UTC", 0, nullptr},
      {"Mars/Olympus_Mons", 3, nullptr}, {"", 8, nullptr},
  };
  for (const Case& c : cases) {
    ApplyFirstRunDefaults(sky, c.Offset, c.Zone);
    EXPECT_EQ(sky.TimeZone, c.Offset) << c.Zone;
    EXPECT_EQ(sky.NamesOn, 1);
    EXPECT_EQ(sky.LinesOn, 1);
    EXPECT_NE(sky.ShowFlags & SkyBits::ConstLines, 0u);
    EXPECT_NE(sky.ShowFlags & SkyBits::ConstNames, 0u);
    ASSERT_GE(sky.City, 1) << c.Zone;
    const std::string city = GbkToUtf8(Trim(cities.Cities[sky.City].CityName.view()));
    if (c.City) {
      const std::string wanted = std::string("|") + c.City + "|";
      EXPECT_NE(wanted.find("|" + city + "|"), std::string::npos) << c.Zone << " -> " << city;
    } else if (std::string(c.Zone) != "Asia/Kolkata") {
      int first = 0;
      for (int i = 1; i <= cities.CityCount && !first; ++i)
        if (cities.Cities[i].TimeZone == c.Offset) first = i;
      EXPECT_EQ(sky.City, first) << c.Zone;
    }
  }
  // India's zone is half an hour off the whole hours, and still gives an Indian city.
  ApplyFirstRunDefaults(sky, 5, "Asia/Kolkata");
  EXPECT_EQ(GbkToUtf8(Trim(cities.Cities[sky.City].Country.view())), "印度");
}

TEST(FirstRun, ZoneNameOfTheSystem) {
  const char* saved = getenv("TZ");
  const std::string keep = saved ? saved : "";
  struct Case {
    const char* Tz;
    const char* Name;
  } cases[] = {{"Europe/London", "Europe/London"}, {":Asia/Tokyo", "Asia/Tokyo"},
               {"/usr/share/zoneinfo/America/New_York", "America/New_York"}, {"CST-8", ""}};
  for (const Case& c : cases) {
    setenv("TZ", c.Tz, 1);
    EXPECT_EQ(SystemZoneName(), c.Name) << c.Tz;
  }
  unsetenv("TZ");
  // Without TZ: /etc/timezone, else the link of /etc/localtime.
  const std::filesystem::path root = std::filesystem::path(SKYLOOM_BINARY_DIR) / "zone-root";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "etc");
  std::filesystem::create_symlink("/usr/share/zoneinfo/Australia/Sydney", root / "etc/localtime");
  EXPECT_EQ(SystemZoneName(root.string()), "Australia/Sydney");
  std::FILE* f = std::fopen((root / "etc/timezone").c_str(), "w");
  ASSERT_TRUE(f);
  std::fputs("Europe/Berlin\n", f);
  std::fclose(f);
  EXPECT_EQ(SystemZoneName(root.string()), "Europe/Berlin");
  std::filesystem::remove_all(root);
  if (saved) setenv("TZ", keep.c_str(), 1);
  tzset();
}

TEST(FirstRun, ADaytimeStartShowsTonightsSky) {
  TSkyloom sky;
  InitSkyModel(sky);
  sky.Latitude = 39.9 * Deg;
  sky.Longitude = 116.4 * Deg;
  sky.TimeZone = 8;
  struct Case {
    int Month, Hour;
    bool Moved;
  } cases[] = {{1, 10, true}, {6, 14, true}, {1, 21, false}, {1, 3, false}, {6, 19, true}};
  for (const Case& c : cases) {
    sky.Year = 2026, sky.Month = c.Month, sky.Day = 15, sky.Hour = c.Hour, sky.Minute = 30;
    EXPECT_EQ(StartAtNightfall(sky), c.Moved) << c.Month << " " << c.Hour;
    EXPECT_EQ(sky.Hour, c.Moved ? 21 : c.Hour);
    EXPECT_EQ(sky.Minute, c.Moved ? 0 : 30);
    EXPECT_EQ(sky.Day, 15);
  }
}

TEST(FirstRun, SavedSettingsKeepWorking) {
  // The test run's own settings folder starts empty.
  TSkyloom sky;
  InitSkyModel(sky);
  EXPECT_FALSE(HasSavedSettings());
  sky.Latitude = 31.2 * Deg;
  sky.Longitude = 121.5 * Deg;
  sky.TimeZone = 8;
  sky.City = 42;
  sky.Mode1 = 0x3;
  sky.Mode2 = 0;
  sky.SaveSettings();
  ASSERT_TRUE(HasSavedSettings());
  TSkyloom again;
  InitSkyModel(again);
  if (!HasSavedSettings()) ApplyFirstRunDefaults(again, 0);
  again.LoadSettings();
  EXPECT_EQ(again.City, 42);
  EXPECT_EQ(again.Mode1, 0x3u);
  EXPECT_EQ(again.Mode2, 0u);
  EXPECT_NEAR(again.Latitude, 31.2 * Deg, 1e-12);
  std::filesystem::remove_all(SettingsFolder());
}

TEST(FirstRun, ZoneOfTheSystemClock) {
  const char* saved = getenv("TZ");
  const std::string keep = saved ? saved : "";
  struct Case {
    const char* Tz;
    int Zone;
  } cases[] = {{"UTC0", 0}, {"CST-8", 8}, {"EST5", -5}, {"XXX-14", 14}};
  for (const Case& c : cases) {
    setenv("TZ", c.Tz, 1);
    tzset();
    EXPECT_EQ(SystemZoneHours(), c.Zone) << c.Tz;
  }
  if (saved) setenv("TZ", keep.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

}  // namespace

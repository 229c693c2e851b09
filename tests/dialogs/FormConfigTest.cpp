// The observation settings dialog driven through its handlers: the place
// fields for a city and for the model's own place, country and city
// changes, typing that clears the city, the normalisations of "确定", every
// refused field with nothing applied, the check boxes and the 其它 page.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CityTable.h"
#include "FormConfig.h"
#include "Gbk.h"
#include "SkyModel.h"

namespace {

constexpr double Deg = M_PI / 180.0;

struct TCitySpec {
  const char* Country;
  const char* City;
  double LatDeg, LonDeg;
  int Zone;
  const char* English;
};

// Records of one country lie together, in file order (not sorted).
const TCitySpec kCities[] = {
    {"中国", "北京", 39.9075, 116.3972, 8, "Beijing"},          // 1
    {"中国", "上海", 31.2222, 121.4581, 8, "Shanghai"},         // 2
    {"中国", "广州", 23.1167, 113.25, 8, "Guangzhou"},          // 3
    {"美国", "纽约", 40.7143, -74.006, -5, "New York City"},    // 4
    {"赤道", "零点", 0.0, 0.0, 0, ""},                          // 5: the >= rule at exactly 0
    {"澳大利亚", "悉尼", -33.8678, 151.2073, 10, "Sydney"},     // 6
};

class FormConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TCityTable& cities = sky.CityTable;
    for (const TCitySpec& s : kCities) {
      TCityInfo c;
      c.Country.set(Utf8ToGbk(s.Country));
      c.CityName.set(Utf8ToGbk(s.City));
      c.Latitude = s.LatDeg * Deg;
      c.Longitude = s.LonDeg * Deg;
      c.TimeZone = s.Zone;
      c.English.set(s.English);
      cities.Cities[++cities.CityCount] = c;
    }
    sky.Year = 2026;
    sky.Month = 1;
    sky.Day = 15;
    sky.Hour = 21;
    sky.Minute = 30;
    sky.Latitude = 40 * Deg;
    sky.Longitude = 116.4 * Deg;
    sky.TimeZone = 8;
    sky.City = 0;
    sky.Mode1 = 0x1 | 0x8;
    sky.Mode2 = 0x800;
    sky.NamesOn = sky.LinesOn = 1;
    sky.StarLimit = 60;
    sky.StepUnit = 2;
    sky.StepAmount = 3;
    params.SubtitleSpeed = 12;
    params.MusicOn = 1;
  }

  int CountryIndex(const std::string& name) {
    for (size_t i = 0; i < form.ComboBoxCountryItems.size(); ++i)
      if (form.ComboBoxCountryItems[i] == name) return int(i);
    return -1;
  }
  int CityIndex(const std::string& name) {
    for (size_t i = 0; i < form.ComboBoxCityItems.size(); ++i)
      if (form.ComboBoxCityItems[i] == name) return int(i);
    return -1;
  }
  void ChooseCity(const std::string& country, const std::string& city) {
    form.ComboBoxCountryIndex = CountryIndex(country);
    ASSERT_GE(form.ComboBoxCountryIndex, 0) << country;
    form.ComboBoxCountryChange();
    form.ComboBoxCityIndex = CityIndex(city);
    ASSERT_GE(form.ComboBoxCityIndex, 0) << city;
    form.ComboBoxCityChange();
  }
  std::string CityText() const {
    return form.ComboBoxCityIndex < 0 ? "" : form.ComboBoxCityItems[form.ComboBoxCityIndex];
  }

  TSkyloom sky;
  TParameters params;
  TFormConfig form{sky, params};
};

TEST_F(FormConfigTest, PlaceFieldsFollowTheSignRules) {
  // A city shows east/north at exactly 0 (>= 0); the model's own place and
  // a saved place show west/south there (> 0).
  struct Case {
    const char* Name;
    int City;           // 0: the model's own place
    double LatDeg, LonDeg;
    int Zone;
    bool North, East;
    const char* Lat;
    const char* Long;
    const char* Zn;
  };
  const Case cases[] = {
      {"city 上海", 2, 0, 0, 0, true, true, "31.2", "121.5", "8"},
      {"city 纽约", 4, 0, 0, 0, true, false, "40.7", "74", "5"},
      {"city at 0/0", 5, 0, 0, 0, true, true, "0", "0", "0"},
      {"city 悉尼", 6, 0, 0, 0, false, true, "33.9", "151.2", "10"},
      {"own place at 0/0", 0, 0, 0, 0, false, false, "0", "0", "0"},
      {"own place south-west", 0, -12.34, -45.67, -3, false, false, "12.3", "45.7", "3"},
      {"own place north-east", 0, 51.48, 0.06, 0, true, true, "51.5", "0.1", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    sky.City = c.City;
    sky.Latitude = c.LatDeg * Deg;
    sky.Longitude = c.LonDeg * Deg;
    sky.TimeZone = c.Zone;
    form.FormShow();
    EXPECT_EQ(form.RadioButtonNorth, c.North);
    EXPECT_EQ(form.RadioButtonEast, c.East);
    EXPECT_EQ(form.LabelLongSign, c.East ? "东" : "西");
    EXPECT_EQ(form.EditLat, c.Lat);
    EXPECT_EQ(form.EditLong, c.Long);
    EXPECT_EQ(form.EditTimeZone, c.Zn);
    EXPECT_EQ(form.SelectedCity, c.City);
    EXPECT_FALSE(form.Filling);
  }
}

TEST_F(FormConfigTest, ShowSelectsTheModelsCityAndItsCountry) {
  sky.City = 4;
  form.FormShow();
  ASSERT_GE(form.ComboBoxCountryIndex, 0);
  EXPECT_EQ(form.ComboBoxCountryItems[form.ComboBoxCountryIndex], "美国");
  EXPECT_EQ(CityText(), "纽约");
  // Countries listed once each, sorted; cities of the chosen country only.
  EXPECT_EQ(form.ComboBoxCountryItems.size(), 4u);
  EXPECT_EQ(form.ComboBoxCityItems, std::vector<std::string>{"纽约"});

  // A place of its own: the lists open on the nearest city without
  // choosing it (the typed place stays).
  struct Case {
    double LatDeg, LonDeg;
    const char* Country;
    const char* City;
  } near[] = {{40, 116.4, "中国", "北京"}, {31, 121, "中国", "上海"}, {-30, 150, "澳大利亚", "悉尼"},
              {41, -75, "美国", "纽约"}};
  for (const Case& c : near) {
    sky.City = 0;
    sky.Latitude = c.LatDeg * Deg;
    sky.Longitude = c.LonDeg * Deg;
    form.FormShow();
    ASSERT_GE(form.ComboBoxCountryIndex, 0);
    EXPECT_EQ(form.ComboBoxCountryItems[form.ComboBoxCountryIndex], c.Country) << c.City;
    EXPECT_EQ(CityText(), c.City);
    EXPECT_EQ(form.SelectedCity, 0);
  }
}

TEST_F(FormConfigTest, CountryAndCityChanges) {
  form.FormShow();
  form.ComboBoxCountryIndex = CountryIndex("中国");
  form.ComboBoxCountryChange();
  // Sorted in GBK order, which is pinyin order: 北京 广州 上海.
  EXPECT_EQ(form.ComboBoxCityItems, (std::vector<std::string>{"北京", "广州", "上海"}));
  EXPECT_EQ(form.ComboBoxCityIndex, -1);
  EXPECT_EQ(form.SelectedCity, 0);

  form.ComboBoxCityIndex = CityIndex("上海");
  form.ComboBoxCityChange();
  EXPECT_EQ(form.SelectedCity, 2);
  EXPECT_EQ(form.EditLat, "31.2");
  EXPECT_EQ(form.EditLong, "121.5");

  form.ComboBoxCountryIndex = CountryIndex("澳大利亚");
  form.ComboBoxCountryChange();
  EXPECT_EQ(form.ComboBoxCityItems, std::vector<std::string>{"悉尼"});
  EXPECT_EQ(form.SelectedCity, 0);
}

TEST_F(FormConfigTest, FindingACityByName) {
  struct Case {
    const char* Typed;
    int City;             // 0: nothing found, the choice stays
    const char* Country;
  };
  const Case cases[] = {
      {"上海", 2, "中国"}, {"悉", 6, "澳大利亚"}, {" 纽约 ", 4, "美国"},
      {"巴黎", 0, nullptr}, {"", 0, nullptr},
      // English names in any case and spacing, or the start of one.
      {"Shanghai", 2, "中国"}, {"new york", 4, "美国"}, {"NEWYORK", 4, "美国"}, {"syd", 6, "澳大利亚"},
      {"Paris", 0, nullptr}, {"ne", 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    sky.City = 1;
    form.FormShow();
    form.EditFindCity = c.Typed;
    form.EditFindCityChange();
    EXPECT_EQ(form.SelectedCity, c.City ? c.City : 1);
    if (c.City) {
      EXPECT_EQ(form.ComboBoxCountryItems[form.ComboBoxCountryIndex], c.Country);
      EXPECT_EQ(CityText(), GbkToUtf8(sky.CityTable.Cities[c.City].CityName.view()));
      if (c.City == 2) {
        EXPECT_EQ(form.EditLat, "31.2");
      }
    }
  }
}

TEST_F(FormConfigTest, TypingOrARadioButtonClearsTheCity) {
  const std::vector<std::pair<const char*, std::function<void()>>> edits = {
      {"latitude", [&] { form.EditLat = "30"; form.EditPlaceChange(); }},
      {"longitude", [&] { form.EditLong = "120"; form.EditPlaceChange(); }},
      {"zone", [&] { form.EditTimeZone = "7"; form.EditPlaceChange(); }},
      {"south", [&] { form.RadioButtonNorth = false; form.RadioButtonPlaceClick(); }},
      {"west", [&] { form.RadioButtonEast = false; form.RadioButtonPlaceClick(); }},
  };
  for (const auto& [name, edit] : edits) {
    SCOPED_TRACE(name);
    form.FormShow();
    ChooseCity("中国", "上海");
    ASSERT_EQ(form.SelectedCity, 2);
    edit();
    EXPECT_EQ(form.SelectedCity, 0);
    EXPECT_EQ(form.ComboBoxCityIndex, -1);
    form.Button1Click();
    EXPECT_EQ(sky.City, 0);
  }
  // The dialog's own filling does not clear the choice.
  form.FormShow();
  ChooseCity("中国", "北京");
  EXPECT_EQ(form.SelectedCity, 1);
  EXPECT_EQ(CityText(), "北京");
}

TEST_F(FormConfigTest, ConfirmNormalisesTheFields) {
  struct Case {
    const char* Name;
    const char *Year, *Month, *Day;
    bool North, East;
    const char *Lat, *Long, *Zone;
    int WantYear, WantMonth, WantDay;
    double WantLatDeg, WantLonDeg;
    int WantZone;
  };
  const Case cases[] = {
      {"plain", "2026", "1", "15", true, true, "31.2", "121.5", "8", 2026, 1, 15, 31.2, 121.5, 8},
      {"longitude 190 E", "2026", "1", "15", true, true, "0", "190", "8", 2026, 1, 15, 0, -170, 8},
      {"zone 13 E", "2026", "1", "15", true, true, "0", "10", "13", 2026, 1, 15, 0, 10, -11},
      {"latitude 95 N", "2026", "1", "15", true, true, "95", "10", "1", 2026, 1, 15, 90, 10, 1},
      {"latitude 95 S", "2026", "1", "15", false, true, "95", "10", "1", 2026, 1, 15, -90, 10, 1},
      {"west and south", "2026", "1", "15", false, false, "33.5", "70.6", "4", 2026, 1, 15, -33.5,
       -70.6, -4},
      {"190 W", "2026", "1", "15", true, false, "0", "190", "13", 2026, 1, 15, 0, 170, 11},
      {"31 April", "2026", "4", "31", true, true, "0", "0", "0", 2026, 5, 1, 0, 0, 0},
      {"0 March", "2026", "3", "0", true, true, "0", "0", "0", 2026, 2, 28, 0, 0, 0},
      {"0 March leap", "2024", "3", "0", true, true, "0", "0", "0", 2024, 2, 29, 0, 0, 0},
      {"0 March 1900", "1900", "3", "0", true, true, "0", "0", "0", 1900, 2, 28, 0, 0, 0},
      {"0 March 2000", "2000", "3", "0", true, true, "0", "0", "0", 2000, 2, 29, 0, 0, 0},
      {"32 December", "2026", "12", "32", true, true, "0", "0", "0", 2027, 1, 1, 0, 0, 0},
      {"0 January", "2026", "1", "0", true, true, "0", "0", "0", 2025, 12, 31, 0, 0, 0},
      {"99 February", "2026", "2", "99", true, true, "0", "0", "0", 2026, 5, 10, 0, 0, 0},
      {"blanks and +", " 2026 ", "+1", "15 ", true, true, " 1.5", "+2", " 3", 2026, 1, 15, 1.5,
       2, 3},
      {"negative year", "-500", "6", "1", true, true, "0", "0", "0", -500, 6, 1, 0, 0, 0},
      {"0 January AD 1", "1", "1", "0", true, true, "0", "0", "0", -1, 12, 31, 0, 0, 0},
      {"32 December 1 BC", "-1", "12", "32", true, true, "0", "0", "0", 1, 1, 1, 0, 0, 0},
      {"5 October 1582", "1582", "10", "5", true, true, "0", "0", "0", 1582, 10, 15, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    form.FormShow();
    form.EditYear = c.Year;
    form.EditMonth = c.Month;
    form.EditDay = c.Day;
    form.RadioButtonNorth = c.North;
    form.RadioButtonEast = c.East;
    form.EditLat = c.Lat;
    form.EditLong = c.Long;
    form.EditTimeZone = c.Zone;
    form.EditPlaceChange();
    form.Button1Click();
    ASSERT_TRUE(form.Applied) << form.ErrorText;
    EXPECT_FALSE(form.Open);
    EXPECT_EQ(sky.Year, c.WantYear);
    EXPECT_EQ(sky.Month, c.WantMonth);
    EXPECT_EQ(sky.Day, c.WantDay);
    EXPECT_NEAR(sky.Latitude / Deg, c.WantLatDeg, 1e-9);
    EXPECT_NEAR(sky.Longitude / Deg, c.WantLonDeg, 1e-9);
    EXPECT_EQ(sky.TimeZone, c.WantZone);
    EXPECT_EQ(sky.Hour, 21);
    EXPECT_EQ(sky.Minute, 30);
  }
}

TEST_F(FormConfigTest, ConfirmStoresTheChosenCity) {
  form.FormShow();
  ChooseCity("中国", "上海");
  form.Button1Click();
  ASSERT_TRUE(form.Applied);
  EXPECT_EQ(sky.City, 2);
  // The fields as shown were left alone: the city's own place, exactly.
  EXPECT_EQ(sky.Latitude, sky.CityTable.Cities[2].Latitude);
  EXPECT_EQ(sky.Longitude, sky.CityTable.Cities[2].Longitude);
  EXPECT_EQ(sky.TimeZone, 8);
}

TEST_F(FormConfigTest, EveryInvalidFieldIsRefusedWithNothingApplied) {
  struct Case {
    const char* Name;
    std::string TFormConfig::*Field;  // nullptr: the time picker
    const char* Value;
    TConfigField Marked;
    int Page;
  };
  const Case cases[] = {
      {"year letters", &TFormConfig::EditYear, "20x6", TConfigField::Year, 0},
      {"year empty", &TFormConfig::EditYear, "", TConfigField::Year, 0},
      {"year too large", &TFormConfig::EditYear, "100000", TConfigField::Year, 0},
      {"year decimal", &TFormConfig::EditYear, "2026.5", TConfigField::Year, 0},
      {"year 0", &TFormConfig::EditYear, "0", TConfigField::Year, 0},
      {"month 0", &TFormConfig::EditMonth, "0", TConfigField::Month, 0},
      {"month 13", &TFormConfig::EditMonth, "13", TConfigField::Month, 0},
      {"month letters", &TFormConfig::EditMonth, "一", TConfigField::Month, 0},
      {"day negative", &TFormConfig::EditDay, "-1", TConfigField::Day, 0},
      {"day 100", &TFormConfig::EditDay, "100", TConfigField::Day, 0},
      {"day letters", &TFormConfig::EditDay, "x", TConfigField::Day, 0},
      {"latitude abc", &TFormConfig::EditLat, "abc", TConfigField::Latitude, 1},
      {"latitude comma", &TFormConfig::EditLat, "31,2", TConfigField::Latitude, 1},
      {"latitude beyond", &TFormConfig::EditLat, "181", TConfigField::Latitude, 1},
      {"latitude nan", &TFormConfig::EditLat, "nan", TConfigField::Latitude, 1},
      {"latitude inf", &TFormConfig::EditLat, "inf", TConfigField::Latitude, 1},
      {"longitude empty", &TFormConfig::EditLong, " ", TConfigField::Longitude, 1},
      {"longitude beyond", &TFormConfig::EditLong, "361", TConfigField::Longitude, 1},
      {"longitude 1e3", &TFormConfig::EditLong, "1e3", TConfigField::Longitude, 1},
      {"zone decimal", &TFormConfig::EditTimeZone, "5.5", TConfigField::TimeZone, 1},
      {"zone beyond", &TFormConfig::EditTimeZone, "25", TConfigField::TimeZone, 1},
      {"zone letters", &TFormConfig::EditTimeZone, "E8", TConfigField::TimeZone, 1},
      {"step 0", &TFormConfig::EditUnit, "0", TConfigField::StepAmount, 4},
      {"step beyond", &TFormConfig::EditUnit, "10001", TConfigField::StepAmount, 4},
      {"step letters", &TFormConfig::EditUnit, "one", TConfigField::StepAmount, 4},
      {"scale below 1", &TFormConfig::EditScale, "0.5", TConfigField::InterfaceScale, 4},
      {"scale beyond", &TFormConfig::EditScale, "3.5", TConfigField::InterfaceScale, 4},
      {"scale letters", &TFormConfig::EditScale, "big", TConfigField::InterfaceScale, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto before = std::make_unique<TSkyloom>(sky);
    const TParameters paramsBefore = params;
    const int stepUnitBefore = sky.StepUnit;
    form.FormShow();
    ChooseCity("中国", "上海");
    form.EditYear = "2030";   // every other field holds a good new value
    form.EditDay = "2";
    form.CheckBoxNet = true;
    form.ScrollBar1 = 8;
    form.StepRadio = 3;
    form.CheckBox1 = false;
    form.PageControl1 = 3;
    form.*c.Field = c.Value;
    form.Button1Click();
    EXPECT_FALSE(form.Applied);
    EXPECT_TRUE(form.Open);
    EXPECT_EQ(form.ErrorField, c.Marked);
    EXPECT_FALSE(form.ErrorText.empty());
    EXPECT_EQ(form.PageControl1, c.Page);
    EXPECT_EQ(sky.Year, before->Year);
    EXPECT_EQ(sky.Day, before->Day);
    EXPECT_EQ(sky.Latitude, before->Latitude);
    EXPECT_EQ(sky.Longitude, before->Longitude);
    EXPECT_EQ(sky.TimeZone, before->TimeZone);
    EXPECT_EQ(sky.City, before->City);
    EXPECT_EQ(sky.Mode2, before->Mode2);
    EXPECT_EQ(sky.StarLimit, before->StarLimit);
    EXPECT_EQ(sky.StepUnit, stepUnitBefore);
    EXPECT_EQ(params, paramsBefore);
  }
  // A bad time in the picker is refused as well.
  form.FormShow();
  form.PickerHour = 24;
  form.Button1Click();
  EXPECT_EQ(form.ErrorField, TConfigField::Hour);
  form.PickerHour = 5;
  form.PickerMinute = 60;
  form.Button1Click();
  EXPECT_EQ(form.ErrorField, TConfigField::Minute);
  form.PickerMinute = 5;
  form.PickerSecond = -1;
  form.Button1Click();
  EXPECT_EQ(form.ErrorField, TConfigField::Second);
  EXPECT_FALSE(form.ErrorText.empty());
  EXPECT_EQ(sky.Hour, 21);
  // A good second applies with the rest of the time.
  form.PickerSecond = 44;
  form.Button1Click();
  EXPECT_TRUE(form.Applied);
  EXPECT_EQ(sky.Hour, 5);
  EXPECT_EQ(sky.Minute, 5);
  EXPECT_EQ(sky.Second, 44);
  form.FormShow();
  EXPECT_EQ(form.PickerSecond, 44);
}

TEST_F(FormConfigTest, CorrectingTheFieldClearsTheMarkAndConfirms) {
  form.FormShow();
  form.EditLat = "abc";
  form.Button1Click();
  ASSERT_EQ(form.ErrorField, TConfigField::Latitude);
  form.EditLat = "30";
  form.EditPlaceChange();
  EXPECT_EQ(form.ErrorField, TConfigField::None);
  form.Button1Click();
  EXPECT_TRUE(form.Applied);
  EXPECT_NEAR(sky.Latitude / Deg, 30, 1e-12);
}

TEST_F(FormConfigTest, CheckBoxesSetAndClearTheirBits) {
  struct Case {
    bool TFormConfig::*Box;
    int Set;
    uint64_t Bit;
  };
  const Case cases[] = {
      {&TFormConfig::CheckBoxConstName, 1, 0x1},    {&TFormConfig::CheckBoxAlphaBetName, 1, 0x2},
      {&TFormConfig::CheckBoxStarName, 1, 0x4},     {&TFormConfig::CheckBoxSunName, 1, 0x8},
      {&TFormConfig::CheckBoxMessierName, 1, 0x10}, {&TFormConfig::CheckBoxOfficeName, 1, 0x20},
      {&TFormConfig::CheckBoxNet, 2, 0x100},        {&TFormConfig::CheckBoxEcliptic, 2, 0x200},
      {&TFormConfig::CheckBoxMilkWay, 2, 0x400},    {&TFormConfig::CheckBoxConst, 2, 0x800},
      {&TFormConfig::CheckBoxOffice, 2, 0x1000},
  };
  for (const Case& c : cases) {
    for (bool on : {true, false}) {
      SCOPED_TRACE(std::to_string(c.Bit) + (on ? " on" : " off"));
      sky.Mode1 = on ? 0 : 0x3F | 0x4000;   // bits beyond the boxes are kept
      sky.Mode2 = on ? 0 : 0x1F00 | 0x4000;
      form.FormShow();
      EXPECT_EQ(form.*c.Box, !on);
      form.*c.Box = on;
      form.Button1Click();
      ASSERT_TRUE(form.Applied);
      const uint64_t mode = c.Set == 1 ? sky.Mode1 : sky.Mode2;
      EXPECT_EQ((mode & c.Bit) != 0, on);
      const uint64_t others = on ? 0 : ((c.Set == 1 ? 0x3F : 0x1F00) & ~c.Bit) | 0x4000;
      EXPECT_EQ(mode & ~c.Bit, others);
      // ShowFlags follows at once (names and lines on).
      EXPECT_EQ(sky.ShowFlags & 0x1F3F, (sky.Mode1 | sky.Mode2) & 0x1F3F);
    }
  }
}

TEST_F(FormConfigTest, OtherPageShowsAndAppliesTheOptions) {
  form.FormShow();
  EXPECT_EQ(form.StepRadio, 2);
  EXPECT_EQ(form.EditUnit, "3");
  EXPECT_EQ(form.ScrollBar1, 6);
  EXPECT_EQ(form.ScrollBar2, 12);
  EXPECT_TRUE(form.CheckBox1);
  sky.LabelPlacement = 0;
  sky.RealisticSky = 0;
  sky.Refraction = 0;
  sky.MilkyWay = 0;
  form.FormShow();
  EXPECT_FALSE(form.CheckBoxLabelPlace);
  EXPECT_FALSE(form.CheckBoxRealSky);
  EXPECT_FALSE(form.CheckBoxRefraction);
  EXPECT_FALSE(form.CheckBoxMilkyWay);
  form.StepRadio = 3;
  form.EditUnit = "10";
  form.ScrollBar1 = 8;
  form.ScrollBar2 = 4;
  form.CheckBox1 = false;
  form.CheckBox3 = true;
  form.CheckBoxVoice = true;
  form.ckFullScr = true;
  form.ckWithName = true;
  form.CheckBoxLabelPlace = true;
  form.CheckBoxRealSky = true;
  form.CheckBoxRefraction = true;
  form.CheckBoxMilkyWay = true;
  form.Button1Click();
  ASSERT_TRUE(form.Applied);
  EXPECT_EQ(sky.StepUnit, 3);
  EXPECT_EQ(sky.StepAmount, 10);
  EXPECT_EQ(sky.StarLimit, 80);
  EXPECT_EQ(params.SubtitleSpeed, 4);
  EXPECT_EQ(params.MusicOn, 0);
  EXPECT_TRUE(params.SubtitlesOn && params.SpeechOn && params.FullScreen && params.NebulaNames);
  EXPECT_EQ(sky.LabelPlacement, 1);
  EXPECT_EQ(sky.RealisticSky, 1);
  EXPECT_EQ(sky.Refraction, 1);
  EXPECT_EQ(sky.MilkyWay, 1);
  EXPECT_NE(sky.ShowFlags & SkyBits::MilkyWay, 0u) << "the sky shown gets it at once";
  // The time flow in seconds: a totality played at 10-second steps.
  form.FormShow();
  form.StepRadio = 4;
  form.EditUnit = "10";
  form.Button1Click();
  ASSERT_TRUE(form.Applied);
  EXPECT_EQ(sky.StepUnit, 4);
  EXPECT_EQ(sky.StepAmount, 10);
  form.FormShow();
  EXPECT_EQ(form.StepRadio, 4);
}

// "确定" without touching the place keeps it to the last bit; a typed
// field (even the same digits in the other hemisphere) takes the typed value.
TEST_F(FormConfigTest, ConfirmWithoutEditsKeepsThePlaceExactly) {
  sky.Latitude = -33.87 * Deg;
  sky.Longitude = 151.2093 * Deg;
  form.FormShow();
  ASSERT_EQ(form.EditLat, "33.9");
  form.Button1Click();
  ASSERT_TRUE(form.Applied);
  EXPECT_EQ(sky.Latitude, -33.87 * Deg);
  EXPECT_EQ(sky.Longitude, 151.2093 * Deg);

  form.FormShow();
  ChooseCity("澳大利亚", "悉尼");
  form.Button1Click();
  EXPECT_EQ(sky.Latitude, sky.CityTable.Cities[6].Latitude);
  EXPECT_EQ(sky.Longitude, sky.CityTable.Cities[6].Longitude);

  form.FormShow();
  form.RadioButtonNorth = true;
  form.Button1Click();
  EXPECT_NEAR(sky.Latitude, 33.9 * Deg, 1e-12);
  form.FormShow();
  form.EditLong = "151.3";
  form.EditPlaceChange();
  form.Button1Click();
  EXPECT_NEAR(sky.Longitude, 151.3 * Deg, 1e-12);
}

TEST_F(FormConfigTest, CancelChangesNothing) {
  const auto before = std::make_unique<TSkyloom>(sky);
  form.FormShow();
  ChooseCity("美国", "纽约");
  form.EditYear = "1999";
  form.CheckBoxMessierName = true;
  form.Button2Click();
  EXPECT_FALSE(form.Open);
  EXPECT_FALSE(form.Applied);
  EXPECT_EQ(sky.Year, before->Year);
  EXPECT_EQ(sky.City, before->City);
  EXPECT_EQ(sky.Mode1, before->Mode1);
}

TEST_F(FormConfigTest, SaveRunsOnlyWhenTickedAndReportsAFailure) {
  int saves = 0;
  bool succeed = true;
  form.SaveAll = [&](std::string& why) {
    ++saves;
    if (!succeed) why = "skyloom: settings: cannot write (No space left on device)";
    return succeed;
  };
  form.FormShow();
  EXPECT_FALSE(form.CheckBoxSave);
  form.Button1Click();
  EXPECT_EQ(saves, 0);

  form.FormShow();
  form.CheckBoxSave = true;
  form.Button1Click();
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(form.Message.empty());

  succeed = false;
  form.FormShow();
  EXPECT_FALSE(form.CheckBoxSave);  // cleared on every show
  form.CheckBoxSave = true;
  form.Button1Click();
  EXPECT_EQ(saves, 2);
  EXPECT_TRUE(form.Applied);
  EXPECT_NE(form.Message.find("No space"), std::string::npos);

  // A refused field never reaches the save.
  form.FormShow();
  form.CheckBoxSave = true;
  form.EditMonth = "13";
  form.Button1Click();
  EXPECT_EQ(saves, 2);
}

TEST_F(FormConfigTest, TodayAndSavedPlaceButtons) {
  form.Now = [] { return TCivilDateTime{2031, 7, 4, 6, 5, 17}; };
  form.FormShow();
  form.Button3Click();
  EXPECT_EQ(form.EditYear, "2031");
  EXPECT_EQ(form.EditMonth, "7");
  EXPECT_EQ(form.EditDay, "4");
  EXPECT_EQ(form.PickerHour, 6);
  EXPECT_EQ(form.PickerMinute, 5);
  EXPECT_EQ(form.PickerSecond, 17);

  // A saved hand-typed place (west, south by the > rule at 0) and a saved city.
  form.ReadSavedPlace = [](double& lat, double& lon, int& zone, int& city) {
    lat = 0;
    lon = -3.5 * Deg;
    zone = -1;
    city = 0;
  };
  form.Button4Click();
  EXPECT_FALSE(form.RadioButtonNorth);
  EXPECT_FALSE(form.RadioButtonEast);
  EXPECT_EQ(form.EditLong, "3.5");
  EXPECT_EQ(form.EditTimeZone, "1");
  EXPECT_EQ(form.SelectedCity, 0);

  form.ComboBoxCountryIndex = CountryIndex("中国");
  form.ComboBoxCountryChange();
  form.ReadSavedPlace = [](double&, double&, int&, int& city) { city = 2; };
  form.Button4Click();
  EXPECT_EQ(form.SelectedCity, 2);
  EXPECT_EQ(CityText(), "上海");
  EXPECT_EQ(form.EditLat, "31.2");
}

TEST_F(FormConfigTest, DatePickerAndEditsAgree) {
  form.FormShow();
  EXPECT_EQ(form.DateTimePicker1.Year, 2026);
  EXPECT_EQ(form.DateTimePicker1.ShownMonth, 1);
  form.DateTimePicker1.NextMonth();
  ASSERT_TRUE(form.DateTimePicker1.PickDay(29) == false);  // 2026-02 has 28 days
  ASSERT_TRUE(form.DateTimePicker1.PickDay(14));
  form.DateTimePicker1Change();
  EXPECT_EQ(form.EditMonth, "2");
  EXPECT_EQ(form.EditDay, "14");
  form.EditYear = "1987";
  form.EditDateChange();
  EXPECT_EQ(form.DateTimePicker1.Year, 1987);
  EXPECT_EQ(form.DateButtonText(), "1987-02-14");
  // The button shows the date the fields make, a day past the month's end
  // carried over as "确定" does; fields that make no date say so.
  struct Case {
    const char* Year;
    const char* Month;
    const char* Day;
    const char* Button;
  } typed[] = {{"2026", "2", "30", "2026-03-02"}, {"2024", "2", "29", "2024-02-29"},
               {"2026", "12", "32", "2027-01-01"}, {"2026", "13", "1", "日期有误"},
               {"2026", "2", "", "日期有误"}, {"abc", "1", "1", "日期有误"}};
  for (const Case& c : typed) {
    form.EditYear = c.Year;
    form.EditMonth = c.Month;
    form.EditDay = c.Day;
    form.EditDateChange();
    EXPECT_EQ(form.DateButtonText(), c.Button) << c.Year << "-" << c.Month << "-" << c.Day;
  }
  form.EditYear = "2026", form.EditMonth = "2", form.EditDay = "30";
  form.EditDateChange();
  EXPECT_EQ(form.DateTimePicker1.Month, 3);
  EXPECT_EQ(form.DateTimePicker1.Day, 2);
  // A year the calendar cannot show keeps the edits as typed.
  sky.Year = 1000;
  form.FormShow();
  EXPECT_EQ(form.EditYear, "1000");
  EXPECT_EQ(form.DateTimePicker1.Year, 2000);  // the test's "now"
}

TEST(DatePicker, CalendarGrid) {
  TDatePicker p;
  ASSERT_TRUE(p.SetDate(2026, 2, 1));        // 1 February 2026 is a Sunday
  EXPECT_EQ(TDatePicker::Weekday(2026, 2, 1), 0);
  EXPECT_EQ(p.Cell(0, 0), 1);
  EXPECT_EQ(p.Cell(3, 6), 28);
  EXPECT_EQ(p.Cell(4, 0), 0);
  ASSERT_TRUE(p.SetDate(2024, 12, 25));      // a Wednesday
  EXPECT_EQ(TDatePicker::Weekday(2024, 12, 25), 3);
  p.NextMonth();
  EXPECT_EQ(p.ShownYear, 2025);
  EXPECT_EQ(p.ShownMonth, 1);
  EXPECT_EQ(p.Cell(0, 3), 1);                // 1 January 2025: Wednesday
  EXPECT_FALSE(p.SetDate(2026, 2, 29));
  EXPECT_FALSE(p.SetDate(1582, 10, 20));     // before the calendar's first year
  ASSERT_TRUE(p.SetDate(1583, 1, 1));
  p.PrevMonth();
  EXPECT_EQ(p.ShownYear, 1583);
}

}  // namespace

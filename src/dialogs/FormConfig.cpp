#include "FormConfig.h"

#include "Angles.h"

#include "CivilDate.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CityTable.h"
#include "CivilDate.h"
#include "Gbk.h"
#include "SkyModel.h"

namespace {


// Allowed ranges of the typed fields. The sign of a place is chosen with
// the radio buttons; a typed sign is accepted and simply turns the
// direction round. Values beyond the usual range but inside these are
// brought into it by "确定" (latitude clamped, longitude and zone wrapped).
constexpr int MinYear = FirstYear, MaxYear = LastYear;
constexpr int MaxDayField = 99;
constexpr double MaxLatField = 180, MaxLongField = 360;
constexpr int MaxZoneField = 24;
constexpr int MaxStepAmount = 10000;

// What "确定" says about a refused field.
const char* const MsgYear = "年份应是 -99999～99999 之间不为 0 的整数（-1 即公元前 1 年）。";
const char* const MsgMonth = "月份应是 1～12 之间的整数。";
const char* const MsgDay = "日应是 0～99 之间的整数（超出本月的日数顺延到下个月）。";
const char* const MsgHour = "小时应是 0～23 之间的整数。";
const char* const MsgMinute = "分钟应是 0～59 之间的整数。";
const char* const MsgSecond = "秒应是 0～59 之间的整数。";
const char* const MsgLat = "纬度应是 0～90 之间的度数，例如 31.2。";
const char* const MsgLong = "经度应是 0～180 之间的度数，例如 121.5。";
const char* const MsgZone = "时区应是 0～12 之间的整数（中国各地都是东八区）。";
const char* const MsgStep = "步进量应是 1～10000 之间的整数。";
const char* const MsgScale = "界面缩放应是 0（随屏幕大小）或 1～3 之间的数，例如 1.5。";

std::string Blankless(const std::string& s) { return Trim(s); }

// The whole field must be the integer.
bool ParseInt(const std::string& field, long lo, long hi, int& out) {
  const std::string s = Blankless(field);
  if (s.empty()) return false;
  const char* b = s.data();
  const char* e = b + s.size();
  if (*b == '+') ++b;
  long v = 0;
  auto [p, ec] = std::from_chars(b, e, v);
  if (ec != std::errc() || p != e || v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}

// A decimal number with "." as the separator; the whole field must be it.
bool ParseNumber(const std::string& field, double lo, double hi, double& out) {
  const std::string s = Blankless(field);
  if (s.empty()) return false;
  const char* b = s.data();
  const char* e = b + s.size();
  if (*b == '+') ++b;
  if (b == e || !(std::isdigit(static_cast<unsigned char>(*b)) || *b == '-' || *b == '.'))
    return false;  // no "inf", "nan"
  double v = 0;
  auto [p, ec] = std::from_chars(b, e, v, std::chars_format::fixed);
  if (ec != std::errc() || p != e || !std::isfinite(v) || v < lo || v > hi) return false;
  out = v;
  return true;
}

// |round(degrees x 10) / 10| written plainly: "116.4", "120", "0".
std::string Tenths(double radians) {
  const double v = std::fabs(std::round(radians / Deg * 10.0) / 10.0);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  std::string s = buf;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s;
}

std::string Utf8(const ShortString& s) { return GbkToUtf8(s.view()); }

void SortUnique(std::vector<std::string>& gbk) {
  // GBK byte order puts the common hanzi in pinyin order, as a Chinese
  // sorted list does.
  std::sort(gbk.begin(), gbk.end());
  gbk.erase(std::unique(gbk.begin(), gbk.end()), gbk.end());
}

}  // namespace

// Lower-case letters without blanks, for English names typed anyhow.
static std::string Squeezed(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\t') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

void NormalizeDate(int& year, int& month, int& day) {
  int32_t y = 0, m = 0, d = 0;
  CivilDateOf(CivilDayNumber(year, month, day), y, m, d);
  year = y;
  month = m;
  day = d;
}

TFormConfig::TFormConfig(TSkyloom& sky, TParameters& params) : sky_(sky), params_(params) {
  Now = [] { return TCivilDateTime{}; };
  ReadSavedPlace = [](double&, double&, int&, int&) {};
  SaveAll = [](std::string&) { return true; };
}

const std::vector<TFormConfig::TBitBox>& TFormConfig::BitBoxes() {
  static const std::vector<TBitBox> boxes = {
      {&TFormConfig::CheckBoxConstName, 1, 0x1},   {&TFormConfig::CheckBoxAlphaBetName, 1, 0x2},
      {&TFormConfig::CheckBoxStarName, 1, 0x4},    {&TFormConfig::CheckBoxSunName, 1, 0x8},
      {&TFormConfig::CheckBoxMessierName, 1, 0x10}, {&TFormConfig::CheckBoxOfficeName, 1, 0x20},
      {&TFormConfig::CheckBoxNet, 2, 0x100},       {&TFormConfig::CheckBoxEcliptic, 2, 0x200},
      {&TFormConfig::CheckBoxMilkWay, 2, 0x400},   {&TFormConfig::CheckBoxConst, 2, 0x800},
      {&TFormConfig::CheckBoxOffice, 2, 0x1000},
  };
  return boxes;
}

void TFormConfig::ShowPlace(double lat, double lon, int zone, bool cityRule) {
  Filling = true;
  RadioButtonEast = cityRule ? lon >= 0 : lon > 0;
  LabelLongSign = RadioButtonEast ? "东" : "西";
  EditLong = Tenths(lon);
  EditTimeZone = std::to_string(std::abs(zone));
  RadioButtonNorth = cityRule ? lat >= 0 : lat > 0;
  EditLat = Tenths(lat);
  shown_ = {EditLat, EditLong, RadioButtonNorth, RadioButtonEast, lat, lon};
  Filling = false;
}

void TFormConfig::FillCities() {
  const TCityTable& cities = sky_.CityTable;
  ComboBoxCityItems.clear();
  ComboBoxCityIndex = -1;
  if (ComboBoxCountryIndex < 0 || ComboBoxCountryIndex >= int(ComboBoxCountryItems.size())) return;
  const std::string country = Utf8ToGbk(ComboBoxCountryItems[ComboBoxCountryIndex]);
  std::vector<std::string> names;
  for (int i = 1; i <= cities.CityCount; ++i)
    if (cities.Cities[i].Country.view() == country)
      names.push_back(cities.Cities[i].CityName.str());
  SortUnique(names);
  for (const std::string& n : names) ComboBoxCityItems.push_back(GbkToUtf8(n));
}

void TFormConfig::SelectCountry(const std::string& country) {
  auto it = std::find(ComboBoxCountryItems.begin(), ComboBoxCountryItems.end(), country);
  ComboBoxCountryIndex = it == ComboBoxCountryItems.end()
                             ? (ComboBoxCountryItems.empty() ? -1 : 0)
                             : int(it - ComboBoxCountryItems.begin());
}

int TFormConfig::NearestCity(double lat, double lon) const {
  const TCityTable& cities = sky_.CityTable;
  int best = 0;
  double bestCos = -2;
  for (int i = 1; i <= cities.CityCount; ++i) {
    const double c = std::sin(lat) * std::sin(cities.Cities[i].Latitude) +
                     std::cos(lat) * std::cos(cities.Cities[i].Latitude) *
                         std::cos(lon - cities.Cities[i].Longitude);
    if (c > bestCos) {
      bestCos = c;
      best = i;
    }
  }
  return best;
}

void TFormConfig::ClearCity() {
  SelectedCity = 0;
  ComboBoxCityIndex = -1;
}

void TFormConfig::FormShow() {
  const TCityTable& cities = sky_.CityTable;
  Open = true;
  Applied = false;
  ErrorField = TConfigField::None;
  ErrorText.clear();
  Message.clear();
  CheckBoxSave = false;
  EditFindCity.clear();

  const TCivilDateTime now = Now();
  if (!DateTimePicker1.SetDate(std::abs(sky_.Year) % 10000, sky_.Month, sky_.Day))
    DateTimePicker1.SetDate(now.Year, now.Month, now.Day);
  if (sky_.Hour >= 0 && sky_.Hour <= 23 && sky_.Minute >= 0 && sky_.Minute <= 59 &&
      sky_.Second >= 0 && sky_.Second <= 59) {
    PickerHour = sky_.Hour;
    PickerMinute = sky_.Minute;
    PickerSecond = sky_.Second;
  } else {
    PickerHour = now.Hour;
    PickerMinute = now.Minute;
    PickerSecond = now.Second;
  }
  EditYear = std::to_string(sky_.Year);
  EditMonth = std::to_string(sky_.Month);
  EditDay = std::to_string(sky_.Day);

  std::vector<std::string> countries;
  for (int i = 1; i <= cities.CityCount; ++i)
    if (i == 1 || cities.Cities[i].Country.view() != cities.Cities[i - 1].Country.view())
      countries.push_back(cities.Cities[i].Country.str());
  SortUnique(countries);
  ComboBoxCountryItems.clear();
  for (const std::string& c : countries) ComboBoxCountryItems.push_back(GbkToUtf8(c));
  ComboBoxCountryIndex = ComboBoxCountryItems.empty() ? -1 : 0;
  SelectedCity = 0;

  if (sky_.City <= 0 || sky_.City > cities.CityCount) {
    // A place of its own: the lists open on the city nearest to it, without
    // choosing it, so that the country and its cities are at hand.
    const int near = NearestCity(sky_.Latitude, sky_.Longitude);
    if (near) SelectCountry(Utf8(cities.Cities[near].Country));
    FillCities();
    if (near) {
      auto it = std::find(ComboBoxCityItems.begin(), ComboBoxCityItems.end(),
                          Utf8(cities.Cities[near].CityName));
      if (it != ComboBoxCityItems.end()) ComboBoxCityIndex = int(it - ComboBoxCityItems.begin());
    }
    ShowPlace(sky_.Latitude, sky_.Longitude, sky_.TimeZone, false);
  } else {
    SelectedCity = sky_.City;
    const TCityInfo& c = cities.Cities[SelectedCity];
    SelectCountry(Utf8(c.Country));
    FillCities();
    auto it = std::find(ComboBoxCityItems.begin(), ComboBoxCityItems.end(), Utf8(c.CityName));
    ComboBoxCityIndex = it == ComboBoxCityItems.end() ? -1 : int(it - ComboBoxCityItems.begin());
    ShowPlace(c.Latitude, c.Longitude, c.TimeZone, true);
  }

  for (const TBitBox& b : BitBoxes())
    this->*b.Box = ((b.Set == 1 ? sky_.Mode1 : sky_.Mode2) & b.Bit) != 0;

  StepRadio = sky_.StepUnit >= 1 && sky_.StepUnit <= 4 ? sky_.StepUnit : 1;
  EditUnit = std::to_string(sky_.StepAmount);
  ScrollBar1 = std::clamp(sky_.StarLimit / 10, 2, 8);
  ScrollBar2 = std::clamp(params_.SubtitleSpeed, 2, 18);
  CheckBox1 = params_.MusicOn != 0;
  CheckBox3 = params_.SubtitlesOn != 0;
  CheckBoxVoice = params_.SpeechOn != 0;
  ckFullScr = params_.FullScreen != 0;
  ckWithName = params_.NebulaNames != 0;
  CheckBoxLabelPlace = sky_.LabelPlacement != 0;
  CheckBoxRealSky = sky_.RealisticSky != 0;
  CheckBoxRefraction = sky_.Refraction != 0;
  FieldSlider = FieldShown = static_cast<int>(std::lround(
      std::clamp(sky_.FieldOfView, MinFieldOfView, MaxFieldOfView)));
  CheckBoxMilkyWay = sky_.MilkyWay != 0;
  char scale[16];
  std::snprintf(scale, sizeof scale, "%g", sky_.InterfaceScale);
  EditScale = scale;
}

void TFormConfig::DateTimePicker1Change() {
  EditYear = std::to_string(DateTimePicker1.Year);
  EditMonth = std::to_string(DateTimePicker1.Month);
  EditDay = std::to_string(DateTimePicker1.Day);
}

bool TFormConfig::TypedDate(int& year, int& month, int& day) const {
  if (!ParseInt(EditYear, MinYear, MaxYear, year) || year == 0 ||
      !ParseInt(EditMonth, 1, 12, month) || !ParseInt(EditDay, 0, MaxDayField, day))
    return false;
  NormalizeDate(year, month, day);
  return year >= MinYear && year <= MaxYear;
}

std::string TFormConfig::DateButtonText() const {
  int y = 0, m = 0, d = 0;
  if (!TypedDate(y, m, d)) return "日期有误";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
  return text;
}

void TFormConfig::EditDateChange() {
  // The calendar follows the date the fields make, a day past the month's
  // end carried into the next month as "确定" does.
  int y = 0, m = 0, d = 0;
  if (TypedDate(y, m, d)) DateTimePicker1.SetDate(y, m, d);
  if (ErrorField == TConfigField::Year || ErrorField == TConfigField::Month ||
      ErrorField == TConfigField::Day) {
    ErrorField = TConfigField::None;
    ErrorText.clear();
  }
}

void TFormConfig::ComboBoxCountryChange() {
  FillCities();
  SelectedCity = 0;
}

void TFormConfig::ComboBoxCityChange() {
  const TCityTable& cities = sky_.CityTable;
  SelectedCity = 0;
  if (ComboBoxCountryIndex < 0 || ComboBoxCityIndex < 0 ||
      ComboBoxCountryIndex >= int(ComboBoxCountryItems.size()) ||
      ComboBoxCityIndex >= int(ComboBoxCityItems.size()))
    return;
  const std::string country = Utf8ToGbk(ComboBoxCountryItems[ComboBoxCountryIndex]);
  const std::string city = Utf8ToGbk(ComboBoxCityItems[ComboBoxCityIndex]);
  for (int i = 1; i <= cities.CityCount; ++i) {
    if (cities.Cities[i].Country.view() == country && cities.Cities[i].CityName.view() == city) {
      SelectedCity = i;
      const TCityInfo& c = cities.Cities[i];
      ShowPlace(c.Latitude, c.Longitude, c.TimeZone, true);
      break;
    }
  }
  if (ErrorField == TConfigField::Latitude || ErrorField == TConfigField::Longitude ||
      ErrorField == TConfigField::TimeZone) {
    ErrorField = TConfigField::None;
    ErrorText.clear();
  }
}

void TFormConfig::EditFindCityChange() {
  const TCityTable& cities = sky_.CityTable;
  const std::string wanted = Utf8ToGbk(Trim(EditFindCity));
  if (wanted.empty()) return;
  int found = 0;
  for (int i = 1; i <= cities.CityCount && !found; ++i)
    if (cities.Cities[i].CityName.view() == wanted) found = i;
  for (int i = 1; i <= cities.CityCount && !found; ++i)
    if (cities.Cities[i].CityName.view().find(wanted) != std::string_view::npos) found = i;
  // English names ("London", "new york"), in any case and spacing: the
  // whole name first, then the name it begins.
  const std::string english = Squeezed(EditFindCity);
  for (int i = 1; i <= cities.CityCount && !found && !english.empty(); ++i)
    if (Squeezed(cities.Cities[i].English.str()) == english) found = i;
  for (int i = 1; i <= cities.CityCount && !found && english.size() >= 3; ++i)
    if (Squeezed(cities.Cities[i].English.str()).rfind(english, 0) == 0) found = i;
  if (!found) return;
  SelectCountry(Utf8(cities.Cities[found].Country));
  FillCities();
  const std::string name = Utf8(cities.Cities[found].CityName);
  auto it = std::find(ComboBoxCityItems.begin(), ComboBoxCityItems.end(), name);
  ComboBoxCityIndex = it == ComboBoxCityItems.end() ? -1 : int(it - ComboBoxCityItems.begin());
  ComboBoxCityChange();
}

void TFormConfig::EditPlaceChange() {
  if (Filling) return;
  ClearCity();
  if (ErrorField == TConfigField::Latitude || ErrorField == TConfigField::Longitude ||
      ErrorField == TConfigField::TimeZone) {
    ErrorField = TConfigField::None;
    ErrorText.clear();
  }
}

void TFormConfig::RadioButtonPlaceClick() {
  LabelLongSign = RadioButtonEast ? "东" : "西";
  if (Filling) return;
  ClearCity();
}

void TFormConfig::Button3Click() {
  const TCivilDateTime now = Now();
  DateTimePicker1.SetDate(now.Year, now.Month, now.Day);
  PickerHour = now.Hour;
  PickerMinute = now.Minute;
  PickerSecond = now.Second;
  DateTimePicker1Change();
}

void TFormConfig::Button4Click() {
  const TCityTable& cities = sky_.CityTable;
  double lat = sky_.Latitude, lon = sky_.Longitude;
  int zone = sky_.TimeZone, city = sky_.City;
  ReadSavedPlace(lat, lon, zone, city);
  if (city < 1 || city > cities.CityCount) {
    ShowPlace(lat, lon, zone, false);
    ClearCity();
    return;
  }
  SelectedCity = city;
  const std::string name = Utf8(cities.Cities[city].CityName);
  auto it = std::find(ComboBoxCityItems.begin(), ComboBoxCityItems.end(), name);
  if (it != ComboBoxCityItems.end() &&
      ComboBoxCountryIndex >= 0 &&
      Utf8(cities.Cities[city].Country) == ComboBoxCountryItems[ComboBoxCountryIndex])
    ComboBoxCityIndex = int(it - ComboBoxCityItems.begin());
  const TCityInfo& c = cities.Cities[city];
  ShowPlace(c.Latitude, c.Longitude, c.TimeZone, true);
}

bool TFormConfig::Fail(TConfigField field, const std::string& text) {
  ErrorField = field;
  ErrorText = text;
  return false;
}

void TFormConfig::Button1Click() {
  // Every field is read and checked before anything is applied, so a
  // refused field leaves the model exactly as it was.
  ErrorField = TConfigField::None;
  ErrorText.clear();
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, zone = 0, amount = 0;
  double lat = 0, lon = 0;
  if (!ParseInt(EditYear, MinYear, MaxYear, year) || year == 0) {
    PageControl1 = 0;
    Fail(TConfigField::Year, MsgYear);
    return;
  }
  if (!ParseInt(EditMonth, 1, 12, month)) {
    PageControl1 = 0;
    Fail(TConfigField::Month, MsgMonth);
    return;
  }
  if (!ParseInt(EditDay, 0, MaxDayField, day)) {
    PageControl1 = 0;
    Fail(TConfigField::Day, MsgDay);
    return;
  }
  if (PickerHour < 0 || PickerHour > 23) {
    PageControl1 = 0;
    Fail(TConfigField::Hour, MsgHour);
    return;
  }
  if (PickerMinute < 0 || PickerMinute > 59) {
    PageControl1 = 0;
    Fail(TConfigField::Minute, MsgMinute);
    return;
  }
  if (PickerSecond < 0 || PickerSecond > 59) {
    PageControl1 = 0;
    Fail(TConfigField::Second, MsgSecond);
    return;
  }
  hour = PickerHour;
  minute = PickerMinute;
  if (!ParseNumber(EditLat, -MaxLatField, MaxLatField, lat)) {
    PageControl1 = 1;
    Fail(TConfigField::Latitude, MsgLat);
    return;
  }
  if (!ParseNumber(EditLong, -MaxLongField, MaxLongField, lon)) {
    PageControl1 = 1;
    Fail(TConfigField::Longitude, MsgLong);
    return;
  }
  if (!ParseInt(EditTimeZone, -MaxZoneField, MaxZoneField, zone)) {
    PageControl1 = 1;
    Fail(TConfigField::TimeZone, MsgZone);
    return;
  }
  if (!ParseInt(EditUnit, -MaxStepAmount, MaxStepAmount, amount) || amount == 0) {
    PageControl1 = 4;
    Fail(TConfigField::StepAmount, MsgStep);
    return;
  }
  double scale = 0;
  if (!ParseNumber(EditScale, 0, 3, scale) || (scale != 0 && scale < 1)) {
    PageControl1 = 4;
    Fail(TConfigField::InterfaceScale, MsgScale);
    return;
  }

  NormalizeDate(year, month, day);
  if (year < MinYear || year > MaxYear) {
    PageControl1 = 0;
    Fail(TConfigField::Day, MsgDay);
    return;
  }

  // Everything is valid: apply.
  sky_.Year = year;
  sky_.Month = month;
  sky_.Day = day;
  sky_.Hour = hour;
  sky_.Minute = minute;
  sky_.Second = PickerSecond;
  double longitude = (RadioButtonEast ? lon : -lon) * Deg;
  int timeZone = RadioButtonEast ? zone : -zone;
  double latitude = (RadioButtonNorth ? lat : -lat) * Deg;
  while (longitude > M_PI) longitude -= 2 * M_PI;
  while (longitude < -M_PI) longitude += 2 * M_PI;
  while (timeZone > 12) timeZone -= 24;
  while (timeZone < -12) timeZone += 24;
  latitude = std::clamp(latitude, -M_PI / 2, M_PI / 2);
  if (EditLat == shown_.Lat && RadioButtonNorth == shown_.North) latitude = shown_.Latitude;
  if (EditLong == shown_.Long && RadioButtonEast == shown_.East) longitude = shown_.Longitude;
  sky_.Longitude = longitude;
  sky_.TimeZone = timeZone;
  sky_.Latitude = latitude;
  sky_.City = SelectedCity;

  for (const TBitBox& b : BitBoxes()) {
    uint64_t& mode = b.Set == 1 ? sky_.Mode1 : sky_.Mode2;
    if (this->*b.Box)
      mode |= b.Bit;
    else
      mode &= ~uint64_t(b.Bit);
  }
  sky_.MilkyWay = CheckBoxMilkyWay ? 1 : 0;
  sky_.DeriveShowFlags();
  sky_.StarLimit = ScrollBar1 * 10;

  params_.SubtitleSpeed = ScrollBar2;
  sky_.StepUnit = StepRadio;
  sky_.StepAmount = amount;
  params_.MusicOn = CheckBox1;
  params_.SubtitlesOn = CheckBox3;
  params_.SpeechOn = CheckBoxVoice;
  params_.FullScreen = ckFullScr;
  params_.NebulaNames = ckWithName;
  sky_.LabelPlacement = CheckBoxLabelPlace ? 1 : 0;
  sky_.RealisticSky = CheckBoxRealSky ? 1 : 0;
  sky_.Refraction = CheckBoxRefraction ? 1 : 0;
  // An untouched slider keeps the exact field (it shows whole degrees).
  if (FieldSlider != FieldShown) sky_.FieldOfView = std::clamp(FieldSlider, 5, 180);
  sky_.InterfaceScale = scale;

  Applied = true;
  Open = false;
  if (CheckBoxSave) {
    std::string why;
    if (!SaveAll(why)) Message = why;
  }
}

void TFormConfig::Button2Click() {
  Applied = false;
  Open = false;
}

std::vector<std::string> TFormConfig::Captions() {
  return {
      "观测设置", "观测时间", "观测地点", "名称", "辅助线", "其它",
      "日期", "时间", "年", "月", "日", "时", "分", "取当前日期和时间",
      "日", "一", "二", "三", "四", "五", "六", "上一年", "上个月", "下个月", "下一年",
      "国家", "城市", "纬度", "北纬", "南纬", "（0～90度）", "经度", "东经", "西经",
      "（0～180度）", "时区", "东", "西", "区", "（0～12区）", "（中国各地都是东八区）",
      "取本地经纬度", "查找城市", "输入城市名", "星座名称", "αβ星名", "亮星名", "梅西耶星云星团名", "行星名",
      "中国古代星官名称", "天球经纬网", "黄道线", "银道线", "星座连线", "中国古代星官连线",
      "显示星数：", "字幕速度：", "等", "步进时间", "秒", "分钟", "天", "年", "背景音乐", "使用字幕",
      "使用语音", "全屏幕方式", "星云图显示名字", "标签避让", "真实天空", "视野：", "°",
      "保存当前设置", "确定", "取消", "（无城市表，请直接输入经纬度）",
      MsgYear, MsgMonth,
      MsgDay,
      MsgHour, MsgMinute, MsgSecond,
      MsgLat, MsgLong,
      MsgZone, MsgStep, MsgScale, "缩放：", "界面缩放：0 为随屏幕大小，或 1～3",
      "0123456789.-+:：，。（）～",
  };
}

#include "ShowSource.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "CityTable.h"
#include "DateFrame.h"
#include "Gbk.h"
#include "SkyModel.h"
#include "SolarSystem.h"
#include "StarData.h"
#include "TimeScales.h"
#include "Transforms.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double RadPerDeg = Pi / 180.0;
constexpr int TicksPerSecond = 30;  // the frame tick is 33 ms

double ToRad(double deg) { return deg * RadPerDeg; }

// The page follows an object whose direction can be found: one named by
// number, with the page's own zone.
bool FollowsAnObject(const TShowFrame& f) { return f.Tracking && f.TrackId > 0 && HasZone(f.Zone); }

std::string Utf8(const ShortString& s) { return GbkToUtf8(s.view()); }
std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The Greek letters as the catalogue stores them: the Latin character whose
// "Symbol" glyph is the letter.
struct TGreek {
  const char* Letter;
  const char* Name;
  char Symbol;
};
constexpr TGreek GreekLetters[] = {
    {"α", "alpha", 'a'}, {"β", "beta", 'b'},    {"γ", "gamma", 'g'},   {"δ", "delta", 'd'},
    {"ε", "epsilon", 'e'}, {"ζ", "zeta", 'z'},  {"η", "eta", 'h'},     {"θ", "theta", 'q'},
    {"ι", "iota", 'i'},  {"κ", "kappa", 'k'},   {"λ", "lambda", 'l'},  {"μ", "mu", 'm'},
    {"ν", "nu", 'n'},    {"ξ", "xi", 'x'},      {"ο", "omicron", 'o'}, {"π", "pi", 'p'},
    {"ρ", "rho", 'r'},   {"σ", "sigma", 's'},   {"τ", "tau", 't'},     {"υ", "upsilon", 'u'},
    {"φ", "phi", 'f'},   {"χ", "chi", 'c'},     {"ψ", "psi", 'y'},     {"ω", "omega", 'w'},
};

struct TFlagName {
  const char* Name;
  uint64_t Bit;
};
constexpr TFlagName FlagNames[] = {
    {"constellation-names", SkyBits::ConstNames}, {"greek-letters", SkyBits::GreekLetters},
    {"star-names", SkyBits::StarNames},           {"planet-names", SkyBits::PlanetNames},
    {"messier-names", SkyBits::MessierNames},     {"asterism-names", SkyBits::OfficeNames},
    {"grid", SkyBits::Grid},                      {"ecliptic", SkyBits::Ecliptic},
    {"galactic", SkyBits::Galactic},              {"constellation-lines", SkyBits::ConstLines},
    {"asterism-lines", SkyBits::OfficeLines},     {"ground", SkyBits::Ground},
};
constexpr const char* PopupNames[6] = {"highlight", "lines", "star-names", "greek", "boundary",
                                       "reserved"};

// Defaults of the first page (later pages start from the page before).
TShowFrame FirstPageDefaults() {
  TShowFrame f;
  f.SetMarks = f.SetPlace = f.SetShow = f.NewPage = 1;
  f.ShowFlags = SkyBits::ConstNames | SkyBits::StarNames | SkyBits::PlanetNames |
                SkyBits::ConstLines | SkyBits::Ground | SkyBits::MilkyWay;
  f.StarLimit = 55;
  f.Wait = 10 * TicksPerSecond;
  f.StepUnit = 1;
  f.StepAmount = 1;
  f.Year = 2000;
  f.Month = f.Day = 1;
  return f;
}

// What a page does not inherit from the page before.
void StartFromPrevious(TShowFrame& f) {
  f.Caption = ShortString{};
  for (auto& t : f.Text) t = ShortString{};
  f.TextCount = 0;
  f.Moves = 0;
  f.NewPage = 1;
  f.SetMarks = f.SetPlace = f.SetShow = 1;
}

}  // namespace

// ================================================================ catalogue

bool TShowCatalog::Open(const std::string& dataFolder, std::string& error) {
  model_ = std::make_shared<TSkyloom>();
  InitSkyModel(*model_);
  const std::string stars = dataFolder + "/" + StarDataFileName;
  if (!LoadStarDataFrom(*model_, stars)) {
    error = stars + ": cannot read the star catalogue";
    return false;
  }
  const std::string cities = dataFolder + "/" + CityFileName;
  if (model_->CityTable.Load(cities) <= 0) {
    error = cities + ": cannot read the city table";
    return false;
  }
  return true;
}

int TShowCatalog::FindObject(const std::string& utf8) const {
  const TSkyloom& m = *model_;
  const std::string name = Trim(utf8);
  if (name.empty()) return 0;
  const std::string gbk = Utf8ToGbk(name), low = Lower(name);
  for (int i = 1; i <= MaxConsts; ++i) {
    const TSkyObject& c = m.Consts[i];
    if (c.Name.empty()) continue;
    if (Trim(c.Name.view()) == gbk || Lower(Trim(c.EName.view())) == low ||
        Lower(Trim(c.EShort.view())) == low)
      return i;
  }
  for (int b = 1; b <= 10; ++b)
    if (BodyNameUtf8(b) == name || Lower(std::string(BodyEName(b).view())) == low) return 100 + b;
  for (int i = 1; i <= MaxOffices; ++i)
    if (!m.Offices[i].Name.empty() && Trim(m.Offices[i].Name.view()) == gbk) return 200 + i;
  for (int j = 1; j <= MaxMessier; ++j) {
    const TMessierName& n = m.MessierNames[j];
    if (n.Code.empty()) continue;
    const std::string code = Lower(Trim(n.Code.view()));
    if (code == low || (low.size() > 1 && low[0] == 'm' && code.size() > 1 &&
                        std::atoi(code.c_str() + 1) == std::atoi(low.c_str() + 1) &&
                        low.find_first_not_of("0123456789", 1) == std::string::npos))
      return 1000 + j;
    if (!n.Name.empty() && Trim(n.Name.view()) == gbk) return 1000 + j;
  }
  return 0;
}

int TShowCatalog::FindStar(const std::string& utf8) const {
  const TSkyloom& m = *model_;
  const std::string name = Trim(utf8);
  if (name.empty()) return 0;
  if (name[0] == '#') {
    const int n = std::atoi(name.c_str() + 1);
    return n >= 1 && n <= m.StarCount ? n : 0;
  }
  const std::string gbk = Utf8ToGbk(name), low = Lower(name);
  for (int i = 1; i <= MaxStarNames; ++i) {
    const TStarName& s = m.StarNames[i];
    if (s.Star < 1) continue;
    if ((!s.Name.empty() && Trim(s.Name.view()) == gbk) ||
        (!s.EName.empty() && Lower(Trim(s.EName.view())) == low))
      return s.Star;
  }
  // A designation: Greek letter (or its name) and constellation.
  const size_t space = name.find(' ');
  if (space == std::string::npos) return 0;
  const std::string letter = Lower(name.substr(0, space));
  const std::string con = Trim(name.substr(space + 1));
  char symbol = 0;
  for (const TGreek& g : GreekLetters)
    if (letter == g.Letter || letter == g.Name) symbol = g.Symbol;
  const int owner = FindObject(con);
  if (!symbol || owner < 1 || owner > 100) return 0;
  for (int i = 1; i <= m.StarCount; ++i)
    if (m.Stars[i].Owner == owner && m.Stars[i].Greek == static_cast<uint8_t>(symbol)) return i;
  return 0;
}

int TShowCatalog::FindCity(const std::string& utf8) const {
  const TCityTable& cities = model_->CityTable;
  const std::string name = Trim(utf8);
  const size_t slash = name.find('/');
  const std::string country = slash == std::string::npos ? "" : Utf8ToGbk(name.substr(0, slash));
  const std::string city = Utf8ToGbk(slash == std::string::npos ? name : name.substr(slash + 1));
  int found = 0;
  for (int i = 1; i <= cities.CityCount; ++i) {
    if (Trim(cities.Cities[i].CityName.view()) != city) continue;
    if (!country.empty() && Trim(cities.Cities[i].Country.view()) != country) continue;
    if (found) return -1;
    found = i;
  }
  return found;
}

std::string TShowCatalog::ObjectName(int id) const {
  const TSkyloom& m = *model_;
  std::string name;
  if (id >= 1 && id <= 100) name = GbkToUtf8(Trim(m.Consts[id].Name.view()));
  else if (id >= 101 && id <= 110) name = BodyNameUtf8(id - 100);
  else if (id >= 201 && id <= 600) name = GbkToUtf8(Trim(m.Offices[id - 200].Name.view()));
  else if (id >= 1001 && id <= 1100) name = GbkToUtf8(Trim(m.MessierNames[id - 1000].Code.view()));
  return !name.empty() && FindObject(name) == id ? name : "";
}

std::string TShowCatalog::StarName(int star) const {
  const TSkyloom& m = *model_;
  for (int i = 1; i <= MaxStarNames; ++i)
    if (m.StarNames[i].Star == star && !m.StarNames[i].Name.empty()) {
      const std::string n = GbkToUtf8(Trim(m.StarNames[i].Name.view()));
      if (FindStar(n) == star) return n;
    }
  const TSkyPoint& s = m.Stars[star];
  if (s.Owner >= 1 && s.Owner <= 100)
    for (const TGreek& g : GreekLetters)
      if (s.Greek == static_cast<uint8_t>(g.Symbol)) {
        const std::string d =
            std::string(g.Letter) + " " + std::string(Trim(m.Consts[s.Owner].EShort.view()));
        if (FindStar(d) == star) return d;
      }
  return "";
}

std::string TShowCatalog::CityName(int city) const {
  const TCityTable& cities = model_->CityTable;
  if (city < 1 || city > cities.CityCount) return "";
  const std::string bare = GbkToUtf8(Trim(cities.Cities[city].CityName.view()));
  if (FindCity(bare) == city) return bare;
  const std::string full = GbkToUtf8(Trim(cities.Cities[city].Country.view())) + "/" + bare;
  return FindCity(full) == city ? full : "";
}

void TShowCatalog::DirectionAt(int id, int star, const TShowFrame& when, int zone, double& az,
                               double& alt) const {
  TSkyloom& m = *model_;
  m.Year = when.Year;
  m.Month = when.Month;
  m.Day = when.Day;
  m.Hour = when.Hour;
  m.Minute = when.Minute;
  m.Second = when.Second;
  m.TimeZone = zone;
  m.Latitude = when.Latitude;
  m.Longitude = when.Longitude;
  m.Tracking = 0;
  m.UpdateSky();
  if (star > 0) {
    const TVector3 v = ApparentDirection(
        DirectionOf(m.Stars[star].Lon, m.Stars[star].Lat), m.DayNumber);
    m.TargetLon = LongitudeOf(v);
    m.TargetLat = LatitudeOf(v);
  } else {
    m.TargetDirection(id);
  }
  const TVector3 h = HorizontalDirection(m.TargetLon, m.TargetLat, m.SiderealTime, m.Latitude);
  az = std::atan2(h.Y, h.X);
  if (az < 0) az += 2 * Pi;
  alt = std::atan2(h.Z, std::sqrt(h.X * h.X + h.Y * h.Y));
}

std::string TSourceError::Text(const std::string& file) const {
  return file + ":" + std::to_string(Line) + ":" + std::to_string(Column) + ": " + Message;
}

// ================================================================ compiling

namespace {

struct TFail {
  toml::source_position At;
  std::string Message;
};

[[noreturn]] void Fail(const toml::node& node, const std::string& message) {
  throw TFail{node.source().begin, message};
}

class TCompiler {
 public:
  TCompiler(const TShowCatalog& c) : Catalog(c) {}
  const TShowCatalog& Catalog;

  ShortString Gbk(const toml::node& node, const std::string& utf8, const char* what) {
    if (utf8.find('\0') != std::string::npos)
      Fail(node, std::string(what) + " holds a NUL character (\\u0000)");
    bool ok = true;
    const std::string gbk = Utf8ToGbk(utf8, &ok);
    if (!ok) Fail(node, std::string(what) + " holds a character GBK cannot store");
    if (gbk.size() > 255)
      Fail(node, std::string(what) + " is " + std::to_string(gbk.size()) +
                     " bytes in GBK; at most 255 fit");
    ShortString s;
    s.set(gbk);
    return s;
  }

  std::string String(const toml::node& node, const char* what) {
    if (!node.is_string()) Fail(node, std::string(what) + " must be a text in quotes");
    return node.as_string()->get();
  }

  double Number(const toml::node& node, const char* what) {
    if (node.is_integer()) return static_cast<double>(node.as_integer()->get());
    if (node.is_floating_point()) return node.as_floating_point()->get();
    Fail(node, std::string(what) + " must be a number");
  }

  int64_t Integer(const toml::node& node, const char* what, int64_t lo, int64_t hi) {
    if (!node.is_integer()) Fail(node, std::string(what) + " must be a whole number");
    const int64_t v = node.as_integer()->get();
    if (v < lo || v > hi)
      Fail(node, std::string(what) + " " + std::to_string(v) + " is outside " +
                     std::to_string(lo) + ".." + std::to_string(hi));
    return v;
  }

  bool Bool(const toml::node& node, const char* what) {
    if (!node.is_boolean()) Fail(node, std::string(what) + " must be true or false");
    return node.as_boolean()->get();
  }

  const toml::array& Array(const toml::node& node, const char* what) {
    if (!node.is_array()) Fail(node, std::string(what) + " must be a list in [ ]");
    return *node.as_array();
  }

  // Lines of a list of texts or of one text with line breaks.
  std::vector<std::pair<const toml::node*, std::string>> TextLines(const toml::node& node,
                                                                   const char* what) {
    std::vector<std::pair<const toml::node*, std::string>> out;
    if (node.is_string()) {
      std::string s = node.as_string()->get();
      if (!s.empty() && s.back() == '\n') s.pop_back();
      std::stringstream in(s);
      std::string line;
      while (std::getline(in, line)) out.emplace_back(&node, line);
      return out;
    }
    for (const toml::node& item : Array(node, what)) out.emplace_back(&item, String(item, what));
    return out;
  }

  int Object(const toml::node& node, const char* what) {
    if (node.is_integer()) return static_cast<int>(Integer(node, what, 0, 1100));
    const std::string name = String(node, what);
    const int id = Catalog.FindObject(name);
    if (!id)
      Fail(node, "unknown object \"" + name +
                     "\" (write a constellation, body, asterism or Messier name, e.g. 猎户座, "
                     "Orion, Ori, 火星, 参宿, M42)");
    return id;
  }

  int Star(const toml::node& node, const char* what) {
    if (node.is_integer())
      return static_cast<int>(Integer(node, what, 1, Catalog.Model().StarCount));
    const std::string name = String(node, what);
    const int n = Catalog.FindStar(name);
    if (!n)
      Fail(node, "unknown star \"" + name +
                     "\" (write a proper name such as 参宿四 or Betelgeuse, a designation such "
                     "as \"α Ori\", or #number)");
    return n;
  }

  double Degrees(const toml::node& node, const char* what, double lo, double hi) {
    const double v = Number(node, what);
    if (!(v >= lo && v <= hi))
      Fail(node, std::string(what) + " must be between " + std::to_string(int(lo)) + " and " +
                     std::to_string(int(hi)) + " degrees");
    return ToRad(v);
  }

  // Radians as written, within `limit` either way (a turn, a quarter turn).
  double Radians(const toml::node& node, const char* what, double limit) {
    const double v = Number(node, what);
    if (!(std::fabs(v) <= limit))
      Fail(node, std::string(what) + " must be between -" + std::to_string(limit) + " and " +
                     std::to_string(limit) + " radians");
    return v;
  }

  void Page(const toml::table& t, TShowFrame& f);
  // The view toward an object (or a star) at the page's time and place;
  // below the horizon with the ground shown is an error at `where`.
  void LookToward(const toml::node& where, int id, int star, const std::string& what,
                  TShowFrame& f);
};

void CheckKeys(const toml::table& t, std::initializer_list<const char*> known, const char* where) {
  for (const auto& [key, value] : t) {
    bool ok = false;
    for (const char* k : known) ok = ok || key.str() == k;
    if (!ok) Fail(value, "unknown key \"" + std::string(key.str()) + "\" in " + where);
  }
}

// A whole number of 1..maxDigits decimal digits at `at` (a '-' before it
// when `sign`); false on anything else, so that no value can overflow.
bool TakeNumber(const std::string& s, size_t& at, size_t maxDigits, bool sign, int& out) {
  const bool negative = sign && at < s.size() && s[at] == '-';
  if (negative) ++at;
  size_t digits = 0;
  long v = 0;
  while (at < s.size() && s[at] >= '0' && s[at] <= '9') {
    if (++digits > maxDigits) return false;
    v = v * 10 + (s[at++] - '0');
  }
  out = static_cast<int>(negative ? -v : v);
  return digits > 0;
}
bool TakeChar(const std::string& s, size_t& at, char c) { return at < s.size() && s[at++] == c; }

// "2026-01-15" (years of up to six digits, a '-' before them BC); the
// fields are range-checked by the caller.
bool ParseDate(const std::string& s, int& y, int& m, int& d) {
  size_t at = 0;
  return TakeNumber(s, at, 6, true, y) && TakeChar(s, at, '-') && TakeNumber(s, at, 2, false, m) &&
         TakeChar(s, at, '-') && TakeNumber(s, at, 2, false, d) && at == s.size();
}
bool ParseTime(const std::string& s, int& h, int& m) {
  size_t at = 0;
  return TakeNumber(s, at, 2, false, h) && TakeChar(s, at, ':') && TakeNumber(s, at, 2, false, m) &&
         at == s.size();
}

int DaysIn(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : days[m - 1];
}

void TCompiler::Page(const toml::table& t, TShowFrame& f) {
  const TCityTable& cities = Catalog.Model().CityTable;
  CheckKeys(t,
            {"caption", "text", "new_page", "apply", "date", "time", "second", "zone", "city", "latitude",
             "longitude", "latitude_rad", "longitude_rad", "azimuth", "altitude", "azimuth_rad",
             "altitude_rad", "fov", "toward", "show", "show_bits", "milky_way", "star_limit",
             "highlight", "stars", "lines", "areas", "wait", "glide", "step", "track", "tracking",
             "select", "popup"},
            "a page");
  if (auto n = t.get("caption")) f.Caption = Gbk(*n, String(*n, "caption"), "the caption");
  if (auto n = t.get("text")) {
    const auto lines = TextLines(*n, "text");
    if (lines.size() > MaxPageLines)
      Fail(*n, "a page holds at most 50 lines of text, this one has " +
                   std::to_string(lines.size()));
    f.TextCount = static_cast<int32_t>(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
      f.Text[i] = Gbk(*lines[i].first, lines[i].second, "a text line");
  }
  if (auto n = t.get("new_page")) f.NewPage = Bool(*n, "new_page");
  if (auto n = t.get("apply")) {
    f.SetPlace = f.SetShow = f.SetMarks = 0;
    for (const toml::node& item : Array(*n, "apply")) {
      const std::string s = String(item, "apply");
      if (s == "place") f.SetPlace = 1;
      else if (s == "show") f.SetShow = 1;
      else if (s == "marks") f.SetMarks = 1;
      else Fail(item, "apply takes \"place\", \"show\" and \"marks\", not \"" + s + "\"");
    }
  }
  if (auto n = t.get("date")) {
    int y = 0, m = 0, d = 0;
    if (n->is_date()) {
      const toml::date v = n->as_date()->get();
      y = v.year;
      m = v.month;
      d = v.day;
    } else if (!ParseDate(String(*n, "date"), y, m, d)) {
      Fail(*n, "a date is written 2026-01-15 (year-month-day)");
    }
    if (y < MinShowYear || y > MaxShowYear || m < 1 || m > 12 || d < 1 || d > DaysIn(y, m))
      Fail(*n, "no such date: " + std::to_string(y) + "-" + std::to_string(m) + "-" +
                   std::to_string(d));
    f.Year = y;
    f.Month = m;
    f.Day = d;
  }
  if (auto n = t.get("time")) {
    int h = 0, mi = 0, sec = 0;
    if (n->is_time()) {
      // A TOML time value (21:30:15, unquoted) carries its seconds.
      const toml::time v = n->as_time()->get();
      h = v.hour;
      mi = v.minute;
      sec = v.second;
    } else if (!ParseTime(String(*n, "time"), h, mi)) {
      Fail(*n, "a time is written \"21:30\" (hours:minutes)");
    }
    if (h < 0 || h > 23 || mi < 0 || mi > 59) Fail(*n, "no such time of day");
    f.Hour = h;
    f.Minute = mi;
    f.Second = std::clamp(sec, 0, 59);  // a quoted "HH:MM" is a whole minute
  }
  if (auto n = t.get("second")) f.Second = static_cast<int32_t>(Integer(*n, "second", 0, 59));
  const toml::node* cityNode = t.get("city");
  if (cityNode) {
    int city = 0;
    if (cityNode->is_integer()) {
      city = static_cast<int>(Integer(*cityNode, "city", 1, cities.CityCount));
    } else {
      const std::string name = String(*cityNode, "city");
      city = Catalog.FindCity(name);
      if (city < 0)
        Fail(*cityNode, "\"" + name + "\" is a city in more than one country; write "
                        "\"country/city\", e.g. \"美国/达拉斯\"");
      if (city == 0)
        Fail(*cityNode, "unknown city \"" + name +
                            "\" (the city table names cities in Chinese, e.g. 北京, 悉尼; or "
                            "give latitude and longitude)");
    }
    f.City = city;
    f.Latitude = cities.Cities[city].Latitude;
    f.Longitude = cities.Cities[city].Longitude;
    if (!t.get("zone")) f.Zone = EncodeZone(cities.Cities[city].TimeZone);
  }
  const bool hasLat = t.get("latitude") || t.get("latitude_rad");
  const bool hasLon = t.get("longitude") || t.get("longitude_rad");
  if ((hasLat || hasLon) && !cityNode) f.City = 0;
  if (auto n = t.get("latitude")) f.Latitude = Degrees(*n, "latitude", -90, 90);
  if (auto n = t.get("latitude_rad")) f.Latitude = Radians(*n, "latitude_rad", MaxPageLatitude);
  if (auto n = t.get("longitude")) f.Longitude = Degrees(*n, "longitude", -180, 180);
  if (auto n = t.get("longitude_rad")) f.Longitude = Radians(*n, "longitude_rad", MaxPageLongitude);
  if (auto n = t.get("zone")) {
    if (n->is_string() && n->as_string()->get() == "user") f.Zone = 0;
    else if (n->is_integer()) f.Zone = EncodeZone(static_cast<int>(Integer(*n, "zone", MinZone, MaxZone)));
    else Fail(*n, "zone is whole hours east of Greenwich (-12..14) or \"user\"");
  }
  if (auto n = t.get("show")) {
    // The Milky Way has a switch of its own (milky_way).
    f.ShowFlags &= SkyBits::MilkyWay;
    for (const toml::node& item : Array(*n, "show")) {
      const std::string s = String(item, "show");
      uint64_t bit = 0;
      for (const TFlagName& fl : FlagNames)
        if (s == fl.Name) bit = fl.Bit;
      if (!bit) {
        std::string all;
        for (const TFlagName& fl : FlagNames) all += std::string(all.empty() ? "" : ", ") + fl.Name;
        Fail(item, "unknown display switch \"" + s + "\" (known: " + all + ")");
      }
      f.ShowFlags |= bit;
    }
  }
  if (auto n = t.get("show_bits"))
    f.ShowFlags |= static_cast<uint64_t>(Integer(*n, "show_bits", 0, INT64_MAX));
  if (auto n = t.get("milky_way")) {
    if (!n->is_boolean()) Fail(*n, "milky_way is true or false");
    if (n->as_boolean()->get()) f.ShowFlags |= SkyBits::MilkyWay;
    else f.ShowFlags &= ~SkyBits::MilkyWay;
  }
  if (auto n = t.get("star_limit")) {
    const double v = Number(*n, "star_limit");
    if (!(v >= -2 && v <= 12)) Fail(*n, "star_limit is a magnitude between -2 and 12");
    f.StarLimit = static_cast<int32_t>(std::lround(v * 10));
  }
  if (auto n = t.get("fov")) {
    const double v = Number(*n, "fov");
    if (!(v >= MinPageField && v <= MaxPageField))
      Fail(*n, "fov is the field of view across the sky, between 5 and 180 degrees");
    f.FieldOfView = v;
  }
  // The view: numbers, or toward an object at this page's time and place.
  if (auto n = t.get("toward")) {
    int id = 0, star = 0;
    const std::string name = String(*n, "toward");
    id = Catalog.FindObject(name);
    if (!id) star = Catalog.FindStar(name);
    if (!id && !star)
      Fail(*n, "unknown object or star \"" + name + "\" to look toward");
    if (!HasZone(f.Zone))
      Fail(*n, "looking toward an object needs the page's zone (give zone or city)");
    LookToward(*n, id, star, "\"" + name + "\"", f);
  }
  if (auto n = t.get("azimuth")) f.ViewAz = Degrees(*n, "azimuth", 0, 360);
  if (auto n = t.get("azimuth_rad")) f.ViewAz = Radians(*n, "azimuth_rad", MaxPageLongitude);
  if (auto n = t.get("altitude")) f.ViewAlt = Degrees(*n, "altitude", -90, 90);
  if (auto n = t.get("altitude_rad")) f.ViewAlt = Radians(*n, "altitude_rad", MaxPageLatitude);

  if (auto n = t.get("highlight")) {
    const toml::array& a = Array(*n, "highlight");
    if (a.size() > MaxHighlights) Fail(*n, "at most 20 highlights on a page");
    f.Highlights = {};
    f.HighlightCount = static_cast<int32_t>(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
      THighlight& h = f.Highlights[i];
      const toml::node& item = *a.get(i);
      if (item.is_table()) {
        const toml::table& e = *item.as_table();
        CheckKeys(e, {"name", "label", "lines", "star_names", "greek"}, "a highlight");
        if (!e.get("name")) Fail(item, "a highlight needs a name");
        h.Object = Object(*e.get("name"), "highlight");
        auto flag = [&](const char* k) { return e.get(k) ? int(Bool(*e.get(k), k)) : 0; };
        h.ShowName = flag("label");
        h.ShowLines = flag("lines");
        h.ShowStarNames = flag("star_names");
        h.ShowGreek = flag("greek");
      } else {
        h.Object = Object(item, "highlight");
        h.ShowName = h.ShowLines = h.ShowStarNames = h.ShowGreek = 1;
      }
      if (!((h.Object >= 1 && h.Object <= 100) || (h.Object >= 201 && h.Object <= 600)))
        Fail(item, "only constellations and asterisms can be highlighted");
    }
  }
  if (auto n = t.get("stars")) {
    const toml::array& a = Array(*n, "stars");
    if (a.size() > MaxStarMarks) Fail(*n, "at most 50 star marks on a page");
    f.StarMarks = {};
    f.StarMarkCount = static_cast<int32_t>(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
      TStarMark& m = f.StarMarks[i];
      const toml::node& item = *a.get(i);
      if (item.is_table()) {
        const toml::table& e = *item.as_table();
        CheckKeys(e, {"star", "ring", "text", "show_text", "designation"}, "a star mark");
        if (!e.get("star")) Fail(item, "a star mark needs a star");
        m.Star = Star(*e.get("star"), "star");
        m.Circle = e.get("ring") ? Bool(*e.get("ring"), "ring") : 1;
        if (auto x = e.get("text")) m.Text = Gbk(*x, String(*x, "text"), "a star mark's text");
        m.Note = e.get("show_text") ? Bool(*e.get("show_text"), "show_text") : !m.Text.empty();
        m.Name = e.get("designation") ? Bool(*e.get("designation"), "designation") : 0;
      } else {
        m.Star = Star(item, "stars");
        m.Circle = 1;
      }
    }
  }
  if (auto n = t.get("lines")) {
    const toml::array& a = Array(*n, "lines");
    if (a.size() > MaxLineMarks) Fail(*n, "at most 50 lines on a page");
    f.LineMarks = {};
    f.LineMarkCount = static_cast<int32_t>(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
      const toml::node& item = *a.get(i);
      if (!item.is_table()) Fail(item, "a line is written { from = \"参宿四\", to = \"天狼星\" }");
      const toml::table& e = *item.as_table();
      CheckKeys(e, {"from", "to", "color"}, "a line");
      if (!e.get("from") || !e.get("to")) Fail(item, "a line needs from and to");
      TLineMark& l = f.LineMarks[i];
      l.StarB = Star(*e.get("from"), "from");
      l.StarA = Star(*e.get("to"), "to");
      l.Color = 0x00FFFF;  // yellow
      if (auto c = e.get("color")) {
        const std::string s = String(*c, "color");
        unsigned r = 0, g = 0, b = 0;
        char extra = 0;
        if (s.size() != 7 || s[0] != '#' ||
            s.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos ||
            std::sscanf(s.c_str(), "#%2x%2x%2x%c", &r, &g, &b, &extra) != 3)
          Fail(*c, "a colour is written \"#RRGGBB\", e.g. \"#FFFF00\" for yellow");
        l.Color = r | (g << 8) | (b << 16);
      }
    }
  }
  if (auto n = t.get("areas")) {
    const toml::array& a = Array(*n, "areas");
    if (a.size() > MaxAreaMarks) Fail(*n, "at most 20 areas on a page");
    f.AreaMarks = {};
    f.AreaMarkCount = static_cast<int32_t>(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
      const toml::node& item = *a.get(i);
      if (!item.is_table()) Fail(item, "an area is written { name = \"...\", stars = [ ... ] }");
      const toml::table& e = *item.as_table();
      CheckKeys(e, {"name", "stars"}, "an area");
      if (!e.get("name") || !e.get("stars")) Fail(item, "an area needs a name and stars");
      TAreaMark& m = f.AreaMarks[i];
      m.Name = Gbk(*e.get("name"), String(*e.get("name"), "name"), "an area's name");
      const toml::array& s = Array(*e.get("stars"), "stars");
      if (s.size() > 20) Fail(*e.get("stars"), "an area lists at most 20 stars");
      m.Count = static_cast<int32_t>(s.size());
      for (size_t j = 0; j < s.size(); ++j) m.Stars[j] = Star(*s.get(j), "stars");
    }
  }
  if (auto n = t.get("wait")) {
    const double s = Number(*n, "wait");
    if (!(s >= 0 && s <= 3600)) Fail(*n, "wait is 0 to 3600 seconds");
    f.Wait = static_cast<int32_t>(std::lround(s * TicksPerSecond));
  }
  if (auto n = t.get("glide")) {
    for (const toml::node& item : Array(*n, "glide")) {
      const std::string s = String(item, "glide");
      if (s == "time") f.Moves |= MoveBits::Time;
      else if (s == "view") f.Moves |= MoveBits::View;
      else if (s == "place") f.Moves |= MoveBits::Place;
      else Fail(item, "glide takes \"time\", \"view\" and \"place\", not \"" + s + "\"");
    }
  }
  if (auto n = t.get("step")) {
    const std::string s = String(*n, "step");
    int amount = 0;
    size_t at = 0;
    if (!TakeNumber(s, at, 6, true, amount) || !TakeChar(s, at, ' ') || amount < -MaxPageStep ||
        amount > MaxPageStep)
      Fail(*n, "a step is written \"10 seconds\", \"1 minute\", \"-2 days\" or \"1 year\"");
    while (at < s.size() && s[at] == ' ') ++at;
    const std::string u = s.substr(at);
    if (u == "minute" || u == "minutes" || u == "分" || u == "分钟") f.StepUnit = 1;
    else if (u == "day" || u == "days" || u == "日" || u == "天") f.StepUnit = 2;
    else if (u == "year" || u == "years" || u == "年") f.StepUnit = 3;
    else if (u == "second" || u == "seconds" || u == "秒") f.StepUnit = 4;
    else Fail(*n, "the unit of a step is second, minute, day or year");
    f.StepAmount = static_cast<int32_t>(amount);
  }
  if (auto n = t.get("track")) {
    if (n->is_boolean() && !n->as_boolean()->get()) {
      f.Tracking = 0;
      f.TrackId = 0;
    } else {
      f.TrackId = Object(*n, "track");
      f.Tracking = 1;
    }
  }
  if (auto n = t.get("tracking")) f.Tracking = Bool(*n, "tracking");
  if (auto n = t.get("select")) f.SelConst = Object(*n, "select");
  if (auto n = t.get("popup")) {
    f.PopupSwitches = {};
    for (const toml::node& item : Array(*n, "popup")) {
      const std::string s = String(item, "popup");
      int k = -1;
      for (int i = 0; i < 6; ++i)
        if (s == PopupNames[i]) k = i;
      if (k < 0)
        Fail(item, "popup takes highlight, lines, star-names, greek, boundary, not \"" + s + "\"");
      f.PopupSwitches[static_cast<size_t>(k)] = 1;
    }
  }
  // A page that follows an object and gives no view of its own looks toward
  // that object at its own time and place: the page then shows the same
  // whether it is reached by playing on or by turning to it.
  const bool ownView = t.get("toward") || t.get("azimuth") || t.get("azimuth_rad") ||
                       t.get("altitude") || t.get("altitude_rad");
  if (!ownView && FollowsAnObject(f))
    LookToward(t, f.TrackId, 0, "the followed object (track)", f);
}

void TCompiler::LookToward(const toml::node& where, int id, int star, const std::string& what,
                           TShowFrame& f) {
  Catalog.DirectionAt(id, star, f, DecodeZone(f.Zone), f.ViewAz, f.ViewAlt);
  // Kept as radians of a degree value, so that the decompiler can write
  // the view in degrees that compile to the same bits.
  f.ViewAz = ToRad(f.ViewAz / RadPerDeg);
  f.ViewAlt = ToRad(f.ViewAlt / RadPerDeg);
  if (f.ViewAlt < 0 && (f.ShowFlags & SkyBits::Ground))
    Fail(where, what + " is below the horizon at this time and place (" +
                    std::to_string(f.ViewAlt / RadPerDeg) + " degrees)");
}

}  // namespace

namespace {

// The TOML reader descends once per part of a dotted key and per level of
// nested arrays and tables; a source beyond these bounds is refused before
// it is parsed. A show needs a few of either.
constexpr size_t MaxSourceBytes = 4u << 20;
constexpr int MaxDotsPerLine = 256;  // dotted key parts (and decimal points) of one line
constexpr int MaxNesting = 64;       // [ and { open at once

// Finds the first place (line, column) where the source leaves the bounds,
// outside strings and comments. True when it stays within them.
bool SourceWithinBounds(const std::string& text, TSourceError& error) {
  enum class TState { Plain, Comment, Basic, Literal, LongBasic, LongLiteral } state = TState::Plain;
  int line = 1, column = 0, dots = 0, depth = 0;
  const auto fail = [&](const std::string& message) {
    error.Line = line;
    error.Column = column;
    error.Message = message;
    return false;
  };
  const auto at = [&](size_t i, const char* s) { return text.compare(i, std::strlen(s), s) == 0; };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++column;  // characters, not bytes
    if (c == '\n') {
      ++line;
      column = 0;
      dots = 0;
      if (state == TState::Comment || state == TState::Basic || state == TState::Literal)
        state = TState::Plain;
      continue;
    }
    switch (state) {
      case TState::Comment:
        break;
      case TState::Basic:
      case TState::LongBasic:
        if (c == '\\' && i + 1 < text.size() && text[i + 1] != '\n') {
          ++i;
          ++column;
        } else if (state == TState::Basic && c == '"') {
          state = TState::Plain;
        } else if (state == TState::LongBasic && at(i, "\"\"\"")) {
          i += 2;
          column += 2;
          state = TState::Plain;
        }
        break;
      case TState::Literal:
        if (c == '\'') state = TState::Plain;
        break;
      case TState::LongLiteral:
        if (at(i, "'''")) {
          i += 2;
          column += 2;
          state = TState::Plain;
        }
        break;
      case TState::Plain:
        if (c == '#') {
          state = TState::Comment;
        } else if (c == '"') {
          state = at(i, "\"\"\"") ? TState::LongBasic : TState::Basic;
          if (state == TState::LongBasic) i += 2, column += 2;
        } else if (c == '\'') {
          state = at(i, "'''") ? TState::LongLiteral : TState::Literal;
          if (state == TState::LongLiteral) i += 2, column += 2;
        } else if (c == '.') {
          if (++dots > MaxDotsPerLine)
            return fail("more than " + std::to_string(MaxDotsPerLine) +
                        " dotted key parts or numbers in one line");
        } else if (c == '[' || c == '{') {
          if (++depth > MaxNesting)
            return fail("lists and tables nested more than " + std::to_string(MaxNesting) +
                        " deep");
        } else if ((c == ']' || c == '}') && depth > 0) {
          --depth;
        }
        break;
    }
  }
  return true;
}

}  // namespace

bool CompileShowSource(const std::string& text, const TShowCatalog& catalog, TShowImage& out,
                       TSourceError& error) {
  if (text.size() > MaxSourceBytes) {
    error = {1, 1, "larger than " + std::to_string(MaxSourceBytes) + " bytes; a show source is far smaller"};
    return false;
  }
  if (!SourceWithinBounds(text, error)) return false;
  toml::table root;
  try {
    root = toml::parse(text);
  } catch (const toml::parse_error& e) {
    error.Line = static_cast<int>(e.source().begin.line);
    error.Column = static_cast<int>(e.source().begin.column);
    error.Message = std::string(e.description());
    return false;
  }
  TCompiler c(catalog);
  try {
    CheckKeys(root, {"title", "description", "layout", "page"}, "the show");
    out = TShowImage{};
    const toml::node* title = root.get("title");
    if (!title) throw TFail{{1, 1}, "a show needs a title"};
    out.Title = c.Gbk(*title, c.String(*title, "title"), "the title");
    if (auto n = root.get("description")) {
      const auto lines = c.TextLines(*n, "description");
      if (lines.size() > MaxShowLines)
        Fail(*n, "a description holds at most 11 lines (an 11th replaces the player's footer)");
      for (const auto& [node, line] : lines) out.Lines.push_back(c.Gbk(*node, line, "a description line"));
    }
    if (auto n = root.get("layout")) {
      const std::string s = c.String(*n, "layout");
      if (s != "F" && s != "R") Fail(*n, "layout is \"F\" (pages first) or \"R\" (description first)");
      out.Tag = s[0];
    }
    const toml::node* pages = root.get("page");
    if (!pages || !pages->is_array_of_tables())
      throw TFail{{1, 1}, "a show needs pages: one [[page]] table per page"};
    TShowFrame f = FirstPageDefaults();
    for (const toml::node& p : *pages->as_array()) {
      if (!out.Frames.empty()) StartFromPrevious(f);
      c.Page(*p.as_table(), f);
      out.Frames.push_back(f);
    }
    if (out.Frames.size() > 1000) Fail(*pages, "a show holds at most 1000 pages");
  } catch (const TFail& f) {
    error.Line = static_cast<int>(f.At.line);
    error.Column = static_cast<int>(f.At.column);
    error.Message = f.Message;
    return false;
  }
  return true;
}

// ================================================================ decompiling

namespace {

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string QuoteGbk(const ShortString& s) { return Quote(Utf8(s)); }

// Equal to the last bit: 0 and -0 differ (both compile, to different bytes).
bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The shortest decimal degrees that compile back to exactly `rad`; "" when
// none does (the radians are written instead).
std::string DegreesText(double rad) {
  const double d = rad / RadPerDeg;
  // The quotient itself first, then its neighbours outward, so that 0 and
  // -0 are written as themselves.
  double candidates[9] = {d};
  double up = d, down = d;
  for (int i = 1; i < 9; i += 2) {
    candidates[i] = up = std::nextafter(up, INFINITY);
    candidates[i + 1] = down = std::nextafter(down, -INFINITY);
  }
  for (int precision = 1; precision <= 17; ++precision)
    for (double x : candidates) {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.*g", precision, x);
      if (SameBits(ToRad(std::strtod(buf, nullptr)), rad)) {
        // "180", not "1.8e+02": the shortest plain decimals that give x.
        std::string s = buf;
        if (s.find('e') != std::string::npos && std::fabs(x) >= 1e-4 && std::fabs(x) < 1e15)
          for (int decimals = 0; decimals <= 17; ++decimals) {
            char plain[64];
            std::snprintf(plain, sizeof plain, "%.*f", decimals, x);
            if (SameBits(ToRad(std::strtod(plain, nullptr)), rad)) {
              s = plain;
              break;
            }
          }
        if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
        return s;
      }
    }
  return "";
}

std::string Real(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  std::string s = buf;
  if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
  return s;
}

void Angle(std::ostringstream& o, const char* key, double rad, double lo, double hi) {
  const std::string d = rad / RadPerDeg >= lo && rad / RadPerDeg <= hi ? DegreesText(rad) : "";
  if (!d.empty() && std::strtod(d.c_str(), nullptr) >= lo && std::strtod(d.c_str(), nullptr) <= hi)
    o << key << " = " << d << "\n";
  else o << key << "_rad = " << Real(rad) << "\n";
}

bool SameBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t from,
               size_t to) {
  return std::memcmp(a.data() + from, b.data() + from, to - from) == 0;
}

std::string ObjectText(const TShowCatalog& c, int id) {
  const std::string n = c.ObjectName(id);
  return n.empty() ? std::to_string(id) : Quote(n);
}
std::string StarText(const TShowCatalog& c, int star) {
  const std::string n = c.StarName(star);
  return n.empty() ? std::to_string(star) : Quote(n);
}

}  // namespace

std::string DecompileShow(const TShowImage& show, const TShowCatalog& catalog) {
  const TCityTable& cities = catalog.Model().CityTable;
  std::ostringstream o;
  o << "# Show source: compile with  skyloom-show build FILE.toml -o FILE.shw\n";
  o << "title = " << QuoteGbk(show.Title) << "\n";
  if (show.Tag == 'R') o << "layout = \"R\"\n";
  if (!show.Lines.empty()) {
    o << "description = [\n";
    for (const ShortString& l : show.Lines) o << "  " << QuoteGbk(l) << ",\n";
    o << "]\n";
  }
  TShowFrame base = FirstPageDefaults();
  for (size_t k = 0; k < show.Frames.size(); ++k) {
    const TShowFrame& f = show.Frames[k];
    if (k > 0) StartFromPrevious(base);
    const bool first = k == 0;
    std::vector<uint8_t> fb(ShowFrameSize), bb(ShowFrameSize);
    EncodeFrame(f, fb);
    EncodeFrame(base, bb);
    o << "\n[[page]]\n";
    if (!f.Caption.empty()) o << "caption = " << QuoteGbk(f.Caption) << "\n";
    if (f.TextCount > 0) {
      o << "text = [\n";
      for (int i = 0; i < UsedEntries(f.TextCount, MaxPageLines); ++i)
        o << "  " << QuoteGbk(f.Text[static_cast<size_t>(i)]) << ",\n";
      o << "]\n";
    }
    if (!f.NewPage) o << "new_page = false\n";
    if (!(f.SetPlace && f.SetShow && f.SetMarks)) {
      o << "apply = [";
      const char* sep = "";
      if (f.SetPlace) o << sep << "\"place\"", sep = ", ";
      if (f.SetShow) o << sep << "\"show\"", sep = ", ";
      if (f.SetMarks) o << sep << "\"marks\"";
      o << "]\n";
    }
    if (first || f.Year != base.Year || f.Month != base.Month || f.Day != base.Day) {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", f.Year, f.Month, f.Day);
      o << "date = \"" << buf << "\"\n";
    }
    if (first || f.Hour != base.Hour || f.Minute != base.Minute || f.Second != base.Second) {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%02d:%02d", f.Hour, f.Minute);
      o << "time = \"" << buf << "\"\n";
      if (f.Second != 0) o << "second = " << f.Second << "\n";
    }
    const bool placeChanged = first || f.City != base.City || !SameBits(f.Latitude, base.Latitude) ||
                              !SameBits(f.Longitude, base.Longitude);
    if (placeChanged) {
      const bool listed = f.City >= 1 && f.City <= cities.CityCount;
      if (listed) {
        const std::string city = catalog.CityName(f.City);
        o << "city = " << (city.empty() ? std::to_string(f.City) : Quote(city)) << "\n";
      }
      if (!listed || !SameBits(cities.Cities[f.City].Latitude, f.Latitude))
        Angle(o, "latitude", f.Latitude, -90, 90);
      if (!listed || !SameBits(cities.Cities[f.City].Longitude, f.Longitude))
        Angle(o, "longitude", f.Longitude, -180, 180);
    }
    if (first || placeChanged || f.Zone != base.Zone) {
      if (HasZone(f.Zone)) o << "zone = " << DecodeZone(f.Zone) << "\n";
      else o << "zone = \"user\"\n";
    }
    // A followed object's page is written with its view, which is then
    // kept as it is rather than looked up again.
    if (first || !SameBits(f.ViewAz, base.ViewAz) || !SameBits(f.ViewAlt, base.ViewAlt) ||
        FollowsAnObject(f)) {
      Angle(o, "azimuth", f.ViewAz, 0, 360);
      Angle(o, "altitude", f.ViewAlt, -90, 90);
    }
    if (f.FieldOfView != 0 && (first || !SameBits(f.FieldOfView, base.FieldOfView)))
      o << "fov = " << Real(f.FieldOfView) << "\n";
    const uint64_t shown = f.ShowFlags & ~SkyBits::MilkyWay;
    if (first || shown != (base.ShowFlags & ~SkyBits::MilkyWay)) {
      o << "show = [";
      uint64_t rest = shown;
      const char* sep = "";
      for (const TFlagName& fl : FlagNames)
        if (f.ShowFlags & fl.Bit) {
          o << sep << Quote(fl.Name);
          sep = ", ";
          rest &= ~fl.Bit;
        }
      o << "]\n";
      if (rest) o << "show_bits = " << static_cast<int64_t>(rest) << "\n";
    }
    if (first ? !(f.ShowFlags & SkyBits::MilkyWay)
              : (f.ShowFlags ^ base.ShowFlags) & SkyBits::MilkyWay)
      o << "milky_way = " << ((f.ShowFlags & SkyBits::MilkyWay) ? "true" : "false") << "\n";
    if (first || f.StarLimit != base.StarLimit) {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.1f", f.StarLimit / 10.0);
      o << "star_limit = " << buf << "\n";
    }
    if (first || f.Wait != base.Wait) {
      if (f.Wait % TicksPerSecond == 0) o << "wait = " << f.Wait / TicksPerSecond << "\n";
      else o << "wait = " << Real(f.Wait / double(TicksPerSecond)) << "\n";
    }
    if (f.Moves & (MoveBits::Time | MoveBits::View | MoveBits::Place)) {
      o << "glide = [";
      const char* sep = "";
      if (f.Moves & MoveBits::Time) o << sep << "\"time\"", sep = ", ";
      if (f.Moves & MoveBits::View) o << sep << "\"view\"", sep = ", ";
      if (f.Moves & MoveBits::Place) o << sep << "\"place\"";
      o << "]\n";
    }
    if (first || f.StepUnit != base.StepUnit || f.StepAmount != base.StepAmount) {
      const char* unit = f.StepUnit == 2   ? "day"
                         : f.StepUnit == 3 ? "year"
                         : f.StepUnit == 4 ? "second"
                                           : "minute";
      if (f.StepUnit >= 1 && f.StepUnit <= 4)
        o << "step = \"" << f.StepAmount << " " << unit << (std::abs(f.StepAmount) == 1 ? "" : "s")
          << "\"\n";
    }
    if (f.TrackId != base.TrackId || f.Tracking != base.Tracking) {
      if (f.TrackId == 0 && !f.Tracking) o << "track = false\n";
      else {
        if (f.TrackId != base.TrackId || f.Tracking) o << "track = " << ObjectText(catalog, f.TrackId) << "\n";
        if (!f.Tracking) o << "tracking = false\n";
      }
    }
    if (f.SelConst != base.SelConst) o << "select = " << ObjectText(catalog, f.SelConst) << "\n";
    if (f.PopupSwitches != base.PopupSwitches) {
      o << "popup = [";
      const char* sep = "";
      for (int i = 0; i < 6; ++i)
        if (f.PopupSwitches[static_cast<size_t>(i)]) o << sep << Quote(PopupNames[i]), sep = ", ";
      o << "]\n";
    }
    // Mark tables: written whole when they differ from the page before.
    if (f.HighlightCount != base.HighlightCount || !SameBytes(fb, bb, 20, 500)) {
      o << "highlight = [";
      for (int i = 0; i < f.HighlightCount; ++i) {
        const THighlight& h = f.Highlights[static_cast<size_t>(i)];
        o << (i ? ", " : "");
        if (h.ShowName == 1 && h.ShowLines == 1 && h.ShowStarNames == 1 && h.ShowGreek == 1) {
          o << ObjectText(catalog, h.Object);
        } else {
          o << "{ name = " << ObjectText(catalog, h.Object);
          if (h.ShowName > 0) o << ", label = true";
          if (h.ShowLines > 0) o << ", lines = true";
          if (h.ShowStarNames > 0) o << ", star_names = true";
          if (h.ShowGreek > 0) o << ", greek = true";
          o << " }";
        }
      }
      o << "]\n";
    }
    if (f.StarMarkCount != base.StarMarkCount || !SameBytes(fb, bb, 500, 27100)) {
      o << "stars = [\n";
      for (int i = 0; i < f.StarMarkCount; ++i) {
        const TStarMark& m = f.StarMarks[static_cast<size_t>(i)];
        if (m.Circle == 1 && !m.Note && !m.Name && m.Text.empty()) {
          o << "  " << StarText(catalog, m.Star) << ",\n";
          continue;
        }
        o << "  { star = " << StarText(catalog, m.Star);
        if (!m.Circle) o << ", ring = false";
        if (!m.Text.empty()) o << ", text = " << QuoteGbk(m.Text);
        if ((m.Note != 0) != !m.Text.empty()) o << ", show_text = " << (m.Note ? "true" : "false");
        if (m.Name) o << ", designation = true";
        o << " },\n";
      }
      o << "]\n";
    }
    if (f.LineMarkCount != base.LineMarkCount || !SameBytes(fb, bb, 27100, 27700)) {
      o << "lines = [\n";
      for (int i = 0; i < f.LineMarkCount; ++i) {
        const TLineMark& l = f.LineMarks[static_cast<size_t>(i)];
        char color[16];
        std::snprintf(color, sizeof color, "#%02X%02X%02X", l.Color & 0xFF, (l.Color >> 8) & 0xFF,
                      (l.Color >> 16) & 0xFF);
        o << "  { from = " << StarText(catalog, l.StarB) << ", to = " << StarText(catalog, l.StarA)
          << ", color = \"" << color << "\" },\n";
      }
      o << "]\n";
    }
    if (f.AreaMarkCount != base.AreaMarkCount || !SameBytes(fb, bb, 27700, 34500)) {
      o << "areas = [\n";
      for (int i = 0; i < f.AreaMarkCount; ++i) {
        const TAreaMark& a = f.AreaMarks[static_cast<size_t>(i)];
        o << "  { name = " << QuoteGbk(a.Name) << ", stars = [";
        for (int j = 0; j < a.Count; ++j) o << (j ? ", " : "") << StarText(catalog, a.Stars[j]);
        o << "] },\n";
      }
      o << "]\n";
    }
    base = f;
  }
  return o.str();
}

std::vector<uint8_t> ShowImageBytes(const TShowImage& show) {
  return EncodeShowFile(show.Tag, show.Title, show.Lines, show.Frames);
}

bool ShowImageFromBytes(std::span<const uint8_t> bytes, const std::string& name, TShowImage& out,
                        std::string& error) {
  auto lecture = std::make_unique<TLecture>();
  const TShowLoadResult r = lecture->LoadShowBytes(bytes, name, false);
  if (!r.Loaded()) {
    error = r.Message;
    return false;
  }
  if (r.Status == TShowStatus::Repaired) error = r.Message;
  out = TShowImage{};
  out.Tag = static_cast<char>(bytes[0]);
  out.Title = lecture->Title;
  for (int i = 1; i <= lecture->LineCount; ++i) out.Lines.push_back(lecture->Lines[i]);
  out.Frames.assign(lecture->Frames.begin() + 1, lecture->Frames.end());
  return true;
}

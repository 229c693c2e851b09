// skyloom-ephem: prints the day count, the sky rotation angle, Delta-T and
// the solar-system body table for one civil date, clock time and place, and
// the rising, transit and setting of the Sun, the Moon and the planets on
// that local day: a small almanac, and the sky's oracle for tests.
//
//   skyloom-ephem --date YYYY-MM-DD --time HH:MM[:SS] [--zone H] [--lat DEG]
//                 [--lon DEG] [--refraction on|off] [--human]
//
// Dates are checked as the program checks them (no year 0, no 1582-10-05..14,
// no 29 February in a common year). Negative years are BC (-1 = 1 BC). Zone
// in whole hours east of Greenwich, latitude north and longitude east
// positive, in degrees. The table holds the apparent right ascension and
// declination (true equator of date, radians; geocentric), the distance
// (AU, the Moon in Earth radii), magnitude x10 and phase, then the
// geometric place (mean equator of date, no light time or aberration; AU),
// each float with 17 significant digits; events are local clock times
// HH:MM:SS ("-" when there is none). --human prints the same in hours and
// degrees.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Almanac.h"
#include "CivilDate.h"
#include "SolarSystem.h"
#include "TimeScales.h"

namespace {

constexpr double Pi = 3.141592653589793;

void Usage() {
  std::fprintf(stderr,
               "usage: skyloom-ephem --date YYYY-MM-DD --time HH:MM[:SS] [--zone H] [--lat DEG] "
               "[--lon DEG] [--refraction on|off] [--human]\n"
               "  negative years are BC; zone, latitude and longitude east/north positive\n");
}

bool ParseInt(const char*& p, long& value, bool allowSign) {
  char* end = nullptr;
  if (!allowSign && (*p == '-' || *p == '+')) return false;
  if (!std::isdigit(static_cast<unsigned char>(*p)) && !(allowSign && (*p == '-' || *p == '+')))
    return false;
  errno = 0;
  value = std::strtol(p, &end, 10);
  if (end == p || errno == ERANGE) return false;
  p = end;
  return true;
}

// YYYY-MM-DD with an optional leading minus for BC years, a date the
// calendar has.
bool ParseDate(const char* s, int& y, int& m, int& d) {
  long year, month, day;
  const char* p = s;
  if (!ParseInt(p, year, true) || *p++ != '-') return false;
  if (!ParseInt(p, month, false) || *p++ != '-') return false;
  if (!ParseInt(p, day, false) || *p != '\0') return false;
  const char* why = "";
  if (year < FirstYear || year > LastYear ||
      !ValidCivilDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day), why)) {
    std::fprintf(stderr, "skyloom-ephem: %s: %s\n", s, *why ? why : "years -99999..99999");
    return false;
  }
  y = static_cast<int>(year);
  m = static_cast<int>(month);
  d = static_cast<int>(day);
  return true;
}

bool ParseTime(const char* s, int& h, int& min, int& sec) {
  long hour, minute, second = 0;
  const char* p = s;
  if (!ParseInt(p, hour, false) || *p++ != ':') return false;
  if (!ParseInt(p, minute, false)) return false;
  if (*p == ':') {
    ++p;
    if (!ParseInt(p, second, false)) return false;
  }
  if (*p != '\0') return false;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
  h = static_cast<int>(hour);
  min = static_cast<int>(minute);
  sec = static_cast<int>(second);
  return true;
}

// Local clock time HH:MM:SS of a UT day count, or "-".
std::string ClockOf(double dayCount, double dayStart) {
  if (std::isnan(dayCount)) return "-";
  long s = std::lround((dayCount - dayStart) * 86400.0);
  if (s >= 86400) s = 86399;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

bool ParseNumber(const char* s, double lo, double hi, double& out) {
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(s, &end);
  if (end == s || *end != '\0' || errno == ERANGE || !std::isfinite(v) || v < lo || v > hi)
    return false;
  out = v;
  return true;
}

std::string Hours(double rad) {
  double h = rad * 12.0 / Pi;
  long total = std::lround(h * 36000.0);  // tenths of a second of time
  total %= 24L * 36000L;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02ldh%02ldm%04.1fs", total / 36000, total / 600 % 60,
                static_cast<double>(total % 600) / 10.0);
  return buf;
}

std::string Degrees(double rad) {
  double deg = rad * 180.0 / Pi;
  long total = std::lround(std::fabs(deg) * 3600.0);  // whole arc seconds
  char buf[64];
  std::snprintf(buf, sizeof buf, "%c%02ld°%02ld'%02ld\"", deg < 0 ? '-' : '+', total / 3600,
                total / 60 % 60, total % 60);
  return buf;
}

// Pads UTF-8 text with blanks to a display width (Chinese characters take
// two columns, everything else one).
std::string Pad(const std::string& text, int width) {
  int columns = 0;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    columns += (len == 3 && c >= 0xE3) ? 2 : 1;
    i += len;
  }
  return text + std::string(static_cast<size_t>(std::max(1, width - columns)), ' ');
}

}  // namespace

int main(int argc, char** argv) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool haveDate = false, haveTime = false, human = false, refraction = true;
  double zone = 0, latDeg = 40, lonDeg = -120;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = true;
    if (arg == "--human") {
      human = true;
      continue;
    } else if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    } else if (!value) {
      ok = false;
    } else if (arg == "--date") {
      ok = haveDate = ParseDate(value, year, month, day);
    } else if (arg == "--time") {
      ok = haveTime = ParseTime(value, hour, minute, second);
    } else if (arg == "--refraction") {
      ok = std::strcmp(value, "on") == 0 || std::strcmp(value, "off") == 0;
      refraction = std::strcmp(value, "on") == 0;
    } else if (arg == "--zone") {
      ok = ParseNumber(value, -14, 14, zone) && zone == std::floor(zone);
    } else if (arg == "--lat") {
      ok = ParseNumber(value, -90, 90, latDeg);
    } else if (arg == "--lon") {
      ok = ParseNumber(value, -180, 180, lonDeg);
    } else {
      std::fprintf(stderr, "skyloom-ephem: unknown option %s\n", arg.c_str());
      Usage();
      return 2;
    }
    if (!ok) {
      std::fprintf(stderr, "skyloom-ephem: bad or missing value for %s\n", arg.c_str());
      Usage();
      return 2;
    }
    ++i;
  }
  if (!haveDate || !haveTime) {
    std::fprintf(stderr, "skyloom-ephem: --date and --time are required\n");
    Usage();
    return 2;
  }

  // As the sky update does: the day count and the rotation angle are stored
  // as doubles, and the body table is computed from the stored day count.
  const double longitude = lonDeg * Pi / 180.0, latitude = latDeg * Pi / 180.0;
  const int zoneHours = static_cast<int>(zone);
  const double dayNumber =
      static_cast<double>(DayCountOf(year, month, day, hour, minute, zoneHours, second));
  const double dayStart = static_cast<double>(DayCountOf(year, month, day, 0, 0, zoneHours));
  TRiseTransitSet events[BodyCount + 1];
  for (int i = BodySun; i <= BodyPluto; ++i)
    events[i] = RiseTransitSet(i, dayStart, latitude, longitude, refraction);
  TGeometricPlace geometric[BodyCount + 1];
  TBodyTable table;
  SolarSystemUpdate(table, dayNumber);
  GeometricPlaces(table.Frame.JdTT, geometric);
  const TDateFrame& frame = table.Frame;
  const double siderealTime =
      static_cast<double>(RotationAngleOfSidereal(frame.ApparentSidereal, longitude));

  if (!human) {
    std::printf("DayNumber\t%.17g\nSiderealTime\t%.17g\nDeltaT\t%.17g\nJulianDayTT\t%.17g\n",
                dayNumber, siderealTime, frame.DeltaT, frame.JdTT);
    std::printf("body\tra\tdec\tdist\tmag10\tphase\tgeo_ra\tgeo_dec\tgeo_dist\n");
    for (int i = 1; i <= BodyCount; ++i) {
      const TBodyState& b = table.Body(i);
      std::printf("%d\t%.17g\t%.17g\t%.17g\t%d\t%.17g\t%.17g\t%.17g\t%.17g\n", i,
                  static_cast<double>(b.Lon), static_cast<double>(b.Lat),
                  static_cast<double>(b.Dist), b.Mag10, static_cast<double>(b.Phase),
                  geometric[i].Ra, geometric[i].Dec, geometric[i].Dist);
    }
    std::printf("body\trise\ttransit\tset\n");
    for (int i = BodySun; i <= BodyPluto; ++i)
      std::printf("%d\t%s\t%s\t%s\n", i, ClockOf(events[i].Rise, dayStart).c_str(),
                  ClockOf(events[i].Transit, dayStart).c_str(),
                  ClockOf(events[i].Set, dayStart).c_str());
    return 0;
  }

  std::printf("日期 %d-%02d-%02d %02d:%02d:%02d  时区 %+g  纬度 %.4f°  经度 %.4f°  大气折射 %s\n",
              year, month, day, hour, minute, second, zone, latDeg, lonDeg,
              refraction ? "开" : "关");
  std::printf("DayNumber    %.6f\n", dayNumber);
  std::printf("SiderealTime %.9f rad\n", siderealTime);
  std::printf("ΔT           %.1f s (TT = UT + ΔT; JD TT %.6f)\n", frame.DeltaT, frame.JdTT);
  std::printf("视位置 (真赤道、真春分点；地心)\n");
  std::printf("%s%s%s%s%s%s\n", Pad("天体", 8).c_str(), Pad("赤经", 15).c_str(),
              Pad("赤纬", 13).c_str(), Pad("距离", 14).c_str(), Pad("星等", 7).c_str(), "相位");
  for (int i = 1; i <= BodyCount; ++i) {
    const TBodyState& b = table.Body(i);
    const std::string name = i == BodyAntiSun ? std::string("-") : BodyNameUtf8(i);
    char mag[16] = "-";
    if (b.Mag10 != 100 && i != BodyAntiSun) std::snprintf(mag, sizeof mag, "%+.1f", b.Mag10 / 10.0);
    char dist[32] = "-";
    if (i == BodyMoon)
      std::snprintf(dist, sizeof dist, "%.2f R", static_cast<double>(b.Dist));
    else if (i != BodyAntiSun)
      std::snprintf(dist, sizeof dist, "%.6f AU", static_cast<double>(b.Dist));
    char phase[32] = "-";
    if (i == BodyMoon)
      std::snprintf(phase, sizeof phase, "%.1f°", static_cast<double>(b.Phase) * 180.0 / Pi);
    else if (i >= BodyMercury && i <= BodySaturn)
      std::snprintf(phase, sizeof phase, "%.3f", static_cast<double>(b.Phase));
    std::printf("%s%s%s%s%s%s\n", Pad(name, 8).c_str(),
                Pad(Hours(static_cast<double>(b.Lon)), 15).c_str(),
                Pad(Degrees(static_cast<double>(b.Lat)), 13).c_str(), Pad(dist, 14).c_str(),
                Pad(mag, 7).c_str(), phase);
  }
  std::printf("几何位置 (平赤道、平春分点；无光行时与光行差)\n");
  for (int i = 1; i <= BodyPluto; ++i)
    std::printf("%s%s%s%.6f AU\n", Pad(BodyNameUtf8(i), 8).c_str(),
                Pad(Hours(geometric[i].Ra), 15).c_str(), Pad(Degrees(geometric[i].Dec), 13).c_str(),
                geometric[i].Dist);
  std::printf("%s%s%s%s\n", Pad("天体", 8).c_str(), Pad("升起", 10).c_str(),
              Pad("中天", 10).c_str(), "落下");
  for (int i = BodySun; i <= BodyPluto; ++i)
    std::printf("%s%s%s%s\n", Pad(BodyNameUtf8(i), 8).c_str(),
                Pad(ClockOf(events[i].Rise, dayStart), 10).c_str(),
                Pad(ClockOf(events[i].Transit, dayStart), 10).c_str(),
                ClockOf(events[i].Set, dayStart).c_str());
  return 0;
}

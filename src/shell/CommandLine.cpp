#include "CommandLine.h"

#include "CivilDate.h"
#include "Interface.h"
#include "Lecture.h"

#include "SkyModel.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "Settings.h"
#include "VideoFormat.h"

namespace {

bool ParseInt(const std::string& s, long lo, long hi, int& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s.c_str(), &end, 10);
  if (errno || *end || v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}

bool ParseDouble(const std::string& s, double lo, double hi, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(s.c_str(), &end);
  if (errno || *end || !std::isfinite(v) || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseHex(const std::string& s, uint64_t& out) {
  std::string t = s;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) t = t.substr(2);
  if (!t.empty() && t[0] == '$') t = t.substr(1);
  // Hexadecimal digits only: strtoull alone would take a sign or spaces
  // ("-1" would become every bit).
  if (t.empty() || t.size() > 16) return false;
  if (t.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(t.c_str(), &end, 16);
  if (errno || *end) return false;
  out = v;
  return true;
}

// YYYY-MM-DD, the year may be negative (BC as the model counts years). False
// with the allowed range in `why`.
bool ParseDate(const std::string& s, int& y, int& m, int& d, std::string& why) {
  why = "YYYY-MM-DD, years -99999..99999";
  size_t p2 = s.rfind('-');
  if (p2 == std::string::npos || p2 == 0) return false;
  size_t p1 = s.rfind('-', p2 - 1);
  if (p1 == std::string::npos || p1 == 0) return false;
  if (!ParseInt(s.substr(0, p1), -99999, 99999, y)) return false;
  if (y == 0) {
    why = "there is no year 0; 1 BC is year -1";
    return false;
  }
  // Month and day are read wide and judged by the calendar's own rule.
  if (!ParseInt(s.substr(p1 + 1, p2 - p1 - 1), -99, 99, m) ||
      !ParseInt(s.substr(p2 + 1), -99, 99, d))
    return false;
  const char* rule = "";
  if (!ValidCivilDate(y, m, d, rule)) {
    why = rule;
    if (m >= 1 && m <= 12 && (d < 1 || d > DaysInMonth(y, m)))
      why = "days 1.." + std::to_string(DaysInMonth(y, m)) + " in that month";
    return false;
  }
  return true;
}

// HH:MM or HH:MM:SS.
bool ParseTime(const std::string& s, int& h, int& m, int& sec) {
  const size_t c = s.find(':');
  if (c == std::string::npos) return false;
  const size_t c2 = s.find(':', c + 1);
  sec = 0;
  if (c2 != std::string::npos && !ParseInt(s.substr(c2 + 1), 0, 59, sec)) return false;
  return ParseInt(s.substr(0, c), 0, 23, h) && ParseInt(s.substr(c + 1, c2 - c - 1), 0, 59, m);
}

}  // namespace

const char* OptionsHelp() {
  return "usage: skyloom [options]\n"
         "  --render FILE.png   draw one frame for the settings below, save it and exit\n"
         "  --script FILE       run a script (key, keydown, keyup, move, click, wait, shot, quit)\n"
         "  --date YYYY-MM-DD   observation date (negative years are BC as the model counts)\n"
         "  --time HH:MM[:SS]   local clock time\n"
         "  --zone H            time zone, hours east of Greenwich (-12..14)\n"
         "  --lat DEG           latitude, north positive\n"
         "  --lon DEG           longitude, east positive\n"
         "  --az DEG            view azimuth: 0 south, 90 east, 180 north, 270 west\n"
         "  --alt DEG           view altitude\n"
         "  --fov DEG           field of view across the sky area (5..180)\n"
         "  --mode1 HEX         name switches (1 constellations, 2 Greek letters, 4 bright stars,\n"
         "                      8 planets, 10 Messier, 20 asterisms)\n"
         "  --mode2 HEX         line switches (100 grid, 200 ecliptic, 400 galactic equator,\n"
         "                      800 constellation figures, 1000 asterism figures)\n"
         "  --names --lines --ground   turn the name, line and ground groups on\n"
         "  --no-ground         turn the ground off\n"
         "  --limit N           faintest star drawn, magnitude x 10 (e.g. 60)\n"
         "  --english           English names and texts\n"
         "  --select N          select constellation N (1..88) or asterism 200+N\n"
         "  --panel-down        the panel lowered: only its bottom strip shows\n"
         "  --size WxH          the stage's size in pixels, 800x600 (the default for a\n"
         "                      window, --render, --script and --record) to 3840x2160;\n"
         "                      full screen takes the display's own size\n"
         "  --scale S           the interface's scale, 1..3: the panel, its texts and the\n"
         "                      dialogs drawn S times as large; 0 (the default) follows\n"
         "                      the stage's size (1280x800 1.25, 1920x1080 1.75,\n"
         "                      3840x2160 3)\n"
         "  --fullscreen, --window   full screen or a window\n"
         "  --music, --no-music background music on or off for this run\n"
         "  --label-placement on|off   labels placed so that none covers another (on) or\n"
         "                      each written at its object (off)\n"
         "  --realistic-sky on|off     sky colour, twilight and eclipses follow the Sun\n"
         "  --refraction on|off        the atmosphere lifts the sky near the horizon; Sun\n"
         "                      and Moon rise by their upper limb\n"
         "  --milky-way on|off         the Milky Way's light under the stars\n"
         "  --goto NAME         start with the view travelling to an object: a constellation\n"
         "                      (猎户座, Orion, Ori), a body (火星, Mars), an asterism (参宿)\n"
         "                      or a Messier object (M31); with --render the picture shows\n"
         "                      where the trip ends\n"
         "  --show NAME         start with a show playing (冬季星空): one of your own in\n"
         "                      $XDG_DATA_HOME/skyloom/shows (~/.local/share/skyloom/shows),\n"
         "                      else one that came with the program\n"
         "  --record FILE       record the show (--show) or the script (--script) from\n"
         "                      its first frame to its end as a video at 30 frames a\n"
         "                      second with its music, faster than it plays: FILE.mp4\n"
         "                      (H.264, AAC), FILE.webm (VP9, Opus) or FILE.mkv\n"
         "  --quality Q         the video's quality: low, normal (the default) or high\n"
         "  --help              this text\n"
         "The program reads its data from $SKYLOOM_DATA when set, else from its own folder\n"
         "(a build) or from ../share/skyloom beside it (an installation).\n";
}

bool ParseOptions(const std::vector<std::string>& args, TOptions& o, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      v = args[++i];
      return true;
    };
    auto bad = [&](const std::string& v, const std::string& allowed) {
      error = "bad value for " + a + ": \"" + v + "\" (" + allowed + ")";
      return false;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.Help = true;
    } else if (a == "--render") {
      if (!value(o.RenderFile)) return false;
    } else if (a == "--script") {
      if (!value(o.ScriptFile)) return false;
    } else if (a == "--date") {
      int y, m, d;
      if (!value(v)) return false;
      std::string why;
      if (!ParseDate(v, y, m, d, why)) return bad(v, why);
      o.Year = y, o.Month = m, o.Day = d;
    } else if (a == "--time") {
      int h, m, sec;
      if (!value(v)) return false;
      if (!ParseTime(v, h, m, sec))
        return bad(v, "HH:MM or HH:MM:SS, hours 0..23, minutes and seconds 0..59");
      o.Hour = h, o.Minute = m, o.Second = sec;
    } else if (a == "--zone") {
      int z;
      if (!value(v)) return false;
      if (!ParseInt(v, MinTimeZone, MaxTimeZone, z))
        return bad(v, "whole hours " + std::to_string(MinTimeZone) + ".." +
                          std::to_string(MaxTimeZone));
      o.Zone = z;
    } else if (a == "--lat" || a == "--lon" || a == "--az" || a == "--alt") {
      double d;
      if (!value(v)) return false;
      const double lim = (a == "--lat" || a == "--alt") ? 90 : 360;
      const double lo = (a == "--az") ? 0 : -lim;
      if (!ParseDouble(v, lo, lim, d))
        return bad(v, "degrees " + std::to_string(static_cast<int>(lo)) + ".." +
                          std::to_string(static_cast<int>(lim)));
      (a == "--lat" ? o.LatDeg : a == "--lon" ? o.LonDeg : a == "--az" ? o.AzDeg : o.AltDeg) = d;
    } else if (a == "--fov") {
      double d;
      if (!value(v)) return false;
      if (!ParseDouble(v, MinFieldOfView, MaxFieldOfView, d)) return bad(v, "degrees 5..180");
      o.FovDeg = d;
    } else if (a == "--mode1" || a == "--mode2") {
      uint64_t m;
      if (!value(v)) return false;
      if (!ParseHex(v, m)) return bad(v, "up to 16 hexadecimal digits");
      (a == "--mode1" ? o.Mode1 : o.Mode2) = m;
    } else if (a == "--names") {
      o.Names = true;
    } else if (a == "--lines") {
      o.Lines = true;
    } else if (a == "--ground") {
      o.Ground = true;
    } else if (a == "--no-ground") {
      o.NoGround = true;
    } else if (a == "--limit") {
      int n;
      if (!value(v)) return false;
      if (!ParseInt(v, -100, 1000, n)) return bad(v, "-100..1000");
      o.Limit = n;
    } else if (a == "--english") {
      o.English = true;
    } else if (a == "--select") {
      int n;
      if (!value(v)) return false;
      // 0 selects nothing; the constellations are 1..88, the asterisms 201..600.
      if (!ParseInt(v, 0, 600, n) || (n > 88 && n <= 200))
        return bad(v, "constellations 1..88, asterisms 201..600");
      o.Select = n;
    } else if (a == "--size") {
      if (!value(v)) return false;
      const size_t cross = v.find('x');
      int w = 0, h = 0;
      if (cross == std::string::npos ||
          !ParseInt(v.substr(0, cross), MinStageWidth, MaxStageWidth, w) ||
          !ParseInt(v.substr(cross + 1), MinStageHeight, MaxStageHeight, h) || w % 2 || h % 2)
        return bad(v, "WIDTHxHEIGHT, even numbers from 800x600 to 3840x2160");
      o.StageWidth = w;
      o.StageHeight = h;
    } else if (a == "--scale") {
      double d;
      if (!value(v)) return false;
      if (!ParseDouble(v, 0, MaxInterfaceScale, d) || (d > 0 && d < MinInterfaceScale))
        return bad(v, "0 (follow the stage's size) or 1..3");
      o.Scale = d;
    } else if (a == "--panel-down") {
      o.PanelDown = true;
    } else if (a == "--fullscreen") {
      o.FullScreen = true;
    } else if (a == "--window") {
      o.FullScreen = false;
    } else if (a == "--music") {
      o.Music = true;
    } else if (a == "--no-music") {
      o.Music = false;
    } else if (a == "--label-placement" || a == "--realistic-sky" || a == "--refraction" ||
               a == "--milky-way") {
      if (!value(v)) return false;
      if (v != "on" && v != "off") {
        error = "bad value for " + a + ": \"" + v + "\" (on or off)";
        return false;
      }
      (a == "--label-placement" ? o.LabelPlacement
       : a == "--realistic-sky" ? o.RealisticSky
       : a == "--refraction"    ? o.Refraction
                                : o.MilkyWay) = v == "on";
    } else if (a == "--goto") {
      if (!value(o.GoTo)) return false;
      if (o.GoTo.empty()) return bad(o.GoTo, "the name of a star, constellation, planet or Messier object");
    } else if (a == "--show") {
      if (!value(o.Show)) return false;
      if (!IsShowName(o.Show)) return bad(o.Show, "the name of a show in the folder 天文节目");
    } else if (a == "--record") {
      if (!value(o.RecordFile)) return false;
      if (o.RecordFile.empty()) return bad(o.RecordFile, "a file name ending in .mp4, .webm or .mkv");
    } else if (a == "--quality") {
      TVideoQuality q;
      if (!value(o.Quality)) return false;
      if (!ParseVideoQuality(o.Quality, q)) return bad(o.Quality, "low, normal or high");
    } else {
      error = "unknown option \"" + a + "\" (see --help)";
      return false;
    }
  }
  if (!o.RecordFile.empty() && !o.RenderFile.empty()) {
    error = "--record and --render cannot be used together";
    return false;
  }
  if (!o.RecordFile.empty() && o.Show.empty() && o.ScriptFile.empty()) {
    error = "--record needs a show (--show NAME) or a script (--script FILE) to record";
    return false;
  }
  return true;
}

void ApplyDrawOptions(const TOptions& o, TSkyloom& sky) {
  if (o.LabelPlacement) sky.LabelPlacement = *o.LabelPlacement ? 1 : 0;
  if (o.RealisticSky) sky.RealisticSky = *o.RealisticSky ? 1 : 0;
  if (o.Refraction) sky.Refraction = *o.Refraction ? 1 : 0;
  if (o.MilkyWay) {
    sky.MilkyWay = *o.MilkyWay ? 1 : 0;
    if (sky.MilkyWay) sky.ShowFlags |= SkyBits::MilkyWay;
    else sky.ShowFlags &= ~SkyBits::MilkyWay;
  }
}

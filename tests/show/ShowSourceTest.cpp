// The show source format: names looked up in the program's catalogue,
// errors with their line, and the round trip source -> show -> source ->
// show for every shipped show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "FileIo.h"
#include "Gbk.h"
#include "ShowSource.h"
#include "SkyModel.h"

namespace {

const TShowCatalog& Catalog() {
  static TShowCatalog* catalog = [] {
    auto* c = new TShowCatalog;
    std::string error;
    if (!c->Open(SKYLOOM_RUNTIME_DIR, error)) ADD_FAILURE() << error;
    return c;
  }();
  return *catalog;
}

std::string ReadText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

const char* Minimal = R"(title = "t"
[[page]]
date = "2026-01-15"
time = "21:00"
city = "北京"
)";

}  // namespace

TEST(ShowSource, NamesAsATeacherWritesThem) {
  const TShowCatalog& c = Catalog();
  const int orion = c.FindObject("猎户座");
  ASSERT_GE(orion, 1);
  ASSERT_LE(orion, 88);
  const int m42 = c.FindObject("M42");
  ASSERT_GT(m42, 1000);
  struct {
    const char* Name;
    int Id;
  } objects[] = {{"Orion", orion}, {"Ori", orion}, {"orion", orion}, {"火星", 105}, {"Mars", 105},
                 {"月亮", 102},    {"m042", m42},  {"M 42", 0},       {"没有", 0},  {"", 0}};
  for (const auto& o : objects) EXPECT_EQ(c.FindObject(o.Name), o.Id) << o.Name;
  EXPECT_GT(c.FindObject("参宿"), 200);
  EXPECT_LT(c.FindObject("参宿"), 601);
  EXPECT_EQ(c.FindObject("M31"), c.FindObject("m031"));
  EXPECT_EQ(c.ObjectName(c.FindObject("M42")), "M42");
  const int betelgeuse = c.FindStar("参宿四");
  ASSERT_GT(betelgeuse, 0);
  EXPECT_EQ(c.FindStar("Betelgeuse"), betelgeuse);
  EXPECT_EQ(c.FindStar("α Ori"), betelgeuse);
  EXPECT_EQ(c.FindStar("alpha Orion"), betelgeuse);
  char number[16];
  std::snprintf(number, sizeof number, "#%d", betelgeuse);
  EXPECT_EQ(c.FindStar(number), betelgeuse);
  EXPECT_EQ(c.FindStar("ω Nowhere"), 0);
  EXPECT_EQ(c.StarName(betelgeuse), "参宿四");
  const int beijing = c.FindCity("北京");
  ASSERT_GT(beijing, 0);
  EXPECT_EQ(c.FindCity("中国/北京"), beijing);
  EXPECT_EQ(c.CityName(beijing), "北京");
  EXPECT_EQ(c.FindCity("火星城"), 0);
}

TEST(ShowSource, ErrorsNameTheLineAndWhatIsWrong) {
  struct {
    const char* Extra;      // appended to the minimal page
    int Line;               // of the error
    const char* Message;    // part of it
  } cases[] = {
      {"toward = \"火星城\"\n", 7, "unknown object or star \"火星城\""},
      {"stars = [\"参宿四\", \"参宿九十九\"]\n", 7, "unknown star \"参宿九十九\""},
      {"highlight = [\"火星\"]\n", 7, "only constellations and asterisms"},
      {"show = [\"grid\", \"clouds\"]\n", 7, "unknown display switch \"clouds\""},
      {"colour = 3\n", 7, "unknown key \"colour\""},
      {"date = \"2026-02-30\"\n", 7, "no such date"},
      {"time = \"24:00\"\n", 7, "no such time"},
      {"zone = 15\n", 7, "outside -12..14"},
      {"latitude = 91\n", 7, "between -90 and 90"},
      {"step = \"3 weeks\"\n", 7, "second, minute, day or year"},
      {"second = 60\n", 7, "second"},
      {"lines = [{ from = \"参宿四\", to = \"天狼星\", color = \"red\" }]\n", 7, "#RRGGBB"},
      {"wait = -1\n", 7, "0 to 3600"},
      {"fov = 4\n", 7, "between 5 and 180"},
      {"fov = \"wide\"\n", 7, "fov must be a number"},
      {"text = \"" "\n", 7, ""},  // a TOML syntax error
      {"toward = \"南门二\"\n", 7, "below the horizon"},  // not seen from Beijing
  };
  for (const auto& c : cases) {
    TShowImage show;
    TSourceError e;
    // On a second page, so that keys of the first page may be given again.
    const std::string text = std::string(Minimal) + "[[page]]\n" + c.Extra;
    EXPECT_FALSE(CompileShowSource(text, Catalog(), show, e)) << c.Extra;
    EXPECT_EQ(e.Line, c.Line) << c.Extra << e.Message;
    EXPECT_NE(e.Message.find(c.Message), std::string::npos) << e.Message;
    EXPECT_EQ(e.Text("a.toml").rfind("a.toml:" + std::to_string(c.Line) + ":", 0), 0u);
  }
  // The city of a different page: "city" with an unknown name.
  TShowImage show;
  TSourceError e;
  EXPECT_FALSE(CompileShowSource("title = \"t\"\n[[page]]\ncity = \"Atlantis\"\n", Catalog(), show, e));
  EXPECT_EQ(e.Line, 3);
  EXPECT_NE(e.Message.find("unknown city"), std::string::npos);
}

TEST(ShowSource, APageMaySetTheFieldOfView) {
  TShowImage show;
  TSourceError e;
  const std::string text = std::string(Minimal) + "[[page]]\nfov = 10\n[[page]]\nfov = 180\n";
  ASSERT_TRUE(CompileShowSource(text, Catalog(), show, e)) << e.Message;
  ASSERT_EQ(show.Frames.size(), 3u);
  EXPECT_EQ(show.Frames[0].FieldOfView, 0);  // not given: the viewer's field is kept
  EXPECT_EQ(show.Frames[1].FieldOfView, 10);
  EXPECT_EQ(show.Frames[2].FieldOfView, 180);
}

TEST(ShowSource, PagesInheritAndACityBringsItsZone) {
  TShowImage show;
  TSourceError e;
  const std::string text = std::string(Minimal) +
                           "stars = [\"参宿四\"]\nwait = 2.5\n[[page]]\ncaption = \"二\"\n"
                           "[[page]]\ncity = \"美国/达拉斯\"\nzone = -5\ntime = \"13:41\"\n"
                           "stars = []\nglide = [\"time\"]\n";
  ASSERT_TRUE(CompileShowSource(text, Catalog(), show, e)) << e.Message;
  ASSERT_EQ(show.Frames.size(), 3u);
  EXPECT_EQ(DecodeZone(show.Frames[0].Zone), 8);
  EXPECT_EQ(show.Frames[0].Wait, 75);
  EXPECT_EQ(show.Frames[1].StarMarkCount, 1);  // inherited
  EXPECT_EQ(show.Frames[1].Hour, 21);
  EXPECT_EQ(show.Frames[1].Moves, 0);
  EXPECT_EQ(GbkToUtf8(show.Frames[1].Caption.view()), "二");
  EXPECT_EQ(show.Frames[2].StarMarkCount, 0);
  EXPECT_EQ(DecodeZone(show.Frames[2].Zone), -5);
  EXPECT_EQ(show.Frames[2].Hour, 13);
  EXPECT_EQ(show.Frames[2].Moves, MoveBits::Time);
  EXPECT_NEAR(show.Frames[2].Latitude * 180 / 3.141592653589793, 32.78, 0.01);
}

TEST(ShowSource, AFollowedObjectsPageLooksTowardItAtItsOwnTime) {
  // Mars followed from 1 December 2024 to 16 January 2025 at 23:00 in
  // Beijing: each later page without a view of its own looks where Mars is
  // then, as a page reached by a jump would; a page's own view wins, and a
  // page that stops following keeps the view it had.
  const std::string text = R"(title = "t"
[[page]]
city = "北京"
date = "2024-12-01"
time = "23:00"
toward = "火星"
track = "火星"
[[page]]
date = "2025-01-16"
[[page]]
azimuth = 100
altitude = 20
[[page]]
track = false
date = "2025-02-24"
)";
  TShowImage show, again;
  TSourceError e;
  ASSERT_TRUE(CompileShowSource(text, Catalog(), show, e)) << e.Text("x");
  ASSERT_EQ(show.Frames.size(), 4u);
  auto toward = [&](const TShowFrame& f, double& az, double& alt) {
    TShowFrame when = f;
    Catalog().DirectionAt(105, 0, when, 8, az, alt);
  };
  const double Deg = 3.141592653589793 / 180;
  double az = 0, alt = 0;
  toward(show.Frames[1], az, alt);
  EXPECT_NEAR(show.Frames[1].ViewAz, az, 1e-9);
  EXPECT_NEAR(show.Frames[1].ViewAlt, alt, 1e-9);
  // Six weeks later at the same clock time Mars stands far from where it was.
  EXPECT_GT(std::fabs(show.Frames[1].ViewAz - show.Frames[0].ViewAz), 10 * Deg);
  EXPECT_NEAR(show.Frames[2].ViewAz, 100 * Deg, 1e-12);
  EXPECT_NEAR(show.Frames[2].ViewAlt, 20 * Deg, 1e-12);
  EXPECT_EQ(show.Frames[3].ViewAz, show.Frames[2].ViewAz);
  // The decompiled text keeps each view as it is.
  const std::string source = DecompileShow(show, Catalog());
  ASSERT_TRUE(CompileShowSource(source, Catalog(), again, e)) << e.Text("x") << "\n" << source;
  EXPECT_EQ(ShowImageBytes(again), ShowImageBytes(show)) << source;
  // A followed object below the horizon with the ground shown is refused
  // with the page's line, as a "toward" below the horizon is.
  const std::string below = std::string(Minimal) + "show = [\"ground\"]\ntrack = \"太阳\"\n";
  EXPECT_FALSE(CompileShowSource(below, Catalog(), again, e));
  EXPECT_NE(e.Message.find("below the horizon"), std::string::npos) << e.Message;
}

// Values no page can hold are refused with their line, never wrapped or
// taken as something else.
TEST(ShowSource, HostileValuesAreRefusedWithTheirLine) {
  const struct {
    const char* Extra;
    const char* Message;
  } cases[] = {
      {"lines = [{ from = \"参宿四\", to = \"天狼星\", color = \"#-1-1-1\" }]\n", "#RRGGBB"},
      {"lines = [{ from = \"参宿四\", to = \"天狼星\", color = \"# 1 2 3\" }]\n", "#RRGGBB"},
      {"date = \"4294969322-01-15\"\n", "a date is written"},
      {"date = \"99999999999999999999-01-15\"\n", "a date is written"},
      {"date = \"2026-01-15x\"\n", "a date is written"},
      {"time = \"4294967317:00\"\n", "a time is written"},
      {"step = \"99999999999999999999 minutes\"\n", "a step is written"},
      {"step = \"100001 minutes\"\n", "a step is written"},
      {"latitude_rad = nan\n", "latitude_rad must be between"},
      {"longitude_rad = inf\n", "longitude_rad must be between"},
      {"longitude_rad = 1e308\n", "longitude_rad must be between"},
      {"azimuth_rad = -7.0\n", "azimuth_rad must be between"},
      {"altitude_rad = 1.6\n", "altitude_rad must be between"},
      {"caption = \"a\\u0000b\"\n", "holds a NUL character"},
      {"text = [\"x\", \"a\\u0000b\"]\n", "holds a NUL character"},
  };
  for (const auto& c : cases) {
    TShowImage show;
    TSourceError e;
    const std::string text = std::string(Minimal) + "[[page]]\n" + c.Extra;
    EXPECT_FALSE(CompileShowSource(text, Catalog(), show, e)) << c.Extra;
    EXPECT_EQ(e.Line, 7) << c.Extra << e.Message;
    EXPECT_NE(e.Message.find(c.Message), std::string::npos) << c.Extra << ": " << e.Message;
  }
  TShowImage show;
  TSourceError e;
  EXPECT_FALSE(CompileShowSource("title = \"a\\u0000b\"\n[[page]]\n", Catalog(), show, e));
  EXPECT_NE(e.Message.find("NUL"), std::string::npos) << e.Message;
}

// Sources shaped to exhaust the TOML reader's stack -- a key of 40,000
// dotted parts, lists nested 100,000 deep -- are refused before parsing,
// at the line and column where they leave the bounds; so is an oversized one.
TEST(ShowSource, SourcesBeyondTheReadersBoundsAreRefusedBeforeParsing) {
  std::string dotted = "title = \"t\"\n";
  for (int i = 0; i < 40000; ++i) dotted += "a.";
  dotted += "b = 1\n";
  const std::string nested = "title = \"t\"\nx = " + std::string(100000, '[') + "\n";
  const std::string inlineTables = "title = \"t\"\nx = " + [] {
    std::string s;
    for (int i = 0; i < 10000; ++i) s += "{a=";
    return s;
  }() + "\n";
  // Within the bounds: decimal points of strings and comments do not count.
  std::string dotsInText = std::string(Minimal) + "caption = \"" + std::string(1000, '.') +
                           "\" # " + std::string(1000, '.') + "\n";
  const struct {
    const std::string* Text;
    int Line, Column;
    const char* Message;
  } cases[] = {
      {&dotted, 2, 514, "more than 256 dotted key parts"},
      {&nested, 2, 69, "nested more than 64 deep"},
      {&inlineTables, 2, 5 + 3 * 64, "nested more than 64 deep"},
  };
  for (const auto& c : cases) {
    TShowImage show;
    TSourceError e;
    EXPECT_FALSE(CompileShowSource(*c.Text, Catalog(), show, e)) << c.Message;
    EXPECT_EQ(e.Line, c.Line) << e.Message;
    EXPECT_EQ(e.Column, c.Column) << e.Message;
    EXPECT_NE(e.Message.find(c.Message), std::string::npos) << e.Message;
  }
  TShowImage show;
  TSourceError e;
  EXPECT_FALSE(CompileShowSource(dotsInText, Catalog(), show, e)) << "the caption is too long";
  EXPECT_NE(e.Message.find("at most 255"), std::string::npos) << e.Message;
  EXPECT_FALSE(CompileShowSource(std::string(5u << 20, ' '), Catalog(), show, e));
  EXPECT_EQ(e.Text("big.toml"), "big.toml:1:1: larger than 4194304 bytes; a show source is far smaller");
}

// Random pages written as a teacher may write them (degrees and radians,
// 0 and -0, the ends of every range): whatever compiles, dumps to a source
// that compiles to the same bytes again.
TEST(ShowSource, DumpThenBuildGivesTheSameBytesForRandomPages) {
  std::mt19937 random(20261210);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  const auto real = [&](double lo, double hi) {
    switch (pick(0, 5)) {
      case 0: return lo;
      case 1: return hi;
      case 2: return 0.0;
      case 3: return -0.0;
      default: return std::uniform_real_distribution<double>(lo, hi)(random);
    }
  };
  const auto number = [](double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    std::string s = buf;
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
  };
  const char* cities[] = {"北京", "悉尼", "上海"};
  const char* objects[] = {"猎户座", "火星", "月亮", "M42", "参宿", "大熊座"};
  const char* stars[] = {"参宿四", "天狼星", "织女星", "#1", "α Ori"};
  const char* units[] = {"minutes", "days", "years", "seconds"};
  int compiled = 0;
  for (int n = 0; n < 60; ++n) {
    std::string text = "title = \"随机" + std::to_string(n) + "\"\n";
    const int pages = pick(1, 4);
    for (int k = 0; k < pages; ++k) {
      text += "[[page]]\n";
      char date[64];
      std::snprintf(date, sizeof date, "date = \"%04d-%02d-%02d\"\ntime = \"%02d:%02d\"\n",
                    pick(-3000, 9999) | 1, pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59));
      text += date;
      if (pick(0, 1)) text += "second = " + std::to_string(pick(0, 59)) + "\n";
      if (pick(0, 2) == 0) text += std::string("city = \"") + cities[pick(0, 2)] + "\"\n";
      else text += "zone = " + std::to_string(pick(-12, 14)) + "\n";
      text += pick(0, 1) ? "latitude = " + number(real(-90, 90)) + "\n"
                         : "latitude_rad = " + number(real(-MaxPageLatitude, MaxPageLatitude)) + "\n";
      text += pick(0, 1) ? "longitude = " + number(real(-180, 180)) + "\n"
                         : "longitude_rad = " + number(real(-MaxPageLongitude, MaxPageLongitude)) + "\n";
      text += pick(0, 1) ? "azimuth = " + number(real(0, 360)) + "\n"
                         : "azimuth_rad = " + number(real(-MaxPageLongitude, MaxPageLongitude)) + "\n";
      text += pick(0, 1) ? "altitude = " + number(real(0, 90)) + "\n"
                         : "altitude_rad = " + number(real(0, MaxPageLatitude)) + "\n";
      text += "star_limit = " + number(std::round(real(-2, 12) * 10) / 10) + "\n";
      text += "wait = " + number(std::round(real(0, 3600) * 30) / 30) + "\n";
      text += "step = \"" + std::to_string(pick(-100000, 100000)) + " " + units[pick(0, 3)] + "\"\n";
      text += "show_bits = " + std::to_string(pick(0, 1 << 30)) + "\n";
      if (pick(0, 1)) text += "glide = [\"time\", \"view\", \"place\"]\n";
      if (pick(0, 1)) text += std::string("track = \"") + objects[pick(0, 5)] + "\"\n";
      if (pick(0, 1)) text += std::string("select = \"") + objects[pick(0, 5)] + "\"\n";
      char colour[16];
      std::snprintf(colour, sizeof colour, "#%06X", pick(0, 0xFFFFFF));
      text += std::string("lines = [{ from = \"") + stars[pick(0, 4)] + "\", to = \"" +
              stars[pick(0, 4)] + "\", color = \"" + colour + "\" }]\n";
      text += std::string("stars = [{ star = \"") + stars[pick(0, 4)] + "\", ring = " +
              (pick(0, 1) ? "true" : "false") + ", text = \"注" + std::to_string(k) + "\" }]\n";
      text += "caption = \"第" + std::to_string(k) + "页\"\n";
    }
    TShowImage a, b;
    TSourceError e;
    if (!CompileShowSource(text, Catalog(), a, e)) continue;  // e.g. a track below the horizon
    ++compiled;
    const std::vector<uint8_t> bytes = ShowImageBytes(a);
    TShowImage read;
    std::string error;
    ASSERT_TRUE(ShowImageFromBytes(bytes, "random.shw", read, error)) << error << "\n" << text;
    const std::string source = DecompileShow(read, Catalog());
    ASSERT_TRUE(CompileShowSource(source, Catalog(), b, e)) << e.Text("dump") << "\n" << source;
    const std::vector<uint8_t> again = ShowImageBytes(b);
    const size_t differ =
        std::mismatch(again.begin(), again.end(), bytes.begin(), bytes.end()).first - again.begin();
    EXPECT_EQ(again, bytes) << "first difference at byte " << differ << " (page offset "
                            << (differ - 5) % ShowFrameSize << ")\n"
                            << text << "\n----\n" << source;
  }
  EXPECT_GE(compiled, 30);
}

TEST(ShowSource, EveryShippedShowRoundTripsByteForByte) {
  const std::filesystem::path folder = std::filesystem::path(SKYLOOM_SOURCE_DIR) / "data/shows";
  int shows = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".toml") continue;
    ++shows;
    const std::string name = entry.path().filename().string();
    TShowImage first;
    TSourceError e;
    ASSERT_TRUE(CompileShowSource(ReadText(entry.path()), Catalog(), first, e)) << e.Text(name);
    const std::vector<uint8_t> bytes = ShowImageBytes(first);
    EXPECT_GE(first.Frames.size(), 8u) << name;
    EXPECT_LE(first.Frames.size(), 25u) << name;

    TShowImage read;
    std::string error;
    ASSERT_TRUE(ShowImageFromBytes(bytes, name, read, error)) << error;
    EXPECT_TRUE(error.empty()) << error;
    const std::string source = DecompileShow(read, Catalog());
    TShowImage second;
    ASSERT_TRUE(CompileShowSource(source, Catalog(), second, e)) << e.Text(name) << "\n" << source;
    EXPECT_EQ(ShowImageBytes(second), bytes) << name;
    // And the decompiled source is stable.
    EXPECT_EQ(DecompileShow(second, Catalog()), source) << name;

    // The file the build installed is the same show.
    std::vector<uint8_t> installed;
    const auto shw = std::filesystem::path(SKYLOOM_RUNTIME_DIR) / "天文节目" /
                     (entry.path().stem().string() + ".shw");
    ASSERT_EQ(ReadFilePrefix(shw.string(), MaxShowFileBytes, installed), TReadResult::Ok) << shw;
    EXPECT_EQ(installed, bytes) << name;
  }
  EXPECT_GE(shows, 1);
}

TEST(ShowSource, ARoundTripOfEveryFieldThroughTheDecompiler) {
  const std::string text = std::string(Minimal) + R"(caption = "全部"
text = """
第一行
second line "quoted" \\ back"""
apply = ["place", "marks"]
new_page = false
latitude = 12.345
azimuth = 123.456
altitude = -5
show = ["grid", "ecliptic", "galactic", "asterism-lines"]
show_bits = 1099511627776
star_limit = 6.2
highlight = [{ name = "猎户座", label = true, greek = true }, "参宿"]
stars = [{ star = "天狼星", ring = false, text = "最亮", show_text = false, designation = true }]
lines = [{ from = "参宿四", to = "α CMa", color = "#12AB9F" }]
areas = [{ name = "三角", stars = ["参宿四", "南河三", "天狼星"] }]
wait = 0.1
glide = ["view", "place"]
step = "-3 years"
track = "木星"
tracking = false
select = "猎户座"
popup = ["lines", "boundary"]
[[page]]
time = "13:40"
second = 44
step = "10 seconds"
glide = ["time"]
[[page]]
zone = "user"
track = false
select = 0
)";
  TShowImage a, b;
  TSourceError e;
  ASSERT_TRUE(CompileShowSource(text, Catalog(), a, e)) << e.Text("x");
  const std::string source = DecompileShow(a, Catalog());
  ASSERT_TRUE(CompileShowSource(source, Catalog(), b, e)) << e.Text("x") << "\n" << source;
  EXPECT_EQ(ShowImageBytes(a), ShowImageBytes(b)) << source;
  EXPECT_EQ(a.Frames[0].ShowFlags & (1ull << 40), 1ull << 40);
  EXPECT_EQ(a.Frames[0].LineMarks[0].Color, 0x9FAB12u);
  EXPECT_EQ(a.Frames[0].Wait, 3);
  EXPECT_EQ(a.Frames[0].StepAmount, -3);
  EXPECT_EQ(a.Frames[0].TextCount, 2);
  EXPECT_EQ(GbkToUtf8(a.Frames[0].Text[1].view()), "second line \"quoted\" \\ back");
  EXPECT_EQ(a.Frames[1].Second, 44);
  EXPECT_EQ(a.Frames[1].StepUnit, 4);
  EXPECT_EQ(a.Frames[1].StepAmount, 10);
  EXPECT_EQ(a.Frames[2].Second, 44);  // inherited
  // A TOML time value brings its seconds; a quoted time is a whole minute.
  TShowImage c;
  ASSERT_TRUE(CompileShowSource(std::string(Minimal) + "[[page]]\ntime = 13:40:44\n[[page]]\ntime = \"13:41\"\n",
                                Catalog(), c, e))
      << e.Text("x");
  EXPECT_EQ(c.Frames[1].Minute, 40);
  EXPECT_EQ(c.Frames[1].Second, 44);
  EXPECT_EQ(c.Frames[2].Second, 0);
  EXPECT_EQ(a.Frames[0].Second, 0);
  EXPECT_EQ(a.Frames[2].Zone, 0);
  EXPECT_EQ(a.Frames[2].City, a.Frames[0].City);
}

TEST(ShowSource, TheExampleOfTheFormatDescriptionCompiles) {
  const std::string doc =
      ReadText(std::filesystem::path(SKYLOOM_SOURCE_DIR) / "docs/show-format.md");
  const size_t from = doc.find("```toml\n");
  ASSERT_NE(from, std::string::npos);
  const size_t to = doc.find("```\n", from + 8);
  ASSERT_NE(to, std::string::npos);
  TShowImage show;
  TSourceError e;
  ASSERT_TRUE(CompileShowSource(doc.substr(from + 8, to - from - 8), Catalog(), show, e))
      << e.Text("docs/show-format.md example");
  ASSERT_EQ(show.Frames.size(), 3u);
  EXPECT_EQ(show.Frames[1].Tracking, 1);
  EXPECT_EQ(show.Frames[1].Moves, MoveBits::Time);
  EXPECT_EQ(show.Frames[2].StarMarkCount, 0);
}

// The Milky Way is on in every page unless a page says otherwise; `show`
// leaves it alone, `milky_way` switches it, later pages inherit it, and the
// decompiler writes it back.
TEST(ShowSource, TheMilkyWayIsOnUnlessAPageSaysOtherwise) {
  const std::string text = std::string(Minimal) + R"(show = ["grid"]
[[page]]
milky_way = false
[[page]]
show = ["ground"]
[[page]]
milky_way = true
)";
  TShowImage a, b;
  TSourceError e;
  ASSERT_TRUE(CompileShowSource(text, Catalog(), a, e)) << e.Text("x");
  ASSERT_EQ(a.Frames.size(), 4u);
  const bool expected[] = {true, false, false, true};
  for (size_t i = 0; i < 4; ++i)
    EXPECT_EQ((a.Frames[i].ShowFlags & SkyBits::MilkyWay) != 0, expected[i]) << "page " << i + 1;
  EXPECT_EQ(a.Frames[0].ShowFlags, SkyBits::Grid | SkyBits::MilkyWay);
  const std::string source = DecompileShow(a, Catalog());
  EXPECT_NE(source.find("milky_way = false"), std::string::npos) << source;
  ASSERT_TRUE(CompileShowSource(source, Catalog(), b, e)) << e.Text("x") << "\n" << source;
  EXPECT_EQ(ShowImageBytes(a), ShowImageBytes(b)) << source;
  EXPECT_FALSE(CompileShowSource(std::string(Minimal) + "milky_way = 1\n", Catalog(), b, e));
  EXPECT_NE(e.Text("x").find("milky_way"), std::string::npos) << e.Text("x");
}

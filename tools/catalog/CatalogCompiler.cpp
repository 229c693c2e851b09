// skyloom-catalogc: compiles the catalogue and city tables of data/ into the
// program's binary files.
//
//   skyloom-catalogc stars  <catalog folder> <StarData.dat>   (and StarColor.dat, NameIndex.txt beside it)
//   skyloom-catalogc cities <cities.tsv> <CityInfo.dat>       (and CityNames.txt beside it)
//
// Any fault in the sources (a missing column, a number that is not one, a
// name GBK cannot hold or that is too long, a star number out of range, more
// records than a table holds) stops the build with a message.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CityTable.h"
#include "FileIo.h"
#include "Gbk.h"
#include "SkyModel.h"
#include "StarColours.h"
#include "StarData.h"
#include "Tsv.h"

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;
constexpr double Deg = static_cast<double>(Pi / 180);

// UTF-8 source text -> GBK short string; stops on text GBK cannot hold.
ShortString Gbk(const std::string& utf8, const std::string& where) {
  bool ok = true;
  const std::string gbk = Utf8ToGbk(utf8, &ok);
  if (!ok) Fail(where + ": \"" + utf8 + "\" cannot be written in GBK");
  if (gbk.size() > 255) Fail(where + ": \"" + utf8 + "\" is longer than 255 GBK bytes");
  ShortString s;
  s.set(gbk);
  return s;
}

std::string Where(const TTsv& t, size_t r) { return t.Path() + " row " + std::to_string(r + 1); }

// The Latin character whose glyph in the "Symbol" font is the Greek letter.
uint8_t SymbolCharOf(const std::string& greek, const std::string& where) {
  if (greek.empty()) return ' ';
  static const std::map<std::string, char> Map = {
      {"α", 'a'}, {"β", 'b'}, {"γ", 'g'}, {"δ", 'd'}, {"ε", 'e'}, {"ζ", 'z'},
      {"η", 'h'}, {"θ", 'q'}, {"ι", 'i'}, {"κ", 'k'}, {"λ", 'l'}, {"μ", 'm'},
      {"ν", 'n'}, {"ξ", 'x'}, {"ο", 'o'}, {"π", 'p'}, {"ρ", 'r'}, {"σ", 's'},
      {"τ", 't'}, {"υ", 'u'}, {"φ", 'f'}, {"χ", 'c'}, {"ψ", 'y'}, {"ω", 'w'}};
  auto it = Map.find(greek);
  if (it == Map.end()) Fail(where + ": unknown Greek letter \"" + greek + "\"");
  return static_cast<uint8_t>(it->second);
}

// The boundary corners are stored for equinox 1900.0, and the program turns
// them to 2000.0 by its own simple precession: a rotation by
// p = 100 tropical years x 3.82394e-5 degrees per day about the ecliptic pole,
// with the obliquity of day count 0. Each J2000 corner is stored turned back
// by exactly that rotation (p negated), so that the program's own precession
// brings it back onto its J2000 place.
void TurnBackTo1900(double raJ2000, double decJ2000, double& ra1900, double& dec1900) {
  const long double p = (1900.0L - 2000.0L) * 365.2422L * 3.82394e-5L * Pi / 180;
  const long double eps = 23.4393L * Pi / 180;  // obliquity at day count 0
  const long double x = cosl(raJ2000) * cosl(decJ2000), y = sinl(raJ2000) * cosl(decJ2000),
                    z = sinl(decJ2000);
  // To the ecliptic, turn about its pole, back to the equator.
  const long double ye = cosl(eps) * y + sinl(eps) * z, ze = -sinl(eps) * y + cosl(eps) * z;
  const long double x1 = x * cosl(p) - ye * sinl(p), ye1 = x * sinl(p) + ye * cosl(p);
  const long double y1 = cosl(eps) * ye1 - sinl(eps) * ze, z1 = sinl(eps) * ye1 + cosl(eps) * ze;
  long double ra = atan2l(y1, x1);
  if (ra < 0) ra += 2 * Pi;
  ra1900 = static_cast<double>(ra);
  dec1900 = static_cast<double>(atan2l(z1, sqrtl(x1 * x1 + y1 * y1)));
}

// Chinese names of the Messier object types, for objects without an
// established Chinese name ("武仙座" + "球状星团").
const std::map<std::string, std::string> MessierTypeZh = {
    {"globular cluster", "球状星团"},  {"open cluster", "疏散星团"},
    {"galaxy", "星系"},                {"diffuse nebula", "弥漫星云"},
    {"planetary nebula", "行星状星云"}, {"supernova remnant", "超新星遗迹"},
    {"star cloud", "恒星云"},          {"double star", "双星"},
    {"asterism", "星群"}};

void Check(bool ok, const std::string& message) {
  if (!ok) Fail(message);
}

// A visual magnitude (given to at most three decimals) in tenths, rounded
// half away from zero: 0.45 -> 5, -0.05 -> -1, 1.25 -> 13. Done on whole
// thousandths so that a decimal such as 2.05 cannot fall just below its half.
int32_t MagnitudeTenths(double magnitude) {
  const long long thousandths = std::llround(magnitude * 1000);
  const long long tenths = (std::llabs(thousandths) + 50) / 100;
  return static_cast<int32_t>(thousandths < 0 ? -tenths : tenths);
}


// Pinyin without its tone marks, in lower case ("Tiānláng" -> "tianlang").
std::string TonelessPinyin(const std::string& text) {
  static const std::map<std::string, char> Marks = {
      {"ā", 'a'}, {"á", 'a'}, {"ǎ", 'a'}, {"à", 'a'}, {"ē", 'e'}, {"é", 'e'}, {"ě", 'e'},
      {"è", 'e'}, {"ī", 'i'}, {"í", 'i'}, {"ǐ", 'i'}, {"ì", 'i'}, {"ō", 'o'}, {"ó", 'o'},
      {"ǒ", 'o'}, {"ò", 'o'}, {"ū", 'u'}, {"ú", 'u'}, {"ǔ", 'u'}, {"ù", 'u'}, {"ǖ", 'v'},
      {"ǘ", 'v'}, {"ǚ", 'v'}, {"ǜ", 'v'}, {"ü", 'v'}, {"Ā", 'a'}, {"Á", 'a'}, {"Ǎ", 'a'},
      {"À", 'a'}, {"Ē", 'e'}, {"É", 'e'}, {"Ō", 'o'}, {"Ó", 'o'}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(std::tolower(c));
      ++i;
      continue;
    }
    const size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    auto it = Marks.find(text.substr(i, n));
    if (it != Marks.end()) out += it->second;
    i += n;
  }
  return out;
}

int CompileStars(const std::string& dir, const std::string& outPath) {
  auto sky = std::make_unique<TSkyloom>();
  const TTsv stars(dir + "/stars.tsv"), lines(dir + "/lines.tsv"),
      consts(dir + "/constellations.tsv"), names(dir + "/starnames.tsv"),
      bounds(dir + "/boundaries.tsv"), messier(dir + "/messier.tsv"),
      offices(dir + "/asterisms.tsv"), officeLines(dir + "/asterism_lines.tsv");

  const int starRows = static_cast<int>(stars.Rows());
  Check(starRows == CatalogStarCount,
        stars.Path() + " holds " + std::to_string(starRows) + " stars, the program uses " +
            std::to_string(CatalogStarCount));
  for (int r = 0; r < starRows; ++r)
    Check(stars.Integer(r, "idx") == r, Where(stars, r) + ": idx is not the row number");

  // Star rows used by any figure line (western or asterism).
  std::set<long> used;
  auto collect = [&](const TTsv& t) {
    for (size_t r = 0; r < t.Rows(); ++r)
      for (const char* c : {"star_idx1", "star_idx2"}) {
        const long idx = t.Integer(r, c);
        Check(idx >= 0 && idx < starRows, Where(t, r) + ": star row " + std::to_string(idx) +
                                              " is not in " + stars.Path());
        used.insert(idx);
      }
  };
  collect(lines);
  collect(officeLines);

  // The renderer draws a line only between stars 1 .. StarCount-1, so the
  // last star number must belong to a star no line uses: the last such row
  // moves to the end, the rows after it move up by one.
  std::vector<int> order;  // order[k-1] = star row of star number k
  int moved = -1;
  for (int r = starRows - 1; r >= 0 && moved < 0; --r)
    if (!used.count(r)) moved = r;
  Check(moved >= 0, "every star is used by a figure line; none can take the last number");
  for (int r = 0; r < starRows; ++r)
    if (r != moved) order.push_back(r);
  order.push_back(moved);
  std::vector<int> numberOf(static_cast<size_t>(starRows));
  for (int k = 1; k <= starRows; ++k) numberOf[static_cast<size_t>(order[k - 1])] = k;

  std::map<std::string, int> constByAbbr;
  std::map<int, std::string> constZh;
  Check(consts.Rows() <= MaxConsts, consts.Path() + ": more than 100 constellations");
  for (size_t r = 0; r < consts.Rows(); ++r) {
    const long n = consts.Integer(r, "num");
    Check(n >= 1 && n <= MaxConsts && sky->Consts[n].Name.empty(),
          Where(consts, r) + ": bad or repeated number");
    TSkyObject& c = sky->Consts[n];
    c.Name = Gbk(consts.Text(r, "name_zh"), Where(consts, r));
    c.EName = Gbk(consts.Text(r, "name_en"), Where(consts, r));
    c.EShort = Gbk(consts.Text(r, "abbr"), Where(consts, r));
    c.Lon = consts.Number(r, "label_ra_deg_j2000") * Deg;
    c.Lat = consts.Number(r, "label_dec_deg_j2000") * Deg;
    constByAbbr[consts.Text(r, "abbr")] = static_cast<int>(n);
    constZh[static_cast<int>(n)] = consts.Text(r, "name_zh");
  }
  auto constNumber = [&](const TTsv& t, size_t r, const char* column) {
    const long n = t.Integer(r, column);
    Check(n >= 1 && n <= 88 && constZh.count(static_cast<int>(n)),
          Where(t, r) + ": constellation " + std::to_string(n) + " is not in the table");
    return static_cast<int32_t>(n);
  };

  for (int k = 1; k <= starRows; ++k) {
    const size_t r = static_cast<size_t>(order[k - 1]);
    TSkyPoint& s = sky->Stars[k];
    s.Lon = stars.Number(r, "ra_deg_j2000") * Deg;
    s.Lat = stars.Number(r, "dec_deg_j2000") * Deg;
    s.Mag = MagnitudeTenths(stars.Number(r, "vmag"));
    s.Owner = constNumber(stars, r, "con_num");
    s.Greek = SymbolCharOf(stars.Text(r, "bayer_letter"), Where(stars, r));
    // The colour index goes to the side table; an empty one is "none".
    if (stars.Text(r, "bv").empty()) {
      sky->StarColour[k] = NoColourIndex;
    } else {
      const double bv = stars.Number(r, "bv");
      Check(bv > -1 && bv < 5, Where(stars, r) + ": B-V " + stars.Text(r, "bv") + " out of range");
      sky->StarColour[k] = static_cast<int16_t>(std::lround(bv * 1000));
    }
  }

  auto fillLines = [&](const TTsv& t, Table1<TLinePair, MaxLines>& table, const char* owner,
                       int maxOwner) {
    Check(t.Rows() <= MaxLines, t.Path() + ": more than 1000 lines");
    for (size_t r = 0; r < t.Rows(); ++r) {
      TLinePair& l = table[static_cast<int>(r) + 1];
      l.StarA = numberOf[static_cast<size_t>(t.Integer(r, "star_idx1"))];
      l.StarB = numberOf[static_cast<size_t>(t.Integer(r, "star_idx2"))];
      const long o = t.Integer(r, owner);
      Check(o >= 1 && o <= maxOwner, Where(t, r) + ": owner " + std::to_string(o) + " out of range");
      l.Owner = static_cast<int32_t>(o);
    }
  };
  fillLines(lines, sky->ConstLines, "con_num", 88);
  fillLines(officeLines, sky->OfficeLines, "asterism_num", MaxOffices);

  // Names the catalogue file has no room for, by object number: the pinyin
  // of the star names and the English names of the Messier objects.
  std::string nameIndex;
  auto indexName = [&](int id, const std::string& name) {
    if (!name.empty()) nameIndex += std::to_string(id) + "\t" + name + "\n";
  };
  Check(names.Rows() <= MaxStarNames, names.Path() + ": more than 100 names");
  for (size_t r = 0; r < names.Rows(); ++r) {
    TStarName& n = sky->StarNames[static_cast<int>(r) + 1];
    const long idx = names.Integer(r, "star_idx");
    Check(idx >= 0 && idx < starRows, Where(names, r) + ": star row out of range");
    n.Star = numberOf[static_cast<size_t>(idx)];
    n.Name = Gbk(names.Text(r, "name_zh"), Where(names, r));
    n.EName = Gbk(names.Text(r, "name_en"), Where(names, r));
    n.Kind = 2;
    indexName(StarIdBase + n.Star, TonelessPinyin(names.Text(r, "pinyin")));
    indexName(StarIdBase + n.Star, names.Text(r, "name_zh_cnjson"));
  }

  Check(bounds.Rows() <= MaxBounds, bounds.Path() + ": more than 1600 boundary points");
  for (size_t r = 0; r < bounds.Rows(); ++r) {
    TSkyPoint& b = sky->Bounds[static_cast<int>(r) + 1];
    TurnBackTo1900(bounds.Number(r, "ra_deg_j2000") * Deg, bounds.Number(r, "dec_deg_j2000") * Deg,
                   b.Lon, b.Lat);
    b.Owner = constNumber(bounds, r, "con_num");
    // A run is one loop of one constellation (Serpens has two loops).
    auto run = [&](size_t row) { return bounds.Text(row, "con_num") + "/" + bounds.Text(row, "loop"); };
    const bool lastOfRun = r + 1 == bounds.Rows() || run(r + 1) != run(r);
    b.Mag = lastOfRun ? 1 : 0;
  }

  for (size_t r = 0; r < messier.Rows(); ++r) {
    if (messier.Text(r, "recommendation") != "keep") continue;
    const long slot = messier.Integer(r, "slot");
    Check(slot >= 1 && slot <= MaxMessier && sky->MessierNames[slot].Code.empty(),
          Where(messier, r) + ": bad or repeated slot");
    TSkyPoint& m = sky->Messier[slot];
    m.Lon = messier.Number(r, "ra_deg_j2000") * Deg;
    m.Lat = messier.Number(r, "dec_deg_j2000") * Deg;
    m.Mag = MagnitudeTenths(messier.Number(r, "vmag"));
    auto con = constByAbbr.find(messier.Text(r, "con_abbr"));
    Check(con != constByAbbr.end(), Where(messier, r) + ": unknown constellation");
    m.Owner = con->second;
    TMessierName& name = sky->MessierNames[slot];
    std::string code = "M";
    code += std::to_string(messier.Integer(r, "m"));
    name.Code = Gbk(code, Where(messier, r));
    std::string zh = messier.Text(r, "name_zh");
    if (zh.empty()) {
      auto type = MessierTypeZh.find(messier.Text(r, "type"));
      Check(type != MessierTypeZh.end(),
            Where(messier, r) + ": no Chinese word for type \"" + messier.Text(r, "type") + "\"");
      zh = constZh[con->second] + type->second;
    }
    name.Name = Gbk(zh, Where(messier, r));
    indexName(1000 + static_cast<int>(slot), messier.Text(r, "name_en"));
    if (messier.Text(r, "name_zh_stellarium") != zh)
      indexName(1000 + static_cast<int>(slot), messier.Text(r, "name_zh_stellarium"));
  }

  Check(offices.Rows() <= MaxOffices, offices.Path() + ": more than 400 asterisms");
  for (size_t r = 0; r < offices.Rows(); ++r) {
    const long n = offices.Integer(r, "num");
    Check(n == static_cast<long>(r) + 1, Where(offices, r) + ": asterisms must be numbered 1, 2, ...");
    TSkyObject& o = sky->Offices[n];
    o.Name = Gbk(offices.Text(r, "name_zh"), Where(offices, r));
    o.EName = Gbk(offices.Text(r, "name_en"), Where(offices, r));
    o.Lon = offices.Number(r, "label_ra_deg_j2000") * Deg;
    o.Lat = offices.Number(r, "label_dec_deg_j2000") * Deg;
  }

  std::string error;
  if (!WriteStarData(*sky, outPath, &error)) Fail("cannot write " + outPath + ": " + error);
  const std::string colourPath =
      (std::filesystem::path(outPath).parent_path() / StarColourFileName).string();
  if (!WriteStarColours(*sky, colourPath, &error))
    Fail("cannot write " + colourPath + ": " + error);
  const std::string indexPath =
      (std::filesystem::path(outPath).parent_path() / NameIndexFileName).string();
  if (!WriteFileAtomic(indexPath, nameIndex, &error))
    Fail("cannot write " + indexPath + ": " + error);
  std::printf("skyloom-catalogc: %s: %d stars (row %d moved to number %d), %zu figure lines, "
              "%zu constellations, %zu star names, %zu boundary points, %zu asterisms, "
              "%zu asterism lines\n",
              outPath.c_str(), starRows, moved, starRows, lines.Rows(), consts.Rows(),
              names.Rows(), bounds.Rows(), offices.Rows(), officeLines.Rows());
  return 0;
}

int CompileCities(const std::string& tsvPath, const std::string& outPath) {
  const TTsv cities(tsvPath);
  Check(cities.Rows() <= MaxCities, tsvPath + ": more than 800 cities");
  std::vector<uint8_t> image(cities.Rows() * CityRecordSize);
  std::string english;  // the English names, one a line in record order
  for (size_t r = 0; r < cities.Rows(); ++r) {
    english += cities.Text(r, "city_en") + "\n";
    TCityInfo c;
    c.Country = Gbk(cities.Text(r, "country_zh"), Where(cities, r));
    c.CityName = Gbk(cities.Text(r, "city_zh"), Where(cities, r));
    const double lat = cities.Number(r, "lat_deg"), lon = cities.Number(r, "lon_deg");
    Check(std::fabs(lat) <= 90 && std::fabs(lon) <= 180, Where(cities, r) + ": place out of range");
    c.Latitude = lat * Deg;
    c.Longitude = lon * Deg;
    const long zone = cities.Integer(r, "tz_hours");
    Check(zone >= -12 && zone <= 12, Where(cities, r) + ": zone outside -12..12");
    c.TimeZone = static_cast<int32_t>(zone);
    EncodeCity(std::span<uint8_t>(image).subspan(r * CityRecordSize, CityRecordSize), c);
  }
  std::string error;
  if (!WriteFileAtomic(outPath, image, &error)) Fail("cannot write " + outPath + ": " + error);
  const std::string englishPath =
      (std::filesystem::path(outPath).parent_path() / CityEnglishFileName).string();
  if (!WriteFileAtomic(englishPath, english, &error))
    Fail("cannot write " + englishPath + ": " + error);
  std::printf("skyloom-catalogc: %s: %zu cities\n", outPath.c_str(), cities.Rows());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string usage =
      "usage: skyloom-catalogc stars <catalog folder> <StarData.dat>\n"
      "       skyloom-catalogc cities <cities.tsv> <CityInfo.dat>";
  if (argc != 4) Fail(usage);
  const std::string what = argv[1];
  if (what == "stars") return CompileStars(argv[2], argv[3]);
  if (what == "cities") return CompileCities(argv[2], argv[3]);
  Fail(usage);
}

// skyloom-catalog: prints the tables of a star catalogue file or a city
// file as the program reads them (through its own loaders), one record per
// line, tab-separated, names in UTF-8, angles in degrees.
//
//   skyloom-catalog [-f StarData.dat] [--empty] <table>...
//   skyloom-catalog --cities [CityInfo.dat]
//
// Tables: stars constlines consts starnames bounds messier messiernames
// officelines offices, or "all". Slots whose record is all zero are left out
// unless --empty is given.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CatalogFormat.h"
#include "CityTable.h"
#include "FileIo.h"
#include "Gbk.h"
#include "SkyModel.h"
#include "StarData.h"

namespace {

double Degrees(double radians) { return radians * 180.0 / M_PI; }
std::string Utf8(const ShortString& s) { return GbkToUtf8(s.view()); }

bool IsEmpty(const TSkyPoint& p) {
  return p.Lon == 0 && p.Lat == 0 && p.Mag == 0 && p.Owner == 0 && p.Greek == 0;
}

void DumpPoints(const char* title, const TSkyPoint* points, int n, bool empty, bool greek) {
  std::printf("# %s: number\tra_deg\tdec_deg\tMag\tOwner%s\n", title, greek ? "\tGreek" : "");
  for (int k = 1; k <= n; ++k) {
    const TSkyPoint& p = points[k - 1];
    if (!empty && IsEmpty(p)) continue;
    std::printf("%d\t%.6f\t%.6f\t%d\t%d", k, Degrees(p.Lon), Degrees(p.Lat), p.Mag, p.Owner);
    if (greek) std::printf("\t%c", p.Greek ? p.Greek : ' ');
    std::printf("\n");
  }
}

void DumpLines(const char* title, const TLinePair* lines, bool empty) {
  std::printf("# %s: slot\tStarA\tStarB\tOwner\n", title);
  for (int k = 1; k <= MaxLines; ++k) {
    const TLinePair& l = lines[k - 1];
    if (!empty && l.StarA == 0 && l.StarB == 0 && l.Owner == 0) continue;
    std::printf("%d\t%d\t%d\t%d\n", k, l.StarA, l.StarB, l.Owner);
  }
}

void DumpObjects(const char* title, const TSkyObject* objects, int n, bool empty) {
  std::printf("# %s: number\tName\tEName\tEShort\tra_deg\tdec_deg\n", title);
  for (int k = 1; k <= n; ++k) {
    const TSkyObject& o = objects[k - 1];
    if (!empty && o.Name.empty() && o.EName.empty() && o.Lon == 0 && o.Lat == 0) continue;
    std::printf("%d\t%s\t%s\t%s\t%.6f\t%.6f\n", k, Utf8(o.Name).c_str(), Utf8(o.EName).c_str(),
                Utf8(o.EShort).c_str(), Degrees(o.Lon), Degrees(o.Lat));
  }
}

bool Dump(const TSkyloom& sky, const std::string& table, bool empty) {
  const bool all = table == "all";
  bool known = all;
  auto is = [&](const char* name) {
    if (all || table == name) {
      known = true;
      return true;
    }
    return false;
  };
  if (is("stars")) DumpPoints("stars", sky.Stars.data(), MaxStars, empty, true);
  if (is("constlines")) DumpLines("constlines", sky.ConstLines.data(), empty);
  if (is("consts")) DumpObjects("consts", sky.Consts.data(), MaxConsts, empty);
  if (is("starnames")) {
    std::printf("# starnames: slot\tStar\tName\tEName\tKind\n");
    for (int k = 1; k <= MaxStarNames; ++k) {
      const TStarName& n = sky.StarNames[k];
      if (!empty && n.Star == 0 && n.Name.empty() && n.EName.empty() && n.Kind == 0) continue;
      std::printf("%d\t%d\t%s\t%s\t%d\n", k, n.Star, Utf8(n.Name).c_str(), Utf8(n.EName).c_str(),
                  n.Kind);
    }
  }
  if (is("bounds")) DumpPoints("bounds (equinox 1900.0)", sky.Bounds.data(), MaxBounds, empty, false);
  if (is("messier")) DumpPoints("messier", sky.Messier.data(), MaxMessier, empty, false);
  if (is("messiernames")) {
    std::printf("# messiernames: slot\tCode\tName\n");
    for (int k = 1; k <= MaxMessier; ++k) {
      const TMessierName& n = sky.MessierNames[k];
      if (!empty && n.Code.empty() && n.Name.empty()) continue;
      std::printf("%d\t%s\t%s\n", k, Utf8(n.Code).c_str(), Utf8(n.Name).c_str());
    }
  }
  if (is("officelines")) DumpLines("officelines", sky.OfficeLines.data(), empty);
  if (is("offices")) DumpObjects("offices", sky.Offices.data(), MaxOffices, empty);
  return known;
}

int Usage() {
  std::fprintf(stderr,
               "usage: skyloom-catalog [-f StarData.dat] [--empty] <table>...\n"
               "       skyloom-catalog --cities [CityInfo.dat]\n"
               "tables: stars constlines consts starnames bounds messier messiernames "
               "officelines offices all\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string file = StarDataFileName;
  bool empty = false;
  std::vector<std::string> tables;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--cities") {
      const std::string path = i + 1 < argc ? argv[i + 1] : CityFileName;
      // The same non-blocking check as the program's own reader: a pipe or
      // device in the file's place is refused at once.
      std::string why;
      std::FILE* probe = OpenRegularFile(path, nullptr, &why);
      if (!probe) {
        ReportFile(path, "cannot be read", why, "skyloom-catalog");
        return 1;
      }
      std::fclose(probe);
      const auto table = std::make_unique<TCityTable>();
      const int n = table->Load(path);
      const auto& Cities = table->Cities;
      std::printf("# cities: number\tCountry\tCityName\tlat_deg\tlon_deg\tTimeZone\n");
      for (int k = 1; k <= n; ++k)
        std::printf("%d\t%s\t%s\t%.4f\t%.4f\t%d\n", k, Utf8(Cities[k].Country).c_str(),
                    Utf8(Cities[k].CityName).c_str(), Degrees(Cities[k].Latitude),
                    Degrees(Cities[k].Longitude), Cities[k].TimeZone);
      return 0;
    }
    if (a == "-f" && i + 1 < argc) {
      file = argv[++i];
    } else if (a == "--empty") {
      empty = true;
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else {
      tables.push_back(a);
    }
  }
  if (tables.empty()) return Usage();
  auto sky = std::make_unique<TSkyloom>();
  if (!LoadStarDataFrom(*sky, file)) {
    std::fprintf(stderr, "skyloom-catalog: no catalogue file %s\n", file.c_str());
    return 1;
  }
  for (const std::string& t : tables)
    if (!Dump(*sky, t, empty)) return Usage();
  return 0;
}

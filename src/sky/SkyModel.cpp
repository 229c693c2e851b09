#include "SkyModel.h"

#include <chrono>
#include <cmath>
#include <random>
#include <string>


namespace {
constexpr double Deg = M_PI / 180.0;
std::mt19937 RandomEngine(0);
}  // namespace

void RandomSeed(uint32_t seed) { RandomEngine.seed(seed); }

int Random(int n) {
  if (n <= 0) return 0;
  return static_cast<int>(RandomEngine() % static_cast<uint32_t>(n));
}

void TSkyloom::FillBuiltInTables() {
  for (int i = 1; i <= HorizonPoints; ++i) {
    Horizon[i].Lon = 5 * i * Deg;
    Horizon[i].Lat = 0;
  }
  // Trees: horizon point (kept in Lat), size, picture — drawn in this order.
  for (int j = 1; j <= 50; ++j) {
    Scenery[j].Lat = Random(72) + 1;
    Scenery[j].Mag = Random(70) + 20;
    Scenery[j].Image = Random(11);
  }
  // Direction boards: horizon point and the signpost frame of its direction.
  static const int BoardPoint[8] = {72, 9, 18, 27, 36, 45, 54, 63};
  static const int BoardImage[8] = {3, 1, 0, 2, 7, 5, 6, 4};
  for (int k = 0; k < 8; ++k) {
    TSkyPoint& b = Scenery[51 + k];
    b.Lat = BoardPoint[k];
    b.Mag = 1;
    b.Image = BoardImage[k];
  }
  // Grid: declination circles 0..80 and -10..-80, 24 hour circles through
  // both poles; lines 42 and 43 become the ecliptic and galactic equator.
  for (int m = 1; m <= NetLineCount; ++m) {
    for (int b = 1; b <= NetLinePoints; ++b) {
      TSkyPoint& p = NetLines[m][b];
      if (m <= 9) {
        p.Lat = (m - 1) * 10 * Deg;
        p.Lon = 5 * b * Deg;
      } else if (m <= 17) {
        p.Lat = (9 - m) * 10 * Deg;
        p.Lon = 5 * b * Deg;
      } else if (m <= 41) {
        p.Lon = (18 - m) * 15 * Deg;
        p.Lat = 5 * b * Deg;
      } else {
        p.Lon = 5 * b * Deg;
        p.Lat = 0;
      }
    }
  }
  // Compass points on the horizon.
  static const char* const CompassZh[4] = {"\xC4\xCF", "\xB6\xAB", "\xB1\xB1", "\xCE\xF7"};  // 南 东 北 西
  static const char* const CompassEn[4] = {"South", "East", "North", "West"};
  static const double CompassLon[4] = {0, 90, 180, -90};
  for (int k = 1; k <= 4; ++k) {
    Labels[k].Lon = CompassLon[k - 1] * Deg;
    Labels[k].Lat = 0;
    LabelTexts[k].Name.set(CompassZh[k - 1]);
    LabelTexts[k].EName.set(CompassEn[k - 1]);
  }
  auto put = [&](int k, const std::string& text, double latDeg, double lonDeg) {
    Labels[k].Lat = latDeg * Deg;
    Labels[k].Lon = lonDeg * Deg;
    LabelTexts[k].Name.set(text);
    LabelTexts[k].EName.set(text);
  };
  // Declination labels on four meridians, hour labels on three parallels.
  static const double DecMeridian[5] = {0, 90, 180, -90};
  const int decStart[4][2] = {{5, 13}, {93, 101}, {109, 117}, {125, 133}};
  for (int q = 0; q < 4; ++q) {
    for (int i = 1; i <= 8; ++i) {
      put(decStart[q][0] + i - 1, std::to_string(10 * i), 10 * i, DecMeridian[q]);
      put(decStart[q][1] + i - 1, std::to_string(-10 * i), -10 * i, DecMeridian[q]);
    }
  }
  const int hourStart[3] = {21, 45, 69};
  const double hourLat[3] = {45, -5, -45};
  for (int r = 0; r < 3; ++r)
    for (int h = 0; h < 24; ++h)
      put(hourStart[r] + h, std::to_string(h) + "h", hourLat[r], h * 15);
}

void TSkyloom::DeriveShowFlags() {
  ShowFlags = 0;
  if (NamesOn) ShowFlags |= Mode1;
  if (LinesOn) ShowFlags |= Mode2;
  if (GroundOn) ShowFlags |= SkyBits::Ground;
  if (MilkyWay) ShowFlags |= SkyBits::MilkyWay;
}

bool TSkyloom::IsDaylight() const {
  return (ShowFlags & SkyBits::Ground) != 0 && Planets[1].Visible == 1;
}

void InitSkyModel(TSkyloom& m) {
  m.FillBuiltInTables();
  m.Month = 12;
  m.Day = 15;
  m.Hour = 0;
  m.Minute = 0;
  m.GroundOn = 0;
  m.Mode3 = 0x10000;
  m.Latitude = 40 * Deg;
  m.ViewAlt = 40 * Deg;
  m.Longitude = -120 * Deg;
  m.ViewAz = 0;
  m.Scale = 400;
  m.StarLimit = 100;
  m.Year = 2002;
  m.TargetLat = 30 * Deg;
  m.TargetLon = 60 * Deg;
}

std::unique_ptr<TSkyloom> CreateSkyModel(std::optional<uint32_t> seed) {
  RandomSeed(seed ? *seed
                  : static_cast<uint32_t>(
                        std::chrono::steady_clock::now().time_since_epoch().count() ^
                        std::chrono::system_clock::now().time_since_epoch().count()));
  auto model = std::make_unique<TSkyloom>();
  InitSkyModel(*model);
  return model;
}

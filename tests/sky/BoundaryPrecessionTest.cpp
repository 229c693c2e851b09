// Boundaries agree with the stars: the compiled boundary points, carried by
// the program's own precession from 1900.0 to 2000.0 (day count 0), land on
// the J2000 corners of the source table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "SkyModel.h"
#include "StarData.h"
#include "Transforms.h"

namespace {

constexpr double Deg = M_PI / 180.0;
constexpr double ArcSec = Deg / 3600.0;

struct TCorner {
  double Ra, Dec;  // J2000, radians
};

std::vector<TCorner> SourceCorners() {
  std::ifstream in(std::string(SKYLOOM_SOURCE_DIR) + "/data/catalog/boundaries.tsv");
  std::string line;
  std::getline(in, line);
  std::vector<std::string> header;
  {
    std::stringstream ss(line);
    std::string f;
    while (std::getline(ss, f, '\t')) header.push_back(f);
  }
  size_t raCol = 0, decCol = 0;
  for (size_t i = 0; i < header.size(); ++i) {
    if (header[i] == "ra_deg_j2000") raCol = i;
    if (header[i] == "dec_deg_j2000") decCol = i;
  }
  std::vector<TCorner> corners;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string x;
    while (std::getline(ss, x, '\t')) f.push_back(x);
    if (f.size() > std::max(raCol, decCol))
      corners.push_back({std::stod(f[raCol]) * Deg, std::stod(f[decCol]) * Deg});
  }
  return corners;
}

TEST(BoundaryPrecession, PointsLandOnTheirJ2000Corners) {
  auto sky = std::make_unique<TSkyloom>();
  ASSERT_TRUE(LoadStarDataFrom(*sky, std::string(SKYLOOM_RUNTIME_DIR) + "/StarData.dat"));
  const std::vector<TCorner> corners = SourceCorners();
  ASSERT_EQ(corners.size(), 1501u);

  auto points = PointsOf(sky->Bounds);
  const int n = static_cast<int>(corners.size());
  SetDirections(points, 1, n);
  PrecessEpochs(points, 1, n, 2000, 1900, 0.0);
  double worst = 0;
  for (int k = 1; k <= n; ++k) {
    const TSkyPoint& p = sky->Bounds[k];
    const TVector3 want = DirectionOf(corners[static_cast<size_t>(k - 1)].Ra,
                                      corners[static_cast<size_t>(k - 1)].Dec);
    const double chord = std::sqrt((p.X - want.X) * (p.X - want.X) +
                                   (p.Y - want.Y) * (p.Y - want.Y) +
                                   (p.Z - want.Z) * (p.Z - want.Z));
    const double separation = 2 * std::asin(std::min(1.0, chord / 2));
    worst = std::max(worst, separation);
    EXPECT_LT(separation, 1 * ArcSec) << "boundary point " << k;
  }
  char worstText[32];
  std::snprintf(worstText, sizeof worstText, "%.3g", worst / ArcSec);
  RecordProperty("worst_arcsec", worstText);
  // The stored points are of 1900.0, not the J2000 corners themselves.
  EXPECT_GT(std::fabs(sky->Bounds[1].Lon - corners[0].Ra), 60 * ArcSec);
}

}  // namespace

// The field of view: the projection's scale and bend, the inverse from the
// screen to the sky, and turning the view so a direction lands under the
// pointer.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "Transforms.h"

namespace {

constexpr double Deg = M_PI / 180;

std::unique_ptr<TSkyloom> SkyOf(double field, int width = 800, int height = 432) {
  auto sky = std::make_unique<TSkyloom>();
  sky->ScreenWidth = width;
  sky->ScreenHeight = height;
  sky->CenterX = width / 2;
  sky->CenterY = height / 2;
  sky->ViewAz = 30 * Deg;
  sky->ViewAlt = 35 * Deg;
  sky->FieldOfView = field;
  ApplyFieldOfView(*sky);
  return sky;
}

// The screen point (x, y) of a horizontal direction.
void ScreenOf(const TSkyloom& sky, const TVector3& h, double& x, double& y, double& depth) {
  TSkyPoint p;
  ApplyView(p, h, ProjectionOf(sky));
  x = sky.CenterX - p.Y;
  y = sky.CenterY + p.X;
  depth = p.Z;
}

TEST(FieldOfView, DefaultFieldKeepsTwoThirdsOfTheWidth) {
  for (int width : {800, 1024, 1280, 1281, 1920, 3840})
    EXPECT_EQ(ScaleForField(DefaultFieldOfView, width), width * 2 / 3) << width;
  EXPECT_EQ(ProjectionBend(DefaultFieldOfView), 1);
  EXPECT_EQ(ProjectionOf(*SkyOf(DefaultFieldOfView)).Bend, 1);
  // Out-of-range and non-numbers are brought into range.
  auto sky = SkyOf(400);
  EXPECT_EQ(sky->FieldOfView, MaxFieldOfView);
  sky->FieldOfView = std::nan("");
  ApplyFieldOfView(*sky);
  EXPECT_EQ(sky->FieldOfView, MinFieldOfView);
}

TEST(FieldOfView, FieldSpansTheWidth) {
  // The sky area's edge, on the horizontal line through the centre, lies
  // half the field from the centre, in the perspective and the
  // stereographic projection alike.
  for (double field : {5.0, 30.0, DefaultFieldOfView, 100.0, 120.0, 150.0, 180.0}) {
    auto sky = SkyOf(field);
    const TProjection view = ProjectionOf(*sky);
    const TVector3 centre = HorizontalAtOffset(view, 0, 0);
    const TVector3 edge = HorizontalAtOffset(view, 400, 0);
    const double angle =
        std::acos(centre.X * edge.X + centre.Y * edge.Y + centre.Z * edge.Z) / Deg;
    EXPECT_NEAR(angle, field / 2, 0.01 * field) << field;
  }
}

TEST(FieldOfView, ScreenRoundTripInEveryProjection) {
  const double pts[][2] = {{0, 0}, {10, 300}, {799, 1}, {400, 216}, {620, 400}, {3, 431}};
  for (double field : {5.0, DefaultFieldOfView, 110.0, 150.0, 180.0}) {
    auto sky = SkyOf(field);
    for (const auto& p : pts) {
      const TVector3 h = HorizontalAtScreen(*sky, p[0], p[1]);
      EXPECT_NEAR(h.X * h.X + h.Y * h.Y + h.Z * h.Z, 1, 1e-12);
      double x = 0, y = 0, depth = 0;
      ScreenOf(*sky, h, x, y, depth);
      EXPECT_GT(depth, 0) << field;
      EXPECT_NEAR(x, p[0], 1e-6) << field;
      EXPECT_NEAR(y, p[1], 1e-6) << field;
    }
  }
}

TEST(FieldOfView, NoJumpWhileZoomingThroughTheChange) {
  // A direction 40 degrees off the centre moves smoothly across the screen
  // as the field widens through the change of projection, and the scale
  // only ever falls.
  auto sky = SkyOf(DefaultFieldOfView);
  const TVector3 h = HorizontalAtOffset(ProjectionOf(*sky), 300, -100);
  double lastX = 0, lastY = 0;
  int lastScale = 1 << 30;
  for (double field = 80; field <= 180; field += 0.25) {
    sky->FieldOfView = field;
    ApplyFieldOfView(*sky);
    EXPECT_LE(sky->Scale, lastScale) << field;
    lastScale = sky->Scale;
    double x = 0, y = 0, depth = 0;
    ScreenOf(*sky, h, x, y, depth);
    if (field > 80) {
      EXPECT_LT(std::fabs(x - lastX), 2.0) << field;
      EXPECT_LT(std::fabs(y - lastY), 1.0) << field;
    }
    lastX = x;
    lastY = y;
  }
}

TEST(FieldOfView, HoldUnderPointerLandsTheDirection) {
  // The sky grabbed at one point is carried to another, as a drag or a
  // zoom about the pointer does, near the centre and near the corners.
  struct TCase {
    double Field, FromX, FromY, ToX, ToY;
  } cases[] = {
      {DefaultFieldOfView, 400, 216, 700, 60}, {10, 100, 400, 300, 200},
      {150, 60, 40, 200, 100},  {180, 700, 400, 780, 420},
      {180, 400, 216, 250, 100}, {30, 20, 20, 780, 420},
  };
  for (const TCase& c : cases) {
    auto sky = SkyOf(c.Field);
    const TVector3 held = HorizontalAtScreen(*sky, c.FromX, c.FromY);
    EXPECT_TRUE(HoldUnderPointer(*sky, held, c.ToX, c.ToY)) << c.Field;
    double x = 0, y = 0, depth = 0;
    ScreenOf(*sky, held, x, y, depth);
    EXPECT_NEAR(x, c.ToX, 0.5) << c.Field;
    EXPECT_NEAR(y, c.ToY, 0.5) << c.Field;
  }
}

}  // namespace

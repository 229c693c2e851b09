// The view state on its own: commands run on a sky model without any form,
// window, sound or drawing, and what they ask of the platform goes to a
// stage of the test's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "CommandCodes.h"
#include "CommandTable.h"
#include "Interface.h"
#include "SkyModel.h"
#include "Transforms.h"
#include "ViewState.h"

namespace {

constexpr double Deg = M_PI / 180;

// A stage that only writes down what it was asked.
class TRecordingStage : public TStageHooks {
 public:
  void SetCursor(int number) override { Asked.push_back("cursor " + std::to_string(number)); }
  void Quit() override { Asked.push_back("quit"); }
  void ShowSettings(std::function<void(bool)> closed) override {
    Asked.push_back("settings");
    closed(false);
  }
  std::vector<std::string> Asked;
};

class ViewStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sky_ = CreateSkyModel(7);
    sky_->TurnStep = 4;
    sky_->ViewAlt = 30 * Deg;
    sky_->ViewAz = 90 * Deg;
  }
  std::unique_ptr<TSkyloom> sky_;
};

TEST_F(ViewStateTest, CommandsChangeTheViewWithoutAWindow) {
  TViewState view(*sky_);
  view.Interface.SetBareSections();
  view.ExecuteCommand(Cmd::Raise);
  EXPECT_NEAR(sky_->ViewAlt, 34 * Deg, 1e-12);
  EXPECT_TRUE(view.SkyStale);
  EXPECT_TRUE(view.PictureStale);
  view.ExecuteCommand(Cmd::TurnRight);
  EXPECT_NEAR(sky_->ViewAz, 86 * Deg, 1e-12);
  // The ground keeps the view above the horizon.
  sky_->ShowFlags |= SkyBits::Ground;
  for (int i = 0; i < 20; ++i) view.ExecuteCommand(Cmd::Lower);
  EXPECT_EQ(sky_->ViewAlt, 0);
  // Without a stage, platform commands and dialogs do nothing, and the
  // player is as it was after a dialog.
  view.Player.Active = true;
  for (int code : {Cmd::About, Cmd::Settings, Cmd::StarTool, Cmd::Help, Cmd::Quit,
                   Cmd::Minimize, Cmd::Music, 424242})
    view.ExecuteCommand(code);
  EXPECT_TRUE(view.Player.Active);
  // The sky stale flag is brought up to date in one place.
  EXPECT_TRUE(view.UpdateWhenStale());
  EXPECT_FALSE(view.SkyStale);
  EXPECT_FALSE(view.UpdateWhenStale());
}

TEST_F(ViewStateTest, AShowThatHoldsTheViewRefusesViewCommandsOnly) {
  TRecordingStage stage;
  TViewState view(*sky_, &stage);
  view.Interface.SetBareSections();
  view.ViewLocked = true;
  view.ExecuteCommand(Cmd::Raise);
  view.ExecuteCommand(Cmd::Settings);
  EXPECT_NEAR(sky_->ViewAlt, 30 * Deg, 1e-12);
  EXPECT_FALSE(view.SkyStale);
  EXPECT_TRUE(stage.Asked.empty());
  view.ExecuteCommand(Cmd::Quit);
  view.ViewLocked = false;
  view.ExecuteCommand(Cmd::TurnLeft);
  view.ExecuteCommand(Cmd::Settings);
  EXPECT_EQ(stage.Asked, (std::vector<std::string>{"quit", "cursor 3", "settings"}));
}

TEST_F(ViewStateTest, ThePanelSlidesDownAndUpThroughOneSetter) {
  TViewState view(*sky_);
  view.Interface.SetBareSections();
  auto slide = [&] {
    view.ExecuteCommand(Cmd::PanelToggle);
    int frames = 0;
    while (view.HoverRepeat.Active && frames++ < 20)
      if (view.HoverRepeat.Tick()) view.ExecuteCommand(view.HoverRepeat.Command);
    return frames;
  };
  EXPECT_EQ(slide(), 5);  // 432 to 564 at 30 pixels a frame
  EXPECT_EQ(view.PanelState, 2);
  EXPECT_EQ(view.Interface.Sections[2].Y, PanelDownY);
  EXPECT_EQ(view.Interface.Sections[1].Height, PanelDownY);
  EXPECT_EQ(sky_->ScreenHeight, PanelDownY);
  EXPECT_EQ(slide(), 5);
  EXPECT_EQ(view.PanelState, 1);
  EXPECT_EQ(view.Interface.Sections[2].Y, PanelUpY);
  EXPECT_EQ(sky_->ScreenHeight, PanelUpY);
}

// The sky area of the form at its default place: 800 x 432 pixels.
void SetSkyArea(TSkyloom& sky) {
  sky.ScreenWidth = 800;
  sky.ScreenHeight = 432;
  sky.CenterX = 400;
  sky.CenterY = 216;
  ApplyFieldOfView(sky);
}

void ScreenOf(const TSkyloom& sky, const TVector3& h, double& x, double& y) {
  TSkyPoint p;
  ApplyView(p, h, ProjectionOf(sky));
  x = sky.CenterX - p.Y;
  y = sky.CenterY + p.X;
}

double AngleBetween(const TVector3& a, const TVector3& b) {
  return std::acos(std::clamp(a.X * b.X + a.Y * b.Y + a.Z * b.Z, -1.0, 1.0));
}

TEST_F(ViewStateTest, ZoomKeepsTheFieldInRangeAndTheCentreStill) {
  SetSkyArea(*sky_);
  TViewState view(*sky_);
  view.Interface.SetBareSections();
  EXPECT_EQ(sky_->Scale, 533);  // the default field: two thirds of the width
  const double az = sky_->ViewAz, alt = sky_->ViewAlt;
  view.ExecuteCommand(Cmd::ZoomIn);
  EXPECT_NEAR(sky_->FieldOfView, DefaultFieldOfView / 1.25, 1e-9);
  EXPECT_GT(sky_->Scale, 533);
  EXPECT_TRUE(view.SkyStale);
  EXPECT_EQ(sky_->ViewAz, az);  // about the centre: the view stays
  EXPECT_EQ(sky_->ViewAlt, alt);
  for (int i = 0; i < 40; ++i) view.ExecuteCommand(Cmd::ZoomIn);
  EXPECT_EQ(sky_->FieldOfView, MinFieldOfView);
  for (int i = 0; i < 40; ++i) view.ExecuteCommand(Cmd::ZoomOut);
  EXPECT_EQ(sky_->FieldOfView, MaxFieldOfView);
  EXPECT_EQ(sky_->Scale, 200);  // stereographic: a quarter of the width
  // A show that holds the view refuses the zoom.
  view.ViewLocked = true;
  view.ExecuteCommand(Cmd::ZoomIn);
  EXPECT_EQ(sky_->FieldOfView, MaxFieldOfView);
}

TEST_F(ViewStateTest, WheelZoomKeepsTheSkyUnderThePointer) {
  SetSkyArea(*sky_);
  TViewState view(*sky_);
  view.Interface.SetBareSections();
  struct TCase {
    int X, Y, Code, Times;
  } cases[] = {
      {650, 100, Cmd::ZoomInAtPointer, 12}, {120, 380, Cmd::ZoomOutAtPointer, 8},
      {700, 60, Cmd::ZoomOutAtPointer, 4},  {30, 200, Cmd::ZoomInAtPointer, 6},
  };
  for (const TCase& c : cases) {
    view.PointerAt = {c.X, c.Y, 0};
    const TVector3 under = HorizontalAtScreen(*sky_, c.X, c.Y);
    for (int i = 0; i < c.Times; ++i) view.ExecuteCommand(c.Code);
    double x = 0, y = 0;
    ScreenOf(*sky_, under, x, y);
    EXPECT_NEAR(x, c.X, 1.0) << sky_->FieldOfView;
    EXPECT_NEAR(y, c.Y, 1.0) << sky_->FieldOfView;
  }
}

TEST_F(ViewStateTest, DragTurnsTheSkyByTheDraggedAngle) {
  SetSkyArea(*sky_);
  TViewState view(*sky_);
  view.Interface.SetBareSections();
  // Grab the sky at one point and carry it 200 pixels right and 80 down.
  view.GrabX = 300;
  view.GrabY = 150;
  const TVector3 grabbed = HorizontalAtScreen(*sky_, 300, 150);
  const TVector3 centreBefore = HorizontalAtScreen(*sky_, sky_->CenterX, sky_->CenterY);
  const TVector3 targetBefore = HorizontalAtScreen(*sky_, 500, 230);
  for (int step = 1; step <= 4; ++step) {
    view.PointerAt = {300 + 50 * step, 150 + 20 * step, 0};
    view.ExecuteCommand(Cmd::SkyDrag);
  }
  EXPECT_TRUE(view.SkyHeld);
  double x = 0, y = 0;
  ScreenOf(*sky_, grabbed, x, y);
  EXPECT_NEAR(x, 500, 0.5);
  EXPECT_NEAR(y, 230, 0.5);
  // The view turned by the angle between where the pointer went down and
  // where it came up (as seen before the drag), no more.
  const TVector3 centreAfter = HorizontalAtScreen(*sky_, sky_->CenterX, sky_->CenterY);
  EXPECT_NEAR(AngleBetween(centreBefore, centreAfter), AngleBetween(grabbed, targetBefore),
              2 * M_PI / 180);
}

TEST(CommandTable, EachCodeOnceAndInOrder) {
  std::set<int> codes;
  for (const TCommandRow& row : CommandRows()) {
    EXPECT_TRUE(codes.insert(row.Code).second) << row.Code;
    EXPECT_NE(row.Handler, nullptr) << row.Code;
    EXPECT_EQ(FindCommand(row.Code), &row) << row.Code;
  }
  for (int unknown : {-1, 1, 6, 1000, 1204, 99999}) EXPECT_EQ(FindCommand(unknown), nullptr);
  // Only the commands that change the view (the Milky Way included, which a
  // show's pages set) are refused while a show holds it.
  for (int code : {Cmd::AzimuthDial, Cmd::AltitudeDial, Cmd::PickConstellation, Cmd::Language,
                   Cmd::StarNames, Cmd::Settings, Cmd::AuxLines, Cmd::Ground, Cmd::TurnLeft,
                   Cmd::Raise, Cmd::TurnRight, Cmd::Lower, Cmd::ZoomIn, Cmd::ZoomOut,
                   Cmd::ZoomInAtPointer, Cmd::ZoomOutAtPointer, Cmd::SkyDrag, Cmd::MilkyWay})
    EXPECT_TRUE(FindCommand(code)->LockedByShow) << code;
  int locked = 0;
  for (const TCommandRow& row : CommandRows()) locked += row.LockedByShow;
  EXPECT_EQ(locked, 18);
}

}  // namespace

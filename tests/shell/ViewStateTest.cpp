// The view state on its own: commands run on a sky model without any form,
// window, sound or drawing, and what they ask of the platform goes to a
// stage of the test's own.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "CommandCodes.h"
#include "CommandTable.h"
#include "Interface.h"
#include "SkyModel.h"
#include "ViewState.h"

namespace {

constexpr double Deg = M_PI / 180;

// A stage that only writes down what it was asked.
class TRecordingStage : public TStageHooks {
 public:
  void SetCursor(int number) override { Asked.push_back("cursor " + std::to_string(number)); }
  void Quit() override { Asked.push_back("quit"); }
  bool ShowSettings() override {
    Asked.push_back("settings");
    return false;
  }
  std::vector<std::string> Asked;
};

class ViewStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sky_ = CreateSkyModel(7);
    ResetInterface();
    SetBareSections();
    sky_->TurnStep = 4;
    sky_->ViewAlt = 30 * Deg;
    sky_->ViewAz = 90 * Deg;
  }
  void TearDown() override {
    ResetInterface();
    FreeSkyModel();
  }
  TSkyloom* sky_ = nullptr;
};

TEST_F(ViewStateTest, CommandsChangeTheViewWithoutAWindow) {
  TViewState view(*sky_);
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
  auto slide = [&] {
    view.ExecuteCommand(Cmd::PanelToggle);
    int frames = 0;
    while (view.HoverRepeat.Active && frames++ < 20)
      if (view.HoverRepeat.Tick()) view.ExecuteCommand(view.HoverRepeat.Command);
    return frames;
  };
  EXPECT_EQ(slide(), 5);  // 432 to 564 at 30 pixels a frame
  EXPECT_EQ(view.PanelState, 2);
  EXPECT_EQ(Sections[2].Y, PanelDownY);
  EXPECT_EQ(Sections[1].Height, PanelDownY);
  EXPECT_EQ(sky_->ScreenHeight, PanelDownY);
  EXPECT_EQ(slide(), 5);
  EXPECT_EQ(view.PanelState, 1);
  EXPECT_EQ(Sections[2].Y, PanelUpY);
  EXPECT_EQ(sky_->ScreenHeight, PanelUpY);
}

TEST(CommandTable, EachCodeOnceAndInOrder) {
  std::set<int> codes;
  for (const TCommandRow& row : CommandRows()) {
    EXPECT_TRUE(codes.insert(row.Code).second) << row.Code;
    EXPECT_NE(row.Handler, nullptr) << row.Code;
    EXPECT_EQ(FindCommand(row.Code), &row) << row.Code;
  }
  for (int unknown : {-1, 1, 6, 1000, 1204, 99999}) EXPECT_EQ(FindCommand(unknown), nullptr);
  // Only the commands that change the view are refused while a show holds it.
  for (int code : {Cmd::AzimuthDial, Cmd::AltitudeDial, Cmd::PickConstellation, Cmd::Language,
                   Cmd::StarNames, Cmd::Settings, Cmd::AuxLines, Cmd::Ground, Cmd::TurnLeft,
                   Cmd::Raise, Cmd::TurnRight, Cmd::Lower})
    EXPECT_TRUE(FindCommand(code)->LockedByShow) << code;
  int locked = 0;
  for (const TCommandRow& row : CommandRows()) locked += row.LockedByShow;
  EXPECT_EQ(locked, 12);
}

}  // namespace

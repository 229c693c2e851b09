// The command table's state changes: dials and layers, the panel slide, the
// text lines and their scrolling, the player codes, go-to with its history,
// time flow, picking, the locked view of a show, and the show step with an
// empty show store.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "AutoCommand.h"
#include "CivilDate.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "TestForm.h"
#include "GlobalParams.h"
#include "GoTo.h"
#include "Interface.h"
#include "Lecture.h"
#include "SkyModel.h"

namespace {

constexpr double Deg = M_PI / 180.0;

// A region at (x, y) of its section, w by h pixels.
TRegion Box(int x, int y, int w, int h) {
  TRegion r;
  r.X = x;
  r.Y = y;
  r.Width = w;
  r.Height = h;
  return r;
}

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = StartTestForm(1);
    form_->DXDrawInitialize();
    Frames(1);  // the splash closes, the sky is computed
  }
  void TearDown() override {
    StopTestForm(form_);
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) RunFrame(*form_);
  }
  bool Run(int code) { return form_->ExecuteCommand(code); }
  TSkyloom& Sky() { return form_->Sky; }

  std::unique_ptr<TFormSky> form_;
};

TEST_F(CommandsTest, AzimuthAndAltitudeDialsFollowThePointer) {
  // Dials at known places of the lower panel.
  form_->Interface.WellKnown[1] = 17;
  form_->Interface.WellKnown[2] = 18;
  form_->Interface.Regions[17] = Box(100, 20, 60, 60);  // centre (130, 432 + 50)
  form_->Interface.Regions[18] = Box(200, 20, 60, 60);  // centre (230, 482)
  form_->Interface.Sections[2].X = 0;
  form_->Interface.Sections[2].Y = 432;
  struct Case {
    const char* Name;
    int Code, X, Y;
    bool Ground;
    double AzBefore, AltBefore, AzAfter, AltAfter;  // degrees
    bool Stale;
  } cases[] = {
      {"pointer above the azimuth centre keeps the view", 7, 130, 400, true, 30, 10, 30, 10, true},
      {"pointer right of it turns a quarter back", 7, 200, 482, true, 100, 10, 10, 10, true},
      {"pointer left of it turns a quarter on", 7, 60, 482, true, 300, 10, 30, 10, true},
      {"pointer below the altitude centre, ground on", 8, 230, 530, true, 0, 20, 0, 0, true},
      {"pointer below it, ground off", 8, 230, 530, false, 0, 20, 0, -90, true},
      {"pointer up and left", 8, 200, 452, true, 0, 0, 0, 45, true},
      {"pointer right and up: the zenith", 8, 260, 470, true, 0, 0, 0, 90, true},
      {"pointer right and down: the nadir", 8, 260, 500, false, 0, 0, 0, -90, true},
      {"pointer on the centre changes nothing", 8, 230, 482, true, 0, 33, 0, 33, false},
  };
  for (const Case& c : cases) {
    Sky().ShowFlags = c.Ground ? SkyBits::Ground : 0;
    Sky().ViewAz = c.AzBefore * Deg;
    Sky().ViewAlt = c.AltBefore * Deg;
    form_->PointerAt.X = c.X;
    form_->PointerAt.Y = c.Y;
    form_->SkyStale = false;
    Run(c.Code);
    EXPECT_NEAR(Sky().ViewAz, c.AzAfter * Deg, 1e-9) << c.Name;
    EXPECT_NEAR(Sky().ViewAlt, c.AltAfter * Deg, 1e-9) << c.Name;
    EXPECT_EQ(form_->SkyStale, c.Stale) << c.Name;
  }
}

TEST_F(CommandsTest, LayerSwitchesFlipTheirMaskAndSwitch) {
  Sky().Mode1 = 0x15;
  Sky().Mode2 = 0x900;
  Sky().NamesOn = Sky().LinesOn = 0;
  Sky().GroundOn = 1;
  Sky().ShowFlags = SkyBits::Ground;
  Run(102);
  EXPECT_EQ(Sky().ShowFlags, SkyBits::Ground | 0x15);
  EXPECT_EQ(Sky().NamesOn, 1);
  Run(104);
  EXPECT_EQ(Sky().ShowFlags, SkyBits::Ground | 0x15 | 0x900);
  EXPECT_EQ(Sky().LinesOn, 1);
  Run(102);
  Run(104);
  EXPECT_EQ(Sky().ShowFlags, SkyBits::Ground);
  // The ground off, then on again with the view below the horizon: the view
  // comes up to the horizon.
  Run(105);
  EXPECT_EQ(Sky().ShowFlags, 0u);
  EXPECT_EQ(Sky().GroundOn, 0);
  Sky().ViewAlt = -20 * Deg;
  Run(105);
  EXPECT_EQ(Sky().GroundOn, 1);
  EXPECT_EQ(Sky().ViewAlt, 0);
  // An altitude given as a whole turn minus a little is below the horizon too.
  Run(105);
  Sky().ViewAlt = 2 * M_PI - 0.1;
  Run(105);
  EXPECT_EQ(Sky().ViewAlt, 0);
}

TEST_F(CommandsTest, DrawingSwitchesFlip) {
  for (int code : {1301, 1302, 1303}) {
    uint8_t& on = code == 1301   ? Sky().LabelPlacement
                  : code == 1302 ? Sky().RealisticSky
                                 : Sky().Refraction;
    const uint8_t before = on;
    form_->SkyStale = false;
    Run(code);
    EXPECT_NE(on, before) << code;
    EXPECT_TRUE(form_->SkyStale) << code;
    Run(code);
    EXPECT_EQ(on, before) << code;
  }
}

TEST_F(CommandsTest, LanguageSwitchFlipsAndRefreshesTheStory) {
  Sky().SelConst = 5;
  Sky().Consts[5].Name.set("\xC1\xD4\xBB\xA7");  // 猎户
  Sky().Consts[5].EName.set(" Orion ");
  Sky().StoryTitle = std::string(100, 'z');
  Sky().StoryText = "The hunter.";
  form_->TextShown = true;
  form_->RefreshInfoText();
  EXPECT_EQ(form_->Info.Title.str(), "\xC1\xD4\xBB\xA7\xD0\xC7\xD7\xF9");  // 猎户星座
  EXPECT_EQ(form_->Info.LineCount, 3);
  Run(101);
  EXPECT_EQ(form_->Language, 1);
  EXPECT_EQ(Sky().English, 1);
  EXPECT_EQ(form_->Info.Title.str(), "Orion");
  EXPECT_EQ(form_->Info.LineCount, 1);
  EXPECT_EQ(form_->Info.Lines[1].str(), "The hunter.");
  Run(101);
  EXPECT_EQ(form_->Language, 0);
  EXPECT_EQ(Sky().English, 0);
}

TEST_F(CommandsTest, PanelSlidesDownAndUpInFiveFrames) {
  form_->Interface.Sections[2].Y = 432;
  form_->PanelState = 1;
  Run(304);
  EXPECT_TRUE(form_->HoverRepeat.Active);
  EXPECT_EQ(form_->HoverRepeat.Kind, 2);
  const int down[5] = {462, 492, 522, 552, 564};
  for (int i = 0; i < 5; ++i) {
    Frames(1);
    EXPECT_EQ(form_->Interface.Sections[2].Y, down[i]) << "frame " << i + 1;
    EXPECT_EQ(Sky().ScreenHeight, down[i]);
    EXPECT_EQ(form_->Interface.Sections[1].Height, down[i]);
    EXPECT_EQ(form_->Interface.Regions[19].Height, down[i]);
  }
  EXPECT_FALSE(form_->HoverRepeat.Active);
  EXPECT_EQ(form_->HoverRepeat.Kind, 1);
  EXPECT_EQ(form_->PanelState, 2);
  Frames(3);
  EXPECT_EQ(form_->Interface.Sections[2].Y, 564);
  Run(304);
  const int up[5] = {534, 504, 474, 444, 432};
  for (int i = 0; i < 5; ++i) {
    Frames(1);
    EXPECT_EQ(form_->Interface.Sections[2].Y, up[i]) << "frame " << i + 1;
  }
  EXPECT_FALSE(form_->HoverRepeat.Active);
  EXPECT_EQ(form_->PanelState, 1);
  EXPECT_EQ(Sky().ScreenHeight, 432);
}

TEST_F(CommandsTest, SubtitleScrollsOnlyWithThreeLinesOrMore) {
  Sky().SelConst = 5;
  form_->TextShown = true;
  form_->PanelState = 2;
  struct Case {
    int Bytes;
    bool Scrolls;
    int Lines;  // with the empty line that parts end and restart
  } cases[] = {{84 * 2, false, 3}, {84 * 2 + 2, true, 4}};
  for (const Case& c : cases) {
    std::string body;
    for (int i = 0; i < c.Bytes / 2; ++i) body += "\xD0\xC7";  // 星
    Sky().StoryTitle = body;
    form_->RefreshInfoText();
    EXPECT_EQ(form_->TextScroll.Active, c.Scrolls) << c.Bytes;
    EXPECT_EQ(form_->Info.LineCount, c.Lines) << c.Bytes;
    EXPECT_TRUE(form_->Info.Lines[c.Lines].empty());
  }
  // Back up: the panel shows the text without scrolling.
  form_->PanelState = 1;
  form_->RefreshInfoText();
  EXPECT_FALSE(form_->TextScroll.Active);
}

TEST_F(CommandsTest, TextLinesScrollWithinTheirEdges) {
  TInfoText& info = form_->Info;
  for (int i = 0; i < 6; ++i) info.AddLine("line");
  struct Case {
    int Code, TopBefore, TopAfter;
  } cases[] = {{13, 0, 0}, {13, 3, 2}, {14, 0, 1}, {14, 5, 5}, {14, 4, 5}};
  for (const Case& c : cases) {
    info.TopLine = c.TopBefore;
    Run(c.Code);
    EXPECT_EQ(info.TopLine, c.TopAfter) << c.Code << " from " << c.TopBefore;
  }
  // The smooth scroll: one pixel a tick, a line every LineHeight ticks,
  // from the last line back to the first.
  info.TopLine = 5;
  info.PixelOffset = 0;
  for (int t = 1; t < form_->LineHeight; ++t) {
    Run(1012);
    EXPECT_EQ(info.PixelOffset, t);
    EXPECT_EQ(info.TopLine, 5);
  }
  Run(1012);
  EXPECT_EQ(info.PixelOffset, 0);
  EXPECT_EQ(info.TopLine, 0);
  Run(1012);
  EXPECT_LT(info.PixelOffset, form_->LineHeight);
}

TEST_F(CommandsTest, ThumbDragMapsThePointerToALine) {
  TInfoText& info = form_->Info;
  for (int i = 0; i < 11; ++i) info.AddLine("x");
  form_->Interface.Sections[2].Y = 432;
  form_->Interface.Regions[25] = Box(500, 10, 10, 10);  // top = 432 + 20
  form_->Interface.Regions[26] = Box(500, 130, 10, 10);
  form_->Interface.Regions[27] = Box(500, 0, 10, 10);   // bottom = 432 + 120
  const struct {
    int Y, Top;
  } cases[] = {{0, 0}, {452, 0}, {502, 5}, {552, 10}, {599, 10}, {462, 1}};
  for (const auto& c : cases) {
    form_->PointerAt.Y = c.Y;
    Run(22);
    EXPECT_EQ(info.TopLine, c.Top) << c.Y;
  }
}

TEST_F(CommandsTest, LockedViewIgnoresEveryViewCommand) {
  form_->ViewLocked = true;
  form_->PointerAt.X = 10;
  form_->PointerAt.Y = 10;
  Sky().SelConst = 7;
  const uint64_t flags = Sky().ShowFlags;
  const double az = Sky().ViewAz, alt = Sky().ViewAlt;
  form_->SkyStale = false;
  for (int code : {7, 8, 9, 101, 102, 103, 104, 105, 201, 202, 203, 204}) Run(code);
  EXPECT_EQ(Sky().ViewAz, az);
  EXPECT_EQ(Sky().ViewAlt, alt);
  EXPECT_EQ(Sky().ShowFlags, flags);
  EXPECT_EQ(Sky().SelConst, 7);
  EXPECT_EQ(form_->Language, 0);
  EXPECT_FALSE(form_->SkyStale);
  // Panel, text and player commands still work.
  Run(304);
  EXPECT_TRUE(form_->HoverRepeat.Active);
}

TEST_F(CommandsTest, PlayerCodesSetDirectionAndWakeTheSlot) {
  struct Case {
    int Code;
    bool Playing;
    int Direction;
    bool Active;
  } cases[] = {{107, false, 1, true}, {108, true, 1, true}, {110, true, -1, true},
               {111, false, -1, true}};
  for (const Case& c : cases) {
    form_->Player.Active = false;
    Run(c.Code);
    EXPECT_EQ(form_->Playing, c.Playing) << c.Code;
    EXPECT_EQ(form_->PlayDirection, c.Direction) << c.Code;
    EXPECT_EQ(form_->Player.Active, c.Active) << c.Code;
  }
  Run(109);
  EXPECT_FALSE(form_->Player.Active);
  form_->Player.Active = true;
  Run(1004);
  EXPECT_FALSE(form_->Player.Active);
  // Play in show mode locks the view.
  form_->PlayMode = 1;
  Run(108);
  EXPECT_TRUE(form_->ViewLocked);
}

TEST_F(CommandsTest, DialogCodesKeepThePlayerAsItWas) {
  for (int code : {5, 103, 106}) {
    for (bool active : {false, true}) {
      form_->Player.Active = active;
      Run(code);
      EXPECT_EQ(form_->Player.Active, active) << code;
    }
  }
}

TEST_F(CommandsTest, ShowStepWithNoFramesEndsAtOnce) {
  form_->Lecture.Reset();
  form_->PlayMode = 1;
  form_->TextShown = true;
  form_->Player.Command = 3002;
  form_->Player.LeadCommand = 0;
  form_->Player.Interval = 1;
  Run(108);
  Frames(1);
  EXPECT_FALSE(form_->Player.Active);
  Run(110);
  Frames(1);
  EXPECT_FALSE(form_->Player.Active);
}

TEST_F(CommandsTest, PopupSwitchesFlipAndDeselectClearsTheText) {
  struct Case {
    int Code;
    bool TPopupSwitches::*Switch;
  } cases[] = {{1201, &TPopupSwitches::ConstellationStarNames},
               {1202, &TPopupSwitches::ConstellationLines},
               {1203, &TPopupSwitches::ConstellationGreekNames},
               {1205, &TPopupSwitches::ConstellationBoundary},
               {1207, &TPopupSwitches::ConstellationHighlight}};
  for (const Case& c : cases) {
    const bool before = form_->Popup.*c.Switch;
    Run(c.Code);
    EXPECT_NE(form_->Popup.*c.Switch, before) << c.Code;
    Run(c.Code);
    EXPECT_EQ(form_->Popup.*c.Switch, before) << c.Code;
  }
  Sky().SelConst = 5;
  form_->TextShown = true;
  form_->PlayMode = 1;
  Run(1206);
  EXPECT_EQ(Sky().SelConst, 5) << "a show keeps its selection";
  form_->PlayMode = 0;
  Run(1206);
  EXPECT_EQ(Sky().SelConst, 0);
  EXPECT_FALSE(form_->TextShown);
  EXPECT_TRUE(form_->SkyStale);
}

TEST_F(CommandsTest, TimeFlowStepsByTheChosenUnitAndStopsAtTheEdge) {
  struct Case {
    int Unit, Amount, Direction;
    TCivilTime From, To;
    bool StillPlaying;
  } cases[] = {
      {1, 1, 1, {2025, 12, 31, 23, 59}, {2026, 1, 1, 0, 0}, true},
      {1, 1, -1, {2024, 3, 1, 0, 0}, {2024, 2, 29, 23, 59}, true},
      {2, 3, 1, {2026, 1, 30, 21, 0}, {2026, 2, 2, 21, 0}, true},
      {3, 10, -1, {2026, 1, 15, 21, 0}, {2016, 1, 15, 21, 0}, true},
      {1, 1, 1, {99999, 12, 31, 23, 59}, {99999, 12, 31, 23, 59}, false},
      {3, 5, -1, {-99997, 1, 1, 0, 0}, {-99999, 1, 1, 0, 0}, false},
  };
  for (const Case& c : cases) {
    Sky().StepUnit = c.Unit;
    Sky().StepAmount = c.Amount;
    form_->PlayDirection = c.Direction;
    form_->Playing = true;
    form_->Player.Active = true;
    Sky().Year = c.From.Year, Sky().Month = c.From.Month, Sky().Day = c.From.Day;
    Sky().Hour = c.From.Hour, Sky().Minute = c.From.Minute;
    Run(1001);
    const TCivilTime now{Sky().Year, Sky().Month, Sky().Day, Sky().Hour, Sky().Minute};
    EXPECT_EQ(now, c.To) << c.Unit << " " << c.Amount;
    EXPECT_EQ(form_->Player.Active, c.StillPlaying) << c.Unit << " " << c.Amount;
    EXPECT_TRUE(form_->SkyStale);
  }
}

TEST_F(CommandsTest, TrackedTimeFlowFollowsTheTargetAndTheGround) {
  Sky().Tracking = 1;
  Sky().StepUnit = Sky().StepAmount = 1;
  form_->PlayDirection = 1;
  struct Case {
    double X, Y, Z;
    bool Ground;
  } cases[] = {{1, 1, 0.5, true}, {1, 0, -0.05, true}, {0, 1, -0.5, false}};
  for (const Case& c : cases) {
    Sky().TrackX = c.X, Sky().TrackY = c.Y, Sky().TrackZ = c.Z;
    Run(1001);
    EXPECT_NEAR(Sky().ViewAz, DirectionAzimuth(c.X, c.Y), 1e-12);
    EXPECT_NEAR(Sky().ViewAlt, std::atan2(c.Z, std::hypot(c.X, c.Y)), 1e-12);
    EXPECT_EQ(Sky().GroundOn, c.Ground ? 1 : 0);
    EXPECT_EQ((Sky().ShowFlags & SkyBits::Ground) != 0, c.Ground);
    EXPECT_EQ((form_->Interface.Regions[9].State & 2) != 0, c.Ground);
  }
}

TEST(GoToMove, ChoosesTurnThenTiltThenArrives) {
  struct Case {
    const char* Name;
    double ViewAz, ViewAlt, TargetAz, TargetAlt;  // degrees
    int Move;
  } cases[] = {
      {"5 degrees to one side, 3 below", 100, 30, 105, 27, 1004},
      {"5 degrees to the other side, 3 below", 100, 30, 95, 27, 1004},
      {"5 to one side, 3 above: raise first", 100, 30, 105, 33, 202},
      {"15 below: lower first", 100, 30, 100, 15, 204},
      {"exactly 10 below arrives", 100, 30, 100, 20, 1004},
      {"20 degrees on: turn on", 100, 30, 120, 30, 201},
      {"half a turn: turn on", 0, 30, 180, 30, 201},
      {"20 degrees back: turn back", 100, 30, 80, 30, 203},
      {"across 0: back", 5, 30, 355, 30, 1004},
      {"across 0: on", 355, 30, 20, 30, 201},
      {"across 0: further back", 5, 30, 340, 30, 203},
      {"not a number arrives", 0, 0, NAN, NAN, 1004},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseGoToMove(c.ViewAz * Deg, c.ViewAlt * Deg, c.TargetAz * Deg, c.TargetAlt * Deg),
              c.Move)
        << c.Name;
}

// Points the target direction at azimuth and altitude (degrees) in the
// horizon frame, as the sky update leaves it.
void SetTarget(TSkyloom& sky, double azDeg, double altDeg) {
  sky.TrackX = std::cos(altDeg * Deg) * std::cos(azDeg * Deg);
  sky.TrackY = std::cos(altDeg * Deg) * std::sin(azDeg * Deg);
  sky.TrackZ = std::sin(altDeg * Deg);
}

TEST_F(CommandsTest, GoToArrivesAndReplaysItsHistoryBackward) {
  Sky().ViewAz = 0;
  Sky().ViewAlt = 30 * Deg;
  form_->PlayMode = 2;
  form_->Player.LeadCommand = 1002;
  form_->Player.Interval = 1;
  form_->Player.Kind = 2;
  Run(108);
  int frames = 0;
  while (form_->Player.Active && frames < 1000) {
    SetTarget(Sky(), 60, 60);  // the sky update would recompute it each frame
    Frames(1);
    ++frames;
  }
  EXPECT_FALSE(form_->Player.Active);
  EXPECT_LT(frames, 40);
  EXPECT_LE(std::fabs(Sky().ViewAz - 60 * Deg), 10 * Deg);
  EXPECT_GE(Sky().ViewAlt, 60 * Deg - 1e-9);
  EXPECT_LE(Sky().ViewAlt, 70 * Deg);
  const int steps = form_->Player.HistoryCount;
  EXPECT_EQ(steps, frames);
  EXPECT_EQ(form_->Player.HistoryIndex, steps);
  // Back: each frame restores the entry before it, down to index 0.
  const TViewRecord second = form_->Player.History[2];
  Run(110);
  for (int i = 0; i < steps - 1; ++i) Frames(1);
  EXPECT_EQ(form_->Player.HistoryIndex, 1);
  EXPECT_EQ(Sky().ViewAz, second.ViewAz);
  EXPECT_EQ(Sky().ViewAlt, second.ViewAlt);
  Frames(1);
  EXPECT_EQ(form_->Player.HistoryIndex, 0);
  EXPECT_TRUE(form_->Player.Active);
  Frames(1);
  EXPECT_FALSE(form_->Player.Active) << "stops with 1004 at index 0";
  EXPECT_EQ(form_->Player.Command, 1004);
  // A step forward again continues from the restored place.
  Run(107);
  Frames(1);
  EXPECT_EQ(form_->Player.HistoryIndex, 1);
}

TEST_F(CommandsTest, GoToBelowTheHorizonTakesTheGroundAwayAndEnds) {
  Sky().ViewAz = 0;
  Sky().ViewAlt = 30 * Deg;
  SetGroundLayer(Sky(), form_->Interface, true);
  SetTarget(Sky(), 200, -40);
  form_->PlayMode = 2;
  form_->Player.LeadCommand = 1002;
  Run(108);
  int frames = 0;
  while (form_->Player.Active && frames < 5000) {
    Frames(1);
    SetTarget(Sky(), 200, -40);
    ++frames;
  }
  EXPECT_FALSE(form_->Player.Active);
  EXPECT_LT(frames, 100);
  EXPECT_EQ(Sky().GroundOn, 0);
  EXPECT_EQ(Sky().ShowFlags & SkyBits::Ground, 0u);
  EXPECT_EQ(form_->Interface.Regions[9].State & 2, 0);
  EXPECT_LE(Sky().ViewAlt, -30 * Deg);
}

TEST_F(CommandsTest, EveryGoToEndsWithinTheStepBound) {
  // From many starting views toward many targets, with the ground on: each
  // trip arrives (or is stopped) well within the bound.
  for (int start = 0; start < 360; start += 45) {
    for (int az = 0; az < 360; az += 30) {
      for (int alt : {-90, -60, -5, 0, 5, 45, 89, 90}) {
        Sky().ViewAz = start * Deg;
        Sky().ViewAlt = 20 * Deg;
        SetGroundLayer(Sky(), form_->Interface, true);
        form_->GoToSteps = 0;
        form_->Player.HistoryCount = form_->Player.HistoryIndex = 0;
        int steps = 0;
        do {
          SetTarget(Sky(), az, alt);
          form_->StepGoTo();
          ++steps;
        } while (form_->Player.Command != 1004 && steps <= MaxGoToSteps + 1);
        EXPECT_LE(steps, 100) << start << " " << az << " " << alt;
      }
    }
  }
  // A direction that is no number ends at once.
  Sky().TrackX = Sky().TrackY = Sky().TrackZ = NAN;
  form_->StepGoTo();
  EXPECT_EQ(form_->Player.Command, 1004);
}

TEST_F(CommandsTest, HistoryHoldsAtMost3000Steps) {
  form_->Player.HistoryCount = form_->Player.HistoryIndex = 0;
  form_->GoToSteps = 0;
  SetTarget(Sky(), 0, 0);
  Sky().ViewAz = 0;
  for (int i = 0; i < 3005; ++i) {
    form_->GoToSteps = 0;  // a trip that keeps going
    Sky().ViewAlt = (i % 100) * 0.001 + 0.5;
    form_->StepGoTo();
  }
  EXPECT_EQ(form_->Player.HistoryCount, MaxHistory);
  EXPECT_EQ(form_->Player.HistoryIndex, MaxHistory);
  EXPECT_EQ(form_->Player.History[MaxHistory].ViewAlt, Sky().ViewAlt) << "the last step overwrites entry 3000";
}

TEST_F(CommandsTest, GoToTargetSetsSelectionAndStatusText) {
  struct Case {
    int Code;
    int Selection;  // -1: unchanged
    const char* Status;
  } cases[] = {
      {105, -1, "\xD5\xD2\xB5\xBD\xBB\xF0\xD0\xC7"},  // 找到火星
      {1031, -1, "\xD5\xD2\xB5\xBD" "M31"},
      {0, -1, nullptr},
  };
  Sky().MessierNames[31].Code.set("M31 ");
  for (const Case& c : cases) {
    Sky().SelConst = 9;
    form_->Player.StatusText = "before";
    form_->GoToTarget(c.Code, true);
    EXPECT_EQ(Sky().SelConst, c.Selection < 0 ? 9 : c.Selection) << c.Code;
    EXPECT_EQ(form_->Player.StatusText, c.Status ? c.Status : "before") << c.Code;
    if (c.Code > 0) {
      EXPECT_EQ(form_->Player.LeadCommand, 1002);
      EXPECT_EQ(form_->Player.Kind, 2);
      // Bodies (codes 101..110) leave the last target code as it was.
      if (c.Code > 1000) {
        EXPECT_EQ(form_->TargetCode, c.Code);
      }
    }
  }
  Sky().Consts[20].Name.set("\xC1\xD4\xBB\xA7");  // 猎户
  form_->GoToTarget(20, true);
  EXPECT_EQ(Sky().SelConst, 20);
  EXPECT_TRUE(form_->TextShown);
  EXPECT_EQ(form_->Player.StatusText, "\xD5\xD2\xB5\xBD\xC1\xD4\xBB\xA7\xD0\xC7\xD7\xF9");  // 找到猎户星座
}

TEST_F(CommandsTest, SyncLayerButtonsRebuildsTheMaskAndLooks) {
  Sky().Mode1 = 0x1;
  Sky().Mode2 = 0x800;
  Sky().NamesOn = 1;
  Sky().LinesOn = 0;
  Sky().GroundOn = 1;
  Sky().English = 1;
  form_->Marks.HighlightCount = 3;
  form_->Parameters.MenuTable = DefaultMenuTable();
  form_->Popup = TPopupSwitches{};
  form_->Popup.ConstellationLines = true;
  form_->SyncLayerButtons(1);
  EXPECT_EQ(form_->Marks.HighlightCount, 3) << "mode 1 does nothing";
  form_->SyncLayerButtons(2);
  EXPECT_EQ(Sky().ShowFlags, 0x1u | SkyBits::Ground | SkyBits::MilkyWay);
  EXPECT_EQ(form_->Interface.Regions[7].State, 2);
  EXPECT_EQ(form_->Interface.Regions[10].State, 0);
  EXPECT_EQ(form_->Interface.Regions[9].State, 2);
  EXPECT_EQ(form_->Interface.Regions[6].State, 2);
  EXPECT_EQ(form_->Marks.HighlightCount, 0);
  const TMenuTable& menu = form_->Parameters.MenuTable;
  for (int k = 1; k <= MenuTableSize; ++k) {
    if (menu[k].Command == 1202) {
      EXPECT_EQ(menu[k].Checked, 1) << k;
    }
    if (menu[k].Command == 1205) {
      EXPECT_EQ(menu[k].Checked, 0) << k;
    }
  }
}

// A square outline of constellation 5 around the sky centre, ±50 pixels,
// already projected; every other boundary point unused.
void SquareOutline(TSkyloom& sky) {
  for (int i = 1; i <= MaxBounds; ++i) sky.Bounds[i] = TSkyPoint{};
  const double corner[4][2] = {{-50, -50}, {50, -50}, {50, 50}, {-50, 50}};  // (u, v)
  for (int k = 0; k < 4; ++k) {
    TSkyPoint& p = sky.Bounds[k + 1];
    p.Owner = 5;
    p.Y = corner[k][0];
    p.X = corner[k][1];
    p.Z = 1;
    p.Visible = 1;
  }
  sky.Bounds[4].Mag = 1;  // the run ends here
  sky.Consts[5].LabelX = sky.CenterX;
  sky.Consts[5].LabelY = sky.CenterY;
}

TEST_F(CommandsTest, PickingInsideOutsideAndBelowTheHorizon) {
  TSkyloom& sky = Sky();
  sky.CenterX = 400;
  sky.CenterY = 216;
  SquareOutline(sky);
  // The horizon 100 pixels below the centre.
  for (int k = 1; k <= HorizonPoints; ++k) sky.Horizon[k].Z = -1;
  sky.Horizon[3].Z = 1;
  sky.Horizon[3].X = 100;
  struct Case {
    const char* Name;
    bool Ground;
    int X, Y, Button;
    int Selection;
    bool Shown, Popup;
  } cases[] = {
      {"inside", true, 410, 220, 0, 5, true, false},
      {"inside with the right button", true, 390, 200, 1, 5, true, true},
      {"outside clears", true, 600, 100, 0, 0, false, false},
      {"outside with the right button", true, 600, 100, 1, 0, false, true},
      {"below the horizon keeps", true, 400, 330, 1, 9, true, false},
      {"below the horizon without ground picks", false, 400, 330, 0, 0, false, false},
  };
  for (const Case& c : cases) {
    sky.ShowFlags = c.Ground ? SkyBits::Ground : 0;
    sky.SelConst = 9;
    form_->TextShown = true;
    form_->PopupPending = false;
    form_->PickConstellation(c.X, c.Y, c.Button);
    EXPECT_EQ(sky.SelConst, c.Selection) << c.Name;
    EXPECT_EQ(form_->TextShown, c.Shown) << c.Name;
    EXPECT_EQ(form_->PopupPending, c.Popup) << c.Name;
  }
}

TEST_F(CommandsTest, PickingTheLastOutlineOfTheTable) {
  TSkyloom& sky = Sky();
  sky.CenterX = 400;
  sky.CenterY = 216;
  SquareOutline(sky);
  // The same square as the very last run of the table.
  for (int k = 0; k < 4; ++k) {
    sky.Bounds[MaxBounds - 3 + k] = sky.Bounds[k + 1];
    sky.Bounds[k + 1] = TSkyPoint{};
  }
  sky.ShowFlags = 0;
  form_->PickConstellation(400, 216, 0);
  EXPECT_EQ(sky.SelConst, 5);
}

}  // namespace

// The main form without a window: frame handler order, automatic slots,
// view commands, window placement and scripted input.
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <SDL.h>

#include "Application.h"
#include "AutoCommand.h"
#include "CommandLine.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "GlobalParams.h"
#include "Interface.h"
#include "Script.h"
#include "SDL_scancode.h"
#include "SkyModel.h"

namespace {

constexpr double Deg = M_PI / 180.0;

class FormSkyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model_ = CreateSkyModel();
    form_ = std::make_unique<TFormSky>(*model_);
    form_->FixedNow = true;
    form_->Now = {2026, 1, 15, 21, 0};
    form_->FormCreate();
    form_->FormShow();
    form_->DXDrawInitialize();
    form_->LogCommands = true;
  }
  void TearDown() override {
    form_.reset();
    model_.reset();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) RunFrame(*form_);
  }
  std::vector<int> Log() { return form_->CommandLog; }

  std::unique_ptr<TSkyloom> model_;  // made before the form, freed after it

  std::unique_ptr<TFormSky> form_;
};

TEST_F(FormSkyTest, StartUpStateAfterCreateAndShow) {
  const TSkyloom& sky = *model_;
  EXPECT_EQ(sky.TurnStep, 4);
  EXPECT_EQ(sky.ScreenWidth, 800);
  EXPECT_EQ(sky.ScreenHeight, 432);
  EXPECT_EQ(sky.Scale, 533);
  // A first run (no saved settings): the ground, names and figures, and the
  // 星名 and 辅助线 buttons look on; the Milky Way is on.
  EXPECT_EQ(sky.ShowFlags, SkyBits::Ground | sky.Mode1 | sky.Mode2 | SkyBits::MilkyWay);
  EXPECT_NE(sky.Mode1 & SkyBits::ConstNames, 0u);
  EXPECT_NE(sky.Mode2 & SkyBits::ConstLines, 0u);
  EXPECT_EQ(sky.GroundOn, 1);
  EXPECT_EQ(sky.NamesOn, 1);
  EXPECT_EQ(sky.LinesOn, 1);
  EXPECT_NE(form_->Interface.Regions[7].State & 2, 0);
  EXPECT_NE(form_->Interface.Regions[10].State & 2, 0);
  EXPECT_EQ(sky.Year, 2026);
  EXPECT_EQ(sky.Hour, 21);
  EXPECT_TRUE(form_->SkyStale);
  EXPECT_TRUE(form_->SplashPending);
  const int layout[9] = {240, 68, 99, 86, 160, 133, 6, 2, 5};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(form_->TextLayout[i], layout[i]) << i;
  EXPECT_EQ(form_->Player.Command, 1001);
  EXPECT_EQ(form_->TextScroll.Interval, 40);  // (20 - speed 0) x 2
}

TEST_F(FormSkyTest, EverySwitchLooksAsWhatItSwitches) {
  TSkyloom& sky = *model_;
  auto looksOn = [this](int command) {
    for (int r = 1; r <= MaxRegions; ++r)
      if (form_->Interface.Regions[r].Command == command) return (form_->Interface.Regions[r].State & 2) != 0;
    ADD_FAILURE() << "no button for " << command;
    return false;
  };
  Frames(1);
  // Started with --names --lines: both drawn, both buttons on.
  sky.NamesOn = sky.LinesOn = 0;
  sky.DeriveShowFlags();
  TOptions options;
  options.Names = options.Lines = true;
  ApplyOptions(options, *form_);
  form_->SkyStale = true;
  Frames(1);
  EXPECT_TRUE(looksOn(102));
  EXPECT_TRUE(looksOn(104));
  // D and F switch them off, and the buttons follow.
  form_->FormKeyDown('D', 0);
  form_->FormKeyDown('F', 0);
  Frames(1);
  EXPECT_EQ(sky.ShowFlags & sky.Mode1, 0u);
  EXPECT_FALSE(looksOn(102));
  EXPECT_FALSE(looksOn(104));
  form_->FormKeyDown('D', 0);
  Frames(1);
  EXPECT_TRUE(looksOn(102));
  // A page that draws no lines: 辅助线 looks off.
  sky.ShowFlags = SkyBits::ConstNames | SkyBits::Ground;
  form_->SkyStale = true;
  Frames(1);
  EXPECT_FALSE(looksOn(104));
  EXPECT_TRUE(looksOn(105));
  // 标签避让 and 真实天空 follow their switches, by key and by click alike.
  for (int command : {1301, 1302}) {
    const bool before = looksOn(command);
    form_->ExecuteCommand(command);
    Frames(1);
    EXPECT_NE(looksOn(command), before) << command;
    form_->ExecuteCommand(command);
    Frames(1);
    EXPECT_EQ(looksOn(command), before) << command;
  }
  EXPECT_EQ(looksOn(1301), sky.LabelPlacement != 0);
  EXPECT_EQ(looksOn(1302), sky.RealisticSky != 0);
}

TEST_F(FormSkyTest, FirstFrameClosesSplashAndClearsStaleSky) {
  Frames(1);
  EXPECT_FALSE(form_->SplashPending);
  EXPECT_FALSE(form_->SkyStale);
  EXPECT_EQ(form_->DXDraw.Frames(), 1);
}

TEST_F(FormSkyTest, HeldArrowsFireUpRightDownLeftInOneFrame) {
  for (SDL_Scancode k : {SDL_SCANCODE_LEFT, SDL_SCANCODE_DOWN, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP})
    form_->DXInput1.KeyEvent(k, true);
  Frames(1);
  EXPECT_EQ(Log(), (std::vector<int>{202, 203, 204, 201}));
}

TEST_F(FormSkyTest, LetterAndKeypadKeysCountAsArrows) {
  struct Case {
    SDL_Scancode Key;
    int Command;
  } cases[] = {{SDL_SCANCODE_K, 202}, {SDL_SCANCODE_KP_8, 202}, {SDL_SCANCODE_J, 204},
               {SDL_SCANCODE_KP_2, 204}, {SDL_SCANCODE_H, 201}, {SDL_SCANCODE_KP_4, 201},
               {SDL_SCANCODE_L, 203}, {SDL_SCANCODE_KP_6, 203}};
  for (const Case& c : cases) {
    form_->CommandLog.clear();
    form_->DXInput1.KeyEvent(c.Key, true);
    Frames(1);
    form_->DXInput1.KeyEvent(c.Key, false);
    EXPECT_EQ(Log(), std::vector<int>{c.Command}) << c.Key;
  }
}

TEST_F(FormSkyTest, SlotWithIntervalSixFirstFiresOnTheSixthFrame) {
  form_->HoverRepeat.Active = true;
  form_->HoverRepeat.Counter = 0;
  form_->HoverRepeat.Interval = 6;
  form_->HoverRepeat.Command = 1003;  // no effect of its own
  Frames(5);
  EXPECT_TRUE(Log().empty());
  Frames(1);
  EXPECT_EQ(Log(), std::vector<int>{1003});
  Frames(6);
  EXPECT_EQ(Log(), (std::vector<int>{1003, 1003}));
}

TEST_F(FormSkyTest, IntervalOneFiresEveryFrame) {
  form_->HoverRepeat = TAutoCommand{true, 1, 1003, 0, 1};
  Frames(3);
  EXPECT_EQ(Log(), (std::vector<int>{1003, 1003, 1003}));
}

TEST_F(FormSkyTest, SingleStepRunsOnePlayerPeriodAndStops) {
  for (int code : {107, 111}) {
    form_->Player.Command = 1003;
    form_->Player.LeadCommand = 0;
    form_->Player.Interval = 3;
    form_->Player.Counter = 0;
    form_->ExecuteCommand(code);
    form_->CommandLog.clear();
    Frames(10);
    EXPECT_EQ(Log(), std::vector<int>{1003}) << code;
    EXPECT_FALSE(form_->Player.Active) << code;
  }
}

TEST_F(FormSkyTest, PlayerDispatchesLeadCommandFirst) {
  form_->Player.Command = 1003;
  form_->Player.LeadCommand = 1004;  // finishes the player
  form_->Player.Interval = 1;
  form_->Player.Counter = 0;
  form_->ExecuteCommand(108);
  form_->CommandLog.clear();
  Frames(2);
  EXPECT_EQ(Log(), (std::vector<int>{1004, 1003}));
  EXPECT_FALSE(form_->Player.Active);
}

TEST_F(FormSkyTest, ViewCommandsWrapAndClamp) {
  TSkyloom& sky = *model_;
  struct Case {
    const char* Name;
    int Code;
    bool Ground;
    double AzBefore, AltBefore;  // degrees
    double AzAfter, AltAfter;
    int Cursor;
  } cases[] = {
      {"201 wraps past 2pi", 201, true, 359, 10, 3, 10, 3},
      {"203 wraps below 0", 203, true, 1, 10, 357, 10, 4},
      {"202 stops at the zenith", 202, true, 0, 88, 0, 90, 1},
      {"204 stops at the horizon with the ground", 204, true, 0, 2, 0, 0, 2},
      {"204 goes below the horizon without ground", 204, false, 0, 2, 0, -2, 2},
      {"204 stops at the nadir without ground", 204, false, 0, -88, 0, -90, 2},
  };
  for (const Case& c : cases) {
    sky.ShowFlags = c.Ground ? SkyBits::Ground : 0;
    sky.ViewAz = c.AzBefore * Deg;
    sky.ViewAlt = c.AltBefore * Deg;
    form_->SkyStale = false;
    EXPECT_TRUE(form_->ExecuteCommand(c.Code));
    EXPECT_NEAR(sky.ViewAz, c.AzAfter * Deg, 1e-12) << c.Name;
    EXPECT_NEAR(sky.ViewAlt, c.AltAfter * Deg, 1e-12) << c.Name;
    EXPECT_TRUE(form_->SkyStale) << c.Name;
    EXPECT_EQ(form_->CursorNumber, c.Cursor) << c.Name;
  }
}

TEST_F(FormSkyTest, LockedViewIgnoresViewCommands) {
  TSkyloom& sky = *model_;
  form_->ViewLocked = true;
  const double az = sky.ViewAz, alt = sky.ViewAlt;
  form_->SkyStale = false;
  for (int code : {201, 202, 203, 204}) EXPECT_TRUE(form_->ExecuteCommand(code));
  EXPECT_EQ(sky.ViewAz, az);
  EXPECT_EQ(sky.ViewAlt, alt);
  EXPECT_FALSE(form_->SkyStale);
}

TEST_F(FormSkyTest, UnknownCodesDoNothingAndQuitEnds) {
  TSkyloom& sky = *model_;
  const double az = sky.ViewAz;
  for (int code : {-5, 12345, 999999}) EXPECT_TRUE(form_->ExecuteCommand(code));
  EXPECT_EQ(sky.ViewAz, az);
  EXPECT_FALSE(form_->Terminated);
  EXPECT_TRUE(form_->ExecuteCommand(303));
  EXPECT_TRUE(form_->Terminated);
}

TEST_F(FormSkyTest, ScriptHoldingLeftForTenFramesTurnsFortyDegrees) {
  TSkyloom& sky = *model_;
  sky.ViewAz = 0;
  std::vector<TScriptStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScript("keydown Left\nwait 10\nkeyup Left\nwait 5\n", steps, error)) << error;
  ASSERT_TRUE(RunScriptSteps(*form_, steps, ""));
  EXPECT_NEAR(sky.ViewAz, 40 * Deg, 1e-9);
}

TEST(ScriptParse, RejectsBadStepsWithTheirLine) {
  struct Case {
    const char* Text;
    const char* Error;
  } cases[] = {
      {"wait 3\nfly 1 2\n", "line 2: unknown step \"fly\""},
      {"key NoSuchKey\n", "line 1: unknown key \"NoSuchKey\""},
      {"click 10\n", "line 1: click takes X Y"},
      {"click 1 2 sideways\n", "line 1: button must be left, right or middle"},
      {"wait -1\n", "line 1: wait takes 0..100000 frames"},
      {"wait 99999999999999999999999\n", "line 1: wait takes 0..100000 frames"},
      {"move 10 99999999999\n", "line 1: bad position"},
      {"shot\n", "line 1: shot takes one file name"},
      // Quoted words are cut and made printable.
      {"fly\x01\x02\n", "line 1: unknown step \"fly??\""},
      {"key KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK\n",
       "line 1: unknown key \"KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK...\""},
  };
  for (const Case& c : cases) {
    std::vector<TScriptStep> steps;
    std::string error;
    EXPECT_FALSE(ParseScript(c.Text, steps, error)) << c.Text;
    EXPECT_EQ(error, c.Error);
  }
  // A NUL byte inside a number and a very long line are refused too.
  for (const std::string& text :
       {std::string("wait 1\0junk\nquit\n", 17), "key " + std::string(1 << 20, 'A') + "\n"}) {
    std::vector<TScriptStep> steps;
    std::string error;
    EXPECT_FALSE(ParseScript(text, steps, error)) << text.substr(0, 20);
    EXPECT_EQ(error.substr(0, 8), "line 1: ");
  }
  std::vector<TScriptStep> steps;
  std::string error;
  EXPECT_TRUE(ParseScript("\xEF\xBB\xBF# a comment\n\nkey R\r\nclick 5 6 right\nquit\n", steps,
                          error));
  EXPECT_EQ(steps.size(), 3u);
  steps.clear();
  EXPECT_TRUE(ParseScript("\xEF\xBB\xBFwait 2\n", steps, error)) << error;
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].Verb, "wait");
}

TEST_F(FormSkyTest, ScriptFilesThatAreNoScriptsAreRefused) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("skyloom-scripts-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream((dir / name).string(), std::ios::binary) << bytes;
    return (dir / name).string();
  };
  // A named pipe nobody writes to must be refused at once, not waited on.
  ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
  struct Case {
    std::string File;
    bool Runs;
    std::string Says;  // the one message, after "skyloom: <dir>/"
  } cases[] = {
      {write("good.txt", "wait 2\n"), true, ""},
      {(dir / "sub").string(), false, "sub: cannot read the script (is a folder)"},
      {write("huge.txt", std::string(2 << 20, '\n')), false,
       "huge.txt: cannot read the script (larger than 1048576 bytes)"},
      {write("junk.bin", std::string("\x89PNG\r\n\x1a\n\xff\0\x01", 11)), false,
       "junk.bin: line 1: unknown step \"?PNG\""},
      {(dir / "missing.txt").string(), false, "missing.txt: cannot read the script (no such file)"},
      {(dir / "pipe.txt").string(), false, "pipe.txt: cannot read the script (not a regular file)"},
  };
  std::filesystem::create_directories(dir / "sub");
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunScript(*form_, c.File), c.Runs) << c.File;
    const std::string said = testing::internal::GetCapturedStderr();
    if (!c.Says.empty()) {
      EXPECT_EQ(said, "skyloom: " + dir.string() + "/" + c.Says + "\n");
    }
  }
  std::filesystem::remove_all(dir);
}

TEST_F(FormSkyTest, LosingTheFocusPausesFramesAndMinimisesOnlyInFullScreen) {
  auto focus = [&](bool gained) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    HandleEvent(*form_, e, true);
  };
  struct Case {
    bool Windowed;
    bool Minimised;
  } cases[] = {{true, false}, {false, true}};
  for (const Case& c : cases) {
    form_->Windowed = c.Windowed;
    form_->Minimized = false;
    focus(false);
    EXPECT_EQ(form_->Minimized, c.Minimised) << c.Windowed;
    const long frames = form_->DXDraw.Frames();
    TFrameLoop loop;
    for (int i = 0; i < 2; ++i) loop.Step(*form_);
    EXPECT_EQ(form_->DXDraw.Frames(), frames) << "frames drawn while inactive";
    focus(true);
    EXPECT_TRUE(form_->DXTimer1Enabled && form_->ApplicationActive) << c.Windowed;
    EXPECT_FALSE(form_->DXDraw.FlipOption()) << c.Windowed;
    for (int i = 0; i < 50 && form_->DXDraw.Frames() == frames; ++i)
      loop.Step(*form_);
    EXPECT_GT(form_->DXDraw.Frames(), frames) << "no frames after the focus came back";
  }
}

// Full screen switched on while running draws at the display's own size,
// the sky area following; switched off, the window's stage size comes back.
TEST_F(FormSkyTest, FullScreenDrawsAtTheDisplaysOwnSize) {
  int dw = 0, dh = 0;
  if (!TDXDraw::DesktopSize(dw, dh)) GTEST_SKIP() << "no display size in this run";
  form_->ApplyFullScreen(true);
  Frames(1);
  EXPECT_EQ(form_->DXDraw.Width(), std::clamp(dw, MinStageWidth, MaxStageWidth));
  EXPECT_EQ(form_->DXDraw.Height(), std::clamp(dh, MinStageHeight, MaxStageHeight));
  EXPECT_EQ(model_->ScreenWidth, form_->DXDraw.Width());
  // The panel's 168 units at the interface scale of the display's size.
  EXPECT_EQ(form_->Layout.Scale, AutoInterfaceScale(form_->DXDraw.Width(), form_->DXDraw.Height()));
  EXPECT_EQ(model_->ScreenHeight, form_->DXDraw.Height() - form_->Layout.Length(168));
  EXPECT_EQ(model_->CenterX, form_->DXDraw.Width() / 2);
  form_->ApplyFullScreen(false);
  Frames(1);
  EXPECT_EQ(form_->DXDraw.Width(), 800);
  EXPECT_EQ(form_->DXDraw.Height(), 600);
  EXPECT_EQ(model_->ScreenWidth, 800);
  EXPECT_EQ(model_->ScreenHeight, 432);
  EXPECT_EQ(model_->Scale, 533);
}

TEST(WindowPlacement, CentredUnlessTheDesktopIsExactly800Wide) {
  struct Case {
    int W, H;
    bool Ok;
    int Left, Top;
  } cases[] = {{800, 600, true, 0, 0}, {1024, 768, true, 112, 84}, {1920, 1080, true, 560, 240},
               {801, 600, true, 0, 0}, {799, 600, false, -1, -1}, {640, 480, false, -1, -1}};
  for (const Case& c : cases) {
    int left = -1, top = -1;
    EXPECT_EQ(PlaceMainWindow(c.W, c.H, left, top), c.Ok) << c.W;
    EXPECT_EQ(left, c.Left) << c.W;
    EXPECT_EQ(top, c.Top) << c.W;
  }
}

}  // namespace

namespace {

// A script's frames through the form's own frame loop: how many ticks it
// ran and how many frames it presented.
struct ScriptRun {
  int Ticks = 0;
  long Presented = 0;
};

ScriptRun RunCounted(TFormSky& form, const std::string& text) {
  std::vector<TScriptStep> steps;
  std::string error;
  EXPECT_TRUE(ParseScript(text, steps, error)) << error;
  TScriptRunner runner(steps, "");
  TFrameLoop loop;
  loop.SetSource(&runner);
  const long before = form.DXDraw.Frames();
  ScriptRun run;
  while (loop.Step(form)) ++run.Ticks;
  run.Presented = form.DXDraw.Frames() - before;
  return run;
}

}  // namespace

TEST_F(FormSkyTest, StillFramesAreSkippedAndTheShownPictureIsAFullRedraw) {
  // Still, turning, still, pointer moves, still: every tick runs, only the
  // frames whose picture can have changed are drawn and presented.
  const ScriptRun run = RunCounted(
      *form_, "wait 5\nkeydown Left\nwait 3\nkeyup Left\nwait 5\nmove 300 200\nwait 1\n"
              "move 310 200\nwait 6\n");
  EXPECT_EQ(run.Ticks, 20);
  // The first frame, three turning frames, the frame after the release
  // (its command changed the cursor), two pointer frames.
  EXPECT_LE(run.Presented, 8);
  EXPECT_GE(run.Presented, 6);
  // What the window shows after the skipped frames is what drawing now gives.
  const std::vector<uint16_t> shown(form_->DXDraw.Buffer().Pixels(),
                                    form_->DXDraw.Buffer().Pixels() + 800 * 600);
  form_->DrawFrame();
  const std::vector<uint16_t> redrawn(form_->DXDraw.Buffer().Pixels(),
                                      form_->DXDraw.Buffer().Pixels() + 800 * 600);
  EXPECT_TRUE(shown == redrawn) << "the last presented frame differs from a full redraw";
}

TEST_F(FormSkyTest, DrawingEveryFrameGivesTheSamePictureAsSkipping) {
  const std::string script = "keydown Right\nwait 4\nkeyup Right\nwait 7\nmove 50 60\nwait 3\n";
  const double az = model_->ViewAz;
  RunCounted(*form_, script);
  std::vector<uint32_t> skipped, every;
  ASSERT_TRUE(form_->DXDraw.Capture(skipped));
  // The same again from the same view, drawing every tick.
  model_->ViewAz = az;
  form_->SkyStale = true;
  form_->DrawEveryFrame = true;
  const ScriptRun all = RunCounted(*form_, script);
  EXPECT_EQ(all.Presented, all.Ticks);
  ASSERT_TRUE(form_->DXDraw.Capture(every));
  EXPECT_TRUE(every == skipped);
}

TEST_F(FormSkyTest, AShotBeforeAnyFrameRunsOneFrameFirst) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("skyloom-shot-" + std::to_string(getpid()) + ".png");
  const ScriptRun run = RunCounted(*form_, "shot " + file.string() + "\n");
  EXPECT_EQ(run.Presented, 1);
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  std::filesystem::remove(file);
}

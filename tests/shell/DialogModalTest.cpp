// The dialogs in the running program without a window: opening one returns
// at once, the frames go on drawing with the dialog on top, Esc cancels,
// Enter confirms, a typed error keeps the dialog open, what follows from a
// dialog runs in the frame after it closed, and pictures of each dialog are
// kept under the build folder for a person to look at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <SDL.h>
#include <imgui.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "Application.h"
#include "CityTable.h"
#include "CommandCodes.h"
#include "DialogEntry.h"
#include "DialogSet.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "GlobalParams.h"
#include "Lecture.h"
#include "ModalForm.h"
#include "ShowModal.h"
#include "SkyModel.h"

namespace {

constexpr double Deg = M_PI / 180.0;

const std::string ShotFolder = std::string(SKYLOOM_BINARY_DIR) + "/tests/dialogs_shots";

class DialogModalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::chdir(SKYLOOM_RUNTIME_DIR), 0);
    std::filesystem::create_directories(ShotFolder);
    model_ = CreateSkyModel(20260115);
    form_ = std::make_unique<TFormSky>(*model_);
    form_->FixedNow = true;
    form_->Now = {2026, 1, 15, 21, 0};
    form_->FormCreate();
    form_->FormShow();
    form_->DXDrawInitialize();
  }
  void TearDown() override {
    CloseAllDialogs(*form_);
    form_.reset();
    model_.reset();
  }

  // Runs the frames while a dialog is open: before frame n (counted from
  // 1) the events of script[n] are fed through the program's event door.
  // Stops after the frame that ran what follows from the last dialog, or
  // after `limit` frames, when the dialogs still open are closed as the end
  // of a run closes them. closedAt_ is the last frame a dialog closed in.
  void Drive(std::map<int, std::vector<SDL_Event>> script, int limit = 60) {
    frames_ = closedAt_ = 0;
    while (frames_ < limit && !form_->DialogStack.Empty()) {
      ++frames_;
      if (auto it = script.find(frames_); it != script.end())
        for (const SDL_Event& e : it->second) HandleEvent(*form_, e, false);
      RunFrame(*form_);
      EXPECT_EQ(form_->FrameDepth, 0);
      if (onFrame_) onFrame_(frames_);
      if (form_->DialogStack.TopClosed()) closedAt_ = frames_;
    }
    CloseAllDialogs(*form_);
  }
  // Opens the settings; `applied_` holds the answer once they closed.
  void OpenSettings() {
    applied_.reset();
    RunConfigDialog(*form_, [this](bool applied) { applied_ = applied; });
  }
  static std::vector<SDL_Event> Key(SDL_Scancode code) {
    std::vector<SDL_Event> out;
    for (bool down : {true, false}) {
      SDL_Event e{};
      e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
      e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
      e.key.keysym.scancode = code;
      e.key.keysym.sym = SDL_GetKeyFromScancode(code);
      out.push_back(e);
    }
    return out;
  }
  void Shot(const std::string& name) {
    std::string error;
    EXPECT_TRUE(form_->DXDraw.SaveScreenshot(ShotFolder + "/" + name, error)) << error;
  }
  // Share of the picture's pixels that differ from the stage alone.
  double Covered() {
    std::vector<uint32_t> seen;
    EXPECT_TRUE(form_->DXDraw.Capture(seen));
    TBackBuffer& b = form_->DXDraw.Buffer();
    size_t differ = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        const uint16_t p = b.Pixels()[size_t(y) * b.Width() + x];
        const uint32_t r = ((p >> 11) & 31) * 255 / 31, g = ((p >> 5) & 63) * 255 / 63,
                       bl = (p & 31) * 255 / 31;
        const uint32_t s = seen[size_t(y) * b.Width() + x];
        const int dr = int((s >> 16) & 255) - int(r), dg = int((s >> 8) & 255) - int(g),
                  db = int(s & 255) - int(bl);
        if (std::abs(dr) + std::abs(dg) + std::abs(db) > 24) ++differ;
      }
    return double(differ) / (double(b.Width()) * b.Height());
  }

  // The rectangle of the picture the overlay changed (the open dialog's
  // window): left, top, width, height in stage pixels; all 0 for none.
  std::array<int, 4> OverlayBox() {
    std::vector<uint32_t> seen;
    EXPECT_TRUE(form_->DXDraw.Capture(seen));
    TBackBuffer& b = form_->DXDraw.Buffer();
    int left = b.Width(), top = b.Height(), right = -1, bottom = -1;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        const uint16_t p = b.Pixels()[size_t(y) * b.Width() + x];
        const uint32_t s = seen[size_t(y) * b.Width() + x];
        const int dr = int((s >> 16) & 255) - int(((p >> 11) & 31) * 255 / 31),
                  dg = int((s >> 8) & 255) - int(((p >> 5) & 63) * 255 / 63),
                  db = int(s & 255) - int((p & 31) * 255 / 31);
        if (std::abs(dr) + std::abs(dg) + std::abs(db) <= 24) continue;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    if (right < 0) return {0, 0, 0, 0};
    return {left, top, right - left + 1, bottom - top + 1};
  }

  std::unique_ptr<TSkyloom> model_;  // made before the form, freed after it

  std::unique_ptr<TFormSky> form_;
  int frames_ = 0, closedAt_ = 0;
  std::optional<bool> applied_;
  std::function<void(int)> onFrame_;
};

TEST_F(DialogModalTest, OpeningReturnsAtOnceAndTheEndOfARunCancels) {
  const int before = model_->Year;
  OpenSettings();
  // Open, with nothing decided yet and no frame run.
  EXPECT_EQ(form_->DialogStack.Size(), 1u);
  ASSERT_TRUE(form_->DialogStack.Top()->IsOpen());
  EXPECT_FALSE(applied_.has_value());
  EXPECT_EQ(form_->FrameDepth, 0);
  // The run ends: the dialog is cancelled and what follows from it runs.
  CloseAllDialogs(*form_);
  EXPECT_TRUE(form_->DialogStack.Empty());
  ASSERT_TRUE(applied_.has_value());
  EXPECT_FALSE(*applied_);
  EXPECT_EQ(model_->Year, before);
}

TEST_F(DialogModalTest, FramesGoOnBehindTheSettingsAndEscCancels) {
  const long framesBefore = form_->DXDraw.Frames();
  double covered = 0;
  onFrame_ = [&](int n) {
    if (n == 5) {
      covered = Covered();
      Shot("settings_time.png");
    }
  };
  model_->Latitude = 10 * Deg;
  OpenSettings();
  Drive({{8, Key(SDL_SCANCODE_ESCAPE)}});
  EXPECT_EQ(applied_, false);
  EXPECT_EQ(closedAt_, 8);
  EXPECT_EQ(frames_, 9);  // the frame after it ran what follows
  EXPECT_GE(form_->DXDraw.Frames() - framesBefore, 2);
  EXPECT_GT(covered, 0.15);  // the dialog is on the picture
  EXPECT_LT(covered, 0.60);  // and the sky around it
  EXPECT_DOUBLE_EQ(model_->Latitude, 10 * Deg);
  // After it the stage is seen alone again.
  RunFrame(*form_);
  EXPECT_LT(Covered(), 0.01);
}

// A dialog that sits idle costs no drawing: after it has settled, ticks
// present nothing until a key, a click or a change of the picture; then it
// is drawn again and settles again.
TEST_F(DialogModalTest, AnIdleDialogIsNotDrawnAgain) {
  std::map<int, long> presented;
  onFrame_ = [&](int n) { presented[n] = form_->DXDraw.Frames(); };
  SDL_Event move{};
  move.type = SDL_MOUSEMOTION;
  move.motion.x = 400;
  move.motion.y = 300;
  OpenSettings();
  Drive({{30, Key(SDL_SCANCODE_TAB)}, {45, {move}}, {60, Key(SDL_SCANCODE_ESCAPE)}}, 61);
  EXPECT_EQ(applied_, false);
  EXPECT_EQ(closedAt_, 60);
  EXPECT_EQ(presented[29] - presented[10], 0) << "an idle dialog was drawn again";
  EXPECT_GE(presented[31] - presented[29], 1) << "a key did not draw the dialog";
  EXPECT_EQ(presented[44] - presented[35], 0);
  EXPECT_GE(presented[46] - presented[44], 1) << "the pointer did not draw the dialog";
  EXPECT_EQ(presented[59] - presented[50], 0);
}

TEST_F(DialogModalTest, EnterConfirmsTheSettings) {
  model_->City = 0;
  model_->Year = 2026;
  OpenSettings();
  Drive({{4, Key(SDL_SCANCODE_RETURN)}});
  EXPECT_EQ(applied_, true);
  EXPECT_EQ(closedAt_, 4);
}

TEST_F(DialogModalTest, AFailedSaveIsShownAndChangesNoFile) {
  // The settings folder cannot be made: a file stands in its place.
  const std::string config = std::string(SKYLOOM_BINARY_DIR) + "/tests/dialogs_blocked_config";
  std::filesystem::remove_all(config);
  std::filesystem::create_directories(config);
  { std::ofstream(config + "/skyloom") << "not a folder"; }
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string keep = old ? old : "";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  model_->SettingsReadOnly = false;
  int messageFrames = 0;
  onFrame_ = [&](int n) {
    if (n == 1) form_->Dialogs->Config.CheckBoxSave = true;
    // The message box over the stage, alone, once the settings closed.
    if (form_->DialogStack.Size() == 1 && !form_->Dialogs->Config.Open &&
        form_->DialogStack.Top()->IsOpen()) {
      ++messageFrames;
      if (messageFrames == 3) Shot("save_failed.png");
    }
  };
  OpenSettings();
  Drive({{3, Key(SDL_SCANCODE_RETURN)}, {8, Key(SDL_SCANCODE_RETURN)}});
  EXPECT_EQ(applied_, true);  // the settings apply; only the save failed
  EXPECT_EQ(closedAt_, 8);
  EXPECT_GE(messageFrames, 4);
  std::ifstream in(config + "/skyloom");
  std::string kept;
  std::getline(in, kept);
  EXPECT_EQ(kept, "not a folder");
  if (old) setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
}

TEST_F(DialogModalTest, EveryPageOfTheSettingsIsDrawn) {
  ASSERT_GT(model_->CityTable.CityCount, 700);
  model_->City = 2;
  // Three frames on each page, chosen through the dialog's state as a click
  // on the page's tab would; a picture of each.
  onFrame_ = [&](int n) {
    if (n % 3 == 0) Shot("settings_page" + std::to_string(n / 3) + ".png");
    form_->Dialogs->Config.PageControl1 = std::min(n / 3, 4);
    form_->Invalidate();  // as the click on the tab does: the dialog is drawn again
  };
  OpenSettings();
  Drive({}, 15);
  EXPECT_EQ(frames_, 15);
  EXPECT_EQ(applied_, false);  // still open at the end: cancelled
}

TEST_F(DialogModalTest, HelpAndAboutAreDrawnAndClose) {
  onFrame_ = [&](int n) {
    if (n == 4) Shot("help.png");
    if (n == 9) {
      Shot("help_topic3.png");
      EXPECT_EQ(form_->Dialogs->Help->Selected, 2);
    }
  };
  RunHelpDialog(*form_);
  Drive({{6, Key(SDL_SCANCODE_DOWN)}, {8, Key(SDL_SCANCODE_DOWN)}, {10, Key(SDL_SCANCODE_ESCAPE)}});
  EXPECT_EQ(closedAt_, 10);

  double covered = 0;
  onFrame_ = [&](int n) {
    if (n == 3) {
      covered = Covered();
      Shot("about.png");
    }
  };
  RunAboutDialog(*form_);
  Drive({{5, Key(SDL_SCANCODE_RETURN)}});
  EXPECT_EQ(closedAt_, 5);
  EXPECT_GT(covered, 0.15);
}

// Every dialog follows the interface scale: on a 1920x1080 stage at 1.75
// (and 1280x800 at 1.25) its window on the picture is its size at scale 1
// times the scale, centred and inside the stage; at 800x600 it keeps its
// size at scale 1. Pictures of each are kept.
TEST_F(DialogModalTest, EveryDialogGrowsWithTheInterfaceScale) {
  struct TStage {
    int Width, Height;
    double Scale;
  };
  struct TDialog {
    const char* Name;
    int Width, Height;  // at scale 1
    std::function<void()> Open;
  };
  const std::vector<TDialog> dialogs = {
      {"settings", 440, 292, [this] { OpenSettings(); }},
      {"help", 660, 460, [this] { RunHelpDialog(*form_); }},
      {"about", 453, 289, [this] { RunAboutDialog(*form_); }},
      {"star_tool", 560, 400, [this] { form_->ExecuteCommand(Cmd::StarTool); }},
      {"record", 520, 360, [this] { RunRecordDialog(*form_, "冬季星空.shw"); }},
  };
  for (const TStage& stage : {TStage{1920, 1080, 1.75}, TStage{1280, 800, 1.25},
                              TStage{800, 600, 1.0}}) {
    model_->InterfaceScale = stage.Scale;
    form_->SizeStage(stage.Width, stage.Height);
    ASSERT_DOUBLE_EQ(form_->Layout.Scale, stage.Scale);
    for (const TDialog& d : dialogs) {
      const std::string name = std::string(d.Name) + "_" + std::to_string(stage.Width) + "x" +
                               std::to_string(stage.Height);
      SCOPED_TRACE(name);
      std::array<int, 4> box{};
      onFrame_ = [&](int n) {
        if (n != 4) return;
        box = OverlayBox();
        Shot("scaled_" + name + ".png");
        EXPECT_FLOAT_EQ(form_->ImGuiHost.Scale(), float(stage.Scale));
      };
      d.Open();
      Drive({{6, Key(SDL_SCANCODE_ESCAPE)}}, 8);
      const int w = int(std::lround(d.Width * stage.Scale)),
                h = int(std::lround(d.Height * stage.Scale));
      EXPECT_NEAR(box[2], w, 2);
      EXPECT_NEAR(box[3], h, 2);
      EXPECT_NEAR(box[0], (stage.Width - w) / 2, 2);
      EXPECT_NEAR(box[1], (stage.Height - h) / 2, 2);
      EXPECT_LE(box[0] + box[2], stage.Width);
      EXPECT_LE(box[1] + box[3], stage.Height);
    }
  }
}

// A scale typed into the settings' 缩放 field takes effect when they
// close: the next dialog is drawn with the fonts rebuilt at that scale, and
// 1 brings back the dialogs' size at scale 1.
TEST_F(DialogModalTest, TheScaleChosenInTheSettingsRebuildsTheDialogs) {
  model_->InterfaceScale = 1;
  form_->SizeStage(1920, 1080);
  ASSERT_DOUBLE_EQ(form_->Layout.Scale, 1.0);
  for (const char* typed : {"1.75", "1"}) {
    SCOPED_TRACE(typed);
    const float before = form_->ImGuiHost.Scale();
    std::array<int, 4> box{};
    onFrame_ = [&](int n) {
      if (n == 3) {
        box = OverlayBox();
        form_->Dialogs->Config.EditScale = typed;
      }
    };
    OpenSettings();
    Drive({{5, Key(SDL_SCANCODE_RETURN)}});
    ASSERT_EQ(applied_, true);
    EXPECT_NEAR(box[2], std::lround(440 * before), 2);
    const double now = std::atof(typed);
    EXPECT_DOUBLE_EQ(form_->Layout.Scale, now);
    onFrame_ = [&](int n) {
      if (n == 3) box = OverlayBox();
    };
    RunHelpDialog(*form_);
    Drive({{5, Key(SDL_SCANCODE_ESCAPE)}});
    EXPECT_FLOAT_EQ(form_->ImGuiHost.Scale(), float(now));
    EXPECT_NEAR(box[2], std::lround(660 * now), 2);
    EXPECT_NEAR(box[3], std::lround(460 * now), 2);
    EXPECT_NEAR(ImGui::GetFontSize(), std::round(12 * now), 0.01);
  }
}

}  // namespace

TEST_F(DialogModalTest, TheStarToolsFindSetsOffAtOnceAndArrives) {
  // 火星 on the object page with "自动找到：", confirmed through the
  // dispatcher as V and a click on "确定" do; nothing else is pressed.
  form_->ViewLocked = true;  // a show was playing
  onFrame_ = [&](int n) {
    TFormStarTool& tool = *form_->Dialogs->StarTool;
    if (n == 3) {
      tool.ActivePage = 1;  // the tab the view shows is the one a click chose
      for (size_t row = 0; row < tool.ListViewConst.size(); ++row)
        if (tool.ListViewConst[row].Id == 105) tool.ListViewConstClick(static_cast<int>(row));
      tool.RadioButtonMoveClick();
      EXPECT_EQ(tool.SelectedId, 105);
      tool.Button1Click();
    }
  };
  form_->ExecuteCommand(106);
  Drive({}, 10);
  EXPECT_EQ(closedAt_, 3);
  EXPECT_EQ(form_->PlayMode, 2);
  EXPECT_TRUE(form_->Player.Active);
  EXPECT_TRUE(form_->Playing);
  EXPECT_EQ(form_->Player.LeadCommand, 1002);
  EXPECT_FALSE(form_->ViewLocked);
  const double startAz = model_->ViewAz, startAlt = model_->ViewAlt;
  int frames = 0;
  while (form_->Player.Active && frames < 200) {
    RunFrame(*form_);
    ++frames;
  }
  EXPECT_FALSE(form_->Player.Active) << "still travelling after " << frames << " frames";
  EXPECT_TRUE(model_->ViewAz != startAz || model_->ViewAlt != startAlt);
  // Arrived: the view looks at Mars itself.
  form_->AimAt(105);
  const double az = std::atan2(model_->TrackY, model_->TrackX);
  const double alt = std::atan2(model_->TrackZ, std::hypot(model_->TrackX, model_->TrackY));
  EXPECT_LT(std::fabs(std::remainder(az - model_->ViewAz, 2 * M_PI)), 0.01 * Deg);
  EXPECT_LT(std::fabs(model_->ViewAlt - alt), 0.01 * Deg);
}

TEST_F(DialogModalTest, TheStarToolsShowPlaysOnConfirm) {
  onFrame_ = [&](int n) {
    TFormStarTool& tool = *form_->Dialogs->StarTool;
    if (n == 3) {
      tool.ActivePage = 0;
      for (size_t row = 0; row < tool.ListBox1.size(); ++row)
        if (tool.ListBox1[row] == "冬季星空") tool.ListBox1Click(static_cast<int>(row));
      ASSERT_EQ(tool.ShowFile, "冬季星空.shw");
      tool.Button1Click();
    }
  };
  form_->ExecuteCommand(106);
  Drive({}, 10);
  EXPECT_EQ(closedAt_, 3);
  EXPECT_EQ(form_->PlayMode, 1);
  EXPECT_TRUE(form_->Player.Active) << "the show waits for A instead of playing";
  EXPECT_TRUE(form_->Playing);
  const int page = form_->Lecture.Current;
  for (int i = 0; i < 400; ++i) RunFrame(*form_);
  EXPECT_GT(form_->Lecture.Current, page) << "the show did not go on by itself";
}

namespace {

// A dialog that writes down how deep the frames are while it is drawn, and
// closes itself after `frames` frames.
class TDepthProbe : public TModalForm {
 public:
  TDepthProbe(const TFormSky& form, int frames, int& deepest)
      : form_(form), left_(frames), deepest_(deepest) {}
  bool IsOpen() const override { return left_ > 0; }
  void DrawView() override {
    deepest_ = std::max(deepest_, form_.FrameDepth);
    --left_;
  }
  void CloseByHost() override { left_ = 0; }

 private:
  const TFormSky& form_;
  int left_;
  int& deepest_;
};

// Where a playing show stands: its page, the page's wait and glides, the
// clock and the view it has set.
std::vector<double> ShowPlace(const TFormSky& form) {
  const TSkyloom& s = form.Sky;
  return {double(form.Lecture.Current), double(form.Lecture.Wait), double(form.Lecture.GlideTicks),
          double(form.Player.Counter), double(s.Year), double(s.Month), double(s.Day),
          double(s.Hour), double(s.Minute), double(s.Second), s.ViewAz, s.ViewAlt};
}

}  // namespace

// The star tool opened over a playing show: its command returns with
// the dialog open, every frame runs alone (one deep, also while a second
// dialog opens over the first and when what follows from them runs), the
// show stands still while a dialog is open and goes on from where it stood.
TEST_F(DialogModalTest, FramesStayFlatAndAShowWaitsForTheDialog) {
  ASSERT_TRUE(form_->PlayShowFile("冬季星空.shw", true));
  for (int i = 0; i < 40; ++i) RunFrame(*form_);
  ASSERT_TRUE(form_->Player.Active);
  form_->ExecuteCommand(Cmd::StarTool);  // as its key V does, between frames
  ASSERT_EQ(form_->DialogStack.Size(), 1u) << "the command did not return at once";
  EXPECT_EQ(form_->FrameDepth, 0);
  const std::vector<double> where = ShowPlace(*form_);

  int deepest = 0, probeClosedAtDepth = -1;
  bool stood = true;
  onFrame_ = [&](int n) {
    if (n == 3) {
      // A second dialog over the star tool, opened between frames.
      OpenDialog(*form_, std::make_unique<TDepthProbe>(*form_, 4, deepest),
                 [&] { probeClosedAtDepth = form_->FrameDepth; });
      EXPECT_EQ(form_->DialogStack.Size(), 2u);
    }
    if (!form_->DialogStack.Empty()) stood = stood && ShowPlace(*form_) == where;
  };
  Drive({{12, Key(SDL_SCANCODE_ESCAPE)}}, 40);
  // Esc closes the star tool (its window takes the key once it is the
  // focused one again, a frame after the probe over it went).
  EXPECT_GE(closedAt_, 12);
  EXPECT_LE(closedAt_, 13);
  EXPECT_TRUE(form_->DialogStack.Empty());
  EXPECT_EQ(deepest, 1) << "the probe was not drawn inside exactly one frame";
  EXPECT_EQ(probeClosedAtDepth, 1) << "what follows a dialog runs outside the frame";
  EXPECT_TRUE(stood) << "the show moved while a dialog was open";
  EXPECT_TRUE(form_->Player.Active);
  EXPECT_EQ(form_->PlayMode, 1);
  // The show goes on from the page it stood on.
  const int page = static_cast<int>(where[0]);
  int frames = 0;
  while (form_->Lecture.Current == page && frames++ < 5000) RunFrame(*form_);
  EXPECT_EQ(form_->Lecture.Current, page + 1);
}

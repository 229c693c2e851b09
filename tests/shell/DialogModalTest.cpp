// The modal dialogs in the running program without a window: the nested
// loop keeps drawing frames with the dialog on top, Esc cancels, Enter
// confirms, a typed error keeps the dialog open, and pictures of each
// dialog are kept under the build folder for a person to look at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <SDL.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <vector>

#include "Application.h"
#include "CityTable.h"
#include "DialogEntry.h"
#include "DialogSet.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "GlobalParams.h"
#include "Lecture.h"
#include "SkyModel.h"

namespace {

constexpr double Deg = M_PI / 180.0;

const std::string ShotFolder = std::string(SKYLOOM_BINARY_DIR) + "/tests/dialogs_shots";

class DialogModalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::chdir(SKYLOOM_RUNTIME_DIR), 0);
    std::filesystem::create_directories(ShotFolder);
    CreateSkyModel(20260115);
    form_ = std::make_unique<TFormSky>();
    form_->FixedNow = true;
    form_->Now = {2026, 1, 15, 21, 0};
    form_->FormCreate();
    form_->FormShow();
    form_->DXDrawInitialize();
  }
  void TearDown() override {
    form_->NextFrame = nullptr;
    form_.reset();
    FreeSkyModel();
  }

  // Drives the nested loop: before frame n (counted from 1) the events of
  // script[n] are fed through the program's event door; at most `limit`
  // frames.
  void Drive(std::map<int, std::vector<SDL_Event>> script, int limit = 60) {
    frames_ = 0;
    form_->NextFrame = [this, script, limit] {
      ++frames_;
      if (auto it = script.find(frames_); it != script.end())
        for (const SDL_Event& e : it->second) HandleEvent(*form_, e, false);
      RunFrame(*form_);
      if (onFrame_) onFrame_(frames_);
      return frames_ < limit;
    };
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

  std::unique_ptr<TFormSky> form_;
  int frames_ = 0;
  std::function<void(int)> onFrame_;
};

TEST_F(DialogModalTest, WithoutALoopTheDialogClosesAtOnce) {
  ASSERT_FALSE(form_->NextFrame);
  const int before = SkyModel->Year;
  EXPECT_FALSE(RunConfigDialog(*form_));
  EXPECT_EQ(SkyModel->Year, before);
  EXPECT_EQ(form_->ModalDepth, 0);
  EXPECT_FALSE(form_->DialogView);
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
  SkyModel->Latitude = 10 * Deg;
  Drive({{8, Key(SDL_SCANCODE_ESCAPE)}});
  EXPECT_FALSE(RunConfigDialog(*form_));
  EXPECT_EQ(frames_, 8);
  EXPECT_GE(form_->DXDraw.Frames() - framesBefore, 2);
  EXPECT_GT(covered, 0.15);  // the dialog is on the picture
  EXPECT_LT(covered, 0.60);  // and the sky around it
  EXPECT_DOUBLE_EQ(SkyModel->Latitude, 10 * Deg);
  EXPECT_EQ(form_->ModalDepth, 0);
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
  Drive({{30, Key(SDL_SCANCODE_TAB)}, {45, {move}}, {60, Key(SDL_SCANCODE_ESCAPE)}}, 60);
  EXPECT_FALSE(RunConfigDialog(*form_));
  EXPECT_EQ(frames_, 60);
  EXPECT_EQ(presented[29] - presented[10], 0) << "an idle dialog was drawn again";
  EXPECT_GE(presented[31] - presented[29], 1) << "a key did not draw the dialog";
  EXPECT_EQ(presented[44] - presented[35], 0);
  EXPECT_GE(presented[46] - presented[44], 1) << "the pointer did not draw the dialog";
  EXPECT_EQ(presented[59] - presented[50], 0);
  EXPECT_EQ(form_->ModalDepth, 0);
}

TEST_F(DialogModalTest, EnterConfirmsTheSettings) {
  SkyModel->City = 0;
  SkyModel->Year = 2026;
  Drive({{4, Key(SDL_SCANCODE_RETURN)}});
  EXPECT_TRUE(RunConfigDialog(*form_));
  EXPECT_EQ(frames_, 4);
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
  SkyModel->SettingsReadOnly = false;
  int messageFrames = 0;
  onFrame_ = [&](int n) {
    if (n == 1) form_->Dialogs->Config.CheckBoxSave = true;
    if (form_->ModalDepth == 1 && !form_->Dialogs->Config.Open) {
      ++messageFrames;  // the message box over the stage
      if (messageFrames == 3) Shot("save_failed.png");
    }
  };
  Drive({{3, Key(SDL_SCANCODE_RETURN)}, {8, Key(SDL_SCANCODE_RETURN)}});
  EXPECT_TRUE(RunConfigDialog(*form_));  // the settings apply; only the save failed
  EXPECT_EQ(frames_, 8);
  EXPECT_GE(messageFrames, 4);
  EXPECT_EQ(form_->ModalDepth, 0);
  std::ifstream in(config + "/skyloom");
  std::string kept;
  std::getline(in, kept);
  EXPECT_EQ(kept, "not a folder");
  if (old) setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
}

TEST_F(DialogModalTest, EveryPageOfTheSettingsIsDrawn) {
  ASSERT_GT(SkyModel->CityTable.CityCount, 700);
  SkyModel->City = 2;
  // Three frames on each page, chosen through the dialog's state as a click
  // on the page's tab would; a picture of each.
  onFrame_ = [&](int n) {
    if (n % 3 == 0) Shot("settings_page" + std::to_string(n / 3) + ".png");
    form_->Dialogs->Config.PageControl1 = std::min(n / 3, 4);
  };
  Drive({}, 15);
  RunConfigDialog(*form_);
  EXPECT_EQ(frames_, 15);
}

TEST_F(DialogModalTest, HelpAndAboutAreDrawnAndClose) {
  Drive({{6, Key(SDL_SCANCODE_DOWN)}, {8, Key(SDL_SCANCODE_DOWN)}, {10, Key(SDL_SCANCODE_ESCAPE)}});
  onFrame_ = [&](int n) {
    if (n == 4) Shot("help.png");
    if (n == 9) {
      Shot("help_topic3.png");
      EXPECT_EQ(form_->Dialogs->Help->Selected, 2);
    }
  };
  RunHelpDialog(*form_);
  EXPECT_EQ(frames_, 10);

  double covered = 0;
  onFrame_ = [&](int n) {
    if (n == 3) {
      covered = Covered();
      Shot("about.png");
    }
  };
  Drive({{5, Key(SDL_SCANCODE_RETURN)}});
  RunAboutDialog(*form_);
  EXPECT_EQ(frames_, 5);
  EXPECT_GT(covered, 0.15);
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
  Drive({}, 10);
  form_->ExecuteCommand(106);
  form_->NextFrame = nullptr;
  EXPECT_EQ(form_->PlayMode, 2);
  EXPECT_TRUE(form_->Player.Active);
  EXPECT_TRUE(form_->Playing);
  EXPECT_EQ(form_->Player.LeadCommand, 1002);
  EXPECT_FALSE(form_->ViewLocked);
  const double startAz = SkyModel->ViewAz, startAlt = SkyModel->ViewAlt;
  int frames = 0;
  while (form_->Player.Active && frames < 200) {
    RunFrame(*form_);
    ++frames;
  }
  EXPECT_FALSE(form_->Player.Active) << "still travelling after " << frames << " frames";
  EXPECT_TRUE(SkyModel->ViewAz != startAz || SkyModel->ViewAlt != startAlt);
  // Arrived: the view looks at Mars itself.
  form_->AimAt(105);
  const double az = std::atan2(SkyModel->TrackY, SkyModel->TrackX);
  const double alt = std::atan2(SkyModel->TrackZ, std::hypot(SkyModel->TrackX, SkyModel->TrackY));
  EXPECT_LT(std::fabs(std::remainder(az - SkyModel->ViewAz, 2 * M_PI)), 0.01 * Deg);
  EXPECT_LT(std::fabs(SkyModel->ViewAlt - alt), 0.01 * Deg);
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
  Drive({}, 10);
  form_->ExecuteCommand(106);
  form_->NextFrame = nullptr;
  EXPECT_EQ(form_->PlayMode, 1);
  EXPECT_TRUE(form_->Player.Active) << "the show waits for A instead of playing";
  EXPECT_TRUE(form_->Playing);
  const int page = Lecture.Current;
  for (int i = 0; i < 400; ++i) RunFrame(*form_);
  EXPECT_GT(Lecture.Current, page) << "the show did not go on by itself";
}

// Every shipped show played through the dispatcher as the frame loop plays
// it: started as the star tool or --show starts it, each page reached in
// order, every glide arriving, and the show ending by itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "AutoCommand.h"
#include "FormSky.h"
#include "TestForm.h"
#include "Gbk.h"
#include "Lecture.h"
#include "Script.h"
#include "SkyModel.h"

namespace {

class ShowPlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(SKYLOOM_RUNTIME_DIR);
    form_ = StartTestForm(1);
  }
  void TearDown() override {
    StopTestForm(form_);
    std::filesystem::current_path(previous_);
  }
  // The player slot's part of a frame, and the sky update when stale.
  void Tick() {
    if (form_->Player.Active && form_->Player.Tick()) {
      form_->ExecuteCommand(form_->Player.Command);
      if (!form_->Playing) form_->Player.Active = false;
    }
    if (form_->SkyStale) {
      form_->Sky.UpdateSky();
      form_->SkyStale = false;
    }
  }
  std::filesystem::path previous_;
  std::unique_ptr<TFormSky> form_;
};

}  // namespace

TEST_F(ShowPlayTest, EveryShippedShowPlaysToItsEnd) {
  int shows = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ShowFolder)) {
    if (entry.path().extension() != ShowExtension) continue;
    const std::string file = entry.path().filename().string();
    SCOPED_TRACE(file);
    ++shows;
    ASSERT_TRUE(form_->PlayShowFile(file, true));
    EXPECT_EQ(form_->PlayMode, 1);
    EXPECT_TRUE(form_->TextShown);
    EXPECT_TRUE(form_->Player.Active);
    EXPECT_EQ(form_->Player.Command, 3002);
    EXPECT_EQ(form_->Player.StatusText, form_->Lecture.Title.str());
    std::vector<int> pages;
    int frames = 0;
    while (form_->Player.Active && frames < 200000) {
      Tick();
      ++frames;
      if (pages.empty() || pages.back() != form_->Lecture.Current) {
        pages.push_back(form_->Lecture.Current);
        // The page's text is what the panel shows.
        const TShowFrame& f = form_->Lecture.Frames[static_cast<size_t>(form_->Lecture.Current)];
        if (f.NewPage) {
          EXPECT_EQ(form_->Info.Title.str(), f.Caption.str());
        }
      }
      // The waits on a page are the player tests' subject; here they are
      // cut short so that the glides and page changes are what runs.
      if (form_->Lecture.Wait > 2) form_->Lecture.Wait = 2;
    }
    EXPECT_FALSE(form_->Player.Active) << "still playing after " << frames << " frames";
    EXPECT_EQ(form_->Lecture.Current, form_->Lecture.Count);
    std::vector<int> expected;
    for (int k = 1; k <= form_->Lecture.Count; ++k) expected.push_back(k);
    EXPECT_EQ(pages, expected);
    // The last page's place and clock are the model's.
    const TShowFrame& last = form_->Lecture.Frames[static_cast<size_t>(form_->Lecture.Count)];
    EXPECT_EQ(form_->Sky.Latitude, last.Latitude);
    EXPECT_EQ(form_->Sky.Hour, last.Hour);
  }
  EXPECT_EQ(shows, 10);
}

TEST_F(ShowPlayTest, ALongPageScrollsItsTextAndWaitsUntilItIsShown) {
  ASSERT_TRUE(form_->PlayShowFile("冬季星空.shw", true));
  int frames = 0;
  while (GbkToUtf8(form_->Info.Title.view()) != "猎户座大星云 M42" && frames++ < 100000) Tick();
  ASSERT_EQ(GbkToUtf8(form_->Info.Title.view()), "猎户座大星云 M42");
  const int page = form_->Lecture.Current;
  ASSERT_GT(form_->Info.LineCount, 5) << "the page fits the panel: nothing to test";
  int lastTop = 0;
  while (form_->Lecture.Current == page && frames++ < 100000) {
    EXPECT_GE(form_->Info.TopLine, lastTop);
    lastTop = form_->Info.TopLine;
    Tick();
  }
  EXPECT_GE(lastTop + 5, form_->Info.LineCount - 0) << "the page turned before its last line showed";
}

TEST_F(ShowPlayTest, SteppingPageByPageAndBackAndAMissingShow) {
  ASSERT_TRUE(form_->PlayShowFile("冬季星空.shw", false));
  EXPECT_EQ(form_->Lecture.Current, 1);  // the first page at once
  EXPECT_EQ(GbkToUtf8(form_->Info.Title.view()), "冬夜的南方天空");
  form_->Player.Active = false;          // stopped: X steps one page
  form_->ExecuteCommand(107);
  Tick();
  EXPECT_EQ(form_->Lecture.Current, 2);
  EXPECT_EQ(GbkToUtf8(form_->Info.Title.view()), "猎户座");
  form_->ExecuteCommand(111);  // one step back
  Tick();
  EXPECT_EQ(form_->Lecture.Current, 1);
  const int count = form_->Lecture.Count;
  EXPECT_FALSE(form_->PlayShowFile("没有这个节目.shw", true));
  EXPECT_EQ(form_->Lecture.Count, count);  // nothing changed
}

TEST_F(ShowPlayTest, ScriptsWaitForAPageAndForTheEnd) {
  form_->DXDrawInitialize();
  auto run = [&](const char* text) {
    std::vector<TScriptStep> steps;
    std::string error;
    EXPECT_TRUE(ParseScript(text, steps, error)) << error;
    return RunScriptSteps(*form_, steps, "");
  };
  // The first page waits its time, then the show turns to the second page
  // and the script goes on at once.
  ASSERT_TRUE(run("show 冬季星空\nwaitpage 5000\n"));
  EXPECT_EQ(form_->Lecture.Current, 2);
  EXPECT_TRUE(form_->Player.Active);
  ASSERT_TRUE(run("waitpage 5000\n"));
  EXPECT_EQ(form_->Lecture.Current, 3);
  // Too few frames for a page: the script fails and says so.
  EXPECT_FALSE(run("waitpage 2\n"));
  EXPECT_EQ(form_->Lecture.Current, 3);
  // The rest of the show to its end; a stopped player ends a wait at once.
  ASSERT_TRUE(run("waitend 60000\n"));
  EXPECT_FALSE(form_->Player.Active);
  EXPECT_EQ(form_->Lecture.Current, form_->Lecture.Count);
  ASSERT_TRUE(run("waitpage 1\nwaitend 1\n"));
  // A trip also ends a waitend: the player stops on arrival.
  ASSERT_TRUE(run("goto 火星\nwaitend 200\n"));
  EXPECT_EQ(form_->Player.Command, 1004);
}

// The star tool's handlers without a window: the show list and preview, the
// object list's order and captions, choosing an object with the horizon
// hint, and what "确定" and "取消" answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>

#include "FormStarTool.h"
#include "Gbk.h"
#include "Lecture.h"
#include "SkyModel.h"
#include "StarData.h"

namespace {

const std::string Shows = std::string(SKYLOOM_RUNTIME_DIR) + "/天文节目";

struct Rig {
  std::unique_ptr<TSkyloom> Sky = std::make_unique<TSkyloom>();
  TLecture Lecture;
  std::unique_ptr<TFormStarTool> Tool;
  explicit Rig(const std::string& folder = Shows, bool emptyFifth = false,
               const std::string& ownFolder = {}) {
    InitSkyModel(*Sky);
    EXPECT_TRUE(LoadStarDataFrom(*Sky, std::string(SKYLOOM_RUNTIME_DIR) + "/" + StarDataFileName));
    if (emptyFifth) Sky->Offices[5].Name = ShortString{};
    // Beijing, 2026-01-15 21:00: night, Orion up.
    Sky->Year = 2026, Sky->Month = 1, Sky->Day = 15, Sky->Hour = 21, Sky->Minute = 0;
    Sky->TimeZone = 8;
    Sky->Latitude = 39.9 * M_PI / 180, Sky->Longitude = 116.4 * M_PI / 180;
    Sky->UpdateSky();
    Tool = std::make_unique<TFormStarTool>(*Sky, Lecture, folder, ownFolder);
    Tool->FormShow();
  }
  int Row(const std::string& caption) const {
    for (size_t i = 0; i < Tool->ListViewConst.size(); ++i)
      if (Tool->ListViewConst[i].Caption == caption) return static_cast<int>(i);
    return -1;
  }
};

}  // namespace

TEST(StarTool, ObjectListConstellationsFirstWhateverTheColumn) {
  Rig r;
  const auto& items = r.Tool->ListViewConst;
  ASSERT_GE(items.size(), 88u + 10u + 28u + 100u);
  for (int column : {0, 1, 2, 0}) {
    r.Tool->ListViewConstColumnClick(column);
    size_t lastConstellation = 0, firstOther = items.size();
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].Id <= 99) lastConstellation = i;
      if (items[i].Id >= 201 && i < firstOther) firstOther = i;
    }
    EXPECT_LT(lastConstellation, firstOther) << "column " << column;
    // Within the constellations and bodies, the column's text decides.
    for (size_t i = 1; i <= lastConstellation; ++i)
      EXPECT_FALSE(r.Tool->SortsBefore(items[i], items[i - 1])) << i;
  }
  int bodies = 0;
  for (const auto& i : items) bodies += i.Id >= 101 && i.Id <= 110;
  EXPECT_EQ(bodies, 10);
  EXPECT_GE(r.Row("★火星"), 0);
  // The bodies in their order from the Sun, whatever the column.
  for (int column : {0, 1, 2}) {
    r.Tool->ListViewConstColumnClick(column);
    std::vector<int> order;
    for (const auto& i : items)
      if (i.Id >= 101 && i.Id <= 110) order.push_back(i.Id);
    EXPECT_EQ(order, (std::vector<int>{101, 102, 103, 104, 105, 106, 107, 108, 109, 110}))
        << "column " << column;
  }
}

TEST(StarTool, TheNamedStarsAreListedWithTheirBayerNames) {
  Rig r;
  int stars = 0;
  for (const auto& i : r.Tool->ListViewConst) stars += i.Id > StarIdBase;
  EXPECT_EQ(stars, 100);
  const int sirius = r.Row("☆天狼星");
  ASSERT_GE(sirius, 0);
  EXPECT_EQ(r.Tool->ListViewConst[static_cast<size_t>(sirius)].English, "Sirius");
  EXPECT_EQ(r.Tool->ListViewConst[static_cast<size_t>(sirius)].Short, "α CMa");
  r.Tool->ListViewConstClick(sirius);
  EXPECT_EQ(r.Tool->EditConstName, "天狼星");
}

TEST(StarTool, MessierCaptionsAreMAndThreeDigits) {
  Rig r;
  const std::regex caption("M[0-9]{3}");
  int messier = 0;
  for (const auto& i : r.Tool->ListViewConst) {
    if (i.Id <= 1000 || i.Id > StarIdBase) continue;
    ++messier;
    EXPECT_TRUE(std::regex_match(i.Caption, caption)) << i.Caption;
  }
  EXPECT_GT(messier, 100 - 5);
  EXPECT_GE(r.Row("M001"), 0);
  EXPECT_GE(r.Row("M031"), 0);
  EXPECT_GE(r.Row("M110"), -1);
}

TEST(StarTool, AnEmptyAsterismNameEndsTheAsterisms) {
  Rig r(Shows, true);
  std::vector<int> asterisms;
  for (const auto& i : r.Tool->ListViewConst)
    if (i.Id > 200 && i.Id <= 600) asterisms.push_back(i.Id);
  std::sort(asterisms.begin(), asterisms.end());
  EXPECT_EQ(asterisms, (std::vector<int>{201, 202, 203, 204}));
}

TEST(StarTool, ChoosingAnObjectShowsItsNameAndTheHorizonHint) {
  Rig r;
  struct {
    const char* Caption;
    const char* Name;
    const char* Hint;
  } cases[] = {
      {"★太阳", "太阳", "在地平线下！"},   // 21:00 in January
      {"猎户座", "猎户座", ""},
      {"M042", "M42", ""},
      {"南十字座", "南十字座", "在地平线下！"},  // never seen from Beijing
  };
  for (const auto& c : cases) {
    const int row = r.Row(c.Caption);
    ASSERT_GE(row, 0) << c.Caption;
    r.Tool->ListViewConstClick(row);
    EXPECT_EQ(r.Tool->EditConstName, c.Name);
    EXPECT_EQ(r.Tool->LabelConstHint, c.Hint) << c.Caption;
    EXPECT_EQ(r.Tool->SelectedId, r.Tool->ListViewConst[static_cast<size_t>(row)].Id);
    EXPECT_EQ(r.Sky->TrackId, r.Tool->SelectedId);
  }
}

TEST(StarTool, ShowListAndPreview) {
  Rig r;
  ASSERT_EQ(r.Tool->ListBox1.size(), 10u);
  const auto it = std::find(r.Tool->ListBox1.begin(), r.Tool->ListBox1.end(), "冬季星空");
  ASSERT_NE(it, r.Tool->ListBox1.end());
  r.Tool->ListBox1Click(static_cast<int>(it - r.Tool->ListBox1.begin()));
  EXPECT_EQ(r.Tool->ShowFile, "冬季星空.shw");
  ASSERT_GE(r.Tool->Memo1.size(), 4u);
  EXPECT_EQ(r.Tool->Memo1[0], "冬季星空");
  EXPECT_EQ(r.Tool->Memo1[1], "");
  EXPECT_EQ(r.Tool->Memo1.back(), GbkToUtf8(TLecture::FooterText()));
  EXPECT_TRUE(r.Tool->ErrorText.empty());
  r.Tool->Button1Click();
  EXPECT_EQ(r.Tool->Result, 1);
  EXPECT_FALSE(r.Tool->Open);
}

TEST(StarTool, ADamagedShowIsSaidInTheDialogAndNotPlayed) {
  const std::filesystem::path folder =
      std::filesystem::path(SKYLOOM_BINARY_DIR) / "tests" / "star-tool-shows";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "坏节目.shw", std::ios::binary) << "F\x7f\xff\xff\xff";
  std::filesystem::create_directories(folder / "一个文件夹.shw");
  Rig r(folder.string());
  ASSERT_EQ(r.Tool->ListBox1, (std::vector<std::string>{"坏节目"}));  // the folder is no show
  r.Tool->ListBox1Click(0);
  EXPECT_NE(r.Tool->ErrorText.find("坏节目.shw"), std::string::npos) << r.Tool->ErrorText;
  ASSERT_FALSE(r.Tool->Memo1.empty());
  EXPECT_EQ(r.Tool->Memo1[0], "损坏的节目");
  r.Tool->Button1Click();
  EXPECT_TRUE(r.Tool->Open);
  EXPECT_EQ(r.Tool->Result, 0);
}

TEST(StarTool, TheUsersOwnShowsAreListedMarkedAndHideTheirNamesakes) {
  namespace fs = std::filesystem;
  const fs::path own = fs::path(SKYLOOM_BINARY_DIR) / "tests" / "star-tool-own-shows";
  fs::remove_all(own);
  fs::create_directories(own);
  // An own show under a new name, and one that takes the place of a shipped
  // show: a copy of another show, so that its preview tells them apart.
  fs::copy_file(Shows + "/火星逆行.shw", own / "我的火星.shw");
  fs::copy_file(Shows + "/月相的变化.shw", own / "冬季星空.shw");
  Rig r(Shows, false, own.string());
  ASSERT_EQ(r.Tool->ListBox1.size(), 11u);
  ASSERT_EQ(r.Tool->ListBox1Mine.size(), 11u);
  for (size_t i = 0; i < r.Tool->ListBox1.size(); ++i) {
    const std::string& name = r.Tool->ListBox1[i];
    EXPECT_EQ(r.Tool->ListBox1Mine[i], name == "我的火星" || name == "冬季星空") << name;
  }
  const auto row = [&r](const std::string& name) {
    return static_cast<int>(std::find(r.Tool->ListBox1.begin(), r.Tool->ListBox1.end(), name) -
                            r.Tool->ListBox1.begin());
  };
  // The own "冬季星空" is previewed (its title is that of the copied show).
  TLecture copied;
  ASSERT_TRUE(copied.LoadShowInfo(Shows + "/月相的变化.shw").Loaded());
  r.Tool->ListBox1Click(row("冬季星空"));
  ASSERT_FALSE(r.Tool->Memo1.empty());
  EXPECT_EQ(r.Tool->Memo1[0], GbkToUtf8(copied.Title.view()));
  // A shipped show still previews its own file.
  r.Tool->ListBox1Click(row("春季星空"));
  ASSERT_FALSE(r.Tool->Memo1.empty());
  EXPECT_EQ(r.Tool->Memo1[0], "春季星空");
  r.Tool->ListBox1Click(row("我的火星"));
  EXPECT_TRUE(r.Tool->ErrorText.empty()) << r.Tool->ErrorText;
  r.Tool->Button1Click();
  EXPECT_EQ(r.Tool->Result, 1);
  EXPECT_EQ(r.Tool->ShowFile, "我的火星.shw");
}

TEST(StarTool, ConfirmOnTheObjectPage) {
  Rig r;
  r.Tool->ActivePage = 1;
  // "自动找到：" with nothing chosen takes the Sun.
  r.Tool->RadioButtonMoveClick();
  EXPECT_FALSE(r.Tool->GroupBox1Enabled);
  EXPECT_EQ(r.Tool->SelectedId, 101);
  r.Tool->CheckBoxLockClick();
  r.Tool->Button1Click();
  EXPECT_EQ(r.Tool->Result, 2);
  EXPECT_EQ(r.Sky->Tracking, 1);

  // Time flow: a bad amount applies nothing and keeps the dialog open.
  r.Sky->StepUnit = 1;
  r.Sky->StepAmount = 1;
  r.Tool->FormShow();
  r.Tool->ActivePage = 1;
  r.Tool->RadioButtonTimeClick();
  for (const char* bad : {"abc", "0", "10001", "", "5x"}) {
    r.Tool->EditUnit = bad;
    r.Tool->StepUnitChoice = 2;
    r.Tool->Button1Click();
    EXPECT_TRUE(r.Tool->Open) << bad;
    EXPECT_FALSE(r.Tool->ErrorText.empty()) << bad;
    EXPECT_EQ(r.Sky->StepUnit, 1);
    EXPECT_EQ(r.Sky->StepAmount, 1);
  }
  r.Tool->EditUnit = "5";
  r.Tool->Button1Click();
  EXPECT_EQ(r.Tool->Result, 3);
  EXPECT_EQ(r.Sky->StepUnit, 2);
  EXPECT_EQ(r.Sky->StepAmount, 5);
}

TEST(StarTool, DoubleClickFindsAndCancelSaysSo) {
  Rig r;
  std::vector<std::pair<int, bool>> picks;
  r.Tool->OnPick = [&](int id, bool process) { picks.emplace_back(id, process); };
  r.Tool->ListViewConstDblClick(r.Row("★火星"));
  r.Tool->Button6Click();
  EXPECT_EQ(picks, (std::vector<std::pair<int, bool>>{{105, true}, {0, false}}));
  EXPECT_EQ(r.Tool->Result, 0);
  EXPECT_FALSE(r.Tool->Open);
}

// The whole frame with the panel, the status line, the hover test, keys and
// the popup menu, on the real runtime data.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <vector>

#include "Gbk.h"
#include "CityTable.h"
#include "ControlTips.h"
#include "GlobalParams.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "Interface.h"
#include "Panel.h"
#include "Png.h"
#include "SkyModel.h"
#include "CommandCodes.h"
#include "ScreenGeometry.h"
#include "Transforms.h"

namespace {

constexpr double Deg = M_PI / 180;

TEST(StatusLine, DirectionsNumbersAndTimeFlow) {
  TSkyloom sky;
  sky.Year = 2026;
  sky.Month = 1;
  sky.Day = 5;
  sky.Hour = 9;
  sky.Minute = 7;
  struct Case {
    double Lat, Lon, Alt, Az;
    int City, Kind;
    const char* Expected;  // UTF-8
  } cases[] = {
      {40, 116.4, 30, 10, 0, 0, "2026年01月05日 09:07 （北纬40°东经116.4°） 仰角：30° 方向：南偏东10°"},
      {39.94, -75.16, -5, 350, 0, 0, "2026年01月05日 09:07 （北纬39.9°西经75.2°） 俯角：5° 方向：南偏西10°"},
      {-33.9, 151.2, 0, 90, 1, 1, "2026年01月05日 09:07 悉尼（南纬33.9°东经151.2°） 仰角：0° 方向：正东 时间流动，按3日"},
      {10, 10, 45, 200, 0, 0, "2026年01月05日 09:07 （北纬10°东经10°） 仰角：45° 方向：北偏西20°"},
  };
  for (const Case& c : cases) {
    sky.Latitude = c.Lat * Deg;
    sky.Longitude = c.Lon * Deg;
    sky.ViewAlt = c.Alt * Deg;
    sky.ViewAz = c.Az * Deg;
    sky.City = c.City;
    const std::string status = c.Kind == 1 ? Utf8ToGbk("时间流动，按") : "";
    std::string line = GbkToUtf8(
        BuildStatusLine(sky, Utf8ToGbk("悉尼"), status, c.Kind, 3, 2));
    if (c.Kind == 0) line.pop_back();  // the space before the empty time part
    EXPECT_EQ(line, c.Expected);
  }
}

// The clock shows its seconds when time flows in seconds or stands at a
// second; a whole minute flowing by minutes keeps the short clock.
TEST(StatusLine, SecondsShowWhereTheyTellSomething) {
  TSkyloom sky;
  sky.Year = 2024, sky.Month = 4, sky.Day = 8, sky.Hour = 13, sky.Minute = 40;
  sky.City = 1;
  const std::string flowing = Utf8ToGbk("时间流动，按");
  struct Case {
    int Second, Unit;
    const char* Expected;  // UTF-8
  } cases[] = {
      {0, 4, "2024年04月08日 13:40:00 达拉斯 仰0° 正南 时间流动，按10秒"},
      {44, 4, "2024年04月08日 13:40:44 达拉斯 仰0° 正南 时间流动，按10秒"},
      {44, 1, "2024年04月08日 13:40:44 达拉斯 仰0° 正南 时间流动，按10分"},
      {0, 1, "2024年04月08日 13:40 达拉斯 仰0° 正南 时间流动，按10分"},
  };
  for (const Case& c : cases) {
    sky.Second = c.Second;
    std::string line;
    BuildStatusLine(sky, Utf8ToGbk("达拉斯"), flowing, 1, 10, c.Unit, line, 0);
    EXPECT_EQ(GbkToUtf8(line), c.Expected) << c.Second << " " << c.Unit;
  }
}

TEST(StatusLine, ShorterLinesDropTheCitysCoordinatesThenWords) {
  TSkyloom sky;
  sky.Year = 2026, sky.Month = 1, sky.Day = 5, sky.Hour = 9, sky.Minute = 7;
  sky.Latitude = -33.9 * Deg;
  sky.Longitude = 151.2 * Deg;
  sky.ViewAlt = 30 * Deg;
  sky.ViewAz = 10 * Deg;
  sky.City = 1;
  const std::string status = Utf8ToGbk("时间停止");
  const char* expected[3] = {
      "2026年01月05日 09:07 悉尼 仰30° 南偏东10° 时间停止",
      "2026年01月05日 09:07 悉尼 仰角：30° 方向：南偏东10° 时间停止",
      "2026年01月05日 09:07 悉尼（南纬33.9°东经151.2°） 仰角：30° 方向：南偏东10° 时间停止",
  };
  for (int detail = 0; detail <= 2; ++detail) {
    std::string line;
    BuildStatusLine(sky, Utf8ToGbk("悉尼"), status, 0, 1, 1, line, detail);
    EXPECT_EQ(GbkToUtf8(line), expected[detail]) << detail;
  }
  // A place of its own keeps its coordinates: they are all it has.
  sky.City = 0;
  std::string line;
  BuildStatusLine(sky, "", status, 0, 1, 1, line, 1);
  EXPECT_NE(GbkToUtf8(line).find("南纬33.9°"), std::string::npos);
}

class PanelFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(chdir(SKYLOOM_RUNTIME_DIR), 0);
    model_ = CreateSkyModel(20260115);
    form_ = std::make_unique<TFormSky>(*model_);
    form_->FixedNow = true;
    form_->Now = {2026, 1, 15, 21, 0};
    form_->FormCreate();
    form_->FormShow();
    TSkyloom& sky = *model_;
    sky.Latitude = 39.9 * Deg;
    sky.Longitude = 116.4 * Deg;
    sky.TimeZone = 8;
    sky.ViewAz = 0;
    sky.ViewAlt = 40.37 * Deg;
    form_->DXDrawInitialize();
    form_->SkyStale = true;
    form_->LogCommands = true;
    Frames(1);
  }
  void TearDown() override {
    form_.reset();
    model_.reset();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) RunFrame(*form_);
  }
  std::string Out(const char* name) {
    const auto dir = std::filesystem::path(SKYLOOM_BINARY_DIR) / "tests" / "panel-golden";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
  }
  TColor At(int x, int y) { return form_->DXDraw.Buffer().Get(x, y); }
  std::unique_ptr<TSkyloom> model_;  // made before the form, freed after it
  std::unique_ptr<TFormSky> form_;
};

TEST_F(PanelFrame, TheStatusLineFitsItsBarAndSaysWhetherTimeRuns) {
  // A long city name and a go-to's note: the whole line still fits, its
  // end readable.
  TSkyloom& sky = *model_;
  int longest = 1;
  const TCityTable& cities = sky.CityTable;
  for (int i = 1; i <= cities.CityCount; ++i)
    if (cities.Cities[i].CityName.view().size() > cities.Cities[longest].CityName.view().size())
      longest = i;
  sky.City = longest;
  form_->SkyStale = true;
  Frames(1);
  const std::string stopped = GbkToUtf8(form_->StatusScratch);
  EXPECT_NE(stopped.find("时间停止"), std::string::npos) << stopped;
  const TRegion& bar = form_->Interface.WellKnownRegion(6);
  EXPECT_LE(10 + form_->DXDraw.Canvas().TextWidth(form_->StatusScratch), bar.Width - 8) << stopped;
  form_->ExecuteCommand(108);  // A: time runs
  Frames(2);
  const std::string running = GbkToUtf8(form_->StatusScratch);
  EXPECT_NE(running.find("时间流动"), std::string::npos) << running;
  EXPECT_EQ(running.find("时间停止"), std::string::npos) << running;
  form_->ExecuteCommand(109);  // S: it stops
  Frames(1);
  EXPECT_NE(GbkToUtf8(form_->StatusScratch).find("时间停止"), std::string::npos);
}

TEST_F(PanelFrame, EnglishModeReachesTheStatusLineTheMenuAndTheTips) {
  TSkyloom& sky = *model_;
  for (int i = 1; i <= sky.CityTable.CityCount; ++i)
    if (GbkToUtf8(Trim(sky.CityTable.Cities[i].CityName.view())) == "北京") sky.City = i;
  ASSERT_GT(sky.City, 0);
  form_->ExecuteCommand(101);  // 中/英
  form_->SkyStale = true;
  Frames(1);
  const std::string status = GbkToUtf8(form_->StatusScratch);
  EXPECT_NE(status.find("Beijing"), std::string::npos) << status;
  EXPECT_NE(status.find("Time stopped"), std::string::npos) << status;
  EXPECT_EQ(status.find("时间"), std::string::npos) << status;
  EXPECT_EQ(status.find("方向"), std::string::npos) << status;
  for (const auto& item : form_->PopupMenu1) {
    if (item.Separator || item.Tag == 1) continue;
    EXPECT_NE(item.EnglishLabel, item.Label) << item.Label;
    for (unsigned char ch : item.EnglishLabel) EXPECT_LT(ch, 0x80) << item.EnglishLabel;
  }
  const TKeyTable& keys = form_->Parameters.KeyTable;
  EXPECT_EQ(ControlTip(keys, 102, true), "Names (D)");
  EXPECT_EQ(GbkToUtf8(ControlTip(keys, 102, false)), "星名（D）");
  EXPECT_EQ(ControlTip(keys, 301, true), "Help (F1)");
  EXPECT_EQ(ControlTip(keys, 9999, true), "");
}

TEST_F(PanelFrame, GoldenFramesPanelUpAndDown) {
  // Orion picked with the left button: its story fills the text panel.
  form_->FormMouseMove(0, 255, 130);
  form_->FormMouseDown(0, 0, 255, 130);
  form_->FormMouseUp(0, 0, 255, 130);
  Frames(1);
  EXPECT_EQ(model_->SelConst > 0, true);
  std::string error;
  ASSERT_TRUE(form_->DXDraw.SaveScreenshot(Out("frame-panel-up.png"), error)) << error;
  // Facts a person sees: the panel plate below 432, the amber status text
  // on the dark bar, the story's title in red-orange in the text panel.
  auto count = [&](int x0, int y0, int x1, int y1, auto pred) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += pred(At(x, y)) ? 1 : 0;
    return n;
  };
  auto amber = [](TColor c) { return (c & 255) > 200 && ((c >> 8) & 255) > 150 && ((c >> 16) & 255) < 80; };
  auto orange = [](TColor c) { return (c & 255) > 200 && ((c >> 8) & 255) < 120 && ((c >> 16) & 255) < 60; };
  EXPECT_GT(count(12, 440, 480, 460, amber), 300) << "status line";
  EXPECT_GT(count(250, 474, 400, 490, orange), 20) << "story title";
  EXPECT_GT(count(250, 495, 480, 580, amber), 300) << "story lines";
  // The compass is not black; the region 27 thumb moved between 25 and 26.
  EXPECT_GT(count(20, 480, 120, 580, [](TColor c) { return c != clBlack; }), 5000);
  EXPECT_GE(form_->Interface.Regions[27].Y, form_->Interface.Regions[25].Y + form_->Interface.Regions[25].Height);
  EXPECT_LE(form_->Interface.Regions[27].Y, form_->Interface.Regions[26].Y - form_->Interface.Regions[27].Height);

  // The panel slides down: the subtitle strip shows the text above it.
  form_->Parameters.SubtitlesOn = 1;
  form_->ExecuteCommand(304);
  Frames(8);
  EXPECT_EQ(form_->Interface.Sections[2].Y, 564);
  ASSERT_TRUE(form_->DXDraw.SaveScreenshot(Out("frame-panel-down.png"), error)) << error;
  EXPECT_GT(count(120, 520, 700, 560, amber), 200) << "subtitle lines";
  EXPECT_GT(count(12, 572, 480, 592, amber), 300) << "status line of the lowered panel";
}

// Wide stages: the sky fills the stage above the panel, the panel keeps its
// layout centred on the bottom edge with its band from edge to edge, and a
// click where a person sees Orion picks it. The frames are kept for people
// to look at.
TEST_F(PanelFrame, GoldenFramesOnWideStages) {
  for (auto [w, h] : {std::pair{1280, 800}, std::pair{1920, 1080}}) {
    form_->SizeStage(w, h);
    form_->SetPanelTop(PanelUpY);
    form_->ExecuteCommand(1206);  // nothing picked: the click below picks afresh
    form_->SkyStale = true;
    Frames(1);
    const TStageLayout& m = form_->Layout;
    ASSERT_EQ(form_->DXDraw.Width(), w);
    EXPECT_EQ(model_->ScreenWidth, w);
    // The interface at the largest scale step that fits: the panel's 168
    // units high.
    EXPECT_EQ(m.Scale, w == 1280 ? 1.25 : 1.75);
    EXPECT_EQ(model_->ScreenHeight, h - m.Length(168));
    const int skyHeight = model_->ScreenHeight;
    // Orion, 1.6 or 2.4 times as far from the centre as on the 800-wide sky.
    const double k = (w * 2 / 3) / 533.0;
    const int ox = w / 2 + static_cast<int>((255 - 400) * k), oy = skyHeight / 2 + static_cast<int>((130 - 216) * k);
    form_->FormMouseMove(0, ox, oy);
    form_->FormMouseDown(0, 0, ox, oy);
    form_->FormMouseUp(0, 0, ox, oy);
    Frames(1);
    EXPECT_GT(model_->SelConst, 0) << w;
    const std::string name = "frame-" + std::to_string(w) + "x" + std::to_string(h);
    std::string error;
    ASSERT_TRUE(form_->DXDraw.SaveScreenshot(Out((name + "-panel-up.png").c_str()), error)) << error;
    auto count = [&](int x0, int y0, int x1, int y1, auto pred) {
      int n = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += pred(At(x, y)) ? 1 : 0;
      return n;
    };
    auto amber = [](TColor c) { return (c & 255) > 200 && ((c >> 8) & 255) > 150 && ((c >> 16) & 255) < 80; };
    auto lit = [](TColor c) { return c != clBlack; };
    EXPECT_GT(count(m.X(12), m.Y(440), m.X(480), m.Y(460), amber), 300) << "status line " << w;
    EXPECT_GT(count(m.X(250), m.Y(495), m.X(480), m.Y(580), amber), 300) << "story lines " << w;
    EXPECT_GT(count(m.X(20), m.Y(480), m.X(120), m.Y(580), lit), 5000) << "compass " << w;
    // The band reaches both edges; stars and lines beside the panel's frame.
    EXPECT_EQ(count(0, skyHeight, 2, h, lit), 2 * (h - skyHeight)) << "left edge " << w;
    EXPECT_EQ(count(w - 2, skyHeight, w, h, lit), 2 * (h - skyHeight)) << "right edge " << w;
    EXPECT_GT(count(0, 0, m.X(0), skyHeight, lit), 100) << "sky left of the frame " << w;
    EXPECT_GT(count(m.X(800), 0, w, skyHeight, lit), 100) << "sky right of the frame " << w;
    // The panel slides down; the subtitle strip and the lowered status line.
    form_->Parameters.SubtitlesOn = 1;
    form_->ExecuteCommand(304);
    Frames(8);
    EXPECT_EQ(form_->Interface.Sections[2].Y, 564);
    EXPECT_EQ(model_->ScreenHeight, h - m.Length(36));
    ASSERT_TRUE(form_->DXDraw.SaveScreenshot(Out((name + "-panel-down.png").c_str()), error)) << error;
    EXPECT_GT(count(m.X(120), m.Y(520), m.X(700), m.Y(560), amber), 200) << "subtitles " << w;
    EXPECT_GT(count(m.X(12), m.Y(572), m.X(480), m.Y(592), amber), 300) << "lowered status " << w;
    form_->Parameters.SubtitlesOn = 0;
  }
}

// Whole frames at projector sizes, kept as pictures: zoomed to 10 degrees on
// the Pleiades, out to 180 degrees, the Milky Way of a summer and of a
// winter night over Beijing and the Magellanic Clouds over Sydney.
TEST_F(PanelFrame, ZoomAndMilkyWayFramesOnWideStages) {
  TSkyloom& sky = *model_;
  const auto scene = [&](double lat, double lon, int zone, int month, int day, int hour) {
    sky.Latitude = lat * Deg;
    sky.Longitude = lon * Deg;
    sky.TimeZone = zone;
    sky.City = 0;  // a place of its own: the status line gives its coordinates
    sky.Year = 2026, sky.Month = month, sky.Day = day, sky.Hour = hour, sky.Minute = 0;
    form_->SkyStale = true;
    Frames(1);
  };
  const auto look = [&](const TVector3& h) {
    sky.ViewAz = AngleOf(h.X, h.Y);
    sky.ViewAlt = NormalizeSigned(AngleOf(std::hypot(h.X, h.Y), h.Z));
    form_->SkyStale = true;
    Frames(1);
  };
  // Screen position of a right ascension and declination (of date), or
  // false when it is not in front.
  const auto onScreen = [&](double ra, double dec, int& x, int& y) {
    TSkyPoint p;
    ApplyView(p, HorizontalDirection(ra * Deg, dec * Deg, sky), ProjectionOf(sky));
    x = ScreenX(sky, p);
    y = ScreenY(sky, p);
    return p.Z > 0 && x >= 0 && y >= 0 && x < sky.ScreenWidth && y < sky.ScreenHeight;
  };
  const auto light = [&](int x0, int y0, int x1, int y1) {
    long sum = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, sky.ScreenHeight); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, sky.ScreenWidth); ++x) {
        const TColor c = At(x, y);
        sum += (c & 255) + ((c >> 8) & 255) + ((c >> 16) & 255);
      }
    return sum;
  };
  const auto save = [&](const std::string& name) {
    std::string error;
    ASSERT_TRUE(form_->DXDraw.SaveScreenshot(Out(name.c_str()), error)) << error;
  };
  for (auto [w, h] : {std::pair{1280, 800}, std::pair{1920, 1080}}) {
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    form_->SizeStage(w, h);
    form_->SetPanelTop(PanelUpY);
    form_->ExecuteCommand(1206);

    // The Pleiades at 10 degrees: the cluster's stars stand apart around
    // the centre.
    scene(39.9, 116.4, 8, 1, 15, 21);
    form_->SetFieldOfView(10, false);
    look(HorizontalDirection(56.97 * Deg, 24.16 * Deg, sky));
    save("pleiades-10deg-" + size + ".png");
    int stars = 0;
    for (int k = 1; k <= sky.StarCount; ++k) {
      const TSkyPoint& s = sky.Stars[k];
      if (!s.Visible || !(s.Z > 0) || s.Mag > 60) continue;
      const long dx = ScreenX(sky, s) - sky.CenterX, dy = ScreenY(sky, s) - sky.CenterY;
      stars += dx * dx + dy * dy < static_cast<long>(sky.Scale / 57) * (sky.Scale / 57);
    }
    EXPECT_GE(stars, 6) << size;

    // Out to 180 degrees: the east and west points at the sky's edges.
    form_->SetFieldOfView(180, false);
    sky.ViewAz = 0;
    sky.ViewAlt = 40 * Deg;
    form_->SkyStale = true;
    Frames(1);
    save("sky-180deg-" + size + ".png");
    TSkyPoint east, west;
    ApplyView(east, {0, 1, 0}, ProjectionOf(sky));
    ApplyView(west, {0, -1, 0}, ProjectionOf(sky));
    EXPECT_NEAR(ScreenX(sky, east), 0, w / 20) << size;
    EXPECT_NEAR(ScreenX(sky, west), w, w / 20) << size;
    form_->SetFieldOfView(DefaultFieldOfView, false);

    // The Milky Way: each scene drawn with it and without it (the 银河
    // switch); near the named place it adds light.
    struct MilkyScene {
      const char* Name;
      double Lat, Lon;
      int Zone, Month, Day, Hour;
      double Az, Alt;
      double Ra, Dec;  // a bright part of it
    } scenes[] = {
        {"milkyway-summer", 39.9, 116.4, 8, 8, 12, 22, 10, 40, 283.8, -4.8},    // Scutum cloud
        {"milkyway-winter", 39.9, 116.4, 8, 1, 15, 22, 0, 60, 100.0, 5.0},      // Monoceros
        {"magellanic-sydney", -33.87, 151.21, 10, 1, 15, 22, 0, 40, 80.9, -69.8},  // the LMC
    };
    for (const MilkyScene& m : scenes) {
      scene(m.Lat, m.Lon, m.Zone, m.Month, m.Day, m.Hour);
      sky.ViewAz = m.Az * Deg;
      sky.ViewAlt = m.Alt * Deg;
      form_->SkyStale = true;
      Frames(1);
      ASSERT_TRUE(sky.MilkyWay);
      save(std::string(m.Name) + "-" + size + ".png");
      int x = 0, y = 0;
      ASSERT_TRUE(onScreen(m.Ra, m.Dec, x, y)) << m.Name << " " << size;
      const int r = w / 40;
      const long with = light(x - r, y - r, x + r, y + r);
      form_->ExecuteCommand(Cmd::MilkyWay);
      Frames(1);
      const long without = light(x - r, y - r, x + r, y + r);
      form_->ExecuteCommand(Cmd::MilkyWay);
      Frames(1);
      EXPECT_GT(with, without + (2 * r) * (2 * r) * 6) << m.Name << " " << size;
    }
  }
}

TEST_F(PanelFrame, TheKeptStillLayerGivesWhatAFullRedrawGives) {
  // After each change a frame is drawn as the program draws it (the panel's
  // still layer laid from its kept rows when nothing it shows changed), then
  // drawn again from scratch: the two pictures must be the same to the bit.
  struct Step {
    const char* What;
    std::function<void(TFormSky&)> Change;
    int Frames;
    int Kept;  // 1 the layer must come from its kept rows, 0 must not, -1 either
  } steps[] = {
      {"still", [](TFormSky&) {}, 1, 1},
      {"turned left", [](TFormSky& f) { f.ExecuteCommand(201); }, 1, 1},
      {"raised", [](TFormSky& f) { f.ExecuteCommand(202); }, 1, 1},
      {"Orion's story", [](TFormSky& f) {
         f.FormMouseMove(0, 255, 130);
         f.FormMouseDown(0, 0, 255, 130);
         f.FormMouseUp(0, 0, 255, 130);
       }, 1, 0},
      {"turned with the story", [](TFormSky& f) { f.ExecuteCommand(203); }, 1, 1},
      {"text scrolled", [](TFormSky& f) { f.ExecuteCommand(14); }, 1, 0},
      {"pointer over a button", [](TFormSky& f) { f.FormMouseMove(0, 630, 490); }, 1, 0},
      {"still over the button", [](TFormSky&) {}, 1, 1},
      {"pointer back on the sky", [](TFormSky& f) { f.FormMouseMove(0, 400, 200); }, 1, -1},
      {"panel lowered, subtitles on", [](TFormSky& f) {
         f.Parameters.SubtitlesOn = 1;
         f.ExecuteCommand(304);
       }, 8, 0},
      {"subtitles off", [](TFormSky& f) { f.Parameters.SubtitlesOn = 0; }, 1, -1},
      {"still, lowered", [](TFormSky&) {}, 1, 1},
      {"images read again", [](TFormSky& f) { f.DXImageList.LoadFromFile("LoadImg.rxf"); }, 1, 0},
      {"panel raised", [](TFormSky& f) { f.ExecuteCommand(304); }, 8, -1},
      {"text closed", [](TFormSky& f) { f.ExecuteCommand(22); }, 1, -1},
  };
  const TBackBuffer& buffer = form_->DXDraw.Buffer();
  const size_t pixels = static_cast<size_t>(buffer.Width()) * buffer.Height();
  for (const Step& step : steps) {
    step.Change(*form_);
    form_->Invalidate();  // as every input event does
    const long presented = form_->DXDraw.Frames();
    if (step.Frames > 1) form_->DrawEveryFrame = true;
    Frames(step.Frames);
    form_->DrawEveryFrame = false;
    ASSERT_GT(form_->DXDraw.Frames(), presented) << step.What;
    if (step.Kept >= 0) {
      EXPECT_EQ(form_->PanelLayer.LastFromKept(), step.Kept == 1) << step.What;
    }
    const std::vector<uint16_t> shown(buffer.Pixels(), buffer.Pixels() + pixels);
    form_->PanelLayer = TPanelLayer{};
    form_->DrawFrame();
    EXPECT_FALSE(form_->PanelLayer.LastFromKept());
    size_t differ = 0;
    for (size_t i = 0; i < pixels; ++i) differ += shown[i] != buffer.Pixels()[i];
    EXPECT_EQ(differ, 0u) << step.What;
  }
}

TEST_F(PanelFrame, ObjectAtPrefersBodiesAndUsesManhattanDistance) {
  TSkyloom& sky = *model_;
  const int cx = sky.ScreenWidth / 2, cy = sky.ScreenHeight / 2;
  for (int i = 1; i <= MaxMessier; ++i) sky.Messier[i].Visible = 0;
  for (int j = 1; j <= MaxBodies; ++j) sky.Planets[j].Visible = 0;
  auto place = [&](TSkyPoint& p, int x, int y) {
    p.Visible = 1;
    p.Z = 1;
    p.Y = cx - x;
    p.X = y - cy;
  };
  place(sky.Messier[3], 100, 100);
  place(sky.Messier[7], 104, 100);
  EXPECT_EQ(form_->ObjectAt(102, 100), 3) << "two objects: the lower number";
  EXPECT_EQ(form_->ObjectAt(113, 100), 7) << "9 pixels away is a hit";
  EXPECT_EQ(form_->ObjectAt(114, 100), 0) << "10 pixels away is no hit";
  place(sky.Planets[5], 105, 101);
  EXPECT_EQ(form_->ObjectAt(102, 100), 205) << "a body wins";
  sky.Planets[5].Z = -1;
  EXPECT_EQ(form_->ObjectAt(102, 100), 3) << "behind the viewer";
  // Hovering hides the cursor over an object.
  form_->FormMouseMove(0, 102, 100);
  EXPECT_EQ(form_->HoverObject, 3);
  EXPECT_EQ(form_->CursorNumber, -1);
}

TEST_F(PanelFrame, KeysAndPopupMenu) {
  const bool ground = model_->GroundOn;
  const int look = form_->Interface.Regions[9].State;
  form_->FormKeyDown('R', 1);  // Shift makes no difference
  EXPECT_NE(model_->GroundOn, ground);
  EXPECT_EQ(form_->Interface.Regions[9].State, look ^ 2);
  form_->FormKeyDown(0x70, 0);  // F1 is in no entry
  // An entry naming a region outside the table changes no region.
  form_->Parameters.KeyTable[0].Region = MaxRegions + 1;
  int states[MaxRegions + 1];
  for (int i = 0; i <= MaxRegions; ++i) states[i] = form_->Interface.Regions[i].State;
  form_->FormKeyDown('R', 0);
  for (int i = 1; i <= MaxRegions; ++i) EXPECT_EQ(form_->Interface.Regions[i].State, states[i]) << i;
  form_->Parameters.KeyTable = DefaultKeyTable();
  // Six items with one separator; the boundary switch starts as its mark.
  ASSERT_EQ(form_->PopupMenu1.size(), 6u);
  EXPECT_TRUE(form_->PopupMenu1[4].Separator);
  EXPECT_TRUE(form_->Popup.ConstellationBoundary);
  EXPECT_TRUE(form_->PopupItemChecked(6));
  form_->PopupItemClick(6);
  EXPECT_FALSE(form_->Popup.ConstellationBoundary);
  EXPECT_FALSE(form_->PopupItemChecked(6));
  form_->ExecuteCommand(1205);  // another path to the switch: the mark follows
  EXPECT_TRUE(form_->PopupItemChecked(6));
  // A right click on Orion opens the menu titled with its name.
  form_->FormMouseMove(0, 255, 130);
  form_->FormMouseDown(1, 0, 255, 130);
  form_->FormMouseUp(1, 0, 255, 130);
  Frames(3);
  EXPECT_EQ(GbkToUtf8(form_->Parameters.MenuTable[1].Caption.str()), "猎户座星座");
  std::string error;
  ASSERT_TRUE(form_->DXDraw.SaveScreenshot(Out("frame-popup.png"), error)) << error;
}

}  // namespace

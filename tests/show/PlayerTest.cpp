// The lecture player: applying pages, jumping, continuous play with its
// glides of time, view and place, the one-degree steps, the date arithmetic
// and the page text.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "Gbk.h"
#include "InfoText.h"
#include "Lecture.h"
#include "SkyMarks.h"
#include "SkyModel.h"

namespace {

constexpr double Deg = 0.017453292519943295769;

struct Rig {
  std::unique_ptr<TSkyloom> Model = std::make_unique<TSkyloom>();
  TSkyMarks Marks;
  TPopupSwitches Popup;
  TLecture Lecture;
  Rig() {
    Model->TimeZone = 8;
    Lecture.Attach(Model.get(), &Marks, &Popup);
  }
  // Loads pages through the file layout, as a show file would bring them.
  void Load(const std::vector<TShowFrame>& pages) {
    ShortString title;
    title.set("t");
    const auto bytes = EncodeShowFile('F', title, {}, pages);
    ASSERT_TRUE(Lecture.LoadShowBytes(bytes, "t.shw", false).Loaded());
  }
};

TShowFrame Page(int minute) {
  TShowFrame f;
  f.Year = 2026;
  f.Month = 1;
  f.Day = 15;
  f.Hour = 21;
  f.Minute = minute;
  f.Latitude = 40 * Deg;
  f.Longitude = 116 * Deg;
  f.ViewAz = 180 * Deg;
  f.ViewAlt = 30 * Deg;
  f.StarLimit = 50;
  f.ShowFlags = 0x819;
  f.Wait = 1;
  f.SetPlace = f.SetShow = 1;
  return f;
}

}  // namespace

TEST(Player, ApplyFrameFullOrByItsFlags) {
  Rig r;
  TShowFrame a = Page(0), b = Page(30);
  b.SetPlace = 0;
  b.SetShow = 1;
  b.SetMarks = 1;
  b.ShowFlags = 0x10000;
  b.StarLimit = 40;
  b.HighlightCount = 1;
  b.Highlights[0].Object = 60;
  b.SelConst = 60;
  b.PopupSwitches = {1, 1, 0, 0, 1, 0};
  b.Wait = 9;
  b.Tracking = 1;
  b.TrackId = 105;
  r.Load({a, b});
  r.Lecture.ApplyFrame(1, true);
  EXPECT_EQ(r.Model->Minute, 0);
  r.Lecture.ApplyFrame(2, false);
  EXPECT_EQ(r.Model->Minute, 0);          // SetPlace off: the clock stays
  EXPECT_EQ(r.Model->ShowFlags, 0x10000u);
  EXPECT_EQ(r.Model->StarLimit, 40);
  EXPECT_EQ(r.Marks.HighlightCount, 1);
  EXPECT_EQ(r.Marks.Highlights[1].Object, 60);
  EXPECT_EQ(r.Model->SelConst, 60);
  EXPECT_TRUE(r.Popup.ConstellationHighlight);
  EXPECT_TRUE(r.Popup.ConstellationLines);
  EXPECT_FALSE(r.Popup.ConstellationStarNames);
  EXPECT_TRUE(r.Popup.ConstellationBoundary);
  EXPECT_EQ(r.Lecture.Wait, 9);
  EXPECT_EQ(r.Model->Tracking, 1);
  EXPECT_EQ(r.Model->TrackId, 105);
  r.Lecture.ApplyFrame(2, true);
  EXPECT_EQ(r.Model->Minute, 30);
  // Outside 1..Count nothing happens.
  r.Model->Minute = 7;
  r.Lecture.ApplyFrame(0, true);
  r.Lecture.ApplyFrame(3, true);
  EXPECT_EQ(r.Model->Minute, 7);
}

TEST(Player, APagesZoneAppliesWithItsPlaceAndZeroKeepsTheUsers) {
  Rig r;
  TShowFrame dallas = Page(41), old = Page(0);
  dallas.Hour = 13;
  dallas.Zone = EncodeZone(-5);
  r.Load({old, dallas});
  r.Lecture.ApplyFrame(1, true);
  EXPECT_EQ(r.Model->TimeZone, 8);
  r.Lecture.ApplyFrame(2, true);
  EXPECT_EQ(r.Model->TimeZone, -5);
  EXPECT_EQ(r.Model->Hour, 13);
}

TEST(Player, APagesFieldOfViewAppliesWithItsViewAndZeroKeepsTheViewers) {
  Rig r;
  TShowFrame near = Page(41), keep = Page(0);
  near.FieldOfView = 10;
  r.Load({near, keep});
  r.Model->ScreenWidth = 800;
  r.Lecture.ApplyFrame(1, true);
  EXPECT_EQ(r.Model->FieldOfView, 10);
  EXPECT_EQ(r.Model->Scale, 4572);  // 400 pixels over tan 5 degrees
  r.Lecture.ApplyFrame(2, true);
  EXPECT_EQ(r.Model->FieldOfView, 10);
}

TEST(Player, JumpFramesPastBothEnds) {
  struct {
    int Start, Delta, Current, AppliedMinute;
  } cases[] = {
      {3, -5, 0, 1}, {3, -1, 2, 2}, {0, 1, 1, 1}, {3, 10, 4, 4}, {4, 1, 4, 4}, {2, INT32_MIN, 0, 1},
      {2, INT32_MAX, 4, 4},
  };
  for (const auto& c : cases) {
    Rig r;
    r.Load({Page(1), Page(2), Page(3), Page(4)});
    r.Lecture.Current = c.Start;
    r.Lecture.JumpFrames(c.Delta);
    EXPECT_EQ(r.Lecture.Current, c.Current) << c.Start << " " << c.Delta;
    EXPECT_EQ(r.Model->Minute, c.AppliedMinute) << c.Start << " " << c.Delta;
  }
  // After falling off the front, the next continuous tick starts again at page 1.
  Rig r;
  r.Load({Page(1), Page(2), Page(3)});
  r.Lecture.Current = 3;
  r.Lecture.JumpFrames(-5);
  EXPECT_TRUE(r.Lecture.StepShow());
  r.Lecture.NextFrame();
  EXPECT_EQ(r.Lecture.Current, 1);
}

TEST(Player, EmptyShowNeverPlays) {
  Rig r;
  r.Load({});
  EXPECT_FALSE(r.Lecture.StepShow());
  r.Lecture.JumpFrames(1);
  EXPECT_EQ(r.Lecture.Current, 0);
}

namespace {

// Plays from page 1 until the show may advance; the ticks it took, or -1.
int TicksToAdvance(Rig& r, int limit = 100000) {
  r.Lecture.Current = 0;
  EXPECT_TRUE(r.Lecture.StepShow());
  r.Lecture.NextFrame();
  for (int t = 1; t <= limit; ++t)
    if (r.Lecture.StepShow()) return t;
  return -1;
}

}  // namespace

TEST(Player, StepShowArrivals) {
  struct Case {
    const char* Name;
    int Moves, Wait, StepUnit, StepAmount;
    TShowFrame Next;
    int Ticks;
  };
  TShowFrame later = Page(10);           // ten minutes on
  TShowFrame earlier = Page(0);
  earlier.Hour = 20;                      // an hour back
  TShowFrame turned = Page(0);
  turned.ViewAz = 190.5 * Deg;           // ten and a half degrees on
  TShowFrame moved = Page(0);
  moved.Longitude = 121.5 * Deg;         // five and a half degrees east
  moved.Latitude = 31.5 * Deg;           // eight and a half degrees south
  const Case cases[] = {
      {"no moves: as soon as Wait runs out", 0, 5, 1, 1, Page(0), 5},
      {"wait 0 and 1 advance at once", 0, 0, 1, 1, Page(0), 1},
      {"time in minute steps", MoveBits::Time, 1, 1, 1, later, 10},
      {"time in steps of 3 minutes overshoots", MoveBits::Time, 1, 1, 3, later, 4},
      {"time backwards", MoveBits::Time, 1, 1, -5, earlier, 12},
      {"time step 0 counts as arrived", MoveBits::Time, 1, 1, 0, later, 1},
      {"view", MoveBits::View, 1, 1, 1, turned, 11},
      {"place: longitude then latitude", MoveBits::Place, 1, 1, 1, moved, 5 + 8 + 1},
      {"all three: the slowest", MoveBits::Time | MoveBits::View | MoveBits::Place, 1, 1, 1,
       [&] { TShowFrame f = moved; f.Minute = 10; f.ViewAz = 190.5 * Deg; return f; }(), 14},
      {"wait holds the glides", MoveBits::Time, 4, 1, 1, later, 3 + 10},
  };
  for (const Case& c : cases) {
    Rig r;
    TShowFrame first = Page(0);
    first.Moves = c.Moves;
    first.Wait = c.Wait;
    first.StepUnit = c.StepUnit;
    first.StepAmount = c.StepAmount;
    r.Load({first, c.Next});
    EXPECT_EQ(TicksToAdvance(r), c.Ticks) << c.Name;
  }
}

TEST(Player, ThePlaceGlideLeavesTheCityAndTheLastPageNeverAdvances) {
  Rig r;
  TShowFrame a = Page(0), b = Page(0);
  a.Moves = MoveBits::Place;
  a.City = 3;
  b.Latitude = -34 * Deg;
  r.Load({a, b});
  r.Lecture.Current = 1;
  r.Lecture.ApplyFrame(1, true);
  EXPECT_FALSE(r.Lecture.StepShow());
  EXPECT_EQ(r.Model->City, 0);
  r.Lecture.Current = 2;
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(r.Lecture.StepShow());
}

TEST(Player, PlaceAndViewSteps) {
  struct Case {
    const char* Name;
    bool View, Ground;
    double FromLon, FromLat, ToLon, ToLat;
    int Code;
    double Lon, Lat;  // after the step
  };
  const Case cases[] = {
      {"east", false, false, 10, 0, 20, 0, 201, 11, 0},
      {"west", false, false, 20, 0, 10, 0, 203, 19, 0},
      {"exactly 180 degrees away goes east", false, false, 0, 0, 180, 0, 201, 1, 0},
      {"across the date line east", false, false, 179.5, 0, -170, 0, 201, -179.5, 0},
      {"within a degree: only the latitude", false, false, 10, 0, 10.5, 5, 202, 10, 1},
      {"within a degree the other way", false, false, 10, 0, 9.5, -5, 204, 10, -1},
      {"arrived", false, false, 10, 5, 10.9, 5.9, 0, 10, 5},
      {"latitude clamps at the pole", false, false, 0, 89.5, 0, 95, 202, 0, 90},
      {"view azimuth wraps into a turn", true, false, 359.5, 0, 10, 0, 201, 0.5, 0},
      {"view down without ground", true, false, 0, 0, 0, -30, 204, 0, -1},
      {"ground: the view stops at the horizon", true, true, 0, 0.5, 0, -30, 204, 0, 0},
      {"ground: a target below counts as arrived", true, true, 0, 0, 0, -30, 0, 0, 0},
  };
  for (const Case& c : cases) {
    Rig r;
    TSkyloom& m = *r.Model;
    m.ShowFlags = c.Ground ? SkyBits::Ground : 0;
    double& lon = c.View ? m.ViewAz : m.Longitude;
    double& lat = c.View ? m.ViewAlt : m.Latitude;
    lon = c.FromLon * Deg;
    lat = c.FromLat * Deg;
    const int code = c.View ? r.Lecture.TurnViewStep(c.ToLat * Deg, c.ToLon * Deg)
                            : r.Lecture.MovePlaceStep(c.ToLat * Deg, c.ToLon * Deg);
    EXPECT_EQ(code, c.Code) << c.Name;
    EXPECT_NEAR(lon / Deg, c.Lon, 1e-9) << c.Name;
    EXPECT_NEAR(lat / Deg, c.Lat, 1e-9) << c.Name;
  }
}

TEST(Player, AGlideAlwaysArrives) {
  // From everywhere to everywhere, in bounded steps, ground on or off.
  for (bool ground : {false, true})
    for (double from : {0.0, 90.0, 179.0, 270.0})
      for (double to : {0.0, 1.0, 180.0, 359.5}) {
        Rig r;
        r.Model->ShowFlags = ground ? SkyBits::Ground : 0;
        r.Model->ViewAz = from * Deg;
        r.Model->ViewAlt = 10 * Deg;
        int steps = 0;
        while (r.Lecture.TurnViewStep(-60 * Deg, to * Deg) != 0) ASSERT_LT(++steps, 400);
        r.Model->Longitude = (from - 180) * Deg;
        steps = 0;
        while (r.Lecture.MovePlaceStep(-89 * Deg, (to - 180) * Deg) != 0) ASSERT_LT(++steps, 400);
      }
}

TEST(Player, DateSteps) {
  struct Case {
    int Y, Mo, D, H, Mi, Unit;
    int64_t Amount;
    int EY, EMo, ED, EH, EMi;
    bool InRange;
  };
  const Case cases[] = {
      {2026, 1, 15, 23, 59, 1, 1, 2026, 1, 16, 0, 0, true},
      {2026, 12, 31, 23, 59, 1, 1, 2027, 1, 1, 0, 0, true},
      {2026, 1, 1, 0, 0, 1, -1, 2025, 12, 31, 23, 59, true},
      {2024, 2, 28, 12, 0, 2, 1, 2024, 2, 29, 12, 0, true},
      {2025, 2, 28, 12, 0, 2, 1, 2025, 3, 1, 12, 0, true},
      {2000, 3, 1, 0, 0, 2, -1, 2000, 2, 29, 0, 0, true},
      {1900, 3, 1, 0, 0, 2, -1, 1900, 2, 28, 0, 0, true},
      {2024, 2, 29, 0, 0, 3, 1, 2025, 3, 1, 0, 0, true},
      {2024, 12, 15, 0, 0, 2, 60, 2025, 2, 13, 0, 0, true},
      {2026, 1, 15, 21, 0, 5, 5, 2026, 1, 15, 21, 0, true},
      {2026, 1, 15, 21, 0, 1, 1440 * 365, 2027, 1, 15, 21, 0, true},
      {99999, 12, 31, 23, 59, 1, 1, 99999, 12, 31, 23, 59, false},
      {2026, 1, 1, 0, 0, 2, INT32_MAX, 99999, 12, 31, 23, 59, false},
      {2026, 1, 1, 0, 0, 3, INT32_MIN, -99999, 1, 1, 0, 0, false},
  };
  for (const Case& c : cases) {
    int32_t y = c.Y, mo = c.Mo, d = c.D, h = c.H, mi = c.Mi;
    EXPECT_EQ(AddToCivilDate(y, mo, d, h, mi, c.Unit, c.Amount), c.InRange);
    EXPECT_EQ(std::vector<int>({y, mo, d, h, mi}),
              std::vector<int>({c.EY, c.EMo, c.ED, c.EH, c.EMi}))
        << c.Y << "-" << c.Mo << "-" << c.D << " " << c.H << ":" << c.Mi << " unit " << c.Unit
        << " + " << c.Amount;
  }
}

// A glide in seconds carries into minutes and days and keeps the seconds at
// the edge of the dates a show can reach.
TEST(Player, AddsSecondsToTheShowDate) {
  struct Case {
    int32_t Y, Mo, D, H, Mi, S;
    int64_t Amount;
    int32_t EY, EMo, ED, EH, EMi, ES;
    bool InRange;
  } cases[] = {
      {2024, 4, 8, 13, 40, 30, 10, 2024, 4, 8, 13, 40, 40, true},
      {2026, 12, 31, 23, 59, 55, 10, 2027, 1, 1, 0, 0, 5, true},
      {2026, 8, 12, 18, 0, 5, -10, 2026, 8, 12, 17, 59, 55, true},
      {99999, 12, 31, 23, 59, 59, 1, 99999, 12, 31, 23, 59, 59, false},
  };
  for (const Case& c : cases) {
    int32_t y = c.Y, mo = c.Mo, d = c.D, h = c.H, mi = c.Mi, s = c.S;
    EXPECT_EQ(AddToCivilDate(y, mo, d, h, mi, s, 4, c.Amount), c.InRange);
    EXPECT_EQ(std::vector<int>({y, mo, d, h, mi, s}),
              std::vector<int>({c.EY, c.EMo, c.ED, c.EH, c.EMi, c.ES}))
        << c.Y << "-" << c.Mo << "-" << c.D << " " << c.H << ":" << c.Mi << ":" << c.S << " + "
        << c.Amount;
  }
}

TEST(PageText, PiecesNeverSplitACharacter) {
  struct Case {
    std::string Utf8;
    int N;
    std::vector<size_t> Sizes;
  };
  const Case cases[] = {
      {std::string(100, 'a'), 30, {30, 30, 30, 10}},
      {"猎户座是冬季最醒目的星座", 8, {8, 8, 8}},
      {"M42猎户座大星云", 6, {5, 6, 4}},          // "M42" and one character, then 3, then 2
      {"1月15日", 4, {4, 3}},
      {"", 10, {0}},
  };
  for (const Case& c : cases) {
    Rig r;
    TShowFrame f = Page(0);
    f.Text[0].set(Utf8ToGbk(c.Utf8));
    f.TextCount = 1;
    r.Load({f});
    TInfoText text;
    r.Lecture.BuildShowText(1, c.N * 6, 6, text);
    std::vector<size_t> sizes;
    std::string joined;
    for (int i = 1; i <= text.LineCount; ++i) {
      const std::string piece = text.Lines[i].str();
      sizes.push_back(piece.size());
      joined += piece;
      EXPECT_EQ(GbkToUtf8(piece).find('?'), std::string::npos) << c.Utf8;
    }
    EXPECT_EQ(sizes, c.Sizes) << c.Utf8;
    EXPECT_EQ(joined, Utf8ToGbk(c.Utf8));
  }
}

TEST(PageText, BuildShowTextForAPageAndForTheDescription) {
  Rig r;
  TShowFrame f = Page(0);
  f.Caption.set(Utf8ToGbk("猎户座"));
  f.Text[0].set(Utf8ToGbk("参宿四和参宿七是猎户座最亮的两颗星，一红一蓝。"));
  f.Text[1].set("");
  f.Text[2].set(Utf8ToGbk("看M42"));
  f.TextCount = 3;
  ShortString title;
  title.set(Utf8ToGbk("冬季星空"));
  std::vector<ShortString> lines(2);
  lines[0].set(Utf8ToGbk("第一行"));
  lines[1].set(Utf8ToGbk("第二行"));
  ASSERT_TRUE(r.Lecture.LoadShowBytes(EncodeShowFile('R', title, lines, std::vector{f}), "x", false)
                  .Loaded());
  TInfoText text;
  text.TopLine = 3;
  r.Lecture.BuildShowText(1, 240, 6, text);  // 40 bytes a piece
  EXPECT_EQ(GbkToUtf8(text.Title.view()), "猎户座");
  ASSERT_EQ(text.LineCount, 4);
  EXPECT_EQ(text.Lines[1].Len, 40);
  EXPECT_EQ(text.Lines[3].str(), "");
  EXPECT_EQ(GbkToUtf8(text.Lines[4].view()), "看M42");
  EXPECT_EQ(text.TopLine, 0);

  r.Lecture.BuildShowText(5, 510, 6, text);  // beyond Count: the description
  EXPECT_EQ(GbkToUtf8(text.Title.view()), "冬季星空");
  ASSERT_EQ(text.LineCount, 2);
  EXPECT_EQ(GbkToUtf8(text.Body), "第一行第二行");

  // 50 long lines stop at 50 pieces.
  for (auto& t : r.Lecture.Frames[1].Text) t.set(std::string(200, 'x'));
  r.Lecture.Frames[1].TextCount = 50;
  r.Lecture.BuildShowText(1, 240, 7, text);  // 34 made even
  EXPECT_EQ(text.LineCount, 50);
  EXPECT_EQ(text.Lines[1].Len, 34);
}

// Pages that never reached the player through the reader (which refuses
// such targets) still end their view and place glides: a glide toward a
// longitude of 1e308 or a NaN view counts as arrived after MaxGlideTicks.
TEST(Player, AGlideThatCannotArriveEndsAfterItsBound) {
  for (double target : {1e308, -1e308, std::nan("")}) {
    Rig r;
    TShowFrame first = Page(0), next = Page(0);
    first.Moves = MoveBits::Place | MoveBits::View;
    r.Load({first, next});
    TShowFrame& stored = r.Lecture.Frames[2];
    stored.Longitude = target;
    stored.ViewAz = target;
    const int ticks = TicksToAdvance(r, 10 * MaxGlideTicks);
    EXPECT_GT(ticks, 0) << target;
    EXPECT_LE(ticks, MaxGlideTicks + 1) << target;
    EXPECT_TRUE(std::isfinite(r.Model->Longitude));
    EXPECT_TRUE(std::isfinite(r.Model->ViewAz));
  }
}

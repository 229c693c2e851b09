#include "ShowFrame.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "CityTable.h"
#include "CivilDate.h"
#include "LittleEndian.h"
#include "SkyModel.h"

namespace {

using namespace LittleEndian;

constexpr size_t HighlightsAt = 20, HighlightSize = 24;
constexpr size_t StarMarksAt = 500, StarMarkSize = 532;
constexpr size_t LineMarksAt = 27100, LineMarkSize = 12;
constexpr size_t AreaMarksAt = 27700, AreaMarkSize = 340;
constexpr size_t CaptionAt = 34500, TextAt = 34756, TextCountAt = 47556;
constexpr size_t DateAt = 47560, ZoneAt = 47580, LongitudeAt = 47584, LatitudeAt = 47592;
constexpr size_t SecondAt = 47604;
constexpr size_t CityAt = 47600, ViewAzAt = 47608, ViewAltAt = 47616, FieldAt = 47624;
constexpr size_t ShowFlagsAt = 47632;
constexpr size_t StarLimitAt = 47640, WaitAt = 47644, MovesAt = 47648, StepUnitAt = 47652;
constexpr size_t StepAmountAt = 47656, TrackingAt = 47660, TrackIdAt = 47664;
constexpr size_t SelConstAt = 47668, PopupAt = 47672;
static_assert(PopupAt + 24 == ShowFrameSize);
static_assert(HighlightsAt + MaxHighlights * HighlightSize == StarMarksAt);
static_assert(StarMarksAt + MaxStarMarks * StarMarkSize == LineMarksAt);
static_assert(LineMarksAt + MaxLineMarks * LineMarkSize == AreaMarksAt);
static_assert(AreaMarksAt + MaxAreaMarks * AreaMarkSize == CaptionAt);
static_assert(TextAt + MaxPageLines * 256 == TextCountAt);

uint64_t GetUInt64(std::span<const uint8_t> buf, size_t offset) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | GetByte(buf, offset + static_cast<size_t>(i));
  return v;
}

void PutUInt64(std::span<uint8_t> buf, size_t offset, uint64_t v) {
  for (size_t i = 0; i < 8; ++i) PutByte(buf, offset + i, static_cast<uint8_t>(v >> (8 * i)));
}

// Reads a count and cuts it to 0..capacity, noting a cut.
int32_t GetCount(std::span<const uint8_t> rec, size_t offset, int capacity, const char* name,
                 TFrameRepairs* repairs) {
  const int32_t stored = GetInt32(rec, offset);
  const int32_t used = UsedEntries(stored, capacity);
  if (used != stored && repairs) {
    if (!repairs->Notes.empty()) repairs->Notes += ", ";
    repairs->Notes += std::string(name) + " " + std::to_string(stored) + " cut to " +
                      std::to_string(used);
  }
  return used;
}

}  // namespace

void DecodeFrame(std::span<const uint8_t> rec, TShowFrame& f, TFrameRepairs* repairs) {
  f.SetMarks = GetByte(rec, 0);
  f.NewPage = GetByte(rec, 1);
  f.SetPlace = GetByte(rec, 2);
  f.SetShow = GetByte(rec, 3);
  f.HighlightCount = GetCount(rec, 4, MaxHighlights, "HighlightCount", repairs);
  f.StarMarkCount = GetCount(rec, 8, MaxStarMarks, "StarMarkCount", repairs);
  f.LineMarkCount = GetCount(rec, 12, MaxLineMarks, "LineMarkCount", repairs);
  f.AreaMarkCount = GetCount(rec, 16, MaxAreaMarks, "AreaMarkCount", repairs);
  for (size_t i = 0; i < MaxHighlights; ++i) {
    const size_t at = HighlightsAt + i * HighlightSize;
    THighlight& h = f.Highlights[i];
    h.Object = GetInt32(rec, at);
    h.ShowName = GetInt32(rec, at + 4);
    h.ShowLines = GetInt32(rec, at + 8);
    h.ShowStarNames = GetInt32(rec, at + 12);
    h.ShowGreek = GetInt32(rec, at + 16);
    h.Reserved = 0;
  }
  for (size_t i = 0; i < MaxStarMarks; ++i) {
    const size_t at = StarMarksAt + i * StarMarkSize;
    TStarMark& m = f.StarMarks[i];
    m.Star = GetInt32(rec, at);
    m.Circle = GetInt32(rec, at + 4);
    m.Note = GetInt32(rec, at + 8);
    m.Name = GetInt32(rec, at + 12);
    m.Reserved0 = 0;
    m.Text = GetShortString(rec, at + 20);
    std::memset(m.Reserved1, 0, sizeof m.Reserved1);
  }
  for (size_t i = 0; i < MaxLineMarks; ++i) {
    const size_t at = LineMarksAt + i * LineMarkSize;
    f.LineMarks[i].StarA = GetInt32(rec, at);
    f.LineMarks[i].StarB = GetInt32(rec, at + 4);
    f.LineMarks[i].Color = static_cast<uint32_t>(GetInt32(rec, at + 8));
  }
  for (size_t i = 0; i < MaxAreaMarks; ++i) {
    const size_t at = AreaMarksAt + i * AreaMarkSize;
    TAreaMark& a = f.AreaMarks[i];
    for (size_t j = 0; j < 20; ++j) a.Stars[j] = GetInt32(rec, at + 4 * j);
    a.Count = UsedEntries(GetInt32(rec, at + 80), 20);
    a.Name = GetShortString(rec, at + 84);
  }
  f.Caption = GetShortString(rec, CaptionAt);
  for (size_t i = 0; i < MaxPageLines; ++i) f.Text[i] = GetShortString(rec, TextAt + 256 * i);
  f.TextCount = GetCount(rec, TextCountAt, MaxPageLines, "TextCount", repairs);
  f.Year = GetInt32(rec, DateAt);
  f.Month = GetInt32(rec, DateAt + 4);
  f.Day = GetInt32(rec, DateAt + 8);
  f.Hour = GetInt32(rec, DateAt + 12);
  f.Minute = GetInt32(rec, DateAt + 16);
  f.Second = GetInt32(rec, SecondAt);
  f.Zone = GetInt32(rec, ZoneAt);
  if (HasZone(f.Zone) && (f.Zone < EncodeZone(MinZone) || f.Zone > EncodeZone(MaxZone))) {
    if (repairs) {
      if (!repairs->Notes.empty()) repairs->Notes += ", ";
      repairs->Notes += "zone field " + std::to_string(f.Zone) + " ignored";
    }
    f.Zone = 0;
  }
  // The angles as stored, so that PageFault can name one that is not finite.
  f.Longitude = GetRawDouble(rec, LongitudeAt);
  f.Latitude = GetRawDouble(rec, LatitudeAt);
  f.City = GetInt32(rec, CityAt);
  f.ViewAz = GetRawDouble(rec, ViewAzAt);
  f.ViewAlt = GetRawDouble(rec, ViewAltAt);
  f.FieldOfView = GetRawDouble(rec, FieldAt);
  f.ShowFlags = GetUInt64(rec, ShowFlagsAt);
  f.StarLimit = GetInt32(rec, StarLimitAt);
  f.Wait = GetInt32(rec, WaitAt);
  f.Moves = GetInt32(rec, MovesAt);
  f.StepUnit = GetInt32(rec, StepUnitAt);
  f.StepAmount = GetInt32(rec, StepAmountAt);
  f.Tracking = GetByte(rec, TrackingAt);
  f.TrackId = GetInt32(rec, TrackIdAt);
  f.SelConst = GetInt32(rec, SelConstAt);
  for (size_t i = 0; i < 6; ++i) f.PopupSwitches[i] = GetInt32(rec, PopupAt + 4 * i);
}

void EncodeFrame(const TShowFrame& f, std::span<uint8_t> rec) {
  std::memset(rec.data(), 0, rec.size());
  PutByte(rec, 0, f.SetMarks);
  PutByte(rec, 1, f.NewPage);
  PutByte(rec, 2, f.SetPlace);
  PutByte(rec, 3, f.SetShow);
  PutInt32(rec, 4, f.HighlightCount);
  PutInt32(rec, 8, f.StarMarkCount);
  PutInt32(rec, 12, f.LineMarkCount);
  PutInt32(rec, 16, f.AreaMarkCount);
  for (size_t i = 0; i < MaxHighlights; ++i) {
    const size_t at = HighlightsAt + i * HighlightSize;
    const THighlight& h = f.Highlights[i];
    PutInt32(rec, at, h.Object);
    PutInt32(rec, at + 4, h.ShowName);
    PutInt32(rec, at + 8, h.ShowLines);
    PutInt32(rec, at + 12, h.ShowStarNames);
    PutInt32(rec, at + 16, h.ShowGreek);
  }
  for (size_t i = 0; i < MaxStarMarks; ++i) {
    const size_t at = StarMarksAt + i * StarMarkSize;
    const TStarMark& m = f.StarMarks[i];
    PutInt32(rec, at, m.Star);
    PutInt32(rec, at + 4, m.Circle);
    PutInt32(rec, at + 8, m.Note);
    PutInt32(rec, at + 12, m.Name);
    PutShortString(rec, at + 20, m.Text);
  }
  for (size_t i = 0; i < MaxLineMarks; ++i) {
    const size_t at = LineMarksAt + i * LineMarkSize;
    PutInt32(rec, at, f.LineMarks[i].StarA);
    PutInt32(rec, at + 4, f.LineMarks[i].StarB);
    PutInt32(rec, at + 8, static_cast<int32_t>(f.LineMarks[i].Color));
  }
  for (size_t i = 0; i < MaxAreaMarks; ++i) {
    const size_t at = AreaMarksAt + i * AreaMarkSize;
    const TAreaMark& a = f.AreaMarks[i];
    for (size_t j = 0; j < 20; ++j) PutInt32(rec, at + 4 * j, a.Stars[j]);
    PutInt32(rec, at + 80, a.Count);
    PutShortString(rec, at + 84, a.Name);
  }
  PutShortString(rec, CaptionAt, f.Caption);
  for (size_t i = 0; i < MaxPageLines; ++i) PutShortString(rec, TextAt + 256 * i, f.Text[i]);
  PutInt32(rec, TextCountAt, f.TextCount);
  PutInt32(rec, DateAt, f.Year);
  PutInt32(rec, DateAt + 4, f.Month);
  PutInt32(rec, DateAt + 8, f.Day);
  PutInt32(rec, DateAt + 12, f.Hour);
  PutInt32(rec, DateAt + 16, f.Minute);
  PutInt32(rec, SecondAt, f.Second);
  PutInt32(rec, ZoneAt, f.Zone);
  PutDouble(rec, LongitudeAt, f.Longitude);
  PutDouble(rec, LatitudeAt, f.Latitude);
  PutInt32(rec, CityAt, f.City);
  PutDouble(rec, ViewAzAt, f.ViewAz);
  PutDouble(rec, ViewAltAt, f.ViewAlt);
  PutDouble(rec, FieldAt, f.FieldOfView);
  PutUInt64(rec, ShowFlagsAt, f.ShowFlags);
  PutInt32(rec, StarLimitAt, f.StarLimit);
  PutInt32(rec, WaitAt, f.Wait);
  PutInt32(rec, MovesAt, f.Moves);
  PutInt32(rec, StepUnitAt, f.StepUnit);
  PutInt32(rec, StepAmountAt, f.StepAmount);
  PutByte(rec, TrackingAt, f.Tracking);
  PutInt32(rec, TrackIdAt, f.TrackId);
  PutInt32(rec, SelConstAt, f.SelConst);
  for (size_t i = 0; i < 6; ++i) PutInt32(rec, PopupAt + 4 * i, f.PopupSwitches[i]);
}

namespace {

std::string Outside(const char* field, int64_t value, int64_t lo, int64_t hi) {
  return std::string(field) + " " + std::to_string(value) + " is outside " + std::to_string(lo) +
         ".." + std::to_string(hi);
}

// An angle in radians that is finite and within `limit` either way.
std::string AngleFault(const char* field, double v, double limit) {
  if (std::isfinite(v) && std::fabs(v) <= limit) return "";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return std::string(field) + " " + buf + (std::isfinite(v) ? " radians is out of range" : " is not a number");
}

}  // namespace

std::string PageFault(const TShowFrame& f) {
  struct TRange {
    const char* Field;
    int64_t Value, Lo, Hi;
  };
  const TRange ranges[] = {
      {"year", f.Year, FirstYear, LastYear},
      {"month", f.Month, 1, 12},
      {"hour", f.Hour, 0, 23},
      {"minute", f.Minute, 0, 59},
      {"second", f.Second, 0, 59},
      {"city", f.City, 0, MaxCities},
      {"star limit", f.StarLimit, MinPageStarLimit, MaxPageStarLimit},
      {"wait", f.Wait, 0, MaxPageWait},
      {"glide", f.Moves, 0, MoveBits::Time | MoveBits::View | MoveBits::Place},
      {"step unit", f.StepUnit, 0, 4},
      {"step", f.StepAmount, -MaxPageStep, MaxPageStep},
      {"followed object", f.TrackId, 0, MaxObjectId},
      {"selected object", f.SelConst, 0, MaxObjectId},
  };
  for (const TRange& r : ranges)
    if (r.Value < r.Lo || r.Value > r.Hi) return Outside(r.Field, r.Value, r.Lo, r.Hi);
  const int days = DaysInMonth(f.Year, f.Month);
  if (f.Day < 1 || f.Day > days) return Outside("day", f.Day, 1, days);
  for (const std::string& fault : {AngleFault("longitude", f.Longitude, MaxPageLongitude),
                                   AngleFault("latitude", f.Latitude, MaxPageLatitude),
                                   AngleFault("view azimuth", f.ViewAz, MaxPageLongitude),
                                   AngleFault("view altitude", f.ViewAlt, MaxPageLatitude)})
    if (!fault.empty()) return fault;
  if (f.FieldOfView != 0 && !(f.FieldOfView >= MinPageField && f.FieldOfView <= MaxPageField)) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%g", f.FieldOfView);
    return std::string("field of view ") + buf + " is outside 5..180 degrees (0 keeps it)";
  }
  for (int i = 0; i < f.HighlightCount; ++i)
    if (f.Highlights[static_cast<size_t>(i)].Object < 0 || f.Highlights[static_cast<size_t>(i)].Object > MaxObjectId)
      return Outside("highlighted object", f.Highlights[static_cast<size_t>(i)].Object, 0, MaxObjectId);
  const auto starFault = [](const char* field, int32_t star) {
    return star < 0 || star > MaxStars ? Outside(field, star, 0, MaxStars) : std::string();
  };
  for (int i = 0; i < f.StarMarkCount; ++i)
    if (auto e = starFault("marked star", f.StarMarks[static_cast<size_t>(i)].Star); !e.empty()) return e;
  for (int i = 0; i < f.LineMarkCount; ++i) {
    const TLineMark& l = f.LineMarks[static_cast<size_t>(i)];
    if (auto e = starFault("line star", l.StarA); !e.empty()) return e;
    if (auto e = starFault("line star", l.StarB); !e.empty()) return e;
  }
  for (int i = 0; i < f.AreaMarkCount; ++i) {
    const TAreaMark& a = f.AreaMarks[static_cast<size_t>(i)];
    for (int j = 0; j < a.Count; ++j)
      if (auto e = starFault("area star", a.Stars[j]); !e.empty()) return e;
  }
  return "";
}

#include "Lecture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "DataFolder.h"
#include "FileIo.h"
#include "Gbk.h"
#include "InfoText.h"
#include "LittleEndian.h"
#include "SkyMarks.h"
#include "SkyModel.h"
#include "TimeScales.h"
#include "Transforms.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2 * Pi;
constexpr double HalfPi = Pi / 2;
// 2 pi less one degree: a difference above it is within a degree of arrival.
constexpr double AlmostTurn = 6.265732014659643181;

double WrapTurn(double a) {  // into [0, 2 pi)
  a = std::fmod(a, TwoPi);
  return a < 0 ? a + TwoPi : a;
}

// Reads the layouts of a show file from a byte buffer, refusing any count the
// remaining bytes cannot hold.
struct TCursor {
  std::span<const uint8_t> Bytes;
  size_t At = 0;
  size_t Left() const { return Bytes.size() - At; }
};

std::string Describe(const std::string& name, const std::string& what) {
  return "skyloom: " + name + ": " + what;
}

}  // namespace

std::string ShowPath(const std::string& fileName) {
  const std::string own = UserShowFolder();
  if (!own.empty()) {
    std::error_code ec;
    const std::filesystem::path mine = std::filesystem::path(own) / fileName;
    if (std::filesystem::is_regular_file(mine, ec)) return mine.string();
  }
  return std::string(ShowFolder) + "/" + fileName;
}

// ---------------------------------------------------------------- store

TLecture::TLecture() { Reset(); }

void TLecture::Attach(TSkyloom* model, TSkyMarks* marks, TPopupSwitches* popup) {
  Model = model;
  Marks = marks;
  Popup = popup;
}

std::string TLecture::FooterText() {
  return Utf8ToGbk("播放：A 连续播放，S 停止，X 下一页，W 上一页，Q 倒放。");
}

void TLecture::Reset() {
  Frames.assign(1, TShowFrame{});
  Count = 0;
  Title.set(Utf8ToGbk("新节目"));
  LineCount = 0;
  for (auto& l : Lines) l = ShortString{};
  Lines[MaxShowLines].set(FooterText());
  Current = 0;
  Reserved = 0;
  Wait = 0;
  TimeArrived = ViewArrived = PlaceArrived = false;
  GlideTicks = 0;
}

void TLecture::SetDescriptionOnly(const std::string& titleUtf8, const std::string& lineUtf8) {
  Frames.assign(1, TShowFrame{});
  Count = 0;
  Current = 0;
  Reserved = 0;
  Title.set(Utf8ToGbk(titleUtf8));
  for (auto& l : Lines) l = ShortString{};
  Lines[MaxShowLines].set(FooterText());
  LineCount = 1;
  Lines[1].set(Utf8ToGbk(lineUtf8));
}

TShowLoadResult TLecture::LoadShow(const std::string& path) { return LoadShowFile(path, false); }

TShowLoadResult TLecture::LoadShowInfo(const std::string& path) { return LoadShowFile(path, true); }

// Both loads read the file the same way; the description alone stops after
// the show's title and text.
TShowLoadResult TLecture::LoadShowFile(const std::string& path, bool infoOnly) {
  std::vector<uint8_t> bytes;
  std::string error;
  const TReadResult r = ReadFilePrefix(path, MaxShowFileBytes + 1, bytes, &error);
  if (r == TReadResult::Missing) return {TShowStatus::Missing, ""};
  if (r == TReadResult::Unreadable) {
    SetDescriptionOnly("无法打开的节目", "    无法打开节目文件“" + path + "”（" + error + "）。");
    return {TShowStatus::Unreadable, Describe(path, "cannot open the show (" + error + ")")};
  }
  return LoadShowBytes(bytes, path, infoOnly);
}

TShowLoadResult TLecture::LoadShowBytes(std::span<const uint8_t> bytes, const std::string& name,
                                        bool infoOnly) {
  using namespace LittleEndian;
  TShowLoadResult result;
  std::string notes;  // repairs, joined

  auto damaged = [&](const std::string& what) {
    SetDescriptionOnly("损坏的节目", "    节目文件“" + name + "”已损坏（" + what +
                                         "），无法播放。");
    result.Status = TShowStatus::Damaged;
    result.Message = Describe(name, "the show is damaged (" + what + ")");
    return result;
  };

  if (bytes.size() > MaxShowFileBytes)
    return damaged("larger than " + std::to_string(MaxShowFileBytes) + " bytes");
  if (bytes.empty()) return damaged("the file is empty");

  TCursor c{bytes, 1};
  const uint8_t tag = bytes[0];
  if (tag != 'F' && tag != 'R') {
    SetDescriptionOnly("未知格式", "    文件“" + name + "”不是本版本能读取的天文节目。");
    result.Status = TShowStatus::Unknown;
    result.Message = Describe(name, "not a show this version can read (unknown tag byte " +
                                        std::to_string(tag) + ")");
    return result;
  }

  // Everything is checked before the store changes; the pages go to a new
  // array that replaces the old one at the end.
  std::vector<TShowFrame> frames;
  int count = 0;
  ShortString title;
  int lineCount = 0;
  ShortString lines[MaxShowLines + 1];
  std::string failure;

  auto readCount = [&](const char* field, size_t itemSize, int32_t& out) {
    if (c.Left() < 4) {
      failure = std::string("ends before ") + field;
      return false;
    }
    out = GetInt32(bytes, c.At);
    c.At += 4;
    if (out < 0) {
      failure = std::string(field) + " " + std::to_string(out) + " is negative";
      return false;
    }
    if (static_cast<uint64_t>(out) * itemSize > c.Left()) {
      failure = std::string(field) + " " + std::to_string(out) + " needs " +
                std::to_string(static_cast<uint64_t>(out) * itemSize) + " bytes, " +
                std::to_string(c.Left()) + " are left";
      return false;
    }
    return true;
  };
  auto readFrames = [&]() {
    int32_t n = 0;
    if (!readCount("Count", ShowFrameSize, n)) return false;
    count = n;
    if (infoOnly) {
      c.At += static_cast<size_t>(n) * ShowFrameSize;
      return true;
    }
    frames.assign(static_cast<size_t>(n) + 1, TShowFrame{});
    for (int k = 1; k <= n; ++k) {
      TFrameRepairs repairs;
      DecodeFrame(bytes.subspan(c.At, ShowFrameSize), frames[static_cast<size_t>(k)], &repairs);
      c.At += ShowFrameSize;
      const std::string fault = PageFault(frames[static_cast<size_t>(k)]);
      if (!fault.empty()) {
        failure = "page " + std::to_string(k) + ": " + fault;
        return false;
      }
      if (repairs.Any()) {
        if (!notes.empty()) notes += "; ";
        notes += "page " + std::to_string(k) + ": " + repairs.Notes;
      }
    }
    return true;
  };
  auto readDescription = [&]() {
    if (c.Left() < 256) {
      failure = "ends inside Title";
      return false;
    }
    title = GetShortString(bytes, c.At);
    c.At += 256;
    int32_t n = 0;
    if (!readCount("LineCount", 256, n)) return false;
    for (int i = 1; i <= n; ++i) {
      if (i <= MaxShowLines) lines[i] = GetShortString(bytes, c.At);
      c.At += 256;
    }
    if (n > MaxShowLines) {
      if (!notes.empty()) notes += "; ";
      notes += "LineCount " + std::to_string(n) + " cut to " + std::to_string(MaxShowLines);
    }
    lineCount = std::min(n, MaxShowLines);
    return true;
  };

  const bool ok = tag == 'F' ? (readFrames() && readDescription())
                             : (readDescription() && readFrames());
  if (!ok) return damaged(failure);
  if (c.Left() > 0) {
    if (!notes.empty()) notes += "; ";
    notes += std::to_string(c.Left()) + " bytes after the last item ignored";
  }

  if (infoOnly) frames.assign(1, TShowFrame{});
  Frames = std::move(frames);
  Count = infoOnly ? 0 : count;
  Title = title;
  LineCount = lineCount;
  for (int i = 1; i <= MaxShowLines; ++i) Lines[i] = lines[i];
  if (lineCount < MaxShowLines) Lines[MaxShowLines].set(FooterText());
  Current = 0;
  Reserved = 0;
  Wait = 0;
  TimeArrived = ViewArrived = PlaceArrived = false;
  GlideTicks = 0;
  if (!notes.empty()) {
    result.Status = TShowStatus::Repaired;
    result.Message = Describe(name, "the show is damaged, loaded what fits (" + notes + ")");
  }
  return result;
}

std::vector<uint8_t> EncodeShowFile(char tag, const ShortString& title,
                                    std::span<const ShortString> lines,
                                    std::span<const TShowFrame> frames) {
  using namespace LittleEndian;
  std::vector<uint8_t> out(1 + 4 + frames.size() * ShowFrameSize + 256 + 4 + lines.size() * 256);
  std::span<uint8_t> buf(out);
  size_t at = 0;
  buf[at++] = static_cast<uint8_t>(tag == 'R' ? 'R' : 'F');
  const auto putFrames = [&] {
    PutInt32(buf, at, static_cast<int32_t>(frames.size()));
    at += 4;
    for (const TShowFrame& f : frames) {
      EncodeFrame(f, buf.subspan(at, ShowFrameSize));
      at += ShowFrameSize;
    }
  };
  const auto putDescription = [&] {
    PutShortString(buf, at, title);
    at += 256;
    PutInt32(buf, at, static_cast<int32_t>(lines.size()));
    at += 4;
    for (const ShortString& l : lines) {
      PutShortString(buf, at, l);
      at += 256;
    }
  };
  if (tag == 'R') {
    putDescription();
    putFrames();
  } else {
    putFrames();
    putDescription();
  }
  return out;
}

// ---------------------------------------------------------------- playing

void TLecture::ApplyFrame(int k, bool full) {
  if (k < 1 || k > Count || !Model) return;
  const TShowFrame& f = Frames[static_cast<size_t>(k)];
  TSkyloom& m = *Model;
  if (full || f.SetPlace) {
    m.Year = f.Year;
    m.Month = f.Month;
    m.Day = f.Day;
    m.Hour = f.Hour;
    m.Minute = f.Minute;
    m.Second = f.Second;
    if (HasZone(f.Zone)) m.TimeZone = DecodeZone(f.Zone);
    m.Longitude = f.Longitude;
    m.Latitude = f.Latitude;
    m.ViewAz = f.ViewAz;
    m.ViewAlt = f.ViewAlt;
    m.City = f.City;
    if (f.FieldOfView != 0) {
      m.FieldOfView = f.FieldOfView;
      ApplyFieldOfView(m);
    }
  }
  if (full || f.SetShow) {
    m.ShowFlags = f.ShowFlags;
    m.StarLimit = f.StarLimit;
  }
  if ((full || f.SetMarks) && Marks) {
    Marks->HighlightCount = f.HighlightCount;
    Marks->StarMarkCount = f.StarMarkCount;
    Marks->LineMarkCount = f.LineMarkCount;
    Marks->AreaMarkCount = f.AreaMarkCount;
    for (int i = 0; i < MaxHighlights; ++i) Marks->Highlights[i + 1] = f.Highlights[i];
    for (int i = 0; i < MaxStarMarks; ++i) Marks->StarMarks[i + 1] = f.StarMarks[i];
    for (int i = 0; i < MaxLineMarks; ++i) Marks->LineMarks[i + 1] = f.LineMarks[i];
    for (int i = 0; i < MaxAreaMarks; ++i) Marks->AreaMarks[i + 1] = f.AreaMarks[i];
    m.SelConst = f.SelConst;
    if (f.SelConst > 0 && Popup) {
      Popup->ConstellationHighlight = f.PopupSwitches[PopupIndex::Highlight] > 0;
      Popup->ConstellationLines = f.PopupSwitches[PopupIndex::Lines] > 0;
      Popup->ConstellationStarNames = f.PopupSwitches[PopupIndex::StarNames] > 0;
      Popup->ConstellationGreekNames = f.PopupSwitches[PopupIndex::Greek] > 0;
      Popup->ConstellationBoundary = f.PopupSwitches[PopupIndex::Boundary] > 0;
    }
  }
  m.Tracking = f.Tracking;
  m.TrackId = f.TrackId;
  Wait = f.Wait;
  TimeArrived = ViewArrived = PlaceArrived = false;
  GlideTicks = 0;
}

void TLecture::PointAtTrack() {
  TSkyloom& m = *Model;
  m.ViewAz = WrapTurn(std::atan2(m.TrackY, m.TrackX));
  m.ViewAlt = std::atan2(m.TrackZ, std::sqrt(m.TrackX * m.TrackX + m.TrackY * m.TrackY));
}

void TLecture::JumpFrames(int delta) {
  if (Count <= 0) return;
  const long next = static_cast<long>(Current) + delta;
  if (next <= 0) {
    Current = 0;
    ApplyFrame(1, true);
    return;
  }
  Current = static_cast<int>(std::min<long>(next, Count));
  ApplyFrame(Current, true);
  if (Model && Model->Tracking) {
    // The tracked direction is that of the page just applied (its object,
    // clock and place), not the one the last frame left behind.
    Model->UpdateSky();
    PointAtTrack();
  }
}

void TLecture::NextFrame() {
  if (Count <= 0 || Current >= Count) return;
  ++Current;
  ApplyFrame(Current, false);
}

bool TLecture::StepShow() {
  if (Count <= 0 || !Model) return false;
  const int k = Current;
  if (k == 0) return true;
  if (k >= Count) return false;
  --Wait;
  if (Wait >= 1) return false;
  const TShowFrame& f = Frames[static_cast<size_t>(k)];
  const TShowFrame& next = Frames[static_cast<size_t>(k) + 1];
  TSkyloom& m = *Model;

  if (!(f.Moves & MoveBits::Time) || f.StepAmount == 0 || f.StepUnit < 1 || f.StepUnit > 4) {
    TimeArrived = true;
  } else if (!TimeArrived) {
    const bool inRange = AddToDate(f.StepUnit, f.StepAmount);
    if (m.Tracking) PointAtTrack();
    const long double now = DayCountOf(m.Year, m.Month, m.Day, m.Hour, m.Minute, 0, m.Second);
    const long double then =
        DayCountOf(next.Year, next.Month, next.Day, next.Hour, next.Minute, 0, next.Second);
    TimeArrived = !inRange || (f.StepAmount > 0 ? now >= then : now <= then);
  }
  // Values that stall a glide are refused when a show is read; whatever
  // else keeps one from arriving ends it here, so a show never stalls.
  if (++GlideTicks > MaxGlideTicks) ViewArrived = PlaceArrived = true;
  if (!(f.Moves & MoveBits::View)) {
    ViewArrived = true;
  } else if (!ViewArrived) {
    ViewArrived = TurnViewStep(next.ViewAlt, next.ViewAz) == 0;
  }
  if (!(f.Moves & MoveBits::Place)) {
    PlaceArrived = true;
  } else if (!PlaceArrived) {
    if (MovePlaceStep(next.Latitude, next.Longitude) != 0) {
      m.City = 0;
    } else {
      PlaceArrived = true;
    }
  }
  return TimeArrived && ViewArrived && PlaceArrived;
}

// Steps `lon`/`lat` one degree towards (toLat, toLon). `wrapLon` brings the
// longitude back into its range; `lowest` is the lower limit of `lat`. A
// step that the limits leave without effect counts as arrival, so a target
// below a limit cannot stall the glide.
static int StepTowards(double& lon, double& lat, double toLat, double toLon, double lowest,
                       double (*wrapLon)(double)) {
  const double d = WrapTurn(toLon - lon);
  if (d > OneDegree && d <= Pi) {
    lon = wrapLon(lon + OneDegree);
    return 201;
  }
  if (d > Pi && d < AlmostTurn) {
    lon = wrapLon(lon - OneDegree);
    return 203;
  }
  if (lat - toLat > OneDegree) {
    const double before = lat;
    lat = std::max(lat - OneDegree, lowest);
    return lat < before ? 204 : 0;
  }
  if (lat - toLat < -OneDegree) {
    const double before = lat;
    lat = std::min(lat + OneDegree, HalfPi);
    return lat > before ? 202 : 0;
  }
  return 0;
}

// East longitudes stay in (-pi, pi], as the city table keeps them.
static double WrapLongitude(double a) {
  a = WrapTurn(a);
  return a > Pi ? a - TwoPi : a;
}

int TLecture::MovePlaceStep(double lat, double lon) {
  if (!Model) return 0;
  return StepTowards(Model->Longitude, Model->Latitude, lat, lon, -HalfPi, WrapLongitude);
}

int TLecture::TurnViewStep(double alt, double az) {
  if (!Model) return 0;
  const double lowest = (Model->ShowFlags & SkyBits::Ground) ? 0.0 : -HalfPi;
  return StepTowards(Model->ViewAz, Model->ViewAlt, alt, az, lowest, WrapTurn);
}

bool TLecture::AddToDate(int unit, int amount) {
  if (!Model) return false;
  TSkyloom& m = *Model;
  return AddToCivilDate(m.Year, m.Month, m.Day, m.Hour, m.Minute, m.Second, unit, amount);
}

// ---------------------------------------------------------------- text

void TLecture::BuildShowText(int k, int width, int charWidth, TInfoText& out) const {
  if (k > Count || k < 0) k = 0;
  int n = charWidth > 0 ? width / charWidth : 2;
  n -= n % 2;
  out.ClearLines();
  out.Body.clear();
  int pieces = 0;
  const auto add = [&](const ShortString& line) {
    out.Body += line.view();
    pieces += AppendGbkPieces(out, line.view(), n, MaxShowTextLines - pieces);
  };
  if (k == 0) {
    out.Title = Title;
    for (int i = 1; i <= LineCount; ++i) add(Lines[i]);
  } else {
    const TShowFrame& f = Frames[static_cast<size_t>(k)];
    out.Title = f.Caption;
    for (int i = 0; i < UsedEntries(f.TextCount, MaxPageLines); ++i) add(f.Text[static_cast<size_t>(i)]);
  }
  out.TopLine = 0;
}

void TLecture::StartShow() {
  Current = 0;
  Wait = 0;
  GlideTicks = 0;
  TimeArrived = ViewArrived = PlaceArrived = false;
}

bool TLecture::IsNewPage(int k) const {
  return k >= 1 && k <= Count && Frames[static_cast<size_t>(k)].NewPage != 0;
}

// ---------------------------------------------------------------- dates

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days from 1970-01-01 of a Gregorian date (months 1..12, any day offset).
int64_t SerialOf(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t mp = (m + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy + (d - 1) - 719468;
}

void CivilOf(int64_t serial, int64_t& y, int64_t& m, int64_t& d) {
  serial += 719468;
  const int64_t era = FloorDiv(serial, 146097);
  const int64_t doe = serial - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = yoe + era * 400 + (m <= 2);
}

}  // namespace

bool AddToCivilDate(int32_t& year, int32_t& month, int32_t& day, int32_t& hour, int32_t& minute,
                    int unit, int64_t amount) {
  int32_t second = 0;
  return AddToCivilDate(year, month, day, hour, minute, second, unit, amount);
}

bool AddToCivilDate(int32_t& year, int32_t& month, int32_t& day, int32_t& hour, int32_t& minute,
                    int32_t& second, int unit, int64_t amount) {
  int64_t y = year, mo = month, d = day, h = hour, mi = minute, s = second;
  if (unit == 1) mi += amount;
  else if (unit == 4) s += amount;
  else if (unit == 2) d += amount;
  else if (unit == 3) y += amount;
  // Months into 1..12, then minutes, hours and days through the day serial.
  y += FloorDiv(mo - 1, 12);
  mo = mo - 1 - FloorDiv(mo - 1, 12) * 12 + 1;
  mi += FloorDiv(s, 60);
  s -= FloorDiv(s, 60) * 60;
  h += FloorDiv(mi, 60);
  mi -= FloorDiv(mi, 60) * 60;
  d += FloorDiv(h, 24);
  h -= FloorDiv(h, 24) * 24;
  bool inRange = true;
  if (y < MinShowYear - 1 || y > MaxShowYear + 1) {
    inRange = false;
  } else {
    CivilOf(SerialOf(y, mo, d), y, mo, d);
  }
  if (!inRange || y < MinShowYear || y > MaxShowYear) {
    const bool low = y < MinShowYear;
    y = low ? MinShowYear : MaxShowYear;
    mo = low ? 1 : 12;
    d = low ? 1 : 31;
    h = low ? 0 : 23;
    mi = low ? 0 : 59;
    s = low ? 0 : 59;
    inRange = false;
  }
  year = static_cast<int32_t>(y);
  month = static_cast<int32_t>(mo);
  day = static_cast<int32_t>(d);
  hour = static_cast<int32_t>(h);
  minute = static_cast<int32_t>(mi);
  second = static_cast<int32_t>(s);
  return inRange;
}

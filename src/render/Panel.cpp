#include "Panel.h"

#include "Angles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Gbk.h"
#include "ImageNames.h"
#include "Interface.h"

namespace {


// The fixed words of the status line, in GBK, converted once.
struct TWords {
  std::string Year = Utf8ToGbk("年"), Month = Utf8ToGbk("月"), Day = Utf8ToGbk("日");
  std::string Open = Utf8ToGbk("（"), Close = Utf8ToGbk("）");
  std::string North = Utf8ToGbk("北纬"), South = Utf8ToGbk("南纬");
  std::string East = Utf8ToGbk("东经"), West = Utf8ToGbk("西经");
  std::string Degree = Utf8ToGbk("°");
  std::string Up = Utf8ToGbk("仰角："), Down = Utf8ToGbk("俯角：");
  std::string Field = Utf8ToGbk("视野 ");
  std::string Direction = Utf8ToGbk("方向："), Exactly = Utf8ToGbk("正"), By = Utf8ToGbk("偏");
  std::string Points[4] = {Utf8ToGbk("南"), Utf8ToGbk("东"), Utf8ToGbk("北"), Utf8ToGbk("西")};
  std::string Units[5] = {"", Utf8ToGbk("分"), Utf8ToGbk("日"), Utf8ToGbk("年"), Utf8ToGbk("秒")};
  std::string Song = Utf8ToGbk("宋体");
};

const TWords& Words() {
  static const TWords words;
  return words;
}

// The same words in English (ASCII; the degree sign in GBK).
const TWords& EnglishWords() {
  static const TWords words = [] {
    TWords w;
    w.Year = w.Month = "-";
    w.Day = "";
    w.Open = " (";
    w.Close = ")";
    w.North = w.South = w.East = w.West = "";
    w.Up = "Alt ";
    w.Down = "Dip ";
    w.Direction = "Facing ";
    w.Field = "Field ";
    w.Exactly = "";
    w.By = " by ";
    w.Points[0] = "S", w.Points[1] = "E", w.Points[2] = "N", w.Points[3] = "W";
    w.Units[1] = " min", w.Units[2] = " day", w.Units[3] = " yr", w.Units[4] = " s";
    return w;
  }();
  return words;
}

// Into (-pi, pi].
double Signed(double a) {
  a = std::fmod(a, FullCircle);
  if (a <= -M_PI) a += FullCircle;
  if (a > M_PI) a -= FullCircle;
  return a;
}

// Into [0, 2pi).
double Positive(double a) {
  a = std::fmod(a, FullCircle);
  if (a < 0) a += FullCircle;
  return a;
}

void AppendInt(std::string& out, long long v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%lld", v);
  out += buf;
}

// The number + 100, characters 2 and 3 of its decimal form.
void AppendTwoDigits(std::string& out, int v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%d", v + 100);
  const size_t n = std::strlen(buf);
  if (n > 1) out.append(buf + 1, std::min<size_t>(2, n - 1));
}

// round(x * 10) / 10 with at most one decimal and no trailing zero.
void AppendTenths(std::string& out, double x) {
  const long long t = std::llround(x * 10);
  AppendInt(out, t / 10);
  if (t % 10 != 0) {
    out += '.';
    AppendInt(out, std::llabs(t % 10));
  }
}

int FrameOfLook(const TRegion& r) {
  switch (r.State) {
    case 1: return 1;
    case 2: return 2;
    case 3: return r.Type == RegionType::Toggle ? 3 : 2;
    default: return 0;
  }
}

void Text(TPanelContext& c, int x, int y, const ShortString& s) {
  c.Scratch->assign(s.Text, s.Len);
  c.Canvas.TextOut(x, y, *c.Scratch);
}

// The panel's Song face, 12 units high: the 12-pixel bitmap strike at 1x,
// the outline face at the scaled pixel size, drawn smooth, otherwise.
void SetFont(TCanvas& canvas, TColor colour, const TStageLayout& m) {
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.Font.Name = Words().Song;
  canvas.Font.Color = colour;
  canvas.Font.Height = -m.Length(12);
  canvas.Font.Smooth = m.Scale > 1;
}

}  // namespace

void BuildStatusLine(const TSkyloom& sky, std::string_view cityName, std::string_view playerStatus,
                     int playerKind, int stepAmount, int stepUnit, std::string& out, int detail) {
  const bool english = sky.English == 1;
  const TWords& w = english ? EnglishWords() : Words();
  out.clear();
  const bool named = sky.City >= 1 && !cityName.empty();
  // Date and time.
  AppendInt(out, sky.Year % 100000);
  out += w.Year;
  AppendTwoDigits(out, sky.Month);
  out += w.Month;
  AppendTwoDigits(out, sky.Day);
  out += w.Day;
  out += ' ';
  AppendTwoDigits(out, sky.Hour);
  out += ':';
  AppendTwoDigits(out, sky.Minute);
  // Seconds where they tell something: a time flow in seconds, or a time
  // set to the second.
  if (stepUnit == 4 || sky.Second != 0) {
    out += ':';
    AppendTwoDigits(out, sky.Second);
  }
  out += ' ';
  // Place: a city's coordinates are left out of the shorter lines.
  if (sky.City >= 1) out += cityName;
  if (detail >= 2 || !named) {
    out += w.Open;
    const double lat = Signed(sky.Latitude), lon = Signed(sky.Longitude);
    out += lat >= 0 ? w.North : w.South;
    AppendTenths(out, std::fabs(lat) * DegreesPerRadian);
    out += w.Degree;
    if (english) out += lat >= 0 ? "N " : "S ";
    out += lon >= 0 ? w.East : w.West;
    AppendTenths(out, std::fabs(lon) * DegreesPerRadian);
    out += w.Degree;
    if (english) out += lon >= 0 ? "E" : "W";
    out += w.Close;
  }
  out += ' ';
  // Tilt ("仰" or "俯" alone in the shortest line).
  if (detail >= 1 || english) out += sky.ViewAlt >= 0 ? w.Up : w.Down;
  else out += (sky.ViewAlt >= 0 ? w.Up : w.Down).substr(0, 2);
  AppendInt(out, std::llround(std::fabs(Signed(sky.ViewAlt)) * DegreesPerRadian));
  out += w.Degree;
  out += ' ';
  // Direction: the nearest cardinal point and the angle from it.
  const long long h = std::llround(Positive(sky.ViewAz) * DegreesPerRadian);
  const int l = static_cast<int>((std::llround(static_cast<double>(h) + 45) / 90) % 4);
  const long long delta = h - 90LL * l;
  if (detail >= 1) out += w.Direction;
  if (delta == 0) {
    out += w.Exactly;
    out += w.Points[l];
  } else {
    const int second = (delta > 0 && delta < 180) ? (l + 1) % 4 : (l + 3) % 4;
    long long angle = std::llabs(delta);
    if (angle > 180) angle = 360 - angle;
    out += w.Points[l];
    out += w.By;
    out += w.Points[second];
    if (english) out += ' ';
    AppendInt(out, angle);
    out += w.Degree;
  }
  out += ' ';
  // The field of view, once it is not the default one.
  if (std::fabs(sky.FieldOfView - DefaultFieldOfView) > 1e-9) {
    out += w.Field;
    AppendInt(out, std::llround(sky.FieldOfView));
    out += w.Degree;
    out += ' ';
  }
  // Time flow.
  out += playerStatus;
  if (playerKind == 1) {
    AppendInt(out, stepAmount);
    if (stepUnit >= 1 && stepUnit <= 4) out += w.Units[stepUnit];
  }
}

std::string BuildStatusLine(const TSkyloom& sky, std::string_view cityName,
                            std::string_view playerStatus, int playerKind, int stepAmount,
                            int stepUnit) {
  std::string out;
  BuildStatusLine(sky, cityName, playerStatus, playerKind, stepAmount, stepUnit, out, 2);
  return out;
}

void DrawPanelBackground(TPanelContext& c) {
  const TStageLayout& m = c.Layout;
  const int panel = c.Images.Find(ImageNames::Panel);
  const int px = m.X(c.Ui.Sections[2].X), py = m.Y(c.Ui.Sections[2].Y);
  c.Images.Draw(c.Buffer, panel, px, py, 0);
  // On a stage wider than the panel its outermost columns carry on to the
  // stage's edges, so the panel's band spans the whole width.
  const int pw = c.Images.Width(panel), ph = c.Images.Height(panel);
  TBackBuffer& b = c.Buffer;
  const int W = b.Width();
  if (pw <= 0 || (px <= 0 && px + pw >= W)) return;
  for (int y = std::max(py, 0); y < std::min(py + ph, b.Height()); ++y) {
    uint16_t* row = b.Pixels() + static_cast<size_t>(y) * W;
    if (px > 0 && px < W) std::fill(row, row + px, row[px]);
    const int right = px + pw;
    if (right > 0 && right < W) std::fill(row + right, row + W, row[right - 1]);
  }
}

void DrawStoryPanel(TPanelContext& c) {
  const TRegion& text = c.Ui.WellKnownRegion(3);
  if (text.Width <= 0) return;  // no text region in the description
  const TStageLayout& m = c.Layout;
  const int ux = c.Ui.Sections[2].X + text.X, uy = c.Ui.Sections[2].Y + text.Y;  // frame units
  const int qx = m.X(ux), qy = m.Y(uy);
  c.Images.Draw(c.Buffer, c.Images.Find(ImageNames::StoryBack), qx, qy, 0);
  TRegion& thumb = c.Ui.RegionAt(27);
  if (!c.TextShown) return;
  const TInfoText& info = c.Info;
  if (c.PanelState == 1) {
    SetFont(c.Canvas, RGB(250, 55, 0), m);
    c.Scratch->assign(info.Title.Text, info.Title.Len);
    const int tw = c.Canvas.TextWidth(*c.Scratch);
    c.Canvas.TextOut(m.X(ux + 68 + 10) - tw / 2, m.Y(uy + 4), *c.Scratch);
    c.Canvas.Font.Color = RGB(255, 204, 0);
    for (int i = 1; i <= 5 && info.TopLine + i <= info.LineCount; ++i) {
      const int n = info.TopLine + i;
      if (n >= 1 && n <= MaxInfoLines)
        Text(c, m.X(ux + 10), m.Y(uy + 8 + i * c.LineHeight), info.Lines[n]);
    }
    c.Canvas.Release();
    const TRegion &up = c.Ui.RegionAt(25), &down = c.Ui.RegionAt(26);
    if (info.LineCount > 5) {
      const int span = down.Y - up.Y - up.Height - thumb.Height;
      int y = up.Y + up.Height + span * info.TopLine / (info.LineCount - 1);
      if (y > down.Y - thumb.Height) y = down.Y - thumb.Height;
      thumb.Y = y;
    } else {
      thumb.Y = 1000;
    }
  } else if (c.PanelState == 2 && c.SubtitlesOn) {
    const TRegion& strip = c.Ui.RegionAt(28);
    // A dark band for three whole lines, ending above the lowered panel,
    // drawn over the sky so that no sky label shows through the text.
    const int ox = m.X(c.Ui.Sections[1].X + strip.X);
    const int lh = m.Length(c.LineHeight);  // pixels
    const int bandBottom =
        std::min(m.Y(c.Ui.Sections[1].Y + strip.Y + strip.Height), m.Y(c.Ui.Sections[2].Y)) - m.Length(2);
    const int bandTop = bandBottom - 3 * lh - m.Length(8);
    const int oy = bandTop + m.Length(4) - lh;  // line i's top at oy + i x lh
    TBackBuffer& b = c.Buffer;
    const int right = std::min(ox + m.Length(std::max(strip.Width, 660)), b.Width());
    for (int y = std::max(bandTop, 0); y < bandBottom && y < b.Height(); ++y)
      for (int x = std::max(ox, 0); x < right; ++x) b.Put(x, y, RGB(8, 8, 28));
    SetFont(c.Canvas, RGB(250, 55, 0), m);
    Text(c, ox + m.Length(4), oy + lh, info.Title);
    c.Canvas.Font.Color = RGB(255, 204, 0);
    const TRect clip{ox + m.Length(100), bandTop, ox + m.Length(650), bandBottom};
    for (int i = 1; i <= 3; ++i) {
      int n = info.TopLine + i;
      if (n > info.LineCount) n = info.LineCount < 2 ? 0 : n % info.LineCount;
      if (n >= 1 && n <= MaxInfoLines) {
        c.Scratch->assign(info.Lines[n].Text, info.Lines[n].Len);
      } else {
        c.Scratch->clear();
      }
      c.Canvas.TextRect(clip, ox + m.Length(100), oy + i * lh - m.Length(info.PixelOffset),
                        *c.Scratch);
    }
    c.Canvas.Release();
  }
}

void DrawButtons(TPanelContext& c) {
  for (int i = 1; i <= MaxRegions; ++i) {
    const TRegion& r = c.Ui.Regions[i];
    if (!r.Visible || r.Image.empty()) continue;
    c.Scratch->assign(r.Image.Text, r.Image.Len);
    c.Images.Draw(c.Buffer, c.Images.Find(*c.Scratch), c.Ui.RegionScreenX(i, c.Layout),
                  c.Ui.RegionScreenY(i, c.Layout), FrameOfLook(r));
  }
}

void DrawDials(TPanelContext& c) {
  const TStageLayout& m = c.Layout;
  const int ux = c.Ui.Sections[2].X, uy = c.Ui.Sections[2].Y;  // frame units
  // A dial the description leaves out is not drawn.
  const TRegion& ar = c.Ui.WellKnownRegion(1);
  if (ar.Width > 0) {
    const int cx = m.X(ux + ar.X + ar.Width / 2), cy = m.Y(uy + ar.Y + ar.Height / 2);
    const int comp = c.Images.Find(ImageNames::Comp);
    c.Images.DrawRotate(c.Buffer, comp, cx, cy, c.Images.Width(comp), c.Images.Height(comp), 0,
                        0.5, 0.5, static_cast<int>(std::lround(c.Sky.ViewAz / FullCircle * 256)));
    const int needle = c.Images.Find(ImageNames::Needle);
    c.Images.Draw(c.Buffer, needle, cx - c.Images.Width(needle) / 2,
                  cy - c.Images.Height(needle) / 2 - m.Length(5), 0);
  }
  const TRegion& lr = c.Ui.WellKnownRegion(2);
  if (lr.Width <= 0) return;
  const int lx = ux + lr.X, ly = uy + lr.Y;
  c.Images.Draw(c.Buffer, c.Images.Find(ImageNames::StarBack), m.X(lx), m.Y(ly), 0);
  c.Images.Draw(c.Buffer, c.Images.Find(ImageNames::Stick), m.X(lx + 44), m.Y(ly + 31), 0);
  const int glass = c.Images.Find(ImageNames::Glass);
  c.Images.DrawRotate(c.Buffer, glass, m.X(lx + 56), m.Y(ly + 39), c.Images.Width(glass),
                      c.Images.Height(glass), 0, 0.5, 0.5,
                      static_cast<int>(std::lround(c.Sky.ViewAlt / FullCircle * 256)));
}

namespace {

// The status line's width, and the line drawn when `clip` is given. Where
// text is drawn smooth (at scale) it goes word by word: the words that
// stay (the date, the place, the heights) come from the text cache, and
// only the one that changes in every frame (the direction while the view
// turns, the clock while time runs) is drawn anew.
int StatusLine(TPanelContext& c, const std::string& line, const TRect* clip, int x, int y) {
  TCanvas& cv = c.Canvas;
  if (!cv.Font.Smooth || !c.Scratch) {
    if (clip) cv.TextRect(*clip, x, y, line);
    return cv.TextWidth(line);
  }
  std::string& word = *c.Scratch;
  word = " ";
  const int space = cv.TextWidth(word);
  int at = 0;
  for (size_t start = 0;;) {
    const size_t end = std::min(line.find(' ', start), line.size());
    if (end > start) {
      word.assign(line, start, end - start);
      if (clip) cv.TextRect(*clip, x + at, y, word);
      at += cv.TextWidth(word);
    }
    if (end == line.size()) break;
    at += space;
    start = end + 1;
  }
  return at;
}

}  // namespace

void DrawShowBar(TPanelContext& c) {
  const TRegion& br = c.Ui.WellKnownRegion(6);
  // Without a show bar region the line still has its usual place.
  const bool bar = br.Width > 0;
  const TStageLayout& m = c.Layout;
  const int x = m.X(c.Ui.Sections[2].X + (bar ? br.X : 6)), y = m.Y(c.Ui.Sections[2].Y + (bar ? br.Y : 6));
  const int w = m.Length(bar ? br.Width : 540), h = m.Length(bar ? br.Height : 24);
  if (bar) c.Images.Draw(c.Buffer, c.Images.Find(ImageNames::ShowBar), x, y, 0);
  SetFont(c.Canvas, RGB(255, 204, 0), m);
  // The fullest line that fits the bar: without a city's coordinates, then
  // with shorter words, so that the time flow at its end stays readable.
  for (int detail = 2; detail >= 0; --detail) {
    BuildStatusLine(c.Sky, c.CityName, c.PlayerStatus, c.PlayerKind, c.StepAmount, c.StepUnit,
                    *c.StatusScratch, detail);
    if (m.Length(10) + StatusLine(c, *c.StatusScratch, nullptr, 0, 0) <= w - m.Length(8)) break;
  }
  const int th = c.Canvas.TextHeight(*c.StatusScratch);
  // Kept inside the bar: a long line is cut rather than written over the
  // buttons beside it.
  const TRect clip{x, y, x + w - m.Length(8), y + h};
  StatusLine(c, *c.StatusScratch, &clip, x + m.Length(10), y + m.Length(12) - th / 2);
  c.Canvas.Release();
}

void DrawPanel(TPanelContext& c) {
  std::string scratch, status;
  if (!c.Scratch) c.Scratch = &scratch;
  if (!c.StatusScratch) c.StatusScratch = &status;
  DrawPanelBackground(c);
  DrawStoryPanel(c);
  DrawButtons(c);
  DrawDials(c);
  DrawShowBar(c);
  if (c.Scratch == &scratch) c.Scratch = nullptr;
  if (c.StatusScratch == &status) c.StatusScratch = nullptr;
}

namespace {

bool SameText(const ShortString& a, const ShortString& b) { return a.view() == b.view(); }

bool SameRegion(const TRegion& a, const TRegion& b) {
  return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height &&
         a.Type == b.Type && a.State == b.State && a.Section == b.Section &&
         a.Visible == b.Visible && SameText(a.Image, b.Image);
}

// Rows [y, y + h) of the buffer lie within [top, bottom) or off the buffer.
bool RowsWithin(int y, int h, int height, int top, int bottom) {
  const long long y0 = std::max<long long>(y, 0), y1 = std::min<long long>(0LL + y + h, height);
  return y0 >= y1 || (y0 >= top && y1 <= bottom);
}

}  // namespace

void TPanelLayer::Fill(TKey& k, const TPanelContext& c) {
  k.Images = &c.Images;
  k.ImageFills = c.Images.Fills();
  k.Buffer = &c.Buffer;
  k.BufferWidth = c.Buffer.Width();
  k.Layout = c.Layout;
  k.BufferHeight = c.Buffer.Height();
  for (int s = 0; s <= MaxSections; ++s) {
    k.SectionX[s] = c.Ui.Sections[s].X;
    k.SectionY[s] = c.Ui.Sections[s].Y;
  }
  for (int r = 0; r <= MaxRegions; ++r) k.Regions[r] = c.Ui.Regions[r];
  k.TextRegion = c.Ui.WellKnownRegion(3);
  k.TextShown = c.TextShown;
  k.SubtitlesOn = c.SubtitlesOn;
  k.PanelState = c.PanelState;
  k.LineHeight = c.LineHeight;
  const TInfoText& info = c.Info;
  k.Title = info.Title;
  k.LineCount = info.LineCount;
  k.TopLine = info.TopLine;
  k.PixelOffset = info.PixelOffset;
  for (int i = 1; i <= 5; ++i) {
    const int n = info.TopLine + i;
    k.Lines[i - 1] = n >= 1 && n <= MaxInfoLines ? info.Lines[n] : ShortString{};
  }
}

bool TPanelLayer::Same(const TKey& a, const TKey& b) {
  if (a.Images != b.Images || a.ImageFills != b.ImageFills || a.Buffer != b.Buffer ||
      a.BufferWidth != b.BufferWidth || a.BufferHeight != b.BufferHeight ||
      a.Layout.Width != b.Layout.Width || a.Layout.Height != b.Layout.Height ||
      a.Layout.Scale != b.Layout.Scale ||
      a.TextShown != b.TextShown || a.SubtitlesOn != b.SubtitlesOn ||
      a.PanelState != b.PanelState || a.LineHeight != b.LineHeight ||
      a.LineCount != b.LineCount || a.TopLine != b.TopLine || a.PixelOffset != b.PixelOffset ||
      !SameText(a.Title, b.Title) || !SameRegion(a.TextRegion, b.TextRegion))
    return false;
  for (int s = 0; s <= MaxSections; ++s)
    if (a.SectionX[s] != b.SectionX[s] || a.SectionY[s] != b.SectionY[s]) return false;
  for (int r = 0; r <= MaxRegions; ++r)
    if (!SameRegion(a.Regions[r], b.Regions[r])) return false;
  for (int i = 0; i < 5; ++i)
    if (!SameText(a.Lines[i], b.Lines[i])) return false;
  return true;
}

bool TPanelLayer::KeepableRows(TPanelContext& c, int& top, int& bottom) {
  const int W = c.Buffer.Width(), H = c.Buffer.Height();
  const int panel = c.Images.Find(ImageNames::Panel);
  const LibraryImage* im = c.Images.Image(panel);
  if (!im) return false;
  const int px = c.Layout.X(c.Ui.Sections[2].X), py = c.Layout.Y(c.Ui.Sections[2].Y);
  top = std::max(0, py);
  bottom = static_cast<int>(std::min<long long>(H, 0LL + py + im->FrameHeight));
  // The band spans the stage: the picture itself, or its edge columns
  // carried on to a wider stage's edges.
  if (top >= bottom || px >= W || 0LL + px + im->FrameWidth <= 0) return false;
  // Opaque wherever it lands: the sky beneath cannot show through.
  const int from = std::max(0, px), to = static_cast<int>(std::min<long long>(W, 0LL + px + im->FrameWidth));
  for (int y = top; y < bottom; ++y) {
    const uint32_t* row = im->Pixels.data() + static_cast<size_t>(y - py) * im->FrameWidth - px;
    for (int x = from; x < to; ++x)
      if ((row[x] >> 24) != 255) return false;
  }
  // The story board and its text.
  const TRegion& text = c.Ui.WellKnownRegion(3);
  if (text.Width > 0) {
    const int qy = c.Layout.Y(c.Ui.Sections[2].Y + text.Y);
    const int board = c.Images.Find(ImageNames::StoryBack);
    if (!RowsWithin(qy, c.Images.Height(board), H, top, bottom)) return false;
    if (c.TextShown && c.PanelState == 1) {
      // The title and five lines; a glyph row reaches at most twice the
      // font's height below the line's top.
      if (!RowsWithin(qy, c.Layout.Length(8 + 5 * c.LineHeight + 2 * 12), H, top, bottom))
        return false;
    } else if (c.TextShown && c.PanelState == 2 && c.SubtitlesOn) {
      return false;  // the subtitle strip lies over the sky
    }
  }
  for (int i = 1; i <= MaxRegions; ++i) {
    const TRegion& r = c.Ui.Regions[i];
    if (!r.Visible || r.Image.empty()) continue;
    c.Scratch->assign(r.Image.Text, r.Image.Len);
    if (!RowsWithin(c.Ui.RegionScreenY(i, c.Layout), c.Images.Height(c.Images.Find(*c.Scratch)), H, top, bottom))
      return false;
  }
  return true;
}

bool TPanelLayer::CoveredRows(const TDXImageList& images, const TInterface& ui, const TStageLayout& m,
                              int W, int H, int& top, int& bottom) {
  const LibraryImage* im = images.Image(images.Find(ImageNames::Panel));
  if (!im) return false;
  if (opaqueOf_ != &images || opaqueFills_ != images.Fills()) {
    opaqueOf_ = &images;
    opaqueFills_ = images.Fills();
    const size_t n = static_cast<size_t>(im->FrameWidth) * im->FrameHeight;
    opaque_ = std::all_of(im->Pixels.begin(), im->Pixels.begin() + static_cast<ptrdiff_t>(n),
                          [](uint32_t p) { return (p >> 24) == 255; });
  }
  if (!opaque_) return false;
  // DrawPanelBackground lays the picture and carries its edge columns on to
  // the buffer's edges: every pixel of its rows.
  const int px = m.X(ui.Sections[2].X), py = m.Y(ui.Sections[2].Y);
  if (px >= W || 0LL + px + im->FrameWidth <= 0) return false;
  top = std::max(0, py);
  bottom = static_cast<int>(std::min<long long>(H, 0LL + py + im->FrameHeight));
  return top < bottom;
}

void TPanelLayer::Draw(TPanelContext& c) {
  std::string scratch;
  if (!c.Scratch) c.Scratch = &scratch;
  Fill(probe_, c);
  lastKept_ = valid_ && Same(probe_, key_);
  if (lastKept_) {
    const int W = c.Buffer.Width();
    std::copy(rows_.begin(), rows_.end(), c.Buffer.Pixels() + static_cast<size_t>(top_) * W);
  } else {
    DrawPanelBackground(c);
    DrawStoryPanel(c);
    DrawButtons(c);
    // The key is taken after drawing: the story panel places the scroll thumb.
    valid_ = KeepableRows(c, top_, bottom_);
    if (valid_) {
      const int W = c.Buffer.Width();
      const uint16_t* from = c.Buffer.Pixels() + static_cast<size_t>(top_) * W;
      rows_.assign(from, from + static_cast<size_t>(bottom_ - top_) * W);
      Fill(key_, c);
    }
  }
  if (c.Scratch == &scratch) c.Scratch = nullptr;
}

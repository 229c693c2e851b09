#include "SkyDraw.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "Gbk.h"
#include "ScreenGeometry.h"
#include "SolarSystem.h"
#include "Transforms.h"

const char* const SongFont = "\xCB\xCE\xCC\xE5";  // 宋体

namespace {

constexpr TColor Yellow = RGB(255, 255, 0);
constexpr TColor SelectedCyan = RGB(150, 255, 255);
const char* const SymbolFont = "Symbol";

TColor Lighter(TColor c, int add) {
  auto part = [&](int shift) { return std::min(255, static_cast<int>((c >> shift) & 255) + add); };
  return RGB(part(0), part(8), part(16));
}

// Everything the layers share within one frame.
struct TFrame {
  TSkyDrawContext& C;
  TSkyloom& Sky;
  TCanvas& Canvas;
  int StarCount;  // N, clamped to the table
  uint64_t Flags;

  explicit TFrame(TSkyDrawContext& c)
      : C(c), Sky(c.Sky), Canvas(c.Canvas),
        StarCount(std::clamp(c.Sky.StarCount, 0, MaxStars)), Flags(c.Sky.ShowFlags) {}

  bool On(uint64_t bit) const { return (Flags & bit) != 0; }
  bool English() const { return Sky.English != 0; }
  int Sx(const TSkyPoint& p) const { return ScreenX(Sky, p); }
  int Sy(const TSkyPoint& p) const { return ScreenY(Sky, p); }
  bool Inside(const TSkyPoint& p) const { return IsInside(Sky, p); }
  bool ValidStar(int s) const { return s >= 1 && s <= StarCount; }

  void Text(int x, int y, const std::string& gbk) {
    if (!gbk.empty()) Canvas.TextOut(x, y, gbk);
  }
  void LabelFont(TColor color) {
    Canvas.Brush.Style = TBrushStyle::Clear;
    Canvas.Font.Color = color;
  }
};

// Figure lines from StarB to StarA; both numbers strictly between 0 and N,
// at least one end shown and at least one end inside.
void DrawFigureLine(TFrame& f, int a, int b, TColor pen) {
  if (a <= 0 || a >= f.StarCount || b <= 0 || b >= f.StarCount) return;
  const TSkyPoint& pa = f.Sky.Stars[a];
  const TSkyPoint& pb = f.Sky.Stars[b];
  if (!IsShown(pa) && !IsShown(pb)) return;
  if (!f.Inside(pa) && !f.Inside(pb)) return;
  f.Canvas.Pen.Color = pen;
  f.Canvas.MoveTo(f.Sx(pb), f.Sy(pb));
  f.Canvas.LineTo(f.Sx(pa), f.Sy(pa));
}

// Great circles, grid and grid labels.
void DrawCircles(TFrame& f) {
  TCanvas& cv = f.Canvas;
  TSkyloom& sky = f.Sky;
  for (int line : {42, 43}) {
    if (!f.On(line == 42 ? SkyBits::Ecliptic : SkyBits::Galactic)) continue;
    cv.Pen.Color = RGB(128, 128, 128);
    cv.Brush.Color = clBlack;
    DrawOutline(cv, sky, sky.NetLines[line].data(), 1, NetLinePoints);
  }
  if (!f.On(SkyBits::Grid)) return;
  cv.Pen.Color = RGB(64, 64, 64);
  cv.Brush.Color = clBlack;
  for (int m = 1; m <= 41; ++m) DrawOutline(cv, sky, sky.NetLines[m].data(), 1, NetLinePoints);
  f.LabelFont(clWhite);
  const double minDepth = std::sin(10 * M_PI / 180);
  for (int k = 5; k <= MaxLabels; ++k) {
    const TSkyPoint& p = sky.Labels[k];
    if (!p.Visible || !(p.Z >= minDepth)) continue;
    const TLabelText& t = sky.LabelTexts[k];
    f.Text(f.Sx(p), f.Sy(p), (f.English() ? t.EName : t.Name).str());
  }
}

// Constellation and asterism figures.
void DrawFigures(TFrame& f) {
  TSkyloom& sky = f.Sky;
  const TSkyMarks& marks = f.C.Marks;
  for (int k = 1; k <= MaxLines; ++k) {
    const TLinePair& l = sky.ConstLines[k];
    const int c = l.Owner;
    if (c <= 0) continue;
    if (!(f.On(SkyBits::ConstLines) || IsHighlighted(marks, HighlightKind::Lines, c) ||
          (f.C.Popup.ConstellationLines && c == sky.SelConst)))
      continue;
    DrawFigureLine(f, l.StarA, l.StarB, c == sky.SelConst ? SelectedCyan : RGB(150, 150, 0));
  }
  for (int k = 1; k <= MaxLines; ++k) {
    const TLinePair& l = sky.OfficeLines[k];
    const int t = l.Owner;
    if (t <= 0) continue;
    if (!(f.On(SkyBits::OfficeLines) || IsHighlighted(marks, HighlightKind::Office, t))) continue;
    DrawFigureLine(f, l.StarA, l.StarB,
                   sky.SelConst == int64_t{t} + 200 ? RGB(255, 200, 100) : RGB(255, 150, 155));
  }
}

// Greek letters of stars, in the Symbol font.
void DrawGreekLetters(TFrame& f) {
  TSkyloom& sky = f.Sky;
  TCanvas& cv = f.Canvas;
  const std::string saved = cv.Font.Name;
  cv.Font.Name = SymbolFont;
  f.LabelFont(clWhite);
  for (int k = 1; k <= f.StarCount; ++k) {
    const TSkyPoint& s = sky.Stars[k];
    if (s.Greek == ' ' || s.Greek == 0 || !IsShown(s) || s.Mag > sky.StarLimit) continue;
    if (!(f.On(SkyBits::GreekLetters) || IsHighlighted(f.C.Marks, HighlightKind::Greek, s.Owner) ||
          (f.C.Popup.ConstellationGreekNames && s.Owner == sky.SelConst)))
      continue;
    const std::string letter(1, static_cast<char>(s.Greek));
    f.Text(f.Sx(s) + 5, f.Sy(s) - cv.TextHeight(letter) - 2, letter);
  }
  cv.Font.Name = saved;
}

// Outline runs of the selected constellation.
void DrawSelectedBoundary(TFrame& f) {
  TSkyloom& sky = f.Sky;
  if (sky.SelConst <= 0 || !f.C.Popup.ConstellationBoundary) return;
  f.Canvas.Pen.Color = RGB(0, 150, 150);
  int open = 0;
  for (int i = 1; i <= MaxBounds; ++i) {
    const TSkyPoint& p = sky.Bounds[i];
    if (p.Owner != sky.SelConst) continue;
    if (open == 0) open = i;
    if (p.Mag > 0 && i > open) {
      DrawOutline(f.Canvas, sky, sky.Bounds.data(), open, i);
      open = 0;
    }
  }
  f.Canvas.Release();
}

// Star marks, line marks and area marks of a show page.
void DrawShowMarks(TFrame& f) {
  TSkyloom& sky = f.Sky;
  TCanvas& cv = f.Canvas;
  const TSkyMarks& marks = f.C.Marks;
  cv.Brush.Style = TBrushStyle::Clear;
  cv.Pen.Color = clWhite;
  cv.Font.Color = clWhite;
  const int starMarks = UsedEntries(marks.StarMarkCount, MaxStarMarks);
  for (int i = 1; i <= starMarks; ++i) {
    const TStarMark& m = marks.StarMarks[i];
    if (!f.ValidStar(m.Star)) continue;
    const TSkyPoint& s = sky.Stars[m.Star];
    if (!IsShown(s)) continue;
    const int sx = f.Sx(s), sy = f.Sy(s);
    if (m.Circle > 0) {
      cv.Pen.Color = clWhite;
      cv.Ellipse(sx - 5, sy - 5, sx + 5, sy + 5);
    }
    if (m.Name > 0) {
      const TSkyObject& c = sky.Consts[s.Owner];
      std::string text;
      if (sky.English == 1) text = Trim(c.EShort.view());
      else if (sky.English == 0) text = Trim(c.Name.view());
      text += " - ";
      // The letter sits on the same top line as the text, right after it.
      const int x = sx + 5, y = sy - cv.TextHeight(text) - 2;
      cv.TextOut(x, y, text);
      if (s.Greek != 0 && s.Greek != ' ') {
        const std::string saved = cv.Font.Name;
        const int advance = cv.TextWidth(text);
        cv.Font.Name = SymbolFont;
        const std::string letter(1, static_cast<char>(s.Greek));
        cv.TextOut(x + advance, y, letter);
        cv.Font.Name = saved;
      }
    }
    if (m.Note > 0) f.Text(sx + 5, sy + 2, m.Text.str());
  }
  const int lineMarks = UsedEntries(marks.LineMarkCount, MaxLineMarks);
  for (int i = 1; i <= lineMarks; ++i) {
    const TLineMark& m = marks.LineMarks[i];
    if (!f.ValidStar(m.StarA) || !f.ValidStar(m.StarB)) continue;
    const TSkyPoint& a = sky.Stars[m.StarA];
    const TSkyPoint& b = sky.Stars[m.StarB];
    if (!IsShown(a) && !IsShown(b)) continue;
    if (!f.Inside(a) && !f.Inside(b)) continue;
    cv.Pen.Color = m.Color & 0xFFFFFF;
    cv.MoveTo(f.Sx(b), f.Sy(b));
    cv.LineTo(f.Sx(a), f.Sy(a));
  }
  const int areaMarks = UsedEntries(marks.AreaMarkCount, MaxAreaMarks);
  for (int i = 1; i <= areaMarks; ++i) {
    const TAreaMark& m = marks.AreaMarks[i];
    double u = 0, v = 0;
    int n = 0;
    for (int j = 0; j < UsedEntries(m.Count, 20); ++j) {
      if (!f.ValidStar(m.Stars[j])) continue;
      const TSkyPoint& s = sky.Stars[m.Stars[j]];
      if (!s.Visible || !(s.Z > 0)) continue;
      u += s.Y;
      v += s.X;
      ++n;
    }
    if (n == 0) continue;
    f.Text(sky.CenterX - RoundPixel(u / n), sky.CenterY + RoundPixel(v / n), m.Name.str());
  }
  cv.Release();
}

// Messier objects and their names.
void DrawMessier(TFrame& f) {
  TSkyloom& sky = f.Sky;
  const int cloud = f.C.Images.Find("CloudImg");
  const bool names = f.On(SkyBits::MessierNames);
  if (names) f.LabelFont(clWhite);
  for (int i = 1; i <= MaxMessier; ++i) {
    const TSkyPoint& p = sky.Messier[i];
    const TMessierName& n = sky.MessierNames[i];
    if (n.Code.empty() || !IsShown(p) || p.Mag > sky.StarLimit) continue;
    const int sx = f.Sx(p), sy = f.Sy(p);
    f.C.Images.DrawAlpha(f.C.Buffer, cloud, TRect{sx - 10, sy - 10, sx + 10, sy + 10}, 0, 200);
  }
  if (!names) return;
  for (int i = 1; i <= MaxMessier; ++i) {
    const TSkyPoint& p = sky.Messier[i];
    const TMessierName& n = sky.MessierNames[i];
    if (n.Code.empty() || !IsShown(p) || p.Mag > sky.StarLimit) continue;
    f.Text(f.Sx(p) + 5, f.Sy(p) + 5, (f.English() ? n.Code : n.Name).str());
  }
}

// Stars, faint ones first so that bright ones lie on top.
void DrawStars(TFrame& f) {
  TSkyloom& sky = f.Sky;
  const int shine = f.C.Images.Find("StarShine");
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 1; k <= f.StarCount; ++k) {
      const TSkyPoint& s = sky.Stars[k];
      if ((pass == 0) != (s.Mag > 22)) continue;
      if (!IsShown(s) || s.Mag > sky.StarLimit || !f.Inside(s)) continue;
      f.C.Images.Draw(f.C.Buffer, shine, f.Sx(s) - 10, f.Sy(s) - 10, StarFrame(s.Mag));
    }
  }
}

// Constellation, asterism and bright-star names.
void DrawNames(TFrame& f) {
  TSkyloom& sky = f.Sky;
  const TSkyMarks& marks = f.C.Marks;
  const TPopupSwitches& popup = f.C.Popup;
  f.LabelFont(clWhite);
  for (int c = 1; c <= MaxConsts; ++c) {
    if (!(f.On(SkyBits::ConstNames) || IsHighlighted(marks, HighlightKind::Name, c) ||
          (popup.ConstellationHighlight && c == sky.SelConst)))
      continue;
    const TSkyObject& o = sky.Consts[c];
    f.Canvas.Font.Color = c == sky.SelConst ? SelectedCyan : clWhite;
    if (o.HasLabel)
      f.Text(RoundPixel(o.LabelX), RoundPixel(o.LabelY), (f.English() ? o.EName : o.Name).str());
  }
  for (int t = 1; t <= MaxOffices; ++t) {
    if (!(f.On(SkyBits::OfficeNames) || IsHighlighted(marks, HighlightKind::Office, t))) continue;
    const TSkyObject& o = sky.Offices[t];
    f.Canvas.Font.Color = sky.SelConst == t + 200 ? RGB(255, 200, 100) : RGB(255, 150, 50);
    if (o.HasLabel) f.Text(RoundPixel(o.LabelX), RoundPixel(o.LabelY), o.Name.str());
  }
  f.Canvas.Font.Color = clWhite;
  for (int i = 1; i <= MaxStarNames; ++i) {
    const TStarName& n = sky.StarNames[i];
    if (n.Kind != 2 || !f.ValidStar(n.Star)) continue;
    const TSkyPoint& s = sky.Stars[n.Star];
    if (!IsShown(s) || s.Mag > sky.StarLimit) continue;
    if (!(f.On(SkyBits::StarNames) || IsHighlighted(marks, HighlightKind::StarNames, s.Owner) ||
          (popup.ConstellationHighlight && s.Owner == sky.SelConst)))
      continue;
    f.Text(f.Sx(s) + 5, f.Sy(s) + 5, (f.English() ? n.EName : n.Name).str());
  }
}

// Planets beyond (or before) the Sun, with their names.
void DrawPlanets(TFrame& f, bool beyondSun) {
  TSkyloom& sky = f.Sky;
  if (sky.StarLimit <= 0) return;
  const int ball = f.C.Images.Find("StarBall");
  const long double sunDist = Body(BodySun).Dist;
  const int last = beyondSun ? BodyPluto : BodyMars;
  for (int j = BodyMercury; j <= last; ++j) {
    const TSkyPoint& p = sky.Planets[j];
    const long double dist = Body(j).Dist;
    if (beyondSun ? !(dist >= sunDist) : !(dist <= sunDist)) continue;
    if (!IsShown(p)) continue;
    const int sx = f.Sx(p), sy = f.Sy(p);
    f.C.Images.Draw(f.C.Buffer, ball, sx - 5, sy - 5, PlanetFrame(p.Mag));
    if (f.On(SkyBits::PlanetNames)) {
      f.Canvas.Brush.Color = clBlack;
      f.LabelFont(clWhite);
      f.Text(sx + 5, sy + 5, (f.English() ? BodyEName(j) : BodyName(j)).str());
    }
  }
}

// The Sun.
void DrawSun(TFrame& f) {
  const TSkyPoint& p = f.Sky.Planets[BodySun];
  if (!IsShown(p)) return;
  f.C.Images.Draw(f.C.Buffer, f.C.Images.Find("Sun"), f.Sx(p) - 50, f.Sy(p) - 50, 0);
}

// The Moon, its phase lit on the side facing the Sun, and the ring of the
// Earth's shadow when the Moon is near the anti-solar point and the Sun is
// not ahead of the viewer.
void DrawMoon(TFrame& f) {
  TSkyloom& sky = f.Sky;
  TCanvas& cv = f.Canvas;
  const TSkyPoint& m = sky.Planets[BodyMoon];
  const TSkyPoint& sun = sky.Planets[BodySun];
  if (!IsShown(m)) return;
  if (sky.StarLimit <= 0 && std::fabs(sun.Y - m.Y) + std::fabs(sun.X - m.X) > 25) return;
  const int x = f.Sx(m), y = f.Sy(m);
  const double p = MoonAxisAngle(sky);
  const TColor bg = f.C.Background;
  const TColor rim = f.On(SkyBits::PlanetNames) ? Yellow : bg;

  cv.Pen.Color = rim;
  cv.Brush.Color = bg;
  cv.Brush.Style = TBrushStyle::Solid;
  cv.Ellipse(x - 11, y - 11, x + 11, y + 11);
  cv.Pen.Color = Lighter(bg, 10);
  double r = 10;
  double k = -10 * std::cos(sky.MoonPhase);
  sky.MoonPhase = NormalizeAngle(sky.MoonPhase);
  if (sky.MoonPhase > M_PI) {
    r = -r;
    k = -k;
  }
  DrawArc(cv, x, y, p, r, r);   // limb
  DrawArc(cv, x, y, p, r, k);   // terminator
  cv.Brush.Color = Yellow;
  const int seedX = x + RoundPixel(std::sin(p) * (r + k) / 2);
  const int seedY = y - RoundPixel(std::cos(p) * (r + k) / 2);
  const TColor border = cv.Pen.Color;
  // A crescent less than about two pixels wide leaves no pixel between limb
  // and terminator, and the fill would light nothing. Such a Moon is still
  // seen once it stands 7 degrees or more from the Sun (elongation =
  // |phase - pi|, radians), so its lit limb is drawn in yellow instead.
  const bool onBorder =
      cv.Buffer().Get(seedX, seedY) == TBackBuffer::From565(TBackBuffer::To565(border));
  if (onBorder && std::fabs(sky.MoonPhase - M_PI) >= 7 * M_PI / 180) {
    cv.Pen.Color = Yellow;
    DrawArc(cv, x, y, p, r, r, 0, 180);
  } else {
    cv.FloodFill(seedX, seedY, border);
  }
  cv.Pen.Color = rim;
  cv.Brush.Color = bg;
  cv.Brush.Style = TBrushStyle::Clear;
  cv.Ellipse(x - 11, y - 11, x + 11, y + 11);
  cv.Release();

  const TSkyPoint& anti = sky.Planets[BodyAntiSun];
  if (sun.Z < 0.1 && std::fabs(anti.Y - m.Y) + std::fabs(anti.X - m.X) < 25) {
    cv.Pen.Color = clBlack;
    cv.Brush.Color = clBlack;
    const int ax = f.Sx(anti), ay = f.Sy(anti);
    cv.Ellipse(ax - 11, ay - 11, ax + 11, ay + 11);
  }
}

// The picture of the object under the pointer.
void DrawHovered(TFrame& f) {
  const TSkyDrawContext& c = f.C;
  TSkyloom& sky = f.Sky;
  const int h = c.HoverObject;
  std::string caption;
  int image = -1, frame = 0;
  bool moon = false;
  if (h >= 1 && h <= MaxMessier) {
    caption = Trim(sky.MessierNames[h].Code.view());
    if (caption.empty()) return;
    image = c.Images1.Find(caption);
  } else if (h >= 201 && h <= 210) {
    const int j = h - 200;
    caption = Trim(BodyName(j).view());
    image = c.Images1.Find("Sun" + std::to_string(j));
    if (j == BodyMoon) {
      moon = true;
      frame = RoundPixel(NormalizeAngle(sky.MoonPhase) / (2 * M_PI) * 59);
      if (frame > 58) frame -= 58;
    }
  } else {
    return;
  }
  const int w = c.Images1.Width(image) / 2, hh = c.Images1.Height(image) / 2;
  const int X = c.HoverX, Y = c.HoverY;
  if (c.NebulaNames) {
    f.Canvas.Brush.Style = TBrushStyle::Clear;
    f.Canvas.Brush.Color = RGB(255, 255, 225);  // info-tip background
    f.Canvas.Font.Color = clBlack;
    f.Text(X - w, Y - hh - 12, caption);
  }
  if (moon) {
    const double angle = MoonAxisAngle(sky) + M_PI / 2;
    c.Images1.DrawRotate(c.Buffer, image, X, Y, 2 * w, 2 * hh, frame, 0.5, 0.5,
                         RoundPixel(angle / (2 * M_PI) * 256));
  } else {
    c.Images1.DrawAlpha(c.Buffer, image, TRect{X - w, Y - hh, X + w, Y + hh}, 0, 255);
  }
}

// The ground below the horizon row, with direction boards and trees
// standing on it. Looking so steeply that no horizon point lies in front,
// the ground fills the sky area when looking down and is absent looking up.
void DrawGround(TFrame& f) {
  TSkyloom& sky = f.Sky;
  const TDXImageList& images = f.C.Images;
  const int cx = sky.CenterX, cy = sky.CenterY;
  double yh = 0;
  bool found = false;
  for (int i = 1; i <= HorizonPoints; ++i) {
    if (sky.Horizon[i].Z > 0) {
      yh = sky.Horizon[i].X;
      found = true;
      break;
    }
  }
  const int ground = images.Find("Ground");
  int top;
  if (found) {
    if (!(cy > yh)) return;
    top = cy + RoundPixel(yh);
    const bool rowOnScreen = std::fabs(yh) < cy;
    // A board or tree stands on its horizon point (kept in Lat) when that
    // point is in front and within the screen's width.
    auto standing = [&](const TSkyPoint& item, int dy, int image) {
      if (!(item.Lat >= 1 && item.Lat <= HorizonPoints)) return;
      const TSkyPoint& hp = sky.Horizon[static_cast<int>(item.Lat)];
      if (!(std::fabs(hp.Y) < cx) || !rowOnScreen || !(hp.Z > 0)) return;
      images.Draw(f.C.Buffer, image, cx - RoundPixel(hp.Y) - 23, top - dy, item.Image);
    };
    const int boards = images.Find("BoardList"), trees = images.Find("Tree");
    for (int b = 51; b <= 58; ++b)
      if (sky.Scenery[b].Mag > 0) standing(sky.Scenery[b], 43, boards);
    images.Draw(f.C.Buffer, ground, 0, top, 0);
    for (int t = 1; t <= 50; ++t) standing(sky.Scenery[t], 23, trees);
  } else {
    if (!(std::sin(sky.ViewAlt) < 0)) return;
    top = 0;
    images.Draw(f.C.Buffer, ground, 0, top, 0);
  }
  // A ground picture shorter than the sky area below the horizon row is
  // repeated downwards so that steep downward views stay covered.
  const int height = images.Height(ground);
  if (height <= 0) return;
  int y = top + height;
  if (y < 0) y += ((-y) / height) * height;
  for (; y < sky.ScreenHeight; y += height) images.Draw(f.C.Buffer, ground, 0, y, 0);
}

}  // namespace

int StarFrame(int mag) { return mag <= 15 ? 0 : std::min((mag - 15) / 10 + 1, 6); }

int PlanetFrame(int mag10) {
  const int m = mag10 / 10;  // truncates toward zero
  if (m <= -2) return 0;
  if (m <= 0) return 1;
  if (m <= 2) return 2;
  return std::min(m, 7);
}

void DrawArc(TCanvas& canvas, int x, int y, double p, double a, double b, int fromDeg, int toDeg) {
  const double cp = std::cos(p), sp = std::sin(p);
  for (int i = fromDeg; i <= toDeg; ++i) {
    const double t = i * M_PI / 180;
    const double c = std::cos(t) * a, s = std::sin(t) * b;
    const double X = cp * c + sp * s;
    const double Y = -sp * c + cp * s;
    const int px = x + RoundPixel(X), py = y - RoundPixel(Y);
    if (i == fromDeg) canvas.MoveTo(px, py);
    else canvas.LineTo(px, py);
  }
}

double MoonAxisAngle(const TSkyloom& sky) {
  const double du = sky.MoonAxis[1].Y - sky.MoonAxis[2].Y;
  const double dv = sky.MoonAxis[1].X - sky.MoonAxis[2].X;
  double p = std::atan2(du, dv);
  if (p < 0) p += 2 * M_PI;
  if (p >= 2 * M_PI) p = 0;
  return p;
}

void DrawSky(TSkyDrawContext& ctx) {
  if (!ctx.CanDraw) return;
  TFrame f(ctx);
  TCanvas& cv = ctx.Canvas;
  cv.Font.Name = SongFont;
  cv.Font.Height = -12;

  DrawCircles(f);
  DrawFigures(f);
  DrawGreekLetters(f);
  DrawSelectedBoundary(f);
  DrawShowMarks(f);
  DrawMessier(f);
  DrawStars(f);
  DrawNames(f);
  DrawPlanets(f, true);
  DrawSun(f);
  DrawPlanets(f, false);
  DrawMoon(f);
  if (ctx.HoverObject > 0) DrawHovered(f);
  if (f.On(SkyBits::Ground)) DrawGround(f);
}

#include "SkyDraw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "Gbk.h"
#include "ImageNames.h"
#include "MilkyWayDraw.h"
#include "ScreenGeometry.h"
#include "SkyLight.h"
#include "SolarSystem.h"
#include "StarColours.h"
#include "Transforms.h"

const char* const SongFont = "\xCB\xCE\xCC\xE5";  // 宋体

namespace {

constexpr TColor Yellow = RGB(255, 255, 0);
// The Moon's outline with the planet names on: dim, so that the dark part of
// a crescent does not read as lit.
constexpr TColor MoonOutline = RGB(110, 100, 60);
constexpr TColor SelectedCyan = RGB(150, 255, 255);
const char* const SymbolFont = "Symbol";

// The scale the sky's pictures are drawn at (1 without scaled pictures).
double ArtScaleOf(const TSkyDrawContext& c) {
  return c.ScaledImages ? std::clamp(c.ArtScale, 1.0, 3.0) : 1.0;
}

// Everything the layers share within one frame.
struct TFrame {
  TSkyDrawContext& C;
  TSkyloom& Sky;
  TCanvas& Canvas;
  int StarCount;  // N, clamped to the table
  uint64_t Flags;

  TSkyLight Light;          // the sky's light (Light.On: realistic sky)
  int StarLimit;            // faintest star and Messier magnitude drawn (tenths)
  int MessierLimit;
  int PlanetLimit;          // faintest planet drawn
  int StarDimming = 0;      // tenths added to a star's magnitude for its glow in a bright sky
  TLabelPass* Pass = nullptr;  // null: labels are written at once
  double TextScale = 1;     // interface scale: label size and offsets
  // The sky's pictures and the scale they are drawn at (the Sun's and the
  // Moon's discs, the boards and trees and their offsets follow it).
  const TDXImageList& Art;
  double ArtScale = 1;
  std::string Scratch;

  explicit TFrame(TSkyDrawContext& c)
      : C(c), Sky(c.Sky), Canvas(c.Canvas),
        StarCount(std::clamp(c.Sky.StarCount, 0, MaxStars)), Flags(c.Sky.ShowFlags),
        Light(ComputeSkyLight(c.Sky, ArtScaleOf(c))),
        TextScale(std::clamp(c.InterfaceScale, 1.0, 3.0)),
        Art(c.ScaledImages ? *c.ScaledImages : c.Images), ArtScale(ArtScaleOf(c)) {
    // A narrower field reaches fainter stars and draws each one larger, a
    // wider one the reverse (nothing changes at the default field).
    const int reach = FieldReach(Sky.FieldOfView);
    StarLimit = std::min(Sky.StarLimit, Light.Limit) + reach;
    MessierLimit = std::min(Sky.StarLimit, Light.MessierLimit) + reach;
    PlanetLimit = Light.Limit;
    // In twilight the stars that show look fainter the brighter the sky.
    if (Light.Limit < 65) StarDimming = (65 - Light.Limit) / 2;
    StarDimming -= reach / 2;
  }

  bool On(uint64_t bit) const { return (Flags & bit) != 0; }
  bool English() const { return Sky.English != 0; }
  int Sx(const TSkyPoint& p) const { return ScreenX(Sky, p); }
  int Sy(const TSkyPoint& p) const { return ScreenY(Sky, p); }
  bool Inside(const TSkyPoint& p) const { return IsInside(Sky, p); }
  bool ValidStar(int s) const { return s >= 1 && s <= StarCount; }
  // A distance between a label and its object, in pixels at this scale.
  int Px(int pixelsAt1x) const { return RoundPixel(pixelsAt1x * TextScale); }
  // A length of the sky's pictures, in pixels at the pictures' scale.
  int ArtPx(int pixelsAt1x) const { return RoundPixel(pixelsAt1x * ArtScale); }
  // The offset from a picture's top-left corner to the pixel holding the
  // point that lies in the middle of pixel `pixelAt1x` of its 1x picture.
  int ArtAnchor(int pixelAt1x) const { return RoundPixel((pixelAt1x + 0.5) * ArtScale - 0.5); }

  void Text(int x, int y, const std::string& gbk) {
    if (!gbk.empty()) Canvas.TextOut(x, y, gbk);
  }
  // A label in the Song font: into the placement pass, or written at once
  // at (x, y) in the current font colour. The gap defaults to 5 pixels at
  // the interface scale.
  void Label(uint8_t priority, std::string_view gbk, int x, int y, TLabelAnchor anchor, int px,
             int py, int gap = -1, bool copy = false) {
    if (gbk.empty()) return;
    if (gap < 0) gap = Px(5);
    if (Pass) Pass->Add(priority, gbk, false, Canvas.Font.Color, x, y, anchor, px, py, gap, 0, copy);
    else DrawLabelText(Canvas, x, y, gbk, Scratch);
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
    const int x = f.Sx(p), y = f.Sy(p);
    f.Label(LabelPriority::Grid, (f.English() ? t.EName : t.Name).view(), x, y, TLabelAnchor::Area,
            x, y);
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
          ((f.C.Popup.ConstellationLines || f.C.Popup.ConstellationHighlight) &&
           c == sky.SelConst)))
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

// True when a show's mark writes a note of its own next to star `star`.
bool HasNote(const TSkyMarks& marks, int star) {
  const int count = UsedEntries(marks.StarMarkCount, MaxStarMarks);
  for (int i = 1; i <= count; ++i) {
    const TStarMark& m = marks.StarMarks[i];
    if (m.Star == star && m.Note > 0 && !m.Text.empty()) return true;
  }
  return false;
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
    if (s.Greek == ' ' || s.Greek == 0 || !IsShown(s) || s.Mag > f.StarLimit) continue;
    if (!(f.On(SkyBits::GreekLetters) || IsHighlighted(f.C.Marks, HighlightKind::Greek, s.Owner) ||
          ((f.C.Popup.ConstellationGreekNames || f.C.Popup.ConstellationHighlight) &&
           s.Owner == sky.SelConst)))
      continue;
    const std::string letter(1, static_cast<char>(s.Greek));
    const int sx = f.Sx(s), sy = f.Sy(s), y = sy - cv.TextHeight(letter) - f.Px(2);
    if (f.Pass)
      f.Pass->Add(LabelPriority::Greek, letter, true, clWhite, sx + f.Px(5), y, TLabelAnchor::Point,
                  sx, sy, f.Px(5), 0, true);
    else
      f.Text(sx + f.Px(5), y, letter);
  }
  cv.Font.Name = saved;
}

// Outline runs of the selected constellation.
void DrawSelectedBoundary(TFrame& f) {
  TSkyloom& sky = f.Sky;
  if (sky.SelConst <= 0 ||
      !(f.C.Popup.ConstellationBoundary || f.C.Popup.ConstellationHighlight))
    return;
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
      // Around the star's picture, grown with it.
      const int r = f.ArtPx(5);
      cv.Pen.Color = clWhite;
      cv.Ellipse(sx - r, sy - r, sx + r, sy + r);
    }
    if (m.Name > 0) {
      const TSkyObject& c = sky.Consts[s.Owner];
      std::string text;
      if (sky.English == 1) text = Trim(c.EShort.view());
      else if (sky.English == 0) text = Trim(c.Name.view());
      text += " - ";
      // The letter sits on the same top line as the text, right after it.
      const int x = sx + f.Px(5), y = sy - cv.TextHeight(text) - f.Px(2);
      if (f.Pass) {
        const uint8_t greek = s.Greek != ' ' ? s.Greek : 0;
        f.Pass->Add(LabelPriority::Selected, text, false, clWhite, x, y, TLabelAnchor::Point, sx, sy,
                    f.Px(5), greek, true);
      } else {
        cv.TextOut(x, y, text);
      }
      if (!f.Pass && s.Greek != 0 && s.Greek != ' ') {
        const std::string saved = cv.Font.Name;
        const int advance = cv.TextWidth(text);
        cv.Font.Name = SymbolFont;
        const std::string letter(1, static_cast<char>(s.Greek));
        cv.TextOut(x + advance, y, letter);
        cv.Font.Name = saved;
      }
    }
    if (m.Note > 0) {
      if (f.Pass)
        f.Pass->Add(LabelPriority::Selected, m.Text.view(), false, clWhite, sx + f.Px(5),
                    sy + f.Px(2), TLabelAnchor::Point, sx, sy, f.Px(5));
      else
        f.Text(sx + f.Px(5), sy + f.Px(2), m.Text.str());
    }
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
    const int x = sky.CenterX - RoundPixel(u / n), y = sky.CenterY + RoundPixel(v / n);
    if (f.Pass)
      f.Pass->Add(LabelPriority::Selected, m.Name.view(), false, clWhite, x, y, TLabelAnchor::Area, x,
                  y, f.Px(5));
    else
      f.Text(x, y, m.Name.str());
  }
  cv.Release();
}

// Messier objects and their names.
void DrawMessier(TFrame& f) {
  TSkyloom& sky = f.Sky;
  const int cloud = f.Art.Find("CloudImg");
  const int half = f.ArtPx(10);
  const bool names = f.On(SkyBits::MessierNames);
  if (names) f.LabelFont(clWhite);
  for (int i = 1; i <= MaxMessier; ++i) {
    const TSkyPoint& p = sky.Messier[i];
    const TMessierName& n = sky.MessierNames[i];
    if (n.Code.empty() || !IsShown(p) || p.Mag > f.MessierLimit) continue;
    const int sx = f.Sx(p), sy = f.Sy(p);
    f.Art.DrawAlpha(f.C.Buffer, cloud, TRect{sx - half, sy - half, sx + half, sy + half}, 0, 200);
  }
  if (!names) return;
  for (int i = 1; i <= MaxMessier; ++i) {
    const TSkyPoint& p = sky.Messier[i];
    const TMessierName& n = sky.MessierNames[i];
    if (n.Code.empty() || !IsShown(p) || p.Mag > f.MessierLimit) continue;
    const int sx = f.Sx(p), sy = f.Sy(p);
    f.Label(LabelPriority::Messier, (f.English() ? n.Code : n.Name).view(), sx + f.Px(5), sy + f.Px(5),
            TLabelAnchor::Point, sx, sy);
  }
}

// Stars, faint ones first so that bright ones lie on top, each glow tinted
// by the star's colour class when the library has the tinted frames.
void DrawStars(TFrame& f) {
  TSkyloom& sky = f.Sky;
  const TDXImageList& art = f.Art;
  const int shine = art.Find(ImageNames::StarShine);
  const int tint = art.Find(ImageNames::StarTint);
  const bool tinted =
      tint >= 0 && art.FrameCount(tint) >= StarTintClasses * ImageNames::StarTintFrames;
  const int centre = f.ArtAnchor(10);
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 1; k <= f.StarCount; ++k) {
      const TSkyPoint& s = sky.Stars[k];
      if ((pass == 0) != (s.Mag > 22)) continue;
      if (!IsShown(s) || s.Mag > f.StarLimit || !f.Inside(s)) continue;
      const int frame = StarFrame(s.Mag + f.StarDimming);
      if (tinted)
        art.Draw(f.C.Buffer, tint, f.Sx(s) - centre, f.Sy(s) - centre,
                 StarTintClass(sky.StarColour[k]) * ImageNames::StarTintFrames + frame);
      else
        art.Draw(f.C.Buffer, shine, f.Sx(s) - centre, f.Sy(s) - centre, frame);
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
    if (!o.HasLabel) continue;
    const int x = RoundPixel(o.LabelX), y = RoundPixel(o.LabelY);
    f.Label(c == sky.SelConst ? LabelPriority::Selected : LabelPriority::Constellations,
            (f.English() ? o.EName : o.Name).view(), x, y, TLabelAnchor::Area, x, y);
  }
  for (int t = 1; t <= MaxOffices; ++t) {
    if (!(f.On(SkyBits::OfficeNames) || IsHighlighted(marks, HighlightKind::Office, t))) continue;
    const TSkyObject& o = sky.Offices[t];
    f.Canvas.Font.Color = sky.SelConst == t + 200 ? RGB(255, 200, 100) : RGB(255, 150, 50);
    if (!o.HasLabel) continue;
    const int x = RoundPixel(o.LabelX), y = RoundPixel(o.LabelY);
    // English mode writes the asterism's English name where the catalogue has one.
    const ShortString& name = f.English() && !o.EName.empty() ? o.EName : o.Name;
    f.Label(sky.SelConst == t + 200 ? LabelPriority::Selected : LabelPriority::Asterisms,
            name.view(), x, y, TLabelAnchor::Area, x, y);
  }
  f.Canvas.Font.Color = clWhite;
  for (int i = 1; i <= MaxStarNames; ++i) {
    const TStarName& n = sky.StarNames[i];
    if (n.Kind != 2 || !f.ValidStar(n.Star)) continue;
    const TSkyPoint& s = sky.Stars[n.Star];
    if (!IsShown(s) || s.Mag > f.StarLimit) continue;
    if (HasNote(marks, n.Star)) continue;  // the show's note names it
    if (!(f.On(SkyBits::StarNames) || IsHighlighted(marks, HighlightKind::StarNames, s.Owner) ||
          (popup.ConstellationHighlight && s.Owner == sky.SelConst)))
      continue;
    const int sx = f.Sx(s), sy = f.Sy(s);
    f.Label(LabelPriority::BrightStars, (f.English() ? n.EName : n.Name).view(), sx + f.Px(5),
            sy + f.Px(5),
            TLabelAnchor::Point, sx, sy);
  }
}

// Planets beyond (or before) the Sun, with their names.
void DrawPlanets(TFrame& f, bool beyondSun) {
  TSkyloom& sky = f.Sky;
  if (sky.StarLimit <= 0) return;
  const int ball = f.Art.Find("StarBall");
  const int centre = f.ArtAnchor(5);
  const long double sunDist = sky.BodyTable.Body(BodySun).Dist;
  const int last = beyondSun ? BodyPluto : BodyMars;
  for (int j = BodyMercury; j <= last; ++j) {
    const TSkyPoint& p = sky.Planets[j];
    const long double dist = sky.BodyTable.Body(j).Dist;
    if (beyondSun ? !(dist >= sunDist) : !(dist <= sunDist)) continue;
    if (!IsShown(p) || p.Mag > f.PlanetLimit) continue;
    const int sx = f.Sx(p), sy = f.Sy(p);
    f.Art.Draw(f.C.Buffer, ball, sx - centre, sy - centre, PlanetFrame(p.Mag));
    if (f.On(SkyBits::PlanetNames)) {
      f.Canvas.Brush.Color = clBlack;
      f.LabelFont(clWhite);
      f.Label(LabelPriority::Bodies, (f.English() ? BodyEName(j) : BodyName(j)).view(),
              sx + f.Px(5), sy + f.Px(5), TLabelAnchor::Point, sx, sy);
    }
  }
}

// Centre of the Sun's disc as drawn.
bool SunOnScreen(const TFrame& f, int& x, int& y) {
  const TSkyPoint& p = f.Sky.Planets[BodySun];
  if (!IsShown(p)) return false;
  x = f.Sx(p);
  y = f.Sy(p);
  return true;
}

// The Sun.
void DrawSun(TFrame& f) {
  int x, y;
  if (!SunOnScreen(f, x, y)) return;
  const int centre = f.ArtAnchor(50);
  f.Art.Draw(f.C.Buffer, f.Art.Find(ImageNames::Sun), x - centre, y - centre, 0);
  if (f.Pass && f.On(SkyBits::PlanetNames)) {
    const int radius = f.ArtPx(SunDiscRadius);
    f.LabelFont(clWhite);
    f.Label(LabelPriority::Bodies, (f.English() ? BodyEName(BodySun) : BodyName(BodySun)).view(),
            x + radius + f.Px(2), y + radius / 2, TLabelAnchor::Point, x, y, radius + f.Px(2));
  }
}

// Where and how large the Moon's disc is drawn: at its place with radius
// 10 at the pictures' scale, or during a solar eclipse magnified about the
// Sun with it.
struct TMoonDisc {
  double X = 0, Y = 0;  // whole pixels, or fractions when magnified
  double Radius = MoonDiscRadius;
  bool Magnified = false;  // magnified with the Sun
};
TMoonDisc MoonDiscOf(const TFrame& f) {
  TMoonDisc d;
  const TSkyPoint& m = f.Sky.Planets[BodyMoon];
  d.X = f.Sx(m);
  d.Y = f.Sy(m);
  d.Radius = MoonDiscRadius * f.ArtScale;
  int sx, sy;
  if (f.Light.Eclipse && SunOnScreen(f, sx, sy)) {
    d.X = sx + f.Light.MoonDx;
    d.Y = sy + f.Light.MoonDy;
    d.Radius = f.Light.MoonDrawnRadius;
    d.Magnified = d.Radius != MoonDiscRadius * f.ArtScale;
  }
  return d;
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
  // Within `near` pixels of the Sun the Moon shows even in daylight.
  const int near = f.ArtPx(25);
  if (sky.StarLimit <= 0 && std::fabs(sun.Y - m.Y) + std::fabs(sun.X - m.X) > near) return;
  const TMoonDisc disc = MoonDiscOf(f);
  const int x = RoundPixel(disc.X), y = RoundPixel(disc.Y);
  const bool magnified = disc.Magnified;
  const double p = MoonAxisAngle(sky);
  // The unlit part shows the sky behind the Moon.
  const TColor bg = f.Light.On ? SkyColourAt(f.Light, ScreenDirection(sky, x, y)) : f.C.Background;
  // The outline: bright next to the Sun, dim elsewhere so that the dark part
  // of a crescent does not read as lit; none without the planet names.
  const bool bySun = std::fabs(sun.Y - m.Y) + std::fabs(sun.X - m.X) <= near;
  const TColor rim = !f.On(SkyBits::PlanetNames) ? bg : bySun ? Yellow : MoonOutline;
  sky.MoonPhase = NormalizeAngle(sky.MoonPhase);
  // Magnified over the Sun the disc stands at its exact place with a soft
  // limb, so the covered part of the Sun grows smoothly.
  if (magnified)
    FillSmoothMoonDisc(f.C.Buffer, disc.X, disc.Y, disc.Radius, p, sky.MoonPhase, Yellow, bg);
  else
    FillMoonDisc(f.C.Buffer, x, y, disc.Radius, p, sky.MoonPhase, Yellow, bg);
  // The rim one pixel outside the disc; over the Sun during an eclipse
  // there is none, so that nothing but the Moon's own disc covers the Sun.
  const int e = magnified ? static_cast<int>(std::ceil(disc.Radius)) : RoundPixel(disc.Radius) + 1;
  if (!magnified) {
    cv.Pen.Color = rim;
    cv.Brush.Color = bg;
    cv.Brush.Style = TBrushStyle::Clear;
    cv.Ellipse(x - e, y - e, x + e, y + e);
  }
  cv.Release();

  const TSkyPoint& anti = sky.Planets[BodyAntiSun];
  if (sun.Z < 0.1 && std::fabs(anti.Y - m.Y) + std::fabs(anti.X - m.X) < near) {
    cv.Pen.Color = clBlack;
    cv.Brush.Color = clBlack;
    const int ax = f.Sx(anti), ay = f.Sy(anti), ring = f.ArtPx(11);
    cv.Ellipse(ax - ring, ay - ring, ax + ring, ay + ring);
  }
  if (f.Pass && f.On(SkyBits::PlanetNames)) {
    f.LabelFont(clWhite);
    f.Label(LabelPriority::Bodies, (f.English() ? BodyEName(BodyMoon) : BodyName(BodyMoon)).view(),
            x + e + f.Px(2), y + e / 2, TLabelAnchor::Point, x, y, e + f.Px(2));
  }
}

// The picture of the object under the pointer.
void DrawHovered(TFrame& f) {
  const TSkyDrawContext& c = f.C;
  TSkyloom& sky = f.Sky;
  const int h = c.HoverObject;
  std::string caption, picture;
  int frame = 0;
  bool moon = false;
  if (h >= 1 && h <= MaxMessier) {
    caption = Trim(sky.MessierNames[h].Code.view());
    if (caption.empty()) return;
    picture = caption;
  } else if (h >= 201 && h <= 210) {
    const int j = h - 200;
    caption = Trim((f.English() ? BodyEName(j) : BodyName(j)).view());
    picture = "Sun" + std::to_string(j);
    if (j == BodyMoon) {
      moon = true;
      frame = RoundPixel(NormalizeAngle(sky.MoonPhase) / (2 * M_PI) * 59);
      if (frame > 58) frame -= 58;
    }
  } else {
    return;
  }
  // The picture at the scale of the sky's pictures.
  const TScaledHoverArt::TPick pick = c.HoverArt
                                         ? c.HoverArt->For(c.Images1, picture, frame, f.ArtScale)
                                         : TScaledHoverArt::TPick{&c.Images1, c.Images1.Find(picture), frame};
  const TDXImageList* list = pick.List;
  const int image = pick.Image;
  const int w = list->Width(image) / 2, hh = list->Height(image) / 2;
  const int X = c.HoverX, Y = c.HoverY;
  if (c.NebulaNames) {
    f.Canvas.Brush.Style = TBrushStyle::Clear;
    f.Canvas.Brush.Color = RGB(255, 255, 225);  // info-tip background
    f.Canvas.Font.Color = clBlack;
    f.Text(X - w, Y - hh - f.Px(12), caption);
  }
  if (moon) {
    const double angle = MoonAxisAngle(sky) + M_PI / 2;
    list->DrawRotate(c.Buffer, image, X, Y, 2 * w, 2 * hh, pick.Frame, 0.5, 0.5,
                     RoundPixel(angle / (2 * M_PI) * 256));
  } else {
    list->DrawAlpha(c.Buffer, image, TRect{X - w, Y - hh, X + w, Y + hh}, pick.Frame, 255);
  }
}

// Where the ground starts and where its boards and trees stand this frame.
// A wide field bends the horizon into a curve: the ground then starts at
// its own row in every column.
constexpr int MaxGroundColumns = 3840;
struct TGroundLayout {
  bool Drawn = false;        // the ground is drawn at all
  int Top = 0;               // first row of the ground picture (bent: the highest column's)
  bool Row = false;          // the horizon row is found and on screen: boards and trees stand
  bool Bent = false;         // the first ground row differs by column
  int Columns = 0;           // columns of ColumnTop in use (bent)
  std::array<int16_t, MaxGroundColumns> ColumnTop;  // first ground row of each column (bent)
};

// The first row of column x whose direction lies below the horizon (0 when
// the whole column does, `height` when none does). The altitude falls down
// the column across the stage.
int HorizonRowAt(const TSkyloom& sky, int x, int height) {
  auto below = [&](int y) { return ScreenDirection(sky, x, y).Z < 0; };
  if (below(0)) return 0;
  if (!below(height - 1)) return height;
  int lo = 0, hi = height - 1;  // lo above, hi below
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    (below(mid) ? hi : lo) = mid;
  }
  return hi;
}

// The bent horizon's row in every column: found every few columns and
// joined by straight pieces between them.
void BendGround(const TSkyloom& sky, TGroundLayout& g) {
  const int W = std::clamp(sky.ScreenWidth, 0, MaxGroundColumns);
  const int H = std::clamp(sky.ScreenHeight, 0, 32000);
  g.Bent = true;
  g.Columns = W;
  if (W <= 0 || H <= 0) return;
  constexpr int Step = 4;
  int top = H;
  int previous = HorizonRowAt(sky, 0, H);
  for (int x0 = 0; x0 < W; x0 += Step) {
    const int x1 = std::min(x0 + Step, W - 1);
    const int next = x1 > x0 ? HorizonRowAt(sky, x1, H) : previous;
    for (int x = x0; x < std::min(x0 + Step, W); ++x) {
      const int row = x1 > x0 ? previous + (next - previous) * (x - x0) / (x1 - x0) : previous;
      g.ColumnTop[static_cast<size_t>(x)] = static_cast<int16_t>(row);
      top = std::min(top, row);
    }
    previous = next;
  }
  g.Drawn = top < H;
  g.Top = top;
  g.Row = g.Drawn;
}

TGroundLayout GroundLayoutOf(const TFrame& f) {
  TGroundLayout g;
  const TSkyloom& sky = f.Sky;
  if (!f.On(SkyBits::Ground)) return g;
  if (ProjectionBend(sky.FieldOfView) > 1) {
    BendGround(sky, g);
    return g;
  }
  const int cy = sky.CenterY;
  double yh = 0;
  bool found = false;
  // The perspective keeps the horizon straight: any point in front gives
  // its row.
  for (int i = 1; i <= HorizonPoints; ++i) {
    if (sky.Horizon[i].Z > 0) {
      yh = sky.Horizon[i].X;
      found = true;
      break;
    }
  }
  if (found) {
    if (!(cy > yh)) return g;
    g.Drawn = true;
    g.Top = cy + RoundPixel(yh);
    g.Row = std::fabs(yh) < cy;
  } else if (std::sin(sky.ViewAlt) < 0) {
    g.Drawn = true;
    g.Top = 0;
  }
  return g;
}

// A board or tree stands on its horizon point (kept in Lat) when that point
// is in front and within the screen's width; x is its picture's left edge
// (the point is 23 pixels of the 1x picture right of it), foot the row it
// stands on.
bool StandingAt(const TFrame& f, const TGroundLayout& g, const TSkyPoint& item, int& x, int& foot) {
  const TSkyloom& sky = f.Sky;
  if (!g.Row || !(item.Lat >= 1 && item.Lat <= HorizonPoints)) return false;
  const TSkyPoint& hp = sky.Horizon[static_cast<int>(item.Lat)];
  if (!(std::fabs(hp.Y) < sky.CenterX) || !(hp.Z > 0)) return false;
  x = sky.CenterX - RoundPixel(hp.Y) - f.ArtPx(23);
  if (g.Bent) {
    if (!(std::fabs(hp.X) < 32000)) return false;
    foot = sky.CenterY + RoundPixel(hp.X);
    if (foot < 0 || foot > sky.ScreenHeight + f.ArtPx(46)) return false;
  } else {
    foot = g.Top;
  }
  return true;
}

// The ground picture laid under the bent horizon: each column starts the
// picture at its own row, so the haze of its top row follows the curve.
void DrawBentGround(TFrame& f, const TGroundLayout& g, int ground) {
  const LibraryImage* im = f.C.Images.Image(ground);
  TBackBuffer& b = f.C.Buffer;
  const int W = std::min({g.Columns, b.Width(), f.Sky.ScreenWidth});
  const int H = std::min(b.Height(), f.Sky.ScreenHeight);
  if (!im || W <= 0 || H <= 0) return;
  const int gw = im->FrameWidth, gh = im->FrameHeight;
  for (int y = std::max(g.Top, 0); y < H; ++y) {
    uint16_t* out = b.Pixels() + static_cast<size_t>(y) * b.Width();
    for (int x = 0; x < W; ++x) {
      const int top = g.ColumnTop[static_cast<size_t>(x)];
      if (y < top) continue;
      const uint32_t p = im->Pixels[static_cast<size_t>((y - top) % gh) * gw + x % gw];
      const unsigned a = p >> 24;
      if (a == 0) continue;
      const unsigned r = (p >> 16) & 255, gr = (p >> 8) & 255, bl = p & 255;
      if (a == 255) {
        out[x] = static_cast<uint16_t>((r >> 3) << 11 | (gr >> 2) << 5 | bl >> 3);
        continue;
      }
      const uint16_t d = out[x];
      const unsigned dr = (d >> 11) << 3, dg = ((d >> 5) & 63) << 2, db = (d & 31) << 3;
      const unsigned na = 255 - a;
      out[x] = static_cast<uint16_t>(((r * a + dr * na) / 255 >> 3) << 11 |
                                     ((gr * a + dg * na) / 255 >> 2) << 5 |
                                     (bl * a + db * na) / 255 >> 3);
    }
  }
}

// The direction boards in the language of the names.
int BoardImage(const TFrame& f) {
  const TDXImageList& images = f.Art;
  if (f.English()) {
    const int en = images.Find(ImageNames::BoardListEn);
    if (en >= 0) return en;
  }
  return images.Find(ImageNames::BoardList);
}

// The ground below the horizon row, with direction boards and trees
// standing on it. Looking so steeply that no horizon point lies in front,
// the ground fills the sky area when looking down and is absent looking up.
void DrawGround(TFrame& f, const TGroundLayout& g) {
  if (!g.Drawn) return;
  TSkyloom& sky = f.Sky;
  const TDXImageList& images = f.C.Images;
  const TDXImageList& art = f.Art;
  const int ground = images.Find(ImageNames::Ground);
  const int boards = BoardImage(f), trees = art.Find(ImageNames::Tree);
  const int boardTop = f.ArtPx(43), treeTop = f.ArtPx(23);
  int x, foot;
  for (int b = 51; b <= 58; ++b)
    if (sky.Scenery[b].Mag > 0 && StandingAt(f, g, sky.Scenery[b], x, foot))
      art.Draw(f.C.Buffer, boards, x, foot - boardTop, sky.Scenery[b].Image);
  if (g.Bent) {
    DrawBentGround(f, g, ground);
    for (int t = 1; t <= 50; ++t)
      if (StandingAt(f, g, sky.Scenery[t], x, foot))
        art.Draw(f.C.Buffer, trees, x, foot - treeTop, sky.Scenery[t].Image);
    return;
  }
  // The ground picture is laid side by side across a stage wider than it.
  const int width = images.Width(ground);
  const int across = width > 0 ? sky.ScreenWidth : 1;
  for (int x0 = 0; x0 < across; x0 += std::max(width, 1)) images.Draw(f.C.Buffer, ground, x0, g.Top, 0);
  for (int t = 1; t <= 50; ++t)
    if (StandingAt(f, g, sky.Scenery[t], x, foot))
      art.Draw(f.C.Buffer, trees, x, foot - treeTop, sky.Scenery[t].Image);
  // A ground picture shorter than the sky area below the horizon row is
  // repeated downwards so that steep downward views stay covered.
  const int height = images.Height(ground);
  if (height <= 0) return;
  int y = g.Top + height;
  if (y < 0) y += ((-y) / height) * height;
  for (; y < sky.ScreenHeight; y += height)
    for (int x0 = 0; x0 < across; x0 += std::max(width, 1)) images.Draw(f.C.Buffer, ground, x0, y, 0);
}

// What no label may cover: the ground and what stands on it, the Sun's and
// the Moon's discs.
void BlockLabelAreas(TFrame& f, const TGroundLayout& g) {
  TLabelPass& pass = *f.Pass;
  TSkyloom& sky = f.Sky;
  if (g.Drawn) {
    if (g.Bent) {
      // The ground under the curve, in strips as wide as a short label.
      constexpr int Strip = 16;
      for (int x0 = 0; x0 < g.Columns; x0 += Strip) {
        int top = sky.ScreenHeight;
        for (int x = x0; x < std::min(x0 + Strip, g.Columns); ++x)
          top = std::min<int>(top, g.ColumnTop[static_cast<size_t>(x)]);
        if (top < sky.ScreenHeight) pass.Block(TRect{x0, top, x0 + Strip, sky.ScreenHeight});
      }
    } else {
      pass.Block(TRect{0, g.Top, sky.ScreenWidth, std::max(g.Top, sky.ScreenHeight)});
    }
    int x, foot;
    // The board's sign and post, the tree's crown, at the pictures' scale.
    const TRect board{f.ArtPx(2), -f.ArtPx(43), f.ArtPx(44), 0};
    const TRect tree{0, -f.ArtPx(23), f.ArtPx(46), 0};
    for (int b = 51; b <= 58; ++b)
      if (sky.Scenery[b].Mag > 0 && StandingAt(f, g, sky.Scenery[b], x, foot))
        pass.Block(TRect{x + board.Left, foot + board.Top, x + board.Right, foot});
    for (int t = 1; t <= 50; ++t)
      if (StandingAt(f, g, sky.Scenery[t], x, foot))
        pass.Block(TRect{x + tree.Left, foot + tree.Top, x + tree.Right, foot});
  }
  int sx, sy;
  if (SunOnScreen(f, sx, sy)) pass.BlockDisc(sx, sy, f.ArtPx(SunDiscRadius + 1));
  if (IsShown(sky.Planets[BodyMoon])) {
    const TMoonDisc d = MoonDiscOf(f);
    pass.BlockDisc(RoundPixel(d.X), RoundPixel(d.Y), static_cast<int>(std::lround(d.Radius)) + 2);
  }
}

}  // namespace

int FieldReach(double fieldDeg) {
  if (!(fieldDeg > 0) || fieldDeg == DefaultFieldOfView) return 0;
  return static_cast<int>(std::lround(25 * std::log10(DefaultFieldOfView / fieldDeg)));
}

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
  // Labels 12 pixels high at 1x, in the bitmap strike; larger at a larger
  // interface scale, in the outline face drawn smooth.
  cv.Font.Name = SongFont;
  cv.Font.Height = -f.Px(12);
  cv.Font.Smooth = f.TextScale > 1;
  std::optional<TLabelPass> own;
  if (ctx.Sky.LabelPlacement) {
    if (ctx.Labels) {
      f.Pass = ctx.Labels;
    } else {
      own.emplace();
      f.Pass = &*own;
    }
    f.Pass->Reset(std::min(ctx.Sky.ScreenWidth, ctx.Buffer.Width()),
                  std::min(ctx.Sky.ScreenHeight, ctx.Buffer.Height()));
  }

  // The sky area's ground: the realistic sky's grading, else one plain
  // colour (black at full night) laid row by row with the Milky Way's glow.
  const bool graded = f.Light.On && SkyIsGraded(f.Light);
  if (graded) PaintSky(ctx.Buffer, ctx.Sky, f.Light);
  const TColor plain = f.Light.On ? clBlack : ctx.Background;
  DrawMilkyWay(ctx.Buffer, ctx.Sky, MilkyWayStrength(ctx.Sky, f.Light), graded ? nullptr : &plain);
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
  const TGroundLayout ground = GroundLayoutOf(f);
  if (!f.Pass) {
    if (ctx.HoverObject > 0) DrawHovered(f);
    DrawGround(f, ground);
    return;
  }
  // Labels after the ground, never over it; the hovered picture on top.
  DrawGround(f, ground);
  BlockLabelAreas(f, ground);
  f.Pass->Place(cv, SongFont, ctx.PlacedLabels);
  if (ctx.HoverObject > 0) DrawHovered(f);
}

namespace {

// The lit test of the phase drawing, for a point (X, Y) of the disc (pixels
// from its centre, up positive).
struct TPhaseShape {
  double R, Side, K, MinWidth, Cp, Sp;
  TPhaseShape(double r, double p, double phase) : R(r) {
    phase = NormalizeAngle(phase);
    Side = phase > M_PI ? -1 : 1;       // which half of the limb is lit
    K = -r * std::cos(phase);            // terminator semi-axis toward the lit side
    const double elongation = std::fabs(phase - M_PI);
    MinWidth = elongation >= 7 * M_PI / 180 ? 1.5 : 0.0;
    Cp = std::cos(p);
    Sp = std::sin(p);
  }
  bool Lit(double X, double Y) const {
    const double c = Cp * X - Sp * Y;  // along the horns
    const double s = Sp * X + Cp * Y;  // toward the lit limb of a waxing Moon
    const double w = std::sqrt(std::max(0.0, 1 - (c * c) / (R * R)));
    // Lit between the terminator and the limb (a band thinner than a
    // twentieth of a pixel lights nothing), and a thin crescent at least
    // along the lit half of the limb.
    const bool between = Side * s >= K * w && K * w < R * w - 0.05;
    const bool rim = MinWidth > 0 && Side * s >= 0 &&
                     X * X + Y * Y >= (R - MinWidth) * (R - MinWidth);
    return between || rim;
  }
};

uint16_t Blend565(uint16_t under, TColor over, double a) {
  const TColor u = TBackBuffer::From565(under);
  auto mix = [a](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * a)); };
  return TBackBuffer::To565(RGB(mix(u & 255, over & 255), mix((u >> 8) & 255, (over >> 8) & 255),
                                mix((u >> 16) & 255, (over >> 16) & 255)));
}

}  // namespace

void FillMoonDisc(TBackBuffer& buffer, int x, int y, double r, double p, double phase, TColor lit,
                  TColor dark) {
  if (!(r > 0) || r > 2000) return;
  const TPhaseShape shape(r, p, phase);
  const double edge = (r + 0.2) * (r + 0.2);
  const uint16_t litPixel = TBackBuffer::To565(lit), darkPixel = TBackBuffer::To565(dark);
  const int n = static_cast<int>(std::ceil(r)) + 1;
  const int W = buffer.Width(), H = buffer.Height();
  for (int dy = -n; dy <= n; ++dy) {
    const int py = y + dy;
    if (py < 0 || py >= H) continue;
    uint16_t* row = buffer.Pixels() + static_cast<size_t>(py) * W;
    for (int dx = -n; dx <= n; ++dx) {
      const int px = x + dx;
      if (px < 0 || px >= W) continue;
      const double X = dx, Y = -dy;  // up positive, as DrawArc turns its points
      if (X * X + Y * Y > edge) continue;
      row[px] = shape.Lit(X, Y) ? litPixel : darkPixel;
    }
  }
}

void FillSmoothMoonDisc(TBackBuffer& buffer, double x, double y, double r, double p,
                        double phase, TColor lit, TColor dark) {
  if (!(r > 0) || r > 2000 || !std::isfinite(x) || !std::isfinite(y)) return;
  const TPhaseShape shape(r, p, phase);
  const int W = buffer.Width(), H = buffer.Height();
  const int x0 = std::max(0, static_cast<int>(std::floor(x - r - 1)));
  const int x1 = std::min(W - 1, static_cast<int>(std::ceil(x + r + 1)));
  const int y0 = std::max(0, static_cast<int>(std::floor(y - r - 1)));
  const int y1 = std::min(H - 1, static_cast<int>(std::ceil(y + r + 1)));
  for (int py = y0; py <= y1; ++py) {
    uint16_t* row = buffer.Pixels() + static_cast<size_t>(py) * W;
    for (int px = x0; px <= x1; ++px) {
      const double X = px - x, Y = y - py;
      // The share of the pixel inside the limb, from the distance of its
      // centre to the limb.
      const double a = std::clamp(r + 0.5 - std::sqrt(X * X + Y * Y), 0.0, 1.0);
      if (a <= 0) continue;
      const TColor c = shape.Lit(X, Y) ? lit : dark;
      row[px] = a >= 1 ? TBackBuffer::To565(c) : Blend565(row[px], c, a);
    }
  }
}

// The lower panel: background, text panel, status bar, azimuth dial and
// needle, altitude dial with stand and sighting tube, and the buttons.
// Sizes and the suggested places of the buttons: data/art/images.md.
#include <cmath>
#include <functional>

#include "Art.h"
#include "ImageNames.h"
#include "Text.h"

namespace {

const Rgba kPlateTop = Col(30, 40, 74), kPlateBottom = Col(12, 16, 34);
const Rgba kRim = Col(92, 112, 168), kAmber = Col(255, 204, 0), kIcon = Col(205, 218, 245);

// Panel background: a navy plate with a lit top edge, the 36-pixel top strip
// (still visible when the panel is lowered) and shallow wells for the groups.
Raster PanelImage(float k) {
  Raster r(800, 168, k);
  Fill(r, [](float, float) { return -1.0f; }, [](float x, float y) {
    Rgba c = Mix(kPlateTop, kPlateBottom, Clamp01(y / 168.0f));
    const float n = 0.03f * Fbm(x / 3.0f, y / 40.0f, 21, 2);   // faint brushed texture
    c.r += n;
    c.g += n;
    c.b += n;
    return c;
  });
  Fill(r, [](float x, float y) { return SdBox(x, y, 0, 0, 800, 36, 0); },
       [](float, float y) { return Mix(Col(40, 52, 92), Col(24, 32, 60), y / 36.0f); });
  Fill(r, [](float x, float y) { return SdBox(x, y, 0, 0, 800, 1.5f, 0); }, Col(140, 165, 220));
  Fill(r, [](float x, float y) { return SdBox(x, y, 0, 35, 800, 36, 0); }, Col(8, 10, 22));
  Fill(r, [](float x, float y) { return SdBox(x, y, 0, 36, 800, 37, 0); }, Col(60, 76, 120));
  struct Well {
    float x0, y0, x1, y1;
  };
  for (const Well& w : {Well{6, 40, 132, 164}, Well{132, 40, 236, 164}, Well{564, 38, 798, 160}}) {
    Fill(r, [&](float x, float y) { return SdBox(x, y, w.x0 + 1, w.y0, w.x1 - 1, w.y1, 6); },
         Col(6, 8, 20, 0.35f));
    Stroke(r, [&](float x, float y) { return SdBox(x, y, w.x0 + 1, w.y0, w.x1 - 1, w.y1, 6); },
           1.0f, Col(70, 88, 140, 0.5f));
  }
  return r;
}

Raster StoryBackImage(float k) {
  Raster r(324, 122, k);
  auto box = [](float x, float y) { return SdBox(x, y, 0.5f, 0.5f, 323.5f, 121.5f, 6); };
  Fill(r, box, [](float, float y) { return Mix(Col(8, 12, 30, 0.92f), Col(4, 6, 18, 0.92f), y / 122); });
  Stroke(r, box, 1.2f, Col(86, 106, 160));
  // Title tab and divider.
  Fill(r, [](float x, float y) { return SdBox(x, y, 6, 3, 150, 19, 4); }, Col(40, 30, 40, 0.8f));
  Fill(r, [](float x, float y) { return SdBox(x, y, 8, 21, 298, 22, 0); }, Col(90, 80, 100, 0.8f));
  // Scroll track on the right, between the two scroll buttons.
  Fill(r, [](float x, float y) { return SdBox(x, y, 305, 19, 321, 103, 3); }, Col(2, 4, 12));
  Stroke(r, [](float x, float y) { return SdBox(x, y, 305, 19, 321, 103, 3); }, 1.0f,
         Col(60, 76, 120));
  return r;
}

Raster ShowBarImage(float k) {
  Raster r(480, 24, k);
  auto box = [](float x, float y) { return SdBox(x, y, 0.5f, 0.5f, 479.5f, 23.5f, 11); };
  Fill(r, box, [](float, float y) { return Mix(Col(2, 4, 14), Col(16, 22, 44), y / 24); });
  Stroke(r, box, 1.2f, Col(96, 116, 172));
  return r;
}

// Azimuth dial at rest: 南 at the top, 东 to the left, 北 at the bottom, 西 to
// the right, as the sky looks when facing south; it turns with the view.
Raster CompImage(const ArtFonts& fonts, float k) {
  const int s = 116;
  const float c = s / 2.0f, R = c - 1;
  Raster r(s, s, k);
  Fill(r, [&](float x, float y) { return SdCircle(x, y, c, c, R); },
       [&](float x, float y) { return Mix(Col(170, 180, 210), Col(60, 70, 100), Clamp01((x + y) / s)); });
  Fill(r, [&](float x, float y) { return SdCircle(x, y, c, c, R - 3); },
       [&](float x, float y) {
         return Mix(Col(26, 36, 72), Col(6, 8, 22), Clamp01(std::hypot(x - c, y - c) / R));
       });
  // Ticks every 10 degrees, longer every 30 and 90.
  for (int d = 0; d < 360; d += 5) {
    const float a = d * kPi / 180;
    const float len = d % 90 == 0 ? 9.0f : d % 30 == 0 ? 7.0f : d % 10 == 0 ? 4.5f : 2.5f;
    const float r0 = R - 4, r1 = r0 - len;
    const float w = d % 30 == 0 ? 0.8f : 0.5f;
    Fill(r,
         [&](float x, float y) {
           return SdSegment(x, y, c + std::sin(a) * r0, c - std::cos(a) * r0, c + std::sin(a) * r1,
                            c - std::cos(a) * r1, w);
         },
         d % 90 == 0 ? kAmber : Col(180, 195, 230));
  }
  // Rose: four long and four short points.
  for (int k = 0; k < 8; ++k) {
    const float a = k * kPi / 4;
    const float len = k % 2 == 0 ? 30.0f : 18.0f, half = k % 2 == 0 ? 5.0f : 3.5f;
    const Pt tip{c + std::sin(a) * len, c - std::cos(a) * len};
    const Pt l{c + std::sin(a - kPi / 2) * half, c - std::cos(a - kPi / 2) * half};
    const Pt rr{c + std::sin(a + kPi / 2) * half, c - std::cos(a + kPi / 2) * half};
    const std::vector<Pt> left = {{c, c}, l, tip}, right = {{c, c}, tip, rr};
    const Rgba dark = k % 2 == 0 ? Col(70, 90, 150) : Col(50, 64, 110);
    const Rgba light = k % 2 == 0 ? Col(150, 170, 225) : Col(100, 118, 170);
    Fill(r, [&](float x, float y) { return SdPolygon(x, y, left); }, light);
    Fill(r, [&](float x, float y) { return SdPolygon(x, y, right); }, dark);
  }
  const TextFont font(fonts.Ming, 15, true, k);
  const char* names[4] = {"南", "西", "北", "东"};   // top, right, bottom, left
  for (int k = 0; k < 4; ++k) {
    const float a = k * kPi / 2, rad = R - 22;
    DrawTextCentred(r, font, names[k], c + std::sin(a) * rad, c - std::cos(a) * rad + 0.5f,
                    k == 0 ? Col(255, 120, 80) : Col(240, 240, 255), Col(0, 0, 0, 0.8f));
  }
  Fill(r, [&](float x, float y) { return SdCircle(x, y, c, c, 3.5f); }, Col(210, 190, 120));
  return r;
}

// Fixed mark of the azimuth dial: a red pointer at the top of the dial and a
// hub; the image's centre is 5 pixels above the dial centre.
Raster NeedleImage(float k) {
  Raster r(18, 128, k);
  const float cx = 9, hub = 69;
  const std::vector<Pt> tri = {{cx - 6, 1.5f}, {cx + 6, 1.5f}, {cx, 15}};
  Fill(r, [&](float x, float y) { return SdPolygon(x, y, tri) - 1.0f; }, Col(255, 240, 200));
  Fill(r, [&](float x, float y) { return SdPolygon(x, y, tri); }, Col(230, 60, 40));
  Fill(r, [&](float x, float y) { return SdSegment(x, y, cx, 15, cx, 22, 0.6f); },
       Col(230, 60, 40, 0.8f));
  Fill(r, [&](float x, float y) { return SdCircle(x, y, cx, hub, 5); }, Col(255, 220, 120));
  Fill(r, [&](float x, float y) { return SdCircle(x, y, cx, hub, 2); }, Col(120, 60, 20));
  return r;
}

// Altitude dial plate: a half disc opening to the left around the pivot
// (56, 39), scaled from -90 (down) through 0 (level) to 90 (up).
Raster StarBackImage(const ArtFonts& fonts, float k) {
  Raster r(100, 100, k);
  const float px = 56, py = 39, R = 38;
  auto plate = [&](float x, float y) {
    return std::max(SdCircle(x, y, px, py, R), x - (px + 2));
  };
  Fill(r, plate, [&](float x, float y) {
    return Mix(Col(34, 46, 86), Col(8, 10, 26), Clamp01(std::hypot(x - px, y - py) / R));
  });
  Stroke(r, plate, 1.2f, kRim);
  for (int d = -90; d <= 90; d += 10) {
    const float a = d * kPi / 180;
    const float len = d % 30 == 0 ? 7.0f : 4.0f;
    const float r0 = R - 2, r1 = r0 - len;
    Fill(r,
         [&](float x, float y) {
           return SdSegment(x, y, px - std::cos(a) * r0, py - std::sin(a) * r0,
                            px - std::cos(a) * r1, py - std::sin(a) * r1, d % 30 == 0 ? 0.8f : 0.5f);
         },
         d == 0 ? kAmber : Col(180, 195, 230));
  }
  const TextFont font(fonts.Latin, 9, false, k);
  for (int d : {-90, -45, 45, 90}) {
    const float a = d * kPi / 180, rad = R - 17;
    DrawTextCentred(r, font, std::to_string(std::abs(d)), px - std::cos(a) * rad + (std::abs(d) == 90 ? 6 : 0),
                    py - std::sin(a) * rad, Col(160, 175, 215));
  }
  return r;
}

// Stand of the sighting tube: hub at (12, 8), post down to a foot.
Raster StickImage(float k) {
  Raster r(24, 60, k);
  Fill(r, [](float x, float y) { return SdBox(x, y, 2, 52, 22, 58, 2); },
       [](float x, float) { return Mix(Col(150, 130, 90), Col(90, 74, 50), x / 24); });
  Fill(r, [](float x, float y) { return SdBox(x, y, 9.5f, 8, 14.5f, 53, 1); },
       [](float x, float) { return Mix(Col(190, 170, 120), Col(100, 84, 56), (x - 9.5f) / 5); });
  Fill(r, [](float x, float y) { return SdCircle(x, y, 12, 8, 6); }, Col(110, 94, 64));
  Fill(r, [](float x, float y) { return SdCircle(x, y, 12, 8, 4.5f); }, Col(200, 180, 130));
  return r;
}

// Sighting tube, centred on its pivot; the objective points left so that a
// clockwise turn by the altitude lifts it.
Raster GlassImage(float k) {
  Raster r(70, 14, k);
  const std::vector<Pt> body = {{2, 1.5f}, {44, 3.5f}, {66, 4.5f}, {66, 9.5f}, {44, 10.5f}, {2, 12.5f}};
  Fill(r, [&](float x, float y) { return SdPolygon(x, y, body); },
       [](float, float y) { return Mix(Col(240, 225, 170), Col(150, 120, 60), Clamp01((y - 1) / 12)); });
  Fill(r, [](float x, float y) { return SdBox(x, y, 1, 0.5f, 6, 13.5f, 1); }, Col(120, 96, 50));
  Fill(r, [](float x, float y) { return SdBox(x, y, 1.5f, 2.5f, 3.5f, 11.5f, 0.8f); },
       Col(140, 200, 255));
  Fill(r, [](float x, float y) { return SdBox(x, y, 62, 3.5f, 68, 10.5f, 1); }, Col(90, 70, 40));
  Fill(r, [](float x, float y) { return SdCircle(x, y, 35, 7, 2.2f); }, Col(90, 70, 40));
  return r;
}

// One button in its four looks: normal, under the pointer, pressed or on,
// on and under the pointer. `icon` draws the symbol in the given colour.
using IconFn = std::function<void(Raster&, const Rgba&, float, float)>;
std::vector<Raster> ButtonFrames(int w, int h, float k, const IconFn& icon) {
  std::vector<Raster> frames;
  for (int f = 0; f < 4; ++f) {
    Raster r(w, h, k);
    const bool hover = f == 1 || f == 3, on = f >= 2;
    const float rad = std::min(w, h) * 0.22f;
    auto box = [&](float x, float y) { return SdBox(x, y, 0.5f, 0.5f, w - 0.5f, h - 0.5f, rad); };
    Rgba top = on ? Col(14, 18, 38) : hover ? Col(78, 100, 160) : Col(54, 68, 114);
    Rgba bottom = on ? Col(36, 46, 84) : hover ? Col(38, 50, 92) : Col(26, 32, 62);
    Fill(r, box, [&](float, float y) { return Mix(top, bottom, y / h); });
    const Rgba rim = on ? (hover ? Col(255, 214, 120) : Col(205, 160, 64))
                        : (hover ? Col(170, 205, 255) : Col(96, 116, 170));
    Stroke(r, box, hover ? 1.6f : 1.1f, rim);
    if (!on) {   // a faint highlight along the top edge
      Fill(r, [&](float x, float y) { return SdBox(x, y, rad, 1.6f, w - rad, 2.4f, 0.4f); },
           Col(255, 255, 255, hover ? 0.35f : 0.2f));
    }
    const Rgba ink = on ? (hover ? Col(255, 228, 150) : Col(255, 200, 80))
                        : (hover ? Col(255, 255, 255) : kIcon);
    icon(r, ink, w / 2.0f, h / 2.0f + (on ? 0.5f : 0.0f));
    frames.push_back(std::move(r));
  }
  return frames;
}

IconFn Caption(const TextFont& font, const std::string& text) {
  return [&font, text](Raster& r, const Rgba& ink, float cx, float cy) {
    DrawTextCentred(r, font, text, cx, cy + 0.5f, ink, Col(0, 0, 0, 0.7f));
  };
}

IconFn Polygon(std::vector<Pt> pts) {
  return [pts](Raster& r, const Rgba& ink, float cx, float cy) {
    std::vector<Pt> p;
    for (const Pt& q : pts) p.push_back({cx + q.x, cy + q.y});
    Fill(r, [&](float x, float y) { return SdPolygon(x, y, p); }, ink);
  };
}

IconFn Shapes(std::vector<IconFn> parts) {
  return [parts](Raster& r, const Rgba& ink, float cx, float cy) {
    for (const IconFn& p : parts) p(r, ink, cx, cy);
  };
}

IconFn Bar(float x0, float y0, float x1, float y1) {
  return [=](Raster& r, const Rgba& ink, float cx, float cy) {
    Fill(r, [&](float x, float y) { return SdBox(x, y, cx + x0, cy + y0, cx + x1, cy + y1, 0.3f); },
         ink);
  };
}

IconFn Line(float x0, float y0, float x1, float y1, float w) {
  return [=](Raster& r, const Rgba& ink, float cx, float cy) {
    Fill(r, [&](float x, float y) { return SdSegment(x, y, cx + x0, cy + y0, cx + x1, cy + y1, w / 2); },
         ink);
  };
}

// An arrow of given direction: shaft plus head, (dx, dy) a unit direction.
IconFn Arrow(float dx, float dy, float len) {
  const float hx = dx * len / 2, hy = dy * len / 2;
  const float px = -dy, py = dx;
  return Shapes({Line(-hx, -hy, hx * 0.2f, hy * 0.2f, 3.0f),
                 Polygon({{hx, hy},
                          {hx * 0.05f + px * 6.5f, hy * 0.05f + py * 6.5f},
                          {hx * 0.05f - px * 6.5f, hy * 0.05f - py * 6.5f}})});
}

}  // namespace

void AddPanelImages(Library& lib, const ArtFonts& fonts, float k) {
  lib.push_back(MakeImage(ImageNames::Panel, {PanelImage(k)}));
  lib.push_back(MakeImage(ImageNames::StoryBack, {StoryBackImage(k)}));
  lib.push_back(MakeImage(ImageNames::ShowBar, {ShowBarImage(k)}));
  lib.push_back(MakeImage(ImageNames::Comp, {CompImage(fonts, k)}));
  lib.push_back(MakeImage(ImageNames::Needle, {NeedleImage(k)}));
  lib.push_back(MakeImage(ImageNames::StarBack, {StarBackImage(fonts, k)}));
  lib.push_back(MakeImage(ImageNames::Stick, {StickImage(k)}));
  lib.push_back(MakeImage(ImageNames::Glass, {GlassImage(k)}));

  // One button in its four looks, drawn at this library's scale.
  const auto AddButton = [k](Library& lib, const char* name, int w, int h, const IconFn& icon) {
    lib.push_back(MakeImage(name, ButtonFrames(w, h, k, icon)));
  };
  // Captions: the crisp 12-pixel bitmap strike at 1x, the outline face
  // at the larger sizes.
  const std::string& captionFace = k == 1 ? fonts.Bitmap : fonts.Ming;
  const TextFont cap(captionFace, 12, false, k);
  const TextFont capSmall(captionFace, 12, false, k);
  // View: turn left/right, raise/lower.
  AddButton(lib, "BtnTurnLeft", 44, 32, Arrow(-1, 0, 20));
  AddButton(lib, "BtnTurnRight", 44, 32, Arrow(1, 0, 20));
  AddButton(lib, "BtnRaise", 44, 32, Arrow(0, -1, 18));
  AddButton(lib, "BtnLower", 44, 32, Arrow(0, 1, 18));
  // Switches and dialogs.
  AddButton(lib, "BtnLanguage", 44, 32, Caption(cap, "中/英"));
  AddButton(lib, "BtnStarNames", 44, 32, Caption(cap, "星名"));
  AddButton(lib, "BtnLines", 44, 32, Caption(capSmall, "辅助线"));
  AddButton(lib, "BtnHorizon", 44, 32, Caption(cap, "地平"));
  AddButton(lib, "BtnSettings", 44, 32, Caption(cap, "设置"));
  AddButton(lib, "BtnStarTool", 44, 32, Caption(cap, "工具"));
  AddButton(lib, "BtnHelp", 44, 32, Caption(cap, "帮助"));
  AddButton(lib, "BtnAbout", 44, 32, Caption(cap, "关于"));
  // The field of view and the Milky Way, a column left of the grid.
  AddButton(lib, "BtnZoomIn", 44, 32, Caption(cap, "放大"));
  AddButton(lib, "BtnZoomOut", 44, 32, Caption(cap, "缩小"));
  AddButton(lib, "BtnMilkyWay", 44, 32, Caption(cap, "银河"));
  // Window.
  AddButton(lib, "BtnMinimize", 22, 22, Bar(-5, 3, 5, 5.5f));
  AddButton(lib, "BtnQuit", 22, 22, Shapes({Line(-4.5f, -4.5f, 4.5f, 4.5f, 2.4f),
                                            Line(-4.5f, 4.5f, 4.5f, -4.5f, 2.4f)}));
  // Show player.
  AddButton(lib, "BtnPlay", 28, 24, Polygon({{-4, -6.5f}, {6.5f, 0}, {-4, 6.5f}}));
  AddButton(lib, "BtnStop", 28, 24, Bar(-5, -5, 5, 5));
  AddButton(lib, "BtnPlayBack", 28, 24, Polygon({{4, -6.5f}, {-6.5f, 0}, {4, 6.5f}}));
  AddButton(lib, "BtnStepForward", 28, 24,
            Shapes({Polygon({{-6, -6}, {3, 0}, {-6, 6}}), Bar(3.5f, -6, 6, 6)}));
  AddButton(lib, "BtnStepBack", 28, 24,
            Shapes({Polygon({{6, -6}, {-3, 0}, {6, 6}}), Bar(-6, -6, -3.5f, 6)}));
  // Program-wide sky switches: labels kept apart (two offset name tags) and
  // the sky lit by the Sun (a half Sun on the horizon with its rays).
  AddButton(lib, "BtnLabels", 28, 24,
            Shapes({Bar(-8, -6, 3, -2), Bar(-3, 2, 8, 6), Line(-8, 0, 8, 0, 0.8f)}));
  {
    std::vector<IconFn> sun = {Bar(-9, 5, 9, 6.2f)};
    sun.push_back([](Raster& r, const Rgba& ink, float cx, float cy) {
      Fill(r, [&](float x, float y) {
             return std::max(SdCircle(x, y, cx, cy + 5, 5), y - (cy + 5));
           }, ink);
    });
    for (int k = 0; k < 5; ++k) {
      const float a = static_cast<float>(M_PI) * (0.1f + 0.2f * k);
      sun.push_back(Line(std::cos(a) * 7, 5 - std::sin(a) * 7, std::cos(a) * 9.5f,
                         5 - std::sin(a) * 9.5f, 1.2f));
    }
    AddButton(lib, "BtnRealSky", 28, 24, Shapes(sun));
  }
  // Panel: frames 0/1 lower it (arrow down), frames 2/3 (panel down) raise it.
  {
    std::vector<Raster> down = ButtonFrames(28, 24, k, Polygon({{-6, -3.5f}, {6, -3.5f}, {0, 4.5f}}));
    std::vector<Raster> up = ButtonFrames(28, 24, k, Polygon({{-6, 3.5f}, {6, 3.5f}, {0, -4.5f}}));
    lib.push_back(MakeImage("BtnPanel", {down[0], down[1], up[2], up[3]}));
  }
  // Text scrolling.
  AddButton(lib, "BtnTextUp", 16, 16, Polygon({{-4.5f, 2.5f}, {4.5f, 2.5f}, {0, -3.5f}}));
  AddButton(lib, "BtnTextDown", 16, 16, Polygon({{-4.5f, -2.5f}, {4.5f, -2.5f}, {0, 3.5f}}));
  AddButton(lib, "TextThumb", 16, 20,
            Shapes({Bar(-4, -4, 4, -3), Bar(-4, -0.5f, 4, 0.5f), Bar(-4, 3, 4, 4)}));
}

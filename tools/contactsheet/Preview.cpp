#include "Preview.h"

#include <cmath>
#include <string>

namespace {

constexpr int kW = 800, kH = 600;

const LibraryImage* Find(const std::vector<LibraryImage>& lib, const std::string& name) {
  for (const LibraryImage& i : lib)
    if (i.Name == name) return &i;
  return nullptr;
}

uint32_t Over(uint32_t dst, uint32_t src, int alpha = 255) {
  const uint32_t a = (src >> 24) * alpha / 255;
  auto ch = [&](int s) {
    const uint32_t d = (dst >> s) & 255, c = (src >> s) & 255;
    return ((c * a + d * (255 - a) + 127) / 255) << s;
  };
  return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

struct Canvas {
  std::vector<uint32_t> px = std::vector<uint32_t>(kW * kH, 0xFF000000u);
  void Draw(const LibraryImage* img, int x, int y, int frame = 0) {
    if (!img || frame < 0 || frame >= img->FrameCount) return;
    for (int j = 0; j < img->FrameHeight; ++j)
      for (int i = 0; i < img->FrameWidth; ++i) {
        const int dx = x + i, dy = y + j;
        if (dx < 0 || dy < 0 || dx >= kW || dy >= kH) continue;
        const uint32_t p =
            img->Pixels[(static_cast<size_t>(frame) * img->FrameHeight + j) * img->FrameWidth + i];
        px[dy * kW + dx] = Over(px[dy * kW + dx], p);
      }
  }
  void Stretch(const LibraryImage* img, int x0, int y0, int w, int h, int alpha) {
    if (!img) return;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const int sx = i * img->FrameWidth / w, sy = j * img->FrameHeight / h;
        const int dx = x0 + i, dy = y0 + j;
        if (dx < 0 || dy < 0 || dx >= kW || dy >= kH) continue;
        px[dy * kW + dx] = Over(px[dy * kW + dx], img->Pixels[sy * img->FrameWidth + sx], alpha);
      }
  }
};

}  // namespace

std::vector<uint32_t> RenderPreview(const std::vector<LibraryImage>& lib) {
  Canvas c;
  const int horizon = 300, panelY = 432;
  // A few stars of every brightness, planets, the Sun and a deep-sky patch.
  uint32_t s = 12345;
  auto rnd = [&](int n) {
    s = s * 1664525u + 1013904223u;
    return static_cast<int>((s >> 8) % static_cast<uint32_t>(n));
  };
  for (int i = 0; i < 160; ++i) c.Draw(Find(lib, "StarShine"), rnd(780), rnd(horizon - 20), std::min(6, rnd(9)));
  for (int f = 0; f < 8; ++f) c.Draw(Find(lib, "StarBall"), 420 + f * 22, 60, f);
  c.Draw(Find(lib, "Sun"), 620, 120);
  c.Stretch(Find(lib, "CloudImg"), 300, 100, 20, 20, 200);
  c.Stretch(Find(lib, "CloudImg"), 340, 140, 20, 20, 200);
  // Boards, then the ground, then the trees, as the sky drawing does.
  for (int b = 0; b < 8; ++b) c.Draw(Find(lib, "BoardList"), 40 + b * 96 - 23, horizon - 43, b);
  c.Draw(Find(lib, "Ground"), 0, horizon);
  for (int t = 0; t < 11; ++t) c.Draw(Find(lib, "Tree"), 20 + t * 72 + (t % 3) * 9 - 23, horizon - 23, t);
  // Lower panel (raised).
  const int P = panelY;
  c.Draw(Find(lib, "Panel"), 0, P);
  c.Draw(Find(lib, "ShowBar"), 6, P + 6);
  c.Draw(Find(lib, "StoryBack"), 238, P + 40);
  const char* grid[12] = {"BtnTurnLeft", "BtnTurnRight", "BtnRaise",   "BtnLower",
                          "BtnLanguage", "BtnStarNames", "BtnLines",   "BtnHorizon",
                          "BtnSettings", "BtnStarTool",  "BtnHelp",    "BtnAbout"};
  for (int i = 0; i < 12; ++i) c.Draw(Find(lib, grid[i]), 614 + 46 * (i % 4), P + 42 + 40 * (i / 4), i == 1 ? 1 : i == 7 ? 2 : 0);
  const char* player[5] = {"BtnPlayBack", "BtnStepBack", "BtnStop", "BtnStepForward", "BtnPlay"};
  for (int i = 0; i < 5; ++i) c.Draw(Find(lib, player[i]), 554 + 30 * i, P + 6, i == 4 ? 2 : 0);
  c.Draw(Find(lib, "BtnPanel"), 708, P + 6);
  c.Draw(Find(lib, "BtnMinimize"), 746, P + 7);
  c.Draw(Find(lib, "BtnQuit"), 772, P + 7);
  const char* column[3] = {"BtnZoomIn", "BtnZoomOut", "BtnMilkyWay"};
  for (int i = 0; i < 3; ++i) c.Draw(Find(lib, column[i]), 568, P + 42 + 40 * i, i == 2 ? 2 : 0);
  c.Draw(Find(lib, "BtnTextUp"), 543, P + 43);
  c.Draw(Find(lib, "BtnTextDown"), 543, P + 143);
  c.Draw(Find(lib, "TextThumb"), 543, P + 59);
  const LibraryImage* comp = Find(lib, "Comp");
  const LibraryImage* needle = Find(lib, "Needle");
  if (comp) c.Draw(comp, 70 - comp->FrameWidth / 2, P + 100 - comp->FrameHeight / 2);
  if (needle) c.Draw(needle, 70 - needle->FrameWidth / 2, P + 100 - needle->FrameHeight / 2 - 5);
  c.Draw(Find(lib, "StarBack"), 134, P + 52);
  c.Draw(Find(lib, "Stick"), 134 + 44, P + 52 + 31);
  const LibraryImage* glass = Find(lib, "Glass");
  if (glass) c.Draw(glass, 134 + 56 - glass->FrameWidth / 2, P + 52 + 39 - glass->FrameHeight / 2);
  return c.px;
}

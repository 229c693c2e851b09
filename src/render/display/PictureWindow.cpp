#include "PictureWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "Canvas.h"
#include "FileIo.h"
#include "Gbk.h"
#include "Screen.h"

void TPictureWindow::Show(const std::vector<uint32_t>& argb, int width, int height, int bevel) {
  Close();
  ChoosePresentPath();
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
  const int w = width + 2 * bevel, h = height + 2 * bevel;
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                             SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                 SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_SHOWN);
  if (!window_) return;
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) return;
  // Raised bevel: light top-left edges, dark bottom-right edges.
  SDL_SetRenderDrawColor(renderer_, 192, 192, 192, 255);
  SDL_RenderClear(renderer_);
  for (int i = 0; i < bevel; ++i) {
    SDL_SetRenderDrawColor(renderer_, 240, 240, 240, 255);
    SDL_RenderDrawLine(renderer_, i, i, w - 1 - i, i);
    SDL_RenderDrawLine(renderer_, i, i, i, h - 1 - i);
    SDL_SetRenderDrawColor(renderer_, 96, 96, 96, 255);
    SDL_RenderDrawLine(renderer_, i, h - 1 - i, w - 1 - i, h - 1 - i);
    SDL_RenderDrawLine(renderer_, w - 1 - i, i, w - 1 - i, h - 1 - i);
  }
  if (!argb.empty() && static_cast<int>(argb.size()) >= width * height) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb.data()), width,
                                                        height, 32, width * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    if (s) {
      SDL_Texture* t = SDL_CreateTextureFromSurface(renderer_, s);
      SDL_Rect dst{bevel, bevel, width, height};
      if (t) {
        SDL_RenderCopy(renderer_, t, nullptr, &dst);
        SDL_DestroyTexture(t);
      }
      SDL_FreeSurface(s);
    }
  }
  SDL_RenderPresent(renderer_);
  SDL_PumpEvents();
}

void TPictureWindow::Close() {
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  renderer_ = nullptr;
  window_ = nullptr;
}

void ShowMessageWindow(const std::string& gbkText, int timeoutMs) {
  Report({"", GbkToUtf8(gbkText), ""});
  ChoosePresentPath();
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
  // The message drawn with the program's own canvas: text, then the button.
  TBackBuffer buffer(480, 110);
  buffer.Fill(RGB(236, 233, 216));
  TCanvas canvas(buffer);
  canvas.Font.Name = "\xCB\xCE\xCC\xE5";  // 宋体
  canvas.Font.Height = -14;
  canvas.Font.Color = clBlack;
  canvas.Brush.Style = TBrushStyle::Clear;
  const int w = canvas.TextWidth(gbkText);
  canvas.TextOut(std::max(8, (480 - w) / 2), 28, gbkText);
  const std::string ok = "\xC8\xB7\xB6\xA8";  // 确定
  for (int x = 200; x < 280; ++x) {
    buffer.Put(x, 66, RGB(255, 255, 255));
    buffer.Put(x, 92, RGB(96, 96, 96));
  }
  for (int y = 66; y <= 92; ++y) {
    buffer.Put(200, y, RGB(255, 255, 255));
    buffer.Put(279, y, RGB(96, 96, 96));
  }
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.TextOut(240 - canvas.TextWidth(ok) / 2, 72, ok);
  std::vector<uint32_t> argb(480 * 110);
  for (int i = 0; i < 480 * 110; ++i) {
    const TColor c = TBackBuffer::From565(buffer.Pixels()[i]);
    argb[i] = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  TPictureWindow window;
  window.Show(argb, 480, 110, 2);
  if (!window.Showing()) return;
  const Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(timeoutMs);
  while (SDL_GetTicks64() < end) {
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, 100)) continue;
    if (e.type == SDL_QUIT || e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN) break;
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) break;
  }
}

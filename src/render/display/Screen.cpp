#include "Screen.h"

#include <SDL.h>

#include <cstdio>

void ChoosePresentPath();

namespace {
// The stage texture of the off-screen composition: what a window on a
// 24-bit display has, so that shots with and without a window agree.
constexpr uint32_t OffscreenStageFormat = SDL_PIXELFORMAT_RGB888;
bool VideoReady() {
  static int state = -1;  // -1 not tried, 0 failed, 1 ready
  if (state < 0) {
    ChoosePresentPath();
    if (SDL_WasInit(SDL_INIT_VIDEO) || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      state = 1;
    } else {
      state = 0;
      std::fprintf(stderr, "skyloom: no display (%s); drawing off screen only\n", SDL_GetError());
    }
  }
  return state == 1;
}
}  // namespace

void ChoosePresentPath() {
  // The stage is drawn by our own code into a 16-bit buffer; all a window
  // needs is one conversion of it into the window's pixels. SDL's software
  // renderer does that straight into the window system's shared-memory
  // picture. Left to itself, SDL would put that picture behind an OpenGL
  // texture, which on a PC without a GPU driver runs in a software
  // rasteriser at several times the cost and ~100 MiB of memory, and on
  // one with a GPU gains nothing for an 800x600 picture. SDL decides this
  // once, for the first window (the splash), so it is set before any
  // window opens. The environment (SDL_RENDER_DRIVER,
  // SDL_FRAMEBUFFER_ACCELERATION) still overrides both.
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
}

TDXDraw::TDXDraw(int width, int height) : buffer_(width, height), canvas_(buffer_) {}

TDXDraw::~TDXDraw() { Finalize(); }

bool TDXDraw::DesktopSize(int& width, int& height) {
  width = height = 0;
  if (!VideoReady()) return false;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
  width = mode.w;
  height = mode.h;
  return true;
}

bool TDXDraw::Initialize(const std::string& title, int left, int top, bool fullScreen) {
  if (window_) return true;
  if (!VideoReady()) return false;
  ChoosePresentPath();
  Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN;
  int w = Width(), h = Height();
  windowedLeft_ = left;
  windowedTop_ = top;
  SDL_Rect display;
  if (fullScreen && SDL_GetDisplayBounds(0, &display) == 0) {
    // Created at the display's size as well, so that the stage fills the
    // screen even where no window manager resizes full-screen windows.
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    left = display.x;
    top = display.y;
    w = display.w;
    h = display.h;
  }
  window_ = SDL_CreateWindow(title.c_str(), left, top, w, h, flags);
  if (!window_) {
    std::fprintf(stderr, "skyloom: cannot open the window (%s); drawing off screen only\n",
                 SDL_GetError());
    return false;
  }
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_) {
    SDL_RendererInfo info;
    softwarePresent_ = SDL_GetRendererInfo(renderer_, &info) == 0 &&
                       (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    SDL_RenderSetLogicalSize(renderer_, Width(), Height());
    // The stage texture in the window's own pixel format: the one
    // conversion from 16 bits happens while uploading, and the copy to the
    // window (scaled or not) is then a plain one.
    const Uint32 windowFormat = SDL_GetWindowPixelFormat(window_);
    stageFormat_ = SDL_BITSPERPIXEL(windowFormat) == 24 && SDL_BYTESPERPIXEL(windowFormat) == 4
                       ? windowFormat
                       : static_cast<Uint32>(SDL_PIXELFORMAT_RGB565);
    texture_ = SDL_CreateTexture(renderer_, stageFormat_, SDL_TEXTUREACCESS_STREAMING, Width(),
                                 Height());
  }
  if (!renderer_ || !texture_) {
    std::fprintf(stderr, "skyloom: cannot draw into the window (%s)\n", SDL_GetError());
  }
  fullScreen_ = fullScreen;
  return true;
}

void TDXDraw::Finalize() {
  if (captureTarget_) SDL_DestroyTexture(captureTarget_);
  if (offscreenStage_) SDL_DestroyTexture(offscreenStage_);
  if (offscreen_) SDL_DestroyRenderer(offscreen_);
  if (offscreenSurface_) SDL_FreeSurface(offscreenSurface_);
  captureTarget_ = offscreenStage_ = nullptr;
  offscreen_ = nullptr;
  offscreenSurface_ = nullptr;
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

unsigned TDXDraw::WindowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }

void TDXDraw::Upload(SDL_Texture* stage, uint32_t format) {
  if (format == SDL_PIXELFORMAT_RGB565) {
    SDL_UpdateTexture(stage, nullptr, buffer_.Pixels(), Width() * 2);
    return;
  }
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(stage, nullptr, &pixels, &pitch) != 0) return;
  SDL_ConvertPixels(Width(), Height(), SDL_PIXELFORMAT_RGB565, buffer_.Pixels(), Width() * 2,
                    format, pixels, pitch);
  SDL_UnlockTexture(stage);
}

void TDXDraw::Compose(SDL_Renderer* renderer, SDL_Texture* stage, bool clear) {
  if (clear) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
  }
  SDL_RenderCopy(renderer, stage, nullptr, nullptr);
  if (overlay_) overlay_();
}

void TDXDraw::Flip() {
  ++frames_;
  if (!renderer_ || !texture_) return;
  Upload(texture_, stageFormat_);
  // The stage covers a window of its own size; letterboxed in full screen
  // the bars are cleared once per output size where the renderer keeps the
  // window's pixels, every frame where it does not.
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  const bool covers = w == Width() && h == Height();
  const bool clear = !covers && (!softwarePresent_ || w != clearedW_ || h != clearedH_);
  if (clear) {
    clearedW_ = w;
    clearedH_ = h;
  }
  Compose(renderer_, texture_, clear);
  SDL_RenderPresent(renderer_);
}

bool TDXDraw::MakeOffscreen() {
  if (offscreen_ && offscreenStage_) return true;
  if (offscreen_) return false;  // tried before
  const int w = Width(), h = Height();
  offscreenSurface_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (offscreenSurface_) offscreen_ = SDL_CreateSoftwareRenderer(offscreenSurface_);
  if (offscreen_)
    offscreenStage_ =
        SDL_CreateTexture(offscreen_, OffscreenStageFormat, SDL_TEXTUREACCESS_STREAMING, w, h);
  return offscreen_ && offscreenStage_;
}

SDL_Renderer* TDXDraw::Renderer() {
  if (renderer_) return renderer_;
  return MakeOffscreen() ? offscreen_ : nullptr;
}

const std::vector<uint32_t>& TDXDraw::Capture() {
  const int w = Width(), h = Height();
  captured_.assign(static_cast<size_t>(w) * h, 0xFF000000u);
  SDL_Renderer* r = renderer_;
  SDL_Texture* stage = texture_;
  if (r && stage && !captureTarget_)
    captureTarget_ = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
  if (!r || !stage || !captureTarget_) {
    // No window (or it cannot draw): the same software composition off screen.
    r = MakeOffscreen() ? offscreen_ : nullptr;
    stage = offscreenStage_;
    if (!r) {
      // Not even that: the buffer alone, converted here.
      for (size_t i = 0; i < captured_.size(); ++i) {
        const TColor c = TBackBuffer::From565(buffer_.Pixels()[i]);
        captured_[i] = 0xFF000000u | ((c & 255) << 16) | (c & 0xFF00) | ((c >> 16) & 255);
      }
      return captured_;
    }
  } else {
    SDL_SetRenderTarget(r, captureTarget_);
  }
  Upload(stage, r == renderer_ ? stageFormat_ : OffscreenStageFormat);
  Compose(r, stage, true);
  SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, captured_.data(), w * 4);
  if (r == renderer_) SDL_SetRenderTarget(r, nullptr);
  return captured_;
}

void TDXDraw::SetFullScreen(bool on) {
  fullScreen_ = on;
  if (!window_) return;
  SDL_Rect display;
  if (on && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &display) == 0) {
    SDL_SetWindowPosition(window_, display.x, display.y);
    SDL_SetWindowSize(window_, display.w, display.h);
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowSize(window_, Width(), Height());
    SDL_SetWindowPosition(window_, windowedLeft_, windowedTop_);
  }
}

void TDXDraw::Minimize() {
  if (window_) SDL_MinimizeWindow(window_);
}

bool TDXDraw::Minimized() const {
  return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
}

TCursors::~TCursors() {
  for (SDL_Cursor*& c : cursors_)
    if (c) SDL_FreeCursor(c);
}

void TCursors::Register(int number, int width, int height, const uint32_t* argb, int hotX,
                        int hotY) {
  if (number < 1 || number > 4 || !argb || width <= 0 || height <= 0) return;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height,
                                                      32, width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return;
  // Headless drivers give no colour cursors; the default arrow then serves.
  cursors_[number] = SDL_CreateColorCursor(s, hotX, hotY);
  SDL_FreeSurface(s);
}

void TCursors::Set(int number) {
  current_ = number;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  if (number < 0) {
    SDL_ShowCursor(SDL_DISABLE);
    return;
  }
  SDL_ShowCursor(SDL_ENABLE);
  if (number >= 1 && number <= 4 && cursors_[number]) {
    SDL_SetCursor(cursors_[number]);
  } else {
    SDL_SetCursor(SDL_GetDefaultCursor());
  }
}

#include "Screen.h"

#include <SDL.h>

#include <cstdio>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <vector>

#include "FileIo.h"
#include "Png.h"

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
      Report({"", "no display; drawing off screen only", SDL_GetError()});
    }
  }
  return state == 1;
}

// One 5-6-5 pixel as 0xFFRRGGBB, each channel widened exactly as SDL's own
// converter widens it (red and blue v*255/31; green in two parts, as its
// table for the high byte and the one for the low byte add up). Written
// without tables, so that the compiler turns the loop over a row into
// vector code: several times faster than the converter, which is most of
// what a frame at full HD costs to show.
inline uint32_t Widen565(uint16_t p) {
  const uint32_t r = ((p >> 11) * 1053u) >> 7;
  const uint32_t g = ((((p >> 8) & 7u) * 259u) >> 3) + ((p >> 3) & 0x1Cu);
  const uint32_t b = ((p & 31u) * 1053u) >> 7;
  return 0xFF000000u | r << 16 | g << 8 | b;
}

// A row widened eight pixels at a time. The row goes to the window's
// picture, which this program does not read back: on x86-64 it is written
// past the caches, so that writing 8 MiB a frame at full HD does not first
// read the same memory in.
void Widen565Row(const uint16_t* src, uint32_t* dst, int count) {
  int i = 0;
#if defined(__SSE2__)
  if ((reinterpret_cast<uintptr_t>(dst) & 15) == 0) {
    const __m128i k1053 = _mm_set1_epi16(1053), k259 = _mm_set1_epi16(259);
    const __m128i m7 = _mm_set1_epi16(7), m1c = _mm_set1_epi16(0x1C), m31 = _mm_set1_epi16(31);
    const __m128i alpha = _mm_set1_epi16(static_cast<short>(0xFF00));
    for (; i + 8 <= count; i += 8) {
      const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
      const __m128i r = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(p, 11), k1053), 7);
      const __m128i g = _mm_add_epi16(
          _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(p, 8), m7), k259), 3),
          _mm_and_si128(_mm_srli_epi16(p, 3), m1c));
      const __m128i b = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(p, m31), k1053), 7);
      const __m128i gb = _mm_or_si128(_mm_slli_epi16(g, 8), b);
      const __m128i ar = _mm_or_si128(alpha, r);
      _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi16(gb, ar));
      _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i + 4), _mm_unpackhi_epi16(gb, ar));
    }
    _mm_sfence();
  }
#endif
  for (; i < count; ++i) dst[i] = Widen565(src[i]);
}

// Whether Widen565 gives what SDL gives for `format`, for every pixel.
bool WidensAsSdl(uint32_t format) {
  if (format != SDL_PIXELFORMAT_RGB888 && format != SDL_PIXELFORMAT_ARGB8888) return false;
  std::vector<uint16_t> all(65536);
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint16_t>(i);
  std::vector<uint32_t> sdl(all.size()), ours(all.size());
  if (SDL_ConvertPixels(static_cast<int>(all.size()), 1, SDL_PIXELFORMAT_RGB565, all.data(),
                        static_cast<int>(all.size()) * 2, format, sdl.data(),
                        static_cast<int>(all.size()) * 4) != 0)
    return false;
  Widen565Row(all.data(), ours.data(), static_cast<int>(all.size()));
  return sdl == ours;
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

TDXDraw::~TDXDraw() {
  Finalize();
  if (offscreenStage_) SDL_DestroyTexture(offscreenStage_);
  if (offscreenRenderer_) SDL_DestroyRenderer(offscreenRenderer_);
  if (offscreenSurface_) SDL_FreeSurface(offscreenSurface_);
}

void TDXDraw::Resize(int width, int height) {
  if (width == Width() && height == Height()) return;
  if (composite_) SDL_DestroyTexture(composite_);
  composite_ = nullptr;
  if (renderer_) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = nullptr;  // made anew at the new size when first needed
    SDL_RenderSetLogicalSize(renderer_, width, height);
    clearedW_ = clearedH_ = 0;
  }
  if (offscreenStage_) SDL_DestroyTexture(offscreenStage_);
  if (offscreenRenderer_) SDL_DestroyRenderer(offscreenRenderer_);
  if (offscreenSurface_) SDL_FreeSurface(offscreenSurface_);
  offscreenStage_ = nullptr;
  offscreenRenderer_ = nullptr;
  offscreenSurface_ = nullptr;
  buffer_.Resize(width, height);
}

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
    // Created borderless over the whole display, so that the stage fills
    // the screen even where no window manager resizes full-screen windows;
    // the window manager's full-screen state is asked for once the first
    // picture is shown (SDL waits up to a tenth of a second for it).
    fullScreenPending_ = true;
    left = display.x;
    top = display.y;
    w = display.w;
    h = display.h;
  }
  window_ = SDL_CreateWindow(title.c_str(), left, top, w, h, flags);
  if (!window_) {
    Report({"", "cannot open the window; drawing off screen only", SDL_GetError()});
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
  }
  if (!renderer_) Report({"", "cannot draw into the window", SDL_GetError()});
  fullScreen_ = fullScreen;
  return true;
}

void TDXDraw::Finalize() {
  if (composite_) SDL_DestroyTexture(composite_);
  composite_ = nullptr;
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

unsigned TDXDraw::WindowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }

void TDXDraw::Compose(SDL_Renderer* r, SDL_Texture* stage) {
  SDL_RenderCopy(r, stage, nullptr, nullptr);
  if (overlay_) overlay_->Draw(r);
}

void TDXDraw::Upload(SDL_Texture* stage, uint32_t format) {
  if (format == SDL_PIXELFORMAT_RGB565) {
    SDL_UpdateTexture(stage, nullptr, buffer_.Pixels(), Width() * 2);
    return;
  }
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(stage, nullptr, &pixels, &pitch) != 0) return;
  if (format != widenChecked_) {
    widenChecked_ = format;
    widenOwn_ = WidensAsSdl(format);
  }
  if (widenOwn_) {
    const int w = Width();
    for (int y = 0; y < Height(); ++y)
      Widen565Row(buffer_.Pixels() + static_cast<size_t>(y) * w,
                  reinterpret_cast<uint32_t*>(static_cast<char*>(pixels) + static_cast<size_t>(y) * pitch), w);
  } else {
    SDL_ConvertPixels(Width(), Height(), SDL_PIXELFORMAT_RGB565, buffer_.Pixels(), Width() * 2,
                      format, pixels, pitch);
  }
  SDL_UnlockTexture(stage);
}

bool TDXDraw::PresentDirect() {
  // With SDL's software renderer the window's own picture (the window
  // system's shared-memory image) is the surface the renderer draws into.
  // When the stage covers the window exactly, the stage is widened straight
  // into it and the overlay drawn over it there: no stage texture to fill
  // and no second full-size copy, which at full HD is a third of what
  // showing a frame costs.
  if (!softwarePresent_) return false;
  SDL_Surface* s = SDL_GetWindowSurface(window_);
  if (!s || s->w != Width() || s->h != Height() || s->format->BytesPerPixel != 4) return false;
  const uint32_t format = s->format->format;
  if (format != widenChecked_) {
    widenChecked_ = format;
    widenOwn_ = WidensAsSdl(format);
  }
  if (!widenOwn_) return false;
  if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
  const int w = Width();
  for (int y = 0; y < Height(); ++y)
    Widen565Row(buffer_.Pixels() + static_cast<size_t>(y) * w,
                reinterpret_cast<uint32_t*>(static_cast<char*>(s->pixels) + static_cast<size_t>(y) * s->pitch), w);
  if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  if (overlay_ && overlay_->HasDrawing()) overlay_->Draw(renderer_);
  SDL_RenderPresent(renderer_);
  return true;
}

SDL_Texture* TDXDraw::StageTexture() {
  // Made only when the stage is shown through it (a letterboxed window, a
  // renderer that is not the software one, a screenshot with an overlay):
  // straight into the window's picture it is never needed, and at full HD
  // it holds 8 MiB.
  if (!texture_ && renderer_) {
    texture_ = SDL_CreateTexture(renderer_, stageFormat_, SDL_TEXTUREACCESS_STREAMING, Width(),
                                 Height());
    if (!texture_) Report({"", "cannot draw into the window", SDL_GetError()});
  }
  return texture_;
}

void TDXDraw::Flip() {
  ++frames_;
  if (!renderer_) return;
  if (PresentDirect()) {
    if (fullScreenPending_) {
      fullScreenPending_ = false;
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    return;
  }
  SDL_Texture* stage = StageTexture();
  if (!stage) return;
  Upload(stage, stageFormat_);
  // The overlay is composed at stage size first, so that it lands exactly on
  // the stage when the picture is scaled and letterboxed into the window.
  SDL_Texture* shown = stage;
  if (overlay_ && overlay_->HasDrawing()) {
    if (!composite_)
      composite_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_TARGET, Width(), Height());
    if (composite_ && SDL_SetRenderTarget(renderer_, composite_) == 0) {
      Compose(renderer_, stage);
      SDL_SetRenderTarget(renderer_, nullptr);
      shown = composite_;
    }
  }
  // The stage covers a window of its own size; letterboxed in full screen
  // the bars are cleared once per output size where the renderer keeps the
  // window's pixels, every frame where it does not.
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  const bool covers = w == Width() && h == Height();
  if (!covers && (!softwarePresent_ || w != clearedW_ || h != clearedH_)) {
    clearedW_ = w;
    clearedH_ = h;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
  }
  SDL_RenderCopy(renderer_, shown, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
  if (fullScreenPending_) {
    fullScreenPending_ = false;
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
}

SDL_Renderer* TDXDraw::OverlayRenderer() {
  if (renderer_) return renderer_;
  if (!offscreenRenderer_) {
    if (!offscreenSurface_)
      offscreenSurface_ =
          SDL_CreateRGBSurfaceWithFormat(0, Width(), Height(), 32, SDL_PIXELFORMAT_ARGB8888);
    if (offscreenSurface_) offscreenRenderer_ = SDL_CreateSoftwareRenderer(offscreenSurface_);
    if (offscreenRenderer_)
      offscreenStage_ = SDL_CreateTexture(offscreenRenderer_, OffscreenStageFormat,
                                          SDL_TEXTUREACCESS_STREAMING, Width(), Height());
  }
  return offscreenRenderer_;
}

bool TDXDraw::Capture(std::vector<uint32_t>& argb) {
  const int w = Width(), h = Height();
  argb.assign(static_cast<size_t>(w) * h, 0);
  if (overlay_ && overlay_->HasDrawing()) {
    SDL_Renderer* r = OverlayRenderer();
    SDL_Texture* stage = renderer_ ? StageTexture() : offscreenStage_;
    SDL_Texture* target = nullptr;
    if (renderer_) {
      if (!composite_)
        composite_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                       SDL_TEXTUREACCESS_TARGET, w, h);
      target = composite_;
    }
    if (r && stage && (!renderer_ || target)) {
      Upload(stage, renderer_ ? stageFormat_ : OffscreenStageFormat);
      if (SDL_SetRenderTarget(r, target) == 0) {
        Compose(r, stage);
        const bool read =
            SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), w * 4) == 0;
        SDL_SetRenderTarget(r, nullptr);
        if (read) return true;
      }
    }
    // Without a renderer only the stage can be saved.
  }
  const uint16_t* src = buffer_.Pixels();
  for (size_t i = 0; i < argb.size(); ++i) {
    const TColor c = TBackBuffer::From565(src[i]);
    argb[i] = 0xFF000000u | ((c & 255) << 16) | (c & 0xFF00) | ((c >> 16) & 255);
  }
  return true;
}

bool TDXDraw::SaveScreenshot(const std::string& path, std::string& error) {
  std::vector<uint32_t> argb;
  if (!Capture(argb)) {
    error = "cannot read the picture";
    return false;
  }
  return SavePngArgb(argb.data(), Width(), Height(), path, error);
}

void TDXDraw::WindowToStage(int wx, int wy, int& sx, int& sy) const {
  sx = wx;
  sy = wy;
  if (!renderer_) return;
  float lx = 0, ly = 0;
  SDL_RenderWindowToLogical(renderer_, wx, wy, &lx, &ly);
  sx = static_cast<int>(lx);
  sy = static_cast<int>(ly);
}

void TDXDraw::SetFullScreen(bool on) {
  fullScreen_ = on;
  if (!window_) return;
  if (fullScreenPending_) {
    if (on) return;  // already over the display, full screen after the first picture
    fullScreenPending_ = false;
  }
  // Only what differs is changed: without a window manager SDL waits a
  // tenth of a second after each move or resize for the window to follow,
  // and a window created full screen needs none of them.
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  const bool isFull = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                      SDL_WINDOW_FULLSCREEN_DESKTOP;
  SDL_Rect display;
  if (on && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &display) == 0) {
    if (x != display.x || y != display.y) SDL_SetWindowPosition(window_, display.x, display.y);
    if (w != display.w || h != display.h) SDL_SetWindowSize(window_, display.w, display.h);
    if (!isFull) SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    if (isFull) SDL_SetWindowFullscreen(window_, 0);
    SDL_GetWindowSize(window_, &w, &h);
    SDL_GetWindowPosition(window_, &x, &y);
    if (w != Width() || h != Height()) SDL_SetWindowSize(window_, Width(), Height());
    if (x != windowedLeft_ || y != windowedTop_) SDL_SetWindowPosition(window_, windowedLeft_, windowedTop_);
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

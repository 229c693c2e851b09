// TDXDraw: the drawing surface of the main window — an 800x600 RGB565 back
// buffer with its canvas, shown in an SDL window by Flip(). Without a
// display the surface still draws into its back buffer (headless runs and
// screenshots), and says once on stderr that nothing is shown.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
struct SDL_Surface;

// Chooses how every window of the program presents its picture (SDL's
// software renderer straight into the window system's picture, no OpenGL);
// called before any window opens.
void ChoosePresentPath();

class TDXDraw {
 public:
  TDXDraw(int width = 800, int height = 600);
  ~TDXDraw();
  TDXDraw(const TDXDraw&) = delete;
  TDXDraw& operator=(const TDXDraw&) = delete;

  // Opens the window (borderless, at the given desktop position, or the
  // whole display when full screen). False when no display is available;
  // the surface then stays usable off screen.
  bool Initialize(const std::string& title, int left, int top, bool fullScreen);
  void Finalize();

  bool CanDraw() const { return canDraw_; }
  void SetCanDraw(bool v) { canDraw_ = v; }
  void Fill(TColor c) { buffer_.Fill(c); }
  TCanvas& Canvas() { return canvas_; }
  TBackBuffer& Buffer() { return buffer_; }
  int Width() const { return buffer_.Width(); }
  int Height() const { return buffer_.Height(); }

  // Shows the back buffer; an overlay (dialogs, popup menu) is drawn into
  // the window's renderer between the stage picture and the present.
  void Flip();
  // The overlay: `draw` draws into Renderer() (or, while capturing, into
  // the capture target, which is then the renderer's current target);
  // `showing` says whether it has anything on screen. While it shows,
  // frames are drawn every tick (it may change without a command); with
  // no `showing` it counts as always showing.
  void SetOverlay(std::function<void()> draw, std::function<bool()> showing = nullptr) {
    overlay_ = std::move(draw);
    overlayShowing_ = std::move(showing);
  }
  bool OverlayShowing() const { return overlay_ && (!overlayShowing_ || overlayShowing_()); }

  // The stage as the user sees it, the overlay included, as ARGB8888
  // (0xAARRGGBB) rows of Width() pixels: composed exactly as Flip composes
  // the window, at the stage's own size whatever the window's. Without a
  // window it is composed off screen by the same software renderer.
  const std::vector<uint32_t>& Capture();

  // Full screen scales the 800x600 stage to the whole display, letterboxed.
  void SetFullScreen(bool on);
  bool FullScreen() const { return fullScreen_; }
  // The flip option set while the application is inactive.
  void SetFlipOption(bool on) { flipOption_ = on; }
  bool FlipOption() const { return flipOption_; }

  bool HasWindow() const { return window_ != nullptr; }
  SDL_Window* Window() const { return window_; }
  // The renderer the stage is composed with: the window's, or without a
  // window an off-screen software renderer (made on first use) whose
  // picture only Capture() reads. The overlay draws with this one.
  SDL_Renderer* Renderer();
  unsigned WindowId() const;
  void Minimize();
  bool Minimized() const;

  // Desktop size of the display the window is on (0 when unknown).
  static bool DesktopSize(int& width, int& height);

  // Number of frames presented so far.
  long Frames() const { return frames_; }

 private:
  TBackBuffer buffer_;
  TCanvas canvas_;
  bool canDraw_ = true;
  bool fullScreen_ = false;
  bool flipOption_ = false;
  long frames_ = 0;
  int windowedLeft_ = 0, windowedTop_ = 0;
  // Composes the stage texture and the overlay into the renderer's current
  // target (the window or a capture target).
  void Compose(SDL_Renderer* renderer, SDL_Texture* stage, bool clear);
  bool MakeOffscreen();
  // Puts the back buffer into a stage texture of the given pixel format.
  void Upload(SDL_Texture* stage, uint32_t format);
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  uint32_t stageFormat_ = 0;        // pixel format of texture_
  bool softwarePresent_ = false;     // the renderer keeps the window's pixels between frames
  int clearedW_ = 0, clearedH_ = 0;  // output size at the last clear of the letterbox bars
  // Capture: a target texture of the window's renderer, or without a
  // window an off-screen software renderer over a surface of the stage's size.
  SDL_Texture* captureTarget_ = nullptr;
  SDL_Surface* offscreenSurface_ = nullptr;
  SDL_Renderer* offscreen_ = nullptr;
  SDL_Texture* offscreenStage_ = nullptr;
  std::vector<uint32_t> captured_;
  std::function<void()> overlay_;
  std::function<bool()> overlayShowing_;
};

// Registered cursors: 1 "UpArrow", 2 "DownArrow", 3 "LeftArrow",
// 4 "RightArrow"; 0 is the default arrow and -1 hides the cursor.
class TCursors {
 public:
  ~TCursors();
  // Registers cursor `number` from an ARGB picture with its hot spot.
  void Register(int number, int width, int height, const uint32_t* argb, int hotX, int hotY);
  void Set(int number);
  int Current() const { return current_; }

 private:
  SDL_Cursor* cursors_[5] = {};
  int current_ = 0;
};

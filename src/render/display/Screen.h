// TDXDraw: the drawing surface of the main window — an RGB565 back buffer
// of the stage's size (800x600 unless set otherwise) with its canvas, shown in an SDL window by Flip(). Without a
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

// What is drawn over the stage by the renderer (the ImGui host: menus and
// dialogs), in stage coordinates on a target the size of the stage.
class TOverlay {
 public:
  virtual ~TOverlay() = default;
  // False when there is nothing to draw (the stage is then shown directly).
  virtual bool HasDrawing() const = 0;
  virtual void Draw(SDL_Renderer* renderer) = 0;
};

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

  // Gives the stage a new pixel size (a black picture), also while the
  // window is open (the window itself keeps its size; SetFullScreen sizes it).
  void Resize(int width, int height);

  bool CanDraw() const { return canDraw_; }
  void SetCanDraw(bool v) { canDraw_ = v; }
  void Fill(TColor c) { buffer_.Fill(c); }
  TCanvas& Canvas() { return canvas_; }
  TBackBuffer& Buffer() { return buffer_; }
  int Width() const { return buffer_.Width(); }
  int Height() const { return buffer_.Height(); }

  // Shows the back buffer; an overlay (dialogs, popup menu) is composed
  // over it at stage size, then the picture is scaled into the window.
  void Flip();
  void SetOverlay(TOverlay* overlay) { overlay_ = overlay; }
  TOverlay* Overlay() const { return overlay_; }
  // The overlay has something on screen (a menu, a dialog): it may change
  // without a command, so frames are then drawn every tick.
  bool OverlayShowing() const { return overlay_ && overlay_->HasDrawing(); }

  // The picture the user sees: the back buffer with the overlay over it,
  // Width() x Height() pixels of 0xAARRGGBB, in window, full screen and
  // headless runs alike.
  bool Capture(std::vector<uint32_t>& argb);
  // Capture saved as a PNG (temporary file and rename).
  bool SaveScreenshot(const std::string& path, std::string& error);

  // The renderer the overlay draws with: the window's, or without a window
  // an off-screen software renderer of the stage's size (created on first
  // use). nullptr only when neither can be made.
  SDL_Renderer* OverlayRenderer();

  // Converts a window position (pixels of the window, as SDL_GetMouseState
  // reports it) into stage pixels; letterboxed full screen included.
  void WindowToStage(int wx, int wy, int& sx, int& sy) const;

  // Full screen shows the stage on the whole display: at the display's own
  // size when the stage has it, else scaled and letterboxed.
  void SetFullScreen(bool on);
  bool FullScreen() const { return fullScreen_; }
  // The flip option set while the application is inactive.
  void SetFlipOption(bool on) { flipOption_ = on; }
  bool FlipOption() const { return flipOption_; }

  bool HasWindow() const { return window_ != nullptr; }
  SDL_Window* Window() const { return window_; }
  SDL_Renderer* Renderer() const { return renderer_; }
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
  bool fullScreenPending_ = false;  // created over the display, not yet full screen
  // Whether the stage is widened into the format last uploaded to by our
  // own code (checked against SDL's converter once per format).
  uint32_t widenChecked_ = 0;  // SDL_PIXELFORMAT_UNKNOWN: none checked yet
  bool widenOwn_ = false;
  bool flipOption_ = false;
  long frames_ = 0;
  int windowedLeft_ = 0, windowedTop_ = 0;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;          // see StageTexture
  SDL_Texture* composite_ = nullptr;      // stage-sized target: stage + overlay
  SDL_Surface* offscreenSurface_ = nullptr;
  SDL_Renderer* offscreenRenderer_ = nullptr;
  SDL_Texture* offscreenStage_ = nullptr;
  TOverlay* overlay_ = nullptr;
  uint32_t stageFormat_ = 0;         // pixel format of texture_
  bool softwarePresent_ = false;     // the renderer keeps the window's pixels between frames
  int clearedW_ = 0, clearedH_ = 0;  // output size at the last clear of the letterbox bars
  // Shows the back buffer by writing it straight into the window's picture
  // (software renderer, stage as large as the window); false when that path
  // does not apply and the stage texture is used.
  bool PresentDirect();
  // The window's stage texture, made on first use (nullptr without one).
  SDL_Texture* StageTexture();
  // Puts the back buffer into a stage texture of the given pixel format.
  void Upload(SDL_Texture* stage, uint32_t format);
  // Draws the stage texture and the overlay on renderer r's current target.
  void Compose(SDL_Renderer* r, SDL_Texture* stage);
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

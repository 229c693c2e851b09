// TImGuiHost: Dear ImGui over the stage, for the popup menu and the dialogs.
//
// ImGui always works in stage pixels: the host feeds it the stage's pointer
// positions and keys from SDL events (window, script and headless runs
// alike) and draws its frame as the overlay of TDXDraw, which composes it
// over the sky in the window, in full screen and in screenshots.
//
// The menus and dialogs follow the interface scale: their fonts are
// rasterised at the scaled pixel size and the style's sizes scaled; lengths
// a view gives in pixels at scale 1 pass through Px().
//
// Use per frame:  ProcessEvent(...) for each event, BeginFrame(), ImGui
// calls (menus, dialogs), EndFrame(); the next Flip or screenshot draws it.
#pragma once

#include <string>
#include <string_view>

#include "Screen.h"

union SDL_Event;
struct SDL_Renderer;
struct ImFont;
struct ImGuiContext;

class TImGuiHost : public TOverlay {
 public:
  TImGuiHost();
  ~TImGuiHost() override;
  TImGuiHost(const TImGuiHost&) = delete;
  TImGuiHost& operator=(const TImGuiHost&) = delete;

  // Characters the interface shows beyond the common Simplified Chinese set
  // (UTF-8 text: captions, names, messages). Call before Initialize.
  void AddGlyphs(std::string_view utf8);
  // The characters of the titles (the larger font holds Latin, Greek and
  // these only). Call before Initialize.
  void AddTitleGlyphs(std::string_view utf8);

  // Creates the ImGui context and the fonts for a stage of the given size,
  // drawn by `surface` (its window renderer, or its off-screen one). Safe to
  // call again: the host follows the surface when its renderer changes.
  bool Initialize(TDXDraw& surface);
  void Shutdown();
  bool Ready() const { return context_ != nullptr; }

  // The interface scale (1..3) the menus and dialogs are drawn at. A new
  // scale rebuilds the fonts, their texture and the style at the start of
  // the next frame, never inside one.
  void SetScale(double scale);
  float Scale() const { return scale_; }

  // Feeds one SDL event (pointer positions in stage pixels). True when ImGui
  // takes it: the pointer is over an ImGui window, or a text field has the
  // keyboard; the stage should then not act on it.
  bool ProcessEvent(const SDL_Event& e);
  bool WantsMouse() const;
  // Pointer events still waiting for a frame. A menu opened in answer to a
  // click waits until ImGui has seen that click, or the click would close it.
  bool PointerPending() const { return queued_ > 0; }
  bool WantsKeyboard() const;
  // True when a new frame may look different although nothing else changed:
  // a key or button is held, or a text field's caret is due to blink (about
  // twice a second). An idle menu or dialog needs no frame otherwise.
  bool WantsFrame() const;

  // Starts an ImGui frame. A fixed step makes scripted pictures repeatable;
  // 0 takes the time since the last frame.
  void BeginFrame(double deltaSeconds = 1.0 / 30.0);
  // Ends the frame; what it built is drawn by the next Flip or screenshot.
  void EndFrame();
  // True between BeginFrame and EndFrame.
  bool InFrame() const { return inFrame_; }

  // Fonts: the dialog font (Song, 12 px at scale 1, every interface hanzi)
  // is the default; the larger one (14 px at scale 1) is for titles.
  ImFont* DialogFont() const { return dialogFont_; }
  ImFont* TitleFont() const { return titleFont_; }

  // TOverlay: whether the last finished frame drew anything, and drawing it.
  bool HasDrawing() const override;
  void Draw(SDL_Renderer* renderer) override;

 private:
  void Bind(SDL_Renderer* renderer);
  void BuildFonts();
  void ApplyScale();
  ImGuiContext* context_ = nullptr;
  SDL_Renderer* bound_ = nullptr;
  TDXDraw* surface_ = nullptr;
  std::string extraGlyphs_;
  std::string titleGlyphs_;
  ImFont* dialogFont_ = nullptr;
  ImFont* titleFont_ = nullptr;
  float scale_ = 1;               // the scale fonts and style are built for
  float wantedScale_ = 1;         // the scale the next frame is drawn at
  bool inFrame_ = false;
  bool framed_ = false;           // a frame was finished since the last Bind
  static constexpr int KeyCount = 512;  // ImGui's key table, indexed by SDL scancode
  bool keyDown_[KeyCount] = {};
  bool keyLatched_[KeyCount] = {};  // pressed since the last frame
  // Pointer events wait here for the next frames: each frame takes the
  // moves up to one button change, and a button change never in the frame
  // of a move before it, so that a move, press and release arriving between
  // two frames still make a click on what lies under the pointer.
  struct TPointerEvent {
    int Button = -1;   // -1 a move
    bool Down = false;
    float X = 0, Y = 0;
  };
  static constexpr int QueueSize = 64;
  TPointerEvent queue_[QueueSize];
  int queued_ = 0;
  void Queue(const TPointerEvent& e);
  void ApplyQueued();
  unsigned long long lastTicks_ = 0;
  bool caret_ = false;            // the last frame had a text field taking keys
  char* clipboard_ = nullptr;     // the clipboard text last read
};

// The interface scale of the ImGui frame being built (1 without a host).
float ImGuiScale();
// A length a menu or dialog gives in pixels at scale 1, in stage pixels at
// the interface scale (whole pixels, so that scale 1 keeps it exactly).
float Px(float pixelsAtOne);

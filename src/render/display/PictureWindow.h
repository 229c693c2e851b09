// A small borderless window that stays on top, centred on the desktop, and
// shows one picture inside a bevelled frame (the splash window).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;

class TPictureWindow {
 public:
  ~TPictureWindow() { Close(); }
  // Shows the ARGB picture (width x height) in a client area `bevel` pixels
  // larger on each side; does nothing without a display.
  void Show(const std::vector<uint32_t>& argb, int width, int height, int bevel);
  void Close();
  bool Showing() const { return window_ != nullptr; }

 private:
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
};

// Shows a short message (GBK) with an "确定" line in a small window on top
// and waits until a key or button is pressed, the window is closed, or
// `timeoutMs` passes. The message also goes to stderr. Returns at once
// without a display.
void ShowMessageWindow(const std::string& gbkText, int timeoutMs = 60000);

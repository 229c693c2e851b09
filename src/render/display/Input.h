// TDXInput: keyboard polling for the four view directions. Key events (from
// the window or from a script) update the held-key table; Update() turns it
// into the four states once per frame:
//   up    = K, up arrow or keypad 8      down  = J, down arrow or keypad 2
//   left  = H, left arrow or keypad 4    right = L, right arrow or keypad 6
#pragma once

#include <array>

class TDXInput {
 public:
  // SDL scancode of a key that went down or up.
  void KeyEvent(int scancode, bool down);
  void ReleaseAll();
  void Update();
  bool Up() const { return up_; }
  bool Down() const { return down_; }
  bool Left() const { return left_; }
  bool Right() const { return right_; }

 private:
  std::array<bool, 512> held_{};
  bool up_ = false, down_ = false, left_ = false, right_ = false;
};

// The Windows virtual-key code that the key table stores for an SDL key
// (letters and digits by the key's symbol, so a keyboard layout's letters
// count; the others by position). 0 for a key without one.
int VirtualKeyFromSdl(int keycode, int scancode);

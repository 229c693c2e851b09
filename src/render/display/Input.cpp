#include "Input.h"

#include <SDL_scancode.h>

void TDXInput::KeyEvent(int scancode, bool down) {
  if (scancode >= 0 && scancode < static_cast<int>(held_.size())) held_[scancode] = down;
}

void TDXInput::ReleaseAll() { held_.fill(false); }

void TDXInput::Update() {
  auto any = [this](SDL_Scancode a, SDL_Scancode b, SDL_Scancode c) {
    return held_[a] || held_[b] || held_[c];
  };
  up_ = any(SDL_SCANCODE_K, SDL_SCANCODE_UP, SDL_SCANCODE_KP_8);
  down_ = any(SDL_SCANCODE_J, SDL_SCANCODE_DOWN, SDL_SCANCODE_KP_2);
  left_ = any(SDL_SCANCODE_H, SDL_SCANCODE_LEFT, SDL_SCANCODE_KP_4);
  right_ = any(SDL_SCANCODE_L, SDL_SCANCODE_RIGHT, SDL_SCANCODE_KP_6);
}

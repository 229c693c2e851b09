#include "Input.h"

#include <SDL_keycode.h>
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

int VirtualKeyFromSdl(int keycode, int scancode) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return '0' + (keycode - SDLK_0);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    return 0x70 + (scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    return 0x61 + (scancode - SDL_SCANCODE_KP_1);
  switch (scancode) {
    case SDL_SCANCODE_KP_0: return 0x60;
    case SDL_SCANCODE_BACKSPACE: return 0x08;
    case SDL_SCANCODE_TAB: return 0x09;
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return 0x0D;
    case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return 0x10;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return 0x11;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return 0x12;
    case SDL_SCANCODE_PAUSE: return 0x13;
    case SDL_SCANCODE_CAPSLOCK: return 0x14;
    case SDL_SCANCODE_ESCAPE: return 0x1B;
    case SDL_SCANCODE_SPACE: return 0x20;
    case SDL_SCANCODE_PAGEUP: return 0x21;
    case SDL_SCANCODE_PAGEDOWN: return 0x22;
    case SDL_SCANCODE_END: return 0x23;
    case SDL_SCANCODE_HOME: return 0x24;
    case SDL_SCANCODE_LEFT: return 0x25;
    case SDL_SCANCODE_UP: return 0x26;
    case SDL_SCANCODE_RIGHT: return 0x27;
    case SDL_SCANCODE_DOWN: return 0x28;
    case SDL_SCANCODE_INSERT: return 0x2D;
    case SDL_SCANCODE_DELETE: return 0x2E;
    case SDL_SCANCODE_KP_MULTIPLY: return 0x6A;
    case SDL_SCANCODE_KP_PLUS: return 0x6B;
    case SDL_SCANCODE_KP_MINUS: return 0x6D;
    case SDL_SCANCODE_KP_PERIOD: return 0x6E;
    case SDL_SCANCODE_KP_DIVIDE: return 0x6F;
    case SDL_SCANCODE_EQUALS: return 0xBB;
    case SDL_SCANCODE_MINUS: return 0xBD;
    default: return 0;
  }
}

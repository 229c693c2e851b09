#include "ImGuiPicture.h"

#include <SDL.h>

#include "Screen.h"

TImGuiPicture::~TImGuiPicture() { Free(); }

bool TImGuiPicture::Create(TDXDraw& surface, const std::vector<uint32_t>& argb, int width,
                           int height) {
  Free();
  if (width <= 0 || height <= 0 || argb.size() < size_t(width) * size_t(height)) return false;
  SDL_Renderer* r = surface.OverlayRenderer();
  if (!r) return false;
  texture_ = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
  if (!texture_) return false;
  SDL_UpdateTexture(texture_, nullptr, argb.data(), width * 4);
  SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_BLEND);
  width_ = width;
  height_ = height;
  return true;
}

void TImGuiPicture::Free() {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  width_ = height_ = 0;
}

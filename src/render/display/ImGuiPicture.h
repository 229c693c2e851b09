// TImGuiPicture: a picture (ARGB pixels) made into a texture of the overlay
// renderer, for ImGui::Image in a dialog. Made when a dialog opens and freed
// when it closes; ImGui names it by Id().
#pragma once

#include <cstdint>
#include <vector>

class TDXDraw;
struct SDL_Texture;

class TImGuiPicture {
 public:
  TImGuiPicture() = default;
  ~TImGuiPicture();
  TImGuiPicture(const TImGuiPicture&) = delete;
  TImGuiPicture& operator=(const TImGuiPicture&) = delete;

  // width x height pixels of 0xAARRGGBB; false when there is no renderer or
  // no picture.
  bool Create(TDXDraw& surface, const std::vector<uint32_t>& argb, int width, int height);
  void Free();
  void* Id() const { return texture_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  SDL_Texture* texture_ = nullptr;
  int width_ = 0, height_ = 0;
};

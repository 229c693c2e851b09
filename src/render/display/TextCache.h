// Rendered texts of the canvas: fonts chosen by face name and height, texts
// converted from GBK once and rendered once, then kept as ink masks so that
// drawing the same label every frame costs only a copy into the back buffer.
//
// Faces: "宋体" (and any unknown name) is the Chinese Song face — the
// WenQuanYi bitmap strikes at heights 12 and 14, AR PL UMing at other
// heights; "Symbol" is the Greek face, which takes the old Symbol byte codes
// ('a' is alpha). Font files are looked up in the Debian font folders, or
// only in $SKYLOOM_FONT_DIR when that is set. A missing font or a failing
// font engine is reported once on stderr; texts then draw nothing and their
// sizes are estimated.
//
// A smooth font (TFont::Smooth) keeps, for each pixel, the share of it the
// glyphs cover (0..255); otherwise a pixel is inked fully or not at all.
// An outline face that holds bitmap strikes for small heights (AR PL UMing
// up to 16 pixels) draws smooth text at twice the height, each 2x2 block
// reduced to one pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "CanvasTypes.h"

struct TextBitmap {
  int Width = 0;
  int Height = 0;
  // Width * Height, row by row: the share of each pixel the text covers,
  // 0 (none) to 255 (all).
  std::vector<uint8_t> Ink;
};

class TextCache {
 public:
  // Bounds of the cache; the least recently used texts go first.
  static constexpr size_t kMaxEntries = 2048;
  static constexpr size_t kMaxInkBytes = 8u << 20;

  TextCache();
  ~TextCache();
  TextCache(const TextCache&) = delete;
  TextCache& operator=(const TextCache&) = delete;

  // The rendered text, or nullptr when no font is available for `font`.
  // The pointer stays valid until the next call.
  const TextBitmap* Get(const TFont& font, const std::string& gbk);

  // Size of the text when no font can draw it: a GBK character is one
  // character height wide, a single byte half of that.
  static int EstimateWidth(const TFont& font, const std::string& gbk);
  static int EstimateHeight(const TFont& font);

  size_t Entries() const { return entries_.size(); }
  size_t InkBytes() const { return inkBytes_; }
  // Number of texts rendered so far (cache misses).
  long Renders() const { return renders_; }

 private:
  struct Face;
  struct Entry {
    TextBitmap Bitmap;
    std::list<const std::string*>::iterator Age;
  };

  Face* FaceFor(const TFont& font);
  Face* OpenFace(int kind, int pixels);
  void Evict();

  std::map<int, Face*> faces_;                      // by kind * 4096 + pixel height
  std::unordered_map<std::string, Entry> entries_;  // by face key bytes, smoothness + GBK text
  std::list<const std::string*> ages_;              // keys, most recently used first
  std::string key_;                                 // reused lookup key
  size_t inkBytes_ = 0;
  long renders_ = 0;
};

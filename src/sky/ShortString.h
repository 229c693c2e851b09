// ShortString: the text field of every binary record — one length byte and
// 255 bytes of GBK text (256 bytes in all). Texts in the model stay GBK; the
// display converts them to UTF-8 once when it first draws them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

struct ShortString {
  uint8_t Len = 0;
  char Text[255] = {};

  // The stored text (GBK bytes); a length beyond 255 cannot occur.
  std::string str() const { return std::string(Text, Len); }
  std::string_view view() const { return std::string_view(Text, Len); }
  bool empty() const { return Len == 0; }
  bool operator==(const ShortString& other) const { return view() == other.view(); }

  // Stores up to 255 bytes of GBK text; longer input is cut.
  void set(std::string_view gbk) {
    Len = static_cast<uint8_t>(gbk.size() > 255 ? 255 : gbk.size());
    std::memset(Text, 0, sizeof Text);
    if (Len) std::memcpy(Text, gbk.data(), Len);  // an empty view may hold no pointer
  }
};
static_assert(sizeof(ShortString) == 256);

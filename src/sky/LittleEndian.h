// Little-endian field access inside a byte buffer of known size. Every binary
// file of the program (catalogue, city table) is read and written field by
// field at fixed offsets through these helpers, never by casting records.
// A field that would reach past the end of the buffer reads as zero and is
// not written.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "ShortString.h"

namespace LittleEndian {

inline bool Fits(std::span<const uint8_t> buf, size_t offset, size_t size) {
  return offset <= buf.size() && size <= buf.size() - offset;
}

inline uint8_t GetByte(std::span<const uint8_t> buf, size_t offset) {
  return Fits(buf, offset, 1) ? buf[offset] : 0;
}

inline int32_t GetInt32(std::span<const uint8_t> buf, size_t offset) {
  if (!Fits(buf, offset, 4)) return 0;
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | buf[offset + static_cast<size_t>(i)];
  return static_cast<int32_t>(v);
}

// The stored double as it is, NaN and infinity included, for readers that
// check it and report a value that is not finite.
inline double GetRawDouble(std::span<const uint8_t> buf, size_t offset) {
  if (!Fits(buf, offset, 8)) return 0;
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | buf[offset + static_cast<size_t>(i)];
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// A stored double that is not finite (NaN, infinity) reads as 0, so that a
// damaged file cannot carry NaN into the projection's rounding to pixels.
inline double GetDouble(std::span<const uint8_t> buf, size_t offset) {
  const double v = GetRawDouble(buf, offset);
  return std::isfinite(v) ? v : 0.0;
}

// Length byte and up to 255 bytes of GBK text (256 bytes in all). A NUL
// byte ends the text: no text of the program holds one, and the dialog font
// and the C strings the texts reach cannot carry it.
inline ShortString GetShortString(std::span<const uint8_t> buf, size_t offset) {
  ShortString s;
  if (!Fits(buf, offset, sizeof(ShortString))) return s;
  std::string_view text(reinterpret_cast<const char*>(buf.data() + offset + 1), buf[offset]);
  s.set(text.substr(0, text.find('\0')));
  return s;
}

inline void PutByte(std::span<uint8_t> buf, size_t offset, uint8_t v) {
  if (Fits(buf, offset, 1)) buf[offset] = v;
}

inline void PutInt32(std::span<uint8_t> buf, size_t offset, int32_t value) {
  if (!Fits(buf, offset, 4)) return;
  uint32_t v = static_cast<uint32_t>(value);
  for (size_t i = 0; i < 4; ++i) buf[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void PutDouble(std::span<uint8_t> buf, size_t offset, double value) {
  if (!Fits(buf, offset, 8)) return;
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (size_t i = 0; i < 8; ++i) buf[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

// Writes the length byte, the text and zeros up to 256 bytes.
inline void PutShortString(std::span<uint8_t> buf, size_t offset, const ShortString& s) {
  if (!Fits(buf, offset, sizeof(ShortString))) return;
  std::memset(buf.data() + offset, 0, sizeof(ShortString));
  buf[offset] = s.Len;
  std::memcpy(buf.data() + offset + 1, s.Text, s.Len);
}

}  // namespace LittleEndian

#include "WaveCheck.h"

#include <algorithm>

namespace {

uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
bool Tag(std::span<const uint8_t> b, size_t at, const char* tag) {
  return std::equal(tag, tag + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

bool CheckWave(std::span<const uint8_t> b, TWaveSummary& s, std::string& error) {
  s = TWaveSummary{};
  if (b.size() < 12 || !Tag(b, 0, "RIFF") || !Tag(b, 8, "WAVE")) {
    error = "not a WAVE sound";
    return false;
  }
  bool haveFormat = false, haveData = false;
  size_t at = 12;
  while (at + 8 <= b.size() && !haveData) {
    const uint64_t size = U32(b, at + 4);
    const size_t body = at + 8;
    const uint64_t left = b.size() - body;
    if (Tag(b, at, "fmt ")) {
      if (size < 16 || left < 16) {
        error = "format chunk too short";
        return false;
      }
      s.Format = U16(b, body);
      s.Channels = U16(b, body + 2);
      s.SampleRate = static_cast<int>(std::min<uint32_t>(U32(b, body + 4), 0x7fffffff));
      s.BitsPerSample = U16(b, body + 14);
      haveFormat = true;
    } else if (Tag(b, at, "data")) {
      s.DataBytes = std::min(size, left);
      haveData = true;
    }
    // Chunks are padded to an even size; a size past the end ends the walk.
    const uint64_t next = body + size + (size & 1);
    if (next > b.size()) break;
    at = static_cast<size_t>(next);
  }
  if (!haveFormat) {
    error = "no format chunk";
    return false;
  }
  if (!haveData) {
    error = "no sound data";
    return false;
  }
  if (s.Format != 1 && s.Format != 3 && s.Format != 0xFFFE) {
    error = "unknown encoding " + std::to_string(s.Format);
    return false;
  }
  if (s.Channels < 1 || s.Channels > 8) {
    error = std::to_string(s.Channels) + " channels, not 1..8";
    return false;
  }
  if (s.SampleRate < MinWaveRate || s.SampleRate > MaxWaveRate) {
    error = "sample rate " + std::to_string(s.SampleRate) + " Hz, outside " +
            std::to_string(MinWaveRate) + ".." + std::to_string(MaxWaveRate);
    return false;
  }
  if (s.BitsPerSample != 8 && s.BitsPerSample != 16 && s.BitsPerSample != 24 &&
      s.BitsPerSample != 32) {
    error = std::to_string(s.BitsPerSample) + " bits per sample";
    return false;
  }
  const uint64_t frameBytes = static_cast<uint64_t>(s.Channels) * (s.BitsPerSample / 8);
  const uint64_t frames = s.DataBytes / frameBytes;
  // Output frames at 44100 Hz, rounded up, of 2 channels of 16 bits.
  s.ConvertedBytes = (frames * 44100 + static_cast<uint64_t>(s.SampleRate) - 1) /
                     static_cast<uint64_t>(s.SampleRate) * 4;
  if (s.ConvertedBytes > MaxConvertedWaveBytes) {
    error = std::to_string(s.ConvertedBytes) + " bytes once converted, more than " +
            std::to_string(MaxConvertedWaveBytes);
    return false;
  }
  return true;
}

// A structural check of a WAVE sound before SDL_mixer converts it to the
// device's format: the converted size follows from the header (a header
// claiming 1 Hz would turn a few KiB into hundreds of MiB), so it is bounded
// here, before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct TWaveSummary {
  int Format = 0;          // 1 integer PCM, 3 float, 0xFFFE extensible
  int Channels = 0;
  int SampleRate = 0;      // Hz
  int BitsPerSample = 0;
  uint64_t DataBytes = 0;  // of the data chunk, as far as the file holds it
  uint64_t ConvertedBytes = 0;  // at the device's 44100 Hz, 2 channels, 16 bits
};

constexpr int MinWaveRate = 4000, MaxWaveRate = 192000;
constexpr uint64_t MaxConvertedWaveBytes = 16u << 20;  // about 95 s; a click is a few KiB

// False with the reason in `error` when the bytes are not a RIFF WAVE file
// SDL_mixer may be given: no fmt or data chunk, an unknown encoding, 0 or
// more than 8 channels, a sample rate outside MinWaveRate..MaxWaveRate, odd
// sample sizes, or more than MaxConvertedWaveBytes after conversion.
bool CheckWave(std::span<const uint8_t> bytes, TWaveSummary& summary, std::string& error);

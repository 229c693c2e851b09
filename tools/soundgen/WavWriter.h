// Writes mono 16-bit PCM WAV files (RIFF, 44.1 kHz) through a temporary
// file that is renamed into place, so a reader never sees half a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

constexpr int kSampleRate = 44100;  // samples per second

// Samples are in [-1, 1]; values outside are clamped. Returns false and
// prints the reason on stderr when the file cannot be written.
bool WriteWavMono16(const std::string& path, const std::vector<double>& samples);

}  // namespace soundgen

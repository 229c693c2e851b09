#include "WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

#include "FileIo.h"

namespace soundgen {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xff));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

}  // namespace

bool WriteWavMono16(const std::string& path, const std::vector<double>& samples) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);              // size of the format block
  Put16(out, 1);               // PCM
  Put16(out, 1);               // mono
  Put32(out, kSampleRate);
  Put32(out, kSampleRate * 2); // bytes per second
  Put16(out, 2);               // bytes per sample frame
  Put16(out, 16);              // bits per sample
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (double s : samples) {
    const double clamped = std::clamp(s, -1.0, 1.0);
    const auto v = static_cast<int16_t>(std::lround(clamped * 32767.0));
    Put16(out, static_cast<uint16_t>(v));
  }

  std::string why;
  if (!WriteFileAtomic(path, std::span<const uint8_t>(out.data(), out.size()), &why)) {
    ReportFile(path, "cannot be written", why, "soundgen");
    return false;
  }
  return true;
}

}  // namespace soundgen

// The two interface sounds in the runtime folder: valid mono 16-bit PCM
// WAV files, short, audible, never clipping, starting and ending quietly,
// and loadable by the mixer the program plays them with.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Wave {
  int format = 0, channels = 0, rate = 0, bits = 0, blockAlign = 0;
  int byteRate = 0;
  std::vector<int16_t> samples;
};

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// Reads a RIFF/WAVE file chunk by chunk; fails on any inconsistency.
::testing::AssertionResult ReadWave(const std::string& path, Wave& w) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return ::testing::AssertionFailure() << "cannot open " << path;
  const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
    return ::testing::AssertionFailure() << path << ": no RIFF/WAVE header";
  if (Le32(b, 4) != b.size() - 8)
    return ::testing::AssertionFailure() << path << ": RIFF size " << Le32(b, 4)
                                         << " but file holds " << b.size() - 8;
  bool haveFmt = false, haveData = false;
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::string id(b.begin() + at, b.begin() + at + 4);
    const uint32_t size = Le32(b, at + 4);
    if (at + 8 + size > b.size())
      return ::testing::AssertionFailure() << path << ": chunk " << id << " runs past the end";
    const size_t body = at + 8;
    if (id == "fmt ") {
      if (size < 16) return ::testing::AssertionFailure() << path << ": short fmt chunk";
      w.format = Le16(b, body);
      w.channels = Le16(b, body + 2);
      w.rate = static_cast<int>(Le32(b, body + 4));
      w.byteRate = static_cast<int>(Le32(b, body + 8));
      w.blockAlign = Le16(b, body + 12);
      w.bits = Le16(b, body + 14);
      haveFmt = true;
    } else if (id == "data") {
      if (size % 2) return ::testing::AssertionFailure() << path << ": odd data size";
      for (size_t i = body; i + 1 < body + size; i += 2)
        w.samples.push_back(static_cast<int16_t>(Le16(b, i)));
      haveData = true;
    }
    at = body + size + (size & 1);
  }
  if (!haveFmt || !haveData)
    return ::testing::AssertionFailure() << path << ": fmt or data chunk missing";
  return ::testing::AssertionSuccess();
}

double Peak(const std::vector<int16_t>& s, size_t from, size_t to) {
  double p = 0;
  for (size_t i = from; i < to && i < s.size(); ++i) p = std::max(p, std::abs(s[i] / 32768.0));
  return p;
}

struct SoundCase {
  const char* file;
  double minPeak, maxPeak;  // linear, 1 = full scale
};

void PrintTo(const SoundCase& c, std::ostream* os) { *os << c.file; }

class InterfaceSound : public ::testing::TestWithParam<SoundCase> {};

TEST_P(InterfaceSound, IsShortCleanMonoPcm) {
  const SoundCase c = GetParam();
  Wave w;
  ASSERT_TRUE(ReadWave(std::string(SKYLOOM_RUNTIME_DIR) + "/" + c.file, w));
  EXPECT_EQ(w.format, 1) << "PCM";
  EXPECT_EQ(w.channels, 1);
  EXPECT_EQ(w.rate, 44100);
  EXPECT_EQ(w.bits, 16);
  EXPECT_EQ(w.blockAlign, 2);
  EXPECT_EQ(w.byteRate, 88200);

  const double seconds = w.samples.size() / 44100.0;
  EXPECT_GT(seconds, 0.010);
  EXPECT_LT(seconds, 0.150);

  const double peak = Peak(w.samples, 0, w.samples.size());
  EXPECT_GE(peak, c.minPeak) << "too quiet";
  EXPECT_LE(peak, c.maxPeak) << "too close to full scale";

  double energy = 0;
  for (int16_t v : w.samples) energy += (v / 32768.0) * (v / 32768.0);
  EXPECT_GT(std::sqrt(energy / w.samples.size()), peak / 30) << "a lone spike, not a sound";

  // No pop at either end: the first sample starts near zero and the last
  // 3 ms have faded to almost nothing.
  EXPECT_LT(std::abs(w.samples.front() / 32768.0), 0.01);
  const size_t tail = 44100 * 3 / 1000;
  EXPECT_LT(Peak(w.samples, w.samples.size() - tail, w.samples.size()), peak * 0.05);
}

INSTANTIATE_TEST_SUITE_P(Sounds, InterfaceSound,
                         ::testing::Values(SoundCase{"Choose.wav", 0.05, 0.40},
                                           SoundCase{"Click.wav", 0.20, 0.71}),
                         [](const auto& info) {
                           const std::string file = info.param.file;
                           return file.substr(0, file.find('.'));
                         });

TEST(InterfaceSounds, ChooseIsSofterThanClick) {
  Wave choose, click;
  ASSERT_TRUE(ReadWave(std::string(SKYLOOM_RUNTIME_DIR) + "/Choose.wav", choose));
  ASSERT_TRUE(ReadWave(std::string(SKYLOOM_RUNTIME_DIR) + "/Click.wav", click));
  EXPECT_LT(Peak(choose.samples, 0, choose.samples.size()),
            Peak(click.samples, 0, click.samples.size()));
}

TEST(InterfaceSounds, LoadThroughTheMixer) {
  SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
  for (const char* name : {"Choose.wav", "Click.wav"}) {
    Mix_Chunk* chunk = Mix_LoadWAV((std::string(SKYLOOM_RUNTIME_DIR) + "/" + name).c_str());
    EXPECT_NE(chunk, nullptr) << name << ": " << Mix_GetError();
    if (chunk) {
      EXPECT_GT(chunk->alen, 0u);
      Mix_FreeChunk(chunk);
    }
  }
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

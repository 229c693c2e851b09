// The wave list: the interface sounds load from their files, and anything
// else in a sound file's place is refused at once with a message (a pipe
// must not block the program waiting for a writer).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Sound.h"
#include "WaveCheck.h"

namespace fs = std::filesystem;

TEST(WaveList, LoadsGoodSoundsAndRefusesEverythingElseWithoutBlocking) {
  if (!OpenAudio()) GTEST_SKIP() << "no audio device";
  const fs::path dir = fs::path(SKYLOOM_BINARY_DIR) / "test_scratch" / "wavelist";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy_file(fs::path(SKYLOOM_RUNTIME_DIR) / "Click.wav", dir / "Good.wav");
  ASSERT_EQ(::mkfifo((dir / "Pipe.wav").c_str(), 0600), 0);
  fs::create_directory(dir / "Folder.wav");
  std::ofstream(dir / "Empty.wav").close();
  std::ofstream(dir / "Junk.wav") << "not a sound at all";

  const struct {
    const char* Name;
    const char* Says;  // nullptr: loads
  } cases[] = {{"Good", nullptr},
               {"Pipe", "not a regular file"},
               {"Folder", "is a folder"},
               {"Empty", "empty file"},
               {"Missing", "no such file"},
               {"Junk", "not loaded"}};
  for (const auto& c : cases) {
    TDXWaveList list;
    testing::internal::CaptureStderr();
    list.Load({c.Name}, dir.string());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(list.Has(c.Name), c.Says == nullptr) << c.Name;
    if (c.Says) {
      EXPECT_NE(said.find(std::string(c.Name) + ".wav"), std::string::npos) << said;
      EXPECT_NE(said.find(c.Says), std::string::npos) << c.Name << ": " << said;
    } else {
      EXPECT_EQ(said, "") << c.Name;
    }
    list.Free();
  }
  CloseAudio();
  fs::remove_all(dir);
}

namespace {

// A mono 16-bit PCM file of `frames` silent frames; fields by offset.
std::vector<uint8_t> Wave(uint32_t rate, uint32_t frames, uint16_t channels = 1,
                          uint16_t bits = 16, uint16_t format = 1) {
  std::vector<uint8_t> b;
  auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); };
  auto u16 = [&](uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
  const uint32_t data = frames * channels * (bits / 8);
  tag("RIFF"); u32(36 + data); tag("WAVE");
  tag("fmt "); u32(16); u16(format); u16(channels); u32(rate);
  u32(rate * channels * (bits / 8)); u16(uint16_t(channels * (bits / 8))); u16(bits);
  tag("data"); u32(data);
  b.resize(b.size() + data, 0);
  return b;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

}  // namespace

TEST(WaveCheck, BoundsTheSoundAfterConversion) {
  const struct {
    const char* What;
    std::vector<uint8_t> Bytes;
    const char* Says;  // nullptr: passes
  } cases[] = {
      {"the interface click", Wave(22050, 2400), nullptr},
      // 4.9 KB claiming 1 Hz: 2400 frames would become 105,840,000 frames.
      {"1 Hz", Wave(1, 2400), "sample rate 1 Hz, outside 4000..192000"},
      {"too long once converted", Wave(4000, 400000), "bytes once converted, more than"},
      {"no channels", Wave(22050, 10, 0), "0 channels, not 1..8"},
      {"12-bit", Wave(22050, 10, 1, 12), "12 bits per sample"},
      {"compressed", Wave(22050, 10, 1, 16, 2), "unknown encoding 2"},
      {"cut header", Cut(Wave(22050, 10), 30), "format chunk too short"},
      {"no data chunk", Cut(Wave(22050, 10), 36), "no sound data"},
      {"not RIFF", std::vector<uint8_t>(44, 'x'), "not a WAVE sound"},
  };
  for (const auto& c : cases) {
    TWaveSummary s;
    std::string error;
    const bool ok = CheckWave(c.Bytes, s, error);
    EXPECT_EQ(ok, c.Says == nullptr) << c.What << ": " << error;
    if (c.Says) {
      EXPECT_NE(error.find(c.Says), std::string::npos) << c.What << ": " << error;
    }
  }
}

TEST(WaveList, OneHertzHeaderIsRefusedBeforeConversion) {
  if (!OpenAudio()) GTEST_SKIP() << "no audio device";
  const fs::path dir = fs::path(SKYLOOM_BINARY_DIR) / "test_scratch" / "wave1hz";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::vector<uint8_t> bytes = Wave(1, 2400);
  std::ofstream(dir / "Click.wav", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  TDXWaveList list;
  testing::internal::CaptureStderr();
  list.Load({"Click"}, dir.string());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "skyloom: " + (dir / "Click.wav").string() +
                ": sound not loaded (sample rate 1 Hz, outside 4000..192000)\n");
  EXPECT_FALSE(list.Has("Click"));
  list.Free();
  CloseAudio();
  fs::remove_all(dir);
}

// No music file is normal and silent; a folder, a pipe or a damaged piece in
// its place is refused at once and reported once per player.
TEST(MediaPlayer, AnythingButAPieceInTheMusicsPlaceIsReportedOnce) {
  if (!OpenAudio()) GTEST_SKIP() << "no audio device";
  const fs::path dir = fs::path(SKYLOOM_BINARY_DIR) / "test_scratch" / "musicplace";
  fs::remove_all(dir);
  fs::create_directories(dir / "Folder.mid");
  ASSERT_EQ(::mkfifo((dir / "Pipe.mid").c_str(), 0600), 0);
  std::ofstream(dir / "Junk.mid") << "MThd but not music";
  const struct {
    const char* Name;
    const char* Reason;  // nullptr: nothing said
  } cases[] = {{"Missing.mid", nullptr},
               {"Folder.mid", "is a folder"},
               {"Pipe.mid", "not a regular file"},
               {"Junk.mid", ""}};
  for (const auto& c : cases) {
    TMediaPlayer player;
    player.FileName = (dir / c.Name).string();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(player.Open()) << c.Name;
    EXPECT_FALSE(player.Open()) << c.Name;
    const std::string said = testing::internal::GetCapturedStderr();
    if (!c.Reason) {
      EXPECT_EQ(said, "") << c.Name;
      continue;
    }
    EXPECT_EQ(said.rfind("skyloom: " + player.FileName + ": music not played (" + c.Reason, 0), 0u)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }
  CloseAudio();
  fs::remove_all(dir);
}

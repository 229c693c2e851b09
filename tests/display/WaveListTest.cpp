// The wave list: the interface sounds load from their files, and anything
// else in a sound file's place is refused at once with a message (a pipe
// must not block the program waiting for a writer).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Sound.h"

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

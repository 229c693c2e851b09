// The test programs' entry: every test runs headless and silent unless the
// caller chose other SDL drivers, and per-user settings go to a folder of
// the test run's own, never to the user's real settings.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const std::filesystem::path config =
      std::filesystem::temp_directory_path() / ("skyloom-test-config-" + std::to_string(getpid()));
  std::filesystem::create_directories(config);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(config, ignored);
  return result;
}

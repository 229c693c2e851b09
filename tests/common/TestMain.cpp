// The test programs' entry: every test runs headless and silent unless the
// caller chose other SDL drivers, and per-user settings and shows go to
// folders of the test run's own, never to the user's real ones.
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
  const std::filesystem::path data =
      std::filesystem::temp_directory_path() / ("skyloom-test-data-" + std::to_string(getpid()));
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(config, ignored);
  std::filesystem::remove_all(data, ignored);
  return result;
}

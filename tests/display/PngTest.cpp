// PNG saving of the back buffer and ARGB reading.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Png.h"

namespace fs = std::filesystem;

TEST(Png, SavedBufferReadsBackWithTheSameColours) {
  const fs::path dir = fs::path(testing::TempDir()) / "skyloom-png";
  fs::create_directories(dir);
  TBackBuffer b(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) b.Put(x, y, RGB(x * 40, y * 60, 255 - x * 30));
  std::string error;
  const std::string path = (dir / "shot.png").string();
  ASSERT_TRUE(SavePng(b, path, error)) << error;
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  int w = 0, h = 0;
  std::vector<uint32_t> argb;
  ASSERT_TRUE(LoadPngArgb(path, w, h, argb, error)) << error;
  ASSERT_EQ(w, 7);
  ASSERT_EQ(h, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      const TColor c = b.Get(x, y);
      const uint32_t want = 0xFF000000u | ((c & 255) << 16) | (c & 0xFF00) | ((c >> 16) & 255);
      EXPECT_EQ(argb[y * 7 + x], want) << x << "," << y;
    }
}

TEST(Png, MissingCorruptAndUnwritableFilesAreReported) {
  const fs::path dir = fs::path(testing::TempDir()) / "skyloom-png";
  fs::create_directories(dir);
  int w = 1, h = 1;
  std::vector<uint32_t> argb{1, 2};
  std::string error;
  EXPECT_FALSE(LoadPngArgb((dir / "none.png").string(), w, h, argb, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(w, 0);
  EXPECT_TRUE(argb.empty());

  const fs::path bad = dir / "bad.png";
  {
    std::ofstream out(bad, std::ios::binary);
    out << "\x89PNG\r\n\x1a\n" << std::string(40, '\x7f');
  }
  error.clear();
  EXPECT_FALSE(LoadPngArgb(bad.string(), w, h, argb, error));
  EXPECT_FALSE(error.empty());

  TBackBuffer b(4, 4);
  error.clear();
  EXPECT_FALSE(SavePng(b, (dir / "no-such-folder" / "shot.png").string(), error));
  EXPECT_FALSE(error.empty());
}

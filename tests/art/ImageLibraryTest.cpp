// Image-library files: round trip, and refusal of short, corrupt or hostile
// files without crashing or over-allocating.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include "ImageLibrary.h"

namespace fs = std::filesystem;

namespace {

fs::path Scratch(const std::string& name) {
  const fs::path dir = fs::path(SKYLOOM_BINARY_DIR) / "test_scratch" / "art";
  fs::create_directories(dir);
  return dir / name;
}

std::vector<unsigned char> Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const fs::path& p, const std::vector<unsigned char>& b) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

LibraryImage Image(const std::string& name, int w, int h, int frames, uint32_t seed) {
  LibraryImage img{name, w, h, frames, {}, {}};
  uint32_t s = seed;
  for (int i = 0; i < w * h * frames; ++i) {
    s = s * 1664525u + 1013904223u;
    // Mix of long runs, short runs and noise so every packet kind occurs.
    img.Pixels.push_back((i / 7) % 5 == 0 ? s : (i < 300 ? 0u : 0xFF102030u + (i / 150)));
  }
  return img;
}

// A small library: 3 images; its header is 12 bytes, the first record's
// name "A" starts at offset 12.
std::vector<LibraryImage> Small() {
  return {Image("A", 3, 2, 2, 1), Image("StarShine", 6, 5, 3, 2), Image("M31", 1, 1, 1, 3)};
}

}  // namespace

TEST(ImageLibrary, RoundTripKeepsNamesSizesAndPixels) {
  std::vector<LibraryImage> in = Small();
  in.push_back(Image("Wide", 300, 1, 1, 4));            // runs longer than one packet
  LibraryImage noise = Image("Noise", 17, 9, 3, 5);
  for (size_t i = 0; i < noise.Pixels.size(); ++i) noise.Pixels[i] = static_cast<uint32_t>(i * 2654435761u);
  in.push_back(noise);
  const fs::path p = Scratch("roundtrip.rxf");
  std::string error;
  ASSERT_TRUE(WriteImageLibrary(p.string(), in, error)) << error;
  EXPECT_FALSE(fs::exists(p.string() + ".tmp"));
  std::vector<LibraryImage> out;
  for (TUnpack unpack : {TUnpack::Now, TUnpack::OnFirstUse}) {
    const bool later = unpack == TUnpack::OnFirstUse;
    out.clear();
    ASSERT_TRUE(ReadImageLibrary(p.string(), out, error, unpack)) << error;
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < in.size(); ++i) {
      EXPECT_EQ(out[i].Name, in[i].Name);
      EXPECT_EQ(out[i].FrameWidth, in[i].FrameWidth);
      EXPECT_EQ(out[i].FrameHeight, in[i].FrameHeight);
      EXPECT_EQ(out[i].FrameCount, in[i].FrameCount);
      EXPECT_EQ(out[i].Pixels.empty(), later) << in[i].Name;
      EXPECT_EQ(out[i].Packed.empty(), !later) << in[i].Name;
      UnpackImage(out[i]);
      EXPECT_EQ(out[i].Pixels, in[i].Pixels) << in[i].Name << (later ? " unpacked later" : "");
      EXPECT_TRUE(out[i].Packed.empty()) << in[i].Name;
    }
  }
  // An empty library is valid too.
  ASSERT_TRUE(WriteImageLibrary(p.string(), {}, error));
  out.clear();
  EXPECT_TRUE(ReadImageLibrary(p.string(), out, error));
  EXPECT_TRUE(out.empty());
}

// One picture read from a library: only it is kept, decoded; a library
// without it, or damaged anywhere (also after the picture), gives nothing.
TEST(ImageLibrary, OnePictureIsReadAloneFromACheckedFile) {
  const std::vector<LibraryImage> in = Small();
  const fs::path p = Scratch("one.rxf");
  std::string error;
  ASSERT_TRUE(WriteImageLibrary(p.string(), in, error)) << error;
  LibraryImage one;
  ASSERT_TRUE(ReadLibraryImage(p.string(), "StarShine", one, error)) << error;
  EXPECT_EQ(one.Name, "StarShine");
  EXPECT_EQ(one.FrameCount, 3);
  EXPECT_EQ(one.Pixels, in[1].Pixels);
  EXPECT_TRUE(one.Packed.empty());
  EXPECT_FALSE(ReadLibraryImage(p.string(), "M32", one, error));
  EXPECT_NE(error.find("no image called M32"), std::string::npos) << error;
  // The last image's data cut short: the file is refused, even for the
  // first picture.
  std::vector<unsigned char> bytes = Bytes(p);
  bytes.resize(bytes.size() - 2);
  Put(p, bytes);
  EXPECT_FALSE(ReadLibraryImage(p.string(), "A", one, error));
  EXPECT_NE(error.find("truncated"), std::string::npos) << error;
  EXPECT_FALSE(ReadLibraryImage((p.string() + ".missing"), "A", one, error));
}

TEST(ImageLibrary, EveryTruncationIsRefusedWithAMessage) {
  const fs::path full = Scratch("full.rxf"), cut = Scratch("cut.rxf");
  std::string error;
  ASSERT_TRUE(WriteImageLibrary(full.string(), Small(), error));
  const std::vector<unsigned char> bytes = Bytes(full);
  for (size_t n = 0; n < bytes.size(); ++n) {
    Put(cut, std::vector<unsigned char>(bytes.begin(), bytes.begin() + n));
    for (TUnpack unpack : {TUnpack::Now, TUnpack::OnFirstUse}) {
      std::vector<LibraryImage> out;
      error.clear();
      EXPECT_FALSE(ReadImageLibrary(cut.string(), out, error, unpack)) << "length " << n;
      EXPECT_FALSE(error.empty()) << "length " << n;
      EXPECT_LT(out.size(), 3u);
    }
  }
}

TEST(ImageLibrary, HostileHeadersAreRefusedBeforeAllocating) {
  const fs::path full = Scratch("full2.rxf"), bad = Scratch("bad.rxf");
  std::string error;
  ASSERT_TRUE(WriteImageLibrary(full.string(), Small(), error));
  const std::vector<unsigned char> good = Bytes(full);
  // Offsets in the first record: name length 12, name 13, width 14-15,
  // height 16-17, frames 18-19, data length 20-23.
  struct Case {
    const char* what;
    size_t offset;
    std::vector<unsigned char> bytes;
  };
  const Case cases[] = {
      {"bad magic", 0, {'P', 'N', 'G', '!'}},
      {"unknown version", 4, {2, 0, 0, 0}},
      {"huge image count", 8, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"one image too many", 8, {4, 0, 0, 0}},
      {"empty name", 12, {0}},
      {"name longer than the limit", 12, {200}},
      {"name with a control character", 13, {0x07}},
      {"zero width", 14, {0, 0}},
      {"huge width", 14, {0xFF, 0xFF}},
      {"huge frame height and count", 16, {0xFF, 0x0F, 0xFF, 0x03}},
      {"pixels beyond what the data can encode", 16, {0x00, 0x10}},
      {"data length past the end", 20, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"data length one short", 20, {0xFF, 0, 0, 0}},
      {"literal packet overrunning the image", 24, {0x7F}},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> b = good;
    for (size_t i = 0; i < c.bytes.size(); ++i) b[c.offset + i] = c.bytes[i];
    if (std::string(c.what) == "data length one short") {
      // The real length (small, fits in one byte) minus one.
      const uint32_t real = good[20] | (good[21] << 8);
      b[20] = static_cast<unsigned char>((real - 1) & 255);
      b[21] = static_cast<unsigned char>((real - 1) >> 8);
      b[22] = b[23] = 0;
    }
    Put(bad, b);
    for (TUnpack unpack : {TUnpack::Now, TUnpack::OnFirstUse}) {
      std::vector<LibraryImage> out;
      error.clear();
      EXPECT_FALSE(ReadImageLibrary(bad.string(), out, error, unpack)) << c.what;
      EXPECT_FALSE(error.empty()) << c.what;
    }
  }
  // Trailing garbage after the last image.
  std::vector<unsigned char> tail = good;
  tail.push_back(0);
  Put(bad, tail);
  std::vector<LibraryImage> out;
  EXPECT_FALSE(ReadImageLibrary(bad.string(), out, error));
  EXPECT_EQ(out.size(), 3u) << "the images before the fault are kept";
  // Missing file.
  out.clear();
  EXPECT_FALSE(ReadImageLibrary(Scratch("does-not-exist.rxf").string(), out, error));
  EXPECT_NE(error.find("does-not-exist"), std::string::npos);
}

TEST(ImageLibrary, WriterRefusesInvalidImagesAndKeepsTheOldFile) {
  const fs::path p = Scratch("keep.rxf");
  std::string error;
  ASSERT_TRUE(WriteImageLibrary(p.string(), Small(), error));
  const std::vector<unsigned char> before = Bytes(p);
  LibraryImage shortPixels = Image("Short", 4, 4, 1, 9);
  shortPixels.Pixels.pop_back();
  const std::vector<std::vector<LibraryImage>> bad = {
      {shortPixels},
      {Image("", 1, 1, 1, 1)},
      {Image("two words", 1, 1, 1, 1)},
      {Image(std::string(64, 'x'), 1, 1, 1, 1)},
      {LibraryImage{"Zero", 0, 5, 1, {}, {}}},
  };
  for (const auto& lib : bad) {
    error.clear();
    EXPECT_FALSE(WriteImageLibrary(p.string(), lib, error));
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(Bytes(p), before);
  // A folder that does not exist: refused, nothing left behind.
  EXPECT_FALSE(WriteImageLibrary((Scratch("none") / "x.rxf").string(), Small(), error));
}

// Something other than a library file in its place: refused at once with a
// message saying what is wrong (a pipe must not block the program waiting
// for a writer), and an oversized file is refused before it is decoded.
TEST(ImageLibrary, NonFilesAndOversizedFilesAreRefusedWithoutBlocking) {
  const fs::path pipe = Scratch("pipe.rxf"), folder = Scratch("folder.rxf"),
                 huge = Scratch("huge.rxf"), missing = Scratch("missing.rxf");
  fs::remove_all(pipe);
  fs::remove_all(folder);
  fs::remove_all(missing);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  fs::create_directory(folder);
  {
    std::ofstream out(huge, std::ios::binary | std::ios::trunc);
    out.write("SKIL", 4);
  }
  fs::resize_file(huge, (80u << 20) + 1);  // sparse, one byte over the limit
  const struct {
    fs::path Path;
    const char* Says;
  } cases[] = {{pipe, "not a regular file"},
               {folder, "is a folder"},
               {missing, "no such file"},
               {huge, "too large"}};
  for (const auto& c : cases) {
    std::vector<LibraryImage> out;
    std::string error;
    EXPECT_FALSE(ReadImageLibrary(c.Path.string(), out, error)) << c.Path;
    EXPECT_NE(error.find(c.Says), std::string::npos) << c.Path << ": " << error;
    EXPECT_TRUE(out.empty());
  }
  fs::remove(pipe);
  fs::remove(huge);
}

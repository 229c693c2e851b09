// The generated image libraries: every name the program asks for is there
// with its frames and size, the Moon's phases are right, the generator is
// repeatable, and the packer builds libraries from PNG files.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "ImageList.h"
#include "ImageNames.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRuntime = SKYLOOM_RUNTIME_DIR;

TDXImageList Load(const std::string& file) {
  TDXImageList list;
  EXPECT_TRUE(list.LoadFromFile((kRuntime / file).string())) << file;
  return list;
}

std::vector<std::string> MessierCodes() {
  std::ifstream in(fs::path(SKYLOOM_SOURCE_DIR) / "data" / "art" / "messier_shapes.tsv");
  std::vector<std::string> codes;
  std::string line;
  std::getline(in, line);   // header
  while (std::getline(in, line))
    if (!line.empty()) codes.push_back(line.substr(0, line.find('\t')));
  return codes;
}

void ExpectAll(const TDXImageList& list, const ImageNames::Entry* begin, const ImageNames::Entry* end) {
  for (const ImageNames::Entry* e = begin; e != end; ++e) {
    const int i = list.Find(e->Name);
    ASSERT_GE(i, 0) << e->Name;
    EXPECT_EQ(list.FrameCount(i), e->Frames) << e->Name;
  }
}

void ExpectSize(const TDXImageList& list, const char* name, int w, int h) {
  const int i = list.Find(name);
  ASSERT_GE(i, 0) << name;
  EXPECT_EQ(list.Width(i), w) << name;
  EXPECT_EQ(list.Height(i), h) << name;
}

std::vector<unsigned char> Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Lines(const fs::path& p) {
  std::ifstream in(p);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line))
    if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace

TEST(Art, LoadImgHasEverySkyAndPanelImage) {
  const TDXImageList list = Load("LoadImg.rxf");
  ExpectAll(list, std::begin(ImageNames::kSkyImages), std::end(ImageNames::kSkyImages));
  ExpectAll(list, std::begin(ImageNames::kPanelImages), std::end(ImageNames::kPanelImages));
  ExpectAll(list, std::begin(ImageNames::kButtonImages), std::end(ImageNames::kButtonImages));
  // Sizes the drawing offsets rely on.
  ExpectSize(list, ImageNames::StarShine, 20, 20);
  ExpectSize(list, ImageNames::StarBall, 10, 10);
  ExpectSize(list, ImageNames::Sun, 100, 100);
  ExpectSize(list, ImageNames::Tree, 46, 46);
  ExpectSize(list, ImageNames::BoardList, 46, 46);
  ExpectSize(list, ImageNames::Panel, 800, 168);
  const int ground = list.Find(ImageNames::Ground);
  EXPECT_GE(list.Width(ground), 800);
  EXPECT_GE(list.Height(ground), 600 - 168);
  // Missing names and frames are harmless.
  EXPECT_EQ(list.Find("NoSuchImage"), -1);
  TBackBuffer buffer(64, 64);
  buffer.Fill(clBlack);
  list.Draw(buffer, -1, 0, 0, 0);
  list.Draw(buffer, list.Find(ImageNames::StarShine), 0, 0, 7);
  list.Draw(buffer, list.Find(ImageNames::StarShine), 0, 0, -1);
  list.DrawAlpha(buffer, -1, TRect{0, 0, 20, 20}, 0, 200);
  list.DrawRotate(buffer, list.Find(ImageNames::Comp), 32, 32, 10, 10, 3, 0.5, 0.5, 17);
  for (int i = 0; i < 64 * 64; ++i) ASSERT_EQ(buffer.Pixels()[i], 0) << "pixel " << i;
}

TEST(Art, StarAndPlanetFramesGetFainter) {
  const TDXImageList list = Load("LoadImg.rxf");
  for (const char* name : {ImageNames::StarShine, ImageNames::StarBall}) {
    const LibraryImage* img = list.Image(list.Find(name));
    ASSERT_NE(img, nullptr);
    double previous = 1e18;
    const int n = img->FrameWidth * img->FrameHeight;
    for (int f = 0; f < img->FrameCount; ++f) {
      double light = 0;
      for (int i = 0; i < n; ++i) {
        const uint32_t p = img->Pixels[static_cast<size_t>(f) * n + i];
        light += (p >> 24) * (((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255));
      }
      EXPECT_LT(light, previous) << name << " frame " << f;
      EXPECT_GT(light, 0) << name << " frame " << f;
      previous = light;
    }
  }
}

TEST(Art, Messia2HasEveryObjectAndBody) {
  const TDXImageList list = Load("Messia2.rxf");
  const std::vector<std::string> codes = MessierCodes();
  EXPECT_EQ(codes.size(), 100u);
  for (const std::string& code : codes) {
    const int i = list.Find(code);
    ASSERT_GE(i, 0) << code;
    EXPECT_GE(std::min(list.Width(i), list.Height(i)), 64) << code;
    EXPECT_LE(std::max(list.Width(i), list.Height(i)), 128) << code;
  }
  ExpectAll(list, std::begin(ImageNames::kBodyImages), std::end(ImageNames::kBodyImages));
}

// The larger libraries hold every sky and hover picture of the 1x ones
// (but the ground texture) drawn again at their scale, frame for frame.
TEST(Art, LargerLibrariesDrawEverySkyAndHoverPictureAgain) {
  const TDXImageList sky = Load("LoadImg.rxf"), hover = Load("Messia2.rxf");
  const struct {
    const char* File;
    const TDXImageList& Base;
    int Scale;
  } larger[] = {{"LoadImg2x.rxf", sky, 2}, {"LoadImg3x.rxf", sky, 3}, {"Messia2-2x.rxf", hover, 2}};
  for (const auto& l : larger) {
    const TDXImageList list = Load(l.File);
    const bool objects = &l.Base == &hover;
    int checked = 0;
    for (int b = 0; b < l.Base.Count(); ++b) {
      const std::string& name = l.Base.Image(b)->Name;
      const bool skyPicture = std::any_of(std::begin(ImageNames::kSkyImages),
                                          std::end(ImageNames::kSkyImages),
                                          [&](const auto& e) { return name == e.Name; });
      if (!objects && (!skyPicture || name == ImageNames::Ground)) continue;
      const int i = list.Find(name);
      ASSERT_GE(i, 0) << name << " in " << l.File;
      EXPECT_EQ(list.Width(i), l.Base.Width(b) * l.Scale) << name << " in " << l.File;
      EXPECT_EQ(list.Height(i), l.Base.Height(b) * l.Scale) << name << " in " << l.File;
      EXPECT_EQ(list.FrameCount(i), l.Base.FrameCount(b)) << name << " in " << l.File;
      ++checked;
    }
    EXPECT_GE(checked, objects ? 110 : 8) << l.File;
  }
}

TEST(Art, MoonFramesFollowThePhase) {
  const TDXImageList list = Load("Messia2.rxf");
  const LibraryImage* moon = list.Image(list.Find("Sun2"));
  ASSERT_NE(moon, nullptr);
  ASSERT_EQ(moon->FrameCount, 59);
  const int w = moon->FrameWidth, h = moon->FrameHeight;
  for (int k = 0; k < 59; ++k) {
    int disc = 0, lit = 0;
    double litX = 0, darkX = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t p = moon->Pixels[(static_cast<size_t>(k) * h + y) * w + x];
        if ((p >> 24) < 128) continue;
        ++disc;
        const int grey = (((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / 3;
        if (grey > 50) {
          ++lit;
          litX += x + 0.5 - w / 2.0;
        } else {
          darkX += x + 0.5 - w / 2.0;
        }
      }
    ASSERT_GT(disc, 0);
    const double expected = (1 + std::cos(2 * M_PI * k / 59)) / 2;
    EXPECT_NEAR(static_cast<double>(lit) / disc, expected, 0.04) << "frame " << k;
    // Lit limb left of the dark part before new Moon, right of it after.
    const int dark = disc - lit;
    if (lit == 0 || dark == 0) continue;
    const double side = litX / lit - darkX / dark;
    if (k >= 1 && k <= 28) {
      EXPECT_LT(side, -2.0) << "frame " << k;
    } else if (k >= 31 && k <= 58) {
      EXPECT_GT(side, 2.0) << "frame " << k;
    }
  }
}

TEST(Art, ResourceHasCursorsAndPictures) {
  const TDXImageList list = Load("Resource.rxf");
  ExpectAll(list, std::begin(ImageNames::kResourceImages), std::end(ImageNames::kResourceImages));
  for (const char* name : {"UpArrow", "DownArrow", "LeftArrow", "RightArrow"}) {
    ExpectSize(list, name, 32, 32);
    // The hot spot (centre) lies on the arrow.
    const LibraryImage* img = list.Image(list.Find(name));
    EXPECT_GT(img->Pixels[16 * 32 + 16] >> 24, 200u) << name;
  }
  ExpectSize(list, "Logo", 420, 254);
  ExpectSize(list, "AboutPic", 121, 166);
}

TEST(Art, GeneratorIsRepeatable) {
  const std::vector<std::string> command =
      Lines(fs::path(SKYLOOM_BINARY_DIR) / "tools" / "artgen" / "artgen_command.txt");
  ASSERT_GE(command.size(), 2u) << "artgen_command.txt missing";
  // Two runs of this build's generator; the runtime folder's files may come
  // from another build (the sanitizer build takes the release build's),
  // whose compiler may round differently.
  const fs::path base = fs::path(SKYLOOM_BINARY_DIR) / "test_scratch" / "art" / "repeat";
  fs::remove_all(base);
  for (const char* run : {"1", "2"}) {
    const fs::path dir = base / run;
    fs::create_directories(dir);
    std::string line = Quote(command[0]);
    line.append(" ").append(Quote(dir.string()));
    for (size_t i = 1; i < command.size(); ++i) line.append(" ").append(Quote(command[i]));
    ASSERT_EQ(std::system(line.c_str()), 0) << line;
  }
  for (const char* file : {"LoadImg.rxf", "Messia2.rxf", "Resource.rxf", "LoadImg2x.rxf",
                           "LoadImg3x.rxf", "Messia2-2x.rxf"}) {
    const std::vector<unsigned char> first = Bytes(base / "1" / file);
    EXPECT_FALSE(first.empty()) << file;
    EXPECT_TRUE(first == Bytes(base / "2" / file)) << file << " differs between two runs";
  }
}

TEST(Art, PackerBuildsLibraryFromPngStrips) {
  const std::vector<std::string> tool =
      Lines(fs::path(SKYLOOM_BINARY_DIR) / "tools" / "imgpack" / "imgpack_path.txt");
  ASSERT_EQ(tool.size(), 1u) << "imgpack_path.txt missing";
  ASSERT_TRUE(fs::exists(tool[0])) << "build the imgpack target";
  const fs::path dir = fs::path(SKYLOOM_BINARY_DIR) / "test_scratch" / "art" / "pack";
  fs::remove_all(dir);
  fs::create_directories(dir);
  // Two PNGs: a 4x6 strip of three 4x2 frames and a single 3x3 picture.
  auto png = [&](const std::string& name, int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x] =
            (static_cast<uint32_t>(40 * y + 10) << 24) | (x * 50) << 16 | (y * 30) << 8 | 7;
    ASSERT_EQ(IMG_SavePNG(s, (dir / name).c_str()), 0);
    SDL_FreeSurface(s);
  };
  png("Strip.png", 4, 6);
  png("Single.png", 3, 3);
  {
    std::ofstream list(dir / "list.txt");
    list << "# name and frames\nStrip.png 3\n";
  }
  const std::string base = Quote(tool[0]) + " ";
  const fs::path out = dir / "out.rxf";
  ASSERT_EQ(std::system((base + Quote(out.string()) + " " + Quote((dir / "Single.png").string()) +
                         " --list " + Quote((dir / "list.txt").string()))
                            .c_str()),
            0);
  TDXImageList list;
  ASSERT_TRUE(list.LoadFromFile(out.string()));
  const int strip = list.Find("Strip"), single = list.Find("Single");
  ASSERT_GE(strip, 0);
  ASSERT_GE(single, 0);
  EXPECT_EQ(list.FrameCount(strip), 3);
  EXPECT_EQ(list.Width(strip), 4);
  EXPECT_EQ(list.Height(strip), 2);
  EXPECT_EQ(list.FrameCount(single), 1);
  // Pixel (1, 1) of frame 2 is row 5 of the strip.
  EXPECT_EQ(list.Image(strip)->Pixels[(2 * 2 + 1) * 4 + 1],
            (static_cast<uint32_t>(40 * 5 + 10) << 24) | 50u << 16 | 150u << 8 | 7u);
  // Name:frames on the command line; a height that does not divide fails.
  EXPECT_EQ(std::system((base + Quote((dir / "b.rxf").string()) + " " +
                         Quote((dir / "Strip.png").string() + ":2"))
                            .c_str()),
            0);
  EXPECT_NE(std::system((base + Quote((dir / "c.rxf").string()) + " " +
                         Quote((dir / "Strip.png").string() + ":4") + " 2>/dev/null")
                            .c_str()),
            0);
  EXPECT_FALSE(fs::exists(dir / "c.rxf"));
}

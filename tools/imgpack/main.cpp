// imgpack: builds an image library from PNG files.
//
// Usage: imgpack <out.rxf> <file.png[:frames]>... [--list <list file>]
//
// Each PNG becomes one image named after the file without its extension. A
// picture with several frames is a vertical strip of equal frames; the
// frame count follows the file name after a colon on the command line, or
// stands after the file name in the list file (one "file.png [frames]" per
// line, paths relative to the list file's folder, "#" starts a comment).
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FileIo.h"
#include "ImageLibrary.h"

namespace {

struct Input {
  std::string Path;
  int Frames = 1;
};

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

bool ParseFrames(const std::string& text, int& frames) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < 1 || v > 1024) return false;
  frames = static_cast<int>(v);
  return true;
}

bool ReadList(const std::string& listPath, std::vector<Input>& inputs) {
  std::string text, why;
  if (!ReadTextFile(listPath, 1u << 20, text, &why)) {
    ReportFile(listPath, "cannot read the list", why, "imgpack");
    return false;
  }
  std::istringstream in(text);
  const size_t slash = listPath.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "" : listPath.substr(0, slash + 1);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream fields(line);
    std::string file, frames;
    if (!(fields >> file)) continue;
    Input input{folder + file, 1};
    if (fields >> frames && !ParseFrames(frames, input.Frames)) {
      std::fprintf(stderr, "imgpack: %s:%d: bad frame count \"%s\"\n", listPath.c_str(), lineNo,
                   frames.c_str());
      return false;
    }
    inputs.push_back(input);
  }
  return true;
}

bool Load(const Input& input, LibraryImage& img) {
  SDL_Surface* s = IMG_Load(input.Path.c_str());
  if (!s) {
    std::fprintf(stderr, "imgpack: %s: %s\n", input.Path.c_str(), IMG_GetError());
    return false;
  }
  SDL_Surface* c = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  if (!c) {
    std::fprintf(stderr, "imgpack: %s: cannot convert\n", input.Path.c_str());
    return false;
  }
  bool ok = c->h % input.Frames == 0;
  if (!ok) {
    std::fprintf(stderr, "imgpack: %s: height %d is not a multiple of %d frames\n",
                 input.Path.c_str(), c->h, input.Frames);
  } else {
    img.Name = BaseName(input.Path);
    img.FrameWidth = c->w;
    img.FrameHeight = c->h / input.Frames;
    img.FrameCount = input.Frames;
    img.Pixels.resize(static_cast<size_t>(c->w) * c->h);
    SDL_LockSurface(c);
    for (int y = 0; y < c->h; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(c->pixels) +
                                                           y * c->pitch);
      for (int x = 0; x < c->w; ++x) img.Pixels[static_cast<size_t>(y) * c->w + x] = row[x];
    }
    SDL_UnlockSurface(c);
  }
  SDL_FreeSurface(c);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: imgpack <out.rxf> <file.png[:frames]>... [--list <file>]\n");
    return 2;
  }
  std::vector<Input> inputs;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--list") {
      if (i + 1 >= argc || !ReadList(argv[++i], inputs)) return 1;
      continue;
    }
    Input input{arg, 1};
    const size_t colon = arg.rfind(':');
    if (colon != std::string::npos && colon + 1 < arg.size() &&
        arg.find_first_of("/\\", colon) == std::string::npos) {
      if (!ParseFrames(arg.substr(colon + 1), input.Frames)) {
        std::fprintf(stderr, "imgpack: bad frame count in \"%s\"\n", arg.c_str());
        return 1;
      }
      input.Path = arg.substr(0, colon);
    }
    inputs.push_back(input);
  }
  std::vector<LibraryImage> images;
  for (const Input& input : inputs) {
    LibraryImage img;
    if (!Load(input, img)) return 1;
    images.push_back(std::move(img));
  }
  std::string error;
  if (!WriteImageLibrary(argv[1], images, error)) {
    std::fprintf(stderr, "imgpack: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

#include "TextCache.h"

#include "FileIo.h"

#include <SDL2/SDL_ttf.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "Gbk.h"

namespace {

enum FaceKind { kSong = 0, kSymbol = 1 };

// How the bytes of a text become the characters the face draws.
enum class Encoding {
  Gbk,          // Chinese text in GBK
  SymbolBytes,  // the Symbol face itself: byte values are its own codes
  SymbolGreek,  // another face: Symbol letter codes mapped to Unicode Greek
};

struct FontFile {
  const char* Folder;   // Debian package folder
  const char* Name;
  int Size;             // point size at 72 dpi (= pixels); 0: first bitmap strike
  Encoding Enc;
};

constexpr const char* kMisc = "/usr/share/fonts/X11/misc/";
constexpr const char* kArphic = "/usr/share/fonts/truetype/arphic/";
constexpr const char* kUrw = "/usr/share/fonts/opentype/urw-base35/";
constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/";

// Says `message` on stderr the first time only (per process).
void ReportOnce(const std::string& message) {
  static std::set<std::string> said;
  if (said.insert(message).second) Report({"", message, ""});
}

// The font file's path, or "" when it is missing.
std::string Locate(const FontFile& f) {
  const char* dir = std::getenv("SKYLOOM_FONT_DIR");
  std::string path = (dir && *dir) ? std::string(dir) + "/" + f.Name : std::string(f.Folder) + f.Name;
  if (IsRegularFile(path)) return path;
  ReportOnce(path + ": font missing; its texts are not drawn");
  return {};
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Unicode Greek for the letters of the Symbol byte codes ('a' alpha, 'b'
// beta, 'c' chi, 'j' phi symbol, 'v' omega symbol, 'V' final sigma, ...).
uint32_t SymbolToUnicode(unsigned char c) {
  static const uint16_t upper[26] = {
      0x391, 0x392, 0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399, 0x3D1, 0x39A, 0x39B, 0x39C,
      0x39D, 0x39F, 0x3A0, 0x398, 0x3A1, 0x3A3, 0x3A4, 0x3A5, 0x3C2, 0x3A9, 0x39E, 0x3A8, 0x396};
  static const uint16_t lower[26] = {
      0x3B1, 0x3B2, 0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3, 0x3B7, 0x3B9, 0x3D5, 0x3BA, 0x3BB, 0x3BC,
      0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1, 0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6};
  if (c >= 'A' && c <= 'Z') return upper[c - 'A'];
  if (c >= 'a' && c <= 'z') return lower[c - 'a'];
  if (c < 0x80) return c;
  return '?';
}

std::string ToUtf8(const std::string& text, Encoding enc) {
  if (enc == Encoding::Gbk) return GbkToUtf8(text);
  std::string out;
  for (unsigned char c : text) AppendUtf8(out, enc == Encoding::SymbolBytes ? c : SymbolToUnicode(c));
  return out;
}

bool FontEngineReady() {
  static int state = 0;   // 0 unknown, 1 ready, -1 failed
  if (state == 0 || (state == 1 && !TTF_WasInit())) {
    if (TTF_WasInit() || TTF_Init() == 0) {
      state = 1;
    } else {
      state = -1;
      ReportOnce(std::string("the font engine cannot start (") + TTF_GetError() +
                 "); texts are not drawn");
    }
  }
  return state == 1;
}

}  // namespace

struct TextCache::Face {
  TTF_Font* Font = nullptr;
  Encoding Enc = Encoding::Gbk;
  int Pixels = 0;         // the height asked for
  bool Outline = false;   // a scalable face (not a bitmap font)
  // Smooth text of an outline face that carries bitmap strikes of its own
  // at this height (the engine then draws those, one-bit): drawn at twice
  // the height by `Double` and reduced. Strikes: 0 not yet known, 1 yes,
  // -1 no.
  int Strikes = 0;
  TTF_Font* Double = nullptr;
  std::string Path;       // the font file, for opening `Double`
  // The font file mapped into memory, read by the font engine for as long
  // as the font is open.
  void* Map = nullptr;
  size_t MapSize = 0;

  // The face at twice its height for smooth text where the face itself
  // would draw its bitmap strikes; nullptr when it draws shades itself.
  TTF_Font* DoubleForSmooth();
};

namespace {

// Opens a font from its file mapped into memory: the engine's many small
// reads and seeks while it opens a bitmap font with tens of thousands of
// glyphs are then memory reads, not system calls (a tenth of the time), and
// only the pages it reads become resident. Falls back to reading the file.
// An outline face is read from its file (`mapped` false): its glyphs lie
// scattered over many megabytes, and the pages mapped around each one
// would stay resident for the few hundred characters a stage shows.
TTF_Font* OpenMapped(const std::string& path, int size, bool mapped, void*& map, size_t& mapSize) {
  map = nullptr;
  mapSize = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a pipe never blocks
  struct stat st{};
  const bool regular = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (mapped && regular && st.st_size > 0 && st.st_size <= INT_MAX) {
    void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (p != MAP_FAILED) {
      map = p;
      mapSize = static_cast<size_t>(st.st_size);
    }
  }
  if (fd >= 0) ::close(fd);
  if (map) {
    SDL_RWops* rw = SDL_RWFromConstMem(map, static_cast<int>(mapSize));
    if (TTF_Font* font = rw ? TTF_OpenFontIndexRW(rw, 1, size, 0) : nullptr) return font;
    ::munmap(map, mapSize);
    map = nullptr;
    mapSize = 0;
  }
  // Anything but a regular file (a pipe, a device) is not a font.
  return regular ? TTF_OpenFontIndex(path.c_str(), size, 0) : nullptr;
}

// Cover raised toward full along a gamma of 1/1.8: the thin strokes of the
// Song face, a pixel or less wide at these heights, would otherwise show
// only in shades and look dim and soft; their edges stay graded.
uint8_t Strengthen(uint8_t cover) {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i)
      t[static_cast<size_t>(i)] = static_cast<uint8_t>(std::lround(255 * std::pow(i / 255.0, 1 / 1.8)));
    return t;
  }();
  return table[cover];
}

// The ink of a rendered text: an 8-bit surface inks every non-zero pixel
// fully; a 32-bit one (anti-aliased) gives each pixel its alpha.
void ReadInk(SDL_Surface* s, TextBitmap& bitmap) {
  const int bytes = s->format->BytesPerPixel;
  if (bytes != 1 && (bytes != 4 || s->format->Amask == 0)) return;
  bitmap.Width = s->w;
  bitmap.Height = s->h;
  bitmap.Ink.resize(static_cast<size_t>(s->w) * s->h);
  SDL_LockSurface(s);
  const uint32_t amask = s->format->Amask;
  const int ashift = s->format->Ashift;
  for (int y = 0; y < s->h; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    uint8_t* ink = bitmap.Ink.data() + static_cast<size_t>(y) * s->w;
    if (bytes == 1) {
      for (int x = 0; x < s->w; ++x) ink[x] = row[x] != 0 ? 255 : 0;
    } else {
      const uint32_t* px = reinterpret_cast<const uint32_t*>(row);
      for (int x = 0; x < s->w; ++x) ink[x] = static_cast<uint8_t>((px[x] & amask) >> ashift);
    }
  }
  SDL_UnlockSurface(s);
}

// Each 2x2 block of the ink becomes one pixel of their mean cover.
void Halve(TextBitmap& bitmap) {
  if (bitmap.Ink.empty()) return;   // nothing drawn: the face's own height stays
  const int w = (bitmap.Width + 1) / 2, h = (bitmap.Height + 1) / 2;
  std::vector<uint8_t> half(static_cast<size_t>(w) * h);
  auto at = [&](int x, int y) -> unsigned {
    return x < bitmap.Width && y < bitmap.Height ? bitmap.Ink[static_cast<size_t>(y) * bitmap.Width + x] : 0;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      half[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(
          (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1) + 2) / 4);
  bitmap.Width = w;
  bitmap.Height = h;
  bitmap.Ink = std::move(half);
}

// True when the face draws a sample of its script with every pixel fully
// inked or blank although asked for shades: it draws bitmap strikes.
bool DrawsStrikes(TTF_Font* font, Encoding enc) {
  const char* sample = enc == Encoding::Gbk ? "\xE6\xB0\xB8" : "a";  // 永, or a Latin or Symbol letter
  SDL_Surface* s = TTF_RenderUTF8_Blended(font, sample, SDL_Color{255, 255, 255, 255});
  if (!s) return false;
  bool shades = false;
  if (s->format->BytesPerPixel == 4 && s->format->Amask != 0) {
    SDL_LockSurface(s);
    for (int y = 0; y < s->h && !shades; ++y) {
      const auto* px = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                         static_cast<size_t>(y) * s->pitch);
      for (int x = 0; x < s->w && !shades; ++x) {
        const uint32_t a = (px[x] & s->format->Amask) >> s->format->Ashift;
        shades = a > 0 && a < 255;
      }
    }
    SDL_UnlockSurface(s);
  } else {
    shades = true;   // not a surface to judge: take the face as it draws
  }
  SDL_FreeSurface(s);
  return !shades;
}

}  // namespace

TTF_Font* TextCache::Face::DoubleForSmooth() {
  if (!Outline || Strikes < 0) return nullptr;
  if (Strikes == 0) {
    Strikes = DrawsStrikes(Font, Enc) ? 1 : -1;
    if (Strikes < 0) return nullptr;
    Double = TTF_OpenFontIndex(Path.c_str(), std::min(2 * Pixels, 512), 0);
  }
  return Double;
}

TextCache::TextCache() = default;

TextCache::~TextCache() {
  // A font closed after the engine was shut down would touch freed memory.
  const bool engine = TTF_WasInit() != 0;
  for (auto& [key, face] : faces_) {
    if (face->Font && engine) TTF_CloseFont(face->Font);
    if (face->Double && engine) TTF_CloseFont(face->Double);
    if (face->Map) ::munmap(face->Map, face->MapSize);
    delete face;
  }
}

TextCache::Face* TextCache::OpenFace(int kind, int pixels) {
  auto* face = new Face;
  faces_[kind * 4096 + pixels] = face;
  if (!FontEngineReady()) return face;

  std::vector<FontFile> files;
  if (kind == kSymbol) {
    files = {{kUrw, "StandardSymbolsPS.otf", pixels, Encoding::SymbolBytes},
             {kDejaVu, "DejaVuSerif.ttf", pixels, Encoding::SymbolGreek}};
  } else {
    if (pixels == 12) files.push_back({kMisc, "wenquanyi_9pt.pcf", 0, Encoding::Gbk});
    if (pixels == 14) {
      files.push_back({kMisc, "wenquanyi_13px.pcf", 0, Encoding::Gbk});
      files.push_back({kMisc, "wenquanyi_10pt.pcf", 0, Encoding::Gbk});
    }
    files.push_back({kArphic, "uming.ttc", pixels, Encoding::Gbk});
    if (pixels != 12) files.push_back({kMisc, "wenquanyi_9pt.pcf", 0, Encoding::Gbk});
  }
  for (const FontFile& f : files) {
    std::string path = Locate(f);
    if (path.empty()) continue;
    TTF_Font* font = OpenMapped(path, f.Size, f.Size == 0, face->Map, face->MapSize);
    if (!font) {
      ReportOnce("font file " + path + " cannot be opened (" + TTF_GetError() + ")");
      continue;
    }
    face->Font = font;
    face->Enc = f.Enc;
    face->Pixels = pixels;
    face->Outline = f.Size != 0;
    face->Path = path;
    return face;
  }
  ReportOnce(std::string("no font for ") + (kind == kSymbol ? "Symbol" : "Song") + " text of " +
             std::to_string(pixels) + " pixels; such texts are not drawn");
  return face;
}

TextCache::Face* TextCache::FaceFor(const TFont& font) {
  const int kind = font.Name == "Symbol" ? kSymbol : kSong;
  int pixels = font.Height == 0 ? 12 : std::abs(font.Height);
  pixels = std::clamp(pixels, 1, 256);
  auto it = faces_.find(kind * 4096 + pixels);
  if (it != faces_.end()) return it->second;
  return OpenFace(kind, pixels);
}

const TextBitmap* TextCache::Get(const TFont& font, const std::string& gbk) {
  Face* face = FaceFor(font);
  if (!face->Font) return nullptr;

  // The lookup key: the face (its address is unique while the cache lives)
  // followed by the text; assigned into a reused string, so a hit allocates
  // nothing.
  key_.assign(reinterpret_cast<const char*>(&face), sizeof face);
  key_.push_back(font.Smooth ? 1 : 0);
  key_.append(gbk);
  auto it = entries_.find(key_);
  if (it != entries_.end()) {
    ages_.splice(ages_.begin(), ages_, it->second.Age);
    return &it->second.Bitmap;
  }

  TextBitmap bitmap;
  bitmap.Height = TTF_FontHeight(face->Font);
  std::string utf8 = ToUtf8(gbk, face->Enc);
  if (!utf8.empty()) {
    const SDL_Color white{255, 255, 255, 255};
    TTF_Font* doubled = font.Smooth ? face->DoubleForSmooth() : nullptr;
    SDL_Surface* s = doubled      ? TTF_RenderUTF8_Blended(doubled, utf8.c_str(), white)
                     : font.Smooth ? TTF_RenderUTF8_Blended(face->Font, utf8.c_str(), white)
                                   : TTF_RenderUTF8_Solid(face->Font, utf8.c_str(), white);
    if (s && s->w > 0 && s->h > 0) ReadInk(s, bitmap);
    if (s) SDL_FreeSurface(s);
    if (doubled) Halve(bitmap);
    if (font.Smooth)
      for (uint8_t& cover : bitmap.Ink) cover = Strengthen(cover);
  }
  ++renders_;

  auto [pos, inserted] = entries_.emplace(key_, Entry{std::move(bitmap), {}});
  (void)inserted;
  ages_.push_front(&pos->first);
  pos->second.Age = ages_.begin();
  inkBytes_ += pos->second.Bitmap.Ink.size();
  Evict();
  return &pos->second.Bitmap;
}

void TextCache::Evict() {
  while (entries_.size() > 1 && (entries_.size() > kMaxEntries || inkBytes_ > kMaxInkBytes)) {
    const std::string* oldest = ages_.back();
    ages_.pop_back();
    auto it = entries_.find(*oldest);
    inkBytes_ -= it->second.Bitmap.Ink.size();
    entries_.erase(it);
  }
}

int TextCache::EstimateWidth(const TFont& font, const std::string& gbk) {
  const int h = EstimateHeight(font) - 3;
  int width = 0;
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()) {
      width += h;
      ++i;
    } else {
      width += (h + 1) / 2;
    }
  }
  return width;
}

int TextCache::EstimateHeight(const TFont& font) {
  const int pixels = font.Height == 0 ? 12 : std::clamp(std::abs(font.Height), 1, 256);
  return pixels + 3;
}

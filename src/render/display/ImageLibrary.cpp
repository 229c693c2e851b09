// Image-library files: header, then one record per image with its pixels
// run-length encoded. Every field is read explicitly as little-endian; every
// size is checked against fixed limits and against the bytes left in the file
// before anything is allocated. See docs/image-library.md.
#include "ImageLibrary.h"

#include <algorithm>
#include <span>

#include "FileIo.h"

namespace {

constexpr unsigned char kMagic[4] = {'S', 'K', 'I', 'L'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kMaxImages = 4096;
constexpr int kMaxNameLength = 63;
constexpr int kMaxSide = 4096;           // frame width and height
constexpr int kMaxFrames = 1024;
constexpr uint64_t kMaxImagePixels = 4u << 20;    // 16 MiB of pixel data per image
constexpr uint64_t kMaxTotalPixels = 16u << 20;   // 64 MiB of pixel data per library
constexpr uint64_t kMaxFileBytes = 80u << 20;     // room for 16 Mi pixels stored raw
constexpr int kMaxRun = 128;             // pixels per packet

bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > static_cast<size_t>(kMaxNameLength)) return false;
  for (unsigned char c : name)
    if (c < 0x21 || c > 0x7E) return false;
  return true;
}

// Bounds-checked little-endian reader over the file's bytes.
class Reader {
 public:
  explicit Reader(const std::vector<unsigned char>& data) : data_(data) {}
  size_t Left() const { return data_.size() - pos_; }
  bool Bytes(void* dst, size_t n) {
    if (n > Left()) return false;
    for (size_t i = 0; i < n; ++i) static_cast<unsigned char*>(dst)[i] = data_[pos_ + i];
    pos_ += n;
    return true;
  }
  bool U8(uint32_t& v) {
    if (Left() < 1) return false;
    v = data_[pos_++];
    return true;
  }
  bool U16(uint32_t& v) {
    if (Left() < 2) return false;
    v = data_[pos_] | (data_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
  }
  bool U32(uint32_t& v) {
    if (Left() < 4) return false;
    v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
        (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
        (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return true;
  }
  const unsigned char* Here() const { return data_.data() + pos_; }
  void Skip(size_t n) { pos_ += n; }

 private:
  const std::vector<unsigned char>& data_;
  size_t pos_ = 0;
};

void PutU16(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back(v & 255);
  out.push_back((v >> 8) & 255);
}
void PutU32(std::vector<unsigned char>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 255);
}

uint32_t PixelAt(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Packets: a control byte c; c >= 128 repeats the following pixel c - 127
// times, c < 128 is followed by c + 1 literal pixels. Pixels are 4 bytes.
void Encode(const std::vector<uint32_t>& px, std::vector<unsigned char>& out) {
  size_t i = 0;
  const size_t n = px.size();
  while (i < n) {
    size_t run = 1;
    while (i + run < n && run < kMaxRun && px[i + run] == px[i]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<unsigned char>(127 + run));
      PutU32(out, px[i]);
      i += run;
      continue;
    }
    // Literal stretch up to the next pair of equal pixels.
    size_t lit = 1;
    while (i + lit < n && lit < kMaxRun &&
           !(i + lit + 1 < n && px[i + lit] == px[i + lit + 1]))
      ++lit;
    out.push_back(static_cast<unsigned char>(lit - 1));
    for (size_t k = 0; k < lit; ++k) PutU32(out, px[i + k]);
    i += lit;
  }
}

// Walks the packets of an image of n pixels, handing each to
// put(first pixel, count, its bytes, repeated); false unless they are
// complete and give exactly n pixels.
template <class Put>
bool Walk(const unsigned char* src, size_t len, size_t n, Put put) {
  size_t pos = 0, o = 0;
  while (pos < len) {
    const unsigned c = src[pos++];
    const size_t count = c >= 128 ? c - 127 : c + 1;
    if (count > n - o) return false;
    const size_t bytes = c >= 128 ? 4 : 4 * count;
    if (len - pos < bytes) return false;
    put(o, count, src + pos, c >= 128);
    pos += bytes;
    o += count;
  }
  return o == n;
}

bool Decode(const unsigned char* src, size_t len, std::vector<uint32_t>& px) {
  return Walk(src, len, px.size(), [&](size_t o, size_t count, const unsigned char* p, bool repeat) {
    if (repeat) {
      std::fill_n(px.begin() + static_cast<std::ptrdiff_t>(o), count, PixelAt(p));
    } else {
      for (size_t k = 0; k < count; ++k, p += 4) px[o + k] = PixelAt(p);
    }
  });
}

}  // namespace

namespace {

// The reader of both entry points: every image checked; with `only`, just
// the image of that name is kept.
bool ReadLibrary(const std::string& path, std::vector<LibraryImage>& out, std::string& error,
                 TUnpack unpack, const std::string* only) {
  // The reader never blocks (a pipe in the file's place is refused, not
  // waited on) and reads at most one byte more than a library may hold.
  std::vector<unsigned char> data;
  std::string why;
  switch (ReadFilePrefix(path, kMaxFileBytes + 1, data, &why)) {
    case TReadResult::Missing:
      error = path + ": cannot open (no such file)";
      return false;
    case TReadResult::Unreadable:
      error = path + ": " + why;
      return false;
    case TReadResult::Ok:
      break;
  }
  if (data.size() > kMaxFileBytes) {
    error = path + ": file too large";
    return false;
  }

  Reader r(data);
  unsigned char magic[4];
  uint32_t version = 0, count = 0;
  if (!r.Bytes(magic, 4) || !std::equal(magic, magic + 4, kMagic)) {
    error = path + ": not an image library (bad magic)";
    return false;
  }
  if (!r.U32(version) || version != kVersion) {
    error = path + ": unsupported image library version";
    return false;
  }
  if (!r.U32(count) || count > kMaxImages) {
    error = path + ": bad image count";
    return false;
  }
  uint64_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const std::string where = path + ": image " + std::to_string(i) + ": ";
    uint32_t nameLen = 0, w = 0, h = 0, frames = 0, encLen = 0;
    if (!r.U8(nameLen) || nameLen == 0 || nameLen > static_cast<uint32_t>(kMaxNameLength) ||
        r.Left() < nameLen) {
      error = where + "bad or truncated name";
      return false;
    }
    LibraryImage img;
    img.Name.assign(reinterpret_cast<const char*>(r.Here()), nameLen);
    r.Skip(nameLen);
    if (!ValidName(img.Name)) {
      error = where + "name has characters outside printable ASCII";
      return false;
    }
    if (!r.U16(w) || !r.U16(h) || !r.U16(frames) || !r.U32(encLen)) {
      error = where + "truncated header";
      return false;
    }
    if (w == 0 || h == 0 || frames == 0 || w > static_cast<uint32_t>(kMaxSide) ||
        h > static_cast<uint32_t>(kMaxSide) || frames > static_cast<uint32_t>(kMaxFrames)) {
      error = where + "frame size or count out of range";
      return false;
    }
    const uint64_t pixels = static_cast<uint64_t>(w) * h * frames;
    if (pixels > kMaxImagePixels || total + pixels > kMaxTotalPixels) {
      error = where + "too many pixels";
      return false;
    }
    if (encLen > r.Left()) {
      error = where + "truncated pixel data";
      return false;
    }
    // Each 5-byte packet yields at most kMaxRun pixels: a claim beyond that
    // cannot be honest and is refused before allocating.
    if (pixels > (static_cast<uint64_t>(encLen) / 5 + 1) * kMaxRun) {
      error = where + "pixel data too short for its size";
      return false;
    }
    img.FrameWidth = static_cast<int>(w);
    img.FrameHeight = static_cast<int>(h);
    img.FrameCount = static_cast<int>(frames);
    const bool kept = !only || img.Name == *only;
    bool whole = false;
    if (!kept) {
      whole = Walk(r.Here(), encLen, static_cast<size_t>(pixels),
                   [](size_t, size_t, const unsigned char*, bool) {});
    } else if (unpack == TUnpack::Now) {
      img.Pixels.assign(static_cast<size_t>(pixels), 0);
      whole = Decode(r.Here(), encLen, img.Pixels);
    } else {
      whole = Walk(r.Here(), encLen, static_cast<size_t>(pixels),
                   [](size_t, size_t, const unsigned char*, bool) {});
      if (whole) img.Packed.assign(r.Here(), r.Here() + encLen);
    }
    if (!whole) {
      error = where + "corrupt pixel data";
      return false;
    }
    r.Skip(encLen);
    total += pixels;
    if (kept) out.push_back(std::move(img));
  }
  if (r.Left() != 0) {
    error = path + ": trailing bytes after the last image";
    return false;
  }
  return true;
}

}  // namespace

bool ReadImageLibrary(const std::string& path, std::vector<LibraryImage>& out, std::string& error,
                      TUnpack unpack) {
  return ReadLibrary(path, out, error, unpack, nullptr);
}

bool ReadLibraryImage(const std::string& path, const std::string& name, LibraryImage& out,
                      std::string& error) {
  std::vector<LibraryImage> found;
  if (!ReadLibrary(path, found, error, TUnpack::Now, &name)) return false;
  if (found.empty()) {
    error = path + ": no image called " + name;
    return false;
  }
  out = std::move(found.front());
  return true;
}

void UnpackImage(LibraryImage& image) {
  if (image.Packed.empty()) return;
  image.Pixels.assign(static_cast<size_t>(image.FrameWidth) * image.FrameHeight * image.FrameCount, 0);
  Decode(image.Packed.data(), image.Packed.size(), image.Pixels);
  std::vector<unsigned char>().swap(image.Packed);
}

bool WriteImageLibrary(const std::string& path, const std::vector<LibraryImage>& images,
                       std::string& error) {
  if (images.size() > kMaxImages) {
    error = "too many images";
    return false;
  }
  std::vector<unsigned char> out(kMagic, kMagic + 4);
  PutU32(out, kVersion);
  PutU32(out, static_cast<uint32_t>(images.size()));
  uint64_t total = 0;
  for (const LibraryImage& img : images) {
    if (!ValidName(img.Name)) {
      error = "invalid image name \"" + img.Name + "\"";
      return false;
    }
    if (img.FrameWidth < 1 || img.FrameHeight < 1 || img.FrameCount < 1 ||
        img.FrameWidth > kMaxSide || img.FrameHeight > kMaxSide || img.FrameCount > kMaxFrames) {
      error = img.Name + ": frame size or count out of range";
      return false;
    }
    const uint64_t pixels =
        static_cast<uint64_t>(img.FrameWidth) * img.FrameHeight * img.FrameCount;
    total += pixels;
    if (pixels > kMaxImagePixels || total > kMaxTotalPixels || img.Pixels.size() != pixels) {
      error = img.Name + ": pixel count does not match its size or exceeds the limits";
      return false;
    }
    out.push_back(static_cast<unsigned char>(img.Name.size()));
    out.insert(out.end(), img.Name.begin(), img.Name.end());
    PutU16(out, img.FrameWidth);
    PutU16(out, img.FrameHeight);
    PutU16(out, img.FrameCount);
    std::vector<unsigned char> enc;
    Encode(img.Pixels, enc);
    PutU32(out, static_cast<uint32_t>(enc.size()));
    out.insert(out.end(), enc.begin(), enc.end());
  }

  std::string why;
  if (!WriteFileAtomic(path, std::span<const uint8_t>(out.data(), out.size()), &why)) {
    error = why;
    return false;
  }
  return true;
}

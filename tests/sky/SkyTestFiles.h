// Helpers of the sky tests: a temporary folder per test, files written and
// read as raw bytes, and little-endian field reads done by plain offset
// arithmetic (independent of the program's own record readers).
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TTempFolder {
 public:
  TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skyloom-sky-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TTempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

namespace Raw {
inline int32_t Int(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int32_t>(static_cast<uint32_t>(b.at(at)) | static_cast<uint32_t>(b.at(at + 1)) << 8 |
                              static_cast<uint32_t>(b.at(at + 2)) << 16 |
                              static_cast<uint32_t>(b.at(at + 3)) << 24);
}
inline double Double(const std::vector<uint8_t>& b, size_t at) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | b.at(at + static_cast<size_t>(i));
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}
// The text of a short string: length byte, then that many bytes.
inline std::string Str(const std::vector<uint8_t>& b, size_t at) {
  return std::string(reinterpret_cast<const char*>(&b.at(at + 1)), b.at(at));
}
inline void PutInt(std::vector<uint8_t>& b, size_t at, int32_t v) {
  for (size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}
inline void PutDouble(std::vector<uint8_t>& b, size_t at, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  for (size_t i = 0; i < 8; ++i) b.at(at + i) = static_cast<uint8_t>(bits >> (8 * i));
}
inline void PutStr(std::vector<uint8_t>& b, size_t at, const std::string& s) {
  b.at(at) = static_cast<uint8_t>(s.size());
  std::memcpy(&b.at(at + 1), s.data(), s.size());
}
}  // namespace Raw

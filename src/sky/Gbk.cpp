#include "Gbk.h"

#include <iconv.h>

#include <cerrno>

namespace {

// Converts with iconv; on an invalid or unconvertible sequence writes '?',
// skips one input byte (or one UTF-8 character) and resets the state.
std::string Convert(const char* to, const char* from, std::string_view in, bool utf8Input,
                    bool* ok) {
  if (ok) *ok = true;
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (ok) *ok = false;
    return std::string(in);
  }
  out.reserve(in.size() * 2 + 4);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buf[512];
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, static_cast<size_t>(dst - buf));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace what cannot be converted.
      if (ok) *ok = false;
      out.push_back('?');
      size_t skip = 1;
      if (utf8Input) {
        unsigned char c = static_cast<unsigned char>(*src);
        skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (skip > srcLeft) skip = srcLeft;
      }
      src += skip;
      srcLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  bool asciiOnly = true;
  for (char c : gbk)
    if (static_cast<unsigned char>(c) >= 0x80) asciiOnly = false;
  if (asciiOnly) return std::string(gbk);
  return Convert("UTF-8", "GBK", gbk, false, nullptr);
}

std::string Utf8ToGbk(std::string_view utf8, bool* ok) {
  bool asciiOnly = true;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) asciiOnly = false;
  if (asciiOnly) {
    if (ok) *ok = true;
    return std::string(utf8);
  }
  return Convert("GBK", "UTF-8", utf8, true, ok);
}

std::string Trim(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  size_t a = 0, b = text.size();
  while (a < b && blank(text[a])) ++a;
  while (b > a && blank(text[b - 1])) --b;
  return std::string(text.substr(a, b - a));
}

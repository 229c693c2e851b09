#include "VideoFormat.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

}  // namespace

bool ParseVideoQuality(const std::string& text, TVideoQuality& out) {
  const std::string t = Lower(text);
  if (t == "low") out = TVideoQuality::Low;
  else if (t == "normal") out = TVideoQuality::Normal;
  else if (t == "high") out = TVideoQuality::High;
  else return false;
  return true;
}

bool VideoContainerOf(const std::string& path, TVideoContainer& out) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  const std::string ext = Lower(path.substr(dot + 1));
  if (ext == "mp4") out = TVideoContainer::Mp4;
  else if (ext == "mkv") out = TVideoContainer::Mkv;
  else if (ext == "webm") out = TVideoContainer::WebM;
  else return false;
  return true;
}

#include "Story.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "FileIo.h"
#include "SkyModel.h"

namespace {

// The line starting at `pos` (without its LF and a CR before it), cut to
// MaxStoryLine bytes; `pos` moves past its line end. False at the end.
bool NextLine(const std::vector<uint8_t>& bytes, size_t& pos, std::string& line) {
  if (pos >= bytes.size()) return false;
  const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(pos);
  const auto lf = std::find(begin, bytes.end(), '\n');
  size_t length = static_cast<size_t>(lf - begin);
  pos += length + 1;
  if (length && *(begin + static_cast<std::ptrdiff_t>(length) - 1) == '\r') --length;
  line.assign(begin, begin + static_cast<std::ptrdiff_t>(std::min(length, MaxStoryLine)));
  return true;
}

}  // namespace

TStoryPair ReadStoryPair(const std::string& path, long long n) {
  TStoryPair pair;
  std::vector<uint8_t> bytes;
  std::string why;
  if (ReadWholeFile(path, MaxStoryBytes, bytes, &why) != TReadResult::Ok) {
    ReportFile(path, "cannot be read; no story shown", why);
    return pair;
  }
  // Numbers beyond any file (or below 1) match no line: the last line is given.
  const long long wanted = n > 0 && n < (1LL << 40) ? 2 * n - 1 : -1;
  long long i = 0;
  size_t pos = 0;
  std::string line;
  while (NextLine(bytes, pos, line)) {
    pair.First = line;
    ++i;
    if (i == wanted) {
      if (NextLine(bytes, pos, line)) pair.Second = line;
      break;
    }
  }
  return pair;
}

void TSkyloom::LoadStory(int n) {
  TStoryPair pair = ReadStoryPair(StoryFileName, n);
  StoryTitle = std::move(pair.First);
  StoryText = std::move(pair.Second);
}

#include "Story.h"

#include <cstdio>

#include "FileIo.h"
#include "SkyModel.h"

namespace {

// Reads one line (without its LF and a CR before it) into `line`; false at
// end of file with nothing read.
bool ReadLine(std::FILE* f, std::string& line) {
  line.clear();
  int c;
  bool any = false;
  while ((c = std::getc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line.size() < MaxStoryLine + 1) line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > MaxStoryLine) line.resize(MaxStoryLine);
  return any;
}

}  // namespace

TStoryPair ReadStoryPair(const std::string& path, long long n) {
  TStoryPair pair;
  std::string why;
  std::FILE* f = OpenRegularFile(path, nullptr, &why);
  if (!f) {
    std::fprintf(stderr, "skyloom: cannot read the stories %s: %s; no story shown\n", path.c_str(),
                 why.c_str());
    return pair;
  }
  const long long wanted = 2 * n - 1;
  long long i = 0;
  std::string line;
  while (ReadLine(f, line)) {
    pair.First = line;
    ++i;
    if (i == wanted) {
      if (ReadLine(f, line)) pair.Second = line;
      break;
    }
  }
  if (std::ferror(f))
    std::fprintf(stderr, "skyloom: error while reading the stories %s\n", path.c_str());
  std::fclose(f);
  return pair;
}

void TSkyloom::LoadStory(int n) {
  TStoryPair pair = ReadStoryPair(StoryFileName, n);
  StoryTitle = std::move(pair.First);
  StoryText = std::move(pair.Second);
}

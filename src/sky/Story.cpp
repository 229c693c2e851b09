#include "Story.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "SkyModel.h"

namespace {

// Opens a regular file for reading. The open does not block, so that a pipe
// or device in the file's place cannot hang the program; anything but a
// regular file fails with errno set.
std::FILE* OpenRegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = error;
    return nullptr;
  }
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) ::close(fd);
  return f;
}

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
  std::FILE* f = OpenRegularFile(path);
  if (!f) {
    std::fprintf(stderr, "skyloom: cannot read the stories %s: %s; no story shown\n", path.c_str(),
                 std::strerror(errno));
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

#include "FuzzFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

struct TFolder {
  std::string Path;
  TFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skyloom-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data())) Path = pattern;
    else std::abort();
  }
  ~TFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
};

}  // namespace

const std::string& FuzzFolder() {
  static TFolder folder;
  return folder.Path;
}

std::string FuzzInputFile(const uint8_t* data, size_t size, const std::string& name) {
  const std::string path = FuzzFolder() + "/" + name;
  // Plain writes: the input is thrown away after one run, so the atomic
  // writer's flush to disk would only slow the fuzzing down.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  return path;
}

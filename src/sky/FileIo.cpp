#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The descriptor of a regular file opened for reading without blocking, or
// -1 with the reason in `result` and `error`.
int OpenRegularFd(const std::string& path, TReadResult& result, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      result = TReadResult::Missing;
      if (error) *error = "no such file";
    } else {
      result = TReadResult::Unreadable;
      if (error) *error = std::strerror(errno);
    }
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result = TReadResult::Unreadable;
    if (error) *error = S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file";
    ::close(fd);
    return -1;
  }
  result = TReadResult::Ok;
  return fd;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, TReadResult* result, std::string* error) {
  TReadResult r;
  const int fd = OpenRegularFd(path, r, error);
  if (result) *result = r;
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) {
    if (result) *result = TReadResult::Unreadable;
    if (error) *error = std::strerror(errno);
    ::close(fd);
  }
  return f;
}

TReadResult ReadFilePrefix(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                           std::string* error) {
  out.clear();
  TReadResult opened;
  const int fd = OpenRegularFd(path, opened, error);
  if (fd < 0) return opened;
  const size_t chunk = 65536;
  while (out.size() < maxBytes) {
    const size_t want = std::min(chunk, maxBytes - out.size());
    const size_t old = out.size();
    out.resize(old + want);
    ssize_t n = ::read(fd, out.data() + old, want);
    if (n < 0) {
      if (errno == EINTR) {
        out.resize(old);
        continue;
      }
      if (error) *error = std::strerror(errno);
      ::close(fd);
      out.resize(old);
      return TReadResult::Unreadable;
    }
    out.resize(old + static_cast<size_t>(n));
    if (n == 0) break;
  }
  ::close(fd);
  return TReadResult::Ok;
}

bool WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes, std::string* error) {
  const std::string tmp = path + ".tmp-" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (error) *error = tmp + ": " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  const int savedErrno = errno;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) {
    if (error) *error = path + ": " + std::strerror(errno ? errno : savedErrno);
    ::unlink(tmp.c_str());
  }
  return ok;
}

bool WriteFileAtomic(const std::string& path, const std::string& text, std::string* error) {
  return WriteFileAtomic(
      path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
      error);
}

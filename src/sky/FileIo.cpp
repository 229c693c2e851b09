#include "FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string KindReason(mode_t mode) {
  return S_ISDIR(mode) ? "is a folder" : "not a regular file";
}

// The descriptor of a regular file opened for reading without blocking, or
// -1 with the reason in `result` and `error`. `size` receives its size.
int OpenRegularFd(const std::string& path, TReadResult& result, std::string* error,
                  uint64_t* size = nullptr) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
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
    if (error) *error = KindReason(st.st_mode);
    ::close(fd);
    return -1;
  }
  // A regular file never blocks; reads go back to the ordinary mode.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (size) *size = static_cast<uint64_t>(st.st_size);
  result = TReadResult::Ok;
  return fd;
}

std::string TempPrefix(const std::string& path) { return path + ".tmp-"; }

}  // namespace

bool IsRegularFile(const std::string& path, std::string* why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (why) *why = errno == ENOENT || errno == ENOTDIR ? "no such file" : std::strerror(errno);
    return false;
  }
  if (S_ISREG(st.st_mode)) return true;
  if (why) *why = KindReason(st.st_mode);
  return false;
}

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
                           std::string* error, uint64_t* fileSize) {
  out.clear();
  TReadResult opened;
  uint64_t size = 0;
  const int fd = OpenRegularFd(path, opened, error, &size);
  if (fileSize) *fileSize = size;
  if (fd < 0) return opened;
  // The size is known before reading: room for what the file holds (up to
  // the bound) is made once. A file that grows while read stops at the bound.
  out.reserve(static_cast<size_t>(std::min<uint64_t>(size, maxBytes)));
  const size_t chunk = 65536;
  while (out.size() < maxBytes) {
    const size_t want = std::min(chunk, maxBytes - out.size());
    const size_t old = out.size();
    out.resize(old + want);
    const ssize_t n = ::read(fd, out.data() + old, want);
    if (n < 0) {
      out.resize(old);
      if (errno == EINTR) continue;
      if (error) *error = std::strerror(errno);
      ::close(fd);
      return TReadResult::Unreadable;
    }
    out.resize(old + static_cast<size_t>(n));
    if (n == 0) break;
  }
  ::close(fd);
  return TReadResult::Ok;
}

TReadResult ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                          std::string* error) {
  uint64_t size = 0;
  const TReadResult r = ReadFilePrefix(path, maxBytes + 1, out, error, &size);
  if (r != TReadResult::Ok) return r;
  if (out.size() > maxBytes || size > maxBytes) {
    out.clear();
    out.shrink_to_fit();
    if (error) *error = "larger than " + std::to_string(maxBytes) + " bytes";
    return TReadResult::Unreadable;
  }
  return TReadResult::Ok;
}

bool ReadTextFile(const std::string& path, size_t maxBytes, std::string& text,
                  std::string* error) {
  std::vector<uint8_t> bytes;
  const bool ok = ReadWholeFile(path, maxBytes, bytes, error) == TReadResult::Ok;
  text.assign(bytes.begin(), bytes.end());
  return ok;
}

int RemoveStaleTemporaries(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  const std::string prefix =
      TempPrefix(slash == std::string::npos ? path : path.substr(slash + 1));
  DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    const long pid = std::strtol(digits.c_str(), nullptr, 10);
    if (pid == ::getpid()) continue;
    // A writer still running may be about to rename its file.
    if (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) continue;
    if (::unlink((folder + "/" + name).c_str()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

bool WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes, std::string* error) {
  // Only a regular file (or a new name) is replaced: the rename would put
  // the new file in place of a device, pipe, socket or link, whatever it is.
  struct stat target {};
  if (::lstat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
    if (error)
      *error = S_ISLNK(target.st_mode) ? "a symbolic link, not replaced"
               : S_ISDIR(target.st_mode) ? "is a folder"
                                         : "not a regular file, not replaced";
    return false;
  }
  RemoveStaleTemporaries(path);
  const std::string tmp = TempPrefix(path) + std::to_string(::getpid());
  // The temporary is made anew: a file or link planted under its name is
  // never written through. What lies there is not ours to keep (a leftover
  // of this process id), so its name is freed once and the make retried.
  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW;
  int fd = ::open(tmp.c_str(), flags, 0644);
  if (fd < 0 && errno == EEXIST && ::unlink(tmp.c_str()) == 0) fd = ::open(tmp.c_str(), flags, 0644);
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  int failure = 0;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failure = errno;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (!failure && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && !failure) failure = errno;
  if (!failure && ::rename(tmp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure) {
    if (error) *error = std::strerror(failure);
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

bool WriteFileAtomic(const std::string& path, const std::string& text, std::string* error) {
  return WriteFileAtomic(
      path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
      error);
}

bool TAtomicFileWriter::Open(const std::string& path, std::string* error) {
  Abandon();
  RemoveStaleTemporaries(path);
  path_ = path;
  tmp_ = TempPrefix(path) + std::to_string(::getpid());
  fd_ = ::open(tmp_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd_ < 0) {
    if (error) *error = std::strerror(errno);
    tmp_.clear();
    return false;
  }
  return true;
}

bool TAtomicFileWriter::Write(const void* bytes, size_t size, std::string* error) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd_, p + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = std::strerror(errno);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool TAtomicFileWriter::Commit(std::string* error) {
  if (fd_ < 0) {
    if (error) *error = "not open";
    return false;
  }
  int failure = 0;
  if (::fsync(fd_) != 0) failure = errno;
  if (::close(fd_) != 0 && !failure) failure = errno;
  fd_ = -1;
  if (!failure && ::rename(tmp_.c_str(), path_.c_str()) != 0) failure = errno;
  if (failure) {
    if (error) *error = std::strerror(failure);
    ::unlink(tmp_.c_str());
    tmp_.clear();
    return false;
  }
  tmp_.clear();
  return true;
}

void TAtomicFileWriter::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tmp_.empty()) ::unlink(tmp_.c_str());
  tmp_.clear();
}

std::string FileMessage(const std::string& file, const std::string& what,
                        const std::string& reason, const char* program) {
  std::string m = std::string(program) + ": ";
  if (!file.empty()) m += file + ": ";
  m += what;
  if (!reason.empty()) m += " (" + reason + ")";
  return m;
}

void ReportFile(const std::string& file, const std::string& what, const std::string& reason,
                const char* program) {
  Report({file, what, reason}, program);
}

void Report(const TFileError& error, const char* program) {
  if (error) std::fprintf(stderr, "%s\n", error.Message(program).c_str());
}

#include "RunFolder.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Removes the plain entries of a folder of ours, then the folder; links are
// removed, never followed.
void RemoveFolder(const std::string& path) {
  if (DIR* d = ::opendir(path.c_str())) {
    while (dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      ::unlink((path + "/" + e->d_name).c_str());
    }
    ::closedir(d);
  }
  ::rmdir(path.c_str());
}

std::string TempBase() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && tmp[0] == '/' ? tmp : "/tmp";
}

}  // namespace

int TRunFolder::RemoveStale() {
  const std::string base = TempBase();
  DIR* dir = ::opendir(base.c_str());
  if (!dir) return 0;
  int removed = 0;
  const std::string prefix = "skyloom-";
  while (const dirent* e = ::readdir(dir)) {
    // "skyloom-<pid>-XXXXXX": the process id of the run that made it.
    const std::string name = e->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const size_t dash = name.find('-', prefix.size());
    if (dash == std::string::npos || name.size() != dash + 7) continue;
    const std::string digits = name.substr(prefix.size(), dash - prefix.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      continue;
    const long pid = std::strtol(digits.c_str(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) continue;  // still running
    // Only a private folder of this user, never a link or another's folder.
    const std::string path = base + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & 077) != 0)
      continue;
    RemoveFolder(path);
    if (::lstat(path.c_str(), &st) != 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

const std::string& TRunFolder::Path(std::string* error) {
  if (!path_.empty()) return path_;
  RemoveStale();
  std::string base = TempBase();
  std::string pattern = base + "/skyloom-" + std::to_string(::getpid()) + "-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) {
    if (error) *error = base + ": cannot make a private folder (" + std::strerror(errno) + ")";
    return path_;
  }
  struct stat st {};
  if (::lstat(buf.data(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
      (st.st_mode & 077) != 0) {
    if (error) *error = std::string(buf.data()) + ": the private folder is not private";
    ::rmdir(buf.data());
    return path_;
  }
  path_ = buf.data();
  return path_;
}

TRunFolder::~TRunFolder() {
  if (path_.empty()) return;
  // Only plain entries of our own making lie here.
  RemoveFolder(path_);
}

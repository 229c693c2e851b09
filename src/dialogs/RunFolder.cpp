#include "RunFolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

const std::string& TRunFolder::Path(std::string* error) {
  if (!path_.empty()) return path_;
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp && tmp[0] == '/' ? tmp : "/tmp";
  std::string pattern = base + "/skyloom-XXXXXX";
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
  // Only plain entries of our own making lie here; links are removed, never
  // followed.
  if (DIR* d = ::opendir(path_.c_str())) {
    while (dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      ::unlink((path_ + "/" + e->d_name).c_str());
    }
    ::closedir(d);
  }
  ::rmdir(path_.c_str());
}

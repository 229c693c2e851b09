// The private folder of one run for temporary files: made fresh (mode 0700,
// owned by the user) under $TMPDIR or /tmp, checked after it is made, and
// removed with what it holds when the run ends (or by a later run, when this
// one died first). Nobody else can put a file
// or a link into it, so a file written there cannot be replaced or
// redirected by another user.
#pragma once

#include <string>

class TRunFolder {
 public:
  TRunFolder() = default;
  ~TRunFolder();
  TRunFolder(const TRunFolder&) = delete;
  TRunFolder& operator=(const TRunFolder&) = delete;

  // Makes the folder once ("skyloom-<pid>-XXXXXX"); later calls return the
  // same path. Empty (with `error`) when it cannot be made. Folders of runs
  // that ended without removing theirs (a crash, a kill) are removed first.
  const std::string& Path(std::string* error = nullptr);

  // Removes the folders of runs no longer running: private folders of this
  // user named for a process that is gone. Returns the number removed.
  static int RemoveStale();

 private:
  std::string path_;
};

// The private folder of one run for temporary files: made fresh (mode 0700,
// owned by the user) under $TMPDIR or /tmp, checked after it is made, and
// removed with what it holds when the run ends. Nobody else can put a file
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

  // Makes the folder once; later calls return the same path. Empty (with
  // `error`) when it cannot be made.
  const std::string& Path(std::string* error = nullptr);

 private:
  std::string path_;
};

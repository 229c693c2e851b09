// Saving several files as one: each writer writes its file through the one
// atomic writer; when a later writer fails, the files written before it are
// put back as they were (or removed again when they did not exist), so a
// failed save changes none of them.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TSaveStep {
  std::string Path;                                // the file the writer replaces
  std::function<bool(std::string& message)> Write; // false with a message on failure
};

// True when every step wrote its file; otherwise false with the failing
// step's message, and every file is as it was before the call.
bool SaveTogether(const std::vector<TSaveStep>& steps, std::string& message);

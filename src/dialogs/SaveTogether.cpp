#include "SaveTogether.h"

#include <unistd.h>

#include <cstdint>

#include "FileIo.h"

namespace {

constexpr size_t MaxKeptBytes = 16u << 20;  // far beyond the settings and Config.dat

struct TKept {
  bool Existed = false;
  std::vector<uint8_t> Bytes;
};

}  // namespace

bool SaveTogether(const std::vector<TSaveStep>& steps, std::string& message) {
  std::vector<TKept> kept(steps.size());
  for (size_t i = 0; i < steps.size(); ++i) {
    std::string why;
    const TReadResult r = ReadFilePrefix(steps[i].Path, MaxKeptBytes + 1, kept[i].Bytes, &why);
    if (r == TReadResult::Unreadable || kept[i].Bytes.size() > MaxKeptBytes) {
      // A file that cannot be read back could not be restored: write nothing.
      message = "skyloom: " + steps[i].Path + ": cannot read the file before replacing it (" +
                (why.empty() ? std::string("too large") : why) + ")";
      return false;
    }
    kept[i].Existed = r == TReadResult::Ok;
  }
  for (size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].Write(message)) continue;
    for (size_t j = 0; j < i; ++j) {
      if (kept[j].Existed) {
        std::string why;
        if (!WriteFileAtomic(steps[j].Path, kept[j].Bytes, &why))
          message += "; skyloom: " + steps[j].Path + ": could not be put back (" + why + ")";
      } else {
        ::unlink(steps[j].Path.c_str());
      }
    }
    return false;
  }
  return true;
}

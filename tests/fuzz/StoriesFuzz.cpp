// The story reader on any bytes in place of "StoryAll.dat"; the first byte
// picks the constellation asked for (including numbers out of range).
#include "FuzzFiles.h"
#include "Story.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const long long n = size ? static_cast<long long>(static_cast<int8_t>(data[0])) : 1;
  const std::string path = FuzzInputFile(data, size, "StoryAll.dat");
  const TStoryPair pair = ReadStoryPair(path, n);
  if (pair.First.size() > MaxStoryLine || pair.Second.size() > MaxStoryLine) __builtin_trap();
  return 0;
}

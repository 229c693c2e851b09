// Runs a fuzz target's entry once per input, for builds without libFuzzer:
// each argument is an input file or a folder of them.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunOne(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "replay: %s: cannot be read\n", file.string().c_str());
    return 1;
  }
  std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int failures = 0, runs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      std::vector<std::filesystem::path> files;
      for (const auto& e : std::filesystem::directory_iterator(arg))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
      for (const auto& f : files) failures += RunOne(f), ++runs;
    } else {
      failures += RunOne(arg);
      ++runs;
    }
  }
  std::printf("replayed %d inputs\n", runs);
  return failures ? 1 : 0;
}

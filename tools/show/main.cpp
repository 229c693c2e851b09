// skyloom-show: compiles a show source (TOML) into a show file and
// decompiles a show file back into source.
//
//   skyloom-show build FILE.toml -o FILE.shw [--data DIR]
//   skyloom-show dump FILE.shw [--data DIR]
//
// DIR holds the catalogue and city table the names are looked up in
// ("StarData.dat", "CityInfo.dat"); by default the folder of this program.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FileIo.h"
#include "ShowSource.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: skyloom-show build FILE.toml -o FILE.shw [--data DIR]\n"
               "       skyloom-show dump FILE.shw [--data DIR]\n");
  return 2;
}

bool ReadAll(const std::string& path, size_t cap, std::vector<uint8_t>& bytes) {
  std::string error;
  switch (ReadFilePrefix(path, cap + 1, bytes, &error)) {
    case TReadResult::Ok:
      break;
    case TReadResult::Missing:
      std::fprintf(stderr, "skyloom-show: %s: no such file\n", path.c_str());
      return false;
    case TReadResult::Unreadable:
      std::fprintf(stderr, "skyloom-show: %s: cannot read (%s)\n", path.c_str(), error.c_str());
      return false;
  }
  if (bytes.size() > cap) {
    std::fprintf(stderr, "skyloom-show: %s: larger than %zu bytes\n", path.c_str(), cap);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return Usage();
  const std::string verb = args[0], input = args[1];
  std::string output, data;
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) output = args[++i];
    else if (args[i] == "--data" && i + 1 < args.size()) data = args[++i];
    else return Usage();
  }
  if (data.empty()) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    data = (ec ? std::filesystem::path(".") : self.parent_path()).string();
  }
  TShowCatalog catalog;
  std::string error;
  if (!catalog.Open(data, error)) {
    std::fprintf(stderr, "skyloom-show: %s\n", error.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes;
  if (verb == "build") {
    if (output.empty()) return Usage();
    if (!ReadAll(input, 4u << 20, bytes)) return 1;
    TShowImage show;
    TSourceError e;
    if (!CompileShowSource(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()), catalog, show, e)) {
      std::fprintf(stderr, "skyloom-show: %s\n", e.Text(input).c_str());
      return 1;
    }
    if (!WriteFileAtomic(output, ShowImageBytes(show), &error)) {
      std::fprintf(stderr, "skyloom-show: %s: cannot write (%s)\n", output.c_str(), error.c_str());
      return 1;
    }
    return 0;
  }
  if (verb == "dump") {
    if (!output.empty()) return Usage();
    if (!ReadAll(input, MaxShowFileBytes, bytes)) return 1;
    TShowImage show;
    if (!ShowImageFromBytes(bytes, input, show, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
    const std::string text = DecompileShow(show, catalog);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  return Usage();
}

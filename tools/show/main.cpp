// skyloom-show: compiles a show source (TOML) into a show file and
// decompiles a show file back into source.
//
//   skyloom-show build FILE.toml [-o FILE.shw] [--data DIR]
//   skyloom-show dump FILE.shw [--data DIR]
//
// Without -o, build writes NAME.shw into the user's own show folder
// ($XDG_DATA_HOME/skyloom/shows), where the planetarium finds it. DIR holds
// the catalogue and city table the names are looked up in ("StarData.dat",
// "CityInfo.dat"); by default the program's data folder, found as the
// planetarium finds it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "DataFolder.h"
#include "FileIo.h"
#include "ShowSource.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: skyloom-show build FILE.toml [-o FILE.shw] [--data DIR]\n"
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
  std::string error;
  if (data.empty()) {
    data = FindDataFolder(RunningProgramFolder(), error);
    if (data.empty()) {
      std::fprintf(stderr, "skyloom-show: %s\n", error.c_str());
      return 1;
    }
  }
  TShowCatalog catalog;
  if (!catalog.Open(data, error)) {
    std::fprintf(stderr, "skyloom-show: %s\n", error.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes;
  if (verb == "build") {
    if (!ReadAll(input, 4u << 20, bytes)) return 1;
    TShowImage show;
    TSourceError e;
    if (!CompileShowSource(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()), catalog, show, e)) {
      std::fprintf(stderr, "skyloom-show: %s\n", e.Text(input).c_str());
      return 1;
    }
    const bool own = output.empty();
    if (own) {
      const std::string folder = UserShowFolder();
      if (folder.empty()) {
        std::fprintf(stderr,
                     "skyloom-show: %s: no show folder of your own (neither XDG_DATA_HOME nor "
                     "HOME is set; give -o)\n", input.c_str());
        return 1;
      }
      std::error_code ec;
      std::filesystem::create_directories(folder, ec);
      if (ec) {
        std::fprintf(stderr, "skyloom-show: %s: cannot make the folder (%s)\n", folder.c_str(),
                     ec.message().c_str());
        return 1;
      }
      output = (std::filesystem::path(folder) /
                std::filesystem::path(input).stem().concat(ShowExtension)).string();
    }
    if (!WriteFileAtomic(output, ShowImageBytes(show), &error)) {
      std::fprintf(stderr, "skyloom-show: %s: cannot write (%s)\n", output.c_str(), error.c_str());
      return 1;
    }
    // Where an own show went, for the teacher to find it.
    if (own) std::printf("%s\n", output.c_str());
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

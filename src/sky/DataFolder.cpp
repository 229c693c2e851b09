#include "DataFolder.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool HoldsData(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / DataFolderMark, ec);
}

// "/usr/bin/../share/skyloom" -> "/usr/share/skyloom", when it exists.
std::string Tidy(const fs::path& p) {
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(p, ec);
  return (ec ? p.lexically_normal() : canonical).string();
}

}  // namespace

std::string RunningProgramFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}

std::string FindDataFolder(const std::string& programFolder, std::string& error) {
  error.clear();
  const char* named = std::getenv(DataFolderVariable);
  if (named && named[0]) {
    if (HoldsData(named)) return Tidy(named);
    error = (fs::path(named) / DataFolderMark).string() +
            ": the program's data are not there (the folder named by " + DataFolderVariable + ")";
    return {};
  }
  const fs::path program = programFolder.empty() ? fs::path(".") : fs::path(programFolder);
  if (HoldsData(program)) return Tidy(program);
  const fs::path installed = program / ".." / "share" / "skyloom";
  if (HoldsData(installed)) return Tidy(installed);
  error = std::string(DataFolderMark) + ": the program's data are not found (looked in " +
          Tidy(program) + " and " + Tidy(installed) + "; " + DataFolderVariable +
          " may name their folder)";
  return {};
}

std::string UserShowFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/skyloom/shows";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/skyloom/shows";
  return {};
}

#include "RecorderModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>

#include "DataFolder.h"

// The installed module's folder relative to the installed program's.
#ifndef SKYLOOM_RECORDER_RELATIVE_DIR
#define SKYLOOM_RECORDER_RELATIVE_DIR "../lib/skyloom"
#endif

const TRecorderModule* LoadRecorderModule(std::string& error) {
  const std::string program = RunningProgramFolder();
  if (program.empty()) {
    error = "no recorder module: the program's folder is unknown";
    return nullptr;
  }
  const std::string places[] = {
      program + "/" + RecorderModuleFile,
      std::filesystem::path(program + "/" SKYLOOM_RECORDER_RELATIVE_DIR "/" + RecorderModuleFile)
          .lexically_normal()
          .string()};
  std::string looked;
  for (const std::string& path : places) {
    if (access(path.c_str(), F_OK) != 0) {
      looked += (looked.empty() ? "" : " nor ") + path;
      continue;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      error = "the recorder module cannot be loaded: " + std::string(why ? why : path);
      return nullptr;
    }
    using TEntry = const TRecorderModule* (*)();
    auto entry = reinterpret_cast<TEntry>(dlsym(handle, RecorderModuleEntry));
    const TRecorderModule* module = entry ? entry() : nullptr;
    if (!module || module->Version != RecorderModuleVersion) {
      error = "the recorder module " + path + " does not belong to this program";
      return nullptr;
    }
    return module;
  }
  error = "no recorder module " + looked;
  return nullptr;
}

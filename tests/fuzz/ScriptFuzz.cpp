// The script reader on any bytes in place of a script file.
#include <vector>

#include "FuzzFiles.h"
#include "Script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<TScriptStep> steps;
  std::string error;
  ParseScript(std::string(reinterpret_cast<const char*>(data), size), steps, error);
  return 0;
}

// The show decompiler on any bytes in place of a ".shw" file: a show the
// reader takes is written as source; when build takes that source, the show
// it writes dumps and builds again to the same bytes.
#include <span>
#include <string>

#include "ShowSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TShowCatalog* catalog = [] {
    auto* c = new TShowCatalog;
    std::string error;
    if (!c->Open(SKYLOOM_RUNTIME_DIR, error)) __builtin_trap();
    return c;
  }();
  TShowImage show;
  std::string message;
  if (!ShowImageFromBytes(std::span<const uint8_t>(data, size), "fuzz.shw", show, message)) return 0;
  TShowImage built;
  TSourceError error;
  if (!CompileShowSource(DecompileShow(show, *catalog), *catalog, built, error)) return 0;
  const std::vector<uint8_t> bytes = ShowImageBytes(built);
  TShowImage read, again;
  if (!ShowImageFromBytes(bytes, "built.shw", read, message)) __builtin_trap();
  if (!CompileShowSource(DecompileShow(read, *catalog), *catalog, again, error)) __builtin_trap();
  if (ShowImageBytes(again) != bytes) __builtin_trap();
  return 0;
}

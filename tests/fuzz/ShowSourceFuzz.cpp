// The show compiler on any text in place of a show source (TOML): it never
// crashes or exhausts the stack, and what it compiles reads back without a
// repair and survives dump -> build to the same bytes.
#include <string>

#include "ShowSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TShowCatalog* catalog = [] {
    auto* c = new TShowCatalog;
    std::string error;
    if (!c->Open(SKYLOOM_RUNTIME_DIR, error)) __builtin_trap();
    return c;
  }();
  const std::string text(reinterpret_cast<const char*>(data), size);
  TShowImage show;
  TSourceError error;
  if (!CompileShowSource(text, *catalog, show, error)) {
    if (error.Line < 0 || error.Message.empty()) __builtin_trap();
    return 0;
  }
  const std::vector<uint8_t> bytes = ShowImageBytes(show);
  TShowImage read;
  std::string message;
  if (!ShowImageFromBytes(bytes, "fuzz.shw", read, message) || !message.empty()) __builtin_trap();
  TShowImage again;
  if (!CompileShowSource(DecompileShow(read, *catalog), *catalog, again, error)) __builtin_trap();
  if (ShowImageBytes(again) != bytes) __builtin_trap();
  return 0;
}

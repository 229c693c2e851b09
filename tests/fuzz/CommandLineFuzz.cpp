// The command line on any words (the input split at line ends): options are
// taken or refused with a message, never half taken, and what is taken is
// within its range.
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Lecture.h"
#include "Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size && args.size() < 64; ++i) {
    if (data[i] == '\n') args.emplace_back();
    else args.back() += static_cast<char>(data[i]);
  }
  TOptions o;
  std::string error;
  if (!ParseOptions(args, o, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (!error.empty()) __builtin_trap();
  if (o.Zone && (*o.Zone < MinTimeZone || *o.Zone > MaxTimeZone)) __builtin_trap();
  if (o.Month && (*o.Month < 1 || *o.Month > 12)) __builtin_trap();
  if (o.Hour && (*o.Hour < 0 || *o.Hour > 23)) __builtin_trap();
  if (o.LatDeg && !(*o.LatDeg >= -90 && *o.LatDeg <= 90)) __builtin_trap();
  if (o.Select && !((*o.Select >= 0 && *o.Select <= 88) || (*o.Select > 200 && *o.Select <= 600)))
    __builtin_trap();
  if (!o.Show.empty() && !IsShowName(o.Show)) __builtin_trap();
  return 0;
}

// "Config.dat" on any bytes: either the whole file is taken, and writing it
// again gives the same bytes, or every parameter keeps its default.
#include <filesystem>
#include <vector>

#include "FileIo.h"
#include "FuzzFiles.h"
#include "GlobalParams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string dir = FuzzFolder() + "/config";
  std::filesystem::create_directories(dir);
  WriteFileAtomic(dir + "/Config.dat", std::span<const uint8_t>(data, size));
  TParameters params;
  ResetParameters(params);
  if (ReadParameters(params, dir, "")) {
    if (size != ConfigFileSize) __builtin_trap();
    std::vector<uint8_t> again(ConfigFileSize);
    EncodeParameters(params, std::span<uint8_t, ConfigFileSize>(again.data(), ConfigFileSize));
    // Reserved bytes are not kept; every field is.
    std::vector<uint8_t> reread(again);
    std::string error;
    TParameters decoded;
    if (!DecodeParameters(reread, decoded, error) || !(decoded == params)) __builtin_trap();
  } else if (params.MusicOn != 0 || params.FullScreen != 0 || params.KeyTable[0].Key != 'R') {
    __builtin_trap();
  }
  return 0;
}

// The interface-sound loader on any bytes in place of "Click.wav", through
// the dummy audio device.
#include <cstdlib>

#include "FuzzFiles.h"
#include "Sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool init = [] {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    return OpenAudio();
  }();
  (void)init;
  FuzzInputFile(data, size, "Click.wav");
  TDXWaveList waves;
  waves.Load({"Click"}, FuzzFolder());
  waves.Free();
  return 0;
}

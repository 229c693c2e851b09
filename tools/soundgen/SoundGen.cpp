// soundgen OUTPUT_DIR: writes Choose.wav and Click.wav, the two interface
// sounds, into OUTPUT_DIR.
#include <cstdio>
#include <string>

#include "SoundShapes.h"
#include "WavWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: soundgen OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = soundgen::WriteWavMono16(dir + "/Choose.wav", soundgen::MakeChooseSound());
  ok = soundgen::WriteWavMono16(dir + "/Click.wav", soundgen::MakeClickSound()) && ok;
  return ok ? 0 : 1;
}

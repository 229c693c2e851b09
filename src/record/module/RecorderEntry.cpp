// The entry point of the recorder module (RecorderModule.h).
#include "MusicRenderer.h"
#include "VideoEncoder.h"

namespace {

std::unique_ptr<TVideoSink> NewVideo() { return std::make_unique<TVideoEncoder>(); }
std::unique_ptr<TMusicSource> NewMusic() { return std::make_unique<TMusicRenderer>(); }

constexpr TRecorderModule Module{RecorderModuleVersion, &NewVideo, &NewMusic};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TRecorderModule* skyloom_recorder_module() {
  return &Module;
}

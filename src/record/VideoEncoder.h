// TVideoEncoder: the video writer of the recorder module (RecorderModule.h
// says what it does), through the FFmpeg libraries. Containers by the
// target's extension: ".mp4" H.264 + AAC, ".mkv" H.264 + AAC, ".webm"
// VP9 + Opus.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "RecorderModule.h"

class TVideoEncoder final : public TVideoSink {
 public:
  TVideoEncoder();
  ~TVideoEncoder() override;
  TVideoEncoder(const TVideoEncoder&) = delete;
  TVideoEncoder& operator=(const TVideoEncoder&) = delete;

  bool Open(const std::string& path, const TVideoSettings& settings, std::string& error) override;
  bool AddFrame(const uint32_t* argb, int stride, std::string& error) override;
  bool AddSound(const float* left, const float* right, int count, std::string& error) override;
  void AddChapter(int64_t frame, const std::string& title) override;
  bool Finish(std::string& error) override;
  void Abandon() override;
  int64_t Frames() const override;
  uint64_t BytesWritten() const override;

 private:
  struct TState;
  std::unique_ptr<TState> s_;
};

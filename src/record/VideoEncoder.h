// TVideoEncoder: writes a video file from pictures and sound, frame by
// frame, through the FFmpeg libraries. Each picture is one frame of a fixed
// rate; the sound is stereo float samples at the track's rate, given in any
// pieces. The file goes to a temporary name in the target's folder and is
// renamed over the target only by Finish, so a cancelled or failed
// recording leaves nothing behind.
//
// Containers by the target's extension: ".mp4" H.264 + AAC, ".mkv"
// H.264 + AAC, ".webm" VP9 + Opus. Pictures are 0xAARRGGBB words (the
// platform layer's captured stage), any even size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

enum class TVideoQuality { Low, Normal, High };

// Parses "low", "normal" or "high".
bool ParseVideoQuality(const std::string& text, TVideoQuality& out);

enum class TVideoContainer { Mp4, Mkv, WebM };

// The container of a file name by its extension (case ignored); false for
// any other extension.
bool VideoContainerOf(const std::string& path, TVideoContainer& out);

struct TVideoSettings {
  int Width = 800, Height = 600;  // pixels; both even
  int FramesPerSecond = 30;
  int SampleRate = 48000;          // of the sound track (Opus needs 48 kHz)
  TVideoQuality Quality = TVideoQuality::Normal;
};

class TVideoEncoder {
 public:
  TVideoEncoder();
  ~TVideoEncoder();
  TVideoEncoder(const TVideoEncoder&) = delete;
  TVideoEncoder& operator=(const TVideoEncoder&) = delete;

  // Creates the temporary file and starts both streams. False with the
  // reason alone in `error` (the caller names the file).
  bool Open(const std::string& path, const TVideoSettings& settings, std::string& error);
  // The next frame: Width x Height words, `stride` words from row to row.
  bool AddFrame(const uint32_t* argb, int stride, std::string& error);
  // The next `count` samples of the sound track (two planes).
  bool AddSound(const float* left, const float* right, int count, std::string& error);
  // A chapter starting at frame `frame` (a show's page), ending where the
  // next one starts or at the end; `title` is UTF-8.
  void AddChapter(int64_t frame, const std::string& title);
  // Drains the encoders, completes the file and renames it over the target.
  bool Finish(std::string& error);
  // Drops everything written; the target is untouched.
  void Abandon();

  int64_t Frames() const;
  uint64_t BytesWritten() const;

 private:
  struct TState;
  std::unique_ptr<TState> s_;
};

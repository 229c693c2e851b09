// The recorder's encoding half: the video writer (the FFmpeg libraries) and
// the music renderer (FluidSynth) live in a module of their own,
// skyloom-recorder.so, which the program loads only when it records. A
// program that shows the sky then starts without loading those libraries
// and their dependencies (most of the shared libraries it would load).
//
// The module lies beside the program (the build's runtime folder) or in the
// installation's library folder (<prefix>/lib.../skyloom); it is built from
// the same sources as the program, so the interface below is shared as C++.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "VideoFormat.h"

// Writes a video file from pictures and sound, frame by frame. Each picture
// is one frame of a fixed rate; the sound is stereo float samples at the
// track's rate, given in any pieces. The file goes to a temporary name in
// the target's folder and is renamed over the target only by Finish, so a
// cancelled or failed recording leaves nothing behind. Pictures are
// 0xAARRGGBB words (the platform layer's captured stage), any even size.
class TVideoSink {
 public:
  virtual ~TVideoSink() = default;
  // Creates the temporary file and starts both streams. False with the
  // reason alone in `error` (the caller names the file).
  virtual bool Open(const std::string& path, const TVideoSettings& settings,
                    std::string& error) = 0;
  // The next frame: Width x Height words, `stride` words from row to row.
  virtual bool AddFrame(const uint32_t* argb, int stride, std::string& error) = 0;
  // The next `count` samples of the sound track (two planes).
  virtual bool AddSound(const float* left, const float* right, int count, std::string& error) = 0;
  // A chapter starting at frame `frame` (a show's page), ending where the
  // next one starts or at the end; `title` is UTF-8.
  virtual void AddChapter(int64_t frame, const std::string& title) = 0;
  // Drains the encoders, completes the file and renames it over the target.
  virtual bool Finish(std::string& error) = 0;
  // Drops everything written; the target is untouched.
  virtual void Abandon() = 0;
  virtual int64_t Frames() const = 0;
  virtual uint64_t BytesWritten() const = 0;
};

// The background music as samples, for a video's sound track; the piece
// starts again when it ends.
class TMusicSource {
 public:
  virtual ~TMusicSource() = default;
  // Loads the soundfont and the piece (the bytes of a MIDI file already
  // checked by the caller). False with the reason in `error`; the source
  // then gives silence.
  virtual bool Load(const std::string& soundFont, const std::vector<unsigned char>& midi,
                    int sampleRate, std::string& error) = 0;
  virtual bool Loaded() const = 0;
  // Starts the piece from its beginning (the music switched on).
  virtual void Restart() = 0;
  // The next `count` samples of each channel; silence when nothing is loaded
  // or `playing` is false.
  virtual void Render(float* left, float* right, int count, bool playing) = 0;
};

// What the module gives through its one entry point.
struct TRecorderModule {
  int Version;  // RecorderModuleVersion of the module's build
  std::unique_ptr<TVideoSink> (*NewVideo)();
  std::unique_ptr<TMusicSource> (*NewMusic)();
};

inline constexpr int RecorderModuleVersion = 1;
inline constexpr char RecorderModuleFile[] = "skyloom-recorder.so";
// The module's entry point: extern "C" const TRecorderModule* NAME().
inline constexpr char RecorderModuleEntry[] = "skyloom_recorder_module";

// Loads the module of the running program (the system keeps one copy
// however often it is asked, and it stays loaded). Null with the reason in
// `error` when it is missing or unusable.
const TRecorderModule* LoadRecorderModule(std::string& error);

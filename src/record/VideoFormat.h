// The kinds of video a recording makes: containers by the file's extension
// (".mp4" H.264 + AAC, ".mkv" H.264 + AAC, ".webm" VP9 + Opus), quality
// levels, and the settings of one video.
#pragma once

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

// TMusicRenderer: the background music as samples, for a video's sound
// track. A standard MIDI piece played through a General MIDI soundfont by
// FluidSynth, the synthesiser the program's own music goes through, driven
// by the samples asked for (not by a clock), so a recording sounds the same
// however fast it is made. The piece starts again when it ends, as the
// program's music does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "RecorderModule.h"

class TMusicRenderer final : public TMusicSource {
 public:
  TMusicRenderer();
  ~TMusicRenderer() override;
  TMusicRenderer(const TMusicRenderer&) = delete;
  TMusicRenderer& operator=(const TMusicRenderer&) = delete;

  // Loads the soundfont and the piece (the bytes of a MIDI file already
  // checked by the caller). False with the reason in `error`; the renderer
  // then gives silence.
  bool Load(const std::string& soundFont, const std::vector<unsigned char>& midi, int sampleRate,
            std::string& error) override;
  bool Loaded() const override { return player_ != nullptr; }
  // Starts the piece from its beginning (the music switched on).
  void Restart() override;
  // The next `count` samples of each channel; silence when nothing is loaded
  // or `playing` is false (the synthesiser then stands still).
  void Render(float* left, float* right, int count, bool playing) override;

 private:
  void Free();
  bool Start(std::string& error);
  std::string soundFont_;
  struct _fluid_hashtable_t* settings_ = nullptr;
  struct _fluid_synth_t* synth_ = nullptr;
  struct _fluid_player_t* player_ = nullptr;
  std::vector<unsigned char> midi_;
};

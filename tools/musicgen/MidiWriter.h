// A small writer of standard MIDI files (format 1): one conductor track for
// tempo, metre and key, then one track per instrument. Channel messages use
// running status; note-offs are written as note-on with velocity 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

class MidiTrack {
 public:
  void Name(const std::string& text);                       // meta 0x03 at tick 0
  void Tempo(uint32_t tick, double quartersPerMinute);      // meta 0x51
  void TimeSignature(uint32_t tick, int numerator, int denominator);  // meta 0x58
  void KeySignature(uint32_t tick, int sharps, bool minor); // meta 0x59, flats < 0
  void ProgramChange(uint32_t tick, int channel, int program);
  void Controller(uint32_t tick, int channel, int controller, int value);
  void NoteOn(uint32_t tick, int channel, int pitch, int velocity);
  void NoteOff(uint32_t tick, int channel, int pitch);
  // Places the end-of-track event; no event may come later than `tick`.
  void End(uint32_t tick);

  // Track chunk bytes ("MTrk", length, events) in time order; at one tick,
  // note-offs come first, then meta and control events, then note-ons.
  std::vector<uint8_t> Encode() const;

 private:
  struct Event {
    uint32_t tick;
    int rank;       // order within one tick
    uint32_t serial;  // order of insertion, keeps sorting stable
    std::vector<uint8_t> bytes;
  };
  void Add(uint32_t tick, int rank, std::vector<uint8_t> bytes);

  std::vector<Event> events_;
  uint32_t endTick_ = 0;
};

// The whole file: header chunk (format 1) followed by the tracks.
std::vector<uint8_t> EncodeMidiFile(const std::vector<MidiTrack>& tracks, int ticksPerQuarter);

}  // namespace musicgen

#include "ScoreMidi.h"

#include <algorithm>

#include "MidiWriter.h"

namespace musicgen {

std::vector<uint8_t> ScoreToMidi(const Score& score) {
  std::vector<MidiTrack> tracks;
  MidiTrack conductor;
  conductor.Name(score.title);
  conductor.TimeSignature(0, score.meterNumerator, score.meterDenominator);
  if (score.hasKey) conductor.KeySignature(0, score.keySharps, score.keyMinor);
  conductor.Tempo(0, score.tempo);
  conductor.End(score.length);
  tracks.push_back(conductor);

  for (const ScorePart& p : score.parts) {
    MidiTrack t;
    t.Name(p.name);
    const int ch = p.channel;
    t.Controller(0, ch, 121, 0);  // reset controllers first, then set them
    t.ProgramChange(0, ch, p.program);
    t.Controller(0, ch, 7, p.volume);
    t.Controller(0, ch, 10, p.pan);
    t.Controller(0, ch, 91, p.reverb);
    t.Controller(0, ch, 93, p.chorus);
    t.Controller(0, ch, 11, 127);  // expression
    t.Controller(0, ch, 64, 0);    // sustain pedal up
    for (const ScoreNote& n : p.notes) {
      const uint32_t end = std::min(n.start + n.length, score.length);
      if (n.start >= end) continue;
      t.NoteOn(n.start, ch, n.pitch, n.velocity);
      t.NoteOff(end, ch, n.pitch);
    }
    t.Controller(score.length, ch, 123, 0);  // all notes off at the loop point
    t.End(score.length);
    tracks.push_back(t);
  }
  return EncodeMidiFile(tracks, score.division);
}

}  // namespace musicgen

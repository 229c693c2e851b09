#include "MidiWriter.h"

#include <algorithm>
#include <cmath>

namespace musicgen {
namespace {

constexpr int kRankNoteOff = 0;
constexpr int kRankMeta = 1;
constexpr int kRankControl = 2;
constexpr int kRankNoteOn = 3;

void PutVarLen(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t buf[5];
  int n = 0;
  buf[n++] = static_cast<uint8_t>(v & 0x7f);
  while (v >>= 7) buf[n++] = static_cast<uint8_t>(0x80 | (v & 0x7f));
  while (n > 0) out.push_back(buf[--n]);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint8_t Data7(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 127)); }
uint8_t Channel(int c) { return static_cast<uint8_t>(c & 0x0f); }

std::vector<uint8_t> Meta(uint8_t type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out{0xff, type};
  PutVarLen(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace

void MidiTrack::Add(uint32_t tick, int rank, std::vector<uint8_t> bytes) {
  events_.push_back({tick, rank, static_cast<uint32_t>(events_.size()), std::move(bytes)});
  endTick_ = std::max(endTick_, tick);
}

void MidiTrack::Name(const std::string& text) {
  Add(0, kRankMeta, Meta(0x03, std::vector<uint8_t>(text.begin(), text.end())));
}

void MidiTrack::Tempo(uint32_t tick, double quartersPerMinute) {
  const auto micros = static_cast<uint32_t>(std::lround(60000000.0 / quartersPerMinute));
  Add(tick, kRankMeta,
      Meta(0x51, {static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8),
                  static_cast<uint8_t>(micros)}));
}

void MidiTrack::TimeSignature(uint32_t tick, int numerator, int denominator) {
  uint8_t log2 = 0;
  while ((1 << log2) < denominator) ++log2;
  Add(tick, kRankMeta, Meta(0x58, {static_cast<uint8_t>(numerator), log2, 24, 8}));
}

void MidiTrack::KeySignature(uint32_t tick, int sharps, bool minor) {
  Add(tick, kRankMeta,
      Meta(0x59, {static_cast<uint8_t>(static_cast<int8_t>(sharps)), uint8_t(minor ? 1 : 0)}));
}

void MidiTrack::ProgramChange(uint32_t tick, int channel, int program) {
  Add(tick, kRankControl, {static_cast<uint8_t>(0xc0 | Channel(channel)), Data7(program)});
}

void MidiTrack::Controller(uint32_t tick, int channel, int controller, int value) {
  Add(tick, kRankControl,
      {static_cast<uint8_t>(0xb0 | Channel(channel)), Data7(controller), Data7(value)});
}

void MidiTrack::NoteOn(uint32_t tick, int channel, int pitch, int velocity) {
  Add(tick, kRankNoteOn,
      {static_cast<uint8_t>(0x90 | Channel(channel)), Data7(pitch), Data7(std::max(1, velocity))});
}

void MidiTrack::NoteOff(uint32_t tick, int channel, int pitch) {
  Add(tick, kRankNoteOff, {static_cast<uint8_t>(0x90 | Channel(channel)), Data7(pitch), 0});
}

void MidiTrack::End(uint32_t tick) { endTick_ = std::max(endTick_, tick); }

std::vector<uint8_t> MidiTrack::Encode() const {
  std::vector<Event> sorted = events_;
  std::sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.rank != b.rank) return a.rank < b.rank;
    return a.serial < b.serial;
  });
  std::vector<uint8_t> body;
  uint32_t now = 0;
  uint8_t runningStatus = 0;
  for (const Event& e : sorted) {
    PutVarLen(body, e.tick - now);
    now = e.tick;
    const uint8_t status = e.bytes[0];
    if (status == 0xff) {
      runningStatus = 0;  // meta events cancel running status
      body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    } else if (status == runningStatus) {
      body.insert(body.end(), e.bytes.begin() + 1, e.bytes.end());
    } else {
      runningStatus = status;
      body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
  }
  PutVarLen(body, endTick_ - now);
  body.insert(body.end(), {0xff, 0x2f, 0x00});

  std::vector<uint8_t> chunk{'M', 'T', 'r', 'k'};
  Put32(chunk, static_cast<uint32_t>(body.size()));
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

std::vector<uint8_t> EncodeMidiFile(const std::vector<MidiTrack>& tracks, int ticksPerQuarter) {
  std::vector<uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  out.push_back(static_cast<uint8_t>(tracks.size() >> 8));
  out.push_back(static_cast<uint8_t>(tracks.size()));
  out.push_back(static_cast<uint8_t>(ticksPerQuarter >> 8));
  out.push_back(static_cast<uint8_t>(ticksPerQuarter));
  for (const MidiTrack& t : tracks) {
    const std::vector<uint8_t> chunk = t.Encode();
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  return out;
}

}  // namespace musicgen

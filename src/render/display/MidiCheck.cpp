#include "MidiCheck.h"

#include <cstdint>

#include "FileIo.h"

namespace {

constexpr size_t MaxFileBytes = 8u << 20;

uint32_t Be32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// A variable-length quantity of at most four bytes inside [*p, end).
bool ReadVarLen(const unsigned char*& p, const unsigned char* end, uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (p >= end) return false;
    const unsigned char b = *p++;
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  return false;
}

bool CheckTrack(const unsigned char* p, const unsigned char* end, TMidiSummary& s,
                std::string& error) {
  unsigned char status = 0;
  long ticks = 0;
  bool ended = false;
  while (p < end) {
    if (ended) {
      error = "events after the end of a track";
      return false;
    }
    uint32_t delta;
    if (!ReadVarLen(p, end, delta)) {
      error = "a delta time runs past its track";
      return false;
    }
    ticks += delta;
    if (ticks > 100000000L) {
      error = "a track is impossibly long";
      return false;
    }
    if (p >= end) {
      error = "a track ends inside an event";
      return false;
    }
    unsigned char b = *p;
    if (b == 0xFF) {  // meta event
      if (end - p < 2) {
        error = "a meta event is cut short";
        return false;
      }
      const unsigned char type = p[1];
      p += 2;
      uint32_t len;
      if (!ReadVarLen(p, end, len) || len > static_cast<uint32_t>(end - p)) {
        error = "a meta event runs past its track";
        return false;
      }
      p += len;
      if (type == 0x2F) ended = true;
      status = 0;
      continue;
    }
    if (b == 0xF0 || b == 0xF7) {  // system exclusive
      ++p;
      uint32_t len;
      if (!ReadVarLen(p, end, len) || len > static_cast<uint32_t>(end - p)) {
        error = "a system-exclusive event runs past its track";
        return false;
      }
      p += len;
      status = 0;
      continue;
    }
    if (b & 0x80) {
      if (b >= 0xF0) {
        error = "an unknown system event";
        return false;
      }
      status = b;
      ++p;
    } else if (!status) {
      error = "running status with no status before it";
      return false;
    }
    const int kind = status >> 4;
    const int dataBytes = (kind == 0xC || kind == 0xD) ? 1 : 2;
    if (end - p < dataBytes) {
      error = "a channel event is cut short";
      return false;
    }
    if ((p[0] & 0x80) || (dataBytes == 2 && (p[1] & 0x80))) {
      error = "a channel event has a bad data byte";
      return false;
    }
    if (kind == 0x9 && p[1] > 0) ++s.NoteOns;
    p += dataBytes;
  }
  if (!ended) {
    error = "a track has no end-of-track event";
    return false;
  }
  if (ticks > s.LongestTrack) s.LongestTrack = ticks;
  return true;
}

}  // namespace

bool CheckMidi(const std::vector<unsigned char>& bytes, TMidiSummary& s, std::string& error) {
  s = TMidiSummary{};
  const unsigned char* p = bytes.data();
  const unsigned char* end = p + bytes.size();
  if (bytes.size() < 14 || std::string(p, p + 4) != "MThd" || Be32(p + 4) < 6) {
    error = "not a standard MIDI file";
    return false;
  }
  const uint32_t headerLen = Be32(p + 4);
  if (headerLen > bytes.size() - 8) {
    error = "the header runs past the file";
    return false;
  }
  s.Format = (p[8] << 8) | p[9];
  s.Tracks = (p[10] << 8) | p[11];
  s.Division = (p[12] << 8) | p[13];
  if (s.Format > 2 || s.Tracks < 1 || s.Division == 0 || (s.Division & 0x8000)) {
    error = "an unsupported MIDI header";
    return false;
  }
  p += 8 + headerLen;
  int found = 0;
  while (found < s.Tracks) {
    if (end - p < 8) {
      error = "the file ends before track " + std::to_string(found + 1);
      return false;
    }
    const uint32_t len = Be32(p + 4);
    if (len > static_cast<uint32_t>(end - p - 8)) {
      error = "a chunk runs past the file";
      return false;
    }
    if (std::string(p, p + 4) == "MTrk") {
      if (!CheckTrack(p + 8, p + 8 + len, s, error)) return false;
      ++found;
    }
    p += 8 + len;
  }
  if (s.NoteOns == 0 || s.LongestTrack == 0) {
    error = "the piece plays no note";
    return false;
  }
  return true;
}

bool CheckMidiFile(const std::string& path, TMidiSummary& summary, std::string& error) {
  std::vector<unsigned char> bytes;
  if (ReadWholeFile(path, MaxFileBytes, bytes, &error) != TReadResult::Ok) return false;
  return CheckMidi(bytes, summary, error);
}

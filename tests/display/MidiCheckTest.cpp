// The structural check that keeps damaged music away from the synthesiser.
#include <gtest/gtest.h>

#include <filesystem>

#include "MidiCheck.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Header (format 0, one track, 96 ticks) and one track around `events`.
Bytes Midi(const Bytes& events, int division = 96) {
  Bytes b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1,
             static_cast<unsigned char>(division >> 8), static_cast<unsigned char>(division)};
  const size_t n = events.size();
  Bytes t = {'M', 'T', 'r', 'k', static_cast<unsigned char>(n >> 24),
             static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 8),
             static_cast<unsigned char>(n)};
  b.insert(b.end(), t.begin(), t.end());
  b.insert(b.end(), events.begin(), events.end());
  return b;
}

const Bytes OneNote = {0x00, 0x90, 60, 100, 0x60, 60, 0,  // note on, running-status note off
                       0x00, 0xFF, 0x2F, 0x00};

TEST(MidiCheck, AcceptsAPlayablePiece) {
  TMidiSummary s;
  std::string error;
  ASSERT_TRUE(CheckMidi(Midi(OneNote), s, error)) << error;
  EXPECT_EQ(s.NoteOns, 1);
  EXPECT_EQ(s.LongestTrack, 96);
  EXPECT_EQ(s.Division, 96);
}

TEST(MidiCheck, RefusesDamagedOrSilentPieces) {
  struct Case {
    const char* Name;
    Bytes File;
    const char* Error;
  } cases[] = {
      {"empty file", {}, "not a standard MIDI file"},
      {"wrong magic", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}, "not a standard MIDI file"},
      {"no note", Midi({0x00, 0xFF, 0x2F, 0x00}), "the piece plays no note"},
      {"only an end of track after a rest", Midi({0x60, 0xFF, 0x2F, 0x00}), "the piece plays no note"},
      {"note of velocity 0 only", Midi({0x00, 0x90, 60, 0, 0x60, 0xFF, 0x2F, 0x00}), "the piece plays no note"},
      {"SMPTE division", Midi(OneNote, 0xE728), "an unsupported MIDI header"},
      {"running status first", Midi({0x00, 60, 100, 0x00, 0xFF, 0x2F, 0x00}),
       "running status with no status before it"},
      {"no end of track", Midi({0x00, 0x90, 60, 100}), "a track has no end-of-track event"},
      {"event after the end", Midi({0x00, 0xFF, 0x2F, 0x00, 0x00, 0x90, 60, 100}),
       "events after the end of a track"},
      {"endless delta", Midi({0xFF, 0xFF, 0xFF, 0xFF, 0x00}), "a delta time runs past its track"},
      {"meta longer than the track", Midi({0x00, 0xFF, 0x01, 0x7F, 'a'}), "a meta event runs past its track"},
      {"bad data byte", Midi({0x00, 0x90, 0x80, 100, 0x00, 0xFF, 0x2F, 0x00}),
       "a channel event has a bad data byte"},
  };
  for (const Case& c : cases) {
    TMidiSummary s;
    std::string error;
    EXPECT_FALSE(CheckMidi(c.File, s, error)) << c.Name;
    EXPECT_EQ(error, c.Error) << c.Name;
  }
}

TEST(MidiCheck, EveryTruncationIsRefusedSafely) {
  const Bytes full = Midi(OneNote);
  for (size_t n = 0; n < full.size(); ++n) {
    Bytes cut(full.begin(), full.begin() + static_cast<long>(n));
    TMidiSummary s;
    std::string error;
    EXPECT_FALSE(CheckMidi(cut, s, error)) << n;
    EXPECT_FALSE(error.empty()) << n;
  }
}

TEST(MidiCheck, TheProgramsOwnMusicPasses) {
  const std::string path = std::string(SKYLOOM_RUNTIME_DIR) + "/Music.mid";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "Music.mid not built";
  TMidiSummary s;
  std::string error;
  ASSERT_TRUE(CheckMidiFile(path, s, error)) << error;
  EXPECT_GT(s.NoteOns, 100);
  EXPECT_EQ(s.Format, 1);
}

}  // namespace

// The background music "Music.mid": read back by a standard MIDI file
// parser written here independently of the writer, checked for length,
// instruments and a clean loop, and played through the mixer and soundfont
// the program uses, captured by SDL's disk audio driver.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* const kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::string MusicPath() { return std::string(SKYLOOM_RUNTIME_DIR) + "/Music.mid"; }

// ---- A small standard MIDI file reader ----

struct Event {
  uint32_t tick = 0;          // absolute, from the start of the track
  uint8_t status = 0;         // 0xff meta, 0xf0/0xf7 sysex, else channel status
  uint8_t metaType = 0;
  std::vector<uint8_t> data;  // channel data bytes, or the meta/sysex body
};

struct Track {
  std::vector<Event> events;
};

struct MidiFile {
  int format = 0;
  int division = 0;
  std::vector<Track> tracks;
};

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& b) : b_(b), limit_(b.size()) {}

  MidiFile Read() {
    MidiFile f;
    Expect("MThd");
    const uint32_t headerLength = Be32();
    if (headerLength < 6) throw std::runtime_error("header chunk shorter than 6 bytes");
    const size_t headerEnd = pos_ + headerLength;
    f.format = Be16();
    const int trackCount = Be16();
    f.division = Be16();
    pos_ = headerEnd;
    for (int i = 0; i < trackCount; ++i) f.tracks.push_back(ReadTrack());
    if (pos_ != b_.size()) throw std::runtime_error("bytes after the last track");
    return f;
  }

 private:
  uint8_t Byte() {
    if (pos_ >= limit_) throw std::runtime_error("read past the end of a chunk");
    return b_[pos_++];
  }
  void Expect(const char* id) {
    for (int i = 0; i < 4; ++i)
      if (Byte() != static_cast<uint8_t>(id[i]))
        throw std::runtime_error(std::string("expected chunk ") + id);
  }
  uint32_t Be32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return v;
  }
  int Be16() {
    const int hi = Byte();
    return hi << 8 | Byte();
  }
  uint32_t VarLen() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const uint8_t c = Byte();
      v = v << 7 | (c & 0x7f);
      if (!(c & 0x80)) return v;
    }
    throw std::runtime_error("variable-length number longer than 4 bytes");
  }

  Track ReadTrack() {
    limit_ = b_.size();
    Expect("MTrk");
    const uint32_t length = Be32();
    if (pos_ + length > b_.size()) throw std::runtime_error("track chunk runs past the file");
    limit_ = pos_ + length;
    Track t;
    uint32_t tick = 0;
    uint8_t running = 0;
    bool ended = false;
    while (pos_ < limit_) {
      if (ended) throw std::runtime_error("events after end-of-track");
      tick += VarLen();
      Event e;
      e.tick = tick;
      uint8_t first = Byte();
      if (first == 0xff) {
        e.status = 0xff;
        e.metaType = Byte();
        const uint32_t n = VarLen();
        for (uint32_t i = 0; i < n; ++i) e.data.push_back(Byte());
        running = 0;
        if (e.metaType == 0x2f) ended = true;
      } else if (first == 0xf0 || first == 0xf7) {
        e.status = first;
        const uint32_t n = VarLen();
        for (uint32_t i = 0; i < n; ++i) e.data.push_back(Byte());
        running = 0;
      } else {
        if (first & 0x80) {
          running = first;
          first = Byte();
        } else if (!running) {
          throw std::runtime_error("data byte without a running status");
        }
        e.status = running;
        e.data.push_back(first);
        const int kind = running & 0xf0;
        if (kind != 0xc0 && kind != 0xd0) e.data.push_back(Byte());
        for (uint8_t d : e.data)
          if (d & 0x80) throw std::runtime_error("data byte with the top bit set");
      }
      t.events.push_back(e);
    }
    if (!ended) throw std::runtime_error("track without end-of-track");
    limit_ = b_.size();
    return t;
  }

  const std::vector<uint8_t>& b_;
  size_t pos_ = 0;
  size_t limit_ = 0;
};

std::optional<MidiFile> LoadMusic(std::string& error) {
  std::ifstream in(MusicPath(), std::ios::binary);
  if (!in) {
    error = "cannot open " + MusicPath();
    return std::nullopt;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  try {
    Reader r(bytes);
    return r.Read();
  } catch (const std::exception& e) {
    error = e.what();
    return std::nullopt;
  }
}

uint32_t EndTick(const MidiFile& f) {
  uint32_t end = 0;
  for (const Track& t : f.tracks) end = std::max(end, t.events.back().tick);
  return end;
}

// Seconds from tick 0 to `tick`, following every tempo change (default
// 120 quarter notes per minute until the first one).
double SecondsAt(const MidiFile& f, uint32_t tick) {
  std::map<uint32_t, uint32_t> tempo{{0, 500000}};  // tick -> microseconds per quarter
  for (const Track& t : f.tracks)
    for (const Event& e : t.events)
      if (e.status == 0xff && e.metaType == 0x51 && e.data.size() == 3)
        tempo[e.tick] = e.data[0] << 16 | e.data[1] << 8 | e.data[2];
  double seconds = 0;
  for (auto it = tempo.begin(); it != tempo.end() && it->first < tick; ++it) {
    const auto next = std::next(it);
    const uint32_t until = next == tempo.end() ? tick : std::min(tick, next->first);
    seconds += double(until - it->first) / f.division * it->second / 1e6;
  }
  return seconds;
}

class MusicFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    auto f = LoadMusic(error);
    ASSERT_TRUE(f.has_value()) << error;
    file_ = *f;
  }
  MidiFile file_;
};

TEST_F(MusicFile, IsAStandardFormat1File) {
  EXPECT_EQ(file_.format, 1);
  EXPECT_GE(file_.tracks.size(), 3u) << "a conductor track and several instruments";
  EXPECT_GT(file_.division, 0);
  EXPECT_EQ(file_.division & 0x8000, 0) << "ticks per quarter, not SMPTE time";
  for (const Track& t : file_.tracks) {
    ASSERT_FALSE(t.events.empty());
    EXPECT_EQ(t.events.back().status, 0xff);
    EXPECT_EQ(t.events.back().metaType, 0x2f);
  }
  bool tempoInFirstTrack = false;
  for (const Event& e : file_.tracks[0].events)
    tempoInFirstTrack |= e.status == 0xff && e.metaType == 0x51 && e.tick == 0;
  EXPECT_TRUE(tempoInFirstTrack);
}

TEST_F(MusicFile, LastsBetweenTwoAndFourMinutes) {
  const double seconds = SecondsAt(file_, EndTick(file_));
  EXPECT_GE(seconds, 120.0);
  EXPECT_LE(seconds, 240.0);
}

// Every note ends by the loop point, every track ends there too, the music
// starts at once and sounds until the end: restarting from the top then
// neither leaves a silent gap nor leaves notes hanging.
TEST_F(MusicFile, LoopsWithoutGapOrHangingNote) {
  const uint32_t end = EndTick(file_);
  const uint32_t beat = static_cast<uint32_t>(file_.division);
  uint32_t firstOn = UINT32_MAX, lastOff = 0;
  for (size_t ti = 0; ti < file_.tracks.size(); ++ti) {
    const Track& t = file_.tracks[ti];
    EXPECT_EQ(t.events.back().tick, end) << "track " << ti << " ends early";
    std::map<std::pair<int, int>, int> sounding;  // (channel, pitch) -> open note-ons
    for (const Event& e : t.events) {
      const int kind = e.status & 0xf0;
      if (e.status >= 0xf0 || (kind != 0x80 && kind != 0x90)) continue;
      const auto key = std::make_pair(e.status & 0x0f, int(e.data[0]));
      if (kind == 0x90 && e.data[1] > 0) {
        ++sounding[key];
        firstOn = std::min(firstOn, e.tick);
      } else {
        ASSERT_GT(sounding[key], 0) << "note-off without note-on, track " << ti;
        --sounding[key];
        lastOff = std::max(lastOff, e.tick);
      }
    }
    for (const auto& [key, open] : sounding)
      EXPECT_EQ(open, 0) << "note " << key.second << " still sounding at the end, track " << ti;
  }
  EXPECT_EQ(firstOn, 0u) << "silence before the first note";
  EXPECT_GE(lastOff + beat, end) << "more than a beat of silence before the loop point";
}

// General MIDI melodic instruments: every channel that plays notes has its
// program set before its first note, and the percussion channel is unused.
TEST_F(MusicFile, SetsAnInstrumentOnEveryChannelBeforeItPlays) {
  std::map<int, uint32_t> programAt, firstNote;
  for (const Track& t : file_.tracks)
    for (const Event& e : t.events) {
      if (e.status >= 0xf0) continue;
      const int ch = e.status & 0x0f;
      if ((e.status & 0xf0) == 0xc0 && !programAt.count(ch)) programAt[ch] = e.tick;
      if ((e.status & 0xf0) == 0x90 && e.data[1] > 0 && !firstNote.count(ch))
        firstNote[ch] = e.tick;
    }
  EXPECT_GE(firstNote.size(), 3u);
  EXPECT_FALSE(firstNote.count(9)) << "channel 10 is percussion";
  for (const auto& [ch, tick] : firstNote) {
    ASSERT_TRUE(programAt.count(ch)) << "channel " << ch + 1 << " has no program";
    EXPECT_LE(programAt[ch], tick);
  }
}

// The same file and soundfont through SDL_mixer into SDL's disk audio
// driver, which writes the mixed stereo S16 output to a file in real time.
TEST(MusicPlayback, SoundsThroughTheMixer) {
  if (!std::filesystem::exists(kSoundFont))
    GTEST_SKIP() << "soundfont " << kSoundFont << " not installed (package timgm6mb-soundfont)";
  // A file without playable length makes the looping player spin forever in
  // the audio thread (and halting it then blocks), so only a file that reads
  // back whole and lasts is handed to the mixer.
  std::string error;
  const auto file = LoadMusic(error);
  ASSERT_TRUE(file.has_value()) << error;
  ASSERT_GT(SecondsAt(*file, EndTick(*file)), 1.0);
  const std::string capture =
      (std::filesystem::temp_directory_path() / ("skyloom_music_" + std::to_string(::getpid()) + ".raw"))
          .string();
  const char* oldDriver = SDL_getenv("SDL_AUDIODRIVER");
  const std::string savedDriver = oldDriver ? oldDriver : "";
  SDL_setenv("SDL_AUDIODRIVER", "disk", 1);
  SDL_setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);

  ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
  Mix_Init(MIX_INIT_MID);
  Mix_SetSoundFonts(kSoundFont);
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
  Mix_Music* music = Mix_LoadMUS(MusicPath().c_str());
  EXPECT_NE(music, nullptr) << Mix_GetError();
  if (music) {
    EXPECT_EQ(Mix_PlayMusic(music, -1), 0) << Mix_GetError();
    SDL_Delay(2000);
    Mix_HaltMusic();
    Mix_FreeMusic(music);
  }
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  if (savedDriver.empty()) SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
  else SDL_setenv("SDL_AUDIODRIVER", savedDriver.c_str(), 1);

  std::ifstream in(capture, std::ios::binary);
  const std::vector<char> raw((std::istreambuf_iterator<char>(in)), {});
  std::filesystem::remove(capture);
  ASSERT_GT(raw.size(), 44100u * 4 / 2) << "less than half a second captured";
  double energy = 0;
  int peak = 0;
  const size_t n = raw.size() / 2;
  for (size_t i = 0; i < n; ++i) {
    const int16_t v = static_cast<int16_t>(uint8_t(raw[2 * i]) | uint8_t(raw[2 * i + 1]) << 8);
    energy += double(v) * v;
    peak = std::max(peak, std::abs(int(v)));
  }
  const double rmsDb = 10 * std::log10(energy / n / (32768.0 * 32768.0) + 1e-30);
  EXPECT_GT(peak, 300) << "the music is silent";
  EXPECT_GT(rmsDb, -60.0) << "the music is almost silent";
  EXPECT_LT(peak, 32000) << "the music clips";
}

}  // namespace

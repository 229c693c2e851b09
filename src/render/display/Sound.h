// Sounds and music. TDXWaveList plays the two interface sounds ("Choose",
// "Click"); TMediaPlayer plays "Music.mid" through SDL2_mixer with a General
// MIDI soundfont. Without a sound card, soundfont or file both run on
// silently and say once on stderr what is missing.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// The General MIDI soundfont the music is played with: the first of
// Debian's that is installed, best first; empty when there is none.
std::string GeneralMidiSoundFont();

// Opens the audio device once (true when sound can be played).
bool OpenAudio();
void CloseAudio();

class TDXWaveList {
 public:
  ~TDXWaveList();
  // Loads "<folder>/<name>.wav" for each name.
  void Load(const std::vector<std::string>& names, const std::string& folder = ".");
  bool Has(const std::string& name) const;
  // Frees the sounds (before the audio device is closed).
  void Free();
  // Returns at once; the sound plays on its own.
  void Play(const std::string& name);

 private:
  struct Wave {
    std::string Name;
    Mix_Chunk* Chunk;
  };
  std::vector<Wave> waves_;
};

// The media player: open, play, stop, close, mode query and a completion
// notice delivered through Poll() on the main thread.
class TMediaPlayer {
 public:
  enum class TMode { NotOpen, Stopped, Playing };
  ~TMediaPlayer();
  std::string FileName;
  bool Notify = false;
  bool Wait = false;
  std::function<void()> OnNotify;
  int Notices = 0;  // completion notices delivered so far

  bool Open();
  void Play();
  void Stop();
  void Close();
  TMode Mode() const;
  // Call once per frame: delivers the completion notice when the piece ended.
  void Poll();
 private:
  Mix_Music* music_ = nullptr;
  bool playing_ = false;
  bool said_ = false;  // a fault of the music file is reported once per player
  std::vector<unsigned char> musicBytes_;  // the piece the mixer plays from
};

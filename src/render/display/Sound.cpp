#include "Sound.h"

#include "FileIo.h"
#include "MidiCheck.h"
#include "WaveCheck.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <cstdio>
#include <vector>

namespace {
int AudioState = -1;  // -1 not tried, 0 unavailable, 1 open
std::atomic<bool> MusicEnded{false};  // set on the audio thread

// Called on the audio thread. The event wakes a main loop that sleeps until
// the next event, so that Poll serves the notice at once.
void OnMusicFinished() {
  MusicEnded = true;
  if (SDL_WasInit(SDL_INIT_EVENTS)) {
    SDL_Event wake{};
    wake.type = SDL_USEREVENT;
    SDL_PushEvent(&wake);
  }
}

constexpr size_t MaxWaveBytes = 16u << 20;  // an interface sound is a few KiB

// General MIDI soundfonts shipped by Debian, best first.
const char* const SoundFonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                  "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                  "/usr/share/sounds/sf2/default-GM.sf2"};
}  // namespace

std::string GeneralMidiSoundFont() {
  for (const char* sf : SoundFonts)
    if (IsRegularFile(sf)) return sf;
  return "";
}

bool OpenAudio() {
  if (AudioState >= 0) return AudioState == 1;
  AudioState = 0;
  if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    Report({"", "no sound; running silently", SDL_GetError()});
    return false;
  }
  Mix_Init(MIX_INIT_MID);
  const std::string soundFont = GeneralMidiSoundFont();
  if (!soundFont.empty()) Mix_SetSoundFonts(soundFont.c_str());
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
    Report({"", "no sound device; running silently", Mix_GetError()});
    return false;
  }
  Mix_HookMusicFinished(OnMusicFinished);
  AudioState = 1;
  return true;
}

void CloseAudio() {
  if (AudioState == 1) {
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
  }
  AudioState = -1;
}

TDXWaveList::~TDXWaveList() { Free(); }

void TDXWaveList::Free() {
  for (Wave& w : waves_)
    if (w.Chunk && AudioState == 1) Mix_FreeChunk(w.Chunk);
  waves_.clear();
}

void TDXWaveList::Load(const std::vector<std::string>& names, const std::string& folder) {
  if (!OpenAudio()) return;
  for (const std::string& name : names) {
    // The file as the user knows it: the name alone in the program's folder.
    const std::string file = name + ".wav";
    const std::string path = folder == "." ? file : folder + "/" + file;
    // Read through the non-blocking reader, so that a pipe or a folder in the
    // file's place is refused instead of hanging the program; the header is
    // checked before the mixer converts (and so allocates) anything.
    std::vector<uint8_t> bytes;
    std::string why;
    const TReadResult r = ReadWholeFile(path, MaxWaveBytes, bytes, &why);
    TWaveSummary summary;
    if (r == TReadResult::Ok && bytes.empty()) why = "empty file";
    if (r != TReadResult::Ok || bytes.empty() || !CheckWave(bytes, summary, why)) {
      ReportFile(path, "sound not loaded", why);
      continue;
    }
    Mix_Chunk* chunk =
        Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!chunk) {
      ReportFile(path, "sound not loaded", Mix_GetError());
      continue;
    }
    waves_.push_back({name, chunk});
  }
}

bool TDXWaveList::Has(const std::string& name) const {
  for (const Wave& w : waves_)
    if (w.Name == name) return true;
  return false;
}

void TDXWaveList::Play(const std::string& name) {
  for (Wave& w : waves_)
    if (w.Name == name) {
      Mix_PlayChannel(-1, w.Chunk, 0);
      return;
    }
}

TMediaPlayer::~TMediaPlayer() { Close(); }

bool TMediaPlayer::Open() {
  if (music_) return true;
  std::string why;
  // No music file at all is normal: the program plays none.
  if (!IsRegularFile(FileName, &why) && why == "no such file") return false;
  if (!OpenAudio()) return false;
  // Anything else in its place (a folder, a pipe, a damaged piece) is
  // refused with one message before it can reach the synthesiser.
  // The bytes checked are the bytes played: the mixer reads them from
  // memory, not the file again.
  TMidiSummary summary;
  if (ReadWholeFile(FileName, MaxMidiBytes, musicBytes_, &why) != TReadResult::Ok ||
      !CheckMidi(musicBytes_, summary, why)) {
    if (!said_) ReportFile(FileName, "music not played", why);
    said_ = true;
    musicBytes_.clear();
    return false;
  }
  music_ = Mix_LoadMUS_RW(
      SDL_RWFromConstMem(musicBytes_.data(), static_cast<int>(musicBytes_.size())), 1);
  if (!music_) {
    if (!said_) ReportFile(FileName, "music not played", Mix_GetError());
    said_ = true;
    musicBytes_.clear();
    return false;
  }
  return true;
}

void TMediaPlayer::Play() {
  if (!music_ && !Open()) return;
  MusicEnded = false;
  if (Mix_PlayMusic(music_, 0) == 0) playing_ = true;
}

void TMediaPlayer::Stop() {
  if (music_) Mix_HaltMusic();
  playing_ = false;
  MusicEnded = false;
}

void TMediaPlayer::Close() {
  Stop();
  if (music_) Mix_FreeMusic(music_);
  music_ = nullptr;
  musicBytes_.clear();
}

TMediaPlayer::TMode TMediaPlayer::Mode() const {
  if (!music_) return TMode::NotOpen;
  return Mix_PlayingMusic() ? TMode::Playing : TMode::Stopped;
}

void TMediaPlayer::Poll() {
  if (!MusicEnded) return;
  MusicEnded = false;
  playing_ = false;
  if (Notify && OnNotify) {
    Notify = false;  // one notice per arming, as the player's notification works
    ++Notices;
    OnNotify();
  }
}

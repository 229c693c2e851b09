#include "MusicRenderer.h"

#include <fluidsynth.h>

#include <algorithm>

TMusicRenderer::TMusicRenderer() = default;
TMusicRenderer::~TMusicRenderer() { Free(); }

void TMusicRenderer::Free() {
  if (player_) {
    fluid_player_stop(player_);
    delete_fluid_player(player_);
  }
  if (synth_) delete_fluid_synth(synth_);
  if (settings_) delete_fluid_settings(settings_);
  player_ = nullptr;
  synth_ = nullptr;
  settings_ = nullptr;
}

bool TMusicRenderer::Load(const std::string& soundFont, const std::vector<unsigned char>& midi,
                          int sampleRate, std::string& error) {
  Free();
  // FluidSynth says what it thinks of odd files on stderr; the caller
  // reports a failure once, in the program's own words.
  fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
  fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  settings_ = new_fluid_settings();
  if (!settings_) {
    error = "the synthesiser cannot start";
    return false;
  }
  fluid_settings_setnum(settings_, "synth.sample-rate", sampleRate);
  fluid_settings_setint(settings_, "synth.cpu-cores", 1);
  // The player's clock is the samples rendered, not the wall clock.
  fluid_settings_setstr(settings_, "player.timing-source", "sample");
  // The level the program's player gives the synthesiser at full volume
  // (six times FluidSynth's own default of 0.2).
  fluid_settings_setnum(settings_, "synth.gain", 1.2);
  soundFont_ = soundFont;
  midi_ = midi;
  if (!Start(error)) {
    Free();
    return false;
  }
  return true;
}

bool TMusicRenderer::Start(std::string& error) {
  // A fresh synthesiser: no note, reverb or chorus of before sounds on.
  if (player_) {
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
  }
  if (synth_) delete_fluid_synth(synth_);
  synth_ = new_fluid_synth(settings_);
  if (!synth_) {
    error = "the synthesiser cannot start";
    return false;
  }
  if (fluid_synth_sfload(synth_, soundFont_.c_str(), 1) == FLUID_FAILED) {
    error = "cannot load the soundfont " + soundFont_;
    return false;
  }
  player_ = new_fluid_player(synth_);
  if (!player_ || fluid_player_add_mem(player_, midi_.data(), midi_.size()) != FLUID_OK) {
    error = "the synthesiser does not take the piece";
    if (player_) delete_fluid_player(player_);
    player_ = nullptr;
    return false;
  }
  fluid_player_set_loop(player_, -1);
  fluid_player_play(player_);
  return true;
}

void TMusicRenderer::Restart() {
  if (!player_) return;
  std::string error;
  if (!Start(error)) Free();
}

void TMusicRenderer::Render(float* left, float* right, int count, bool playing) {
  if (!player_ || !playing) {
    std::fill(left, left + count, 0.0f);
    std::fill(right, right + count, 0.0f);
    return;
  }
  fluid_synth_write_float(synth_, count, left, 0, 1, right, 0, 1);
  // Loud chords are clipped, as they are on their way to the sound card.
  for (int i = 0; i < count; ++i) {
    left[i] = std::clamp(left[i], -1.0f, 1.0f);
    right[i] = std::clamp(right[i], -1.0f, 1.0f);
  }
}

// The background music through the form: started by the music command only
// when the file exists and the music switch is on, and played again by the
// completion notice so that it loops, also while the frame timer is paused.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Application.h"
#include "FormSky.h"
#include "FrameLoop.h"
#include "GlobalParams.h"
#include "SkyModel.h"

namespace {

// A standard MIDI file with one short closed hi-hat (the synthesiser ends
// the piece about two seconds later, when its voices have died away).
void WriteShortMidi(const std::string& path) {
  const unsigned char bytes[] = {
      'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,             // format 0, 96 ticks
      'M', 'T', 'r', 'k', 0, 0, 0, 19,                               // track of 19 bytes
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,                      // tempo 500000 us
      0x00, 0x99, 42, 100,                                           // hi-hat on
      0x30, 0x89, 42, 0,                                             // off after 48 ticks
      0x00, 0xFF, 0x2F, 0x00};                                       // end of track
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
      GTEST_SKIP() << "the General MIDI soundfont is not installed";
    dir_ = std::filesystem::temp_directory_path() / ("skyloom-music-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    model_ = CreateSkyModel();
    form_ = std::make_unique<TFormSky>(*model_);
  }
  void TearDown() override {
    if (!form_) return;
    form_->FormDestroy();
    form_.reset();
    model_.reset();
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
  }
  // Passes of the message loop until `done` or about eight seconds.
  template <typename Pred>
  bool WaitFor(Pred done) {
    TFrameLoop loop;
    for (const uint64_t end = SDL_GetTicks64() + 8000; SDL_GetTicks64() < end;) {
      loop.Step(*form_);
      if (done()) return true;
    }
    return false;
  }
  std::filesystem::path dir_, old_;
  std::unique_ptr<TSkyloom> model_;  // made before the form, freed after it
  std::unique_ptr<TFormSky> form_;
};

TEST_F(MusicTest, NothingWithoutTheFileOrWithTheSwitchOff) {
  form_->Parameters.MusicOn = 1;
  form_->ExecuteCommand(2001);
  EXPECT_EQ(form_->MediaPlayer1.Mode(), TMediaPlayer::TMode::NotOpen);
  WriteShortMidi("Music.mid");
  form_->Parameters.MusicOn = 0;
  form_->ExecuteCommand(2001);
  EXPECT_EQ(form_->MediaPlayer1.Mode(), TMediaPlayer::TMode::NotOpen);
}

TEST_F(MusicTest, LoopsThroughTheCompletionNoticeAlsoWhileInactive) {
  WriteShortMidi("Music.mid");
  form_->Parameters.MusicOn = 1;
  form_->MediaPlayer1.FileName = "Music.mid";
  form_->MediaPlayer1.OnNotify = [this] { form_->MediaPlayer1Notify(); };
  form_->MediaPlayer1.Notify = true;
  if (!OpenAudio()) GTEST_SKIP() << "no audio device for the music player";
  form_->ExecuteCommand(2001);
  ASSERT_EQ(form_->MediaPlayer1.Mode(), TMediaPlayer::TMode::Playing);
  // When the piece ends the notice starts it again and re-arms itself, so it
  // keeps playing across several ends; the notice comes through the message
  // loop, so a window without the focus (frame timer paused) keeps its music.
  form_->ApplicationDeactivate();
  ASSERT_FALSE(form_->DXTimer1Enabled);
  for (int round = 1; round <= 2; ++round) {
    ASSERT_TRUE(form_->MediaPlayer1.Notify) << round;
    ASSERT_TRUE(WaitFor([&] { return form_->MediaPlayer1.Notices == round; }))
        << "the piece never ended";
    EXPECT_EQ(form_->MediaPlayer1.Mode(), TMediaPlayer::TMode::Playing) << round;
  }
  // Switching the music off stops and closes the player.
  form_->Parameters.MusicOn = 0;
  form_->ExecuteCommand(2001);
  EXPECT_EQ(form_->MediaPlayer1.Mode(), TMediaPlayer::TMode::NotOpen);
}

}  // namespace

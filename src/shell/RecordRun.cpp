#include "RecordRun.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "AutoCommand.h"
#include "FileIo.h"
#include "FormSky.h"
#include "Gbk.h"
#include "GlobalParams.h"
#include "Lecture.h"
#include "MidiCheck.h"
#include "Sound.h"

namespace {

double WallSeconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// The signals that cancel a recording.
sigset_t CancelSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

bool CancelPending() {
  sigset_t pending;
  if (sigpending(&pending) != 0) return false;
  return sigismember(&pending, SIGINT) == 1 || sigismember(&pending, SIGTERM) == 1 ||
         sigismember(&pending, SIGHUP) == 1;
}

// The most memory the process has held (resident), in MiB.
long PeakMemoryMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

constexpr int FramesPerSecond = 30;
constexpr int SampleRate = 48000;
constexpr char MusicFile[] = "Music.mid";

}  // namespace

void HoldCancelSignals() {
  const sigset_t set = CancelSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool TRecorder::Start(TFormSky& form, const std::string& path, const std::string& shown,
                      TVideoQuality quality) {
  shown_ = shown;
  terminal_ = isatty(STDERR_FILENO) == 1;
  TVideoSettings settings;
  settings.Width = form.DXDraw.Width();
  settings.Height = form.DXDraw.Height();
  settings.FramesPerSecond = FramesPerSecond;
  settings.SampleRate = SampleRate;
  settings.Quality = quality;
  std::string why;
  const TRecorderModule* module = LoadRecorderModule(why);
  if (!module) {
    ReportFile(shown, "cannot record", why);
    return false;
  }
  encoder_ = module->NewVideo();
  music_ = module->NewMusic();
  if (!encoder_->Open(path, settings, why)) {
    ReportFile(shown, "cannot record", why);
    return false;
  }
  // The music as the program would play it; without it the sound track is
  // silent (and says why once when the music is switched on).
  std::string musicWhy;
  TMidiSummary summary;
  std::vector<unsigned char> midi;
  const std::string soundFont = GeneralMidiSoundFont();
  if (ReadWholeFile(MusicFile, MaxMidiBytes, midi, &musicWhy) == TReadResult::Ok &&
      CheckMidi(midi, summary, musicWhy)) {
    if (soundFont.empty()) musicWhy = "no General MIDI soundfont installed";
    else music_->Load(soundFont, midi, SampleRate, musicWhy);
  }
  if (!music_->Loaded() && form.Parameters.MusicOn) ReportFile(MusicFile, "music not recorded", musicWhy);
  picture_.reserve(static_cast<size_t>(settings.Width) * settings.Height);
  started_ = lastReport_ = WallSeconds();
  return true;
}

bool TRecorder::AfterFrame(TFormSky& form) {
  if (CancelPending()) {
    cancelled_ = true;
    return false;
  }
  const int64_t frame = encoder_->Frames();
  if (frame >= MaxFrames) {
    ReportFile(shown_, "not recorded", "the run did not end within 4 hours of video");
    failed_ = true;
    return false;
  }
  // A page turned (or the first shown): a chapter of the video.
  if (form.Lecture.Count > 0 && form.Lecture.Current != page_ && form.Lecture.Current >= 1 &&
      form.Lecture.Current <= form.Lecture.Count) {
    page_ = form.Lecture.Current;
    estimate_.PageTurned(page_, form.Lecture.Count, frame);
    std::string title = GbkToUtf8(form.Lecture.Frames[static_cast<size_t>(page_)].Caption.view());
    if (title.empty()) title = std::to_string(page_);
    encoder_->AddChapter(frame, title);
    Report(!terminal_);
  }
  // The picture: taken again only when the tick drew a new one (a still sky
  // keeps the last), or while an overlay may change without drawing.
  std::string why;
  if (form.DXDraw.Frames() != drawnFrames_ || form.DXDraw.OverlayShowing() || picture_.empty()) {
    drawnFrames_ = form.DXDraw.Frames();
    form.DXDraw.Capture(picture_);
  }
  if (!encoder_->AddFrame(picture_.data(), form.DXDraw.Width(), why)) {
    ReportFile(shown_, "not recorded", why);
    failed_ = true;
    return false;
  }
  // This frame's share of the sound: 1600 samples at 48 kHz and 30 fps.
  const int64_t from = frame * SampleRate / FramesPerSecond;
  const int count = static_cast<int>((frame + 1) * SampleRate / FramesPerSecond - from);
  left_.resize(static_cast<size_t>(count));
  right_.resize(static_cast<size_t>(count));
  const bool playing = form.Parameters.MusicOn != 0;
  if (playing && !musicPlaying_) music_->Restart();
  musicPlaying_ = playing;
  music_->Render(left_.data(), right_.data(), count, playing);
  if (!encoder_->AddSound(left_.data(), right_.data(), count, why)) {
    ReportFile(shown_, "not recorded", why);
    failed_ = true;
    return false;
  }
  Report(false);
  return true;
}

void TRecorder::Report(bool force) {
  const double now = WallSeconds();
  // A terminal shows one line that changes four times a second; a pipe or
  // file gets a line a second and one at each page.
  if (!force && now - lastReport_ < (terminal_ ? 0.25 : 1.0)) return;
  lastReport_ = now;
  const TRecordProgress p = estimate_.At(encoder_->Frames(), now - started_);
  std::fprintf(stderr, "%sskyloom: recording %s: %s%s", terminal_ ? "\r" : "", shown_.c_str(),
               ProgressText(p).c_str(), terminal_ ? "\033[K" : "\n");
  std::fflush(stderr);
}

int TRecorder::Finish(bool runOk) {
  if (terminal_) std::fputc('\n', stderr);
  if (!encoder_) return 2;  // never started
  if (cancelled_ || CancelPending()) {
    encoder_->Abandon();
    ReportFile(shown_, "not recorded", "cancelled");
    return 2;
  }
  if (failed_ || !runOk) {
    if (!failed_) ReportFile(shown_, "not recorded", "the run did not go to its end");
    encoder_->Abandon();
    return 2;
  }
  const int64_t frames = encoder_->Frames();
  std::string why;
  if (frames == 0 || !encoder_->Finish(why)) {
    ReportFile(shown_, "not recorded", frames == 0 ? "no frame was made" : why);
    encoder_->Abandon();
    return 2;
  }
  const double seconds = WallSeconds() - started_;
  TRecordProgress done;
  done.Done = true;
  done.Frames = frames;
  const double video = static_cast<double>(frames) / FramesPerSecond;
  std::fprintf(stderr,
               "skyloom: recording %s: %s (%s of video made in %s, %.1f times as fast as it "
               "plays, %.1f MB, at most %ld MiB of memory)\n",
               shown_.c_str(), ProgressText(done).c_str(),
               ClockText(static_cast<int>(video + 0.5)).c_str(),
               ClockText(static_cast<int>(seconds + 0.5)).c_str(),
               seconds > 0 ? video / seconds : 0.0, encoder_->BytesWritten() / 1e6,
               PeakMemoryMiB());
  return 0;
}

bool TUntilShowEnds::BeforeFrame(TFormSky& form) {
  if (started_ && !form.Player.Active) return false;
  started_ = true;
  return true;
}

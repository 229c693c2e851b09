// The recorder's parts without the program: the encoder writes files that
// the FFmpeg libraries read back frame for frame, a failed or dropped file
// leaves nothing, the music renders the same samples every time, and the
// progress line survives its way from the recording process to the window.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FileIo.h"
#include "MidiCheck.h"
#include "MusicRenderer.h"
#include "RecordJob.h"
#include "RecordProgress.h"
#include "VideoEncoder.h"

namespace fs = std::filesystem;

namespace {

class RecordFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skyloom-record-test-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
    return out;
  }
  fs::path dir_;
};

struct TDecoded {
  std::string VideoCodec, AudioCodec;
  int Frames = 0;
  int Width = 0, Height = 0;
  std::vector<int> Greens;  // the green of each frame's centre pixel (luma stands in)
  double AudioSeconds = 0;
  int Chapters = 0;
};

// Reads a video back with the FFmpeg libraries, decoding every picture.
bool Decode(const std::string& path, TDecoded& out) {
  AVFormatContext* f = nullptr;
  if (avformat_open_input(&f, path.c_str(), nullptr, nullptr) < 0) return false;
  avformat_find_stream_info(f, nullptr);
  out.Chapters = static_cast<int>(f->nb_chapters);
  int vs = -1;
  AVCodecContext* dec = nullptr;
  for (unsigned i = 0; i < f->nb_streams; ++i) {
    const AVCodecParameters* p = f->streams[i]->codecpar;
    if (p->codec_type == AVMEDIA_TYPE_VIDEO && vs < 0) {
      vs = static_cast<int>(i);
      out.VideoCodec = avcodec_get_name(p->codec_id);
      out.Width = p->width;
      out.Height = p->height;
      dec = avcodec_alloc_context3(avcodec_find_decoder(p->codec_id));
      avcodec_parameters_to_context(dec, p);
      avcodec_open2(dec, avcodec_find_decoder(p->codec_id), nullptr);
    } else if (p->codec_type == AVMEDIA_TYPE_AUDIO) {
      out.AudioCodec = avcodec_get_name(p->codec_id);
    }
  }
  AVPacket* pkt = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  int64_t audioEnd = 0;
  AVRational audioBase{1, 1};
  auto drain = [&] {
    while (avcodec_receive_frame(dec, frame) == 0) {
      ++out.Frames;
      const uint8_t y = frame->data[0][frame->linesize[0] * (frame->height / 2) + frame->width / 2];
      out.Greens.push_back(y);
    }
  };
  while (av_read_frame(f, pkt) >= 0) {
    if (pkt->stream_index == vs && dec) {
      avcodec_send_packet(dec, pkt);
      drain();
    } else if (f->streams[pkt->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
      audioBase = f->streams[pkt->stream_index]->time_base;
      audioEnd = std::max(audioEnd, pkt->pts + pkt->duration);
    }
    av_packet_unref(pkt);
  }
  if (dec) {
    avcodec_send_packet(dec, nullptr);
    drain();
  }
  out.AudioSeconds = static_cast<double>(audioEnd) * av_q2d(audioBase);
  av_frame_free(&frame);
  av_packet_free(&pkt);
  avcodec_free_context(&dec);
  avformat_close_input(&f);
  return vs >= 0;
}

// Frames of one grey level each, rising: frame k has level 8 * (k % 30).
void Picture(std::vector<uint32_t>& px, int w, int h, int k) {
  const uint32_t v = static_cast<uint32_t>(8 * (k % 30));
  px.assign(static_cast<size_t>(w) * h, 0xFF000000u | (v << 16) | (v << 8) | v);
}

}  // namespace

TEST(VideoNames, ContainersAndQualities) {
  struct {
    const char* Name;
    bool Ok;
    TVideoContainer Kind;
  } const cases[] = {
      {"a.mp4", true, TVideoContainer::Mp4},        {"x/冬季星空.WebM", true, TVideoContainer::WebM},
      {"a.b.mkv", true, TVideoContainer::Mkv},      {"a.avi", false, TVideoContainer::Mp4},
      {"mp4", false, TVideoContainer::Mp4},         {"dir.mp4/file", false, TVideoContainer::Mp4},
      {"a.mp4.part", false, TVideoContainer::Mp4},
  };
  for (const auto& c : cases) {
    TVideoContainer kind = TVideoContainer::Mp4;
    EXPECT_EQ(VideoContainerOf(c.Name, kind), c.Ok) << c.Name;
    if (c.Ok) {
      EXPECT_EQ(kind, c.Kind) << c.Name;
    }
  }
  TVideoQuality q;
  EXPECT_TRUE(ParseVideoQuality("HIGH", q));
  EXPECT_EQ(q, TVideoQuality::High);
  EXPECT_FALSE(ParseVideoQuality("best", q));
}

TEST_F(RecordFolder, EveryContainerHoldsEachFrameOnceAndTheSound) {
  const int w = 64, h = 48, frames = 45;
  for (const char* name : {"v.mp4", "v.webm", "v.mkv"}) {
    TVideoEncoder enc;
    TVideoSettings s;
    s.Width = w;
    s.Height = h;
    std::string error;
    ASSERT_TRUE(enc.Open(Path(name), s, error)) << name << ": " << error;
    std::vector<uint32_t> px;
    std::vector<float> left(1600), right(1600);
    for (int k = 0; k < frames; ++k) {
      Picture(px, w, h, k);
      ASSERT_TRUE(enc.AddFrame(px.data(), w, error)) << error;
      for (int i = 0; i < 1600; ++i) left[i] = right[i] = 0.3f * std::sin(0.05f * (k * 1600 + i));
      ASSERT_TRUE(enc.AddSound(left.data(), right.data(), 1600, error)) << error;
      if (k == 0 || k == 30) enc.AddChapter(k, k == 0 ? "第一页" : "第二页");
    }
    ASSERT_TRUE(enc.Finish(error)) << error;
    TDecoded d;
    ASSERT_TRUE(Decode(Path(name), d)) << name;
    EXPECT_EQ(d.Frames, frames) << name;
    EXPECT_EQ(d.Width, w);
    EXPECT_EQ(d.Height, h);
    EXPECT_EQ(d.VideoCodec, std::string(name) == "v.webm" ? "vp9" : "h264") << name;
    EXPECT_EQ(d.AudioCodec, std::string(name) == "v.webm" ? "opus" : "aac") << name;
    EXPECT_EQ(d.Chapters, 2) << name;
    // The sound lasts as long as the pictures, give or take the encoder's
    // lead-in and its last padded packet.
    EXPECT_NEAR(d.AudioSeconds, frames / 30.0, 0.05) << name;
    // The frames in their order: each grey level where it was put (video
    // range luma 16..235 of the 0..232 levels).
    ASSERT_EQ(d.Greens.size(), static_cast<size_t>(frames));
    for (int k = 0; k < frames; ++k)
      EXPECT_NEAR(d.Greens[k], 16 + 8 * (k % 30) * 219 / 255.0, 4) << name << " frame " << k;
  }
  // Only the three videos: no temporary file is left.
  EXPECT_EQ(Names().size(), 3u);
}

TEST_F(RecordFolder, AbandonedOrFailedVideosLeaveNothingAndKeepTheOldFile) {
  WriteFileAtomic(Path("old.mp4"), std::string("an older video"));
  {
    TVideoEncoder enc;
    TVideoSettings s;
    s.Width = 32;
    s.Height = 32;
    std::string error;
    ASSERT_TRUE(enc.Open(Path("old.mp4"), s, error)) << error;
    std::vector<uint32_t> px;
    Picture(px, 32, 32, 3);
    ASSERT_TRUE(enc.AddFrame(px.data(), 32, error));
    EXPECT_EQ(Names().size(), 2u);  // the old file and the one being written
    enc.Abandon();
  }
  std::string text;
  ASSERT_TRUE(ReadTextFile(Path("old.mp4"), 100, text));
  EXPECT_EQ(text, "an older video");
  EXPECT_EQ(Names().size(), 1u);

  TVideoEncoder enc;
  TVideoSettings s;
  std::string error;
  EXPECT_FALSE(enc.Open(Path("missing/v.mp4"), s, error));
  EXPECT_EQ(error, "No such file or directory");
  fs::create_directories(Path("folder.mkv"));
  EXPECT_FALSE(enc.Open(Path("folder.mkv"), s, error));
  EXPECT_EQ(error, "is a folder");
  s.Width = 33;
  EXPECT_FALSE(enc.Open(Path("odd.mp4"), s, error));
  EXPECT_EQ(Names().size(), 2u);
}

TEST(MusicRenderer, SameSamplesEveryTimeSilenceWhenOff) {
  std::vector<unsigned char> midi;
  const std::string sf = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  if (ReadWholeFile(std::string(SKYLOOM_RUNTIME_DIR) + "/Music.mid", MaxMidiBytes, midi) !=
          TReadResult::Ok ||
      !IsRegularFile(sf))
    GTEST_SKIP() << "no music or soundfont";
  TMusicRenderer a, b;
  std::string error;
  ASSERT_TRUE(a.Load(sf, midi, 48000, error)) << error;
  ASSERT_TRUE(b.Load(sf, midi, 48000, error)) << error;
  std::vector<float> l1(48000), r1(48000), l2(48000), r2(48000);
  double energy = 0;
  for (int s = 0; s < 5; ++s) {  // five seconds
    a.Render(l1.data(), r1.data(), 48000, true);
    b.Render(l2.data(), r2.data(), 48000, true);
    ASSERT_EQ(l1, l2) << "second " << s;
    for (float v : l1) {
      energy += v * v;
      ASSERT_LE(std::fabs(v), 1.0f);
    }
  }
  EXPECT_GT(energy / (5 * 48000), 1e-5);  // heard, not a whisper
  a.Render(l1.data(), r1.data(), 1000, false);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(l1[i], 0.0f);
  // Starting again gives the opening again.
  TMusicRenderer c;
  ASSERT_TRUE(c.Load(sf, midi, 48000, error));
  c.Render(l2.data(), r2.data(), 4800, true);
  a.Restart();
  a.Render(l1.data(), r1.data(), 4800, true);
  EXPECT_TRUE(std::equal(l1.begin(), l1.begin() + 4800, l2.begin()));
}

TEST(RecordProgress, TextGoesFromTheRecordingToTheWindow) {
  struct {
    TRecordProgress P;
    const char* Text;
  } const cases[] = {
      {{1234, 3, 12, 25, 41, false}, "page 3 of 12, 25%, 0:41 left, 1234 frames"},
      {{90, 0, 0, -1, -1, false}, "90 frames"},
      {{7, 1, 9, 0, 3725, false}, "page 1 of 9, 0%, 1:02:05 left, 7 frames"},
      {{2459, 0, 0, -1, -1, true}, "done, 2459 frames"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgressText(c.P), c.Text);
    TRecordProgress back;
    ASSERT_TRUE(ParseProgressText(std::string("skyloom: recording 冬季 星空.mp4: ") + c.Text, back))
        << c.Text;
    EXPECT_EQ(back.Frames, c.P.Frames) << c.Text;
    EXPECT_EQ(back.Page, c.P.Page) << c.Text;
    EXPECT_EQ(back.Pages, c.P.Pages) << c.Text;
    EXPECT_EQ(back.Percent, c.P.Percent) << c.Text;
    EXPECT_EQ(back.SecondsLeft, c.P.SecondsLeft) << c.Text;
    EXPECT_EQ(back.Done, c.P.Done) << c.Text;
  }
  TRecordProgress none;
  EXPECT_FALSE(ParseProgressText("skyloom: x.mp4: not recorded (No space left on device)", none));
}

TEST(RecordProgress, PagesAlreadyPlayedEstimateTheRest) {
  TProgressEstimate e;
  e.PageTurned(1, 4, 0);
  EXPECT_EQ(e.At(50, 1.0).Percent, 0);  // nothing known of a page's length yet
  EXPECT_EQ(e.At(50, 1.0).SecondsLeft, -1);
  e.PageTurned(2, 4, 100);
  // One page of 100 frames behind: three of 100 ahead, the current half done.
  const TRecordProgress p = e.At(150, 3.0);
  EXPECT_EQ(p.Page, 2);
  EXPECT_EQ(p.Pages, 4);
  EXPECT_EQ(p.Percent, 37);           // 150 of 400
  EXPECT_EQ(p.SecondsLeft, 5);        // 250 frames at 50 a second
  e.PageTurned(4, 4, 300);
  EXPECT_EQ(e.At(400, 4.0).Percent, 99);  // never 100 before it is done
}

TEST(RecordJob, ReadsProgressAndMessageAndCancels) {
  TRecordJob job;
  std::string error;
  ASSERT_TRUE(job.Start("/bin/sh",
                        {"-c", "printf 'skyloom: recording a.mp4: page 2 of 5, 20%%, 0:09 left, 300 "
                               "frames\\r' >&2; exec sleep 30"},
                        {}, error))
      << error;
  for (int i = 0; i < 500 && job.Progress().Frames == 0; ++i) {
    usleep(10000);
    job.Poll();
  }
  EXPECT_EQ(job.State(), TRecordJob::TState::Running);
  EXPECT_EQ(job.Progress().Page, 2);
  EXPECT_EQ(job.Progress().Frames, 300);
  job.Cancel();
  EXPECT_EQ(job.State(), TRecordJob::TState::Cancelled);

  ASSERT_TRUE(job.Start("/bin/sh",
                        {"-c", "echo 'skyloom: b.mp4: not recorded (No space left on device)' >&2; "
                               "echo \"$SKYLOOM_TEST_VALUE\" >&2; exit 2"},
                        {"SKYLOOM_TEST_VALUE=from the job"}, error));
  for (int i = 0; i < 500 && job.State() == TRecordJob::TState::Running; ++i) {
    usleep(10000);
    job.Poll();
  }
  EXPECT_EQ(job.State(), TRecordJob::TState::Failed);
  EXPECT_EQ(job.Message(), "from the job");
}

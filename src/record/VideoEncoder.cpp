#include "VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "FileIo.h"

namespace {

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// Constant-quality levels of each video codec (lower is better), and the
// sound bit rates; "normal" keeps a ten-minute show at 1280x720 well under
// the size a school website takes.
struct TQualityLevels {
  int H264Crf, Vp9Crf;
  int64_t AacRate, OpusRate;
};
TQualityLevels LevelsOf(TVideoQuality q) {
  switch (q) {
    case TVideoQuality::Low: return {27, 40, 96000, 64000};
    case TVideoQuality::High: return {17, 24, 192000, 128000};
    case TVideoQuality::Normal: break;
  }
  return {21, 32, 128000, 96000};
}

}  // namespace

struct TVideoEncoder::TState {
  TVideoSettings Settings;
  TVideoContainer Container = TVideoContainer::Mp4;
  TAtomicFileWriter File;
  std::string WriteError;  // the first failure of the file, as the system said it
  uint64_t Written = 0;
  AVFormatContext* Format = nullptr;
  AVIOContext* Io = nullptr;
  AVCodecContext* Video = nullptr;
  AVCodecContext* Audio = nullptr;
  AVStream* VideoStream = nullptr;
  AVStream* AudioStream = nullptr;
  SwsContext* Scale = nullptr;
  AVFrame* Picture = nullptr;
  AVFrame* SoundFrame = nullptr;
  AVPacket* Packet = nullptr;
  AVAudioFifo* Fifo = nullptr;
  int64_t FrameCount = 0;
  int64_t SampleCount = 0;  // samples handed to the audio encoder
  bool HeaderWritten = false;

  ~TState() {
    if (Scale) sws_freeContext(Scale);
    av_frame_free(&Picture);
    av_frame_free(&SoundFrame);
    av_packet_free(&Packet);
    if (Fifo) av_audio_fifo_free(Fifo);
    avcodec_free_context(&Video);
    avcodec_free_context(&Audio);
    if (Format) avformat_free_context(Format);
    if (Io) {
      av_freep(&Io->buffer);
      avio_context_free(&Io);
    }
  }

  // The muxer's output goes through the one writer's descriptor.
  static int WritePacket(void* opaque, uint8_t* buf, int size) {
    auto* s = static_cast<TState*>(opaque);
    std::string why;
    if (!s->File.Write(buf, static_cast<size_t>(size), &why)) {
      if (s->WriteError.empty()) s->WriteError = why;
      return AVERROR(EIO);
    }
    s->Written += static_cast<uint64_t>(size);
    return size;
  }
  static int ReadPacket(void* opaque, uint8_t* buf, int size) {
    auto* s = static_cast<TState*>(opaque);
    const ssize_t n = ::read(s->File.Fd(), buf, static_cast<size_t>(size));
    if (n < 0) return AVERROR(errno);
    return n == 0 ? AVERROR_EOF : static_cast<int>(n);
  }
  static int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto* s = static_cast<TState*>(opaque);
    if (whence == AVSEEK_SIZE) {
      const off_t here = ::lseek(s->File.Fd(), 0, SEEK_CUR);
      const off_t end = ::lseek(s->File.Fd(), 0, SEEK_END);
      ::lseek(s->File.Fd(), here, SEEK_SET);
      return end;
    }
    const off_t at = ::lseek(s->File.Fd(), offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
  }

  // The reason of a failed library call: the file's own fault first (a
  // full disk says "No space left on device", not "I/O error").
  std::string Why(int code) const { return WriteError.empty() ? AvError(code) : WriteError; }

  bool OpenVideo(std::string& error) {
    const bool vp9 = Container == TVideoContainer::WebM;
    const char* name = vp9 ? "libvpx-vp9" : "libx264";
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) {
      error = std::string("the video encoder ") + name + " is missing";
      return false;
    }
    Video = avcodec_alloc_context3(codec);
    Video->width = Settings.Width;
    Video->height = Settings.Height;
    Video->time_base = AVRational{1, Settings.FramesPerSecond};
    Video->framerate = AVRational{Settings.FramesPerSecond, 1};
    Video->pix_fmt = AV_PIX_FMT_YUV420P;
    Video->gop_size = Settings.FramesPerSecond * 10;  // a key frame every 10 s for seeking
    Video->colorspace = AVCOL_SPC_SMPTE170M;          // what the conversion below uses
    Video->color_primaries = AVCOL_PRI_SMPTE170M;
    Video->color_trc = AVCOL_TRC_SMPTE170M;
    Video->color_range = AVCOL_RANGE_MPEG;
    const TQualityLevels q = LevelsOf(Settings.Quality);
    if (vp9) {
      Video->bit_rate = 0;
      av_opt_set_int(Video->priv_data, "crf", q.Vp9Crf, 0);
      av_opt_set(Video->priv_data, "deadline", "realtime", 0);
      av_opt_set_int(Video->priv_data, "cpu-used", 8, 0);
      av_opt_set_int(Video->priv_data, "row-mt", 1, 0);
      av_opt_set_int(Video->priv_data, "tile-columns", 1, 0);
      // No frames held back for a second look: each would keep its
      // picture buffers (some 70 MiB in all) for little gain in real time.
      av_opt_set_int(Video->priv_data, "lag-in-frames", 0, 0);
      Video->thread_count = 2;
    } else {
      av_opt_set(Video->priv_data, "preset", "veryfast", 0);
      av_opt_set_int(Video->priv_data, "crf", q.H264Crf, 0);
      av_opt_set(Video->priv_data, "profile", "high", 0);
      // A short look ahead and two B-frames: files as small as the preset's
      // own (a still sky costs nearly nothing either way) with a third
      // less memory; two threads for the two cores of a school PC.
      av_opt_set(Video->priv_data, "x264-params", "rc-lookahead=5:sync-lookahead=0:bframes=2", 0);
      Video->thread_count = 2;
    }
    if (Format->oformat->flags & AVFMT_GLOBALHEADER) Video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int r = avcodec_open2(Video, codec, nullptr);
    if (r < 0) {
      error = std::string("cannot start the video encoder (") + AvError(r) + ")";
      return false;
    }
    VideoStream = avformat_new_stream(Format, nullptr);
    VideoStream->time_base = Video->time_base;
    VideoStream->avg_frame_rate = Video->framerate;
    avcodec_parameters_from_context(VideoStream->codecpar, Video);
    Picture = av_frame_alloc();
    Picture->format = Video->pix_fmt;
    Picture->width = Video->width;
    Picture->height = Video->height;
    r = av_frame_get_buffer(Picture, 0);
    if (r < 0) {
      error = "out of memory";
      return false;
    }
    Scale = sws_getContext(Settings.Width, Settings.Height, AV_PIX_FMT_BGRA, Settings.Width,
                           Settings.Height, AV_PIX_FMT_YUV420P,
                           SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr,
                           nullptr);
    if (!Scale) {
      error = "cannot convert the pictures";
      return false;
    }
    return true;
  }

  bool OpenAudio(std::string& error) {
    const bool opus = Container == TVideoContainer::WebM;
    const char* name = opus ? "libopus" : "aac";
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) {
      error = std::string("the sound encoder ") + name + " is missing";
      return false;
    }
    Audio = avcodec_alloc_context3(codec);
    Audio->sample_rate = Settings.SampleRate;
    Audio->sample_fmt = opus ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_FLTP;
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&Audio->ch_layout, &stereo);
    Audio->time_base = AVRational{1, Settings.SampleRate};
    const TQualityLevels q = LevelsOf(Settings.Quality);
    Audio->bit_rate = opus ? q.OpusRate : q.AacRate;
    if (Format->oformat->flags & AVFMT_GLOBALHEADER) Audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int r = avcodec_open2(Audio, codec, nullptr);
    if (r < 0) {
      error = std::string("cannot start the sound encoder (") + AvError(r) + ")";
      return false;
    }
    AudioStream = avformat_new_stream(Format, nullptr);
    AudioStream->time_base = Audio->time_base;
    avcodec_parameters_from_context(AudioStream->codecpar, Audio);
    SoundFrame = av_frame_alloc();
    SoundFrame->format = Audio->sample_fmt;
    SoundFrame->nb_samples = Audio->frame_size > 0 ? Audio->frame_size : 1024;
    SoundFrame->sample_rate = Audio->sample_rate;
    av_channel_layout_copy(&SoundFrame->ch_layout, &Audio->ch_layout);
    if (av_frame_get_buffer(SoundFrame, 0) < 0) {
      error = "out of memory";
      return false;
    }
    // The sound arrives in frame-sized pieces (1600 samples at 30 fps) and
    // leaves in the encoder's (1024 for AAC, 960 for Opus).
    Fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, 2, SoundFrame->nb_samples * 4);
    if (!Fifo) {
      error = "out of memory";
      return false;
    }
    return true;
  }

  // Sends a frame (nullptr drains) and writes every packet the encoder gives.
  bool Encode(AVCodecContext* c, AVStream* st, AVFrame* frame, std::string& error) {
    int r = avcodec_send_frame(c, frame);
    if (r < 0) {
      error = "the encoder failed: " + AvError(r);
      return false;
    }
    for (;;) {
      r = avcodec_receive_packet(c, Packet);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
      if (r < 0) {
        error = "the encoder failed: " + AvError(r);
        return false;
      }
      av_packet_rescale_ts(Packet, c->time_base, st->time_base);
      Packet->stream_index = st->index;
      r = av_interleaved_write_frame(Format, Packet);
      if (r < 0 || (Format->pb && Format->pb->error < 0)) {
        error = Why(r < 0 ? r : Format->pb->error);
        return false;
      }
    }
  }

  // Encodes whole sound frames from the queue; at the end also the rest,
  // padded with silence to a whole frame.
  bool DrainSound(bool atEnd, std::string& error) {
    const int n = SoundFrame->nb_samples;
    while (av_audio_fifo_size(Fifo) >= n || (atEnd && av_audio_fifo_size(Fifo) > 0)) {
      if (av_frame_make_writable(SoundFrame) < 0) {
        error = "out of memory";
        return false;
      }
      float planes[2][8192];
      const int take = std::min({n, av_audio_fifo_size(Fifo), 8192});
      void* dst[2] = {planes[0], planes[1]};
      av_audio_fifo_read(Fifo, dst, take);
      std::fill(planes[0] + take, planes[0] + n, 0.0f);
      std::fill(planes[1] + take, planes[1] + n, 0.0f);
      if (Audio->sample_fmt == AV_SAMPLE_FMT_FLTP) {
        std::memcpy(SoundFrame->data[0], planes[0], sizeof(float) * n);
        std::memcpy(SoundFrame->data[1], planes[1], sizeof(float) * n);
      } else {
        auto* out = reinterpret_cast<float*>(SoundFrame->data[0]);
        for (int i = 0; i < n; ++i) {
          out[2 * i] = planes[0][i];
          out[2 * i + 1] = planes[1][i];
        }
      }
      SoundFrame->pts = SampleCount;
      SampleCount += n;
      if (!Encode(Audio, AudioStream, SoundFrame, error)) return false;
    }
    return true;
  }
};

TVideoEncoder::TVideoEncoder() = default;
TVideoEncoder::~TVideoEncoder() { Abandon(); }

bool TVideoEncoder::Open(const std::string& path, const TVideoSettings& settings,
                         std::string& error) {
  Abandon();
  // The libraries' own chatter (encoder settings, statistics) stays off the
  // terminal; their errors come back through the calls below.
  av_log_set_level(AV_LOG_ERROR);
  s_ = std::make_unique<TState>();
  TState& s = *s_;
  s.Settings = settings;
  if (!VideoContainerOf(path, s.Container)) {
    error = "unsupported kind of video (the name must end in .mp4, .webm or .mkv)";
    s_.reset();
    return false;
  }
  if (settings.Width < 16 || settings.Height < 16 || settings.Width % 2 || settings.Height % 2 ||
      settings.FramesPerSecond <= 0 || settings.SampleRate <= 0) {
    error = "unsupported picture size";
    s_.reset();
    return false;
  }
  // Something other than a file in the target's place would only be found
  // at the end, when the finished video cannot replace it.
  std::string kind;
  if (!IsRegularFile(path, &kind) && kind != "no such file") {
    error = kind;
    s_.reset();
    return false;
  }
  if (!s.File.Open(path, &error)) {
    s_.reset();
    return false;
  }
  const char* muxer = s.Container == TVideoContainer::Mp4    ? "mp4"
                      : s.Container == TVideoContainer::WebM ? "webm"
                                                             : "matroska";
  int r = avformat_alloc_output_context2(&s.Format, nullptr, muxer, nullptr);
  if (r < 0 || !s.Format) {
    error = "the container " + std::string(muxer) + " is missing";
    Abandon();
    return false;
  }
  constexpr int IoBufferSize = 1 << 16;
  auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferSize));
  s.Io = avio_alloc_context(buffer, IoBufferSize, 1, &s, &TState::ReadPacket, &TState::WritePacket,
                            &TState::Seek);
  s.Format->pb = s.Io;
  s.Format->flags |= AVFMT_FLAG_CUSTOM_IO;
  // An MP4's index is moved to the front at the end, so that a web page
  // plays it before it has all arrived; the muxer reads the file back by
  // this name for that.
  s.Format->url = av_strdup(s.File.TemporaryPath().c_str());
  s.Packet = av_packet_alloc();
  if (!s.OpenVideo(error) || !s.OpenAudio(error)) {
    Abandon();
    return false;
  }
  AVDictionary* options = nullptr;
  if (s.Container == TVideoContainer::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
  r = avformat_write_header(s.Format, &options);
  av_dict_free(&options);
  if (r < 0) {
    error = s.Why(r);
    Abandon();
    return false;
  }
  s.HeaderWritten = true;
  return true;
}

bool TVideoEncoder::AddFrame(const uint32_t* argb, int stride, std::string& error) {
  if (!s_) {
    error = "not open";
    return false;
  }
  TState& s = *s_;
  if (av_frame_make_writable(s.Picture) < 0) {
    error = "out of memory";
    return false;
  }
  const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(argb)};
  const int srcStride[1] = {stride * 4};
  sws_scale(s.Scale, src, srcStride, 0, s.Settings.Height, s.Picture->data, s.Picture->linesize);
  s.Picture->pts = s.FrameCount++;
  return s.Encode(s.Video, s.VideoStream, s.Picture, error);
}

bool TVideoEncoder::AddSound(const float* left, const float* right, int count,
                             std::string& error) {
  if (!s_) {
    error = "not open";
    return false;
  }
  void* planes[2] = {const_cast<float*>(left), const_cast<float*>(right)};
  if (av_audio_fifo_write(s_->Fifo, planes, count) < count) {
    error = "out of memory";
    return false;
  }
  return s_->DrainSound(false, error);
}

void TVideoEncoder::AddChapter(int64_t frame, const std::string& title) {
  if (!s_ || !s_->Format) return;
  AVFormatContext* f = s_->Format;
  auto* ch = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
  if (!ch) return;
  if (av_reallocp_array(&f->chapters, f->nb_chapters + 1, sizeof(*f->chapters)) < 0) {
    av_free(ch);
    f->nb_chapters = 0;
    return;
  }
  ch->id = f->nb_chapters + 1;
  ch->time_base = AVRational{1, s_->Settings.FramesPerSecond};
  ch->start = frame;
  ch->end = frame;  // set when the next one starts, or at the end
  av_dict_set(&ch->metadata, "title", title.c_str(), 0);
  if (f->nb_chapters > 0) f->chapters[f->nb_chapters - 1]->end = frame;
  f->chapters[f->nb_chapters++] = ch;
}

bool TVideoEncoder::Finish(std::string& error) {
  if (!s_) {
    error = "not open";
    return false;
  }
  TState& s = *s_;
  AVFormatContext* f = s.Format;
  if (f->nb_chapters > 0) f->chapters[f->nb_chapters - 1]->end = s.FrameCount;
  if (!s.Encode(s.Video, s.VideoStream, nullptr, error) || !s.DrainSound(true, error) ||
      !s.Encode(s.Audio, s.AudioStream, nullptr, error)) {
    Abandon();
    return false;
  }
  int r = av_write_trailer(f);
  if (r >= 0) avio_flush(f->pb);
  if (r < 0 || f->pb->error < 0) {
    error = s.Why(r < 0 ? r : f->pb->error);
    Abandon();
    return false;
  }
  std::string why;
  if (!s.File.Commit(&why)) {
    error = why;
    Abandon();
    return false;
  }
  return true;
}

void TVideoEncoder::Abandon() {
  if (s_) s_->File.Abandon();
  s_.reset();
}

int64_t TVideoEncoder::Frames() const { return s_ ? s_->FrameCount : 0; }
uint64_t TVideoEncoder::BytesWritten() const { return s_ ? s_->Written : 0; }

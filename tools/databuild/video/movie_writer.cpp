// Movies: the drawn pictures encoded as WMV2 and a music track as WMA2, in an ASF file. The
// muxer and both encoders run bit-exact, without threads and without a creation time, so the
// same arguments always give the same bytes.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "assets.h"
#include "sound/music.h"
#include "sound/synth.h"
#include "video/movie_frames.h"

namespace databuild {
namespace {

constexpr int kFramesPerSecond = 15;

struct Output {
  AVFormatContext* format = nullptr;
  AVCodecContext* video = nullptr;
  AVCodecContext* audio = nullptr;
  AVStream* video_stream = nullptr;
  AVStream* audio_stream = nullptr;
  AVPacket* packet = nullptr;

  ~Output() {
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    av_packet_free(&packet);
    if (format != nullptr) {
      if (format->pb != nullptr) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
};

// Sends one frame (null: the end) and writes every packet the encoder hands back.
bool Send(Output* out, AVCodecContext* encoder, AVStream* stream, AVFrame* frame) {
  if (avcodec_send_frame(encoder, frame) < 0) return false;
  for (;;) {
    const int r = avcodec_receive_packet(encoder, out->packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) return false;
    av_packet_rescale_ts(out->packet, encoder->time_base, stream->time_base);
    out->packet->stream_index = stream->index;
    if (av_interleaved_write_frame(out->format, out->packet) < 0) return false;
  }
}

AVCodecContext* OpenEncoder(Output* out, AVCodecID id, AVStream** stream, void (*setup)(AVCodecContext*, const AVCodec*, void*),
                            void* arg) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (codec == nullptr) return nullptr;
  AVCodecContext* c = avcodec_alloc_context3(codec);
  if (c == nullptr) return nullptr;
  setup(c, codec, arg);
  c->thread_count = 1;
  c->flags |= AV_CODEC_FLAG_BITEXACT;
  if (out->format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(c, codec, nullptr) < 0) {
    avcodec_free_context(&c);
    return nullptr;
  }
  *stream = avformat_new_stream(out->format, nullptr);
  if (*stream == nullptr || avcodec_parameters_from_context((*stream)->codecpar, c) < 0) {
    avcodec_free_context(&c);
    return nullptr;
  }
  (*stream)->time_base = c->time_base;
  return c;
}

struct VideoSize {
  int width, height, bit_rate;
};

void SetupVideo(AVCodecContext* c, const AVCodec*, void* arg) {
  const auto* size = static_cast<const VideoSize*>(arg);
  c->width = size->width;
  c->height = size->height;
  c->pix_fmt = AV_PIX_FMT_YUV420P;
  c->time_base = {1, kFramesPerSecond};
  c->framerate = {kFramesPerSecond, 1};
  c->gop_size = 2 * kFramesPerSecond;
  c->max_b_frames = 0;
  c->bit_rate = size->bit_rate;
}

void SetupAudio(AVCodecContext* c, const AVCodec* codec, void*) {
  c->sample_rate = kSampleRate;
  c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
  av_channel_layout_copy(&c->ch_layout, &mono);
  c->bit_rate = 32000;
  c->time_base = {1, kSampleRate};
}

// Picture `rgb` (top-down R G B) into the YUV 4:2:0 frame, with the studio-range BT.601 matrix.
void ToYuv(const std::vector<std::uint8_t>& rgb, int w, int h, AVFrame* f) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
      f->data[0][y * f->linesize[0] + x] = static_cast<std::uint8_t>(((66 * p[0] + 129 * p[1] + 25 * p[2] + 128) >> 8) + 16);
    }
  for (int y = 0; y < h / 2; ++y)
    for (int x = 0; x < w / 2; ++x) {
      int r = 0, g = 0, b = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          const std::uint8_t* p = &rgb[(static_cast<std::size_t>(2 * y + dy) * w + 2 * x + dx) * 3];
          r += p[0], g += p[1], b += p[2];
        }
      r = (r + 2) / 4, g = (g + 2) / 4, b = (b + 2) / 4;
      f->data[1][y * f->linesize[1] + x] = static_cast<std::uint8_t>(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
      f->data[2][y * f->linesize[2] + x] = static_cast<std::uint8_t>(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
    }
}

// Encodes the samples from `*next` up to `until` in whole encoder frames (the last one padded
// with silence when `flush` is set).
bool WriteAudio(Output* out, const std::vector<float>& samples, long until, bool flush, long* next) {
  const int frame_size = out->audio->frame_size > 0 ? out->audio->frame_size : 1024;
  while (*next + frame_size <= until || (flush && *next < until)) {
    AVFrame* f = av_frame_alloc();
    if (f == nullptr) return false;
    f->nb_samples = frame_size;
    f->format = out->audio->sample_fmt;
    f->sample_rate = kSampleRate;
    av_channel_layout_copy(&f->ch_layout, &out->audio->ch_layout);
    if (av_frame_get_buffer(f, 0) < 0) {
      av_frame_free(&f);
      return false;
    }
    for (int i = 0; i < frame_size; ++i) {
      const long k = *next + i;
      const float v = k < static_cast<long>(samples.size()) ? std::clamp(samples[static_cast<std::size_t>(k)], -1.0f, 1.0f) : 0.0f;
      switch (out->audio->sample_fmt) {
        case AV_SAMPLE_FMT_FLTP: case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(f->data[0])[i] = v; break;
        case AV_SAMPLE_FMT_S16P: case AV_SAMPLE_FMT_S16:
          reinterpret_cast<std::int16_t*>(f->data[0])[i] = static_cast<std::int16_t>(v * 32767.0f); break;
        default: break;
      }
    }
    f->pts = *next;
    *next += frame_size;
    const bool ok = Send(out, out->audio, out->audio_stream, f);
    av_frame_free(&f);
    if (!ok) return false;
  }
  return true;
}

bool Fail(const std::filesystem::path& file, const char* what) {
  std::fprintf(stderr, "databuild: %s: %s\n", file.c_str(), what);
  return false;
}

}  // namespace

bool BuildMovie(const std::filesystem::path& file, const std::string& name, int width, int height, double seconds) {
  if (width < 16 || height < 16 || width % 2 || height % 2 || width > 1920 || height > 1080) return Fail(file, "unusable movie size");
  if (!(seconds >= 1.0 && seconds <= 600.0)) return Fail(file, "unusable movie length");
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  Output out;
  const std::string path = file.string();
  if (avformat_alloc_output_context2(&out.format, nullptr, "asf", path.c_str()) < 0 || out.format == nullptr)
    return Fail(file, "no ASF muxer");
  out.format->flags |= AVFMT_FLAG_BITEXACT;
  out.packet = av_packet_alloc();
  // About a bit per pixel each second keeps the calm pictures clean at a small size.
  VideoSize size{width, height, std::clamp(width * height * 2, 150000, 600000)};
  out.video = OpenEncoder(&out, AV_CODEC_ID_WMV2, &out.video_stream, SetupVideo, &size);
  if (out.video == nullptr) return Fail(file, "cannot open the WMV2 encoder");
  out.audio = OpenEncoder(&out, AV_CODEC_ID_WMAV2, &out.audio_stream, SetupAudio, nullptr);
  if (out.audio == nullptr) return Fail(file, "cannot open the WMA2 encoder");
  if (avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail(file, "cannot write");
  if (avformat_write_header(out.format, nullptr) < 0) return Fail(file, "cannot write the ASF header");

  const int frames = static_cast<int>(std::lround(seconds * kFramesPerSecond));
  const long total_samples = static_cast<long>(frames) * kSampleRate / kFramesPerSecond;
  // The opening movie plays the title music, which then goes on on the title screen.
  const std::vector<float> music = RenderMusicBed(name == "op" ? "BGM10" : "movie:" + name, total_samples, kSampleRate);
  MovieFrames painter(name, width, height, frames);
  std::vector<std::uint8_t> rgb;
  long next_sample = 0;
  for (int i = 0; i < frames; ++i) {
    AVFrame* f = av_frame_alloc();
    if (f == nullptr) return Fail(file, "out of memory");
    f->format = AV_PIX_FMT_YUV420P;
    f->width = width;
    f->height = height;
    if (av_frame_get_buffer(f, 0) < 0) {
      av_frame_free(&f);
      return Fail(file, "out of memory");
    }
    painter.Paint(i, &rgb);
    ToYuv(rgb, width, height, f);
    f->pts = i;
    const bool ok = Send(&out, out.video, out.video_stream, f);
    av_frame_free(&f);
    if (!ok) return Fail(file, "video encoding failed");
    if (!WriteAudio(&out, music, static_cast<long>(i + 1) * kSampleRate / kFramesPerSecond, false, &next_sample))
      return Fail(file, "audio encoding failed");
  }
  if (!Send(&out, out.video, out.video_stream, nullptr) || !WriteAudio(&out, music, total_samples, true, &next_sample) ||
      !Send(&out, out.audio, out.audio_stream, nullptr))
    return Fail(file, "encoding the end failed");
  if (av_write_trailer(out.format) < 0) return Fail(file, "cannot finish the ASF file");
  return true;
}

}  // namespace databuild

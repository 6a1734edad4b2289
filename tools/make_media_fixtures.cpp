// Writes the media fixtures: movie.wmv (64 x 48, 10 pictures at 10 a second, each a flat colour
// of its own, with a steady tone) and voice.mp3 (half a second of tone) into DIR; with BENCH_DIR,
// also video_320x240.wmv there (2 s at 20 pictures a second, a gradient moving by a few pixels
// from picture to picture, with a tone), the playback benchmark's video.
// Build: g++ -std=c++20 make_media_fixtures.cpp $(pkg-config --cflags --libs libavformat libavcodec libavutil)
// Run:   ./a.out tests/platform/data [bench/data]
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}
#include <cstdio>
#include <cstring>

static void Flush(AVFormatContext* fmt, AVCodecContext* enc, AVStream* st, AVFrame* frame) {
  avcodec_send_frame(enc, frame);
  AVPacket* pkt = av_packet_alloc();
  while (avcodec_receive_packet(enc, pkt) >= 0) {
    av_packet_rescale_ts(pkt, enc->time_base, st->time_base);
    pkt->stream_index = st->index;
    av_interleaved_write_frame(fmt, pkt);
  }
  av_packet_free(&pkt);
}

static AVCodecContext* AudioEncoder(AVFormatContext* fmt, AVCodecID id, AVStream** st) {
  const AVCodec* c = avcodec_find_encoder(id);
  if (!c) { std::fprintf(stderr, "no audio encoder\n"); return nullptr; }
  AVCodecContext* a = avcodec_alloc_context3(c);
  a->sample_rate = 22050;
  a->sample_fmt = c->sample_fmts ? c->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  av_channel_layout_copy(&a->ch_layout, &stereo);
  a->bit_rate = 32000;
  a->time_base = {1, 22050};
  if (fmt->oformat->flags & AVFMT_GLOBALHEADER) a->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(a, c, nullptr) < 0) return nullptr;
  *st = avformat_new_stream(fmt, nullptr);
  avcodec_parameters_from_context((*st)->codecpar, a);
  (*st)->time_base = a->time_base;
  return a;
}

static void WriteTone(AVFormatContext* fmt, AVCodecContext* a, AVStream* st, int samples_total, int64_t* next) {
  while (*next < samples_total) {
    AVFrame* f = av_frame_alloc();
    f->nb_samples = a->frame_size > 0 ? a->frame_size : 1024;
    f->format = a->sample_fmt;
    av_channel_layout_copy(&f->ch_layout, &a->ch_layout);
    f->sample_rate = 22050;
    av_frame_get_buffer(f, 0);
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < f->nb_samples; ++i) {
        const float v = ((*next + i) / 25) % 2 ? 0.25f : -0.25f;
        if (a->sample_fmt == AV_SAMPLE_FMT_FLTP) reinterpret_cast<float*>(f->data[ch])[i] = v;
        else if (a->sample_fmt == AV_SAMPLE_FMT_S16P) reinterpret_cast<int16_t*>(f->data[ch])[i] = int16_t(v * 32767);
        else if (a->sample_fmt == AV_SAMPLE_FMT_S16) reinterpret_cast<int16_t*>(f->data[0])[i * 2 + ch] = int16_t(v * 32767);
      }
    f->pts = *next;
    *next += f->nb_samples;
    Flush(fmt, a, st, f);
    av_frame_free(&f);
  }
}

// A WMV2 + WMA2 video in ASF of `frames` pictures at `fps` a second; `paint` fills picture i
// (YUV 4:2:0) and the tone runs along.
template <typename Paint>
static bool WriteMovie(const char* path, int w, int h, int fps, int frames, int gop, int bit_rate, Paint paint) {
  AVFormatContext* fmt = nullptr;
  avformat_alloc_output_context2(&fmt, nullptr, "asf", path);
  const AVCodec* vc = avcodec_find_encoder(AV_CODEC_ID_WMV2);
  if (!vc) { std::fprintf(stderr, "no wmv2\n"); return false; }
  AVCodecContext* v = avcodec_alloc_context3(vc);
  v->width = w; v->height = h; v->pix_fmt = AV_PIX_FMT_YUV420P; v->time_base = {1, fps}; v->framerate = {fps, 1};
  v->gop_size = gop; v->bit_rate = bit_rate;
  if (fmt->oformat->flags & AVFMT_GLOBALHEADER) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(v, vc, nullptr) < 0) return false;
  AVStream* vs = avformat_new_stream(fmt, nullptr);
  avcodec_parameters_from_context(vs->codecpar, v);
  vs->time_base = v->time_base;
  AVStream* as = nullptr;
  AVCodecContext* a = AudioEncoder(fmt, AV_CODEC_ID_WMAV2, &as);
  if (!a) return false;
  avio_open(&fmt->pb, path, AVIO_FLAG_WRITE);
  if (avformat_write_header(fmt, nullptr) < 0) return false;
  int64_t next_sample = 0;
  for (int i = 0; i < frames; ++i) {
    AVFrame* f = av_frame_alloc();
    f->format = v->pix_fmt; f->width = w; f->height = h;
    av_frame_get_buffer(f, 0);
    paint(f, i);
    f->pts = i;
    Flush(fmt, v, vs, f);
    av_frame_free(&f);
    WriteTone(fmt, a, as, (i + 1) * 22050 / fps, &next_sample);
  }
  Flush(fmt, v, vs, nullptr);
  Flush(fmt, a, as, nullptr);
  av_write_trailer(fmt);
  avio_closep(&fmt->pb);
  avcodec_free_context(&v);
  avcodec_free_context(&a);
  avformat_free_context(fmt);
  return true;
}

int main(int argc, char** argv) {
  const char* dir = argc > 1 ? argv[1] : ".";
  char path[1024];
  std::snprintf(path, sizeof path, "%s/movie.wmv", dir);
  const bool movie_ok = WriteMovie(path, 64, 48, 10, 10, 1, 100000, [](AVFrame* f, int i) {
    // Flat colours that differ from picture to picture: luma steps, chroma alternates.
    std::memset(f->data[0], 30 + i * 20, f->linesize[0] * 48);
    std::memset(f->data[1], i % 2 ? 60 : 190, f->linesize[1] * 24);
    std::memset(f->data[2], i % 3 ? 100 : 200, f->linesize[2] * 24);
  });
  if (!movie_ok) return 1;
  {
    std::snprintf(path, sizeof path, "%s/voice.mp3", dir);
    AVFormatContext* fmt = nullptr;
    avformat_alloc_output_context2(&fmt, nullptr, "mp3", path);
    AVStream* as = nullptr;
    AVCodecContext* a = AudioEncoder(fmt, AV_CODEC_ID_MP3, &as);
    if (!a) return 1;
    avio_open(&fmt->pb, path, AVIO_FLAG_WRITE);
    if (avformat_write_header(fmt, nullptr) < 0) return 1;
    int64_t next = 0;
    WriteTone(fmt, a, as, 11025, &next);
    Flush(fmt, a, as, nullptr);
    av_write_trailer(fmt);
    avio_closep(&fmt->pb);
  }
  if (argc > 2) {
    std::snprintf(path, sizeof path, "%s/video_320x240.wmv", argv[2]);
    const bool ok = WriteMovie(path, 320, 240, 20, 40, 20, 500000, [](AVFrame* f, int i) {
      // A diagonal luma gradient and crossing chroma ramps, moving 4 pixels a picture.
      for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) f->data[0][y * f->linesize[0] + x] = static_cast<uint8_t>(16 + ((x + y / 2 + 4 * i) % 220));
      for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
          f->data[1][y * f->linesize[1] + x] = static_cast<uint8_t>(64 + ((x + 2 * i) % 128));
          f->data[2][y * f->linesize[2] + x] = static_cast<uint8_t>(64 + ((y + 2 * i) % 128));
        }
    });
    if (!ok) return 1;
  }
  return 0;
}

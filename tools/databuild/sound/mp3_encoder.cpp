// Feeds the samples to FFmpeg's MP3 encoder frame by frame and keeps the packets as they come:
// without a muxer nothing but the frames reaches the file.
#include "sound/mp3_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cstdio>

namespace databuild {
namespace {

bool Drain(AVCodecContext* encoder, AVPacket* packet, std::vector<std::uint8_t>* out) {
  for (;;) {
    const int r = avcodec_receive_packet(encoder, packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) return false;
    out->insert(out->end(), packet->data, packet->data + packet->size);
    av_packet_unref(packet);
  }
}

bool Encode(AVCodecContext* encoder, const std::vector<float>& samples, std::vector<std::uint8_t>* out) {
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  bool ok = packet != nullptr && frame != nullptr;
  const int frame_size = encoder->frame_size > 0 ? encoder->frame_size : 1152;
  for (std::size_t at = 0; ok && at < samples.size(); at += static_cast<std::size_t>(frame_size)) {
    av_frame_unref(frame);
    frame->nb_samples = frame_size;  // the last frame is padded with silence
    frame->format = encoder->sample_fmt;
    frame->sample_rate = encoder->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout);
    if (av_frame_get_buffer(frame, 0) < 0) { ok = false; break; }
    for (int i = 0; i < frame->nb_samples; ++i) {
      const std::size_t k = at + static_cast<std::size_t>(i);
      const float v = k < samples.size() ? std::clamp(samples[k], -1.0f, 1.0f) : 0.0f;
      switch (encoder->sample_fmt) {
        case AV_SAMPLE_FMT_FLTP: case AV_SAMPLE_FMT_FLT:
          reinterpret_cast<float*>(frame->data[0])[i] = v; break;
        case AV_SAMPLE_FMT_S16P: case AV_SAMPLE_FMT_S16:
          reinterpret_cast<std::int16_t*>(frame->data[0])[i] = static_cast<std::int16_t>(v * 32767.0f); break;
        default:  // S32 / S32P
          reinterpret_cast<std::int32_t*>(frame->data[0])[i] = static_cast<std::int32_t>(v * 2147483000.0f); break;
      }
    }
    frame->pts = static_cast<std::int64_t>(at);
    ok = avcodec_send_frame(encoder, frame) >= 0 && Drain(encoder, packet, out);
  }
  if (ok) ok = avcodec_send_frame(encoder, nullptr) >= 0 && Drain(encoder, packet, out);
  av_frame_free(&frame);
  av_packet_free(&packet);
  return ok;
}

}  // namespace

bool EncodeMp3(const std::vector<float>& samples, int rate, int kbps, std::vector<std::uint8_t>* out) {
  out->clear();
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MP3);
  if (codec == nullptr) {
    std::fprintf(stderr, "databuild: FFmpeg has no MP3 encoder\n");
    return false;
  }
  AVCodecContext* encoder = avcodec_alloc_context3(codec);
  if (encoder == nullptr) return false;
  encoder->sample_rate = rate;
  encoder->bit_rate = static_cast<std::int64_t>(kbps) * 1000;
  encoder->time_base = {1, rate};
  encoder->thread_count = 1;
  encoder->flags |= AV_CODEC_FLAG_BITEXACT;
  AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
  av_channel_layout_copy(&encoder->ch_layout, &mono);
  encoder->sample_fmt = AV_SAMPLE_FMT_NONE;
  // Prefer float input; take what the encoder offers otherwise.
  for (const AVSampleFormat* f = codec->sample_fmts; f != nullptr && *f != AV_SAMPLE_FMT_NONE; ++f) {
    if (*f == AV_SAMPLE_FMT_FLTP || *f == AV_SAMPLE_FMT_FLT) { encoder->sample_fmt = *f; break; }
    if (encoder->sample_fmt == AV_SAMPLE_FMT_NONE &&
        (*f == AV_SAMPLE_FMT_S16 || *f == AV_SAMPLE_FMT_S16P || *f == AV_SAMPLE_FMT_S32 || *f == AV_SAMPLE_FMT_S32P))
      encoder->sample_fmt = *f;
  }
  bool ok = encoder->sample_fmt != AV_SAMPLE_FMT_NONE && avcodec_open2(encoder, codec, nullptr) >= 0;
  if (!ok) std::fprintf(stderr, "databuild: cannot open the MP3 encoder (%d Hz, %d kbit/s)\n", rate, kbps);
  if (ok) ok = Encode(encoder, samples, out);
  avcodec_free_context(&encoder);
  if (ok && (out->empty() || (*out)[0] != 0xFF)) {
    std::fprintf(stderr, "databuild: the MP3 encoder gave no frames\n");
    ok = false;
  }
  return ok;
}

}  // namespace databuild

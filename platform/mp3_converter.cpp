#include "platform/mp3_converter.h"

#include <cstring>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace plat {

namespace {

bool InputUsable(const MpegLayer3Format& input) {
  return input.wave.format_tag == kFormatTagMpegLayer3 && (input.wave.channels == 1 || input.wave.channels == 2) &&
         input.wave.samples_per_second >= 8000 && input.wave.samples_per_second <= 48000;
}

bool OutputUsable(const WaveFormat& output) {
  return output.format_tag == kFormatTagPcm && output.bits_per_sample == 16 &&
         (output.channels == 1 || output.channels == 2) && output.block_align == output.channels * 2 &&
         output.samples_per_second >= 8000 && output.samples_per_second <= 192000;
}

// The decoder reports every damaged frame on the error stream; the files are untrusted and a
// damaged frame is an ordinary event here, so the library stays quiet.
void QuietLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// The libraries' objects for one decoding run, freed on every way out.
struct DecodeRun {
  AVCodecParserContext* parser = nullptr;
  AVCodecContext* codec = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  SwrContext* resampler = nullptr;
  AVChannelLayout resampler_layout{};
  int resampler_rate = 0;
  int resampler_format = -1;

  ~DecodeRun() {
    swr_free(&resampler);
    av_channel_layout_uninit(&resampler_layout);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    if (parser != nullptr) av_parser_close(parser);
  }
};

class PcmSink {
 public:
  PcmSink(const WaveFormat& format, std::vector<std::uint8_t>* out) : format_(format), out_(out) {}

  // Resamples `frame` (null: drain the resampler) to the output format and appends the samples.
  bool Add(DecodeRun* run, const AVFrame* frame) {
    if (frame != nullptr) {
      const int channels = frame->ch_layout.nb_channels;
      if (channels < 1 || channels > 2 || frame->sample_rate < 1000 || frame->sample_rate > 192000 ||
          frame->nb_samples <= 0) {
        return true;  // nothing this converter can describe: skipped like a damaged frame
      }
      if (run->resampler == nullptr || frame->sample_rate != run->resampler_rate ||
          frame->format != run->resampler_format ||
          av_channel_layout_compare(&frame->ch_layout, &run->resampler_layout) != 0) {
        if (run->resampler != nullptr && !Drain(run)) return false;
        if (!Configure(run, frame)) return false;
      }
      return Push(run, const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    }
    return run->resampler == nullptr || Drain(run);
  }

 private:
  bool Configure(DecodeRun* run, const AVFrame* frame) {
    swr_free(&run->resampler);
    av_channel_layout_uninit(&run->resampler_layout);
    AVChannelLayout out_layout{};
    av_channel_layout_default(&out_layout, format_.channels);
    AVChannelLayout in_layout{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
      av_channel_layout_default(&in_layout, frame->ch_layout.nb_channels);
    } else if (av_channel_layout_copy(&in_layout, &frame->ch_layout) < 0) {
      return false;
    }
    const int result = swr_alloc_set_opts2(&run->resampler, &out_layout, AV_SAMPLE_FMT_S16,
                                           static_cast<int>(format_.samples_per_second), &in_layout,
                                           static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                           nullptr);
    av_channel_layout_uninit(&out_layout);
    av_channel_layout_uninit(&in_layout);
    if (result < 0 || swr_init(run->resampler) < 0) return false;
    if (av_channel_layout_copy(&run->resampler_layout, &frame->ch_layout) < 0) return false;
    run->resampler_rate = frame->sample_rate;
    run->resampler_format = frame->format;
    return true;
  }

  bool Drain(DecodeRun* run) { return Push(run, nullptr, 0); }

  bool Push(DecodeRun* run, const std::uint8_t** input, int samples) {
    const int room = swr_get_out_samples(run->resampler, samples);
    if (room < 0) return false;
    if (room == 0) return input == nullptr || swr_convert(run->resampler, nullptr, 0, input, samples) >= 0;
    const std::size_t frame_bytes = format_.block_align;
    const std::size_t start = out_->size();
    if (start + static_cast<std::size_t>(room) * frame_bytes > kMp3MaxPcmBytes) return false;
    out_->resize(start + static_cast<std::size_t>(room) * frame_bytes);
    std::uint8_t* target = out_->data() + start;
    const int made = swr_convert(run->resampler, &target, room, input, samples);
    if (made < 0) return false;
    out_->resize(start + static_cast<std::size_t>(made) * frame_bytes);
    return true;
  }

  WaveFormat format_;
  std::vector<std::uint8_t>* out_;
};

}  // namespace

bool Mp3Converter::SuggestFormat(const MpegLayer3Format& input, WaveFormat* output) {
  if (output == nullptr || !InputUsable(input)) return false;
  WaveFormat pcm;
  pcm.format_tag = kFormatTagPcm;
  pcm.channels = input.wave.channels;
  pcm.samples_per_second = input.wave.samples_per_second;
  pcm.bits_per_sample = 16;
  pcm.block_align = static_cast<std::uint16_t>(pcm.channels * 2);
  pcm.average_bytes_per_second = pcm.samples_per_second * pcm.block_align;
  pcm.extra_size = 0;
  *output = pcm;
  return true;
}

bool Mp3Converter::Open(const MpegLayer3Format& input, const WaveFormat& output) {
  Close();
  if (!InputUsable(input) || !OutputUsable(output)) return false;
  if (avcodec_find_decoder(AV_CODEC_ID_MP3) == nullptr) return false;
  QuietLibraryLog();
  output_ = output;
  open_ = true;
  return true;
}

void Mp3Converter::Close() {
  open_ = false;
  output_ = WaveFormat{};
  cached_ = false;
  cached_input_.clear();
  cached_input_.shrink_to_fit();
  pcm_.clear();
  pcm_.shrink_to_fit();
}

bool Mp3Converter::Decode(const std::uint8_t* source, std::uint32_t length) {
  if (cached_ && cached_input_.size() == length &&
      (length == 0 || std::memcmp(cached_input_.data(), source, length) == 0)) {
    return true;
  }
  cached_ = false;
  pcm_.clear();
  // The parser and decoder may read a little past the end of what they are given.
  cached_input_.assign(source, source + length);
  std::vector<std::uint8_t> padded(static_cast<std::size_t>(length) + AV_INPUT_BUFFER_PADDING_SIZE, 0);
  if (length > 0) std::memcpy(padded.data(), source, length);

  DecodeRun run;
  const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_MP3);
  run.parser = av_parser_init(AV_CODEC_ID_MP3);
  run.codec = decoder != nullptr ? avcodec_alloc_context3(decoder) : nullptr;
  run.packet = av_packet_alloc();
  run.frame = av_frame_alloc();
  if (run.parser == nullptr || run.codec == nullptr || run.packet == nullptr || run.frame == nullptr ||
      avcodec_open2(run.codec, decoder, nullptr) < 0) {
    return false;
  }
  PcmSink sink(output_, &pcm_);

  const auto receive_all = [&]() -> bool {
    for (;;) {
      const int got = avcodec_receive_frame(run.codec, run.frame);
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0) return true;  // a damaged frame: go on with the next one
      const bool kept = sink.Add(&run, run.frame);
      av_frame_unref(run.frame);
      if (!kept) return false;
    }
  };
  const auto send = [&](const std::uint8_t* data, int size) -> bool {
    run.packet->data = const_cast<std::uint8_t*>(data);
    run.packet->size = size;
    int sent = avcodec_send_packet(run.codec, size > 0 ? run.packet : nullptr);
    if (sent == AVERROR(EAGAIN)) {
      if (!receive_all()) return false;
      sent = avcodec_send_packet(run.codec, size > 0 ? run.packet : nullptr);
    }
    // A refused packet is a damaged frame; the next one may decode.
    return receive_all();
  };

  const std::uint8_t* data = padded.data();
  std::uint32_t left = length;
  for (;;) {
    std::uint8_t* frame_data = nullptr;
    int frame_size = 0;
    const int chunk = static_cast<int>(left < (1u << 20) ? left : (1u << 20));
    const int used = av_parser_parse2(run.parser, run.codec, &frame_data, &frame_size, data, chunk,
                                      AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (used < 0) return false;
    data += used;
    left -= static_cast<std::uint32_t>(used);
    if (frame_size > 0 && !send(frame_data, frame_size)) return false;
    if (chunk == 0) break;           // the parser has been flushed
    if (used == 0 && frame_size == 0) return false;  // no progress
  }
  if (!send(nullptr, 0) || !sink.Add(&run, nullptr)) return false;
  cached_ = true;
  return true;
}

bool Mp3Converter::OutputSize(const std::uint8_t* source, std::uint32_t length, std::uint32_t* pcm_bytes) {
  if (!open_ || pcm_bytes == nullptr || (source == nullptr && length > 0)) return false;
  if (!Decode(source, length)) {
    cached_ = false;
    pcm_.clear();
    return false;
  }
  *pcm_bytes = static_cast<std::uint32_t>(pcm_.size());
  return true;
}

bool Mp3Converter::Convert(Mp3Conversion* conversion) {
  if (conversion == nullptr) return false;
  conversion->destination_used = 0;
  std::uint32_t bytes = 0;
  if (!OutputSize(conversion->source, conversion->source_length, &bytes)) return false;
  if (bytes > conversion->destination_length || (bytes > 0 && conversion->destination == nullptr)) return false;
  if (bytes > 0) std::memcpy(conversion->destination, pcm_.data(), bytes);
  conversion->destination_used = bytes;
  return true;
}

}  // namespace plat

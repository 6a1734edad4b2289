// Converting MPEG audio to 16-bit PCM in one call: suggest the PCM format for an MPEG format,
// open a converter between the two, ask the exact output size for some input, convert it.
//
// The input is a run of MPEG audio frames; it need not start on a frame (the decoder finds the
// next frame header), and damaged frames are skipped. Whatever the frames themselves say, the
// output is in the PCM format given to Open: other rates and channel counts are resampled and
// mixed to it. OutputSize decodes the input once and keeps the PCM, so the size it reports is
// exactly what Convert then writes for the same input.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/wave_format.h"

namespace plat {

// The description of an MPEG audio layer-3 stream: a wave format (format tag 0x55, extra size 12)
// followed by the five layer-3 fields.
struct MpegLayer3Format {
  WaveFormat wave;
  std::uint16_t id = 0;                // 1: MPEG
  std::uint32_t flags = 0;             // 2: padding off
  std::uint16_t block_size = 0;        // bytes of one frame without padding
  std::uint16_t frames_per_block = 0;
  std::uint16_t codec_delay = 0;       // samples
};

// One conversion: the input bytes and the room for the output. Convert sets destination_used.
struct Mp3Conversion {
  const std::uint8_t* source = nullptr;
  std::uint32_t source_length = 0;
  std::uint8_t* destination = nullptr;
  std::uint32_t destination_length = 0;
  std::uint32_t destination_used = 0;
};

// Output above this many bytes is refused (4 GiB cannot be counted, and far less than that is
// no sound a program wants in memory at once).
inline constexpr std::uint32_t kMp3MaxPcmBytes = 512u << 20;

class Mp3Converter {
 public:
  Mp3Converter() = default;
  ~Mp3Converter() { Close(); }
  Mp3Converter(const Mp3Converter&) = delete;
  Mp3Converter& operator=(const Mp3Converter&) = delete;

  // The PCM format produced for `input`: its channels (1 or 2) and rate, 16 bits, extra size 0.
  // Fails for anything but an MPEG layer-3 format with 1 or 2 channels and a rate of 8000 to
  // 48000 samples per second.
  static bool SuggestFormat(const MpegLayer3Format& input, WaveFormat* output);

  // Fails for the same inputs as SuggestFormat, and for an output that is not 16-bit PCM with 1
  // or 2 channels, a rate of 8000 to 192000 and a consistent block align.
  bool Open(const MpegLayer3Format& input, const WaveFormat& output);
  bool is_open() const { return open_; }

  // Decodes `source` and reports the PCM bytes Convert writes for it (0 when it holds no frame).
  // Fails when nothing is open or the output would exceed kMp3MaxPcmBytes.
  bool OutputSize(const std::uint8_t* source, std::uint32_t length, std::uint32_t* pcm_bytes);

  // Converts the whole source. Fails, writing nothing, when the destination cannot hold the
  // output; otherwise writes exactly what OutputSize reports for the same bytes.
  bool Convert(Mp3Conversion* conversion);

  void Close();

 private:
  bool Decode(const std::uint8_t* source, std::uint32_t length);

  bool open_ = false;
  WaveFormat output_{};
  bool cached_ = false;
  std::vector<std::uint8_t> cached_input_;
  std::vector<std::uint8_t> pcm_;
};

}  // namespace plat

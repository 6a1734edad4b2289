// The description of a stream of sound samples as sound files state it: the seven fields of a
// wave format record. The sound buffers play linear PCM described by three of them (rate, bits
// per sample, channels; see platform/sound_output.h).
#pragma once
#include <cstdint>

namespace plat {

inline constexpr std::uint16_t kFormatTagPcm = 1;          // integer PCM
inline constexpr std::uint16_t kFormatTagMpegLayer3 = 0x55;  // MPEG audio, layer 3

struct WaveFormat {
  std::uint16_t format_tag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samples_per_second = 0;
  std::uint32_t average_bytes_per_second = 0;
  std::uint16_t block_align = 0;       // bytes of one sample frame (all channels)
  std::uint16_t bits_per_sample = 0;
  std::uint16_t extra_size = 0;        // bytes of format-specific data after these fields
};

}  // namespace plat

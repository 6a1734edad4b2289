// Feeds arbitrary bytes to the MPEG frame-header rules and to the MP3 converter: a header either
// gives a layer-3 format the converter accepts or is refused, and the size the converter reports
// for any bytes is exactly what it writes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/sound_decoder.h"
#include "platform/mp3_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4 || size > (1u << 20)) return 0;
  plat::MpegLayer3Format mpeg;
  if (!SdMpegFormatFromHeader(data, &mpeg)) {
    if (((data[1] >> 1) & 3) != 0 && ((data[2] >> 2) & 3) != 3) std::abort();
    return 0;
  }
  if (mpeg.wave.channels < 1 || mpeg.wave.channels > 2 || mpeg.wave.average_bytes_per_second > 448000 / 8) {
    std::abort();
  }
  plat::WaveFormat pcm;
  if (!plat::Mp3Converter::SuggestFormat(mpeg, &pcm)) std::abort();
  plat::Mp3Converter converter;
  if (!converter.Open(mpeg, pcm)) std::abort();
  std::uint32_t bytes = 0;
  const auto length = static_cast<std::uint32_t>(size - 4);
  if (!converter.OutputSize(data + 4, length, &bytes)) return 0;
  if (bytes % pcm.block_align != 0) std::abort();
  std::vector<std::uint8_t> out(bytes + 1, 0xA5);
  plat::Mp3Conversion conversion{data + 4, length, out.data(), bytes + 1, 0};
  if (!converter.Convert(&conversion) || conversion.destination_used != bytes || out[bytes] != 0xA5) std::abort();
  return 0;
}

// Feeds arbitrary bytes, as a file, to the sound decoder and checks what it promises for a WAVE
// file: an opened file has a usable format, and looped reads of any sizes hand out only bytes of
// the `data` chunk, in order, wrapping at its end.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sound_decoder.h"

namespace {

std::string TempPath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/velmora_wave_fuzz_XXXXXX";
    const int fd = ::mkstemp(pattern);
    if (fd < 0) std::abort();
    ::close(fd);
    return std::string(pattern);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = TempPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  SoundDecoder decoder;
  if (!decoder.Open(path)) {
    decoder.Close();
    if (decoder.format != nullptr || decoder.mmio != nullptr || decoder.mpegData != nullptr) std::abort();
    return 0;
  }
  if (decoder.format == nullptr) std::abort();
  if (decoder.mpegData != nullptr) {
    // An MPEG file: the converted size fits what was promised.
    if (decoder.pcmLength == 0 || decoder.format->bits_per_sample != 16) std::abort();
    std::vector<std::uint8_t> pcm(decoder.pcmLength);
    if (!decoder.Read(decoder.pcmLength, pcm.data()) || decoder.acmHeader.destination_used != decoder.pcmLength) {
      std::abort();
    }
    return 0;
  }
  if (decoder.format->channels == 0 || decoder.format->samples_per_second == 0 || decoder.format->block_align == 0) {
    std::abort();
  }
  if (!decoder.Rewind()) return 0;
  const std::uint32_t length = decoder.chunk.size;
  const std::uint32_t start = decoder.chunk.data_offset;
  if (length == 0 || static_cast<std::uint64_t>(start) + length > size) std::abort();

  // Request sizes from the last bytes of the input; every byte handed out must be the data
  // chunk's byte at the running position.
  std::uint64_t handed = 0;
  for (std::size_t i = 0; i < 4 && i < size; ++i) {
    const std::uint32_t request = 1 + data[size - 1 - i] * 7u;
    std::vector<std::uint8_t> piece(request);
    if (!decoder.ReadLooped(request, piece.data())) std::abort();
    for (std::uint32_t k = 0; k < request; ++k, ++handed) {
      if (piece[k] != data[start + handed % length]) std::abort();
    }
    if (decoder.chunk.size != (length - handed % length) % length) std::abort();
  }
  return 0;
}

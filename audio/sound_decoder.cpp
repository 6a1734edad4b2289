#include "audio/sound_decoder.h"

#include <stdio.h>

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace {

constexpr std::uint32_t kWaveId = plat::FourCc('W', 'A', 'V', 'E');
constexpr std::uint32_t kFmtId = plat::FourCc('f', 'm', 't', ' ');
constexpr std::uint32_t kDataId = plat::FourCc('d', 'a', 't', 'a');

// A `fmt ` chunk larger than this is no wave format; an MPEG file larger than this is no voice.
constexpr std::uint32_t kMaxFormatBytes = 64 * 1024;
constexpr std::uint64_t kMaxMpegFileBytes = 64u << 20;

constexpr std::uint32_t kId3v1Bytes = 128;
constexpr std::uint32_t kFrameHeaderBytes = 4;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// kbit/s by [MPEG-1 ? 0 : 1][layer - 1][index]; MPEG-2 layers 2 and 3 share a row.
constexpr short kBitRates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};

constexpr std::uint32_t kSampleRates[2][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}};

}  // namespace

int SdMpegBitRate(bool mpeg1, int layer, int index) {
  if (layer < 1 || layer > 3 || index < 0 || index > 15) return 0;
  return kBitRates[mpeg1 ? 0 : 1][layer - 1][index];
}

bool SdMpegFormatFromHeader(const std::uint8_t* header, plat::MpegLayer3Format* format) {
  if (header == nullptr || format == nullptr) return false;
  const bool mpeg1 = (header[1] & 0x08) != 0;
  const int layer_field = (header[1] >> 1) & 3;
  if (layer_field == 0) return false;
  const int layer = 4 - layer_field;
  const int bit_rate_index = header[2] >> 4;
  const int rate_index = (header[2] >> 2) & 3;
  if (rate_index == 3) return false;
  const int mode = header[3] >> 6;

  const std::uint32_t kbps = static_cast<std::uint32_t>(SdMpegBitRate(mpeg1, layer, bit_rate_index));
  const std::uint32_t rate = kSampleRates[mpeg1 ? 0 : 1][rate_index];
  plat::MpegLayer3Format f;
  f.wave.format_tag = plat::kFormatTagMpegLayer3;
  f.wave.channels = mode == 3 ? 1 : 2;
  f.wave.samples_per_second = rate;
  f.wave.average_bytes_per_second = kbps * 1000 / 8;
  f.wave.block_align = 1;
  f.wave.bits_per_sample = 0;
  f.wave.extra_size = 12;
  f.id = 1;
  f.flags = 2;
  f.block_size = static_cast<std::uint16_t>(kbps * 144000 / rate);
  f.frames_per_block = 1;
  f.codec_delay = 1393;
  *format = f;
  return true;
}

bool SoundDecoder::Open(std::string_view path) {
  Close();
  mpegData.reset();
  mmio = std::make_unique<plat::RiffReader>();
  if (!mmio->Open(path)) return false;
  if (mmio->Descend(&riff) && riff.id == plat::kRiffId && riff.form_type == kWaveId) return OpenWave();
  mmio.reset();
  riff = plat::RiffChunk{};
  return OpenMpeg(path);
}

bool SoundDecoder::OpenWave() {
  if (!mmio->FindChunk(&chunk, kFmtId, &riff)) return false;
  if (chunk.size < 16 || chunk.size > kMaxFormatBytes) return false;
  std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[chunk.size]);
  if (mmio->Read(bytes.get(), chunk.size) != chunk.size) return false;
  auto wave = std::make_unique<plat::WaveFormat>();
  wave->format_tag = Le16(bytes.get());
  wave->channels = Le16(bytes.get() + 2);
  wave->samples_per_second = Le32(bytes.get() + 4);
  wave->average_bytes_per_second = Le32(bytes.get() + 8);
  wave->block_align = Le16(bytes.get() + 12);
  wave->bits_per_sample = Le16(bytes.get() + 14);
  wave->extra_size = chunk.size >= 18 ? Le16(bytes.get() + 16) : 0;
  // No sound can be described without these; a block align of 0 would also make every read size
  // meaningless to the buffers built from this format.
  if (wave->channels == 0 || wave->samples_per_second == 0 || wave->block_align == 0) return false;
  format = std::move(wave);
  if (!mmio->Ascend(chunk)) return false;

  // An empty `data` chunk has nothing to play or to loop over. (A missing one fails Rewind.)
  const std::uint32_t after_format = mmio->position();
  plat::RiffChunk data;
  if (mmio->Seek(static_cast<std::int64_t>(riff.data_offset) + 4) >= 0 && mmio->FindChunk(&data, kDataId, &riff) &&
      data.size == 0) {
    return false;
  }
  return mmio->Seek(after_format) >= 0;
}

bool SoundDecoder::OpenMpeg(std::string_view path) {
  std::FILE* file = plat::OpenFile(path, "rb");
  if (file == nullptr) return false;
  std::uint64_t length = 0;
  if (::fseeko(file, 0, SEEK_END) == 0) {
    const off_t end = ::ftello(file);
    length = end > 0 ? static_cast<std::uint64_t>(end) : 0;
  }
  const bool sized = length >= kFrameHeaderBytes && length <= kMaxMpegFileBytes && ::fseeko(file, 0, SEEK_SET) == 0;
  if (sized) {
    mpegData.reset(new std::uint8_t[length]);
    if (std::fread(mpegData.get(), 1, length, file) != length) mpegData.reset();
  }
  std::fclose(file);
  if (mpegData == nullptr) return false;
  mpegLength = static_cast<std::uint32_t>(length);

  plat::MpegLayer3Format mpeg;
  if (mpegData[0] != 0xFF || !SdMpegFormatFromHeader(mpegData.get(), &mpeg)) {
    mpegData.reset();
    mpegLength = 0;
    return false;
  }
  if (mpegLength >= kId3v1Bytes && std::memcmp(mpegData.get() + mpegLength - kId3v1Bytes, "TAG", 3) == 0) {
    mpegLength -= kId3v1Bytes;
  }
  // A tag reaching into the first frame header leaves nothing to convert.
  if (mpegLength < kFrameHeaderBytes) return false;
  mpegLength -= kFrameHeaderBytes;

  format = std::make_unique<plat::WaveFormat>();
  format->format_tag = plat::kFormatTagPcm;
  acmStream.reset();
  acmHeader = plat::Mp3Conversion{};
  auto converter = std::make_unique<plat::Mp3Converter>();
  const bool ready = plat::Mp3Converter::SuggestFormat(mpeg, format.get()) && converter->Open(mpeg, *format) &&
                     converter->OutputSize(mpegData.get() + kFrameHeaderBytes, mpegLength, &pcmLength) &&
                     pcmLength > 0;
  acmStream = std::move(converter);
  if (!ready) {
    format.reset();
    return false;
  }
  return true;
}

bool SoundDecoder::Rewind() {
  if (mpegData != nullptr) return true;
  if (mmio == nullptr) return false;
  if (mmio->Seek(static_cast<std::int64_t>(riff.data_offset) + 4) < 0) return false;
  plat::RiffChunk data;
  // An empty chunk is refused here too: a looped read could never get past it.
  if (!mmio->FindChunk(&data, kDataId, &riff) || data.size == 0) return false;
  chunk = data;
  return true;
}

bool SoundDecoder::Read(std::uint32_t count, void* destination) {
  if (mpegData != nullptr) {
    // The whole file in one conversion. It is never written past what the caller asked for.
    if (acmStream == nullptr || destination == nullptr || count < pcmLength) return false;
    acmHeader = plat::Mp3Conversion{};
    acmHeader.source = mpegData.get() + kFrameHeaderBytes;
    acmHeader.source_length = mpegLength;
    acmHeader.destination = static_cast<std::uint8_t*>(destination);
    acmHeader.destination_length = pcmLength;
    return acmStream->Convert(&acmHeader);
  }
  if (mmio == nullptr) return false;
  return mmio->Read(destination, count) >= 0;
}

bool SoundDecoder::ReadLooped(std::uint32_t count, void* destination) {
  if (mpegData != nullptr || mmio == nullptr || chunk.id != kDataId) return false;
  auto* out = static_cast<std::uint8_t*>(destination);
  // The chunk is never read outside: a request longer than what is left takes the rest, starts
  // again at the chunk's first byte, and so on, as often as the request needs.
  while (count > chunk.size) {
    const std::uint32_t head = chunk.size;
    if (head > 0 && mmio->Read(out, head) != head) return false;
    out += head;
    count -= head;
    if (!Rewind()) return false;
  }
  if (count > 0 && mmio->Read(out, count) != count) return false;
  chunk.size -= count;
  return true;
}

void SoundDecoder::Close() {
  format.reset();
  if (mpegData != nullptr) {
    acmHeader = plat::Mp3Conversion{};
    mpegData.reset();
    acmStream.reset();
  } else if (mmio != nullptr) {
    mmio.reset();
  }
  acmStream.reset();
  mpegLength = 0;
  pcmLength = 0;
  chunk = plat::RiffChunk{};
  riff = plat::RiffChunk{};
}

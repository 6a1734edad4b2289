// One sound file turned into PCM bytes for a sound buffer. Two kinds of file, told apart by
// their content: RIFF WAVE files, whose `data` chunk is handed out as it is in the format of the
// `fmt ` chunk, and MPEG audio files (the voices), read whole and converted to 16-bit PCM in one
// call.
//
// Use: Open, Rewind, then Read (a whole load: `pcmLength` bytes for MPEG, the `data` chunk's size
// for WAVE) or ReadLooped (a WAVE stream, wrapping at the end of its `data` chunk); Close.
// Every failure is a false result; nothing is logged.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/mp3_converter.h"
#include "platform/wave_format.h"
#include "platform/riff_reader.h"

// Bit rate in kbit/s of an MPEG audio frame: `mpeg1` false for MPEG-2 (and 2.5), layer 1 to 3,
// index 0 to 15. Index 0 (free format) and 15 (invalid) give 0, as does a layer outside 1..3.
int SdMpegBitRate(bool mpeg1, int layer, int index);

// Fills the layer-3 format from the 4-byte frame header at `header` (the sync byte is not
// examined). Fails for a reserved layer field (0) or a reserved sample-rate index (3).
bool SdMpegFormatFromHeader(const std::uint8_t* header, plat::MpegLayer3Format* format);

class SoundDecoder {
 public:
  SoundDecoder() = default;
  ~SoundDecoder() { Close(); }
  SoundDecoder(const SoundDecoder&) = delete;
  SoundDecoder& operator=(const SoundDecoder&) = delete;

  bool Open(std::string_view path);  // CP932 path
  bool Rewind();
  bool Read(std::uint32_t count, void* destination);
  bool ReadLooped(std::uint32_t count, void* destination);
  void Close();

  // The whole MPEG file; null for a WAVE file, which is how every operation tells them apart.
  std::unique_ptr<std::uint8_t[]> mpegData;
  std::uint32_t mpegLength = 0;  // MPEG bytes handed to the converter, from the fifth byte on
  std::uint32_t pcmLength = 0;   // the converter's output for them
  std::unique_ptr<plat::Mp3Converter> acmStream;
  plat::Mp3Conversion acmHeader{};
  std::unique_ptr<plat::WaveFormat> format;  // the output format
  std::unique_ptr<plat::RiffReader> mmio;   // the open WAVE file
  // First the `fmt ` chunk, after Rewind the `data` chunk, whose size then counts the data bytes
  // not yet read by ReadLooped.
  plat::RiffChunk chunk{};
  plat::RiffChunk riff{};  // the outer RIFF chunk

 private:
  bool OpenWave();
  bool OpenMpeg(std::string_view path);
};

// The MP3 converter on the generated files in data/: the suggested format, the promise that the
// reported size is what a conversion writes, input that starts inside a frame, and output in a
// format other than the stream's own.
#include "platform/mp3_converter.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/audio/sound_files.h"

namespace {

using namespace sound_test;
using plat::Mp3Converter;
using plat::MpegLayer3Format;
using plat::WaveFormat;

Bytes Fixture(const char* name) { return ReadFile(std::string(VELMORA_TEST_DATA) + "/" + name); }

MpegLayer3Format Mpeg(unsigned channels, unsigned rate) {
  MpegLayer3Format f;
  f.wave.format_tag = plat::kFormatTagMpegLayer3;
  f.wave.channels = static_cast<std::uint16_t>(channels);
  f.wave.samples_per_second = rate;
  f.wave.block_align = 1;
  f.wave.extra_size = 12;
  f.id = 1;
  f.flags = 2;
  f.frames_per_block = 1;
  f.codec_delay = 1393;
  return f;
}

WaveFormat Pcm(unsigned channels, unsigned rate) {
  WaveFormat f;
  EXPECT_TRUE(Mp3Converter::SuggestFormat(Mpeg(channels, rate), &f));
  return f;
}

// Decodes `input` into a buffer `extra` bytes larger than the reported size and checks that the
// size reported is the size written.
Bytes Convert(Mp3Converter* converter, const Bytes& input) {
  std::uint32_t size = 0;
  EXPECT_TRUE(converter->OutputSize(input.data(), static_cast<std::uint32_t>(input.size()), &size));
  Bytes out(size + 8, 0xAA);
  plat::Mp3Conversion conversion;
  conversion.source = input.data();
  conversion.source_length = static_cast<std::uint32_t>(input.size());
  conversion.destination = out.data();
  conversion.destination_length = static_cast<std::uint32_t>(out.size());
  EXPECT_TRUE(converter->Convert(&conversion));
  EXPECT_EQ(conversion.destination_used, size);
  for (std::size_t i = size; i < out.size(); ++i) EXPECT_EQ(out[i], 0xAA);
  out.resize(size);
  return out;
}

TEST(Mp3ConverterTest, SuggestedAndAcceptedFormats) {
  WaveFormat pcm;
  ASSERT_TRUE(Mp3Converter::SuggestFormat(Mpeg(2, 22050), &pcm));
  EXPECT_EQ(pcm.format_tag, plat::kFormatTagPcm);
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.samples_per_second, 22050u);
  EXPECT_EQ(pcm.bits_per_sample, 16);
  EXPECT_EQ(pcm.block_align, 4);
  EXPECT_EQ(pcm.average_bytes_per_second, 88200u);
  EXPECT_EQ(pcm.extra_size, 0);

  MpegLayer3Format not_mpeg = Mpeg(1, 44100);
  not_mpeg.wave.format_tag = plat::kFormatTagPcm;
  for (const MpegLayer3Format& in : {Mpeg(0, 44100), Mpeg(3, 44100), Mpeg(1, 0), Mpeg(1, 96000), not_mpeg}) {
    EXPECT_FALSE(Mp3Converter::SuggestFormat(in, &pcm));
    EXPECT_FALSE(Mp3Converter().Open(in, Pcm(1, 44100)));
  }
  WaveFormat eight_bit = Pcm(1, 44100);
  eight_bit.bits_per_sample = 8;
  WaveFormat wrong_align = Pcm(2, 44100);
  wrong_align.block_align = 2;
  for (const WaveFormat& out : {eight_bit, wrong_align, WaveFormat{}}) {
    EXPECT_FALSE(Mp3Converter().Open(Mpeg(1, 44100), out));
  }
  Mp3Converter closed;
  std::uint32_t size = 0;
  const std::uint8_t byte = 0;
  EXPECT_FALSE(closed.OutputSize(&byte, 1, &size));
}

TEST(Mp3ConverterTest, InputStartingInsideAFrameStillDecodes) {
  for (const char* name : {"mono_44100.mp3", "stereo_22050_id3v1.mp3"}) {
    SCOPED_TRACE(name);
    const Bytes file = Fixture(name);
    const bool mono = name[0] == 'm';
    Mp3Converter converter;
    ASSERT_TRUE(converter.Open(Mpeg(mono ? 1 : 2, mono ? 44100 : 22050), Pcm(mono ? 1 : 2, mono ? 44100 : 22050)));
    const Bytes whole = Convert(&converter, file);
    const Bytes skipped = Convert(&converter, Bytes(file.begin() + 4, file.end()));
    // Past the first header the first frame cannot be found, and the second may draw on bits
    // the first one carried: at most two frames are lost.
    const std::size_t frame_bytes = 2 * (mono ? 1152 : 576) * (mono ? 2 : 4);
    EXPECT_GT(skipped.size(), 0u);
    EXPECT_LE(skipped.size(), whole.size());
    EXPECT_GE(skipped.size() + frame_bytes, whole.size());
    // The second call on the same bytes gives the same result.
    EXPECT_EQ(Convert(&converter, Bytes(file.begin() + 4, file.end())), skipped);
  }
}

TEST(Mp3ConverterTest, OutputIsInTheOpenedFormat) {
  const Bytes file = Fixture("mono_22050.mp3");
  Mp3Converter as_is, as_stereo, as_44k;
  ASSERT_TRUE(as_is.Open(Mpeg(1, 22050), Pcm(1, 22050)));
  ASSERT_TRUE(as_stereo.Open(Mpeg(1, 22050), Pcm(2, 22050)));
  ASSERT_TRUE(as_44k.Open(Mpeg(1, 22050), Pcm(1, 44100)));
  const Bytes mono = Convert(&as_is, file);
  const Bytes stereo = Convert(&as_stereo, file);
  const Bytes doubled = Convert(&as_44k, file);
  ASSERT_GT(mono.size(), 0u);
  ASSERT_EQ(stereo.size(), 2 * mono.size());
  for (std::size_t i = 0; i + 3 < stereo.size(); i += 4) {
    ASSERT_EQ(stereo[i], stereo[i + 2]);
    ASSERT_EQ(stereo[i + 1], stereo[i + 3]);
  }
  // Twice the rate: twice the samples, give or take the resampler's filter edges.
  EXPECT_NEAR(static_cast<double>(doubled.size()), 2.0 * mono.size(), 256.0);
}

TEST(Mp3ConverterTest, RefusesTooSmallDestinationsAndTakesAnyBytes) {
  const Bytes file = Fixture("stereo_44100.mp3");
  Mp3Converter converter;
  ASSERT_TRUE(converter.Open(Mpeg(2, 44100), Pcm(2, 44100)));
  std::uint32_t size = 0;
  ASSERT_TRUE(converter.OutputSize(file.data(), static_cast<std::uint32_t>(file.size()), &size));
  ASSERT_GT(size, 0u);
  Bytes out(size - 1, 0xAA);
  plat::Mp3Conversion conversion{file.data(), static_cast<std::uint32_t>(file.size()), out.data(), size - 1, 0};
  EXPECT_FALSE(converter.Convert(&conversion));
  EXPECT_EQ(conversion.destination_used, 0u);
  EXPECT_EQ(out, Bytes(size - 1, 0xAA));

  // Bytes that hold no frame convert to nothing; a damaged stretch in the middle loses only the
  // frames it touches.
  EXPECT_TRUE(Convert(&converter, Counting(3000)).empty());
  EXPECT_TRUE(Convert(&converter, Bytes{}).empty());
  Bytes damaged = file;
  for (std::size_t i = file.size() / 2; i < file.size() / 2 + 100; ++i) damaged[i] = 0x5A;
  const std::size_t whole = Convert(&converter, file).size();
  const std::size_t kept = Convert(&converter, damaged).size();
  EXPECT_GT(kept, whole / 2);
}

}  // namespace

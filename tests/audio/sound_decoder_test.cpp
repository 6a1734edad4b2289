// SoundDecoder on WAVE files made here and on the small generated MP3 files in data/: the output
// format, the looping read over the `data` chunk, the MPEG header rules and the ID3 tags.
#include "audio/sound_decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/audio/sound_files.h"

namespace {

using namespace sound_test;

std::string Fixture(const char* name) { return std::string(VELMORA_TEST_DATA) + "/" + name; }

class SoundDecoderWaveTest : public ::testing::Test {
 protected:
  std::string Write(const Bytes& bytes) { return folder_.Write("Wave.wav", bytes); }
  TempFolder folder_;
  SoundDecoder decoder_;
};

TEST_F(SoundDecoderWaveTest, TheFormatIsTheWholeFmtChunk) {
  struct Case {
    const char* name;
    Bytes fmt;
    unsigned extra_size;
  };
  const Case cases[] = {
      {"16 bytes", Fmt(1, 2, 44100, 4, 16), 0},
      {"18 bytes", Fmt(1, 1, 8000, 1, 8, {0, 0}), 0},
      {"18 bytes stating extra", Fmt(2, 1, 22050, 256, 4, {2, 0}), 2},
      {"odd 21 bytes", Fmt(0x11, 1, 11025, 512, 4, {3, 0, 7, 8, 9}), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A chunk before `fmt ` is stepped over.
    ASSERT_TRUE(decoder_.Open(Write(Riff("WAVE", {Chunk("LIST", {'I', 'N', 'F', 'O'}), Chunk("fmt ", c.fmt),
                                                  Chunk("data", Counting(8))}))));
    ASSERT_NE(decoder_.format, nullptr);
    EXPECT_EQ(decoder_.mpegData, nullptr);
    EXPECT_EQ(decoder_.format->format_tag, c.fmt[0]);
    EXPECT_EQ(decoder_.format->channels, c.fmt[2]);
    EXPECT_EQ(decoder_.format->samples_per_second, c.fmt[4] | c.fmt[5] << 8 | c.fmt[6] << 16);
    EXPECT_EQ(decoder_.format->block_align, c.fmt[12] | c.fmt[13] << 8);
    EXPECT_EQ(decoder_.format->bits_per_sample, c.fmt[14]);
    EXPECT_EQ(decoder_.format->average_bytes_per_second,
              decoder_.format->samples_per_second * decoder_.format->block_align);
    EXPECT_EQ(decoder_.format->extra_size, c.extra_size);
    EXPECT_EQ(decoder_.chunk.size, c.fmt.size());
    ASSERT_TRUE(decoder_.Rewind());
    EXPECT_EQ(decoder_.chunk.size, 8u);
    Bytes got(8);
    ASSERT_TRUE(decoder_.Read(8, got.data()));
    EXPECT_EQ(got, Counting(8));
    decoder_.Close();
    EXPECT_EQ(decoder_.format, nullptr);
    EXPECT_EQ(decoder_.mmio, nullptr);
  }
}

TEST_F(SoundDecoderWaveTest, RefusedFiles) {
  struct Case {
    const char* name;
    Bytes file;
    bool opens;  // and then Rewind fails
  };
  const Bytes data = Chunk("data", Counting(4));
  const Case cases[] = {
      {"no fmt chunk", Riff("WAVE", {data}), false},
      {"fmt of 15 bytes", Riff("WAVE", {Chunk("fmt ", Bytes(15, 1)), data}), false},
      {"fmt cut short by the end of the file", Riff("WAVE", {Chunk("fmt ", Bytes(10, 1), 64)}), false},
      {"zero channels", Riff("WAVE", {Chunk("fmt ", Fmt(1, 0, 22050, 2, 16)), data}), false},
      {"zero rate", Riff("WAVE", {Chunk("fmt ", Fmt(1, 1, 0, 2, 16)), data}), false},
      {"zero block align", Riff("WAVE", {Chunk("fmt ", Fmt(1, 1, 22050, 0, 16)), data}), false},
      {"empty data chunk", Riff("WAVE", {Chunk("fmt ", Pcm16Mono()), Chunk("data", {})}), false},
      {"data chunk header at the very end", Riff("WAVE", {Chunk("fmt ", Pcm16Mono()), Chunk("data", {}, 100)}),
       false},
      {"another RIFF form", Riff("AVI ", {Chunk("fmt ", Pcm16Mono()), data}), false},
      {"neither RIFF nor a frame sync", Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0}, false},
      {"empty file", Bytes{}, false},
      {"no data chunk", Riff("WAVE", {Chunk("fmt ", Pcm16Mono()), Chunk("junk", Counting(4))}), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decoder_.Open(Write(c.file)), c.opens);
    if (c.opens) {
      EXPECT_FALSE(decoder_.Rewind());
    }
    decoder_.Close();
    EXPECT_EQ(decoder_.format, nullptr);
    EXPECT_EQ(decoder_.mmio, nullptr);
    EXPECT_EQ(decoder_.mpegData, nullptr);
  }
  EXPECT_FALSE(decoder_.Open(folder_.path() + "/missing.wav"));
}

// The bytes ReadLooped should hand out over `total` bytes of a `size`-byte chunk of Counting().
Bytes Cycled(std::size_t size, std::size_t total) {
  const Bytes one = Counting(size);
  Bytes b;
  while (b.size() < total) b.push_back(one[b.size() % size]);
  return b;
}

TEST_F(SoundDecoderWaveTest, LoopedReadsCycleThroughTheDataChunkOnly) {
  struct Case {
    const char* name;
    std::size_t data_size;
    std::int64_t stated;  // size written in the header; -1: the real one
    std::vector<std::uint32_t> requests;
  };
  const Case cases[] = {
      {"requests dividing the chunk", 12, -1, {4, 4, 4, 4, 4}},
      {"request equal to what is left", 10, -1, {3, 7, 7, 3, 10}},
      {"request across the end", 10, -1, {6, 6, 6, 6}},
      {"chunk shorter than a request", 3, -1, {10, 1, 7, 3}},
      {"one-byte chunk", 1, -1, {5, 2}},
      {"odd chunk with a pad byte", 5, -1, {4, 4, 4}},
      {"size stated past the end of the file", 6, 1000, {4, 4, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Chunks between `fmt ` and `data` and after `data` hold 0xEE, never a data byte.
    Bytes file = Riff("WAVE", {Chunk("fmt ", Pcm16Mono()), Chunk("fact", Bytes(4, 0xEE)),
                               Chunk("data", Counting(c.data_size), c.stated)});
    if (c.stated < 0) {
      const Bytes tail = Chunk("LIST", Bytes(9, 0xEE));
      file.insert(file.end(), tail.begin(), tail.end());
    }
    ASSERT_TRUE(decoder_.Open(Write(file)));
    ASSERT_TRUE(decoder_.Rewind());
    Bytes got;
    for (const std::uint32_t request : c.requests) {
      Bytes piece(request + 1, 0xAA);
      ASSERT_TRUE(decoder_.ReadLooped(request, piece.data()));
      EXPECT_EQ(piece.back(), 0xAA);  // nothing written past the request
      got.insert(got.end(), piece.begin(), piece.end() - 1);
      const std::size_t unread = (c.data_size - got.size() % c.data_size) % c.data_size;
      // After a request ending on the chunk's end, nothing is left: the next one rewinds first.
      EXPECT_EQ(decoder_.chunk.size, unread);
    }
    EXPECT_EQ(got, Cycled(c.data_size, got.size()));
    decoder_.Close();
  }
}

TEST_F(SoundDecoderWaveTest, LoopedReadsNeedAPositionedWaveDecoder) {
  ASSERT_TRUE(decoder_.Open(Write(Riff("WAVE", {Chunk("fmt ", Pcm16Mono()), Chunk("data", Counting(4))}))));
  Bytes got(4);
  EXPECT_FALSE(decoder_.ReadLooped(4, got.data()));  // still on the `fmt ` chunk
  decoder_.Close();
  EXPECT_FALSE(decoder_.ReadLooped(4, got.data()));
  EXPECT_FALSE(decoder_.Rewind());
  ASSERT_TRUE(decoder_.Open(Fixture("mono_44100.mp3")));
  EXPECT_TRUE(decoder_.Rewind());
  EXPECT_FALSE(decoder_.ReadLooped(4, got.data()));
}

TEST(SoundDecoderMpegHeaderTest, FormatFromHandMadeHeaders) {
  struct Case {
    std::uint8_t header[4];
    unsigned channels, rate, kbps, block_size;
  };
  // byte 1: FB = MPEG-1 layer 3, FD = MPEG-1 layer 2, FF = MPEG-1 layer 1; F3/F5/F7 the same for
  // MPEG-2; E3 = the 2.5 extension, read as MPEG-2.
  const Case cases[] = {
      {{0xFF, 0xFB, 0x10, 0xC4}, 1, 44100, 32, 104},   // lowest MPEG-1 layer-3 rate, mono
      {{0xFF, 0xFB, 0xE0, 0x44}, 2, 44100, 320, 1044},  // highest, joint stereo
      {{0xFF, 0xFB, 0x94, 0x00}, 2, 48000, 128, 384},
      {{0xFF, 0xFB, 0x98, 0x80}, 2, 32000, 128, 576},   // dual channel counts as two
      {{0xFF, 0xFB, 0x00, 0xC0}, 1, 44100, 0, 0},       // free format
      {{0xFF, 0xFB, 0xF0, 0xC0}, 1, 44100, 0, 0},       // invalid index
      {{0xFF, 0xFD, 0xE0, 0x00}, 2, 44100, 384, 1253},  // layer 2
      {{0xFF, 0xFF, 0xE0, 0x00}, 2, 44100, 448, 1462},  // layer 1
      {{0xFF, 0xFF, 0x90, 0x00}, 2, 44100, 288, 940},
      {{0xFF, 0xF3, 0x10, 0xC0}, 1, 22050, 8, 52},      // MPEG-2 layer 3
      {{0xFF, 0xF3, 0xE4, 0x00}, 2, 24000, 160, 960},
      {{0xFF, 0xF5, 0xE8, 0x00}, 2, 16000, 160, 1440},  // MPEG-2 layer 2
      {{0xFF, 0xF7, 0xE0, 0x00}, 2, 22050, 256, 1671},  // MPEG-2 layer 1
      {{0xFF, 0xF7, 0x90, 0x00}, 2, 22050, 144, 940},
      {{0xFF, 0xE3, 0x80, 0xC0}, 1, 22050, 64, 417},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << int(c.header[1]) << " " << int(c.header[2]) << " "
                                    << int(c.header[3]));
    plat::MpegLayer3Format f;
    ASSERT_TRUE(SdMpegFormatFromHeader(c.header, &f));
    EXPECT_EQ(f.wave.format_tag, 0x55);
    EXPECT_EQ(f.wave.channels, c.channels);
    EXPECT_EQ(f.wave.samples_per_second, c.rate);
    EXPECT_EQ(f.wave.average_bytes_per_second, c.kbps * 1000 / 8);
    EXPECT_EQ(f.wave.block_align, 1);
    EXPECT_EQ(f.wave.bits_per_sample, 0);
    EXPECT_EQ(f.wave.extra_size, 12);
    EXPECT_EQ(f.id, 1);
    EXPECT_EQ(f.flags, 2u);
    EXPECT_EQ(f.block_size, c.block_size);
    EXPECT_EQ(f.frames_per_block, 1);
    EXPECT_EQ(f.codec_delay, 1393);
  }
  plat::MpegLayer3Format f;
  const std::uint8_t reserved_layer[4] = {0xFF, 0xF9, 0x90, 0x00};
  const std::uint8_t reserved_rate[4] = {0xFF, 0xFB, 0x9C, 0x00};
  EXPECT_FALSE(SdMpegFormatFromHeader(reserved_layer, &f));
  EXPECT_FALSE(SdMpegFormatFromHeader(reserved_rate, &f));
}

TEST(SoundDecoderMpegHeaderTest, BitRateTableRows) {
  // The second-highest entry of each row tells the rows apart.
  EXPECT_EQ(SdMpegBitRate(true, 1, 13), 416);
  EXPECT_EQ(SdMpegBitRate(true, 2, 13), 320);
  EXPECT_EQ(SdMpegBitRate(true, 3, 13), 256);
  EXPECT_EQ(SdMpegBitRate(false, 1, 13), 224);
  EXPECT_EQ(SdMpegBitRate(false, 2, 13), 144);
  EXPECT_EQ(SdMpegBitRate(false, 3, 13), 144);
  EXPECT_EQ(SdMpegBitRate(true, 2, 1), 32);
  EXPECT_EQ(SdMpegBitRate(true, 3, 2), 40);
  EXPECT_EQ(SdMpegBitRate(true, 2, 2), 48);
  EXPECT_EQ(SdMpegBitRate(false, 3, 1), 8);
}

TEST(SoundDecoderMpegTest, GeneratedFilesDecodeToTheirFormat) {
  struct Case {
    const char* file;
    unsigned channels, rate;
    bool id3v1;
  };
  const Case cases[] = {
      {"mono_44100.mp3", 1, 44100, false},
      {"stereo_44100.mp3", 2, 44100, false},
      {"mono_22050.mp3", 1, 22050, false},
      {"stereo_22050_id3v1.mp3", 2, 22050, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes file = ReadFile(Fixture(c.file));
    SoundDecoder decoder;
    ASSERT_TRUE(decoder.Open(Fixture(c.file)));
    ASSERT_NE(decoder.mpegData, nullptr);
    EXPECT_EQ(decoder.mpegLength, file.size() - 4 - (c.id3v1 ? 128 : 0));
    ASSERT_NE(decoder.format, nullptr);
    EXPECT_EQ(decoder.format->format_tag, 1);
    EXPECT_EQ(decoder.format->channels, c.channels);
    EXPECT_EQ(decoder.format->samples_per_second, c.rate);
    EXPECT_EQ(decoder.format->bits_per_sample, 16);
    EXPECT_EQ(decoder.format->block_align, 2 * c.channels);
    EXPECT_EQ(decoder.format->average_bytes_per_second, c.rate * 2 * c.channels);
    // The tones last 0.4 to 0.5 s; the frame cut by the fifth-byte start and the decoder's delay
    // take a little.
    EXPECT_EQ(decoder.pcmLength % decoder.format->block_align, 0u);
    const double seconds = double(decoder.pcmLength) / decoder.format->average_bytes_per_second;
    EXPECT_GT(seconds, 0.3);
    EXPECT_LT(seconds, 0.65);

    ASSERT_TRUE(decoder.Rewind());
    Bytes pcm(decoder.pcmLength + 16, 0xAA);
    EXPECT_FALSE(decoder.Read(decoder.pcmLength - 1, pcm.data()));  // too little room: nothing written
    EXPECT_EQ(pcm[0], 0xAA);
    ASSERT_TRUE(decoder.Read(decoder.pcmLength, pcm.data()));
    EXPECT_EQ(decoder.acmHeader.destination_used, decoder.pcmLength);
    for (std::size_t i = decoder.pcmLength; i < pcm.size(); ++i) ASSERT_EQ(pcm[i], 0xAA);
    // A tone, not silence: the loudest sample is well above the noise.
    int peak = 0;
    for (std::size_t i = 0; i + 1 < decoder.pcmLength; i += 2) {
      const int v = static_cast<std::int16_t>(pcm[i] | pcm[i + 1] << 8);
      peak = std::max(peak, std::abs(v));
    }
    EXPECT_GT(peak, 4000);
    decoder.Close();
    EXPECT_EQ(decoder.mpegData, nullptr);
    EXPECT_EQ(decoder.acmStream, nullptr);
    EXPECT_EQ(decoder.format, nullptr);
  }
}

TEST(SoundDecoderMpegTest, TheId3v1TagIsNotConverted) {
  // The same frames with and without the tag give the same PCM.
  TempFolder folder;
  Bytes tagged = ReadFile(Fixture("stereo_22050_id3v1.mp3"));
  const std::string with_tag = folder.Write("tagged.mp3", tagged);
  const std::string without = folder.Write("plain.mp3", Bytes(tagged.begin(), tagged.end() - 128));
  SoundDecoder a, b;
  ASSERT_TRUE(a.Open(with_tag));
  ASSERT_TRUE(b.Open(without));
  EXPECT_EQ(a.mpegLength, b.mpegLength);
  ASSERT_EQ(a.pcmLength, b.pcmLength);
  Bytes pa(a.pcmLength), pb(b.pcmLength);
  ASSERT_TRUE(a.Read(a.pcmLength, pa.data()));
  ASSERT_TRUE(b.Read(b.pcmLength, pb.data()));
  EXPECT_EQ(pa, pb);
}

TEST(SoundDecoderMpegTest, RefusedFiles) {
  TempFolder folder;
  Bytes tag_in_header(131, 0);
  tag_in_header[0] = 0xFF;
  tag_in_header[1] = 0xFB;
  tag_in_header[2] = 0x90;
  tag_in_header[3] = 'T';
  tag_in_header[4] = 'A';
  tag_in_header[5] = 'G';
  struct Case {
    const char* name;
    Bytes file;
  };
  const Case cases[] = {
      {"ID3v2 header first", ReadFile(Fixture("id3v2_44100.mp3"))},
      {"reserved layer", {0xFF, 0xF9, 0x90, 0x00, 0, 0, 0, 0}},
      {"reserved rate", {0xFF, 0xFB, 0x9C, 0x00, 0, 0, 0, 0}},
      {"shorter than a header", {0xFF, 0xFB, 0x90}},
      {"a header alone", {0xFF, 0xFB, 0x90, 0x00}},
      {"no frame after the header", Bytes{0xFF, 0xFB, 0x90, 0x00, 1, 2, 3, 4, 5, 6, 7, 8}},
      {"a tag reaching into the header", tag_in_header},
      {"all bytes 0xFF", Bytes(600, 0xFF)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SoundDecoder decoder;
    EXPECT_FALSE(decoder.Open(folder.Write("voice.mp3", c.file)));
    EXPECT_EQ(decoder.format, nullptr);
    decoder.Close();
    EXPECT_EQ(decoder.mpegData, nullptr);
  }
}

TEST(SoundDecoderMpegTest, ReopeningSwitchesKinds) {
  TempFolder folder;
  const std::string wave =
      folder.Write("a.wav", Riff("WAVE", {Chunk("fmt ", Pcm16Mono()), Chunk("data", Counting(6))}));
  SoundDecoder decoder;
  ASSERT_TRUE(decoder.Open(Fixture("mono_22050.mp3")));
  decoder.Close();
  ASSERT_TRUE(decoder.Open(wave));
  ASSERT_TRUE(decoder.Rewind());
  Bytes got(6);
  ASSERT_TRUE(decoder.ReadLooped(6, got.data()));
  EXPECT_EQ(got, Counting(6));
  ASSERT_TRUE(decoder.Open(Fixture("MONO_22050.MP3")));  // case-insensitive, and closes the WAVE file
  EXPECT_EQ(decoder.mmio, nullptr);
  EXPECT_EQ(decoder.format->channels, 1);
}

}  // namespace

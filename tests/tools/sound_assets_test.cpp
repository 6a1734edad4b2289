// The data set's sound, voice and movie generators, checked through the game's own decoding:
// the WAVE and MP3 files through SoundDecoder, the movies through the media commands.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets.h"
#include "audio/sound_decoder.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_media.h"
#include "platform/media_command.h"
#include "sound/speech.h"

namespace {

namespace fs = std::filesystem;

// Texts as the content carries them: UTF-8, whatever the execution character set is.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::vector<std::uint8_t> Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SoundAssetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmora_sound_assets_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    plat::CloseAllMedia();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

// Opens a WAVE file through the game's decoder and returns its samples (22050 Hz 16-bit mono).
std::vector<std::int16_t> DecodeWave(const fs::path& file, SoundDecoder* d) {
  EXPECT_TRUE(d->Open(file.string())) << file;
  if (!d->format) return {};
  EXPECT_EQ(d->format->format_tag, 1);
  EXPECT_EQ(d->format->channels, 1);
  EXPECT_EQ(d->format->samples_per_second, 22050u);
  EXPECT_EQ(d->format->bits_per_sample, 16);
  EXPECT_TRUE(d->Rewind());
  std::vector<std::int16_t> s(d->chunk.size / 2);
  EXPECT_TRUE(d->Read(d->chunk.size, s.data()));
  return s;
}

// Decodes an MP3 file through the game's converter; checks it starts on a frame, without a tag.
std::vector<std::int16_t> DecodeMp3(const fs::path& file, int* rate) {
  const std::vector<std::uint8_t> bytes = Bytes(file);
  EXPECT_GT(bytes.size(), 4u) << file;
  if (bytes.size() < 4) return {};
  EXPECT_EQ(bytes[0], 0xFF) << file << ": the game accepts only a file that begins with a frame";
  SoundDecoder d;
  EXPECT_TRUE(d.Open(file.string())) << file;
  if (!d.format) return {};
  EXPECT_EQ(d.format->channels, 1);
  *rate = static_cast<int>(d.format->samples_per_second);
  EXPECT_TRUE(d.Rewind());
  std::vector<std::int16_t> s(d.pcmLength / 2);
  EXPECT_TRUE(d.Read(d.pcmLength, s.data()));
  return s;
}

TEST_F(SoundAssetsTest, FixedSoundsLoadAndMusicLoopsWithoutASeam) {
  ASSERT_TRUE(databuild::BuildFixedSounds(dir_));
  struct Case {
    const char* file;
    bool music;
  } cases[] = {{"media/bgm/BGM10.wav", true},  {"media/bgm/bgm01.wav", true},   {"media/bgm/bgm02.wav", true},
               {"media/bgm/bgm03.wav", true},  {"media/bgm/bgm04.wav", true},   {"media/bgm/bgm05.wav", true},
               {"media/se/click.wav", false},  {"media/se/soundtest.wav", false}, {"media/se/A5_02042.wav", false},
               {"media/se/se.wav", false}};
  std::vector<std::vector<std::int16_t>> pieces;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(fs::exists(dir_ / c.file));
    SoundDecoder d;
    const std::vector<std::int16_t> s = DecodeWave(dir_ / c.file, &d);
    ASSERT_FALSE(s.empty());
    const double seconds = s.size() / 22050.0;
    if (!c.music) {
      EXPECT_LT(seconds, 2.0);
      EXPECT_EQ(s.front(), 0);
      EXPECT_EQ(s.back(), 0);
      continue;
    }
    EXPECT_GE(seconds, 12.0);
    EXPECT_LE(seconds, 20.0);
    // The stream reads half a second at a time and wraps at the data chunk's end: what it
    // hands out is the piece round and round, and the step across the wrap is no jump.
    ASSERT_TRUE(d.Rewind());
    std::vector<std::int16_t> piece(11025);
    for (std::size_t at = 0; at < s.size() * 2; at += piece.size()) {
      ASSERT_TRUE(d.ReadLooped(22050, piece.data()));
      for (std::size_t i = 0; i < piece.size(); ++i) ASSERT_EQ(piece[i], s[(at + i) % s.size()]) << at + i;
    }
    // Across the wrap the wave moves as it does from sample to sample around it, and the first
    // sample follows silence as gently.
    int around = 0;
    for (std::size_t i = 1; i < 200; ++i)
      around = std::max({around, std::abs(s[i] - s[i - 1]), std::abs(s[s.size() - i] - s[s.size() - i - 1])});
    EXPECT_LE(std::abs(s.front() - s.back()), around * 3 / 2);
    EXPECT_LE(std::abs(s.front()), around) << "the music starts without a step from silence";
    for (const auto& other : pieces) EXPECT_NE(other, s) << "each name has a piece of its own";
    pieces.push_back(s);
  }
  int rate = 0;
  EXPECT_GT(DecodeMp3(dir_ / "media/voice/mailon.mp3", &rate).size(), 22050u);
}

TEST_F(SoundAssetsTest, VoicesAndBroadcastsDecodeThroughTheGameConverter) {
  ASSERT_TRUE(databuild::BuildVoice(dir_ / "A001_00.mp3", U8(u8"今日《きょう》は、いいてんきだね。")));
  ASSERT_TRUE(databuild::BuildBroadcast(dir_ / "R01.mp3", "R01", U8(u8"こんばんは。ラジオのじかんです。")));
  int voice_rate = 0, radio_rate = 0;
  const std::vector<std::int16_t> voice = DecodeMp3(dir_ / "A001_00.mp3", &voice_rate);
  const std::vector<std::int16_t> radio = DecodeMp3(dir_ / "R01.mp3", &radio_rate);
  EXPECT_EQ(voice_rate, 22050);
  EXPECT_EQ(radio_rate, 22050);
  EXPECT_GT(voice.size(), 22050u);  // more than a second of speech
  int peak = 0;
  for (const auto v : voice) peak = std::max(peak, std::abs(static_cast<int>(v)));
  EXPECT_GT(peak, 16000) << "speech at a steady, clear level";
  // The broadcast is the talk with its tune before and after it.
  EXPECT_GT(radio.size(), voice.size() + 4 * 22050u);
  // Broadcasts play through the media commands, to their end.
  ASSERT_EQ(plat::SendMediaCommand("open " + (dir_ / "R01.mp3").string() + " alias r"), plat::kMediaOk);
  ASSERT_EQ(plat::SendMediaCommand("play r"), plat::kMediaOk);
  std::string mode;
  int ms = 0;
  for (; ms < 30000 && mode != "stopped"; ms += 50) {
    plat::headless::Advance(50);
    plat::SendMediaCommand("status r mode", &mode);
  }
  EXPECT_EQ(mode, "stopped");
  EXPECT_NEAR(ms / 1000.0, radio.size() / 22050.0, 0.3);
}

TEST_F(SoundAssetsTest, SpeechTextReadsKanaAndReplacesKanjiByTheirReading) {
  const struct {
    const char8_t* in;
    const char8_t* out;
  } cases[] = {
      {u8"今日《きょう》は晴れ", u8"きょうはれ"},        // a reading replaces its kanji; bare kanji are left out
      {u8"ＡＫＡＲＩです。", u8"AKARI です。"},        // full-width ASCII, a blank before the kana
      {u8"またね\r\nおやすみ", u8"またね  おやすみ"},  // line breaks become blanks
      {u8"-v en", u8"-v en"},                          // text that looks like an option stays text
  };
  for (const auto& c : cases) EXPECT_EQ(databuild::SpeechText(U8(c.in)), U8(c.out)) << U8(c.in);
}

TEST_F(SoundAssetsTest, SameArgumentsGiveTheSameBytes) {
  for (const char* run : {"a", "b"}) {
    const fs::path d = dir_ / run;
    ASSERT_TRUE(databuild::BuildMusic(d / "scene.wav", "scene"));
    ASSERT_TRUE(databuild::BuildEffect(d / "door.wav", "door"));
    ASSERT_TRUE(databuild::BuildVoice(d / "v.mp3", U8(u8"ありがとう。")));
    ASSERT_TRUE(databuild::BuildBroadcast(d / "r.mp3", "R02", U8(u8"おはよう。")));
    ASSERT_TRUE(databuild::BuildMovie(d / "m.wmv", "vA020_01", 320, 240, 1.5));
  }
  for (const char* file : {"scene.wav", "door.wav", "v.mp3", "r.mp3", "m.wmv"})
    EXPECT_EQ(Bytes(dir_ / "a" / file), Bytes(dir_ / "b" / file)) << file;
}

TEST_F(SoundAssetsTest, MoviesPlayToTheirEndThroughTheMediaCommands) {
  const struct {
    const char* name;
    int width, height;
    double seconds;
  } cases[] = {{"op", 480, 320, 3.0}, {"vD027_01", 320, 240, 2.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = dir_ / (std::string(c.name) + ".wmv");
    ASSERT_TRUE(databuild::BuildMovie(file, c.name, c.width, c.height, c.seconds));
    ASSERT_EQ(plat::SendMediaCommand("open " + file.string() + " alias m style child parent 1"), plat::kMediaOk);
    ASSERT_EQ(plat::SendMediaCommand("play m"), plat::kMediaOk);
    std::string mode;
    int ms = 0;
    std::vector<std::uint8_t> middle;
    for (; ms < 10000 && mode != "stopped"; ms += 50) {
      plat::headless::Advance(50);
      if (ms == static_cast<int>(c.seconds * 500)) {
        int w = 0, h = 0;
        ASSERT_TRUE(plat::headless::CaptureMediaFrame("m", &middle, &w, &h));
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
      }
      plat::SendMediaCommand("status m mode", &mode);
    }
    EXPECT_EQ(mode, "stopped");
    EXPECT_NEAR(ms / 1000.0, c.seconds, 0.3);
    // A drawn scene, not one flat colour.
    ASSERT_FALSE(middle.empty());
    int lo = 255, hi = 0;
    for (std::size_t i = 1; i < middle.size(); i += 3) lo = std::min<int>(lo, middle[i]), hi = std::max<int>(hi, middle[i]);
    EXPECT_GT(hi - lo, 60);
    plat::SendMediaCommand("close m");
  }
  EXPECT_FALSE(databuild::BuildMovie(dir_ / "odd.wmv", "odd", 321, 240, 2.0));
}

}  // namespace

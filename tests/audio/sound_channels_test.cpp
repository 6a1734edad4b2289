// The game view's sound channels on the headless device: what the mixer actually plays.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../app/game_fixture.h"
#include "app/game_view.h"
#include "platform/dialog.h"
#include "platform/headless/headless_audio.h"
#include "platform/text_encoding.h"
#include "sound_files.h"

namespace {

using sound_test::Bytes;

// 16-bit stereo 22050 Hz samples 1, 2, 3, ... (every value recognisable), `frames` long.
std::vector<std::int16_t> Samples(int frames, int first = 1) {
  std::vector<std::int16_t> s(static_cast<std::size_t>(frames) * 2);
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<std::int16_t>(first + static_cast<int>(i % 30000));
  return s;
}

// A WAVE file holding `samples`, with a chunk before `fmt ` and a loud one after `data` that
// must never be heard.
Bytes Wave(const std::vector<std::int16_t>& samples, unsigned channels = 2, std::uint32_t rate = 22050) {
  Bytes data(samples.size() * 2);
  std::memcpy(data.data(), samples.data(), data.size());
  const Bytes loud(64, 0x7F);
  return sound_test::Riff("WAVE", {sound_test::Chunk("JUNK", Bytes(10, 0x7F)),
                                   sound_test::Chunk("fmt ", sound_test::Fmt(1, channels, rate, channels * 2, 16)),
                                   sound_test::Chunk("data", data), sound_test::Chunk("LIST", loud)});
}

class SoundChannelsTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    AddSamples(game_);
    EnableLog();
  }
  void TearDown() override {
    plat::headless::SetAudioDeviceAvailable(true);
    GameFolderTest::TearDown();
  }
  void Start() {
    StartGame();
    view_ = g_pGameView;
    ASSERT_NE(view_, nullptr);
    plat::headless::ClearMixedAudio();
  }
  void Put(const char* folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(game_ / folder);
    std::ofstream(game_ / folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::string Log() const { return LogFiles().empty() ? std::string() : ReadAll(LogFiles()[0]); }
  // Mixed samples from `from` (in samples) on.
  std::vector<std::int16_t> Mixed(std::size_t from = 0) const {
    const auto& m = plat::headless::MixedAudio();
    return from >= m.size() ? std::vector<std::int16_t>{} : std::vector<std::int16_t>(m.begin() + static_cast<long>(from), m.end());
  }
  static bool Silent(const std::vector<std::int16_t>& s) {
    for (std::int16_t v : s)
      if (v != 0) return false;
    return true;
  }
  CGameView* view_ = nullptr;
};

TEST_F(SoundChannelsTest, HalfIsHalfASecondOfBytesRoundedDown) {
  Start();
  struct {
    unsigned channels;
    std::uint32_t rate;
    std::uint32_t half;
  } cases[] = {{2, 22050, 44100}, {1, 11025, 11025}, {1, 22050, 22050}};
  for (const auto& c : cases) {
    Put("media/bgm", "h.wav", Wave(Samples(30000), c.channels, c.rate));
    SoundStream stream;
    ASSERT_TRUE(stream.Open(view_->m_sound, App().m_strBgmPath + "h.wav"));
    EXPECT_EQ(stream.halfSize, c.half);
    EXPECT_EQ(stream.buffer->size(), 2 * c.half);
  }
}

TEST_F(SoundChannelsTest, MusicLoopsByteExactAcrossTheEndOfItsData) {
  const std::vector<std::int16_t> music = Samples(15435);  // 0.7 s: not a whole number of halves
  Put("media/bgm", "loop.wav", Wave(music));
  Start();
  view_->BgmOn("LOOP", 9);  // level 9 is 0 dB: the samples come out unchanged
  plat::headless::Advance(2500);
  const std::vector<std::int16_t> out = Mixed();
  ASSERT_GE(out.size(), music.size() * 3);
  for (std::size_t i = 0; i < music.size() * 3; ++i)
    ASSERT_EQ(out[i], music[i % music.size()]) << "sample " << i;
  EXPECT_NE(Log().find("Bgm ON '" + App().m_strBgmPath + "LOOP.wav'\n"), std::string::npos);
  view_->BgmOff(1);
}

TEST_F(SoundChannelsTest, MusicStopsRestartsAndChangesFile) {
  const std::vector<std::int16_t> a = Samples(22050, 1), b = Samples(22050, 20000);
  Put("media/bgm", "a.wav", Wave(a));
  Put("media/bgm", "b.wav", Wave(b));
  Start();
  for (int flag : {0, 1}) {
    view_->BgmOn("a", 9);
    plat::headless::Advance(300);
    view_->BgmOff(flag);
    const std::size_t stopped = plat::headless::MixedAudio().size();
    plat::headless::Advance(300);
    EXPECT_TRUE(Silent(Mixed(stopped))) << "BgmOff(" << flag << ") leaves sound playing";
  }
  EXPECT_NE(Log().find("Bgm OFF \n"), std::string::npos);

  // The same name again starts from the beginning; another file on the same stream plays it.
  for (const auto* music : {&a, &b}) {
    view_->BgmOn(music == &a ? "a" : "b", 9);
    plat::headless::Advance(200);
    const std::size_t restart = plat::headless::MixedAudio().size();
    view_->BgmOn(music == &a ? "a" : "b", 9);
    plat::headless::Advance(100);
    const std::vector<std::int16_t> out = Mixed(restart);
    ASSERT_GE(out.size(), 100u);
    EXPECT_EQ(out[0], (*music)[0]);
    EXPECT_EQ(out[99], (*music)[99]);
  }
  view_->BgmOff(0);
}

TEST_F(SoundChannelsTest, EffectsAndVoicesPlayOnceAndAMissingFileOnlyLogs) {
  Put("media/se", "click.wav", Wave(Samples(2205)));
  std::filesystem::copy_file(std::string(VELMORA_TEST_DATA) + "/stereo_44100.mp3", game_ / "media/voice/v1.mp3");
  Start();
  view_->SeOn("click", 9);
  plat::headless::Advance(200);
  std::vector<std::int16_t> out = Mixed();
  ASSERT_GE(out.size(), 2205u * 2 + 10);
  EXPECT_EQ(out[0], 1);
  EXPECT_TRUE(Silent(std::vector<std::int16_t>(out.begin() + 2205 * 2, out.end()))) << "an effect plays once";

  plat::headless::ClearMixedAudio();
  view_->VoiceOn("v1", 5);
  plat::headless::Advance(300);
  EXPECT_FALSE(Silent(Mixed()));

  // A voice that is missing after an earlier one: nothing plays, the earlier one is not heard again.
  plat::headless::ClearMixedAudio();
  view_->VoiceOn("missing", 5);
  view_->SeOn("missing", 5);
  plat::headless::Advance(300);
  EXPECT_TRUE(Silent(Mixed()));
  EXPECT_NE(Log().find("VOICE ON '" + App().m_strVoicePath + "missing.mp3'\n"), std::string::npos);
  EXPECT_NE(Log().find("SE ON '" + App().m_strSePath + "missing.wav'\n"), std::string::npos);
}

TEST_F(SoundChannelsTest, ALostBufferIsRestoredAndStillPlays) {
  Put("media/se", "click.wav", Wave(Samples(2205)));
  Start();
  plat::headless::LoseBufferOnNextLock();
  view_->SeOn("click", 9);
  plat::headless::Advance(100);
  const std::vector<std::int16_t> out = Mixed();
  ASSERT_GE(out.size(), 20u);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[19], 20);
}

TEST_F(SoundChannelsTest, WithoutADeviceTheGameSaysSoOnceAndRunsSilently) {
  Put("media/bgm", "a.wav", Wave(Samples(22050)));
  plat::headless::SetAudioDeviceAvailable(false);
  Start();
  const auto& shown = plat::headless::DialogsShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].texts, (std::vector<std::string>{"サウンド/ビデオ機能が使用できません"}));
  EXPECT_EQ(shown[0].caption, "Velmora");
  EXPECT_FALSE(view_->m_bSoundOK);
  view_->BgmOn("a", 4);
  view_->SeOn("a", 4);
  view_->VoiceOn("a", 4);
  EXPECT_EQ(Log().find("Bgm ON"), std::string::npos);
  EXPECT_EQ(Log().find("SE ON"), std::string::npos);
  plat::headless::Advance(100);
  EXPECT_TRUE(plat::headless::WindowOpen());
}

TEST(VolumeTableTest, LevelsMapToTheirTablesAndStrayLevelsAreHeld) {
  EXPECT_EQ(BgmSeVolume(0), -10000);
  EXPECT_EQ(BgmSeVolume(4), -1000);
  EXPECT_EQ(BgmSeVolume(9), 0);
  EXPECT_EQ(BgmSeVolume(12), 0);
  EXPECT_EQ(BgmSeVolume(-3), -10000);
  EXPECT_EQ(VoiceVolume(1), -1500);
  EXPECT_EQ(VoiceVolume(5), 0);
  EXPECT_EQ(VoiceVolume(8), 0);
}

}  // namespace

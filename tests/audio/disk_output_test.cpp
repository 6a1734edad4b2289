// The game's effect and voice channels through the real SDL output, written to a file by SDL's
// disk audio driver: the file holds both sounds at their levels and lengths.
#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio/sound_engine.h"
#include "sound_files.h"

namespace {

using sound_test::Bytes;

TEST(DiskOutputTest, AnEffectAndAVoiceReachTheDeviceAtTheirLevels) {
  sound_test::TempFolder folder;
  // An effect: 0.1 s of a constant 16000 in 16-bit stereo at 22050 Hz.
  constexpr int kEffectFrames = 2205;
  Bytes data(kEffectFrames * 4);
  for (int i = 0; i < kEffectFrames * 2; ++i) {
    data[static_cast<std::size_t>(i) * 2] = static_cast<std::uint8_t>(16000 & 0xFF);
    data[static_cast<std::size_t>(i) * 2 + 1] = static_cast<std::uint8_t>(16000 >> 8);
  }
  const std::string effect = folder.Write(
      "se.wav", sound_test::Riff("WAVE", {sound_test::Chunk("fmt ", sound_test::Fmt(1, 2, 22050, 4, 16)),
                                           sound_test::Chunk("data", data)}));
  const std::string out = folder.path() + "/device.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  setenv("VELMORA_BACKEND", "sdl", 1);  // no application here: the device follows this
  {
    SoundDevice device;
    ASSERT_TRUE(device.Open(22050));
    SoundBuffer se, voice;
    ASSERT_TRUE(se.Load(device, effect));
    se.SetVolume(-600);  // a gain of 10^(-0.3): 16000 becomes 8019, give or take rounding
    se.Play();
    timespec pause{0, 400 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    ASSERT_TRUE(voice.Load(device, std::string(VELMORA_TEST_DATA) + "/stereo_44100.mp3"));
    voice.SetVolume(0);
    voice.Play();
    timespec rest{0, 700 * 1000 * 1000};  // the 0.39 s voice and the driver's last period
    nanosleep(&rest, nullptr);
    device.Close();
  }
  setenv("VELMORA_BACKEND", "headless", 1);
  std::ifstream in(out, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GE(bytes.size(), 4u * 22050 / 2);
  const auto* s = reinterpret_cast<const std::int16_t*>(bytes.data());
  const std::size_t frames = bytes.size() / 4;
  // The effect: a run of exactly its length at its scaled level.
  std::size_t effect_frames = 0, first_voice = 0, voice_frames = 0;
  double voice_peak = 0;
  for (std::size_t f = 0; f < frames; ++f) {
    if (std::abs(s[2 * f] - 8019) <= 1 && s[2 * f + 1] == s[2 * f]) {
      ++effect_frames;
    } else if (s[2 * f] != 0) {
      if (first_voice == 0) first_voice = f;
      ++voice_frames;
      voice_peak = std::max(voice_peak, std::fabs(static_cast<double>(s[2 * f])));
    }
  }
  EXPECT_EQ(effect_frames, static_cast<std::size_t>(kEffectFrames));
  // The voice (a 0.39 s tone at 44.1 kHz, played at 22.05 kHz): audible and about as long.
  EXPECT_GT(voice_peak, 3000.0);
  EXPECT_GT(voice_frames, 22050u * 30 / 100);
  EXPECT_LT(voice_frames, 22050u * 50 / 100);
}

}  // namespace

// The mixer on the headless device: exact copies at the output format, conversion, volume,
// saturation, looping, notifications with a refilling worker, lost buffers and the device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/sound_output.h"
#include "platform/sync.h"

namespace plat {
namespace {

constexpr PcmFormat kStereo16{22050, 16, 2};

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(device_.Open(kPrimaryFormat, SoundBackend::kHeadless)); }

  std::unique_ptr<SoundBuffer> Make(const std::vector<std::int16_t>& samples, const PcmFormat& f = kStereo16) {
    return MakeBytes(reinterpret_cast<const std::uint8_t*>(samples.data()), samples.size() * 2, f);
  }
  std::unique_ptr<SoundBuffer> MakeBytes(const std::uint8_t* bytes, std::size_t n, const PcmFormat& f) {
    auto b = device_.CreateBuffer(static_cast<std::uint32_t>(n), f);
    if (b == nullptr) return nullptr;
    LockedRange r;
    if (b->Lock(0, b->size(), &r) != BufferLockResult::kOk) return nullptr;
    std::memcpy(r.first, bytes, r.first_size);
    b->Unlock(r);
    return b;
  }
  // The mixed output from `frame` on.
  static std::int16_t Out(std::size_t frame, int channel) { return headless::MixedAudio().at(frame * 2 + channel); }

  SoundDevice device_;
};

std::vector<std::int16_t> Ramp(int frames) {
  std::vector<std::int16_t> s;
  for (int i = 0; i < frames; ++i) {
    s.push_back(static_cast<std::int16_t>(i * 7 - 3000));
    s.push_back(static_cast<std::int16_t>(-i * 5 + 1234));
  }
  return s;
}

std::vector<std::int16_t> Constant(int frames, std::int16_t v) { return std::vector<std::int16_t>(frames * 2, v); }

TEST_F(SoundTest, OutputFormatBufferIsCopiedExactlyThenStopsAndSignals) {
  const auto samples = Ramp(2205);  // 100 ms
  auto b = Make(samples);
  AutoResetEvent stopped;
  const Notification n{kNotifyWhenStopped, &stopped};
  ASSERT_TRUE(b->SetNotifications({&n, 1}));
  ASSERT_TRUE(b->Play(false));
  headless::Advance(150);
  const auto& out = headless::MixedAudio();
  ASSERT_EQ(out.size(), 3307u * 2);
  EXPECT_EQ(std::vector<std::int16_t>(out.begin(), out.begin() + samples.size()), samples);
  EXPECT_TRUE(std::all_of(out.begin() + samples.size(), out.end(), [](std::int16_t v) { return v == 0; }));
  EXPECT_FALSE(b->playing());
  EXPECT_EQ(b->play_cursor(), 0u);
  EXPECT_TRUE(stopped.Wait(0));
}

TEST_F(SoundTest, EightBitMonoAtHalfRateIsConverted) {
  // 100 ms of a constant +64 (of 128) at 11025 Hz: 2205 output frames at about half of full scale.
  std::vector<std::uint8_t> bytes(1102, 0xC0);
  auto b = MakeBytes(bytes.data(), bytes.size(), PcmFormat{11025, 8, 1});
  ASSERT_NE(b, nullptr);
  ASSERT_TRUE(b->Play(false));
  headless::Advance(200);
  EXPECT_FALSE(b->playing());
  int loud = 0;
  for (std::size_t f = 0; f < headless::MixedAudio().size() / 2; ++f) {
    if (std::abs(Out(f, 0) - 16384) < 1000) ++loud;
  }
  EXPECT_NEAR(loud, 2204, 40);
  for (std::size_t f = 500; f < 1700; ++f) {
    ASSERT_NEAR(Out(f, 0), 16384, 200) << f;
    ASSERT_EQ(Out(f, 0), Out(f, 1)) << f;
  }
}

TEST_F(SoundTest, VolumeScalesByTenToTheHundredthsOverTwoThousand) {
  struct Case {
    int volume;
    double gain;
  } cases[] = {{0, 1.0}, {-600, 0.501}, {-2000, 0.1}, {-10000, 0.0}, {-20000, 0.0}, {500, 1.0}};
  for (const Case& c : cases) {
    headless::ClearMixedAudio();
    auto b = Make(Constant(441, 20000));
    b->SetVolume(c.volume);
    ASSERT_TRUE(b->Play(false));
    headless::Advance(20);
    EXPECT_NEAR(Out(100, 0), 20000 * c.gain, 10) << c.volume;
    EXPECT_NEAR(Out(100, 1), 20000 * c.gain, 10) << c.volume;
  }
}

TEST_F(SoundTest, BuffersAreSummedWithSaturation) {
  struct Case {
    std::int16_t a, b, sum;
  } cases[] = {{1000, 2000, 3000}, {30000, 30000, 32767}, {-30000, -30000, -32768}, {32767, -32768, -1}};
  for (const Case& c : cases) {
    headless::ClearMixedAudio();
    auto x = Make(Constant(441, c.a));
    auto y = Make(Constant(441, c.b));
    ASSERT_TRUE(x->Play(false));
    ASSERT_TRUE(y->Play(false));
    headless::Advance(10);
    EXPECT_EQ(Out(50, 0), c.sum) << c.a << " + " << c.b;
  }
}

TEST_F(SoundTest, LoopingBufferWrapsWithoutGapAndStopKeepsTheCursor) {
  const auto samples = Ramp(1000);
  auto b = Make(samples);
  AutoResetEvent stopped;
  const Notification n{kNotifyWhenStopped, &stopped};
  ASSERT_TRUE(b->SetNotifications({&n, 1}));
  ASSERT_TRUE(b->Play(true));
  headless::Advance(200);  // 4410 frames: four times round and 410 frames more
  const auto& out = headless::MixedAudio();
  ASSERT_EQ(out.size(), 4410u * 2);
  for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], samples[i % samples.size()]) << i;
  EXPECT_EQ(b->play_cursor(), 410u * 4);
  EXPECT_TRUE(b->playing());
  EXPECT_FALSE(stopped.IsSet());
  b->Stop();
  EXPECT_TRUE(stopped.Wait(0));
  EXPECT_EQ(b->play_cursor(), 410u * 4);
  b->Stop();  // not playing: no second signal
  EXPECT_FALSE(stopped.IsSet());
}

TEST_F(SoundTest, LockWrapsAtTheEndAndRefusesBadRanges) {
  auto b = Make(Constant(4, 0));  // 16 bytes
  LockedRange r;
  ASSERT_EQ(b->Lock(12, 8, &r), BufferLockResult::kOk);
  EXPECT_EQ(r.first_size, 4u);
  ASSERT_NE(r.second, nullptr);
  EXPECT_EQ(r.second_size, 4u);
  EXPECT_EQ(b->Lock(0, 4, &r), BufferLockResult::kFailed);  // already locked
  std::memset(r.first, 0x11, 4);
  std::memset(r.second, 0x22, 4);
  ASSERT_TRUE(b->Unlock(r));
  EXPECT_FALSE(b->Unlock(r));
  ASSERT_EQ(b->Lock(0, 16, &r), BufferLockResult::kOk);
  EXPECT_EQ(r.second, nullptr);
  const std::uint8_t expect[16] = {0x22, 0x22, 0x22, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0x11, 0x11, 0x11, 0x11};
  EXPECT_EQ(std::memcmp(r.first, expect, 16), 0);
  b->Unlock(r);
  struct Bad {
    std::uint32_t offset, bytes;
  } bad[] = {{16, 1}, {0, 0}, {0, 17}};
  for (const Bad& c : bad) EXPECT_EQ(b->Lock(c.offset, c.bytes, &r), BufferLockResult::kFailed) << c.offset << "+" << c.bytes;
}

TEST_F(SoundTest, LostBufferLocksAgainAfterRestore) {
  auto b = Make(Constant(4, 1234));
  headless::LoseBufferOnNextLock();
  LockedRange r;
  EXPECT_EQ(b->Lock(0, 16, &r), BufferLockResult::kLost);
  EXPECT_EQ(b->Lock(0, 16, &r), BufferLockResult::kLost);
  EXPECT_FALSE(b->Play(false));
  ASSERT_TRUE(b->Restore());
  ASSERT_EQ(b->Lock(0, 16, &r), BufferLockResult::kOk);
  const std::uint8_t zero[16] = {};
  EXPECT_EQ(std::memcmp(r.first, zero, 16), 0);  // the contents went with the memory
  EXPECT_TRUE(b->Unlock(r));
}

TEST_F(SoundTest, ExtraSourceIsMixedUntilRemoved) {
  auto b = Make(Constant(2205, 100));
  ASSERT_TRUE(b->Play(false));
  const int id = device_.AddSource([](std::int16_t* out, int frames) {
    for (int i = 0; i < frames * 2; ++i) out[i] = 50;
  });
  headless::Advance(10);
  EXPECT_EQ(Out(10, 0), 150);
  device_.RemoveSource(id);
  headless::Advance(10);
  EXPECT_EQ(Out(300, 1), 100);
}

TEST(SoundDeviceTest, UnavailableDeviceDoesNotOpen) {
  headless::SetAudioDeviceAvailable(false);
  SoundDevice device;
  EXPECT_FALSE(device.Open(kPrimaryFormat, SoundBackend::kHeadless));
  EXPECT_EQ(device.CreateBuffer(64, kStereo16), nullptr);
  headless::SetAudioDeviceAvailable(true);
  EXPECT_TRUE(device.Open(kPrimaryFormat, SoundBackend::kHeadless));
}

// A one-second looping buffer refilled half by half by a worker woken at offset 0 and at the
// half, as music streams do. Each refill writes a new constant, so the output shows exactly
// which refill played when: the handshake with the virtual device makes it exact.
TEST_F(SoundTest, WorkerRefillsHalvesOnNotificationsInOrder) {
  const std::uint32_t half = kStereo16.bytes_per_second() / 2;
  auto b = device_.CreateBuffer(2 * half, kStereo16);
  AutoResetEvent events[3];
  const Notification positions[3] = {{0, &events[0]}, {half, &events[1]}, {kNotifyWhenStopped, &events[2]}};
  ASSERT_TRUE(b->SetNotifications(positions));

  std::vector<int> woken;  // read after Join
  std::int16_t fill_value = 0;
  auto fill_half = [&](int i) {
    LockedRange r;
    if (b->Lock(half * i, half, &r) != BufferLockResult::kOk) return;
    ++fill_value;
    std::vector<std::int16_t> v(half / 2, fill_value);
    std::memcpy(r.first, v.data(), half);
    b->Unlock(r);
  };
  WorkerThread worker;
  ASSERT_TRUE(worker.Start([&] {
    fill_half(0);
    if (!b->Play(true)) return 1;
    int next = 1;
    for (;;) {
      const int w = WaitForAny({&events[0], &events[1], &events[2]});
      woken.push_back(w);
      if (w != 0 && w != 1) return 0;
      fill_half(next);
      next = 1 - next;
    }
  }));
  worker.RaisePriority();
  ASSERT_TRUE(worker.Resume());
  for (int i = 0; i < 50; ++i) headless::Advance(50);  // 2.5 s in steps
  b->Stop();
  EXPECT_EQ(worker.Join(), 0);

  EXPECT_EQ(woken, (std::vector<int>{0, 1, 0, 1, 0, 1, 2}));
  const std::size_t half_frames = half / 4;
  ASSERT_EQ(headless::MixedAudio().size(), 5 * half_frames * 2);
  for (std::size_t f = 0; f < 5 * half_frames; ++f) {
    ASSERT_EQ(Out(f, 0), static_cast<std::int16_t>(f / half_frames + 1)) << "frame " << f;
  }
}

}  // namespace
}  // namespace plat

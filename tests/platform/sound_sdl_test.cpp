// The real SDL output, through SDL's file-writing audio driver: what a played buffer leaves in
// the file.
#include <gtest/gtest.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound_output.h"
#include "platform/sync.h"

namespace plat {
namespace {

TEST(SoundSdlTest, PlayedBufferReachesTheDiskDriverAtItsLevelAndLength) {
  char path[] = "/tmp/velmora_sound_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", path, 1);
  {
    SoundDevice device;
    ASSERT_TRUE(device.Open(kPrimaryFormat, SoundBackend::kSdl));
    constexpr int kFrames = 4410;  // 200 ms
    auto b = device.CreateBuffer(kFrames * 4, kPrimaryFormat);
    ASSERT_NE(b, nullptr);
    LockedRange r;
    ASSERT_EQ(b->Lock(0, b->size(), &r), BufferLockResult::kOk);
    std::vector<std::int16_t> v(kFrames * 2, 12000);
    std::memcpy(r.first, v.data(), r.first_size);
    b->Unlock(r);
    b->SetVolume(-600);
    AutoResetEvent stopped;
    const Notification n{kNotifyWhenStopped, &stopped};
    ASSERT_TRUE(b->SetNotifications({&n, 1}));
    ASSERT_TRUE(b->Play(false));
    EXPECT_TRUE(stopped.Wait(5000));
    timespec pause{0, 150 * 1000 * 1000};  // let the driver write the last period
    nanosleep(&pause, nullptr);
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
  std::remove(path);
  ASSERT_EQ(bytes.size() % 4, 0u);
  const auto* s = reinterpret_cast<const std::int16_t*>(bytes.data());
  int level_frames = 0, other = 0;
  for (std::size_t f = 0; f < bytes.size() / 4; ++f) {
    if (s[2 * f] == 6014 && s[2 * f + 1] == 6014) {
      ++level_frames;
    } else if (s[2 * f] != 0 || s[2 * f + 1] != 0) {
      ++other;
    }
  }
  EXPECT_EQ(level_frames, 4410);
  EXPECT_EQ(other, 0);
}

}  // namespace
}  // namespace plat

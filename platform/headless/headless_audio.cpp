// The virtual sound device: the mixer runs whenever the virtual clock moves, for exactly the
// frames the elapsed time stands for, and what it mixed is kept for tests. Before mixing, and
// after every signalled notification, it lets worker threads settle, so a refill that a
// notification asked for is in the buffer before the device plays on.
#include <algorithm>
#include <mutex>

#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/sound_mixer.h"
#include "platform/sync.h"

namespace plat {
namespace {

// Long enough for a refill under a sanitizer on a loaded machine; only a hung worker reaches it.
constexpr std::uint32_t kSettleTimeoutMs = 10000;
constexpr int kMaxChunkFrames = 4096;

struct VirtualDevice {
  std::shared_ptr<MixerCore> core;
  std::uint64_t opened_at_ms = 0;
  std::uint64_t mixed_frames = 0;
};

struct HeadlessAudioState {
  std::mutex mu;
  VirtualDevice* device = nullptr;
  bool available = true;
  bool pulling = false;
  std::vector<std::int16_t> captured;
  std::uint64_t mixed_frames = 0;
};

HeadlessAudioState& Audio() {
  static HeadlessAudioState* state = new HeadlessAudioState;
  return *state;
}

class HeadlessAudioOutput final : public AudioOutput {
 public:
  explicit HeadlessAudioOutput(std::shared_ptr<MixerCore> core) {
    device_.core = std::move(core);
    device_.opened_at_ms = headless::Now();
  }
  ~HeadlessAudioOutput() override {
    HeadlessAudioState& s = Audio();
    std::lock_guard lock(s.mu);
    if (s.device == &device_) s.device = nullptr;
  }
  VirtualDevice device_;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenHeadlessAudioOutput(std::shared_ptr<MixerCore> core) {
  HeadlessAudioState& s = Audio();
  std::lock_guard lock(s.mu);
  if (!s.available || s.device != nullptr) return nullptr;
  auto output = std::make_unique<HeadlessAudioOutput>(std::move(core));
  s.device = &output->device_;
  s.captured.clear();
  s.mixed_frames = 0;
  g_lose_next_lock = false;
  return output;
}

namespace headless {

const std::vector<std::int16_t>& MixedAudio() { return Audio().captured; }

void ClearMixedAudio() {
  HeadlessAudioState& s = Audio();
  std::lock_guard lock(s.mu);
  s.captured.clear();
}

std::uint64_t MixedFrames() {
  HeadlessAudioState& s = Audio();
  std::lock_guard lock(s.mu);
  return s.mixed_frames;
}

void SetAudioDeviceAvailable(bool available) {
  HeadlessAudioState& s = Audio();
  std::lock_guard lock(s.mu);
  s.available = available;
}

void LoseBufferOnNextLock() { g_lose_next_lock = true; }

void PullAudio() {
  HeadlessAudioState& s = Audio();
  std::shared_ptr<MixerCore> core;
  std::uint64_t target = 0, mixed = 0;
  {
    std::lock_guard lock(s.mu);
    if (s.device == nullptr || s.pulling) return;
    s.pulling = true;
    core = s.device->core;
    const std::uint64_t now = headless::Now();
    const std::uint64_t elapsed = now > s.device->opened_at_ms ? now - s.device->opened_at_ms : 0;
    target = elapsed * core->out.sample_rate / 1000;
    mixed = s.device->mixed_frames;
  }
  if (mixed < target) sync_internal::WaitForWorkersToSettle(kSettleTimeoutMs);
  std::vector<std::int16_t> chunk;
  bool stalled = false;
  while (mixed < target) {
    int frames = static_cast<int>(std::min<std::uint64_t>(target - mixed, kMaxChunkFrames));
    frames = std::min(frames, core->FramesUntilNextEvent());
    // A position due now is signalled without mixing; twice in a row cannot happen, but the
    // loop must move on regardless.
    if (frames == 0 && stalled) frames = 1;
    stalled = frames == 0;
    chunk.assign(static_cast<std::size_t>(frames) * 2, 0);
    const bool signalled = core->MixAndSignal(chunk.data(), frames);
    mixed += static_cast<std::uint64_t>(frames);
    {
      std::lock_guard lock(s.mu);
      s.captured.insert(s.captured.end(), chunk.begin(), chunk.end());
      s.mixed_frames = mixed;
      if (s.device != nullptr) s.device->mixed_frames = mixed;
    }
    if (signalled) sync_internal::WaitForWorkersToSettle(kSettleTimeoutMs);
  }
  std::lock_guard lock(s.mu);
  s.pulling = false;
}

}  // namespace headless
}  // namespace plat

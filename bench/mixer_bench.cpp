// The mixer's cost: three buffers playing at once (music looping at the device's format, a
// converted 11025 Hz mono voice, an 8-bit effect), mixed for 10 s of audio on the headless
// device. `realtime_fraction` is the processor time spent over the 10 s of sound produced.
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/sound_output.h"

namespace {

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::unique_ptr<plat::SoundBuffer> Filled(plat::SoundDevice& d, const plat::PcmFormat& f, std::uint32_t bytes) {
  auto b = d.CreateBuffer(bytes, f);
  plat::LockedRange r;
  if (b == nullptr || b->Lock(0, bytes, &r) != plat::BufferLockResult::kOk) return nullptr;
  for (std::uint32_t i = 0; i < r.first_size; ++i) r.first[i] = static_cast<std::uint8_t>(i * 7);
  b->Unlock(r);
  return b;
}

void BM_MixThreeBuffersTenSeconds(benchmark::State& state) {
  plat::SoundDevice device;
  if (!device.Open(plat::kPrimaryFormat, plat::SoundBackend::kHeadless)) {
    state.SkipWithError("no headless device");
    return;
  }
  auto music = Filled(device, plat::kPrimaryFormat, 88200);
  auto voice = Filled(device, plat::PcmFormat{11025, 16, 1}, 22050 * 12);
  auto effect = Filled(device, plat::PcmFormat{22050, 8, 1}, 22050 * 12);
  if (!music || !voice || !effect) {
    state.SkipWithError("no buffers");
    return;
  }
  double cpu = 0;
  for (auto _ : state) {
    music->Play(true);
    voice->SetPlayCursor(0);
    effect->SetPlayCursor(0);
    voice->Play(false);
    effect->Play(false);
    const double start = CpuSeconds();
    plat::headless::SpendTime(10000);
    cpu += CpuSeconds() - start;
    music->Stop();
    plat::headless::ClearMixedAudio();
  }
  state.counters["realtime_fraction"] = cpu / static_cast<double>(state.iterations()) / 10.0;
}

}  // namespace

BENCHMARK(BM_MixThreeBuffersTenSeconds)->Unit(benchmark::kMillisecond)->Iterations(5);

// The cost of playing a movie: a 320 × 240 WMV2 video with WMA2 sound (2 s, 20 pictures a second,
// a moving gradient so that every picture differs), played on the virtual clock in 50 ms steps as
// the scene timer would see it. Each step mixes the sound through the headless device (which
// decodes the sound) and draws the video into a 640 × 480 picture whenever it shows a new one
// (which decodes the pictures). `realtime_fraction` is the processor time over the video's
// length; `frames` counts the different pictures drawn per play-through (all 40 when none is
// skipped).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/media_command.h"
#include "platform/pixels.h"
#include "platform/sound_output.h"

namespace {

constexpr double kVideoSeconds = 2.0;
constexpr int kVideoFrames = 40;
constexpr int kStepMs = 50;

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void BM_VideoPlay320x240(benchmark::State& state) {
  // Media follow the virtual clock only with the headless backend chosen.
  setenv("VELMORA_BACKEND", "headless", 1);
  plat::SoundDevice device;
  if (!device.Open(plat::kPrimaryFormat, plat::SoundBackend::kHeadless)) {
    state.SkipWithError("no headless sound device");
    return;
  }
  plat::SetMediaAudioOutput(&device);
  const std::string open = "open \"" VELMORA_BENCH_DATA "/video_320x240.wmv\" alias b style child parent 1";
  std::vector<std::uint8_t> bits(640 * 480 * 3);
  const plat::PixelView picture{bits.data(), 640, 480, 640 * 3};
  std::vector<std::uint8_t> last_row(320 * 3);
  double cpu = 0;
  long frames = 0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    if (plat::SendMediaCommand(open) != plat::kMediaOk ||
        plat::SendMediaCommand("put b window at 160 120 320 240") != plat::kMediaOk ||
        plat::SendMediaCommand("play b") != plat::kMediaOk) {
      state.SkipWithError("the benchmark video does not open");
      break;
    }
    std::string mode = "playing";
    // Twice the video's length at most: a player that never ends must not hang the benchmark.
    for (int t = 0; mode == "playing" && t < 2 * 2000 / kStepMs; ++t) {
      plat::headless::SpendTime(kStepMs);
      if (plat::MediaOverlayChanged()) {
        plat::DrawMediaOverlay(picture);
        // A new picture moves the gradient: its middle row differs from the last one drawn.
        const std::uint8_t* row = picture.At(160, 240);
        if (!std::equal(row, row + 320 * 3, last_row.begin())) {
          std::copy(row, row + 320 * 3, last_row.begin());
          ++frames;
        }
      }
      plat::SendMediaCommand("status b mode", &mode);
    }
    plat::SendMediaCommand("close b");
    cpu += CpuSeconds() - start;
    if (mode != "stopped") {
      state.SkipWithError("the video did not end");
      break;
    }
  }
  plat::SetMediaAudioOutput(nullptr);
  device.Close();
  const double runs = static_cast<double>(state.iterations() > 0 ? state.iterations() : 1);
  state.counters["realtime_fraction"] = cpu / runs / kVideoSeconds;
  state.counters["frames"] = static_cast<double>(frames) / runs;
  state.counters["frames_in_video"] = kVideoFrames;
}
BENCHMARK(BM_VideoPlay320x240)->Unit(benchmark::kMillisecond);

}  // namespace

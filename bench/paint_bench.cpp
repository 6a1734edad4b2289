// The cost of the view's paint path: composing a dirty rectangle of the layers into the frame,
// and the fade of a whole layer. Each figure carries `vs_memcpy`: its time over that of a plain
// memcpy of the same bytes, measured in the same run, so the ratio holds on a noisy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <vector>

#include "graphics/dib_surface.h"

namespace {

// Monotonic nanoseconds. (<chrono> cannot be used: its "µs" suffix has no CP932 form.)
double NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

struct Layers {
  CDibSurface picture, top, frame, back;
  Layers() {
    for (CDibSurface* s : {&picture, &top, &frame, &back}) s->Create(640, 480);
    picture.Fill({0, 0, 640, 480}, {40, 80, 120});
    top.Fill({0, 0, 640, 480}, {0, 255, 0});
    top.Fill({100, 100, 300, 200}, {250, 250, 250});
  }
};

// Nanoseconds for copying `rows` rows of `row_bytes` between two 640 × 480 layers (best of 5).
double MemcpyNs(int rows, int row_bytes) {
  std::vector<unsigned char> a(640 * 480 * 3, 1), b(a.size());
  double best = 1e18;
  for (int round = 0; round < 5; ++round) {
    constexpr int kReps = 200;
    const double start = NowNs();
    for (int r = 0; r < kReps; ++r) {
      for (int y = 0; y < rows; ++y) std::memcpy(&b[y * 1920], &a[y * 1920], static_cast<std::size_t>(row_bytes));
      benchmark::DoNotOptimize(b.data());
      benchmark::ClobberMemory();
    }
    best = std::min(best, (NowNs() - start) / kReps);
  }
  return best;
}

template <typename Body>
void RunAgainstMemcpy(benchmark::State& state, int rows, int row_bytes, Body body) {
  const double baseline = MemcpyNs(rows, row_bytes);
  const double start = NowNs();
  for (auto _ : state) body();
  const double ns = NowNs() - start;
  state.counters["vs_memcpy"] = ns / static_cast<double>(state.iterations()) / baseline;
}

void BM_ComposeRect(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  Layers l;
  RunAgainstMemcpy(state, side, side * 3, [&] {
    l.frame.Blit(l.picture, 0, 0, side, side, 0, 0);
    l.frame.Overlay(l.top, 0, 0, side, side, 0, 0, 4);
    benchmark::DoNotOptimize(l.frame.m_pBits);
  });
}

void BM_FadeFullLayer(benchmark::State& state) {
  Layers l;
  RunAgainstMemcpy(state, 480, 1920, [&] {
    l.back.Fade(l.frame, 128);
    benchmark::DoNotOptimize(l.back.m_pBits);
  });
}

}  // namespace

BENCHMARK(BM_ComposeRect)->Arg(32)->Arg(480);
BENCHMARK(BM_FadeFullLayer);
BENCHMARK_MAIN();

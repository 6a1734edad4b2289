// The cost of the view's paint path: composing a dirty rectangle of the layers into the frame,
// beside a plain copy of the same bytes as the baseline measured in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "graphics/dib_surface.h"

namespace {

struct Layers {
  CDibSurface picture, top, frame, back;
  Layers() {
    for (CDibSurface* s : {&picture, &top, &frame, &back}) s->Create(640, 480);
    picture.Fill({0, 0, 640, 480}, {40, 80, 120});
    top.Fill({0, 0, 640, 480}, {0, 255, 0});
    top.Fill({100, 100, 300, 200}, {250, 250, 250});
  }
};

void BM_MemcpyBaseline(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  std::vector<unsigned char> a(640 * 480 * 3), b(a.size());
  for (auto _ : state) {
    for (int y = 0; y < side; ++y) std::memcpy(&b[y * 1920], &a[y * 1920], static_cast<std::size_t>(side) * 3);
    benchmark::DoNotOptimize(b.data());
  }
}

void BM_ComposeRect(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  Layers l;
  for (auto _ : state) {
    l.frame.Blit(l.picture, 0, 0, side, side, 0, 0);
    l.frame.Overlay(l.top, 0, 0, side, side, 0, 0, 4);
    benchmark::DoNotOptimize(l.frame.m_pBits);
  }
}

void BM_FadeFullLayer(benchmark::State& state) {
  Layers l;
  for (auto _ : state) {
    l.back.Fade(l.frame, 128);
    benchmark::DoNotOptimize(l.back.m_pBits);
  }
}

}  // namespace

BENCHMARK(BM_MemcpyBaseline)->Arg(32)->Arg(480);
BENCHMARK(BM_ComposeRect)->Arg(32)->Arg(480);
BENCHMARK(BM_FadeFullLayer);
BENCHMARK_MAIN();

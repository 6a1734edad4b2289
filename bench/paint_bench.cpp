// The cost of the view's paint path: composing the frame from the layers at the usual levels, a
// full fade, and a page of message text. Each figure carries `vs_memcpy`: its time over that of a
// memcpy of the bytes the operation must read (every source layer it draws from, in full),
// measured in the same run, so the ratio holds on a noisy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/game_view.h"
#include "graphics/dib_surface.h"
#include "platform/font.h"

namespace {

constexpr int kLayerBytes = 1920 * 480;

// Monotonic nanoseconds. (<chrono> cannot be used: its "µs" suffix has no CP932 form.)
double NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

// Nanoseconds for a memcpy of `bytes` between two buffers of a layer's size (best of 5 rounds).
double MemcpyNs(std::size_t bytes) {
  std::vector<unsigned char> a(std::max<std::size_t>(bytes, 1), 1), b(a.size());
  double best = 1e18;
  for (int round = 0; round < 5; ++round) {
    constexpr int kReps = 200;
    const double start = NowNs();
    for (int r = 0; r < kReps; ++r) {
      std::memcpy(b.data(), a.data(), bytes);
      benchmark::DoNotOptimize(b.data());
      benchmark::ClobberMemory();
    }
    best = std::min(best, (NowNs() - start) / kReps);
  }
  return best;
}

template <typename Body>
void RunAgainstMemcpy(benchmark::State& state, std::size_t baseline_bytes, Body body) {
  const double baseline = MemcpyNs(baseline_bytes);
  const double start = NowNs();
  for (auto _ : state) body();
  const double ns = NowNs() - start;
  state.counters["vs_memcpy"] = ns / static_cast<double>(state.iterations()) / baseline;
  state.counters["memcpy_us"] = baseline / 1000.0;
}

// A view's layers as a scene has them: a picture, a back layer, a middle layer with a window
// frame, a top layer mostly transparent with text and a red shadow band.
std::unique_ptr<CGameView> SceneView() {
  auto v = std::make_unique<CGameView>();
  const plat::Rect all{0, 0, 640, 480};
  for (CDibSurface* s : {&v->m_surfBack, &v->m_surfFrame, &v->m_surfPicture, &v->m_surfMiddle, &v->m_surfTop})
    s->Create(640, 480);
  v->m_surfBack.Fill(all, plat::Color{30, 40, 50});
  v->m_surfPicture.Fill(all, plat::Color{120, 160, 200});
  v->m_surfMiddle.Fill(all, plat::Color{0, 255, 0});
  v->m_surfMiddle.Fill({20, 330, 620, 470}, plat::Color{40, 40, 90});
  v->m_surfTop.Fill(all, plat::Color{0, 255, 0});
  v->m_surfTop.Fill({0, 320, 640, 330}, plat::Color{255, 0, 0});
  v->m_surfTop.Fill({40, 350, 600, 450}, plat::Color{255, 255, 255});
  v->m_rcScreen = all;
  return v;
}

void BM_ComposeFrameLevel4TopOnly(benchmark::State& state) {
  auto v = SceneView();
  v->m_nPictureLevel = 4;
  v->m_bMiddleOn = false;
  // Reads the picture and the top layer.
  RunAgainstMemcpy(state, 2 * kLayerBytes, [&] {
    v->ComposeFrame(v->m_rcScreen);
    benchmark::DoNotOptimize(v->m_surfFrame.m_pBits);
  });
}

void BM_ComposeFrameLevel3MiddleTop(benchmark::State& state) {
  auto v = SceneView();
  v->m_nPictureLevel = 3;
  v->m_nMiddleLevel = 3;
  v->m_bMiddleOn = true;
  // Reads the back, picture, middle and top layers.
  RunAgainstMemcpy(state, 4 * kLayerBytes, [&] {
    v->ComposeFrame(v->m_rcScreen);
    benchmark::DoNotOptimize(v->m_surfFrame.m_pBits);
  });
}

void BM_FadeFullLayer(benchmark::State& state) {
  auto v = SceneView();
  // Reads the frame layer.
  RunAgainstMemcpy(state, kLayerBytes, [&] {
    v->m_surfBack.Fade(v->m_surfFrame, 128);
    benchmark::DoNotOptimize(v->m_surfBack.m_pBits);
  });
}

// One page of the message window: ten lines of 25 full-width characters.
void BM_DrawStringPage(benchmark::State& state) {
  auto v = SceneView();
  auto font = plat::Font::Open("ＭＳ ゴシック", 16, plat::FontPitch::kFixed);
  if (font == nullptr) {
    state.SkipWithError("no font");
    return;
  }
  const std::string line = "今日はとても良い天気でした。窓の外に小鳥が来たよ。";
  // The cells the page covers: 10 lines of 16 rows, 25 cells of 16 pixels, 3 bytes each.
  RunAgainstMemcpy(state, 10 * 16 * 25 * 16 * 3, [&] {
    for (int i = 0; i < 10; ++i) v->m_surfTop.DrawString(40, 40 + i * 22, line.c_str(), font.get(), 0xFFFFFF);
    benchmark::DoNotOptimize(v->m_surfTop.m_pBits);
  });
}

}  // namespace

BENCHMARK(BM_ComposeFrameLevel4TopOnly);
BENCHMARK(BM_ComposeFrameLevel3MiddleTop);
BENCHMARK(BM_FadeFullLayer);
BENCHMARK(BM_DrawStringPage);
BENCHMARK_MAIN();

// The speed of the voice path: one generated MP3 file decoded to PCM by the converter, as
// seconds of sound per second of processor time, beside a memcpy of the PCM it produces
// measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/sound_decoder.h"
#include "platform/mp3_converter.h"

namespace {

// Processor seconds of this process. (<chrono> cannot be used: its "µs" suffix has no CP932 form.)
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The checkout this file was compiled from (the build passes absolute source paths).
std::string SourceRoot() {
  const std::string self = __FILE__;
  const std::size_t at = self.rfind("bench/");
  return at == std::string::npos ? std::string() : self.substr(0, at);
}

std::vector<std::uint8_t> ReadFixture(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BM_Mp3DecodeStereo44100(benchmark::State& state) {
  const std::string path = SourceRoot() + "tests/audio/data/stereo_44100.mp3";
  const std::vector<std::uint8_t> file = ReadFixture(path);
  plat::MpegLayer3Format mpeg;
  plat::WaveFormat pcm;
  plat::Mp3Converter converter;
  if (file.size() < 8 || !SdMpegFormatFromHeader(file.data(), &mpeg) ||
      !plat::Mp3Converter::SuggestFormat(mpeg, &pcm) || !converter.Open(mpeg, pcm)) {
    state.SkipWithError("fixture missing or not usable");
    return;
  }
  // Each round decodes afresh: the converter keeps the PCM of the last input, so the input
  // alternates between two copies that differ in their last byte (past the final frame's data).
  std::vector<std::uint8_t> inputs[2] = {std::vector<std::uint8_t>(file.begin() + 4, file.end()),
                                         std::vector<std::uint8_t>(file.begin() + 4, file.end())};
  inputs[1].push_back(0);
  std::uint32_t bytes = 0;
  if (!converter.OutputSize(inputs[0].data(), static_cast<std::uint32_t>(inputs[0].size()), &bytes) || bytes == 0) {
    state.SkipWithError("no output");
    return;
  }
  std::vector<std::uint8_t> out(bytes + 4096), copy(out.size());
  const double audio_seconds = static_cast<double>(bytes) / pcm.average_bytes_per_second;

  double memcpy_best = 1e18;
  for (int round = 0; round < 5; ++round) {
    const double start = CpuSeconds();
    for (int r = 0; r < 200; ++r) {
      std::memcpy(copy.data(), out.data(), bytes);
      benchmark::DoNotOptimize(copy.data());
      benchmark::ClobberMemory();
    }
    memcpy_best = std::min(memcpy_best, (CpuSeconds() - start) / 200);
  }

  std::size_t round = 0;
  const double start = CpuSeconds();
  for (auto _ : state) {
    const std::vector<std::uint8_t>& in = inputs[round++ % 2];
    plat::Mp3Conversion conversion{in.data(), static_cast<std::uint32_t>(in.size()), out.data(),
                                   static_cast<std::uint32_t>(out.size()), 0};
    if (!converter.Convert(&conversion)) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(out.data());
  }
  const double cpu = (CpuSeconds() - start) / static_cast<double>(state.iterations());
  state.counters["file_bytes"] = static_cast<double>(file.size());
  state.counters["audio_s"] = audio_seconds;
  state.counters["audio_s_per_cpu_s"] = audio_seconds / cpu;
  state.counters["vs_memcpy"] = cpu / memcpy_best;
}
BENCHMARK(BM_Mp3DecodeStereo44100)->Unit(benchmark::kMillisecond);

}  // namespace

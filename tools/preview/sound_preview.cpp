// Builds the data set's sounds, voices and movies into a folder and checks each one through the
// game's own decoding: every WAVE through SoundDecoder (whole and looped across its end), every
// MP3 through SoundDecoder's converter, every WMV through the media commands in the headless
// backend, played to its end. Prints lengths, levels and timings, and writes a waveform picture
// of each music loop and a few decoded movie pictures (PPM) for a look.
//
// Run:   VELMORA_BACKEND=headless build/release/tools/velmora-sound-preview OUT_DIR
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets.h"
#include "audio/sound_decoder.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_media.h"
#include "platform/media_command.h"
#include "video/movie_frames.h"

namespace fs = std::filesystem;

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

int failures = 0;
#define CHECK(cond, ...)                      \
  do {                                        \
    if (!(cond)) {                            \
      std::printf("  FAIL: " __VA_ARGS__);    \
      std::printf("\n");                      \
      ++failures;                             \
    }                                         \
  } while (0)

struct Levels {
  double peak_db, rms_db;
};
Levels LevelsOf(const std::vector<std::int16_t>& s) {
  double peak = 0, sum = 0;
  for (const auto v : s) {
    peak = std::max(peak, std::fabs(v / 32768.0));
    sum += (v / 32768.0) * (v / 32768.0);
  }
  const double rms = s.empty() ? 0 : std::sqrt(sum / s.size());
  return {20 * std::log10(peak + 1e-12), 20 * std::log10(rms + 1e-12)};
}

void WaveformPicture(const fs::path& file, const std::vector<std::int16_t>& s) {
  const int w = 800, h = 160;
  std::vector<std::uint8_t> px(w * h * 3, 250);
  for (int x = 0; x < w && !s.empty(); ++x) {
    const std::size_t a = s.size() * x / w, b = std::max(a + 1, s.size() * (x + 1) / w);
    int lo = 0, hi = 0;
    for (std::size_t i = a; i < b; ++i) lo = std::min<int>(lo, s[i]), hi = std::max<int>(hi, s[i]);
    const int y0 = h / 2 - hi * (h / 2) / 32768, y1 = h / 2 - lo * (h / 2) / 32768;
    for (int y = std::max(0, y0); y <= std::min(h - 1, y1); ++y) {
      px[(y * w + x) * 3] = 90, px[(y * w + x) * 3 + 1] = 110, px[(y * w + x) * 3 + 2] = 190;
    }
  }
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << w << " " << h << "\n255\n";
  out.write(reinterpret_cast<const char*>(px.data()), px.size());
}

void CheckWave(const fs::path& file, bool music, const fs::path& pictures) {
  SoundDecoder d;
  const bool opened = d.Open(file.string());
  CHECK(opened, "%s does not open", file.c_str());
  if (!opened) return;
  CHECK(d.format && d.format->format_tag == 1 && d.format->channels == 1 && d.format->bits_per_sample == 16 &&
            d.format->samples_per_second == 22050,
        "%s: not 22050 Hz 16-bit mono", file.c_str());
  CHECK(d.Rewind(), "%s: no data chunk", file.c_str());
  const std::uint32_t bytes = d.chunk.size;
  std::vector<std::int16_t> s(bytes / 2);
  CHECK(d.Read(bytes, s.data()), "%s: read failed", file.c_str());
  const Levels l = LevelsOf(s);
  std::printf("  %-12s %7.2f s  %8ju bytes  peak %6.1f dBFS  rms %6.1f dBFS  first %6d last %6d\n",
              file.filename().c_str(), s.size() / 22050.0, static_cast<std::uintmax_t>(fs::file_size(file)), l.peak_db,
              l.rms_db, s.front(), s.back());
  if (!music) return;
  // Looping: read 2.3 periods in half-second pieces; the sample steps across each wrap must
  // look like the steps inside the piece.
  CHECK(d.Rewind(), "rewind");
  const std::uint32_t piece = 22050;  // half a second of 16-bit mono
  std::vector<std::int16_t> looped;
  for (std::uint32_t read = 0; read < bytes * 23 / 10; read += piece) {
    std::vector<std::int16_t> buf(piece / 2);
    CHECK(d.ReadLooped(piece, buf.data()), "%s: looped read failed", file.c_str());
    looped.insert(looped.end(), buf.begin(), buf.end());
  }
  for (std::size_t i = 0; i < looped.size(); ++i)
    if (looped[i] != s[i % s.size()]) {
      CHECK(false, "%s: looped read differs at %zu", file.c_str(), i);
      break;
    }
  // The step across the wrap against the steps of the 200 samples on either side of it.
  int around = 0;
  for (std::size_t i = 1; i < 200; ++i)
    around = std::max({around, std::abs(s[i] - s[i - 1]), std::abs(s[s.size() - i] - s[s.size() - i - 1])});
  const int seam_step = std::abs(s.front() - s.back());
  std::printf("  %-12s loop seam step %d (largest step around it %d)\n", "", seam_step, around);
  CHECK(seam_step <= around * 3 / 2, "%s: the loop seam jumps by %d", file.c_str(), seam_step);
  WaveformPicture(pictures / (file.stem().string() + ".ppm"), s);
}

void CheckMp3(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[3] = {};
  in.read(head, 3);
  CHECK(static_cast<unsigned char>(head[0]) == 0xFF, "%s: does not start with a frame", file.c_str());
  CHECK(std::memcmp(head, "ID3", 3) != 0, "%s: has an ID3v2 tag", file.c_str());
  SoundDecoder d;
  const bool opened = d.Open(file.string());
  CHECK(opened, "%s does not open through the game's decoder", file.c_str());
  if (!opened) return;
  CHECK(d.Rewind(), "rewind");
  std::vector<std::int16_t> s(d.pcmLength / 2);
  CHECK(d.Read(d.pcmLength, s.data()), "%s: conversion failed", file.c_str());
  const Levels l = LevelsOf(s);
  std::printf("  %-16s %6.2f s  %7ju bytes  %u Hz %u ch  peak %6.1f dBFS  rms %6.1f dBFS\n", file.filename().c_str(),
              s.size() / double(d.format->samples_per_second * d.format->channels),
              static_cast<std::uintmax_t>(fs::file_size(file)), d.format->samples_per_second, d.format->channels,
              l.peak_db, l.rms_db);
}

void SaveFrame(const fs::path& file, const std::vector<std::uint8_t>& bgr, int w, int h) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << w << " " << h << "\n255\n";
  for (int i = 0; i < w * h; ++i) {
    const char px[3] = {static_cast<char>(bgr[i * 3 + 2]), static_cast<char>(bgr[i * 3 + 1]), static_cast<char>(bgr[i * 3])};
    out.write(px, 3);
  }
}

void CheckMovie(const fs::path& file, int width, int height, double seconds, const fs::path& pictures) {
  plat::CloseAllMedia();
  const std::string alias = "preview";
  int r = plat::SendMediaCommand("open \"" + file.string() + "\" alias " + alias + " style child parent 1");
  CHECK(r == 0, "%s: open answered %d", file.c_str(), r);
  if (r != 0) return;
  plat::SendMediaCommand("put " + alias + " window at 0 0 " + std::to_string(width) + " " + std::to_string(height));
  plat::SendMediaCommand("window " + alias + " state show");
  CHECK(plat::SendMediaCommand("play " + alias) == 0, "play");
  int ms = 0, shots = 0;
  std::string mode;
  const int limit = static_cast<int>(seconds * 1000) + 5000;
  for (; ms < limit; ms += 50) {
    plat::headless::Advance(50);
    if (ms % static_cast<int>(seconds * 250) == 0 && shots < 4) {
      std::vector<std::uint8_t> px;
      int w = 0, h = 0;
      if (plat::headless::CaptureMediaFrame(alias, &px, &w, &h)) {
        CHECK(w == width && h == height, "%s: picture %dx%d", file.c_str(), w, h);
        SaveFrame(pictures / (file.stem().string() + "_" + std::to_string(shots) + ".ppm"), px, w, h);
        ++shots;
      }
    }
    plat::SendMediaCommand("status " + alias + " mode", &mode);
    if (mode == "stopped") break;
  }
  std::printf("  %-16s %7ju bytes  stopped after %.2f s (movie %.2f s)\n", file.filename().c_str(),
              static_cast<std::uintmax_t>(fs::file_size(file)), (ms + 50) / 1000.0, seconds);
  CHECK(mode == "stopped", "%s: never stopped", file.c_str());
  CHECK(ms + 50 >= seconds * 1000 - 200, "%s: stopped early", file.c_str());
  plat::SendMediaCommand("close " + alias);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sound_preview OUT_DIR\n");
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path game = out / "game", pictures = out / "pictures";
  fs::create_directories(pictures);

  // Texts as the mail pages carry them (UTF-8, whatever the execution character set is).
  const char8_t* lines[] = {
      u8"おはよう！きょうも、いいてんきだね。",
      u8"今日《きょう》は、となりまちまで、さんぽしてきたよ。",
      u8"ＡＫＡＲＩです。メール、よんでくれてありがとう。",
      u8"ねえ、きいて。ハムスターのコロが、ひまわりのたねをたべたんだ。",
      u8"よるになると、まどからほしがみえるの。",
      u8"またあしたね。おやすみなさい。",
      u8"ギターのれんしゅう、すこしずつ、うまくなってきたよ。",
      u8"あめのひは、へやでほんをよんでいます。",
  };
  double t0 = Now();
  bool ok = databuild::BuildFixedSounds(game);
  const double t_fixed = Now() - t0;
  t0 = Now();
  const char* scene_music[] = {"bgm06", "bgm07", "BGM08", "ending"};
  for (const char* name : scene_music) ok = databuild::BuildMusic(game / "media/bgm" / (std::string(name) + ".wav"), name) && ok;
  const double t_music = Now() - t0;
  t0 = Now();
  int voices = 0;
  for (int k = 0; k < 5; ++k)
    for (const char8_t* line : lines) {
      char name[32];
      std::snprintf(name, sizeof name, "A%03d_%02d.mp3", k, voices % 8);
      ok = databuild::BuildVoice(game / "media/voice" / name, reinterpret_cast<const char*>(line)) && ok;
      ++voices;
    }
  const double t_voices = Now() - t0;
  t0 = Now();
  ok = databuild::BuildBroadcast(game / "media/radio/R_end.mp3", "R_end",
                                 reinterpret_cast<const char*>(u8"こんばんは。ラジオのじかんです。きょうも、いちにち、おつかれさま。さいごまで、きいてくれてありがとう。")) && ok;
  ok = databuild::BuildBroadcast(game / "media/radio/R01.mp3", "R01",
                                 reinterpret_cast<const char*>(u8"おはようございます。けさのおてんきは、はれ、ときどき、くもりです。")) && ok;
  const double t_radio = Now() - t0;
  t0 = Now();
  struct Movie {
    std::string name;
    int w, h;
    double seconds;
  };
  std::vector<Movie> movies = {{"op", 480, 320, 12}, {"vA020_01", 320, 240, 8}, {"vD027_01", 320, 240, 8}};
  // One more story movie for each scene the two above do not show.
  bool shown[5] = {};
  for (const Movie& m : movies)
    if (m.name != "op") shown[static_cast<int>(databuild::MovieFrames::SceneForName(m.name))] = true;
  for (int k = 0; k < 200; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "vX%03d_01", k);
    const int scene = static_cast<int>(databuild::MovieFrames::SceneForName(name));
    if (!shown[scene]) shown[scene] = true, movies.push_back({name, 320, 240, 5});
  }
  for (const Movie& m : movies)
    ok = databuild::BuildMovie(game / "media/video" / (m.name + ".wmv"), m.name, m.w, m.h, m.seconds) && ok;
  const double t_movies = Now() - t0;
  std::printf("build: fixed sounds %.2f s, 4 music %.2f s, %d voices %.2f s, 2 broadcasts %.2f s, %zu movies %.2f s\n",
              t_fixed, t_music, voices, t_voices, t_radio, movies.size(), t_movies);
  CHECK(ok, "a generator failed");

  std::printf("music and effects (through SoundDecoder):\n");
  for (const auto& e : fs::directory_iterator(game / "media/bgm")) CheckWave(e.path(), true, pictures);
  for (const auto& e : fs::directory_iterator(game / "media/se")) CheckWave(e.path(), false, pictures);
  std::printf("voices and broadcasts (through SoundDecoder's converter):\n");
  for (const auto& e : fs::directory_iterator(game / "media/voice"))
    if (e.path().filename() == "mailon.mp3" || e.path().filename().string().rfind("A000_", 0) == 0) CheckMp3(e.path());
  for (const auto& e : fs::directory_iterator(game / "media/voice")) {
    SoundDecoder d;
    CHECK(d.Open(e.path().string()), "%s does not open", e.path().c_str());
  }
  for (const auto& e : fs::directory_iterator(game / "media/radio")) {
    CheckMp3(e.path());
    // Broadcasts play through the media commands.
    plat::CloseAllMedia();
    CHECK(plat::SendMediaCommand("open \"" + e.path().string() + "\" alias radio") == 0, "%s: open", e.path().c_str());
    plat::SendMediaCommand("play radio");
    std::string mode;
    int ms = 0;
    for (; ms < 60000 && mode != "stopped"; ms += 50) {
      plat::headless::Advance(50);
      plat::SendMediaCommand("status radio mode", &mode);
    }
    std::printf("  %-16s played through the media commands, stopped after %.2f s\n", e.path().filename().c_str(), ms / 1000.0);
    CHECK(mode == "stopped", "%s: never stopped", e.path().c_str());
    plat::SendMediaCommand("close radio");
  }
  std::printf("movies (through the media commands, headless):\n");
  for (const Movie& m : movies) CheckMovie(game / "media/video" / (m.name + ".wmv"), m.w, m.h, m.seconds, pictures);
  plat::CloseAllMedia();
  std::printf("%d failed\n", failures);
  return failures ? 1 : 0;
}

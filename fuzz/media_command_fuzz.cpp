// Feeds arbitrary command lines to the media command interpreter, and arbitrary bytes to it as
// media files. The first byte chooses: even, the rest is command lines (one a line); odd, the
// rest is written to a file that is opened as a movie or a sound file (by the second bit),
// played for a while of virtual time, queried and closed. Nothing may crash or hang.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/media_command.h"

namespace {

std::string MediaPath(bool video) {
  static const std::string base = "/tmp/velmora_media_fuzz_" + std::to_string(::getpid());
  return base + (video ? ".wmv" : ".mp3");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("VELMORA_BACKEND", "headless", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > (1u << 16)) return 0;
  const std::uint8_t mode = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string answer;
  if ((mode & 1) == 0) {
    std::size_t start = 0;
    int lines = 0;
    while (start <= rest.size() && lines++ < 64) {
      std::size_t end = rest.find('\n', start);
      if (end == std::string_view::npos) end = rest.size();
      const int r = plat::SendMediaCommand(rest.substr(start, end - start), &answer);
      if (r < 0) std::abort();
      if (r == 0 && !answer.empty() && answer != "playing" && answer != "paused" && answer != "stopped") std::abort();
      plat::headless::SpendTime(mode >> 1);
      start = end + 1;
    }
  } else {
    const bool video = (mode & 2) != 0;
    const std::string path = MediaPath(video);
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(rest.data(), 1, rest.size(), f);
      std::fclose(f);
    }
    if (plat::SendMediaCommand("open " + path + " alias fuzz") == 0) {
      plat::SendMediaCommand("put fuzz window at 0 0 640 480");
      plat::SendMediaCommand("play fuzz");
      for (int i = 0; i < 20; ++i) {
        plat::headless::SpendTime(100);
        plat::SendMediaCommand("status fuzz mode", &answer);
      }
      std::vector<std::uint8_t> pixels(640 * 480 * 3);
      plat::DrawMediaOverlay(plat::PixelView{pixels.data(), 640, 480, 640 * 3});
      plat::SendMediaCommand("seek fuzz to start");
      plat::SendMediaCommand("play fuzz");
      plat::headless::SpendTime(100);
    }
  }
  plat::CloseAllMedia();
  return 0;
}

// BuildIconPng: the game's icon (128 × 128, RGBA) for the installer's menu entries, written as a
// PNG of our own making (stored deflate blocks, so no compression library is needed).
#include <array>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <vector>

#include "assets.h"
#include "pictures/faces.h"
#include "pictures/style.h"

namespace databuild {
namespace {

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0xFFFFFFFFu) {
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc;
}

void Be32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<std::uint8_t>(x >> s));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
  Be32(png, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  Be32(png, Crc32(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

// A zlib stream of stored blocks.
std::vector<std::uint8_t> Zlib(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
    z.push_back(pos + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos), raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
  Be32(z, (b << 16) | a);
  return z;
}

}  // namespace

bool BuildIconPng(const std::filesystem::path& file) {
  using namespace pic;
  constexpr int kSize = 128;
  CDibSurface s;
  s.Create(kSize, kSize);
  FillRect(s, 0, 0, kSize, kSize, kKey);  // the key colour becomes transparent
  Panel(s, 4, 4, 120, 120, 28, kPinkLight, kOutline, 3);
  FillRoundRect(s, 7, 70, 114, 51, 24, kLavenderLight);
  FillRect(s, 7, 70, 114, 20, kLavenderLight);
  IconEnvelope(s, 64, 62, 76, kIvory, kOutline, false);
  Heart(s, 64, 70, 30, kRose);
  Sparkle(s, 102, 24, 9, kLemon);
  Sparkle(s, 24, 100, 6, kWhite);
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(kSize) * (kSize * 4 + 1));
  for (int y = 0; y < kSize; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < kSize; ++x) {
      const Color c = Get(s, x, y);
      const bool clear = c.r == 0 && c.g == 255 && c.b == 0;
      raw.insert(raw.end(), {clear ? std::uint8_t{0} : c.r, clear ? std::uint8_t{0} : c.g, clear ? std::uint8_t{0} : c.b,
                             clear ? std::uint8_t{0} : std::uint8_t{255}});
    }
  }
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> ihdr;
  Be32(ihdr, kSize);
  Be32(ihdr, kSize);
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", Zlib(raw));
  Chunk(png, "IEND", {});
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "icon %s: cannot write\n", file.string().c_str());
    return false;
  }
  return true;
}

}  // namespace databuild

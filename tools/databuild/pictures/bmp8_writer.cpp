#include "pictures/bmp8_writer.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <system_error>

#include "pictures/style.h"

namespace databuild::pic {
namespace {

std::uint32_t Pack(Color c) { return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b; }
Color Unpack(std::uint32_t v) {
  return Color{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

// Median cut over the colours with their counts; the key colours are taken out first and kept.
std::vector<std::uint32_t> ReducePalette(const std::map<std::uint32_t, std::uint32_t>& counts) {
  std::vector<std::uint32_t> palette;
  struct Entry {
    std::uint32_t rgb, n;
  };
  std::vector<Entry> colours;
  for (const auto& [rgb, n] : counts) {
    if (IsKey(Unpack(rgb))) {
      palette.push_back(rgb);
    } else {
      colours.push_back({rgb, n});
    }
  }
  const std::size_t want = 256 - palette.size();
  std::vector<std::vector<Entry>> boxes{colours};
  auto channel = [](std::uint32_t rgb, int ch) { return static_cast<int>((rgb >> (16 - 8 * ch)) & 0xFF); };
  while (boxes.size() < want) {
    // Split the box with the widest channel range (ties: the first).
    int best = -1, bestRange = 0, bestCh = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].size() < 2) continue;
      for (int ch = 0; ch < 3; ++ch) {
        int lo = 255, hi = 0;
        for (const Entry& e : boxes[i]) lo = std::min(lo, channel(e.rgb, ch)), hi = std::max(hi, channel(e.rgb, ch));
        if (hi - lo > bestRange) best = static_cast<int>(i), bestRange = hi - lo, bestCh = ch;
      }
    }
    if (best < 0) break;
    std::vector<Entry>& box = boxes[static_cast<std::size_t>(best)];
    std::stable_sort(box.begin(), box.end(),
                     [&](const Entry& a, const Entry& b) { return channel(a.rgb, bestCh) < channel(b.rgb, bestCh); });
    std::vector<Entry> upper(box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2), box.end());
    box.resize(box.size() / 2);
    boxes.push_back(std::move(upper));
  }
  for (const auto& box : boxes) {
    if (box.empty()) continue;
    std::uint64_t sum[3] = {0, 0, 0}, total = 0;
    for (const Entry& e : box) {
      for (int ch = 0; ch < 3; ++ch) sum[ch] += std::uint64_t{e.n} * static_cast<std::uint64_t>(channel(e.rgb, ch));
      total += e.n;
    }
    const Color c{static_cast<std::uint8_t>(sum[0] / total), static_cast<std::uint8_t>(sum[1] / total),
                  static_cast<std::uint8_t>(sum[2] / total)};
    palette.push_back(Pack(Safe(c)));
  }
  return palette;
}

int Nearest(const std::vector<std::uint32_t>& palette, std::uint32_t rgb) {
  const Color c = Unpack(rgb);
  if (IsKey(c)) {
    for (std::size_t i = 0; i < palette.size(); ++i)
      if (palette[i] == rgb) return static_cast<int>(i);
  }
  int best = 0;
  long bestD = -1;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const Color p = Unpack(palette[i]);
    if (IsKey(p)) continue;  // only the key colour itself maps to a key entry
    const long d = (long{p.r} - c.r) * (long{p.r} - c.r) + (long{p.g} - c.g) * (long{p.g} - c.g) +
                   (long{p.b} - c.b) * (long{p.b} - c.b);
    if (bestD < 0 || d < bestD) best = static_cast<int>(i), bestD = d;
  }
  return best;
}

void Le16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  v[at] = static_cast<std::uint8_t>(x);
  v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
void Le32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  Le16(v, at, x & 0xFFFF);
  Le16(v, at + 2, x >> 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp8(const CDibSurface& s) {
  if (s.IsEmpty()) return {};
  const int w = s.Width(), h = s.Height();
  std::map<std::uint32_t, std::uint32_t> counts;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ++counts[Pack(Get(s, x, y))];
  std::vector<std::uint32_t> palette;
  if (counts.size() <= 256) {
    for (const auto& kv : counts) palette.push_back(kv.first);
  } else {
    palette = ReducePalette(counts);
  }
  std::map<std::uint32_t, std::uint8_t> index;
  for (const auto& kv : counts) index[kv.first] = static_cast<std::uint8_t>(Nearest(palette, kv.first));

  // Rows bottom-up, as indexes.
  const int stride = (w + 3) / 4 * 4;
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(stride) * h, 0);
  std::vector<std::uint8_t> rle;
  for (int row = 0; row < h; ++row) {
    const int y = h - 1 - row;
    std::uint8_t* out = raw.data() + static_cast<std::size_t>(row) * stride;
    for (int x = 0; x < w; ++x) out[x] = index[Pack(Get(s, x, y))];
    // Encoded runs only: (count, index) pairs, then the end of the line.
    for (int x = 0; x < w;) {
      int n = 1;
      while (x + n < w && n < 255 && out[x + n] == out[x]) ++n;
      rle.push_back(static_cast<std::uint8_t>(n));
      rle.push_back(out[x]);
      x += n;
    }
    rle.push_back(0);
    rle.push_back(row == h - 1 ? 1 : 0);  // end of line, or end of the picture after the last
  }
  const bool useRle = rle.size() < raw.size();
  const std::vector<std::uint8_t>& pixels = useRle ? rle : raw;

  const std::size_t headers = 14 + 40, paletteBytes = 4 * palette.size();
  std::vector<std::uint8_t> file(headers + paletteBytes + pixels.size(), 0);
  file[0] = 'B';
  file[1] = 'M';
  Le32(file, 2, static_cast<std::uint32_t>(file.size()));
  Le32(file, 10, static_cast<std::uint32_t>(headers + paletteBytes));
  Le32(file, 14, 40);
  Le32(file, 18, static_cast<std::uint32_t>(w));
  Le32(file, 22, static_cast<std::uint32_t>(h));
  Le16(file, 26, 1);
  Le16(file, 28, 8);
  Le32(file, 30, useRle ? 1 : 0);
  Le32(file, 34, static_cast<std::uint32_t>(pixels.size()));
  Le32(file, 38, 2835);
  Le32(file, 42, 2835);
  Le32(file, 46, static_cast<std::uint32_t>(palette.size()));
  Le32(file, 50, 0);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const Color c = Unpack(palette[i]);
    file[headers + 4 * i] = c.b;
    file[headers + 4 * i + 1] = c.g;
    file[headers + 4 * i + 2] = c.r;
  }
  std::copy(pixels.begin(), pixels.end(), file.begin() + static_cast<std::ptrdiff_t>(headers + paletteBytes));
  return file;
}

bool WritePicture(const std::filesystem::path& file, const CDibSurface& s) {
  const std::vector<std::uint8_t> bytes = EncodeBmp8(s);
  if (bytes.empty()) {
    std::fprintf(stderr, "picture %s: nothing to write\n", file.string().c_str());
    return false;
  }
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "picture %s: cannot write\n", file.string().c_str());
    return false;
  }
  return true;
}

}  // namespace databuild::pic

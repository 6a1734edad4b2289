#include "graphics/dib_surface.h"

#include <algorithm>
#include <cstring>

#include "app/velmora_app.h"
#include "platform/bmp_codec.h"

bool CDibSurface::Create(int width, int height) {
  Release();
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
  m_nPitch = (3 * width + 3) / 4 * 4;
  m_bmi = BitmapInfoHeader{};
  m_bmi.biWidth = width;
  m_bmi.biHeight = height;
  m_bmi.biBitCount = 24;
  m_bmi.biSizeImage = static_cast<std::uint32_t>(m_nPitch) * static_cast<std::uint32_t>(height);
  m_masks[0] = m_masks[1] = m_masks[2] = 0;
  m_nBytesPerPixel = 3;
  m_pixels.assign(m_bmi.biSizeImage, 0);
  m_pBits = m_pixels.data();
  return true;
}

bool CDibSurface::LoadBmp(const std::string& path) {
  Release();
  plat::DecodedBitmap bmp;
  switch (plat::LoadBmpFile(path, &bmp)) {
    case plat::BmpLoadResult::kNotFound:
      App().m_log.Printf("BMP OPEN ERR %s not found\n", path.c_str());
      return false;
    case plat::BmpLoadResult::kNotBmp:
      App().m_log.Printf("BMP OPEN ERR %s not BMP\n", path.c_str());
      return false;
    case plat::BmpLoadResult::kNoPixels:
      App().m_log.Printf("BMP OPEN ERR %s can not get obj\n", path.c_str());
      return false;
    case plat::BmpLoadResult::kOk:
      break;
  }
  m_bmi = BitmapInfoHeader{};
  m_bmi.biWidth = bmp.width;
  m_bmi.biHeight = bmp.height;
  m_bmi.biBitCount = 24;
  m_nBytesPerPixel = 3;
  m_nPitch = (3 * bmp.width + 3) / 4 * 4;
  m_bmi.biSizeImage = static_cast<std::uint32_t>(m_nPitch) * static_cast<std::uint32_t>(bmp.height);
  std::copy(std::begin(bmp.masks), std::end(bmp.masks), m_masks);
  m_pixels = std::move(bmp.bits);
  m_pBits = m_pixels.data();
  return true;
}

void CDibSurface::DrawString(int x, int y, const char* text, const plat::Font* font, COLORREF color) {
  if (IsEmpty() || font == nullptr || text == nullptr) return;
  font->Draw(View(), x, y, text, ColorFromRef(color));
}

void CDibSurface::Release() {
  m_pixels.clear();
  m_pixels.shrink_to_fit();
  m_pBits = nullptr;
}

plat::PixelView CDibSurface::View() const {
  if (IsEmpty()) return {};
  return plat::PixelView{m_pBits, m_bmi.biWidth, m_bmi.biHeight, m_nPitch};
}

namespace {

// Clips a copy of w × h pixels from (sx, sy) in `src` to (x, y) in `dst` against both surfaces.
// False when nothing is left.
bool ClipCopy(const plat::PixelView& dst, const plat::PixelView& src, int& x, int& y, int& w, int& h, int& sx,
              int& sy) {
  if (dst.empty() || src.empty()) return false;
  if (x < 0) { w += x; sx -= x; x = 0; }
  if (y < 0) { h += y; sy -= y; y = 0; }
  if (sx < 0) { w += sx; x -= sx; sx = 0; }
  if (sy < 0) { h += sy; y -= sy; sy = 0; }
  w = std::min({w, dst.width - x, src.width - sx});
  h = std::min({h, dst.height - y, src.height - sy});
  return w > 0 && h > 0;
}

// Which pixels of a 2 × 2 block a dither level draws; the pattern starts at the rectangle's
// own top-left corner.
constexpr std::uint8_t kLevelMask[5] = {0x00, 0x08, 0x09, 0x0D, 0x0F};
constexpr std::uint8_t kColumnMask[2] = {0x0A, 0x05};
constexpr std::uint8_t kRowMask[2] = {0x0C, 0x03};

}  // namespace

void CDibSurface::Fill(const plat::Rect& rect, plat::Color color) {
  const plat::PixelView v = View();
  if (v.empty()) return;
  const plat::Rect r = plat::IntersectRect(rect, plat::Rect{0, 0, v.width, v.height});
  for (int y = r.top; y < r.bottom; ++y) {
    std::uint8_t* p = v.At(r.left, y);
    for (int x = r.left; x < r.right; ++x, p += 3) {
      p[0] = color.b;
      p[1] = color.g;
      p[2] = color.r;
    }
  }
}

void CDibSurface::CopyFrom(const CDibSurface& src) { Blit(src, 0, 0, src.Width(), src.Height(), 0, 0); }

void CDibSurface::Blit(const CDibSurface& src, int x, int y, int w, int h, int sx, int sy) {
  const plat::PixelView d = View(), s = src.View();
  if (!ClipCopy(d, s, x, y, w, h, sx, sy)) return;
  for (int i = 0; i < h; ++i) std::memmove(d.At(x, y + i), s.At(sx, sy + i), static_cast<std::size_t>(w) * 3);
}

namespace {

// One pixel of the source onto the destination with the colour keys.
inline void KeyPixel(std::uint8_t* d, const std::uint8_t* sp) {
  const std::uint8_t b = sp[0], g = sp[1], r = sp[2];
  if (g == 255 && (b | r) == 0) return;  // pure green: transparent
  if (r == 255 && (b | g) == 0) {        // pure red: shadow
    d[0] = static_cast<std::uint8_t>(d[0] >> 1);
    d[1] = static_cast<std::uint8_t>(d[1] >> 1);
    d[2] = static_cast<std::uint8_t>(d[2] >> 1);
    return;
  }
  d[0] = b;
  d[1] = g;
  d[2] = r;
}

// Rows are worked in blocks of eight pixels (24 bytes, three 64-bit words). A block that is all
// pure green is skipped; a block without any 0xFF byte holds no key colour at all and is copied
// through a byte mask of the pixels the dither level draws; only the rest goes pixel by pixel.

// Eight pure-green pixels (bytes 0, 255, 0 repeated) as three little-endian words.
constexpr std::uint64_t kGreenWords[3] = {0xFF0000FF0000FF00ull, 0x0000FF0000FF0000ull, 0x00FF0000FF0000FFull};

struct BlockMask {
  std::uint64_t w[3];
};

// Byte masks of the pixels drawn in a block: all, or every second one starting at pixel 0 or 1.
constexpr BlockMask MakeMask(int mode) {
  BlockMask m{{0, 0, 0}};
  for (int byte = 0; byte < 24; ++byte) {
    const int pixel = byte / 3;
    if (mode == 2 || (pixel & 1) == mode) m.w[byte / 8] |= std::uint64_t{0xFF} << ((byte % 8) * 8);
  }
  return m;
}
constexpr BlockMask kBlockMasks[3] = {MakeMask(0), MakeMask(1), MakeMask(2)};

inline bool HasFFByte(std::uint64_t v) {
  return ((~v - 0x0101010101010101ull) & v & 0x8080808080808080ull) != 0;
}

// Keys `w` pixels of a row; `mode` 2 draws every pixel, 0 or 1 only those whose index has that
// parity.
void KeyRow(std::uint8_t* dp, const std::uint8_t* sp, int w, int mode) {
  const BlockMask& mask = kBlockMasks[mode];
  int j = 0;
  for (; j + 8 <= w; j += 8, sp += 24, dp += 24) {
    std::uint64_t s0, s1, s2;
    std::memcpy(&s0, sp, 8);
    std::memcpy(&s1, sp + 8, 8);
    std::memcpy(&s2, sp + 16, 8);
    if (s0 == kGreenWords[0] && s1 == kGreenWords[1] && s2 == kGreenWords[2]) continue;
    if (!HasFFByte(s0) && !HasFFByte(s1) && !HasFFByte(s2)) {
      std::uint64_t d0, d1, d2;
      std::memcpy(&d0, dp, 8);
      std::memcpy(&d1, dp + 8, 8);
      std::memcpy(&d2, dp + 16, 8);
      d0 = (s0 & mask.w[0]) | (d0 & ~mask.w[0]);
      d1 = (s1 & mask.w[1]) | (d1 & ~mask.w[1]);
      d2 = (s2 & mask.w[2]) | (d2 & ~mask.w[2]);
      std::memcpy(dp, &d0, 8);
      std::memcpy(dp + 8, &d1, 8);
      std::memcpy(dp + 16, &d2, 8);
      continue;
    }
    for (int k = 0; k < 8; ++k)
      if (mode == 2 || (k & 1) == mode) KeyPixel(dp + k * 3, sp + k * 3);
  }
  for (; j < w; ++j, sp += 3, dp += 3)
    if (mode == 2 || (j & 1) == mode) KeyPixel(dp, sp);
}

}  // namespace

void CDibSurface::Overlay(const CDibSurface& src, int x, int y, int w, int h, int sx, int sy, int level) {
  if (level <= 0) return;
  level = std::min(level, 4);
  // The dither phase belongs to the requested rectangle, so remember where it started.
  const int x0 = x, y0 = y;
  const plat::PixelView d = View(), s = src.View();
  if (!ClipCopy(d, s, x, y, w, h, sx, sy)) return;
  const int first_column_parity = (x - x0) & 1;
  for (int i = 0; i < h; ++i) {
    const int row = (y + i - y0) & 1;
    const bool even = (kRowMask[row] & kColumnMask[0] & kLevelMask[level]) != 0;
    const bool odd = (kRowMask[row] & kColumnMask[1] & kLevelMask[level]) != 0;
    const std::uint8_t* sp = s.At(sx, sy + i);
    std::uint8_t* dp = d.At(x, y + i);
    if (even && odd) KeyRow(dp, sp, w, 2);
    else if (even || odd) KeyRow(dp, sp, w, (odd ? 1 : 0) ^ first_column_parity);
  }
}

namespace {

struct MultiplyTable {
  std::uint8_t v[65536];
  MultiplyTable() {
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) v[a * 256 + b] = static_cast<std::uint8_t>(a * b / 255);
  }
};

const MultiplyTable& Multiply() {
  static const MultiplyTable table;
  return table;
}

}  // namespace

void CDibSurface::Fade(const CDibSurface& src, int level) {
  if (IsEmpty() || src.IsEmpty() || src.Width() != Width() || src.Height() != Height()) return;
  level = std::clamp(level, 0, 255);
  const std::uint8_t* table = Multiply().v;
  const plat::PixelView d = View(), s = src.View();
  for (int y = 0; y < d.height; ++y) {
    const std::uint8_t* sp = s.At(0, y);
    std::uint8_t* dp = d.At(0, y);
    for (int b = 0; b < d.width * 3; ++b) dp[b] = table[sp[b] * 256 + level];
  }
}

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

// Eight transparent pixels in a row, to skip the large empty parts of the overlay layers fast.
constexpr std::uint8_t kGreenRun[24] = {0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0,
                                        0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0};

void KeyRow(std::uint8_t* dp, const std::uint8_t* sp, int w) {
  int j = 0;
  while (j < w) {
    if (j + 8 <= w && std::memcmp(sp, kGreenRun, sizeof kGreenRun) == 0) {
      j += 8;
      sp += 24;
      dp += 24;
      continue;
    }
    KeyPixel(dp, sp);
    ++j;
    sp += 3;
    dp += 3;
  }
}

// Every second pixel of a row, from `first`.
void KeyRowAlternate(std::uint8_t* dp, const std::uint8_t* sp, int w, int first) {
  for (int j = first; j < w; j += 2) KeyPixel(dp + j * 3, sp + j * 3);
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
    if (even && odd) KeyRow(dp, sp, w);
    else if (even || odd) KeyRowAlternate(dp, sp, w, (odd ? 1 : 0) ^ first_column_parity);
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

// An off-screen picture: 24-bit blue-green-red pixels in bottom-up rows, reachable both by the
// drawing operations and byte by byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/geometry.h"
#include "platform/pixels.h"

// A colour as the data and the screens write it: 0x00BBGGRR (0x00FF00 is pure green).
using COLORREF = std::uint32_t;
inline constexpr plat::Color ColorFromRef(COLORREF c) {
  return plat::Color{static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
                     static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}

// The bitmap information header as bitmap files store it (40 bytes).
struct BitmapInfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

class CDibSurface {
 public:
  CDibSurface() = default;
  ~CDibSurface() { Release(); }
  CDibSurface(const CDibSurface&) = delete;
  CDibSurface& operator=(const CDibSurface&) = delete;

  // A new 24-bit surface of the given size; its pixels are not initialised. True when it exists.
  bool Create(int width, int height);
  // Replaces the surface by the bitmap file at `path` (any depth, converted to 24 bits). False,
  // with a log line, when the file is missing or not a usable bitmap; the surface is then empty.
  bool LoadBmp(const std::string& path);
  // Empties the surface.
  void Release();

  bool IsEmpty() const { return m_pBits == nullptr; }
  int Width() const { return m_bmi.biWidth; }
  int Height() const { return m_bmi.biHeight; }
  plat::PixelView View() const;

  // Every pixel of `rect` (clipped to the surface) becomes `color`.
  void Fill(const plat::Rect& rect, plat::Color color);
  void Fill(const plat::Rect& rect, COLORREF color) { Fill(rect, ColorFromRef(color)); }
  // Draws the CP932 text with its cell's top-left at (x, y): only the glyphs' pixels change, to
  // exactly `color`. No wrapping; clipped to the surface. A missing font draws nothing.
  void DrawString(int x, int y, const char* text, const plat::Font* font, COLORREF color);
  // Plain copies, clipped to both surfaces; nothing happens when either is empty.
  void CopyFrom(const CDibSurface& src);
  void Blit(const CDibSurface& src, int x, int y, int w, int h, int sx, int sy);
  // Colour-keyed drawing at dither level 0..4: pure green is transparent, pure red halves what
  // lies below. Clipped to both surfaces; nothing happens when either is empty.
  void Overlay(const CDibSurface& src, int x, int y, int w, int h, int sx, int sy, int level);
  // Every byte becomes floor(source byte × level / 255); the source must have this size.
  void Fade(const CDibSurface& src, int level);

  BitmapInfoHeader m_bmi;
  std::uint32_t m_masks[3] = {0, 0, 0};
  std::uint8_t* m_pBits = nullptr;
  int m_nPitch = 0;
  int m_nBytesPerPixel = 0;

 private:
  std::vector<std::uint8_t> m_pixels;
};

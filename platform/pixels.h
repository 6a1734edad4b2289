// Plain pixel memory as the programs use it: 24 bits a pixel in blue-green-red byte order,
// rows stored bottom-up with a pitch (bytes a row, a multiple of 4).
#pragma once
#include <cstdint>

namespace plat {

struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
};

struct PixelView {
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes from one stored row to the next

  bool empty() const { return bits == nullptr || width <= 0 || height <= 0; }
  // Pixel (x, y) with y counted from the top; no bounds check.
  std::uint8_t* At(int x, int y) const { return bits + static_cast<std::intptr_t>(height - 1 - y) * pitch + x * 3; }
};

}  // namespace plat

// Points and rectangles in logical pixels: origin top-left, exclusive right and bottom.
#pragma once
#include <algorithm>
#include <cstdint>

namespace plat {

struct Point {
  int x = 0, y = 0;
};

struct Rect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  void SetEmpty() { left = top = right = bottom = 0; }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const Rect&) const = default;
};

// The smallest rectangle holding both; an empty rectangle contributes nothing.
inline Rect UnionRect(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? Rect{} : b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// The common part of both; empty (all zero) when they do not overlap.
inline Rect IntersectRect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

}  // namespace plat

// Interface pieces: where a piece of a sheet goes on the screen, and drawing it.
#pragma once
#include <cstdint>

class CDibSurface;

struct PartRect {
  std::int16_t x, y;        // destination on the screen
  std::int16_t srcX, srcY;  // top-left in the source sheet
  std::int16_t w, h;        // size
};

// Copies the piece from `src` to (x + dx, y + dy) of `dst` and adds that area to the view's
// dirty rectangle.
void DrawPart(const PartRect& part, CDibSurface& dst, const CDibSurface& src, int dx, int dy);
// The same with the source moved down by frame × h (animation frames stacked in the sheet).
void DrawPartFrame(const PartRect& part, CDibSurface& dst, const CDibSurface& src, int dx, int dy, int frame);

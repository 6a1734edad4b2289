// Fonts and glyphs. Faces are looked up through fontconfig by their CP932 names; the two
// Japanese faces the programs ask for fall back to the metric-compatible IPA faces. Glyphs are
// always rendered monochrome (no antialiasing), so drawn text never blends with colour keys.
#pragma once
#include <memory>
#include <string_view>

#include "platform/pixels.h"

namespace plat {

enum class FontPitch { kFixed, kVariable };

class Font {
 public:
  // `face` is CP932 ("ＭＳ ゴシック", "ＭＳ Ｐゴシック", ...); `pixel_height` is the cell height in
  // pixels (a 16 gives 8-pixel half-width and 16-pixel full-width advances with the fixed faces).
  // Null when no usable face file exists.
  static std::unique_ptr<Font> Open(std::string_view face, int pixel_height, FontPitch pitch);
  virtual ~Font() = default;

  virtual int height() const = 0;  // cell height in pixels
  // Width in pixels of the CP932 text drawn on one line.
  virtual int Measure(std::string_view cp932) const = 0;
  // Draws the CP932 text on one line with the cell's top-left at (x, y), in `color`, background
  // left as it is, clipped to `dst`. Returns the advance (as Measure).
  virtual int Draw(const PixelView& dst, int x, int y, std::string_view cp932, Color color) const = 0;
};

}  // namespace plat

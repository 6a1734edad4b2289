// The look of the sample pictures: one calm pastel palette and the drawing helpers every
// generator uses. Everything is drawn with hard edges (no blending), so pictures keep few
// colours and shapes next to the transparent key colour never get greenish fringes.
#pragma once
#include <string>
#include <vector>

#include "graphics/dib_surface.h"
#include "platform/font.h"
#include "platform/pixels.h"

namespace databuild::pic {

using plat::Color;

// The key colours of the overlay layers.
inline constexpr Color kKey{0, 255, 0};
inline constexpr Color kShadowKey{255, 0, 0};

// The palette.
inline constexpr Color kCream{255, 248, 236};
inline constexpr Color kIvory{255, 252, 246};
inline constexpr Color kPeach{255, 218, 193};
inline constexpr Color kPink{255, 204, 214};
inline constexpr Color kPinkLight{255, 228, 234};
inline constexpr Color kRose{236, 150, 170};
inline constexpr Color kRoseDeep{196, 96, 128};
inline constexpr Color kLavender{214, 204, 240};
inline constexpr Color kLavenderLight{234, 228, 250};
inline constexpr Color kLavenderDeep{150, 130, 200};
inline constexpr Color kMint{190, 232, 214};
inline constexpr Color kMintDeep{110, 180, 160};
inline constexpr Color kSky{200, 226, 248};
inline constexpr Color kSkyDeep{120, 170, 220};
inline constexpr Color kLemon{255, 240, 180};
inline constexpr Color kHighlight{255, 250, 200};
inline constexpr Color kOutline{112, 78, 96};
inline constexpr Color kInk{80, 56, 72};
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kGrey{212, 206, 210};
inline constexpr Color kGreyDeep{150, 142, 148};
inline constexpr Color kNavy{52, 48, 84};

Color Mix(Color a, Color b, int num, int den);  // a + (b - a) × num / den
Color Darker(Color c, int percent);             // c × (100 − percent) / 100
// Never returns a key colour: a colour that would be one is moved by one step.
Color Safe(Color c);

// Pixel access on a 24-bit surface, clipped.
void Put(CDibSurface& s, int x, int y, Color c);
Color Get(const CDibSurface& s, int x, int y);
bool IsKey(Color c);

// Shapes. Coordinates are pixels; filled shapes include their edges.
void FillRect(CDibSurface& s, int x, int y, int w, int h, Color c);
void FrameRect(CDibSurface& s, int x, int y, int w, int h, Color c);
void FillRoundRect(CDibSurface& s, int x, int y, int w, int h, int r, Color c);
// A rounded panel: `outline` of width 1 (or `line`) around `fill`.
void Panel(CDibSurface& s, int x, int y, int w, int h, int r, Color fill, Color outline, int line = 1);
void FillEllipse(CDibSurface& s, double cx, double cy, double rx, double ry, Color c);
void FillCircle(CDibSurface& s, double cx, double cy, double r, Color c);
// A filled disc with an outline ring of width 1.
void Disc(CDibSurface& s, double cx, double cy, double r, Color fill, Color outline);
void FillPolygon(CDibSurface& s, const std::vector<plat::Point>& pts, Color c);
// A line with round ends, `width` pixels thick.
void Line(CDibSurface& s, double x0, double y0, double x1, double y1, double width, Color c);
// Horizontal bands from `top` to `bottom` colour, `steps` bands (few colours by design).
void VGradient(CDibSurface& s, int x, int y, int w, int h, Color top, Color bottom, int steps);
// A small heart and a four-pointed sparkle, the set's ornaments.
void Heart(CDibSurface& s, int cx, int cy, int size, Color c);
void Sparkle(CDibSurface& s, int cx, int cy, int size, Color c);
// Every key-green pixel inside the rectangle that touches a non-green pixel becomes `c`:
// a hard outline around whatever was drawn on the key colour.
void OutlineOnKey(CDibSurface& s, int x, int y, int w, int h, Color c);

// Text, through the platform's font code (IPA Gothic stands in for the game's face).
// `size` is the cell height in pixels. Text is CP932 (our literals already are).
const plat::Font* FontOf(int size);
int TextWidth(const std::string& cp932, int size);
void Text(CDibSurface& s, int x, int y, const std::string& cp932, int size, Color c);
void TextBold(CDibSurface& s, int x, int y, const std::string& cp932, int size, Color c);
// Centred in the box (x, y, w, h).
void TextCentred(CDibSurface& s, int x, int y, int w, int h, const std::string& cp932, int size, Color c,
                 bool bold = false);

// A copy of `src`'s rectangle into `dst` at (dx, dy).
void CopyRect(CDibSurface& dst, int dx, int dy, const CDibSurface& src, int sx, int sy, int w, int h);

// Deterministic small random numbers for decorations.
class Rng {
 public:
  explicit Rng(unsigned seed) : x_(seed * 2654435761u + 12345u) {}
  unsigned Next() {
    x_ = x_ * 1664525u + 1013904223u;
    return x_ >> 8;
  }
  int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<unsigned>(hi - lo + 1)); }

 private:
  unsigned x_;
};
unsigned HashName(const std::string& s);

}  // namespace databuild::pic

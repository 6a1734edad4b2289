// Private pieces of the dialog code: metrics of the dialog frame, dialog-unit conversion,
// CP932 character stepping and line breaking, and the painting primitives (3D edges, icons).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog.h"
#include "platform/font.h"
#include "platform/geometry.h"
#include "platform/pixels.h"

namespace plat::dialog_detail {

// Frame and caption bar around the template's client area (pixels).
inline constexpr int kFrame = 3;          // raised frame on every side
inline constexpr int kCaptionHeight = 18; // dark caption bar
inline constexpr int kClientLeft = kFrame;
inline constexpr int kClientTop = kFrame + kCaptionHeight + 1;  // one body line under the bar
inline constexpr int kExtraWidth = 2 * kFrame;
inline constexpr int kExtraHeight = kClientTop + kFrame;
inline constexpr int kIconSize = 32;
// Close box inside the caption bar, relative to the popup's right edge and top.
inline constexpr int kCloseBoxWidth = 16;
inline constexpr int kCloseBoxHeight = 14;
// An edit control without a byte limit still accepts no more than this.
inline constexpr int kMaxEditBytes = 4096;
// Dialog-unit coordinates are clamped to this range so pixel arithmetic cannot overflow.
inline constexpr int kMaxDialogUnits = 8192;

// Colours of the classic grey dialog.
inline constexpr Color kFace{212, 208, 200};
inline constexpr Color kHighlight{255, 255, 255};
inline constexpr Color kShadow{128, 128, 128};
inline constexpr Color kDarkShadow{64, 64, 64};
inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kCaption{10, 36, 106};
inline constexpr Color kCaptionText{255, 255, 255};

// Base units of a dialog font: pixels per 4 horizontal and per 8 vertical dialog units.
struct BaseUnits {
  int x = 6;
  int y = 12;
};

// The font a template asks for: its face (default "ＭＳ Ｐゴシック") at the point size's pixel height.
std::unique_ptr<Font> OpenDialogFont(const DialogTemplate& tmpl);
// Base units from the font (or a fallback when no font could be opened).
BaseUnits ComputeBaseUnits(const Font* font, const DialogTemplate& tmpl);
int DluToPixelsX(int dlu, const BaseUnits& bu);
int DluToPixelsY(int dlu, const BaseUnits& bu);
// The smallest dialog-unit count that covers `px` pixels.
int PixelsToDluX(int px, const BaseUnits& bu);
int PixelsToDluY(int px, const BaseUnits& bu);

// CP932: lead bytes of double-byte characters, and the length of the character at `pos`
// (1 or 2; 0 when `pos` holds a lead byte without a valid trail byte).
bool IsLeadByte(std::uint8_t b);
std::size_t CharLength(std::string_view s, std::size_t pos);
// The start of the last whole character (s.size() when s is empty).
std::size_t LastCharStart(std::string_view s);
// The longest prefix of `s` that has whole characters only and at most `limit` bytes.
std::size_t FitWholeChars(std::string_view s, std::size_t limit);

// Width of CP932 text with `font` (null: a fixed estimate).
int TextWidth(const Font* font, std::string_view cp932);
// Breaks text into lines at '\n' and, when a line is wider than `max_width` (> 0), before the
// character that would not fit (never inside a double-byte character). '\r' is dropped.
std::vector<std::string> BreakLines(const Font* font, std::string_view cp932, int max_width);

// Drawing into a picture, clipped to a rectangle of that picture.
class Canvas {
 public:
  Canvas(const PixelView& target, Rect clip, Point origin);
  // Coordinates are relative to `origin`.
  void Fill(const Rect& r, Color c) const;
  void Pixel(int x, int y, Color c) const;
  void HLine(int x0, int x1, int y, Color c) const;  // x0 .. x1-1
  void VLine(int x, int y0, int y1, Color c) const;  // y0 .. y1-1
  // A 1-pixel rectangle outline: top/left in `tl`, bottom/right in `br`.
  void Edge(const Rect& r, Color tl, Color br) const;
  // A dotted focus rectangle (every other pixel).
  void DottedFrame(const Rect& r, Color c) const;
  // CP932 text with its cell's top-left at (x, y), clipped to `clip` (and the canvas clip).
  void Text(const Font* font, int x, int y, std::string_view cp932, Color c, const Rect& clip) const;
  // Copies a picture to (x, y).
  void Blit(const PixelView& src, int x, int y) const;
  Canvas Narrow(const Rect& r) const;  // same origin, clip reduced to r

 private:
  PixelView target_;
  Rect clip_;  // in target coordinates
  Point origin_;
};

// Pixel-by-pixel drawings of the standard icons (32 × 32 at x, y).
void DrawStopIcon(const Canvas& c, int x, int y);
void DrawQuestionIcon(const Canvas& c, int x, int y);
// The icon set by SetApplicationIcon, or a plain program icon when none was set.
void DrawApplicationIcon(const Canvas& c, int x, int y);
// The 'x' glyph of the caption's close box (8 × 7 at x, y).
void DrawCloseGlyph(const Canvas& c, int x, int y, Color color);

}  // namespace plat::dialog_detail

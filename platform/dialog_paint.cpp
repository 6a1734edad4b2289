// Dialog metrics, CP932 stepping and line breaking, and the drawing primitives of the dialogs:
// 3D edges, clipped text, and the icons drawn pixel by pixel.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/dialog_internal.h"

namespace plat {
namespace dialog_detail {
namespace {

// a * b / c rounded half away from zero, in 64 bits.
int MulDivRound(int a, int b, int c) {
  if (c == 0) return 0;
  std::int64_t n = static_cast<std::int64_t>(a) * b;
  std::int64_t half = c / 2;
  std::int64_t q = n >= 0 ? (n + half) / c : -((-n + half) / c);
  return static_cast<int>(q);
}

int ClampDlu(int dlu) { return std::clamp(dlu, -kMaxDialogUnits, kMaxDialogUnits); }

struct AppIcon {
  std::vector<std::uint8_t> bgr;  // kIconSize × kIconSize, bottom-up like PixelView, 3 bytes a pixel
  bool set = false;
};

AppIcon& ApplicationIcon() {
  static AppIcon icon;
  return icon;
}

}  // namespace

std::unique_ptr<Font> OpenDialogFont(const DialogTemplate& tmpl) {
  std::string_view face = tmpl.font_face.empty() ? std::string_view("ＭＳ Ｐゴシック") : tmpl.font_face;
  int points = tmpl.font_points > 0 ? std::min(tmpl.font_points, 72) : 9;
  // Points at 96 pixels an inch: 9 points make a 12-pixel cell.
  return Font::Open(face, MulDivRound(points, 96, 72), FontPitch::kVariable);
}

BaseUnits ComputeBaseUnits(const Font* font, const DialogTemplate& tmpl) {
  BaseUnits bu;
  int points = tmpl.font_points > 0 ? std::min(tmpl.font_points, 72) : 9;
  int cell = MulDivRound(points, 96, 72);
  bu.y = cell;
  bu.x = std::max(1, cell / 2);
  if (font != nullptr) {
    // The programs' dialog layouts assume the horizontal base unit of their Japanese faces: the
    // average advance of the 52 Latin letters, which for those faces is half the full-width
    // advance (6 pixels at a 12-pixel cell). The stand-in proportional face shares the
    // full-width advance but has wider Latin letters (about 7.1 at 12 pixels), which would
    // stretch every dialog by a sixth while its Japanese text kept its width; so a face with
    // full-width characters takes half their advance, any other face the letters' average.
    int full = font->Measure("漢");
    int letters = font->Measure("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    if (full > 0) bu.x = std::max(1, (full + 1) / 2);
    else if (letters > 0) bu.x = std::max(1, (letters + 26) / 52);
    if (font->height() > 0) bu.y = font->height();
    // A static text is shown on one line in full: where the stand-in face draws a text wider than
    // its control, the whole dialog widens with it (at most by half), keeping its layout.
    const int widest = bu.x + bu.x / 2;
    for (const DialogControl& c : tmpl.controls) {
      if (c.type != ControlType::kStatic || c.cx <= 0 || c.text.empty()) continue;
      int text = 0;  // the widest of its lines
      for (std::size_t start = 0; start <= c.text.size();) {
        const std::size_t end = std::min(c.text.find('\n', start), c.text.size());
        text = std::max(text, TextWidth(font, std::string_view(c.text).substr(start, end - start)));
        start = end + 1;
      }
      if (text <= DluToPixelsX(c.cx, bu) + bu.x) continue;  // fits, give or take rounding
      const int needed = (text * 4 + c.cx - 1) / c.cx;
      bu.x = std::clamp(needed, bu.x, std::max(bu.x, widest));
    }
  }
  return bu;
}

int DluToPixelsX(int dlu, const BaseUnits& bu) { return MulDivRound(ClampDlu(dlu), bu.x, 4); }
int DluToPixelsY(int dlu, const BaseUnits& bu) { return MulDivRound(ClampDlu(dlu), bu.y, 8); }

int PixelsToDluX(int px, const BaseUnits& bu) {
  int d = std::max(0, px) * 4 / bu.x;
  while (DluToPixelsX(d, bu) < px && d < kMaxDialogUnits) ++d;
  return d;
}

int PixelsToDluY(int px, const BaseUnits& bu) {
  int d = std::max(0, px) * 8 / bu.y;
  while (DluToPixelsY(d, bu) < px && d < kMaxDialogUnits) ++d;
  return d;
}

bool IsLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::size_t CharLength(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return 0;
  auto b = static_cast<std::uint8_t>(s[pos]);
  if (!IsLeadByte(b)) return 1;
  if (pos + 1 >= s.size()) return 0;
  auto t = static_cast<std::uint8_t>(s[pos + 1]);
  bool trail = (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC);
  return trail ? 2 : 0;
}

std::size_t LastCharStart(std::string_view s) {
  std::size_t last = s.size();
  std::size_t i = 0;
  while (i < s.size()) {
    last = i;
    std::size_t n = CharLength(s, i);
    i += n == 0 ? 1 : n;
  }
  return last;
}

std::size_t FitWholeChars(std::string_view s, std::size_t limit) {
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t n = CharLength(s, i);
    if (n == 0 || i + n > limit) break;
    i += n;
  }
  return i;
}

int TextWidth(const Font* font, std::string_view cp932) {
  if (font != nullptr) return font->Measure(cp932);
  return static_cast<int>(cp932.size()) * 6;
}

std::vector<std::string> BreakLines(const Font* font, std::string_view cp932, int max_width) {
  std::vector<std::string> lines;
  std::string line;
  int width = 0;
  std::size_t i = 0;
  while (i < cp932.size()) {
    char ch = cp932[i];
    if (ch == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      width = 0;
      ++i;
      continue;
    }
    if (ch == '\r') {
      ++i;
      continue;
    }
    std::size_t n = CharLength(cp932, i);
    if (n == 0) n = 1;  // a stray lead byte stands for itself
    std::string_view piece = cp932.substr(i, n);
    int w = TextWidth(font, piece);
    if (max_width > 0 && !line.empty() && width + w > max_width) {
      lines.push_back(std::move(line));
      line.clear();
      width = 0;
    }
    line.append(piece);
    width += w;
    i += n;
  }
  lines.push_back(std::move(line));
  return lines;
}

// ---- Canvas ------------------------------------------------------------------------------

Canvas::Canvas(const PixelView& target, Rect clip, Point origin)
    : target_(target), origin_(origin) {
  Rect whole{0, 0, target.width, target.height};
  clip_ = target.empty() ? Rect{} : IntersectRect(clip.Offset(origin.x, origin.y), whole);
}

Canvas Canvas::Narrow(const Rect& r) const {
  Canvas c = *this;
  c.clip_ = IntersectRect(clip_, r.Offset(origin_.x, origin_.y));
  return c;
}

void Canvas::Fill(const Rect& r, Color c) const {
  Rect t = IntersectRect(r.Offset(origin_.x, origin_.y), clip_);
  if (t.IsEmpty()) return;
  for (int y = t.top; y < t.bottom; ++y) {
    std::uint8_t* p = target_.At(t.left, y);
    for (int x = t.left; x < t.right; ++x, p += 3) {
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  }
}

void Canvas::Pixel(int x, int y, Color c) const { Fill({x, y, x + 1, y + 1}, c); }
void Canvas::HLine(int x0, int x1, int y, Color c) const { Fill({x0, y, x1, y + 1}, c); }
void Canvas::VLine(int x, int y0, int y1, Color c) const { Fill({x, y0, x + 1, y1}, c); }

void Canvas::Edge(const Rect& r, Color tl, Color br) const {
  if (r.IsEmpty()) return;
  HLine(r.left, r.right - 1, r.top, tl);
  VLine(r.left, r.top, r.bottom - 1, tl);
  HLine(r.left, r.right, r.bottom - 1, br);
  VLine(r.right - 1, r.top, r.bottom, br);
}

void Canvas::DottedFrame(const Rect& r, Color c) const {
  if (r.IsEmpty()) return;
  for (int x = r.left; x < r.right; x += 2) {
    Pixel(x, r.top, c);
    Pixel(x, r.bottom - 1, c);
  }
  for (int y = r.top; y < r.bottom; y += 2) {
    Pixel(r.left, y, c);
    Pixel(r.right - 1, y, c);
  }
}

void Canvas::Text(const Font* font, int x, int y, std::string_view cp932, Color c,
                  const Rect& clip) const {
  if (font == nullptr || cp932.empty()) return;
  Rect t = IntersectRect(clip.Offset(origin_.x, origin_.y), clip_);
  if (t.IsEmpty()) return;
  // A view of just the clip rectangle, so the font's own clipping keeps the text inside it.
  PixelView sub;
  sub.bits = target_.bits + static_cast<std::intptr_t>(target_.height - t.bottom) * target_.pitch +
             t.left * 3;
  sub.width = t.width();
  sub.height = t.height();
  sub.pitch = target_.pitch;
  font->Draw(sub, origin_.x + x - t.left, origin_.y + y - t.top, cp932, c);
}

void Canvas::Blit(const PixelView& src, int x, int y) const {
  if (src.empty()) return;
  Rect t = IntersectRect(Rect{x, y, x + src.width, y + src.height}.Offset(origin_.x, origin_.y), clip_);
  for (int ty = t.top; ty < t.bottom; ++ty) {
    int sy = ty - origin_.y - y;
    int sx = t.left - origin_.x - x;
    std::memcpy(target_.At(t.left, ty), src.At(sx, sy), static_cast<std::size_t>(t.width()) * 3);
  }
}

// ---- Icons -------------------------------------------------------------------------------

namespace {

// Squared distance of pixel (px, py)'s centre from the icon's centre, in pixels.
double Dist2(int px, int py, double cx, double cy) {
  double dx = px + 0.5 - cx, dy = py + 0.5 - cy;
  return dx * dx + dy * dy;
}

// A filled disc with a darker rim, radius 15 about the icon's centre.
void DrawDisc(const Canvas& c, int x, int y, Color fill, Color rim) {
  for (int py = 0; py < kIconSize; ++py) {
    for (int px = 0; px < kIconSize; ++px) {
      double d2 = Dist2(px, py, 16, 16);
      if (d2 <= 14.0 * 14.0) c.Pixel(x + px, y + py, fill);
      else if (d2 <= 15.2 * 15.2) c.Pixel(x + px, y + py, rim);
    }
  }
}

}  // namespace

void DrawStopIcon(const Canvas& c, int x, int y) {
  DrawDisc(c, x, y, Color{224, 0, 0}, Color{128, 0, 0});
  // Two white diagonal strokes, about 4 pixels thick, crossing at the centre.
  for (int py = 0; py < kIconSize; ++py) {
    for (int px = 0; px < kIconSize; ++px) {
      double dx = px + 0.5 - 16, dy = py + 0.5 - 16;
      if (std::fabs(dx) > 7.5 || std::fabs(dy) > 7.5) continue;
      if (std::fabs(dx - dy) <= 2.9 || std::fabs(dx + dy) <= 2.9) c.Pixel(x + px, y + py, kWhite);
    }
  }
}

void DrawQuestionIcon(const Canvas& c, int x, int y) {
  DrawDisc(c, x, y, Color{16, 72, 200}, Color{0, 24, 112});
  // The hook: a ring about (16, 12) over its top half and down its right side, ending above
  // the stem; then the stem and the dot.
  const double cx = 16, cy = 12;
  for (int py = 0; py < kIconSize; ++py) {
    for (int px = 0; px < kIconSize; ++px) {
      double dx = px + 0.5 - cx, dy = py + 0.5 - cy;
      double d2 = dx * dx + dy * dy;
      bool ring = d2 >= 2.6 * 2.6 && d2 <= 6.3 * 6.3 && (dy <= 0.5 || (dx >= 0 && dy <= 3.5));
      if (ring) c.Pixel(x + px, y + py, kWhite);
    }
  }
  // A short slope from the ring's right side into the stem.
  for (int i = 0; i < 4; ++i) c.Fill({x + 17 - i, y + 15 + i, x + 21 - i, y + 16 + i}, kWhite);
  c.Fill({x + 14, y + 18, x + 18, y + 22}, kWhite);
  c.Fill({x + 14, y + 24, x + 18, y + 28}, kWhite);
}

void DrawApplicationIcon(const Canvas& c, int x, int y) {
  const AppIcon& icon = ApplicationIcon();
  if (icon.set) {
    PixelView v;
    v.bits = const_cast<std::uint8_t*>(icon.bgr.data());
    v.width = kIconSize;
    v.height = kIconSize;
    v.pitch = kIconSize * 3;
    c.Blit(v, x, y);
    return;
  }
  // A plain program window: grey frame, blue title bar, white page.
  c.Fill({x + 2, y + 4, x + 30, y + 28}, kWhite);
  c.Edge({x + 2, y + 4, x + 30, y + 28}, kDarkShadow, kBlack);
  c.Fill({x + 3, y + 5, x + 29, y + 10}, kCaption);
  c.Fill({x + 25, y + 6, x + 28, y + 9}, kFace);
}

void DrawCloseGlyph(const Canvas& c, int x, int y, Color color) {
  static constexpr const char* kRows[7] = {"XX....XX", ".XX..XX.", "..XXXX..", "...XX...",
                                           "..XXXX..", ".XX..XX.", "XX....XX"};
  for (int r = 0; r < 7; ++r) {
    for (int k = 0; k < 8; ++k) {
      if (kRows[r][k] == 'X') c.Pixel(x + k, y + r, color);
    }
  }
}

}  // namespace dialog_detail

void SetApplicationIcon(const PixelView& icon) {
  using namespace dialog_detail;
  AppIcon& dst = ApplicationIcon();
  if (icon.empty() || icon.pitch < icon.width * 3) {
    dst.set = false;
    dst.bgr.clear();
    return;
  }
  // Stored bottom-up like every PixelView; a smaller picture is centred, a larger one cut.
  dst.bgr.assign(static_cast<std::size_t>(kIconSize) * kIconSize * 3, 0);
  PixelView v{dst.bgr.data(), kIconSize, kIconSize, kIconSize * 3};
  for (int y = 0; y < kIconSize; ++y) {
    for (int x = 0; x < kIconSize; ++x) {
      std::uint8_t* d = v.At(x, y);
      d[0] = kFace.b;
      d[1] = kFace.g;
      d[2] = kFace.r;
    }
  }
  int w = std::min(icon.width, kIconSize), h = std::min(icon.height, kIconSize);
  int ox = (kIconSize - w) / 2, oy = (kIconSize - h) / 2;
  for (int y = 0; y < h; ++y) std::memcpy(v.At(ox, oy + y), icon.At(0, y), static_cast<std::size_t>(w) * 3);
  dst.set = true;
}

}  // namespace plat

#include "pictures/style.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace databuild::pic {

Color Mix(Color a, Color b, int num, int den) {
  auto m = [&](int p, int q) { return static_cast<std::uint8_t>(p + (q - p) * num / den); };
  return Safe(Color{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)});
}

Color Darker(Color c, int percent) {
  auto d = [&](int v) { return static_cast<std::uint8_t>(v * (100 - percent) / 100); };
  return Safe(Color{d(c.r), d(c.g), d(c.b)});
}

bool IsKey(Color c) { return (c.r == 0 && c.g == 255 && c.b == 0) || (c.r == 255 && c.g == 0 && c.b == 0); }

Color Safe(Color c) {
  if (c.r == 0 && c.g == 255 && c.b == 0) c.g = 254;
  if (c.r == 255 && c.g == 0 && c.b == 0) c.r = 254;
  return c;
}

void Put(CDibSurface& s, int x, int y, Color c) {
  if (s.IsEmpty() || x < 0 || y < 0 || x >= s.Width() || y >= s.Height()) return;
  std::uint8_t* p = s.View().At(x, y);
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

Color Get(const CDibSurface& s, int x, int y) {
  if (s.IsEmpty() || x < 0 || y < 0 || x >= s.Width() || y >= s.Height()) return kKey;
  const std::uint8_t* p = s.View().At(x, y);
  return Color{p[2], p[1], p[0]};
}

void FillRect(CDibSurface& s, int x, int y, int w, int h, Color c) {
  s.Fill(plat::Rect{x, y, x + w, y + h}, c);
}

void FrameRect(CDibSurface& s, int x, int y, int w, int h, Color c) {
  FillRect(s, x, y, w, 1, c);
  FillRect(s, x, y + h - 1, w, 1, c);
  FillRect(s, x, y, 1, h, c);
  FillRect(s, x + w - 1, y, 1, h, c);
}

void FillRoundRect(CDibSurface& s, int x, int y, int w, int h, int r, Color c) {
  r = std::max(0, std::min(r, std::min(w, h) / 2));
  for (int j = 0; j < h; ++j) {
    int inset = 0;
    int dy = -1;
    if (j < r) dy = r - j;
    if (j >= h - r) dy = j - (h - r - 1);
    if (dy > 0) {
      const double fy = dy - 0.5;
      inset = static_cast<int>(std::lround(r - std::sqrt(std::max(0.0, r * r - fy * fy))));
    }
    FillRect(s, x + inset, y + j, w - 2 * inset, 1, c);
  }
}

void Panel(CDibSurface& s, int x, int y, int w, int h, int r, Color fill, Color outline, int line) {
  FillRoundRect(s, x, y, w, h, r, outline);
  FillRoundRect(s, x + line, y + line, w - 2 * line, h - 2 * line, std::max(0, r - line), fill);
}

void FillEllipse(CDibSurface& s, double cx, double cy, double rx, double ry, Color c) {
  if (rx <= 0 || ry <= 0) return;
  const int y0 = static_cast<int>(std::floor(cy - ry)), y1 = static_cast<int>(std::ceil(cy + ry));
  for (int y = y0; y <= y1; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1.0) continue;
    const double half = rx * std::sqrt(1.0 - dy * dy);
    const int xa = static_cast<int>(std::lround(cx - half)), xb = static_cast<int>(std::lround(cx + half));
    if (xb > xa) FillRect(s, xa, y, xb - xa, 1, c);
  }
}

void FillCircle(CDibSurface& s, double cx, double cy, double r, Color c) { FillEllipse(s, cx, cy, r, r, c); }

void Disc(CDibSurface& s, double cx, double cy, double r, Color fill, Color outline) {
  FillCircle(s, cx, cy, r + 1, outline);
  FillCircle(s, cx, cy, r, fill);
}

void FillPolygon(CDibSurface& s, const std::vector<plat::Point>& pts, Color c) {
  if (pts.size() < 3) return;
  int ymin = pts[0].y, ymax = pts[0].y;
  for (const auto& p : pts) ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
  for (int y = ymin; y < ymax; ++y) {
    const double sy = y + 0.5;
    std::vector<double> xs;
    for (std::size_t i = 0; i < pts.size(); ++i) {
      const plat::Point a = pts[i], b = pts[(i + 1) % pts.size()];
      if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy)) {
        xs.push_back(a.x + (sy - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
      }
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
      const int xa = static_cast<int>(std::lround(xs[i])), xb = static_cast<int>(std::lround(xs[i + 1]));
      if (xb > xa) FillRect(s, xa, y, xb - xa, 1, c);
    }
  }
}

void Line(CDibSurface& s, double x0, double y0, double x1, double y1, double width, Color c) {
  const double r = width / 2.0;
  const int xa = static_cast<int>(std::floor(std::min(x0, x1) - r)), xb = static_cast<int>(std::ceil(std::max(x0, x1) + r));
  const int ya = static_cast<int>(std::floor(std::min(y0, y1) - r)), yb = static_cast<int>(std::ceil(std::max(y0, y1) + r));
  const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  for (int y = ya; y <= yb; ++y) {
    for (int x = xa; x <= xb; ++x) {
      const double px = x + 0.5 - x0, py = y + 0.5 - y0;
      double t = len2 > 0 ? (px * dx + py * dy) / len2 : 0.0;
      t = std::clamp(t, 0.0, 1.0);
      const double ex = px - t * dx, ey = py - t * dy;
      if (ex * ex + ey * ey <= r * r) Put(s, x, y, c);
    }
  }
}

void VGradient(CDibSurface& s, int x, int y, int w, int h, Color top, Color bottom, int steps) {
  steps = std::max(1, steps);
  for (int j = 0; j < h; ++j) {
    const int band = j * steps / std::max(1, h);
    FillRect(s, x, y + j, w, 1, Mix(top, bottom, band, std::max(1, steps - 1)));
  }
}

void Heart(CDibSurface& s, int cx, int cy, int size, Color c) {
  const double r = size / 4.0;
  FillCircle(s, cx - r, cy - r / 2, r + 0.3, c);
  FillCircle(s, cx + r, cy - r / 2, r + 0.3, c);
  FillPolygon(s, {{static_cast<int>(cx - 2 * r), static_cast<int>(cy - r / 3)},
                  {static_cast<int>(cx + 2 * r), static_cast<int>(cy - r / 3)},
                  {cx, static_cast<int>(cy + 1.6 * r)}},
              c);
}

void Sparkle(CDibSurface& s, int cx, int cy, int size, Color c) {
  const int a = std::max(1, size / 5);
  FillPolygon(s, {{cx, cy - size}, {cx + a, cy - a}, {cx + size, cy}, {cx + a, cy + a}, {cx, cy + size},
                  {cx - a, cy + a}, {cx - size, cy}, {cx - a, cy - a}},
              c);
}

void OutlineOnKey(CDibSurface& s, int x, int y, int w, int h, Color c) {
  std::vector<char> edge(static_cast<std::size_t>(w) * h, 0);
  auto inside = [&](int i, int j) { return i >= 0 && j >= 0 && i < w && j < h; };
  auto green = [&](int i, int j) {
    const Color p = Get(s, x + i, y + j);
    return p.r == 0 && p.g == 255 && p.b == 0;
  };
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      if (!green(i, j)) continue;
      static const int kD[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
      for (const auto& d : kD) {
        const int ni = i + d[0], nj = j + d[1];
        if (inside(ni, nj) && !green(ni, nj)) {
          edge[static_cast<std::size_t>(j) * w + i] = 1;
          break;
        }
      }
    }
  }
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (edge[static_cast<std::size_t>(j) * w + i]) Put(s, x + i, y + j, c);
}

const plat::Font* FontOf(int size) {
  static std::map<int, std::unique_ptr<plat::Font>> fonts;
  auto it = fonts.find(size);
  if (it == fonts.end()) it = fonts.emplace(size, plat::Font::Open("ＭＳ ゴシック", size, plat::FontPitch::kFixed)).first;
  return it->second.get();
}

int TextWidth(const std::string& cp932, int size) {
  const plat::Font* f = FontOf(size);
  return f ? f->Measure(cp932) : 0;
}

void Text(CDibSurface& s, int x, int y, const std::string& cp932, int size, Color c) {
  const plat::Font* f = FontOf(size);
  if (f != nullptr && !s.IsEmpty()) f->Draw(s.View(), x, y, cp932, c);
}

void TextBold(CDibSurface& s, int x, int y, const std::string& cp932, int size, Color c) {
  Text(s, x, y, cp932, size, c);
  Text(s, x + 1, y, cp932, size, c);
}

void TextCentred(CDibSurface& s, int x, int y, int w, int h, const std::string& cp932, int size, Color c,
                 bool bold) {
  const int tw = TextWidth(cp932, size) + (bold ? 1 : 0);
  const int tx = x + (w - tw) / 2, ty = y + (h - size) / 2;
  if (bold) {
    TextBold(s, tx, ty, cp932, size, c);
  } else {
    Text(s, tx, ty, cp932, size, c);
  }
}

void CopyRect(CDibSurface& dst, int dx, int dy, const CDibSurface& src, int sx, int sy, int w, int h) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) Put(dst, dx + i, dy + j, Get(src, sx + i, sy + j));
}

unsigned HashName(const std::string& s) {
  unsigned h = 2166136261u;
  for (unsigned char ch : s) {
    const unsigned lower = (ch >= 'A' && ch <= 'Z') ? ch + 32u : ch;
    h = (h ^ lower) * 16777619u;
  }
  return h;
}

}  // namespace databuild::pic

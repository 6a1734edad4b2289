#include "pictures/faces.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace databuild::pic {

Color FillFor(Color base, Look look) {
  switch (look) {
    case Look::kNormal: return base;
    case Look::kHover: return Mix(base, kHighlight, 3, 5);
    case Look::kPressed: return Darker(base, 14);
    case Look::kOff: return Mix(base, kGrey, 4, 5);
  }
  return base;
}

Color InkFor(Look look) {
  switch (look) {
    case Look::kHover: return kRoseDeep;
    case Look::kOff: return kGreyDeep;
    default: return kInk;
  }
}

namespace {

Color OutlineFor(Look look) {
  if (look == Look::kHover) return kRoseDeep;
  if (look == Look::kOff) return kGreyDeep;
  return kOutline;
}

}  // namespace

void PlaceFaces(CDibSurface& sheet, const std::vector<FaceSet>& buttons) {
  CDibSurface back;
  back.Create(640, 480);
  CopyRect(back, 0, 0, sheet, 0, 0, 640, 480);
  for (const FaceSet& b : buttons) {
    if (b.drawNormal) b.draw(sheet, b.x, b.y, b.w, b.h, Look::kNormal);
  }
  for (const FaceSet& b : buttons) {
    auto face = [&](int sx, int sy, Look look) {
      CopyRect(sheet, sx, sy, back, b.x, b.y, b.w, b.h);
      b.draw(sheet, sx, sy, b.w, b.h, look);
    };
    face(b.hx, b.hy, Look::kHover);
    if (b.px != b.hx || b.py != b.hy) face(b.px, b.py, Look::kPressed);
    if ((b.ox != b.hx || b.oy != b.hy) && (b.ox != b.px || b.oy != b.py)) face(b.ox, b.oy, Look::kOff);
  }
}

FaceDraw LabelButton(std::string label, Color base, int fontSize, int radius,
                     std::function<void(CDibSurface&, int, int, Color)> icon) {
  return [=](CDibSurface& s, int x, int y, int w, int h, Look look) {
    const int shift = look == Look::kPressed ? 1 : 0;
    const int line = look == Look::kHover ? 2 : 1;
    // A soft drop shadow under the normal and highlighted looks.
    if (look != Look::kPressed) FillRoundRect(s, x + 2, y + 2, w - 3, h - 3, radius, Mix(base, kOutline, 2, 5));
    Panel(s, x + 1 + shift, y + 1 + shift, w - 3, h - 3, radius, FillFor(base, look), OutlineFor(look), line);
    // A light band along the top edge.
    if (look != Look::kPressed && h >= 20) {
      FillRect(s, x + 1 + radius, y + 3, w - 3 - 2 * radius, 1, Mix(FillFor(base, look), kWhite, 1, 2));
    }
    const Color ink = InkFor(look);
    int labelY = y + shift, labelH = h - 2;
    if (icon) {
      const bool hasLabel = !label.empty();
      icon(s, x + w / 2 + shift, y + (hasLabel ? h * 2 / 5 : h / 2) + shift, ink);
      labelY = y + h * 3 / 5 + shift;
      labelH = h * 2 / 5 - 2;
    }
    if (!label.empty()) TextCentred(s, x + shift, labelY, w - 1, labelH, label, fontSize, ink, look == Look::kHover);
    if (look == Look::kHover && w >= 48 && h >= 20) Sparkle(s, x + w - 7, y + 6, 4, kRoseDeep);
  };
}

FaceDraw RoundButton(std::string label, Color base, int fontSize,
                     std::function<void(CDibSurface&, int, int, Color)> icon) {
  return [=](CDibSurface& s, int x, int y, int w, int h, Look look) {
    const int shift = look == Look::kPressed ? 1 : 0;
    const double r = std::min(w, h) / 2.0 - 3;
    const double cx = x + w / 2.0, cy = y + h / 2.0;
    if (look != Look::kPressed) FillCircle(s, cx + 1.5, cy + 1.5, r + 1, Mix(base, kOutline, 2, 5));
    FillCircle(s, cx + shift, cy + shift, r + (look == Look::kHover ? 2 : 1), OutlineFor(look));
    FillCircle(s, cx + shift, cy + shift, r, FillFor(base, look));
    if (look != Look::kPressed) FillEllipse(s, cx - r / 3, cy - r / 2, r / 3, r / 6, Mix(FillFor(base, look), kWhite, 1, 2));
    const Color ink = InkFor(look);
    if (icon) {
      const bool hasLabel = !label.empty();
      icon(s, static_cast<int>(cx) + shift, static_cast<int>(cy - (hasLabel ? r / 4 : 0)) + shift, ink);
      if (hasLabel) TextCentred(s, x + shift, static_cast<int>(cy + r / 5) + shift, w, fontSize + 2, label, fontSize, ink);
    } else if (!label.empty()) {
      TextCentred(s, x + shift, y + shift, w, h, label, fontSize, ink, look == Look::kHover);
    }
  };
}

FaceDraw ChoiceButton(std::string label, Color base) {
  return [=](CDibSurface& s, int x, int y, int w, int h, Look look) {
    // The inactive look of a pair is the current choice: filled in and marked.
    const bool chosen = look == Look::kOff;
    const int shift = look == Look::kPressed ? 1 : 0;
    const Color fill = chosen ? kRose : FillFor(base, look);
    const Color ink = chosen ? kWhite : InkFor(look);
    if (look != Look::kPressed) FillRoundRect(s, x + 2, y + 2, w - 3, h - 3, h / 2, Mix(base, kOutline, 2, 5));
    Panel(s, x + 1 + shift, y + 1 + shift, w - 3, h - 3, (h - 3) / 2, fill,
          chosen ? kRoseDeep : OutlineFor(look), look == Look::kHover ? 2 : 1);
    // The mark: a ring, filled when chosen.
    const int mx = x + 18 + shift, my = y + h / 2 + shift;
    Disc(s, mx, my, 6, chosen ? kWhite : kIvory, chosen ? kWhite : OutlineFor(look));
    if (chosen) FillCircle(s, mx, my, 3.5, kRoseDeep);
    TextCentred(s, x + 28 + shift, y + shift, w - 34, h - 2, label, 16, ink, look == Look::kHover || chosen);
  };
}

void IconTriangle(CDibSurface& s, int cx, int cy, int size, int dir, Color c) {
  const int a = size / 2;
  switch (dir) {
    case 0: FillPolygon(s, {{cx - a, cy + a / 2 + 1}, {cx + a + 1, cy + a / 2 + 1}, {cx, cy - a}}, c); break;
    case 1: FillPolygon(s, {{cx - a / 2, cy - a}, {cx - a / 2, cy + a + 1}, {cx + a, cy}}, c); break;
    case 2: FillPolygon(s, {{cx - a, cy - a / 2}, {cx + a + 1, cy - a / 2}, {cx, cy + a + 1}}, c); break;
    default: FillPolygon(s, {{cx + a / 2 + 1, cy - a}, {cx + a / 2 + 1, cy + a + 1}, {cx - a, cy}}, c); break;
  }
}

void IconEnvelope(CDibSurface& s, int cx, int cy, int w, Color fill, Color ink, bool open) {
  const int h = w * 2 / 3, x = cx - w / 2, y = cy - h / 2;
  if (open) FillPolygon(s, {{x, y}, {x + w, y}, {cx, y - h / 2}}, ink);
  FillRect(s, x, y, w, h, ink);
  FillRect(s, x + 1, y + 1, w - 2, h - 2, fill);
  if (open) {
    FillPolygon(s, {{x + 2, y}, {x + w - 2, y}, {cx, y - h / 2 + 2}}, Mix(fill, kWhite, 1, 2));
    Line(s, x + 1, y + 1, cx, y + h / 2, 1, ink);
    Line(s, x + w - 2, y + 1, cx, y + h / 2, 1, ink);
  } else {
    Line(s, x + 1, y + 1, cx, y + h / 2 + 1, 1, ink);
    Line(s, x + w - 2, y + 1, cx, y + h / 2 + 1, 1, ink);
  }
}

void IconSpeaker(CDibSurface& s, int cx, int cy, Color ink) {
  FillRect(s, cx - 9, cy - 3, 5, 7, ink);
  FillPolygon(s, {{cx - 5, cy - 3}, {cx + 1, cy - 8}, {cx + 1, cy + 9}, {cx - 5, cy + 4}}, ink);
  for (int k = 0; k < 2; ++k) {
    const int r = 5 + 4 * k;
    for (int a = -40; a <= 40; a += 4) {
      const double t = a * 3.14159265 / 180;
      Put(s, cx + 2 + static_cast<int>(r * std::cos(t)), cy + static_cast<int>(r * std::sin(t)), ink);
      Put(s, cx + 3 + static_cast<int>(r * std::cos(t)), cy + static_cast<int>(r * std::sin(t)), ink);
    }
  }
}

void IconClip(CDibSurface& s, int cx, int cy, Color ink) {
  // A paper clip: two nested rounded loops.
  FrameRect(s, cx - 3, cy - 6, 7, 13, ink);
  FrameRect(s, cx - 1, cy - 4, 3, 8, ink);
}

FaceDraw WindowBarButton(int kind) {
  return [kind](CDibSurface& s, int x, int y, int w, int h, Look look) {
    Panel(s, x + 1, y + 1, w - 2, h - 2, 3, FillFor(kPinkLight, look), kOutline);
    const Color ink = InkFor(look);
    if (kind == 0) FillRect(s, x + 4, y + 10, 8, 2, ink);
    if (kind == 1) FrameRect(s, x + 4, y + 4, 8, 8, ink);
    if (kind == 2) {
      Line(s, x + 4.5, y + 4.5, x + 11.5, y + 11.5, 1.5, ink);
      Line(s, x + 11.5, y + 4.5, x + 4.5, y + 11.5, 1.5, ink);
    }
  };
}

}  // namespace databuild::pic

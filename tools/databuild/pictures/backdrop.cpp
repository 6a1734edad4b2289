#include "pictures/sheets.h"

namespace databuild::pic {

void ScreenBackdrop(CDibSurface& s, Color top, Color bottom, unsigned seed) {
  FillRect(s, 0, 0, s.Width(), s.Height(), kCream);
  VGradient(s, 0, 0, 640, 480, top, bottom, 12);
  Rng rng(seed);
  for (int i = 0; i < 46; ++i) {
    const int x = rng.Range(0, 639), y = rng.Range(0, 479);
    const Color c = Mix(Get(s, x, y), kWhite, 2, 5);
    if (i % 3 == 0) {
      Heart(s, x, y, rng.Range(6, 12), c);
    } else {
      FillCircle(s, x, y, rng.Range(1, 3), c);
    }
  }
}

void ScreenRibbon(CDibSurface& s, int x, int y, const std::string& title, Color base) {
  const int w = TextWidth(title, 24) + 40;
  FillPolygon(s, {{x - 8, y + 4}, {x + 6, y + 4}, {x + 6, y + 34}, {x - 8, y + 34}, {x - 2, y + 19}}, Darker(base, 20));
  Panel(s, x, y, w, 32, 6, base, kOutline);
  Heart(s, x + 14, y + 17, 10, kWhite);
  TextBold(s, x + 26, y + 4, title, 24, kWhite);
}

}  // namespace databuild::pic

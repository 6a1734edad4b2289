// "heya256", the parts sheet: the in-game menu panel (96 × 480 at the top left, five buttons and
// its tab-like right edge), the edge tab's two strips at x 152 and 158, the menu buttons'
// highlighted and pressed faces, and the click cursor's frames at x 576 on the key colour.
#include <cmath>

#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/sheets.h"

namespace databuild::pic {
namespace {

// The edge tab strip, 6 × 480: a ribbon with little hearts; `lit` is the highlighted look.
void EdgeStrip(CDibSurface& s, int x, bool lit) {
  const Color base = lit ? kPink : kRose;
  FillRect(s, x, 0, 6, 480, base);
  FillRect(s, x + 5, 0, 1, 480, kOutline);
  FillRect(s, x + 1, 0, 1, 480, Mix(base, kWhite, 1, 2));
  for (int y = 12; y < 480; y += 24) {
    FillRect(s, x + 2, y, 2, 2, lit ? kRoseDeep : kWhite);
    FillRect(s, x + 1, y + 1, 4, 1, lit ? kRoseDeep : kWhite);
  }
  if (lit) {
    for (int y = 200; y < 280; y += 10) IconTriangle(s, x + 3, y + 4, 4, 1, kRoseDeep);
  }
}

void IconSave(CDibSurface& c, int cx, int cy, Color ink) {
  Panel(c, cx - 11, cy - 10, 22, 20, 3, kIvory, ink);
  FillRect(c, cx - 6, cy - 10, 12, 7, ink);
  FillRect(c, cx - 6, cy + 2, 12, 6, Mix(kRose, kWhite, 1, 2));
}
void IconLoad(CDibSurface& c, int cx, int cy, Color ink) {
  Panel(c, cx - 12, cy - 8, 24, 18, 2, kLemon, ink);
  FillRect(c, cx - 12, cy - 11, 10, 4, ink);
  IconTriangle(c, cx, cy + 1, 10, 0, ink);
}
void IconGear(CDibSurface& c, int cx, int cy, Color ink) {
  for (int k = 0; k < 8; ++k) {
    const double a = k * 3.14159265 / 4;
    Line(c, cx, cy, cx + 11 * std::cos(a), cy + 11 * std::sin(a), 4, ink);
  }
  FillCircle(c, cx, cy, 8, ink);
  FillCircle(c, cx, cy, 3.5, kIvory);
}
void IconHome(CDibSurface& c, int cx, int cy, Color ink) {
  FillPolygon(c, {{cx - 13, cy - 1}, {cx, cy - 12}, {cx + 14, cy - 1}}, ink);
  FillRect(c, cx - 9, cy - 2, 19, 12, ink);
  FillRect(c, cx - 2, cy + 3, 5, 7, kIvory);
}
void IconDoor(CDibSurface& c, int cx, int cy, Color ink) {
  FillRect(c, cx - 9, cy - 12, 16, 23, ink);
  FillRect(c, cx - 7, cy - 10, 12, 19, kPeach);
  FillRect(c, cx + 2, cy - 1, 2, 3, ink);
  IconTriangle(c, cx + 12, cy, 8, 1, ink);
}

// One frame of the click cursor (24 × 24 on the key colour): a letter that bobs and a heart
// that beats. Hard edges, dark outline.
void CursorFrame(CDibSurface& s, int x, int y, int f) {
  FillRect(s, x, y, 24, 24, kKey);
  static const int kBob[6] = {0, 1, 2, 1, 0, -1};
  const int dy = kBob[f % 6];
  IconEnvelope(s, x + 12, y + 13 + dy, 16, kIvory, kOutline, false);
  Heart(s, x + 12, y + 15 + dy, (f % 3 == 1) ? 8 : 6, kRose);
  if (f == 2 || f == 3) Sparkle(s, x + 20, y + 5, 3, kLemon);
  OutlineOnKey(s, x, y, 24, 24, kOutline);
}

}  // namespace

bool BuildPartsSheet(const fs::path& misc) {
  CDibSurface s;
  s.Create(640, 480);
  FillRect(s, 0, 0, 640, 480, kCream);
  // The menu panel.
  VGradient(s, 0, 0, 90, 480, kPinkLight, kLavenderLight, 8);
  FillRect(s, 89, 0, 1, 480, kOutline);
  for (int y = 96; y < 480; y += 93) {
    FillRect(s, 12, y - 2, 66, 1, Mix(kPink, kWhite, 1, 3));
  }
  // The panel's right edge, which closes the menu: a plain border with small arrows pointing
  // back; under the mouse it takes the edge tab's look.
  FillRect(s, 90, 0, 6, 480, kLavender);
  FillRect(s, 95, 0, 1, 480, kOutline);
  for (int y = 40; y < 480; y += 80) IconTriangle(s, 92, y, 4, 3, kLavenderDeep);
  EdgeStrip(s, 152, false);
  EdgeStrip(s, 158, true);
  const char* labels[5] = {"セーブ", "ロード", "設定", "タイトル", "終了"};
  const Color bases[5] = {kPink, kSky, kMint, kLemon, kLavender};
  void (*icons[5])(CDibSurface&, int, int, Color) = {IconSave, IconLoad, IconGear, IconHome, IconDoor};
  std::vector<FaceSet> buttons;
  for (int r = 0; r < 5; ++r) {
    buttons.push_back({5, 13 + 93 * r, 80, 80, 176 + 80 * r, 0, 176 + 80 * r, 80, 176 + 80 * r, 80,
                       LabelButton(labels[r], bases[r], 14, 14, icons[r])});
  }
  // Only the panel lies in the top-left area: the faces' backgrounds are copied from it.
  PlaceFaces(s, buttons);
  // The click cursor's frames (frame 4 of the animation reuses the first).
  FillRect(s, 576, 0, 64, 480, kKey);
  for (int f = 0; f < 6; ++f) CursorFrame(s, 576, 24 * f, f);
  return WritePicture(misc / "heya256.bmp", s);
}

}  // namespace databuild::pic

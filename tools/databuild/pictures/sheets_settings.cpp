// "settei256": the settings screen (music, effect and text-speed gauges with their arrows, the
// two pairs of choices, the back button) with every face and gauge piece.
#include <algorithm>

#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/sheets.h"

namespace databuild::pic {
namespace {

// A gauge of `steps` segments with `lit` of them filled, in (x, y, w, h).
void Gauge(CDibSurface& s, int x, int y, int w, int h, int steps, int lit, Color on) {
  FillRect(s, x, y, w, h, kIvory);
  const int seg = w / steps;
  for (int i = 0; i < steps; ++i) {
    const int bh = 8 + (h - 12) * (i + 1) / steps;
    const int bx = x + i * seg + 1, by = y + h - 2 - bh;
    Panel(s, bx, by, seg - 2, bh, 2, i < lit ? Mix(on, kRoseDeep, i, steps * 2) : kPinkLight, i < lit ? kOutline : kGrey);
  }
}

FaceDraw Arrow(int dir) {
  return RoundButton("", kLavender, 16, [dir](CDibSurface& c, int cx, int cy, Color ink) {
    IconTriangle(c, cx + (dir == 1 ? 1 : 0), cy, 12, dir, ink);
  });
}

// The shared inactive arrow: a plain greyed disc (it stands for both directions).
FaceDraw ArrowOff(int dir) {
  return [dir](CDibSurface& s, int x, int y, int w, int h, Look look) {
    Arrow(dir)(s, x, y, w, h, look);
    if (look == Look::kOff) {
      FillCircle(s, x + w / 2.0, y + h / 2.0, std::min(w, h) / 2.0 - 4, FillFor(kLavender, Look::kOff));
      FillCircle(s, x + w / 2.0, y + h / 2.0, 3, kGreyDeep);
    }
  };
}

}  // namespace

bool BuildSettingsSheet(const fs::path& misc) {
  CDibSurface s;
  s.Create(640, 720);
  ScreenBackdrop(s, kMint, kLavenderLight, 3);
  ScreenRibbon(s, 28, 24, "設定", kMintDeep);
  Panel(s, 150, 104, 360, 312, 16, kIvory, kOutline);
  const char* rows[] = {"ＢＧＭ音量", "効果音量", "文字の速さ"};
  for (int i = 0; i < 3; ++i) {
    Text(s, 166, 137 + 43 * i, rows[i], 16, kInk);
    Heart(s, 160, 145 + 43 * i, 6, kRose);
  }
  Text(s, 166, 270, "既読の選択肢", 16, kInk);
  Text(s, 166, 345, "画面の表示", 16, kInk);
  FillRect(s, 166, 255, 330, 1, kPinkLight);
  FillRect(s, 166, 330, 330, 1, kPinkLight);
  Gauge(s, 345, 129, 96, 32, 8, 0, kPink);
  Gauge(s, 345, 172, 96, 32, 8, 0, kPink);
  Gauge(s, 369, 215, 48, 32, 4, 0, kMint);

  std::vector<FaceSet> buttons = {
      {21, 382, 80, 80, 0, 480, 80, 480, 80, 480,
       RoundButton("戻る", kPeach, 16, [](CDibSurface& c, int cx, int cy, Color ink) {
         Line(c, cx - 10, cy - 2, cx + 8, cy - 2, 3, ink);
         IconTriangle(c, cx - 10, cy - 2, 10, 3, ink);
       })},
      {311, 129, 32, 32, 160, 480, 192, 480, 192, 544, ArrowOff(3)},
      {442, 129, 32, 32, 160, 512, 192, 512, 192, 544, ArrowOff(1)},
      {311, 172, 32, 32, 160, 480, 192, 480, 192, 544, ArrowOff(3)},
      {442, 172, 32, 32, 160, 512, 192, 512, 192, 544, ArrowOff(1)},
      {311, 215, 48, 32, 0, 560, 48, 560, 464, 560, LabelButton("遅く", kMint, 14, 8)},
      {429, 215, 48, 32, 96, 560, 144, 560, 464, 560, LabelButton("速く", kMint, 14, 8)},
      {296, 262, 192, 32, 0, 656, 192, 656, 384, 656, ChoiceButton("色をつける", kPinkLight)},
      {296, 294, 192, 32, 0, 688, 192, 688, 384, 688, ChoiceButton("色をつけない", kPinkLight)},
      {296, 337, 192, 32, 0, 592, 192, 592, 384, 592, ChoiceButton("フルスクリーン", kLavenderLight)},
      {296, 369, 192, 32, 0, 624, 192, 624, 384, 624, ChoiceButton("ウィンドウ", kLavenderLight)},
  };
  PlaceFaces(s, buttons);
  // The inactive text-speed arrow is shared by both: a plain greyed button without a word.
  {
    CopyRect(s, 464, 560, s, 311, 215, 48, 32);
    LabelButton("", kMint, 14, 8)(s, 464, 560, 48, 32, Look::kOff);
    FillRect(s, 482, 575, 12, 2, kGreyDeep);
  }
  // Gauge pieces: music and effects levels 1..8, text speed 1..4.
  for (int v = 1; v <= 8; ++v) Gauge(s, 224 + 96 * ((v - 1) % 4), 480 + 32 * ((v - 1) / 4), 96, 32, 8, v, kPink);
  for (int v = 1; v <= 4; ++v) Gauge(s, 224 + 48 * (v - 1), 544, 48, 32, 4, v, kMint);
  return WritePicture(misc / "settei256.bmp", s);
}

}  // namespace databuild::pic

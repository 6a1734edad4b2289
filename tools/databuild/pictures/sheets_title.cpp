// "title256": the title screen with its four buttons (new game, load, settings, extras).
#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/sheets.h"

namespace databuild::pic {

bool BuildTitleSheet(const fs::path& misc) {
  CDibSurface s;
  s.Create(640, 576);
  ScreenBackdrop(s, kLavenderLight, kPeach, 1);
  // A little house under a crescent moon, hearts drifting up from its chimney.
  FillCircle(s, 520, 92, 34, kLemon);
  FillCircle(s, 536, 82, 30, Mix(kLavenderLight, kPeach, 1, 12));
  Panel(s, 444, 150, 150, 86, 4, kIvory, kOutline);
  FillPolygon(s, {{432, 154}, {519, 96}, {606, 154}}, kOutline);
  FillPolygon(s, {{440, 151}, {519, 100}, {598, 151}}, kRose);
  Panel(s, 466, 172, 40, 34, 3, kLemon, kOutline);
  FillRect(s, 485, 172, 1, 34, kOutline);
  Panel(s, 536, 180, 30, 56, 3, kPeach, kOutline);
  Panel(s, 560, 104, 14, 34, 2, kRoseDeep, kOutline);
  Heart(s, 571, 90, 10, kPink);
  Heart(s, 580, 70, 8, kPinkLight);
  FillRect(s, 0, 236, 640, 244, kMint);
  VGradient(s, 0, 236, 640, 244, kMint, Mix(kMint, kPeach, 1, 2), 6);
  for (int i = 0; i < 14; ++i) {
    const int x = 20 + i * 46;
    FillCircle(s, x, 244 + (i % 2) * 6, 18, Mix(kMint, kMintDeep, 1, 3));
  }
  // The title.
  const std::string title = "Velmora";
  const int tw = TextWidth(title, 56);
  Text(s, (640 - tw) / 2 - 60 + 3, 86 + 3, title, 56, kRose);
  Text(s, (640 - tw) / 2 - 60, 86, title, 56, kRoseDeep);
  Text(s, (640 - tw) / 2 - 60 + 1, 86, title, 56, kRoseDeep);
  TextCentred(s, 60, 150, 340, 20, "― ３１日間のおてがみ ―", 16, kInk);
  // The panel the buttons stand on.
  Panel(s, 214, 250, 208, 134, 14, kIvory, kOutline);
  FillRect(s, 0, 456, 640, 24, Mix(kMint, kPeach, 1, 2));
  TextCentred(s, 0, 458, 640, 16, "(C) 2026 Velmora sample data", 14, kGreyDeep);

  const Color bases[4] = {kPink, kPeach, kLavender, kMint};
  const char* labels[4] = {"はじめから", "つづきから", "設定", "おまけ"};
  std::vector<FaceSet> buttons;
  for (int r = 0; r < 4; ++r) {
    FaceSet b{234, 260 + 30 * r, 168, 24, 0, 480 + 24 * r, 168, 480 + 24 * r, 168, 480 + 24 * r,
              LabelButton(labels[r], bases[r], 16, 10)};
    if (r == 3) b.ox = 336, b.oy = 480;
    buttons.push_back(b);
  }
  PlaceFaces(s, buttons);
  return WritePicture(misc / "title256.bmp", s);
}

}  // namespace databuild::pic

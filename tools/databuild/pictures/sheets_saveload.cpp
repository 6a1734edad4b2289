// "load256" and "save256": the twin slot screens (ten slot rows, the prompt band, the load or
// save button and the back button) with their faces and the hover and selection bars.
#include <cstdio>

#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/sheets.h"

namespace databuild::pic {
namespace {

bool BuildSlotSheet(const fs::path& file, bool save) {
  CDibSurface s;
  s.Create(640, 608);
  const Color accent = save ? kPeach : kSky;
  ScreenBackdrop(s, save ? kPinkLight : kLavenderLight, save ? kPeach : kSky, save ? 4u : 5u);
  ScreenRibbon(s, 28, 24, save ? "セーブ" : "ロード", save ? kRose : kLavenderDeep);
  // The prompt band: white text is written on it.
  Panel(s, 156, 40, 338, 28, 12, save ? kRoseDeep : kLavenderDeep, kOutline);
  // The slot list.
  Panel(s, 138, 92, 338, 276, 14, kIvory, kOutline);
  for (int n = 0; n < 10; ++n) {
    const int y = 103 + 26 * n;
    FillRect(s, 180, y, 280, 24, kCream);
    FillRect(s, 180, y + 24, 280, 1, kPinkLight);
    char num[16];
    std::snprintf(num, sizeof num, "%02d", n + 1);
    Panel(s, 148, y + 2, 26, 20, 6, accent, kOutline);
    TextCentred(s, 148, y + 3, 26, 18, num, 14, kInk);
  }
  const std::string verb = save ? "セーブ" : "ロード";
  std::vector<FaceSet> buttons = {
      {270, 369, 104, 104, 0, 480, 104, 480, 416, 480,
       RoundButton(verb, save ? kRose : kLavender, 16, [save](CDibSurface& c, int cx, int cy, Color ink) {
         // A floppy-like notebook: a card with a heart.
         Panel(c, cx - 16, cy - 16, 32, 28, 4, kIvory, ink);
         FillRect(c, cx - 10, cy - 16, 20, 8, ink);
         Heart(c, cx, cy + 3, 12, save ? kRoseDeep : kLavenderDeep);
       })},
      {21, 382, 80, 80, 208, 480, 288, 480, 288, 480,
       RoundButton("戻る", kPeach, 16, [](CDibSurface& c, int cx, int cy, Color ink) {
         Line(c, cx - 10, cy - 2, cx + 8, cy - 2, 3, ink);
         IconTriangle(c, cx - 10, cy - 2, 10, 3, ink);
       })},
  };
  PlaceFaces(s, buttons);
  // The hover bar and the selection bar (text is written over them).
  Panel(s, 0, 584, 280, 24, 8, kPinkLight, kRose);
  Panel(s, 280, 584, 280, 24, 8, save ? kPeach : kLavender, kRoseDeep, 2);
  Heart(s, 287, 596, 8, kRoseDeep);
  return WritePicture(file, s);
}

}  // namespace

bool BuildSaveLoadSheets(const fs::path& misc) {
  const bool load = BuildSlotSheet(misc / "load256.bmp", false);
  const bool save = BuildSlotSheet(misc / "save256.bmp", true);
  return load && save;
}

}  // namespace databuild::pic

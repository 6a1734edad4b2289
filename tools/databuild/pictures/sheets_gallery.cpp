// "omake256" (the extras gallery) and "player256" (the media player): the same layout with
// their own colours — tabs, the content frame, the list display, play / rewind / stop, list
// arrows, the room button, the volume control — with every face, the four mode captions and
// the five volume marks.
#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/sheets.h"

namespace databuild::pic {
namespace {

// A tab: the inactive look is the current tab, shown raised and filled.
FaceDraw Tab(const std::string& label, Color base) {
  return [=](CDibSurface& s, int x, int y, int w, int h, Look look) {
    const bool current = look == Look::kOff;
    const Color fill = current ? kRose : FillFor(base, look);
    const int shift = look == Look::kPressed ? 1 : 0;
    if (look != Look::kPressed) FillRoundRect(s, x + 3, y + 4, w - 4, h - 6, 12, Mix(base, kOutline, 2, 5));
    Panel(s, x + 1 + shift, y + 2 + shift, w - 4, h - 6, 12, fill, current ? kRoseDeep : (look == Look::kHover ? kRoseDeep : kOutline),
          look == Look::kHover || current ? 2 : 1);
    Heart(s, x + 16 + shift, y + h / 2 + shift, 10, current ? kWhite : kRose);
    TextCentred(s, x + 22 + shift, y + 1 + shift, w - 28, h - 6, label, 16, current ? kWhite : InkFor(look),
                look == Look::kHover || current);
  };
}

void Play(CDibSurface& c, int cx, int cy, Color ink) { IconTriangle(c, cx + 3, cy, 24, 1, ink); }
void Rewind(CDibSurface& c, int cx, int cy, Color ink) {
  FillRect(c, cx - 9, cy - 7, 3, 15, ink);
  IconTriangle(c, cx + 1, cy, 14, 3, ink);
  IconTriangle(c, cx + 8, cy, 14, 3, ink);
}
void Stop(CDibSurface& c, int cx, int cy, Color ink) { FillRect(c, cx - 7, cy - 7, 15, 15, ink); }
void Pause(CDibSurface& c, int cx, int cy, Color ink) {
  FillRect(c, cx - 7, cy - 7, 5, 15, ink);
  FillRect(c, cx + 3, cy - 7, 5, 15, ink);
}

// The volume mark for level 1..5 (0: empty steps only), 48 × 32.
void VolumeMark(CDibSurface& s, int x, int y, int level, Color panel) {
  FillRect(s, x, y, 48, 32, panel);
  for (int i = 0; i < 5; ++i) {
    const int bh = 6 + 4 * i, bx = x + 3 + 9 * i, by = y + 27 - bh;
    Panel(s, bx, by, 7, bh, 1, i < level ? Mix(kMintDeep, kRoseDeep, i, 4) : kIvory, i < level ? kOutline : kGrey);
  }
}

bool BuildGallerySheet(const fs::path& file, bool player) {
  CDibSurface s;
  s.Create(640, 816);
  const Color panel = player ? kPinkLight : kLavenderLight;
  ScreenBackdrop(s, player ? kPeach : kLavender, player ? kPinkLight : kSky, player ? 6u : 7u);
  ScreenRibbon(s, 20, 14, player ? "アルバム" : "おまけ", player ? kRose : kLavenderDeep);
  FillRect(s, 0, 0, 640, 2, kOutline);
  // The content frame (pictures are shown at (71, 115), 320 × 240) and its caption plate.
  Panel(s, 58, 70, 346, 296, 14, panel, kOutline);
  Panel(s, 170, 75, 120, 36, 8, kIvory, kOutline);
  FillRect(s, 174, 77, 112, 32, kIvory);
  Panel(s, 67, 111, 328, 248, 4, kIvory, kOutline);
  FillRect(s, 71, 115, 320, 240, kCream);
  TextCentred(s, 71, 115, 320, 240, "", 16, kInk);
  // The list display: lime text on a dark screen.
  Panel(s, 118, 362, 204, 60, 8, kNavy, kOutline, 2);
  FillRect(s, 128, 368, 184, 48, kNavy);
  // The lower shelf: room button, volume.
  Panel(s, 190, 420, 290, 52, 14, panel, kOutline);
  Text(s, 268, 424, "音量", 14, kInk);
  VolumeMark(s, 386, 436, 0, panel);
  // The player's deck.
  FillCircle(s, 540, 372, 74, Mix(panel, kWhite, 1, 3));
  FillCircle(s, 540, 372, 74 - 2, Mix(panel, kWhite, 1, 3));

  std::vector<FaceSet> buttons = {
      {585, 6, 16, 16, 560, 496, 560, 512, 560, 512, WindowBarButton(0)},
      {601, 6, 16, 16, 576, 496, 576, 512, 576, 512, WindowBarButton(1)},
      {619, 6, 16, 16, 592, 496, 592, 512, 592, 512, WindowBarButton(2)},
      {17, 405, 64, 64, 64, 672, 128, 672, 192, 672,
       RoundButton("戻る", kPeach, 14, [](CDibSurface& c, int cx, int cy, Color ink) {
         Line(c, cx - 8, cy, cx + 7, cy, 3, ink);
         IconTriangle(c, cx - 8, cy, 8, 3, ink);
       })},
      {420, 45, 112, 48, 112, 528, 112, 576, 112, 624, Tab("フォト", kPink)},
      {453, 101, 112, 48, 224, 528, 224, 576, 224, 624, Tab("ラジオ", kPeach)},
      {466, 157, 112, 48, 336, 528, 336, 576, 336, 624, Tab("ムービー", kMint)},
      {490, 213, 112, 48, 448, 528, 448, 576, 448, 624, Tab("ルーム", kLavender)},
      {469, 313, 72, 72, 72, 736, 144, 736, 0, 736, RoundButton("", kPink, 16, Play)},
      {556, 365, 48, 48, 304, 672, 352, 672, 256, 672, RoundButton("", kMint, 16, Pause), false},
      {512, 394, 48, 48, 304, 720, 352, 720, 256, 720, RoundButton("", kMint, 16, Rewind)},
      {551, 347, 48, 48, 304, 768, 352, 768, 256, 768, RoundButton("", kMint, 16, Stop)},
      {334, 369, 24, 24, 424, 672, 448, 672, 472, 672, RoundButton("", kLavender, 16,
       [](CDibSurface& c, int cx, int cy, Color ink) { IconTriangle(c, cx, cy, 10, 0, ink); })},
      {334, 395, 24, 24, 424, 696, 448, 696, 472, 696, RoundButton("", kLavender, 16,
       [](CDibSurface& c, int cx, int cy, Color ink) { IconTriangle(c, cx, cy + 1, 10, 2, ink); })},
      {201, 425, 56, 32, 496, 704, 496, 736, 496, 672, LabelButton("使う", kMint, 14, 8)},
      {348, 436, 32, 32, 400, 720, 432, 720, 464, 720, RoundButton("", kLavender, 16,
       [](CDibSurface& c, int cx, int cy, Color ink) { FillRect(c, cx - 6, cy - 1, 13, 3, ink); })},
      {439, 436, 32, 32, 400, 752, 432, 752, 464, 752, RoundButton("", kLavender, 16,
       [](CDibSurface& c, int cx, int cy, Color ink) {
         FillRect(c, cx - 6, cy - 1, 13, 3, ink);
         FillRect(c, cx - 1, cy - 6, 3, 13, ink);
       })},
  };
  PlaceFaces(s, buttons);
  // The mode captions, on the caption plate's colour.
  const char* captions[4] = {"フォト", "ラジオ", "ムービー", "ルーム"};
  for (int m = 0; m < 4; ++m) {
    FillRect(s, 0, 512 + 32 * m, 112, 32, kIvory);
    Heart(s, 12, 512 + 32 * m + 16, 10, kRose);
    TextCentred(s, 18, 512 + 32 * m, 94, 32, captions[m], 16, kRoseDeep, true);
  }
  for (int v = 1; v <= 5; ++v) VolumeMark(s, 560, 528 + 32 * (v - 1), v, panel);
  return WritePicture(file, s);
}

}  // namespace

bool BuildGallerySheets(const fs::path& misc) {
  const bool omake = BuildGallerySheet(misc / "omake256.bmp", false);
  const bool player = BuildGallerySheet(misc / "player256.bmp", true);
  return omake && player;
}

}  // namespace databuild::pic

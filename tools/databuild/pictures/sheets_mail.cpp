// "mail256": the mail screen (list of received mails, the reading paper, page, continue,
// attachment and voice buttons) with its faces and the list's attachment and read marks.
#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/sheets.h"

namespace databuild::pic {
namespace {

FaceDraw ArrowButton(int dir) {
  return [dir](CDibSurface& s, int x, int y, int w, int h, Look look) {
    Panel(s, x + 1, y + 1, w - 2, h - 2, 3, FillFor(kLavender, look), look == Look::kHover ? kRoseDeep : kOutline);
    IconTriangle(s, x + w / 2, y + h / 2, w / 2, dir, InkFor(look));
  };
}

}  // namespace

bool BuildMailSheet(const fs::path& misc) {
  CDibSurface s;
  s.Create(640, 632);
  ScreenBackdrop(s, kPinkLight, kLavenderLight, 2);
  // The window bar.
  FillRect(s, 0, 0, 640, 24, kRose);
  FillRect(s, 0, 24, 640, 1, kOutline);
  IconEnvelope(s, 22, 12, 18, kIvory, kOutline, false);
  TextBold(s, 40, 4, "メール", 16, kWhite);
  // The list of mails.
  Panel(s, 44, 34, 578, 140, 12, kIvory, kOutline);
  Text(s, 124, 52, "差出人", 14, kInk);
  Text(s, 208, 52, "件名", 14, kInk);
  Text(s, 488, 52, "日付", 14, kInk);
  FillRect(s, 64, 69, 512, 1, kRose);
  FillRect(s, 64, 72, 512, 90, kCream);
  for (int k = 0; k < 5; ++k) FillRect(s, 64, 72 + 18 * k + 17, 512, 1, kPinkLight);
  FillRect(s, 583, 72, 18, 90, kLavenderLight);
  // The reading paper.
  Panel(s, 56, 186, 530, 224, 10, kIvory, kOutline);
  Text(s, 66, 203, "件名：", 16, kRoseDeep);
  FillRect(s, 64, 224, 514, 1, kRose);
  for (int line = 0; line < 7; ++line) FillRect(s, 64, 240 + 24 * line + 19, 514, 1, kPinkLight);
  Heart(s, 570, 206, 10, kPink);
  // The bottom shelf the buttons stand on.
  FillRoundRect(s, 10, 414, 620, 62, 12, Mix(kLavenderLight, kLavender, 1, 2));

  std::vector<FaceSet> buttons = {
      {585, 4, 16, 16, 512, 496, 512, 512, 512, 512, WindowBarButton(0)},
      {601, 4, 16, 16, 528, 496, 528, 512, 528, 512, WindowBarButton(1)},
      {619, 4, 16, 16, 544, 496, 544, 512, 544, 512, WindowBarButton(2)},
      {584, 99, 16, 16, 48, 480, 64, 480, 80, 480, ArrowButton(0)},
      {584, 119, 16, 16, 48, 496, 64, 496, 80, 496, ArrowButton(2)},
      {68, 410, 64, 64, 64, 512, 128, 512, 192, 512,
       RoundButton("次へ", kPink, 14, [](CDibSurface& c, int cx, int cy, Color ink) { IconTriangle(c, cx, cy, 16, 1, ink); })},
      {143, 410, 64, 64, 320, 512, 384, 512, 448, 512,
       RoundButton("添付", kMint, 14, [](CDibSurface& c, int cx, int cy, Color ink) {
         FrameRect(c, cx - 4, cy - 8, 9, 16, ink);
         FrameRect(c, cx - 2, cy - 6, 5, 11, ink);
       })},
      {444, 414, 64, 56, 64, 576, 128, 576, 192, 576, LabelButton("次の頁", kPeach, 14, 10,
       [](CDibSurface& c, int cx, int cy, Color ink) { IconTriangle(c, cx, cy, 14, 1, ink); })},
      {514, 409, 64, 56, 320, 576, 384, 576, 448, 576, LabelButton("前の頁", kPeach, 14, 10,
       [](CDibSurface& c, int cx, int cy, Color ink) { IconTriangle(c, cx, cy, 14, 3, ink); })},
      {18, 231, 40, 48, 552, 528, 512, 576, 512, 528, LabelButton("声", kLavender, 14, 8,
       [](CDibSurface& c, int cx, int cy, Color ink) { IconSpeaker(c, cx, cy, ink); })},
  };
  PlaceFaces(s, buttons);

  // The list's marks, on the list's own colour: attachment not opened / opened, not read / read.
  FillRect(s, 0, 480, 32, 32, kCream);
  FillRect(s, 4, 482, 8, 12, kRoseDeep);
  FillRect(s, 5, 483, 6, 10, kPink);
  FillRect(s, 7, 485, 2, 6, kRoseDeep);
  Heart(s, 12, 484, 6, kRose);
  FillRect(s, 4, 498, 8, 12, kGreyDeep);
  FillRect(s, 5, 499, 6, 10, kGrey);
  FillRect(s, 7, 501, 2, 6, kGreyDeep);
  IconEnvelope(s, 24, 489, 14, kLemon, kRoseDeep, false);
  IconEnvelope(s, 24, 506, 14, kIvory, kGreyDeep, true);
  return WritePicture(misc / "mail256.bmp", s);
}

}  // namespace databuild::pic

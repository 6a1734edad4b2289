// The gallery's and the player's own content pictures (320 × 240): "pdammy", shown for an item
// not yet received, and "radio", shown while a broadcast is selected.
#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/sheets.h"

namespace databuild::pic {

bool BuildGalleryPictures(const fs::path& misc) {
  CDibSurface dummy;
  dummy.Create(320, 240);
  FillRect(dummy, 0, 0, 320, 240, kLavenderLight);
  for (int y = 0; y < 240; y += 20)
    for (int x = (y / 20) % 2 * 20; x < 320; x += 40) FillRect(dummy, x, y, 20, 20, kCream);
  Panel(dummy, 70, 60, 180, 120, 16, kIvory, kOutline, 2);
  IconEnvelope(dummy, 160, 100, 48, kPinkLight, kLavenderDeep, false);
  Text(dummy, 152, 80, "？", 16, kLavenderDeep);
  TextCentred(dummy, 70, 134, 180, 20, "まだ届いていません", 16, kInk);
  TextCentred(dummy, 70, 154, 180, 18, "NO DATA", 14, kGreyDeep);
  bool ok = WritePicture(misc / "pdammy.bmp", dummy);

  CDibSurface radio;
  radio.Create(320, 240);
  VGradient(radio, 0, 0, 320, 240, kMint, kSky, 6);
  for (int i = 0; i < 5; ++i) Heart(radio, 30 + 64 * i, 24 + (i % 2) * 10, 10, kWhite);
  Line(radio, 228, 84, 262, 30, 3, kGreyDeep);
  FillCircle(radio, 262, 30, 4, kRose);
  Panel(radio, 56, 84, 208, 120, 20, kPinkLight, kOutline, 2);
  FillCircle(radio, 110, 150, 34, kRose);
  FillCircle(radio, 110, 150, 26, kRoseDeep);
  for (int i = 0; i < 5; ++i) FillRect(radio, 92 + 8 * i, 128, 2, 44, kRose);
  Panel(radio, 160, 106, 88, 30, 6, kNavy, kOutline);
  TextCentred(radio, 160, 106, 88, 30, "88.3MHz", 14, Color{200, 255, 32});
  Disc(radio, 178, 168, 10, kLemon, kOutline);
  Disc(radio, 226, 168, 10, kLavender, kOutline);
  Text(radio, 30, 200, "♪", 16, kRoseDeep);
  Text(radio, 274, 120, "♪", 16, kRoseDeep);
  TextCentred(radio, 0, 212, 320, 20, "ＲＡＤＩＯ", 16, kInk, true);
  ok = WritePicture(misc / "radio.bmp", radio) && ok;
  return ok;
}

}  // namespace databuild::pic

// The five room styles: day and night pictures (the room on top, the mail and radio icon faces
// below row 480 on the key colour) and the gallery's thumbnails.
#include <string>

#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/sheets.h"

namespace databuild::pic {
namespace {

struct RoomLook {
  const char* folder;
  const char* day;
  const char* night;
  const char* thumb;
  const char* name;  // the room's name as the game shows it
  int mailX, mailY, radioX, radioY;
  Color wall, wallPattern, floor, floorLine, rug;
};

const RoomLook kRooms[5] = {
    {"room/nom/", "normal_d", "normal_n", "room_s/s_n", "ＡＫＡＲＩの部屋", 264, 139, 87, 169, Color{255, 236, 226},
     Color{255, 220, 214}, Color{226, 196, 160}, Color{204, 172, 136}, kPink},
    {"room/zaz/", "papel_d", "papel_n", "room_s/s_z", "ＲＯＣＫＥＲルーム", 263, 149, 85, 160, Color{206, 196, 226},
     Color{178, 166, 206}, Color{150, 130, 150}, Color{128, 110, 130}, Color{120, 96, 150}},
    {"room/ham/", "hamster_d", "hamster_n", "room_s/s_h", "ハムスターＫＯＹＡ", 249, 134, 80, 155, Color{255, 244, 204},
     Color{250, 226, 170}, Color{230, 200, 150}, Color{206, 176, 126}, Color{255, 214, 150}},
    {"room/poo/", "poor_d", "poor_n", "room_s/s_p", "ＫＡＮＤＡＧＡＷＡ", 232, 150, 79, 169, Color{236, 226, 206},
     Color{222, 210, 186}, Color{214, 206, 150}, Color{186, 178, 120}, Color{200, 180, 150}},
    {"room/pri/", "prince_d", "prince_n", "room_s/s_o", "ＯｎｅＲｏｏｍ宮殿", 229, 138, 67, 124, Color{236, 226, 250},
     Color{255, 236, 170}, Color{210, 170, 190}, Color{186, 146, 166}, Color{200, 90, 120}},
};

void Window(CDibSurface& s, int x, int y, int w, int h, bool night, unsigned seed) {
  Panel(s, x - 6, y - 6, w + 12, h + 12, 4, kIvory, kOutline);
  if (night) {
    VGradient(s, x, y, w, h, Color{40, 44, 96}, Color{90, 80, 140}, 5);
    Rng rng(seed);
    for (int i = 0; i < 12; ++i) FillRect(s, x + rng.Range(4, w - 6), y + rng.Range(4, h - 6), 2, 2, kLemon);
    FillCircle(s, x + w - 26, y + 26, 13, kLemon);
    FillCircle(s, x + w - 20, y + 21, 11, Color{52, 54, 106});
  } else {
    VGradient(s, x, y, w, h, kSky, Color{232, 244, 255}, 4);
    FillEllipse(s, x + w / 3, y + h / 3, 22, 9, kWhite);
    FillEllipse(s, x + w / 3 + 16, y + h / 3 - 6, 14, 9, kWhite);
    FillEllipse(s, x + w - 30, y + h - 34, 18, 7, kWhite);
  }
  FillRect(s, x + w / 2 - 2, y, 4, h, kIvory);
  FillRect(s, x, y + h / 2 - 2, w, 4, kIvory);
  // Curtains.
  FillPolygon(s, {{x - 14, y - 10}, {x + 14, y - 10}, {x + 4, y + h + 14}, {x - 16, y + h + 14}}, kPink);
  FillPolygon(s, {{x + w - 14, y - 10}, {x + w + 14, y - 10}, {x + w + 16, y + h + 14}, {x + w - 4, y + h + 14}}, kPink);
  FillRect(s, x - 20, y - 14, w + 40, 5, kRoseDeep);
}

// The desk with the computer where mails arrive: the screen fills the mail icon's square.
void Desk(CDibSurface& s, int mx, int my) {
  Panel(s, mx - 26, my + 60, 116, 10, 2, Color{214, 170, 130}, kOutline);
  FillRect(s, mx - 20, my + 70, 8, 46, Color{190, 146, 110});
  FillRect(s, mx + 76, my + 70, 8, 46, Color{190, 146, 110});
  FillRect(s, mx - 12, my + 74, 88, 4, Color{190, 146, 110});
  Panel(s, mx + 6, my + 8, 52, 40, 4, kNavy, kOutline);
  FillRect(s, mx + 10, my + 12, 44, 31, kSky);
  FillRect(s, mx + 28, my + 48, 8, 8, kGreyDeep);
  FillRect(s, mx + 18, my + 55, 28, 4, kGreyDeep);
  Panel(s, mx + 62, my + 44, 14, 16, 3, kLemon, kOutline);  // a mug
}

// The shelf with the radio: the radio fills the radio icon's square.
void RadioShelf(CDibSurface& s, int rx, int ry) {
  Panel(s, rx - 6, ry + 58, 76, 8, 2, Color{214, 170, 130}, kOutline);
  FillRect(s, rx, ry + 66, 6, 12, Color{190, 146, 110});
  FillRect(s, rx + 58, ry + 66, 6, 12, Color{190, 146, 110});
  Line(s, rx + 44, ry + 22, rx + 56, ry + 4, 2, kGreyDeep);
  Panel(s, rx + 8, ry + 22, 48, 36, 6, kMint, kOutline);
  FillCircle(s, rx + 22, ry + 40, 9, kMintDeep);
  for (int i = 0; i < 3; ++i) FillRect(s, rx + 16 + 4 * i, ry + 33, 1, 14, kMint);
  FillRect(s, rx + 36, ry + 30, 14, 6, kIvory);
  FillCircle(s, rx + 43, ry + 46, 4, kRose);
}

void Bed(CDibSurface& s, int x, int y, Color cover) {
  Panel(s, x, y, 150, 20, 4, Color{214, 170, 130}, kOutline);
  Panel(s, x, y - 60, 16, 80, 4, Color{214, 170, 130}, kOutline);
  Panel(s, x + 12, y - 16, 136, 22, 8, cover, kOutline);
  Panel(s, x + 18, y - 30, 34, 18, 8, kIvory, kOutline);
}

void Plant(CDibSurface& s, int x, int y) {
  Panel(s, x - 12, y - 20, 24, 22, 4, Color{230, 160, 130}, kOutline);
  for (int k = -2; k <= 2; ++k) FillEllipse(s, x + k * 7, y - 30 - (2 - (k < 0 ? -k : k)) * 8, 7, 12, kMintDeep);
}

void Frame(CDibSurface& s, int x, int y, int w, int h, Color inner) {
  Panel(s, x, y, w, h, 2, Color{220, 180, 100}, kOutline, 2);
  FillRect(s, x + 5, y + 5, w - 10, h - 10, inner);
  Heart(s, x + w / 2, y + h / 2, 12, kRose);
}

// The room's furniture and decoration, by style.
void Decorate(CDibSurface& s, int style, bool night) {
  const RoomLook& r = kRooms[style];
  switch (style) {
    case 0:
      Window(s, 420, 44, 140, 110, night, 10);
      Bed(s, 470, 290, kPink);
      Plant(s, 600, 250);
      Frame(s, 170, 60, 50, 40, kLavenderLight);
      break;
    case 1:
      Window(s, 430, 40, 120, 100, night, 11);
      // Posters, an amplifier and a guitar on its stand.
      Panel(s, 150, 40, 70, 90, 2, Color{120, 96, 150}, kOutline);
      TextCentred(s, 150, 60, 70, 20, "ROCK", 16, kLemon, true);
      Sparkle(s, 185, 102, 10, kPink);
      Panel(s, 360, 40, 50, 64, 2, kNavy, kOutline);
      Heart(s, 385, 72, 24, kRose);
      Panel(s, 560, 190, 60, 70, 6, Color{70, 60, 90}, kOutline);
      FillCircle(s, 590, 225, 20, Color{110, 100, 130});
      FillCircle(s, 590, 225, 10, Color{70, 60, 90});
      Bed(s, 470, 330, Color{150, 120, 190});
      break;
    case 2:
      Window(s, 420, 40, 130, 104, night, 12);
      // The hamster's cage and a sunflower.
      Panel(s, 540, 176, 80, 70, 6, kIvory, kOutline);
      for (int i = 0; i < 8; ++i) FillRect(s, 546 + 10 * i, 180, 1, 62, kGreyDeep);
      FillRect(s, 540, 236, 80, 10, kPeach);
      Plant(s, 170, 240);
      FillCircle(s, 170, 176, 14, Color{255, 210, 80});
      FillCircle(s, 170, 176, 6, Color{150, 100, 60});
      Bed(s, 470, 300, Color{255, 214, 150});
      break;
    case 3:
      Window(s, 400, 50, 110, 90, night, 13);
      // Tatami lines and a paper lantern.
      for (int x = 0; x < 640; x += 100) FillRect(s, x, 250, 2, 230, r.floorLine);
      FillRect(s, 0, 360, 640, 2, r.floorLine);
      Line(s, 570, 0, 570, 60, 1, kOutline);
      FillEllipse(s, 570, 80, 18, 22, kIvory);
      FillRect(s, 556, 58, 28, 4, kOutline);
      FillRect(s, 556, 98, 28, 4, kOutline);
      Panel(s, 520, 200, 100, 60, 4, Color{200, 180, 150}, kOutline);
      FillRect(s, 570, 200, 1, 60, kOutline);
      break;
    default:
      Window(s, 430, 30, 120, 120, night, 14);
      // A chandelier, gold frames and a curtained bed.
      Line(s, 330, 0, 330, 30, 2, Color{200, 160, 60});
      FillEllipse(s, 330, 40, 40, 12, Color{240, 200, 90});
      for (int k = -3; k <= 3; ++k) FillCircle(s, 330 + 12 * k, 54, 4, kLemon);
      Frame(s, 150, 50, 60, 70, kSky);
      Frame(s, 590, 190, 40, 50, kPinkLight);
      Bed(s, 460, 320, Color{200, 180, 240});
      FillRect(s, 466, 196, 6, 124, Color{220, 180, 100});
      FillRect(s, 598, 196, 6, 124, Color{220, 180, 100});
      FillPolygon(s, {{455, 160}, {615, 160}, {600, 200}, {470, 200}}, Color{200, 90, 120});
      break;
  }
  // Every room has a rug in the middle of the floor.
  FillEllipse(s, 340, 360, 150, 50, Darker(r.rug, 10));
  FillEllipse(s, 340, 360, 140, 44, r.rug);
}

// The icon faces below row 480: the mail icon not yet active, lit, and the radio lit.
void IconFaces(CDibSurface& s) {
  FillRect(s, 0, 480, 640, s.Height() - 480, kKey);
  IconEnvelope(s, 32, 512, 36, kGrey, kGreyDeep, false);
  IconEnvelope(s, 32, 578, 40, kLemon, kRoseDeep, false);
  Heart(s, 32, 583, 12, kRose);
  Sparkle(s, 52, 556, 7, kPink);
  Sparkle(s, 12, 598, 5, kPink);
  // The radio's glow: notes around the set.
  Text(s, 66, 548, "♪", 16, kRoseDeep);
  Text(s, 106, 552, "♪", 16, kRoseDeep);
  Sparkle(s, 120, 584, 6, kLemon);
  FrameRect(s, 70, 564, 52, 40, kRose);
  FrameRect(s, 71, 565, 50, 38, kRose);
  OutlineOnKey(s, 0, 480, 128, 128, kOutline);
}

}  // namespace

void DrawRoom(CDibSurface& s, int style, bool night) {
  const RoomLook& r = kRooms[style];
  FillRect(s, 0, 0, 640, 250, r.wall);
  for (int x = 10; x < 640; x += 40) {
    if (style == 0 || style == 2) {
      for (int y = 16; y < 240; y += 36) Heart(s, x + ((y / 36) % 2) * 20, y, 8, r.wallPattern);
    } else {
      FillRect(s, x, 0, 12, 250, r.wallPattern);
    }
  }
  FillRect(s, 0, 250, 640, 230, r.floor);
  if (style != 3) {
    for (int y = 270; y < 480; y += 28) FillRect(s, 0, y, 640, 1, r.floorLine);
  }
  FillRect(s, 0, 244, 640, 8, Mix(r.floor, kOutline, 1, 3));
  Decorate(s, style, night);
  Desk(s, r.mailX, r.mailY);
  RadioShelf(s, r.radioX, r.radioY);
  if (night) {
    // Dim the room; the lamp and the computer's screen are drawn lit afterwards.
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        const Color c = Get(s, x, y);
        Put(s, x, y, Safe(Color{static_cast<std::uint8_t>(c.r * 55 / 100), static_cast<std::uint8_t>(c.g * 55 / 100),
                                static_cast<std::uint8_t>(c.b * 70 / 100)}));
      }
    }
    // A warm lamp beside the desk.
    const int lx = r.mailX - 40, ly = r.mailY + 20;
    FillCircle(s, lx, ly - 4, 26, Color{150, 120, 110});
    FillCircle(s, lx, ly - 4, 18, Color{190, 150, 120});
    FillPolygon(s, {{lx - 12, ly - 18}, {lx + 12, ly - 18}, {lx + 16, ly}, {lx - 16, ly}}, kLemon);
    FillRect(s, lx - 2, ly, 4, 40, kGreyDeep);
    FillRect(s, r.mailX + 10, r.mailY + 12, 44, 31, kSky);
  }
}

bool BuildRoomPictures(const fs::path& misc) {
  bool ok = true;
  for (int style = 0; style < 5; ++style) {
    const RoomLook& r = kRooms[style];
    for (int night = 0; night < 2; ++night) {
      CDibSurface s;
      s.Create(640, 608);
      DrawRoom(s, style, night != 0);
      IconFaces(s);
      ok = WritePicture(misc / (std::string(r.folder) + (night ? r.night : r.day) + ".bmp"), s) && ok;
    }
    // The thumbnail: the day picture at half size with the room's name on a ribbon.
    CDibSurface full, thumb;
    full.Create(640, 480);
    DrawRoom(full, style, false);
    thumb.Create(320, 240);
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x) Put(thumb, x, y, Get(full, 2 * x, 2 * y));
    Panel(thumb, 60, 200, 200, 28, 10, kRose, kOutline);
    TextCentred(thumb, 60, 200, 200, 28, r.name, 16, kWhite, true);
    ok = WritePicture(misc / (std::string(r.thumb) + ".bmp"), thumb) && ok;
  }
  return ok;
}

}  // namespace databuild::pic

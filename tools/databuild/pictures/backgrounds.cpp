// Scene pictures: the backgrounds the scene scripts show (BuildBackground, chosen by name), the
// three ending pictures, and the scenes that photos are made from.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "assets.h"
#include "pictures/bmp8_writer.h"
#include "pictures/sheets.h"

namespace databuild::pic {
namespace {

void Clouds(CDibSurface& s, Rng& rng, int count, int yMax, Color c) {
  for (int i = 0; i < count; ++i) {
    const int x = rng.Range(20, 620), y = rng.Range(30, yMax);
    const int w = rng.Range(30, 60);
    FillEllipse(s, x, y, w, w / 3, c);
    FillEllipse(s, x - w / 3, y - w / 5, w / 2, w / 3, c);
    FillEllipse(s, x + w / 3, y - w / 6, w / 2.5, w / 3.5, c);
  }
}

void Tree(CDibSurface& s, int x, int ground, int size, Color leaves) {
  FillRect(s, x - size / 8, ground - size, size / 4, size, Color{170, 120, 90});
  FillCircle(s, x, ground - size - size / 3, size * 0.55, Darker(leaves, 12));
  FillCircle(s, x - size / 4, ground - size - size / 4, size * 0.45, leaves);
  FillCircle(s, x + size / 4, ground - size - size / 2, size * 0.4, Mix(leaves, kWhite, 1, 4));
}

void House(CDibSurface& s, int x, int ground, int w, int h, Color wall, Color roof, bool lit) {
  Panel(s, x, ground - h, w, h, 2, wall, kOutline);
  FillPolygon(s, {{x - 8, ground - h + 2}, {x + w / 2, ground - h - w / 3}, {x + w + 8, ground - h + 2}}, roof);
  const Color glass = lit ? kLemon : kSky;
  for (int wy = ground - h + 14; wy < ground - 30; wy += 34)
    for (int wx = x + 12; wx + 18 < x + w - 8; wx += 30) Panel(s, wx, wy, 18, 20, 2, glass, kOutline);
  Panel(s, x + w / 2 - 10, ground - 30, 20, 30, 3, Darker(wall, 20), kOutline);
}

void Street(CDibSurface& s, unsigned v, bool night) {
  Rng rng(v);
  if (night) {
    VGradient(s, 0, 0, 640, 330, Color{40, 40, 90}, Color{110, 90, 150}, 8);
    for (int i = 0; i < 40; ++i) FillRect(s, rng.Range(0, 639), rng.Range(0, 250), 2, 2, kLemon);
    FillCircle(s, 540, 70, 26, kLemon);
  } else {
    VGradient(s, 0, 0, 640, 330, kSky, kLavenderLight, 8);
    Clouds(s, rng, 4, 150, kWhite);
  }
  const Color walls[5] = {kPeach, kPinkLight, kLavender, kLemon, kMint};
  int x = -20;
  while (x < 640) {
    const int w = rng.Range(90, 140), h = rng.Range(120, 200);
    House(s, x, 340, w, h, night ? Darker(walls[rng.Range(0, 4)], 40) : walls[rng.Range(0, 4)],
          night ? Darker(kRoseDeep, 30) : kRose, night);
    x += w + rng.Range(10, 26);
  }
  FillRect(s, 0, 340, 640, 40, night ? Color{110, 100, 120} : kGrey);
  FillRect(s, 0, 380, 640, 100, night ? Color{70, 66, 86} : Color{176, 170, 180});
  for (int i = 0; i < 8; ++i) FillRect(s, 20 + i * 80, 426, 40, 4, night ? kGreyDeep : kIvory);
  for (int lx = 60; lx < 640; lx += 220) {
    FillRect(s, lx, 250, 4, 92, kNavy);
    FillCircle(s, lx + 2, 248, 9, night ? kLemon : kIvory);
  }
}

void Park(CDibSurface& s, unsigned v) {
  Rng rng(v);
  VGradient(s, 0, 0, 640, 300, kSky, Color{236, 246, 255}, 8);
  Clouds(s, rng, 5, 160, kWhite);
  FillEllipse(s, 160, 330, 280, 90, Mix(kMint, kMintDeep, 1, 3));
  FillEllipse(s, 520, 340, 260, 80, kMint);
  FillRect(s, 0, 320, 640, 160, kMint);
  FillPolygon(s, {{270, 480}, {370, 480}, {340, 320}, {310, 320}}, kPeach);
  for (int i = 0; i < 6; ++i) Tree(s, rng.Range(20, 620), rng.Range(330, 360), rng.Range(50, 80), kMintDeep);
  // A bench.
  Panel(s, 430, 380, 120, 10, 2, Color{200, 150, 110}, kOutline);
  Panel(s, 430, 356, 120, 10, 2, Color{200, 150, 110}, kOutline);
  FillRect(s, 440, 390, 6, 26, kOutline);
  FillRect(s, 534, 390, 6, 26, kOutline);
  for (int i = 0; i < 40; ++i) {
    const int fx = rng.Range(0, 639), fy = rng.Range(400, 475);
    FillCircle(s, fx, fy, 3, i % 2 ? kPink : kLemon);
  }
}

void Station(CDibSurface& s, unsigned v) {
  Rng rng(v);
  VGradient(s, 0, 0, 640, 300, kSky, kPeach, 8);
  Clouds(s, rng, 3, 120, kWhite);
  // The roof over the platform.
  FillRect(s, 0, 60, 640, 24, kRose);
  FillRect(s, 0, 84, 640, 4, kOutline);
  for (int x = 40; x < 640; x += 150) FillRect(s, x, 88, 8, 230, kGreyDeep);
  // A train of pastel cars.
  for (int c = 0; c < 3; ++c) {
    const int x = -40 + c * 250;
    Panel(s, x, 180, 236, 110, 16, kIvory, kOutline, 2);
    FillRect(s, x + 2, 250, 232, 10, kMintDeep);
    for (int w = 0; w < 4; ++w) Panel(s, x + 20 + w * 52, 200, 36, 36, 4, kSky, kOutline);
  }
  FillRect(s, 0, 318, 640, 162, kGrey);
  FillRect(s, 0, 318, 640, 8, kLemon);
  Panel(s, 250, 110, 140, 40, 6, kIvory, kOutline, 2);
  TextCentred(s, 250, 110, 140, 40, "ゆめみ駅", 24, kInk, true);
}

void OpenSky(CDibSurface& s, unsigned v, bool sunset) {
  Rng rng(v);
  if (sunset) {
    VGradient(s, 0, 0, 640, 480, kLavender, Color{255, 190, 150}, 12);
    FillCircle(s, 320, 360, 60, Color{255, 226, 160});
    FillRect(s, 0, 380, 640, 100, Color{150, 130, 180});
    int x = 0;
    while (x < 640) {
      const int w = rng.Range(30, 70), h = rng.Range(20, 90);
      FillRect(s, x, 380 - h, w, h, Color{150, 130, 180});
      x += w;
    }
    Clouds(s, rng, 4, 250, Color{255, 214, 200});
  } else {
    VGradient(s, 0, 0, 640, 480, Color{150, 196, 240}, Color{236, 246, 255}, 12);
    Clouds(s, rng, 9, 420, kWhite);
    for (int i = 0; i < 4; ++i) {
      const int bx = rng.Range(100, 540), by = rng.Range(60, 200);
      Line(s, bx - 8, by, bx, by + 4, 2, kNavy);
      Line(s, bx, by + 4, bx + 8, by, 2, kNavy);
    }
  }
}

void Cafe(CDibSurface& s, unsigned v) {
  Rng rng(v);
  FillRect(s, 0, 0, 640, 300, Color{236, 214, 196});
  for (int x = 0; x < 640; x += 32) FillRect(s, x, 0, 16, 300, Color{230, 204, 186});
  Panel(s, 380, 40, 200, 150, 6, kIvory, kOutline, 2);
  VGradient(s, 386, 46, 188, 138, kSky, kLavenderLight, 4);
  FillRect(s, 478, 46, 4, 138, kIvory);
  Panel(s, 70, 40, 200, 110, 6, Color{80, 90, 80}, Color{150, 110, 80}, 4);
  Text(s, 90, 56, "本日のおすすめ", 16, kWhite);
  Text(s, 96, 86, "いちごタルト", 16, kPink);
  Text(s, 96, 110, "ミルクティー", 16, kLemon);
  FillRect(s, 0, 300, 640, 180, Color{200, 160, 130});
  for (int y = 320; y < 480; y += 30) FillRect(s, 0, y, 640, 2, Color{180, 140, 110});
  // A table with two cups and a cake.
  FillEllipse(s, 320, 370, 170, 40, kIvory);
  FillEllipse(s, 320, 366, 166, 36, kCream);
  FillRect(s, 310, 400, 20, 70, Color{150, 110, 80});
  for (int c = 0; c < 2; ++c) {
    const int x = 250 + c * 130;
    FillEllipse(s, x, 368, 24, 7, kWhite);
    Panel(s, x - 14, 340, 28, 26, 6, kPinkLight, kOutline);
    Line(s, x - 4, 330, x - 2, 318, 2, kGrey);
  }
  FillPolygon(s, {{300, 364}, {340, 364}, {330, 340}}, kLemon);
  FillCircle(s, 326, 340, 5, kRose);
  (void)rng;
}

void Sea(CDibSurface& s, unsigned v) {
  Rng rng(v);
  VGradient(s, 0, 0, 640, 240, Color{150, 200, 240}, Color{220, 240, 255}, 8);
  Clouds(s, rng, 4, 160, kWhite);
  VGradient(s, 0, 240, 640, 120, Color{110, 180, 220}, Color{160, 216, 236}, 6);
  for (int i = 0; i < 14; ++i) FillRect(s, rng.Range(0, 600), rng.Range(250, 350), rng.Range(20, 50), 2, kWhite);
  FillRect(s, 0, 360, 640, 120, Color{250, 230, 190});
  FillEllipse(s, 320, 362, 400, 10, kWhite);
  // A parasol.
  FillRect(s, 480, 300, 4, 120, kOutline);
  FillPolygon(s, {{410, 320}, {482, 280}, {554, 320}}, kRose);
  FillPolygon(s, {{446, 320}, {482, 280}, {518, 320}}, kPinkLight);
  for (int i = 0; i < 5; ++i) Sparkle(s, rng.Range(60, 600), rng.Range(260, 340), 4, kWhite);
}

void Sweets(CDibSurface& s, unsigned v) {
  Rng rng(v);
  // A gingham cloth, a plate of cookies and a cup of tea, seen from above.
  FillRect(s, 0, 0, 640, 480, kIvory);
  for (int x = 0; x < 640; x += 40) FillRect(s, x, 0, 20, 480, kPinkLight);
  for (int y = 0; y < 480; y += 40) {
    FillRect(s, 0, y, 640, 20, kPinkLight);
    for (int x = 0; x < 640; x += 40) FillRect(s, x, y, 20, 20, kPink);
  }
  FillCircle(s, 280, 250, 152, kOutline);
  FillCircle(s, 280, 250, 150, kWhite);
  FillCircle(s, 280, 250, 120, kCream);
  for (int i = 0; i < 7; ++i) {
    const int cx = 280 + (i == 0 ? 0 : static_cast<int>(80 * std::cos(i * 1.047))),
              cy = 250 + (i == 0 ? 0 : static_cast<int>(80 * std::sin(i * 1.047)));
    Disc(s, cx, cy, 34, Color{230, 180, 120}, Color{190, 130, 80});
    for (int k = 0; k < 5; ++k) FillCircle(s, cx + rng.Range(-20, 20), cy + rng.Range(-20, 20), 4, Color{120, 80, 60});
    if (i % 3 == 1) Heart(s, cx, cy, 22, kRose);
  }
  FillCircle(s, 530, 110, 70, kOutline);
  FillCircle(s, 530, 110, 68, kWhite);
  FillCircle(s, 530, 110, 50, Color{220, 160, 110});
  FillEllipse(s, 515, 95, 16, 8, Color{236, 190, 140});
}

void Flowers(CDibSurface& s, unsigned v) {
  Rng rng(v);
  // A garden of hydrangeas just after the rain.
  VGradient(s, 0, 0, 640, 220, Color{190, 200, 220}, Color{230, 236, 246}, 6);
  FillRect(s, 0, 220, 640, 260, Color{150, 200, 170});
  for (int i = 0; i < 9; ++i) {
    const int bx = 40 + i * 72 + rng.Range(-10, 10), by = 260 + (i % 2) * 70 + rng.Range(0, 30);
    FillEllipse(s, bx, by + 30, 50, 30, kMintDeep);
    const Color petal = i % 3 == 0 ? kLavender : (i % 3 == 1 ? kSky : kPink);
    for (int k = 0; k < 22; ++k) {
      const int px = bx + rng.Range(-34, 34), py = by + rng.Range(-24, 18);
      Disc(s, px, py, 6, petal, Darker(petal, 18));
      FillRect(s, px - 1, py - 1, 2, 2, kWhite);
    }
  }
  for (int i = 0; i < 50; ++i) {
    const int x = rng.Range(0, 639), y = rng.Range(0, 470);
    Line(s, x, y, x - 2, y + 8, 1, kWhite);
  }
  FillCircle(s, 560, 60, 34, kWhite);
}

void Ending(CDibSurface& s, int which, unsigned v) {
  Rng rng(v + static_cast<unsigned>(which));
  if (which == 1) {
    // Morning: a sunrise with a heart-shaped cloud.
    VGradient(s, 0, 0, 640, 480, Color{255, 220, 200}, Color{255, 246, 220}, 12);
    FillCircle(s, 320, 420, 90, Color{255, 236, 170});
    Heart(s, 320, 170, 120, kWhite);
    Clouds(s, rng, 5, 300, kWhite);
    FillRect(s, 0, 420, 640, 60, kMint);
  } else if (which == 2) {
    // Night: a starry sky with a shooting star.
    VGradient(s, 0, 0, 640, 480, Color{36, 36, 86}, Color{120, 96, 160}, 12);
    for (int i = 0; i < 90; ++i) FillRect(s, rng.Range(0, 639), rng.Range(0, 400), 2, 2, i % 5 ? kLemon : kWhite);
    for (int i = 0; i < 6; ++i) Sparkle(s, rng.Range(40, 600), rng.Range(20, 300), rng.Range(4, 8), kLemon);
    Line(s, 420, 80, 560, 40, 3, kWhite);
    Sparkle(s, 420, 80, 10, kWhite);
    FillRect(s, 0, 420, 640, 60, Color{60, 60, 100});
  } else {
    // Spring: a path under blossoming trees, petals falling.
    VGradient(s, 0, 0, 640, 300, kSky, kPinkLight, 8);
    FillRect(s, 0, 300, 640, 180, kMint);
    FillPolygon(s, {{250, 480}, {390, 480}, {340, 300}, {300, 300}}, kPeach);
    for (int i = 0; i < 7; ++i) Tree(s, i < 4 ? 40 + i * 70 : 400 + (i - 4) * 80, 330 + (i % 2) * 20, 70, kPink);
    for (int i = 0; i < 70; ++i) FillEllipse(s, rng.Range(0, 639), rng.Range(0, 479), 3, 2, i % 2 ? kPink : kWhite);
  }
}

struct NamedScene {
  const char* key;
  Scene scene;
};

// Words in a background's name that choose its scene (lower case, first match wins).
const NamedScene kSceneWords[] = {
    {"room", Scene::kRoomDay}, {"heya", Scene::kRoomDay}, {"end", Scene::kEnding1}, {"yoru", Scene::kNightCity},
    {"night", Scene::kNightCity}, {"street", Scene::kStreet},
    {"machi", Scene::kStreet}, {"town", Scene::kStreet}, {"park", Scene::kPark}, {"kouen", Scene::kPark},
    {"station", Scene::kStation}, {"eki", Scene::kStation}, {"sky", Scene::kOpenSky}, {"sora", Scene::kOpenSky},
    {"sunset", Scene::kSunset}, {"yuu", Scene::kSunset}, {"cafe", Scene::kCafe}, {"kissa", Scene::kCafe},
    {"sea", Scene::kSea}, {"umi", Scene::kSea}, {"beach", Scene::kSea},
};

}  // namespace

void DrawScene(CDibSurface& s, Scene scene, unsigned variant) {
  switch (scene) {
    case Scene::kRoomDay: DrawRoom(s, static_cast<int>(variant % 5), false); break;
    case Scene::kRoomNight: DrawRoom(s, static_cast<int>(variant % 5), true); break;
    case Scene::kStreet: Street(s, variant, false); break;
    case Scene::kNightCity: Street(s, variant, true); break;
    case Scene::kPark: Park(s, variant); break;
    case Scene::kStation: Station(s, variant); break;
    case Scene::kOpenSky: OpenSky(s, variant, false); break;
    case Scene::kSunset: OpenSky(s, variant, true); break;
    case Scene::kCafe: Cafe(s, variant); break;
    case Scene::kSea: Sea(s, variant); break;
    case Scene::kSweets: Sweets(s, variant); break;
    case Scene::kFlowers: Flowers(s, variant); break;
    case Scene::kEnding1: Ending(s, 1, variant); break;
    case Scene::kEnding2: Ending(s, 2, variant); break;
    case Scene::kEnding3: Ending(s, 3, variant); break;
  }
}

Scene SceneForName(const std::string& name, unsigned* variant) {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const unsigned h = HashName(lower);
  *variant = h;
  for (const NamedScene& w : kSceneWords) {
    if (lower.find(w.key) != std::string::npos) {
      if (w.scene == Scene::kRoomDay && (lower.find("_n") != std::string::npos || lower.find("night") != std::string::npos ||
                                         lower.find("yoru") != std::string::npos)) {
        return Scene::kRoomNight;
      }
      if (w.scene == Scene::kEnding1) {
        // "end01", "ending_2", ...: the last digit picks one of the three ending pictures.
        const std::size_t digit = lower.find_last_of("0123456789");
        const int n = digit == std::string::npos ? static_cast<int>(h % 3) : (lower[digit] - '0' + 2) % 3;
        return n == 0 ? Scene::kEnding1 : (n == 1 ? Scene::kEnding2 : Scene::kEnding3);
      }
      return w.scene;
    }
  }
  // Any other name: one of the everyday scenes, always the same for the same name.
  static const Scene kEveryday[] = {Scene::kStreet, Scene::kPark,  Scene::kStation, Scene::kOpenSky, Scene::kSunset,
                                    Scene::kCafe,   Scene::kSea,   Scene::kNightCity, Scene::kRoomDay, Scene::kRoomNight};
  return kEveryday[h % (sizeof kEveryday / sizeof kEveryday[0])];
}

bool SceneForCaption(const std::string& captionUtf8, Scene* scene) {
  struct Word {
    const char8_t* word;
    Scene scene;
  };
  static const Word kWords[] = {
      {u8"夕焼け", Scene::kSunset}, {u8"夕日", Scene::kSunset}, {u8"夕方", Scene::kSunset}, {u8"海", Scene::kSea},
      {u8"浜", Scene::kSea}, {u8"クッキー", Scene::kSweets}, {u8"ケーキ", Scene::kSweets}, {u8"お菓子", Scene::kSweets},
      {u8"カフェ", Scene::kCafe}, {u8"喫茶", Scene::kCafe}, {u8"紅茶", Scene::kCafe}, {u8"紫陽花", Scene::kFlowers},
      {u8"花", Scene::kFlowers}, {u8"雨", Scene::kFlowers}, {u8"桜", Scene::kEnding3}, {u8"公園", Scene::kPark},
      {u8"駅", Scene::kStation}, {u8"電車", Scene::kStation}, {u8"夜", Scene::kNightCity}, {u8"星", Scene::kEnding2},
      {u8"空", Scene::kOpenSky}, {u8"雲", Scene::kOpenSky}, {u8"街", Scene::kStreet}, {u8"部屋", Scene::kRoomDay},
  };
  for (const Word& w : kWords) {
    if (captionUtf8.find(reinterpret_cast<const char*>(w.word)) != std::string::npos) {
      *scene = w.scene;
      return true;
    }
  }
  return false;
}

bool BuildEndingPictures(const fs::path& misc) {
  bool ok = true;
  const Scene scenes[3] = {Scene::kEnding1, Scene::kEnding2, Scene::kEnding3};
  for (int i = 0; i < 3; ++i) {
    CDibSurface s;
    s.Create(640, 480);
    DrawScene(s, scenes[i], 7);
    char name[32];
    std::snprintf(name, sizeof name, "end%02d.bmp", i + 1);
    ok = WritePicture(misc / name, s) && ok;
  }
  return ok;
}

}  // namespace databuild::pic

namespace databuild {

bool BuildBackground(const std::filesystem::path& file, const std::string& name) {
  unsigned variant = 0;
  const pic::Scene scene = pic::SceneForName(name, &variant);
  CDibSurface s;
  s.Create(640, 480);
  pic::DrawScene(s, scene, variant);
  return pic::WritePicture(file, s);
}

}  // namespace databuild

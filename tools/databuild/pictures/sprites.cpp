// The heroine's sprite sheets: for each room style, one sheet per activity, its frames stacked
// vertically on the key colour, each frame outlined so no edge pixel is near green.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "pictures/bmp8_writer.h"
#include "pictures/faces.h"
#include "pictures/figure.h"
#include "pictures/sheets.h"

namespace databuild::pic {
namespace {

// Draws frame `f` into the frame whose top-left is (ox, oy); `o` is the room's outfit.
using FrameFn = std::function<void(CDibSurface&, int ox, int oy, int f, const Outfit& o)>;

struct SheetSpec {
  std::string name;  // relative to misc/, without ".bmp"
  int w, h, frames;
  FrameFn draw;
};

// ---- Props ----

void Note(CDibSurface& s, int x, int y) { Text(s, x, y, "♪", 16, kRoseDeep); }

void Broom(CDibSurface& s, plat::Point hand, int tipX, int tipY) {
  Line(s, hand.x, hand.y - 6, tipX, tipY, 3, Color{170, 120, 80});
  FillPolygon(s, {{tipX - 9, tipY + 10}, {tipX + 9, tipY + 10}, {tipX + 5, tipY - 2}, {tipX - 5, tipY - 2}}, kLemon);
}

void Pan(CDibSurface& s, plat::Point hand, int dir, bool up) {
  const int cx = hand.x + dir * 22, cy = hand.y + (up ? -6 : 0);
  Line(s, hand.x, hand.y, cx - dir * 10, cy, 4, Color{90, 70, 70});
  FillEllipse(s, cx, cy, 14, 5, Color{90, 84, 96});
  if (up) {
    FillEllipse(s, cx, cy - 22, 7, 5, kWhite);
    FillCircle(s, cx, cy - 22, 2.5, Color{255, 200, 60});
    Line(s, cx - 6, cy - 34, cx - 4, cy - 42, 2, kGrey);
    Line(s, cx + 6, cy - 36, cx + 8, cy - 44, 2, kGrey);
  } else {
    FillEllipse(s, cx, cy - 3, 6, 3, kWhite);
    FillCircle(s, cx, cy - 3, 2, Color{255, 200, 60});
  }
}

void Guitar(CDibSurface& s, int fx, int fy) {
  const Color wood{214, 150, 96};
  Line(s, fx - 4, fy - 52, fx + 34, fy - 82, 5, Color{120, 80, 60});
  FillEllipse(s, fx - 10, fy - 44, 15, 12, wood);
  FillEllipse(s, fx - 20, fy - 38, 12, 11, wood);
  FillCircle(s, fx - 12, fy - 44, 4, Color{90, 60, 50});
  FillRect(s, fx + 32, fy - 88, 7, 8, Color{120, 80, 60});
}

void MilkBottle(CDibSurface& s, int x, int y, bool tilted) {
  if (tilted) {
    FillPolygon(s, {{x - 4, y - 4}, {x + 14, y - 14}, {x + 18, y - 6}, {x, y + 4}}, kWhite);
    FillPolygon(s, {{x + 14, y - 14}, {x + 19, y - 17}, {x + 21, y - 11}, {x + 18, y - 6}}, kSky);
  } else {
    Panel(s, x - 5, y - 18, 11, 22, 3, kWhite, kGreyDeep);
    FillRect(s, x - 4, y - 20, 9, 4, kSky);
    FillRect(s, x - 4, y - 10, 9, 4, kSkyDeep);
  }
}

void Bug(CDibSurface& s, int x, int y, int f) {
  FillEllipse(s, x, y, 5, 4, Color{90, 70, 60});
  const int w = f % 2 ? 7 : 4;
  FillEllipse(s, x - 5, y - 5, w, 3, kWhite);
  FillEllipse(s, x + 5, y - 5, w, 3, kWhite);
}

void Cloth(CDibSurface& s, int x, int y, Color c) {
  FillPolygon(s, {{x - 12, y}, {x + 12, y}, {x + 16, y + 8}, {x + 10, y + 10}, {x + 10, y + 28}, {x - 10, y + 28},
                  {x - 10, y + 10}, {x - 16, y + 8}},
              c);
}

void Hamster(CDibSurface& s, int x, int y, int dir, bool munch) {
  const Color fur{236, 180, 120};
  FillEllipse(s, x, y, 12, 9, fur);
  FillEllipse(s, x - dir * 2, y + 3, 8, 5, kIvory);
  FillCircle(s, x + dir * 9, y - 3, 7, fur);
  FillCircle(s, x + dir * 7, y - 10, 3, kPink);
  FillRect(s, x + dir * 12, y - 5, 2, 2, kInk);
  if (munch) FillCircle(s, x + dir * 13, y, 3, kIvory);
}

void Zz(CDibSurface& s, int x, int y, int f) {
  Text(s, x, y, "Z", 16, kLavenderDeep);
  if (f % 2) Text(s, x + 12, y - 14, "z", 14, kLavenderDeep);
}

// ---- Frames ----

Pose Walk(int dir, int f) {
  Pose p;
  p.facing = dir;
  const int step = f == 1 ? 1 : (f == 2 ? -1 : 0);
  p.footL = step * 9;
  p.footR = -step * 9;
  p.handLx = -step * 8 - 2;
  p.handRx = step * 8 + 2;
  p.handLy = p.handRy = 24;
  p.bob = f == 0 ? 0 : -1;
  return p;
}

FrameFn WalkFrames(int dir, int fx) {
  return [=](CDibSurface& s, int ox, int oy, int f, const Outfit& o) { DrawHeroine(s, ox + fx, oy + 164, Walk(dir, f), o); };
}

void MailFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 100, fy = oy + 164;
  Pose p;
  p.handRx = -6;
  p.handRy = f ? 0 : 10;
  p.handLx = 8;
  p.handLy = f ? 4 : 14;
  p.eyes = f ? 2 : 0;
  p.mouth = f ? 1 : 0;
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point h = HandR(fx, fy, p);
  Panel(s, h.x - 6, h.y - 18, 14, 22, 3, kLavender, kNavy);
  FillRect(s, h.x - 4, h.y - 15, 10, 13, kSky);
  DrawHands(s, fx, fy, p);
  if (f) {
    IconEnvelope(s, fx + 30, fy - 124, 22, kIvory, kRoseDeep, false);
    Heart(s, fx + 30, fy - 122, 8, kRose);
    TextBold(s, fx - 40, fy - 132, "！", 16, kRoseDeep);
  }
}

void StretchFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  Pose p;
  if (f) {
    p.handLx = -2, p.handLy = -36, p.handRx = 2, p.handRy = -36, p.eyes = 1, p.mouth = 1, p.bob = -2;
  } else {
    p.handLx = -8, p.handLy = 22, p.handRx = 8, p.handRy = 22;
  }
  DrawHeroine(s, ox + 100, oy + 164, p, o);
  if (f) Sparkle(s, ox + 140, oy + 40, 6, kLemon);
}

void SweepFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 100, fy = oy + 164;
  Pose p;
  p.handLx = 10, p.handLy = 16, p.handRx = 4, p.handRy = 22, p.footL = f ? -3 : 3, p.footR = f ? 3 : -3;
  DrawHeroine(s, fx, fy, p, o);
  Broom(s, HandR(fx, fy, p), fx + (f ? 40 : 22), fy - 10);
  DrawHands(s, fx, fy, p);
  for (int i = 0; i < 3; ++i) FillCircle(s, fx + (f ? 58 : 36) + i * 6, fy - 2 - (i % 2) * 4, 2.5, kGrey);
}

FrameFn CookFrames(int dir) {
  return [dir](CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
    const int fx = ox + 100, fy = oy + 164;
    Pose p = Walk(dir, f ? 1 : 2);
    p.handRx = dir > 0 ? 12 : -20;
    p.handRy = 14;
    p.handLx = dir > 0 ? 20 : -12;
    p.handLy = 14;
    p.mouth = f ? 1 : 0;
    DrawHeroine(s, fx, fy, p, o);
    // An apron.
    FillRect(s, fx - 9, fy - 60, 18, 24, kWhite);
    Pan(s, dir > 0 ? HandR(fx, fy, p) : HandL(fx, fy, p), dir, f == 1);
    DrawHands(s, fx, fy, p);
  };
}

void GuitarFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 100, fy = oy + 164;
  Pose p;
  p.handLx = 30, p.handLy = 0;
  p.handRx = -18, p.handRy = f ? 18 : 10;
  p.eyes = 1;
  p.mouth = f;
  DrawHeroine(s, fx, fy, p, o);
  Guitar(s, fx, fy);
  DrawHands(s, fx, fy, p);
  Note(s, ox + (f ? 140 : 150), oy + (f ? 50 : 36));
  if (f) Note(s, ox + 40, oy + 44);
}

void MilkFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 100, fy = oy + 164;
  Pose p;
  p.handLx = -8, p.handLy = 24;
  if (f == 1) {
    p.handRx = -8, p.handRy = -14, p.eyes = 1, p.facing = 0;
  } else {
    p.handRx = -4, p.handRy = f == 2 ? 20 : 8, p.eyes = f == 2 ? 1 : 0, p.mouth = f == 2 ? 1 : 0;
  }
  if (f == 2) p.handLx = -14, p.handLy = 10;
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point h = HandR(fx, fy, p);
  MilkBottle(s, h.x, h.y, f == 1);
  DrawHands(s, fx, fy, p);
  if (f == 2) Text(s, fx + 24, fy - 130, "ぷはっ", 14, kRoseDeep);
}

void BrushFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 100, fy = oy + 164;
  Pose p;
  p.handRx = f ? -18 : -12, p.handRy = -14, p.handLx = 4, p.handLy = 18, p.mouth = 1;
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point h = HandR(fx, fy, p);
  Line(s, h.x, h.y, h.x - 14 + (f ? 4 : 0), h.y - 8, 3, kSky);
  FillRect(s, h.x - 16 + (f ? 4 : 0), h.y - 12, 5, 4, kWhite);
  DrawHands(s, fx, fy, p);
  for (int i = 0; i < 3; ++i) Disc(s, fx - 22 - 6 * i + (f ? 4 : 0), fy - 108 - 7 * i, 2 + i % 2, kWhite, kSky);
}

void BugFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 90, fy = oy + 164;
  Pose p;
  p.facing = 1;
  p.eyes = 2;
  p.mouth = 1;
  p.handLx = 6, p.handLy = 16;
  if (f) {
    p.handRx = 22, p.handRy = 6;
  } else {
    p.handRx = 4, p.handRy = -30;
  }
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point h = HandR(fx, fy, p);
  // A rolled-up newspaper.
  if (f) {
    Line(s, h.x, h.y, h.x + 26, h.y + 4, 6, kIvory);
  } else {
    Line(s, h.x, h.y, h.x + 10, h.y - 24, 6, kIvory);
  }
  DrawHands(s, fx, fy, p);
  Bug(s, ox + (f ? 160 : 150), oy + (f ? 70 : 50), f);
  if (f) Text(s, ox + 130, oy + 90, "！", 14, kRoseDeep);
}

void LaundryFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 90, fy = oy + 164;
  Line(s, ox + 10, oy + 30, ox + 190, oy + 38, 2, kGreyDeep);
  Cloth(s, ox + 40, oy + 34, kSky);
  Pose p;
  p.facing = 1;
  if (f) {
    p.handLx = 14, p.handLy = -44, p.handRx = 26, p.handRy = -44, p.eyes = 1;
  } else {
    p.handLx = 12, p.handLy = 14, p.handRx = 24, p.handRy = 12;
  }
  DrawHeroine(s, fx, fy, p, o);
  Cloth(s, f ? ox + 130 : ox + 128, f ? oy + 36 : oy + 90, kPink);
  // The basket.
  Panel(s, ox + 130, oy + 140, 46, 26, 6, Color{226, 190, 140}, kOutline);
  Cloth(s, ox + 152, oy + 132, kLemon);
  DrawHands(s, fx, fy, p);
}

void MealFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 90, fy = oy + 164;
  Pose p;
  p.sitting = true;
  p.facing = 1;
  p.handLx = 20, p.handLy = 16;
  p.handRx = f ? 8 : 22, p.handRy = f ? -6 : 12;
  p.mouth = f ? 1 : 0;
  p.eyes = f ? 1 : 0;
  DrawHeroine(s, fx, fy, p, o);
  // A low table with a bowl of rice.
  Panel(s, fx + 10, fy - 32, 80, 8, 2, Color{200, 150, 110}, kOutline);
  FillRect(s, fx + 18, fy - 24, 6, 24, Color{170, 120, 90});
  FillRect(s, fx + 76, fy - 24, 6, 24, Color{170, 120, 90});
  FillEllipse(s, fx + 44, fy - 36, 11, 7, kRose);
  FillEllipse(s, fx + 44, fy - 41, 9, 4, kWhite);
  const plat::Point h = HandR(fx, fy, p);
  Line(s, h.x, h.y, h.x + 14, h.y + (f ? -4 : 10), 2, Color{150, 100, 70});
  DrawHands(s, fx, fy, p);
  if (f) Heart(s, fx + 30, fy - 120, 10, kRose);
}

void RobotFrame(CDibSurface& s, int ox, int oy, int f, const Outfit&) {
  const int cx = ox + 100, cy = oy + 150;
  FillEllipse(s, cx, cy, 30, 13, kLavender);
  FillEllipse(s, cx, cy - 4, 26, 9, kLavenderLight);
  FillRect(s, cx - 9, cy - 6, 3, 4, kInk);
  FillRect(s, cx + 7, cy - 6, 3, 4, kInk);
  FillRect(s, cx - 3, cy - 1, 6, 1, kRoseDeep);
  for (int k = 0; k < 3; ++k) {
    const int a = f ? 8 : 0;
    Line(s, cx - 32, cy + 6, cx - 40, cy + 6 + (k - 1) * 4 + a / 4, 1, kGreyDeep);
    Line(s, cx + 32, cy + 6, cx + 40, cy + 6 + (k - 1) * 4 - a / 4, 1, kGreyDeep);
  }
  Sparkle(s, cx + (f ? 30 : -30), cy - 24, 5, kLemon);
  FillCircle(s, cx, cy - 16, 3, f ? kRose : kMintDeep);
}

void DanceFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 90, fy = oy + 200;
  static const int kArm[4][4] = {{-20, -30, 8, 24}, {-6, 20, 20, -34}, {-22, -34, 22, -34}, {-4, 24, 4, 24}};
  Pose p;
  p.handLx = kArm[f][0], p.handLy = kArm[f][1], p.handRx = kArm[f][2], p.handRy = kArm[f][3];
  p.liftL = f == 1 ? 10 : 0;
  p.liftR = f == 3 ? 10 : 0;
  p.footL = f == 1 ? -6 : 0;
  p.footR = f == 3 ? 6 : 0;
  p.eyes = f == 2 ? 1 : 0;
  p.mouth = f % 2;
  DrawHeroine(s, fx, fy, p, o);
  Note(s, ox + 20 + 40 * (f % 2), oy + 60 + 10 * f);
  Sparkle(s, ox + 180 - 20 * f, oy + 50 + 8 * (f % 2), 6, kLemon);
}

void MirrorBallFrame(CDibSurface& s, int ox, int oy, int f, const Outfit&) {
  const int cx = ox + 40, cy = oy + 168;
  FillRect(s, cx - 1, oy, 2, 150, kGreyDeep);
  FillCircle(s, cx, cy, 18, Color{200, 204, 220});
  for (int j = -3; j <= 3; ++j) {
    for (int i = -3; i <= 3; ++i) {
      const int x = cx + i * 5, y = cy + j * 5;
      if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > 15 * 15) continue;
      const bool lit = (i + j + f) % 4 == 0;
      FillRect(s, x - 2, y - 2, 4, 4, lit ? kWhite : ((i + j) % 2 ? kLavender : kSky));
    }
  }
  Sparkle(s, cx + (f % 2 ? 22 : -22), cy - 18 + 6 * (f / 2), 5, kLemon);
  Sparkle(s, cx + (f % 2 ? -24 : 24), cy + 20, 4, kPink);
}

void SingFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 100, fy = oy + 164;
  Pose p;
  p.handRx = -14, p.handRy = -8, p.mouth = 1, p.eyes = f ? 1 : 0;
  p.handLx = f ? -22 : -10, p.handLy = f ? -26 : 20;
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point h = HandR(fx, fy, p);
  Line(s, h.x, h.y + 6, h.x - 4, h.y - 8, 4, kNavy);
  FillCircle(s, h.x - 5, h.y - 11, 5, kGreyDeep);
  DrawHands(s, fx, fy, p);
  Note(s, ox + (f ? 146 : 136), oy + (f ? 40 : 56));
  Note(s, ox + (f ? 40 : 50), oy + (f ? 60 : 44));
}

void FeedFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 100, fy = oy + 164;
  Pose p;
  p.kneeling = true;
  p.facing = 1;
  p.handRx = f == 0 ? 20 : 34, p.handRy = 20;
  p.handLx = 8, p.handLy = 20;
  p.eyes = f == 2 ? 1 : 0;
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point h = HandR(fx, fy, p);
  FillEllipse(s, h.x + 4, h.y - 2, 3, 2, Color{230, 200, 120});
  DrawHands(s, fx, fy, p);
  Hamster(s, ox + (f == 0 ? 210 : 176), oy + 154, -1, f == 2);
  if (f == 2) Heart(s, ox + 176, oy + 124, 10, kRose);
}

void WheelFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 90, fy = oy + 164;
  Pose p;
  p.kneeling = true;
  p.facing = 1;
  p.handLx = 12, p.handLy = 20, p.handRx = 20, p.handRy = 18, p.eyes = 1;
  DrawHeroine(s, fx, fy, p, o);
  const int cx = ox + 190, cy = oy + 132;
  FillCircle(s, cx, cy, 32, kGreyDeep);
  FillCircle(s, cx, cy, 29, kIvory);
  for (int k = 0; k < 4; ++k) {
    const double a = (k * 45 + f * 22) * 3.14159265 / 180;
    Line(s, cx - 28 * std::cos(a), cy - 28 * std::sin(a), cx + 28 * std::cos(a), cy + 28 * std::sin(a), 1, kGrey);
  }
  Hamster(s, cx, cy + 18, 1, false);
  FillRect(s, cx - 3, cy + 30, 6, 14, kGreyDeep);
  FillRect(s, cx - 16, cy + 42, 32, 4, kGreyDeep);
}

FrameFn BallFrames(int dir) {
  return [dir](CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
    const int fx = ox + 125 - dir * 30, fy = oy + 164;
    DrawHeroine(s, fx, fy, Walk(dir, f), o);
    const int bx = ox + 125 + dir * 70, by = oy + 146;
    FillCircle(s, bx, by, 18, kSky);
    FillCircle(s, bx, by, 16, Mix(kSky, kWhite, 1, 2));
    Hamster(s, bx, by + 4, dir, false);
    FillEllipse(s, bx - 6, by - 9, 5, 2, kWhite);
  };
}

void NapFrame(CDibSurface& s, int ox, int oy, int, const Outfit& o) {
  // Lying on the floor with a pillow and a blanket; the chest rises and falls.
  const int y = oy + 150;
  Panel(s, ox + 20, y - 18, 40, 18, 8, kIvory, kOutline);
  FillEllipse(s, ox + 48, y - 20, 16, 15, o.hair);
  FillCircle(s, ox + 52, y - 16, 13, kSkin);
  FillEllipse(s, ox + 48, y - 26, 14, 7, o.hair);
  Put(s, ox + 48, y - 14, kInk);
  Put(s, ox + 49, y - 13, kInk);
  Put(s, ox + 56, y - 14, kInk);
  Put(s, ox + 57, y - 13, kInk);
}

FrameFn NapFrames() {
  return [](CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
    NapFrame(s, ox, oy, f, o);
    const int y = oy + 150;
    FillRoundRect(s, ox + 62, y - 24 - (f ? 2 : 0), 110, 26 + (f ? 2 : 0), 10, kPink);
    for (int i = 0; i < 5; ++i) Heart(s, ox + 78 + 20 * i, y - 12, 6, kPinkLight);
    FillEllipse(s, ox + 176, y - 6, 8, 4, kSkin);
    Zz(s, ox + 70, oy + 80 - (f ? 8 : 0), f);
  };
}

void SewFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 100, fy = oy + 164;
  Pose p;
  p.sitting = true;
  p.facing = 1;
  p.handLx = 16, p.handLy = 8;
  p.handRx = 18, p.handRy = f ? -14 : 10;
  p.mouth = 2;
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point l = HandL(fx, fy, p), r = HandR(fx, fy, p);
  Cloth(s, l.x + 10, l.y - 4, kSky);
  Line(s, r.x, r.y, r.x + 2, r.y - 10, 1, kGreyDeep);
  Line(s, r.x + 2, r.y - 10, l.x + 10, l.y + 6, 1, kRoseDeep);
  DrawHands(s, fx, fy, p);
  Panel(s, ox + 180, oy + 140, 50, 24, 4, Color{220, 180, 140}, kOutline);
  FillCircle(s, ox + 196, oy + 136, 6, kRose);
  FillCircle(s, ox + 214, oy + 136, 6, kSky);
}

void WipeFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 90, fy = oy + 164;
  Pose p;
  p.kneeling = true;
  p.facing = 1;
  p.handLx = f ? 38 : 24, p.handLy = 34;
  p.handRx = f ? 36 : 22, p.handRy = 34;
  p.bob = 4;
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point r = HandR(fx, fy, p);
  FillRect(s, r.x - 8, r.y - 2, 22, 8, kLemon);
  DrawHands(s, fx, fy, p);
  // The bucket, and a shine where the floor is clean.
  FillPolygon(s, {{ox + 192, oy + 136}, {ox + 226, oy + 136}, {ox + 222, oy + 164}, {ox + 196, oy + 164}}, kSkyDeep);
  FillRect(s, ox + 192, oy + 134, 34, 4, kGreyDeep);
  Sparkle(s, ox + (f ? 100 : 150), oy + 170, 5, kSky);
}

void SwordFrame(CDibSurface& s, int ox, int oy, int f, const Outfit& o) {
  const int fx = ox + 90, fy = oy + 164;
  Pose p;
  p.facing = 1;
  p.footL = -6, p.footR = 8;
  if (f) {
    p.handLx = 26, p.handLy = 0, p.handRx = 28, p.handRy = 0, p.mouth = 1;
  } else {
    p.handLx = 8, p.handLy = -40, p.handRx = 10, p.handRy = -40;
  }
  DrawHeroine(s, fx, fy, p, o);
  const plat::Point h = HandR(fx, fy, p);
  if (f) {
    Line(s, h.x, h.y, h.x + 60, h.y - 10, 4, Color{210, 214, 230});
  } else {
    Line(s, h.x, h.y, h.x - 30, h.y - 40, 4, Color{210, 214, 230});
  }
  FillRect(s, h.x - 4, h.y - 2, 9, 4, Color{220, 180, 80});
  DrawHands(s, fx, fy, p);
  if (f) Text(s, ox + 130, oy + 40, "えいっ", 14, kRoseDeep);
}

void StandFrame(CDibSurface& s, int ox, int oy, int dir, const Outfit& o) {
  Pose p;
  p.facing = dir;
  p.handLx = -4, p.handRx = 4;
  DrawHeroine(s, ox + 100, oy + 164, p, o);
}

std::vector<SheetSpec> SheetsOf(int style) {
  static const char* kFolder[5] = {"room/nom/", "room/zaz/", "room/ham/", "room/poo/", "room/pri/"};
  static const char* kPrefix[5] = {"n_", "z_", "h_", "p_", "o_"};
  const std::string base = std::string(kFolder[style]) + kPrefix[style];
  std::vector<SheetSpec> v;
  v.push_back({base + "mail", 200, 200, 2, MailFrame});
  v.push_back({base + "noma", 200, 200, 2, StretchFrame});
  if (style == 4) {
    v.push_back({base + "aruk_L", 100, 200, 3, WalkFrames(-1, 50)});
    v.push_back({base + "aruk_R", 100, 200, 3, WalkFrames(1, 50)});
  } else {
    v.push_back({base + "aruk_L", 200, 200, 3, WalkFrames(-1, 100)});
    v.push_back({base + "aruk_R", 200, 200, 3, WalkFrames(1, 100)});
  }
  v.push_back({base + "sent", 200, 200, 2, LaundryFrame});
  v.push_back({base + "tati_l", 200, 200, 1, [](CDibSurface& s, int ox, int oy, int, const Outfit& o) { StandFrame(s, ox, oy, -1, o); }});
  v.push_back({base + "tati_r", 200, 200, 1, [](CDibSurface& s, int ox, int oy, int, const Outfit& o) { StandFrame(s, ox, oy, 1, o); }});
  if (style <= 3) {
    v.push_back({base + "souj", 200, 200, 2, SweepFrame});
    // The sheet used while she moves right, and the one used on the way back.
    v.push_back({base + (style == 0 ? "cook" : "cook_L"), 224, 224, 2, CookFrames(1)});
    v.push_back({base + "cook_R", 224, 224, 2, CookFrames(-1)});
    v.push_back({base + "guit", 200, 200, 2, GuitarFrame});
    v.push_back({base + "gyuu", 200, 200, 3, MilkFrame});
    v.push_back({base + "hami", 200, 200, 2, BrushFrame});
    v.push_back({base + "musi", 200, 200, 2, BugFrame});
    v.push_back({base + "syok", 200, 200, 2, MealFrame});
  }
  if (style == 0) v.push_back({"room/nom/s_souj", 200, 200, 2, RobotFrame});
  if (style == 1) {
    v.push_back({base + "litt_01", 224, 224, 4, DanceFrame});
    v.push_back({base + "litt_02", 80, 224, 4, MirrorBallFrame});
    v.push_back({base + "sing", 200, 200, 2, SingFrame});
  }
  if (style == 2) {
    v.push_back({base + "hame_01", 248, 200, 3, FeedFrame});
    v.push_back({base + "hame_02", 248, 200, 2, WheelFrame});
    v.push_back({base + "hamo_L", 250, 200, 3, BallFrames(-1)});
    v.push_back({base + "hamo_R", 250, 200, 3, BallFrames(1)});
    v.push_back({base + "hiru", 200, 200, 2, NapFrames()});
  }
  if (style == 3) {
    v.push_back({base + "saih", 248, 200, 2, SewFrame});
    v.push_back({base + "zouk", 248, 200, 2, WipeFrame});
  }
  if (style == 4) v.push_back({base + "kenn", 200, 200, 2, SwordFrame});
  return v;
}

}  // namespace

bool BuildSpriteSheets(const fs::path& misc) {
  bool ok = true;
  for (int style = 0; style < 5; ++style) {
    const Outfit outfit = OutfitFor(style);
    for (const SheetSpec& spec : SheetsOf(style)) {
      CDibSurface s;
      s.Create(spec.w, spec.h * spec.frames);
      FillRect(s, 0, 0, spec.w, spec.h * spec.frames, kKey);
      for (int f = 0; f < spec.frames; ++f) {
        spec.draw(s, 0, spec.h * f, f, outfit);
        OutlineOnKey(s, 0, spec.h * f, spec.w, spec.h, kOutline);
      }
      ok = WritePicture(misc / (spec.name + ".bmp"), s) && ok;
    }
  }
  return ok;
}

}  // namespace databuild::pic

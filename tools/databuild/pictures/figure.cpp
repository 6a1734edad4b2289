#include "pictures/figure.h"

namespace databuild::pic {

Outfit OutfitFor(int style) {
  switch (style) {
    case 1: return {Color{150, 120, 190}, Color{70, 60, 90}, Color{90, 60, 70}, Color{60, 50, 70}};
    case 2: return {Color{255, 196, 120}, Color{255, 240, 200}, Color{140, 90, 60}, Color{200, 120, 90}};
    case 3: return {Color{196, 170, 140}, Color{240, 230, 210}, Color{110, 76, 60}, Color{120, 90, 70}};
    case 4: return {Color{200, 180, 240}, Color{255, 236, 150}, Color{150, 100, 70}, Color{230, 150, 190}};
    default: return {Color{246, 150, 176}, Color{255, 250, 246}, Color{128, 82, 64}, Color{200, 110, 130}};
  }
}

namespace {

struct Frame {
  int hipY, shoulderY, headY;
};

Frame FrameOf(int fy, const Pose& p) {
  const int down = p.bob + (p.sitting ? 24 : 0) + (p.kneeling ? 18 : 0);
  return {fy - 36 + down, fy - 68 + down, fy - 92 + down};
}

}  // namespace

plat::Point HandL(int fx, int fy, const Pose& p) {
  const Frame f = FrameOf(fy, p);
  return {fx - 11 + p.handLx, f.shoulderY + 3 + p.handLy};
}
plat::Point HandR(int fx, int fy, const Pose& p) {
  const Frame f = FrameOf(fy, p);
  return {fx + 11 + p.handRx, f.shoulderY + 3 + p.handRy};
}

void DrawHands(CDibSurface& s, int fx, int fy, const Pose& p) {
  const plat::Point l = HandL(fx, fy, p), r = HandR(fx, fy, p);
  FillCircle(s, l.x + 0.5, l.y + 0.5, 4, kSkin);
  FillCircle(s, r.x + 0.5, r.y + 0.5, 4, kSkin);
}

void DrawHeroine(CDibSurface& s, int fx, int fy, const Pose& p, const Outfit& o) {
  const Frame f = FrameOf(fy, p);
  const int side = p.facing;
  // Back hair (a long bob with a ponytail on the side away from where she looks).
  FillEllipse(s, fx, f.headY + 6, 21, 24, o.hair);
  if (side != 0) {
    FillEllipse(s, fx - side * 20, f.headY + 12, 8, 16, o.hair);
  } else {
    FillEllipse(s, fx - 22, f.headY + 14, 7, 13, o.hair);
    FillEllipse(s, fx + 22, f.headY + 14, 7, 13, o.hair);
  }
  // Legs and shoes.
  auto leg = [&](int hipX, int footDx, int lift) {
    if (p.sitting) {
      const int kneeX = hipX + (side >= 0 ? 1 : -1) * (side == 0 ? 0 : 14);
      Line(s, hipX, f.hipY, kneeX, f.hipY + 4, 7, kSkin);
      Line(s, kneeX, f.hipY + 4, kneeX + footDx, fy - 3, 6, kSkin);
      FillEllipse(s, kneeX + footDx + side * 2, fy - 2, 6, 3.5, o.shoes);
      return;
    }
    if (p.kneeling) {
      // Thigh forward to the knee on the floor, shin back under her.
      const int dir = side == 0 ? 1 : side;
      const int kneeX = hipX + dir * 14 + footDx / 2;
      Line(s, hipX, f.hipY, kneeX, fy - 5, 7, kSkin);
      Line(s, kneeX, fy - 5, hipX - dir * 10, fy - 4, 6, kSkin);
      FillEllipse(s, hipX - dir * 13, fy - 4, 5, 3.5, o.shoes);
      return;
    }
    Line(s, hipX, f.hipY, hipX + footDx, fy - 4 - lift, 6, kSkin);
    FillEllipse(s, hipX + footDx + side * 2, fy - 3 - lift, 6, 3.5, o.shoes);
  };
  leg(fx - 5, p.footL, p.liftL);
  leg(fx + 5, p.footR, p.liftR);
  // Dress: a bodice and a flared skirt, with a collar and a ribbon.
  FillPolygon(s, {{fx - 10, f.shoulderY}, {fx + 10, f.shoulderY}, {fx + 13, f.hipY - 12}, {fx - 13, f.hipY - 12}}, o.dress);
  FillPolygon(s, {{fx - 12, f.hipY - 14}, {fx + 12, f.hipY - 14}, {fx + 22, f.hipY + 4}, {fx - 22, f.hipY + 4}}, o.dress);
  FillRect(s, fx - 22, f.hipY + 1, 44, 3, o.accent);
  FillPolygon(s, {{fx - 8, f.shoulderY}, {fx + 8, f.shoulderY}, {fx, f.shoulderY + 7}}, o.accent);
  if (side == 0) {
    FillCircle(s, fx - 3, f.shoulderY + 9, 2.5, kRoseDeep);
    FillCircle(s, fx + 3, f.shoulderY + 9, 2.5, kRoseDeep);
  }
  // Arms with puffed sleeves; the hands are drawn last.
  const plat::Point hl = HandL(fx, fy, p), hr = HandR(fx, fy, p);
  Line(s, fx - 10, f.shoulderY + 4, hl.x, hl.y, 5, kSkin);
  Line(s, fx + 10, f.shoulderY + 4, hr.x, hr.y, 5, kSkin);
  FillCircle(s, fx - 11, f.shoulderY + 4, 5, o.dress);
  FillCircle(s, fx + 11, f.shoulderY + 4, 5, o.dress);
  // Neck and head.
  FillRect(s, fx - 3, f.headY + 14, 6, 8, kSkin);
  FillEllipse(s, fx + side * 2, f.headY, 17, 17, kSkin);
  // Fringe.
  FillEllipse(s, fx + side * 3, f.headY - 10, 18, 10, o.hair);
  FillPolygon(s, {{fx - 17 + side * 3, f.headY - 9}, {fx - 12 + side * 3, f.headY + 2}, {fx - 7 + side * 3, f.headY - 8}}, o.hair);
  FillPolygon(s, {{fx + 17 + side * 3, f.headY - 9}, {fx + 12 + side * 3, f.headY + 2}, {fx + 7 + side * 3, f.headY - 8}}, o.hair);
  // A hair ribbon.
  FillPolygon(s, {{fx + 8 - side * 6, f.headY - 18}, {fx + 18 - side * 6, f.headY - 24}, {fx + 16 - side * 6, f.headY - 12}}, kRose);
  // Face.
  const int ex = fx + side * 5;
  const int ey = f.headY + 2;
  auto eye = [&](int x) {
    if (p.eyes == 1) {
      Put(s, x - 2, ey + 1, kInk);
      Put(s, x - 1, ey, kInk);
      Put(s, x, ey, kInk);
      Put(s, x + 1, ey + 1, kInk);
    } else {
      FillRect(s, x - 1, ey - 2, 3, p.eyes == 2 ? 6 : 5, kInk);
      Put(s, x, ey - 2, kWhite);
    }
  };
  if (side == 0) {
    eye(ex - 6);
    eye(ex + 6);
  } else {
    eye(ex + side * 4);
    eye(ex - side * 5);
  }
  FillEllipse(s, ex - 9 + (side > 0 ? 4 : 0), ey + 6, 3, 1.5, kPink);
  FillEllipse(s, ex + 9 - (side < 0 ? 4 : 0), ey + 6, 3, 1.5, kPink);
  const int mx = ex + side * 2, my = ey + 8;
  if (p.mouth == 1) {
    FillEllipse(s, mx, my + 1, 2.5, 2.5, kRoseDeep);
  } else if (p.mouth == 2) {
    FillRect(s, mx - 2, my + 1, 4, 1, kRoseDeep);
  } else {
    Put(s, mx - 2, my, kRoseDeep);
    FillRect(s, mx - 1, my + 1, 3, 1, kRoseDeep);
    Put(s, mx + 2, my, kRoseDeep);
  }
  DrawHands(s, fx, fy, p);
}

}  // namespace databuild::pic

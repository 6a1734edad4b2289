// The heroine: a simple friendly figure built from shapes, posed by a few numbers. Drawn with
// hard edges onto the key colour; the sprite code outlines the whole frame afterwards.
#pragma once
#include "pictures/style.h"

namespace databuild::pic {

struct Outfit {
  Color dress, accent, hair, shoes;
};
// The outfit of room style 0..4.
Outfit OutfitFor(int style);

struct Pose {
  int facing = 0;              // 0 front, -1 left, 1 right
  int handLx = -4, handLy = 26;  // hand positions relative to the shoulders (screen y downwards)
  int handRx = 4, handRy = 26;
  int footL = 0, footR = 0;    // feet moved sideways (walking)
  int liftL = 0, liftR = 0;    // feet lifted
  int bob = 0;                 // the whole body moved down
  bool sitting = false;        // legs forward, body lower
  bool kneeling = false;
  int eyes = 0;                // 0 open, 1 closed (happy arcs), 2 wide
  int mouth = 0;               // 0 smile, 1 open, 2 small line
};

// Draws the figure standing at feet (fx, fy); about 112 pixels tall.
void DrawHeroine(CDibSurface& s, int fx, int fy, const Pose& pose, const Outfit& outfit);
// The hands alone, drawn again over props the figure holds.
void DrawHands(CDibSurface& s, int fx, int fy, const Pose& pose);
// Where the hands are, for placing props.
plat::Point HandL(int fx, int fy, const Pose& pose);
plat::Point HandR(int fx, int fy, const Pose& pose);

inline constexpr Color kSkin{255, 226, 204};
inline constexpr Color kSkinShade{240, 196, 176};

}  // namespace databuild::pic

// Button faces: how a button of the set looks in its normal, highlighted, pressed and inactive
// state, and the placing of every face of a screen's buttons in its sheet. A face is the whole
// rectangle (button and the background around it), so swapping faces on the screen is seamless.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "pictures/style.h"

namespace databuild::pic {

enum class Look { kNormal, kHover, kPressed, kOff };

// Draws one button look into (x, y, w, h) of the surface.
using FaceDraw = std::function<void(CDibSurface&, int x, int y, int w, int h, Look)>;

struct FaceSet {
  int x, y, w, h;       // the normal look, on the screen
  int hx, hy;           // highlighted face in the sheet
  int px, py;           // pressed face
  int ox, oy;           // inactive face
  FaceDraw draw;
  bool drawNormal = true;  // false: the background does not show this button (never enabled)
};

// Draws every button's normal look onto the sheet's top 640 × 480 and its other faces at their
// sheet positions, each over a copy of the background that lies under the button. A face
// position shared with another look of the same button is drawn once, in the first look.
void PlaceFaces(CDibSurface& sheet, const std::vector<FaceSet>& buttons);

// The set's standard buttons.
// A rounded button with a centred label (size 16 or 14) and an optional icon drawn above it.
FaceDraw LabelButton(std::string label, Color base, int fontSize = 16, int radius = 8,
                     std::function<void(CDibSurface&, int cx, int cy, Color ink)> icon = nullptr);
// A round button (a disc in the face) with a label or icon.
FaceDraw RoundButton(std::string label, Color base, int fontSize = 16,
                     std::function<void(CDibSurface&, int cx, int cy, Color ink)> icon = nullptr);
// A choice of a pair: the inactive look is "chosen" (a filled mark), not grey.
FaceDraw ChoiceButton(std::string label, Color base);
// The three small buttons of a window bar (0 minimise, 1 maximise, 2 close): never enabled,
// drawn for the look of a desktop program.
FaceDraw WindowBarButton(int kind);

// Look-dependent colours shared by the buttons.
Color FillFor(Color base, Look look);
Color InkFor(Look look);

// Small icons.
void IconTriangle(CDibSurface& s, int cx, int cy, int size, int dir, Color c);  // dir 0 up 1 right 2 down 3 left
void IconEnvelope(CDibSurface& s, int cx, int cy, int w, Color fill, Color ink, bool open);
void IconSpeaker(CDibSurface& s, int cx, int cy, Color ink);
void IconClip(CDibSurface& s, int cx, int cy, Color ink);

}  // namespace databuild::pic

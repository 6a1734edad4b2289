// What every screen shares: the button record, the hit test, the highlighted, pressed and
// inactive faces, and the mouse protocol that turns a release over a highlighted button into
// the screen's action.
#pragma once
#include <cstdint>

#include "platform/geometry.h"

class CGameView;
class CDibSurface;

// One button: where it reacts, where its faces are drawn and where they lie in the sheet.
struct ButtonRec {
  std::int32_t hitLeft, hitTop, hitRight, hitBottom;  // right and bottom exclusive
  std::int16_t x, y;                                  // faces drawn here
  std::int16_t hoverX, hoverY;                        // highlighted face in the sheet
  std::int16_t pressX, pressY;                        // pressed face
  std::int16_t offX, offY;                            // inactive face
  std::int16_t w, h;                                  // size of every face
  std::int32_t enabled;                               // nonzero: reacts to the mouse
};

// Index of the first enabled button, in table order, whose hit rectangle holds the point;
// -1 when none or when count < 1.
int HitTestButtons(plat::Point point, const ButtonRec* table, int count);

// A screen's buttons with their hover and press state.
struct ButtonPanel {
  CGameView* view = nullptr;
  ButtonRec* table = nullptr;
  int count = 0;
  int hover = -1;     // highlighted button, -1 none
  int pressed = -1;   // button pressed and still held, -1 none
  CDibSurface* faceLayer = nullptr;        // where faces are drawn
  const CDibSurface* faceSheet = nullptr;  // where faces are taken from
  // A face is removed by copying the sheet back (a panel drawn on its own layer) instead of
  // filling it with the key colour.
  bool restoreFromSheet = false;
  // The release activates a button only when the press began on it too.
  bool releaseNeedsPress = false;
  // The screen's action for a released button; it runs after the "click" effect.
  void (*action)(int index) = nullptr;
};

// Moves the highlight to `index` (-1 removes it), showing the pressed face when pressedLook.
void SetHover(ButtonPanel& panel, int index, bool pressedLook);
// Shows button `index` as active (the background's look) or inactive (its inactive face on the
// top layer). Only draws: the caller sets `enabled`.
void SetButtonLook(ButtonPanel& panel, int index, bool active);

// The entry sequence's panel step: no hover, no press, every button enabled.
void ResetPanel(ButtonPanel& panel);

// The mouse protocol.
void PanelMouseMove(ButtonPanel& panel, int x, int y);
void PanelMouseDown(ButtonPanel& panel, int x, int y);
void PanelMouseUp(ButtonPanel& panel, int x, int y);

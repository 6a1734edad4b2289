#include "screens/button_panel.h"

#include "app/game_view.h"
#include "story/game_state.h"

namespace {

plat::Rect FaceRect(const ButtonRec& b) { return plat::Rect{b.x, b.y, b.x + b.w, b.y + b.h}; }

bool ValidIndex(const ButtonPanel& panel, int index) { return index >= 0 && index < panel.count; }

}  // namespace

int HitTestButtons(plat::Point point, const ButtonRec* table, int count) {
  for (int i = 0; i < count; ++i) {
    const ButtonRec& b = table[i];
    if (b.enabled != 0 && point.x >= b.hitLeft && point.x < b.hitRight && point.y >= b.hitTop &&
        point.y < b.hitBottom)
      return i;
  }
  return -1;
}

void SetHover(ButtonPanel& panel, int index, bool pressedLook) {
  CGameView& view = *panel.view;
  if (ValidIndex(panel, panel.hover)) {
    const ButtonRec& old = panel.table[panel.hover];
    if (panel.restoreFromSheet)
      panel.faceLayer->Blit(*panel.faceSheet, old.x, old.y, old.w, old.h, old.x, old.y);
    else
      panel.faceLayer->Fill(FaceRect(old), kKeyGreen);
    view.AddDirty(FaceRect(old));
  }
  panel.hover = index;
  if (ValidIndex(panel, index)) {
    const ButtonRec& b = panel.table[index];
    const int sx = pressedLook ? b.pressX : b.hoverX;
    const int sy = pressedLook ? b.pressY : b.hoverY;
    panel.faceLayer->Blit(*panel.faceSheet, b.x, b.y, b.w, b.h, sx, sy);
    view.AddDirty(FaceRect(b));
  }
  view.InvalidateDirty();
}

void SetButtonLook(ButtonPanel& panel, int index, bool active) {
  if (!ValidIndex(panel, index)) return;
  CGameView& view = *panel.view;
  const ButtonRec& b = panel.table[index];
  if (active)
    view.m_surfTop.Fill(FaceRect(b), kKeyGreen);
  else
    view.m_surfTop.Blit(*panel.faceSheet, b.x, b.y, b.w, b.h, b.offX, b.offY);
  view.AddDirty(FaceRect(b));
}

void ResetPanel(ButtonPanel& panel) {
  panel.hover = panel.pressed = -1;
  for (int i = 0; i < panel.count; ++i) panel.table[i].enabled = 1;
}

void PanelMouseMove(ButtonPanel& panel, int x, int y) {
  const int i = HitTestButtons(plat::Point{x, y}, panel.table, panel.count);
  if (i == panel.hover) return;
  SetHover(panel, i, false);
  panel.pressed = -1;
}

void PanelMouseDown(ButtonPanel& panel, int x, int y) {
  const int i = HitTestButtons(plat::Point{x, y}, panel.table, panel.count);
  if (i != panel.hover) {
    SetHover(panel, i, false);
    panel.pressed = -1;
  } else if (panel.hover >= 0) {
    SetHover(panel, i, true);
    panel.pressed = i;
  }
}

void PanelMouseUp(ButtonPanel& panel, int x, int y) {
  const int i = HitTestButtons(plat::Point{x, y}, panel.table, panel.count);
  if (i != panel.hover) {
    SetHover(panel, i, false);
    panel.pressed = -1;
    return;
  }
  if (panel.hover < 0) return;
  if (panel.releaseNeedsPress && panel.pressed != panel.hover) return;
  const int index = panel.hover;
  panel.view->SeOn("click", svparam.seVolume);
  if (panel.action != nullptr) panel.action(index);
  // Without redrawing: a screen that stays shows the pressed face until the next move.
  panel.hover = -1;
}

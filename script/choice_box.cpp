// The choice box: drawing it, the mouse over it, and the choice made.
#include <cstring>

#include "app/app_utils.h"
#include "script/scene_parts.h"
#include "script/script_loader.h"
#include "script/script_runtime.h"
#include "script/script_scene.h"
#include "story/game_state.h"

namespace {

int ChoiceCount() {
  const int n = scriptRuntime.choiceCount;
  return n < 0 ? 0 : (n > kChoiceMax ? kChoiceMax : n);
}

// A choice is marked when the player asked for it and its target was ever played.
COLORREF LabelColor(int i) {
  if (svparam.markSeenChoices != 1) return kTextBlack;
  const int row = ScFindScript(scriptRuntime.choiceTarget[i]);
  return row >= 0 && TestBit(sysparam.everSeenScripts, row) ? kTextSeen : kTextBlack;
}

}  // namespace

void DrawChoices(int highlight) {
  CGameView* v = SceneView();
  if (v == nullptr) return;
  const int count = ChoiceCount();
  v->m_surfTop.Fill(plat::Rect{kChoiceLeft, kChoiceTop, kChoiceLeft + kChoiceWidth, kChoiceTop + kChoiceHeight * count},
                    kBoxPink);
  if (highlight >= 0) {
    const int top = kChoiceTop + kChoiceHeight * highlight;
    v->m_surfTop.Fill(plat::Rect{kChoiceLeft, top, kChoiceLeft + kChoiceWidth, top + kChoiceHeight}, kBoxLight);
  }
  for (int i = 0; i < count; ++i) {
    const COLORREF color = LabelColor(i);
    // The label's bytes within its field (a label fills at most 51 of its 52 bytes).
    char label[kChoiceLabelSize];
    const std::size_t len = strnlen(scriptRuntime.choiceLabel[i], kChoiceLabelSize - 1);
    std::memcpy(label, scriptRuntime.choiceLabel[i], len);
    label[len] = '\0';
    // Centred, and drawn twice one pixel apart for a bold look.
    const int x = kMessageRect.left + 3 + (kChoiceWidth - 8 * static_cast<int>(len)) / 2;
    const int y = kMessageRect.top + 68 + kChoiceHeight * i;
    v->m_surfTop.DrawString(x, y, label, v->m_fontLarge.get(), color);
    v->m_surfTop.DrawString(x - 1, y, label, v->m_fontLarge.get(), color);
  }
  v->AddDirty(scriptRuntime.msgRect);
}

void ChoiceMouse(int isClick, plat::Point point) {
  const int count = ChoiceCount();
  if (point.x < kChoiceLeft || point.x >= kChoiceLeft + kChoiceHitWidth || point.y < kChoiceTop ||
      point.y >= kChoiceTop + kChoiceHeight * count)
    return;
  const int i = (point.y - kChoiceTop) / kChoiceHeight;
  if (i != scriptRuntime.choiceSel) {
    // A click on another choice only highlights it.
    scriptRuntime.choiceSel = static_cast<std::int16_t>(i);
    DrawChoices(i);
    if (CGameView* v = SceneView()) v->InvalidateDirty();
  } else if (isClick) {
    scriptRuntime.mode = 0;  // made: the next tick loads it
  }
}

int GetChoice() { return scriptRuntime.mode == 2 ? -1 : scriptRuntime.choiceSel; }

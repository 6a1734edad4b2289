// The mail-sending box: 32 ticks of a filling bar with its caption, then removed.
#include "script/scene_parts.h"
#include "script/script_runtime.h"
#include "script/script_scene.h"

namespace {

constexpr plat::Rect kSendBox{272, 96, 368, 112};
constexpr int kSendSteps = 32;

}  // namespace

bool SendBoxStep() {
  ScriptRuntime& rt = scriptRuntime;
  CGameView* v = SceneView();
  if (v != nullptr) {
    CDibSurface& top = v->m_surfTop;
    v->AddDirty(kSendBox);
    top.Fill(kSendBox, (rt.sendTicks / 8) % 2 == 1 ? kBoxLight : kBoxPink);
    // The coloured part grows from the left by 3 pixels a step; the rest is white.
    const int grown = rt.sendTicks < 0 ? 0 : (rt.sendTicks > kSendSteps ? kSendSteps : rt.sendTicks);
    top.Fill(plat::Rect{kSendBox.left + 3 * grown, kSendBox.top, kSendBox.right, kSendBox.bottom}, kWhite);
    top.DrawString(kSendBox.left, kSendBox.top, "メール送信中", v->m_fontLarge.get(), kTextBlack);
  }
  ++rt.sendTicks;
  if (rt.sendTicks < kSendSteps) return false;
  if (v != nullptr) v->m_surfTop.Fill(kSendBox, kKeyGreen);
  return true;
}

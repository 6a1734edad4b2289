// The message area: message characters in their cells, clearing the area, the click cursor.
#include <cstring>

#include "graphics/line_break.h"
#include "graphics/part_rect.h"
#include "script/scene_parts.h"
#include "script/script_runtime.h"
#include "script/script_scene.h"

CGameView* SceneView() { return scriptRuntime.view != nullptr ? scriptRuntime.view : g_pGameView; }

namespace {

// Source rows of the cursor's seven frames in the parts sheet (column 576).
constexpr int kCursorFrameY[7] = {0, 24, 48, 72, 0, 96, 120};
constexpr int kCursorSheetX = 576;

}  // namespace

void DrawMessageChar(const char* ch) {
  CGameView* v = SceneView();
  ScriptRuntime& rt = scriptRuntime;
  // The character as a string of its own: one double-byte character, or less at a text end.
  char text[3] = {ch[0], ch[0] != '\0' ? ch[1] : '\0', '\0'};
  if (rt.column >= kLineColumns && !(rt.column == kLineColumns && MayHang(text))) {
    rt.column = 0;
    ++rt.line;
  }
  const int cellX = kMessageRect.left + kCellWidth * rt.column;
  const int cellY = kMessageRect.top + kCellHeight * rt.line;
  const int x = cellX + 2, y = cellY + 2;
  if (v != nullptr) {
    // Text below the last line that fits is cut off by the top layer's edge; the dirty area is
    // kept on the screen.
    v->m_surfTop.DrawString(x, y, text, v->m_fontLarge.get(), kTextWhite);
    v->m_surfTop.DrawString(x + 1, y, text, v->m_fontLarge.get(), kTextGrey);
    v->AddDirty(plat::IntersectRect(plat::Rect{x, y, cellX + 23, cellY + 24}, v->m_rcScreen));
  }
  ++rt.column;
}

void ClearMessage() {
  scriptRuntime.column = scriptRuntime.line = 0;
  CGameView* v = SceneView();
  if (v == nullptr) return;
  v->m_surfTop.Fill(scriptRuntime.msgRect, kMessageBand);
  v->AddDirty(scriptRuntime.msgRect);
}

void BlinkCursor(int tickCount) {
  CGameView* v = SceneView();
  if (v == nullptr || tickCount % 2 != 0) return;
  const int frame = (tickCount / 4) % 7;
  const PartRect part{kCursorX, kCursorY, kCursorSheetX, static_cast<std::int16_t>(kCursorFrameY[frame]),
                      kCursorSize, kCursorSize};
  DrawPart(part, v->m_surfTop, v->m_surfParts, 0, 0);
}

void EraseCursor() {
  CGameView* v = SceneView();
  if (v == nullptr) return;
  const plat::Rect square{kCursorX, kCursorY, kCursorX + kCursorSize, kCursorY + kCursorSize};
  v->m_surfTop.Fill(square, kKeyGreen);
  v->AddDirty(square);
}

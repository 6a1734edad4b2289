#include "graphics/part_rect.h"

#include "app/game_view.h"
#include "graphics/dib_surface.h"

void DrawPart(const PartRect& part, CDibSurface& dst, const CDibSurface& src, int dx, int dy) {
  DrawPartFrame(part, dst, src, dx, dy, 0);
}

void DrawPartFrame(const PartRect& part, CDibSurface& dst, const CDibSurface& src, int dx, int dy, int frame) {
  const int x = part.x + dx, y = part.y + dy;
  dst.Blit(src, x, y, part.w, part.h, part.srcX, part.srcY + frame * part.h);
  if (g_pGameView != nullptr) g_pGameView->AddDirty(plat::Rect{x, y, x + part.w, y + part.h});
}

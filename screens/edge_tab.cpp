#include "screens/edge_tab.h"

#include "app/game_view.h"
#include "screens/button_panel.h"
#include "screens/screen_stubs.h"

namespace {

// One row: hit (0,0)-(6,480), faces at (0,0), 6 x 480; normal face at (152,0), lit at (158,0).
ButtonRec g_edgeButton{0, 0, 6, 480, 0, 0, 158, 0, 158, 0, 152, 0, 6, 480, 1};

// The first step of every event: the tab under the point becomes the highlighted one, and a
// change of highlight forgets the press. True when the highlight changed.
bool FollowPointer(CGameView& view, int x, int y) {
  const int i = HitTestButtons(plat::Point{x, y}, &g_edgeButton, 1);
  if (i == view.m_nEdgeHover) return false;
  view.SetEdgeHover(i);
  view.m_nEdgePressed = -1;
  return true;
}

}  // namespace

void EdgeTabMouseMove(unsigned flags, int x, int y) {
  (void)flags;
  FollowPointer(*g_pGameView, x, y);
}

void EdgeTabMouseDown(unsigned flags, int x, int y) {
  (void)flags;
  CGameView& view = *g_pGameView;
  if (!FollowPointer(view, x, y) && view.m_nEdgeHover >= 0) view.m_nEdgePressed = 0;  // no pressed face
}

void EdgeTabMouseUp(unsigned flags, int x, int y) {
  (void)flags;
  CGameView& view = *g_pGameView;
  if (FollowPointer(view, x, y) || view.m_nEdgeHover < 0) return;
  view.m_nEdgeHover = -1;
  StubOpenGameMenu(&view);
}

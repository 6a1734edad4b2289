#include "screens/edge_tab.h"

#include "app/game_view.h"
#include "screens/button_panel.h"
#include "screens/screen_stubs.h"

namespace {

// One row: hit (0,0)-(6,480), faces at (0,0), 6 x 480; normal face at (152,0), lit at (158,0).
ButtonRec g_edgeButton{0, 0, 6, 480, 0, 0, 158, 0, 158, 0, 152, 0, 6, 480, 1};

int HitTab(int x, int y) { return HitTestButtons(plat::Point{x, y}, &g_edgeButton, 1); }

}  // namespace

void EdgeTabMouseMove(unsigned flags, int x, int y) {
  (void)flags;
  CGameView& view = *g_pGameView;
  const int i = HitTab(x, y);
  if (i == view.m_nEdgeHover) return;
  view.SetEdgeHover(i);
  view.m_nEdgePressed = -1;
}

void EdgeTabMouseDown(unsigned flags, int x, int y) {
  (void)flags;
  CGameView& view = *g_pGameView;
  const int i = HitTab(x, y);
  if (i != view.m_nEdgeHover) {
    view.SetEdgeHover(i);
    view.m_nEdgePressed = -1;
  } else if (view.m_nEdgeHover >= 0) {
    view.m_nEdgePressed = 0;  // the tab has no pressed face
  }
}

void EdgeTabMouseUp(unsigned flags, int x, int y) {
  (void)flags;
  CGameView& view = *g_pGameView;
  const int i = HitTab(x, y);
  if (i != view.m_nEdgeHover) {
    view.SetEdgeHover(i);
    view.m_nEdgePressed = -1;
    return;
  }
  if (view.m_nEdgeHover < 0) return;
  view.m_nEdgeHover = -1;
  StubOpenGameMenu(&view);
}

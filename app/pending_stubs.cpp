#include "app/pending_stubs.h"

#include "app/game_view.h"
#include "app/velmora_app.h"

void StubScriptRuntimeSetView(CGameView* view) {
  (void)view;
  App().m_log.Printf("STUB ScriptRuntimeSetView: the script runtime is not built yet\n");
}

int g_nStubOpeningTicks = 0;

namespace {
void StubOpeningTick() { ++g_nStubOpeningTicks; }
}  // namespace

void StubPlayOpeningMovie(CGameView* view) {
  App().m_log.Printf("STUB PlayOpeningMovie: the opening movie and title are not built yet; black screen\n");
  view->LeaveScreen();
  g_nStubOpeningTicks = 0;
  view->m_pfnTick = StubOpeningTick;
  view->m_surfFrame.Fill(view->m_rcScreen, kBlack);
  view->m_surfBack.Fill(view->m_rcScreen, kBlack);
  view->m_surfTop.Fill(view->m_rcScreen, kKeyGreen);
  view->Invalidate(&view->m_rcScreen);
}

void StubEdgeTabMouse(unsigned flags, int x, int y) {
  (void)flags, (void)x, (void)y;
  static bool logged = false;
  if (!logged) App().m_log.Printf("STUB EdgeTabMouse: the edge tab's mouse logic is not built yet\n");
  logged = true;
}

#include "screens/screen_stubs.h"

#include <cstdio>

#include "app/game_view.h"
#include "app/velmora_app.h"
#include "screens/title_screen.h"
#include "story/game_state.h"

void StubShowDayCard(CGameView* view) {
  App().m_log.Printf("STUB ShowDayCard: the day card is not built yet; day %d goes on\n", svparam.day);
  view->NextPhase();
}

namespace {

void StubRoomMouseUp(unsigned flags, int x, int y) {
  (void)flags, (void)x, (void)y;
  g_pGameView->LeaveScreen();
  g_pGameView->NextPhase();
}

}  // namespace

void StubShowRoomScreen(CGameView* view, const char* mailName) {
  App().m_log.Printf("STUB ShowRoomScreen: the room screen is not built yet; mail '%s', a click goes on\n",
                     mailName);
  view->LeaveScreen();
  char text[96];
  std::snprintf(text, sizeof text, "%d日目 %d  %.40s", svparam.day, svparam.time, mailName);
  view->m_surfTop.DrawString(48, 224, text, view->m_fontLarge.get(), 0xFFFFFF);
  view->m_nFadeStep = 8;
  view->m_pfnMouseUp = StubRoomMouseUp;
  view->Invalidate(&view->m_rcScreen);
}

void StubOpenGameMenu(CGameView* view) {
  (void)view;
  App().m_log.Printf("STUB OpenGameMenu: the in-game menu is not built yet\n");
}

void StubShowLoadScreen(CGameView* view, int fromGame) {
  App().m_log.Printf("STUB ShowLoadScreen(%d): the load screen is not built yet; back to the title\n", fromGame);
  ShowTitleScreen(view);
}

void StubShowSettingsScreen(CGameView* view, int fromGame) {
  App().m_log.Printf("STUB ShowSettingsScreen(%d): the settings screen is not built yet; back to the title\n",
                     fromGame);
  ShowTitleScreen(view);
}

void StubOpenGallery(CGameView* view) {
  App().m_log.Printf("STUB OpenGallery: the extras gallery is not built yet; back to the title\n");
  ShowTitleScreen(view);
}

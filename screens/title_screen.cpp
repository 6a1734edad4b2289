#include "screens/title_screen.h"

#include "app/game_view.h"
#include "app/velmora_app.h"
#include "screens/button_panel.h"
#include "screens/screen_entry.h"
#include "screens/screen_stubs.h"
#include "story/game_state.h"
#include "story/init_game_data.h"

namespace {

enum TitleButton { kNewGame, kLoad, kSettings, kExtras, kTitleButtons };

// Faces 168 x 24 from the title sheet.
ButtonRec g_titleButtons[kTitleButtons] = {
    {237, 260, 396, 283, 234, 260, 0, 480, 168, 480, 168, 480, 168, 24, 1},
    {237, 290, 396, 313, 234, 290, 0, 504, 168, 504, 168, 504, 168, 24, 1},
    {265, 320, 365, 343, 234, 320, 0, 528, 168, 528, 168, 528, 168, 24, 1},
    {266, 350, 358, 373, 234, 350, 0, 552, 168, 552, 336, 480, 168, 24, 1},
};

ButtonPanel g_title;

void TitleAction(int index) {
  CGameView* view = g_title.view;
  switch (index) {
    case kNewGame:
      view->LeaveScreen();
      view->BgmOff(0);
      InitGameData();
      StartNewGame(view);
      break;
    case kLoad:
      StubShowLoadScreen(view, 0);
      break;
    case kSettings:
      StubShowSettingsScreen(view, 0);
      break;
    case kExtras:
      StubOpenGallery(view);
      view->BgmOff(0);
      break;
    default:
      break;
  }
}

void TitleMouseMove(unsigned, int x, int y) { PanelMouseMove(g_title, x, y); }
void TitleMouseDown(unsigned, int x, int y) { PanelMouseDown(g_title, x, y); }
void TitleMouseUp(unsigned, int x, int y) { PanelMouseUp(g_title, x, y); }

}  // namespace

void ShowTitleScreen(CGameView* view) {
  g_title.view = view;
  view->LeaveScreen();
  view->m_pfnMouseMove = TitleMouseMove;
  view->m_pfnMouseDown = TitleMouseDown;
  view->m_pfnMouseUp = TitleMouseUp;

  view->m_surfPicture.LoadBmp(App().m_strMiscPath + "title256" + ".bmp");
  ClearScreenLayers(*view);

  g_title.table = g_titleButtons;
  g_title.count = kTitleButtons;
  g_title.faceLayer = &view->m_surfTop;
  g_title.faceSheet = &view->m_surfPicture;
  g_title.action = TitleAction;
  ResetPanel(g_title);
  // Before the first ending the extras button keeps its normal look but does not react.
  if (sysparam.endingSeen == 0) g_titleButtons[kExtras].enabled = 0;

  view->BgmOn("BGM10", svparam.bgmVolume);
  view->Invalidate(&view->m_rcScreen);
}

#include "screens/screen_entry.h"

#include "app/game_view.h"

void ClearScreenLayers(CGameView& view) {
  view.m_surfFrame.Fill(view.m_rcScreen, kBlack);
  view.m_surfBack.Fill(view.m_rcScreen, kBlack);
  view.m_surfTop.Fill(view.m_rcScreen, kKeyGreen);
  view.m_bMiddleOn = false;
  view.m_nFadeStep = 8;
  view.m_nPictureLevel = 4;
  view.m_nMiddleLevel = 4;
}

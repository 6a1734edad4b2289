#include "gallery/opening_movie.h"

#include "app/game_view.h"
#include "app/velmora_app.h"
#include "audio/media_slot.h"
#include "screens/screen_entry.h"
#include "screens/title_screen.h"

namespace {

CGameView* g_openingView = nullptr;
MediaSlot g_openingMovie;

void EndOpeningMovie() {
  if (g_openingMovie.isOpen) g_openingMovie.Close();
  ShowTitleScreen(g_openingView);
}

void OpeningMouseUp(unsigned, int, int) { EndOpeningMovie(); }

void OpeningTick() {
  // A movie that could not be opened never reports "stopped": the scene then waits for a click.
  if (g_openingMovie.isOpen && g_openingMovie.IsStopped()) EndOpeningMovie();
}

}  // namespace

void PlayOpeningMovie(CGameView* view) {
  g_openingView = view;
  view->LeaveScreen();
  view->m_pfnMouseUp = OpeningMouseUp;
  view->m_pfnTick = OpeningTick;

  view->m_surfPicture.Fill(view->m_rcScreen, kBlack);
  ClearScreenLayers(*view);

  g_openingMovie.MovieOpen(App().m_strVideoPath + "op" + ".wmv", 80, 80, 480, 320, false, false);
  g_openingMovie.Play();
  view->Invalidate(&view->m_rcScreen);
}

// A movie in the real window: the small test video (flat-colour pictures) shown scaled into the
// rectangle (80, 80)-(560, 400) over a black screen, started again whenever it ends, so the gui
// test can look at it at any moment. VELMORA_TEST_MOVIE names the file; without it the copy in
// the source tree is used.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/game_view.h"
#include "app/velmora_app.h"
#include "platform/files.h"
#include "audio/media_slot.h"

namespace {

MediaSlot g_movie;

void LoopMovie() {
  if (g_movie.IsStopped()) {
    g_movie.Rewind();
    g_movie.Play();
  }
}

std::string MoviePath() {
  const char* env = std::getenv("VELMORA_TEST_MOVIE");
  if (env != nullptr && *env != '\0') return env;
  return VELMORA_TEST_MOVIE_DEFAULT;
}

class MovieDemoApp : public CVelmoraApp {
 public:
  ~MovieDemoApp() override { g_movie.Close(); }

  bool InitInstance() override {
    if (!CVelmoraApp::InitInstance()) return false;
    CGameView& v = *g_pGameView;
    v.LeaveScreen();
    // The opening movie started with the view; the demo takes its place and its media alias.
    SendMediaString("close mcitest");
    v.m_surfFrame.Fill(v.m_rcScreen, kBlack);
    v.m_surfBack.Fill(v.m_rcScreen, kBlack);
    v.m_surfTop.Fill(v.m_rcScreen, kKeyGreen);
    v.Invalidate(&v.m_rcScreen);
    const std::string path = MoviePath();
    g_movie.MovieOpen(path, 80, 80, 480, 320, false, false);
    if (!g_movie.isOpen) std::fprintf(stderr, "movie_demo: cannot open %s\n", path.c_str());
    g_movie.Play();
    v.m_pfnTick = LoopMovie;
    return true;
  }
};

// The demo lives beside the tests and reads the game folder's data, as if it were the program
// there; the folder is set before the application object below looks for it.
const bool g_gameFolder = (plat::OverrideModuleFolder(VELMORA_GAME_FOLDER), true);
MovieDemoApp theDemo;

}  // namespace

// A test scene in the real window: a dissolve half-way between two pictures, a red shadow band
// across it, and white and grey text on the top layer. The gui test checks its pixels on the
// screen; the picture is also a quick look at what the composition and the fonts produce.
#include "app/game_view.h"
#include "audio/media_slot.h"
#include "app/velmora_app.h"
#include "platform/files.h"

namespace {

class SceneDemoApp : public CVelmoraApp {
 public:
  bool InitInstance() override {
    if (!CVelmoraApp::InitInstance()) return false;
    CGameView& v = *g_pGameView;
    v.LeaveScreen();
    // The opening movie started with the view; the demo takes its place and its media alias.
    SendMediaString("close mcitest");
    const plat::Rect all{0, 0, 640, 480};
    v.m_surfBack.Fill(all, plat::Color{40, 140, 120});
    v.m_surfPicture.Fill(all, plat::Color{220, 180, 60});
    v.m_nPictureLevel = 2;
    v.m_surfTop.Fill(all, kKeyGreen);
    v.m_surfTop.Fill({0, 200, 640, 240}, plat::Color{255, 0, 0});
    v.m_surfTop.DrawString(40, 300, "白い文字のテスト Velmora 0123", v.m_fontLarge.get(), 0xFFFFFF);
    v.m_surfTop.DrawString(40, 330, "灰色の文字、小さいフォント", v.m_fontSmall.get(), 0x808080);
    v.Invalidate(&v.m_rcScreen);
    return true;
  }
};

// The demo lives beside the tests and reads the game folder's data, as if it were the program
// there; the folder is set before the application object below looks for it.
const bool g_gameFolder = (plat::OverrideModuleFolder(VELMORA_GAME_FOLDER), true);
SceneDemoApp theDemo;

}  // namespace

// The game view's scene loop: ticks, mouse routing with the edge tab and capture, and painting
// only what changed.
#include <string>
#include <vector>

#include "app/game_view.h"
#include "app/main_frame.h"
#include "screens/edge_tab.h"
#include "game_fixture.h"

namespace {

using plat::headless::Advance;
using plat::headless::PresentedPixel;

bool SameColor(plat::Color a, plat::Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

class GameViewTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    AddSamples(game_);
    StartGame();
    view_ = g_pGameView;
    ASSERT_NE(view_, nullptr);
    Advance(1);  // the first paint
  }
  void TearDown() override {
    SetEdgeTabLogic(EdgeTabLogic{EdgeTabMouseMove, EdgeTabMouseDown, EdgeTabMouseUp});
    GameFolderTest::TearDown();
  }
  CGameView* view_ = nullptr;
};

TEST_F(GameViewTest, OpensCentredBlackAndTheFirstTickReachesTheOpeningScreen) {
  EXPECT_EQ(plat::headless::WindowTitle(), "Velmora");
  // The headless work area is 1280 × 984: the window is centred in it.
  EXPECT_EQ(plat::headless::WindowBounds(), (plat::Rect{320, 252, 960, 732}));
  EXPECT_EQ(plat::headless::PresentedWidth(), 640);
  EXPECT_EQ(plat::headless::PresentedHeight(), 480);
  EXPECT_TRUE(SameColor(PresentedPixel(320, 240), plat::Color{0, 0, 0}));

  // The opening screen was entered during creation; the timer then runs every 50 ms.
  static CGameView::TickFn opening;
  static int ticks;
  opening = view_->m_pfnTick;
  ticks = 0;
  ASSERT_NE(opening, nullptr);
  ASSERT_NE(view_->m_pfnMouseUp, nullptr);
  view_->m_pfnTick = [] {
    ++ticks;
    opening();
  };
  Advance(48);  // 49 ms since creation
  EXPECT_EQ(ticks, 0);
  Advance(1);
  EXPECT_EQ(ticks, 1);
  Advance(500);
  EXPECT_EQ(ticks, 11);
}

TEST_F(GameViewTest, ASlowTickIsNotFollowedByABurst) {
  static std::vector<std::uint64_t> ticks;
  ticks.clear();
  view_->m_pfnTick = [] {
    ticks.push_back(plat::headless::Now());
    if (ticks.size() == 1) plat::headless::SpendTime(175);  // a tick that takes three periods and a half
  };
  Advance(400);
  ASSERT_GE(ticks.size(), 3u);
  // One late tick right after the slow one, then the regular period again.
  EXPECT_EQ(ticks[1] - ticks[0], 175u);
  EXPECT_EQ(ticks[2] - ticks[1], 50u);
}

// The order in which the edge tab's logic and the screens' callbacks see a mouse event.
std::vector<std::string> g_calls;

void RecordScreen(const char* what, int x, int y) { g_calls.push_back(std::string(what) + "@" + std::to_string(x) + "," + std::to_string(y)); }

TEST_F(GameViewTest, EdgeTabLogicRunsFirstAndTheSlotIsReadAfterIt) {
  g_calls.clear();
  // An edge tab whose release opens another screen (as the in-game menu does).
  SetEdgeTabLogic(EdgeTabLogic{
      [](unsigned, int x, int y) { RecordScreen("tab-move", x, y); },
      [](unsigned, int x, int y) { RecordScreen("tab-down", x, y); },
      [](unsigned, int x, int y) {
        RecordScreen("tab-up", x, y);
        g_pGameView->LeaveScreen();
        g_pGameView->m_pfnMouseUp = [](unsigned, int x2, int y2) { RecordScreen("menu-up", x2, y2); };
      }});
  view_->m_pfnMouseMove = [](unsigned, int x, int y) { RecordScreen("screen-move", x, y); };
  view_->m_pfnMouseDown = [](unsigned, int x, int y) { RecordScreen("screen-down", x, y); };
  view_->m_pfnMouseUp = [](unsigned, int x, int y) { RecordScreen("screen-up", x, y); };
  view_->ShowEdgeTab();

  plat::headless::InjectMouseMove(3, 100);
  plat::headless::InjectMouseDown(3, 100);
  plat::headless::InjectMouseUp(3, 100);
  Advance(1);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"tab-move@3,100", "screen-move@3,100", "tab-down@3,100",
                                               "screen-down@3,100", "tab-up@3,100", "menu-up@3,100"}));

  // With the tab hidden the same events reach only the screen.
  g_calls.clear();
  view_->m_pfnMouseDown = [](unsigned, int x, int y) { RecordScreen("screen-down", x, y); };
  plat::headless::InjectMouseDown(3, 100);
  Advance(1);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"screen-down@3,100"}));
}

TEST_F(GameViewTest, PressCapturesTheMouseSoAReleaseOutsideStillArrives) {
  g_calls.clear();
  view_->m_pfnMouseUp = [](unsigned, int x, int y) { RecordScreen("up", x, y); };
  view_->m_pfnMouseMove = [](unsigned, int x, int y) { RecordScreen("move", x, y); };
  plat::headless::InjectMouseDown(100, 100);
  Advance(1);
  EXPECT_TRUE(plat::headless::MouseCaptured());
  plat::headless::InjectMouseMove(700, -20, plat::kFlagLButton);
  plat::headless::InjectMouseUp(700, -20);
  Advance(1);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"move@700,-20", "up@700,-20"}));
  EXPECT_FALSE(plat::headless::MouseCaptured());
  // Without capture, events outside the window go nowhere.
  plat::headless::InjectMouseMove(700, -20);
  Advance(1);
  EXPECT_EQ(g_calls.size(), 2u);
}

TEST_F(GameViewTest, PaintComposesOnlyTheDirtyRectangle) {
  const plat::Color white{255, 255, 255}, black{0, 0, 0};
  // Two changes to the top layer; only the first is declared dirty.
  view_->m_surfTop.Fill({10, 10, 20, 20}, white);
  view_->m_surfTop.Fill({600, 400, 610, 410}, white);
  view_->AddDirty({10, 10, 20, 20});
  view_->InvalidateDirty();
  Advance(1);
  EXPECT_TRUE(view_->m_rcDirty.IsEmpty());
  EXPECT_TRUE(SameColor(PresentedPixel(15, 15), white));
  EXPECT_TRUE(SameColor(PresentedPixel(605, 405), black));

  // Uncovering a part of the window repaints exactly that part from the layers.
  plat::headless::InjectExpose({600, 400, 605, 410});
  Advance(1);
  EXPECT_TRUE(SameColor(PresentedPixel(602, 405), white));
  EXPECT_TRUE(SameColor(PresentedPixel(607, 405), black));
}

TEST_F(GameViewTest, DuringAFadeLayerChangesWaitUntilItEnds) {
  view_->m_surfPicture.Fill(view_->m_rcScreen, {200, 100, 40});
  view_->Invalidate(&view_->m_rcScreen);
  Advance(1);
  EXPECT_TRUE(SameColor(PresentedPixel(300, 300), plat::Color{200, 100, 40}));

  view_->m_nFadeStep = 4;  // half brightness: 128 of 255
  view_->m_surfTop.Fill({290, 290, 310, 310}, {255, 255, 255});
  view_->Invalidate(&view_->m_rcScreen);
  Advance(1);
  EXPECT_TRUE(SameColor(PresentedPixel(300, 300), plat::Color{100, 50, 20}));

  view_->m_nFadeStep = 8;
  view_->Invalidate(&view_->m_rcScreen);
  Advance(1);
  EXPECT_TRUE(SameColor(PresentedPixel(300, 300), plat::Color{255, 255, 255}));
}

TEST_F(GameViewTest, LeaveScreenCallsTheLeaveCallbackOnceAndClearsEverySlot) {
  static int leaves = 0;
  leaves = 0;
  view_->m_pfnLeave = [] { ++leaves; };
  view_->m_pfnTick = [] {};
  view_->ShowEdgeTab();
  view_->LeaveScreen();
  view_->LeaveScreen();
  EXPECT_EQ(leaves, 1);
  EXPECT_FALSE(view_->m_bEdgeTab);
  EXPECT_EQ(view_->m_pfnTick, nullptr);
  EXPECT_EQ(view_->m_pfnMouseDown, nullptr);
  EXPECT_EQ(view_->m_nEdgeHover, -1);
}

}  // namespace

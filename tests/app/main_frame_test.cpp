// The main frame: the quit question on every close path, the ignored function keys, and the
// switch to full screen and back.
#include "app/game_view.h"
#include "app/main_frame.h"
#include "game_fixture.h"
#include "platform/dialog.h"
#include "platform/text_encoding.h"
#include "resources/game_resources.h"

namespace {

using plat::headless::Advance;

class MainFrameTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    AddSamples(game_);
    StartGame();
    frame_ = app_->m_pMainFrame.get();
    Advance(1);
  }
  CMainFrame* frame_ = nullptr;
};

enum class ClosePath { kAltF4, kCloseBox, kQuitCommand };

struct CloseCase {
  const char* name;
  ClosePath path;
  friend std::ostream& operator<<(std::ostream& os, const CloseCase& c) { return os << c.name; }
};

class ClosePathTest : public MainFrameTest, public ::testing::WithParamInterface<CloseCase> {
 protected:
  void RequestClose() {
    switch (GetParam().path) {
      case ClosePath::kAltF4: plat::headless::InjectKey(plat::Key::kF4, plat::kModAlt); break;
      case ClosePath::kCloseBox: plat::headless::InjectCloseRequest(); break;
      case ClosePath::kQuitCommand: frame_->OnCommand(ID_APP_QUIT); break;
    }
  }
};

TEST_P(ClosePathTest, AsksFirstAndReturningToTheGameChangesNothing) {
  CGameView& view = frame_->m_wndView;
  view.m_surfTop.Fill({100, 100, 140, 140}, {250, 250, 250});
  view.Invalidate();
  Advance(1);
  static int ticks;
  ticks = 0;
  view.m_pfnTick = [] { ++ticks; };
  const auto tick = view.m_pfnTick;

  // While the question is open, 200 ms pass: the scene loop keeps ticking under it.
  plat::headless::QueueModalAdvance(200);
  plat::headless::QueueModalButton(plat::kIdCancel);
  RequestClose();
  Advance(1);

  const auto& shown = plat::headless::DialogsShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "Velmoraの終了");
  EXPECT_EQ(shown[0].texts, (std::vector<std::string>{"Velmoraを終了します。", "よろしいですか？"}));
  EXPECT_EQ(shown[0].buttons, (std::vector<int>{plat::kIdOk, plat::kIdCancel}));
  EXPECT_GE(ticks, 4);
  EXPECT_TRUE(plat::headless::WindowOpen());
  EXPECT_EQ(view.m_pfnTick, tick);
  Advance(1);
  const plat::Color c = plat::headless::PresentedPixel(120, 120);
  EXPECT_EQ(c.r, 250);
  EXPECT_EQ(plat::headless::PresentedPixel(320, 240).r, 0);  // the dialog is gone from the picture

  // "OK" closes the window and ends the loop with exit code 0.
  plat::headless::QueueModalButton(plat::kIdOk);
  RequestClose();
  Advance(100);
  EXPECT_FALSE(plat::headless::WindowOpen());
  EXPECT_TRUE(app_->quitting());
  EXPECT_EQ(app_->Run(), 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, ClosePathTest,
                         ::testing::Values(CloseCase{"AltF4", ClosePath::kAltF4},
                                           CloseCase{"CloseBox", ClosePath::kCloseBox},
                                           CloseCase{"QuitCommand", ClosePath::kQuitCommand}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(MainFrameTest, MouseInputIsBlockedWhileTheQuestionIsOpen) {
  static int downs = 0;
  downs = 0;
  frame_->m_wndView.m_pfnMouseDown = [](unsigned, int, int) { ++downs; };
  plat::headless::ModalAction click;
  click.kind = plat::headless::ModalAction::Kind::kClick;
  click.x = 5;
  click.y = 5;
  plat::headless::QueueModal(click);
  plat::headless::QueueModalButton(plat::kIdCancel);
  plat::headless::InjectCloseRequest();
  Advance(1);
  EXPECT_EQ(downs, 0);
  plat::headless::InjectMouseDown(5, 5);
  Advance(1);
  EXPECT_EQ(downs, 1);
}

TEST_F(MainFrameTest, FunctionKeysDoNothing) {
  const plat::Key keys[] = {plat::Key::kF1, plat::Key::kF2, plat::Key::kF3, plat::Key::kF4, plat::Key::kF5,
                            plat::Key::kF6, plat::Key::kF7, plat::Key::kF8, plat::Key::kF9, plat::Key::kF10};
  for (plat::Key k : keys) plat::headless::InjectKey(k);
  Advance(100);
  EXPECT_TRUE(plat::headless::DialogsShown().empty());
  EXPECT_TRUE(plat::headless::WindowOpen());
  EXPECT_FALSE(app_->quitting());
  for (int command = ID_KEY_F1; command <= ID_KEY_F10; ++command)
    EXPECT_EQ(frame_->m_wndView.OnCommand(command), command != ID_APP_QUIT) << command;
}

TEST_F(MainFrameTest, FullScreenAndBackRestoresTheStartWindow) {
  const plat::Rect start = plat::headless::WindowBounds();
  frame_->ToFullScreen();
  frame_->ToFullScreen();  // twice: the same mode again
  EXPECT_TRUE(plat::headless::WindowFullScreen());
  EXPECT_FALSE(plat::headless::WindowDecorated());
  EXPECT_EQ(plat::headless::WindowBounds(), (plat::Rect{0, 0, 640, 480}));
  EXPECT_EQ(frame_->m_wndView.bounds(), (plat::Rect{0, 0, 640, 480}));
  EXPECT_TRUE(frame_->m_displayMode.m_bChanged);

  frame_->ToWindowed();
  EXPECT_FALSE(plat::headless::WindowFullScreen());
  EXPECT_TRUE(plat::headless::WindowDecorated());
  EXPECT_EQ(plat::headless::WindowBounds(), start);
  EXPECT_FALSE(frame_->m_displayMode.m_bChanged);

  // Ending the game in full screen gives the desktop back.
  frame_->ToFullScreen();
  app_.reset();
  EXPECT_FALSE(plat::headless::WindowFullScreen());
}

}  // namespace

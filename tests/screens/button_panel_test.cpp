// The buttons every screen shares: the hit test and the mouse protocol with its faces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/button_panel.h"
#include "tests/screens/screen_fixture.h"

namespace {

ButtonRec Row(int l, int t, int r, int b, int enabled) {
  return ButtonRec{l, t, r, b, static_cast<std::int16_t>(l), static_cast<std::int16_t>(t), 0, 0, 0, 0, 0, 0,
                   static_cast<std::int16_t>(r - l), static_cast<std::int16_t>(b - t), enabled};
}

TEST(HitTestButtons, FirstEnabledRowInTableOrder) {
  const ButtonRec table[] = {
      Row(0, 0, 50, 50, 0),       // disabled, under row 1
      Row(0, 0, 50, 50, 1),
      Row(100, 0, 150, 50, 1),    // rows 2 and 3 overlap
      Row(120, 0, 170, 50, 1),
  };
  struct Case {
    plat::Point p;
    int count;
    int expected;
  };
  const Case cases[] = {
      {{10, 10}, 4, 1},   {{49, 49}, 4, 1},  {{50, 10}, 4, -1}, {{10, 50}, 4, -1},  // right, bottom exclusive
      {{130, 10}, 4, 2},  {{160, 10}, 4, 3}, {{-1, 0}, 4, -1},  {{10, 10}, 0, -1},  // count 0
      {{10, 10}, -3, -1}, {{10, 10}, 1, -1},                                          // only the disabled row
  };
  for (const Case& c : cases)
    EXPECT_EQ(HitTestButtons(c.p, table, c.count), c.expected) << c.p.x << "," << c.p.y << " count " << c.count;
}

// A panel of one button (face 100x30 at (100,100), hit a little inside it) on the real view.
class ButtonPanelTest : public ScreenFolderTest {
 protected:
  void SetUp() override {
    ScreenFolderTest::SetUp();
    view_ = &Start();
    view_->LeaveScreen();
    sheet_.Create(200, 100);
    sheet_.Fill(plat::Rect{0, 0, 100, 30}, kHoverColor);
    sheet_.Fill(plat::Rect{0, 30, 100, 60}, kPressColor);
    sheet_.Fill(plat::Rect{0, 60, 100, 90}, kOffColor);
    table_[0] = ButtonRec{104, 102, 196, 128, 100, 100, 0, 0, 0, 30, 0, 60, 100, 30, 1};
    panel_.view = view_;
    panel_.table = table_;
    panel_.count = 1;
    panel_.faceLayer = &view_->m_surfTop;
    panel_.faceSheet = &sheet_;
    panel_.action = [](int index) { actions.push_back(index); };
    actions.clear();
    ResetPanel(panel_);
  }
  plat::Color Face() const { return PixelOf(view_->m_surfTop, 150, 115); }

  static inline std::vector<int> actions;
  CGameView* view_ = nullptr;
  CDibSurface sheet_;
  ButtonRec table_[1];
  ButtonPanel panel_;
};

TEST_F(ButtonPanelTest, EveryPathOfTheMouseProtocol) {
  enum Kind { kMove, kDown, kUp };
  struct Step {
    Kind kind;
    int x, y;
  };
  constexpr int kOn = 150, kOnY = 115, kOff = 20;
  struct Case {
    const char* name;
    bool strict;
    std::vector<Step> steps;
    int actions;
    plat::Color face;
  };
  const std::vector<Case> cases = {
      {"press outside, release over the button", false, {{kDown, kOff, kOff}, {kMove, kOn, kOnY}, {kUp, kOn, kOnY}},
       1, kHoverColor},
      {"click on the button", false, {{kMove, kOn, kOnY}, {kDown, kOn, kOnY}, {kUp, kOn, kOnY}}, 1, kPressColor},
      {"drag off and release outside", false,
       {{kMove, kOn, kOnY}, {kDown, kOn, kOnY}, {kMove, kOff, kOff}, {kUp, kOff, kOff}}, 0, kGreenKey},
      {"drag off and back: highlighted face, release activates", false,
       {{kMove, kOn, kOnY}, {kDown, kOn, kOnY}, {kMove, kOff, kOff}, {kMove, kOn, kOnY}}, 0, kHoverColor},
      {"drag off and back, released", false,
       {{kMove, kOn, kOnY}, {kDown, kOn, kOnY}, {kMove, kOff, kOff}, {kMove, kOn, kOnY}, {kUp, kOn, kOnY}}, 1,
       kHoverColor},
      {"strict: drag off and back forgets the press", true,
       {{kMove, kOn, kOnY}, {kDown, kOn, kOnY}, {kMove, kOff, kOff}, {kMove, kOn, kOnY}, {kUp, kOn, kOnY}}, 0,
       kHoverColor},
      {"strict: press outside, release over the button", true,
       {{kDown, kOff, kOff}, {kMove, kOn, kOnY}, {kUp, kOn, kOnY}}, 0, kHoverColor},
      {"strict: click on the button", true, {{kMove, kOn, kOnY}, {kDown, kOn, kOnY}, {kUp, kOn, kOnY}}, 1,
       kPressColor},
      {"disabled button: nothing", false, {{kMove, kOn, kOnY}, {kDown, kOn, kOnY}, {kUp, kOn, kOnY}}, 0, kGreenKey},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetPanel(panel_);
    panel_.releaseNeedsPress = c.strict;
    if (std::string(c.name).rfind("disabled", 0) == 0) table_[0].enabled = 0;
    view_->m_surfTop.Fill(view_->m_rcScreen, kGreenKey);
    actions.clear();
    for (const Step& s : c.steps) {
      if (s.kind == kMove) PanelMouseMove(panel_, s.x, s.y);
      if (s.kind == kDown) PanelMouseDown(panel_, s.x, s.y);
      if (s.kind == kUp) PanelMouseUp(panel_, s.x, s.y);
    }
    EXPECT_EQ(static_cast<int>(actions.size()), c.actions);
    EXPECT_EQ(Face(), c.face);
  }
}

TEST_F(ButtonPanelTest, ThePressedFaceStaysUntilTheNextMove) {
  PanelMouseMove(panel_, 150, 115);
  PanelMouseDown(panel_, 150, 115);
  EXPECT_EQ(Face(), kPressColor);
  PanelMouseUp(panel_, 150, 115);  // an action that keeps the screen
  ASSERT_EQ(actions, std::vector<int>{0});
  EXPECT_EQ(panel_.hover, -1);
  EXPECT_EQ(Face(), kPressColor);
  PanelMouseMove(panel_, 151, 115);
  EXPECT_EQ(Face(), kHoverColor);
}

TEST_F(ButtonPanelTest, InactiveLookAndRestoringFromTheSheet) {
  SetButtonLook(panel_, 0, false);
  EXPECT_EQ(Face(), kOffColor);
  SetButtonLook(panel_, 0, true);
  EXPECT_EQ(Face(), kGreenKey);
  SetButtonLook(panel_, 7, false);  // no such row: nothing

  // A panel drawn on its own layer gets the sheet back where a face was.
  CDibSurface own;
  own.Create(640, 480);
  own.Fill(plat::Rect{0, 0, 640, 480}, plat::Color{9, 9, 9});
  panel_.faceSheet = &own;
  panel_.restoreFromSheet = true;
  table_[0].hoverX = 300;  // the highlighted face, taken from the same sheet
  own.Fill(plat::Rect{300, 0, 400, 30}, kHoverColor);
  PanelMouseMove(panel_, 150, 115);
  EXPECT_EQ(Face(), kHoverColor);
  PanelMouseMove(panel_, 20, 20);
  EXPECT_EQ(Face(), (plat::Color{9, 9, 9}));
}

}  // namespace

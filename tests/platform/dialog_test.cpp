// Dialogs and message boxes on the headless backend: layout in dialog units, the keys and mouse
// paths that end a dialog, the edit control's byte limit, and what the message boxes return.
#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/application.h"
#include "platform/font.h"
#include "platform/headless/headless.h"
#include "platform/window.h"

namespace plat {
namespace {

// Text typed through the backend is UTF-8; every other literal here is CP932.
std::string U8(std::u8string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size()); }

class TestApp : public Application {
 public:
  bool InitInstance() override { return true; }
};

// The main window runs one probe on each tick of its timer. Timers keep firing while a dialog's
// modal loop runs, so a probe sees (and can poke) the dialog that is up.
class ProbeWindow : public Window {
 public:
  std::deque<std::function<void()>> probes;
  void OnTimer(unsigned) override {
    if (probes.empty()) return;
    auto probe = std::move(probes.front());
    probes.pop_front();
    probe();
  }
};

constexpr int kRetryId = 3;  // a button that is neither OK nor Cancel

// A 187 × 93 dialog: icon, text, edit, OK (default), Retry and optionally Cancel.
DialogTemplate SampleTemplate(bool close_box, bool cancel_button) {
  DialogTemplate t;
  t.cx = 187;
  t.cy = 93;
  t.caption = "名前の入力";
  t.font_face = "ＭＳ Ｐゴシック";
  t.close_box = close_box;
  t.controls = {
      {ControlType::kIcon, -1, 7, 7, 21, 20, "", DialogIcon::kStop, 0},
      {ControlType::kStatic, -1, 40, 7, 140, 20, "名前を入れてください。", DialogIcon::kNone, 0},
      {ControlType::kEdit, 100, 40, 30, 100, 14, "", DialogIcon::kNone, 10},
      {ControlType::kDefaultPushButton, kIdOk, 40, 72, 40, 14, "OK", DialogIcon::kNone, 0},
      {ControlType::kPushButton, kRetryId, 85, 72, 40, 14, "再試行", DialogIcon::kNone, 0},
  };
  if (cancel_button) {
    t.controls.push_back({ControlType::kPushButton, kIdCancel, 130, 72, 50, 14, "キャンセル", DialogIcon::kNone, 0});
  }
  return t;
}
constexpr int kIconIndex = 0, kStaticIndex = 1, kEditIndex = 2, kOkIndex = 3, kRetryIndex = 4;

// A control's rectangle in main-window coordinates while `d` is shown.
Rect OnScreen(const Dialog& d, int index) { return d.ControlRect(index).Offset(d.bounds().left, d.bounds().top); }
Point Centre(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool SameColor(Color a, Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    ASSERT_TRUE(app_.StartBackend());
    ASSERT_TRUE(main_.CreateTopLevel("test", Rect{0, 0, 640, 480}));
    app_.set_main_window(&main_);
  }

  // Lets the next dialog run `probes`, one a timer tick, before it takes the actions queued after.
  void WhileShown(std::vector<std::function<void()>> probes) {
    const std::size_t n = probes.size();
    main_.probes.clear();  // probes a previous dialog did not reach
    for (auto& p : probes) main_.probes.push_back(std::move(p));
    main_.SetTimer(1, 10);
    headless::QueueModalAdvance(10 * n + 5);
  }

  TestApp app_;
  ProbeWindow main_;
};

TEST_F(DialogTest, LaysOutTemplateInDialogUnitsCentredOverTheWindow) {
  Dialog dialog(SampleTemplate(true, false));
  Rect bounds;
  Dialog* active = nullptr;
  WhileShown({[&] {
    active = Dialog::Active();
    if (active != nullptr) bounds = active->bounds();
  }});
  headless::QueueModalButton(kIdOk);
  EXPECT_EQ(dialog.DoModal(&main_), kIdOk);

  EXPECT_EQ(active, &dialog);
  EXPECT_EQ(Dialog::Active(), nullptr);
  // 187 × 93 units at 6 × 12 base units: 281 × 140 client pixels, plus 3-pixel frame and the
  // 19-pixel caption bar.
  EXPECT_EQ(bounds, (Rect{176, 157, 176 + 287, 157 + 165}));
  struct Case {
    int index;
    Rect expected;
  };
  const Case cases[] = {
      {kIconIndex, {14, 33, 46, 65}},     // icons are 32 × 32 whatever the template says
      {kStaticIndex, {63, 33, 273, 63}},
      {kEditIndex, {63, 67, 213, 88}},
      {kOkIndex, {63, 130, 123, 151}},
  };
  for (const Case& c : cases) EXPECT_EQ(dialog.ControlRect(c.index), c.expected) << "control " << c.index;
  EXPECT_TRUE(dialog.ControlRect(99).IsEmpty());
  EXPECT_TRUE(dialog.ControlRect(-1).IsEmpty());
}

TEST_F(DialogTest, PaintsFrameCaptionControlsAndText) {
  Dialog dialog(SampleTemplate(true, true));
  struct Seen {
    const char* what;
    Color got, want;
  };
  std::vector<Seen> seen;
  int caption_white = 0, static_black = 0;
  WhileShown({[&] {
    const Rect b = dialog.bounds();
    auto at = [&](int x, int y) { return headless::PresentedPixel(b.left + x, b.top + y); };
    const int w = b.width(), h = b.height();
    const Rect ok = dialog.ControlRect(kOkIndex), retry = dialog.ControlRect(kRetryIndex);
    const Rect icon = dialog.ControlRect(kIconIndex), edit = dialog.ControlRect(kEditIndex);
    const Color face{212, 208, 200}, white{255, 255, 255}, black{0, 0, 0};
    struct Spot {
      const char* what;
      int x, y;  // popup coordinates
      Color want;
    };
    const Spot spots[] = {
        {"frame highlight", 1, 1, white},
        {"frame dark edge", w - 1, h - 1, {64, 64, 64}},
        {"caption bar", 4, 4, {10, 36, 106}},
        {"body", 5, h - 5, face},
        {"close box edge", w - 21, 5, white},
        {"close box glyph", w - 17, 8, black},
        {"default button rim", ok.left, ok.top, black},
        {"other button highlight", retry.left, retry.top, white},
        {"stop icon cross", icon.left + 16, icon.top + 16, white},
        {"stop icon disc", icon.left + 16, icon.top + 4, {224, 0, 0}},
        {"edit field", edit.right - 4, edit.bottom - 4, white},
    };
    for (const Spot& s : spots) seen.push_back({s.what, at(s.x, s.y), s.want});
    for (int y = 3; y < 21; ++y)
      for (int x = 3; x < 120; ++x) caption_white += SameColor(at(x, y), white);
    const Rect st = dialog.ControlRect(kStaticIndex);
    for (int y = st.top; y < st.bottom; ++y)
      for (int x = st.left; x < st.right; ++x) static_black += SameColor(at(x, y), black);
  }});
  headless::QueueModalButton(kIdOk);
  ASSERT_EQ(dialog.DoModal(&main_), kIdOk);

  ASSERT_FALSE(seen.empty());
  for (const Seen& s : seen) {
    EXPECT_TRUE(SameColor(s.got, s.want))
        << s.what << ": got " << int(s.got.r) << "," << int(s.got.g) << "," << int(s.got.b);
  }
  EXPECT_GT(caption_white, 20) << "caption text";
  EXPECT_GT(static_black, 40) << "static text";
}

TEST_F(DialogTest, KeysAndCloseRequestsEndTheDialog) {
  enum class Input { kReturn, kEscape, kAltF4, kCloseBoxClick };
  struct Case {
    const char* name;
    bool close_box;
    bool cancel_button;
    Input input;
    int expected;  // kRetryId: the input was ignored and the follow-up Retry press ended it
  };
  const Case cases[] = {
      {"Return presses the default button", true, true, Input::kReturn, kIdOk},
      {"Escape with a close box", true, false, Input::kEscape, kIdCancel},
      {"Escape with a Cancel button", false, true, Input::kEscape, kIdCancel},
      {"Escape without either is ignored", false, false, Input::kEscape, kRetryId},
      {"close request with a close box", true, false, Input::kAltF4, kIdCancel},
      {"close request without Cancel is ignored", false, false, Input::kAltF4, kRetryId},
      {"close box click", true, false, Input::kCloseBoxClick, kIdCancel},
      {"no close box to click", false, true, Input::kCloseBoxClick, kRetryId},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    headless::Reset();
    Dialog dialog(SampleTemplate(c.close_box, c.cancel_button));
    switch (c.input) {
      case Input::kReturn: headless::QueueModalKey(Key::kReturn); break;
      case Input::kEscape: headless::QueueModalKey(Key::kEscape); break;
      case Input::kAltF4: headless::QueueModalKey(Key::kF4, kModAlt); break;
      case Input::kCloseBoxClick:
        WhileShown({[&] {
          const Rect b = dialog.bounds();
          const int x = b.right - 13, y = b.top + 12;  // the close box's centre
          headless::InjectMouseDown(x, y, kFlagLButton);
          headless::InjectMouseUp(x, y, 0);
        }});
        break;
    }
    headless::QueueModalButton(kRetryId);
    EXPECT_EQ(dialog.DoModal(&main_), c.expected);
  }
}

TEST_F(DialogTest, ButtonClickNeedsPressAndReleaseOverTheSameButton) {
  enum class Spot { kRetry, kOk, kBody };
  struct Case {
    const char* name;
    std::vector<Spot> path;  // press at the first spot, drag through the rest, release at the last
    int expected;            // kIdCancel: no click, the follow-up Escape ended the dialog
  };
  const Case cases[] = {
      {"click", {Spot::kRetry}, kRetryId},
      {"drag off and release", {Spot::kRetry, Spot::kBody}, kIdCancel},
      {"drag off and back", {Spot::kRetry, Spot::kBody, Spot::kRetry}, kRetryId},
      {"release over another button", {Spot::kRetry, Spot::kOk}, kIdCancel},
      {"press outside, release over a button", {Spot::kBody, Spot::kRetry}, kIdCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    headless::Reset();
    Dialog dialog(SampleTemplate(true, false));
    bool captured_after = true;
    WhileShown({[&] {
                  auto where = [&](Spot s) {
                    if (s == Spot::kRetry) return Centre(OnScreen(dialog, kRetryIndex));
                    if (s == Spot::kOk) return Centre(OnScreen(dialog, kOkIndex));
                    return Point{dialog.bounds().left + 8, dialog.bounds().bottom - 8};
                  };
                  Point p = where(c.path.front());
                  headless::InjectMouseDown(p.x, p.y, kFlagLButton);
                  for (std::size_t i = 1; i < c.path.size(); ++i) {
                    p = where(c.path[i]);
                    headless::InjectMouseMove(p.x, p.y, kFlagLButton);
                  }
                  headless::InjectMouseUp(p.x, p.y, 0);
                },
                [&] { captured_after = headless::MouseCaptured(); }});
    headless::QueueModalKey(Key::kEscape);
    EXPECT_EQ(dialog.DoModal(&main_), c.expected);
    if (c.expected != kRetryId) {
      EXPECT_FALSE(captured_after) << "capture kept after the release";
    }
  }
}

TEST_F(DialogTest, ButtonLooksPressedOnlyWhileTheMouseIsOverIt) {
  Dialog dialog(SampleTemplate(true, false));
  std::vector<Color> corner;  // the Retry button's top-left pixel at each step
  auto look = [&] {
    const Rect r = OnScreen(dialog, kRetryIndex);
    corner.push_back(headless::PresentedPixel(r.left, r.top));
  };
  WhileShown({[&] {
                look();
                const Point p = Centre(OnScreen(dialog, kRetryIndex));
                headless::InjectMouseDown(p.x, p.y, kFlagLButton);
              },
              [&] {
                look();
                const Rect b = dialog.bounds();
                headless::InjectMouseMove(b.left + 8, b.bottom - 8, kFlagLButton);
              },
              [&] {
                look();
                const Rect b = dialog.bounds();
                headless::InjectMouseUp(b.left + 8, b.bottom - 8, 0);
              }});
  headless::QueueModalKey(Key::kEscape);
  ASSERT_EQ(dialog.DoModal(&main_), kIdCancel);
  ASSERT_EQ(corner.size(), 3u);
  EXPECT_TRUE(SameColor(corner[0], Color{255, 255, 255})) << "raised before the press";
  EXPECT_TRUE(SameColor(corner[1], Color{0, 0, 0})) << "pressed while held over it";
  EXPECT_TRUE(SameColor(corner[2], Color{255, 255, 255})) << "raised again after dragging off";
}

TEST_F(DialogTest, EditKeepsWholeCharactersWithinItsByteLimit) {
  struct Case {
    const char* name;
    int limit;
    std::string preset;               // CP932
    std::vector<std::string> typed;   // UTF-8, one text-input event each
    int backspaces;
    std::string expected;             // CP932
  };
  const Case cases[] = {
      {"a double-byte character past the limit is not cut", 5, "", {U8(u8"あいう")}, 0, "あい"},
      {"a single byte still fits after it", 5, "", {U8(u8"あいう"), U8(u8"a")}, 0, "あいa"},
      {"half-width katakana take one byte", 5, "", {U8(u8"あいｱ")}, 0, "あいｱ"},
      {"typing stops at the first character that does not fit", 2, "", {U8(u8"aあb")}, 0, "a"},
      {"backspace removes a double-byte character", 10, "", {U8(u8"あい")}, 1, "あ"},
      // "メ" is 0x83 0x81: its second byte is also a lead byte.
      {"backspace after a trail byte in the lead range", 10, "", {U8(u8"メa")}, 1, "メ"},
      {"backspace twice", 10, "", {U8(u8"メa")}, 2, ""},
      {"backspace on an empty field", 10, "", {}, 3, ""},
      {"a preset longer than the limit is cut at a whole character", 3, "あいう", {}, 0, "あ"},
      {"control characters are not typed", 10, "", {U8(u8"a\tb\x7f")}, 0, "ab"},
      {"no limit still bounds the text", 0, "", {std::string(5000, 'x')}, 0, std::string(4096, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    headless::Reset();
    DialogTemplate t = SampleTemplate(true, false);
    t.controls[kEditIndex].byte_limit = c.limit;
    Dialog dialog(t);
    dialog.SetItemText(100, c.preset);
    for (const std::string& s : c.typed) headless::QueueModalText(s);
    for (int i = 0; i < c.backspaces; ++i) headless::QueueModalKey(Key::kBackspace);
    headless::QueueModalButton(kIdOk);
    ASSERT_EQ(dialog.DoModal(&main_), kIdOk);
    EXPECT_EQ(dialog.GetItemText(100), c.expected);
  }
}

TEST_F(DialogTest, MessageBoxReturnsTheButtonsId) {
  struct Case {
    const char* name;
    MessageBoxButtons buttons;
    headless::ModalAction action;
    int follow_up;  // a button pressed next, in case the action did not end the box (0: none)
    int expected;
    std::vector<int> shown;
  };
  using Kind = headless::ModalAction::Kind;
  const headless::ModalAction kReturn{Kind::kKey, 0, 0, 0, 0, Key::kReturn, 0, {}};
  const headless::ModalAction kEscape{Kind::kKey, 0, 0, 0, 0, Key::kEscape, 0, {}};
  auto press = [](int id) { return headless::ModalAction{Kind::kPressButton, 0, id, 0, 0, Key::kOther, 0, {}}; };
  const std::vector<int> ok{kIdOk}, ok_cancel{kIdOk, kIdCancel}, yes_no{kIdYes, kIdNo};
  const Case cases[] = {
      {"OK", MessageBoxButtons::kOk, press(kIdOk), 0, kIdOk, ok},
      {"OK box closed with Escape answers OK", MessageBoxButtons::kOk, kEscape, 0, kIdOk, ok},
      {"OK/Cancel: Return", MessageBoxButtons::kOkCancel, kReturn, kIdCancel, kIdOk, ok_cancel},
      {"OK/Cancel: Cancel", MessageBoxButtons::kOkCancel, press(kIdCancel), kIdOk, kIdCancel, ok_cancel},
      {"OK/Cancel: Escape", MessageBoxButtons::kOkCancel, kEscape, kIdOk, kIdCancel, ok_cancel},
      {"Yes/No: Yes", MessageBoxButtons::kYesNo, press(kIdYes), kIdNo, kIdYes, yes_no},
      {"Yes/No: No", MessageBoxButtons::kYesNo, press(kIdNo), kIdYes, kIdNo, yes_no},
      {"Yes/No: Return is Yes", MessageBoxButtons::kYesNo, kReturn, kIdNo, kIdYes, yes_no},
      {"Yes/No: Escape is ignored", MessageBoxButtons::kYesNo, kEscape, kIdYes, kIdYes, yes_no},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    headless::Reset();
    headless::QueueModal(c.action);
    if (c.follow_up != 0) headless::QueueModalButton(c.follow_up);
    EXPECT_EQ(ShowMessageBox(&main_, "保存しますか？", "確認", c.buttons, DialogIcon::kQuestion), c.expected);
    ASSERT_EQ(headless::DialogsShown().size(), 1u);
    EXPECT_EQ(headless::DialogsShown()[0].caption, "確認");
    EXPECT_EQ(headless::DialogsShown()[0].texts, std::vector<std::string>{"保存しますか？"});
    EXPECT_EQ(headless::DialogsShown()[0].buttons, c.shown);
  }
}

TEST_F(DialogTest, MessageBoxSizesItselfToItsText) {
  std::unique_ptr<Font> font = Font::Open("ＭＳ Ｐゴシック", 12, FontPitch::kVariable);
  ASSERT_NE(font, nullptr);
  struct Case {
    const char* name;
    std::string text;
    DialogIcon icon;
  };
  std::string long_line;
  for (int i = 0; i < 200; ++i) long_line += "長";
  const Case cases[] = {
      {"one line with an icon", "ファイルが見つかりません。", DialogIcon::kStop},
      {"three lines", "一行目\n二行目はもう少し長い行です。\n三行目", DialogIcon::kQuestion},
      {"no icon", "終了します。", DialogIcon::kNone},
      {"a line wider than the window breaks", long_line, DialogIcon::kStop},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    headless::Reset();
    Rect bounds, text, icon, first_button, last_button;
    int lines = 1, widest = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= c.text.size(); ++i) {
      if (i == c.text.size() || c.text[i] == '\n') {
        widest = std::max(widest, font->Measure(std::string_view(c.text).substr(start, i - start)));
        start = i + 1;
        if (i < c.text.size()) ++lines;
      }
    }
    WhileShown({[&] {
      Dialog* d = Dialog::Active();
      if (d == nullptr) return;
      bounds = d->bounds();
      const auto& controls = d->dialog_template().controls;
      for (std::size_t i = 0; i < controls.size(); ++i) {
        const Rect r = d->ControlRect(static_cast<int>(i));
        if (controls[i].type == ControlType::kStatic) text = r;
        if (controls[i].type == ControlType::kIcon) icon = r;
        if (controls[i].type == ControlType::kDefaultPushButton) first_button = r;
        if (controls[i].type == ControlType::kPushButton) last_button = r;
      }
    }});
    headless::QueueModalButton(kIdOk);
    ASSERT_EQ(ShowMessageBox(&main_, c.text, "お知らせ", MessageBoxButtons::kOkCancel, c.icon), kIdOk);

    ASSERT_FALSE(bounds.IsEmpty());
    EXPECT_GE(bounds.left, 0);
    EXPECT_LE(bounds.right, 640);
    if (widest <= 520) {
      EXPECT_GE(text.width(), widest);
      EXPECT_GE(text.height(), lines * 12);
    } else {
      EXPECT_GE(text.height(), 2 * 12) << "the long line was not broken";
    }
    if (c.icon != DialogIcon::kNone) {
      EXPECT_LE(icon.right, text.left);
    }
    // Buttons under everything else, centred in the box.
    EXPECT_GT(first_button.top, std::max(text.bottom, icon.bottom));
    const int centre = (first_button.left + last_button.right) / 2;
    EXPECT_NEAR(centre, bounds.width() / 2, 2);
  }
}

TEST_F(DialogTest, NestedDialogsStackAndReturnTheirOwnResults) {
  Dialog outer(SampleTemplate(true, false));
  Dialog* active_inside = nullptr;
  Rect inner_bounds;
  int inner_result = 0;
  WhileShown({[&] {
    // A dialog owned by the dialog that is up is shown over the main window all the same.
    Dialog inner(SampleTemplate(false, true));
    inner_result = inner.DoModal(Dialog::Active());
    inner_bounds = inner.bounds();
    active_inside = Dialog::Active();
  }});
  headless::QueueModalButton(kIdCancel);  // taken by the inner dialog, shown during the advance
  headless::QueueModalButton(kRetryId);
  EXPECT_EQ(outer.DoModal(&main_), kRetryId);
  EXPECT_EQ(inner_result, kIdCancel);
  EXPECT_EQ(active_inside, &outer);
  EXPECT_EQ(inner_bounds, outer.bounds());
  EXPECT_EQ(Dialog::Active(), nullptr);
}

TEST_F(DialogTest, WithoutAnyWindowTheMessageBoxFallsBackAndAnswersOk) {
  main_.Destroy();
  EXPECT_EQ(ShowMessageBox(nullptr, "起動できません。", "エラー", MessageBoxButtons::kYesNo, DialogIcon::kStop), kIdOk);
  EXPECT_TRUE(headless::DialogsShown().empty());
  Dialog dialog(SampleTemplate(true, false));
  EXPECT_EQ(dialog.DoModal(nullptr), -1);
}

TEST(DialogWithoutApplicationTest, MessageBoxAnswersOkAndDialogCannotShow) {
  ASSERT_EQ(Application::Current(), nullptr);
  EXPECT_EQ(ShowMessageBox(nullptr, "起動できません。", "エラー", MessageBoxButtons::kOkCancel, DialogIcon::kStop), kIdOk);
  Dialog dialog(SampleTemplate(true, false));
  EXPECT_EQ(dialog.DoModal(nullptr), -1);
}

}  // namespace
}  // namespace plat

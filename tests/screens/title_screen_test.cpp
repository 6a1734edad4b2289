// The title screen, the name dialog of a new game, the opening movie and the edge tab, through
// the real view in the headless backend.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/dialog.h"
#include "platform/headless/headless_media.h"
#include "platform/text_encoding.h"
#include "resources/game_resources.h"
#include "screens/title_screen.h"
#include "story/game_state.h"
#include "tests/screens/screen_fixture.h"

namespace {

// The title buttons' faces at (234, 260 + 30 row); the sheet's faces below row 480.
class TitleScreenTest : public ScreenFolderTest {
 protected:
  void SetUp() override {
    ScreenFolderTest::SetUp();
    WriteSheet("title256", 640, 576,
               {{{0, 480, 168, 576}, kHoverColor}, {{168, 480, 336, 576}, kPressColor}, {{336, 480, 504, 504}, kOffColor}});
    WriteSheet("heya256", 640, 480, {{{152, 0, 158, 480}, plat::Color{1, 2, 3}}, {{158, 0, 164, 480}, kHoverColor}});
    WriteScriptList("001_00,0,0\n");
    WriteScript("001_00", "!wait(100);");
    WriteFile("ev/sEventTable.csv", "h\n1,1,001_00,-,-,\n");
  }
  CGameView& StartAtTitle() {
    CGameView& view = Start();
    ShowTitleScreen(&view);
    plat::headless::Advance(1);
    return view;
  }
  plat::Color Face(const CGameView& view, int row) const { return PixelOf(view.m_surfTop, 300, 270 + 30 * row); }
  std::string Log() const { return WithoutLogPrefixes(ScreenFolderTest::Log()); }
  static size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
};

TEST_F(TitleScreenTest, EntryPlaysTheTitleMusicAndHoverShowsFaces) {
  CGameView& view = StartAtTitle();
  EXPECT_NE(Log().find("/media/bgm/BGM10.wav'"), std::string::npos);
  EXPECT_FALSE(view.m_bEdgeTab);
  Move(300, 300);  // settings? no: row 1 (load) spans y 290-312
  EXPECT_EQ(Face(view, 1), kHoverColor);
  EXPECT_EQ(Face(view, 0), kGreenKey);
  plat::headless::InjectMouseDown(300, 300);
  plat::headless::Advance(1);
  EXPECT_EQ(Face(view, 1), kPressColor);
}

TEST_F(TitleScreenTest, TheExtrasButtonWorksOnlyAfterAnEnding) {
  CGameView& view = StartAtTitle();
  Move(300, 360);
  EXPECT_EQ(Face(view, 3), kGreenKey);  // the normal look of the background; no highlight
  Click(300, 360);
  EXPECT_EQ(Log().find("STUB OpenGallery"), std::string::npos);

  sysparam.endingSeen = 1;
  ShowTitleScreen(&view);
  Move(300, 361);
  EXPECT_EQ(Face(view, 3), kHoverColor);
  Click(300, 361);
  const std::string log = Log();
  EXPECT_NE(log.find("STUB OpenGallery"), std::string::npos);
  EXPECT_NE(log.find("SE ON '"), std::string::npos);  // the click effect
  // The gallery starts first; the music stops afterwards.
  EXPECT_LT(log.rfind("STUB OpenGallery"), log.rfind("Bgm OFF"));
}

struct NameCase {
  const char* name;
  std::vector<plat::headless::ModalAction> actions;
  const char* stored;  // CP932; null: cancelled
  const char* logged;
};

class NameDialogTest : public TitleScreenTest, public ::testing::WithParamInterface<NameCase> {};

plat::headless::ModalAction Key(plat::Key k) {
  plat::headless::ModalAction a;
  a.kind = plat::headless::ModalAction::Kind::kKey;
  a.key = k;
  return a;
}
// Typed text, given as the tests' own (CP932) literals.
plat::headless::ModalAction Text(const char* cp932) {
  plat::headless::ModalAction a;
  a.kind = plat::headless::ModalAction::Kind::kText;
  a.text = plat::Cp932ToUtf8(cp932);
  return a;
}
plat::headless::ModalAction Button(int id) {
  plat::headless::ModalAction a;
  a.kind = plat::headless::ModalAction::Kind::kPressButton;
  a.id = id;
  return a;
}
std::vector<plat::headless::ModalAction> ClearThen(std::vector<plat::headless::ModalAction> rest) {
  std::vector<plat::headless::ModalAction> all(12, Key(plat::Key::kBackspace));
  all.insert(all.end(), rest.begin(), rest.end());
  return all;
}

TEST_P(NameDialogTest, NewGameAsksForTheName) {
  const NameCase& c = GetParam();
  CGameView& view = StartAtTitle();
  svparam.day = 9;  // a play-through that the new game resets
  for (const auto& a : c.actions) plat::headless::QueueModal(a);
  Click(300, 270);

  const auto& shown = plat::headless::DialogsShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "名前登録");
  EXPECT_EQ(svparam.day, 1);
  const std::string log = Log();
  if (c.stored == nullptr) {
    EXPECT_EQ(svparam.userName[0], '\0');
    EXPECT_EQ(Count(log, "/media/bgm/BGM10.wav'"), 2u);  // the title again, with its music
    EXPECT_EQ(log.find("GAME DO"), std::string::npos);
    EXPECT_EQ(view.m_pfnMouseUp != nullptr, true);
  } else {
    EXPECT_STREQ(svparam.userName, c.stored);
    EXPECT_NE(log.find(plat::Cp932ToUtf8(std::string("ユーザー名'") + c.logged + "'\n")), std::string::npos);
    EXPECT_NE(log.find("GAME DO 1 1"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameDialogTest,
    ::testing::Values(
        NameCase{"Preset", {Button(plat::kIdOk)}, "ジェニファー", "ジェニファー"},
        NameCase{"EmptyGetsThePreset", ClearThen({Button(plat::kIdOk)}), "ジェニファー", ""},
        NameCase{"ThirteenthByteRefused", ClearThen({Text("ABCDEFGHIJKLM"), Button(plat::kIdOk)}), "ABCDEFGHIJKL",
                 "ABCDEFGHIJKL"},
        NameCase{"SixFullWidth", ClearThen({Text("あいうえおかき"), Button(plat::kIdOk)}), "あいうえおか",
                 "あいうえおか"},
        NameCase{"Cancel", {Button(plat::kIdCancel)}, nullptr, ""}),
    [](const ::testing::TestParamInfo<NameCase>& p) { return std::string(p.param.name); });

TEST_F(TitleScreenTest, TheEdgeTabHighlightsOpensTheMenuAndLetsClicksThroughWhenHidden) {
  CGameView& view = StartAtTitle();
  view.ShowEdgeTab();
  EXPECT_EQ(PixelOf(view.m_surfTop, 3, 200), (plat::Color{1, 2, 3}));
  struct Case {
    int x;
    int hover;
  };
  for (const Case& c : {Case{0, 0}, Case{5, 0}, Case{6, -1}, Case{2, 0}}) {
    Move(c.x, 200);
    EXPECT_EQ(view.m_nEdgeHover, c.hover) << c.x;
    EXPECT_EQ(PixelOf(view.m_surfTop, 3, 200), (c.hover == 0 ? kHoverColor : plat::Color{1, 2, 3})) << c.x;
  }
  plat::headless::InjectMouseDown(2, 200);
  plat::headless::Advance(1);
  EXPECT_EQ(view.m_nEdgePressed, 0);
  plat::headless::InjectMouseUp(2, 200);
  plat::headless::Advance(1);
  EXPECT_EQ(Count(Log(), "STUB OpenGameMenu"), 1u);

  // Hidden: the same click reaches only the screen.
  view.HideEdgeTab();
  Click(2, 200);
  EXPECT_EQ(Count(Log(), "STUB OpenGameMenu"), 1u);
  EXPECT_EQ(view.m_nEdgeHover, -1);
}

class OpeningMovieTest : public TitleScreenTest {
 protected:
  void SetUp() override {
    TitleScreenTest::SetUp();
    fs::create_directories(game_ / "media" / "video");
    fs::copy_file(fs::path(VELMORA_TEST_DATA).parent_path().parent_path() / "platform" / "data" / "movie.wmv",
                  game_ / "media" / "video" / "op.wmv");
  }
  static bool Sent(const std::string& command) {
    for (const auto& c : plat::headless::SentMediaCommands())
      if (c.command.find(command) != std::string::npos) return true;
    return false;
  }
};

TEST_F(OpeningMovieTest, TheMovieEndsOnTheTitle) {
  Start();
  EXPECT_TRUE(Sent("op.wmv alias mcitest style child parent 59648"));
  EXPECT_TRUE(Sent("put mcitest window at 80 80 480 320") || Sent("80 80 480 320"));
  EXPECT_TRUE(Sent("play mcitest"));
  EXPECT_EQ(Log().find("BGM10"), std::string::npos);
  plat::headless::ClearSentMediaCommands();
  Ticks(15);  // half-way through the one-second movie
  EXPECT_EQ(Log().find("BGM10"), std::string::npos);
  EXPECT_FALSE(Sent("close mcitest"));
  Ticks(15);  // it has played to its end
  EXPECT_TRUE(Sent("close mcitest"));
  EXPECT_NE(Log().find("/media/bgm/BGM10.wav'"), std::string::npos);
}

TEST_F(OpeningMovieTest, AClickGoesStraightToTheTitle) {
  Start();
  Ticks(2);
  plat::headless::ClearSentMediaCommands();
  Click(320, 240);
  EXPECT_TRUE(Sent("close mcitest"));
  EXPECT_NE(Log().find("/media/bgm/BGM10.wav'"), std::string::npos);
}

}  // namespace

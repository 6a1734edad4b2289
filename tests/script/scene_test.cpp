// Scenes played in the headless view: message text typed at the player's speed, click waits
// with the blinking cursor, the hanging 26th character, waits, fades and dissolves, choices, the
// mail-sending box, resuming from a save, the day-dependent edge tab and band, and the end mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_utils.h"
#include "app/game_view.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_media.h"
#include "script/script_runtime.h"
#include "script/script_scene.h"
#include "story/game_state.h"
#include "tests/script/script_fixture.h"

namespace {

const plat::Color kRed{255, 0, 0}, kGreen{0, 255, 0}, kPink{255, 122, 122}, kLight{255, 191, 225},
    kWhiteC{255, 255, 255}, kSeenC{188, 48, 69}, kBlackC{0, 0, 0};

bool Same(plat::Color a, plat::Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

plat::Color PixelOf(const CDibSurface& s, int x, int y) {
  const std::uint8_t* p = s.View().At(x, y);
  return plat::Color{p[2], p[1], p[0]};
}

// Pixels of `rect` on the surface that have colour `c`.
int CountColor(const CDibSurface& s, const plat::Rect& rect, plat::Color c) {
  int n = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) n += Same(PixelOf(s, x, y), c);
  return n;
}

// The 21 × 22 cell of message column `c`, line `l`.
plat::Rect Cell(int c, int l) { return {46 + 21 * c + 2, 234 + 22 * l + 2, 46 + 21 * c + 23, 234 + 22 * l + 24}; }

void PutLE(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 24-bit bitmap file of w × h pixels in one colour.
std::string Bitmap(int w, int h, plat::Color c) {
  const int pitch = (w * 3 + 3) & ~3;
  std::string out = "BM";
  PutLE(out, static_cast<std::uint32_t>(54 + pitch * h), 4);
  PutLE(out, 0, 4);
  PutLE(out, 54, 4);
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)}) PutLE(out, v, 4);
  PutLE(out, 1, 2);
  PutLE(out, 24, 2);
  for (int i = 0; i < 6; ++i) PutLE(out, 0, 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) out += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
    out.append(static_cast<std::size_t>(pitch - w * 3), '\0');
  }
  return out;
}

// A mono 16-bit 22050 Hz WAVE file of `frames` samples of one non-zero value.
std::string Wave(int frames) {
  std::string out = "RIFF";
  PutLE(out, static_cast<std::uint32_t>(36 + 2 * frames), 4);
  out += "WAVEfmt ";
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);
  PutLE(out, 1, 2);
  PutLE(out, 22050, 4);
  PutLE(out, 44100, 4);
  PutLE(out, 2, 2);
  PutLE(out, 16, 2);
  out += "data";
  PutLE(out, static_cast<std::uint32_t>(2 * frames), 4);
  for (int i = 0; i < frames; ++i) PutLE(out, 3000, 2);
  return out;
}

bool Silent(const std::vector<std::int16_t>& s) {
  for (std::int16_t v : s)
    if (v != 0) return false;
  return true;
}

// Twenty-five double-byte characters: one full line.
const std::string kLine = "あいうえおかきくけこさしすせそたちつてとなにぬねの";

class SceneTest : public ScriptFolderTest {
 protected:
  // Writes the scripts (the first one is played) and their table, starts the game and sets the
  // record to a plain mid-story scene at `speed`.
  CGameView& Setup(const std::vector<std::pair<std::string, std::string>>& scripts, int speed = 4) {
    std::string rows;
    for (const auto& [name, text] : scripts) {
      WriteScript(name, text);
      rows += name + ",0,0\n";
    }
    WriteScriptList(rows);
    CGameView& v = Start();
    svparam.day = 5;
    svparam.time = 1;
    svparam.phase = 1;
    svparam.textSpeed = static_cast<std::int16_t>(speed);
    svparam.bgName[0] = svparam.bgmName[0] = '\0';
    return v;
  }
  // Setup and the first script played (not resumed).
  CGameView& Play(const std::string& text, int speed = 4) {
    CGameView& v = Setup({{"s", text}}, speed);
    v.PlayScript("s", 0);
    return v;
  }
  // Copies a media file of the platform tests into the game folder.
  void CopyFixture(const char* name, const std::string& relative) {
    const fs::path from = fs::path(VELMORA_TEST_DATA).parent_path().parent_path() / "platform" / "data" / name;
    std::error_code ec;
    fs::copy_file(from, game_ / relative, fs::copy_options::overwrite_existing, ec);
    ASSERT_FALSE(ec) << ec.message();
  }
  static void Click(int x = 300, int y = 300) {
    plat::headless::InjectMouseDown(x, y);
    plat::headless::InjectMouseUp(x, y);
  }
  bool Inked(const CGameView& v, int c, int l) const {
    return CountColor(v.m_surfTop, Cell(c, l), plat::Color{255, 255, 255}) > 0;
  }
};

TEST_F(SceneTest, TextIsTypedAtThePlayersSpeed) {
  struct Case {
    int speed;
    int ticks_for_line;  // ticks until all 25 characters of the line are drawn
  } cases[] = {{2, 75}, {0, 125}, {3, 50}, {4, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speed);
    CGameView& v = Play(kLine + "\\f;", c.speed);
    Ticks(c.ticks_for_line - 1);
    EXPECT_EQ(scriptRuntime.column, c.speed == 4 ? 0 : 24);
    EXPECT_FALSE(Inked(v, 24, 0));
    Ticks(1);
    EXPECT_EQ(scriptRuntime.column, 25);
    EXPECT_TRUE(Inked(v, 24, 0));
    // Drawn white and again one pixel to the right in grey.
    EXPECT_GT(CountColor(v.m_surfTop, Cell(24, 0), plat::Color{200, 200, 200}), 0);
    // With a delay the item after the last character is read on the next tick.
    Ticks(c.speed == 4 ? 0 : 1);
    EXPECT_EQ(scriptRuntime.waitKind, kWaitPageEnd);
    TearDown();
    SetUp();
  }
}

TEST(TextSpeed, TheDelayIsFourLessTheSpeedAndASpeedOutOfRangeTakesTheNearestValidOne) {
  const std::pair<int, int> cases[] = {{0, 4}, {2, 2}, {4, 0}, {9, 0}, {-3, 4}};
  for (const auto& [speed, delay] : cases) {
    svparam.textSpeed = static_cast<std::int16_t>(speed);
    scriptRuntime.waitTicks = 20;
    RestartTextSpeed();
    EXPECT_EQ(scriptRuntime.charDelay, delay) << speed;
    EXPECT_EQ(scriptRuntime.waitTicks, delay) << speed;
  }
}

TEST_F(SceneTest, AClickWhileTypingDrawsTheRestOfThePageOnTheNextTickSkippingPauses) {
  Play(kLine + "\\nあいうえお\\pかきく\\fけ;", 2);
  Ticks(3);
  ASSERT_EQ(scriptRuntime.column, 1);
  Click();
  Ticks(1);
  EXPECT_EQ(scriptRuntime.line, 1);
  EXPECT_EQ(scriptRuntime.column, 8);  // the \p pause was skipped, the \f page end was not
  EXPECT_EQ(scriptRuntime.waitKind, kWaitPageEnd);
  EXPECT_EQ(scriptRuntime.fastForward, 0);
  EXPECT_EQ(scriptRuntime.mode, 1);
}

TEST_F(SceneTest, ClickWaitsBlinkTheCursorAndAPageEndClearsTheArea) {
  CGameView& v = Play("ああ\\fい\\pう!wait(100);");
  // A parts sheet whose cursor frames are told apart by colour.
  const plat::Color frameColor[] = {{10, 0, 0}, {20, 0, 0}, {30, 0, 0}, {40, 0, 0}, {50, 0, 0}, {60, 0, 0}};
  v.m_surfParts.Create(640, 480);
  for (int f = 0; f < 6; ++f) v.m_surfParts.Fill(plat::Rect{576, 24 * f, 600, 24 * f + 24}, frameColor[f]);
  const int frameSourceRow[7] = {0, 1, 2, 3, 0, 4, 5};  // source y 0, 24, 48, 72, 0, 96, 120

  Ticks(1);
  ASSERT_EQ(scriptRuntime.waitKind, kWaitPageEnd);
  EXPECT_TRUE(Inked(v, 1, 0));
  plat::Color expected = kGreen;
  for (int t = 1; t <= 30; ++t) {
    Ticks(1);
    if (t % 2 == 0) expected = frameColor[frameSourceRow[(t / 4) % 7]];
    ASSERT_TRUE(Same(PixelOf(v.m_surfTop, 610, 446), expected)) << "tick " << t;
  }
  // The click releases the page end on the next tick: area cleared, cursor erased.
  Click();
  Ticks(1);
  EXPECT_EQ(scriptRuntime.waitPending, 0);
  EXPECT_TRUE(Same(PixelOf(v.m_surfTop, 610, 446), kGreen));
  EXPECT_FALSE(Inked(v, 1, 0));
  EXPECT_EQ(CountColor(v.m_surfTop, Cell(1, 0), kRed), 21 * 22);
  // The next character starts the page at column 0, line 0; then the pause.
  Ticks(1);
  EXPECT_TRUE(Inked(v, 0, 0));
  EXPECT_EQ(scriptRuntime.column, 1);
  EXPECT_EQ(scriptRuntime.waitKind, kWaitPause);
  // A pause keeps the page: the text goes on beside it.
  Click();
  Ticks(2);
  EXPECT_TRUE(Inked(v, 0, 0));
  EXPECT_TRUE(Inked(v, 1, 0));
  EXPECT_EQ(scriptRuntime.waitKind, kWaitTicks);
}

TEST_F(SceneTest, OnlyAHangingCharacterTakesTheTwentySixthColumn) {
  struct Case {
    std::string extra;
    bool in_column_25;
    int line, column;  // after the text
  } cases[] = {
      {"。", true, 0, 26},
      {"、", true, 0, 26},
      {"あ", false, 1, 1},
      {"。あ", true, 1, 1},  // the character after a hanging one begins the next line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.extra);
    CGameView& v = Play(kLine + c.extra + "\\p;");
    Ticks(1);
    EXPECT_EQ(Inked(v, 25, 0), c.in_column_25);
    EXPECT_EQ(Inked(v, 0, 1), c.line == 1);
    EXPECT_EQ(scriptRuntime.line, c.line);
    EXPECT_EQ(scriptRuntime.column, c.column);
    TearDown();
    SetUp();
  }
}

TEST_F(SceneTest, TextBelowTheAreaIsCutAtTheLayersEdge) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "\\n";
  CGameView& v = Play("\\n\\n\\n\\n\\n\\n\\n\\n\\n\\n\\nあい" + text + "う\\p;");
  Ticks(1);
  EXPECT_EQ(scriptRuntime.line, 41);
  EXPECT_EQ(scriptRuntime.column, 1);
  EXPECT_EQ(scriptRuntime.waitKind, kWaitPause);
  // The changed area stays on the screen: line 11 begins at y 478, line 41 is off it.
  struct Case {
    int line;
    plat::Rect dirty;
  } cases[] = {{10, {48, 456, 69, 478}}, {11, {48, 478, 69, 480}}, {41, {}}, {2000, {}}};
  for (const Case& c : cases) {
    v.m_rcDirty.SetEmpty();
    scriptRuntime.column = 0;
    scriptRuntime.line = static_cast<std::uint16_t>(c.line);
    DrawMessageChar("え");
    EXPECT_EQ(v.m_rcDirty, c.dirty) << c.line;
  }
}

TEST_F(SceneTest, AWaitOfTwentyTicksReadsTheNextItemOnTheTwentySecondTick) {
  Play("!wait(20)あ\\p;");
  Ticks(1);  // runs the command
  ASSERT_EQ(scriptRuntime.waitKind, kWaitTicks);
  Ticks(21);
  EXPECT_EQ(scriptRuntime.waitPending, 0);
  EXPECT_EQ(scriptRuntime.column, 0);
  Ticks(1);
  EXPECT_EQ(scriptRuntime.column, 1);
  EXPECT_EQ(scriptRuntime.waitTicks, 0);  // back to the character delay of speed 4
}

TEST_F(SceneTest, FadesAndDissolvesStepOncePerTick) {
  struct Case {
    const char* script;
    int warmup;  // ticks before the stepping starts
    bool picture;
    std::vector<int> steps;  // the level after each following tick
  } cases[] = {
      {"!fin\\p;", 1, false, {1, 2, 3, 4, 5, 6, 7, 8, 8}},
      {"!fin!fout\\p;", 10, false, {7, 6, 5, 4, 3, 2, 1, 0, 0}},
      {"!fin!bgon(pic,1)\\p;", 10, true, {1, 2, 3, 4, 4}},
      // While the screen is black the picture is replaced at once.
      {"!bgon(pic,1)\\p;", 1, true, {4, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    CGameView& v = Play(c.script);
    Ticks(c.warmup);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      Ticks(1);
      EXPECT_EQ(c.picture ? v.m_nPictureLevel : v.m_nFadeStep, c.steps[i]) << "tick " << i + 1;
    }
    // The wait has ended and the next item (the pause) has been read.
    EXPECT_EQ(scriptRuntime.waitKind, kWaitPause);
    TearDown();
    SetUp();
  }
}

TEST_F(SceneTest, ChoicesHighlightUnderTheMouseAndTheClickedOneLoadsItsTarget) {
  for (int mark : {1, 0}) {
    SCOPED_TRACE(mark);
    CGameView& v = Setup({{"s", "あ/\nはい:c_a\nいいえ:c_b\n/\n;"}, {"c_a", "か\\p;"}, {"c_b", "き\\p;"}});
    svparam.markSeenChoices = static_cast<std::int16_t>(mark);
    std::memset(sysparam.everSeenScripts, 0, sizeof sysparam.everSeenScripts);
    SetBit(sysparam.everSeenScripts, 2);  // c_b was played in an earlier play-through
    v.PlayScript("s", 0);
    Ticks(1);
    ASSERT_EQ(scriptRuntime.mode, 2);
    ASSERT_EQ(scriptRuntime.choiceCount, 2);
    const plat::Rect first{48, 300, 594, 322}, second{48, 322, 594, 344};
    EXPECT_EQ(CountColor(v.m_surfTop, second, kLight), 0);
    EXPECT_GT(CountColor(v.m_surfTop, second, kPink), 0);
    EXPECT_GT(CountColor(v.m_surfTop, first, kBlackC), 0);
    EXPECT_EQ(CountColor(v.m_surfTop, first, kSeenC), 0);
    EXPECT_EQ(CountColor(v.m_surfTop, second, kSeenC) > 0, mark == 1);

    // Hovering the second choice highlights it; a click on the first only moves the highlight.
    plat::headless::InjectMouseMove(300, 330);
    Ticks(1);
    EXPECT_EQ(scriptRuntime.choiceSel, 1);
    EXPECT_GT(CountColor(v.m_surfTop, second, kLight), 0);
    EXPECT_EQ(CountColor(v.m_surfTop, second, kPink), 0);
    Click(300, 305);
    Ticks(1);
    EXPECT_EQ(scriptRuntime.choiceSel, 0);
    EXPECT_EQ(scriptRuntime.mode, 2);
    // Outside the box nothing changes.
    plat::headless::InjectMouseMove(300, 360);
    Click(300, 360);
    Ticks(1);
    EXPECT_EQ(scriptRuntime.choiceSel, 0);

    Click(300, 330);  // highlights the second
    Click(300, 330);  // and makes it
    Ticks(1);
    EXPECT_STREQ(svparam.scriptName, "c_b");
    EXPECT_EQ(CountColor(v.m_surfTop, plat::Rect{46, 234, 596, 458}, kRed), 550 * 224);  // cleared
    Ticks(1);
    EXPECT_TRUE(Inked(v, 0, 0));
    EXPECT_EQ(scriptRuntime.waitKind, kWaitPause);
    TearDown();
    SetUp();
  }
}

TEST_F(SceneTest, TheMailSendingBoxRunsThirtyTwoTicksAndIsRemoved) {
  CGameView& v = Play("!send\\p;");
  Ticks(1);
  ASSERT_EQ(scriptRuntime.waitKind, kWaitSendBox);
  for (int k = 0; k < 32; ++k) {
    Ticks(1);
    if (k == 31) break;
    // Left of the edge the box colour (switching every 8 ticks), right of it white; the
    // caption's black pixels aside.
    const plat::Color color = (k / 8) % 2 == 1 ? kLight : kPink;
    const int edge = 272 + 3 * k;
    EXPECT_EQ(CountColor(v.m_surfTop, plat::Rect{272, 96, edge, 112}, kWhiteC), 0) << k;
    EXPECT_EQ(CountColor(v.m_surfTop, plat::Rect{edge, 96, 368, 112}, color), 0) << k;
    EXPECT_EQ(CountColor(v.m_surfTop, plat::Rect{edge, 96, 368, 112}, kWhiteC) > 0, true) << k;
    EXPECT_GT(CountColor(v.m_surfTop, plat::Rect{272, 96, 368, 112}, kBlackC), 0) << k;
    if (k > 0) {
      EXPECT_GT(CountColor(v.m_surfTop, plat::Rect{272, 96, edge, 112}, color), 0) << k;
    }
  }
  EXPECT_EQ(CountColor(v.m_surfTop, plat::Rect{272, 96, 368, 112}, kGreen), 96 * 16);
  EXPECT_EQ(scriptRuntime.waitPending, 0);
  Ticks(1);
  EXPECT_EQ(scriptRuntime.waitKind, kWaitPause);
}

TEST_F(SceneTest, AResumedSceneShowsItsSavedPictureAndMusicAtOnce) {
  const plat::Color sky{30, 60, 90};
  WriteFile("misc/pic.bmp", Bitmap(640, 480, sky));
  WriteFile("media/bgm/bgm07.wav", Wave(22050 * 4));
  for (int resume : {1, 0}) {
    SCOPED_TRACE(resume);
    CGameView& v = Setup({{"s", "あ\\p;"}});
    std::strcpy(svparam.bgName, "pic");
    std::strcpy(svparam.bgmName, "bgm07");
    svparam.savePos = 0;
    plat::headless::ClearMixedAudio();
    v.PlayScript("s", resume);
    EXPECT_EQ(svparam.savePos, 2);
    EXPECT_EQ(v.m_nFadeStep, resume ? 8 : 0);
    EXPECT_TRUE(Same(PixelOf(v.m_surfPicture, 320, 100), resume ? sky : kBlackC));
    Ticks(4);
    EXPECT_EQ(Silent(plat::headless::MixedAudio()), resume == 0);
    const std::string log = Log();
    EXPECT_NE(log.find("SCRIPT MODE GAME\n"), std::string::npos);
    EXPECT_EQ(log.find("SCRIPT MODE RESUME\n") != std::string::npos, resume == 1);
    EXPECT_EQ(log.find("bgm07.wav'") != std::string::npos, resume == 1);
    TearDown();
    SetUp();
  }
}

TEST_F(SceneTest, TheEdgeTabShowsBeforeDay31AndTheBandBeforeDay32) {
  struct Case {
    int day;
    bool tab, band;
  } cases[] = {{1, true, true}, {30, true, true}, {31, false, true}, {32, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.day);
    CGameView& v = Setup({{"s", "\\p;"}});
    svparam.day = static_cast<std::int16_t>(c.day);
    v.PlayScript("s", 0);
    EXPECT_EQ(v.m_bEdgeTab, c.tab);
    EXPECT_TRUE(Same(PixelOf(v.m_surfTop, 300, 300), c.band ? kRed : kGreen));
    EXPECT_TRUE(Same(PixelOf(v.m_surfTop, 300, 200), kGreen));
    EXPECT_EQ(v.m_pfnTick, ScriptTick);
    TearDown();
    SetUp();
  }
}

TEST_F(SceneTest, TheEndMarkClosesTheMediaStopsTheMusicAndMovesTheDayOn) {
  CopyFixture("voice.mp3", "media/radio/R01.mp3");
  WriteFile("media/bgm/bgm07.wav", Wave(22050 * 4));
  CGameView& v = Play("!bgmon(bgm07)!radio(R01,1)!wait(3);");
  Ticks(2);
  EXPECT_STREQ(svparam.bgmName, "bgm07");
  EXPECT_TRUE(scriptRuntime.radioSlot.isOpen);
  EXPECT_FALSE(Silent(plat::headless::MixedAudio()));
  plat::headless::ClearSentMediaCommands();
  Ticks(3);
  EXPECT_EQ(svparam.phase, 1);
  Ticks(1);  // the wait ends
  Ticks(1);  // the end mark
  EXPECT_FALSE(scriptRuntime.radioSlot.isOpen);
  bool closed = false;
  for (const auto& c : plat::headless::SentMediaCommands()) closed |= c.command == "close mcitest";
  EXPECT_TRUE(closed);
  EXPECT_EQ(svparam.bgmName[0], '\0');
  EXPECT_NE(Log().find("Bgm OFF \n"), std::string::npos);
  EXPECT_NE(v.m_pfnTick, ScriptTick);
  EXPECT_EQ(svparam.phase, 2);  // the day loop went on to the room
  plat::headless::ClearMixedAudio();
  Ticks(4);
  EXPECT_TRUE(Silent(plat::headless::MixedAudio()));
}

TEST_F(SceneTest, AMediaWaitEndsWhenItsSlotStopsOrAtOnceWhenItDidNotOpen) {
  struct Case {
    const char* script;
    int ticks_until_text;  // ticks after the one that ran the command
  } cases[] = {
      {"!mv(movie)あ\\p;", -1},  // a one-second movie: about 20 ticks
      {"!mv(missing)あ\\p;", 2},
      {"!radio(missing)あ\\p;", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    CopyFixture("movie.wmv", "media/video/movie.wmv");
    Play(c.script);
    Ticks(1);
    const std::int16_t kind = scriptRuntime.waitKind;
    EXPECT_TRUE(kind == kWaitMovie || kind == kWaitRadio);
    int ticks = 0;
    while (scriptRuntime.column == 0 && ticks < 200) {
      Ticks(1);
      ++ticks;
    }
    if (c.ticks_until_text > 0) {
      EXPECT_EQ(ticks, c.ticks_until_text);
    } else {
      EXPECT_GE(ticks, 18);
      EXPECT_LE(ticks, 26);
    }
    TearDown();
    SetUp();
  }
}

TEST_F(SceneTest, BrokenScriptsAndStatesReportAndStopTheScene) {
  struct Case {
    const char* script;
    std::int16_t forced_wait_kind;  // -1: none forced
    const char* text;
  } cases[] = {
      {"あい", -1, "ターミネート異常 on POLL SCRIPT"},
      {"\x81", -1, "ターミネート異常 on POLL SCRIPT"},  // a lead byte right before the end
      {"\\p;", 3, "正しい手続きでペンディングかけてないでしょ？"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CGameView& v = Play(c.script);
    Ticks(1);
    if (c.forced_wait_kind >= 0) {
      scriptRuntime.waitKind = c.forced_wait_kind;
      Ticks(1);
    }
    ASSERT_FALSE(plat::headless::DialogsShown().empty());
    const auto& texts = plat::headless::DialogsShown().back().texts;
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::string(c.text)), texts.end());
    EXPECT_EQ(v.m_pfnTick, nullptr);
    EXPECT_LE(scriptRuntime.pos, scriptRuntime.buffer + kScriptBufferSize);
    TearDown();
    SetUp();
  }
}

TEST_F(SceneTest, AScriptJumpingToItselfWithoutAWaitStillEndsEveryTick) {
  CGameView& v = Play("あ^s");
  Ticks(1);
  EXPECT_EQ(scriptRuntime.column, 8);  // eight loads a tick, then the tick ends
  Ticks(1);
  EXPECT_EQ(scriptRuntime.column, 16);
  EXPECT_EQ(v.m_pfnTick, ScriptTick);
  EXPECT_TRUE(plat::headless::DialogsShown().empty());
}

}  // namespace

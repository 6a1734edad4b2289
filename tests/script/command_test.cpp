// The interpreter on the headless game view: each command as a one-line script with its effect
// and result, escapes, choice blocks, inserted text and the syntax errors.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/app_utils.h"
#include "platform/dialog.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_media.h"
#include "script/script_loader.h"
#include "script/script_parse.h"
#include "story/game_state.h"
#include "tests/script/interpreter_fixture.h"

namespace {

// The platform suite's media files (this suite has no data folder of its own).
const fs::path kMediaFixtures = fs::path(VELMORA_TEST_DATA).parent_path().parent_path() / "platform" / "data";

class ScriptCommandTest : public InterpreterTest {
 protected:
  void SetUp() override {
    InterpreterTest::SetUp();
    WriteScriptList("A01,0,0\nB01,0,0\n");
    WriteScript("B01", "い;");
    WriteFile("ev/movList.csv", "#file,#title\nm01,Movie one\n");
    fs::copy_file(kMediaFixtures / "movie.wmv", game_ / "media/video/m01.wmv");
    fs::copy_file(kMediaFixtures / "voice.mp3", game_ / "media/radio/r01.mp3");
    WritePicture("pic1", 10, 20, 30);
    WritePicture("pic2", 40, 50, 60);
    view_ = &Start();
    svparam.voiceVolume = 3;
    svparam.bgmVolume = 4;
  }

  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (const auto& c : plat::headless::SentMediaCommands()) out.push_back(c.command);
    return out;
  }
  // The log written since `mark` (its size in bytes then), without the entries' time stamps.
  std::string LogSince(std::size_t mark) const {
    static const std::regex stamp("[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} :");
    return std::regex_replace(Log().substr(mark), stamp, "");
  }
  static std::string U8(const std::string& cp932) { return plat::Cp932ToUtf8(cp932); }
  void LoadPicture(const char* name) { ASSERT_TRUE(view_->m_surfPicture.LoadBmp(App().m_strMiscPath + name + ".bmp")); }

  CGameView* view_ = nullptr;
};

const std::vector<std::uint8_t> kPic1{10, 20, 30}, kPic2{40, 50, 60}, kBlackPixel{0, 0, 0};

TEST_F(ScriptCommandTest, EachCommandHasItsEffectAndResult) {
  CGameView& v = *view_;
  ScriptRuntime& rt = scriptRuntime;
  const std::string video = App().m_strVideoPath + "m01.wmv", radio = App().m_strRadioPath + "r01.mp3";
  struct Case {
    std::string script;
    int result;
    std::string rest;                      // what the read position shows afterwards
    std::function<void()> before;          // the state the command meets
    std::function<void(const std::string&)> check;  // given the log lines it wrote
  } cases[] = {
      {"!send\r\n;", 1, "\r\n;", [&] { v.m_nFadeStep = 0, rt.sendTicks = 9; },
       [&](const std::string&) {
         EXPECT_EQ(rt.waitPending, 1); EXPECT_EQ(rt.waitKind, kWaitSendBox);
         EXPECT_EQ(v.m_nFadeStep, 8); EXPECT_EQ(rt.sendTicks, 0);
       }},
      {"!mv(m01)\r\n", 1, "\r\n", nullptr,
       [&](const std::string&) {
         EXPECT_EQ(rt.waitPending, 1); EXPECT_EQ(rt.waitKind, kWaitMovie);
         EXPECT_TRUE(rt.movieSlot.isOpen);
         EXPECT_TRUE(TestBit(sysparam.movieUnlocked, 0));
         EXPECT_EQ(Sent(), (std::vector<std::string>{"open " + video + " alias mcitest style child parent 59648",
                                                     "put mcitest window at 160 32 320 240",
                                                     "setaudio mcitest volume to 600", "play mcitest"}));
       }},
      // A movie that cannot be opened leaves the slot closed, which ends the wait at once.
      {"!mv(none)", 1, "", nullptr,
       [&](const std::string& log) {
         EXPECT_EQ(rt.waitKind, kWaitMovie); EXPECT_FALSE(rt.movieSlot.isOpen);
         EXPECT_NE(log.find("MovieOpen:ERR:"), std::string::npos);
       }},
      {"!radio(r01)", 1, "", nullptr,
       [&](const std::string&) {
         EXPECT_EQ(rt.waitPending, 1); EXPECT_EQ(rt.waitKind, kWaitRadio);
         EXPECT_TRUE(rt.radioSlot.isOpen);
         EXPECT_EQ(Sent(), (std::vector<std::string>{"open " + radio + " alias mcitest",
                                                     "setaudio mcitest volume to 600", "play mcitest"}));
       }},
      {"!radio(r01,1)", 1, "", nullptr,
       [&](const std::string&) {
         EXPECT_EQ(rt.waitPending, 0) << "the script goes on while it plays";
         EXPECT_TRUE(rt.radioSlot.isOpen);
         EXPECT_EQ(Sent().back(), "play mcitest");
       }},
      {"!settime(3)x", 0, "x", nullptr, [&](const std::string&) { EXPECT_EQ(svparam.time, 3); }},
      {"!setday(12)", 0, "", nullptr, [&](const std::string&) { EXPECT_EQ(svparam.day, 12); }},
      {"!battle(x,B01)\r\nnot read", 0, "い;", nullptr,
       [&](const std::string&) { EXPECT_STREQ(svparam.scriptName, "B01"); EXPECT_EQ(rt.pos, rt.buffer); }},
      {"!bgmon(bgm01)", 0, "", [&] { svparam.bgmName[0] = '\0'; },
       [&](const std::string& log) {
         EXPECT_STREQ(svparam.bgmName, "bgm01");
         EXPECT_EQ(log, "Script Bgm Start:bgm01\nBgm ON '" + App().m_strBgmPath + "bgm01.wav'\n");
       }},
      {"!bgmoff", 0, "", [&] { std::strcpy(svparam.bgmName, "bgm01"); },
       [&](const std::string& log) {
         EXPECT_STREQ(svparam.bgmName, "");
         EXPECT_EQ(log, "Script Bgm stop\nBgm OFF \n");
       }},
      {"!stron(bgm02)", 1, "", [&] { std::strcpy(svparam.bgmName, "bgm01"); },
       [&](const std::string& log) {
         EXPECT_STREQ(svparam.bgmName, "bgm01") << "not recorded for a save";
         EXPECT_EQ(log, "Bgm ON '" + App().m_strBgmPath + "bgm02.wav'\n");
       }},
      {"!stroff", 1, "", [&] { std::strcpy(svparam.bgmName, "bgm01"); },
       [&](const std::string& log) { EXPECT_STREQ(svparam.bgmName, "bgm01"); EXPECT_EQ(log, "Bgm OFF \n"); }},
      {"!fin", 1, "", [&] { v.m_nFadeStep = 8; },
       [&](const std::string&) {
         EXPECT_EQ(rt.waitPending, 1); EXPECT_EQ(rt.waitKind, kWaitFade);
         EXPECT_EQ(rt.fadeDir, 1); EXPECT_EQ(v.m_nFadeStep, 0);
         EXPECT_EQ(v.m_rcDirty, v.m_rcScreen);
       }},
      {"!fout", 1, "", [&] { v.m_nFadeStep = 0; },
       [&](const std::string&) {
         EXPECT_EQ(rt.waitKind, kWaitFade); EXPECT_EQ(rt.fadeDir, -1); EXPECT_EQ(v.m_nFadeStep, 8);
       }},
      // Inserted text: read from the fixed text, then back after the command.
      {"!nf;", 0, "力", nullptr, [&](const std::string&) { EXPECT_STREQ(rt.returnPos, ";"); }},
      {"!nl\\f", 0, "原子", nullptr, [&](const std::string&) { EXPECT_STREQ(rt.returnPos, "\\f"); }},
      {"!wait(20)", 1, "", nullptr,
       [&](const std::string&) {
         EXPECT_EQ(rt.waitTicks, 20); EXPECT_EQ(rt.waitPending, 1); EXPECT_EQ(rt.waitKind, kWaitTicks);
       }},
      {"!wait(-3)", 1, "", nullptr, [&](const std::string&) { EXPECT_EQ(rt.waitTicks, 0); }},
      // A background on a visible screen: replaced at once without the dissolve flag.
      {"!bgon(pic1)\r\n", 1, "\r\n", [&] { v.m_nFadeStep = 8, v.m_nPictureLevel = 0; },
       [&](const std::string& log) {
         EXPECT_EQ(rt.waitPending, 0); EXPECT_EQ(v.m_nPictureLevel, 4);
         EXPECT_EQ(PixelOf(v.m_surfPicture, 0, 0), kPic1); EXPECT_EQ(PixelOf(v.m_surfPicture, 639, 479), kPic1);
         EXPECT_STREQ(svparam.bgName, "pic1");
         EXPECT_EQ(v.m_rcDirty, v.m_rcScreen);
         EXPECT_EQ(log, "BG LOAD \"" + App().m_strMiscPath + "pic1.bmp\"\n");
       }},
      // With the flag on a visible screen: the old picture stays behind and the new dissolves in.
      {"!bgon(pic2,1)", 1, "", [&] { v.m_nFadeStep = 8, LoadPicture("pic1"); },
       [&](const std::string&) {
         EXPECT_EQ(rt.waitPending, 1); EXPECT_EQ(rt.waitKind, kWaitDissolve);
         EXPECT_EQ(v.m_nPictureLevel, 0); EXPECT_EQ(rt.fadeDir, 1);
         EXPECT_EQ(PixelOf(v.m_surfBack, 320, 240), kPic1); EXPECT_EQ(PixelOf(v.m_surfPicture, 320, 240), kPic2);
         EXPECT_STREQ(svparam.bgName, "pic2");
       }},
      // With the flag on a black screen (fade step 0): no dissolve.
      {"!bgon(pic2,1)", 1, "",
       [&] { v.m_nFadeStep = 0, LoadPicture("pic1"), v.m_surfBack.Fill(v.m_rcScreen, kBlack); },
       [&](const std::string&) {
         EXPECT_EQ(rt.waitPending, 0); EXPECT_EQ(v.m_nPictureLevel, 4);
         EXPECT_EQ(PixelOf(v.m_surfBack, 320, 240), kBlackPixel); EXPECT_EQ(PixelOf(v.m_surfPicture, 320, 240), kPic2);
       }},
      // A picture that cannot be loaded leaves a black picture of full size.
      {"!bgon(nopic)", 1, "", [&] { LoadPicture("pic1"); },
       [&](const std::string&) {
         EXPECT_EQ(v.m_surfPicture.Width(), 640); EXPECT_EQ(v.m_surfPicture.Height(), 480);
         EXPECT_EQ(PixelOf(v.m_surfPicture, 639, 479), kBlackPixel);
         EXPECT_STREQ(svparam.bgName, "nopic");
       }},
      {"!bgoff", 1, "", [&] { LoadPicture("pic1"), std::strcpy(svparam.bgName, "pic1"), v.m_rcDirty = {}; },
       [&](const std::string&) {
         EXPECT_EQ(PixelOf(v.m_surfPicture, 0, 0), kBlackPixel); EXPECT_EQ(PixelOf(v.m_surfPicture, 639, 479), kBlackPixel);
         EXPECT_STREQ(svparam.bgName, "pic1"); EXPECT_EQ(v.m_rcDirty, v.m_rcScreen);
       }},
  };
  std::vector<bool> covered(kCommandCount);
  for (Case& c : cases) {
    SCOPED_TRACE(c.script);
    ResetRuntime();
    rt.movieSlot.Close(), rt.radioSlot.Close();
    if (c.before) c.before();
    plat::headless::ClearSentMediaCommands();
    const std::size_t mark = Log().size();
    EXPECT_EQ(Run(c.script), c.result);
    EXPECT_EQ(Rest(), c.rest);
    c.check(LogSince(mark));
    covered[static_cast<std::size_t>(MatchCommandName(c.script.c_str()))] = true;
  }
  EXPECT_TRUE(plat::headless::DialogsShown().empty());

  // The commands without effect read their parameters and change nothing.
  const char* const inert[] = {"!bgmvol(3)",  "!charon(a,1)", "!charab(b)", "!charoff", "!ex(1,2,3,4,5)",
                               "!seon(se01)", "!seoff",       "!von(v1)",   "!voff",    "!winon",
                               "!winoff(1)",  "!bgset(x)",    "!bgol(p,2)", "!bgci(c)"};
  for (const char* script : inert) {
    SCOPED_TRACE(script);
    ResetRuntime();
    v.m_nFadeStep = 8, v.m_nPictureLevel = 4;
    const GameState game = svparam;
    const SystemState system = sysparam;
    const std::size_t mark = Log().size();
    plat::headless::ClearSentMediaCommands();
    EXPECT_EQ(Run(std::string(script) + "\r\n;"), 0);
    EXPECT_EQ(Rest(), "\r\n;");
    EXPECT_EQ(std::memcmp(&game, &svparam, sizeof game), 0);
    EXPECT_EQ(std::memcmp(&system, &sysparam, sizeof system), 0);
    EXPECT_EQ(rt.waitPending, 0); EXPECT_EQ(rt.returnPos, nullptr);
    EXPECT_EQ(v.m_nFadeStep, 8); EXPECT_EQ(v.m_nPictureLevel, 4);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(LogSince(mark), "");
    covered[static_cast<std::size_t>(MatchCommandName(script))] = true;
  }
  for (int i = 0; i < kCommandCount; ++i) EXPECT_TRUE(covered[static_cast<std::size_t>(i)]) << kCommandNames[i];
  EXPECT_STREQ(rt.strParam[0], "c") << "the last one's parameter was read";
}

TEST_F(ScriptCommandTest, ANewMediumClosesTheOneTheScriptLeftPlaying) {
  ResetRuntime();
  ASSERT_EQ(Run("!radio(r01,1)"), 1);
  ASSERT_TRUE(scriptRuntime.radioSlot.isOpen);
  ASSERT_EQ(Run("!mv(m01)"), 1);
  EXPECT_FALSE(scriptRuntime.radioSlot.isOpen);
  EXPECT_TRUE(scriptRuntime.movieSlot.isOpen) << "the media alias was free for the movie";
  ASSERT_EQ(Run("!radio(r01)"), 1);
  EXPECT_FALSE(scriptRuntime.movieSlot.isOpen);
  EXPECT_TRUE(scriptRuntime.radioSlot.isOpen);
}

TEST_F(ScriptCommandTest, EscapesMoveTheCursorOrStartClickWaits) {
  ScriptRuntime& rt = scriptRuntime;
  struct Case {
    const char* script;
    int fastForward;  // before
    int result;
    const char* rest;
    int waitKind;     // -1: no wait started
    int line;
  } cases[] = {
      {"\\nあ", 0, 0, "あ", -1, 3},
      {"\\fあ", 1, 1, "あ", kWaitPageEnd, 2},
      {"\\pあ", 0, 1, "あ", kWaitPause, 2},
      {"\\pあ", 1, 0, "あ", -1, 2},  // skipped while the page is drawn at once
      {"\\qあ", 0, 0, "あ", -1, 2},  // unknown: both bytes are passed over
      {"\\", 0, 0, "", -1, 2},      // at the end of the text only the backslash is read
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    ResetRuntime();
    rt.column = 7, rt.line = 2, rt.tickCount = 5;
    rt.fastForward = static_cast<std::uint16_t>(c.fastForward);
    EXPECT_EQ(Run(c.script), c.result);
    EXPECT_EQ(Rest(), c.rest);
    EXPECT_EQ(rt.line, c.line);
    EXPECT_EQ(rt.column, c.line == 3 ? 0 : 7);
    if (c.waitKind < 0) {
      EXPECT_EQ(rt.waitPending, 0); EXPECT_EQ(rt.mode, 0); EXPECT_EQ(rt.clickWait, 0);
      EXPECT_EQ(rt.fastForward, c.fastForward);
    } else {
      EXPECT_EQ(rt.waitPending, 1); EXPECT_EQ(rt.waitKind, c.waitKind);
      EXPECT_EQ(rt.mode, 1); EXPECT_EQ(rt.clickWait, 1); EXPECT_EQ(rt.tickCount, 0); EXPECT_EQ(rt.fastForward, 0);
    }
  }
}

TEST_F(ScriptCommandTest, AChoiceBlockWaitsForTheChoice) {
  ScriptRuntime& rt = scriptRuntime;
  ResetRuntime();
  rt.tickCount = 3;
  std::strcpy(rt.choiceLabel[2], "old");
  EXPECT_EQ(Run("/\r\nはい:A01\r\nいいえAB:B01\r\n/\r\nnot read;"), 1);
  EXPECT_EQ(Rest(), "\r\nnot read;");
  EXPECT_EQ(rt.mode, 2); EXPECT_EQ(rt.waitPending, 1); EXPECT_EQ(rt.waitKind, kWaitChoice);
  EXPECT_EQ(rt.tickCount, 0); EXPECT_EQ(rt.choiceSel, -1); EXPECT_EQ(rt.choiceCount, 2);
  EXPECT_STREQ(rt.choiceLabel[0], "はい"); EXPECT_STREQ(rt.choiceTarget[0], "A01");
  EXPECT_STREQ(rt.choiceLabel[1], "いいえ"); EXPECT_STREQ(rt.choiceTarget[1], "B01");
  EXPECT_STREQ(rt.choiceLabel[2], ""); EXPECT_STREQ(rt.choiceTarget[2], "");
}

TEST_F(ScriptCommandTest, AChoiceBlockWithoutChoicesIsPassedOver) {
  ScriptRuntime& rt = scriptRuntime;
  ResetRuntime();
  EXPECT_EQ(Run("/\r\n/\r\nnext;"), 1);
  EXPECT_EQ(Rest(), "\r\nnext;");
  EXPECT_EQ(rt.mode, 0);
  EXPECT_EQ(rt.waitPending, 0);
  EXPECT_EQ(rt.choiceCount, 0);
  EXPECT_TRUE(LogHas("ScChoice: a choice block without choices is passed over"));
}

TEST_F(ScriptCommandTest, SyntaxErrorsShowTheBoxLogTheTextAndStopTheScene) {
  ScriptRuntime& rt = scriptRuntime;
  struct Case {
    const char* script;
    const char* text;
  } cases[] = {
      {"x", "未定義コマンド on SCRIPT CMD"},
      {"!sendx", nullptr},  // the name "!send", then an item that begins with x
      {"!foo", "さようなコマンドは無い on GET CMD NUM"},
      {"!bg(x)", "さようなコマンドは無い on GET CMD NUM"},
      {"!bgmon(bgm01 )", "パラメータ区切り記号が無い on GET PARAM"},
      {"!bgon(pic1, 1)", "パラメータ区切り記号が無い on GET PARAM"},
      {"!bgmvol(1,2,3,4,5,6)", "パラメータが多すぎる on GET PARAM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    ResetRuntime();
    svparam.bgmName[0] = '\0';
    view_->m_pfnTick = [] {};
    const std::size_t shown = plat::headless::DialogsShown().size();
    const std::size_t mark = Log().size();
    if (c.text != nullptr) plat::headless::QueueModalButton(plat::kIdOk);
    const int result = Run(c.script);
    if (c.text == nullptr) {
      EXPECT_EQ(plat::headless::DialogsShown().size(), shown);
      continue;
    }
    EXPECT_EQ(result, 1);
    ASSERT_EQ(plat::headless::DialogsShown().size(), shown + 1);
    const auto& box = plat::headless::DialogsShown().back();
    EXPECT_EQ(box.caption, "スクリプトエラー");
    EXPECT_EQ(box.buttons, std::vector<int>{plat::kIdOk});
    ASSERT_FALSE(box.texts.empty());
    EXPECT_EQ(box.texts.front(), c.text);
    EXPECT_EQ(LogSince(mark), U8(std::string("スクリプトエラー ") + c.text + ";"));
    EXPECT_EQ(view_->m_pfnTick, nullptr);
    EXPECT_STREQ(svparam.bgmName, "") << "a command with a bad list is not run";
    EXPECT_EQ(rt.waitPending, 0);
  }
}

TEST_F(ScriptCommandTest, ADoubleQuoteIsPassedOver) {
  ResetRuntime();
  EXPECT_EQ(Run("\"\"あ;"), 0);
  EXPECT_EQ(Rest(), "\"あ;");
  EXPECT_EQ(ScriptCmd(), 0);
  EXPECT_EQ(Rest(), "あ;");
  EXPECT_TRUE(plat::headless::DialogsShown().empty());
}

}  // namespace

// Loading scripts: the bookkeeping of the script's row (route, score once per play-through, seen
// bits and the system file), reading the file into the buffer, jump lines, mails and error reports.
#include <gtest/gtest.h>

#include <string>

#include "app/app_utils.h"
#include "platform/dialog.h"
#include "platform/headless/headless.h"
#include "script/script_loader.h"
#include "story/data_tables.h"
#include "story/game_state.h"
#include "story/save_files.h"
#include "tests/script/interpreter_fixture.h"

namespace {

class ScriptLoaderTest : public InterpreterTest {
 protected:
  void SetUp() override {
    InterpreterTest::SetUp();
    WriteScriptList("A01,2,3\nB01,0,5\nM01,1,9\nMixed_Case,0,0\n");
    WriteScript("A01", "!fin\r\nあ\\f\r\n;\r\n");
    WriteScript("B01", "い;");
  }
  // Row `row`'s bit in the system file as written on disk.
  bool SystemFileBit(int row) const {
    const std::string bytes = ReadAll(SystemFilePath());
    if (bytes.size() < sizeof(SystemState)) return false;
    return TestBit(reinterpret_cast<const unsigned char*>(bytes.data()), row);
  }
  // The error boxes shown so far, as "caption|text".
  static std::vector<std::string> Boxes(std::size_t from = 0) {
    std::vector<std::string> out;
    const auto& shown = plat::headless::DialogsShown();
    for (std::size_t i = from; i < shown.size(); ++i) {
      const auto& d = shown[i];
      std::string all = d.caption + "|";
      for (const auto& t : d.texts) all += t;
      out.push_back(all);
    }
    return out;
  }
};

TEST_F(ScriptLoaderTest, ARowSetsTheRouteEveryTimeAndAddsItsScoreOncePerPlayThrough) {
  Start();
  svparam.param[0] = 0;
  svparam.param[1] = 10;
  ScLoadScriptByName("A01");
  EXPECT_EQ(svparam.param[0], 2);
  EXPECT_EQ(svparam.param[1], 13);
  svparam.param[0] = 7;
  ScLoadScriptByName("A01");
  EXPECT_EQ(svparam.param[0], 2) << "the route is set at every load";
  EXPECT_EQ(svparam.param[1], 13) << "the score is added once";
  EXPECT_EQ(LogCount("パラメータ[1] =   13 (add  3)\n"), 1);
  EXPECT_EQ(LogCount("ScLoadScriptByName \"A01\" fNum=0\n"), 2);

  // A row with route 0 leaves the route alone.
  ScLoadScriptByName("B01");
  EXPECT_EQ(svparam.param[0], 2);
  EXPECT_EQ(svparam.param[1], 18);

  // Seen in this play-through and for good, and the system file written with it.
  for (int row : {0, 1}) {
    EXPECT_TRUE(TestBit(svparam.seenScripts, row));
    EXPECT_TRUE(TestBit(sysparam.everSeenScripts, row));
    EXPECT_TRUE(SystemFileBit(row)) << row;
  }
  EXPECT_FALSE(TestBit(svparam.seenScripts, 2));

  // A new play-through adds the score again, although the script was seen before.
  ResetGameStateDefaults();
  sysparam.everSeenScripts[0] = 1;
  ScLoadScriptByName("A01");
  EXPECT_EQ(svparam.param[1], 3);
  EXPECT_EQ(LogCount("パラメータ[1] =    3 (add  3)\n"), 1);
  EXPECT_TRUE(plat::headless::DialogsShown().empty());
}

TEST_F(ScriptLoaderTest, TheFileFillsTheBufferFromItsStart) {
  Start();
  // A long script first, then a short one: nothing of the long one stays readable.
  WriteScript("B01", std::string(kScriptBufferSize + 500, 'x'));
  ScLoadScriptByName("B01");
  EXPECT_EQ(std::string(scriptRuntime.buffer), std::string(kScriptBufferSize, 'x')) << "cut after 12288 bytes";
  scriptRuntime.returnPos = "x";
  scriptRuntime.pos = scriptRuntime.buffer + 5;
  ScLoadScriptByName("A01");
  EXPECT_EQ(std::string(scriptRuntime.buffer), "!fin\r\nあ\\f\r\n;\r\n");
  EXPECT_EQ(scriptRuntime.pos, scriptRuntime.buffer);
  EXPECT_EQ(scriptRuntime.returnPos, nullptr);
  EXPECT_STREQ(svparam.scriptName, "A01");
  // The script folder's files are found whatever their case.
  WriteFile("script/MIXED_case.SIN", "う;");
  ScLoadScriptByName("Mixed_Case");
  EXPECT_EQ(std::string(scriptRuntime.buffer), "う;");
  EXPECT_TRUE(plat::headless::DialogsShown().empty());
}

TEST_F(ScriptLoaderTest, ErrorsShowTheBoxLogTheTextAndStopTheScene) {
  WriteScript("LONGNAME_0123456789", "え;");
  WriteScriptList("A01,2,3\nNOFILE,0,0\nLONGNAME_0123456789,0,0\n");
  CGameView& view = Start();
  const std::string path = App().m_strScriptPath + "NOFILE.sin";
  struct Case {
    const char* name;
    std::string box;      // the text of the error box, "" for none
    std::string buffer;   // what the buffer holds afterwards
    int seenRow;          // the row marked seen, -1 none
  } cases[] = {
      // Not in the table: the box, no bits; the file is still loaded.
      {"C99", "sEventList.csvに該当ファイル無しC99", "", -1},
      // In the table but without a file: the box and an empty script that ends at once.
      {"NOFILE", path + ": ファイル不在.", ";", 1},
      // A name longer than the record's field is loaded; the record keeps 15 bytes of it.
      {"LONGNAME_0123456789", "", "え;", 2},
  };
  WriteScript("C99", "お;");
  for (const Case& c : cases) {
    const std::size_t shown = plat::headless::DialogsShown().size();
    std::memset(svparam.seenScripts, 0, sizeof svparam.seenScripts);
    std::memset(sysparam.everSeenScripts, 0, sizeof sysparam.everSeenScripts);
    view.m_pfnTick = [] {};
    Put("previous;");
    if (!c.box.empty()) plat::headless::QueueModalButton(plat::kIdOk);
    ScLoadScriptByName(c.name);
    if (c.box.empty()) {
      EXPECT_EQ(plat::headless::DialogsShown().size(), shown) << c.name;
      EXPECT_NE(view.m_pfnTick, nullptr) << c.name;
    } else {
      ASSERT_EQ(Boxes(shown), std::vector<std::string>{"スクリプトエラー|" + c.box}) << c.name;
      EXPECT_EQ(view.m_pfnTick, nullptr) << c.name;
      EXPECT_TRUE(LogHas("スクリプトエラー " + c.box + ";")) << c.name;
    }
    EXPECT_EQ(std::string(scriptRuntime.buffer), c.buffer.empty() ? "お;" : c.buffer) << c.name;
    EXPECT_EQ(scriptRuntime.pos, scriptRuntime.buffer) << c.name;
    for (int row = 0; row < 4; ++row) {
      EXPECT_EQ(TestBit(svparam.seenScripts, row), row == c.seenRow) << c.name << " row " << row;
      EXPECT_EQ(TestBit(sysparam.everSeenScripts, row), row == c.seenRow) << c.name << " row " << row;
    }
  }
  EXPECT_TRUE(LogHas("ScLoadScriptByName \"C99\" fNum=-1\n"));
  EXPECT_TRUE(LogHas("ScLoadScriptByName スクリプトファイル無し\"" + path + "\"\n"));
  EXPECT_STREQ(svparam.scriptName, "LONGNAME_012345");
}

TEST_F(ScriptLoaderTest, AMailIsMarkedSeenWithoutRouteOrScore) {
  CGameView& view = Start();
  svparam.param[0] = svparam.param[1] = 0;
  ScChkLoadDb4Mail("M01");
  EXPECT_TRUE(TestBit(svparam.seenScripts, 2));
  EXPECT_TRUE(TestBit(sysparam.everSeenScripts, 2));
  EXPECT_TRUE(SystemFileBit(2));
  EXPECT_EQ(svparam.param[0], 0);
  EXPECT_EQ(svparam.param[1], 0);
  EXPECT_TRUE(LogHas("ScChkLoadDb4Mail \"M01\" fNum=2\n"));
  EXPECT_TRUE(plat::headless::DialogsShown().empty());

  const SystemState before = sysparam;
  view.m_pfnTick = [] {};
  plat::headless::QueueModalButton(plat::kIdOk);
  ScChkLoadDb4Mail("X01");
  EXPECT_EQ(Boxes(), std::vector<std::string>{"スクリプトエラー|sEventList.csvに該当ファイル無しX01"});
  EXPECT_EQ(std::memcmp(&before, &sysparam, sizeof before), 0) << "no bit is set";
  EXPECT_TRUE(LogHas("ScChkLoadDb4Mail \"X01\" fNum=-1\n"));
}

TEST_F(ScriptLoaderTest, AJumpLineLoadsItsScriptOnTheSamePage) {
  Start();
  ResetRuntime();
  scriptRuntime.column = 5;
  scriptRuntime.line = 2;
  svparam.param[1] = 0;
  EXPECT_EQ(Run("^B01\r\nnot read;"), 0);
  EXPECT_EQ(std::string(scriptRuntime.buffer), "い;");
  EXPECT_EQ(Rest(), "い;");
  EXPECT_STREQ(scriptRuntime.choiceTarget[0], "B01");
  EXPECT_STREQ(svparam.scriptName, "B01");
  EXPECT_TRUE(LogHas("GotoScript \"B01\"\n"));
  EXPECT_EQ(scriptRuntime.column, 5) << "the message area is not cleared";
  EXPECT_EQ(scriptRuntime.line, 2);
  EXPECT_EQ(svparam.param[1], 5);

  // A jump whose script is not in the table still loads it, but the error report stops the
  // scene: nothing more is read in this tick.
  WriteScript("C99", "う;");
  g_pGameView->m_pfnTick = [] {};
  plat::headless::QueueModalButton(plat::kIdOk);
  EXPECT_EQ(Run("^C99\r\n"), 1);
  EXPECT_EQ(std::string(scriptRuntime.buffer), "う;");
  EXPECT_EQ(g_pGameView->m_pfnTick, nullptr);
}

TEST_F(ScriptLoaderTest, AnErrorWithoutAViewIsOnlyLogged) {
  StartGame(false);
  ASSERT_EQ(g_pGameView, nullptr);
  ScError("未定義コマンド on SCRIPT CMD");
  EXPECT_TRUE(plat::headless::DialogsShown().empty());
  EXPECT_TRUE(LogHas("スクリプトエラー 未定義コマンド on SCRIPT CMD;"));
}

}  // namespace

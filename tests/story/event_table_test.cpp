// The event table: its file, the condition language evaluated strictly from left to right, the
// choice of a slot's row and the reselection after a load.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app_utils.h"
#include "platform/headless/headless.h"
#include "platform/text_encoding.h"
#include "story/data_tables.h"
#include "story/event_table.h"
#include "story/game_state.h"
#include "tests/app/game_fixture.h"

namespace {

class EventTableTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    AddSamples(game_);
    EnableLog();
    StartGame(false);
    CDebugLog quiet;
    scriptTable.count = ParseScriptTable("#name,#route,#score\nA009_04,1,0\nB011_04,2,0\nB011_05,0,0\n008_05,0,0\n",
                                         scriptTable.rows, ScriptTable::kCapacity, quiet);
    std::memset(svparam.seenScripts, 0, sizeof svparam.seenScripts);
    std::memset(svparam.param, 0, sizeof svparam.param);
  }
  void Seen(int row) { SetBit(svparam.seenScripts, row); }
  void LoadTable(const std::string& text) {
    std::ofstream(game_ / "ev" / "sEventTable.csv", std::ios::binary) << text;
    LoadEventTable((game_ / "ev" / "sEventTable.csv").string());
  }
  std::string Log() const { return WithoutLogPrefixes(ReadAll(LogFiles().at(0))); }
};

struct RuleCase {
  const char* rule;
  int route, score;   // param[0], param[1]
  int seenRows;       // bit i: script-table row i was played
  int expected;
};

TEST_F(EventTableTest, RulesAreEvaluatedFromLeftToRight) {
  // Rows: 0 A009_04, 1 B011_04, 2 B011_05, 3 008_05.
  const RuleCase cases[] = {
      {"", 0, 0, 0, 1},                                 // empty: always
      {"N", 1, 0, 0xF, 0},                              // never
      {"P=0:1&E=A009_04", 1, 0, 0b0001, 1},
      {"P=0:1&E=A009_04", 2, 0, 0b0001, 0},
      {"P=0:1&E=A009_04", 1, 0, 0, 0},
      {"E=B011_04|E=B011_05", 0, 0, 0b0100, 1},
      {"E=B011_04|E=B011_05", 0, 0, 0b0010, 1},
      {"E=B011_04|E=B011_05", 0, 0, 0, 0},
      {"P=0:2&E=B011_04|E=B011_05", 1, 0, 0, 0},        // (route 2 and B011_04) or B011_05
      {"P=0:2&E=B011_04|E=B011_05", 1, 0, 0b0100, 1},   // B011_05 decides whatever the route
      {"P=0:2&E=B011_04|E=B011_05", 2, 0, 0b0010, 1},
      {"P<1:31&E=008_05", 0, 30, 0b1000, 1},
      {"P<1:31&E=008_05", 0, 31, 0b1000, 0},
      {"P>1:-5", 0, -4, 0, 1},
      {"P>1:-5", 0, -5, 0, 0},
      {"P=0-3", -3, 0, 0, 1},                           // the ":" may be left out
      {"P=1:+7", 0, 7, 0, 1},
      {"E!A009_04", 0, 0, 0, 1},
      {"E!A009_04", 0, 0, 0b0001, 0},
      {"N|P=0:1", 1, 0, 0, 1},
      {"P=0:1&P=1:5P=1:6", 1, 5, 0, 0},                 // no operator: the last one ("&") again
      {"N|P=0:9P=0:1", 1, 0, 0, 1},                     // no operator: "|" again
      {"P=0:1 ", 1, 0, 0, 1},                           // a stray blank repeats the combination
      {"N x", 0, 0, 0, 0},
      {"P=0:1&", 1, 0, 0, 1},                           // a trailing operator changes nothing
      {"P=4:0", 0, 0, 0, 0},                            // index outside 0..3: false
      {"P=-1:0", 0, 0, 0, 0},
      {"P<9999999999:0|P=0:0", 0, 0, 0, 1},
      {"P<0:9999999999", 5, 0, 0, 1},                   // ten digits compare as a wide number
      {"Ex|Py", 0, 0, 0, 1},                            // unknown term letters change nothing
  };
  for (const RuleCase& c : cases) {
    svparam.param[0] = static_cast<std::int16_t>(c.route);
    svparam.param[1] = static_cast<std::int16_t>(c.score);
    std::memset(svparam.seenScripts, 0, sizeof svparam.seenScripts);
    for (int i = 0; i < 4; ++i)
      if (c.seenRows & (1 << i)) Seen(i);
    EXPECT_EQ(EvalRule(c.rule), c.expected) << c.rule << " route " << c.route << " score " << c.score;
  }
}

TEST_F(EventTableTest, RuleTermsAreLoggedAndUnknownNamesReported) {
  Seen(0);
  svparam.param[0] = 1;
  EXPECT_EQ(EvalRule("P=0:1&E=A009_04|N"), 1);
  EXPECT_EQ(EvalRule("E=NOSUCH_SCRIPT_WITH_A_NAME_FAR_TOO_LONG_FOR_ITS_FIELD"), 0);
  const std::string log = Log();
  EXPECT_NE(log.find("P=0:1&E=A009_04|N [TRUE] [TRUE] "), std::string::npos);
  // Only the first 31 bytes of a name count.
  EXPECT_NE(log.find(plat::Cp932ToUtf8("sEventList.csvに該当ファイル無しNOSUCH_SCRIPT_WITH_A_NAME_FAR_T;")),
            std::string::npos);
}

TEST_F(EventTableTest, TheFileGivesRowsNamesAndConditions) {
  LoadTable(
      "#day,#time,#monS,#Mail,#MonE,#condition\r\n"
      "1,1,001_00,001_01,001_02,\r\n"
      "7,1,007_00,-,007_01,\r\n"
      "12,1,B012_00,RB012_03,B012_05,P=0:2&E=B011_04|E=B011_05\r\n"
      "\r\n"
      "13,1,after,the,end,\r\n");
  ASSERT_EQ(eventTable.count, 3);
  EXPECT_EQ(eventTable.rows[3].day, -1);
  const EventRow& r = eventTable.rows[2];
  EXPECT_EQ(r.day, 12);
  EXPECT_EQ(r.time, 1);
  EXPECT_STREQ(r.monS, "B012_00");
  EXPECT_STREQ(r.Mail, "RB012_03");
  EXPECT_STREQ(r.MonE, "B012_05");
  EXPECT_STREQ(r.condition, "P=0:2&E=B011_04|E=B011_05");
  EXPECT_STREQ(eventTable.rows[0].condition, "");
  EXPECT_STREQ(eventTable.rows[1].Mail, "-");
  const std::string log = Log();
  EXPECT_NE(log.find("LOAD EVENT TB '"), std::string::npos);
  EXPECT_NE(log.find("D 7 T 1 S=          007_00 M=               - E=          007_01 RULE=\n"), std::string::npos);
  EXPECT_NE(log.find("--- EVENT TB LOAD --- TOTAL 3 EVENTS\n"), std::string::npos);
}

TEST_F(EventTableTest, LongFieldsAreCutAndExtraRowsDropped) {
  std::string text = "#day,#time,#monS,#Mail,#MonE,#condition\n";
  text += "1,1," + std::string(40, 's') + "," + std::string(70, 'm') + ",e,\n";
  for (int i = 0; i < 300; ++i) text += "2,1,a,b,c,N\n";
  LoadTable(text);
  EXPECT_EQ(eventTable.count, 255);
  EXPECT_EQ(eventTable.rows[255].day, -1);
  EXPECT_EQ(std::string(eventTable.rows[0].monS), std::string(31, 's'));
  EXPECT_EQ(std::string(eventTable.rows[0].Mail), std::string(63, 'm'));
}

TEST_F(EventTableTest, TheFirstTrueRowOfTheSlotWinsAndOtherSlotsAreNotEvaluated) {
  LoadTable(
      "h\n"
      "3,1,wrong_day,-,-,P=0:0\n"
      "4,2,wrong_slot,-,-,P=0:0\n"
      "4,1,not_true,-,-,N\n"
      "4,1,first_true,m1,-,P=0:0\n"
      "4,1,second_true,m2,-,\n");
  svparam.day = 4;
  svparam.time = 1;
  ChkAndSetEvent();
  EXPECT_STREQ(curEvent.monS, "first_true");
  std::string log = Log();
  EXPECT_NE(log.find(plat::Cp932ToUtf8("ChkAndSetEvent\n")), std::string::npos);
  EXPECT_EQ(log.find("wrong"), log.find("wrong_day"));  // only the loader's lines name them
  EXPECT_EQ(log.find(plat::Cp932ToUtf8("日付=3")), std::string::npos);
  EXPECT_NE(log.find(plat::Cp932ToUtf8("日付=4 時刻=1\nN ")), std::string::npos);

  // No row holds: the slot keeps the row chosen before.
  svparam.param[0] = 5;
  svparam.time = 1;
  LoadTable("h\n4,1,other,-,-,N\n");
  ChkAndSetEvent();
  EXPECT_STREQ(curEvent.monS, "first_true");
  EXPECT_NE(Log().find(plat::Cp932ToUtf8("イベント発見できず\n")), std::string::npos);
}

TEST_F(EventTableTest, ReselectUsesTheParametersTheSlotBeganWith) {
  LoadTable("h\n9,1,route_one,-,-,P=0:1\n9,1,route_two,-,-,P=0:2\n");
  svparam.day = 9;
  svparam.time = 1;
  svparam.param[0] = 2;  // changed by a scene since the slot began
  svparam.param[1] = 40;
  svparam.param[2] = 1;  // the route and score when the slot began
  svparam.param[3] = 12;
  ReselectEvent();
  EXPECT_STREQ(curEvent.monS, "route_one");
  EXPECT_EQ(svparam.param[0], 2);
  EXPECT_EQ(svparam.param[1], 40);
}

}  // namespace

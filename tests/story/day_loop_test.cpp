// The day loop through the real view: phases, time slots, days, the day 12 rule and the endings.
// Scenes are one-line scripts that end at once, so the loop runs on by itself up to each room.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_utils.h"
#include "platform/headless/headless.h"
#include "platform/text_encoding.h"
#include "story/event_table.h"
#include "story/game_state.h"
#include "tests/script/script_fixture.h"

namespace {

class DayLoopTest : public ScriptFolderTest {
 protected:
  // Scenes of the given names, each ending at once, and the table's rows.
  void Prepare(const std::vector<std::string>& scenes, const std::string& table) {
    std::string list;
    for (const std::string& s : scenes) {
      list += s + ",0,0\n";
      WriteScript(s, ";\r\n");
    }
    WriteScriptList(list + "001_01,0,0\n");
    WriteFile("ev/sEventTable.csv", "#day,#time,#monS,#Mail,#MonE,#condition\n" + table);
    view_ = &Start();
  }
  void Begin(int day, int time, int phase) {
    svparam.day = static_cast<std::int16_t>(day);
    svparam.time = static_cast<std::int16_t>(time);
    svparam.phase = static_cast<std::uint16_t>(phase);
  }
  // A click on the room stands for the player being done with the room.
  static void ClickRoom() {
    plat::headless::InjectMouseDown(320, 240);
    plat::headless::InjectMouseUp(320, 240);
    plat::headless::Advance(1);
  }
  // The "GAME DO d t" lines and the day cards, in order.
  std::vector<std::string> Steps() const {
    std::vector<std::string> out;
    const std::string log = WithoutLogPrefixes(Log());
    for (std::size_t i = 0; i < log.size();) {
      const std::size_t e = log.find('\n', i);
      const std::string line = log.substr(i, e - i);
      if (line.rfind("GAME DO", 0) == 0) out.push_back(line.substr(8));
      if (line.rfind("STUB ShowDayCard", 0) == 0) out.push_back("card");
      // A rule's text runs on into the next entry, so a scene's load may stand mid-line.
      const std::size_t load = line.find("ScLoadScriptByName \"");
      if (load != std::string::npos) out.push_back(line.substr(load + 20, line.find('"', load + 20) - load - 20));
      if (e == std::string::npos) break;
      i = e + 1;
    }
    return out;
  }
  CGameView* view_ = nullptr;
};

TEST_F(DayLoopTest, ADayWithTwoSlotsRunsBothWithOneDayCard) {
  Prepare({"s1a", "s1b", "s2a", "s2b", "s3a"},
          "1,1,s1a,001_01,s1b,\n1,2,s2a,-,s2b,\n2,1,s3a,-,-,\n");
  Begin(1, 1, 0);
  view_->GameDo();
  Ticks(1);     // s1a ends
  ClickRoom();  // the room of slot 1
  Ticks(2);     // s1b ends, slot 2 begins, s2a ends
  EXPECT_EQ(svparam.day, 1);
  EXPECT_EQ(svparam.time, 2);
  EXPECT_EQ(svparam.phase, 2);
  ClickRoom();
  Ticks(2);  // s2b, then day 2 with its card and s3a
  EXPECT_EQ(svparam.day, 2);
  EXPECT_EQ(svparam.phase, 2);
  const std::vector<std::string> expected = {"1 1", "card", "1 1", "s1a", "1 1", "1 1", "s1b", "1 2", "1 2", "s2a",
                                             "1 2", "1 2", "s2b", "2 1", "card", "2 1", "s3a", "2 1"};
  EXPECT_EQ(Steps(), expected);
  // The slot's mail was marked seen before its room opened.
  EXPECT_TRUE(TestBit(svparam.seenScripts, 5));
  EXPECT_NE(Log().find("STUB ShowRoomScreen: the room screen is not built yet; mail '001_01'"), std::string::npos);
}

TEST_F(DayLoopTest, TheSecondSlotOfDayTwelveIsForRouteOneOnly) {
  Prepare({}, "11,1,-,-,-,\n11,2,-,-,-,\n12,1,-,-,-,\n12,2,-,-,-,P=0:1\n13,1,-,-,-,\n");
  struct Case {
    int day, route;
    int nextDay, nextTime;
  };
  const Case cases[] = {{12, 2, 13, 1}, {12, 1, 12, 2}, {12, 0, 12, 2}, {11, 2, 11, 2}};
  for (const Case& c : cases) {
    Begin(c.day, 1, 3);
    svparam.param[0] = static_cast<std::int16_t>(c.route);
    view_->NextPhase();  // the closing scene of slot 1 has ended
    EXPECT_EQ(svparam.day, c.nextDay) << "day " << c.day << " route " << c.route;
    EXPECT_EQ(svparam.time, c.nextTime) << "day " << c.day << " route " << c.route;
    EXPECT_EQ(svparam.phase, 2);  // "-" scenes: straight on to the room
  }
}

TEST_F(DayLoopTest, DayThirtyTwoPlaysTheEndingThatWhatWasSeenChooses) {
  Prepare({"A031_05mv", "X031_01", "sr", "sr_", "sr__"}, "31,1,-,-,-,\n");
  struct Case {
    bool mv, x;
    const char* ending;
  };
  const Case cases[] = {{true, true, "sr_"}, {false, true, "sr__"}, {false, false, "sr"}, {true, false, "sr_"}};
  for (const Case& c : cases) {
    std::memset(svparam.seenScripts, 0, sizeof svparam.seenScripts);
    if (c.mv) SetBit(svparam.seenScripts, 0);
    if (c.x) SetBit(svparam.seenScripts, 1);
    sysparam.endingSeen = 0;
    Begin(31, 1, 3);
    view_->NextPhase();  // the last slot of day 31 ends
    EXPECT_EQ(svparam.day, 32);
    EXPECT_STREQ(svparam.scriptName, c.ending);
    EXPECT_EQ(sysparam.endingSeen, 1u);
    EXPECT_EQ(view_->m_bEdgeTab, false);
  }
  Ticks(1);  // the ending scene ends: the opening movie leads back to the title
  EXPECT_NE(Log().find("/media/video/op.wmv"), std::string::npos);
  EXPECT_EQ(svparam.day, 32);
}

}  // namespace

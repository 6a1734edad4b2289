// The whole data reset: its order, the rooms a new play-through starts with, and that running
// it again changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_utils.h"
#include "story/data_tables.h"
#include "story/game_state.h"
#include "story/init_game_data.h"
#include "gallery/received.h"
#include "story/save_files.h"
#include "tests/app/game_fixture.h"

namespace {

class InitGameDataTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    AddSamples(game_);
    Write("sEventList.csv", "#name,#route,#score\n001_00,0,0\nA009_00,1,5\n");
    Write("movList.csv", "h\nvD027_01,Palace\n");
    Write("photList.csv", "h\np004_01,Beach\n");
    Write("radioList.csv", "h\nr1,On air\n");
    Write("roomList.csv", "h\n0,a\n1,b\n2,c\n3,d\n4,e\n");
    EnableLog();
    StartGame(false);
  }
  void Write(const std::string& name, const std::string& text) { std::ofstream(game_ / "ev" / name) << text; }
  std::string Log() const { return ReadAll(LogFiles().at(0)); }
  static std::vector<unsigned char> Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    return {b, b + n};
  }
  // Everything InitGameData fills.
  std::vector<unsigned char> Snapshot() const {
    std::vector<unsigned char> all;
    for (const auto& part : {Bytes(&svparam, sizeof svparam), Bytes(&sysparam, sizeof sysparam),
                             Bytes(&scriptTable, sizeof scriptTable), Bytes(&movieTable, sizeof movieTable),
                             Bytes(&photoTable, sizeof photoTable), Bytes(&radioTable, sizeof radioTable),
                             Bytes(&roomTable, sizeof roomTable)})
      all.insert(all.end(), part.begin(), part.end());
    return all;
  }
};

TEST_F(InitGameDataTest, LoadsInOrderCreatesTheSlotsAndGivesRoomZero) {
  std::memset(&svparam, 0, sizeof svparam);
  svparam.textSpeed = 4;
  InitGameData();

  EXPECT_EQ(scriptTable.count, 2);
  EXPECT_EQ(scriptTable.rows[1].score, 5);
  EXPECT_EQ(roomTable.count, 5);
  EXPECT_EQ(svparam.textSpeed, 2);
  EXPECT_EQ(svparam.inUse, 1);
  EXPECT_STREQ(svparam.userName, "NA");
  for (int n = 0; n < kSaveSlotCount; ++n) EXPECT_TRUE(fs::exists(SaveSlotPath(n))) << n;
  ASSERT_EQ(svparam.roomCount, 1);
  EXPECT_EQ(svparam.rooms[0].roomId, 0);
  EXPECT_TRUE(TestBit(sysparam.roomUnlocked, 0));

  const std::string log = Log();
  std::size_t at = 0;
  for (const char* line : {"LOAD SCRIPT TB '", "LOAD EVENT TB '",
                           "LOAD MOVIE TB '", "LOAD POTO TB '", "LOAD RADIO TB '", "LOAD ROOM TB '"}) {
    const std::size_t found = log.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << " missing or out of order in:\n" << log;
    at = found;
  }
}

TEST_F(InitGameDataTest, RoomsUnlockedInAnEarlierPlayThroughAreGivenAgain) {
  InitGameData();
  AddReceived("Palace", "vD027_01", -1);  // unlocks room 4 in the system file
  svparam.roomCount = 0;

  InitGameData();
  ASSERT_EQ(svparam.roomCount, 2);
  EXPECT_EQ(svparam.rooms[0].roomId, 0);
  EXPECT_EQ(svparam.rooms[1].roomId, 4);
  EXPECT_EQ(svparam.movieCount, 0);  // the movie itself belonged to the earlier play-through
  EXPECT_TRUE(TestBit(sysparam.movieUnlocked, 0));
}

TEST_F(InitGameDataTest, TwiceEqualsOnce) {
  InitGameData();
  AddReceived("", "", 3);
  InitGameData();
  const std::vector<unsigned char> once = Snapshot();
  InitGameData();
  const std::vector<unsigned char> twice = Snapshot();
  ASSERT_EQ(once.size(), twice.size());
  for (std::size_t i = 0; i < once.size(); ++i) ASSERT_EQ(once[i], twice[i]) << "first difference at byte " << i;
}

}  // namespace

// Received items: what each kind appends, the rooms given once only, and full lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app_utils.h"
#include "gallery/received.h"
#include "platform/text_encoding.h"
#include "screens/mail_list.h"
#include "story/data_tables.h"
#include "story/game_state.h"
#include "tests/app/game_fixture.h"

namespace {

class ReceivedTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    StartLoggedGame();
    Load("photList.csv", "h\np004_01,Beach\n", LoadPhotoTable);
    Load("roomList.csv", "h\n0,a\n1,b\n2,c\n3,d\n4,e\n", LoadRoomTable);
    Load("movList.csv", "h\nvD027_01,Palace\n", LoadMovieTable);
    Load("radioList.csv", "h\nr1,On air\n", LoadRadioTable);
    std::memset(&sysparam, 0, sizeof sysparam);
    std::memset(&svparam, 0x5A, sizeof svparam);  // stale bytes: only what is written may show
    ClearMailList();
    ClearReceivedLists();
  }
  void Load(const std::string& name, const std::string& text, void (*loader)(const std::string&)) {
    std::ofstream(game_ / "ev" / name) << text;
    loader(App().m_strEventPath + name);
  }
  std::string Log() const { return ReadAll(LogFiles().at(0)); }
};

TEST_F(ReceivedTest, ARoomIsReceivedOnceWithItsStyleName) {
  AddReceived("ignored", "ignored", 2);
  AddReceived("", "", 2);
  ASSERT_EQ(svparam.roomCount, 1);
  EXPECT_EQ(svparam.rooms[0].roomId, 2);
  EXPECT_EQ(svparam.rooms[0].seen, 0);
  EXPECT_STREQ(svparam.rooms[0].title, "ハムスターＫＯＹＡ");
  EXPECT_TRUE(TestBit(sysparam.roomUnlocked, 2));
  EXPECT_EQ(svparam.movieCount + svparam.photoCount + svparam.radioCount, 0);
}

TEST_F(ReceivedTest, ThePalaceMovieAddsRoomFourOnce) {
  AddReceived("Palace", "vD027_01", -1);
  AddReceived("Palace", "vD027_01", -1);
  EXPECT_EQ(svparam.movieCount, 2);  // a movie received again is listed again
  EXPECT_STREQ(svparam.movies[1].fileId, "vD027_01");
  ASSERT_EQ(svparam.roomCount, 1);
  EXPECT_EQ(svparam.rooms[0].roomId, 4);
  EXPECT_STREQ(svparam.rooms[0].title, "ＯｎｅＲｏｏｍ宮殿");
  EXPECT_TRUE(TestBit(sysparam.movieUnlocked, 0));
  EXPECT_TRUE(TestBit(sysparam.roomUnlocked, 4));

  AddReceived("Palace", "VD027_01", -1);  // the id is matched exactly, case included
  EXPECT_EQ(svparam.roomCount, 1);
}

TEST_F(ReceivedTest, EachKindGoesToItsListAndPhotosTakeTheTablesTitle) {
  AddReceived("caller's title", "p004_01", -1);
  AddReceived("caller's title", "P404", -1);
  AddReceived("Night show", "R1", -1);
  ASSERT_EQ(svparam.photoCount, 2);
  EXPECT_STREQ(svparam.photos[0].title, "Beach");
  EXPECT_STREQ(svparam.photos[0].fileId, "p004_01");
  EXPECT_STREQ(svparam.photos[1].title, "");  // not in the photo list: no title, still received
  ASSERT_EQ(svparam.radioCount, 1);
  EXPECT_STREQ(svparam.radios[0].title, "Night show");
  EXPECT_EQ(sysparam.photoUnlocked[0], 0x01);
  EXPECT_EQ(sysparam.radioUnlocked[0], 0x01);
  EXPECT_NE(Log().find("PIC 'P404' not in list\n"), std::string::npos);
}

TEST_F(ReceivedTest, LongTextsAreCutToTheirFields) {
  const std::string title(80, 'T');
  const std::string id(40, 'v');
  AddReceived(title.c_str(), id.c_str(), -1);
  ASSERT_EQ(svparam.movieCount, 1);
  EXPECT_EQ(std::string(svparam.movies[0].title), std::string(43, 'T'));
  EXPECT_EQ(std::string(svparam.movies[0].fileId), std::string(15, 'v'));
}

TEST_F(ReceivedTest, AFullListDropsTheItemAndLogsIt) {
  for (int i = 0; i < kReceivedRadioCapacity + 2; ++i) AddReceived("t", "r1", -1);
  EXPECT_EQ(svparam.radioCount, kReceivedRadioCapacity);
  EXPECT_EQ(svparam.photoCount, 0);  // the list after it is not overwritten
  EXPECT_NE(Log().find("AddReceived: radio list full, 'r1' dropped\n"), std::string::npos) << Log();

  for (int r = 0; r < kReceivedRoomCapacity + 3; ++r) AddReceived("", "", r);
  EXPECT_EQ(svparam.roomCount, kReceivedRoomCapacity);
  EXPECT_EQ(svparam.rooms[5].title[0], '\0');  // room 5 has no style name
  EXPECT_NE(Log().find("AddReceived: room list full, room 8 dropped\n"), std::string::npos) << Log();
}

TEST_F(ReceivedTest, ClearingEmptiesTheListsAndTheMailList) {
  AddReceived("a", "p004_01", -1);
  AddReceived("", "", 1);
  svparam.mailCount = 3;
  ClearMailList();
  ClearReceivedLists();
  EXPECT_EQ(svparam.mailCount, 0);
  EXPECT_EQ(svparam.photoCount + svparam.roomCount, 0);
  for (const MailRec& m : svparam.mails) {
    EXPECT_EQ(m.sender, 0);
    EXPECT_EQ(m.flags, 0);
    EXPECT_EQ(m.subject[0] | m.dayCaption[0] | m.name[0] | m.attachment[0], 0);
  }
  EXPECT_EQ(svparam.photos[0].fileId[0], '\0');
  EXPECT_EQ(svparam.rooms[0].title[0], '\0');
}

}  // namespace

// The play-through record's bit sets and the reset a new game makes.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app_utils.h"
#include "story/game_state.h"

namespace {

struct BitCase {
  const char* name;
  unsigned char byte1_before;
  int bit;
  bool set_it;  // false: only test the bit
  bool expect_bit;
  unsigned char byte1_after;
  friend std::ostream& operator<<(std::ostream& os, const BitCase& c) { return os << c.name; }
};

class SeenScriptBits : public ::testing::TestWithParam<BitCase> {};

TEST_P(SeenScriptBits, BitIsValueOneShiftedByIndexModEightInByteIndexDivEight) {
  const BitCase& c = GetParam();
  GameState state{};
  state.seenScripts[1] = c.byte1_before;
  if (c.set_it) SetBit(state.seenScripts, c.bit);
  EXPECT_EQ(TestBit(state.seenScripts, c.bit), c.expect_bit);
  EXPECT_EQ(state.seenScripts[1], c.byte1_after);
  // Neighbouring bytes never change.
  EXPECT_EQ(state.seenScripts[0], 0);
  EXPECT_EQ(state.seenScripts[2], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SeenScriptBits,
    ::testing::Values(BitCase{"Bit9OfByte0x02IsSet", 0x02, 9, false, true, 0x02},
                      BitCase{"Bit8OfByte0x02IsClear", 0x02, 8, false, false, 0x02},
                      BitCase{"SettingBit15Gives0x82", 0x02, 15, true, true, 0x82},
                      BitCase{"SettingASetBitKeepsIt", 0x02, 9, true, true, 0x02}),
    [](const auto& p) { return std::string(p.param.name); });

// A record whose every byte is 0xAB, as a finished play-through might leave it.
class ResetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&svparam, 0xAB, sizeof svparam);
    std::memset(&sysparam, 0xAB, sizeof sysparam);
    svparam.inUse = 1;
    before_ = svparam;
    ResetGameStateDefaults();
  }
  GameState before_;
};

TEST_F(ResetTest, NewGameReturnsTheSettingsAndStoryToTheirDefaults) {
  EXPECT_STREQ(svparam.userName, "NA");
  EXPECT_EQ(svparam.day, 1);
  EXPECT_EQ(svparam.time, 1);
  EXPECT_EQ(svparam.param[0], 0);
  EXPECT_EQ(svparam.param[1], 0);
  EXPECT_EQ(svparam.voiceVolume, 5);
  EXPECT_EQ(svparam.bgmVolume, 4);
  EXPECT_EQ(svparam.seVolume, 5);
  EXPECT_EQ(svparam.textSpeed, 2);
  EXPECT_EQ(svparam.markSeenChoices, 1);
  EXPECT_EQ(svparam.fullScreen, 0);
  EXPECT_EQ(svparam.room, 0);
  for (unsigned char b : svparam.seenScripts) EXPECT_EQ(b, 0);
  const SystemState clear{};
  EXPECT_EQ(std::memcmp(&sysparam, &clear, sizeof clear), 0);
}

TEST_F(ResetTest, ListsAreEmptiedAndTheirEntriesReadAsEmptyStrings) {
  EXPECT_EQ(svparam.mailCount, 0);
  EXPECT_EQ(svparam.movieCount, 0);
  EXPECT_EQ(svparam.photoCount, 0);
  EXPECT_EQ(svparam.radioCount, 0);
  EXPECT_EQ(svparam.roomCount, 0);
  EXPECT_STREQ(svparam.mails[kMailCapacity - 1].subject, "");
  EXPECT_STREQ(svparam.mails[0].attachment, "");
  EXPECT_STREQ(svparam.movies[kReceivedMovieCapacity - 1].fileId, "");
  EXPECT_STREQ(svparam.photos[0].title, "");
  EXPECT_STREQ(svparam.radios[kReceivedRadioCapacity - 1].fileId, "");
  EXPECT_STREQ(svparam.rooms[kReceivedRoomCapacity - 1].title, "");
}

TEST_F(ResetTest, ResumeFieldsAndSlotMarkAreKept) {
  EXPECT_EQ(svparam.phase, before_.phase);
  EXPECT_EQ(svparam.param[2], before_.param[2]);
  EXPECT_EQ(svparam.param[3], before_.param[3]);
  EXPECT_EQ(svparam.savePos, before_.savePos);
  EXPECT_EQ(svparam.inUse, 1);
  EXPECT_EQ(std::memcmp(svparam.scriptName, before_.scriptName, 16), 0);
  EXPECT_EQ(std::memcmp(svparam.bgName, before_.bgName, 16), 0);
  EXPECT_EQ(std::memcmp(svparam.bgmName, before_.bgmName, 16), 0);
  EXPECT_EQ(std::memcmp(svparam.mailName, before_.mailName, 16), 0);
  // The name is written with its NUL; the rest of the field is left alone.
  EXPECT_EQ(std::memcmp(svparam.userName + 3, before_.userName + 3, 13), 0);
}

}  // namespace

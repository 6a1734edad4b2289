// Save slots and the system file: names, results, log lines, untrusted contents, and that an
// interrupted or failed save never costs the player the slot they had.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/file_replace.h"
#include "app/app_utils.h"
#include "story/game_state.h"
#include "story/save_files.h"
#include "tests/app/game_fixture.h"

namespace {

constexpr std::int64_t kNow = 1700000000;

std::string Bytes(const void* p, std::size_t n) { return std::string(static_cast<const char*>(p), n); }

void WriteFile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

// A played-through record: every byte random, then made valid the way the game keeps it
// (strings end inside their fields, with leftovers after the NUL; counts and levels in range).
GameState BusyRecord(unsigned seed) {
  GameState s;
  std::mt19937 rng(seed);
  auto* bytes = reinterpret_cast<unsigned char*>(&s);
  for (std::size_t i = 0; i < sizeof s; ++i) bytes[i] = static_cast<unsigned char>(rng());
  for (char* f : {s.userName, s.scriptName, s.bgName, s.bgmName, s.mailName}) f[5] = '\0';
  for (MailRec& m : s.mails) m.subject[10] = m.dayCaption[3] = m.name[7] = m.attachment[0] = '\0';
  for (ReceivedMediaRec& r : s.movies) r.title[1] = r.fileId[9] = '\0';
  for (ReceivedMediaRec& r : s.photos) r.title[1] = r.fileId[9] = '\0';
  for (ReceivedMediaRec& r : s.radios) r.title[1] = r.fileId[9] = '\0';
  for (ReceivedRoomRec& r : s.rooms) r.title[43] = '\0';
  s.inUse = 1;
  s.mailCount = 128;
  s.movieCount = 7;
  s.photoCount = 32;
  s.radioCount = 0;
  s.roomCount = 3;
  s.room = 4;
  s.voiceVolume = 5;
  s.bgmVolume = 8;
  s.seVolume = 0;
  s.textSpeed = 4;
  return s;
}

class SaveFilesTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    StartLoggedGame();
    plat::OverrideWallClock(kNow);
    std::memset(&svparam, 0, sizeof svparam);
    std::memset(&sysparam, 0, sizeof sysparam);
  }
  void TearDown() override {
    plat::SetReplaceFaultForTesting(plat::ReplaceFault::kNone);
    GameFolderTest::TearDown();
  }

  fs::path Slot(int n) const { return game_ / "save" / ("SV_0" + std::to_string(n) + ".dat"); }
  std::string Log() const {
    const auto logs = LogFiles();
    return logs.size() == 1 ? ReadAll(logs[0]) : std::string();
  }
  bool Logged(const std::string& line) const { return Log().find(line) != std::string::npos; }
  std::string SavePath(const char* name) const { return (game_ / "save" / name).string(); }
};

TEST_F(SaveFilesTest, FirstStartMakesTenBlankSlotsAndNoSystemFile) {
  ResetGameStateDefaults();
  const GameState existing = BusyRecord(4);
  WriteFile(Slot(4), Bytes(&existing, sizeof existing));

  CreateMissingSaveSlots();

  EXPECT_EQ(svparam.inUse, 1);
  for (int n = 0; n < 10; ++n) {
    SCOPED_TRACE(n);
    const std::string bytes = ReadAll(Slot(n));
    ASSERT_EQ(bytes.size(), sizeof(GameState));
    if (n == 4) {
      EXPECT_EQ(bytes, Bytes(&existing, sizeof existing));  // an existing slot is not touched
      continue;
    }
    GameState blank;
    std::memcpy(&blank, bytes.data(), sizeof blank);
    EXPECT_EQ(blank.inUse, 0);
    EXPECT_EQ(blank.saveTime, kNow);
    EXPECT_STREQ(blank.userName, "NA");
    EXPECT_EQ(blank.bgmVolume, 4);
    EXPECT_EQ(CheckSaveSlot(n), kSaveBlank);
  }
  EXPECT_FALSE(fs::exists(game_ / "save" / "SYSTEM.dat"));
  EXPECT_FALSE(fs::exists(game_ / "save" / "SV_00.dat.tmp"));
  EXPECT_TRUE(Logged("SAVE " + SavePath("SV_09.dat") + "\n"));
  EXPECT_TRUE(Logged("SAVE DATA CHK " + SavePath("SV_00.dat") + "\n"));
}

TEST_F(SaveFilesTest, SaveAndLoadRoundTripIsByteIdenticalButForInUse) {
  const GameState played = BusyRecord(1);
  svparam = played;
  SaveGameData(3);

  GameState expect = played;
  expect.saveTime = kNow;
  EXPECT_EQ(ReadAll(Slot(3)), Bytes(&expect, sizeof expect));
  EXPECT_TRUE(Logged("SAVE " + SavePath("SV_03.dat") + "\n"));

  std::memset(&svparam, 0x5A, sizeof svparam);
  EXPECT_EQ(CheckSaveSlot(3), kSaveInUse);
  EXPECT_EQ(svparam.day, 0x5A5A);  // a check leaves the record alone
  EXPECT_EQ(LoadGameData(3), kSaveInUse);
  EXPECT_EQ(Bytes(&svparam, sizeof svparam), Bytes(&expect, sizeof expect));
  EXPECT_TRUE(Logged("LOAD GAME DATA " + SavePath("SV_03.dat") + "\n"));
}

struct SlotCase {
  const char* name;
  bool present;
  std::size_t size;  // bytes of the file (taken from a saved record, zero-padded beyond it)
  std::uint16_t in_use;
  int expect;
  friend std::ostream& operator<<(std::ostream& os, const SlotCase& c) { return os << c.name; }
};

class SlotContentsTest : public SaveFilesTest, public ::testing::WithParamInterface<SlotCase> {};

TEST_P(SlotContentsTest, OnlyAWholeRecordMarkedInUseLoads) {
  const SlotCase& c = GetParam();
  if (c.present) {
    GameState rec = BusyRecord(2);
    rec.inUse = c.in_use;
    std::string bytes = Bytes(&rec, sizeof rec);
    bytes.resize(c.size, '\0');
    WriteFile(Slot(5), bytes);
  }
  std::memset(&svparam, 0x33, sizeof svparam);
  const GameState before = svparam;

  EXPECT_EQ(CheckSaveSlot(5), c.expect);
  EXPECT_EQ(LoadGameData(5), c.expect);
  if (c.expect == kSaveInUse) {
    EXPECT_EQ(svparam.inUse, 1);
    EXPECT_EQ(svparam.room, 4);
  } else {
    EXPECT_EQ(Bytes(&svparam, sizeof svparam), Bytes(&before, sizeof before));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlotContentsTest,
    ::testing::Values(SlotCase{"Missing", false, 0, 1, kSaveCantOpen},
                      SlotCase{"Blank", true, sizeof(GameState), 0, kSaveBlank},
                      SlotCase{"InUseTwo", true, sizeof(GameState), 2, kSaveBlank},
                      SlotCase{"InUseHighByte", true, sizeof(GameState), 0x0101, kSaveBlank},
                      SlotCase{"OneByteShort", true, sizeof(GameState) - 1, 1, kSaveBlank},
                      SlotCase{"Empty", true, 0, 1, kSaveBlank},
                      SlotCase{"Saved", true, sizeof(GameState), 1, kSaveInUse},
                      SlotCase{"TrailingBytesIgnored", true, sizeof(GameState) + 100, 1, kSaveInUse}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(SaveFilesTest, AHostileSlotLoadsWithinTheRecordsBounds) {
  GameState rec;
  std::memset(&rec, 'A', sizeof rec);  // no string ends inside its field
  rec.inUse = 1;
  rec.mailCount = 5000;
  rec.movieCount = -3;
  rec.photoCount = 33;
  rec.radioCount = 17;
  rec.roomCount = 9;
  rec.room = 99;
  rec.voiceVolume = -1;
  rec.bgmVolume = 9;
  rec.seVolume = 300;
  rec.textSpeed = 5;
  WriteFile(Slot(2), Bytes(&rec, sizeof rec));

  ASSERT_EQ(LoadGameData(2), kSaveInUse);
  EXPECT_EQ(svparam.mailCount, 128);
  EXPECT_EQ(svparam.movieCount, 0);
  EXPECT_EQ(svparam.photoCount, 32);
  EXPECT_EQ(svparam.radioCount, 16);
  EXPECT_EQ(svparam.roomCount, 8);
  EXPECT_EQ(svparam.room, 4);
  EXPECT_EQ(svparam.voiceVolume, 0);
  EXPECT_EQ(svparam.bgmVolume, 8);
  EXPECT_EQ(svparam.seVolume, 8);
  EXPECT_EQ(svparam.textSpeed, 4);
  EXPECT_EQ(std::strlen(svparam.userName), 15u);
  EXPECT_EQ(std::strlen(svparam.mailName), 15u);
  EXPECT_EQ(std::strlen(svparam.mails[127].subject), 43u);
  EXPECT_EQ(std::strlen(svparam.mails[127].attachment), 15u);
  EXPECT_EQ(std::strlen(svparam.movies[127].fileId), 15u);
  EXPECT_EQ(std::strlen(svparam.radios[15].title), 43u);
  EXPECT_EQ(std::strlen(svparam.rooms[7].title), 43u);
}

struct FaultCase {
  const char* name;
  plat::ReplaceFault fault;
  bool temp_left;  // a crash leaves its temporary file behind; a failed write removes it
  friend std::ostream& operator<<(std::ostream& os, const FaultCase& c) { return os << c.name; }
};

class InterruptedSaveTest : public SaveFilesTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(InterruptedSaveTest, TheOldSlotStaysWholeAndLoadable) {
  const GameState old_game = BusyRecord(7);
  svparam = old_game;
  SaveGameData(3);
  const std::string old_bytes = ReadAll(Slot(3));

  svparam = BusyRecord(8);
  plat::SetReplaceFaultForTesting(GetParam().fault);
  SaveGameData(3);
  plat::SetReplaceFaultForTesting(plat::ReplaceFault::kNone);

  EXPECT_EQ(ReadAll(Slot(3)), old_bytes);
  EXPECT_EQ(fs::exists(game_ / "save" / "SV_03.dat.tmp"), GetParam().temp_left);
  EXPECT_TRUE(Logged("SAVE " + SavePath("SV_03.dat") + " CANT OPEN\n"));
  ASSERT_EQ(LoadGameData(3), kSaveInUse);
  EXPECT_EQ(svparam.day, old_game.day);
  EXPECT_EQ(svparam.param[1], old_game.param[1]);

  // The next save goes through in spite of the leftover.
  SaveGameData(3);
  EXPECT_EQ(ReadAll(Slot(3)).size(), sizeof(GameState));
  EXPECT_FALSE(fs::exists(game_ / "save" / "SV_03.dat.tmp"));
}

INSTANTIATE_TEST_SUITE_P(Faults, InterruptedSaveTest,
                         ::testing::Values(FaultCase{"DiskFull", plat::ReplaceFault::kWriteFails, false},
                                           FaultCase{"CrashBeforeRename", plat::ReplaceFault::kStopBeforeRename,
                                                     true}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(SaveFilesTest, AnUnwritableSlotIsLoggedAndNothingIsCreated) {
  // A folder where the slot file should be: the write cannot replace it.
  fs::create_directories(Slot(6));
  svparam = BusyRecord(3);
  SaveGameData(6);
  EXPECT_TRUE(fs::is_directory(Slot(6)));
  EXPECT_FALSE(fs::exists(game_ / "save" / "SV_06.dat.tmp"));
  EXPECT_TRUE(Logged("SAVE " + SavePath("SV_06.dat") + " CANT OPEN\n"));

  // No save folder at all.
  fs::remove_all(game_ / "save");
  SaveGameData(1);
  SaveSystem();
  EXPECT_FALSE(fs::exists(game_ / "save"));
  EXPECT_TRUE(Logged("SAVE SYSTEM " + SavePath("SYSTEM.dat") + " cant open\n"));
}

TEST_F(SaveFilesTest, SavingReplacesAFileWhoseNameDiffersInCase) {
  const GameState old_game = BusyRecord(5);
  WriteFile(game_ / "save" / "sv_08.DAT", Bytes(&old_game, sizeof old_game));
  svparam = BusyRecord(6);
  SaveGameData(8);
  EXPECT_FALSE(fs::exists(Slot(8)));
  GameState expect = BusyRecord(6);
  expect.saveTime = kNow;
  EXPECT_EQ(ReadAll(game_ / "save" / "sv_08.DAT"), Bytes(&expect, sizeof expect));
}

TEST_F(SaveFilesTest, SlotNumbersOutsideTheTenTouchNoFile) {
  svparam = BusyRecord(9);
  SaveGameData(10);
  SaveGameData(-1);
  EXPECT_EQ(CheckSaveSlot(10), kSaveCantOpen);
  EXPECT_EQ(LoadGameData(-1), kSaveCantOpen);
  EXPECT_TRUE(fs::is_empty(game_ / "save"));
}

struct SystemCase {
  const char* name;
  bool present;
  std::size_t size;
  int expect;
  friend std::ostream& operator<<(std::ostream& os, const SystemCase& c) { return os << c.name; }
};

class SystemFileTest : public SaveFilesTest, public ::testing::WithParamInterface<SystemCase> {};

TEST_P(SystemFileTest, OnlyAWholeRecordReplacesSysparam) {
  const SystemCase& c = GetParam();
  SystemState stored;
  for (std::size_t i = 0; i < sizeof stored; ++i) reinterpret_cast<unsigned char*>(&stored)[i] = static_cast<unsigned char>(i + 1);
  if (c.present) {
    std::string bytes = Bytes(&stored, sizeof stored);
    bytes.resize(c.size, '\x77');
    WriteFile(game_ / "save" / "SYSTEM.dat", bytes);
  }
  std::memset(&sysparam, 0, sizeof sysparam);

  EXPECT_EQ(LoadSystem(), c.expect);
  const SystemState clear{};
  const SystemState& want = c.expect == kSaveInUse ? stored : clear;
  EXPECT_EQ(Bytes(&sysparam, sizeof sysparam), Bytes(&want, sizeof want));
  EXPECT_TRUE(Logged("LOAD SYSTEM " + SavePath("SYSTEM.dat") + "\n"));
}

INSTANTIATE_TEST_SUITE_P(Cases, SystemFileTest,
                         ::testing::Values(SystemCase{"Missing", false, 0, kSaveCantOpen},
                                           SystemCase{"OneByteShort", true, 95, kSaveCantOpen},
                                           SystemCase{"Whole", true, 96, kSaveInUse},
                                           SystemCase{"TrailingBytesIgnored", true, 200, kSaveInUse}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(SaveFilesTest, SystemFileRoundTrip) {
  SetBit(sysparam.everSeenScripts, 511);
  SetBit(sysparam.movieUnlocked, 127);
  SetBit(sysparam.roomUnlocked, 4);
  sysparam.endingSeen = 1;
  const SystemState saved = sysparam;
  SaveSystem();
  EXPECT_EQ(ReadAll(game_ / "save" / "SYSTEM.dat"), Bytes(&saved, sizeof saved));
  EXPECT_TRUE(Logged("SAVE SYSTEM " + SavePath("SYSTEM.dat") + "\n"));

  std::memset(&sysparam, 0, sizeof sysparam);
  EXPECT_EQ(LoadSystem(), kSaveInUse);
  EXPECT_EQ(Bytes(&sysparam, sizeof sysparam), Bytes(&saved, sizeof saved));
}

}  // namespace

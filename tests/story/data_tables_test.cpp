// The five lists of the event folder: line and field rules, the rows each table keeps, the
// lookups and unlocks, and the log lines they write.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_utils.h"
#include "app/debug_log.h"
#include "platform/text_encoding.h"
#include "story/csv_text.h"
#include "story/data_tables.h"
#include "story/game_state.h"
#include "tests/app/game_fixture.h"

namespace {

struct Row {
  std::string id;
  std::string title;
  bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Row& r) { return os << "{" << r.id << ", " << r.title << "}"; }

std::vector<Row> MediaRows(const std::string& text, int capacity = 128) {
  std::vector<MediaRow> rows(static_cast<std::size_t>(capacity));
  CDebugLog quiet;
  const int n = ParseMediaTable(text, MediaKind::kMovie, rows.data(), capacity, quiet);
  std::vector<Row> out;
  for (int i = 0; i < n; ++i) out.push_back({rows[i].fileId, rows[i].title});
  EXPECT_EQ(rows[n].fileId[0], '\0') << "end mark after row " << n;
  return out;
}

struct MediaCase {
  const char* name;
  std::string text;
  std::vector<Row> rows;
  friend std::ostream& operator<<(std::ostream& os, const MediaCase& c) { return os << c.name; }
};

class MediaTableText : public ::testing::TestWithParam<MediaCase> {};

TEST_P(MediaTableText, GivesTheseRows) { EXPECT_EQ(MediaRows(GetParam().text), GetParam().rows); }

INSTANTIATE_TEST_SUITE_P(
    Cases, MediaTableText,
    ::testing::Values(
        MediaCase{"IdIsUpperCasedTitleKept", "#id,#title\np004_01,Summer\n", {{"P004_01", "Summer"}}},
        MediaCase{"HeaderSkippedWhateverItHolds", "p1,a\np2,b", {{"P2", "b"}}},
        MediaCase{"EmptyLineEndsTheTable", "h\na1,A\n\na2,B\n", {{"A1", "A"}}},
        MediaCase{"OnlyCommasEndTheTable", "h\na1,A\n,,,\na2,B\n", {{"A1", "A"}}},
        MediaCase{"CrLfReadsAsLf", "h\r\na1,A\r\n\r\na2,B\r\n", {{"A1", "A"}}},
        MediaCase{"CommaRunsAndEdgeCommasVanish", "h\n,,a1,,,A,\n", {{"A1", "A"}}},
        MediaCase{"LongLineTailIsARowOfItsOwn",
                  "h\na1," + std::string(252, 't') + "b2,B\n",
                  {{"A1", std::string(43, 't')}, {"B2", "B"}}},
        MediaCase{"LineFeedRightAfter255BytesDoesNotEndTheTable",
                  "h\na1," + std::string(252, 't') + "\na2,B\n",
                  {{"A1", std::string(43, 't')}, {"A2", "B"}}},
        MediaCase{"MissingTitleIsEmpty", "h\na1\na2,B\n", {{"A1", ""}, {"A2", "B"}}},
        MediaCase{"LongIdIsCutToItsField", "h\nabcdefghijklmnopqrst,T\n", {{"ABCDEFGHIJKLMNO", "T"}}},
        // 42 ASCII bytes, then a double-byte character that would need bytes 43 and 44.
        MediaCase{"TitleNeverCutInsideADoubleByteCharacter",
                  "h\na1," + std::string(42, 'u') + "\x82\xa0",
                  {{"A1", std::string(42, 'u')}}},
        // The second byte of 0x83 0x61 is not the letter a.
        MediaCase{"UpperCasingSkipsSecondBytes", "h\n\x83\x61z,T\n", {{"\x83\x61Z", "T"}}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(MediaTableText, RowsBeyondCapacityLessOneAreDropped) {
  std::string text = "h\n";
  for (int i = 0; i < 40; ++i) text += "p" + std::to_string(i) + ",t\n";
  const std::vector<Row> rows = MediaRows(text, 32);
  ASSERT_EQ(rows.size(), 31u);
  EXPECT_EQ(rows.back().id, "P30");
}

TEST(ScriptTableText, FieldsAndNumbers) {
  ScriptRow rows[4];
  std::memset(rows, 0x55, sizeof rows);
  CDebugLog quiet;
  // The empty route field vanishes, so 5 becomes the route and the score is missing.
  const int n = ParseScriptTable("#name,#route,#score\n001_00,0,3\nA001_00,,5\nB002_00,2,-7x\n", rows, 4, quiet);
  ASSERT_EQ(n, 3);
  EXPECT_STREQ(rows[0].name, "001_00");
  EXPECT_EQ(rows[0].score, 3);
  EXPECT_STREQ(rows[1].name, "A001_00");
  EXPECT_EQ(rows[1].route, 5);
  EXPECT_EQ(rows[1].score, 0);
  EXPECT_EQ(rows[2].route, 2);
  EXPECT_EQ(rows[2].score, -7);
  EXPECT_EQ(rows[3].name[0], '\0');
}

TEST(ScriptTableText, EmptyLineEndsItToo) {
  ScriptRow rows[8];
  CDebugLog quiet;
  EXPECT_EQ(ParseScriptTable("h\n001_00,0,0\n\n002_00,0,0\n", rows, 8, quiet), 1);
}

TEST(RoomTableText, EndMarkIsRoomMinusOne) {
  RoomRow rows[8];
  CDebugLog quiet;
  const int n = ParseRoomTable("h\n0,a\n1,b\n2,c\n3,d\n4,e\n", rows, 8, quiet);
  ASSERT_EQ(n, 5);
  EXPECT_EQ(rows[4].roomId, 4);
  EXPECT_STREQ(rows[4].title, "e");
  EXPECT_EQ(rows[5].roomId, -1);
}

TEST(CsvNumber, ReadsFromTheStartOfTheField) {
  struct Case {
    const char* field;
    int want;
  } cases[] = {{" 12x", 12}, {"\t-3", -3}, {"+7", 7}, {"abc", 0}, {"", 0}, {"- 4", 0},
               {"99999999999999999999", 32767}, {"-99999999999999999999", -32768}};
  for (const Case& c : cases) EXPECT_EQ(ReadCsvNumber(c.field, -32768, 32767), c.want) << c.field;
}

// Loaders, lookups and unlocks on files in a game folder, with the log switched on.
class DataTablesTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    StartLoggedGame();
    std::memset(&sysparam, 0, sizeof sysparam);
  }
  void Write(const std::string& name, const std::string& text) { std::ofstream(game_ / "ev" / name) << text; }
  std::string Path(const std::string& name) const { return App().m_strEventPath + name; }
  std::string Log() const { return LogFiles().empty() ? "" : ReadAll(LogFiles()[0]); }
  static std::string U(const char* cp932) { return plat::Cp932ToUtf8(cp932); }
};

TEST_F(DataTablesTest, MovieListLoadsAndIsFoundByEitherCase) {
  Write("movList.csv", "#file,#title\np004_01,Summer\nvA020_01,Rain\n");
  LoadMovieTable(Path("movList.csv"));
  EXPECT_EQ(movieTable.count, 2);
  EXPECT_EQ(FindMovie("P004_01"), 0);
  EXPECT_EQ(FindMovie("p004_01"), 0);
  EXPECT_EQ(FindMovie("va020_01"), 1);
  EXPECT_EQ(FindMovie("p004_02"), -1);
  const std::string log = Log();
  EXPECT_NE(log.find("LOAD MOVIE TB '" + Path("movList.csv") + "'\n"), std::string::npos) << log;
  EXPECT_NE(log.find("  0 P004_01\t Summer\n"), std::string::npos) << log;
  EXPECT_NE(log.find("--- MOVIE TB LOAD --- TOTAL 2 MOVIE\n"), std::string::npos) << log;
}

TEST_F(DataTablesTest, MissingFileGivesAnEmptyTableAndALogLine) {
  Write("photList.csv", "h\np1,One\n");
  LoadPhotoTable(Path("photList.csv"));
  ASSERT_EQ(photoTable.count, 1);
  std::filesystem::remove(game_ / "ev" / "photList.csv");
  LoadPhotoTable(Path("photList.csv"));
  EXPECT_EQ(photoTable.count, 0);
  EXPECT_EQ(FindPhoto("p1"), -1);
  const std::string log = Log();
  EXPECT_NE(log.find("LOAD POTO TB '"), std::string::npos) << log;
  EXPECT_NE(log.find("cannot open '" + Path("photList.csv") + "'"), std::string::npos) << log;
  EXPECT_NE(log.find("--- PHOTO TB LOAD --- TOTAL 0 PHOTO\n"), std::string::npos) << log;
}

TEST_F(DataTablesTest, FullTableLogsTheDroppedRows) {
  std::string text = "h\n";
  for (int i = 0; i < 35; ++i) text += "r" + std::to_string(i) + ",t\n";
  Write("radioList.csv", text);
  LoadRadioTable(Path("radioList.csv"));
  EXPECT_EQ(radioTable.count, 31);
  EXPECT_EQ(radioTable.rows[31].fileId[0], '\0');
  EXPECT_NE(Log().find("--- RADIO TB FULL ---"), std::string::npos) << Log();
}

TEST_F(DataTablesTest, RoomOutsideTheListIsLoggedMarksNothingAndSavesTheSystemFile) {
  Write("roomList.csv", "#id,#title\n0,a\n1,b\n2,c\n3,d\n4,e\n");
  LoadRoomTable(Path("roomList.csv"));
  ASSERT_EQ(roomTable.count, 5);
  EXPECT_EQ(roomTable.rows[5].roomId, -1);
  EXPECT_EQ(FindRoom(4), 4);
  EXPECT_EQ(FindRoom(7), -1);

  const fs::path system = game_ / "save" / "SYSTEM.dat";
  ASSERT_FALSE(fs::exists(system));
  UnlockRoom(7);
  EXPECT_EQ(std::memcmp(sysparam.roomUnlocked, "\0\0\0\0", 4), 0);
  EXPECT_TRUE(fs::exists(system));
  EXPECT_EQ(IsRoomUnlocked(7), 0);

  UnlockRoom(3);
  EXPECT_TRUE(TestBit(sysparam.roomUnlocked, 3));
  EXPECT_EQ(IsRoomUnlocked(3), 1);
  EXPECT_EQ(IsRoomUnlocked(2), 0);

  const std::string log = Log();
  EXPECT_NE(log.find("ROOM '7' not in list\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Room '7' not in list\n"), std::string::npos) << log;
  EXPECT_NE(log.find("  4 4\t e\n"), std::string::npos) << log;
}

TEST_F(DataTablesTest, MediaUnlocksSetTheRowBitOrLogTheKey) {
  Write("movList.csv", "h\nv1,a\nv2,b\n");
  Write("photList.csv", "h\np1,Beach\n");
  Write("radioList.csv", "h\nr1,a\nr2,b\n");
  LoadMovieTable(Path("movList.csv"));
  LoadPhotoTable(Path("photList.csv"));
  LoadRadioTable(Path("radioList.csv"));
  UnlockMovie("v2");
  UnlockPhoto("P1");
  UnlockRadio("r2");
  UnlockMovie("v9");
  UnlockPhoto("p9");
  UnlockRadio("r9");
  EXPECT_EQ(sysparam.movieUnlocked[0], 0x02);
  EXPECT_EQ(sysparam.photoUnlocked[0], 0x01);
  EXPECT_EQ(sysparam.radioUnlocked[0], 0x02);
  EXPECT_STREQ(GetPhotoRow("p1"), "Beach");
  EXPECT_EQ(GetPhotoRow("p8"), nullptr);
  const std::string log = Log();
  for (const char* line : {"MOV 'v9' not in list\n", "PIC 'p9' not in list\n", "RAD 'r9' not in list\n",
                           "PIC 'p8' not in list\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
}

}  // namespace

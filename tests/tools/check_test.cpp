// The data checker on small data folders: a clean one, one broken file at a time, and folders
// that are no data folder at all. Texts written by the tests are CP932 already (the test sources
// are compiled to CP932), so they reach the files byte for byte as the game reads them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "check_context.h"
#include "check_event_table.h"
#include "check_mails.h"
#include "check_scripts.h"
#include "data_checker.h"

namespace fs = std::filesystem;

namespace {

// Days 2 to 31 of the clean event table: one slot each, the same two scenes, and on day 2 the
// broadcast instead of a mail.
std::string EventRows() {
  std::string rows = "1,1,001_00,001_01,001_02,\r\n";
  rows += "2,1,-,R_end,-,E=001_00&P<1:31|P=0:1\r\n";
  for (int day = 3; day <= 31; ++day) rows += std::to_string(day) + ",1,001_00,-,001_02,\r\n";
  return rows;
}

// A list file with a header and `rows` rows "<prefix><i>,title".
std::string ListWithRows(const std::string& prefix, int rows) {
  std::string text = "#id,#title\r\n";
  for (int i = 0; i < rows; ++i) text += prefix + std::to_string(i) + ",title\r\n";
  return text;
}

// A page of `lines` lines of text, each ended by "$$".
std::string PageLines(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "本文です。$$\r\n";
  return text;
}

constexpr std::size_t kScriptBufferSizeForTest = 12288;

const char kEventHeader[] = "#day,#time,#monS,#Mail,#MonE,#condition\r\n";
const char kMailHead[] = "$0/件名/1日目//\r\n$\r\n$A009_00\r\n";

class CheckFolder {
 public:
  CheckFolder() {
    char tmpl[] = "/tmp/velmora_check_XXXXXX";
    if (mkdtemp(tmpl) != nullptr) root_ = tmpl;
  }
  ~CheckFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  CheckFolder(const CheckFolder&) = delete;
  CheckFolder& operator=(const CheckFolder&) = delete;

  const fs::path& root() const { return root_; }

  void Write(const std::string& relative, const std::string& text) const {
    const fs::path p = root_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  void Remove(const std::string& relative) const { fs::remove(root_ / relative); }

  // A small data folder in which every name resolves, some only without regard to case.
  void WriteClean() const {
    Write("ev/sEventList.csv",
          "#name,#route,#score\r\n001_00,0,0\r\n001_01,0,0\r\n001_02,0,0\r\nA001_05,1,2\r\nR_end,0,0\r\n"
          "sr,0,0\r\nsr_,0,0\r\nsr__,0,0\r\nA031_05mv,0,0\r\nX031_01,0,0\r\n");
    Write("ev/sEventTable.csv", kEventHeader + EventRows());
    Write("ev/movList.csv", "#file,#title\r\nva020_01,動画\r\n");
    Write("ev/photList.csv", "#file,#title\r\nP004_01,写真\r\n");
    Write("ev/radioList.csv", "#file,#title\r\nR_end,放送\r\n");
    Write("ev/roomList.csv", "#room,#title\r\n0,部屋\r\n1,海の部屋\r\n");
    Write("script/001_00.sin",
          "!bgon(C_Clo_Nig)\r\n!fin\r\n!bgmon(bgm01)\r\n"
          "今日はいい天気。\\n\r\n散歩に行こう。\\f\r\n"
          "!mv(vA020_01)\r\n!radio(R_end,1)\r\n!wait(20)\r\n!fout\r\n"
          "/\r\n海へ行く:A001_05\r\n家にいる:001_02\r\n/\r\n");
    Write("script/001_02.sin", "!bgon(c_clo_nig,1)\r\nおやすみ。\\p\\f\r\n!stron(BGM01)\r\n;\r\n");
    Write("script/A001_05.sin", "!battle(0,001_02)\r\n^001_02\r\n");
    for (const char* name : {"sr", "sr_", "sr__", "A031_05mv", "X031_01"})
      Write(std::string("script/") + name + ".sin", "終わり。\\f\r\n;\r\n");
    Write("mail/001_01.txt",
          "$0/件名/1日目/P004_01/\r\n$bgm01\r\n$A009_00\r\n$1様$$\r\n $$\r\nお元気ですか。$$\r\n"
          "$\r\nまたね。$$\r\n$\r\n");
    Write("mail/002_01.txt", "$1/二通目/2日目/r1/\r\n$\r\n$\r\n本文。$$\r\n$\r\n");
    for (const char* path :
         {"media/bgm/BGM01.wav",      "media/bgm/BGM10.wav", "media/bgm/bgm02.wav",     "media/bgm/bgm03.wav",
          "media/bgm/bgm04.wav",      "media/bgm/bgm05.wav", "media/photo/P004_01.bmp", "media/radio/R_end.mp3",
          "media/se/se.wav",          "media/se/click.wav",  "media/se/soundtest.wav",  "media/se/A5_02042.wav",
          "media/video/vA020_01.wmv", "media/video/op.wmv",  "media/voice/A009_00.mp3", "media/voice/mailon.mp3",
          "misc/mail256.bmp",         "misc/title256.bmp",   "misc/settei256.bmp",      "misc/load256.bmp",
          "misc/save256.bmp",         "misc/omake256.bmp",   "misc/player256.bmp",      "misc/heya256.bmp",
          "misc/pdammy.bmp",          "misc/radio.bmp",      "misc/c_clo_nig.bmp"})
      Write(path, "");
  }

 private:
  fs::path root_;
};

std::string Describe(const CheckResult& r) {
  std::string out;
  for (const CheckFinding& f : r.findings) out += "  " + f.file + ":" + std::to_string(f.line) + ": " + f.text + "\n";
  return out;
}

TEST(DataChecker, CleanFolderHasNoFindings) {
  CheckFolder folder;
  folder.WriteClean();
  const CheckResult r = CheckDataFolder(folder.root().string());
  EXPECT_TRUE(r.usable);
  EXPECT_TRUE(r.findings.empty()) << Describe(r);
}

TEST(DataChecker, FolderWithoutEventFolderOrNoFolderIsUnusable) {
  CheckFolder folder;
  folder.WriteClean();
  fs::remove_all(folder.root() / "ev");
  EXPECT_FALSE(CheckDataFolder(folder.root().string()).usable);
  EXPECT_FALSE(CheckDataFolder((folder.root() / "misc" / "mail256.bmp").string()).usable);
  EXPECT_FALSE(CheckDataFolder((folder.root() / "nothing").string()).usable);
}

// One broken file written over the clean folder, and a finding it must give.
struct BrokenCase {
  const char* name;
  std::function<void(const CheckFolder&)> apply;
  const char* file;
  int line;
  const char* text;  // part of the finding's text
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

std::vector<BrokenCase> BrokenCases() {
  auto write = [](const char* path, std::string text) {
    return [path, text](const CheckFolder& f) { f.Write(path, text); };
  };
  const std::string events = kEventHeader;
  const std::string list_head =
      "#name,#route,#score\r\n001_00,0,0\r\n001_01,0,0\r\n001_02,0,0\r\nA001_05,1,2\r\n"
      "R_end,0,0\r\nsr,0,0\r\nsr_,0,0\r\nsr__,0,0\r\nA031_05mv,0,0\r\nX031_01,0,0\r\n";
  return {
      // Names longer than their fields, lists and capacities.
      {"ScriptNameTooLong", write("ev/sEventList.csv", list_head + "A_name_of_16_byte,0,0\r\n"), "ev/sEventList.csv",
       12, "is 17 bytes long"},
      {"ScriptRowLacksField", write("ev/sEventList.csv", list_head + "001_00,5\r\n"), "ev/sEventList.csv", 12,
       "2 of its 3 fields"},
      {"TitleTooLong", write("ev/photList.csv", "#f,#t\r\nP004_01,ひらがなの長い長い長い長い題名がここに続きます\r\n"),
       "ev/photList.csv", 2, "is 46 bytes long"},
      {"PhotoListOverCapacity", write("ev/photList.csv", ListWithRows("P004_01x", 32)), "ev/photList.csv", 33,
       "over capacity"},
      {"RowsAfterEmptyLineIgnored", write("ev/radioList.csv", "#f,#t\r\nR_end,放送\r\n\r\nR_two,二\r\n"),
       "ev/radioList.csv", 3, "ignores the 1 row"},
      {"ListedVideoMissing", write("ev/movList.csv", "#f,#t\r\nvA020_01,動画\r\nvNone,無い\r\n"), "ev/movList.csv", 3,
       "media/video/vNone.wmv is missing"},
      {"RoomOutsideStyles", write("ev/roomList.csv", "#r,#t\r\n0,部屋\r\n7,七\r\n"), "ev/roomList.csv", 3,
       "room styles 0 to 4"},
      // The event table.
      {"EventUnknownScript", write("ev/sEventTable.csv", events + EventRows() + "1,2,zz_00,-,-,\r\n"),
       "ev/sEventTable.csv", 33, "script 'zz_00' is not in ev/sEventList.csv"},
      {"EventMissingMail", write("ev/sEventTable.csv", events + EventRows() + "1,2,-,001_02,-,\r\n"),
       "ev/sEventTable.csv", 33, "mail/001_02.txt is missing"},
      {"EventMissingBroadcast", write("ev/sEventTable.csv", events + EventRows() + "1,2,-,R_none,-,\r\n"),
       "ev/sEventTable.csv", 33, "media/radio/R_none.mp3 is missing"},
      {"RuleNamesUnknownScript", write("ev/sEventTable.csv", events + EventRows() + "1,2,-,-,-,E=nosuch\r\n"),
       "ev/sEventTable.csv", 33, "names 'nosuch', which is not in"},
      {"RuleIndexOutside", write("ev/sEventTable.csv", events + EventRows() + "1,2,-,-,-,P=4:1\r\n"),
       "ev/sEventTable.csv", 33, "parameter index 4"},
      {"RuleEndsWithAnd", write("ev/sEventTable.csv", events + EventRows() + "1,2,-,-,-,E=001_00&\r\n"),
       "ev/sEventTable.csv", 33, "ends with '&'"},
      {"RuleEndsWithOr", write("ev/sEventTable.csv", events + EventRows() + "1,2,-,-,-,N|\r\n"), "ev/sEventTable.csv",
       33, "ends with '|'"},
      {"EventRowLacksFields", write("ev/sEventTable.csv", events + EventRows() + "1,2,001_00,-\r\n"),
       "ev/sEventTable.csv", 33, "4 of its 5 fields"},
      {"DayWithoutRow", write("ev/sEventTable.csv", events + "1,1,001_00,001_01,001_02,\r\n"), "ev/sEventTable.csv", 0,
       "days 2 to 31 have no row"},
      {"SlotNeverReached", write("ev/sEventTable.csv", events + EventRows() + "5,3,001_00,-,001_02,\r\n"),
       "ev/sEventTable.csv", 33, "day 5 has no row for slot 2"},
      // Scripts.
      {"ScriptWithoutEndMark", write("script/001_02.sin", "おやすみ。\\f\r\n"), "script/001_02.sin", 1, "no end mark"},
      {"EndMarkBeyondBuffer", write("script/001_02.sin", std::string(12290, ' ') + ";"), "script/001_02.sin", 1,
       "within the first 12288 bytes"},
      {"CommandFollowedByLetters", write("script/001_02.sin", "あ\r\n!bgonx(a);"), "script/001_02.sin", 2,
       "unknown item 'x(a)'"},
      {"UnknownCommandName", write("script/001_02.sin", "あ\r\n!foo(a);"), "script/001_02.sin", 2,
       "unknown command '!foo'"},
      {"BlankInsideParameters", write("script/001_02.sin", "!bgon(c_clo_nig, 1)\r\n;"), "script/001_02.sin", 1,
       "bad parameter list: a blank in parameter 2"},
      {"NoSeparator", write("script/001_02.sin", "\r\n!wait(20}\r\n;"), "script/001_02.sin", 2,
       "bad parameter list: '}' in parameter 1"},
      {"MoreThanFiveParameters", write("script/001_02.sin", "!bgmvol(1,2,3,4,5,6)\r\n;"), "script/001_02.sin", 1,
       "more than 5 parameters"},
      {"UnknownSingleByteItem", write("script/001_02.sin", "あ\r\n\r\nhello\r\n;"), "script/001_02.sin", 3,
       "unknown item 'hello'"},
      {"ChoiceUnknownTarget", write("script/001_02.sin", "/\r\n右:001_00\r\n左:nosuch\r\n/\r\n"), "script/001_02.sin",
       3, "script 'nosuch' is not in"},
      {"ChoiceWithoutTarget", write("script/001_02.sin", "/\r\n右:\r\n/\r\n"), "script/001_02.sin", 2, "no target"},
      {"ChoiceNotClosed", write("script/001_02.sin", "/\r\n右:001_00\r\n"), "script/001_02.sin", 1, "not closed"},
      {"MissingPicture", write("script/001_02.sin", "!bgon(nopic)\r\n;"), "script/001_02.sin", 1,
       "misc/nopic.bmp is missing"},
      {"PictureNameTooLong", write("script/001_02.sin", "\r\n!bgon(c_clo_nig_and_more)\r\n;"), "script/001_02.sin", 2,
       "picture name 'c_clo_nig_and_more' is 18 bytes long"},
      {"MissingMusic", write("script/001_02.sin", "!bgmon(nomusic)\r\n;"), "script/001_02.sin", 1,
       "media/bgm/nomusic.wav is missing"},
      {"MissingStreamMusic", write("script/001_02.sin", "!stron(nomusic)\r\n;"), "script/001_02.sin", 1,
       "media/bgm/nomusic.wav is missing"},
      {"MissingVideo", write("script/001_02.sin", "!mv(vnone)\r\n;"), "script/001_02.sin", 1,
       "media/video/vnone.wmv is missing"},
      {"VideoNotListed", write("script/001_02.sin", "!mv(op)\r\n;"), "script/001_02.sin", 1,
       "'op' is not in ev/movList.csv"},
      {"MissingRadio", write("script/001_02.sin", "!radio(R_none)\r\n;"), "script/001_02.sin", 1,
       "media/radio/R_none.mp3 is missing"},
      {"JumpToMissingScript", write("script/001_02.sin", "あ\r\n^nosuch\r\n"), "script/001_02.sin", 2,
       "script/nosuch.sin is missing"},
      {"BattleToMissingScript", write("script/001_02.sin", "!battle(0,nosuch)\r\n;"), "script/001_02.sin", 1,
       "script 'nosuch' is not in"},
      // Mails.
      {"MailHeaderLacksPieces", write("mail/001_01.txt", "$0/件名\r\n$\r\n$A009_00\r\n本文。$$\r\n$\r\n"),
       "mail/001_01.txt", 1, "header lacks pieces"},
      {"MailHeaderNotClosed", write("mail/001_01.txt", "$0/件名/1日目/P004_01\r\n$\r\n$\r\n本文。$$\r\n$\r\n"),
       "mail/001_01.txt", 1, "without the closing '/'"},
      {"MailUnknownSender", write("mail/001_01.txt", "$5/件名/1日目//\r\n$\r\n$\r\n本文。$$\r\n$\r\n"),
       "mail/001_01.txt", 1, "sender '5'"},
      {"MailMissingPhoto", write("mail/001_01.txt", "$0/件名/1日目/P999/\r\n$\r\n$\r\n本文。$$\r\n$\r\n"),
       "mail/001_01.txt", 1, "media/photo/P999.bmp is missing"},
      {"MailRoomNotListed", write("mail/001_01.txt", "$0/件名/1日目/r3/\r\n$\r\n$\r\n本文。$$\r\n$\r\n"),
       "mail/001_01.txt", 1, "room 3 is not in ev/roomList.csv"},
      {"MailMissingVoice", write("mail/001_01.txt", kMailHead + PageLines(2) + "$novoice\r\n本文。$$\r\n$\r\n"),
       "mail/001_01.txt", 6, "media/voice/novoice.mp3 is missing"},
      {"MailMissingMusic", write("mail/001_01.txt", "$0/件名/1日目//\r\n$nomusic\r\n$\r\n本文。$$\r\n$\r\n"),
       "mail/001_01.txt", 2, "media/bgm/nomusic.wav is missing"},
      {"MailPageOverflows", write("mail/001_01.txt", kMailHead + PageLines(8) + "$\r\n"), "mail/001_01.txt", 11,
       "page 1 overflows"},
      {"MailSevenLinesOpenBlankPage", write("mail/001_01.txt", kMailHead + PageLines(7) + "$\r\n本文。$$\r\n$\r\n"),
       "mail/001_01.txt", 10, "page 2 is blank"},
      {"MailLongLineOverflows",
       write("mail/001_01.txt", kMailHead + PageLines(6) + std::string(70, 'a') + "$$\r\n$\r\n"), "mail/001_01.txt", 10,
       "page 1 overflows"},
      {"MailMoreThanTenPages",
       write("mail/001_01.txt",
             [] {
               std::string t = kMailHead;
               for (int i = 0; i < 11; ++i) t += "本文。$$\r\n$\r\n";
               return t;
             }()),
       "mail/001_01.txt", 24, "holds only 10 pages"},
      {"MailWithoutEndMark", write("mail/001_01.txt", kMailHead + PageLines(2)), "mail/001_01.txt", 3,
       "does not end with a line holding a single '$'"},
      // Files the program asks for by name.
      {"SampleFileMissing", [](const CheckFolder& f) { f.Remove("media/se/se.wav"); }, "media/se/se.wav", 0,
       "does not start without it"},
      {"EndingSceneMissing", [](const CheckFolder& f) { f.Remove("script/sr_.sin"); }, "script/sr_.sin", 0,
       "ending scene 'sr_'"},
  };
}

class BrokenFolder : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFolder, ReportsTheProblemAtItsFileAndLine) {
  const BrokenCase& c = GetParam();
  CheckFolder folder;
  folder.WriteClean();
  c.apply(folder);
  const CheckResult r = CheckDataFolder(folder.root().string());
  ASSERT_TRUE(r.usable);
  bool found = false;
  for (const CheckFinding& f : r.findings)
    found = found || (f.file == c.file && f.line == c.line && f.text.find(c.text) != std::string::npos);
  EXPECT_TRUE(found) << "expected " << c.file << ":" << c.line << ": ..." << c.text << "...\ngot:\n" << Describe(r);
}

INSTANTIATE_TEST_SUITE_P(DataChecker, BrokenFolder, ::testing::ValuesIn(BrokenCases()),
                         [](const ::testing::TestParamInfo<BrokenCase>& param) { return param.param.name; });

// Texts that end at awkward places, and random bytes: each checker reads only inside its text
// (the sanitizers of the debug build watch that) and the run goes on.
TEST(DataChecker, OddTextsAreReadWithinTheirBounds) {
  CheckFolder folder;
  folder.WriteClean();
  check::Context ctx(folder.root().string());
  std::vector<std::string> texts = {"",
                                    "$",
                                    "$$",
                                    "$1",
                                    "$0/a/b/c/\r\n$",
                                    "$0/a/b/c/\r\n$\r\n$",
                                    "$0/a/b/c/\r\n$\r\n$v\r\n\x88",
                                    "\x88",
                                    "!",
                                    "!bgon(",
                                    "!bgon(a,",
                                    "!battle(a)",
                                    "/",
                                    "/\r\n右:",
                                    "/\r\n右",
                                    "^",
                                    "\\",
                                    "\\\x88",
                                    "P<",
                                    "P=1:",
                                    "E",
                                    "E=",
                                    "&",
                                    "|E!",
                                    std::string(kScriptBufferSizeForTest - 1, ' ') + "\x88\x9f;"};
  std::uint32_t seed = 12345;
  const std::string alphabet = "$!/\\^;()&|EPN=<>:,01289abvR \r\n\x81\x88\x9f\xe0\xa0\x80";
  for (int i = 0; i < 1000; ++i) {
    seed = seed * 1103515245u + 12345u;
    std::string t((seed >> 16) % 200, ' ');
    for (char& c : t) {
      seed = seed * 1103515245u + 12345u;
      c = alphabet[(seed >> 16) % alphabet.size()];
    }
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    check::CheckMailText(ctx, "mail/x.txt", t);
    check::CheckScriptText(ctx, "script/x.sin", t);
    check::CheckRule(ctx, "ev/sEventTable.csv", 2, t);
  }
  EXPECT_FALSE(ctx.result().findings.empty());
}

// The program itself: its exit code and its "file:line: text" lines.
struct RunOutcome {
  int exit_code = -1;
  std::string output;
};

RunOutcome RunChecker(const fs::path& folder) {
  RunOutcome out;
  const std::string command = std::string(VELMORA_CHECK_PROGRAM) + " '" + folder.string() + "' 2>/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.output.append(buffer, got);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) out.exit_code = WEXITSTATUS(status);
  return out;
}

TEST(DataCheckerProgram, ExitCodesAndFindingLines) {
  CheckFolder folder;
  folder.WriteClean();
  RunOutcome clean = RunChecker(folder.root());
  EXPECT_EQ(clean.exit_code, 0);
  EXPECT_EQ(clean.output, "");

  folder.Write("script/001_02.sin", "おやすみ。\\f\r\n!bgon(nopic)\r\n;\r\n");
  RunOutcome broken = RunChecker(folder.root());
  EXPECT_EQ(broken.exit_code, 1);
  EXPECT_EQ(broken.output, "script/001_02.sin:2: picture 'nopic': file misc/nopic.bmp is missing\n");

  EXPECT_EQ(RunChecker(folder.root() / "no_such_folder").exit_code, 2);
  fs::remove_all(folder.root() / "ev");
  EXPECT_EQ(RunChecker(folder.root()).exit_code, 2);
}

}  // namespace

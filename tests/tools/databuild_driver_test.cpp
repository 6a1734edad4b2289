// The data-set builder's driver: the installer's lists generated from the disc, the writer that
// keeps unchanged files untouched, and the reading of the content sources.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/content.h"
#include "builder/disc.h"
#include "builder/output.h"
#include "story/game_state.h"

namespace fs = std::filesystem;
using namespace databuild;

namespace {

// UTF-8 text whatever the compiler's execution character set is.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class TempFolder {
 public:
  TempFolder() {
    char name[] = "/tmp/velmora_databuild_XXXXXX";
    m_path = ::mkdtemp(name);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  const fs::path& path() const { return m_path; }
  void Put(const std::string& rel, const std::string& bytes) const {
    fs::create_directories((m_path / rel).parent_path());
    std::ofstream(m_path / rel, std::ios::binary) << bytes;
  }
  std::string Get(const std::string& rel) const {
    std::string s;
    ReadBytes(m_path / rel, &s);
    return s;
  }

 private:
  fs::path m_path;
};

TEST(DiscLists, ManifestOrdersFoldersAndMarksReplacedAndSaveFiles) {
  const std::vector<std::string> files = {
      "velmora.png", "misc/title256.bmp", "misc/room/nom/n_walk.bmp", "media/bgm/bgm01.wav", "readme.txt",
      "script/001_00.sin", "script/C030_02.sin", "save/SV_00.dat", "save/SYSTEM.dat", "mail/A013_01.txt",
      "mail/001_01.txt", "ev/sEventTable.csv", "ev/sEventList.csv", "media/video/op.wmv", "misc/room_s/s_n.bmp"};
  TempFolder disc;
  for (const std::string& f : files) disc.Put(f, "x");
  const std::vector<std::string> listed = ListFiles(disc.path(), [](const std::string&) { return false; });
  const std::vector<std::string> expected = {
      "//\\Velmora-----------------------------差し替え",
      "//\\ev\\sEventTable.csv------------------差し替え",
      "//\\mail\\A013_01.txt--------------------差し替え",
      "//\\script\\C030_02.sin------------------差し替え",
      "\\readme.txt",
      "\\velmora.png",
      "\\ev\\sEventList.csv",
      "\\mail\\001_01.txt",
      ">\\save\\SV_00.dat",
      ">\\save\\SYSTEM.dat",
      "\\script\\001_00.sin",
      "\\media\\bgm\\bgm01.wav",
      "\\media\\video\\op.wmv",
      "\\misc\\title256.bmp",
      "\\misc\\room\\nom\\n_walk.bmp",
      "\\misc\\room_s\\s_n.bmp",
  };
  EXPECT_EQ(ManifestLines(listed), expected);

  // Each folder after everything inside it, top-level folders in the installer's order.
  const std::vector<std::string> folders = {"\\ev\\",        "\\mail\\",          "\\save\\",
                                            "\\script\\",    "\\media\\bgm\\",    "\\media\\video\\",
                                            "\\media\\",     "\\misc\\room\\nom\\", "\\misc\\room\\",
                                            "\\misc\\room_s\\", "\\misc\\"};
  EXPECT_EQ(FolderListLines(listed), folders);
  EXPECT_EQ(JoinLines({"a", "b"}), "a\r\nb\r\n");
}

TEST(DiscLists, BlankSaveFilesHaveTheRecordSizesAndNoTime) {
  const std::string slot = BlankSaveSlot();
  ASSERT_EQ(slot.size(), sizeof(GameState));
  GameState g;
  std::memcpy(&g, slot.data(), sizeof g);
  EXPECT_EQ(g.inUse, 0);
  EXPECT_EQ(g.saveTime, 0u);
  EXPECT_EQ(g.day, 1);
  EXPECT_STREQ(g.userName, "NA");
  EXPECT_EQ(BlankSaveSlot(), slot);  // the same bytes every time
  EXPECT_EQ(BlankSystemFile(), std::string(96, '\0'));
}

TEST(OutputWriterTest, UnchangedFilesKeepTheirTimeAndOnlyOwnFilesAreRemoved) {
  TempFolder out;
  const fs::path record = out.path() / "record.txt";
  {
    OutputWriter w(out.path(), record);
    ASSERT_TRUE(w.Write("game/a.txt", "one"));
    ASSERT_TRUE(w.Write("game/old.txt", "old"));
    ASSERT_TRUE(w.Finish());
  }
  out.Put("game/foreign.txt", "not ours");
  // Make the kept file look old, so a rewrite would show in its time.
  struct stat before;
  const std::string a = (out.path() / "game/a.txt").string();
  const timespec old[2] = {{1000000, 0}, {1000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, a.c_str(), old, 0), 0);
  ASSERT_EQ(::stat(a.c_str(), &before), 0);
  {
    OutputWriter w(out.path(), record);
    ASSERT_TRUE(w.Write("game/a.txt", "one"));
    ASSERT_TRUE(w.Write("game/b.txt", "two"));
    EXPECT_TRUE(w.IsStale("game/old.txt"));
    EXPECT_FALSE(w.IsStale("game/foreign.txt"));
    EXPECT_EQ(w.written(), 1);
    ASSERT_TRUE(w.Finish());
  }
  struct stat after;
  ASSERT_EQ(::stat(a.c_str(), &after), 0);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_FALSE(fs::exists(out.path() / "game/old.txt"));
  EXPECT_EQ(out.Get("game/foreign.txt"), "not ours");
  EXPECT_EQ(out.Get("game/b.txt"), "two");
}

TEST(OutputWriterTest, AnotherSpellingIsReplacedOnlyWhenEmptyOrOwn) {
  TempFolder out;
  out.Put("game/media/bgm/BGM01.wav", "");  // an empty placeholder
  out.Put("game/misc/MAIL256.BMP", "someone else's picture");
  OutputWriter w(out.path(), out.path() / "record.txt");
  EXPECT_TRUE(w.Write("game/media/bgm/bgm01.wav", "music"));
  EXPECT_FALSE(fs::exists(out.path() / "game/media/bgm/BGM01.wav"));
  EXPECT_FALSE(w.Write("game/misc/mail256.bmp", "picture"));
  EXPECT_EQ(out.Get("game/misc/MAIL256.BMP"), "someone else's picture");
  // A failed run keeps its files on the list, so the next run can still tidy them.
  w.Abandon();
  OutputWriter next(out.path(), out.path() / "record.txt");
  EXPECT_TRUE(next.IsStale("game/media/bgm/bgm01.wav"));
}

TEST(ContentText, LineEndsBecomeCrLfAndCharactersWithoutShiftJisAreReported) {
  Problems problems;
  EXPECT_EQ(ToCp932Lines("a\nb\r\nc", "x.txt", problems), "a\r\nb\r\nc\r\n");
  EXPECT_TRUE(problems.Empty());
  EXPECT_EQ(ToCp932Lines(U8(u8"灯\n"), "x.txt", problems), "灯\r\n");
  ToCp932Lines(U8(u8"ok\n\u2665\n"), "x.txt", problems);
  EXPECT_FALSE(problems.Empty());
}

// A complete little data set: one day with a choice, a mail with a photo and two voices.
void WriteSmallContent(const TempFolder& c) {
  c.Put("generate.txt", "background bg_a\nmusic m1\nmovie op 480 320 2\n");
  c.Put("readme.txt", "readme\n");
  c.Put("ev/sEventList.csv",
        "#name,#route,#score\n001_00,0,0\n001_01,0,0\n001_02,0,0\nA001_05,1,2\nsr,0,0\nsr_,0,0\nsr__,0,0\n"
        "C030_02,0,0\nA031_05mv,0,0\nX031_01,0,0\n");
  c.Put("ev/sEventTable.csv", "#day,#time,#monS,#Mail,#MonE,#condition\n1,1,001_00,001_01,001_02,\n");
  c.Put("ev/movList.csv", "#fileId,#title\n");
  c.Put("ev/photList.csv", U8(u8"#fileId,#title\nP004_01,夕焼け\n"));
  c.Put("ev/radioList.csv", "#fileId,#title\n");
  c.Put("ev/roomList.csv", "#roomId,#title\n0,room\n");
  c.Put("script/001_00.sin", U8(u8"!bgon(bg_a)\n!fin\n!bgmon(m1)\nこんにちは\\f\n/\nはい:A001_05\n/\n;\n"));
  for (const char* s : {"001_02", "A001_05", "sr", "sr_", "sr__", "C030_02"})
    c.Put(std::string("script/") + s + ".sin", U8(u8"!bgon(bg_a)\nおわり\\f\n;\n"));
  c.Put("mail/001_01.txt", U8(u8"$0/件名/1日目/P004_01/\n$m1\n$v_a\n$1さん、こんにちは$$\n $$\n$v_b\n二ページ目$$\n$\n"));
  c.Put("mail/A013_01.txt", U8(u8"$0/件名/13日目//\n$\n$v_c\n本文$$\n$\n"));
}

TEST(ContentReading, CollectsEveryNameTheDataUses) {
  TempFolder c;
  WriteSmallContent(c);
  Problems problems;
  const Settings settings = ReadSettings(c.path(), problems);
  const ContentPlan plan = ReadContent(c.path(), problems);
  if (!problems.Empty()) problems.Print();
  ASSERT_TRUE(problems.Empty());
  EXPECT_EQ(settings.movies.at("op").width, 480);
  EXPECT_EQ(plan.backgrounds.count("bg_a"), 1u);
  EXPECT_EQ(plan.music.count("m1"), 1u);  // from the script and the mail's music line
  EXPECT_EQ(plan.movies.count("op"), 1u);
  EXPECT_EQ(plan.photos.at("P004_01"), U8(u8"夕焼け"));
  // Each page's voice reads its page, without the marks and the player's name.
  EXPECT_EQ(plan.voices.at("v_a"), U8(u8"さん、こんにちは"));
  EXPECT_EQ(plan.voices.at("v_b"), U8(u8"二ページ目"));
  // Sources become CP932 with CR LF in the game folder.
  bool sawScript = false;
  for (const TextOutput& t : plan.texts) {
    if (t.rel != "script/001_00.sin") continue;
    sawScript = true;
    EXPECT_NE(t.bytes.find("こんにちは\\f\r\n"), std::string::npos);
  }
  EXPECT_TRUE(sawScript);
}

TEST(ContentReading, ReportsFaultsWithFileAndLine) {
  struct Case {
    const char* what;
    const char* rel;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"half-width text", "script/001_02.sin", U8(u8"!bgon(bg_a)\nabc\\f\n;\n")},
      {"choice target not listed", "script/001_02.sin", U8(u8"/\nはい:Z001_09\n/\n;\n")},
      {"unknown command", "script/001_02.sin", "!bgonx(bg_a)\n;\n"},
      {"no end mark", "script/001_02.sin", "!fin\n"},
      {"blank in parameter list", "script/001_02.sin", "!bgon(bg_a, 1)\n;\n"},
      {"photo not in the list", "mail/001_01.txt", U8(u8"$0/件名/1日目/P099_01/\n$\n$v_a\n本文$$\n$\n")},
      {"mail without end line", "mail/001_01.txt", U8(u8"$0/件名/1日目//\n$\n$v_a\n本文$$\n")},
      {"event names a missing mail", "ev/sEventTable.csv", "#h\n1,1,001_00,001_09,001_02,\n"},
  };
  for (const Case& k : cases) {
    TempFolder c;
    WriteSmallContent(c);
    c.Put(k.rel, k.text);
    Problems problems;
    ReadContent(c.path(), problems);
    EXPECT_FALSE(problems.Empty()) << k.what;
  }
}

}  // namespace

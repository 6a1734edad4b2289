// Start-up: where each data folder is taken from, the refusal when data is missing or another
// copy runs, and the debug log a run writes.
#include <unistd.h>

#include "app/app_utils.h"
#include "game_fixture.h"
#include "platform/instance_lock.h"
#include "platform/text_encoding.h"

namespace {

constexpr const char* kDiscGame = "/velmora/Program Files/zamu/velmora/";

struct FolderCase {
  const char* name;
  const char* missing_in_game;  // sample file left out of the program folder ("" = none)
  bool disc_in_drive;           // a cdrom drive whose disc holds every sample
  bool bare_folder_has_it;      // the current folder holds the missing sample (no drive)
  const char* expect_video;     // where m_strVideoPath must point: "game", "disc" or "bare"
  friend std::ostream& operator<<(std::ostream& os, const FolderCase& c) { return os << c.name; }
};

class FolderChoiceTest : public GameFolderTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FolderChoiceTest, EachFolderComesFromTheProgramFolderOrElseTheDisc) {
  const FolderCase& c = GetParam();
  AddSamples(game_, c.missing_in_game);
  const fs::path disc = root_ / "disc";
  if (c.disc_in_drive) {
    AddSamples(disc.string() + kDiscGame);
    setenv("VELMORA_DRIVES", ("C=fixed:/;D=cdrom:" + disc.string()).c_str(), 1);
  }
  const fs::path cwd = root_ / "cwd";
  fs::create_directories(cwd);
  if (c.bare_folder_has_it) Touch(cwd / c.missing_in_game);
  const fs::path old_cwd = fs::current_path();
  fs::current_path(cwd);
  EnableLog();

  CVelmoraApp& app = StartGame(false);
  fs::current_path(old_cwd);

  const std::string game = game_.string() + "/";
  EXPECT_EQ(app.m_strAppPath, game);
  EXPECT_EQ(app.m_strSavePath, game + "save/");
  EXPECT_EQ(app.m_strMiscPath, game + "misc/");
  EXPECT_EQ(app.m_strSePath, game + "media/se/");
  const std::string want_video = std::string(c.expect_video) == "game"   ? game + "media/video/"
                                 : std::string(c.expect_video) == "disc" ? disc.string() + kDiscGame + "media/video/"
                                                                         : std::string("media/video/");
  EXPECT_EQ(app.m_strVideoPath, want_video);

  // The log shows the program folder, then the eleven folders in their fixed order.
  const std::vector<fs::path> logs = LogFiles();
  ASSERT_EQ(logs.size(), 1u);
  const std::string log = ReadAll(logs[0]);
  const char* order[] = {"App Path = '" , "PATH SAVE = ", "PATH EVENT TB = ", "PATH MAIL = ", "PATH BGM = ",
                         "PATH PICT = ",  "PATH RADIO = ", "PATH SE = ",      "PATH VIDEO = " , "PATH VOICE = ",
                         "PATH MISC = ",  "PATH SCRIPT = "};
  std::size_t at = 0;
  for (const char* line : order) {
    const std::size_t found = log.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << " missing or out of order in:\n" << log;
    at = found;
  }
  EXPECT_NE(log.find("PATH VIDEO = " + want_video + "\n"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderChoiceTest,
    ::testing::Values(FolderCase{"CompleteInstallNeverUsesTheDisc", "", true, false, "game"},
                      FolderCase{"MissingVideoComesFromTheDisc", "media/video/vA020_01.wmv", true, false, "disc"},
                      FolderCase{"NoDriveTriesTheBareFolderName", "media/video/vA020_01.wmv", false, true, "bare"}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

using StartupDeathTest = GameFolderTest;

TEST_F(StartupDeathTest, MissingSampleInBothPlacesRefusesToStart) {
  GTEST_FLAG_SET(death_test_style, "fast");
  struct Case {
    const char* drives;
  } cases[] = {{""}, {"D=cdrom:/nonexistent/disc"}};
  AddSamples(game_, "misc/mail256.bmp");
  for (const Case& c : cases) {
    setenv("VELMORA_DRIVES", c.drives, 1);
    // The message box (stderr when headless), exit code -1, and no window.
    EXPECT_EXIT(StartGame(false), ::testing::ExitedWithCode(255), "CD-ROM") << c.drives;
  }
}

TEST_F(StartupDeathTest, SecondCopyEndsAtOnceAndTheFirstIsUndisturbed) {
  GTEST_FLAG_SET(death_test_style, "fast");
  AddSamples(game_);
  EnableLog();
  plat::OverrideWallClock(1765304405);  // the run's log file name is fixed
  plat::InstanceLock first;
  ASSERT_EQ(first.Acquire(kInstanceMutexName), plat::LockResult::kAcquired);

  EXPECT_EXIT(StartGame(false), ::testing::ExitedWithCode(255), "");
  const std::vector<fs::path> logs = LogFiles();
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_NE(ReadAll(logs[0]).find(plat::Cp932ToUtf8("多重起動検出\n")), std::string::npos);
  EXPECT_TRUE(first.held());

  // Once the first copy has ended, a new start succeeds.
  first.Release();
  CVelmoraApp& app = StartGame(false);
  EXPECT_TRUE(app.m_hMutex.held());
}

TEST_F(GameFolderTest, LogIsNamedAfterTheStartAndEndsWithTheClosingLine) {
  AddSamples(game_);
  EnableLog();
  plat::OverrideWallClock(1765304405);  // 2025-12-09 18:20:05 UTC
  StartGame(false);
  app_->m_log.Printf("no line end");
  app_->m_log.Printf("next %d\n", 7);
  app_.reset();

  const fs::path log = game_ / "LOG" / "LOG_1209182005.txt";
  ASSERT_TRUE(fs::exists(log));
  const std::string text = ReadAll(log);
  EXPECT_EQ(text.rfind("12/09 18:20:05 :LOG START\n12/09 18:20:05 :App Path = '", 0), 0u) << text;
  EXPECT_NE(text.find("no line end12/09 18:20:05 :next 7\n"), std::string::npos) << text;
  // The file is UTF-8: compare with the UTF-8 form of the closing entry.
  const std::string last_utf8 = "12/09 18:20:05 :" + plat::Cp932ToUtf8("---終了---");
  ASSERT_GE(text.size(), last_utf8.size());
  EXPECT_EQ(text.substr(text.size() - last_utf8.size()), last_utf8);
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST_F(GameFolderTest, LogStaysQuietWithoutItsSwitchOrWhenItsFileGoes) {
  AddSamples(game_);
  // No LOG folder at all, then a LOG folder without debug.txt: nothing is written.
  StartGame(false);
  EXPECT_FALSE(app_->m_log.m_bOpen);
  app_.reset();
  fs::create_directories(game_ / "LOG");
  StartGame(false);
  EXPECT_FALSE(app_->m_log.m_bOpen);
  EXPECT_TRUE(LogFiles().empty());
  app_.reset();

  // With the switch, deleting the file mid-run turns logging off for good; nothing else changes.
  EnableLog();
  StartGame(true);
  ASSERT_TRUE(app_->m_log.m_bOpen);
  for (const fs::path& p : LogFiles()) fs::remove(p);
  app_->m_log.Printf("lost\n");
  EXPECT_FALSE(app_->m_log.m_bOpen);
  app_->m_log.Printf("also lost\n");
  EXPECT_TRUE(LogFiles().empty());
  plat::headless::Advance(100);
  EXPECT_TRUE(plat::headless::WindowOpen());
}

TEST(AppUtilsTest, BitSetsAndBoundedComparisons) {
  unsigned char bits[3] = {0, 0, 0};
  SetBit(bits, 0);
  SetBit(bits, 9);
  SetBit(bits, 23);
  EXPECT_EQ(bits[0], 0x01);
  EXPECT_EQ(bits[1], 0x02);
  EXPECT_EQ(bits[2], 0x80);
  EXPECT_TRUE(TestBit(bits, 9));
  EXPECT_FALSE(TestBit(bits, 8));

  struct {
    const char *a, *b;
    int n;
    bool equal;
  } cases[] = {{"abc", "abd", 2, true}, {"abc", "abd", 3, false}, {"ab", "ab", 10, true},
               {"ab", "abc", 10, false}, {"x", "y", 0, true}};
  for (const auto& c : cases) EXPECT_EQ(StrEqualN(c.a, c.b, c.n), c.equal) << c.a << " " << c.b << " " << c.n;

  unsigned char buf[4] = {1, 2, 3, 4};
  ZeroBytes(buf, -1);
  EXPECT_EQ(buf[0], 1);
  ZeroBytes(buf, 3);
  EXPECT_EQ(buf[2], 0);
  EXPECT_EQ(buf[3], 4);
}

}  // namespace

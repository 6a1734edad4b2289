// The media slots of the game: the exact command strings each user sends, and what the medium
// then does.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../app/game_fixture.h"
#include "app/game_view.h"
#include "audio/media_slot.h"
#include "platform/headless/headless_media.h"
#include "story/game_state.h"

namespace {

const std::string kFixtures = std::string(VELMORA_TEST_DATA) + "/../../platform/data/";

class MediaSlotTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    AddSamples(game_);
    std::filesystem::copy_file(kFixtures + "movie.wmv", game_ / "media/video/op.wmv");
    std::filesystem::copy_file(kFixtures + "movie.wmv", game_ / "media/video/my movie.wmv");
    std::filesystem::copy_file(kFixtures + "voice.mp3", game_ / "media/radio/R01.mp3");
    EnableLog();
    StartGame();
    // The opening movie plays on the one media alias from the start; a click ends it, so the
    // slots under test find the alias free.
    plat::headless::InjectMouseDown(320, 240);
    plat::headless::InjectMouseUp(320, 240);
    plat::headless::Advance(1);
    plat::headless::ClearSentMediaCommands();
    svparam.voiceVolume = 3;
  }
  void TearDown() override {
    slot_.Close();
    GameFolderTest::TearDown();
  }
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (const auto& c : plat::headless::SentMediaCommands()) out.push_back(c.command);
    return out;
  }
  std::string Video(const char* name) const { return App().m_strVideoPath + name; }
  std::string Log() const { return ReadAll(LogFiles().at(0)); }
  MediaSlot slot_;
};

TEST_F(MediaSlotTest, EachUserSendsItsCommandsInTheirOrder) {
  const std::string op = Video("op.wmv");
  const std::string radio = App().m_strRadioPath + "R01.mp3";
  struct Case {
    const char* user;
    void (*run)(MediaSlot&, const std::string&);
    std::string path;
    std::vector<std::string> sent;
  } cases[] = {
      {"opening movie",
       [](MediaSlot& s, const std::string& p) { s.MovieOpen(p, 80, 80, 480, 320, false, false), s.Play(); }, op,
       {"open " + op + " alias mcitest style child parent 59648", "put mcitest window at 80 80 480 320",
        "setaudio mcitest volume to 600", "play mcitest"}},
      {"gallery video", [](MediaSlot& s, const std::string& p) { s.MovieOpen(p, 71, 115, 320, 240, true, true); }, op,
       {"open " + op + " alias mcitest style child parent 59648", "realize mcitest background",
        "put mcitest window at 71 115 320 240", "window mcitest state show"}},
      {"gallery audio", [](MediaSlot& s, const std::string& p) { s.VoiceOpen(p); }, radio,
       {"open " + radio + " alias mcitest"}},
      {"script movie",
       [](MediaSlot& s, const std::string& p) { s.MovieOpen(p, 160, 32, 320, 240, false, false), s.Play(); }, op,
       {"open " + op + " alias mcitest style child parent 59648", "put mcitest window at 160 32 320 240",
        "setaudio mcitest volume to 600", "play mcitest"}},
      {"script radio", [](MediaSlot& s, const std::string& p) { s.RadioOpen(p), s.Play(); }, radio,
       {"open " + radio + " alias mcitest", "setaudio mcitest volume to 600", "play mcitest"}},
  };
  for (const Case& c : cases) {
    plat::headless::ClearSentMediaCommands();
    MediaSlot slot;
    c.run(slot, c.path);
    EXPECT_TRUE(slot.isOpen) << c.user;
    slot.Close();
    std::vector<std::string> want = c.sent;
    want.push_back("close mcitest");
    EXPECT_EQ(Sent(), want) << c.user;
  }
}

TEST_F(MediaSlotTest, AFailedOpenIsLoggedAndTheSlotSendsNothingMore) {
  slot_.MovieOpen(Video("missing.wmv"), 80, 80, 480, 320, false, true);
  EXPECT_FALSE(slot_.isOpen);
  // The window commands follow the open whatever it gave.
  EXPECT_EQ(Sent().size(), 3u);
  slot_.Play();
  slot_.Stop();
  slot_.Rewind();
  slot_.SetVolume();
  EXPECT_FALSE(slot_.IsStopped());
  slot_.Close();
  EXPECT_EQ(Sent().size(), 3u);
  slot_.VoiceOpen(App().m_strVoicePath + "none.mp3");
  slot_.RadioOpen(App().m_strRadioPath + "none.mp3");
  const std::string log = Log();
  EXPECT_NE(log.find("MovieOpen:ERR:" + Video("missing.wmv") + "\n"), std::string::npos);
  EXPECT_NE(log.find("VoiceOpen:ERR:" + App().m_strVoicePath + "none.mp3\n"), std::string::npos);
  EXPECT_NE(log.find("RadioOpen:ERR:" + App().m_strRadioPath + "none.mp3\n"), std::string::npos);
}

TEST_F(MediaSlotTest, StopsRewindsEndsAndTakesVolumeChangesAtOnce) {
  slot_.MovieOpen(Video("my movie.wmv"), 80, 80, 480, 320, false, true);  // a path with a blank
  ASSERT_TRUE(slot_.isOpen);
  EXPECT_EQ(Sent().front(), "open \"" + Video("my movie.wmv") + "\" alias mcitest style child parent 59648");
  std::vector<std::uint8_t> first, later, again;
  int w = 0, h = 0;
  slot_.Play();
  plat::headless::Advance(50);
  ASSERT_TRUE(plat::headless::CaptureMediaFrame("mcitest", &first, &w, &h));
  plat::headless::Advance(400);
  slot_.Stop();
  EXPECT_TRUE(slot_.IsStopped());
  ASSERT_TRUE(plat::headless::CaptureMediaFrame("mcitest", &later, &w, &h));
  EXPECT_NE(first, later);

  svparam.voiceVolume = 1;
  slot_.SetVolume();
  EXPECT_EQ(plat::headless::MediaAliasState("mcitest").volume, 200);

  slot_.Rewind();
  slot_.Play();
  plat::headless::Advance(50);
  ASSERT_TRUE(plat::headless::CaptureMediaFrame("mcitest", &again, &w, &h));
  EXPECT_EQ(again, first) << "play after a rewind starts at the first picture";
  EXPECT_FALSE(slot_.IsStopped());
  plat::headless::Advance(2000);  // past the end of the one-second movie
  EXPECT_TRUE(slot_.IsStopped());
  slot_.Close();
  plat::headless::ClearSentMediaCommands();
  slot_.SetVolume();
  EXPECT_TRUE(Sent().empty()) << "nothing is sent while nothing is open";
}

TEST_F(MediaSlotTest, TheHeldAliasAndThePlayedOneOpenTheSameFile) {
  EXPECT_TRUE(plat::headless::MediaAliasState("wmvideo").open);
  slot_.MovieOpen(Video("op.wmv"), 80, 80, 480, 320, false, false);
  EXPECT_TRUE(slot_.isOpen);
  EXPECT_EQ(ShortPathForm("/a b/c.wmv"), "\"/a b/c.wmv\"");
  EXPECT_EQ(ShortPathForm("/ab/c.wmv"), "/ab/c.wmv");
}

}  // namespace

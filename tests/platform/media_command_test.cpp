// The media command interpreter over the headless backend: parsing, play state, pictures,
// sound levels, and media that must fail to open.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_media.h"
#include "platform/media_command.h"
#include "platform/sound_output.h"
#include "platform/application.h"
#include "platform/window.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

fs::path DataDir() { return fs::path(__FILE__).parent_path() / "data"; }

class MediaCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseAllMedia();
    SetMediaAudioOutput(nullptr);
    headless::ClearSentMediaCommands();
    dir_ = fs::temp_directory_path() / ("velmora_media_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_ / "my movies");
    fs::copy_file(DataDir() / "movie.wmv", dir_ / "my movies" / "Movie.WMV", fs::copy_options::overwrite_existing);
    fs::copy_file(DataDir() / "voice.mp3", dir_ / "voice.mp3", fs::copy_options::overwrite_existing);
  }
  void TearDown() override {
    CloseAllMedia();
    SetMediaAudioOutput(nullptr);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // The movie's path in the quoted form the game sends (it holds a blank).
  std::string Movie() const { return "\"" + (dir_ / "my movies" / "movie.wmv").string() + "\""; }
  std::string Voice() const { return (dir_ / "voice.mp3").string(); }

  static std::string Mode(const std::string& alias) {
    std::string answer;
    EXPECT_EQ(SendMediaCommand("status " + alias + " mode", &answer), kMediaOk);
    return answer;
  }
  static std::vector<std::uint8_t> Frame(const std::string& alias) {
    std::vector<std::uint8_t> px;
    int w = 0, h = 0;
    EXPECT_TRUE(headless::CaptureMediaFrame(alias, &px, &w, &h));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    return px;
  }

  fs::path dir_;
};

TEST_F(MediaCommandTest, MalformedCommandsAreErrors) {
  struct Case {
    const char* command;
    int result;
  } cases[] = {
      {"", kMediaUnknownCommand},
      {"   ", kMediaUnknownCommand},
      {"frobnicate mcitest", kMediaUnknownCommand},
      {"open \"unclosed quote", kMediaUnknownCommand},
      {"play", kMediaBadArgument},
      {"play nothing", kMediaUnknownAlias},
      {"status nothing mode", kMediaUnknownAlias},
      {"close nothing", kMediaUnknownAlias},
      {"open /nonexistent/file.wmv alias m", kMediaCannotOpen},
      {"open /etc/hostname alias m", kMediaCannotOpen},  // neither video nor sound by its name
      {"open x.wmv alias", kMediaBadArgument},
      {"open x.wmv alias m style popup", kMediaBadArgument},
      {"open x.wmv alias m parent abc", kMediaBadArgument},
  };
  for (const Case& c : cases) EXPECT_EQ(SendMediaCommand(c.command), c.result) << c.command;
}

TEST_F(MediaCommandTest, ArgumentsOfAnOpenMovie) {
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest style child parent 4711"), kMediaOk);
  struct Case {
    const char* command;
    int result;
  } cases[] = {
      {"realize mcitest background", kMediaOk},
      {"put mcitest window at 71 115 320 240", kMediaOk},
      {"put mcitest window at 1 2 3", kMediaBadArgument},
      {"put mcitest window at 1 2 -3 4", kMediaBadArgument},
      {"put mcitest window at a b c d", kMediaBadArgument},
      {"window mcitest state sideways", kMediaBadArgument},
      {"setaudio mcitest volume to 1001", kMediaBadArgument},
      {"setaudio mcitest volume to -1", kMediaBadArgument},
      {"setaudio mcitest volume to 99999999999999999999", kMediaBadArgument},
      {"setaudio mcitest volume to 600", kMediaOk},
      {"seek mcitest to end", kMediaBadArgument},
      {"status mcitest", kMediaBadArgument},
      {"status mcitest mode extra", kMediaBadArgument},
      {"play mcitest wait", kMediaBadArgument},
      {"STATUS MCITEST MODE", kMediaOk},  // words are not case-sensitive
  };
  for (const Case& c : cases) EXPECT_EQ(SendMediaCommand(c.command), c.result) << c.command;
  const headless::MediaOverlayState st = headless::MediaAliasState("mcitest");
  EXPECT_TRUE(st.video);
  EXPECT_FALSE(st.visible);
  EXPECT_EQ(st.rect.left, 71);
  EXPECT_EQ(st.rect.bottom, 115 + 240);
  EXPECT_EQ(st.volume, 600);
  EXPECT_EQ(SendMediaCommand("window mcitest state show"), kMediaOk);
  EXPECT_TRUE(headless::MediaAliasState("mcitest").visible);
  EXPECT_EQ(SendMediaCommand("close mcitest"), kMediaOk);
  EXPECT_FALSE(headless::MediaAliasState("mcitest").open);
  EXPECT_EQ(SendMediaCommand("play mcitest"), kMediaUnknownAlias);
}

TEST_F(MediaCommandTest, EveryCommandIsRecordedWithItsResult) {
  SendMediaCommand("open " + Movie() + " alias mcitest");
  std::string answer;
  SendMediaCommand("status mcitest mode", &answer);
  SendMediaCommand("bogus");
  const auto& sent = headless::SentMediaCommands();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].command, "open " + Movie() + " alias mcitest");
  EXPECT_EQ(sent[0].result, kMediaOk);
  EXPECT_EQ(sent[1].answer, "stopped");
  EXPECT_EQ(sent[2].result, kMediaUnknownCommand);
}

TEST_F(MediaCommandTest, StopKeepsThePlaceAndTheEndAnswersStopped) {
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest"), kMediaOk);
  EXPECT_EQ(Mode("mcitest"), "stopped");
  ASSERT_EQ(SendMediaCommand("play mcitest"), kMediaOk);
  EXPECT_TRUE(headless::MediaAliasState("mcitest").visible);  // play shows the window
  EXPECT_EQ(Mode("mcitest"), "playing");
  headless::SpendTime(450);
  const std::vector<std::uint8_t> at_stop = Frame("mcitest");
  ASSERT_EQ(SendMediaCommand("stop mcitest"), kMediaOk);
  EXPECT_EQ(Mode("mcitest"), "stopped");
  headless::SpendTime(2000);
  EXPECT_EQ(Mode("mcitest"), "stopped");
  EXPECT_EQ(Frame("mcitest"), at_stop);
  ASSERT_EQ(SendMediaCommand("play mcitest"), kMediaOk);
  EXPECT_EQ(Frame("mcitest"), at_stop);  // goes on from the same picture
  headless::SpendTime(200);
  EXPECT_NE(Frame("mcitest"), at_stop);
  EXPECT_EQ(Mode("mcitest"), "playing");
  headless::SpendTime(1000);  // 0.45 + 0.2 + 1.0 s played of a 1 s movie
  EXPECT_EQ(Mode("mcitest"), "stopped");
}

TEST_F(MediaCommandTest, SeekToStartShowsTheFirstPictureAgain) {
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest"), kMediaOk);
  const std::vector<std::uint8_t> first = Frame("mcitest");
  SendMediaCommand("play mcitest");
  headless::SpendTime(2000);
  ASSERT_EQ(Mode("mcitest"), "stopped");
  EXPECT_NE(Frame("mcitest"), first);
  ASSERT_EQ(SendMediaCommand("seek mcitest to start"), kMediaOk);
  SendMediaCommand("play mcitest");
  EXPECT_EQ(Frame("mcitest"), first);
  EXPECT_EQ(Mode("mcitest"), "playing");
  headless::SpendTime(2000);
  EXPECT_EQ(Mode("mcitest"), "stopped");
}

TEST_F(MediaCommandTest, TwoAliasesOnOneFile) {
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias wmvideo style child parent 1"), kMediaOk);
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest style child parent 1"), kMediaOk);
  EXPECT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest"), kMediaAliasInUse);
  SendMediaCommand("play mcitest");
  headless::SpendTime(2000);
  EXPECT_EQ(Mode("mcitest"), "stopped");
  EXPECT_EQ(Mode("wmvideo"), "stopped");
  EXPECT_EQ(SendMediaCommand("close wmvideo"), kMediaOk);
  EXPECT_EQ(SendMediaCommand("close mcitest"), kMediaOk);
}

TEST_F(MediaCommandTest, OverlayIsDrawnOnlyWhileShown) {
  std::vector<std::uint8_t> pixels(640 * 480 * 3, 0xAB);
  PixelView view{pixels.data(), 640, 480, 640 * 3};
  auto untouched = [&](int x, int y) { return view.At(x, y)[0] == 0xAB && view.At(x, y)[1] == 0xAB; };
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest"), kMediaOk);
  SendMediaCommand("put mcitest window at 80 80 480 320");
  DrawMediaOverlay(view);
  EXPECT_TRUE(untouched(100, 100));
  SendMediaCommand("window mcitest state show");
  EXPECT_TRUE(MediaOverlayChanged());
  DrawMediaOverlay(view);
  EXPECT_FALSE(MediaOverlayChanged());
  EXPECT_FALSE(untouched(80, 80));
  EXPECT_FALSE(untouched(559, 399));
  EXPECT_TRUE(untouched(79, 80));
  EXPECT_TRUE(untouched(560, 399));
  EXPECT_TRUE(untouched(100, 400));
  std::fill(pixels.begin(), pixels.end(), 0xAB);
  SendMediaCommand("close mcitest");
  DrawMediaOverlay(view);
  EXPECT_TRUE(untouched(100, 100));
}

TEST_F(MediaCommandTest, MediaThatCannotBeDecodedFailToOpen) {
  std::ifstream in(DataDir() / "movie.wmv", std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 1000u);
  auto write = [&](const std::string& name, const std::vector<char>& data) {
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return (dir_ / name).string();
  };
  std::vector<char> noise(4000);
  std::uint32_t x = 12345;
  for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  const std::string cases[] = {
      write("truncated.wmv", std::vector<char>(bytes.begin(), bytes.begin() + 600)),
      write("noise.wmv", noise),
      write("noise.mp3", noise),
      write("empty.mp3", {}),
      write("video_named_as_sound.mp3", std::vector<char>(bytes.begin(), bytes.begin() + 600)),
  };
  for (const std::string& path : cases) {
    EXPECT_EQ(SendMediaCommand("open " + path + " alias mcitest"), kMediaCannotOpen) << path;
    EXPECT_EQ(SendMediaCommand("status mcitest mode"), kMediaUnknownAlias);
  }
  fs::create_directories(dir_ / "folder.wmv");
  EXPECT_EQ(SendMediaCommand("open " + (dir_ / "folder.wmv").string() + " alias mcitest"), kMediaCannotOpen);
}

class MediaSoundTest : public MediaCommandTest {
 protected:
  void SetUp() override {
    MediaCommandTest::SetUp();
    ASSERT_TRUE(device_.Open(kPrimaryFormat, SoundBackend::kHeadless));
    SetMediaAudioOutput(&device_);
    headless::ClearMixedAudio();
  }
  void TearDown() override {
    MediaCommandTest::TearDown();
    device_.Close();
  }
  static int Peak() {
    int peak = 0;
    for (std::int16_t s : headless::MixedAudio()) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
  }
  SoundDevice device_;
};

TEST_F(MediaSoundTest, VolumeChangesTheMixedLevelAtOnce) {
  ASSERT_EQ(SendMediaCommand("open " + Voice() + " alias mcitest"), kMediaOk);
  SendMediaCommand("setaudio mcitest volume to 1000");
  SendMediaCommand("play mcitest");
  headless::SpendTime(200);
  const int loud = Peak();
  EXPECT_GT(loud, 4000);
  headless::ClearMixedAudio();
  SendMediaCommand("setaudio mcitest volume to 200");
  headless::SpendTime(100);
  const int soft = Peak();
  EXPECT_GT(soft, 0);
  EXPECT_NEAR(soft, loud / 5, loud / 10);
  headless::SpendTime(1500);
  EXPECT_EQ(Mode("mcitest"), "stopped");
  headless::ClearMixedAudio();
  headless::SpendTime(100);
  EXPECT_EQ(Peak(), 0);
}

TEST_F(MediaSoundTest, MovieSoundStopsWithTheMovie) {
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest"), kMediaOk);
  SendMediaCommand("play mcitest");
  headless::SpendTime(300);
  EXPECT_GT(Peak(), 1000);
  SendMediaCommand("stop mcitest");
  headless::ClearMixedAudio();
  headless::SpendTime(200);
  EXPECT_EQ(Peak(), 0);
  SendMediaCommand("play mcitest");
  headless::SpendTime(2000);
  EXPECT_EQ(Mode("mcitest"), "stopped");
}

// Outside the headless backend a worker thread decodes and the real clock runs the movie.
TEST_F(MediaCommandTest, RealClockPlaysToTheEnd) {
  ::unsetenv("VELMORA_BACKEND");
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest"), kMediaOk);
  ::setenv("VELMORA_BACKEND", "headless", 1);
  const std::vector<std::uint8_t> first = Frame("mcitest");
  SendMediaCommand("put mcitest window at 0 0 64 48");
  SendMediaCommand("play mcitest");
  std::vector<std::uint8_t> pixels(640 * 480 * 3);
  int waited_ms = 0;
  while (Mode("mcitest") == "playing" && waited_ms < 5000) {
    DrawMediaOverlay(PixelView{pixels.data(), 640, 480, 640 * 3});
    ::usleep(20000);
    waited_ms += 20;
  }
  EXPECT_GE(waited_ms, 800);
  EXPECT_LT(waited_ms, 5000);
  EXPECT_NE(Frame("mcitest"), first);
  EXPECT_EQ(SendMediaCommand("close mcitest"), kMediaOk);
}

class OverlayApp : public Application {
 public:
  bool InitInstance() override { return true; }
};

// The presenter puts the playing picture over the view and takes it away at close.
TEST_F(MediaCommandTest, PresentedPictureCarriesTheVideo) {
  headless::Reset();
  OverlayApp app;
  ASSERT_TRUE(app.StartBackend());
  Window main;
  ASSERT_TRUE(main.CreateTopLevel("test", Rect{0, 0, 640, 480}));
  app.set_main_window(&main);
  headless::Advance(10);
  const Color view = headless::PresentedPixel(100, 100);
  ASSERT_EQ(SendMediaCommand("open " + Movie() + " alias mcitest style child parent 1"), kMediaOk);
  SendMediaCommand("put mcitest window at 80 80 480 320");
  SendMediaCommand("play mcitest");
  headless::Advance(150);
  const std::vector<std::uint8_t> frame = Frame("mcitest");
  const Color shown = headless::PresentedPixel(100, 100);
  const std::uint8_t* expected = frame.data() + ((100 - 80) * 48 / 320 * 64 + (100 - 80) * 64 / 480) * 3;
  EXPECT_EQ(shown.b, expected[0]);
  EXPECT_EQ(shown.g, expected[1]);
  EXPECT_EQ(shown.r, expected[2]);
  const Color outside = headless::PresentedPixel(60, 60);
  EXPECT_EQ(outside.r, view.r);
  EXPECT_EQ(outside.g, view.g);
  SendMediaCommand("close mcitest");
  headless::Advance(10);
  const Color after = headless::PresentedPixel(100, 100);
  EXPECT_EQ(after.r, view.r);
  EXPECT_EQ(after.g, view.g);
  EXPECT_EQ(after.b, view.b);
  main.Destroy();
  app.StopBackend();
}

TEST_F(MediaCommandTest, OpticalDriveDoor) {
  ::setenv("VELMORA_DRIVES", "D=cdrom:/nonexistent", 1);
  EXPECT_EQ(SendMediaCommand("open cdaudio"), kMediaOk);
  EXPECT_EQ(SendMediaCommand("set cdaudio door closed"), kMediaOk);
  EXPECT_EQ(SendMediaCommand("play cdaudio"), kMediaUnknownCommand);
  EXPECT_EQ(SendMediaCommand("close cdaudio"), kMediaOk);
  ::unsetenv("VELMORA_DRIVES");
}

}  // namespace
}  // namespace plat

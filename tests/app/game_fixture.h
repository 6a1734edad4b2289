// A game folder in a temporary directory, and a headless game started in it.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/velmora_app.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/local_time.h"

namespace fs = std::filesystem;

// The sample file each data folder is recognised by.
inline const std::vector<std::string>& SampleFiles() {
  static const std::vector<std::string> files = {
      "ev/sEventList.csv",      "mail/001_01.txt",     "media/bgm/BGM01.wav",     "media/photo/P004_01.bmp",
      "media/radio/R_end.mp3",  "media/se/se.wav",     "media/video/vA020_01.wmv", "media/voice/A009_00.mp3",
      "misc/mail256.bmp",       "script/001_00.sin"};
  return files;
}

inline void Touch(const fs::path& p) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << "";
}

inline std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The log's entries run together without their time prefixes ("12/09 18:20:05 :"), so a test
// can find text written by several entries in a row.
inline std::string WithoutLogPrefixes(const std::string& log) {
  static constexpr char kShape[] = "00/00 00:00:00 :";  // 0 stands for a digit
  constexpr std::size_t kLength = sizeof kShape - 1;
  auto prefix_at = [&](std::size_t i) {
    if (i + kLength > log.size()) return false;
    for (std::size_t k = 0; k < kLength; ++k) {
      const char c = log[i + k];
      if (kShape[k] == '0' ? (c < '0' || c > '9') : c != kShape[k]) return false;
    }
    return true;
  };
  std::string out;
  for (std::size_t i = 0; i < log.size();) {
    if (prefix_at(i)) {
      i += kLength;
    } else {
      out += log[i++];
    }
  }
  return out;
}

class GameFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/velmora_app_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    game_ = root_ / "game";
    fs::create_directories(game_ / "save");
    fs::create_directories(root_ / "run");
    setenv("VELMORA_BACKEND", "headless", 1);
    setenv("XDG_RUNTIME_DIR", (root_ / "run").c_str(), 1);
    setenv("VELMORA_DRIVES", "", 1);  // no optical drive unless a test gives one
    setenv("TZ", "UTC", 1);
    tzset();
    plat::OverrideModuleFolder(game_.string() + "/");
    plat::headless::Reset();
  }

  void TearDown() override {
    app_.reset();
    plat::OverrideModuleFolder("");
    plat::OverrideWallClock(std::nullopt);
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  void AddSamples(const fs::path& folder, const std::string& except = "") {
    for (const std::string& f : SampleFiles())
      if (f != except) Touch(folder / f);
  }

  void EnableLog() { Touch(game_ / "LOG" / "debug.txt"); }

  // The log files written into the game's LOG folder.
  std::vector<fs::path> LogFiles() const {
    std::vector<fs::path> out;
    if (!fs::exists(game_ / "LOG")) return out;
    for (const auto& e : fs::directory_iterator(game_ / "LOG"))
      if (e.path().filename() != "debug.txt") out.push_back(e.path());
    return out;
  }

  // A complete game folder with the log switched on, and the application constructed in it.
  CVelmoraApp& StartLoggedGame(bool run = false) {
    AddSamples(game_);
    EnableLog();
    return StartGame(run);
  }

  // Constructs the application (the start-up checks) and, when `run`, creates its windows.
  CVelmoraApp& StartGame(bool run = true) {
    app_ = std::make_unique<CVelmoraApp>();
    if (run) {
      EXPECT_TRUE(app_->StartBackend());
      EXPECT_TRUE(app_->InitInstance());
    }
    return *app_;
  }

  fs::path root_, game_;
  std::unique_ptr<CVelmoraApp> app_;
};

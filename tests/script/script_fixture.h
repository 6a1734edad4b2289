// A headless game with its view created, in a temporary game folder whose script table and
// script files each test writes. Texts written by tests are CP932 already (the test sources
// are compiled to CP932), so they go to the files byte for byte.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/game_view.h"
#include "platform/headless/headless.h"
#include "tests/app/game_fixture.h"

class ScriptFolderTest : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    AddSamples(game_);
    EnableLog();
  }

  // Writes `text` as the file at `relative` in the game folder (CR LF kept as given).
  void WriteFile(const std::string& relative, const std::string& text) {
    const fs::path p = game_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  void WriteScript(const std::string& name, const std::string& text) { WriteFile("script/" + name + ".sin", text); }
  // "sEventList.csv" from its data lines ("name,route,score\n" each).
  void WriteScriptList(const std::string& rows) { WriteFile("ev/sEventList.csv", "#name,#route,#score\n" + rows); }

  // Creates the view (the tables are read from the folder now) and lets the first paint happen.
  CGameView& Start() {
    StartGame(true);
    plat::headless::Advance(1);
    return *g_pGameView;
  }
  // Runs n ticks of the scene loop (50 ms each).
  static void Ticks(int n) { plat::headless::Advance(static_cast<std::uint64_t>(n) * 50); }
  // The whole debug log so far (UTF-8).
  std::string Log() const { return ReadAll(LogFiles().at(0)); }
};

// Evaluates arbitrary bytes as an event condition, and parses them as an event table: the
// result is 0 or 1, nothing reads past the text, the parameters stay as they were, and every
// parsed row keeps its end mark and terminated fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/debug_log.h"
#include "app/velmora_app.h"
#include "platform/files.h"
#include "story/data_tables.h"
#include "story/event_table.h"
#include "story/game_state.h"

namespace {

// A game folder with the sample files, so the application's start-up finds its data folders.
void MakeGameFolder(const std::filesystem::path& root) {
  for (const char* f : {"ev/sEventList.csv", "mail/001_01.txt", "media/bgm/BGM01.wav", "media/photo/P004_01.bmp",
                        "media/radio/R_end.mp3", "media/se/se.wav", "media/video/vA020_01.wmv",
                        "media/voice/A009_00.mp3", "misc/mail256.bmp", "script/001_00.sin"}) {
    std::filesystem::create_directories((root / f).parent_path());
    std::ofstream(root / f) << "";
  }
  std::filesystem::create_directories(root / "save");
}

CVelmoraApp& TheApp() {
  static std::unique_ptr<CVelmoraApp> app = [] {
    char tmpl[] = "/tmp/velmora_rule_fuzz_XXXXXX";
    if (mkdtemp(tmpl) == nullptr) std::abort();
    MakeGameFolder(tmpl);
    setenv("VELMORA_BACKEND", "headless", 1);
    setenv("XDG_RUNTIME_DIR", tmpl, 1);
    setenv("VELMORA_DRIVES", "", 1);
    plat::OverrideModuleFolder(std::string(tmpl) + "/");
    auto a = std::make_unique<CVelmoraApp>();
    CDebugLog quiet;
    scriptTable.count = ParseScriptTable("h\nA009_04,1,2\nB011_04,0,0\nB011_05,0,0\n", scriptTable.rows,
                                         ScriptTable::kCapacity, quiet);
    return a;
  }();
  return *app;
}

EventRow rows[EventTable::kCapacity];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TheApp();
  std::string text(reinterpret_cast<const char*>(data), size);  // NUL-terminated copy

  svparam.param[0] = 1;
  svparam.param[1] = -7;
  svparam.param[2] = 30;
  svparam.param[3] = 0;
  svparam.seenScripts[0] = size > 0 ? data[0] : 0;
  const GameState before = svparam;
  const int r = EvalRule(text.c_str());
  if (r != 0 && r != 1) std::abort();
  if (std::memcmp(&before, &svparam, sizeof svparam) != 0) std::abort();

  CDebugLog quiet;
  const int n = ParseEventTable(text, rows, EventTable::kCapacity, quiet);
  if (n < 0 || n >= EventTable::kCapacity || rows[n].day != -1) std::abort();
  for (int i = 0; i < n; ++i) {
    if (!std::memchr(rows[i].monS, '\0', sizeof rows[i].monS) || !std::memchr(rows[i].Mail, '\0', sizeof rows[i].Mail) ||
        !std::memchr(rows[i].MonE, '\0', sizeof rows[i].MonE) ||
        !std::memchr(rows[i].condition, '\0', sizeof rows[i].condition))
      std::abort();
  }
  return 0;
}

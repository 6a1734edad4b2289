// Plays arbitrary bytes as a scene script in a headless game for a bounded number of ticks,
// with clicks and mouse moves over the message area and the choice box. Nothing may crash or
// hang, and after every tick the runtime record must be whole: the read position inside the
// buffer (or in an inserted text that returns into it), the buffer still terminated, every
// name and label field terminated and the counts within their arrays.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/game_view.h"
#include "app/velmora_app.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "script/script_runtime.h"
#include "script/script_scene.h"
#include "story/game_state.h"

namespace {

constexpr int kTicks = 192;

std::filesystem::path g_game;

void Write(const std::filesystem::path& p, const std::string& text) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

// A game folder whose script table lists the fuzzed script "fz" and two small ones it may jump
// to or choose, and the headless game started in it.
CVelmoraApp& TheApp() {
  static std::unique_ptr<CVelmoraApp> app = [] {
    char tmpl[] = "/tmp/velmora_script_fuzz_XXXXXX";
    if (mkdtemp(tmpl) == nullptr) std::abort();
    g_game = tmpl;
    for (const char* f : {"ev/sEventList.csv", "mail/001_01.txt", "media/bgm/BGM01.wav", "media/photo/P004_01.bmp",
                          "media/radio/R_end.mp3", "media/se/se.wav", "media/video/vA020_01.wmv",
                          "media/voice/A009_00.mp3", "misc/mail256.bmp", "script/001_00.sin"})
      Write(g_game / f, "");
    std::filesystem::create_directories(g_game / "save");
    Write(g_game / "ev/sEventList.csv", "#name,#route,#score\nfz,0,0\nfa,1,2\nfb,0,0\n");
    Write(g_game / "script/fa.sin", "あ\\pい\\f;");  // two characters with waits
    Write(g_game / "script/fb.sin", "!fin!wait(3);");
    setenv("VELMORA_BACKEND", "headless", 1);
    setenv("XDG_RUNTIME_DIR", tmpl, 1);
    setenv("VELMORA_DRIVES", "", 1);
    plat::OverrideModuleFolder(std::string(tmpl) + "/");
    auto a = std::make_unique<CVelmoraApp>();
    if (!a->StartBackend() || !a->InitInstance()) std::abort();
    plat::headless::Advance(1);
    // The font library reads its configuration on the first text drawn.
    g_pGameView->m_surfTop.DrawString(0, 0, "あ", g_pGameView->m_fontLarge.get(), 0);
    return a;
  }();
  return *app;
}

bool Terminated(const char* field, std::size_t size) { return std::memchr(field, '\0', size) != nullptr; }

bool InBuffer(const char* p) {
  return p >= scriptRuntime.buffer && p <= scriptRuntime.buffer + kScriptBufferSize;
}

void CheckRecord(const CGameView& view) {
  const ScriptRuntime& rt = scriptRuntime;
  if (rt.buffer[kScriptBufferSize] != '\0') std::abort();
  if (rt.returnPos == nullptr ? !InBuffer(rt.pos) : !InBuffer(rt.returnPos)) std::abort();
  if (rt.choiceCount < 0 || rt.choiceCount > kChoiceMax) std::abort();
  if (rt.choiceSel < -1 || rt.choiceSel >= kChoiceMax) std::abort();
  if (rt.mode < 0 || rt.mode > 2 || rt.waitPending > 1) std::abort();
  for (int i = 0; i < kChoiceMax; ++i)
    if (!Terminated(rt.choiceLabel[i], kChoiceLabelSize) || !Terminated(rt.choiceTarget[i], kScriptNameSize))
      std::abort();
  for (int i = 0; i < kParamCount; ++i)
    if (!Terminated(rt.strParam[i], kParamTextSize)) std::abort();
  if (!Terminated(svparam.bgName, sizeof svparam.bgName) || !Terminated(svparam.bgmName, sizeof svparam.bgmName) ||
      !Terminated(svparam.scriptName, sizeof svparam.scriptName))
    std::abort();
  if (view.m_surfTop.Width() != 640 || view.m_surfTop.Height() != 480) std::abort();
  if (view.m_nFadeStep < 0 || view.m_nFadeStep > 8 || view.m_nPictureLevel < 0 || view.m_nPictureLevel > 4)
    std::abort();
}

}  // namespace

// The game starts before the first input, so what the font library keeps for the whole run is
// not taken for a leak of an input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TheApp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TheApp();
  CGameView& view = *g_pGameView;
  if (size > kScriptBufferSize + 64) size = kScriptBufferSize + 64;
  Write(g_game / "script/fz.sin", std::string(reinterpret_cast<const char*>(data), size));

  svparam.day = static_cast<std::int16_t>(29 + size % 4);
  svparam.time = 1;
  svparam.phase = 1;
  svparam.textSpeed = static_cast<std::int16_t>(size % 5);
  svparam.markSeenChoices = static_cast<std::int16_t>(size % 2);
  std::strcpy(svparam.bgName, "fa");
  std::strcpy(svparam.bgmName, "fb");
  view.PlayScript("fz", static_cast<int>((size / 2) % 2));

  for (int t = 0; t < kTicks && view.m_pfnTick == ScriptTick; ++t) {
    if (t % 16 == 0) {
      // Every sixteenth tick goes through the loop with the virtual clock, after a click over
      // one of the three choice rows or below them (each row twice in a row: the first click
      // highlights a choice, the second makes it); it also paints what changed. The other ticks
      // are the timer's call alone, which keeps runs fast.
      const int y = 300 + 22 * ((t / 32) % 4) + 5;
      plat::headless::InjectMouseMove(300, y);
      plat::headless::InjectMouseDown(300, y);
      plat::headless::InjectMouseUp(300, y);
      plat::headless::Advance(50);
    } else {
      view.OnTimer(0);
    }
    CheckRecord(view);
  }

  // Whatever the scene left running ends here, so the next input starts from a quiet game.
  view.LeaveScreen();
  scriptRuntime.movieSlot.Close();
  scriptRuntime.radioSlot.Close();
  view.BgmOff(0);
  return 0;
}

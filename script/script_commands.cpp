#include "script/script_commands.h"

#include <cstring>
#include <string>

#include "app/game_view.h"
#include "app/velmora_app.h"
#include "script/script_loader.h"
#include "script/script_runtime.h"
#include "story/data_tables.h"
#include "story/csv_text.h"
#include "story/game_state.h"

namespace {

// The fixed texts that !nf and !nl insert into the message.
const char kInsertedNf[] = "力";
const char kInsertedNl[] = "原子";

enum Command {
  kSend, kMv, kRadio, kSettime, kSetday, kBattle, kBgmon, kBgmoff, kBgmvol, kCharon, kCharab,
  kCharoff, kEx, kFin, kFout, kNf, kNl, kSeon, kSeoff, kVon, kVoff, kStron, kStroff, kWait,
  kWinon, kWinoff, kBgon, kBgoff, kBgset, kBgol, kBgci,
};

constexpr plat::Rect kWholeScreen{0, 0, 640, 480};

void StartWait(WaitKind kind) {
  scriptRuntime.waitPending = 1;
  scriptRuntime.waitKind = kind;
}

// Only one medium can be open at a time: whatever the script opened before is closed first, so
// the new open finds the media alias free.
void CloseScriptMedia() {
  scriptRuntime.movieSlot.Close();
  scriptRuntime.radioSlot.Close();
}

void Movie(const char* name) {
  StartWait(kWaitMovie);
  UnlockMovie(name);
  CloseScriptMedia();
  MediaSlot& slot = scriptRuntime.movieSlot;
  slot.MovieOpen(App().m_strVideoPath + name + ".wmv", 160, 32, 320, 240, false, false);
  slot.Play();
}

void Radio(const char* name, int goOn) {
  if (goOn == 0) StartWait(kWaitRadio);
  CloseScriptMedia();
  MediaSlot& slot = scriptRuntime.radioSlot;
  slot.RadioOpen(App().m_strRadioPath + name + ".mp3");
  slot.Play();
}

void Fade(CGameView* view, int dir) {
  if (view != nullptr) {
    view->AddDirty(view->m_rcScreen);
    view->ComposeFrame(view->m_rcDirty);
    view->m_nFadeStep = static_cast<std::int16_t>(dir > 0 ? 0 : 8);
  }
  StartWait(kWaitFade);
  scriptRuntime.fadeDir = static_cast<std::int16_t>(dir);
}

void Insert(const char* text) {
  scriptRuntime.returnPos = scriptRuntime.pos;
  scriptRuntime.pos = text;
}

void BackgroundOn(CGameView* view, const char* name, int dissolve) {
  if (view == nullptr) return;
  view->m_rcDirty = view->m_rcScreen;
  if (view->m_nFadeStep != 0 && dissolve == 1) {
    // The previous picture stays visible behind the new one while it dissolves in.
    view->m_surfBack.CopyFrom(view->m_surfPicture);
    view->m_nPictureLevel = 0;
    scriptRuntime.fadeDir = 1;
    StartWait(kWaitDissolve);
  } else {
    view->m_nPictureLevel = 4;
  }
  const std::string path = App().m_strMiscPath + name + ".bmp";
  App().m_log.Printf("BG LOAD \"%s\"\n", path.c_str());
  if (!view->m_surfPicture.LoadBmp(path)) {
    // A picture that cannot be loaded shows black; the layer keeps its size, so later fills
    // and compositions still find it.
    view->m_surfPicture.Create(640, 480);
    view->m_surfPicture.Fill(kWholeScreen, kBlack);
  }
  CopyFixedString(svparam.bgName, sizeof svparam.bgName, name);
  view->AddDirty(view->m_rcScreen);
}

// !wait's length in ticks: the counter is 16 bits, and a negative length waits no time.
std::uint16_t WaitLength(std::int32_t n) {
  if (n < 0) return 0;
  if (n > 0xFFFF) return 0xFFFF;
  return static_cast<std::uint16_t>(n);
}

}  // namespace

int RunScriptCommand(int index) {
  ScriptRuntime& rt = scriptRuntime;
  CGameView* view = rt.view;
  const char* name = rt.strParam[0];
  switch (index) {
    case kSend:
      StartWait(kWaitSendBox);
      if (view != nullptr) view->m_nFadeStep = 8;
      rt.sendTicks = 0;
      return 1;
    case kMv:
      Movie(name);
      return 1;
    case kRadio:
      Radio(name, rt.numParam[1]);
      return 1;
    case kSettime:
      svparam.time = static_cast<std::int16_t>(rt.numParam[0]);
      return 0;
    case kSetday:
      svparam.day = static_cast<std::int16_t>(rt.numParam[0]);
      return 0;
    case kBattle:
      ScLoadScriptByName(rt.strParam[1]);
      return 0;
    case kBgmon:
      App().m_log.Printf("Script Bgm Start:%s\n", name);
      if (view != nullptr) view->BgmOn(name, svparam.bgmVolume);
      CopyFixedString(svparam.bgmName, sizeof svparam.bgmName, name);
      return 0;
    case kBgmoff:
      App().m_log.Printf("Script Bgm stop\n");
      if (view != nullptr) view->BgmOff(0);
      svparam.bgmName[0] = '\0';
      return 0;
    case kFin:
      Fade(view, +1);
      return 1;
    case kFout:
      Fade(view, -1);
      return 1;
    case kNf:
      Insert(kInsertedNf);
      return 0;
    case kNl:
      Insert(kInsertedNl);
      return 0;
    case kStron:
      // The scene's music is not recorded: a save of this scene does not bring it back.
      if (view != nullptr) view->BgmOn(name, svparam.bgmVolume);
      return 1;
    case kStroff:
      if (view != nullptr) view->BgmOff(0);
      return 1;
    case kWait:
      rt.waitTicks = WaitLength(rt.numParam[0]);
      StartWait(kWaitTicks);
      return 1;
    case kBgon:
      BackgroundOn(view, name, rt.numParam[1]);
      return 1;
    case kBgoff:
      if (view != nullptr) {
        view->m_surfPicture.Fill(kWholeScreen, kBlack);
        view->AddDirty(view->m_rcScreen);
      }
      return 1;
    default:
      // The commands without effect: their parameters were read and are dropped.
      return 0;
  }
}

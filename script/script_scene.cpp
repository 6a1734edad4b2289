// The scene: starting a script as one of the view's screens, the per-tick step that types the
// message text and hands every other item to the interpreter, the waits and the mouse.
#include "script/script_scene.h"

#include <cstring>
#include <string>

#include "app/velmora_app.h"
#include "script/scene_parts.h"
#include "script/script_interpreter.h"
#include "script/script_loader.h"
#include "script/script_runtime.h"
#include "story/game_state.h"

namespace {

// Scripts one step may load through jump lines and "!battle". Valid scenes load one at a time;
// a script that jumps to itself without a wait would otherwise hold the user-interface thread
// for ever. Reaching it ends the step and the next tick goes on.
constexpr int kLoadsPerStep = 8;

void SceneMouseMove(unsigned flags, int x, int y) {
  (void)flags;
  if (scriptRuntime.mode == 2) ChoiceMouse(0, plat::Point{x, y});
}

void SceneMouseUp(unsigned flags, int x, int y) {
  (void)flags;
  if (scriptRuntime.mode == 2)
    ChoiceMouse(1, plat::Point{x, y});
  else
    ClickAdvance();
}

void SceneMouseDown(unsigned flags, int x, int y) { (void)flags, (void)x, (void)y; }

// A name field of the record as a string: its bytes up to the NUL or the field's end.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

void EndWait() {
  scriptRuntime.tickCount = 0;
  scriptRuntime.waitPending = 0;
  scriptRuntime.waitKind = kWaitNone;
}

// True when the scene's tick was taken away (an error report stopped the scene).
bool Stopped(const CGameView* v, bool wasRunning) { return wasRunning && v != nullptr && v->m_pfnTick != ScriptTick; }

// One tick of the wait in progress.
void AdvanceWait() {
  ScriptRuntime& rt = scriptRuntime;
  CGameView* v = SceneView();
  switch (rt.waitKind) {
    case kWaitPause:
    case kWaitPageEnd:
      ++rt.tickCount;
      if (rt.clickWait == 0) {
        rt.mode = 0;
        if (rt.waitKind == kWaitPageEnd) ClearMessage();
        EraseCursor();
        EndWait();
      } else {
        BlinkCursor(rt.tickCount);
      }
      break;
    case kWaitChoice: {
      ++rt.tickCount;
      const int i = GetChoice();
      if (i >= 0 && i < kChoiceMax) {
        EndWait();
        char target[kScriptNameSize];
        std::memcpy(target, rt.choiceTarget[i], sizeof target);
        target[kScriptNameSize - 1] = '\0';
        ScLoadScriptByName(target);
        ClearMessage();
      }
      break;
    }
    case kWaitTicks:
      if (rt.tickCount < rt.waitTicks) {
        ++rt.tickCount;
      } else {
        EndWait();
        rt.waitTicks = rt.charDelay;
      }
      break;
    case kWaitFade:
      if (v == nullptr) break;
      v->AddDirty(v->m_rcScreen);
      v->m_nFadeStep = static_cast<std::int16_t>(v->m_nFadeStep + rt.fadeDir);
      if (v->m_nFadeStep >= 8) {
        v->m_nFadeStep = 8;
        EndWait();
      } else if (v->m_nFadeStep <= 0) {
        v->m_nFadeStep = 0;
        EndWait();
      }
      break;
    case kWaitDissolve:
      if (v == nullptr) break;
      v->AddDirty(v->m_rcScreen);
      v->m_nPictureLevel = static_cast<std::int16_t>(v->m_nPictureLevel + rt.fadeDir);
      if (v->m_nPictureLevel >= 4) {
        v->m_nPictureLevel = 4;
        EndWait();
      } else if (v->m_nPictureLevel <= 0) {
        v->m_nPictureLevel = 0;
        EndWait();
      }
      break;
    case kWaitSendBox:
      if (SendBoxStep()) EndWait();
      break;
    // A movie or programme that could not be opened never reports its end: its wait ends at once.
    case kWaitMovie:
      if (!rt.movieSlot.isOpen || rt.movieSlot.IsStopped()) EndWait();
      break;
    case kWaitRadio:
      if (!rt.radioSlot.isOpen || rt.radioSlot.IsStopped()) EndWait();
      break;
    default:
      ScError("正しい手続きでペンディングかけてないでしょ？");
      break;
  }
}

}  // namespace

void ScriptReset() {
  ScriptRuntime& rt = scriptRuntime;
  rt.mode = 0;
  rt.fastForward = 0;
  rt.waitPending = 0;
  rt.waitKind = 0;
  rt.tickCount = 0;
  RestartTextSpeed();
  rt.column = rt.line = 0;
  rt.msgRect = kMessageRect;
  // Nothing of the previous scene's choices, inserted text or waits is carried over.
  rt.returnPos = nullptr;
  rt.clickWait = 0;
  rt.choiceSel = -1;
  rt.choiceCount = 0;
  rt.sendTicks = 0;
}

void ScriptStart(int resume) {
  CGameView* v = SceneView();
  if (v == nullptr) return;
  v->LeaveScreen();
  svparam.savePos = 2;  // a save made during the scene resumes it

  const plat::Rect& screen = v->m_rcScreen;
  // The picture layer takes the size of what was last loaded into it; after a failed load it is
  // empty and is made a screen-sized black layer again.
  if (v->m_surfPicture.IsEmpty()) v->m_surfPicture.Create(screen.width(), screen.height());
  v->m_surfFrame.Fill(screen, kBlack);
  v->m_surfPicture.Fill(screen, kBlack);
  v->m_surfBack.Fill(screen, kBlack);
  v->m_surfMiddle.Fill(screen, kKeyGreen);
  v->m_surfTop.Fill(screen, kKeyGreen);
  v->m_bMiddleOn = false;
  v->m_nMiddleLevel = 4;
  v->m_nPictureLevel = 4;
  // Whatever the slots held belongs to an earlier screen; nothing is sent for them.
  scriptRuntime.movieSlot.isOpen = false;
  scriptRuntime.radioSlot.isOpen = false;

  v->m_nFadeStep = 0;  // black until the script fades in
  App().m_log.Printf("SCRIPT MODE GAME\n");
  if (resume) {
    App().m_log.Printf("SCRIPT MODE RESUME\n");
    const std::string bg = FieldText(svparam.bgName);
    // A picture that cannot be loaded leaves the black layer of a screen's size.
    if (!bg.empty() && !v->m_surfPicture.LoadBmp(App().m_strMiscPath + bg + ".bmp")) {
      v->m_surfPicture.Create(screen.width(), screen.height());
      v->m_surfPicture.Fill(screen, kBlack);
    }
    const std::string bgm = FieldText(svparam.bgmName);
    if (!bgm.empty()) v->BgmOn(bgm.c_str(), svparam.bgmVolume);
    v->m_nFadeStep = 8;  // the saved scene is visible at once
  }
  if (svparam.day <= 31) v->m_surfTop.Fill(scriptRuntime.msgRect, kMessageBand);

  v->m_pfnMouseMove = SceneMouseMove;
  v->m_pfnMouseUp = SceneMouseUp;
  v->m_pfnMouseDown = SceneMouseDown;
  v->m_pfnTick = ScriptTick;
  if (svparam.day < 31) v->ShowEdgeTab();
  v->Invalidate(&v->m_rcScreen);
}

void CGameView::PlayScript(const char* name, int resume) {
  ScriptReset();
  ScLoadScriptByName(name);
  ScriptStart(resume);
}

void ScriptTick() {
  ScriptRuntime& rt = scriptRuntime;
  if (rt.mode == 2) return;
  CGameView* v = SceneView();
  if (PollScript()) {
    rt.movieSlot.Close();
    rt.radioSlot.Close();
    if (v != nullptr) v->BgmOff(0);
    svparam.bgmName[0] = '\0';
    if (v != nullptr) {
      v->LeaveScreen();
      v->NextPhase();
    }
  }
  if (v != nullptr && !v->m_rcDirty.IsEmpty()) v->InvalidateDirty();
}

bool PollScript() {
  ScriptRuntime& rt = scriptRuntime;
  if (rt.waitPending == 1) {
    AdvanceWait();
    return false;
  }
  const CGameView* v = SceneView();
  const bool running = v != nullptr && v->m_pfnTick == ScriptTick;
  int loads = 0;
  for (;;) {
    while (*rt.pos == ' ' || *rt.pos == '\t' || *rt.pos == '\r' || *rt.pos == '\n') ++rt.pos;
    const unsigned char c = static_cast<unsigned char>(*rt.pos);
    if (c < 0x80) {
      if (c == '\0') {
        ScError("ターミネート異常 on POLL SCRIPT");
        return false;
      }
      if (c == ';') return true;
      const int r = ScriptCmd();
      if (Stopped(v, running) || r == 1) return false;
      // A load puts the read position at the start of the buffer; no other item ends there.
      if (rt.pos == rt.buffer && ++loads >= kLoadsPerStep) return false;
      continue;
    }
    // A double-byte character of message text, typed when its delay has run.
    if (rt.fastForward == 0 && rt.waitTicks > 0 && rt.tickCount < rt.waitTicks) {
      ++rt.tickCount;
      return false;
    }
    rt.tickCount = 0;
    DrawMessageChar(rt.pos);
    // A lead byte just before the text's end is taken alone, so the end is still seen.
    rt.pos += rt.pos[1] != '\0' ? 2 : 1;
    if (rt.returnPos != nullptr && *rt.pos == '\0') {
      rt.pos = rt.returnPos;
      rt.returnPos = nullptr;
    }
    if (rt.fastForward == 0 && rt.waitTicks > 0) return false;
  }
}

void ClickAdvance() {
  if (scriptRuntime.clickWait == 0)
    scriptRuntime.fastForward = 1;  // the rest of the page at once, its pauses skipped
  else
    scriptRuntime.clickWait = 0;  // the waiting page end or pause is released at the next tick
}

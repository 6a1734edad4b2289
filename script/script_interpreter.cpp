#include "script/script_interpreter.h"

#include <cstring>

#include "app/game_view.h"
#include "app/velmora_app.h"
#include "script/script_commands.h"
#include "script/script_loader.h"
#include "script/script_parse.h"
#include "script/script_runtime.h"
#include "script/script_scene.h"

namespace {

void StartClickWait(WaitKind kind) {
  ScriptRuntime& rt = scriptRuntime;
  rt.waitPending = 1;
  rt.waitKind = kind;
  rt.tickCount = 0;
  rt.fastForward = 0;
  rt.clickWait = 1;
  rt.mode = 1;
}

int DispatchItem() {
  switch (*scriptRuntime.pos) {
    case '!':
      return ScCommand();
    case '/':
      return ScChoice();
    case '\\':
      return ScEscape();
    case '^':
      GotoScript();
      return 0;
    case '"':
      // Nothing is defined for it: it is passed over, so the read position always moves on.
      ++scriptRuntime.pos;
      return 0;
    default:
      ScError("未定義コマンド on SCRIPT CMD");
      return 1;
  }
}

bool TickInstalled() { return g_pGameView != nullptr && g_pGameView->m_pfnTick != nullptr; }

}  // namespace

int ScriptCmd() {
  const bool running = TickInstalled();
  const int result = DispatchItem();
  // An error report during the item (a jump or !battle to a script that is not in the table or
  // has no file, say) stopped the scene: no further item runs in this tick either.
  if (running && !TickInstalled()) return 1;
  return result;
}

int ScEscape() {
  ScriptRuntime& rt = scriptRuntime;
  ++rt.pos;  // the backslash
  const char c = *rt.pos;
  if (c == '\0') return 0;  // a backslash at the very end: the end of the text is read next
  ++rt.pos;
  switch (c) {
    case 'n':
      ++rt.line;
      rt.column = 0;
      return 0;
    case 'f':
      rt.fastForward = 0;
      StartClickWait(kWaitPageEnd);
      return 1;
    case 'p':
      if (rt.fastForward == 1) return 0;
      StartClickWait(kWaitPause);
      return 1;
    default:
      return 0;
  }
}

int ScChoice() {
  ScriptRuntime& rt = scriptRuntime;
  ChoiceBlock block;
  ReadChoiceBlock(rt.pos, block);
  static_assert(sizeof block.label == sizeof rt.choiceLabel && sizeof block.target == sizeof rt.choiceTarget);
  std::memcpy(rt.choiceLabel, block.label, sizeof rt.choiceLabel);
  std::memcpy(rt.choiceTarget, block.target, sizeof rt.choiceTarget);
  rt.choiceCount = static_cast<std::int16_t>(block.count);
  rt.choiceSel = -1;
  if (block.count == 0) {
    // Nothing could ever be chosen: the block is passed over instead of holding the scene.
    App().m_log.Printf("ScChoice: a choice block without choices is passed over\n");
    return 1;
  }
  rt.waitPending = 1;
  rt.waitKind = kWaitChoice;
  rt.tickCount = 0;
  rt.mode = 2;
  DrawChoices(-1);
  return 1;
}

int GetCmdNum() {
  const int n = MatchCommandName(scriptRuntime.pos);
  if (n < 0) {
    ScError("さようなコマンドは無い on GET CMD NUM");
    return -1;
  }
  scriptRuntime.pos += std::strlen(kCommandNames[n]);
  return n;
}

bool GetParam() {
  ScriptRuntime& rt = scriptRuntime;
  ParamList list;
  const ParamError error = ReadParamList(rt.pos, list);
  static_assert(sizeof list.text == sizeof rt.strParam && sizeof list.number == sizeof rt.numParam);
  std::memcpy(rt.strParam, list.text, sizeof rt.strParam);
  std::memcpy(rt.numParam, list.number, sizeof rt.numParam);
  switch (error) {
    case ParamError::kNone:
      return true;
    case ParamError::kNoSeparator:
      ScError("パラメータ区切り記号が無い on GET PARAM");
      return false;
    case ParamError::kTooMany:
      ScError("パラメータが多すぎる on GET PARAM");
      return false;
  }
  return false;
}

int ScCommand() {
  const int n = GetCmdNum();
  if (n < 0) return 1;
  if (!GetParam()) return 1;
  return RunScriptCommand(n);
}

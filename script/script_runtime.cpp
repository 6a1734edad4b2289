#include "script/script_runtime.h"

#include "story/game_state.h"

ScriptRuntime scriptRuntime;

void ScriptRuntimeSetView(CGameView* view) { scriptRuntime.view = view; }

void RestartTextSpeed() {
  // A speed outside 0..4 (from an edited save, say) is taken as the nearest valid one.
  const int speed = svparam.textSpeed < 0 ? 0 : (svparam.textSpeed > 4 ? 4 : svparam.textSpeed);
  scriptRuntime.charDelay = static_cast<std::uint16_t>(4 - speed);
  scriptRuntime.waitTicks = scriptRuntime.charDelay;
}

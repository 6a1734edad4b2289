// The running state of the script engine: one global record shared by the loader, the
// interpreter and the scene runtime.
#pragma once
#include <cstdint>

#include "audio/media_slot.h"
#include "platform/geometry.h"

class CGameView;

// The script buffer holds the first 12288 bytes of a script file; one more byte after them is
// always NUL, so reading never runs past the buffer even when a script lacks its end mark.
inline constexpr int kScriptBufferSize = 12288;
inline constexpr int kParamCount = 5;
inline constexpr int kParamTextSize = 32;
inline constexpr int kChoiceMax = 3;
inline constexpr int kChoiceLabelSize = 52;
inline constexpr int kScriptNameSize = 32;

// What a wait waits for (`waitKind`).
enum WaitKind : std::int16_t {
  kWaitNone = -1,
  kWaitPause = 0,      // \p: a click
  kWaitPageEnd = 1,    // \f: a click, then the message area is cleared
  kWaitChoice = 2,     // a choice block: a choice is made
  kWaitTicks = 5,      // !wait: tickCount reaches waitTicks
  kWaitFade = 8,       // !fin, !fout: m_nFadeStep reaches 8 or 0
  kWaitDissolve = 9,   // !bgon with dissolve: m_nPictureLevel reaches 4
  kWaitSendBox = 11,   // !send: the mail-sending box has run 32 ticks
  kWaitMovie = 12,     // !mv: the movie slot has stopped
  kWaitRadio = 13,     // !radio: the radio slot has stopped
};

struct ScriptRuntime {
  char buffer[kScriptBufferSize + 1];       // the loaded script text, NUL after it
  const char* pos;                          // read position: in buffer or in an inserted text
  const char* returnPos;                    // where reading goes on after an inserted text, or null
  std::int32_t mode;                        // 0 running, 1 waiting for a click, 2 choosing
  std::uint16_t waitPending;                // 1 while a wait is in progress
  std::int16_t waitKind;                    // WaitKind
  std::uint16_t charDelay;                  // ticks per message character: 4 - textSpeed
  std::uint16_t waitTicks;                  // the delay in force: charDelay or a !wait length
  std::uint16_t tickCount;                  // ticks counted by delays, waits and the cursor blink
  std::uint16_t fastForward;                // 1 = the rest of the page is drawn at once
  std::uint16_t clickWait;                  // 1 while a page end or pause waits for its click
  std::uint16_t column, line;               // where the next message character goes
  plat::Rect msgRect;                       // the message area (46, 234, 596, 458)
  std::int16_t fadeDir;                     // +1 or -1: the running fade or dissolve
  std::int32_t sendTicks;                   // progress of the mail-sending box, 0 to 32
  char strParam[kParamCount][kParamTextSize];  // texts of the current command's parameters
  std::int32_t numParam[kParamCount];          // numbers of the current command's parameters
  std::int16_t choiceSel;                   // highlighted choice, -1 none
  std::int16_t choiceCount;                 // choices in the current block, 0 to 3
  char choiceLabel[kChoiceMax][kChoiceLabelSize];
  char choiceTarget[kChoiceMax][kScriptNameSize];  // slot 0 also holds a jump line's name
  MediaSlot movieSlot;
  MediaSlot radioSlot;
  CGameView* view;                          // the view the scene draws on
};

extern ScriptRuntime scriptRuntime;

// The view hands itself to the runtime when its initialisation ends.
void ScriptRuntimeSetView(CGameView* view);
// charDelay = waitTicks = 4 - textSpeed (the settings screen calls it when the speed changes).
void RestartTextSpeed();

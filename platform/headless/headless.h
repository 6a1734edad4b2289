// The headless backend's controls for tests: a virtual clock, injected input, the presented
// picture, the window's state, and the actions that modal loops consume.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/input.h"
#include "platform/pixels.h"

namespace plat::headless {

// Clears queued input, queued modal actions and the record of dialogs shown.
void Reset();

// Input, delivered by the application's loop in the order injected. Coordinates are logical
// client coordinates of the main window; flags are KeyFlags as after the event.
void InjectMouseMove(int x, int y, unsigned flags = 0);
void InjectMouseDown(int x, int y, unsigned flags = kFlagLButton);
void InjectMouseUp(int x, int y, unsigned flags = 0);
void InjectKey(Key key, unsigned modifiers = 0);
void InjectText(std::string_view utf8);
void InjectCloseRequest();
void InjectExpose(const Rect& area);

// The virtual clock, and running the current application's loop for `ms` of it.
std::uint64_t Now();
void Advance(std::uint64_t ms);
// Moves the clock on at once, as work that takes `ms` would (a slow tick, say).
void SpendTime(std::uint64_t ms);

// What a modal loop (dialog, message box) does next. With the queue empty, a modal loop answers
// its dialog with Cancel (the close box) and notes that it did.
struct ModalAction {
  enum class Kind { kAdvance, kPressButton, kClick, kKey, kText } kind = Kind::kAdvance;
  std::uint64_t ms = 0;   // kAdvance
  int id = 0;             // kPressButton: control id, clicked at its centre
  int x = 0, y = 0;       // kClick: main-window client coordinates
  Key key = Key::kOther;  // kKey
  unsigned modifiers = 0;
  std::string text;       // kText, UTF-8
};
void QueueModal(ModalAction action);
void QueueModalAdvance(std::uint64_t ms);
void QueueModalButton(int id);
void QueueModalText(std::string_view utf8);
void QueueModalKey(Key key, unsigned modifiers = 0);

// Dialogs as they were shown: caption and every static text, CP932.
struct ShownDialog {
  std::string caption;
  std::vector<std::string> texts;
  std::vector<int> buttons;
};
const std::vector<ShownDialog>& DialogsShown();
void RecordDialogShown(ShownDialog dialog);  // used by the dialog code

// The last presented picture and the window.
bool WindowOpen();
Rect WindowBounds();
bool WindowDecorated();
bool WindowFullScreen();
std::string WindowTitle();  // UTF-8
int PresentCount();
Color PresentedPixel(int x, int y);
int PresentedWidth();
int PresentedHeight();
bool MouseCaptured();

// Used by the application's modal loop: takes the next queued action.
bool NextModalAction(ModalAction* out);

}  // namespace plat::headless

// What a backend provides to the application loop: the one top-level window on the desktop,
// input events, a clock, and presentation of the composed 640 × 480 (logical) picture.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/geometry.h"
#include "platform/input.h"
#include "platform/pixels.h"

namespace plat {

enum class EventType { kMouseMove, kMouseDown, kMouseUp, kKeyDown, kTextInput, kCloseRequest, kExpose };

struct Event {
  EventType type = EventType::kMouseMove;
  int x = 0, y = 0;          // logical client coordinates of the top-level window
  unsigned flags = 0;        // KeyFlags after the event
  Key key = Key::kOther;
  unsigned modifiers = 0;    // KeyModifiers
  std::string text;          // UTF-8 (text input)
  Rect area;                 // exposed area (kExpose)
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual bool is_headless() const = 0;
  // The top-level window with a client area of `width` × `height` logical pixels.
  virtual bool OpenWindow(std::string_view title_utf8, const Rect& bounds) = 0;
  virtual void CloseWindow() = 0;
  virtual void SetTitle(std::string_view title_utf8) = 0;
  virtual void SetDecorated(bool decorated) = 0;
  virtual void MoveWindow(const Rect& bounds) = 0;
  virtual bool SetFullScreen(bool full) = 0;
  virtual Rect WorkArea() const = 0;
  virtual Rect ScreenRect() const = 0;
  // Shows the picture (top-down 24-bit BGR as PixelView describes it).
  virtual void Present(const PixelView& picture) = 0;
  virtual void StartTextInput() = 0;
  // Mouse events keep arriving while the button is held outside the window.
  virtual void CaptureMouse(bool on) = 0;
  virtual void StopTextInput() = 0;
  virtual std::uint64_t NowMs() const = 0;
  // An event if one is queued; never waits.
  virtual bool PollEvent(Event* event) = 0;
  // Waits for an event until `deadline_ms` (none: without limit). False when the deadline came
  // first; the headless backend moves its clock to the deadline instead of waiting.
  virtual bool WaitEvent(Event* event, std::optional<std::uint64_t> deadline_ms) = 0;
};

// A message box before any backend or window exists (stop icon, OK button): a native box,
// or stderr in headless mode or when no box can be shown.
void ShowStartupError(std::string_view caption_utf8, std::string_view text_utf8);

// True when VELMORA_BACKEND selects the headless backend.
bool HeadlessRequested();

std::unique_ptr<Backend> MakeSdlBackend();
std::unique_ptr<Backend> MakeHeadlessBackend();

}  // namespace plat

// The application: one object a program, its message loop, modal loops, the display mode and
// the backend (a real SDL window, or the headless one that tests drive).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/geometry.h"

namespace plat {

class Window;
class Backend;
struct Event;

class Application {
 public:
  // Registers this object as the current application. Does nothing else, so a static object
  // may be constructed before main.
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static Application* Current();

  // Called by the program entry once the backend is up. False ends the program.
  virtual bool InitInstance() = 0;

  // Starts the backend: VELMORA_BACKEND=headless or sdl (default). False with a message on
  // stderr when no display is available.
  bool StartBackend();
  bool headless() const;
  // Closes the backend while the program's libraries are all still loaded (the program entry
  // does this when the loop has ended, before static objects are destroyed).
  void StopBackend();

  // The message loop: runs until the main window is destroyed or Quit is called. Returns the
  // exit code.
  int Run();
  void Quit(int exit_code = 0);
  bool quitting() const { return quit_; }

  // Runs the loop until the clock reaches `until_ms` (headless: virtual time) or quit.
  void RunUntil(std::uint64_t until_ms);
  // Runs a modal loop for `popup` until it is destroyed. Timers keep firing for every window;
  // mouse input reaches only the popup.
  void RunModal(Window* popup);
  bool in_modal() const { return modal_depth_ > 0; }

  Window* main_window() const { return main_window_; }
  void set_main_window(Window* w) { main_window_ = w; }

  // Milliseconds of the loop's clock (virtual in headless mode).
  std::uint64_t NowMs() const;

  // Desktop geometry in logical pixels: the usable work area and the whole screen.
  Rect WorkArea() const;
  Rect ScreenRect() const;
  // Window ⇄ borderless desktop full screen. True when the mode is in force.
  bool SetFullScreen(bool full);
  bool full_screen() const { return full_screen_; }

  Backend* backend() const { return backend_.get(); }

  // Internal: used by windows.
  void OnWindowCreated(Window* w);
  void OnWindowDestroyed(Window* w);
  void AddTimer(Window* w, unsigned id, unsigned period);
  void RemoveTimer(Window* w, unsigned id);
  void SetCaptureWindow(Window* w);
  void SetFocusWindow(Window* w) { focus_ = w; }
  Window* focus_window() const { return focus_; }
  // Delivers the paint message to `w` now when it has an area to repaint.
  void PaintWindow(Window* w);
  Window* capture_window() const { return capture_; }
  void RequestPresent() { present_pending_ = true; }
  void PostClose(Window* w);

 private:
  // One turn of the loop: queued input, then close requests, paints, presentation, at most one
  // timer message; waits when idle. False when the loop should stop.
  bool PumpOnce(std::optional<std::uint64_t> until);
  void Dispatch(const plat::Event& ev);
  bool PaintPending();
  void Present();
  // The modal loop of the headless backend: consumes the actions a test queued.
  void RunHeadlessModal(Window* popup);
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::unique_ptr<Backend> backend_;
  Window* main_window_ = nullptr;
  Window* capture_ = nullptr;
  Window* focus_ = nullptr;
  int modal_depth_ = 0;
  bool quit_ = false;
  int exit_code_ = 0;
  bool full_screen_ = false;
  bool present_pending_ = false;
};

}  // namespace plat

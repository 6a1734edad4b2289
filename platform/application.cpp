#include "platform/application.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/headless/headless.h"
#include "platform/media_command.h"
#include "platform/text_encoding.h"
#include "platform/window.h"

namespace plat {
namespace {

Application* g_current = nullptr;

struct Timer {
  Window* window;
  unsigned id;
  unsigned period;
  std::uint64_t due;
};

}  // namespace

struct Application::Impl {
  std::vector<Window*> windows;  // in creation order: parents before their children
  std::vector<Window*> popups;   // z-order, topmost last
  std::vector<Window*> modal;    // modal popups, innermost last
  std::vector<Timer> timers;
  std::vector<Window*> close_requests;
  std::vector<std::uint8_t> present_pixels;
  unsigned mouse_flags = 0;

  bool Alive(Window* w) const { return std::find(windows.begin(), windows.end(), w) != windows.end(); }
};

Application::Application() : impl_(std::make_unique<Impl>()) { g_current = this; }

Application::~Application() {
  // Windows owned by the program are destroyed by it; forget what is left.
  backend_.reset();
  if (g_current == this) g_current = nullptr;
}

Application* Application::Current() { return g_current; }

bool Application::StartBackend() {
  if (backend_ != nullptr) return true;
  backend_ = HeadlessRequested() ? MakeHeadlessBackend() : MakeSdlBackend();
  return backend_ != nullptr;
}

void Application::StopBackend() { backend_.reset(); }

bool Application::headless() const { return backend_ != nullptr && backend_->is_headless(); }

std::uint64_t Application::NowMs() const { return backend_ != nullptr ? backend_->NowMs() : 0; }

Rect Application::WorkArea() const { return backend_ != nullptr ? backend_->WorkArea() : Rect{0, 0, 640, 480}; }

Rect Application::ScreenRect() const { return backend_ != nullptr ? backend_->ScreenRect() : Rect{0, 0, 640, 480}; }

bool Application::SetFullScreen(bool full) {
  if (backend_ == nullptr) return false;
  const bool ok = backend_->SetFullScreen(full);
  full_screen_ = ok ? full : full_screen_;
  present_pending_ = true;
  return ok;
}

void Application::Quit(int exit_code) {
  quit_ = true;
  exit_code_ = exit_code;
}

void Application::OnWindowCreated(Window* w) {
  impl_->windows.push_back(w);
  if (w->kind() == WindowKind::kPopup) impl_->popups.push_back(w);
}

void Application::OnWindowDestroyed(Window* w) {
  std::erase(impl_->windows, w);
  std::erase(impl_->popups, w);
  std::erase(impl_->modal, w);
  std::erase(impl_->close_requests, w);
  std::erase_if(impl_->timers, [w](const Timer& t) { return t.window == w; });
  if (capture_ == w) SetCaptureWindow(nullptr);
  if (focus_ == w) focus_ = nullptr;
  present_pending_ = true;
  if (w == main_window_) {
    main_window_ = nullptr;
    Quit(exit_code_);
  }
}

void Application::AddTimer(Window* w, unsigned id, unsigned period) {
  period = std::max(1u, period);
  const std::uint64_t due = NowMs() + period;
  for (Timer& t : impl_->timers) {
    if (t.window == w && t.id == id) {
      t.period = period;
      t.due = due;
      return;
    }
  }
  impl_->timers.push_back(Timer{w, id, period, due});
}

void Application::RemoveTimer(Window* w, unsigned id) {
  std::erase_if(impl_->timers, [w, id](const Timer& t) { return t.window == w && t.id == id; });
}

void Application::SetCaptureWindow(Window* w) {
  capture_ = w;
  if (backend_ != nullptr) backend_->CaptureMouse(w != nullptr);
}

void Application::PostClose(Window* w) {
  if (w != nullptr) impl_->close_requests.push_back(w);
}

void Application::PaintWindow(Window* w) {
  if (!impl_->Alive(w) || w->invalid_.IsEmpty()) return;
  Window* top = w->TopLevel();
  const Rect paint = w->invalid_;
  w->invalid_.SetEmpty();  // validated before the handler runs, as a begin-paint does
  if (!w->visible_ || top == nullptr) return;
  PaintContext pc(top->view_, w->OriginInTopLevel(), paint, w->ClientRect());
  w->OnPaint(pc);
  present_pending_ = true;
}

namespace {

// The window under a point of the top-level client area: the topmost popup, else the deepest
// visible child; the top-level window itself otherwise.
Window* HitTest(const std::vector<Window*>& popups, Window* top, int x, int y) {
  for (auto it = popups.rbegin(); it != popups.rend(); ++it)
    if ((*it)->visible() && (*it)->bounds().Contains(x, y)) return *it;
  Window* w = top;
  for (;;) {
    Window* inner = nullptr;
    const Point o = w->OriginInTopLevel();
    for (Window* c : w->children_for_hit_test()) {
      if (c->kind() == WindowKind::kChild && c->visible() && c->bounds().Offset(o.x, o.y).Contains(x, y)) inner = c;
    }
    if (inner == nullptr) return w;
    w = inner;
  }
}

Point ClientOrigin(Window* w) {
  if (w->kind() == WindowKind::kPopup) return Point{w->bounds().left, w->bounds().top};
  return w->OriginInTopLevel();
}

}  // namespace

void Application::Dispatch(const Event& ev) {
  Impl& m = *impl_;
  Window* top = main_window_;
  switch (ev.type) {
    case EventType::kMouseMove:
    case EventType::kMouseDown:
    case EventType::kMouseUp: {
      if (top == nullptr) return;
      m.mouse_flags = ev.flags;
      Window* target = capture_;
      if (target == nullptr) {
        target = HitTest(m.popups, top, ev.x, ev.y);
        // A modal loop blocks mouse input to every window but its own popup.
        if (!m.modal.empty() && target != m.modal.back()) return;
      }
      const Point o = ClientOrigin(target);
      const int x = ev.x - o.x, y = ev.y - o.y;
      if (ev.type == EventType::kMouseMove) target->OnMouseMove(ev.flags, x, y);
      else if (ev.type == EventType::kMouseDown) target->OnLButtonDown(ev.flags, x, y);
      else target->OnLButtonUp(ev.flags, x, y);
      return;
    }
    case EventType::kKeyDown: {
      if (!m.modal.empty()) {
        Window* dlg = m.modal.back();
        if (ev.key == Key::kF4 && ev.modifiers == kModAlt) dlg->OnClose();
        else dlg->OnKeyDown(ev.key, ev.modifiers);
        return;
      }
      if (top != nullptr) {
        for (const Accelerator& a : top->accelerators_) {
          if (a.key == ev.key && a.modifiers == ev.modifiers) {
            top->OnCommand(a.command);
            return;
          }
        }
      }
      Window* target = focus_ != nullptr ? focus_ : top;
      if (target != nullptr) target->OnKeyDown(ev.key, ev.modifiers);
      return;
    }
    case EventType::kTextInput: {
      Window* target = !m.modal.empty() ? m.modal.back() : focus_;
      if (target != nullptr) target->OnTextInput(Utf8ToCp932(ev.text));
      return;
    }
    case EventType::kCloseRequest:
      // While a modal dialog is up the main window is disabled: its close box does nothing.
      if (top != nullptr && m.modal.empty()) top->OnClose();
      return;
    case EventType::kExpose:
      for (Window* w : m.windows) {
        if (w->kind() == WindowKind::kPopup) {
          w->Invalidate();
          continue;
        }
        const Point o = w->OriginInTopLevel();
        const Rect local = ev.area.Offset(-o.x, -o.y);
        w->Invalidate(&local);
      }
      present_pending_ = true;
      return;
  }
}

void Application::Present() {
  present_pending_ = false;
  Window* top = main_window_;
  if (top == nullptr || backend_ == nullptr || top->view_.empty()) return;
  const PixelView& base = top->view_;
  std::vector<std::uint8_t>& px = impl_->present_pixels;
  px.assign(top->pixels_.begin(), top->pixels_.end());
  PixelView out{px.data(), base.width, base.height, base.pitch};
  DrawMediaOverlay(out);  // videos sit over the view, under popups
  for (Window* p : impl_->popups) {
    if (!p->visible_ || p->view_.empty()) continue;
    const Rect r = IntersectRect(p->bounds_, Rect{0, 0, base.width, base.height});
    for (int y = r.top; y < r.bottom; ++y)
      std::memcpy(out.At(r.left, y), p->view_.At(r.left - p->bounds_.left, y - p->bounds_.top),
                  static_cast<std::size_t>(r.width()) * 3);
  }
  backend_->Present(out);
}

bool Application::PaintPending() {
  for (Window* w : impl_->windows)
    if (!w->invalid_.IsEmpty()) return true;
  return false;
}

bool Application::PumpOnce(std::optional<std::uint64_t> until) {
  Impl& m = *impl_;
  if (backend_ == nullptr) return false;
  // Sent and posted messages and input come first.
  Event ev;
  while (!quit_ && backend_->PollEvent(&ev)) Dispatch(ev);
  if (quit_) return false;
  if (!m.close_requests.empty()) {
    Window* w = m.close_requests.front();
    m.close_requests.erase(m.close_requests.begin());
    if (m.Alive(w) && m.modal.empty()) w->OnClose();
    return !quit_;
  }
  // Then paint messages, parents before children, popups last.
  if (PaintPending()) {
    std::vector<Window*> order = m.windows;
    std::stable_partition(order.begin(), order.end(), [](Window* w) { return w->kind() != WindowKind::kPopup; });
    for (Window* w : order) PaintWindow(w);
  }
  if (MediaOverlayChanged()) present_pending_ = true;
  if (present_pending_) Present();
  // Then at most one timer message: a late timer fires once and is rescheduled from now.
  const std::uint64_t now = backend_->NowMs();
  Timer* next = nullptr;
  for (Timer& t : m.timers)
    if (next == nullptr || t.due < next->due) next = &t;
  if (next != nullptr && next->due <= now) {
    next->due += next->period;
    if (next->due <= now) next->due = now + next->period;
    Window* w = next->window;
    const unsigned id = next->id;
    w->OnTimer(id);
    return !quit_;
  }
  if (until.has_value() && now >= *until) return false;
  std::optional<std::uint64_t> deadline = until;
  if (next != nullptr) deadline = deadline.has_value() ? std::min(*deadline, next->due) : next->due;
  // A playing video's pictures come from its own thread: look for a new one every 10 ms.
  if (!backend_->is_headless() && MediaVideoPlaying())
    deadline = deadline.has_value() ? std::min(*deadline, now + 10) : now + 10;
  if (backend_->WaitEvent(&ev, deadline)) {
    Dispatch(ev);
    return !quit_;
  }
  // Headless with nothing to wait for: nothing can ever happen again.
  return !(backend_->is_headless() && !deadline.has_value());
}

int Application::Run() {
  while (!quit_ && main_window_ != nullptr) {
    if (!PumpOnce(std::nullopt)) break;
  }
  return exit_code_;
}

void Application::RunUntil(std::uint64_t until_ms) {
  while (!quit_ && PumpOnce(until_ms)) {
  }
}

void Application::RunModal(Window* popup) {
  if (popup == nullptr || !impl_->Alive(popup)) return;
  impl_->modal.push_back(popup);
  ++modal_depth_;
  if (backend_ != nullptr && backend_->is_headless()) {
    RunHeadlessModal(popup);
  } else {
    while (!quit_ && impl_->Alive(popup)) {
      if (!PumpOnce(std::nullopt)) break;
    }
  }
  --modal_depth_;
  std::erase(impl_->modal, popup);
}

void Application::RunHeadlessModal(Window* popup) {
  auto alive = [this, popup] { return impl_->Alive(popup); };
  // Lets queued input, paints and timers due now run, without moving the clock.
  auto settle = [this, &alive] {
    while (!quit_ && alive() && PumpOnce(NowMs())) {
    }
  };
  while (!quit_ && alive()) {
    settle();
    if (quit_ || !alive()) break;
    headless::ModalAction a;
    if (!headless::NextModalAction(&a)) {
      std::fprintf(stderr, "headless: no action queued for a modal dialog; answering it with Cancel\n");
      popup->OnClose();
      if (alive()) popup->Destroy();
      break;
    }
    using Kind = headless::ModalAction::Kind;
    switch (a.kind) {
      case Kind::kAdvance: {
        const std::uint64_t until = NowMs() + a.ms;
        while (!quit_ && alive() && PumpOnce(until)) {
        }
        break;
      }
      case Kind::kPressButton: {
        auto* dialog = dynamic_cast<Dialog*>(popup);
        if (dialog == nullptr) break;
        const auto& controls = dialog->dialog_template().controls;
        for (std::size_t i = 0; i < controls.size(); ++i) {
          if (controls[i].id != a.id) continue;
          const Rect r = dialog->ControlRect(static_cast<int>(i));
          const int x = popup->bounds().left + (r.left + r.right) / 2;
          const int y = popup->bounds().top + (r.top + r.bottom) / 2;
          headless::InjectMouseMove(x, y, 0);
          headless::InjectMouseDown(x, y, kFlagLButton);
          headless::InjectMouseUp(x, y, 0);
          break;
        }
        break;
      }
      case Kind::kClick:
        headless::InjectMouseMove(a.x, a.y, 0);
        headless::InjectMouseDown(a.x, a.y, kFlagLButton);
        headless::InjectMouseUp(a.x, a.y, 0);
        break;
      case Kind::kKey:
        headless::InjectKey(a.key, a.modifiers);
        break;
      case Kind::kText:
        headless::InjectText(a.text);
        break;
    }
  }
}

}  // namespace plat

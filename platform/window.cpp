#include "platform/window.h"

#include <algorithm>
#include <cstring>

#include "platform/application.h"
#include "platform/backend.h"
#include "platform/text_encoding.h"

namespace plat {

void PaintContext::Copy(const PixelView& src, const Rect& dst, int sx, int sy) const {
  if (src.empty() || target_.empty()) return;
  Rect r = IntersectRect(dst, clip());
  // Keep the source inside its own bounds.
  r = IntersectRect(r, Rect{dst.left - sx, dst.top - sy, dst.left - sx + src.width, dst.top - sy + src.height});
  // And the target picture.
  r = IntersectRect(r, Rect{-origin_.x, -origin_.y, target_.width - origin_.x, target_.height - origin_.y});
  if (r.IsEmpty()) return;
  const int w = r.width() * 3;
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint8_t* from = src.At(sx + (r.left - dst.left), sy + (y - dst.top));
    std::memcpy(target_.At(origin_.x + r.left, origin_.y + y), from, static_cast<std::size_t>(w));
  }
}

void PaintContext::Fill(const Rect& dst, Color color) const {
  if (target_.empty()) return;
  Rect r = IntersectRect(dst, clip());
  r = IntersectRect(r, Rect{-origin_.x, -origin_.y, target_.width - origin_.x, target_.height - origin_.y});
  for (int y = r.top; y < r.bottom; ++y) {
    std::uint8_t* p = target_.At(origin_.x + r.left, origin_.y + y);
    for (int x = r.left; x < r.right; ++x, p += 3) {
      p[0] = color.b;
      p[1] = color.g;
      p[2] = color.r;
    }
  }
}

Window::Window() = default;

Window::~Window() { Destroy(); }

bool Window::CreateCommon(WindowKind kind, Window* parent, const Rect& rect, int id) {
  Application* app = Application::Current();
  if (created_ || app == nullptr || app->backend() == nullptr) return false;
  kind_ = kind;
  parent_ = parent;
  bounds_ = rect;
  id_ = id;
  invalid_.SetEmpty();
  if (kind != WindowKind::kChild) {
    const int w = std::max(0, rect.width()), h = std::max(0, rect.height());
    const int pitch = (w * 3 + 3) / 4 * 4;
    pixels_.assign(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(h), 0);
    view_ = PixelView{pixels_.data(), w, h, pitch};
  }
  if (parent_ != nullptr) parent_->children_.push_back(this);
  created_ = true;
  app->OnWindowCreated(this);
  if (OnCreate() == -1) {
    Destroy();
    return false;
  }
  Invalidate();
  return true;
}

bool Window::CreateTopLevel(std::string_view title, const Rect& bounds) {
  Application* app = Application::Current();
  if (app == nullptr || app->backend() == nullptr) return false;
  title_ = std::string(title);
  if (!app->backend()->OpenWindow(Cp932ToUtf8(title), bounds)) return false;
  return CreateCommon(WindowKind::kTopLevel, nullptr, bounds, 0);
}

bool Window::CreateChild(Window* parent, const Rect& rect, int id) {
  if (parent == nullptr || !parent->exists()) return false;
  return CreateCommon(WindowKind::kChild, parent, rect, id);
}

bool Window::CreatePopup(Window* owner, const Rect& rect) {
  Window* top = owner != nullptr ? owner->TopLevel() : nullptr;
  if (top == nullptr || !top->exists()) return false;
  return CreateCommon(WindowKind::kPopup, top, rect, 0);
}

void Window::Destroy() {
  if (!created_) return;
  created_ = false;
  OnDestroy();
  // Children go with their parent (copy: a child's Destroy edits the list).
  std::vector<Window*> children = children_;
  for (Window* c : children) c->Destroy();
  children_.clear();
  if (parent_ != nullptr) std::erase(parent_->children_, this);
  Application* app = Application::Current();
  if (app != nullptr) {
    if (kind_ == WindowKind::kTopLevel && app->backend() != nullptr) app->backend()->CloseWindow();
    app->OnWindowDestroyed(this);
  }
  if (kind_ == WindowKind::kPopup && parent_ != nullptr) parent_->Invalidate();
  parent_ = nullptr;
}

Point Window::OriginInTopLevel() const {
  Point p;
  for (const Window* w = this; w != nullptr && w->kind_ == WindowKind::kChild; w = w->parent_) {
    p.x += w->bounds_.left;
    p.y += w->bounds_.top;
  }
  return p;
}

Window* Window::TopLevel() {
  Window* w = this;
  while (w->kind_ == WindowKind::kChild && w->parent_ != nullptr) w = w->parent_;
  return w;
}

void Window::Move(const Rect& bounds) {
  Application* app = Application::Current();
  if (kind_ == WindowKind::kTopLevel && created_ && app != nullptr && app->backend() != nullptr) {
    app->backend()->MoveWindow(bounds);
    // The client picture keeps its size: the logical client area never changes.
    bounds_ = Rect{bounds.left, bounds.top, bounds.left + bounds_.width(), bounds.top + bounds_.height()};
  } else {
    if (kind_ != WindowKind::kChild && parent_ != nullptr) parent_->Invalidate();
    bounds_ = bounds;
  }
  Invalidate();
}

void Window::Show(bool visible) {
  visible_ = visible;
  Invalidate();
}

void Window::SetDecorated(bool decorated) {
  decorated_ = decorated;
  Application* app = Application::Current();
  if (kind_ == WindowKind::kTopLevel && created_ && app != nullptr && app->backend() != nullptr)
    app->backend()->SetDecorated(decorated);
}

void Window::SetTitle(std::string_view title) {
  title_ = std::string(title);
  Application* app = Application::Current();
  if (kind_ == WindowKind::kTopLevel && created_ && app != nullptr && app->backend() != nullptr)
    app->backend()->SetTitle(Cp932ToUtf8(title));
}

void Window::Invalidate(const Rect* rect) {
  if (!created_) return;
  const Rect client = ClientRect();
  const Rect r = rect == nullptr ? client : IntersectRect(*rect, client);
  invalid_ = UnionRect(invalid_, r);
}

void Window::UpdateWindow() {
  Application* app = Application::Current();
  if (app != nullptr) app->PaintWindow(this);
}

void Window::SetTimer(unsigned timer_id, unsigned period_ms) {
  if (Application* app = Application::Current(); app != nullptr && created_) app->AddTimer(this, timer_id, period_ms);
}

void Window::KillTimer(unsigned timer_id) {
  if (Application* app = Application::Current(); app != nullptr) app->RemoveTimer(this, timer_id);
}

void Window::SetCapture() {
  Application* app = Application::Current();
  if (app == nullptr || !created_) return;
  app->SetCaptureWindow(this);
}

void Window::ReleaseCapture() {
  if (Application* app = Application::Current(); app != nullptr) app->SetCaptureWindow(nullptr);
}

void Window::SetFocus() {
  Application* app = Application::Current();
  if (app == nullptr || !created_) return;
  app->SetFocusWindow(this);
  OnSetFocus();
}

void Window::PostCloseRequest() {
  if (Application* app = Application::Current(); app != nullptr) app->PostClose(TopLevel());
}

void Window::SetAccelerators(std::span<const Accelerator> table) {
  accelerators_.assign(table.begin(), table.end());
}

}  // namespace plat

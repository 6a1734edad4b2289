// Windows: one top-level frame a program, child windows inside it, and popups (dialogs) drawn
// over it. All coordinates are logical pixels. Every window paints into the pixel memory of its
// top-level window or popup; the application presents the result.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/input.h"
#include "platform/pixels.h"

namespace plat {

class Application;
class Surface;

// Handed to OnPaint: the rectangle to repaint and the operations that draw into the window.
class PaintContext {
 public:
  PaintContext(const PixelView& target, Point origin, Rect paint_rect, Rect client)
      : target_(target), origin_(origin), paint_rect_(paint_rect), client_(client) {}
  // The bounding rectangle of the area to repaint, in client coordinates.
  const Rect& paint_rect() const { return paint_rect_; }
  // Copies `src` pixels from (sx, sy) to the client rectangle `dst`, clipped to the paint
  // rectangle, the client area and the source.
  void Copy(const PixelView& src, const Rect& dst, int sx, int sy) const;
  // Fills `dst` (client coordinates), clipped like Copy.
  void Fill(const Rect& dst, Color color) const;
  // Draw target and clip for richer painting (dialogs): pixels of the whole top-level picture,
  // the client's origin in it, and the clip in client coordinates.
  const PixelView& target() const { return target_; }
  Point origin() const { return origin_; }
  Rect clip() const { return IntersectRect(paint_rect_, client_); }

 private:
  PixelView target_;
  Point origin_;
  Rect paint_rect_;
  Rect client_;
};

enum class WindowKind { kTopLevel, kChild, kPopup };

class Window {
 public:
  Window();
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The program's main window: client area `client_size`, placed at `bounds.left/top` of the
  // desktop work area. False when no window can be made (no display).
  bool CreateTopLevel(std::string_view title, const Rect& bounds);
  // A child at `rect` of the parent's client area.
  bool CreateChild(Window* parent, const Rect& rect, int id);
  // A popup above the top-level window, at `rect` of its client area (dialogs).
  bool CreatePopup(Window* owner, const Rect& rect);
  void Destroy();
  bool exists() const { return created_; }

  WindowKind kind() const { return kind_; }
  int id() const { return id_; }
  Window* parent() const { return parent_; }
  Rect bounds() const { return bounds_; }        // in the parent's client (top level: desktop)
  Rect ClientRect() const { return {0, 0, bounds_.width(), bounds_.height()}; }
  Point OriginInTopLevel() const;                 // where this client area starts in its top-level picture
  Window* TopLevel();
  const std::vector<Window*>& children_for_hit_test() const { return children_; }

  void Move(const Rect& bounds);
  void Show(bool visible);
  bool visible() const { return visible_; }
  // Top level only: caption and border shown or not.
  void SetDecorated(bool decorated);
  bool decorated() const { return decorated_; }
  void SetTitle(std::string_view title);
  const std::string& title() const { return title_; }

  // Adds `rect` (client coordinates; null: the whole client area) to the area to repaint.
  void Invalidate(const Rect* rect = nullptr);
  // Repaints at once what is invalid (the paint message delivered now).
  void UpdateWindow();

  // A message-queue timer: fires every `period_ms`; a late timer fires once, never in a burst.
  void SetTimer(unsigned timer_id, unsigned period_ms);
  void KillTimer(unsigned timer_id);

  void SetCapture();
  static void ReleaseCapture();
  void SetFocus();
  // Asks the top-level window to close, as the caption's close button does (delivered later).
  void PostCloseRequest();

  // Top level only: the keys translated to commands before the windows see them.
  void SetAccelerators(std::span<const Accelerator> table);

  // Message handlers. The defaults do what the window system's default procedure does.
  virtual int OnCreate() { return 0; }
  virtual void OnDestroy() {}
  virtual void OnPaint(PaintContext& pc) { (void)pc; }
  virtual void OnTimer(unsigned timer_id) { (void)timer_id; }
  virtual void OnMouseMove(unsigned flags, int x, int y) { (void)flags, (void)x, (void)y; }
  virtual void OnLButtonDown(unsigned flags, int x, int y) { (void)flags, (void)x, (void)y; }
  virtual void OnLButtonUp(unsigned flags, int x, int y) { (void)flags, (void)x, (void)y; }
  // True when the command was handled.
  virtual bool OnCommand(int command) { (void)command; return false; }
  // The default destroys the window.
  virtual void OnClose() { Destroy(); }
  virtual void OnSetFocus() {}
  virtual void OnKeyDown(Key key, unsigned modifiers) { (void)key, (void)modifiers; }
  virtual void OnTextInput(std::string_view cp932) { (void)cp932; }

 private:
  friend class Application;
  bool CreateCommon(WindowKind kind, Window* parent, const Rect& rect, int id);

  WindowKind kind_ = WindowKind::kChild;
  bool created_ = false;
  bool visible_ = true;
  bool decorated_ = true;
  int id_ = 0;
  Window* parent_ = nullptr;
  Rect bounds_;
  Rect invalid_;
  std::string title_;
  std::vector<Window*> children_;
  std::vector<Accelerator> accelerators_;
  // Pixels of a top-level window or popup (children draw into their top level's).
  std::vector<std::uint8_t> pixels_;
  PixelView view_;
};

}  // namespace plat

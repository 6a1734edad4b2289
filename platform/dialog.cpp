// Modal dialogs drawn inside the program's window: a popup with a caption bar, a raised frame
// and a grey body holding the template's icons, static texts, push buttons and edit controls.
#include "platform/dialog.h"

#include <algorithm>

#include "platform/application.h"
#include "platform/backend.h"
#include "platform/dialog_internal.h"
#include "platform/headless/headless.h"

namespace plat {

using namespace dialog_detail;

namespace {

constexpr int kNoControl = -1;
constexpr int kCloseBox = -2;  // "control index" of the caption's close box while it is pressed

std::vector<Dialog*>& ActiveStack() {
  static std::vector<Dialog*> stack;
  return stack;
}

// Text input (the IME) is on while any shown dialog has an edit control.
int& TextInputUsers() {
  static int users = 0;
  return users;
}

Backend* CurrentBackend() {
  Application* app = Application::Current();
  return app != nullptr ? app->backend() : nullptr;
}

void BeginTextInput() {
  if (TextInputUsers()++ == 0) {
    if (Backend* b = CurrentBackend()) b->StartTextInput();
  }
}

void EndTextInput() {
  if (TextInputUsers() > 0 && --TextInputUsers() == 0) {
    if (Backend* b = CurrentBackend()) b->StopTextInput();
  }
}

Rect Inset(const Rect& r, int d) { return {r.left + d, r.top + d, r.right - d, r.bottom - d}; }

bool IsButton(ControlType t) { return t == ControlType::kPushButton || t == ControlType::kDefaultPushButton; }

// The top-level window a dialog owned by `owner` is shown over.
Window* OwnerTopLevel(Window* owner) {
  Window* top = owner != nullptr ? owner->TopLevel() : nullptr;
  for (int guard = 0; guard < 16 && top != nullptr && top->kind() != WindowKind::kTopLevel; ++guard) {
    top = top->parent() != nullptr ? top->parent()->TopLevel() : nullptr;
  }
  return top != nullptr && top->kind() == WindowKind::kTopLevel && top->exists() ? top : nullptr;
}

}  // namespace

struct Dialog::State {
  std::unique_ptr<Font> font;
  BaseUnits bu;
  std::vector<std::string> texts;  // current text of each control
  int focus_edit = kNoControl;     // the edit control that receives typed text
  int tracking = kNoControl;       // button (or close box) pressed with the mouse
  bool pressed_over = false;       // the mouse is over the tracked button
  bool text_input = false;         // this dialog holds a share of the text input
};

Dialog::Dialog(DialogTemplate tmpl) : tmpl_(std::move(tmpl)), state_(new State) {
  state_->font = OpenDialogFont(tmpl_);
  state_->bu = ComputeBaseUnits(state_->font.get(), tmpl_);
  state_->texts.reserve(tmpl_.controls.size());
  for (const DialogControl& c : tmpl_.controls) {
    std::string text = c.text;
    if (c.type == ControlType::kEdit) {
      std::size_t limit = c.byte_limit > 0 ? std::min(c.byte_limit, kMaxEditBytes) : kMaxEditBytes;
      text.resize(FitWholeChars(text, limit));
    }
    state_->texts.push_back(std::move(text));
  }
}

Dialog::~Dialog() {
  if (exists()) Destroy();
  auto& stack = ActiveStack();
  stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
  if (state_->text_input) EndTextInput();
  delete state_;
}

Dialog* Dialog::Active() {
  auto& stack = ActiveStack();
  return stack.empty() ? nullptr : stack.back();
}

Rect Dialog::ControlRect(int index) const {
  if (index < 0 || index >= static_cast<int>(tmpl_.controls.size())) return {};
  const DialogControl& c = tmpl_.controls[static_cast<std::size_t>(index)];
  const BaseUnits& bu = state_->bu;
  int left = kClientLeft + DluToPixelsX(c.x, bu);
  int top = kClientTop + DluToPixelsY(c.y, bu);
  if (c.type == ControlType::kIcon) return {left, top, left + kIconSize, top + kIconSize};
  return {left, top, kClientLeft + DluToPixelsX(c.x + c.cx, bu), kClientTop + DluToPixelsY(c.y + c.cy, bu)};
}

std::string Dialog::GetItemText(int id) const {
  for (std::size_t i = 0; i < tmpl_.controls.size(); ++i) {
    if (tmpl_.controls[i].id == id) return state_->texts[i];
  }
  return {};
}

void Dialog::SetItemText(int id, std::string_view cp932) {
  for (std::size_t i = 0; i < tmpl_.controls.size(); ++i) {
    const DialogControl& c = tmpl_.controls[i];
    if (c.id != id) continue;
    std::size_t n = cp932.size();
    if (c.type == ControlType::kEdit) {
      std::size_t limit = c.byte_limit > 0 ? std::min(c.byte_limit, kMaxEditBytes) : kMaxEditBytes;
      n = FitWholeChars(cp932, limit);
    }
    state_->texts[i].assign(cp932.substr(0, n));
    if (exists()) Invalidate();
    return;
  }
}

int Dialog::DoModal(Window* owner) {
  Application* app = Application::Current();
  if (app == nullptr || exists()) return -1;
  Window* top = OwnerTopLevel(owner != nullptr ? owner : app->main_window());
  if (top == nullptr) top = OwnerTopLevel(app->main_window());
  if (top == nullptr) return -1;

  const BaseUnits& bu = state_->bu;
  int w = DluToPixelsX(tmpl_.cx, bu) + kExtraWidth;
  int h = DluToPixelsY(tmpl_.cy, bu) + kExtraHeight;
  w = std::max(w, kExtraWidth + kCloseBoxWidth + 8);
  h = std::max(h, kExtraHeight);
  Rect area = top->ClientRect();
  int left = std::max(0, (area.width() - w) / 2);
  int y = std::max(0, (area.height() - h) / 2);

  ended_ = false;
  result_ = -1;
  state_->tracking = kNoControl;
  state_->pressed_over = false;
  state_->focus_edit = kNoControl;
  for (std::size_t i = 0; i < tmpl_.controls.size(); ++i) {
    if (tmpl_.controls[i].type == ControlType::kEdit) {
      state_->focus_edit = static_cast<int>(i);
      break;
    }
  }
  if (!CreatePopup(top, {left, y, left + w, y + h})) return -1;
  // A window below that holds the mouse (a dialog opened by a button release, say) gives it up,
  // so the dialog's own buttons receive the clicks.
  ReleaseCapture();

  ActiveStack().push_back(this);
  if (state_->focus_edit != kNoControl) {
    state_->text_input = true;
    BeginTextInput();
  }
  if (app->headless()) {
    // Tests read what was shown: the caption, the static texts and the buttons' ids.
    headless::ShownDialog shown;
    shown.caption = tmpl_.caption;
    for (std::size_t i = 0; i < tmpl_.controls.size(); ++i) {
      const DialogControl& c = tmpl_.controls[i];
      if (c.type == ControlType::kStatic) shown.texts.push_back(state_->texts[i]);
      if (IsButton(c.type)) shown.buttons.push_back(c.id);
    }
    headless::RecordDialogShown(std::move(shown));
  }
  Invalidate();
  app->RunModal(this);

  auto& stack = ActiveStack();
  stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
  if (state_->text_input) {
    state_->text_input = false;
    EndTextInput();
  }
  if (exists()) Destroy();
  // A popup that went away without a button (the program is quitting) counts as cancelled.
  return ended_ ? result_ : kIdCancel;
}

void Dialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  state_->tracking = kNoControl;
  state_->pressed_over = false;
  Application* app = Application::Current();
  if (app != nullptr && app->capture_window() == this) ReleaseCapture();
  if (exists()) Destroy();
}

// ---- Painting ----------------------------------------------------------------------------

namespace {

Rect CloseBoxRect(int width) {
  int right = width - kFrame - 2;
  return {right - kCloseBoxWidth, kFrame + 2, right, kFrame + 2 + kCloseBoxHeight};
}

// A push button's face: raised, or sunken while pressed; the default button has a black rim.
void DrawButton(const Canvas& c, const Font* font, Rect r, std::string_view text, bool is_default,
                bool pressed, bool focused) {
  if (r.IsEmpty()) return;
  const Rect face = r;
  c.Fill(r, kFace);
  if (is_default || pressed) {
    c.Edge(r, kBlack, kBlack);
    r = Inset(r, 1);
  }
  if (pressed) {
    c.Edge(r, kShadow, kShadow);
  } else {
    c.Edge(r, kHighlight, kDarkShadow);
    c.Edge(Inset(r, 1), kFace, kShadow);
  }
  int fh = font != nullptr ? font->height() : 12;
  int shift = pressed ? 1 : 0;
  int tx = face.left + (face.width() - TextWidth(font, text)) / 2 + shift;
  int ty = face.top + (face.height() - fh) / 2 + shift;
  c.Text(font, tx, ty, text, kBlack, Inset(face, 2));
  if (focused) c.DottedFrame(Inset(face, 3), kBlack);
}

}  // namespace

void Dialog::OnPaint(PaintContext& pc) {
  const Canvas c(pc.target(), pc.clip(), pc.origin());
  const Font* font = state_->font.get();
  const int fh = font != nullptr ? font->height() : 12;
  const Rect all = ClientRect();
  const int w = all.width(), h = all.height();

  // Body and the raised frame.
  c.Fill(all, kFace);
  c.Edge(all, kFace, kDarkShadow);
  c.Edge(Inset(all, 1), kHighlight, kShadow);

  // Caption bar with the title and the close box.
  const Rect bar{kFrame, kFrame, w - kFrame, kFrame + kCaptionHeight};
  c.Fill(bar, kCaption);
  const Rect box = CloseBoxRect(w);
  Rect title_clip = bar;
  if (tmpl_.close_box) title_clip.right = box.left - 2;
  c.Text(font, bar.left + 3, bar.top + (kCaptionHeight - fh) / 2, tmpl_.caption, kCaptionText, title_clip);
  if (tmpl_.close_box) {
    bool pressed = state_->tracking == kCloseBox && state_->pressed_over;
    c.Fill(box, kFace);
    if (pressed) {
      c.Edge(box, kDarkShadow, kHighlight);
      c.Edge(Inset(box, 1), kShadow, kFace);
    } else {
      c.Edge(box, kHighlight, kDarkShadow);
      c.Edge(Inset(box, 1), kFace, kShadow);
    }
    int shift = pressed ? 1 : 0;
    DrawCloseGlyph(c, box.left + 4 + shift, box.top + 3 + shift, kBlack);
  }

  // Controls, clipped to the client area below the caption.
  const Canvas body = c.Narrow({kClientLeft, kClientTop, w - kFrame, h - kFrame});
  for (std::size_t i = 0; i < tmpl_.controls.size(); ++i) {
    const DialogControl& ctl = tmpl_.controls[i];
    const std::string& text = state_->texts[i];
    const Rect r = ControlRect(static_cast<int>(i));
    const int index = static_cast<int>(i);
    switch (ctl.type) {
      case ControlType::kIcon:
        if (ctl.icon == DialogIcon::kStop) DrawStopIcon(body, r.left, r.top);
        else if (ctl.icon == DialogIcon::kQuestion) DrawQuestionIcon(body, r.left, r.top);
        else if (ctl.icon == DialogIcon::kApplication) DrawApplicationIcon(body, r.left, r.top);
        break;
      case ControlType::kStatic: {
        std::vector<std::string> lines = BreakLines(font, text, r.width());
        int y = r.top;
        for (const std::string& line : lines) {
          if (y >= r.bottom) break;
          body.Text(font, r.left, y, line, kBlack, r);
          y += fh;
        }
        break;
      }
      case ControlType::kPushButton:
      case ControlType::kDefaultPushButton: {
        bool is_default = ctl.type == ControlType::kDefaultPushButton;
        bool pressed = state_->tracking == index && state_->pressed_over;
        // The default button shows the focus while no edit control has it.
        bool focused = is_default && state_->focus_edit == kNoControl;
        DrawButton(body, font, r, text, is_default, pressed, focused);
        break;
      }
      case ControlType::kEdit: {
        if (r.IsEmpty()) break;
        body.Edge(r, kShadow, kHighlight);
        body.Edge(Inset(r, 1), kDarkShadow, kFace);
        const Rect inner = Inset(r, 2);
        body.Fill(inner, kWhite);
        int tw = TextWidth(font, text);
        int tx = inner.left + 2;
        int ty = inner.top + std::max(0, (inner.height() - fh) / 2);
        // Long text scrolls left so that its end and the caret stay visible.
        int room = inner.width() - 5;
        if (tw > room) tx -= tw - room;
        body.Text(font, tx, ty, text, kBlack, inner);
        if (state_->focus_edit == index) {
          body.Narrow(inner).VLine(tx + tw, ty, std::min(ty + fh, inner.bottom), kBlack);
        }
        break;
      }
    }
  }
}

// ---- Input -------------------------------------------------------------------------------

namespace {

// The button or edit control under (x, y), the close box, or none.
int HitTest(const Dialog& d, const DialogTemplate& t, int x, int y) {
  if (t.close_box && CloseBoxRect(d.ClientRect().width()).Contains(x, y)) return kCloseBox;
  for (std::size_t i = t.controls.size(); i-- > 0;) {
    ControlType type = t.controls[i].type;
    if (!IsButton(type) && type != ControlType::kEdit) continue;
    if (d.ControlRect(static_cast<int>(i)).Contains(x, y)) return static_cast<int>(i);
  }
  return kNoControl;
}

bool CanCancel(const DialogTemplate& t) {
  if (t.close_box) return true;
  return std::any_of(t.controls.begin(), t.controls.end(),
                     [](const DialogControl& c) { return IsButton(c.type) && c.id == kIdCancel; });
}

}  // namespace

void Dialog::OnLButtonDown(unsigned flags, int x, int y) {
  (void)flags;
  if (ended_) return;
  int hit = HitTest(*this, tmpl_, x, y);
  if (hit == kCloseBox || (hit >= 0 && IsButton(tmpl_.controls[static_cast<std::size_t>(hit)].type))) {
    state_->tracking = hit;
    state_->pressed_over = true;
    SetCapture();
    Invalidate();
  } else if (hit >= 0) {
    state_->focus_edit = hit;
    Invalidate();
  }
}

void Dialog::OnMouseMove(unsigned flags, int x, int y) {
  if (state_->tracking == kNoControl) return;
  if ((flags & kFlagLButton) == 0) {
    // The button was released where we could not see it: the press is void.
    state_->tracking = kNoControl;
    state_->pressed_over = false;
    ReleaseCapture();
    Invalidate();
    return;
  }
  bool over = HitTest(*this, tmpl_, x, y) == state_->tracking;
  if (over != state_->pressed_over) {
    state_->pressed_over = over;
    Invalidate();
  }
}

void Dialog::OnLButtonUp(unsigned flags, int x, int y) {
  (void)flags;
  int tracked = state_->tracking;
  if (tracked == kNoControl) return;
  bool over = HitTest(*this, tmpl_, x, y) == tracked;
  state_->tracking = kNoControl;
  state_->pressed_over = false;
  ReleaseCapture();
  Invalidate();
  if (!over || ended_) return;
  if (tracked == kCloseBox) EndDialog(kIdCancel);
  else EndDialog(tmpl_.controls[static_cast<std::size_t>(tracked)].id);
}

void Dialog::OnKeyDown(Key key, unsigned modifiers) {
  (void)modifiers;
  if (ended_) return;
  switch (key) {
    case Key::kReturn: {
      const DialogControl* ok = nullptr;
      for (const DialogControl& c : tmpl_.controls) {
        if (c.type == ControlType::kDefaultPushButton) {
          ok = &c;
          break;
        }
        if (ok == nullptr && c.type == ControlType::kPushButton && c.id == kIdOk) ok = &c;
      }
      if (ok != nullptr) EndDialog(ok->id);
      break;
    }
    case Key::kEscape:
      if (CanCancel(tmpl_)) EndDialog(kIdCancel);
      break;
    case Key::kBackspace: {
      if (state_->focus_edit == kNoControl) break;
      std::string& text = state_->texts[static_cast<std::size_t>(state_->focus_edit)];
      if (text.empty()) break;
      text.resize(LastCharStart(text));
      Invalidate();
      break;
    }
    case Key::kTab: {
      // Moves the typing focus to the next edit control.
      if (state_->focus_edit == kNoControl) break;
      int n = static_cast<int>(tmpl_.controls.size());
      for (int k = 1; k < n; ++k) {
        int i = (state_->focus_edit + k) % n;
        if (tmpl_.controls[static_cast<std::size_t>(i)].type == ControlType::kEdit) {
          state_->focus_edit = i;
          Invalidate();
          break;
        }
      }
      break;
    }
    default:
      break;
  }
}

void Dialog::OnTextInput(std::string_view cp932) {
  if (ended_ || state_->focus_edit == kNoControl) return;
  const DialogControl& c = tmpl_.controls[static_cast<std::size_t>(state_->focus_edit)];
  std::string& text = state_->texts[static_cast<std::size_t>(state_->focus_edit)];
  std::size_t limit = c.byte_limit > 0 ? std::min(c.byte_limit, kMaxEditBytes) : kMaxEditBytes;
  bool changed = false;
  std::size_t i = 0;
  while (i < cp932.size()) {
    std::size_t n = CharLength(cp932, i);
    if (n == 0) break;  // a lead byte without its trail byte
    auto first = static_cast<std::uint8_t>(cp932[i]);
    if (n == 1 && (first < 0x20 || first == 0x7F || first == 0x80 || first >= 0xFD)) {
      i += n;  // control characters and bytes that are no character are not typed
      continue;
    }
    // Typing stops at the first character that would pass the limit.
    if (text.size() + n > limit) break;
    text.append(cp932.substr(i, n));
    changed = true;
    i += n;
  }
  if (changed) Invalidate();
}

void Dialog::OnClose() {
  if (!ended_ && CanCancel(tmpl_)) EndDialog(kIdCancel);
}

}  // namespace plat

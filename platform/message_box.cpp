// Message boxes: a dialog template laid out from the measured text (an icon at the left, the
// lines of text beside it, the buttons centred under both), shown with Dialog::DoModal.
#include <algorithm>
#include <cstdio>

#include "platform/application.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/dialog_internal.h"
#include "platform/text_encoding.h"

namespace plat {

using namespace dialog_detail;

namespace {

// Layout in dialog units.
constexpr int kMargin = 7;
constexpr int kIconGap = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kButtonsTop = 7;   // space between the text and the buttons
constexpr int kMinWidth = 80;
// A line of text wider than this (pixels) breaks, so the box fits the 640-pixel window.
constexpr int kMaxTextWidth = 520;
// Longer texts are cut (at a whole character).
constexpr std::size_t kMaxTextBytes = 4096;
constexpr std::size_t kMaxCaptionBytes = 256;

struct BoxButton {
  const char* label;
  int id;
};

std::vector<BoxButton> ButtonsFor(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::kOkCancel: return {{"OK", kIdOk}, {"キャンセル", kIdCancel}};
    case MessageBoxButtons::kYesNo: return {{"はい", kIdYes}, {"いいえ", kIdNo}};
    case MessageBoxButtons::kOk: break;
  }
  return {{"OK", kIdOk}};
}

DialogTemplate BuildMessageBox(std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                               DialogIcon icon) {
  DialogTemplate t;
  t.caption.assign(caption.substr(0, FitWholeChars(caption, kMaxCaptionBytes)));
  t.font_face = "ＭＳ Ｐゴシック";
  t.font_points = 9;
  // A Yes/No question must be answered: no close box, so no Cancel.
  t.close_box = buttons != MessageBoxButtons::kYesNo;

  std::unique_ptr<Font> font = OpenDialogFont(t);
  const BaseUnits bu = ComputeBaseUnits(font.get(), t);
  const int line_height = font != nullptr ? font->height() : bu.y;

  text = text.substr(0, FitWholeChars(text, kMaxTextBytes));
  std::vector<std::string> lines = BreakLines(font.get(), text, kMaxTextWidth);
  int text_px_w = 0;
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text_px_w = std::max(text_px_w, TextWidth(font.get(), lines[i]));
    if (i > 0) joined += '\n';
    joined += lines[i];
  }
  const int text_px_h = static_cast<int>(lines.size()) * line_height;

  const bool has_icon = icon != DialogIcon::kNone;
  const int icon_w = PixelsToDluX(kIconSize, bu), icon_h = PixelsToDluY(kIconSize, bu);
  const int text_x = kMargin + (has_icon ? icon_w + kIconGap : 0);
  const int text_cx = PixelsToDluX(text_px_w, bu) + 1;
  const int text_cy = PixelsToDluY(text_px_h, bu);
  const int text_y = kMargin + (has_icon && text_cy < icon_h ? (icon_h - text_cy) / 2 : 0);
  const int content_bottom = std::max(has_icon ? kMargin + icon_h : 0, text_y + text_cy);

  const std::vector<BoxButton> box_buttons = ButtonsFor(buttons);
  const int n = static_cast<int>(box_buttons.size());
  const int buttons_w = n * kButtonWidth + (n - 1) * kButtonGap;
  const int caption_px = TextWidth(font.get(), t.caption) + 3 + kCloseBoxWidth + 16;

  t.cx = std::max({text_x + text_cx + kMargin, buttons_w + 2 * kMargin, PixelsToDluX(caption_px, bu), kMinWidth});
  const int buttons_y = content_bottom + kButtonsTop;
  t.cy = buttons_y + kButtonHeight + kMargin;

  if (has_icon) {
    DialogControl c;
    c.type = ControlType::kIcon;
    c.x = kMargin;
    c.y = kMargin;
    c.cx = icon_w;
    c.cy = icon_h;
    c.icon = icon;
    t.controls.push_back(c);
  }
  DialogControl label;
  label.type = ControlType::kStatic;
  label.x = text_x;
  label.y = text_y;
  label.cx = text_cx;
  label.cy = text_cy;
  label.text = std::move(joined);
  t.controls.push_back(std::move(label));

  int x = (t.cx - buttons_w) / 2;
  for (int i = 0; i < n; ++i) {
    DialogControl b;
    b.type = i == 0 ? ControlType::kDefaultPushButton : ControlType::kPushButton;
    b.id = box_buttons[static_cast<std::size_t>(i)].id;
    b.x = x;
    b.y = buttons_y;
    b.cx = kButtonWidth;
    b.cy = kButtonHeight;
    b.text = box_buttons[static_cast<std::size_t>(i)].label;
    t.controls.push_back(std::move(b));
    x += kButtonWidth + kButtonGap;
  }
  return t;
}

}  // namespace

int ShowMessageBox(Window* owner, std::string_view text, std::string_view caption, MessageBoxButtons buttons,
                   DialogIcon icon) {
  // Before the program has a window there is nothing to draw the box in: the platform's
  // start-up box shows it instead (a native box, or stderr when headless).
  Application* app = Application::Current();
  if (app == nullptr || app->backend() == nullptr) {
    ShowStartupError(Cp932ToUtf8(caption), Cp932ToUtf8(text));
    return kIdOk;
  }
  if (owner == nullptr || !owner->exists()) owner = app->main_window();
  if (owner == nullptr || !owner->exists()) {
    ShowStartupError(Cp932ToUtf8(caption), Cp932ToUtf8(text));
    return kIdOk;
  }

  Dialog box(BuildMessageBox(text, caption, buttons, icon));
  int result = box.DoModal(owner);
  switch (buttons) {
    case MessageBoxButtons::kOk:
      return kIdOk;  // closing a box that only informs is its OK
    case MessageBoxButtons::kOkCancel:
      return result == kIdOk ? kIdOk : kIdCancel;
    case MessageBoxButtons::kYesNo:
      return result == kIdYes ? kIdYes : kIdNo;
  }
  return kIdOk;
}

}  // namespace plat

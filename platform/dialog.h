// Dialogs drawn inside the program's window: built from templates in dialog units, with a
// caption bar, icons, static texts, push buttons and an edit control, in the Japanese fonts.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/pixels.h"
#include "platform/window.h"

namespace plat {

enum class DialogIcon { kNone, kApplication, kStop, kQuestion };

enum class ControlType { kIcon, kStatic, kPushButton, kDefaultPushButton, kEdit };

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

struct DialogControl {
  ControlType type = ControlType::kStatic;
  int id = -1;
  int x = 0, y = 0, cx = 0, cy = 0;   // dialog units
  std::string text;                   // CP932
  DialogIcon icon = DialogIcon::kNone;
  int byte_limit = 0;                 // edit: CP932 bytes at most (0: no limit)
};

struct DialogTemplate {
  int cx = 0, cy = 0;                 // client size in dialog units
  std::string caption;                // CP932
  std::string font_face;              // CP932, e.g. "ＭＳ Ｐゴシック"
  int font_points = 9;
  bool close_box = true;              // the caption's close button (acts as Cancel)
  std::vector<DialogControl> controls;
};

// The application icon that dialogs show for DialogIcon::kApplication (32 × 32).
void SetApplicationIcon(const PixelView& icon);

class Dialog : public Window {
 public:
  explicit Dialog(DialogTemplate tmpl);
  ~Dialog() override;

  // Shows the dialog centred over `owner`'s top-level window and runs a modal loop until a
  // button ends it. Returns the button's id (Cancel for the close box and Escape), or -1 when the
  // dialog could not be shown.
  int DoModal(Window* owner);
  // Ends the modal loop with `result`.
  void EndDialog(int result);

  // The edit control's text (CP932) by control id; set before DoModal to preset it.
  std::string GetItemText(int id) const;
  void SetItemText(int id, std::string_view cp932);

  const DialogTemplate& dialog_template() const { return tmpl_; }
  // Rectangle (pixels) of control `index` in this popup window's coordinates (the popup's
  // origin is the top-left of its frame, above the caption bar), for tests and hit-testing.
  Rect ControlRect(int index) const;
  // The dialog currently shown modally (innermost), or null.
  static Dialog* Active();

 protected:
  void OnPaint(PaintContext& pc) override;
  void OnMouseMove(unsigned flags, int x, int y) override;
  void OnLButtonDown(unsigned flags, int x, int y) override;
  void OnLButtonUp(unsigned flags, int x, int y) override;
  void OnKeyDown(Key key, unsigned modifiers) override;
  void OnTextInput(std::string_view cp932) override;
  void OnClose() override;

 private:
  struct State;
  DialogTemplate tmpl_;
  State* state_ = nullptr;
  int result_ = -1;
  bool ended_ = false;
};

enum class MessageBoxButtons { kOk, kOkCancel, kYesNo };

// A modal message box over `owner` (null: the main window; before any window exists, a native
// box). Returns kIdOk, kIdCancel, kIdYes or kIdNo.
int ShowMessageBox(Window* owner, std::string_view text, std::string_view caption,
                   MessageBoxButtons buttons, DialogIcon icon);

}  // namespace plat

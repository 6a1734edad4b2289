#include "resources/game_resources.h"

#include <array>
#include <cstdint>
#include <cstring>

const char* AppTitle() { return "Velmora"; }

std::span<const plat::Accelerator> MainFrameAccelerators() {
  using plat::Key;
  static constexpr plat::Accelerator kTable[] = {
      {Key::kF1, 0, ID_KEY_F1},  {Key::kF10, 0, ID_KEY_F10},          {Key::kF2, 0, ID_KEY_F2},
      {Key::kF3, 0, ID_KEY_F3},  {Key::kF4, 0, ID_KEY_F4},            {Key::kF4, plat::kModAlt, ID_APP_QUIT},
      {Key::kF5, 0, ID_KEY_F5},  {Key::kF6, 0, ID_KEY_F6},            {Key::kF7, 0, ID_KEY_F7},
      {Key::kF8, 0, ID_KEY_F8},  {Key::kF9, 0, ID_KEY_F9},
  };
  return kTable;
}

namespace {

plat::DialogControl Control(plat::ControlType type, int id, int x, int y, int cx, int cy, const char* text,
                            plat::DialogIcon icon = plat::DialogIcon::kNone, int limit = 0) {
  plat::DialogControl c;
  c.type = type;
  c.id = id;
  c.x = x, c.y = y, c.cx = cx, c.cy = cy;
  c.text = text;
  c.icon = icon;
  c.byte_limit = limit;
  return c;
}

}  // namespace

plat::DialogTemplate LoadDialogTemplate(int id) {
  using plat::ControlType;
  plat::DialogTemplate t;
  t.font_face = "ＭＳ Ｐゴシック";
  t.font_points = 9;
  if (id == IDD_QUIT) {
    t.cx = 187;
    t.cy = 93;
    t.caption = "Velmoraの終了";
    t.close_box = true;
    t.controls = {
        Control(ControlType::kIcon, -1, 28, 23, 21, 20, "", plat::DialogIcon::kApplication),
        Control(ControlType::kStatic, -1, 95, 22, 80, 8, "Velmoraを終了します。"),
        Control(ControlType::kStatic, -1, 95, 35, 80, 8, "よろしいですか？"),
        Control(ControlType::kDefaultPushButton, plat::kIdOk, 41, 72, 50, 14, "OK"),
        Control(ControlType::kPushButton, plat::kIdCancel, 96, 72, 50, 14, "ｹﾞｰﾑに戻る"),
    };
  } else if (id == IDD_NAME_ENTRY) {
    t.cx = 247;
    t.cy = 87;
    t.caption = "名前登録";
    t.close_box = false;
    t.controls = {
        Control(ControlType::kIcon, -1, 7, 7, 21, 20, "", plat::DialogIcon::kApplication),
        Control(ControlType::kStatic, -1, 29, 7, 211, 8,
                "このたびは、PETALPOSTをお買いあげいただき、ありがとうございました。"),
        Control(ControlType::kStatic, -1, 29, 20, 98, 8, "あなたの名前を入力してください。"),
        Control(ControlType::kEdit, IDC_NAME_EDIT, 64, 35, 57, 14, "", plat::DialogIcon::kNone, 12),
        Control(ControlType::kStatic, -1, 127, 37, 54, 8, "※全角６文字以内"),
        Control(ControlType::kDefaultPushButton, plat::kIdOk, 70, 65, 50, 14, "OK"),
        Control(ControlType::kPushButton, plat::kIdCancel, 125, 65, 50, 14, "ｷｬﾝｾﾙ"),
    };
  } else {
    return plat::DialogTemplate{};
  }
  return t;
}

namespace {

// The icon as a picture: a rose-coloured letter with a heart seal on the dialog's grey.
constexpr const char* kIconArt[32] = {
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "..kwwwwwwwwwwwwwwwwwwwwwwwwwwk..",
    "..kpwwwwwwwwwwwwwwwwwwwwwwwwpk..",
    "..kwpwwwwwwwwwwwwwwwwwwwwwwpwk..",
    "..kwwpwwwwwwwwwwwwwwwwwwwwpwwk..",
    "..kwwwpwwwwwwwwwwwwwwwwwwpwwwk..",
    "..kwwwwpwwwwwwwwwwwwwwwwpwwwwk..",
    "..kwwwwwpwwwwwwwwwwwwwwpwwwwwk..",
    "..kwwwwwwpwwwwwwwwwwwwpwwwwwwk..",
    "..kwwwwwwwpwwwrrwrrwwpwwwwwwwk..",
    "..kwwwwwwwwpwrrrrrrrpwwwwwwwwk..",
    "..kwwwwwwwwwprrrrrrrwwwwwwwwwk..",
    "..kwwwwwwwwwwrrrrrrrwwwwwwwwwk..",
    "..kwwwwwwwwwwwrrrrrwwwwwwwwwwk..",
    "..kwwwwwwwwwwwwrrrwwwwwwwwwwwk..",
    "..kwwwwwwwwwwwwwrwwwwwwwwwwwwk..",
    "..kwwwwwwwwwwwwwwwwwwwwwwwwwwk..",
    "..kwwwwwwwwwwwwwwwwwwwwwwwwwwk..",
    "..kwwwwwwwwwwwwwwwwwwwwwwwwwwk..",
    "..kwwwwwwwwwwwwwwwwwwwwwwwwwwk..",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
};

struct IconPixels {
  std::array<std::uint8_t, 32 * 32 * 3> bits{};
  IconPixels() {
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        plat::Color c{212, 208, 200};
        switch (kIconArt[y][x]) {
          case 'k': c = {96, 32, 64}; break;
          case 'w': c = {255, 244, 248}; break;
          case 'p': c = {224, 128, 168}; break;
          case 'r': c = {208, 24, 72}; break;
          default: break;
        }
        std::uint8_t* p = &bits[static_cast<std::size_t>((31 - y) * 96 + x * 3)];
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
      }
    }
  }
};

}  // namespace

plat::PixelView ApplicationIcon() {
  static IconPixels icon;
  return plat::PixelView{icon.bits.data(), 32, 32, 96};
}

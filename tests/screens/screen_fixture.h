// A headless game whose sheets are small pictures of flat colours, so a test can tell by one
// pixel which face a button shows.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "app/game_view.h"
#include "graphics/dib_surface.h"
#include "platform/bmp_codec.h"
#include "platform/headless/headless.h"
#include "tests/script/script_fixture.h"

inline plat::Color PixelOf(const CDibSurface& s, int x, int y) {
  const std::uint8_t* p = s.View().At(x, y);
  return plat::Color{p[2], p[1], p[0]};
}

namespace plat {
inline bool operator==(Color a, Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline std::ostream& operator<<(std::ostream& os, Color c) {
  return os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}
}  // namespace plat

class ScreenFolderTest : public ScriptFolderTest {
 protected:
  // Writes misc/<name>.bmp of the given size, grey, with rectangles filled in given colours.
  struct Block {
    plat::Rect rect;
    plat::Color color;
  };
  void WriteSheet(const std::string& name, int w, int h, std::initializer_list<Block> blocks) {
    CDibSurface s;
    s.Create(w, h);
    s.Fill(plat::Rect{0, 0, w, h}, plat::Color{128, 128, 128});
    for (const Block& b : blocks) s.Fill(b.rect, b.color);
    fs::create_directories(game_ / "misc");
    ASSERT_TRUE(plat::WriteBmp24((game_ / "misc" / (name + ".bmp")).string(), s.View()));
  }
  static void Click(int x, int y) {
    plat::headless::InjectMouseMove(x, y);
    plat::headless::InjectMouseDown(x, y);
    plat::headless::InjectMouseUp(x, y);
    plat::headless::Advance(1);
  }
  static void Move(int x, int y) {
    plat::headless::InjectMouseMove(x, y);
    plat::headless::Advance(1);
  }
};

inline constexpr plat::Color kHoverColor{250, 40, 40};
inline constexpr plat::Color kPressColor{40, 40, 250};
inline constexpr plat::Color kOffColor{40, 200, 40};
inline constexpr plat::Color kGreenKey{0, 255, 0};

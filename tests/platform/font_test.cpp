// Font lookup, advances and monochrome, clipped glyph drawing into bottom-up BGR pixel memory.
#include "platform/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {
namespace {

constexpr Color kGreen{0, 255, 0};
constexpr Color kInk{0x12, 0x34, 0x56};

// Pixel memory filled with green, with row padding so writes past a row's end show up.
struct Canvas {
  Canvas(int w, int h) : width(w), height(h), pitch((w * 3 + 4 + 3) / 4 * 4) {
    bytes.assign(static_cast<std::size_t>(pitch) * h, 0xEE);  // padding keeps 0xEE
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Set(x, y, kGreen);
  }
  PixelView view() { return PixelView{bytes.data(), width, height, pitch}; }
  void Set(int x, int y, Color c) {
    std::uint8_t* p = view().At(x, y);
    p[0] = c.b, p[1] = c.g, p[2] = c.r;
  }
  bool Is(int x, int y, Color c) {
    const std::uint8_t* p = view().At(x, y);
    return p[0] == c.b && p[1] == c.g && p[2] == c.r;
  }
  bool PaddingIntact() const {
    for (int y = 0; y < height; ++y)
      for (int i = width * 3; i < pitch; ++i)
        if (bytes[static_cast<std::size_t>(y) * pitch + i] != 0xEE) return false;
    return true;
  }
  int width, height, pitch;
  std::vector<std::uint8_t> bytes;
};

std::unique_ptr<Font> OpenGothic(int height) { return Font::Open("ＭＳ ゴシック", height, FontPitch::kFixed); }

TEST(FontTest, AdvancesOfHalfAndFullWidthText) {
  struct Case {
    int height;
    const char* text;
    int advance;
  } const cases[] = {
      {16, "A", 8},        {16, "あ", 16},         {16, "Ag漢字", 8 + 8 + 16 + 16},
      {14, "A", 7},        {14, "あ", 14},         {14, "Ag漢字", 7 + 7 + 14 + 14},
      {16, "ｱｲｳ", 24},  // half-width katakana are single CP932 bytes
      {16, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.height << " px, \"" << c.text << "\"");
    auto font = OpenGothic(c.height);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->height(), c.height);
    EXPECT_EQ(font->Measure(c.text), c.advance);
    Canvas canvas(80, 20);
    EXPECT_EQ(font->Draw(canvas.view(), 0, 0, c.text, kInk), c.advance);
    if (c.advance == 0) {
      EXPECT_EQ(canvas.bytes, Canvas(80, 20).bytes);
    }
  }
}

// A fixed face gives "i" and "W" the same advance; a proportional one does not.
bool LooksFixed(const Font& font) { return font.Measure("iiii") == font.Measure("WWWW"); }

TEST(FontTest, FaceLookupAndFallback) {
  struct Case {
    const char* face;
    FontPitch pitch;
    bool fixed;
  } const cases[] = {
      {"ＭＳ ゴシック", FontPitch::kFixed, true},
      {"ＭＳ Ｐゴシック", FontPitch::kVariable, false},
      {"No Such Face 9f3c", FontPitch::kFixed, true},
      {"No Such Face 9f3c", FontPitch::kVariable, false},
      {"", FontPitch::kFixed, true},
      {"\x81\xFF\x82", FontPitch::kVariable, false},  // not valid CP932
      // Installed faces are used as named, whatever pitch the caller expects, under any of
      // their family names.
      {"IPAGothic", FontPitch::kVariable, true},
      {"IPAゴシック", FontPitch::kVariable, true},
      {"IPAPGothic", FontPitch::kFixed, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    auto font = Font::Open(c.face, 16, c.pitch);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(LooksFixed(*font), c.fixed);
    if (c.fixed) {
      EXPECT_EQ(font->Measure("Wあ"), 24);
    }
  }
}

TEST(FontTest, RefusesUnusableCellHeights) {
  for (int height : {0, -16, INT_MIN, 100000}) {
    EXPECT_EQ(OpenGothic(height), nullptr) << height;
  }
}

TEST(FontTest, DrawsOnlyExactInkAndLeavesBackground) {
  auto font = OpenGothic(16);
  ASSERT_NE(font, nullptr);
  Canvas canvas(100, 24);
  font->Draw(canvas.view(), 2, 3, "漢字あAg＠", kInk);
  int ink = 0;
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      if (canvas.Is(x, y, kInk)) {
        ++ink;
      } else {
        ASSERT_TRUE(canvas.Is(x, y, kGreen)) << "blended or stray pixel at " << x << "," << y;
      }
    }
  }
  EXPECT_GT(ink, 100);
  EXPECT_TRUE(canvas.PaddingIntact());
}

// The box-drawing lines span the whole cell: they show where the cell lands and that rows
// are counted from the top of the bottom-up memory.
TEST(FontTest, CellTopLeftIsTheDrawPosition) {
  struct Case {
    int height;
    const char* text;
    int x0, x1, y0, y1;  // expected bounding box of the ink relative to the cell, inclusive
  } const cases[] = {
      {16, "│", -1, -1, 0, 15},  // columns vary with the glyph design; rows fill the cell
      {14, "│", -1, -1, 0, 13},
      {16, "─", 0, 15, -1, -1},
      {14, "─", 0, 13, -1, -1},
  };
  const int cx = 5, cy = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.height << " px " << (c.y0 >= 0 ? "vertical" : "horizontal"));
    auto font = OpenGothic(c.height);
    ASSERT_NE(font, nullptr);
    Canvas canvas(32, 24);
    font->Draw(canvas.view(), cx, cy, c.text, kInk);
    int x0 = INT_MAX, x1 = INT_MIN, y0 = INT_MAX, y1 = INT_MIN;
    for (int y = 0; y < canvas.height; ++y) {
      for (int x = 0; x < canvas.width; ++x) {
        if (!canvas.Is(x, y, kInk)) continue;
        x0 = std::min(x0, x - cx), x1 = std::max(x1, x - cx);
        y0 = std::min(y0, y - cy), y1 = std::max(y1, y - cy);
      }
    }
    ASSERT_NE(x0, INT_MAX) << "nothing drawn";
    EXPECT_GE(x0, 0);
    EXPECT_LT(x1, c.height);
    EXPECT_GE(y0, 0);
    EXPECT_LT(y1, c.height);
    if (c.x0 >= 0) {
      EXPECT_EQ(x0, c.x0);
      EXPECT_EQ(x1, c.x1);
    }
    if (c.y0 >= 0) {
      EXPECT_EQ(y0, c.y0);
      EXPECT_EQ(y1, c.y1);
    }
  }
}

// Drawing into a small view must give exactly the part of an unclipped drawing that falls
// inside it; the small view's memory is exactly its size, so any overrun trips the sanitizer.
TEST(FontTest, ClipsAtEveryEdge) {
  auto font = OpenGothic(16);
  ASSERT_NE(font, nullptr);
  const std::string_view text = "漢Ag字";
  const int advance = font->Measure(text);
  struct Case {
    int x, y;
  } const cases[] = {
      {-9, 2},   {-30, -4}, {3, -11}, {4, 3},  // left, left and top, top, right and bottom
      {9, 5},    {-70, 0},  {12, 8},  {0, -16},  {0, 10},  // entirely or almost entirely outside
  };
  constexpr int kW = 12, kH = 9, kMargin = 80;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "at " << c.x << "," << c.y);
    Canvas reference(kW + 2 * kMargin, kH + 2 * kMargin);
    font->Draw(reference.view(), c.x + kMargin, c.y + kMargin, text, kInk);

    const int pitch = kW * 3;  // no padding: memory ends right after the top row's last pixel
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(pitch) * kH);
    PixelView small{bytes.data(), kW, kH, pitch};
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) small.At(x, y)[0] = 0, small.At(x, y)[1] = 255, small.At(x, y)[2] = 0;
    EXPECT_EQ(font->Draw(small, c.x, c.y, text, kInk), advance);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const std::uint8_t* p = small.At(x, y);
        const bool inked = p[0] == kInk.b && p[1] == kInk.g && p[2] == kInk.r;
        ASSERT_EQ(inked, reference.Is(x + kMargin, y + kMargin, kInk)) << x << "," << y;
      }
    }
  }
}

TEST(FontTest, DegenerateViewsAndPositionsAreSafe) {
  auto font = OpenGothic(16);
  ASSERT_NE(font, nullptr);
  Canvas canvas(8, 8);
  const PixelView views[] = {
      {nullptr, 8, 8, canvas.pitch},
      {canvas.bytes.data(), 0, 8, canvas.pitch},
      {canvas.bytes.data(), 8, 0, canvas.pitch},
      {canvas.bytes.data(), -8, -8, canvas.pitch},
      {canvas.bytes.data(), 8, 8, 2},  // pitch too small for the width
  };
  for (const PixelView& view : views) EXPECT_EQ(font->Draw(view, 0, 0, "あA", kInk), 24);
  const int far[][2] = {{INT_MAX, 0}, {INT_MAX - 4, INT_MAX - 4}, {INT_MIN, INT_MIN}, {0, INT_MIN + 1}};
  for (const auto& p : far) EXPECT_EQ(font->Draw(canvas.view(), p[0], p[1], "ああ", kInk), 32);
  const Canvas untouched(8, 8);
  EXPECT_EQ(canvas.bytes, untouched.bytes);
}

TEST(FontTest, InvalidAndControlBytesDoNotBreakDrawing) {
  auto font = OpenGothic(16);
  ASSERT_NE(font, nullptr);
  const std::string_view texts[] = {
      "\x81",                          // lead byte with nothing after it
      "A\x82",                         // lead byte at the end
      "\xFF\xFD\x80\xA0",              // bytes that start no character
      std::string_view("A\0B\n\t", 5),  // control characters
  };
  for (std::string_view text : texts) {
    Canvas canvas(64, 20);
    const int width = font->Measure(text);
    EXPECT_GE(width, 0);
    EXPECT_EQ(font->Draw(canvas.view(), 1, 1, text, kInk), width);
    EXPECT_TRUE(canvas.PaddingIntact());
  }
}

}  // namespace
}  // namespace plat

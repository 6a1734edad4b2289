// Text drawn into surfaces with the view's fonts.
#include <gtest/gtest.h>

#include <memory>

#include "graphics/dib_surface.h"
#include "platform/font.h"

namespace {

constexpr plat::Color kGreen{0, 255, 0};
constexpr COLORREF kWhite = 0xFFFFFF, kGreyRef = 0x808080;

struct Ink {
  int count = 0;
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
  bool only_ink_or_green = true;
};

Ink Scan(const CDibSurface& s, plat::Color ink) {
  Ink r;
  const plat::PixelView v = s.View();
  for (int y = 0; y < v.height; ++y) {
    for (int x = 0; x < v.width; ++x) {
      const std::uint8_t* p = v.At(x, y);
      const bool is_ink = p[2] == ink.r && p[1] == ink.g && p[0] == ink.b;
      const bool is_green = p[2] == 0 && p[1] == 255 && p[0] == 0;
      if (!is_ink && !is_green) r.only_ink_or_green = false;
      if (!is_ink) continue;
      ++r.count;
      r.left = std::min(r.left, x), r.right = std::max(r.right, x);
      r.top = std::min(r.top, y), r.bottom = std::max(r.bottom, y);
    }
  }
  return r;
}

class DrawStringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    large_ = plat::Font::Open("ＭＳ ゴシック", 16, plat::FontPitch::kFixed);
    small_ = plat::Font::Open("ＭＳ ゴシック", 14, plat::FontPitch::kFixed);
    ASSERT_NE(large_, nullptr);
    ASSERT_NE(small_, nullptr);
    ASSERT_TRUE(surf_.Create(200, 40));
    surf_.Fill({0, 0, 200, 40}, kGreen);
  }
  std::unique_ptr<plat::Font> large_, small_;
  CDibSurface surf_;
};

TEST_F(DrawStringTest, GlyphsUseOnlyTheTextColourInsideTheirCells) {
  surf_.DrawString(10, 5, "漢字かなABC", large_.get(), kGreyRef);
  const Ink ink = Scan(surf_, {128, 128, 128});
  EXPECT_TRUE(ink.only_ink_or_green);
  EXPECT_GT(ink.count, 50);
  // Four full-width cells of 16 and three half-width of 8: 88 pixels from x = 10, 16 high from y = 5.
  EXPECT_GE(ink.left, 10);
  EXPECT_LT(ink.right, 10 + 88);
  EXPECT_GE(ink.top, 5);
  EXPECT_LT(ink.bottom, 5 + 16);
}

TEST_F(DrawStringTest, AdvancesAreEightAndSixteenOrSevenAndFourteen) {
  struct {
    const plat::Font* font;
    const char* text;
    int advance;
  } cases[] = {{large_.get(), "A", 8}, {large_.get(), "あ", 16}, {large_.get(), "ｱ", 8}, {large_.get(), "Aあ", 24},
               {small_.get(), "A", 7}, {small_.get(), "あ", 14}, {small_.get(), "AB", 14}};
  for (const auto& c : cases) EXPECT_EQ(c.font->Measure(c.text), c.advance) << c.text;

  // The "|" after an ideographic space lands in the next cell, 16 pixels on.
  surf_.DrawString(0, 0, "　|", large_.get(), kWhite);
  const Ink ink = Scan(surf_, {255, 255, 255});
  EXPECT_GE(ink.left, 16);
  EXPECT_LT(ink.right, 24);
}

TEST_F(DrawStringTest, EmptyTextAndMissingFontChangeNothingAndALoneLeadByteIsSafe) {
  surf_.DrawString(0, 0, "", large_.get(), kWhite);
  surf_.DrawString(0, 0, "abc", nullptr, kWhite);
  EXPECT_EQ(Scan(surf_, {255, 255, 255}).count, 0);
  surf_.DrawString(190, 30, "ab\x82", large_.get(), kWhite);  // runs off the edge, ends in a lead byte
  EXPECT_TRUE(Scan(surf_, {255, 255, 255}).only_ink_or_green);
}

}  // namespace

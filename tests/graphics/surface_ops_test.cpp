// Pixel operations on surfaces, checked against values worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/dib_surface.h"
#include "graphics/part_rect.h"

namespace {

constexpr plat::Color kGreen{0, 255, 0}, kRed{255, 0, 0}, kGrey{200, 100, 50};

plat::Color At(const CDibSurface& s, int x, int y) {
  const std::uint8_t* p = s.View().At(x, y);
  return plat::Color{p[2], p[1], p[0]};
}

bool Eq(plat::Color a, plat::Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// A w × h surface filled with one colour.
void Make(CDibSurface& s, int w, int h, plat::Color c) {
  ASSERT_TRUE(s.Create(w, h));
  s.Fill(plat::Rect{0, 0, w, h}, c);
}

TEST(SurfaceTest, CreateGivesRowPitchesRoundedToFourBytes) {
  struct {
    int w, h, pitch;
  } cases[] = {{640, 480, 1920}, {5, 1, 16}, {1, 1, 4}, {4, 2, 12}};
  for (const auto& c : cases) {
    CDibSurface s;
    ASSERT_TRUE(s.Create(c.w, c.h));
    EXPECT_EQ(s.m_nPitch, c.pitch) << c.w;
    EXPECT_EQ(s.m_nBytesPerPixel, 3);
    EXPECT_EQ(s.m_bmi.biHeight, c.h);  // positive: bottom-up rows
    EXPECT_EQ(s.m_bmi.biSizeImage, static_cast<std::uint32_t>(c.pitch * c.h));
  }
  // Bottom-up: the top row is stored last.
  CDibSurface s;
  Make(s, 2, 2, kGrey);
  s.Fill({0, 0, 1, 1}, kRed);
  EXPECT_EQ(s.m_pBits[s.m_nPitch + 2], 255);  // red byte of (0, 0) in the second stored row
  CDibSurface bad;
  EXPECT_FALSE(bad.Create(0, 10));
  EXPECT_FALSE(bad.Create(16385, 1));
  EXPECT_TRUE(bad.IsEmpty());
}

TEST(SurfaceTest, OverlayKeysOnExactColours) {
  struct {
    const char* what;
    plat::Color src;
    plat::Color expect;  // over a (200, 100, 50) destination
  } cases[] = {
      {"pure green is transparent", kGreen, kGrey},
      {"pure red halves what lies below", kRed, {100, 50, 25}},
      {"(255, 0, 1) is drawn as itself", {255, 0, 1}, {255, 0, 1}},
      {"(0, 254, 0) is drawn as itself", {0, 254, 0}, {0, 254, 0}},
      {"white is drawn", {255, 255, 255}, {255, 255, 255}},
  };
  for (const auto& c : cases) {
    CDibSurface dst, src;
    Make(dst, 3, 3, kGrey);
    Make(src, 3, 3, c.src);
    dst.Overlay(src, 0, 0, 3, 3, 0, 0, 4);
    EXPECT_TRUE(Eq(At(dst, 1, 1), c.expect)) << c.what;
  }
}

// Which pixels of a rectangle a dither level draws, row by row ('#' drawn, '.' kept).
TEST(SurfaceTest, DitherLevelsDrawTheirPatternFromTheRectanglesOwnCorner) {
  struct {
    int level, x, y, w, h;
    std::vector<std::string> rows;  // of a 4 × 4 destination
  } cases[] = {
      {0, 0, 0, 2, 2, {"....", "....", "....", "...."}},
      {1, 0, 0, 2, 2, {"#...", "....", "....", "...."}},
      {2, 0, 0, 2, 2, {"#...", ".#..", "....", "...."}},
      {3, 0, 0, 2, 2, {"##..", ".#..", "....", "...."}},
      {4, 0, 0, 2, 2, {"##..", "##..", "....", "...."}},
      {1, 0, 0, 3, 3, {"#.#.", "....", "#.#.", "...."}},
      {2, 0, 0, 3, 3, {"#.#.", ".#..", "#.#.", "...."}},
      {3, 0, 0, 3, 3, {"###.", ".#..", "###.", "...."}},
      // The phase restarts at each rectangle's corner: at (1, 1) its first pixel is drawn.
      {2, 1, 1, 3, 3, {"....", ".#.#", "..#.", ".#.#"}},
  };
  for (const auto& c : cases) {
    CDibSurface dst, src;
    Make(dst, 4, 4, kGrey);
    Make(src, 4, 4, {255, 255, 255});
    dst.Overlay(src, c.x, c.y, c.w, c.h, 0, 0, c.level);
    for (int y = 0; y < 4; ++y) {
      std::string row;
      for (int x = 0; x < 4; ++x) row += At(dst, x, y).r == 255 ? '#' : '.';
      EXPECT_EQ(row, c.rows[static_cast<std::size_t>(y)]) << "level " << c.level << " at " << c.x << "," << c.y
                                                          << " size " << c.w << " row " << y;
    }
  }
}

TEST(SurfaceTest, FadeScalesEveryByteThroughTheTable) {
  struct {
    int level;
    std::uint8_t in, out;
  } cases[] = {{0, 255, 0}, {224, 255, 224}, {224, 1, 0}, {255, 77, 77}, {128, 200, 100}, {32, 255, 32}};
  for (const auto& c : cases) {
    CDibSurface src, dst;
    Make(src, 3, 2, {c.in, c.in, c.in});
    Make(dst, 3, 2, kGrey);
    dst.Fade(src, c.level);
    EXPECT_TRUE(Eq(At(dst, 2, 1), plat::Color{c.out, c.out, c.out})) << c.level << " " << int(c.in);
  }
}

TEST(SurfaceTest, EmptyOrMismatchedSurfacesAreLeftAlone) {
  CDibSurface empty, dst, small;
  Make(dst, 4, 4, kGrey);
  Make(small, 2, 2, kRed);
  dst.Overlay(empty, 0, 0, 4, 4, 0, 0, 4);
  dst.Blit(empty, 0, 0, 4, 4, 0, 0);
  dst.Fade(empty, 100);
  dst.Fade(small, 0);  // a different size: nothing happens
  empty.Overlay(dst, 0, 0, 4, 4, 0, 0, 4);
  empty.Fill({0, 0, 4, 4}, kRed);
  EXPECT_TRUE(Eq(At(dst, 0, 0), kGrey));
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(SurfaceTest, CopiesAndOverlaysClipToBothSurfaces) {
  struct {
    int x, y, w, h, sx, sy;
    int red_x, red_y;    // a destination pixel that must be drawn
    int kept_x, kept_y;  // one that must not
  } cases[] = {
      {-1, -1, 3, 3, 0, 0, 0, 0, 2, 2},  // off the top-left of the destination
      {3, 3, 5, 5, 0, 0, 3, 3, 2, 2},    // past the bottom-right
      {0, 0, 4, 4, 1, 1, 0, 0, 3, 3},    // past the source's edge (source is 2 × 2... from (1, 1): one pixel)
      {0, 0, 2, 2, -1, 0, 1, 0, 0, 0},   // source rectangle starting left of the source
  };
  for (const auto& c : cases) {
    for (int op = 0; op < 2; ++op) {
      CDibSurface dst, src;
      Make(dst, 4, 4, kGrey);
      Make(src, 2, 2, {255, 255, 255});
      if (op == 0) dst.Blit(src, c.x, c.y, c.w, c.h, c.sx, c.sy);
      else dst.Overlay(src, c.x, c.y, c.w, c.h, c.sx, c.sy, 4);
      EXPECT_EQ(At(dst, c.red_x, c.red_y).r, 255) << "case " << c.x << "," << c.y << " op " << op;
      EXPECT_EQ(At(dst, c.kept_x, c.kept_y).r, 200) << "case " << c.x << "," << c.y << " op " << op;
    }
  }
}

TEST(SurfaceTest, DrawPartFrameTakesTheFrameFromFurtherDownTheSheet) {
  CDibSurface sheet, dst;
  Make(sheet, 4, 12, kGrey);
  sheet.Fill({0, 8, 4, 12}, kRed);  // frame 2 of 4-pixel-high frames
  Make(dst, 8, 8, {0, 0, 0});
  const PartRect part{2, 3, 0, 0, 4, 4};
  DrawPartFrame(part, dst, sheet, 1, 1, 2);
  EXPECT_TRUE(Eq(At(dst, 3, 4), kRed));
  EXPECT_TRUE(Eq(At(dst, 6, 7), kRed));
  EXPECT_TRUE(Eq(At(dst, 2, 4), plat::Color{0, 0, 0}));
  EXPECT_TRUE(Eq(At(dst, 7, 4), plat::Color{0, 0, 0}));
  DrawPart(part, dst, sheet, 1, 1);
  EXPECT_TRUE(Eq(At(dst, 3, 4), kGrey));
}

TEST(SurfaceTest, FillTakesColourReferences) {
  CDibSurface s;
  Make(s, 2, 2, kGrey);
  s.Fill({0, 0, 1, 2}, COLORREF{0x00FF00});
  s.Fill({1, 0, 2, 2}, COLORREF{0x0000FF});
  EXPECT_TRUE(Eq(At(s, 0, 1), kGreen));
  EXPECT_TRUE(Eq(At(s, 1, 1), kRed));
}

}  // namespace

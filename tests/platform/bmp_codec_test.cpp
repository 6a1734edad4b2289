// BMP decoding and writing, on small files assembled byte by byte here. Expected pixels are
// worked out by hand from the palette entries and pixel bytes written into each file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/bmp_codec.h"
#include "platform/pixels.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes* b, std::uint32_t v) {
  b->push_back(static_cast<std::uint8_t>(v));
  b->push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes* b, std::uint32_t v) {
  Put16(b, v);
  Put16(b, v >> 16);
}
void Set16(Bytes* b, std::size_t at, std::uint32_t v) {
  (*b)[at] = static_cast<std::uint8_t>(v);
  (*b)[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Set32(Bytes* b, std::size_t at, std::uint32_t v) {
  Set16(b, at, v);
  Set16(b, at + 2, v >> 16);
}

// Offsets of header fields in a file with a 40-byte (or larger) info header.
constexpr std::size_t kOffBits = 10;
constexpr std::size_t kWidth = 18;
constexpr std::size_t kHeight = 22;
constexpr std::size_t kPlanes = 26;
constexpr std::size_t kBitCount = 28;
constexpr std::size_t kCompression = 30;
constexpr std::size_t kSizeImage = 34;
constexpr std::size_t kClrUsed = 46;

// The parts of a test file. Colours are 0xRRGGBB; the palette is written blue, green, red
// (and a zero byte unless the header is the 12-byte core one).
struct TestFile {
  std::uint32_t info_bytes = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  int bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t colors_used = 0;
  std::uint32_t image_bytes = 0;
  std::vector<std::uint32_t> masks;  // bit fields: after a 40-byte header, else inside the header
  std::vector<std::uint32_t> palette;
  Bytes pixels;  // exactly as stored, padding included
};

// Shorthands: plain rows (with a palette for 8 bits or fewer), bit fields, run-length codes.
TestFile Plain(int width, int height, int bits, std::vector<std::uint32_t> palette, Bytes pixels) {
  TestFile t;
  t.width = width;
  t.height = height;
  t.bits = bits;
  t.palette = std::move(palette);
  t.pixels = std::move(pixels);
  return t;
}
TestFile Fields(int width, int height, int bits, std::vector<std::uint32_t> masks, Bytes pixels) {
  TestFile t = Plain(width, height, bits, {}, std::move(pixels));
  t.compression = 3;
  t.masks = std::move(masks);
  return t;
}
TestFile Rle(int width, int height, int bits, std::vector<std::uint32_t> palette, Bytes codes) {
  TestFile t = Plain(width, height, bits, std::move(palette), std::move(codes));
  t.compression = bits == 8 ? 1 : 2;
  t.colors_used = static_cast<std::uint32_t>(t.palette.size());
  t.image_bytes = static_cast<std::uint32_t>(t.pixels.size());
  return t;
}

Bytes Assemble(const TestFile& t) {
  Bytes info;
  Put32(&info, t.info_bytes);
  if (t.info_bytes == 12) {
    Put16(&info, static_cast<std::uint32_t>(t.width));
    Put16(&info, static_cast<std::uint32_t>(t.height));
    Put16(&info, 1);
    Put16(&info, static_cast<std::uint32_t>(t.bits));
  } else {
    Put32(&info, static_cast<std::uint32_t>(t.width));
    Put32(&info, static_cast<std::uint32_t>(t.height));
    Put16(&info, 1);
    Put16(&info, static_cast<std::uint32_t>(t.bits));
    Put32(&info, t.compression);
    Put32(&info, t.image_bytes);
    Put32(&info, 2835);
    Put32(&info, 2835);
    Put32(&info, t.colors_used);
    Put32(&info, 0);
    for (std::uint32_t mask : t.masks) Put32(&info, mask);
    while (info.size() < t.info_bytes) info.push_back(0);
  }
  for (std::uint32_t color : t.palette) {
    info.push_back(static_cast<std::uint8_t>(color));
    info.push_back(static_cast<std::uint8_t>(color >> 8));
    info.push_back(static_cast<std::uint8_t>(color >> 16));
    if (t.info_bytes != 12) info.push_back(0);
  }
  Bytes file = {'B', 'M'};
  Put32(&file, static_cast<std::uint32_t>(14 + info.size() + t.pixels.size()));
  Put32(&file, 0);
  Put32(&file, static_cast<std::uint32_t>(14 + info.size()));
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), t.pixels.begin(), t.pixels.end());
  return file;
}

// The decoded picture as 0xRRGGBB values, top row first.
std::vector<std::uint32_t> TopDown(plat::DecodedBitmap& bitmap) {
  std::vector<std::uint32_t> colors;
  const plat::PixelView view = bitmap.view();
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) {
      const std::uint8_t* p = view.At(x, y);
      colors.push_back(static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0]);
    }
  }
  return colors;
}

constexpr std::uint32_t kP0 = 0x102030, kP1 = 0xA0B0C0, kP2 = 0x00FF00, kP3 = 0xFF0080;

struct DecodeCase {
  const char* name;
  TestFile file;
  std::vector<std::uint32_t> top_down;  // expected 0xRRGGBB, top row first
  std::vector<std::uint32_t> masks = {0, 0, 0};
};

std::vector<DecodeCase> DecodeCases() {
  std::vector<DecodeCase> cases;
  // Rows of 10 one-bit pixels take two bytes, padded to four. The bottom row is stored first.
  cases.push_back({"1-bit",
                   Plain(10, 2, 1, {kP0, kP1},
                         {0x55, 0x40, 0, 0,     // 0101010101
                          0x81, 0x80, 0, 0}),   // 1000000110
                   {kP1, kP0, kP0, kP0, kP0, kP0, kP0, kP1, kP1, kP0,
                    kP0, kP1, kP0, kP1, kP0, kP1, kP0, kP1, kP0, kP1}});
  {
    TestFile t = Plain(3, 2, 4, {kP0, kP1, kP2},
                       {0x11, 0x20, 0, 0,     // 1 1 2
                        0x20, 0x10, 0, 0});   // 2 0 1
    t.colors_used = 3;
    cases.push_back({"4-bit, three colours", t, {kP2, kP0, kP1, kP1, kP1, kP2}});
  }
  {
    TestFile t = Plain(2, 2, 8, {kP0, kP1, kP2, kP3}, {1, 2, 0, 0,  3, 0, 0, 0});
    t.colors_used = 4;
    cases.push_back({"8-bit, four colours", t, {kP3, kP0, kP1, kP2}});
  }
  // Bottom row: a run of three 1s and one 2, end of line. Then a move 2 right and 1 up lands on
  // the top row's third pixel: a run of two 3s, end of picture. Skipped pixels are colour 0.
  cases.push_back({"RLE8 runs, end of line, move",
                   Rle(4, 3, 8, {kP0, kP1, kP2, kP3},
                       {0x03, 0x01, 0x01, 0x02, 0x00, 0x00,  0x00, 0x02, 0x02, 0x01,  0x02, 0x03,  0x00, 0x01}),
                   {kP0, kP0, kP3, kP3,  kP0, kP0, kP0, kP0,  kP1, kP1, kP1, kP2}});
  // Bottom row: a run of five alternating 1 and 2. Top row: three literal pixels 3 0 1 (two
  // bytes, already even), then a run of two 2s.
  cases.push_back({"RLE4 runs and literal pixels",
                   Rle(5, 2, 4, {kP0, kP1, kP2, kP3},
                       {0x05, 0x12, 0x00, 0x00,  0x00, 0x03, 0x30, 0x10,  0x02, 0x22,  0x00, 0x01}),
                   {kP3, kP0, kP1, kP2, kP2,  kP1, kP2, kP1, kP2, kP1}});
  // 5-5-5 by default. A channel of n bits widens to v * 255 / (2^n - 1), rounded down:
  // 1 -> 8, 16 -> 131, 31 -> 255. Rows of three pixels are 6 bytes, padded to 8.
  cases.push_back({"16-bit 5-5-5",
                   Plain(3, 2, 16, {},
                         {0x00, 0x7C,  0xE0, 0x03,  0x1F, 0x00,  0, 0,     // 7C00 03E0 001F
                          0x1F, 0x06,  0x00, 0x00,  0xFF, 0x7F,  0, 0}),   // 061F 0000 7FFF
                   {0x0883FF, 0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF}});
  // 5-6-5 bit fields after a 40-byte header. Red 16 of 31 widens to 131, green 32 of 63 to 129.
  cases.push_back({"16-bit 5-6-5 bit fields",
                   Fields(2, 2, 16, {0xF800, 0x07E0, 0x001F},
                          {0x00, 0xF8,  0xE0, 0x07,     // F800 07E0
                           0x1F, 0x00,  0x00, 0x84}),   // 001F 8400
                   {0x0000FF, 0x838100, 0xFF0000, 0x00FF00},
                   {0xF800, 0x07E0, 0x001F}});
  // 24 bits, five pixels a row: 15 bytes padded to 16.
  cases.push_back({"24-bit with row padding",
                   Plain(5, 2, 24, {},
                         {1, 2, 3,  4, 5, 6,  7, 8, 9,  10, 11, 12,  13, 14, 15,  0,
                          0xFF, 0, 0,  0, 0xFF, 0,  0, 0, 0xFF,  0x11, 0x22, 0x33,  0, 0, 0,  0}),
                   {0x0000FF, 0x00FF00, 0xFF0000, 0x332211, 0x000000,
                    0x030201, 0x060504, 0x090807, 0x0C0B0A, 0x0F0E0D}});
  // The fourth byte is ignored, whether zero or not.
  cases.push_back({"32-bit", Plain(2, 1, 32, {}, {0x30, 0x20, 0x10, 0x00,  0x03, 0x02, 0x01, 0x80}),
                   {0x102030, 0x010203}});
  {
    // Bit fields in a 108-byte header, blue in the high byte, with an alpha mask and alpha 0.
    TestFile t = Fields(2, 1, 32, {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF},
                        {0x00, 0x10, 0x20, 0x30,  0x00, 0xAA, 0xBB, 0xCC});
    t.info_bytes = 108;
    cases.push_back({"32-bit bit fields in a 108-byte header", t, {0x102030, 0xAABBCC},
                     {0x0000FF00, 0x00FF0000, 0xFF000000}});
  }
  // A negative height stores the top row first.
  cases.push_back({"top-down rows",
                   Plain(2, -2, 24, {},
                         {0x01, 0x00, 0x00,  0x02, 0x00, 0x00,  0, 0,
                          0x03, 0x00, 0x00,  0x04, 0x00, 0x00,  0, 0}),
                   {0x000001, 0x000002, 0x000003, 0x000004}});
  {
    // 12-byte core header: three-byte palette entries, the whole 2-colour palette present.
    TestFile t = Plain(2, 2, 1, {kP2, kP3}, {0x40, 0, 0, 0,  0x80, 0, 0, 0});
    t.info_bytes = 12;
    cases.push_back({"core header, 1-bit", t, {kP3, kP2, kP2, kP3}});
  }
  return cases;
}

TEST(BmpDecode, GivesBottomUp24BitPixelsForEveryLayout) {
  for (DecodeCase& c : DecodeCases()) {
    SCOPED_TRACE(c.name);
    const Bytes file = Assemble(c.file);
    plat::DecodedBitmap bitmap;
    ASSERT_EQ(plat::DecodeBmp(file, &bitmap), plat::BmpLoadResult::kOk);
    const int width = c.file.width;
    const int height = c.file.height < 0 ? -c.file.height : c.file.height;
    EXPECT_EQ(bitmap.width, width);
    EXPECT_EQ(bitmap.height, height);
    EXPECT_EQ(bitmap.source_bits_per_pixel, c.file.bits);
    EXPECT_EQ(std::vector<std::uint32_t>(bitmap.masks, bitmap.masks + 3), c.masks);
    const int pitch = (3 * width + 3) / 4 * 4;
    EXPECT_EQ(bitmap.pitch, pitch);
    ASSERT_EQ(bitmap.bits.size(), static_cast<std::size_t>(pitch) * height);
    EXPECT_EQ(TopDown(bitmap), c.top_down);
  }
}

TEST(BmpDecode, StoresTheBottomRowFirstWithZeroPadding) {
  const TestFile t = Plain(1, 2, 24, {}, {0x01, 0x02, 0x03, 0,  0x04, 0x05, 0x06, 0});  // bottom, top
  plat::DecodedBitmap bitmap;
  ASSERT_EQ(plat::DecodeBmp(Assemble(t), &bitmap), plat::BmpLoadResult::kOk);
  EXPECT_EQ(bitmap.bits, (Bytes{0x01, 0x02, 0x03, 0, 0x04, 0x05, 0x06, 0}));
}

struct RefusedCase {
  const char* name;
  std::function<Bytes()> make;
};

// Plain 8-bit, 3 x 2, four palette entries: 14 + 40 + 16 header bytes, 8 pixel bytes.
TestFile Small8Bit() {
  TestFile t = Plain(3, 2, 8, {kP0, kP1, kP2, kP3}, {0, 1, 2, 0,  3, 2, 1, 0});
  t.colors_used = 4;
  return t;
}

// RLE8, 3 x 2: a run of three 1s, end of line, a run of three 2s, end of picture.
TestFile SmallRle8() {
  return Rle(3, 2, 8, {kP0, kP1, kP2, kP3}, {0x03, 0x01, 0x00, 0x00, 0x03, 0x02, 0x00, 0x01});
}

Bytes With(TestFile t, const std::function<void(TestFile*)>& change) {
  change(&t);
  return Assemble(t);
}

Bytes Patched(Bytes file, std::size_t at, std::uint32_t value, int size = 4) {
  if (size == 2) {
    Set16(&file, at, value);
  } else {
    Set32(&file, at, value);
  }
  return file;
}

Bytes Cut(Bytes file, std::size_t size) {
  file.resize(size);
  return file;
}

std::vector<RefusedCase> RefusedCases() {
  const Bytes small = Assemble(Small8Bit());
  const Bytes rle = Assemble(SmallRle8());
  return {
      {"empty", [] { return Bytes{}; }},
      {"only the signature", [] { return Bytes{'B', 'M'}; }},
      {"cut inside the file header", [=] { return Cut(small, 12); }},
      {"cut inside the info header", [=] { return Cut(small, 30); }},
      {"cut inside the palette", [=] { return Cut(small, 60); }},
      {"cut inside the pixels", [=] { return Cut(small, small.size() - 1); }},
      {"wrong signature", [=] { return Patched(small, 0, 'M' | 'B' << 8, 2); }},
      {"info header size 64", [=] { return Patched(small, 14, 64); }},
      {"info header size 16", [=] { return Patched(small, 14, 16); }},
      {"width 0", [=] { return Patched(small, kWidth, 0); }},
      {"negative width", [=] { return Patched(small, kWidth, static_cast<std::uint32_t>(-3)); }},
      {"width 16385", [=] { return Patched(small, kWidth, 16385); }},
      {"height 0", [=] { return Patched(small, kHeight, 0); }},
      {"height -16385", [=] { return Patched(small, kHeight, static_cast<std::uint32_t>(-16385)); }},
      {"smallest height", [=] { return Patched(small, kHeight, 0x80000000u); }},
      {"two planes", [=] { return Patched(small, kPlanes, 2, 2); }},
      {"2 bits a pixel", [=] { return Patched(small, kBitCount, 2, 2); }},
      {"0 bits a pixel", [=] { return Patched(small, kBitCount, 0, 2); }},
      {"pixel array past the end", [=] { return Patched(small, kOffBits, 14 + 40 + 16 + 1); }},
      {"pixel offset past the end", [=] { return Patched(rle, kOffBits, static_cast<std::uint32_t>(rle.size() + 1)); }},
      {"pixel offset inside the palette", [=] { return Patched(small, kOffBits, 14 + 40 + 12); }},
      {"full palette larger than the file", [=] { return Patched(small, kClrUsed, 0); }},
      {"300 colours for 8 bits", [=] { return Patched(small, kClrUsed, 300); }},
      {"compression 4 (JPEG)", [=] { return Patched(small, kCompression, 4); }},
      {"compression 5 (PNG)", [=] { return Patched(small, kCompression, 5); }},
      {"compression 6", [=] { return Patched(small, kCompression, 6); }},
      {"bit fields on 24 bits", [] { return Assemble(Fields(1, 1, 24, {0xFF0000, 0xFF00, 0xFF}, {1, 2, 3, 0})); }},
      {"bit fields on 8 bits", [=] { return Patched(small, kCompression, 3); }},
      {"overlapping masks", [] { return Assemble(Fields(1, 1, 16, {0xF800, 0x0FE0, 0x001F}, {0, 0, 0, 0})); }},
      {"mask with a gap", [] { return Assemble(Fields(1, 1, 16, {0xF000, 0x05E0, 0x001F}, {0, 0, 0, 0})); }},
      {"zero mask", [] { return Assemble(Fields(1, 1, 16, {0xF800, 0, 0x001F}, {0, 0, 0, 0})); }},
      {"mask wider than 16 bits", [] { return Assemble(Fields(1, 1, 16, {0x1F0000, 0x07E0, 0x001F}, {0, 0, 0, 0})); }},
      {"bit-field masks cut off", [] { return Cut(Assemble(Fields(1, 1, 16, {0xF800, 0x07E0, 0x1F}, {})), 60); }},
      {"RLE8 on 4 bits", [=] { return Patched(rle, kBitCount, 4, 2); }},
      {"RLE4 on 8 bits", [=] { return Patched(rle, kCompression, 2); }},
      {"RLE stored top-down", [=] { return Patched(rle, kHeight, static_cast<std::uint32_t>(-2)); }},
      {"RLE size past the end", [=] { return Patched(rle, kSizeImage, 9); }},
      {"RLE without its end", [] {
         return With(SmallRle8(), [](TestFile* t) { t->pixels.resize(6), t->image_bytes = 6; });
       }},
      {"RLE colour outside the palette", [] {
         return With(SmallRle8(), [](TestFile* t) { t->pixels[5] = 7; });
       }},
      {"plain colour outside the palette", [] {
         return With(Small8Bit(), [](TestFile* t) { t->pixels[0] = 4; });
       }},
      // 16384 x 16384 would be 1 GiB at 32 bits: refused before anything is allocated.
      {"16384 x 16384 in 100 bytes", [] {
         return Assemble(Plain(16384, 16384, 32, {}, Bytes(46, 0)));
       }},
      // A run-length file can claim any size in a few bytes; the pixel count limit holds there too.
      {"RLE8 16384 x 16384", [=] { return Patched(Patched(rle, kWidth, 16384), kHeight, 16384); }},
      {"RLE8 one row above 16 Mi pixels", [=] { return Patched(Patched(rle, kWidth, 4096), kHeight, 4097); }},
  };
}

TEST(BmpDecode, RefusesMalformedFilesAndLeavesTheResultEmpty) {
  for (const RefusedCase& c : RefusedCases()) {
    SCOPED_TRACE(c.name);
    plat::DecodedBitmap bitmap;
    bitmap.width = 7;
    bitmap.height = 7;
    bitmap.source_bits_per_pixel = 8;
    bitmap.bits.assign(10, 1);
    EXPECT_EQ(plat::DecodeBmp(c.make(), &bitmap), plat::BmpLoadResult::kNotBmp);
    EXPECT_EQ(bitmap.width, 0);
    EXPECT_EQ(bitmap.height, 0);
    EXPECT_EQ(bitmap.source_bits_per_pixel, 0);
    EXPECT_TRUE(bitmap.bits.empty());
  }
}

TEST(BmpDecode, TheUnchangedBaseFilesOfTheRefusedTableDecode) {
  // Guards the table above: each refusal comes from its one change, not from a broken base.
  plat::DecodedBitmap bitmap;
  ASSERT_EQ(plat::DecodeBmp(Assemble(Small8Bit()), &bitmap), plat::BmpLoadResult::kOk);
  EXPECT_EQ(TopDown(bitmap), (std::vector<std::uint32_t>{kP3, kP2, kP1, kP0, kP1, kP2}));
  ASSERT_EQ(plat::DecodeBmp(Assemble(SmallRle8()), &bitmap), plat::BmpLoadResult::kOk);
  EXPECT_EQ(TopDown(bitmap), (std::vector<std::uint32_t>{kP2, kP2, kP2, kP1, kP1, kP1}));
}

TEST(BmpDecode, AcceptsTheLargestPixelCount) {
  // 4096 x 4096 is exactly the limit; a run-length file only saying "end of picture" is all colour 0.
  TestFile t = SmallRle8();
  t.width = 4096;
  t.height = 4096;
  t.pixels = {0x00, 0x01};
  t.image_bytes = 2;
  plat::DecodedBitmap bitmap;
  ASSERT_EQ(plat::DecodeBmp(Assemble(t), &bitmap), plat::BmpLoadResult::kOk);
  ASSERT_EQ(bitmap.bits.size(), std::size_t{4096 * 3} * 4096);
  const std::uint8_t* last = bitmap.view().At(4095, 0);
  EXPECT_EQ(static_cast<std::uint32_t>(last[2]) << 16 | last[1] << 8 | last[0], kP0);
}

TEST(BmpEncode, WritesA24BitBottomUpFile) {
  // One pixel: 54 header bytes and one row of 3 bytes padded to 4.
  std::uint8_t pixel[4] = {0x11, 0x22, 0x33, 0xEE};
  const plat::PixelView view{pixel, 1, 1, 4};
  const Bytes expected = {
      'B', 'M', 58, 0, 0, 0,  0, 0, 0, 0,  54, 0, 0, 0,           // file header
      40, 0, 0, 0,  1, 0, 0, 0,  1, 0, 0, 0,  1, 0,  24, 0,       // size, width, height, planes, bits
      0, 0, 0, 0,  4, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,          // plain, image bytes, resolution
      0, 0, 0, 0,  0, 0, 0, 0,                                    // colours used, important
      0x11, 0x22, 0x33, 0x00};
  EXPECT_EQ(plat::EncodeBmp24(view), expected);
}

TEST(BmpEncode, RoundTripsOddWidthsAndWiderPitches) {
  // Views whose rows are wider than the file's: 14 bytes against 12, and 20 against 16.
  for (const int width : {3, 5}) {
    SCOPED_TRACE(width);
    const int height = width == 3 ? 2 : 3;
    const int pitch = width * 3 + 5;
    std::vector<std::uint8_t> memory(static_cast<std::size_t>(pitch) * height, 0xEE);
    const plat::PixelView view{memory.data(), width, height, pitch};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        std::uint8_t* p = view.At(x, y);
        p[0] = static_cast<std::uint8_t>(x * 40), p[1] = static_cast<std::uint8_t>(y * 90), p[2] = 200;
      }
    }
    plat::DecodedBitmap bitmap;
    ASSERT_EQ(plat::DecodeBmp(plat::EncodeBmp24(view), &bitmap), plat::BmpLoadResult::kOk);
    ASSERT_EQ(bitmap.width, width);
    ASSERT_EQ(bitmap.height, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        EXPECT_EQ(0, std::memcmp(bitmap.view().At(x, y), view.At(x, y), 3)) << x << "," << y;
      }
    }
  }
}

TEST(BmpEncode, RefusesViewsItCannotWrite) {
  std::uint8_t pixel[8] = {};
  EXPECT_TRUE(plat::EncodeBmp24(plat::PixelView{}).empty());
  EXPECT_TRUE(plat::EncodeBmp24(plat::PixelView{pixel, 2, 1, 5}).empty());   // pitch shorter than a row
  EXPECT_TRUE(plat::EncodeBmp24(plat::PixelView{pixel, 16385, 1, 3 * 16385}).empty());
}

class BmpFileFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velmora_bmp_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::string root_;
};

TEST_F(BmpFileFixture, WritesAndLoadsThroughCaseInsensitivePaths) {
  std::filesystem::create_directories(root_ + "/Pictures");
  std::uint8_t memory[2 * 8] = {1, 2, 3, 4, 5, 6, 0, 0,  7, 8, 9, 10, 11, 12, 0, 0};
  const plat::PixelView view{memory, 2, 2, 8};
  ASSERT_TRUE(plat::WriteBmp24(root_ + "/pictures/Shot.BMP", view));
  ASSERT_TRUE(std::filesystem::exists(root_ + "/Pictures/Shot.BMP"));

  plat::DecodedBitmap bitmap;
  ASSERT_EQ(plat::LoadBmpFile(root_ + "/PICTURES/shot.bmp", &bitmap), plat::BmpLoadResult::kOk);
  EXPECT_EQ(bitmap.bits, (Bytes{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}));
}

TEST_F(BmpFileFixture, TellsMissingFilesFromBadOnes) {
  plat::DecodedBitmap bitmap;
  EXPECT_EQ(plat::LoadBmpFile(root_ + "/none.bmp", &bitmap), plat::BmpLoadResult::kNotFound);
  EXPECT_EQ(plat::LoadBmpFile(root_, &bitmap), plat::BmpLoadResult::kNotFound);  // a folder

  const std::string text = root_ + "/text.bmp";
  std::FILE* f = std::fopen(text.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not a picture", f);
  std::fclose(f);
  EXPECT_EQ(plat::LoadBmpFile(text, &bitmap), plat::BmpLoadResult::kNotBmp);

  // Larger than any accepted file: refused from its size, before it is read.
  const std::string big = root_ + "/big.bmp";
  f = std::fopen(big.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("BM", f);
  std::fclose(f);
  std::filesystem::resize_file(big, plat::kBmpMaxFileBytes + 1);
  EXPECT_EQ(plat::LoadBmpFile(big, &bitmap), plat::BmpLoadResult::kNotBmp);
  EXPECT_TRUE(bitmap.bits.empty());
}

}  // namespace

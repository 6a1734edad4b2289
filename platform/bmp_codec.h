// BMP pictures: decoding any common BMP file into the programs' 24-bit bottom-up pixels, and
// writing such pixels back as a 24-bit BMP file.
//
// Files are untrusted. Before anything is allocated, a header check of ours refuses sizes,
// depths, compressions and offsets that do not describe a picture lying wholly inside the file;
// what passes is decoded by SDL's BMP loader and converted to 24 bits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/pixels.h"

namespace plat {

// Limits of the pictures accepted: each side at most 16384 pixels, at most 16 Mi pixels in all
// (the decoded picture stays below 48 MiB however small the compressed file), files at most
// 64 MiB plus room for headers.
inline constexpr int kBmpMaxSide = 16384;
inline constexpr std::int64_t kBmpMaxPixels = std::int64_t{1} << 24;
inline constexpr std::size_t kBmpMaxFileBytes = (std::size_t{64} << 20) + (std::size_t{64} << 10);

struct DecodedBitmap {
  int width = 0;
  int height = 0;                    // always positive: rows are stored bottom-up
  int pitch = 0;                     // (3 * width + 3) / 4 * 4
  int source_bits_per_pixel = 0;     // of the file: 1, 4, 8, 16, 24 or 32
  std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue bit masks of a bit-field file, else 0
  std::vector<std::uint8_t> bits;    // blue-green-red, bottom-up rows of `pitch` bytes

  // The pixels as a view; empty when nothing was decoded.
  PixelView view() { return PixelView{bits.empty() ? nullptr : bits.data(), width, height, pitch}; }
};

enum class BmpLoadResult {
  kOk,
  kNotFound,  // no such file (or a folder)
  kNotBmp,    // refused by the header check or by the decoder, or too large
  kNoPixels,  // decoded, but the conversion to 24 bits failed
};

// Reads and decodes the file at `path` (CP932, resolved case-insensitively). On anything but
// kOk, `*out` is left empty.
BmpLoadResult LoadBmpFile(std::string_view path, DecodedBitmap* out);

// Decodes the bytes of a whole BMP file. On anything but kOk, `*out` is left empty.
BmpLoadResult DecodeBmp(std::span<const std::uint8_t> file, DecodedBitmap* out);

// The bytes of a 24-bit uncompressed bottom-up BMP file holding `pixels`; empty when the view is
// empty, its pitch is shorter than a row, or it exceeds the limits above.
std::vector<std::uint8_t> EncodeBmp24(const PixelView& pixels);

// Writes EncodeBmp24(pixels) to `path` (CP932, resolved case-insensitively). False on failure.
bool WriteBmp24(std::string_view path, const PixelView& pixels);

}  // namespace plat

// Feeds arbitrary bytes to the BMP decoder and checks what it promises: a decoded picture lies
// within the size limits with 24-bit rows of the stated pitch, a refused one leaves the result
// empty, and a decoded picture written back as a 24-bit file decodes to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/bmp_codec.h"

namespace {

bool IsEmpty(const plat::DecodedBitmap& bitmap) {
  return bitmap.width == 0 && bitmap.height == 0 && bitmap.pitch == 0 && bitmap.source_bits_per_pixel == 0 &&
         bitmap.bits.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plat::DecodedBitmap bitmap;
  const plat::BmpLoadResult result = plat::DecodeBmp(std::span<const std::uint8_t>(data, size), &bitmap);
  if (result != plat::BmpLoadResult::kOk) {
    if (result == plat::BmpLoadResult::kNotFound || !IsEmpty(bitmap)) std::abort();
    return 0;
  }
  if (bitmap.width < 1 || bitmap.width > plat::kBmpMaxSide || bitmap.height < 1 ||
      bitmap.height > plat::kBmpMaxSide ||
      static_cast<std::int64_t>(bitmap.width) * bitmap.height > plat::kBmpMaxPixels) {
    std::abort();
  }
  if (bitmap.pitch != (3 * bitmap.width + 3) / 4 * 4 ||
      bitmap.bits.size() != static_cast<std::size_t>(bitmap.pitch) * bitmap.height) {
    std::abort();
  }
  switch (bitmap.source_bits_per_pixel) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: std::abort();
  }

  // Small pictures go round once more through the writer.
  if (bitmap.bits.size() <= 64 * 1024) {
    const std::vector<std::uint8_t> file = plat::EncodeBmp24(bitmap.view());
    plat::DecodedBitmap again;
    if (plat::DecodeBmp(file, &again) != plat::BmpLoadResult::kOk || again.width != bitmap.width ||
        again.height != bitmap.height || again.source_bits_per_pixel != 24) {
      std::abort();
    }
    for (int y = 0; y < bitmap.height; ++y) {
      for (int x = 0; x < bitmap.width * 3; ++x) {
        const std::size_t at = static_cast<std::size_t>(y) * bitmap.pitch + x;
        if (again.bits[at] != bitmap.bits[at]) std::abort();
      }
    }
  }
  return 0;
}

// BMP decoding and writing.
//
// The header check below runs on the raw bytes before anything is allocated: it accepts only the
// layouts the programs can meet (core and Windows info headers, 1/4/8/16/24/32 bits, plain,
// run-length or bit-field pixels) and only when every part the decoder will read (masks, palette,
// pixel array) lies inside the file. What passes goes to SDL's BMP loader, and the surface it
// returns is converted to 24-bit blue-green-red and stored bottom-up.
#include "platform/bmp_codec.h"

#include <SDL.h>
#include <sys/stat.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/files.h"

namespace plat {
namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void PutLe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

int Pitch24(int width) { return (3 * width + 3) / 4 * 4; }

// What the header check learnt about a file.
struct BmpLayout {
  int width = 0;
  int height = 0;  // positive
  int bits = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t masks[3] = {0, 0, 0};
};

// A colour mask must be one run of set bits inside the pixel.
bool MaskIsUsable(std::uint32_t mask, int bits) {
  if (mask == 0) return false;
  if (bits < 32 && (mask >> bits) != 0) return false;
  const std::uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

// Red, green, blue (and alpha when given) masks: each usable, no two sharing a bit.
bool MasksAreUsable(const std::uint32_t* masks, int count, int bits) {
  std::uint32_t seen = 0;
  for (int i = 0; i < count; ++i) {
    if (i == 3 && masks[i] == 0) continue;  // no alpha
    if (!MaskIsUsable(masks[i], bits) || (seen & masks[i]) != 0) return false;
    seen |= masks[i];
  }
  return true;
}

// True when `file` is a BMP file this codec accepts, with every part the loader reads inside it.
bool CheckHeader(std::span<const std::uint8_t> file, BmpLayout* layout) {
  const std::uint64_t size = file.size();
  if (size > kBmpMaxFileBytes || size < kFileHeaderBytes + 4) return false;
  const std::uint8_t* f = file.data();
  if (f[0] != 'B' || f[1] != 'M') return false;
  const std::uint64_t pixel_offset = Le32(f + 10);
  const std::uint32_t info_bytes = Le32(f + 14);
  if (info_bytes != kCoreHeaderBytes && info_bytes != kInfoHeaderBytes && info_bytes != 52 &&
      info_bytes != 56 && info_bytes != 108 && info_bytes != 124) {
    return false;
  }
  const std::uint64_t info_end = kFileHeaderBytes + info_bytes;
  if (info_end > size) return false;

  const std::uint8_t* info = f + kFileHeaderBytes;
  std::int64_t width = 0;
  std::int64_t height = 0;
  int planes = 0;
  int bits = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t image_bytes = 0;
  std::uint32_t colors_used = 0;
  if (info_bytes == kCoreHeaderBytes) {
    // Sides are unsigned 16-bit here: a core file is always stored bottom-up.
    width = Le16(info + 4);
    height = Le16(info + 6);
    planes = Le16(info + 8);
    bits = Le16(info + 10);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
  } else {
    width = static_cast<std::int32_t>(Le32(info + 4));
    height = static_cast<std::int32_t>(Le32(info + 8));
    planes = Le16(info + 12);
    bits = Le16(info + 14);
    compression = Le32(info + 16);
    image_bytes = Le32(info + 20);
    colors_used = Le32(info + 32);
  }
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (width < 1 || width > kBmpMaxSide || height < 1 || height > kBmpMaxSide) return false;
  if (width * height > kBmpMaxPixels) return false;
  if (planes != 1) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

  switch (compression) {
    case kRgb:
      break;
    case kRle8:
    case kRle4:
      // Run-length pixels are defined bottom-up only, and each code for its own depth.
      if (top_down || bits != (compression == kRle8 ? 8 : 4)) return false;
      break;
    case kBitFields:
      if (bits != 16 && bits != 32) return false;
      break;
    default:
      return false;  // embedded JPEG or PNG, alpha bit fields, unknown codes
  }

  // Bit-field masks follow a 40-byte header, or sit inside the larger ones (with alpha from 56).
  std::uint64_t header_end = info_end;
  if (compression == kBitFields) {
    std::uint32_t masks[4] = {0, 0, 0, 0};
    if (info_bytes == kInfoHeaderBytes) {
      header_end += 12;
      if (header_end > size) return false;
    }
    const int count = info_bytes >= 56 ? 4 : 3;
    for (int i = 0; i < count; ++i) masks[i] = Le32(info + kInfoHeaderBytes + 4 * i);
    if (!MasksAreUsable(masks, count, bits)) return false;
    std::memcpy(layout->masks, masks, sizeof(layout->masks));
  }

  // The palette lies between the headers and the pixels.
  if (bits <= 8) {
    const std::uint32_t most = 1u << bits;
    if (colors_used > most) return false;
    const std::uint64_t entries = colors_used != 0 ? colors_used : most;
    header_end += entries * (info_bytes == kCoreHeaderBytes ? 3 : 4);
  }
  if (header_end > pixel_offset || pixel_offset > size) return false;

  if (compression == kRle8 || compression == kRle4) {
    if (pixel_offset + image_bytes > size) return false;
  } else {
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    if (stride * static_cast<std::uint64_t>(height) > size - pixel_offset) return false;
  }

  layout->width = static_cast<int>(width);
  layout->height = static_cast<int>(height);
  layout->bits = bits;
  layout->compression = compression;
  return true;
}

// Run-length codes may name colours past the end of a short palette, which SDL's loader does not
// check there (it does for plain rows); such a file is refused rather than converted.
bool IndicesInPalette(const SDL_Surface* surface) {
  const SDL_Palette* palette = surface->format->palette;
  if (palette == nullptr) return true;
  if (surface->format->BytesPerPixel != 1) return false;
  if (palette->ncolors >= 256) return true;
  const auto* row = static_cast<const std::uint8_t*>(surface->pixels);
  for (int y = 0; y < surface->h; ++y, row += surface->pitch) {
    for (int x = 0; x < surface->w; ++x) {
      if (row[x] >= palette->ncolors) return false;
    }
  }
  return true;
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

}  // namespace

BmpLoadResult DecodeBmp(std::span<const std::uint8_t> file, DecodedBitmap* out) {
  if (out == nullptr) return BmpLoadResult::kNotBmp;
  *out = DecodedBitmap{};
  BmpLayout layout;
  if (!CheckHeader(file, &layout)) return BmpLoadResult::kNotBmp;

  SDL_RWops* source = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
  if (source == nullptr) return BmpLoadResult::kNotBmp;
  const SurfacePtr loaded(SDL_LoadBMP_RW(source, 1));
  if (!loaded || loaded->w != layout.width || loaded->h != layout.height || loaded->pixels == nullptr ||
      !IndicesInPalette(loaded.get())) {
    return BmpLoadResult::kNotBmp;
  }

  // The conversion copies without blending, so an alpha channel in the file is simply dropped.
  // Channels narrower than 8 bits widen to v * 255 / (2^n - 1), rounded down: full stays 255.
  const SurfacePtr converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_BGR24, 0));
  if (!converted || converted->w != layout.width || converted->h != layout.height ||
      converted->format->format != SDL_PIXELFORMAT_BGR24 || converted->pitch < 3 * layout.width) {
    return BmpLoadResult::kNoPixels;
  }
  if (SDL_LockSurface(converted.get()) != 0) return BmpLoadResult::kNoPixels;

  const int pitch = Pitch24(layout.width);
  const std::size_t row_bytes = static_cast<std::size_t>(layout.width) * 3;
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(pitch) * layout.height, 0);
  const auto* src = static_cast<const std::uint8_t*>(converted->pixels);
  // SDL surfaces run top-down; ours run bottom-up.
  for (int y = 0; y < layout.height; ++y) {
    std::memcpy(bits.data() + static_cast<std::size_t>(layout.height - 1 - y) * pitch,
                src + static_cast<std::size_t>(y) * converted->pitch, row_bytes);
  }
  SDL_UnlockSurface(converted.get());

  out->width = layout.width;
  out->height = layout.height;
  out->pitch = pitch;
  out->source_bits_per_pixel = layout.bits;
  std::memcpy(out->masks, layout.masks, sizeof(out->masks));
  out->bits = std::move(bits);
  return BmpLoadResult::kOk;
}

BmpLoadResult LoadBmpFile(std::string_view path, DecodedBitmap* out) {
  if (out == nullptr) return BmpLoadResult::kNotBmp;
  *out = DecodedBitmap{};
  std::FILE* stream = OpenFile(path, "rb");
  if (stream == nullptr) return BmpLoadResult::kNotFound;
  struct stat st;
  if (::fstat(::fileno(stream), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(stream);
    return BmpLoadResult::kNotFound;
  }
  // Only regular files have a size to trust; the size is checked before the buffer exists.
  if (!S_ISREG(st.st_mode) || st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > kBmpMaxFileBytes) {
    std::fclose(stream);
    return BmpLoadResult::kNotBmp;
  }
  std::vector<std::uint8_t> data(static_cast<std::size_t>(st.st_size));
  const std::size_t got = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), stream);
  std::fclose(stream);
  if (got != data.size()) return BmpLoadResult::kNotBmp;
  return DecodeBmp(data, out);
}

std::vector<std::uint8_t> EncodeBmp24(const PixelView& pixels) {
  if (pixels.empty() || pixels.width > kBmpMaxSide || pixels.height > kBmpMaxSide ||
      static_cast<std::int64_t>(pixels.width) * pixels.height > kBmpMaxPixels ||
      pixels.pitch < 3 * pixels.width) {
    return {};
  }
  const std::size_t stride = static_cast<std::size_t>(Pitch24(pixels.width));
  const std::size_t image_bytes = stride * static_cast<std::size_t>(pixels.height);
  const std::size_t offset = kFileHeaderBytes + kInfoHeaderBytes;
  const std::size_t file_bytes = offset + image_bytes;  // at most about 48 MiB
  std::vector<std::uint8_t> file(file_bytes, 0);
  std::uint8_t* f = file.data();
  f[0] = 'B';
  f[1] = 'M';
  PutLe32(f + 2, static_cast<std::uint32_t>(file_bytes));
  PutLe32(f + 10, static_cast<std::uint32_t>(offset));
  std::uint8_t* info = f + kFileHeaderBytes;
  PutLe32(info, kInfoHeaderBytes);
  PutLe32(info + 4, static_cast<std::uint32_t>(pixels.width));
  PutLe32(info + 8, static_cast<std::uint32_t>(pixels.height));
  PutLe16(info + 12, 1);
  PutLe16(info + 14, 24);
  PutLe32(info + 16, kRgb);
  PutLe32(info + 20, static_cast<std::uint32_t>(image_bytes));
  // Both stored bottom-up: the view's first stored row is the file's first row.
  for (int y = 0; y < pixels.height; ++y) {
    std::memcpy(f + offset + static_cast<std::size_t>(y) * stride,
                pixels.bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.pitch),
                static_cast<std::size_t>(pixels.width) * 3);
  }
  return file;
}

bool WriteBmp24(std::string_view path, const PixelView& pixels) {
  const std::vector<std::uint8_t> file = EncodeBmp24(pixels);
  if (file.empty()) return false;
  std::FILE* stream = OpenFile(path, "wb");
  if (stream == nullptr) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), stream) == file.size();
  const bool closed = std::fclose(stream) == 0;
  return written && closed;
}

}  // namespace plat

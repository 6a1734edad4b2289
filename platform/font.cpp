// Fonts: face lookup through fontconfig, monochrome glyphs rendered once by SDL_ttf and kept as
// one-byte masks, drawn into 24-bit bottom-up pixel memory with clipping.
//
// A face opened at a given cell height is shared by every Font that asks for the same file and
// height; its glyphs are rendered on first use and cached, so drawing costs no rasterising.
#include "platform/font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/text_encoding.h"

namespace plat {
namespace {

// Cell heights beyond this are no text the programs draw; refusing them keeps every glyph mask small.
constexpr int kMaxPixelHeight = 256;
// CP932 has fewer than 8000 characters; a cache that grows past this is reset rather than grown.
constexpr std::size_t kMaxCachedGlyphs = 16384;
// Size at which the face's design ascent and descent are read without pixel rounding.
constexpr int kMetricsPointSize = 1000;

// Faces used when the requested one is not installed: same metrics as the faces the programs
// name, fixed-pitch and proportional.
constexpr const char* kFixedFallback = "IPAGothic";
constexpr const char* kVariableFallback = "IPAPGothic";

struct FaceFile {
  std::string path;
  int index = 0;
  bool operator<(const FaceFile& o) const { return std::tie(path, index) < std::tie(o.path, o.index); }
};

// One rendered glyph: the bounding box of its set pixels relative to the pen position on the
// cell's top row, one byte a pixel (non-zero = set).
struct Glyph {
  int advance = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> mask;
};

bool EnsureTtf() {
  // TTF_Init needs no video subsystem; a function-local static makes the one call thread-safe.
  static const bool ok = TTF_Init() == 0;
  return ok;
}

// Decodes one UTF-8 sequence at `pos`; malformed input yields U+FFFD and advances one byte.
char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, min = 0x10000;
  } else {
    ++pos;
    return 0xFFFD;
  }
  if (s.size() - pos <= static_cast<std::size_t>(extra)) {
    ++pos;
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    const unsigned char c = byte(pos + i);
    if ((c & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return 0xFFFD;
  }
  pos += extra + 1;
  return cp;
}

// Family names compare as fontconfig compares them: ASCII case and blanks do not count.
bool SameFamily(std::string_view a, std::string_view b) {
  const auto next = [](std::string_view s, std::size_t& i) -> int {
    while (i < s.size() && s[i] == ' ') ++i;
    if (i == s.size()) return -1;
    const unsigned char c = static_cast<unsigned char>(s[i++]);
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
  };
  std::size_t i = 0, j = 0;
  for (;;) {
    const int ca = next(a, i), cb = next(b, j);
    if (ca != cb) return false;
    if (ca < 0) return true;
  }
}

std::vector<char32_t> ToCodePoints(std::string_view cp932) {
  std::vector<char32_t> out;
  if (cp932.empty()) return out;
  const std::string utf8 = Cp932ToUtf8(cp932);
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) out.push_back(NextCodePoint(utf8, pos));
  return out;
}

// A face file opened at one cell height, with its glyph cache. Shared between Font objects.
class SizedFace {
 public:
  static std::shared_ptr<SizedFace> Open(const FaceFile& file, int pixel_height) {
    // The face is opened large first to read its design ascent and descent unrounded; the
    // baseline then sits where those proportions put it in the cell, so ascenders and
    // descenders both stay inside the cell at small sizes.
    TTF_Font* font = TTF_OpenFontIndex(file.path.c_str(), kMetricsPointSize, file.index);
    if (font == nullptr) return nullptr;
    const int design_ascent = TTF_FontAscent(font);
    const int design_descent = TTF_FontDescent(font);  // negative below the baseline
    // At 72 dpi a point is a pixel: the em square becomes exactly the cell height.
    if (TTF_SetFontSize(font, pixel_height) != 0) {
      TTF_CloseFont(font);
      return nullptr;
    }
    TTF_SetFontHinting(font, TTF_HINTING_MONO);
    TTF_SetFontKerning(font, 0);  // fixed faces keep whole-cell advances

    int baseline = TTF_FontAscent(font);
    const int design_height = design_ascent - design_descent;
    if (design_ascent > 0 && design_height > 0) {
      baseline = static_cast<int>((static_cast<long long>(pixel_height) * design_ascent * 2 + design_height) /
                                  (2LL * design_height));
    }
    baseline = std::clamp(baseline, 0, pixel_height);
    return std::shared_ptr<SizedFace>(new SizedFace(font, pixel_height, baseline));
  }

  ~SizedFace() { TTF_CloseFont(font_); }
  SizedFace(const SizedFace&) = delete;
  SizedFace& operator=(const SizedFace&) = delete;

  int height() const { return height_; }

  // Calls `fn(glyph)` for each code point in order, under the face's lock.
  template <typename Fn>
  void ForEachGlyph(const std::vector<char32_t>& text, Fn&& fn) {
    std::lock_guard lock(mutex_);
    for (char32_t cp : text) fn(GlyphLocked(cp));
  }

 private:
  SizedFace(TTF_Font* font, int height, int baseline) : font_(font), height_(height), baseline_(baseline) {}

  const Glyph& GlyphLocked(char32_t cp) {
    if (auto it = glyphs_.find(cp); it != glyphs_.end()) return it->second;
    if (glyphs_.size() >= kMaxCachedGlyphs) glyphs_.clear();
    return glyphs_.emplace(cp, Render(cp)).first->second;
  }

  Glyph Render(char32_t cp) const {
    Glyph g;
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics32(font_, cp, &minx, &maxx, &miny, &maxy, &advance) != 0) return g;
    g.advance = std::clamp(advance, 0, 4 * kMaxPixelHeight);

    // Solid rendering is FreeType's monochrome rasteriser: palette index 0 is background,
    // anything else a set pixel. The surface puts the pen origin at x = max(0, -minx) and the
    // baseline at row ascent + max(0, maxy - ascent).
    SDL_Surface* s = TTF_RenderGlyph32_Solid(font_, cp, SDL_Color{255, 255, 255, 255});
    if (s == nullptr) return g;  // blank glyphs (space, controls) may have no surface
    if (s->format->BytesPerPixel != 1 || s->w <= 0 || s->h <= 0 || SDL_LockSurface(s) != 0) {
      SDL_FreeSurface(s);
      return g;
    }
    const int ascent = TTF_FontAscent(font_);
    const int origin_x = std::max(0, -minx);
    const int surface_baseline = ascent + std::max(0, maxy - ascent);
    const auto* pixels = static_cast<const std::uint8_t*>(s->pixels);
    int x0 = s->w, x1 = -1, y0 = s->h, y1 = -1;
    for (int y = 0; y < s->h; ++y) {
      for (int x = 0; x < s->w; ++x) {
        if (pixels[y * s->pitch + x] == 0) continue;
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
    }
    if (x1 >= 0) {
      g.left = x0 - origin_x;
      g.top = y0 - surface_baseline + baseline_;
      g.width = x1 - x0 + 1;
      g.height = y1 - y0 + 1;
      g.mask.resize(static_cast<std::size_t>(g.width) * g.height);
      for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
          g.mask[static_cast<std::size_t>(y) * g.width + x] = pixels[(y0 + y) * s->pitch + x0 + x] != 0;
        }
      }
    }
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    return g;
  }

  TTF_Font* const font_;
  const int height_;
  const int baseline_;  // rows from the cell's top to the baseline
  std::mutex mutex_;
  std::unordered_map<char32_t, Glyph> glyphs_;
};

// Fontconfig lookups and open faces, created on first use (safe during static initialisation).
class Registry {
 public:
  static Registry& Get() {
    static Registry registry;
    return registry;
  }

  // The face files to try for a request, best first: the requested face if it is installed,
  // then the fallback for its pitch.
  std::vector<FaceFile> Candidates(const std::string& family, FontPitch pitch) {
    std::lock_guard lock(mutex_);
    const auto key = std::make_pair(family, pitch);
    if (auto it = lookups_.find(key); it != lookups_.end()) return it->second;
    std::vector<FaceFile> files;
    if (auto f = MatchLocked(family)) files.push_back(*f);
    if (auto f = MatchLocked(pitch == FontPitch::kFixed ? kFixedFallback : kVariableFallback)) {
      if (files.empty() || f->path != files[0].path || f->index != files[0].index) files.push_back(*f);
    }
    lookups_.emplace(key, files);
    return files;
  }

  std::shared_ptr<SizedFace> OpenSized(const FaceFile& file, int pixel_height) {
    std::lock_guard lock(mutex_);
    auto& slot = open_[std::make_pair(file, pixel_height)];
    if (auto face = slot.lock()) return face;
    auto face = SizedFace::Open(file, pixel_height);
    slot = face;
    return face;
  }

 private:
  Registry() = default;

  // The file of an installed face whose family (any of its names) is `family`.
  std::optional<FaceFile> MatchLocked(const std::string& family) {
    if (family.empty() || !fontconfig_ready_) return std::nullopt;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return std::nullopt;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return std::nullopt;

    std::optional<FaceFile> found;
    bool same_family = false;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
      if (name != nullptr && SameFamily(reinterpret_cast<const char*>(name), family)) {
        same_family = true;
        break;
      }
    }
    FcChar8* file = nullptr;
    int index = 0;
    if (same_family && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
      if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
      found = FaceFile{reinterpret_cast<const char*>(file), index};
    }
    FcPatternDestroy(match);
    return found;
  }

  std::mutex mutex_;
  bool fontconfig_ready_ = FcInit() == FcTrue;
  std::map<std::pair<std::string, FontPitch>, std::vector<FaceFile>> lookups_;
  std::map<std::pair<FaceFile, int>, std::weak_ptr<SizedFace>> open_;
};

class TtfFont final : public Font {
 public:
  explicit TtfFont(std::shared_ptr<SizedFace> face) : face_(std::move(face)) {}

  int height() const override { return face_->height(); }

  int Measure(std::string_view cp932) const override {
    long long width = 0;
    face_->ForEachGlyph(ToCodePoints(cp932), [&](const Glyph& g) { width = std::min(width + g.advance, 1LL * INT_MAX); });
    return static_cast<int>(width);
  }

  int Draw(const PixelView& dst, int x, int y, std::string_view cp932, Color color) const override {
    // Positions are kept in 64 bits: text may start or run far outside int range of the view.
    const bool drawable = !dst.empty() && dst.pitch >= 3LL * dst.width;
    long long pen = x;
    face_->ForEachGlyph(ToCodePoints(cp932), [&](const Glyph& g) {
      if (drawable && !g.mask.empty()) Blit(dst, pen + g.left, 1LL * y + g.top, g, color);
      pen = std::min(pen + g.advance, 1LL * x + INT_MAX);
    });
    return static_cast<int>(pen - x);
  }

 private:
  static void Blit(const PixelView& dst, long long gx, long long gy, const Glyph& g, Color color) {
    const long long col_begin = std::max(0LL, -gx);
    const long long col_end = std::min<long long>(g.width, dst.width - gx);
    const long long row_begin = std::max(0LL, -gy);
    const long long row_end = std::min<long long>(g.height, dst.height - gy);
    if (col_begin >= col_end || row_begin >= row_end) return;
    for (long long r = row_begin; r < row_end; ++r) {
      const std::uint8_t* mask = &g.mask[static_cast<std::size_t>(r * g.width)];
      std::uint8_t* row = dst.At(static_cast<int>(gx + col_begin), static_cast<int>(gy + r));
      for (long long c = col_begin; c < col_end; ++c, row += 3) {
        if (mask[c] == 0) continue;
        row[0] = color.b;
        row[1] = color.g;
        row[2] = color.r;
      }
    }
  }

  std::shared_ptr<SizedFace> face_;
};

}  // namespace

// GCC marks AddressSanitizer builds with __SANITIZE_ADDRESS__, clang only through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_FONT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_FONT_ASAN 1
#endif
#endif
#if defined(VELMORA_FONT_ASAN)
// fontconfig loses a few bytes while it parses its configuration files on first use; nothing of
// ours can free them. The library is built without frame pointers, so the leak checker's stacks
// stop at its first frame and only the library as a whole can be named here.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

std::unique_ptr<Font> Font::Open(std::string_view face, int pixel_height, FontPitch pitch) {
  if (pixel_height <= 0 || pixel_height > kMaxPixelHeight || !EnsureTtf()) return nullptr;
  Registry& registry = Registry::Get();
  for (const FaceFile& file : registry.Candidates(Cp932ToUtf8(face), pitch)) {
    if (auto sized = registry.OpenSized(file, pixel_height)) return std::make_unique<TtfFont>(std::move(sized));
  }
  return nullptr;
}

}  // namespace plat

// Movie pictures: pastel gradients, soft round shapes and a little motion, drawn per pixel in
// floating point and rounded at the end. Positions come from a random source seeded by the
// movie's name, so every run paints the same pictures.
#include "video/movie_frames.h"

#include <algorithm>
#include <cmath>

#include "platform/font.h"
#include "sound/synth.h"

namespace databuild {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r, g, b;
};
Rgb Col(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }
Rgb Mix(Rgb a, Rgb b, double x) { return {a.r + (b.r - a.r) * x, a.g + (b.g - a.g) * x, a.b + (b.b - a.b) * x}; }

double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }
double Smooth(double edge0, double edge1, double x) {
  const double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3.0 - 2.0 * t);
}

// A float picture, 3 values a pixel.
class Canvas {
 public:
  Canvas(int w, int h, std::vector<float>* px) : w_(w), h_(h), px_(px) { px_->assign(static_cast<std::size_t>(w) * h * 3, 0.0f); }
  int w() const { return w_; }
  int h() const { return h_; }

  void Blend(int x, int y, Rgb c, double a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0.0) return;
    float* p = &(*px_)[(static_cast<std::size_t>(y) * w_ + x) * 3];
    a = std::min(a, 1.0);
    p[0] = static_cast<float>(p[0] + (c.r - p[0]) * a);
    p[1] = static_cast<float>(p[1] + (c.g - p[1]) * a);
    p[2] = static_cast<float>(p[2] + (c.b - p[2]) * a);
  }

  void Gradient(Rgb top, Rgb bottom, int y0, int y1) {
    for (int y = std::max(0, y0); y < std::min(h_, y1); ++y) {
      const Rgb c = Mix(top, bottom, static_cast<double>(y - y0) / std::max(1, y1 - y0 - 1));
      for (int x = 0; x < w_; ++x) Blend(x, y, c, 1.0);
    }
  }

  // A disc with an antialiased edge `soft` pixels wide.
  void Disc(double cx, double cy, double r, Rgb c, double alpha, double soft = 1.0) {
    const int x0 = static_cast<int>(std::floor(cx - r - soft)), x1 = static_cast<int>(std::ceil(cx + r + soft));
    const int y0 = static_cast<int>(std::floor(cy - r - soft)), y1 = static_cast<int>(std::ceil(cy + r + soft));
    for (int y = std::max(0, y0); y <= std::min(h_ - 1, y1); ++y)
      for (int x = std::max(0, x0); x <= std::min(w_ - 1, x1); ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        Blend(x, y, c, alpha * Clamp01((r - d) / soft + 0.5));
      }
  }

  // An ellipse turned by `angle`.
  void Ellipse(double cx, double cy, double rx, double ry, double angle, Rgb c, double alpha) {
    const double r = std::max(rx, ry) + 1.5;
    const double ca = std::cos(angle), sa = std::sin(angle);
    for (int y = std::max(0, static_cast<int>(cy - r)); y <= std::min(h_ - 1, static_cast<int>(cy + r)); ++y)
      for (int x = std::max(0, static_cast<int>(cx - r)); x <= std::min(w_ - 1, static_cast<int>(cx + r)); ++x) {
        const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        const double u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
        const double d = std::sqrt(u * u + v * v);
        Blend(x, y, c, alpha * Clamp01((1.0 - d) * std::min(rx, ry) + 0.5));
      }
  }

  // A soft light: strongest at the centre, gone at about 2.5 r.
  void Glow(double cx, double cy, double r, Rgb c, double strength) {
    const double reach = r * 2.5;
    for (int y = std::max(0, static_cast<int>(cy - reach)); y <= std::min(h_ - 1, static_cast<int>(cy + reach)); ++y)
      for (int x = std::max(0, static_cast<int>(cx - reach)); x <= std::min(w_ - 1, static_cast<int>(cx + reach)); ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / r;
        Blend(x, y, c, strength * std::exp(-d * d));
      }
  }

  void Rect(double x0, double y0, double x1, double y1, Rgb c, double alpha) {
    for (int y = std::max(0, static_cast<int>(y0)); y < std::min(h_, static_cast<int>(std::ceil(y1))); ++y)
      for (int x = std::max(0, static_cast<int>(x0)); x < std::min(w_, static_cast<int>(std::ceil(x1))); ++x) {
        const double cover = Clamp01(std::min(x + 1.0, x1) - std::max(static_cast<double>(x), x0)) *
                             Clamp01(std::min(y + 1.0, y1) - std::max(static_cast<double>(y), y0));
        Blend(x, y, c, alpha * cover);
      }
  }

  // Rolling hills: everything below the curve base + waves takes the colour.
  void Hills(double base, double amp, double freq, double phase, Rgb c) {
    for (int x = 0; x < w_; ++x) {
      const double u = static_cast<double>(x) / w_;
      const double top = base + amp * std::sin(u * freq * 2.0 * kPi + phase) + amp * 0.4 * std::sin(u * freq * 5.1 + phase * 1.7);
      for (int y = std::max(0, static_cast<int>(top) - 1); y < h_; ++y) Blend(x, y, c, Clamp01(y + 1.0 - top));
    }
  }

 private:
  int w_, h_;
  std::vector<float>* px_;
};

// A cloud: a few overlapping discs.
void Cloud(Canvas* c, double cx, double cy, double size, double alpha) {
  const double parts[5][3] = {{-0.9, 0.15, 0.45}, {-0.35, -0.2, 0.6}, {0.3, -0.1, 0.55}, {0.85, 0.15, 0.42}, {0.0, 0.2, 0.5}};
  for (const auto& p : parts) c->Disc(cx + p[0] * size, cy + p[1] * size, p[2] * size, Col(255, 255, 255), alpha, 2.0);
}

void PaintSky(Canvas* c, double t, double progress, Rng rng) {
  const double w = c->w(), h = c->h();
  c->Gradient(Col(150, 195, 236), Col(252, 224, 232), 0, c->h());
  const double sun_y = h * (0.55 - 0.25 * progress);
  c->Glow(w * 0.72, sun_y, h * 0.16, Col(255, 246, 205), 0.55);
  c->Disc(w * 0.72, sun_y, h * 0.07, Col(255, 238, 178), 1.0, 1.5);
  for (int i = 0; i < 5; ++i) {
    const double speed = 4.0 + rng.Uniform() * 6.0;
    const double size = h * (0.07 + rng.Uniform() * 0.06);
    const double x = std::fmod(rng.Uniform() * (w + 4 * size) + t * speed * w / 320.0, w + 4 * size) - 2 * size;
    Cloud(c, x, h * (0.12 + rng.Uniform() * 0.35), size, 0.85);
  }
  c->Hills(h * 0.74, h * 0.04, 1.3, 0.7, Col(190, 222, 205));
  c->Hills(h * 0.84, h * 0.035, 2.1, 2.4, Col(162, 208, 180));
}

void PaintSea(Canvas* c, double t, double progress, Rng rng) {
  const double w = c->w(), h = c->h();
  const double horizon = h * 0.58;
  c->Gradient(Col(196, 190, 232), Col(255, 214, 196), 0, static_cast<int>(horizon) + 1);
  const double sun_y = horizon - h * (0.22 - 0.16 * progress);
  c->Glow(w * 0.5, sun_y, h * 0.18, Col(255, 222, 190), 0.6);
  c->Disc(w * 0.5, sun_y, h * 0.085, Col(255, 196, 160), 1.0, 1.5);
  c->Gradient(Col(150, 170, 215), Col(110, 140, 195), static_cast<int>(horizon), c->h());
  // Light on the water: short bright strokes that drift and shimmer below the sun.
  for (int i = 0; i < 70; ++i) {
    const double depth = rng.Uniform();
    const double y = horizon + 3 + depth * (h - horizon - 6);
    const double spread = w * (0.05 + 0.25 * depth);
    const double x = w * 0.5 + (rng.Uniform() * 2.0 - 1.0) * spread + 6.0 * std::sin(t * 1.3 + i);
    const double len = 4 + 14 * depth;
    const double a = 0.35 + 0.35 * std::sin(t * (2.0 + rng.Uniform() * 2.0) + i * 1.7);
    c->Rect(x - len / 2, y, x + len / 2, y + 1.2 + depth, Col(255, 228, 210), Clamp01(a));
  }
  // Gentle swell lines across the whole sea.
  for (int k = 0; k < 6; ++k) {
    const double y0 = horizon + (h - horizon) * (0.15 + 0.14 * k);
    for (int x = 0; x < c->w(); ++x) {
      const double y = y0 + 2.0 * std::sin(x * 0.05 + t * (0.8 + 0.1 * k) + k);
      c->Blend(x, static_cast<int>(y), Col(200, 215, 240), 0.35);
    }
  }
}

void PaintNight(Canvas* c, double t, double progress, Rng rng) {
  const double w = c->w(), h = c->h();
  c->Gradient(Col(44, 48, 100), Col(150, 128, 180), 0, c->h());
  for (int i = 0; i < 90; ++i) {
    const double x = rng.Uniform() * w, y = rng.Uniform() * h * 0.7;
    const double rate = 1.0 + rng.Uniform() * 2.5, phase = rng.Uniform() * 2.0 * kPi;
    const double bright = 0.35 + 0.45 * (0.5 + 0.5 * std::sin(t * rate + phase));
    const double size = 0.6 + rng.Uniform() * 0.9;
    c->Disc(x, y, size, Col(255, 250, 235), bright, 1.0);
  }
  const double moon_x = w * (0.70 + 0.08 * progress), moon_y = h * (0.24 - 0.05 * progress);
  c->Glow(moon_x, moon_y, h * 0.14, Col(230, 225, 255), 0.35);
  c->Disc(moon_x, moon_y, h * 0.075, Col(252, 247, 226), 1.0, 1.5);
  c->Hills(h * 0.80, h * 0.04, 1.6, 1.1, Col(82, 86, 136));
  c->Hills(h * 0.88, h * 0.03, 2.6, 3.0, Col(66, 70, 118));
  // Windows lit in a little house on the hill.
  c->Rect(w * 0.70, h * 0.76, w * 0.80, h * 0.86, Col(72, 76, 124), 1.0);
  c->Rect(w * 0.725, h * 0.785, w * 0.755, h * 0.82, Col(255, 226, 160), 0.9 + 0.1 * std::sin(t * 2.0));
}

void PaintPetals(Canvas* c, double t, double /*progress*/, Rng rng) {
  const double w = c->w(), h = c->h();
  c->Gradient(Col(255, 230, 238), Col(232, 238, 255), 0, c->h());
  for (int i = 0; i < 10; ++i) {
    const double x = rng.Uniform() * w, y = rng.Uniform() * h, r = h * (0.04 + rng.Uniform() * 0.08);
    c->Disc(x + 5.0 * std::sin(t * 0.4 + i), y, r, Col(255, 255, 255), 0.25, r * 0.3);
  }
  for (int i = 0; i < 40; ++i) {
    const double fall = 14.0 + rng.Uniform() * 18.0, drift = 6.0 + rng.Uniform() * 8.0;
    const double x0 = rng.Uniform() * w, y0 = rng.Uniform() * (h + 20);
    const double y = std::fmod(y0 + t * fall * h / 240.0, h + 20) - 10;
    const double x = std::fmod(x0 + t * drift + 8.0 * std::sin(t * 1.2 + i), w + 20) - 10;
    const double size = 2.5 + rng.Uniform() * 2.5;
    c->Ellipse(x, y, size * 1.4, size * 0.8, t * (0.8 + rng.Uniform()) + i, Col(244, 168, 192), 0.9);
  }
}

void PaintSnowWindow(Canvas* c, double t, double /*progress*/, Rng rng) {
  const double w = c->w(), h = c->h();
  c->Gradient(Col(244, 232, 214), Col(232, 218, 200), 0, c->h());
  const double x0 = w * 0.22, x1 = w * 0.78, y0 = h * 0.14, y1 = h * 0.78;
  // The view outside: a night sky with snow falling.
  for (int y = static_cast<int>(y0); y < static_cast<int>(y1); ++y)
    c->Rect(x0, y, x1, y + 1, Mix(Col(74, 84, 136), Col(128, 126, 176), (y - y0) / (y1 - y0)), 1.0);
  for (int i = 0; i < 60; ++i) {
    const double fall = 10.0 + rng.Uniform() * 14.0;
    const double fx = x0 + rng.Uniform() * (x1 - x0);
    const double fy = std::fmod(rng.Uniform() * (y1 - y0) + t * fall * h / 240.0, y1 - y0);
    const double x = fx + 4.0 * std::sin(t * 0.9 + i);
    if (x > x0 + 2 && x < x1 - 2) c->Disc(x, y0 + fy, 1.0 + rng.Uniform() * 1.2, Col(255, 255, 255), 0.9, 1.0);
  }
  // The frame and its cross bars.
  const Rgb wood = Col(214, 190, 166);
  const double bar = std::max(3.0, w * 0.014);
  c->Rect(x0 - bar, y0 - bar, x1 + bar, y0, wood, 1.0);
  c->Rect(x0 - bar, y1, x1 + bar, y1 + bar * 1.6, wood, 1.0);
  c->Rect(x0 - bar, y0, x0, y1, wood, 1.0);
  c->Rect(x1, y0, x1 + bar, y1, wood, 1.0);
  c->Rect((x0 + x1) / 2 - bar / 2, y0, (x0 + x1) / 2 + bar / 2, y1, wood, 1.0);
  c->Rect(x0, (y0 + y1) / 2 - bar / 2, x1, (y0 + y1) / 2 + bar / 2, wood, 1.0);
  // The curtain rod, and the curtains swaying a little at both sides.
  c->Rect(w * 0.08, y0 - bar * 3.5, w * 0.92, y0 - bar * 2.2, Col(200, 172, 148), 1.0);
  for (int y = static_cast<int>(y0 - bar * 2.2); y < static_cast<int>(y1 + bar * 2); ++y) {
    const double sway = 3.0 * std::sin(t * 1.1 + y * 0.03) * (y / h);
    const double left = w * 0.19 + sway + 0.06 * w * (y / h), right = w * 0.81 - sway - 0.06 * w * (y / h);
    c->Rect(0, y, left, y + 1, Col(240, 192, 204), 1.0);
    c->Rect(right, y, w, y + 1, Col(240, 192, 204), 1.0);
    for (int k = 1; k < 4; ++k) {  // soft folds
      c->Rect(left * k / 4.0, y, left * k / 4.0 + 2, y + 1, Col(226, 172, 188), 0.5);
      c->Rect(right + (w - right) * k / 4.0, y, right + (w - right) * k / 4.0 + 2, y + 1, Col(226, 172, 188), 0.5);
    }
  }
}

double ClampProgress(double p) { return Clamp01(p); }

}  // namespace

// The title text as a coverage mask: drawn three times larger with the game's own font and
// averaged down, so its edges are smooth although the font draws without antialiasing.
struct MovieFrames::Title {
  int w = 0, h = 0;
  std::vector<float> alpha;

  static std::unique_ptr<Title> Make(const char* text, int pixel_height) {
    constexpr int kScale = 3;
    auto font = plat::Font::Open("ＭＳ Ｐゴシック", pixel_height * kScale, plat::FontPitch::kVariable);
    if (!font) return nullptr;
    const int big_w = font->Measure(text) + 4 * kScale, big_h = font->height() + 2 * kScale;
    const int pitch = (big_w * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(pitch) * big_h, 0);
    plat::PixelView view{bits.data(), big_w, big_h, pitch};
    font->Draw(view, 2 * kScale, kScale, text, plat::Color{255, 255, 255});
    auto title = std::make_unique<Title>();
    title->w = big_w / kScale;
    title->h = big_h / kScale;
    title->alpha.assign(static_cast<std::size_t>(title->w) * title->h, 0.0f);
    for (int y = 0; y < title->h; ++y)
      for (int x = 0; x < title->w; ++x) {
        int sum = 0;
        for (int dy = 0; dy < kScale; ++dy)
          for (int dx = 0; dx < kScale; ++dx) sum += view.At(x * kScale + dx, y * kScale + dy)[1];
        title->alpha[static_cast<std::size_t>(y) * title->w + x] = static_cast<float>(sum / (255.0 * kScale * kScale));
      }
    return title;
  }
};

MovieFrames::MovieFrames(const std::string& name, int width, int height, int count)
    : name_(name), width_(width), height_(height), count_(std::max(1, count)) {
  if (name_ == "op") title_ = Title::Make("Velmora", std::max(24, height / 6));
}

MovieFrames::~MovieFrames() = default;

MovieScene MovieFrames::SceneForName(const std::string& name) {
  static const MovieScene kScenes[] = {MovieScene::kSky, MovieScene::kSea, MovieScene::kNight, MovieScene::kPetals,
                                       MovieScene::kSnowWindow};
  std::string key = name;
  for (char& ch : key)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return kScenes[NameHash(key) % 5];
}

void MovieFrames::PaintScene(MovieScene scene, double t, double progress, std::vector<float>* rgb) const {
  Canvas canvas(width_, height_, rgb);
  const Rng rng(NameHash(name_) ^ (static_cast<std::uint32_t>(scene) * 0x9E3779B1u));
  switch (scene) {
    case MovieScene::kSky: PaintSky(&canvas, t, progress, rng); break;
    case MovieScene::kSea: PaintSea(&canvas, t, progress, rng); break;
    case MovieScene::kNight: PaintNight(&canvas, t, progress, rng); break;
    case MovieScene::kPetals: PaintPetals(&canvas, t, progress, rng); break;
    case MovieScene::kSnowWindow: PaintSnowWindow(&canvas, t, progress, rng); break;
  }
}

void MovieFrames::Paint(int index, std::vector<std::uint8_t>* rgb) {
  constexpr double kFps = 15.0;
  const double t = index / kFps;
  const double duration = count_ / kFps;
  const double p = static_cast<double>(index) / std::max(1, count_ - 1);
  std::vector<float> a, b;
  // The level of white (story movies) or black (the opening) the picture is faded with.
  double fade = 0.0;
  Rgb fade_to = Col(255, 255, 255);
  if (name_ == "op") {
    // A sunny sky, then the sea at sunset, then the night sky with the title; each scene fades
    // into the next.
    struct Part {
      MovieScene scene;
      double from, to;
    } parts[] = {{MovieScene::kSky, 0.0, 0.36}, {MovieScene::kSea, 0.30, 0.66}, {MovieScene::kNight, 0.60, 1.01}};
    bool first = true;
    for (const Part& part : parts) {
      if (p < part.from || p >= part.to) continue;
      const double local = ClampProgress((p - part.from) / (part.to - part.from));
      if (first) {
        PaintScene(part.scene, t, local, &a);
        first = false;
      } else {
        PaintScene(part.scene, t, local, &b);
        const double x = Smooth(part.from, part.from + 0.06, p);
        for (std::size_t i = 0; i < a.size(); ++i) a[i] += static_cast<float>((b[i] - a[i]) * x);
      }
    }
    if (title_) {
      const double shown = Smooth(0.68, 0.80, p);
      const int tx = (width_ - title_->w) / 2, ty = static_cast<int>(height_ * 0.36) - title_->h / 2;
      for (int y = 0; y < title_->h; ++y)
        for (int x = 0; x < title_->w; ++x) {
          const double cover = title_->alpha[static_cast<std::size_t>(y) * title_->w + x] * shown;
          if (cover <= 0.0) continue;
          for (const int offset : {2, 0}) {
            const int px = tx + x + offset, py = ty + y + offset;
            if (px < 0 || py < 0 || px >= width_ || py >= height_) continue;
            const Rgb c = offset ? Col(120, 100, 170) : Col(255, 250, 246);
            float* q = &a[(static_cast<std::size_t>(py) * width_ + px) * 3];
            const double k = offset ? cover * 0.45 : cover;
            q[0] = static_cast<float>(q[0] + (c.r - q[0]) * k);
            q[1] = static_cast<float>(q[1] + (c.g - q[1]) * k);
            q[2] = static_cast<float>(q[2] + (c.b - q[2]) * k);
          }
        }
    }
    fade_to = Col(0, 0, 0);
    fade = std::max(1.0 - Smooth(0.0, 0.8, t), Smooth(duration - 0.8, duration, t + 1.0 / kFps));
  } else {
    PaintScene(SceneForName(name_), t, p, &a);
    fade = std::max(1.0 - Smooth(0.0, 0.6, t), Smooth(duration - 0.6, duration, t + 1.0 / kFps));
  }
  rgb->resize(static_cast<std::size_t>(width_) * height_ * 3);
  for (std::size_t i = 0; i < rgb->size(); i += 3) {
    const double c[3] = {a[i] + (fade_to.r - a[i]) * fade, a[i + 1] + (fade_to.g - a[i + 1]) * fade,
                         a[i + 2] + (fade_to.b - a[i + 2]) * fade};
    for (int k = 0; k < 3; ++k) (*rgb)[i + k] = static_cast<std::uint8_t>(std::lround(Clamp01(c[k]) * 255.0));
  }
}

}  // namespace databuild

// The real backend: one SDL window showing the 640 × 480 logical picture scaled by a whole
// factor with nearest-neighbour sampling, letterboxed in full screen. The loop sleeps in
// SDL_WaitEventTimeout until input or the next timer deadline, so an idle game costs nothing.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"

namespace plat {
namespace {

constexpr int kLogicalW = 640, kLogicalH = 480;

Key MapKey(SDL_Keycode k) {
  switch (k) {
    case SDLK_F1: return Key::kF1;
    case SDLK_F2: return Key::kF2;
    case SDLK_F3: return Key::kF3;
    case SDLK_F4: return Key::kF4;
    case SDLK_F5: return Key::kF5;
    case SDLK_F6: return Key::kF6;
    case SDLK_F7: return Key::kF7;
    case SDLK_F8: return Key::kF8;
    case SDLK_F9: return Key::kF9;
    case SDLK_F10: return Key::kF10;
    case SDLK_F11: return Key::kF11;
    case SDLK_F12: return Key::kF12;
    case SDLK_ESCAPE: return Key::kEscape;
    case SDLK_RETURN: case SDLK_KP_ENTER: return Key::kReturn;
    case SDLK_BACKSPACE: return Key::kBackspace;
    case SDLK_DELETE: return Key::kDelete;
    case SDLK_TAB: return Key::kTab;
    case SDLK_LEFT: return Key::kLeft;
    case SDLK_RIGHT: return Key::kRight;
    case SDLK_HOME: return Key::kHome;
    case SDLK_END: return Key::kEnd;
    case SDLK_SPACE: return Key::kSpace;
    default: return Key::kOther;
  }
}

unsigned Modifiers(Uint16 mod) {
  unsigned m = 0;
  if (mod & KMOD_SHIFT) m |= kModShift;
  if (mod & KMOD_CTRL) m |= kModControl;
  if (mod & KMOD_ALT) m |= kModAlt;
  return m;
}

unsigned MouseFlags(Uint32 buttons) {
  unsigned f = 0;
  if (buttons & SDL_BUTTON_LMASK) f |= kFlagLButton;
  if (buttons & SDL_BUTTON_RMASK) f |= kFlagRButton;
  if (buttons & SDL_BUTTON_MMASK) f |= kFlagMButton;
  const SDL_Keymod mod = SDL_GetModState();
  if (mod & KMOD_SHIFT) f |= kFlagShift;
  if (mod & KMOD_CTRL) f |= kFlagControl;
  return f;
}

class SdlBackend final : public Backend {
 public:
  ~SdlBackend() override {
    CloseWindow();
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool Init() {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // SIGTERM and SIGINT end the program as signals do, rather than asking the player to quit.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "Velmora: no display available (%s)\n", SDL_GetError());
      return false;
    }
    initialised_ = true;
    // Without X11 or Wayland SDL falls back to drivers that show nothing; a game nobody can see
    // would hold the single-instance lock for ever, so refuse them unless asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
        (asked == nullptr || *asked == '\0')) {
      std::fprintf(stderr, "Velmora: no display available (set DISPLAY, or VELMORA_BACKEND=headless)\n");
      return false;
    }
    SDL_StopTextInput();
    return true;
  }

  bool is_headless() const override { return false; }

  int ChooseScale() const {
    if (const char* v = std::getenv("VELMORA_SCALE"); v != nullptr && *v != '\0') {
      const long n = std::strtol(v, nullptr, 10);
      if (n >= 1 && n <= 16) return static_cast<int>(n);
    }
    SDL_Rect usable{0, 0, kLogicalW, kLogicalH};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    // Leave room for the window manager's caption and border.
    const int by_w = (usable.w - 16) / kLogicalW, by_h = (usable.h - 48) / kLogicalH;
    return std::max(1, std::min(by_w, by_h));
  }

  bool OpenWindow(std::string_view title_utf8, const Rect& bounds) override {
    scale_ = ChooseScale();
    const std::string title(title_utf8);
    (void)bounds;
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kLogicalW * scale_,
                               kLogicalH * scale_, SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) {
      std::fprintf(stderr, "Velmora: cannot create the window (%s)\n", SDL_GetError());
      return false;
    }
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) {
      std::fprintf(stderr, "Velmora: cannot draw into the window (%s)\n", SDL_GetError());
      CloseWindow();
      return false;
    }
    SDL_RenderSetLogicalSize(renderer_, kLogicalW, kLogicalH);
    SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, kLogicalW, kLogicalH);
    if (texture_ == nullptr) {
      std::fprintf(stderr, "Velmora: cannot create the picture (%s)\n", SDL_GetError());
      CloseWindow();
      return false;
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
    SDL_ShowWindow(window_);
    return true;
  }

  void CloseWindow() override {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
  }

  void SetTitle(std::string_view title_utf8) override {
    if (window_ != nullptr) SDL_SetWindowTitle(window_, std::string(title_utf8).c_str());
  }
  void SetDecorated(bool decorated) override {
    if (window_ != nullptr && !full_screen_) SDL_SetWindowBordered(window_, decorated ? SDL_TRUE : SDL_FALSE);
  }
  void MoveWindow(const Rect& bounds) override {
    // The size is fixed by the scale; only a windowed move changes the position.
    if (window_ == nullptr || full_screen_) return;
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    (void)bounds;
  }
  bool SetFullScreen(bool full) override {
    if (window_ == nullptr) return false;
    if (SDL_SetWindowFullscreen(window_, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    full_screen_ = full;
    if (!full) {
      SDL_SetWindowSize(window_, kLogicalW * scale_, kLogicalH * scale_);
      SDL_SetWindowBordered(window_, SDL_TRUE);
    }
    return true;
  }
  Rect WorkArea() const override {
    SDL_Rect r{0, 0, kLogicalW, kLogicalH};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) return Rect{0, 0, kLogicalW, kLogicalH};
    return Rect{r.x / scale_, r.y / scale_, (r.x + r.w) / scale_, (r.y + r.h) / scale_};
  }
  Rect ScreenRect() const override {
    if (full_screen_) return Rect{0, 0, kLogicalW, kLogicalH};
    SDL_Rect r{0, 0, kLogicalW, kLogicalH};
    if (SDL_GetDisplayBounds(0, &r) != 0) return Rect{0, 0, kLogicalW, kLogicalH};
    return Rect{0, 0, r.w / scale_, r.h / scale_};
  }

  void Present(const PixelView& picture) override {
    if (texture_ == nullptr || picture.empty()) return;
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return;
    const int w = std::min(picture.width, kLogicalW), h = std::min(picture.height, kLogicalH);
    for (int y = 0; y < h; ++y)
      std::memcpy(static_cast<std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch, picture.At(0, y),
                  static_cast<std::size_t>(w) * 3);
    SDL_UnlockTexture(texture_);
    Redraw();
  }

  void StartTextInput() override { SDL_StartTextInput(); }
  void StopTextInput() override { SDL_StopTextInput(); }
  void CaptureMouse(bool on) override { SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE); }

  std::uint64_t NowMs() const override { return SDL_GetTicks64(); }

  bool PollEvent(Event* event) override {
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0)
      if (Translate(e, event)) return true;
    return false;
  }

  bool WaitEvent(Event* event, std::optional<std::uint64_t> deadline_ms) override {
    for (;;) {
      SDL_Event e;
      int got;
      if (deadline_ms.has_value()) {
        const std::uint64_t now = NowMs();
        if (now >= *deadline_ms) return false;
        got = SDL_WaitEventTimeout(&e, static_cast<int>(std::min<std::uint64_t>(*deadline_ms - now, 1000)));
        if (got == 0) {
          if (NowMs() >= *deadline_ms) return false;
          continue;
        }
      } else {
        got = SDL_WaitEvent(&e);
        if (got == 0) return false;
      }
      if (Translate(e, event)) return true;
    }
  }

 private:
  void Redraw() {
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

  bool Translate(const SDL_Event& e, Event* out) {
    *out = Event{};
    switch (e.type) {
      case SDL_MOUSEMOTION:
        out->type = EventType::kMouseMove;
        out->x = e.motion.x;
        out->y = e.motion.y;
        out->flags = MouseFlags(e.motion.state);
        return true;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT) return false;
        out->type = e.type == SDL_MOUSEBUTTONDOWN ? EventType::kMouseDown : EventType::kMouseUp;
        out->x = e.button.x;
        out->y = e.button.y;
        out->flags = MouseFlags(SDL_GetMouseState(nullptr, nullptr));
        return true;
      case SDL_KEYDOWN:
        out->type = EventType::kKeyDown;
        out->key = MapKey(e.key.keysym.sym);
        out->modifiers = Modifiers(e.key.keysym.mod);
        return true;
      case SDL_TEXTINPUT:
        out->type = EventType::kTextInput;
        out->text = std::string(e.text.text, strnlen(e.text.text, sizeof(e.text.text)));
        return true;
      case SDL_QUIT:
        out->type = EventType::kCloseRequest;
        return true;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          out->type = EventType::kCloseRequest;
          return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          // Uncovered: the windows repaint the whole client area from their own pixels.
          out->type = EventType::kExpose;
          out->area = Rect{0, 0, kLogicalW, kLogicalH};
          return true;
        }
        return false;
      default:
        return false;
    }
  }

  bool initialised_ = false;
  bool full_screen_ = false;
  int scale_ = 1;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() {
  auto b = std::make_unique<SdlBackend>();
  if (!b->Init()) return nullptr;
  return b;
}

}  // namespace plat

// A backend without display or sound card: a virtual clock that moves only when the loop waits,
// input that tests inject, and the presented picture kept for them to read.
#include <cstdio>
#include <deque>
#include <mutex>

#include "platform/application.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"

namespace plat {
namespace {

struct HeadlessState {
  std::uint64_t now = 0;
  std::deque<Event> events;
  std::deque<headless::ModalAction> modal_actions;
  std::vector<headless::ShownDialog> dialogs;
  bool open = false;
  Rect bounds;
  bool decorated = true;
  bool full_screen = false;
  bool captured = false;
  std::string title;
  int presents = 0;
  int width = 0, height = 0;
  std::vector<std::uint8_t> picture;  // RGB, top-down
};

HeadlessState& State() {
  static HeadlessState state;
  return state;
}

class HeadlessBackend final : public Backend {
 public:
  bool is_headless() const override { return true; }
  bool OpenWindow(std::string_view title_utf8, const Rect& bounds) override {
    HeadlessState& s = State();
    s.open = true;
    s.title = std::string(title_utf8);
    s.bounds = bounds;
    s.decorated = true;
    s.full_screen = false;
    s.presents = 0;
    s.picture.clear();
    s.width = s.height = 0;
    return true;
  }
  void CloseWindow() override { State().open = false; }
  void SetTitle(std::string_view title_utf8) override { State().title = std::string(title_utf8); }
  void SetDecorated(bool decorated) override { State().decorated = decorated; }
  void MoveWindow(const Rect& bounds) override { State().bounds = bounds; }
  bool SetFullScreen(bool full) override {
    State().full_screen = full;
    return true;
  }
  Rect WorkArea() const override { return Rect{0, 0, 1280, 984}; }
  Rect ScreenRect() const override { return State().full_screen ? Rect{0, 0, 640, 480} : Rect{0, 0, 1280, 1024}; }
  void Present(const PixelView& picture) override {
    HeadlessState& s = State();
    ++s.presents;
    s.width = picture.width;
    s.height = picture.height;
    s.picture.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    std::uint8_t* out = s.picture.data();
    for (int y = 0; y < picture.height; ++y) {
      const std::uint8_t* in = picture.At(0, y);
      for (int x = 0; x < picture.width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
    }
  }
  void StartTextInput() override {}
  void StopTextInput() override {}
  void CaptureMouse(bool on) override { State().captured = on; }
  std::uint64_t NowMs() const override { return State().now; }
  bool PollEvent(Event* event) override {
    HeadlessState& s = State();
    if (s.events.empty()) return false;
    *event = std::move(s.events.front());
    s.events.pop_front();
    return true;
  }
  bool WaitEvent(Event* event, std::optional<std::uint64_t> deadline_ms) override {
    if (PollEvent(event)) return true;
    HeadlessState& s = State();
    if (deadline_ms.has_value() && *deadline_ms > s.now) {
      s.now = *deadline_ms;
      headless::PullAudio();
    }
    return false;
  }
};

void Push(Event e) { State().events.push_back(std::move(e)); }

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

namespace headless {

void Reset() {
  HeadlessState& s = State();
  s.events.clear();
  s.modal_actions.clear();
  s.dialogs.clear();
}

void InjectMouseMove(int x, int y, unsigned flags) {
  Event e;
  e.type = EventType::kMouseMove;
  e.x = x, e.y = y, e.flags = flags;
  Push(std::move(e));
}
void InjectMouseDown(int x, int y, unsigned flags) {
  Event e;
  e.type = EventType::kMouseDown;
  e.x = x, e.y = y, e.flags = flags;
  Push(std::move(e));
}
void InjectMouseUp(int x, int y, unsigned flags) {
  Event e;
  e.type = EventType::kMouseUp;
  e.x = x, e.y = y, e.flags = flags;
  Push(std::move(e));
}
void InjectKey(Key key, unsigned modifiers) {
  Event e;
  e.type = EventType::kKeyDown;
  e.key = key, e.modifiers = modifiers;
  Push(std::move(e));
}
void InjectText(std::string_view utf8) {
  Event e;
  e.type = EventType::kTextInput;
  e.text = std::string(utf8);
  Push(std::move(e));
}
void InjectCloseRequest() {
  Event e;
  e.type = EventType::kCloseRequest;
  Push(std::move(e));
}
void InjectExpose(const Rect& area) {
  Event e;
  e.type = EventType::kExpose;
  e.area = area;
  Push(std::move(e));
}

std::uint64_t Now() { return State().now; }

void Advance(std::uint64_t ms) {
  Application* app = Application::Current();
  if (app == nullptr || !app->headless()) {
    State().now += ms;
    PullAudio();
    return;
  }
  app->RunUntil(State().now + ms);
}

void SpendTime(std::uint64_t ms) {
  State().now += ms;
  PullAudio();
}

void QueueModal(ModalAction action) { State().modal_actions.push_back(std::move(action)); }
void QueueModalAdvance(std::uint64_t ms) {
  ModalAction a;
  a.kind = ModalAction::Kind::kAdvance;
  a.ms = ms;
  QueueModal(std::move(a));
}
void QueueModalButton(int id) {
  ModalAction a;
  a.kind = ModalAction::Kind::kPressButton;
  a.id = id;
  QueueModal(std::move(a));
}
void QueueModalText(std::string_view utf8) {
  ModalAction a;
  a.kind = ModalAction::Kind::kText;
  a.text = std::string(utf8);
  QueueModal(std::move(a));
}
void QueueModalKey(Key key, unsigned modifiers) {
  ModalAction a;
  a.kind = ModalAction::Kind::kKey;
  a.key = key;
  a.modifiers = modifiers;
  QueueModal(std::move(a));
}

bool NextModalAction(ModalAction* out) {
  HeadlessState& s = State();
  if (s.modal_actions.empty()) return false;
  *out = std::move(s.modal_actions.front());
  s.modal_actions.pop_front();
  return true;
}

const std::vector<ShownDialog>& DialogsShown() { return State().dialogs; }
void RecordDialogShown(ShownDialog dialog) { State().dialogs.push_back(std::move(dialog)); }

bool WindowOpen() { return State().open; }
Rect WindowBounds() { return State().bounds; }
bool WindowDecorated() { return State().decorated; }
bool WindowFullScreen() { return State().full_screen; }
std::string WindowTitle() { return State().title; }
int PresentCount() { return State().presents; }
int PresentedWidth() { return State().width; }
int PresentedHeight() { return State().height; }
bool MouseCaptured() { return State().captured; }
Color PresentedPixel(int x, int y) {
  const HeadlessState& s = State();
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return Color{};
  const std::uint8_t* p = s.picture.data() + (static_cast<std::size_t>(y) * s.width + x) * 3;
  return Color{p[0], p[1], p[2]};
}

}  // namespace headless
}  // namespace plat

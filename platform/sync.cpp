// Events share one lock and one condition variable: there are only a handful of them, and a
// single lock lets the headless mixer see at once whether every worker has gone back to waiting.
#include "platform/sync.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace plat {
namespace {

struct Waiter {
  AutoResetEvent* const* events;
  std::size_t count;
};

struct SyncState {
  std::mutex mu;
  std::condition_variable cv;
  int running_workers = 0;        // resumed workers not blocked in a wait
  std::vector<Waiter*> waiters;   // threads blocked in a wait
};

SyncState& Sync() {
  // Never destroyed: workers may still wait while static objects go away.
  static SyncState* state = new SyncState;
  return *state;
}

thread_local bool t_is_worker = false;

int TakeFirstSet(AutoResetEvent* const* events, std::size_t count, bool (*is_set)(AutoResetEvent*), void (*take)(AutoResetEvent*)) {
  for (std::size_t i = 0; i < count; ++i) {
    if (events[i] != nullptr && is_set(events[i])) {
      take(events[i]);
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

AutoResetEvent::AutoResetEvent() = default;
AutoResetEvent::~AutoResetEvent() = default;

void AutoResetEvent::Signal() {
  SyncState& s = Sync();
  {
    std::lock_guard lock(s.mu);
    set_ = true;
  }
  s.cv.notify_all();
}

void AutoResetEvent::Reset() {
  std::lock_guard lock(Sync().mu);
  set_ = false;
}

bool AutoResetEvent::IsSet() const {
  std::lock_guard lock(Sync().mu);
  return set_;
}

bool AutoResetEvent::Wait(std::optional<std::uint32_t> timeout_ms) {
  AutoResetEvent* self = this;
  return WaitForAny(std::span<AutoResetEvent* const>(&self, 1), timeout_ms) == 0;
}

int WaitForAny(std::span<AutoResetEvent* const> events, std::optional<std::uint32_t> timeout_ms) {
  if (events.empty()) return -1;
  SyncState& s = Sync();
  auto is_set = [](AutoResetEvent* e) { return e->set_; };
  auto take = [](AutoResetEvent* e) { e->set_ = false; };
  std::unique_lock lock(s.mu);
  int index = TakeFirstSet(events.data(), events.size(), is_set, take);
  if (index >= 0 || (timeout_ms.has_value() && *timeout_ms == 0)) return index;

  Waiter self{events.data(), events.size()};
  s.waiters.push_back(&self);
  if (t_is_worker) --s.running_workers;
  s.cv.notify_all();  // a settling mixer may be waiting for this
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms.value_or(0));
  while ((index = TakeFirstSet(events.data(), events.size(), is_set, take)) < 0) {
    if (!timeout_ms.has_value()) {
      s.cv.wait(lock);
    } else if (s.cv.wait_until(lock, deadline) == std::cv_status::timeout) {
      index = TakeFirstSet(events.data(), events.size(), is_set, take);
      break;
    }
  }
  std::erase(s.waiters, &self);
  if (t_is_worker) ++s.running_workers;
  return index;
}

namespace sync_internal {

bool WaitForWorkersToSettle(std::uint32_t timeout_ms) {
  SyncState& s = Sync();
  auto settled = [&s] {
    if (s.running_workers > 0) return false;
    for (const Waiter* w : s.waiters) {
      for (std::size_t i = 0; i < w->count; ++i) {
        if (w->events[i] != nullptr && w->events[i]->set_) return false;
      }
    }
    return true;
  };
  std::unique_lock lock(s.mu);
  if (s.cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), settled)) return true;
  std::fprintf(stderr, "plat: a worker thread did not go back to waiting within %u ms\n", timeout_ms);
  return false;
}

}  // namespace sync_internal

struct WorkerThread::Impl {
  std::thread thread;
  std::function<int()> body;
  std::mutex gate_mu;
  std::condition_variable gate_cv;
  bool resumed = false;
  bool discarded = false;
  bool nice_wanted = false;
  int exit_code = -1;

  void Run() {
    {
      std::unique_lock lock(gate_mu);
      gate_cv.wait(lock, [this] { return resumed || discarded; });
      if (discarded) return;
    }
    if (nice_wanted) {
      // Linux applies a nice value per thread.
      setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), -10);
    }
    t_is_worker = true;
    exit_code = body();
    SyncState& s = Sync();
    {
      std::lock_guard lock(s.mu);
      --s.running_workers;
    }
    s.cv.notify_all();
  }
};

WorkerThread::WorkerThread() = default;
WorkerThread::~WorkerThread() { Join(); }

bool WorkerThread::started() const { return impl_ != nullptr; }

bool WorkerThread::Start(std::function<int()> body) {
  if (impl_ != nullptr || !body) return false;
  impl_ = std::make_unique<Impl>();
  impl_->body = std::move(body);
  Impl* impl = impl_.get();
  impl_->thread = std::thread([impl] { impl->Run(); });
  return true;
}

bool WorkerThread::RaisePriority() {
  if (impl_ == nullptr) return false;
  sched_param param{};
  const int lo = sched_get_priority_min(SCHED_FIFO), hi = sched_get_priority_max(SCHED_FIFO);
  param.sched_priority = lo + 10 < hi ? lo + 10 : hi;
  if (pthread_setschedparam(impl_->thread.native_handle(), SCHED_FIFO, &param) == 0) return true;
  std::lock_guard lock(impl_->gate_mu);
  if (impl_->resumed) return false;
  impl_->nice_wanted = true;  // tried by the thread itself when it starts
  return false;
}

bool WorkerThread::Resume() {
  if (impl_ == nullptr) return false;
  {
    std::lock_guard lock(impl_->gate_mu);
    if (impl_->resumed || impl_->discarded) return false;
    // Counted as running from now, so a settling mixer waits for it to reach its first wait.
    {
      std::lock_guard sync_lock(Sync().mu);
      ++Sync().running_workers;
    }
    impl_->resumed = true;
  }
  impl_->gate_cv.notify_all();
  return true;
}

int WorkerThread::Join() {
  if (impl_ == nullptr) return -1;
  {
    std::lock_guard lock(impl_->gate_mu);
    if (!impl_->resumed) impl_->discarded = true;
  }
  impl_->gate_cv.notify_all();
  impl_->thread.join();
  const int code = impl_->discarded ? -1 : impl_->exit_code;
  impl_.reset();
  return code;
}

}  // namespace plat

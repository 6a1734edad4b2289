// Events and worker threads for the sound code: auto-reset events that a mixer signals, a wait on
// several events at once, and a worker thread that is created suspended, may have its priority
// raised, and is then resumed and joined.
//
// The headless backend keeps sound deterministic with these: before it mixes, and after it has
// signalled an event, it waits until every worker thread is blocked in Wait/WaitForAny with
// nothing left to consume (or is still suspended, or has ended). So a worker woken by a
// notification has finished its refill before the virtual device plays on.
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>

namespace plat {

namespace sync_internal {
bool WaitForWorkersToSettle(std::uint32_t timeout_ms);
}  // namespace sync_internal

// An auto-reset event: Signal sets it; one waiter that sees it set takes it and resets it. A
// signal with nobody waiting stays set until the next wait takes it. Initially not set.
class AutoResetEvent {
 public:
  AutoResetEvent();
  ~AutoResetEvent();
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  void Signal();
  // Clears the event without waiting.
  void Reset();
  // Waits until the event is set and takes it. False when `timeout_ms` passed first (none: no
  // limit).
  bool Wait(std::optional<std::uint32_t> timeout_ms = std::nullopt);
  // True when set (does not take it). For tests and diagnostics.
  bool IsSet() const;

 private:
  friend int WaitForAny(std::span<AutoResetEvent* const> events, std::optional<std::uint32_t> timeout_ms);
  friend bool sync_internal::WaitForWorkersToSettle(std::uint32_t timeout_ms);
  bool set_ = false;  // guarded by the one lock all events share
};

// Waits until one of `events` is set and takes it. Returns its index (the lowest index when
// several are set), or -1 when `timeout_ms` passed first or `events` is empty.
int WaitForAny(std::span<AutoResetEvent* const> events, std::optional<std::uint32_t> timeout_ms = std::nullopt);
inline int WaitForAny(std::initializer_list<AutoResetEvent*> events,
                      std::optional<std::uint32_t> timeout_ms = std::nullopt) {
  return WaitForAny(std::span<AutoResetEvent* const>(events.begin(), events.size()), timeout_ms);
}

// A worker thread. Start creates it suspended: it exists (so its priority can be set) but runs
// nothing until Resume. Join waits for the body to return and gives its exit code. The
// destructor joins a running thread, and discards a thread that was never resumed without
// running its body.
class WorkerThread {
 public:
  WorkerThread();
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Creates the suspended thread that will run `body`. False when a thread exists already or
  // the system refused one.
  bool Start(std::function<int()> body);
  // Asks for the highest scheduling priority the process may take (a real-time class when
  // permitted, else a better nice value). Best effort: false when nothing could be raised, and
  // the thread runs on regardless.
  bool RaisePriority();
  // Lets the suspended thread run its body. False when there is no suspended thread.
  bool Resume();
  // Waits for the body to end (without limit) and returns its exit code; -1 when there is no
  // thread. A thread never resumed is discarded and gives -1. After Join, Start may be called
  // again.
  int Join();
  // True between Start and Join.
  bool started() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

namespace sync_internal {
// Used by the headless mixer: waits until every resumed worker thread is blocked in a wait with
// no set event among those it waits on, or has ended. False when `timeout_ms` passed first (a
// worker stuck elsewhere); the caller then goes on.
bool WaitForWorkersToSettle(std::uint32_t timeout_ms);
}  // namespace sync_internal

}  // namespace plat

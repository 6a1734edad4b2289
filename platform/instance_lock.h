// Single-instance lock: an flock on $XDG_RUNTIME_DIR/<name>.lock (or /tmp/<name>.lock).
#pragma once
#include <memory>
#include <string_view>

namespace plat {

enum class LockResult { kAcquired, kHeldElsewhere, kUnavailable };

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock of `name` without waiting. kHeldElsewhere: another process holds it.
  // kUnavailable: the lock file could not be made (the caller decides; the game runs).
  LockResult Acquire(std::string_view name);
  // Gives the lock up; the lock file stays. Safe when not held.
  void Release();
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace plat
